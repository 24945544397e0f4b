// The cookie set: parsing "Set-Cookie" values and the texts shown to scripts.
#include "net/cookie.h"

#include "engine/support/mbstring.h"
#include "net/httpdate.h"
#include "net/urlutil.h"

namespace {

// Set-Cookie attributes that are not cookies of their own.
bool isAttribute(std::string_view name) {
    static const char* const attributes[] = {"max-age", "samesite", "secure", "httponly", "version", "comment"};
    AnsiString lower = lowerCaseAscii(name);
    for (const char* attribute : attributes)
        if (lower == attribute) return true;
    return false;
}

}  // namespace

void TCookie::Clear() {
    Values.Clear();
    Domain.clear();
    Path = "/";
    Expires = 0;
}

void TCookie::Assign(const TCookie& other) {
    Clear();
    Domain = other.Domain;
    Path = other.Path;
    Expires = other.Expires;
    for (const AnsiString& name : other.GetNames()) SetValue(name, other.GetValue(name));
}

void TCookie::Parse(std::string_view url, std::string_view text) {
    TUrlInfo info = url.empty() ? TUrlInfo{} : ParseUrl(url);
    Domain = info.hostname;
    Path = info.path;
    while (!text.empty()) {
        size_t end = text.find(';');
        std::string_view piece = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        size_t equals = piece.find('=');
        if (equals == std::string_view::npos) continue;
        AnsiString name = trimText(piece.substr(0, equals));
        AnsiString value = trimText(piece.substr(equals + 1));
        AnsiString lower = lowerCaseAscii(name);
        if (lower == "expires") Expires = ParseHttpDate(value);
        else if (lower == "domain") Domain = value;
        else if (lower == "path") Path = value;
        else if (!isAttribute(name)) SetValue(name, value);
    }
}

AnsiString TCookie::DataText() const {
    AnsiString text;
    for (const AnsiString& name : GetNames()) {
        AnsiString value = GetValue(name);
        if (!value.empty()) text += name + "=" + value + ";";
    }
    return text;
}

AnsiString TCookie::CookieText() const {
    AnsiString text;
    if (Expires != 0) text += "expires=" + FormatHttpDate(Expires) + ";";
    if (!Domain.empty()) text += "domain=" + Domain + ";";
    text += Path.empty() ? AnsiString("path=/;") : "path=" + Path + ";";
    for (const AnsiString& name : GetNames()) text += name + "=" + GetValue(name) + ";";
    return text;
}
