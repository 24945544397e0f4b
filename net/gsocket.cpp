// The socket: WinSock start-up, the waits in one-second rounds, counted reads
// and sends, lines, streams and files, connecting, listening and accepting,
// and the status log with its levels (1 summaries, 2 results and protocol
// lines, 4 steps, 8 diagnostics). Source text is compiled to code page 932.
#include "net/gsocket.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/support/mbstring.h"
#include "engine/support/safefilestream.h"
#include "net/netaddress.h"
#include "net/textutil.h"
#include "net/textutil.h"
#include "rtl/numtext.h"
#include "rtl/random.h"

namespace {

// WinSock is started once for the program: 2.2, else 2.0, else 1.1.
struct WinSockLibrary {
    bool Started = false;
    WinSockLibrary() {
        WSADATA data;
        for (WORD version : {MAKEWORD(2, 2), MAKEWORD(2, 0), MAKEWORD(1, 1)}) {
            if (WSAStartup(version, &data) == 0) {
                Started = true;
                break;
            }
        }
    }
    ~WinSockLibrary() {
        if (Started) WSACleanup();
    }
} winSockLibrary;

AnsiString handleText(SOCKET handle) { return intToText(static_cast<long long>(handle)); }

}  // namespace

ESocketError::ESocketError(int32_t code)
    : EgSocket("socket error no." + intToText(static_cast<uint16_t>(code))), ErrorCode(code) {}

EProtocolError::EProtocolError(uint16_t replyCode, AnsiString protocol, AnsiString replyText)
    : EgSocket(replyText), ReplyCode(replyCode), Protocol(std::move(protocol)), ReplyText(std::move(replyText)) {}

int32_t TTextSinkStream::Write(const void* buffer, int32_t count) {
    if (text_.length() + static_cast<size_t>(count) > MaxTextBodyLength) throw EgSocket("text over 256 MiB");
    text_.append(static_cast<const char*>(buffer), static_cast<size_t>(count));
    return count;
}

TDownloadStream::TDownloadStream(const AnsiString& path, bool keepOld) : path_(path), file_(path, keepOld) {
    if (!file_.valid()) throw EFCreateError(fileErrorText("Cannot create file", path));
}

int32_t TDownloadStream::Write(const void* buffer, int32_t count) {
    if (!file_.write(std::string_view(static_cast<const char*>(buffer), static_cast<size_t>(count))))
        throw EWriteError(fileErrorText("Cannot write file", path_));
    return count;
}

void TDownloadStream::Commit() {
    if (!file_.commit()) throw EWriteError(fileErrorText("Cannot write file", path_));
}

// ==== Construction ====

TgSocket::TgSocket(int32_t bufferSize) { InitSocket(bufferSize); }

TgSocket::TgSocket(SOCKET handle, int32_t bufferSize) {
    InitSocket(bufferSize);
    Timeout = 120;
    Handle = handle;
    makeNonBlocking(handle);
    int length = sizeof Address;
    getpeername(handle, reinterpret_cast<sockaddr*>(&Address), &length);
    RemoteAddress = Address.sin_addr.s_addr;
    Connected = true;
}

TgSocket::~TgSocket() { ReleaseSocket(); }

void TgSocket::InitSocket(int32_t bufferSize) {
    Handle = INVALID_SOCKET;
    RemoteAddress = INADDR_NONE;
    Connected = false;
    BufferSize = std::max(bufferSize, 1);
    Buffer.resize(static_cast<size_t>(BufferSize));
}

// A handle whose connect failed is closed too, not only a connected one.
void TgSocket::ReleaseSocket() {
    try {
        if (Connected) TgSocket::Disconnect();
        TgSocket::CloseHandle(Handle);
    } catch (...) {
        // A destructor cannot pass a hook's error on.
    }
}

