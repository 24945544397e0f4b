// URLs as the network clients see them: splitting into a TUrlInfo record and
// composing it again, the Host header text, proxy settings with chained
// proxies and the resolution of relative links. Used by the HTTP, HTTPS and
// FTP clients, the cookie store and the URL script object.
#pragma once

#include <string_view>

#include "rtl/ansistring.h"

struct TUrlInfo {
    AnsiString url;        // the text as given
    AnsiString protocol;   // lower case, without "://"
    AnsiString username;
    AnsiString password;
    AnsiString hostname;   // lower case
    AnsiString port;       // digits or empty
    AnsiString path;       // from the first "/" after the host, query included; "/" when none
    AnsiString directory;  // the path up to and including its last "/", without the query
    AnsiString filename;   // the rest of that part
    AnsiString query;      // from the "?" on; always empty for ftp
};

TUrlInfo ParseUrl(std::string_view text);
// protocol "://" [username ":" password "@"] hostname [":" port] path; the port
// is left out when it is the protocol's default (http 80, https 443, ftp 21).
AnsiString ComposeUrl(const TUrlInfo& info);
// The host name, and ":" with the port when the URL gives one.
AnsiString UrlHostPort(std::string_view url);
// Reads a proxy setting "host[:port][+proxy2[+proxy3...]]": host and port of
// the first proxy (port empty without ":"); the chain of further proxies goes
// in front of pathPrefix.
void ParseProxy(std::string_view setting, AnsiString& pathPrefix, AnsiString& host, AnsiString& port);
// The absolute URL of link as found in the page at base.
AnsiString ResolveRelativeUrl(std::string_view base, std::string_view link);
