// Name resolution (inet_addr, gethostbyname), address texts and the WinSock
// error names, one switch generated from the list of WinSock constants.
#include "net/netaddress.h"

#include <cstring>

#include "rtl/format.h"

namespace {

uint32_t firstAddressOf(const char* name) {
    hostent* host = gethostbyname(name);
    if (!host || host->h_addrtype != AF_INET || !host->h_addr_list[0]) return INADDR_NONE;
    uint32_t address;
    std::memcpy(&address, host->h_addr_list[0], sizeof address);
    return address;
}

}  // namespace

uint32_t HostToAddress(const AnsiString& name) {
    if (name.empty()) return INADDR_NONE;
    uint32_t address = inet_addr(name.c_str());
    return address != INADDR_NONE ? address : firstAddressOf(name.c_str());
}

AnsiString AddressToText(uint32_t address) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&address);
    return formatText("%d.%d.%d.%d", {bytes[0], bytes[1], bytes[2], bytes[3]});
}

AnsiString LocalSocketAddress(SOCKET socket) {
    sockaddr_in local{};
    int length = sizeof local;
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&local), &length) != 0) return "0.0.0.0";
    return AddressToText(local.sin_addr.s_addr);
}

uint32_t LocalHostAddress() {
    char name[256] = {};
    if (gethostname(name, 255) == 0) {
        uint32_t address = firstAddressOf(name);
        if (address != INADDR_NONE) return address;
    }
    return htonl(INADDR_LOOPBACK);
}

// The WinSock error constants that have a name of their own.
#define WINSOCK_ERRORS(X)                                                                                    \
    X(WSAEINTR) X(WSAEBADF) X(WSAEACCES) X(WSAEFAULT) X(WSAEINVAL) X(WSAEMFILE) X(WSAEWOULDBLOCK)             \
    X(WSAEINPROGRESS) X(WSAEALREADY) X(WSAENOTSOCK) X(WSAEDESTADDRREQ) X(WSAEMSGSIZE) X(WSAEPROTOTYPE)        \
    X(WSAENOPROTOOPT) X(WSAEPROTONOSUPPORT) X(WSAESOCKTNOSUPPORT) X(WSAEOPNOTSUPP) X(WSAEPFNOSUPPORT)         \
    X(WSAEAFNOSUPPORT) X(WSAEADDRINUSE) X(WSAEADDRNOTAVAIL) X(WSAENETDOWN) X(WSAENETUNREACH)                 \
    X(WSAENETRESET) X(WSAECONNABORTED) X(WSAECONNRESET) X(WSAENOBUFS) X(WSAEISCONN) X(WSAENOTCONN)           \
    X(WSAESHUTDOWN) X(WSAETOOMANYREFS) X(WSAETIMEDOUT) X(WSAECONNREFUSED) X(WSAELOOP) X(WSAENAMETOOLONG)     \
    X(WSAEHOSTDOWN) X(WSAEHOSTUNREACH) X(WSAENOTEMPTY) X(WSAEPROCLIM) X(WSAEUSERS) X(WSAEDQUOT)              \
    X(WSAESTALE) X(WSAEREMOTE) X(WSASYSNOTREADY) X(WSAVERNOTSUPPORTED) X(WSANOTINITIALISED) X(WSAEDISCON)    \
    X(WSAHOST_NOT_FOUND) X(WSATRY_AGAIN) X(WSANO_RECOVERY) X(WSANO_DATA)

AnsiString WinSockErrorName(int code) {
    switch (code) {
#define WINSOCK_ERROR_CASE(name) \
    case name: return #name;
        WINSOCK_ERRORS(WINSOCK_ERROR_CASE)
#undef WINSOCK_ERROR_CASE
    default: return "UNKNOWN ERROR";
    }
}
