// The HTTP client: request building (proxies, credentials, body headers),
// response analysis (status line, headers, cookies, interim replies), body
// framing (Content-Length, chunked, until close) and the get, getFile, head
// and post loops with their redirects. Source text is compiled to code page 932.
#include "net/ghttp.h"

#include <charconv>

#include "engine/support/mbstring.h"
#include "net/textutil.h"
#include "rtl/numtext.h"

namespace {

// Removes a header this client set itself, unless something replaced it since.
void removeIfMade(TStringHashTable& headers, const char* name, AnsiString& made) {
    if (!made.empty() && headers.GetValue(name) == made) headers.Remove(name);
    made.clear();
}

}  // namespace

TgHTTP::TgHTTP(int32_t bufferSize) : TgSocket(bufferSize) { Port = 80; }

void TgHTTP::UnbindHooks() {
    TgSocket::UnbindHooks();
    OnRequest = THttpRequestEvent();
    OnAuthenticate = TSocketNotifyEvent();
    OnFailure = OnSuccess = THttpCommandEvent();
    OnRedirect = THttpRedirectEvent();
    OnResponse = THttpResponseEvent();
}

void TgHTTP::raiseProtocol(const AnsiString& text) {
    Status("err>" + text, 2);
    throw EProtocolError(0, "http", text);
}

// ==== Request ====

bool TgHTTP::prepareRequest(const AnsiString& method, const AnsiString& url, const AnsiString& body,
                            TUrlInfo& info) {
    Url = url;
    Method_ = method.empty() ? AnsiString("GET") : method;
    Cancelled = TimedOut = false;
    Framing_ = BodyFraming::UntilClose;
    info = ParseUrl(Url);
    RequestHeader.SetHost(UrlHostPort(Url));
    if (!info.username.empty() || !info.password.empty()) {
        RequestHeader.SetCredentials(info.username, info.password);
        UrlAuthorization_ = RequestHeader.Headers.GetValue("Authorization");
        UrlAuthorizationHost_ = info.hostname;
    }
    bool withBody = (Method_ == "POST" || Method_ == "PUT" || Method_ == "TRACE") && !body.empty();
    if (withBody) {
        BodyType_ = "application/x-www-form-urlencoded";
        BodyLength_ = intToText(static_cast<long long>(body.length()));
        RequestHeader.SetContentType(BodyType_);
        RequestHeader.SetContentLength(BodyLength_);
    } else {
        removeIfMade(RequestHeader.Headers, "Content-Type", BodyType_);
        removeIfMade(RequestHeader.Headers, "Content-Length", BodyLength_);
    }
    if (OnRequest) {
        OnRequest(this, Url, RequestHeader, Proxy);
        info = ParseUrl(Url);
    }
    if (!UrlAuthorizationHost_.empty() && UrlAuthorizationHost_ != info.hostname) {
        removeIfMade(RequestHeader.Headers, "Authorization", UrlAuthorization_);
        UrlAuthorizationHost_.clear();
    }
    // A line break would end the request line or a header early and let the
    // rest pass as headers or a second request of its own.
    bool clean = !HoldsLineBreakOrNul(Method_) && !HoldsLineBreakOrNul(Url);
    for (const AnsiString& name : RequestHeader.Headers.GetKeyList())
        clean = clean && !HoldsLineBreakOrNul(name) && !HoldsLineBreakOrNul(RequestHeader.Headers.GetValue(name));
    if (!clean) raiseProtocol("CR, LF or NUL in the request");
    return withBody;
}

void TgHTTP::SendRequest(const AnsiString& method, const AnsiString& url, const AnsiString& body) {
    TUrlInfo info;
    bool withBody = prepareRequest(method, url, body, info);
    AnsiString target;
    AnsiString port = info.port;
    if (!Proxy.empty()) {
        target = (info.protocol.empty() ? AnsiString("http") : info.protocol) + "://" + info.hostname +
                 (info.port.empty() ? AnsiString() : ":" + info.port) + info.path;
        ParseProxy(Proxy, target, Host, port);
        if (port.empty()) port = "8080";
    } else {
        target = info.path;
        Host = info.hostname;
    }
    if (target.empty()) target = "/";
    int32_t number = 0;
    Port = textToInt32(trimText(port), number) && number > 0 && number < 65536 ? static_cast<uint16_t>(number) : 80;
    Connect();
    Status("rtn>サーバへリクエスト送信", 2);
    std::vector<AnsiString> lines;
    RequestHeader.GetLines(lines);
    lines.insert(lines.begin(), Method_ + " " + target + " HTTP/" + Version);
    AnsiString text;
    for (const AnsiString& line : lines) text += line + "\r\n";
    Send(text + "\r\n");
    for (const AnsiString& line : lines) SendCommand(line, true);
    if (withBody) Send(body);
}

