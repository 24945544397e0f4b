// The HTTP, HTTPS and TCPSocket objects: their method tables (name, minimum
// argument count, error message), the one place that turns client failures
// into script errors, the hooks turned into events, and the Request and
// Response objects.
#include "net/socketobjects.h"

#include <utility>

#include "engine/core/array.h"
#include "engine/core/errors.h"
#include "engine/core/hooks.h"
#include "engine/core/runtime.h"
#include "engine/core/valuelist.h"
#include "engine/support/mbstring.h"
#include "engine/lib/dynaconvert.h"
#include "engine/lib/number.h"
#include "net/cookieobject.h"
#include "net/ghttps.h"
#include "rtl/numtext.h"
#include "rtl/stringlist.h"

namespace {

constexpr int32_t clientBufferSize = 65536;

const TPropInfo baseSocketProperties[] = {
    IntegerProperty<&TJBaseSocketObject::timeoutProperty, &TJBaseSocketObject::setTimeoutProperty>("timeout"),
    BoolProperty<&TJBaseSocketObject::debugProperty, &TJBaseSocketObject::setDebugProperty>("debug"),
    IntegerProperty<&TJBaseSocketObject::bytesTotalProperty>("bytesTotal"),
    IntegerProperty<&TJBaseSocketObject::bytesReadProperty>("bytesRead"),
    IntegerProperty<&TJBaseSocketObject::bytesWroteProperty>("bytesWrote"),
};

const TPropInfo responseProperties[] = {
    IntegerProperty<&TJResponseObject::codeProperty>("code"),
    StringProperty<&TJResponseObject::textProperty>("text"),
    StringProperty<&TJResponseObject::versionProperty>("version"),
    ClassProperty<&TJResponseObject::cookieProperty>("cookie", &TJObject::classInfo),
};

const TPropInfo httpProperties[] = {
    ClassProperty<&TJHTTPObject::requestHeaderProperty>("requestHeader", &TJObject::classInfo),
    ClassProperty<&TJHTTPObject::responseHeaderProperty>("responseHeader", &TJObject::classInfo),
    StringProperty<&TJHTTPObject::versionProperty, &TJHTTPObject::setVersionProperty>("version"),
    IntegerProperty<&TJHTTPObject::lengthProperty>("length"),
    BoolProperty<&TJHTTPObject::autoRedirectProperty, &TJHTTPObject::setAutoRedirectProperty>("autoRedirect"),
    StringProperty<&TJHTTPObject::proxyProperty, &TJHTTPObject::setProxyProperty>("proxy"),
};

const TPropInfo tcpSocketProperties[] = {
    StringProperty<&TJTCPSocketObject::hostProperty, &TJTCPSocketObject::setHostProperty>("host"),
    IntegerProperty<&TJTCPSocketObject::portProperty, &TJTCPSocketObject::setPortProperty>("port"),
};

// The events each object lists. The packet events are listed under the
// names their handlers are called by ("onRead", "onWrite"), so that
// getEvents() names what a script can handle.
const char* const httpEvents[] = {"onStatus", "onRequest", "onConnect", "onDisconnect", "onError",
                                  "onFailure", "onRead", "onWrite", "onResponse", "onSuccess"};
const char* const tcpSocketEvents[] = {"onStatus", "onConnect", "onDisconnect", "onError", "onRead", "onWrite"};

const TJValue& argument(TJValueList* args, int index) { return args->At(index); }
AnsiString textArgument(TJValueList* args, int index) { return ValueToString(args->At(index)); }

}  // namespace

// ==== Common base ====

const TClassInfo TJBaseSocketObject::classInfo =
    makeClassInfo("TJBaseSocketObject", &TJObject::classInfo, baseSocketProperties);

TJBaseSocketObject::TJBaseSocketObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {}

TJBaseSocketObject::~TJBaseSocketObject() {
    if (Client_) Client_->UnbindHooks();
}

void TJBaseSocketObject::AfterRegistration() { PrintHook = TJPrintHook::bind<&TJBaseSocketObject::printLine>(this); }

void TJBaseSocketObject::printLine(const AnsiString& text) { Runtime()->WriteStdout(text + "\r\n"); }

