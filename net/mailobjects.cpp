// The Mail, POP3 and SMTP objects.
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

// A call without the number does nothing (the method table's minimum).
const TJBaseSocketObject::Method<TJPOP3Object> TJPOP3Object::MethodRows[] = {
    {"connect", 0, TJMethodResult::Self, "POP3.connect", &TJPOP3Object::nativeConnect},
    {"open", 0, TJMethodResult::Self, "POP3.connect", &TJPOP3Object::nativeConnect},
    {"disconnect", 0, TJMethodResult::Self, "POP3.disconnect", &TJPOP3Object::nativeDisconnect},
    {"close", 0, TJMethodResult::Self, "POP3.disconnect", &TJPOP3Object::nativeDisconnect},
    {"getMail", 1, TJMethodResult::Undefined, "POP3.getMail", &TJPOP3Object::nativeGetMail},
    {"getSummary", 1, TJMethodResult::Undefined, "POP3.getSummary", &TJPOP3Object::nativeGetSummary},
    {"delete", 1, TJMethodResult::Self, "POP3.delete", &TJPOP3Object::nativeDelete},
};

TJPOP3Object::TJPOP3Object(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJMailClientObject(key, runtime, args) {
    SetClassName("POP3");
    auto client = std::make_unique<TgPOP3>(clientBufferSize);
    client->OnSuccess = TSocketNotifyEvent::bind<&TJPOP3Object::onSuccess>(this);
    client->OnFailure = TSocketNotifyEvent::bind<&TJPOP3Object::onFailure>(this);
    setMailClient(std::move(client), args);
    for (const char* event : pop3Events) RegisterEventName(event);
}

const TJMethodTable& TJPOP3Object::Methods() const {
    static const TJMethodTable table(MethodRows, TJObject::Methods());
    return table;
}

void TJPOP3Object::nativeConnect(TJValueList*, TJValue&) { pop3().Connect(); }
void TJPOP3Object::nativeDisconnect(TJValueList*, TJValue&) { pop3().Disconnect(); }

void TJPOP3Object::nativeGetMail(TJValueList* args, TJValue& result) {
    pop3().GetMail(ValueToInteger(args->At(0)));
    mail().Assign(pop3().Message);
    MakeObject(mailProperty(), result);
}

void TJPOP3Object::nativeGetSummary(TJValueList* args, TJValue& result) {
    pop3().GetSummary(ValueToInteger(args->At(0)));
    mail().Assign(pop3().Message);
    MakeObject(mailProperty(), result);
}

void TJPOP3Object::nativeDelete(TJValueList* args, TJValue&) { pop3().DeleteMail(ValueToInteger(args->At(0))); }

const TClassInfo TJSMTPObject::classInfo =
    makeClassInfo("TJSMTPObject", &TJMailClientObject::classInfo, &scriptCreator<TJSMTPObject>);

const TJBaseSocketObject::Method<TJSMTPObject> TJSMTPObject::MethodRows[] = {
    {"connect", 0, TJMethodResult::Self, "SMTP.connect", &TJSMTPObject::nativeConnect},
    {"open", 0, TJMethodResult::Self, "SMTP.connect", &TJSMTPObject::nativeConnect},
    {"disconnect", 0, TJMethodResult::Self, "SMTP.disconnect", &TJSMTPObject::nativeDisconnect},
    {"close", 0, TJMethodResult::Self, "SMTP.disconnect", &TJSMTPObject::nativeDisconnect},
    {"sendMail", 0, TJMethodResult::Self, "SMTP.sendMail", &TJSMTPObject::nativeSendMail},
};

TJSMTPObject::TJSMTPObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJMailClientObject(key, runtime, args) {
    SetClassName("SMTP");
    setMailClient(std::make_unique<TgSMTP>(clientBufferSize), args);
    for (const char* event : smtpEvents) RegisterEventName(event);
}

const TJMethodTable& TJSMTPObject::Methods() const {
    static const TJMethodTable table(MethodRows, TJObject::Methods());
    return table;
}

void TJSMTPObject::nativeConnect(TJValueList*, TJValue&) { smtp().Connect(); }
void TJSMTPObject::nativeDisconnect(TJValueList*, TJValue&) { smtp().Disconnect(); }

void TJSMTPObject::nativeSendMail(TJValueList*, TJValue&) {
    smtp().Message.Assign(mail());
    smtp().SendMail();
}
