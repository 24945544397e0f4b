// Registration of the network script classes.
#include "net/netlibrary.h"

#include "engine/eval/engine.h"
#include "engine/lib/global.h"
#include "net/cookieobject.h"
#include "net/socketobjects.h"

namespace {

// A new network object prints its status lines (while debug is on) through
// the global object's println.
void wireStatusLines(TJEngine* engine, TJObject* object) {
    TJObject* global = engine->GlobalObject();
    if (!global || !object->InheritsFrom(&TJBaseSocketObject::classInfo)) return;
    static_cast<TJBaseSocketObject*>(object)->PrintHook =
        TJPrintHook::bind<&TJGlobalObject::PrintLine>(static_cast<TJGlobalObject*>(global));
}

}  // namespace

void RegisterSocketObjects(TJEngine& engine) {
    engine.RegisterScriptClass("Cookie", &TJCookieObject::classInfo);
    engine.RegisterScriptClass("HTTP", &TJHTTPObject::classInfo);
    engine.RegisterScriptClass("HTTPS", &TJHTTPSObject::classInfo);
    engine.RegisterScriptClass("TCPSocket", &TJTCPSocketObject::classInfo);
    JEngineHooks.WireStatusLines = &wireStatusLines;
}