void TgSocket::UnbindHooks() {
    OnConnect = OnConnectFailed = OnDisconnect = OnHostFound = OnReadable = TSocketNotifyEvent();
    OnNotConnected = OnHostNotFound = TSocketRetryEvent();
    OnError = TSocketErrorEvent();
    OnPacketRecvd = OnPacketSent = TSocketPacketEvent();
    OnStatus = TSocketStatusEvent();
    OnAccept = TSocketAcceptEvent();
    OnWaitTick = TSocketWaitEvent();
}

// ==== Status log and failures ====

void TgSocket::Status(const AnsiString& text, int32_t level) {
    if (level <= LogLevel) OnStatus(this, text);
}

void TgSocket::reportError(int32_t code, const AnsiString& text, bool withName) {
    LastError = code;
    Status("err>" + text, 2);
    AnsiString name = WinSockErrorName(code);
    if (withName) Status("dbg>" + name, 8);
    OnError(this, code, name);
}

void TgSocket::raiseSocketError(int32_t code, const AnsiString& text) {
    reportError(code, text, true);
    throw ESocketError(code);
}

void TgSocket::firePacket(const TSocketPacketEvent& hook, int32_t count) {
    bool cancel = false;
    hook(this, count, cancel);
    if (cancel) throw ESocketError(0);
}

// ==== Waits ====
// Every handle is non-blocking: a call is tried at once, and only when it
// would block does the wait in one-second rounds begin, so a stream of data
// costs one platform call per chunk.

bool TgSocket::waitRounds(SOCKET handle, WaitFor what) {
    TimedOut = false;
    for (int32_t round = 0; Timeout <= 0 || round < Timeout; ++round) {
        fd_set ready, failed;
        FD_ZERO(&ready);
        FD_SET(handle, &ready);
        FD_ZERO(&failed);
        FD_SET(handle, &failed);
        timeval second{1, 0};
        int result = select(0, what == WaitFor::Read ? &ready : nullptr, what == WaitFor::Read ? nullptr : &ready,
                            what == WaitFor::Connect ? &failed : nullptr, Timeout <= 0 ? nullptr : &second);
        if (result < 0) raiseSocketError(WSAGetLastError(), "socket error");
        if (result > 0) return true;
        bool abort = false;
        OnWaitTick(this, abort);
        if (abort) break;
    }
    TimedOut = true;
    return false;
}

void TgSocket::waitReady(SOCKET handle, WaitFor what) {
    if (waitRounds(handle, what)) return;
    bool reading = what == WaitFor::Read;
    reportError(WSAETIMEDOUT, reading ? "recv timeout" : "send timeout", true);
    throw ESocketTimeout(reading ? "socket timeout" : "Send Timeout");
}

template <class Call>
auto TgSocket::attempt(SOCKET handle, WaitFor what, Call call) {
    TimedOut = false;
    for (;;) {
        auto result = call();
        using Result = decltype(result);
        if (result != static_cast<Result>(SOCKET_ERROR) || WSAGetLastError() != WSAEWOULDBLOCK) return result;
        waitReady(handle, what);
    }
}

void TgSocket::makeNonBlocking(SOCKET handle) {
    u_long nonBlocking = 1;
    ioctlsocket(handle, FIONBIO, &nonBlocking);
}

// ==== Counted reads and sends ====

int32_t TgSocket::Recv(SOCKET& handle, char* buffer, int32_t size) {
    int count;
    do {
        SetEof(handle, true);
        count = attempt(handle, WaitFor::Read, [&] { return recv(handle, buffer, size, 0); });
    } while (count > 0 && dropSplitLineFeed(handle, buffer, count));
    if (count == 0) {
        SetEof(handle, true);
        CloseHandle(handle);
        return 0;
    }
    if (count < 0) raiseSocketError(WSAGetLastError(), "socket error");
    SetEof(handle, false);
    if (LogLevel >= 8) Status("dbg>socketから " + intToText(count) + " bytes読み込みました", 8);
    BytesRead += static_cast<uint64_t>(count);
    BytesTotal += static_cast<uint64_t>(count);
    firePacket(OnPacketRecvd, count);
    return count;
}

