// Host names and IPv4 addresses for the sockets (WinSock), and the names of
// WinSock error codes for the socket exceptions. Addresses are 32-bit values
// in network order, as the socket functions take them.
#pragma once

#include <winsock2.h>

#include <cstdint>

#include "rtl/ansistring.h"

// The dotted form when name is one, else the first address found for the
// name; INADDR_NONE (-1) when neither works or name is empty.
uint32_t HostToAddress(const AnsiString& name);
// "a.b.c.d", most significant byte first.
AnsiString AddressToText(uint32_t address);
// The dotted local address the socket is bound to ("0.0.0.0" when it is not).
AnsiString LocalSocketAddress(SOCKET socket);
// The first address of the local host name; the loopback address when the
// name does not resolve.
uint32_t LocalHostAddress();
// The WinSock constant name of code ("WSAETIMEDOUT"), "UNKNOWN ERROR" for
// codes that are not WinSock errors.
AnsiString WinSockErrorName(int code);