void TJBaseSocketObject::setClient(std::unique_ptr<TgSocket> client) {
    Client_ = std::move(client);
    Client_->OnStatus = TSocketStatusEvent::bind<&TJBaseSocketObject::onStatus>(this);
    Client_->OnConnect = TSocketNotifyEvent::bind<&TJBaseSocketObject::onConnect>(this);
    Client_->OnDisconnect = TSocketNotifyEvent::bind<&TJBaseSocketObject::onDisconnect>(this);
    Client_->OnError = TSocketErrorEvent::bind<&TJBaseSocketObject::onError>(this);
    Client_->OnPacketRecvd = TSocketPacketEvent::bind<&TJBaseSocketObject::onPacketRecvd>(this);
    Client_->OnPacketSent = TSocketPacketEvent::bind<&TJBaseSocketObject::onPacketSent>(this);
}

uint16_t TJBaseSocketObject::checkedPort(int32_t port) const {
    if (port < 0 || port > 65535) raiseScriptError("ESocketError", ScriptClassName() + ".port error");
    return static_cast<uint16_t>(port);
}

const TJValue& TJBaseSocketObject::requiredArgument(TJValueList* args, int index) {
    if (ArgCount(args) <= index) throw EgSocket("missing argument");
    return args->At(index);
}

void TJBaseSocketObject::fire(const char* name, TJValueList& args) {
    TJValue self, ignored;
    MakeObject(this, self);
    args.Insert(0, self);
    FireEvent(AnsiString(), name, ignored, &args);
}

void TJBaseSocketObject::fireNotify(const char* name) {
    if (!HasEventHandler(name)) return;
    TJValueList args;
    fire(name, args);
}

// The handler cannot break the client's operation: its errors are dropped;
// an abort or exit in it ends the run, the client passing it on.
void TJBaseSocketObject::onStatus(TObject*, const AnsiString& text) {
    if (Debug) PrintHook(text);
    if (!HasEventHandler("onStatus")) return;
    TJValueList args;
    args.AddString(text);
    try {
        fire("onStatus", args);
    } catch (const EJAbort&) {
        throw;
    } catch (const EJStatement&) {
        throw;
    } catch (...) {
    }
}

void TJBaseSocketObject::onError(TObject*, int32_t code, const AnsiString& name) {
    if (!HasEventHandler("onError")) return;
    TJValueList args;
    args.AddInteger(static_cast<uint16_t>(code));
    args.AddString(name);
    fire("onError", args);
}

// The handler gets a Boolean object; its value afterwards is the cancel.
void TJBaseSocketObject::onPacket(const char* event, int32_t count, bool& cancel) {
    if (!HasEventHandler(event)) return;
    TJBooleanObject* box = NewBooleanObject(Runtime(), cancel);
    TJValueList args;
    args.AddInteger(count);
    args.AddObject(box);
    fire(event, args);
    cancel = box->ToBool();
}

// ==== Request and Response ====

const TClassInfo TJRequestObject::classInfo = makeClassInfo("TJRequestObject", &TJObject::classInfo);

TJRequestObject::TJRequestObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Request");
}

AnsiString TJRequestObject::ToString(const TJValue*) {
    std::vector<AnsiString> names;
    GetMemberNames(names, 0, kindSet(vtFunction));
    AnsiString text;
    TJValue value;
    for (const AnsiString& name : names) {
        GetValue(name, true, value);
        text += name + ": " + ValueToString(value) + "\r\n";
    }
    return trimRight(text);
}

void TJRequestObject::StoreInto(TRequestHeader& header) {
    header.Reset();
    std::vector<AnsiString> names;
    GetMemberNames(names, 0, kindSet(vtFunction));
    TJValue value;
    for (const AnsiString& name : names) {
        GetValue(name, true, value);
        header.SetHeader(name, ValueToString(value));
    }
}

const TClassInfo TJResponseObject::classInfo =
    makeClassInfo("TJResponseObject", &TJObject::classInfo, responseProperties);

TJResponseObject::TJResponseObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args), Cookie_(createObject<TJCookieObject>(runtime, false, nullptr)) {
    SetClassName("Response");
    Cookie_->IncRef();
}

TJResponseObject::~TJResponseObject() { Cookie_->DecRef(); }

TJObject* TJResponseObject::cookieProperty() const { return Cookie_; }

AnsiString TJResponseObject::ToString(const TJValue*) {
    AnsiString text = "HTTP/" + Version_ + " " + intToText(Code_) + " " + Text_ + "\r\n";
    std::vector<AnsiString> names;
    GetMemberNames(names, 0, kindSet(vtFunction));
    TJValue value;
    for (const AnsiString& name : names) {
        GetValue(name, true, value);
        text += name + ": " + ValueToString(value) + "\r\n";
    }
    return trimRight(text);
}