int32_t TgSocket::Peek(SOCKET& handle, char* buffer, int32_t size) {
    SetEof(handle, true);
    int count = attempt(handle, WaitFor::Read, [&] { return recv(handle, buffer, size, MSG_PEEK); });
    if (count == 0) {
        SetEof(handle, true);
        CloseHandle(handle);
        return 0;
    }
    if (count < 0) raiseSocketError(WSAGetLastError(), "socket error");
    SetEof(handle, false);
    return count;
}

int32_t TgSocket::SendBuffer(SOCKET& handle, const char* data, int32_t length) {
    int32_t sent = 0;
    int32_t last = 0;
    while (sent < length) {
        int32_t chunk = std::min(BufferSize, length - sent);
        last = attempt(handle, WaitFor::Write, [&] { return send(handle, data + sent, chunk, 0); });
        if (last <= 0) raiseSocketError(last < 0 ? WSAGetLastError() : WSAECONNRESET, "socket error");
        if (LogLevel >= 8) Status("dbg>socketに " + intToText(last) + " bytes書き込みました", 8);
        BytesWritten += static_cast<uint64_t>(last);
        BytesTotal += static_cast<uint64_t>(last);
        sent += last;
        firePacket(OnPacketSent, last);
    }
    return last;
}

int32_t TgSocket::Send(const AnsiString& text) {
    return SendBuffer(Handle, text.c_str(), static_cast<int32_t>(text.length()));
}

int32_t TgSocket::SendLine(const AnsiString& text) { return Send(text + "\r\n"); }

int32_t TgSocket::ReceiveBuffer(char* buffer, int32_t size) { return Recv(Handle, buffer, size); }

int32_t TgSocket::readChunk(SOCKET& handle, char* buffer, int32_t size) { return Recv(handle, buffer, size); }

// The receive loops end on the flag of the last read: asking the peer state
// as Eof does would cost a platform call per chunk, and a reset connection
// fails the next read anyway.
bool TgSocket::atEnd(SOCKET& handle) { return handle == Handle ? peerClosed() : Eof(handle); }

// ==== Lines ====

bool TgSocket::dropSplitLineFeed(SOCKET& handle, char* buffer, int& count) {
    if (!LineFeedPending_ || handle != Handle) return false;
    LineFeedPending_ = false;
    if (buffer[0] != '\n') return false;
    std::memmove(buffer, buffer + 1, static_cast<size_t>(--count));
    return count == 0;
}

// The earliest CR or LF ends the line; CR LF is one end, also when the LF
// arrives in a later read.
void TgSocket::ReadLine(AnsiString& text) {
    text.clear();
    char scratch[1024];
    for (;;) {
        int32_t count = Peek(Handle, scratch, sizeof scratch);
        if (count <= 0) break;
        if (std::exchange(LineFeedPending_, false) && scratch[0] == '\n') {
            Recv(Handle, scratch, 1);  // the line end of the line before
            continue;
        }
        std::string_view peeked(scratch, static_cast<size_t>(count));
        size_t end = FindLineBreak(peeked);
        size_t take = end == std::string_view::npos ? peeked.size() : end + 1;
        bool crAtEnd = end != std::string_view::npos && end + 1 == peeked.size() && peeked[end] == '\r';
        if (end + 1 < peeked.size() && peeked[end] == '\r' && peeked[end + 1] == '\n') ++take;
        text.append(scratch, end == std::string_view::npos ? peeked.size() : end);
        if (text.length() > MaxLineLength) throw EgSocket("line over 1 MiB");
        for (int32_t consumed = 0; consumed < static_cast<int32_t>(take);) {
            int32_t got = Recv(Handle, scratch + consumed, static_cast<int32_t>(take) - consumed);
            if (got <= 0) return;
            consumed += got;
        }
        LineFeedPending_ = crAtEnd;
        if (end != std::string_view::npos || Eof(Handle)) break;
    }
}

