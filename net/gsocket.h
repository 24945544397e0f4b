// TgSocket: the blocking IPv4 TCP endpoint under every protocol client (HTTP,
// HTTPS, and the script class "TCPSocket"): connect or listen and accept, read
// and write bytes, lines and files, wait for readiness in one-second rounds up
// to a time-out, count the bytes, and report each step as a status line. Also
// the exception classes of the network clients, their hooks (which may raise
// anything: the client passes it on after its own clean-up) and the WinSock
// start-up.
#pragma once

#include <winsock2.h>

#include <cstdint>
#include <exception>
#include <utility>
#include <vector>

#include "rtl/exceptions.h"
#include "rtl/fileio.h"
#include "rtl/reflection.h"
#include "rtl/stream.h"

// ==== Exceptions ====

RTL_EXCEPTION(EgSocket, Exception);

// "socket error no." and the code as an unsigned 16-bit number; code 0 means
// a packet hook asked to cancel.
class ESocketError : public EgSocket {
public:
    explicit ESocketError(int32_t code);
    const char* className() const noexcept override { return "ESocketError"; }
    int32_t ErrorCode;
};

// A protocol reply that ends the operation (an HTTP status of 400 and above,
// or a reply the client cannot read); the message is the reply text.
class EProtocolError : public EgSocket {
public:
    EProtocolError(uint16_t replyCode, AnsiString protocol, AnsiString replyText);
    const char* className() const noexcept override { return "EProtocolError"; }
    uint16_t ReplyCode;
    AnsiString Protocol;
    AnsiString ReplyText;
};

class ETCPIPError : public EgSocket {
public:
    ETCPIPError(AnsiString message, uint32_t address) : EgSocket(std::move(message)), Address(address) {}
    const char* className() const noexcept override { return "ETCPIPError"; }
    uint32_t Address;  // network order; INADDR_NONE when none
};

RTL_EXCEPTION(ESocketTimeout, EgSocket);
RTL_EXCEPTION(ESocketCancel, EgSocket);
RTL_EXCEPTION(EProtocolBusy, EgSocket);
RTL_EXCEPTION(ELocalError, EgSocket);
RTL_EXCEPTION(EBindError, EgSocket);

// ==== Hooks ====

// What a hook of a client raised (a script's abort or exit, an error of its
// handler): it passes through the client untouched once the client has
// cleaned up after itself - no failure path retries it, ignores it or turns
// it into a failure of the client's own. The client's caller raises the
// original again (Rethrow).
class EHookFault {
public:
    explicit EHookFault(std::exception_ptr raised) : Raised_(std::move(raised)) {}
    [[noreturn]] void Rethrow() const { std::rethrow_exception(Raised_); }

private:
    std::exception_ptr Raised_;
};

// A hook of a client: an event whose handler may raise anything, which the
// call passes on as EHookFault.
template <class Signature>
class TClientEvent;
template <class R, class... A>
class TClientEvent<R(A...)> : public TEvent<R(A...)> {
public:
    using TEvent<R(A...)>::TEvent;
    TClientEvent(const TEvent<R(A...)>& event) : TEvent<R(A...)>(event) {}

    R operator()(A... args) const {
        try {
            return TEvent<R(A...)>::operator()(std::forward<A>(args)...);
        } catch (const EHookFault&) {
            throw;
        } catch (...) {
            throw EHookFault(std::current_exception());
        }
    }
};

// The steps of a clean-up that must all run (a disconnect): a failure of the
// client's own in a step is dropped; the first fault of a hook is raised
// again by Finish, once every step has run.
class TCleanupSteps {
public:
    template <class Step>
    void Run(Step&& step) {
        try {
            step();
        } catch (const EHookFault&) {
            if (!Fault_) Fault_ = std::current_exception();
        } catch (...) {
        }
    }
    void Finish() {
        if (Fault_) std::rethrow_exception(std::exchange(Fault_, nullptr));
    }

private:
    std::exception_ptr Fault_;
};

using TSocketNotifyEvent = TClientEvent<void(TObject* Sender)>;
// OnNotConnected (var Reconnect) and OnHostNotFound (var Retry).
using TSocketRetryEvent = TClientEvent<void(bool& Retry)>;
using TSocketErrorEvent = TClientEvent<void(TObject* Sender, int32_t Code, const AnsiString& Name)>;
using TSocketPacketEvent = TClientEvent<void(TObject* Sender, int32_t Count, bool& Cancel)>;
using TSocketStatusEvent = TClientEvent<void(TObject* Sender, const AnsiString& Text)>;
using TSocketAcceptEvent = TClientEvent<void(TObject* Sender, SOCKET Handle, const sockaddr_in& Address)>;
using TSocketWaitEvent = TClientEvent<void(TObject* Sender, bool& Abort)>;

