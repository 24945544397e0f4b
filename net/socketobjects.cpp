// The HTTP, HTTPS and TCPSocket objects: their method tables (name, minimum
// argument count, starting result, error message), the hooks turned into
// events, and the Request and Response objects. Registered by
// RegisterSocketObjects (net/netlibrary.h).
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
    if (port < 0 || port > 65535) raiseScriptError(SocketErrorName, ScriptClassName() + ".port error");
    return static_cast<uint16_t>(port);
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

namespace {

// ---- HTTP methods (a missing argument: nothing done, the starting result) ----

void httpGet(TJHTTPObject& self, TJValueList* args, TJValue& result) {
    self.PrepareRequest();
    AnsiString body;
    self.Http().Get(textArgument(args, 0), body);
    self.CopyResponse();
    MakeString(body, result);
}

void httpGetFile(TJHTTPObject& self, TJValueList* args, TJValue&) {
    self.PrepareRequest();
    self.Http().GetFile(textArgument(args, 0), textArgument(args, 1));
    self.CopyResponse();
}

void httpPost(TJHTTPObject& self, TJValueList* args, TJValue& result) {
    self.PrepareRequest();
    AnsiString body;
    self.Http().Post(textArgument(args, 0), textArgument(args, 1), body);
    self.CopyResponse();
    MakeString(body, result);
}

void httpHead(TJHTTPObject& self, TJValueList* args, TJValue&) {
    self.PrepareRequest();
    self.Http().Head(textArgument(args, 0));
    self.CopyResponse();
}

void httpRequest(TJHTTPObject& self, TJValueList* args, TJValue&) {
    self.PrepareRequest();
    self.Http().SendRequest(textArgument(args, 0), textArgument(args, 1),
                            HasThreeArgs(args) ? textArgument(args, 2) : AnsiString());
}

void httpResponse(TJHTTPObject& self, TJValueList*, TJValue&) {
    try {
        self.Http().ReadResponse();
    } catch (...) {
        self.CopyResponse();
        throw;
    }
    self.CopyResponse();
}

// ---- What HTTP and TCPSocket share ----

template <class T>
void capture(T& self, TJValueList* args, TJValue&) {
    self.Client().CaptureToFile(textArgument(args, 0));
}

template <class T>
void readLine(T& self, TJValueList*, TJValue& result) {
    AnsiString line;
    self.Client().ReadLine(line);
    MakeString(line, result);
}

template <class T>
void read(T& self, TJValueList* args, TJValue& result) {
    AnsiString text;
    self.Client().Read(HasArgs(args) ? ValueToInteger(args->At(0)) : -1, text);
    MakeString(text, result);
}

template <class T>
void writeLine(T& self, TJValueList* args, TJValue&) {
    self.Client().SendLine(HasArgs(args) ? textArgument(args, 0) : AnsiString());
}

template <class T>
void write(T& self, TJValueList* args, TJValue&) {
    self.Client().Send(textArgument(args, 0));
}

template <class T>
void connect(T& self, TJValueList*, TJValue&) {
    self.Client().Connect();
}

template <class T>
void disconnect(T& self, TJValueList*, TJValue&) {
    self.Client().Disconnect();
}

// ---- TCPSocket methods ----

void socketAbort(TJTCPSocketObject& self, TJValueList*, TJValue&) { self.Client().Abort(); }
void socketSendFile(TJTCPSocketObject& self, TJValueList* args, TJValue&) { self.Client().SendFile(textArgument(args, 0)); }
void socketBind(TJTCPSocketObject& self, TJValueList*, TJValue&) { self.Client().Listen(); }

void socketAccept(TJTCPSocketObject& self, TJValueList*, TJValue& result) {
    SOCKET handle = self.Client().Accept();
    if (handle == INVALID_SOCKET) throw EgSocket("accept failed");
    TJValueList args;
    TJValue handleValue;
    AddressToValue(handle, handleValue);
    args.Add(handleValue);
    MakeObject(createObject<TJTCPSocketObject>(self.Runtime(), true, &args), result);
}

void socketIsConnected(TJTCPSocketObject& self, TJValueList*, TJValue& result) {
    MakeBool(self.Client().IsConnected(), result);
}

constexpr TJMethodResult self = TJMethodResult::Self;
constexpr TJMethodResult undefined = TJMethodResult::Undefined;

// The HTTPS class reports its failures with the same "HTTP." messages.
const TJMethod<TJHTTPObject> httpMethods[] = {
    {"get", 1, &httpGet, undefined, SocketError("HTTP.get error")},
    {"getFile", 2, &httpGetFile, self, SocketError("HTTP.get error")},
    {"post", 2, &httpPost, undefined, SocketError("HTTP.post error")},
    {"head", 1, &httpHead, self, SocketError("HTTP.head error")},
    {"request", 2, &httpRequest, self, SocketError("HTTP.request error")},
    {"response", 0, &httpResponse, self, SocketError("HTTP.response error")},
    {"capture", 1, &capture<TJHTTPObject>, self, SocketError("HTTP.capture error")},
    {"readln", 0, &readLine<TJHTTPObject>, self, SocketError("HTTP.readln error")},
    {"read", 0, &read<TJHTTPObject>, self, SocketError("HTTP.read error")},
    {"writeln", 0, &writeLine<TJHTTPObject>, self, SocketError("HTTP.writeln error")},
    {"write", 1, &write<TJHTTPObject>, self, SocketError("HTTP.write error")},
    {"connect", 0, &connect<TJHTTPObject>, self, SocketError("HTTP.connect error")},
    {"open", 0, &connect<TJHTTPObject>, self, SocketError("HTTP.connect error")},
    {"disconnect", 0, &disconnect<TJHTTPObject>, self, SocketError("HTTP.disconnect error")},
    {"close", 0, &disconnect<TJHTTPObject>, self, SocketError("HTTP.disconnect error")},
};

const TJMethod<TJTCPSocketObject> tcpSocketMethods[] = {
    {"connect", 0, &connect<TJTCPSocketObject>, self, SocketError("TCPSocket.connect error")},
    {"open", 0, &connect<TJTCPSocketObject>, self, SocketError("TCPSocket.connect error")},
    {"disconnect", 0, &disconnect<TJTCPSocketObject>, self, SocketError("TCPSocket.disconnect error")},
    {"close", 0, &disconnect<TJTCPSocketObject>, self, SocketError("TCPSocket.disconnect error")},
    {"abort", 0, &socketAbort, undefined, SocketError("TCPSocket.abort error")},
    {"read", 0, &read<TJTCPSocketObject>, self, SocketError("TCPSocket.read error")},
    {"readln", 0, &readLine<TJTCPSocketObject>, self, SocketError("TCPSocket.readln error")},
    {"write", 1, &write<TJTCPSocketObject>, self, SocketError("TCPSocket.write error")},
    {"writeln", 0, &writeLine<TJTCPSocketObject>, self, SocketError("TCPSocket.writeln error")},
    {"capture", 1, &capture<TJTCPSocketObject>, self, SocketError("TCPSocket.capture error")},
    {"sendFile", 1, &socketSendFile, self, SocketError("TCPSocket.sendFile error")},
    {"bind", 0, &socketBind, self, SocketError("TCPSocket.bind error")},
    {"accept", 0, &socketAccept, undefined, SocketError("TCPSocket.accept error")},
    {"isConnected", 0, &socketIsConnected, undefined, SocketError("TCPSocket.isConnected error")},
};

}  // namespace

