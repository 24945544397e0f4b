// The network script classes of a runtime: RegisterSocketObjects registers
// every one (in the order "URL", "Cookie", "HTTP", "HTTPS", "TCPSocket",
// "Mail", "POP3", "SMTP", "HtmlTag", "HtmlParser", "FTP"). Programs
// install it in the components' network slot through InstallStandardLibraries
// (libraries/standard.h).
#pragma once

class TJRuntime;

void RegisterSocketObjects(TJRuntime& runtime);
