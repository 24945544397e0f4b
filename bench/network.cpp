// Network client speed against the test server (tests/net/servers) on
// 127.0.0.1:18081, run by bench/network.sh, which also times curl: HTTP.get
// of a 10 MB body beside a bare Winsock loop with the same 64 KB reads, once
// dropping and once keeping the body (median of 5 each), 1,000 sequential
// small GETs (a connection each), 1,000 exchanges on one keep-alive
// TCPSocket, and the private bytes from the 100th to the 1,000th request.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/orovod.h"
#include "net/ghttp.h"
#include "libraries/standard.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr u_short serverPort = 18081;
const char* const bigUrl = "http://127.0.0.1:18081/big?10485760";

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The client alone, without the script object around it.
double timeClientGet() {
    auto start = Clock::now();
    TgHTTP http(65536);
    AnsiString body;
    http.Get(bigUrl, body);
    return body.length() == 10485760 ? millisecondsSince(start) : -1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Compiles the script once and times one run of it.
double timeScript(DIZI& component, const std::string& script) {
    if (!component.Compile(script.c_str())) return -1;
    auto start = Clock::now();
    component.RunNoArgs();
    return millisecondsSince(start);
}

// The bare loop: one GET, then recv of 64 KB at a time until the server closes;
// `keep` appends what arrives to a text reserved for the body, as a client must.
// Touching fresh memory is what a kept body costs most on a virtual machine.
double timeWinsockGet(bool keep) {
    auto start = Clock::now();
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(serverPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    const char request[] = "GET /big?10485760 HTTP/1.0\r\n\r\n";
    send(s, request, sizeof request - 1, 0);
    static char buffer[65536];
    long long total = 0;
    std::string body;
    if (keep) body.reserve(10485760 + 4096);
    for (int got; (got = recv(s, buffer, sizeof buffer, 0)) > 0;) {
        total += got;
        if (keep) body.append(buffer, static_cast<size_t>(got));
    }
    closesocket(s);
    return total > 10485760 ? millisecondsSince(start) : -1;
}

SIZE_T privateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage;
}

std::string getLoop(int count) {
    return "var h = new HTTP(); for (var i = 0; i < " + std::to_string(count) +
           "; i++) h.get('http://127.0.0.1:18081/small');";
}

}  // namespace

int main() {
    InstallStandardLibraries();
    DIZI component;
    std::vector<double> script, client, bare, kept;
    for (int run = 0; run < 5; ++run) {
        script.push_back(timeScript(component, std::string("new HTTP().get('") + bigUrl + "');"));
        client.push_back(timeClientGet());
        bare.push_back(timeWinsockGet(false));
        kept.push_back(timeWinsockGet(true));
    }
    double get = median(script), loop = median(bare);
    std::printf("HTTP.get of 10 MB:        %8.1f ms  (target: within 1.5x of the Winsock loop: %.2fx)\n", get,
                get / loop);
    std::printf("TgHTTP.Get alone:         %8.1f ms\n", median(client));
    std::printf("Winsock loop, 64 KB reads: %7.1f ms\n", loop);
    std::printf("the same, keeping the body: %6.1f ms  (HTTP.get: %.2fx)\n", median(kept), get / median(kept));

    double sequential = timeScript(component, getLoop(1000));
    std::printf("1,000 sequential GETs:    %8.0f per second  (target: at least 100)\n", 1000 / sequential * 1000);

    double keepAlive = timeScript(component,
                                  "var t = new TCPSocket(); t.host = '127.0.0.1'; t.port = 18081; t.connect();"
                                  "for (var i = 0; i < 1000; i++) {"
                                  "  t.write(\"GET /small HTTP/1.1\\nHost: x\\n\\n\");"
                                  "  while (t.readln() != '') {}"
                                  "  if (t.read(2) != 'ok') break;"
                                  "} t.close();");
    std::printf("1,000 keep-alive exchanges: %6.0f per second  (target: at least 200)\n", 1000 / keepAlive * 1000);

    timeScript(component, getLoop(100));
    SIZE_T before = privateBytes();
    timeScript(component, getLoop(900));
    long long growth = static_cast<long long>(privateBytes()) - static_cast<long long>(before);
    std::printf("private bytes, request 100 to 1,000: %+lld KiB  (target: under 1024 KiB)\n", growth / 1024);
    return 0;
}
