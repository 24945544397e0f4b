// The Mail, POP3 and SMTP objects: the mail clients' method tables (name,
// minimum argument count, starting result, error message) over TgPOP3 and
// TgSMTP. Registered by RegisterSocketObjects (net/netlibrary.h).
#include "net/mailobjects.h"

#include "engine/core/valuelist.h"

namespace {

constexpr int32_t clientBufferSize = 65536;

const TPropInfo mailProperties[] = {
    IntegerProperty<&TJMailObject::numberProperty, &TJMailObject::setNumberProperty>("number"),
    IntegerProperty<&TJMailObject::lengthProperty>("length"),
    ClassProperty<&TJMailObject::attachmentsProperty>("attachments", &TJObject::classInfo),
    StringProperty<&TJMailObject::headerProperty>("header"),
    StringProperty<&TJMailObject::bodyProperty>("body"),
    StringProperty<&TJMailObject::messageProperty, &TJMailObject::setMessageProperty>("message"),
};

const TPropInfo mailClientProperties[] = {
    ClassProperty<&TJMailClientObject::mailProperty>("mail", &TJObject::classInfo),
    StringProperty<&TJMailClientObject::hostProperty, &TJMailClientObject::setHostProperty>("host"),
    IntegerProperty<&TJMailClientObject::portProperty, &TJMailClientObject::setPortProperty>("port"),
};

const TPropInfo pop3Properties[] = {
    StringProperty<&TJPOP3Object::attachPathProperty, &TJPOP3Object::setAttachPathProperty>("attachPath"),
    BoolProperty<&TJPOP3Object::deleteOnReadProperty, &TJPOP3Object::setDeleteOnReadProperty>("deleteOnRead"),
    IntegerProperty<&TJPOP3Object::mailCountProperty>("mailCount"),
    IntegerProperty<&TJPOP3Object::mailCountProperty>("length"),
    StringProperty<&TJPOP3Object::passwordProperty, &TJPOP3Object::setPasswordProperty>("password"),
    StringProperty<&TJPOP3Object::useridProperty, &TJPOP3Object::setUseridProperty>("userid"),
};

// The packet events are listed under the names their handlers are called by.
const char* const pop3Events[] = {"onStatus", "onConnect", "onDisconnect", "onError",
                                  "onFailure", "onRead", "onWrite", "onSuccess"};
const char* const smtpEvents[] = {"onStatus", "onConnect", "onDisconnect", "onError", "onRead", "onWrite"};

void clearMail(TJMailObject& self, TJValueList*, TJValue&) { self.Clear(); }

const TJMethod<TJMailObject> mailMethods[] = {
    {"clear", 0, &clearMail, TJMethodResult::Self},
};

}  // namespace

// ==== Mail ====

const TClassInfo TJMailObject::classInfo =
    makeClassInfo("TJMailObject", &TJObject::classInfo, mailProperties, &scriptCreator<TJMailObject>);

TJMailObject::TJMailObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Mail");
}

const TJMethodTable& TJMailObject::Methods() const {
    static const TJMethodTable table(mailMethods, TJObject::Methods());
    return table;
}

void TJMailObject::GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args) {
    if (HasKey(name) || !Message.Headers.HasKey(name)) TJObject::GetValue(name, keyError, value, args);
    else MakeString(Message.GetHeader(name), value);
}

void TJMailObject::SetValue(const AnsiString& name, const TJValue& value, TJValueList* args) {
    if (HasProperty(name)) TJObject::SetValue(name, value, args);
    else Message.Headers.SetValue(name, ValueToString(value));
}

void TJMailObject::GetPropertyList(std::vector<AnsiString>& list) { list = Message.Headers.GetKeyList(); }

void TJMailObject::Clear() {
    TJObject::Clear();
    Message.Clear();
}

TJObject* TJMailObject::attachmentsProperty() const {
    // The list is this object's own, outside the runtime's object list, so it
    // lives exactly as long as this object.
    bool first = !Attachments_;
    Attachments_ = FillTextListObject(Runtime(), Message.Attachments, Attachments_, false);
    if (first) Attachments_->IncRef();
    return Attachments_;
}

TJMailObject::~TJMailObject() {
    if (Attachments_) Attachments_->DecRef();
}

// ==== POP3 and SMTP ====

const TClassInfo TJMailClientObject::classInfo =
    makeClassInfo("TJMailClientObject", &TJBaseSocketObject::classInfo, mailClientProperties);

TJMailClientObject::TJMailClientObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJBaseSocketObject(key, runtime, args), Mail_(createObject<TJMailObject>(runtime, false, nullptr)) {
    Mail_->IncRef();
}

TJMailClientObject::~TJMailClientObject() { Mail_->DecRef(); }

