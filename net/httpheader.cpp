// The request and response header tables.
#include "net/httpheader.h"

#include "engine/support/base64.h"

void TRequestHeader::Reset() {
    Headers.Clear();
    SetAccept("*/*");
    SetConnection("close");
}

void TRequestHeader::SetCredentials(const AnsiString& user, const AnsiString& password) {
    if (user.empty() && password.empty()) return;
    SetAuthorization("Basic " + Base64Encode(user + ":" + password));
    User = user;
    Password = password;
}

void TRequestHeader::GetLines(std::vector<AnsiString>& lines) {
    lines.clear();
    for (const AnsiString& name : Headers.GetKeyList()) {
        AnsiString value = Headers.GetValue(name);
        if (!value.empty()) lines.push_back(name + ": " + value);
    }
}

void TResponseHeader::Clear() {
    Headers.Clear();
    Cookies.Clear();
}