// Limits that turn endless input into a failure instead of exhausted memory.
inline constexpr size_t MaxLineLength = 1 << 20;       // one line, one HTTP header block
inline constexpr size_t MaxTextBodyLength = 256 << 20;  // a body read into text

// ==== TgSocket ====

class TgSocket : public TObject {
public:
    // bufferSize: the transfer buffer (the script objects give 65536).
    explicit TgSocket(int32_t bufferSize);
    // CreateFromHandle: wraps an accepted connection (Timeout 120).
    TgSocket(SOCKET handle, int32_t bufferSize);
    ~TgSocket() override;
    TgSocket(const TgSocket&) = delete;
    TgSocket& operator=(const TgSocket&) = delete;

    // ---- Virtual operations ----
    // Passes the text to OnStatus when level <= LogLevel.
    virtual void Status(const AnsiString& text, int32_t level);
    virtual bool Eof(SOCKET& handle);
    virtual void SetEof(SOCKET& handle, bool value);
    // select() without waiting: 1 readable, 2 writable, 4 in error.
    virtual int32_t Poll();
    virtual int32_t ReceiveBuffer(char* buffer, int32_t size);
    virtual void Abort();
    virtual SOCKET Accept();
    virtual void Listen();
    [[noreturn]] virtual void Cancel();
    virtual void CaptureToFile(const AnsiString& path);
    virtual void ReceiveToStream(TStream& stream, int64_t count);
    virtual void ReceiveAppend(AnsiString& text, int64_t count);
    virtual void Reconnect();
    virtual void Connect();
    virtual void Disconnect();
    virtual AnsiString PortAddressText();
    virtual AnsiString PortNumberText();
    virtual void Read(int64_t count, AnsiString& text);
    virtual void ReadLine(AnsiString& text);
    virtual void SendAndReadLines(const AnsiString& line, AnsiString& text);
    virtual void SendCommand(const AnsiString& line, bool logOnly);
    virtual void ReadReply(AnsiString& line);

    // ---- Operations ----
    void ConnectTo(const AnsiString& host, uint16_t port);
    bool IsConnected();
    int32_t Send(const AnsiString& text);
    int32_t SendLine(const AnsiString& text);
    // Sends the file whole; nothing when it does not exist.
    void SendFile(const AnsiString& path);
    void CloseHandle(SOCKET& handle);
    // Binds a port between base and base + count on any local address and
    // listens (the FTP active mode).
    void BindRandomAndListen(SOCKET& handle, uint16_t base, uint16_t& chosenPort, int32_t count);
    SOCKET AcceptOn(SOCKET& handle);

    // ---- State ----
    bool Cancelled = false;
    bool TimedOut = false;
    uint64_t BytesRead = 0;
    uint64_t BytesWritten = 0;
    uint64_t BytesTotal = 0;
    SOCKET Handle = INVALID_SOCKET;
    AnsiString Host;
    int32_t LastError = 0;
    uint16_t Port = 0;
    AnsiString Proxy;
    int32_t StatusCode = 0;
    int32_t LogLevel = 2;
    // SendCommand logs a "PASS" line with one "*" per character of the
    // password (FTP and POP3).
    bool MaskPassword = false;
    AnsiString StatusText;
    // Waits are this many one-second rounds; 0 or less waits without limit.
    int32_t Timeout = 30;
    AnsiString LastReply;
    bool EofFlag = false;
    sockaddr_in Address{};
    bool Listening = false;
    uint16_t ConnectedPort = 0;
    bool Connected = false;
    uint32_t RemoteAddress = INADDR_NONE;

    TSocketNotifyEvent OnConnect;
    TSocketNotifyEvent OnConnectFailed;
    TSocketRetryEvent OnNotConnected;
    TSocketNotifyEvent OnDisconnect;
    TSocketErrorEvent OnError;
    TSocketNotifyEvent OnHostFound;
    TSocketRetryEvent OnHostNotFound;
    TSocketPacketEvent OnPacketRecvd;
    TSocketPacketEvent OnPacketSent;
    TSocketNotifyEvent OnReadable;
    TSocketStatusEvent OnStatus;
    TSocketAcceptEvent OnAccept;
    TSocketWaitEvent OnWaitTick;

