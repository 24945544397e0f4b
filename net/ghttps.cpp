// The HTTPS client over WinINet: InternetOpen with the proxy, InternetConnect,
// HttpOpenRequest with the flags of the URL's protocol, HttpSendRequest with
// the header text and the body, the raw header block, InternetReadFile.
// Source text is compiled to code page 932.
#include "net/ghttps.h"

#include "engine/support/mbstring.h"
#include "rtl/numtext.h"

namespace {

// RELOAD, SECURE, NO_AUTO_REDIRECT, IGNORE_CERT_DATE_INVALID, HYPERLINK, NO_UI;
// without SECURE and the date flag for any other protocol.
constexpr DWORD secureFlags = 0x80A02600;
constexpr DWORD plainFlags = 0x80200600;
// Requests carry no cookies: WinINet's own jar would add the ones it saw.
constexpr DWORD noCookies = INTERNET_FLAG_NO_COOKIES;
// Connect, receive, send, data-send and data-receive time-outs, in this order.
constexpr DWORD timeoutOptions[] = {2, 6, 5, 7, 8};
constexpr DWORD rawHeaderSize = 65535;

}  // namespace

TgHTTPS::~TgHTTPS() {
    try {
        if (Connected) TgHTTPS::Disconnect();
    } catch (...) {
        // A destructor cannot pass a hook's error on.
    }
    closeInternetHandles();
}

// A time-out of 0 or less sets no option: WinINet's own limits stay.
void TgHTTPS::setTimeouts(HINTERNET handle) {
    if (Timeout <= 0) return;
    DWORD milliseconds = static_cast<DWORD>(Timeout) * 1000;
    for (DWORD option : timeoutOptions) InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
}

void TgHTTPS::closeInternetHandles() {
    for (HINTERNET* handle : {&Request, &Connection, &InternetHandle}) {
        if (*handle) InternetCloseHandle(*handle);
        *handle = nullptr;
    }
}