void TJMailClientObject::setMailClient(std::unique_ptr<TgSocket> client, TJValueList* args) {
    if (HasArgs(args)) client->Host = ValueToString(args->At(0));
    if (HasTwoArgs(args)) client->Port = checkedPort(ValueToInteger(args->At(1)));
    setClient(std::move(client));
}

const TClassInfo TJPOP3Object::classInfo =
    makeClassInfo("TJPOP3Object", &TJMailClientObject::classInfo, pop3Properties, &scriptCreator<TJPOP3Object>);

TJPOP3Object::TJPOP3Object(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJMailClientObject(key, runtime, args) {
    SetClassName("POP3");
    auto client = std::make_unique<TgPOP3>(clientBufferSize);
    client->OnSuccess = TSocketNotifyEvent::bind<&TJPOP3Object::onSuccess>(this);
    client->OnFailure = TSocketNotifyEvent::bind<&TJPOP3Object::onFailure>(this);
    setMailClient(std::move(client), args);
    for (const char* event : pop3Events) RegisterEventName(event);
}

const TClassInfo TJSMTPObject::classInfo =
    makeClassInfo("TJSMTPObject", &TJMailClientObject::classInfo, &scriptCreator<TJSMTPObject>);

TJSMTPObject::TJSMTPObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJMailClientObject(key, runtime, args) {
    SetClassName("SMTP");
    setMailClient(std::make_unique<TgSMTP>(clientBufferSize), args);
    for (const char* event : smtpEvents) RegisterEventName(event);
}

namespace {

// ---- POP3 methods (a call without the number does nothing) ----

void pop3Connect(TJPOP3Object& self, TJValueList*, TJValue&) { self.Pop3().Connect(); }
void pop3Disconnect(TJPOP3Object& self, TJValueList*, TJValue&) { self.Pop3().Disconnect(); }

void pop3GetMail(TJPOP3Object& self, TJValueList* args, TJValue& result) {
    self.Pop3().GetMail(ValueToInteger(args->At(0)));
    self.Mail().Assign(self.Pop3().Message);
    MakeObject(self.mailProperty(), result);
}

void pop3GetSummary(TJPOP3Object& self, TJValueList* args, TJValue& result) {
    self.Pop3().GetSummary(ValueToInteger(args->At(0)));
    self.Mail().Assign(self.Pop3().Message);
    MakeObject(self.mailProperty(), result);
}

void pop3Delete(TJPOP3Object& self, TJValueList* args, TJValue&) { self.Pop3().DeleteMail(ValueToInteger(args->At(0))); }

// ---- SMTP methods ----

void smtpConnect(TJSMTPObject& self, TJValueList*, TJValue&) { self.Smtp().Connect(); }
void smtpDisconnect(TJSMTPObject& self, TJValueList*, TJValue&) { self.Smtp().Disconnect(); }

void smtpSendMail(TJSMTPObject& self, TJValueList*, TJValue&) {
    self.Smtp().Message.Assign(self.Mail());
    self.Smtp().SendMail();
}

constexpr TJMethodResult self = TJMethodResult::Self;
constexpr TJMethodResult undefined = TJMethodResult::Undefined;

const TJMethod<TJPOP3Object> pop3Methods[] = {
    {"connect", 0, &pop3Connect, self, SocketError("POP3.connect")},
    {"open", 0, &pop3Connect, self, SocketError("POP3.connect")},
    {"disconnect", 0, &pop3Disconnect, self, SocketError("POP3.disconnect")},
    {"close", 0, &pop3Disconnect, self, SocketError("POP3.disconnect")},
    {"getMail", 1, &pop3GetMail, undefined, SocketError("POP3.getMail")},
    {"getSummary", 1, &pop3GetSummary, undefined, SocketError("POP3.getSummary")},
    {"delete", 1, &pop3Delete, self, SocketError("POP3.delete")},
};

const TJMethod<TJSMTPObject> smtpMethods[] = {
    {"connect", 0, &smtpConnect, self, SocketError("SMTP.connect")},
    {"open", 0, &smtpConnect, self, SocketError("SMTP.connect")},
    {"disconnect", 0, &smtpDisconnect, self, SocketError("SMTP.disconnect")},
    {"close", 0, &smtpDisconnect, self, SocketError("SMTP.disconnect")},
    {"sendMail", 0, &smtpSendMail, self, SocketError("SMTP.sendMail")},
};

}  // namespace

const TJMethodTable& TJPOP3Object::Methods() const {
    static const TJMethodTable table(pop3Methods, TJObject::Methods());
    return table;
}

const TJMethodTable& TJSMTPObject::Methods() const {
    static const TJMethodTable table(smtpMethods, TJObject::Methods());
    return table;
}