    // Unsets every hook (a script object does so before it frees its client).
    virtual void UnbindHooks();

protected:
    // ---- Counted transfers ----
    // Waits for reading, then one recv: the count, 0 when the peer closed
    // (the handle is closed then), -1 when nothing could be read yet.
    int32_t Recv(SOCKET& handle, char* buffer, int32_t size);
    int32_t Peek(SOCKET& handle, char* buffer, int32_t size);
    // Sends every byte, chunk by chunk; a short send is never success.
    int32_t SendBuffer(SOCKET& handle, const char* data, int32_t length);
    // Reads up to count bytes (-1: until the end) into the stream; whether
    // the end of the data was reached.
    bool ReceiveToStreamAt(SOCKET& handle, TStream& stream, int64_t position, int64_t count);
    void SendStreamAt(SOCKET& handle, TStream& stream, int64_t position, int64_t count);

    // The two steps of every receive loop: one read of at most size bytes
    // and the end test. The HTTP clients frame bodies through them.
    virtual int32_t readChunk(SOCKET& handle, char* buffer, int32_t size);
    virtual bool atEnd(SOCKET& handle);
    // The last read of Handle found the peer closed.
    bool peerClosed() const { return EofFlag || Handle == INVALID_SOCKET; }

    // Records the error, logs "err>" + text (and the error name at level
    // 8 with withName) and fires OnError.
    void reportError(int32_t code, const AnsiString& text, bool withName);
    [[noreturn]] void raiseSocketError(int32_t code, const AnsiString& text);
    // Asks a packet hook; a cancel raises ESocketError 0.
    void firePacket(const TSocketPacketEvent& hook, int32_t count);

    // A new non-blocking socket (the data connections of FTP).
    SOCKET NewSocket();
    void ConnectHandle(SOCKET& handle, uint16_t port, uint32_t address);

    std::vector<char> Buffer;
    int32_t BufferSize = 0;

private:
    enum class WaitFor { Read, Write, Connect };
    // Calls the platform function at once and, while it would block, waits
    // for the handle and calls it again.
    template <class Call>
    auto attempt(SOCKET handle, WaitFor what, Call call);
    static void makeNonBlocking(SOCKET handle);
    void InitSocket(int32_t bufferSize);
    void ReleaseSocket();
    // Waits in rounds of one second up to Timeout; false when the rounds ran
    // out or OnWaitTick aborted them (TimedOut set then).
    bool waitRounds(SOCKET handle, WaitFor what);
    void waitReady(SOCKET handle, WaitFor what);
    // connect() in rounds like every other wait: 0 or the error code.
    int connectWithin(SOCKET handle);
    void BindAndListen(SOCKET& handle, uint16_t port);
    void listenOn(SOCKET handle);
    int peerState(SOCKET handle);
    // Drops the LF of a CR LF split over two reads from the front of what a
    // read got; true when nothing is left of it.
    bool dropSplitLineFeed(SOCKET& handle, char* buffer, int& count);

    bool LineFeedPending_ = false;
};

// A write-only stream that appends to a text: the receiving end of the
// reads into text. Writing beyond MaxTextBodyLength fails.
class TTextSinkStream : public TStream {
public:
    explicit TTextSinkStream(AnsiString& text) : text_(text) {}
    int32_t Read(void*, int32_t) override { return 0; }
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t, TSeekOrigin) override { return static_cast<int64_t>(text_.length()); }
    void SetSize(int64_t) override {}

private:
    AnsiString& text_;
};

// A write-only stream into a download's target: the bytes go to a temporary
// file beside it, which replaces the target at Commit, so a transfer that
// fails leaves the old file as it was (and no temporary file).
class TDownloadStream : public TStream {
public:
    // keepOld: starts from the target's bytes (a resumed download). Raises
    // EFCreateError when the temporary file cannot be made.
    TDownloadStream(const AnsiString& path, bool keepOld);
    int32_t Read(void*, int32_t) override { return 0; }
    int32_t Write(const void* buffer, int32_t count) override;  // EWriteError when it fails
    int64_t Seek(int64_t, TSeekOrigin) override { return file_.size(); }
    void SetSize(int64_t) override {}
    // Replaces the target; EWriteError when it cannot.
    void Commit();

private:
    AnsiString path_;
    ReplacingFile file_;
};
