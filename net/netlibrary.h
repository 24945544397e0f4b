// The network script classes of a runtime: RegisterSocketObjects registers
// every one (in the order "URL", "Cookie", "HTTP", "HTTPS", "TCPSocket",
// "Mail", "POP3", "SMTP", "HtmlTag", "HtmlParser", "FTP"). Hosts
// install it in the components' network slot (engine/core/hooks.h):
//     JLibraryRegistrars[lsNetwork] = &RegisterSocketObjects;
#pragma once

class TJRuntime;

void RegisterSocketObjects(TJRuntime& runtime);