// A command is one line: a line break or NUL in it (a name from a script, say)
// would end it early and send the rest as a command of its own.
void TgSocket::SendCommand(const AnsiString& line, bool logOnly) {
    if (!logOnly) {
        if (HoldsLineBreakOrNul(line)) throw EgSocket("CR, LF or NUL in a command");
        SendLine(line);
    }
    if (MaskPassword && line.startsWith("PASS"))
        Status("cmd>PASS " + AnsiString(line.length() > 5 ? line.length() - 5 : 0, '*'), 2);
    else if (!trimText(line).empty())
        Status("cmd>" + line, 2);
}

void TgSocket::ReadReply(AnsiString& line) {
    ReadLine(line);
    LastReply = line;
    if (!line.empty()) Status("res>" + line, 2);
}

void TgSocket::SendAndReadLines(const AnsiString& line, AnsiString& text) {
    SendLine(line);
    text.clear();
    AnsiString next;
    do {
        ReadLine(next);
        if (next.empty()) break;
        text += next + "\r\n";
    } while (!Eof(Handle));
    LastReply = text;
}

// ==== Streams and files ====

bool TgSocket::ReceiveToStreamAt(SOCKET& handle, TStream& stream, int64_t position, int64_t count) {
    stream.setPosition(position);
    int64_t remaining = count;
    while (count < 0 || remaining > 0) {
        int32_t wanted = count < 0 ? BufferSize : static_cast<int32_t>(std::min<int64_t>(BufferSize, remaining));
        int32_t got = readChunk(handle, Buffer.data(), wanted);
        if (got > 0) {
            if (stream.Write(Buffer.data(), got) != got) throw EWriteError("stream write error");
            remaining -= got;
        }
        if (atEnd(handle)) return true;
    }
    return false;
}

void TgSocket::SendStreamAt(SOCKET& handle, TStream& stream, int64_t position, int64_t count) {
    stream.setPosition(position);
    int64_t remaining = count;
    while (count < 0 || remaining > 0) {
        int32_t wanted = count < 0 ? BufferSize : static_cast<int32_t>(std::min<int64_t>(BufferSize, remaining));
        int32_t got = stream.Read(Buffer.data(), wanted);
        if (got <= 0) break;
        SendBuffer(handle, Buffer.data(), got);
        remaining -= got;
    }
}

void TgSocket::Read(int64_t count, AnsiString& text) {
    text.clear();
    ReceiveAppend(text, count);
}

void TgSocket::ReceiveAppend(AnsiString& text, int64_t count) {
    TTextSinkStream sink(text);
    ReceiveToStreamAt(Handle, sink, 0, count);
}

void TgSocket::ReceiveToStream(TStream& stream, int64_t count) {
    ReceiveToStreamAt(Handle, stream, stream.position(), count);
}

void TgSocket::CaptureToFile(const AnsiString& path) {
    TDownloadStream file(path, false);
    ReceiveToStreamAt(Handle, file, 0, -1);
    file.Commit();
}

void TgSocket::SendFile(const AnsiString& path) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    TSafeFileStream file;
    file.Open(path, fmOpenRead | fmShareDenyWrite, true);
    SendStreamAt(Handle, file, 0, -1);
}

// ==== Connections ====

int TgSocket::peerState(SOCKET handle) {
    if (handle == INVALID_SOCKET) return 0;
    sockaddr_in peer{};
    int length = sizeof peer;
    if (getpeername(handle, reinterpret_cast<sockaddr*>(&peer), &length) == 0) return 2;
    return WSAGetLastError() == WSAENOTCONN ? 1 : 3;
}

bool TgSocket::IsConnected() { return Connected && peerState(Handle) == 2; }

bool TgSocket::Eof(SOCKET& handle) {
    if (handle != Handle) return peerState(handle) != 2;
    return EofFlag || peerState(Handle) != 2;
}

void TgSocket::SetEof(SOCKET& handle, bool value) {
    if (handle == Handle) EofFlag = value;
}