const TJMethodTable& TJHTTPObject::Methods() const {
    static const TJMethodTable table(httpMethods, TJObject::Methods());
    return table;
}

void TJHTTPObject::PrepareRequest() { Request_->StoreInto(Http().RequestHeader); }

void TJHTTPObject::CopyResponse() { Response_->CopyFrom(Http()); }

// ==== TCPSocket ====

const TClassInfo TJTCPSocketObject::classInfo = makeClassInfo(
    "TJTCPSocketObject", &TJBaseSocketObject::classInfo, tcpSocketProperties, &scriptCreator<TJTCPSocketObject>);

TJTCPSocketObject::TJTCPSocketObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJBaseSocketObject(key, runtime, args) {
    SetClassName("TCPSocket");
    if (!HasArgs(args)) {
        setClient(std::make_unique<TgSocket>(clientBufferSize));
    } else {
        // A handle that is no connected socket cannot be wrapped.
        SOCKET handle = static_cast<SOCKET>(ValueToAddress(args->At(0)));
        sockaddr_in peer{};
        int length = sizeof peer;
        if (getpeername(handle, reinterpret_cast<sockaddr*>(&peer), &length) != 0)
            raiseScriptError(SocketErrorName, "TCPSocket.create error");
        setClient(std::make_unique<TgSocket>(handle, clientBufferSize));
    }
    for (const char* event : tcpSocketEvents) RegisterEventName(event);
}

const TJMethodTable& TJTCPSocketObject::Methods() const {
    static const TJMethodTable table(tcpSocketMethods, TJObject::Methods());
    return table;
}

// ==== Arguments and lists ====

AnsiString textArgument(TJValueList* args, int index) { return ValueToString(args->At(index)); }

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
