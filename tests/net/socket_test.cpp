// Lines read by TgSocket and responses read by TgHTTP, over real loopback
// connections: the test writes the peer's bytes in the segments a table gives;
// what a client's hook raises passing its failure paths and its clean-up.
#include <gtest/gtest.h>

#include <vector>

#include "net/gftp.h"
#include "net/ghttp.h"

namespace {

// A listener on 127.0.0.1 with a port of the system's choosing.
class Loopback {
public:
    Loopback() {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 5);
        int length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
    }
    ~Loopback() {
        if (peer != INVALID_SOCKET) closesocket(peer);
        closesocket(listener_);
    }
    // Connects the client to the listener and accepts the peer end.
    void connectClient(TgSocket& client) {
        client.Host = "127.0.0.1";
        client.Port = port;
        client.TgSocket::Connect();
        peer = accept(listener_, nullptr, nullptr);
    }
    void write(std::string_view bytes) { send(peer, bytes.data(), static_cast<int>(bytes.size()), 0); }
    void closePeer() {
        closesocket(peer);
        peer = INVALID_SOCKET;
    }

    uint16_t port = 0;
    SOCKET peer = INVALID_SOCKET;

private:
    SOCKET listener_;
};

struct Segment {
    std::string_view Bytes;
    std::vector<std::string_view> Lines;  // read after the segment arrived
};

struct LineCase {
    const char* Name;
    std::vector<Segment> Segments;
    std::vector<std::string_view> LinesAtEnd;  // read after the peer closed
};

const LineCase lineCases[] = {
    {"LF and CR LF", {{"a\nb\r\n", {"a", "b"}}}, {}},
    {"CR alone ends a line", {{"one\rtwo\r\nthree\n", {"one", "two", "three"}}}, {}},
    {"CR LF split over two reads is one end", {{"a\r", {"a"}}, {"\nb\n", {"b"}}}, {}},
    {"CR then CR LF is an empty line", {{"a\r", {"a"}}, {"\r\n", {""}}}, {}},
    {"empty lines and a last line without end", {{"x\r\n\r\n", {"x", ""}}, {"y", {}}}, {"y"}},
};

TEST(SocketLines, ReadLineEndsAtTheEarliestLineEnd) {
    for (const LineCase& row : lineCases) {
        SCOPED_TRACE(row.Name);
        Loopback loop;
        TgSocket client(1024);
        loop.connectClient(client);
        AnsiString line;
        for (const Segment& segment : row.Segments) {
            loop.write(segment.Bytes);
            for (std::string_view expected : segment.Lines) {
                client.ReadLine(line);
                EXPECT_EQ(line.view(), expected);
            }
        }
        loop.closePeer();
        for (std::string_view expected : row.LinesAtEnd) {
            client.ReadLine(line);
            EXPECT_EQ(line.view(), expected);
        }
    }
}

TEST(SocketLines, SilenceEndsInATimeout) {
    Loopback loop;
    TgSocket client(1024);
    loop.connectClient(client);
    client.Timeout = 1;
    AnsiString line;
    EXPECT_THROW(client.ReadLine(line), ESocketTimeout);
    EXPECT_TRUE(client.TimedOut);
    EXPECT_EQ(client.LastError, WSAETIMEDOUT);
}

struct ResponseCase {
    const char* Name;
    std::string_view Bytes;
    int32_t Code;  // -1: EProtocolError expected, with Text as its reply code
    std::string_view Text;
    std::string_view Version;
    int32_t ContentLength;
    std::string_view Location;
};

