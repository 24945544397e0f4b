// The network script classes of a runtime: RegisterSocketObjects registers
// every one (in the order "Cookie", "HTTP", "HTTPS", "TCPSocket"). Hosts
// install it in the components' network slot (engine/core/hooks.h):
//     JLibraryRegistrars[lsNetwork] = &RegisterSocketObjects;
#pragma once

class TJRuntime;

void RegisterSocketObjects(TJRuntime& runtime);
