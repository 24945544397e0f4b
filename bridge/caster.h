// The caster: the one place that answers which script wrapper stands for a
// GUI object (event senders, Owner, parent, children, object properties), and
// the two registrations that make the bridge's script types constructible and
// the GUI classes creatable by name from form streams.
#pragma once

#include <vector>

struct TClassInfo;
class TJRuntime;
class TJVCLPersistent;
class TObject;
class TPersistent;

// A new, not yet attached wrapper for the object; nil when not handled.
using TJVCLCasterCallback = TJVCLPersistent* (*)(TPersistent* object, TJRuntime* runtime);

class TJVCLCaster {
public:
    TJVCLCaster();
    virtual ~TJVCLCaster() = default;
    TJVCLCaster(const TJVCLCaster&) = delete;
    TJVCLCaster& operator=(const TJVCLCaster&) = delete;

    // Appends a callback; its index.
    virtual int AddCaster(TJVCLCasterCallback callback);
    // A live component's own wrapper; else the newest callback's new wrapper,
    // attached not owned. Nil for nil, and for a component being destroyed.
    virtual TJVCLPersistent* Cast(TPersistent* object, TJRuntime* runtime);

private:
    std::vector<TJVCLCasterCallback> Callbacks_;
};

// The process's caster, made on first use with DefaultVCLCaster.
TJVCLCaster& VCLCaster();
TJVCLPersistent* Cast(TPersistent* object, TJRuntime* runtime);
// A new wrapper of the first class in the caster's table whose GUI class the
// object is, or inherits from.
TJVCLPersistent* DefaultVCLCaster(TPersistent* object, TJRuntime* runtime);

// Every wrapper class the bridge has: the caster's, then the script types'.
std::vector<const TClassInfo*> WrapperClasses();

// The object's class is the named class or a descendant of it.
bool IsVCLClass(const TObject* object, const char* className);

// Registers the bridge's constructible script types ("VCLForm" ...) with the
// runtime; every engine component calls it.
void RegisterVCLTypes(TJRuntime& runtime);
// Registers the GUI classes that form streams create by name.
void RegisterVCLClasses();
// Plugs the bridge into the engine, once at start: the wrappers as the value
// conversions' GUI objects, its registrars in the components' GUI slots
// (engine/core/hooks.h), the Global object's input dialogs, and the classes
// of form streams.
void InstallGUIBridge();
