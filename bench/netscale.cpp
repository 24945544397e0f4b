// Network inputs at scale: a listing of 1,000,000 entries (served by a small
// FTP server on a thread of this program) read by the FTP client alone and by
// the script method list(), the HTML tag parser on 10 MB of tags and on one
// tag of 100,000 attributes, and a mail message with 10,000 parts of one
// name. Each figure runs in a process of its own (this program started again
// with the figure's name), so that its peak memory is its own: the growth of
// the peak private bytes (under Wine: the resident part) over what the
// process held before. Run with scripts/wine-run.sh build/bench/netscale.exe.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "engine/orovod.h"
#include "net/gftp.h"
#include "net/htmlparser.h"
#include "net/mailmessage.h"
#include "libraries/standard.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double peakMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakPagefileUsage) / (1024.0 * 1024.0);
}

void report(const char* what, double milliseconds, double megabytes, const char* target) {
    std::printf("%-36s %8.0f ms %6.0f MB  (target: %s)\n", what, milliseconds, megabytes, target);
}

struct Output {
    std::string text;
    void write(TObject*, const AnsiString& s) { text += s.str(); }
};

// ==== A one-session FTP server ====

SOCKET listenOnLoopback(u_short& port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(s, 1);
    int length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return s;
}

void sendText(SOCKET s, const std::string& text) {
    for (size_t sent = 0; sent < text.size();) {
        int n = send(s, text.data() + sent, static_cast<int>(std::min<size_t>(text.size() - sent, 1 << 20)), 0);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

std::string readCommand(SOCKET s) {
    std::string line;
    char c;
    while (recv(s, &c, 1, 0) == 1 && c != '\n')
        if (c != '\r') line += c;
    return line;
}

// Answers one client in passive mode; LIST sends the listing.
void serveOneSession(SOCKET listener, const std::string* listing) {
    SOCKET control = accept(listener, nullptr, nullptr);
    sendText(control, "220 ready\r\n");
    SOCKET data = INVALID_SOCKET;
    for (;;) {
        std::string command = readCommand(control);
        std::string verb = command.substr(0, 4);
        if (command.empty() || verb == "QUIT") break;
        if (verb == "USER") sendText(control, "331 password\r\n");
        else if (verb == "PASS") sendText(control, "230 in\r\n");
        else if (verb == "PWD") sendText(control, "257 \"/\"\r\n");
        else if (verb == "PASV") {
            u_short port;
            data = listenOnLoopback(port);
            sendText(control, "227 passive (127,0,0,1," + std::to_string(port / 256) + "," +
                                  std::to_string(port % 256) + ")\r\n");
        } else if (verb == "LIST") {
            sendText(control, "150 listing\r\n");
            SOCKET transfer = accept(data, nullptr, nullptr);
            sendText(transfer, *listing);
            closesocket(transfer);
            closesocket(data);
            sendText(control, "226 done\r\n");
        } else {
            sendText(control, "200 ok\r\n");
        }
    }
    sendText(control, "221 bye\r\n");
    closesocket(control);
}

// ==== Figures ====

// 1,000,000 UNIX lines of about 70 bytes, served on a port of this process.
struct ListingServer {
    std::string Listing;
    u_short Port = 0;
    SOCKET Listener;
    std::thread Thread;

    ListingServer() {
        Listing.reserve(72 << 20);
        char line[96];
        for (int i = 0; i < 1000000; ++i) {
            int length = std::snprintf(line, sizeof line, "-rw-r--r--   1 owner group %9d Jan  5  2020 file%07d.dat\r\n",
                                       i, i);
            Listing.append(line, static_cast<size_t>(length));
        }
        Listener = listenOnLoopback(Port);
        Thread = std::thread(serveOneSession, Listener, &Listing);
    }
    ~ListingServer() {
        Thread.join();
        closesocket(Listener);
    }
};

// The client alone: the entries parsed into its directory list.
void clientListingFigure() {
    ListingServer server;
    TgFTP ftp(65536);
    ftp.Host = "127.0.0.1";
    ftp.Port = server.Port;
    ftp.Passive = true;
    ftp.Connect();
    double before = peakMegabytes();
    auto start = Clock::now();
    ftp.List();
    double time = millisecondsSince(start);
    report("TgFTP List of 1,000,000 entries:", time, peakMegabytes() - before, "under 3000 ms and 300 MB");
    if (ftp.DirList.Count() != 1000000) std::printf("wrong count %d\n", ftp.DirList.Count());
    ftp.Disconnect();
}

// The script method: the client's list, then a FileProperty object for each
// entry. The script times the call itself: freeing the objects at the end is
// not the listing's.
void scriptListingFigure() {
    ListingServer server;
    InstallStandardLibraries();
    DIZI component;
    Output out;
    component.SetOnStdout(TStringEvent::bind<&Output::write>(&out));
    std::string script = "var f = new FTP('127.0.0.1', " + std::to_string(server.Port) +
                         "); f.passiveMode = true; f.login('u', 'p'); var start = new Date().getTime();"
                         "var entries = f.list(); print(new Date().getTime() - start);"
                         "if (entries.length != 1000000) print(' wrong count ' + entries.length); f.quit();";
    component.Compile(script.c_str());
    double before = peakMegabytes();
    component.RunNoArgs();
    report("FTP list() of 1,000,000 entries:", std::atof(out.text.c_str()), peakMegabytes() - before,
           "under 3000 ms and 300 MB");
    if (out.text.find("wrong") != std::string::npos) std::printf("%s\n", out.text.c_str());
}

// Short tags with an attribute each, back to back: the most the parser keeps
// for each byte of input.
void tagsFigure() {
    std::string html;
    html.reserve(10 << 20);
    while (html.size() < (10u << 20)) html += "<b x=1>";
    double before = peakMegabytes();
    auto start = Clock::now();
    THtmlParser parser(html);
    double time = millisecondsSince(start);
    report("10 MB of tags parsed:", time, peakMegabytes() - before, "under 3000 ms and 500 MB");

    std::string tag = "<p";
    for (int i = 0; i < 100000; ++i) tag += " a" + std::to_string(i) + "=1";
    start = Clock::now();
    THtmlParser one(tag + ">");
    std::printf("%-36s %8.0f ms\n", "one tag of 100,000 attributes:", millisecondsSince(start));
}

// The parts are written as files into an empty folder; beside them, the
// same number of new files made by a bare CreateFile loop in another empty
// folder, the platform's own share (under Wine each new name is looked up
// through the whole folder, so that its cost grows with the square of the
// count). The target is for what the parts take beyond that loop.
void partsFigure() {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string scratch = std::string(folder) + "nimbora-netscale";
    CreateDirectoryA(scratch.c_str(), nullptr);
    std::string text = "Subject: parts\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n";
    for (int i = 0; i < 10000; ++i)
        text += "--b\r\nContent-Type: application/octet-stream; name=\"same.txt\"\r\n"
                "Content-Transfer-Encoding: base64\r\n\r\neA==\r\n";
    text += "--b--\r\n";
    TMailMessage message;
    message.AttachPath = scratch.c_str();
    double before = peakMegabytes();
    auto start = Clock::now();
    message.Parse(text.c_str());
    double time = millisecondsSince(start);
    double megabytes = peakMegabytes() - before;
    if (message.Attachments.Count() != 10000) std::printf("wrong count %d\n", message.Attachments.Count());
    for (int i = 0; i < message.Attachments.Count(); ++i) DeleteFileA(message.Attachments.Get(i).c_str());
    RemoveDirectoryA(scratch.c_str());

    scratch += "-bare";
    CreateDirectoryA(scratch.c_str(), nullptr);
    start = Clock::now();
    for (int i = 0; i < 10000; ++i) {
        std::string path = scratch + "\\bare" + std::to_string(i) + ".txt";
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written;
        WriteFile(file, "x", 1, &written, nullptr);
        CloseHandle(file);
    }
    double bare = millisecondsSince(start);
    std::printf("%-36s %8.0f ms %6.0f MB\n", "10,000 parts of one name saved:", time, megabytes);
    std::printf("%-36s %8.0f ms\n", "the same, a bare CreateFile loop:", bare);
    report("our work beyond the file creation:", std::max(time - bare, 0.0), megabytes, "under 2000 ms");
    for (int i = 0; i < 10000; ++i) DeleteFileA((scratch + "\\bare" + std::to_string(i) + ".txt").c_str());
    RemoveDirectoryA(scratch.c_str());
}

// Runs this program again with the figure's name and waits for it.
void runAlone(const char* figure) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string line = "\"" + std::string(self) + "\" " + figure;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::fflush(stdout);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) return;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace

int main(int argc, char** argv) {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    const char* figure = argc > 1 ? argv[1] : "";
    if (std::strcmp(figure, "client") == 0) clientListingFigure();
    else if (std::strcmp(figure, "listing") == 0) scriptListingFigure();
    else if (std::strcmp(figure, "tags") == 0) tagsFigure();
    else if (std::strcmp(figure, "parts") == 0) partsFigure();
    else
        for (const char* each : {"client", "listing", "tags", "parts"}) runAlone(each);
    return 0;
}
