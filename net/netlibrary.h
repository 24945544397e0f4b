// The network script classes of an engine: RegisterSocketObjects registers
// every one (in the order "Cookie", "HTTP", "HTTPS", "TCPSocket") and points
// the status lines of each new network object at the engine's standard
// output. Hosts install it in the component's network slot:
//     SetLibraryRegistrar(lsNetwork, &RegisterSocketObjects);
#pragma once

class TJEngine;

void RegisterSocketObjects(TJEngine& engine);