int32_t TgSocket::Poll() {
    fd_set readable, writable, failed;
    FD_ZERO(&readable);
    FD_SET(Handle, &readable);
    FD_ZERO(&writable);
    FD_SET(Handle, &writable);
    FD_ZERO(&failed);
    FD_SET(Handle, &failed);
    timeval wait{0, 10000};
    if (select(0, &readable, &writable, &failed, &wait) <= 0) return 0;
    int32_t mask = 0;
    if (FD_ISSET(Handle, &readable)) {
        OnReadable(this);
        mask |= 1;
    }
    if (FD_ISSET(Handle, &writable)) mask |= 2;
    if (FD_ISSET(Handle, &failed)) mask |= 4;
    return mask;
}

SOCKET TgSocket::NewSocket() {
    Status("rtn>socketを作成します", 4);
    SOCKET handle = socket(AF_INET, SOCK_STREAM, 0);
    if (handle == INVALID_SOCKET) {
        int code = WSAGetLastError();
        reportError(code, "socketの作成に失敗しました", true);
        throw ESocketError(code);
    }
    makeNonBlocking(handle);
    Status("dbg>socket(" + handleText(handle) + ")を作成しました", 8);
    return handle;
}

// Closed whatever the status hook raises.
void TgSocket::CloseHandle(SOCKET& handle) {
    if (handle == INVALID_SOCKET) return;
    struct Close {
        SOCKET Handle;
        ~Close() { closesocket(Handle); }
    } close{std::exchange(handle, INVALID_SOCKET)};
    Status("rtn>socket(" + handleText(close.Handle) + ")をcloseします", 4);
}

int TgSocket::connectWithin(SOCKET handle) {
    if (connect(handle, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) == 0) return 0;
    int code = WSAGetLastError();
    if (code != WSAEWOULDBLOCK) return code;
    if (!waitRounds(handle, WaitFor::Connect)) return WSAETIMEDOUT;
    int length = sizeof code;
    getsockopt(handle, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &length);
    return code;
}

void TgSocket::ConnectHandle(SOCKET& handle, uint16_t port, uint32_t address) {
    CloseHandle(handle);
    handle = NewSocket();
    Address = sockaddr_in{};
    Address.sin_family = AF_INET;
    Address.sin_port = htons(port);
    Address.sin_addr.s_addr = address;
    Status("rtn>" + Host + "にconnectします", 4);
    AnsiString where = Host + "(" + AddressToText(address) + "):" + intToText(port);
    if (int code = connectWithin(handle); code != 0) {
        LastError = code;
        Status("err>" + where + "にconnect失敗しました", 2);
        OnConnectFailed(this);
        OnError(this, code, WinSockErrorName(code));
        throw ESocketError(code);
    }
    ConnectedPort = port;
    Status("suc>" + where + "にconnect成功しました", 2);
}

void TgSocket::ConnectTo(const AnsiString& host, uint16_t port) {
    if (Connected) Disconnect();
    for (int attempts = 1;; ++attempts) {
        Status("rtn>" + host + "を探しています", 4);
        RemoteAddress = HostToAddress(host);
        if (RemoteAddress != INADDR_NONE) {
            Status("suc>" + host + "が見つかりました", 2);
            OnHostFound(this);
            break;
        }
        LastError = WSAGetLastError();
        Status("err>" + host + "が見つかりません", 2);
        bool retry = false;
        OnHostNotFound(retry);
        OnError(this, LastError, WinSockErrorName(LastError));
        if (!retry || attempts >= 5) throw ETCPIPError("not found " + host, RemoteAddress);
    }
    ConnectHandle(Handle, port, RemoteAddress);
    Connected = true;
    OnConnect(this);
}

void TgSocket::Connect() { ConnectTo(Host, Port); }