const ResponseCase responseCases[] = {
    {"plain", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello", 200, "OK", "1.0", 5, ""},
    {"reason text with blanks", "HTTP/1.1 201 Created It\r\n\r\n", 201, "Created It", "1.1", -1, ""},
    {"code without reason", "HTTP/1.0 299\r\n\r\n", 299, "", "1.0", -1, ""},
    {"code that is no number reads 999, an error", "HTTP/1.0 abc Weird\r\n\r\n", -1, "999", "", 0, ""},
    {"Content-Range without Content-Length", "HTTP/1.0 206 Partial\r\nContent-Range: bytes 100-199/1000\r\n\r\n",
     206, "Partial", "1.0", 900, ""},
    {"relative Location", "HTTP/1.0 302 Found\r\nLocation: ../x.html\r\n\r\n", 302, "Found", "1.0", -1,
     "http://h/a/x.html"},
    {"Content-Location does not redirect", "HTTP/1.0 200 OK\r\nContent-Location: /y\r\n\r\n", 200, "OK", "1.0", -1,
     ""},
    {"interim replies skipped", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 Fine\r\nContent-Length: 0\r\n\r\n", 200,
     "Fine", "1.1", 0, ""},
    {"error status before the body", "HTTP/1.0 404 Not Found\r\n\r\nbody", -1, "404", "", 0, ""},
    {"no status line", "ICY 200 OK\r\n\r\n", -1, "0", "", 0, ""},
    {"headers cut short", "HTTP/1.0 200 OK\r\nContent-Ty", -1, "0", "", 0, ""},
    {"close before anything", "", -1, "0", "", 0, ""},
};

TEST(HttpResponse, StatusLineAndHeaders) {
    for (const ResponseCase& row : responseCases) {
        SCOPED_TRACE(row.Name);
        Loopback loop;
        TgHTTP http(4096);
        loop.connectClient(http);
        http.Url = "http://h/a/b/c.html";
        loop.write(row.Bytes);
        loop.closePeer();
        if (row.Code < 0) {
            try {
                http.ReadResponse();
                ADD_FAILURE() << "no EProtocolError";
            } catch (const EProtocolError& error) {
                EXPECT_EQ(std::to_string(error.ReplyCode), row.Text);
            }
            continue;
        }
        http.ReadResponse();
        EXPECT_EQ(http.StatusCode, row.Code);
        EXPECT_EQ(http.StatusText.view(), row.Text);
        EXPECT_EQ(http.ResponseHeader.Version.view(), row.Version);
        EXPECT_EQ(http.ContentLength, row.ContentLength);
        EXPECT_EQ(http.Location.view(), row.Location);
    }
}

struct BodyCase {
    const char* Name;
    std::string_view Bytes;
    std::string_view Late;  // sent after the headers were read
    std::string_view Body;
    bool Fails;
};

const BodyCase bodyCases[] = {
    {"until close", "HTTP/1.0 200 OK\r\n\r\nall of it", "", "all of it", false},
    {"stops at Content-Length", "HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nabcdef", "", "abc", false},
    {"shorter than Content-Length", "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nabc", "", "", true},
    {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3;x=y\r\nabc\r\n2\r\nde\r\n0\r\nT: 1\r\n\r\n",
     "", "abcde", false},
    {"bad chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\nzz\r\n", "", "", true},
    {"chunks cut short", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n9\r\nabc", "", "", true},
    {"CR LF split before the body", "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r", "\nok", "ok", false},
};

TEST(HttpResponse, BodyFraming) {
    for (const BodyCase& row : bodyCases) {
        SCOPED_TRACE(row.Name);
        Loopback loop;
        TgHTTP http(4096);
        loop.connectClient(http);
        loop.write(row.Bytes);
        http.ReadResponse();
        loop.write(row.Late);
        loop.closePeer();
        AnsiString body;
        if (row.Fails) {
            EXPECT_THROW(http.ReceiveAppend(body, -1), EProtocolError);
            continue;
        }
        http.ReceiveAppend(body, -1);
        EXPECT_EQ(body.view(), row.Body);
    }
}

struct HookCalls {
    int failures = 0;
    void status(TObject*, const AnsiString& text) {
        if (text.startsWith("cmd>CWD") || text.startsWith("nfo>logout")) throw 7;  // a script's abort, say
    }
    void failure(TFTPCmdType) { ++failures; }
    void error(bool& ignore, TFTPCmdType) {
        ++failures;
        ignore = true;
    }
};

// The command's failure hooks never see the fault (an ignore would swallow
// it), and a disconnect that faults still closes the connection.
TEST(HookFaults, PassTheClientUntouchedAfterItsCleanUp) {
    Loopback loop;
    TgFTP ftp(1024);
    loop.connectClient(ftp);
    loop.write("331 password\r\n230 in\r\n");
    ftp.User = "user";
    ftp.Connect();  // already connected: no greeting is read, only the login
    HookCalls calls;
    ftp.OnStatus = TSocketStatusEvent::bind<&HookCalls::status>(&calls);
    ftp.OnFailure = TFTPCommandEvent::bind<&HookCalls::failure>(&calls);
    ftp.OnCommandError = TFTPErrorEvent::bind<&HookCalls::error>(&calls);
    const auto raised = [](const EHookFault& fault) {
        try {
            fault.Rethrow();
        } catch (int code) {
            return code;
        }
    };
    try {
        ftp.ChangeDir("x");
        ADD_FAILURE() << "the fault was swallowed";
    } catch (const EHookFault& fault) {
        EXPECT_EQ(raised(fault), 7);
    }
    EXPECT_EQ(calls.failures, 0);
    EXPECT_THROW(ftp.Disconnect(), EHookFault);
    EXPECT_FALSE(ftp.Connected);
    EXPECT_EQ(ftp.Handle, INVALID_SOCKET);
}

}  // namespace