// ==== Response ====

void TgHTTP::clearResponse() {
    ResponseHeader.Clear();
    Location.clear();
    RawHeader.clear();
    StatusCode = 0;
    ContentLength = -1;
    Framing_ = BodyFraming::UntilClose;
    BodyLeft_ = 0;
    ChunksDone_ = false;
    FirstChunk_ = true;
}

void TgHTTP::analyseLine(const AnsiString& line, bool statusLine) {
    if (statusLine) {
        size_t blank = line.find(' ');
        AnsiString rest = blank == std::string_view::npos ? AnsiString() : line.substr(blank + 1);
        size_t second = rest.find(' ');
        StatusText = second == std::string_view::npos ? AnsiString() : rest.substr(second + 1);
        int32_t code = 0;
        StatusCode = textToInt32(rest.substr(0, second), code) ? code : 999;
        ResponseHeader.Version = line.substr(5, 3);
        return;
    }
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    AnsiString name = lowerCaseAscii(trimText(line.substr(0, colon)));
    AnsiString value = trimText(line.substr(colon + 1));
    if (name == "set-cookie") ResponseHeader.Cookies.Parse(Url, value);
    else ResponseHeader.SetHeader(name, value);
}

// One reply block: the status line, the headers, the empty line. A block
// without its status line or cut short by a close fails.
void TgHTTP::readHeaderBlock() {
    AnsiString line;
    for (bool first = true;; first = false) {
        ReadReply(line);
        RawHeader += line + "\r\n";
        LastReply = RawHeader;
        if (RawHeader.length() > MaxLineLength) raiseProtocol("response header over 1 MiB");
        if (first && !line.startsWith("HTTP")) raiseProtocol("no status line");
        if (line.empty() && !peerClosed()) return;
        if (peerClosed()) raiseProtocol("response header cut short");
        analyseLine(line, line.startsWith("HTTP"));
    }
}

void TgHTTP::finishResponse() {
    if (OnResponse) OnResponse(this, Url, ResponseHeader, StatusCode, Location, StatusText, Proxy);
    // Only Location redirects; Content-Location names the body's own URL.
    if (ResponseHeader.HasHeader("location")) Location = ResolveRelativeUrl(Url, ResponseHeader.GetHeader("location"));
    if (ResponseHeader.HasHeader("content-length")) {
        int32_t length = 0;
        ContentLength = textToInt32(ResponseHeader.GetHeader("content-length"), length) ? length : 0;
    }
    if (ResponseHeader.HasHeader("content-range") && ContentLength == -1) {
        AnsiString range = ResponseHeader.GetHeader("content-range").substr(6);
        size_t dash = range.find('-');
        size_t slash = range.find('/');
        int32_t first = 0, total = 0;
        if (!textToInt32(range.substr(0, dash), first)) first = 0;
        if (slash == std::string_view::npos || !textToInt32(range.substr(slash + 1), total)) total = 0;
        if (total != 0) ContentLength = total - first;
    }
    if (StatusCode == 401) OnAuthenticate(this);
    if (StatusCode >= 400) throw EProtocolError(static_cast<uint16_t>(StatusCode), "http", StatusText);
}

void TgHTTP::chooseFraming(bool chunkedAllowed) {
    BodyLeft_ = 0;
    if (Method_ == "HEAD" || StatusCode == 204 || StatusCode == 304) {
        Framing_ = BodyFraming::Empty;
        return;
    }
    if (chunkedAllowed && lowerCaseAscii(ResponseHeader.GetHeader("transfer-encoding")).find("chunked") != std::string_view::npos) {
        Framing_ = BodyFraming::Chunked;
        return;
    }
    int64_t length = 0;
    if (ResponseHeader.HasHeader("content-length") &&
        textToInt64(trimText(ResponseHeader.GetHeader("content-length")), length) && length >= 0) {
        Framing_ = BodyFraming::Length;
        BodyLeft_ = length;
    }
}

void TgHTTP::ReadResponse() {
    Status("rtn>サーバからのレスポンス", 2);
    clearResponse();
    // Interim replies (100 Continue, 103 Early Hints) precede the real one.
    do {
        ResponseHeader.Clear();
        readHeaderBlock();
    } while (StatusCode >= 100 && StatusCode < 200);
    finishResponse();
    chooseFraming(true);
}

// ==== Body ====

