// URL splitting and composing, Host header text, proxy chains and relative
// links. The delimiters looked for (":/?@;+") all lie below 0x40, so no
// trail byte of a double-byte character is ever taken for one.
#include "net/urlutil.h"

#include <cstdint>

#include "engine/support/mbstring.h"
#include "rtl/numtext.h"

namespace {

constexpr size_t npos = std::string_view::npos;

// Splits the path part (query excluded) into directory and file name.
void splitPath(std::string_view pathPart, TUrlInfo& info) {
    size_t slash = pathPart.rfind('/');
    info.directory = slash == npos ? AnsiString() : AnsiString(pathPart.substr(0, slash + 1));
    info.filename = AnsiString(slash == npos ? pathPart : pathPart.substr(slash + 1));
}

const char* defaultPort(const AnsiString& protocol) {
    if (protocol == "http") return "80";
    if (protocol == "https") return "443";
    if (protocol == "ftp") return "21";
    return "";
}

AnsiString replaceAll(std::string_view text, char from, std::string_view to) {
    AnsiString out;
    for (char c : text) {
        if (c == from) out += to;
        else out += c;
    }
    return out;
}

}  // namespace

TUrlInfo ParseUrl(std::string_view text) {
    TUrlInfo info;
    info.url = AnsiString(text);
    AnsiString trimmed = trimText(text);
    std::string_view rest = trimmed.view();

    if (size_t scheme = rest.find("://"); scheme != npos) {
        info.protocol = lowerCaseAscii(rest.substr(0, scheme));
        rest.remove_prefix(scheme + 3);
    }
    size_t slash = rest.find('/');
    std::string_view host = rest.substr(0, slash);
    std::string_view path = slash == npos ? std::string_view("/") : rest.substr(slash);

    if (size_t at = host.find('@'); at != npos) {
        std::string_view user = host.substr(0, at);
        size_t colon = user.find(':');
        info.username = AnsiString(user.substr(0, colon));
        if (colon != npos) info.password = AnsiString(user.substr(colon + 1));
        host.remove_prefix(at + 1);
    }
    if (size_t colon = host.find(':'); colon != npos) {
        AnsiString port = trimText(host.substr(colon + 1));
        int32_t number;
        if (textToInt32(port, number)) info.port = port;
        host = host.substr(0, colon);
    }
    info.hostname = lowerCaseAscii(host);
    info.path = AnsiString(path);

    // The query begins at the first "?": a query may itself hold "?" and "/".
    size_t question = info.protocol == "ftp" ? npos : path.find('?');
    splitPath(path.substr(0, question), info);
    if (question != npos) info.query = AnsiString(path.substr(question));
    return info;
}

AnsiString ComposeUrl(const TUrlInfo& info) {
    AnsiString url;
    if (!info.protocol.empty()) url += info.protocol + "://";
    if (!info.username.empty()) url += info.username + ":" + info.password + "@";
    url += info.hostname;
    if (!info.port.empty() && info.port != defaultPort(info.protocol)) url += ":" + info.port;
    url += info.path;
    return url;
}

AnsiString UrlHostPort(std::string_view url) {
    TUrlInfo info = ParseUrl(url);
    return info.port.empty() ? info.hostname : info.hostname + ":" + info.port;
}

void ParseProxy(std::string_view setting, AnsiString& pathPrefix, AnsiString& host, AnsiString& port) {
    AnsiString trimmed = trimText(setting);
    std::string_view first = trimmed.view();
    if (size_t plus = first.find('+'); plus != npos) {
        AnsiString chain = "http://" + replaceAll(first.substr(plus + 1), '+', "/-_-http://") + "/-_-";
        pathPrefix = chain + pathPrefix;
        first = first.substr(0, plus);
    }
    size_t colon = first.find(':');
    host = AnsiString(first.substr(0, colon));
    port = colon == npos ? AnsiString() : AnsiString(first.substr(colon + 1));
}

AnsiString ResolveRelativeUrl(std::string_view base, std::string_view link) {
    link = link.substr(0, link.find(';'));
    if (link.find("://") != npos) return AnsiString(link);
    TUrlInfo info = ParseUrl(base);
    info.path = info.directory;
    if (link.starts_with("/")) {
        info.path = AnsiString(link);
        return ComposeUrl(info);
    }
    if (link.starts_with("./")) {
        info.path += link.substr(2);
        return ComposeUrl(info);
    }
    if (link.starts_with("../")) {
        AnsiString up = ComposeUrl(info);
        up = up.substr(0, up.length() - 1);  // the directory's final "/"
        size_t hostStart = up.find("://");
        hostStart = hostStart == npos ? 0 : hostStart + 3;
        while (link.starts_with("../")) {
            link.remove_prefix(3);
            size_t slash = up.view().rfind('/');
            if (slash != npos && slash >= hostStart) up = up.substr(0, slash);
        }
        return up + "/" + link;
    }
    info.path += link;
    return ComposeUrl(info);
}
