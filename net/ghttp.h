// TgHTTP: the HTTP/1.0 client (RFC 1945, with the chunked coding and interim
// replies of RFC 9112) on TgSocket: one request per connection, a request
// header table, the response headers with their cookies, redirects, Basic
// authorization, proxies and status lines. TgHTTPS (net/ghttps.h) keeps its
// request building and response analysis; the script classes "HTTP" and
// "HTTPS" drive both.
#pragma once

#include <functional>

#include "net/gsocket.h"
#include "net/httpheader.h"
#include "net/urlutil.h"

using THttpRequestEvent = TClientEvent<void(TObject* Sender, AnsiString& Url, TRequestHeader& Header, AnsiString& Proxy)>;
// OnSuccess and OnFailure: 0 get and getFile, 2 head, 5 post.
using THttpCommandEvent = TClientEvent<void(int32_t Command)>;
using THttpRedirectEvent = TClientEvent<void(TObject* Sender, bool& Done, const AnsiString& Location)>;
using THttpResponseEvent =
    TClientEvent<void(TObject* Sender, const AnsiString& Url, TResponseHeader& Header, int32_t& StatusCode,
                      AnsiString& Location, const AnsiString& ReasonText, const AnsiString& Proxy)>;

class TgHTTP : public TgSocket {
public:
    explicit TgHTTP(int32_t bufferSize);

    // ---- Virtual operations ----
    // Builds the request and sends it in one Send (the body after it).
    virtual void SendRequest(const AnsiString& method, const AnsiString& url, const AnsiString& body);
    // Reads the status line and headers; EProtocolError at status 400 and
    // above, before the body.
    virtual void ReadResponse();

    // ---- Operations ----
    // Each follows redirects (at most MaxRedirects), reads the body of the
    // last response and closes the connection.
    void Get(const AnsiString& url, AnsiString& body);
    void GetFile(const AnsiString& url, const AnsiString& path);
    void Head(const AnsiString& url);
    void Post(const AnsiString& url, const AnsiString& data, AnsiString& body);
    // A body of known length gets its room at once.
    void ReceiveAppend(AnsiString& text, int64_t count) override;
    void UnbindHooks() override;

    static constexpr int MaxRedirects = 20;

    TRequestHeader RequestHeader;
    TResponseHeader ResponseHeader;
    AnsiString Version = "1.0";
    AnsiString RawHeader;  // every response line read, each with CR LF
    AnsiString Location;   // the redirect target of the last response
    AnsiString Url;        // the URL of the request under way
    int32_t ContentLength = -1;
    bool AutoRedirect = false;

    THttpRequestEvent OnRequest;
    TSocketNotifyEvent OnAuthenticate;
    THttpCommandEvent OnFailure;
    THttpRedirectEvent OnRedirect;
    THttpCommandEvent OnSuccess;
    THttpResponseEvent OnResponse;

protected:
    // How the body of the last response ends.
    enum class BodyFraming { UntilClose, Empty, Length, Chunked };

    // Steps shared with HTTPS. prepareRequest: the URL, Host, credentials,
    // body headers and OnRequest, then the check that no text holds CR, LF
    // or NUL; whether the body goes out.
    bool prepareRequest(const AnsiString& method, const AnsiString& url, const AnsiString& body, TUrlInfo& info);
    void clearResponse();
    // One response line: a status line (when statusLine) or a header.
    void analyseLine(const AnsiString& line, bool statusLine);
    // OnResponse, Location, Content-Length and -Range, OnAuthenticate, the
    // error status.
    void finishResponse();
    // Empty for HEAD, 1xx, 204 and 304; else by Content-Length (Length) or,
    // when chunked is allowed, Transfer-Encoding.
    void chooseFraming(bool chunkedAllowed);
    // Logs the text and raises EProtocolError "http" with it (code 0).
    [[noreturn]] void raiseProtocol(const AnsiString& text);

    int32_t readChunk(SOCKET& handle, char* buffer, int32_t size) override;
    bool atEnd(SOCKET& handle) override;

    AnsiString Method_;  // of the request under way
    BodyFraming Framing_ = BodyFraming::UntilClose;
    int64_t BodyLeft_ = 0;  // Length: bytes to come; Chunked: of this chunk

private:
    void readHeaderBlock();
    void nextChunk();
    void transfer(int32_t command, const char* verb, AnsiString url, const AnsiString& method,
                  const AnsiString& data, const std::function<void()>& readBody);

    bool ChunksDone_ = false;
    bool FirstChunk_ = true;
    // The body headers and the Authorization this client made itself, so
    // that they never outlive their request or go to another host.
    AnsiString BodyType_;
    AnsiString BodyLength_;
    AnsiString UrlAuthorization_;
    AnsiString UrlAuthorizationHost_;
};