void TgHTTP::nextChunk() {
    AnsiString line;
    if (!FirstChunk_) {
        ReadLine(line);
        if (!line.empty()) raiseProtocol("no line end after a chunk");
    }
    FirstChunk_ = false;
    ReadLine(line);
    AnsiString digits = trimText(line.substr(0, line.find(';')));
    uint64_t size = 0;
    auto [end, error] = std::from_chars(digits.c_str(), digits.c_str() + digits.length(), size, 16);
    if (digits.empty() || error != std::errc() || end != digits.c_str() + digits.length() || size > INT64_MAX)
        raiseProtocol("bad chunk size");
    if (size > 0) {
        BodyLeft_ = static_cast<int64_t>(size);
        return;
    }
    // The trailer counts against the cap of the header block.
    size_t headerBytes = RawHeader.length();
    do {
        ReadLine(line);
        headerBytes += line.length() + 2;
        if (headerBytes > MaxLineLength) raiseProtocol("response header over 1 MiB");
    } while (!line.empty() && !peerClosed());
    ChunksDone_ = true;
}

int32_t TgHTTP::readChunk(SOCKET& handle, char* buffer, int32_t size) {
    if (handle != Handle || Framing_ == BodyFraming::UntilClose) return TgSocket::readChunk(handle, buffer, size);
    if (Framing_ == BodyFraming::Empty) return 0;
    if (Framing_ == BodyFraming::Chunked && BodyLeft_ == 0) {
        nextChunk();
        if (ChunksDone_) return 0;
    }
    if (BodyLeft_ == 0) return 0;
    int32_t got = Recv(handle, buffer, static_cast<int32_t>(std::min<int64_t>(size, BodyLeft_)));
    if (got == 0) raiseProtocol(Framing_ == BodyFraming::Length ? "body shorter than Content-Length" : "chunked body cut short");
    if (got > 0) BodyLeft_ -= got;
    return got;
}

// Growing a large text step by step costs more than receiving it (each step
// is a fresh allocation to fill); the room asked for is capped, as the
// length is only the server's word.
void TgHTTP::ReceiveAppend(AnsiString& text, int64_t count) {
    constexpr int64_t reserveLimit = 64 << 20;
    if (Framing_ == BodyFraming::Length) {
        int64_t expected = count < 0 ? BodyLeft_ : std::min(count, BodyLeft_);
        text.reserve(text.length() + static_cast<size_t>(std::min(expected, reserveLimit)));
    }
    TgSocket::ReceiveAppend(text, count);
}

bool TgHTTP::atEnd(SOCKET& handle) {
    if (handle != Handle) return TgSocket::atEnd(handle);
    switch (Framing_) {
    case BodyFraming::UntilClose: return peerClosed();
    case BodyFraming::Empty: return true;
    case BodyFraming::Length: return BodyLeft_ == 0;
    case BodyFraming::Chunked: return ChunksDone_;
    }
    return true;
}

// ==== get, getFile, head, post ====

void TgHTTP::transfer(int32_t command, const char* verb, AnsiString url, const AnsiString& method,
                      const AnsiString& data, const std::function<void()>& readBody) {
    Status("nfo>" + url + "を" + verb + "します", 1);
    try {
        for (int redirects = 0;; ++redirects) {
            bool done = true;
            SendRequest(method, url, data);
            ReadResponse();
            if (!Location.empty()) {
                // A head follows a location only when OnRedirect asks for it.
                if (AutoRedirect && method != "HEAD") done = false;
                else if (OnRedirect) OnRedirect(this, done, Location);
            }
            if (done) {
                readBody();
                Disconnect();
                break;
            }
            if (redirects == MaxRedirects) raiseProtocol("more than 20 redirects");
            url = Location;
            Status("nfo>" + url + "にredirectします", 1);
            Disconnect();
        }
    } catch (...) {
        Disconnect();
        Status("nfo>" + url + "の" + verb + "異常終了", 1);
        OnFailure(command);
        throw;
    }
    OnSuccess(command);
    Status("nfo>" + url + "の" + verb + "正常終了", 1);
}

void TgHTTP::Get(const AnsiString& url, AnsiString& body) {
    transfer(0, "get", url, "GET", AnsiString(), [&] { ReceiveAppend(body, -1); });
}

void TgHTTP::GetFile(const AnsiString& url, const AnsiString& path) {
    transfer(0, "get", url, "GET", AnsiString(), [&] { CaptureToFile(path); });
}

void TgHTTP::Head(const AnsiString& url) {
    transfer(2, "head", url, "HEAD", AnsiString(), [] {});
}

void TgHTTP::Post(const AnsiString& url, const AnsiString& data, AnsiString& body) {
    transfer(5, "post", url, "POST", data, [&] { ReceiveAppend(body, -1); });
}
