// The Cookie object: parse, its properties and item access to the values.
#include "net/cookieobject.h"

#include "engine/core/valuelist.h"
#include "engine/lib/dateobject.h"

namespace {

const TPropInfo cookieProperties[] = {
    StringProperty<&TJCookieObject::domainProperty, &TJCookieObject::setDomainProperty>("domain"),
    StringProperty<&TJCookieObject::pathProperty, &TJCookieObject::setPathProperty>("path"),
    ClassProperty<&TJCookieObject::expiresProperty>("expires", &TJObject::classInfo),
    IntegerProperty<&TJCookieObject::lengthProperty>("length"),
    StringProperty<&TJCookieObject::dataProperty>("data"),
};

}  // namespace

const TClassInfo TJCookieObject::classInfo =
    makeClassInfo("TJCookieObject", &TJObject::classInfo, cookieProperties, &scriptCreator<TJCookieObject>);

TJCookieObject::TJCookieObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Cookie");
}

TJCookieObject::~TJCookieObject() {
    if (Expires_) Expires_->DecRef();
}

namespace {

// parse(url, text) or parse(text); returns this object.
void parse(TJCookieObject& self, TJValueList* args, TJValue&) {
    if (HasTwoArgs(args)) self.Cookie().Parse(ValueToString(args->At(0)), ValueToString(args->At(1)));
    else self.Cookie().ParseText(ValueToString(args->At(0)));
}

const TJMethod<TJCookieObject> cookieMethods[] = {
    {"parse", 1, &parse, TJMethodResult::Self},
};

}  // namespace

const TJMethodTable& TJCookieObject::Methods() const {
    static const TJMethodTable table(cookieMethods, TJObject::Methods());
    return table;
}

TJObject* TJCookieObject::expiresProperty() const {
    if (!Expires_) {
        Expires_ = createObject<TJDateObject>(Runtime(), false, nullptr);
        Expires_->IncRef();
    }
    static_cast<TJDateObject*>(Expires_)->SetLocalDateTime(Cookie_.Expires);
    return Expires_;
}

void TJCookieObject::GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args) {
    if (keyError) MakeString(Cookie_.GetValue(name), value);
    else TJObject::GetValue(name, keyError, value, args);
}

void TJCookieObject::SetValue(const AnsiString& name, const TJValue& value, TJValueList* args) {
    if (HasKey(name)) TJObject::SetValue(name, value, args);
    else Cookie_.SetValue(name, ValueToString(value));
}

void TJCookieObject::GetPropertyList(std::vector<AnsiString>& list) { list = Cookie_.GetNames(); }