void TJResponseObject::CopyFrom(TgHTTP& client) {
    ClearValueMembers();
    Version_ = client.ResponseHeader.Version;
    Code_ = client.StatusCode;
    Text_ = client.StatusText;
    Cookie_->Cookie().Assign(client.ResponseHeader.Cookies);
    TJValue value;
    TStringHashTable& headers = client.ResponseHeader.Headers;
    for (const AnsiString& name : headers.GetKeyList()) {
        MakeString(headers.GetValue(name), value);
        PutMember(name, value);
    }
}

// ==== HTTP and HTTPS ====

const TClassInfo TJHTTPObject::classInfo = makeClassInfo("TJHTTPObject", &TJBaseSocketObject::classInfo,
                                                         httpProperties, &scriptCreator<TJHTTPObject>);
const TClassInfo TJHTTPSObject::classInfo =
    makeClassInfo("TJHTTPSObject", &TJHTTPObject::classInfo, &scriptCreator<TJHTTPSObject>);

// The HTTPS class reports its failures with the same "HTTP." messages.
const TJBaseSocketObject::Method<TJHTTPObject> TJHTTPObject::MethodRows[] = {
    {"get", 1, TJMethodResult::Undefined, "HTTP.get error", &TJHTTPObject::nativeGet},
    {"getFile", 2, TJMethodResult::Self, "HTTP.get error", &TJHTTPObject::nativeGetFile},
    {"post", 2, TJMethodResult::Undefined, "HTTP.post error", &TJHTTPObject::nativePost},
    {"head", 1, TJMethodResult::Self, "HTTP.head error", &TJHTTPObject::nativeHead},
    {"request", 2, TJMethodResult::Self, "HTTP.request error", &TJHTTPObject::nativeRequest},
    {"response", 0, TJMethodResult::Self, "HTTP.response error", &TJHTTPObject::nativeResponse},
    {"capture", 1, TJMethodResult::Self, "HTTP.capture error", &TJHTTPObject::nativeCapture},
    {"readln", 0, TJMethodResult::Self, "HTTP.readln error", &TJHTTPObject::nativeReadln},
    {"read", 0, TJMethodResult::Self, "HTTP.read error", &TJHTTPObject::nativeRead},
    {"writeln", 0, TJMethodResult::Self, "HTTP.writeln error", &TJHTTPObject::nativeWriteln},
    {"write", 1, TJMethodResult::Self, "HTTP.write error", &TJHTTPObject::nativeWrite},
    {"connect", 0, TJMethodResult::Self, "HTTP.connect error", &TJHTTPObject::nativeConnect},
    {"open", 0, TJMethodResult::Self, "HTTP.connect error", &TJHTTPObject::nativeConnect},
    {"disconnect", 0, TJMethodResult::Self, "HTTP.disconnect error", &TJHTTPObject::nativeDisconnect},
    {"close", 0, TJMethodResult::Self, "HTTP.disconnect error", &TJHTTPObject::nativeDisconnect},
};

TJHTTPObject::TJHTTPObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJBaseSocketObject(key, runtime, args),
      Request_(createObject<TJRequestObject>(runtime, false, nullptr)),
      Response_(createObject<TJResponseObject>(runtime, false, nullptr)) {
    Request_->IncRef();
    Response_->IncRef();
}

TJHTTPObject::~TJHTTPObject() {
    Response_->DecRef();
    Request_->DecRef();
}

std::unique_ptr<TgHTTP> TJHTTPObject::CreateClient() {
    SetClassName("HTTP");
    return std::make_unique<TgHTTP>(clientBufferSize);
}

std::unique_ptr<TgHTTP> TJHTTPSObject::CreateClient() {
    SetClassName("HTTPS");
    return std::make_unique<TgHTTPS>(clientBufferSize);
}

void TJHTTPObject::AfterConstruction() {
    TJBaseSocketObject::AfterConstruction();
    std::unique_ptr<TgHTTP> client = CreateClient();
    client->OnRequest = THttpRequestEvent::bind<&TJHTTPObject::onRequest>(this);
    client->OnResponse = THttpResponseEvent::bind<&TJHTTPObject::onResponse>(this);
    client->OnSuccess = THttpCommandEvent::bind<&TJHTTPObject::onSuccess>(this);
    client->OnFailure = THttpCommandEvent::bind<&TJHTTPObject::onFailure>(this);
    setClient(std::move(client));
    for (const char* event : httpEvents) RegisterEventName(event);
}

