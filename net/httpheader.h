// The header tables of the HTTP clients: TRequestHeader, the headers a
// request sends (with Basic credentials, RFC 7617), and TResponseHeader, the
// headers of the last response with its cookies. Both tables list their names
// in hash order (13 buckets), names matched without regard to case.
#pragma once

#include <vector>

#include "engine/support/hashtable.h"
#include "net/cookie.h"

class TRequestHeader : public TObject {
public:
    TRequestHeader() { Reset(); }

    // Empties the table, then "Accept: */*" and "Connection: close".
    void Reset();
    void SetHeader(const AnsiString& name, const AnsiString& value) { Headers.SetValue(name, value); }
    void SetHost(const AnsiString& value) { SetHeader("Host", value); }
    void SetAccept(const AnsiString& value) { SetHeader("Accept", value); }
    void SetConnection(const AnsiString& value) { SetHeader("Connection", value); }
    void SetContentLength(const AnsiString& value) { SetHeader("Content-Length", value); }
    void SetContentType(const AnsiString& value) { SetHeader("Content-Type", value); }
    void SetAuthorization(const AnsiString& value) { SetHeader("Authorization", value); }
    // "Authorization: Basic" of user ":" password; nothing when both are empty.
    void SetCredentials(const AnsiString& user, const AnsiString& password);
    // "name: value" for every header whose value is not empty, in table order.
    void GetLines(std::vector<AnsiString>& lines);

    TStringHashTable Headers{13, true};
    AnsiString Password;
    AnsiString User;
};

class TResponseHeader : public TObject {
public:
    // Empties the table and the cookie set.
    void Clear();
    bool HasHeader(const AnsiString& name) const { return Headers.HasKey(name); }
    AnsiString GetHeader(const AnsiString& name) const { return Headers.GetValue(name); }
    void SetHeader(const AnsiString& name, const AnsiString& value) { Headers.SetValue(name, value); }

    // Names are stored lower-cased.
    TStringHashTable Headers{13, true};
    TCookie Cookies;
    AnsiString Version;  // the three characters after "HTTP/" of the status line
};
