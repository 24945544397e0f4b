// TCookie: the cookie set an HTTP response leaves behind - the name/value
// pairs of every "Set-Cookie" header of one response (RFC 6265 syntax) with
// the domain, path and expiry of the last one. The HTTP clients fill it while
// reading headers; the script "Cookie" and "Response" objects show it. No
// request ever carries a cookie.
#pragma once

#include <vector>

#include "engine/support/hashtable.h"
#include "rtl/datetime.h"
#include "rtl/reflection.h"

class TCookie : public TObject {
public:
    TCookie() { Clear(); }

    void Clear();
    void Assign(const TCookie& other);
    // Adds the pairs of one "Set-Cookie" value; domain and path come from the
    // URL (both empty for an empty URL), "expires", "domain" and "path" set
    // them. Attributes such as Max-Age or Secure are no cookies.
    void Parse(std::string_view url, std::string_view text);
    void ParseText(std::string_view text) { Parse({}, text); }

    AnsiString GetValue(const AnsiString& name) const { return Values.GetValue(name); }
    bool HasValue(const AnsiString& name) const { return Values.HasKey(name); }
    void SetValue(const AnsiString& name, const AnsiString& value) { Values.SetValue(name, value); }
    int Count() const { return static_cast<int>(Values.GetKeyList().size()); }
    // The names in the table's listing order.
    const std::vector<AnsiString>& GetNames() const { return Values.GetKeyList(); }
    // "name=value;" for every name whose value is not empty.
    AnsiString DataText() const;
    // The attributes ("expires=", "domain=", "path=") then every pair.
    AnsiString CookieText() const;

    // Names match with regard to case. Mutable: listing refreshes its cache.
    mutable TStringHashTable Values{101, false};
    AnsiString Domain;
    AnsiString Path;
    TDateTime Expires = 0;  // 0: no expiry given
};
