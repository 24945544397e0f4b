// FTP and mail speed, run by bench/mailftp.sh, which starts the FTP test
// server (tests/net/servers/ftpserver.py) on 127.0.0.1:18021 over a folder
// holding big.dat (10 MB) and also times curl: a passive TgFTP download of
// it beside a bare Winsock loop with the same 64 KB reads (median of 5
// each), and the parse of a 10 MB message with a Base64 attachment and of
// a 1 MB HTML page.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/support/base64.h"
#include "net/gftp.h"
#include "net/htmlparser.h"
#include "net/mailmessage.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr long long bigSize = 10485760;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeClientDownload(const AnsiString& local) {
    auto start = Clock::now();
    TgFTP ftp(65536);
    ftp.Host = "127.0.0.1";
    ftp.Port = 18021;
    ftp.User = "user";
    ftp.Password = "pass1234";
    ftp.Passive = true;
    ftp.Connect();
    ftp.Download("big.dat", local);
    ftp.Disconnect();
    return millisecondsSince(start);
}

SOCKET connectTo(u_short port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return s;
}

// Sends a command (none for the greeting) and reads up to its reply's end.
std::string exchange(SOCKET s, const std::string& command) {
    if (!command.empty()) send(s, (command + "\r\n").c_str(), static_cast<int>(command.size() + 2), 0);
    std::string reply;
    char c;
    while (recv(s, &c, 1, 0) == 1) {
        reply += c;
        size_t start = reply.rfind('\n', reply.size() - 2);
        start = start == std::string::npos ? 0 : start + 1;
        if (c == '\n' && reply.size() - start > 4 && reply[start + 3] == ' ') break;
    }
    return reply;
}

// The bare loop: the control exchange, then recv of 64 KB at a time into
// the file until the server closes.
double timeWinsockDownload(const char* local) {
    auto start = Clock::now();
    SOCKET control = connectTo(18021);
    exchange(control, "");
    exchange(control, "USER user");
    exchange(control, "PASS pass1234");
    exchange(control, "TYPE I");
    std::string pasv = exchange(control, "PASV");
    int h1, h2, h3, h4, p1, p2;
    std::sscanf(pasv.c_str() + pasv.find('(') + 1, "%d,%d,%d,%d,%d,%d", &h1, &h2, &h3, &h4, &p1, &p2);
    SOCKET data = connectTo(static_cast<u_short>(p1 * 256 + p2));
    exchange(control, "RETR big.dat");
    HANDLE file = CreateFileA(local, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    static char buffer[65536];
    long long total = 0;
    DWORD written;
    for (int got; (got = recv(data, buffer, sizeof buffer, 0)) > 0; total += got)
        WriteFile(file, buffer, static_cast<DWORD>(got), &written, nullptr);
    CloseHandle(file);
    closesocket(data);
    exchange(control, "");
    exchange(control, "QUIT");
    closesocket(control);
    return total == bigSize ? millisecondsSince(start) : -1;
}

double timeMailParse(const char* folder) {
    AnsiString attachment(static_cast<size_t>(7500000), 'x');
    AnsiString encoded = Base64Encode(attachment), body;
    for (size_t at = 0; at < encoded.length(); at += 76) body += encoded.view().substr(at, 76), body += "\r\n";
    AnsiString text = "Subject: big\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\n"
                      "Content-Type: text/plain\r\n\r\nhello\r\n--b\r\nContent-Type: application/octet-stream; "
                      "name=\"bench.bin\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" + body + "--b--\r\n";
    TMailMessage message;
    message.AttachPath = folder;
    auto start = Clock::now();
    message.Parse(text);
    double time = millisecondsSince(start);
    for (int i = 0; i < message.Attachments.Count(); ++i) DeleteFileA(message.Attachments.Get(i).c_str());
    return time;
}

double timeHtmlParse() {
    AnsiString html;
    while (html.length() < 1048576) html += "<p class=item>Some text <a href=\"/page?id=1&amp;x=2\">link</a><br>\n";
    auto start = Clock::now();
    THtmlParser parser(html);
    return parser.Count() > 0 ? millisecondsSince(start) : -1;
}

}  // namespace

int main() {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string local = std::string(folder) + "nimbora-bench.dat";
    std::vector<double> client, bare;
    for (int run = 0; run < 5; ++run) {
        client.push_back(timeClientDownload(local.c_str()));
        bare.push_back(timeWinsockDownload(local.c_str()));
    }
    DeleteFileA(local.c_str());
    double download = median(client), loop = median(bare);
    std::printf("FTP download of 10 MB:    %8.1f ms  (target: within 1.5x of the Winsock loop: %.2fx)\n", download,
                download / loop);
    std::printf("Winsock loop, 64 KB reads: %7.1f ms\n", loop);
    std::printf("10 MB message parse:      %8.1f ms\n", timeMailParse(folder));
    std::printf("1 MB HTML parse:          %8.1f ms\n", timeHtmlParse());
    return 0;
}