// Closes also when Connected is already false (a handle may be left from a
// failed connect or a peer's close); only the log line needs a connection.
void TgSocket::Disconnect() {
    TCleanupSteps steps;
    if (Connected) steps.Run([&] { Status("nfo>" + Host + ":" + intToText(ConnectedPort) + "から切断します", 2); });
    steps.Run([&] { CloseHandle(Handle); });
    RemoteAddress = INADDR_NONE;
    Connected = false;
    LineFeedPending_ = false;
    steps.Finish();
    OnDisconnect(this);
}

void TgSocket::Reconnect() {
    bool reconnect = false;
    if (!Connected) OnNotConnected(reconnect);
    if (reconnect) {
        Connect();
        return;
    }
    LastError = WSAGetLastError();
    OnError(this, LastError, WinSockErrorName(LastError));
    throw ETCPIPError("not connected", RemoteAddress);
}

void TgSocket::Cancel() {
    Cancelled = true;
    Status("rtn>cancelします", 4);
    if (Connected) Disconnect();
    throw ESocketCancel("cancel");
}

void TgSocket::Abort() { Cancel(); }

// ==== Listening ====

void TgSocket::listenOn(SOCKET handle) {
    Status("rtn>listenを開始します", 4);
    if (listen(handle, 5) != 0) {
        int code = WSAGetLastError();
        reportError(code, "listen失敗しました", true);
        throw EBindError(WinSockErrorName(code));
    }
    Status("suc>listen成功しました", 4);
}

void TgSocket::BindAndListen(SOCKET& handle, uint16_t port) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(handle, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        int code = WSAGetLastError();
        reportError(code, "port " + intToText(port) + "でbind失敗しました", true);
        throw EBindError(WinSockErrorName(code));
    }
    Status("suc>port " + intToText(port) + "でbind成功しました", 4);
    listenOn(handle);
}

void TgSocket::BindRandomAndListen(SOCKET& handle, uint16_t base, uint16_t& chosenPort, int32_t count) {
    Status("rtn>port " + intToText(base) + "～" + intToText(base + count) + "の範囲でbindを開始します", 4);
    for (int32_t tries = 0; tries < count; ++tries) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        uint16_t port = static_cast<uint16_t>(base + RandomInt(count));
        local.sin_port = htons(port);
        local.sin_addr.s_addr = htonl(INADDR_ANY);
        if (bind(handle, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0) {
            chosenPort = port;
            Status("suc>port " + intToText(port) + "でbind成功しました", 4);
            break;
        }
        Status("err>port " + intToText(port) + "でbind失敗しました", 2);
        Status("dbg>" + WinSockErrorName(WSAGetLastError()), 8);
    }
    listenOn(handle);
}

void TgSocket::Listen() {
    CloseHandle(Handle);
    Handle = NewSocket();
    BindAndListen(Handle, Port);
    Listening = true;
}

// The accept waits in rounds up to Timeout like every other blocking step.
SOCKET TgSocket::AcceptOn(SOCKET& handle) {
    Status("rtn>acceptを開始します", 4);
    int length = sizeof Address;
    SOCKET accepted = attempt(handle, WaitFor::Read,
                              [&] { return accept(handle, reinterpret_cast<sockaddr*>(&Address), &length); });
    if (accepted == INVALID_SOCKET) {
        Status("err>acceptに失敗しました", 2);
        return INVALID_SOCKET;
    }
    Status("suc>acceptに成功しました", 4);
    Status("dbg>socket(" + handleText(accepted) + ")を受け取りました", 8);
    OnAccept(this, accepted, Address);
    return accepted;
}

SOCKET TgSocket::Accept() { return AcceptOn(Handle); }

AnsiString TgSocket::PortAddressText() {
    AnsiString text = Connected ? LocalSocketAddress(Handle) : AddressToText(LocalHostAddress());
    char* bytes = text.mutableData();
    std::replace(bytes, bytes + text.length(), '.', ',');
    return text + ",";
}

AnsiString TgSocket::PortNumberText() { return intToText(Port / 256) + "," + intToText(Port % 256); }