const TJMethodTable& TJHTTPObject::Methods() const {
    static const TJMethodTable table(MethodRows, TJObject::Methods());
    return table;
}

void TJHTTPObject::prepare() { Request_->StoreInto(http().RequestHeader); }

void TJHTTPObject::copyResponse() { Response_->CopyFrom(http()); }

void TJHTTPObject::nativeGet(TJValueList* args, TJValue& result) {
    prepare();
    AnsiString body;
    http().Get(textArgument(args, 0), body);
    copyResponse();
    MakeString(body, result);
}

void TJHTTPObject::nativeGetFile(TJValueList* args, TJValue&) {
    prepare();
    http().GetFile(textArgument(args, 0), textArgument(args, 1));
    copyResponse();
}

void TJHTTPObject::nativePost(TJValueList* args, TJValue& result) {
    prepare();
    AnsiString body;
    http().Post(textArgument(args, 0), textArgument(args, 1), body);
    copyResponse();
    MakeString(body, result);
}

void TJHTTPObject::nativeHead(TJValueList* args, TJValue&) {
    prepare();
    http().Head(textArgument(args, 0));
    copyResponse();
}

void TJHTTPObject::nativeRequest(TJValueList* args, TJValue&) {
    prepare();
    http().SendRequest(textArgument(args, 0), textArgument(args, 1),
                       HasThreeArgs(args) ? textArgument(args, 2) : AnsiString());
}

void TJHTTPObject::nativeResponse(TJValueList*, TJValue&) {
    try {
        http().ReadResponse();
    } catch (...) {
        copyResponse();
        throw;
    }
    copyResponse();
}

void TJHTTPObject::nativeCapture(TJValueList* args, TJValue&) { http().CaptureToFile(textArgument(args, 0)); }

void TJHTTPObject::nativeReadln(TJValueList*, TJValue& result) {
    AnsiString line;
    http().ReadLine(line);
    MakeString(line, result);
}

void TJHTTPObject::nativeRead(TJValueList* args, TJValue& result) {
    AnsiString text;
    http().Read(HasArgs(args) ? ValueToInteger(argument(args, 0)) : -1, text);
    MakeString(text, result);
}

void TJHTTPObject::nativeWriteln(TJValueList* args, TJValue&) {
    http().SendLine(HasArgs(args) ? textArgument(args, 0) : AnsiString());
}

void TJHTTPObject::nativeWrite(TJValueList* args, TJValue&) { http().Send(textArgument(args, 0)); }
void TJHTTPObject::nativeConnect(TJValueList*, TJValue&) { http().Connect(); }
void TJHTTPObject::nativeDisconnect(TJValueList*, TJValue&) { http().Disconnect(); }

// ==== TCPSocket ====

const TClassInfo TJTCPSocketObject::classInfo = makeClassInfo(
    "TJTCPSocketObject", &TJBaseSocketObject::classInfo, tcpSocketProperties, &scriptCreator<TJTCPSocketObject>);

const TJBaseSocketObject::Method<TJTCPSocketObject> TJTCPSocketObject::MethodRows[] = {
    {"connect", 0, TJMethodResult::Self, "TCPSocket.connect error", &TJTCPSocketObject::nativeConnect},
    {"open", 0, TJMethodResult::Self, "TCPSocket.connect error", &TJTCPSocketObject::nativeConnect},
    {"disconnect", 0, TJMethodResult::Self, "TCPSocket.disconnect error", &TJTCPSocketObject::nativeDisconnect},
    {"close", 0, TJMethodResult::Self, "TCPSocket.disconnect error", &TJTCPSocketObject::nativeDisconnect},
    {"abort", 0, TJMethodResult::Undefined, "TCPSocket.abort error", &TJTCPSocketObject::nativeAbort},
    {"read", 0, TJMethodResult::Self, "TCPSocket.read error", &TJTCPSocketObject::nativeRead},
    {"readln", 0, TJMethodResult::Self, "TCPSocket.readln error", &TJTCPSocketObject::nativeReadln},
    {"write", 1, TJMethodResult::Self, "TCPSocket.write error", &TJTCPSocketObject::nativeWrite},
    {"writeln", 0, TJMethodResult::Self, "TCPSocket.writeln error", &TJTCPSocketObject::nativeWriteln},
    {"capture", 1, TJMethodResult::Self, "TCPSocket.capture error", &TJTCPSocketObject::nativeCapture},
    {"sendFile", 1, TJMethodResult::Self, "TCPSocket.sendFile error", &TJTCPSocketObject::nativeSendFile},
    {"bind", 0, TJMethodResult::Self, "TCPSocket.bind error", &TJTCPSocketObject::nativeBind},
    {"accept", 0, TJMethodResult::Undefined, "TCPSocket.accept error", &TJTCPSocketObject::nativeAccept},
    {"isConnected", 0, TJMethodResult::Undefined, "TCPSocket.isConnected error", &TJTCPSocketObject::nativeIsConnected},
};

