// TJCookieObject: the script class "Cookie" over one TCookie - parse, the
// domain, path, expiry and data texts, and item access c[name] to the values.
// The "Response" object of the HTTP classes owns one.
#pragma once

#include "engine/core/object.h"
#include "net/cookie.h"

class TJCookieObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJCookieObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJCookieObject() override;

    TCookie& Cookie() { return Cookie_; }

    // Item access (c[name]) reads a cookie value, empty when absent.
    void GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args = nullptr) override;
    // A name that is neither a property nor a member stores a cookie value.
    void SetValue(const AnsiString& name, const TJValue& value, TJValueList* args = nullptr) override;
    // The cookie names.
    void GetPropertyList(std::vector<AnsiString>& list) override;
    AnsiString ToString(const TJValue* = nullptr) override { return Cookie_.CookieText(); }

    // ---- Published properties ----
    AnsiString domainProperty() const { return Cookie_.Domain; }
    void setDomainProperty(AnsiString domain) { Cookie_.Domain = domain; }
    AnsiString pathProperty() const { return Cookie_.Path; }
    void setPathProperty(AnsiString path) { Cookie_.Path = path; }
    // The one Date object of this cookie set, set to the expiry (local time).
    TJObject* expiresProperty() const;
    int32_t lengthProperty() const { return Cookie_.Count(); }
    AnsiString dataProperty() const { return Cookie_.DataText(); }

    const TJMethodTable& Methods() const override;

private:
    TCookie Cookie_;
    mutable TJObject* Expires_ = nullptr;
};