void TgHTTPS::Connect() {
    if (Connected) Disconnect();
    InternetHandle = InternetOpenA(nullptr, Proxy.empty() ? INTERNET_OPEN_TYPE_DIRECT : INTERNET_OPEN_TYPE_PROXY,
                                   Proxy.empty() ? nullptr : Proxy.c_str(), nullptr, 0);
    if (!InternetHandle) throw ESocketError(static_cast<int32_t>(GetLastError()));
    setTimeouts(InternetHandle);
    Status("rtn>" + Host + "にconnectします", 4);
    AnsiString where = Host + ":" + intToText(Port);
    for (int attempts = 1;; ++attempts) {
        Connection = InternetConnectA(InternetHandle, Host.c_str(), Port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
        if (Connection) break;
        LastError = static_cast<int32_t>(GetLastError());
        Status("err>" + where + "にconnect失敗しました", 2);
        bool retry = false;
        OnHostNotFound(retry);
        OnConnectFailed(this);
        OnError(this, LastError, "connect error");
        if (!retry || attempts >= 5) throw ESocketError(LastError);
    }
    Status("suc>" + where + "にconnect成功しました", 2);
    Connected = true;
    OnConnect(this);
}

void TgHTTPS::Disconnect() {
    if (Connected) Status("nfo>" + Host + "から切断します", 2);
    closeInternetHandles();
    Connected = false;
    OnDisconnect(this);
}

void TgHTTPS::SendCommand(const AnsiString& line, bool) {
    if (!trimText(line).empty()) Status("cmd>" + line, 2);
}

void TgHTTPS::SendRequest(const AnsiString& method, const AnsiString& url, const AnsiString& body) {
    TUrlInfo info;
    bool withBody = prepareRequest(method, url, body, info);
    Host = info.hostname;
    int32_t port = 0;
    bool secure = info.protocol == "https";
    Port = textToInt32(info.port, port) && port > 0 && port < 65536 ? static_cast<uint16_t>(port) : secure ? 443 : 80;
    Connect();
    Status("rtn>サーバへリクエスト送信", 2);
    AnsiString version = "HTTP/" + Version;
    SendCommand(Method_ + " " + info.path + " " + version, true);
    std::vector<AnsiString> lines;
    RequestHeader.GetLines(lines);
    AnsiString headers;
    for (const AnsiString& line : lines) {
        SendCommand(line, true);
        headers += line + "\r\n";
    }
    OpenFlags = (secure ? secureFlags : plainFlags) | noCookies;
    Request = HttpOpenRequestA(Connection, Method_.c_str(), info.path.c_str(), version.c_str(), nullptr, nullptr,
                               OpenFlags, 0);
    if (!Request) throw ESocketError(static_cast<int32_t>(GetLastError()));
    // WinINet honours the time-outs of the request handle itself: without
    // them a silent server would block for ever.
    setTimeouts(Request);
    // The body goes with POST, PUT and TRACE alike, as over the socket.
    if (!HttpSendRequestA(Request, headers.c_str(), static_cast<DWORD>(headers.length()),
                          withBody ? const_cast<char*>(body.c_str()) : nullptr,
                          withBody ? static_cast<DWORD>(body.length()) : 0))
        throw ESocketError(static_cast<int32_t>(GetLastError()));
}

void TgHTTPS::ReadResponse() {
    Status("rtn>サーバからのレスポンス", 2);
    clearResponse();
    AnsiString raw(rawHeaderSize, '\0');
    DWORD length = rawHeaderSize;
    if (!HttpQueryInfoA(Request, HTTP_QUERY_RAW_HEADERS_CRLF, raw.mutableData(), &length, nullptr))
        throw ESocketError(static_cast<int32_t>(GetLastError()));
    RawHeader = raw.substr(0, length);
    LastReply = RawHeader;
    if (!RawHeader.startsWith("HTTP")) raiseProtocol("no status line");
    std::string_view rest = RawHeader.view();
    for (bool first = true; !rest.empty(); first = false) {
        size_t end = rest.find("\r\n");
        AnsiString line(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
        if (line.empty()) continue;
        Status("res>" + line, 2);
        analyseLine(line, first);
    }
    finishResponse();
    // WinINet decodes a chunked body itself.
    chooseFraming(false);
}

int32_t TgHTTPS::InternetRead(char* buffer, int32_t size) {
    TimedOut = false;
    EofFlag = true;
    DWORD got = 0;
    if (!InternetReadFile(Request, buffer, static_cast<DWORD>(size), &got)) {
        LastError = static_cast<int32_t>(GetLastError());
        Status("err>socket error", 2);
        OnError(this, LastError, AnsiString());
        throw ESocketError(LastError);
    }
    if (got > 0) {
        EofFlag = false;
        BytesRead += got;
        BytesTotal += got;
    }
    firePacket(OnPacketRecvd, static_cast<int32_t>(got));
    return static_cast<int32_t>(got);
}

// WinINet hands a body cut short by a close over as complete: the count
// against Content-Length tells.
int32_t TgHTTPS::readChunk(SOCKET&, char* buffer, int32_t size) {
    if (Framing_ == BodyFraming::Empty) {
        EofFlag = true;
        return 0;
    }
    if (Framing_ == BodyFraming::Length) {
        if (BodyLeft_ == 0) return 0;
        size = static_cast<int32_t>(std::min<int64_t>(size, BodyLeft_));
    }
    int32_t got = InternetRead(buffer, size);
    if (Framing_ != BodyFraming::Length) return got;
    if (got == 0) raiseProtocol("body shorter than Content-Length");
    BodyLeft_ -= got;
    return got;
}

bool TgHTTPS::atEnd(SOCKET&) {
    if (Framing_ == BodyFraming::Length) return BodyLeft_ == 0;
    return Framing_ == BodyFraming::Empty || EofFlag;
}

// CR bytes are dropped and LF ends the line.
void TgHTTPS::ReadLine(AnsiString& text) {
    text.clear();
    SOCKET none = INVALID_SOCKET;
    char byte;
    while (readChunk(none, &byte, 1) == 1) {
        if (byte == '\n') break;
        if (byte != '\r') text += byte;
        if (text.length() > MaxLineLength) throw EgSocket("line over 1 MiB");
        if (atEnd(none)) break;
    }
}
