// Registration of the network script classes.
#include "net/netlibrary.h"

#include "engine/core/runtime.h"
#include "net/cookieobject.h"
#include "net/ftpobjects.h"
#include "net/htmlobjects.h"
#include "net/mailobjects.h"
#include "net/socketobjects.h"
#include "net/urlobject.h"

void RegisterSocketObjects(TJRuntime& runtime) {
    runtime.RegisterScriptClass("URL", &TJURLInfoObject::classInfo);
    runtime.RegisterScriptClass("Cookie", &TJCookieObject::classInfo);
    runtime.RegisterScriptClass("HTTP", &TJHTTPObject::classInfo);
    runtime.RegisterScriptClass("HTTPS", &TJHTTPSObject::classInfo);
    runtime.RegisterScriptClass("TCPSocket", &TJTCPSocketObject::classInfo);
    runtime.RegisterScriptClass("Mail", &TJMailObject::classInfo);
    runtime.RegisterScriptClass("POP3", &TJPOP3Object::classInfo);
    runtime.RegisterScriptClass("SMTP", &TJSMTPObject::classInfo);
    runtime.RegisterScriptClass("HtmlTag", &TJHtmlTagObject::classInfo);
    runtime.RegisterScriptClass("HtmlParser", &TJHtmlParserObject::classInfo);
    runtime.RegisterScriptClass("FTP", &TJFtpObject::classInfo);
}
