// Registration of the network script classes.
#include "net/netlibrary.h"

#include "engine/core/runtime.h"
#include "net/cookieobject.h"
#include "net/socketobjects.h"

void RegisterSocketObjects(TJRuntime& runtime) {
    runtime.RegisterScriptClass("Cookie", &TJCookieObject::classInfo);
    runtime.RegisterScriptClass("HTTP", &TJHTTPObject::classInfo);
    runtime.RegisterScriptClass("HTTPS", &TJHTTPSObject::classInfo);
    runtime.RegisterScriptClass("TCPSocket", &TJTCPSocketObject::classInfo);
}