TJTCPSocketObject::TJTCPSocketObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJBaseSocketObject(key, runtime, args) {
    SetClassName("TCPSocket");
    if (!HasArgs(args)) {
        setClient(std::make_unique<TgSocket>(clientBufferSize));
    } else {
        // A handle that is no connected socket cannot be wrapped.
        SOCKET handle = static_cast<SOCKET>(ValueToAddress(argument(args, 0)));
        sockaddr_in peer{};
        int length = sizeof peer;
        if (getpeername(handle, reinterpret_cast<sockaddr*>(&peer), &length) != 0)
            raiseScriptError("ESocketError", "TCPSocket.create error");
        setClient(std::make_unique<TgSocket>(handle, clientBufferSize));
    }
    for (const char* event : tcpSocketEvents) RegisterEventName(event);
}

const TJMethodTable& TJTCPSocketObject::Methods() const {
    static const TJMethodTable table(MethodRows, TJObject::Methods());
    return table;
}

void TJTCPSocketObject::nativeConnect(TJValueList*, TJValue&) { client().Connect(); }
void TJTCPSocketObject::nativeDisconnect(TJValueList*, TJValue&) { client().Disconnect(); }
void TJTCPSocketObject::nativeAbort(TJValueList*, TJValue&) { client().Abort(); }

void TJTCPSocketObject::nativeRead(TJValueList* args, TJValue& result) {
    AnsiString text;
    client().Read(HasArgs(args) ? ValueToInteger(argument(args, 0)) : -1, text);
    MakeString(text, result);
}

void TJTCPSocketObject::nativeReadln(TJValueList*, TJValue& result) {
    AnsiString line;
    client().ReadLine(line);
    MakeString(line, result);
}

void TJTCPSocketObject::nativeWrite(TJValueList* args, TJValue&) { client().Send(textArgument(args, 0)); }

void TJTCPSocketObject::nativeWriteln(TJValueList* args, TJValue&) {
    client().SendLine(HasArgs(args) ? textArgument(args, 0) : AnsiString());
}

void TJTCPSocketObject::nativeCapture(TJValueList* args, TJValue&) { client().CaptureToFile(textArgument(args, 0)); }
void TJTCPSocketObject::nativeSendFile(TJValueList* args, TJValue&) { client().SendFile(textArgument(args, 0)); }
void TJTCPSocketObject::nativeBind(TJValueList*, TJValue&) { client().Listen(); }

void TJTCPSocketObject::nativeAccept(TJValueList*, TJValue& result) {
    SOCKET handle = client().Accept();
    if (handle == INVALID_SOCKET) throw EgSocket("accept failed");
    TJValueList args;
    TJValue handleValue;
    AddressToValue(handle, handleValue);
    args.Add(handleValue);
    MakeObject(createObject<TJTCPSocketObject>(Runtime(), true, &args), result);
}

void TJTCPSocketObject::nativeIsConnected(TJValueList*, TJValue& result) { MakeBool(client().IsConnected(), result); }

// ==== Lists handed to scripts ====

TJObject* FillTextListObject(TJRuntime* runtime, const TStrings& lines, TJObject* list, bool registering) {
    if (JModuleHooks.FillStringListObject) return JModuleHooks.FillStringListObject(runtime, list, lines, registering);
    auto* array = list ? static_cast<TJArrayObject*>(list) : createObject<TJArrayObject>(runtime, registering, nullptr);
    array->Items().Clear();
    TJValue value;
    for (int i = 0; i < lines.Count(); ++i) {
        MakeString(lines.Get(i), value);
        array->Add(value);
    }
    return array;
}
