// TgHTTPS: the HTTP client over the platform's WinINet, so that "https" URLs
// work (plain "http" ones too). It keeps TgHTTP's request building, response
// analysis, loops and hooks and replaces the socket's connection, reading,
// line and log steps. Redirects, cookies and caching are never WinINet's.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "net/ghttp.h"

class TgHTTPS : public TgHTTP {
public:
    explicit TgHTTPS(int32_t bufferSize) : TgHTTP(bufferSize) {}
    ~TgHTTPS() override;

    bool Eof(SOCKET&) override { return EofFlag; }
    int32_t ReceiveBuffer(char* buffer, int32_t size) override { return InternetRead(buffer, size); }
    void Connect() override;
    void Disconnect() override;
    void ReadLine(AnsiString& text) override;
    // Logs the line; nothing is sent.
    void SendCommand(const AnsiString& line, bool logOnly) override;
    void SendRequest(const AnsiString& method, const AnsiString& url, const AnsiString& body) override;
    void ReadResponse() override;
    bool EndOfData() const { return EofFlag; }

    HINTERNET InternetHandle = nullptr;
    HINTERNET Connection = nullptr;
    HINTERNET Request = nullptr;
    DWORD OpenFlags = 0;

protected:
    int32_t readChunk(SOCKET& handle, char* buffer, int32_t size) override;
    bool atEnd(SOCKET& handle) override;

private:
    // One InternetReadFile on Request; EofFlag when it gave nothing.
    int32_t InternetRead(char* buffer, int32_t size);
    void setTimeouts(HINTERNET handle);
    void closeInternetHandles();
};
