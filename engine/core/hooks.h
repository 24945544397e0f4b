// Hooks into modules built on top of the value and object model: the class
// records of the boxing, date, automation and GUI wrapper classes, and the few
// operations of theirs that the value conversions and published-property access
// need. Each module fills its entries from a static initializer in the file that
// defines the class, so an entry is set whenever objects of that class can exist.
#pragma once

#include <oaidl.h>

class TJObject;
class TJRuntime;
class TPersistent;
struct TClassInfo;

struct TJModuleHooks {
    // Class records (nil until the class's module is linked).
    const TClassInfo* NumberObject = nullptr;        // "Number"
    const TClassInfo* StringObject = nullptr;        // "String"
    const TClassInfo* StringBufferObject = nullptr;  // "StringBuffer"
    const TClassInfo* BooleanObject = nullptr;       // "Boolean"
    const TClassInfo* RegExpObject = nullptr;        // "RegExp"
    const TClassInfo* DateObject = nullptr;          // "Date"
    const TClassInfo* ActiveXObject = nullptr;       // "ActiveXObject"
    const TClassInfo* VCLPersistent = nullptr;       // the GUI wrapper root

    // A new registered Date object of the engine set from a local date-time.
    TJObject* (*NewDateObject)(TJRuntime* runtime, double localDateTime) = nullptr;
    // A new registered automation object of the engine holding the interface.
    TJObject* (*NewActiveXObject)(TJRuntime* runtime, IDispatch* dispatch) = nullptr;
    // The interface of an automation object (borrowed).
    IDispatch* (*DispatchOf)(TJObject* activeX) = nullptr;
    // The local date-time of a Date object.
    double (*DateTimeOf)(TJObject* date) = nullptr;
    // The script wrapper of a GUI object (the GUI caster); nil when none.
    TJObject* (*WrapPersistent)(TPersistent* object, TJRuntime* runtime) = nullptr;
    // The GUI object linked to a wrapper; nil when none.
    TPersistent* (*WrappedObjectOf)(TJObject* wrapper) = nullptr;
};

extern TJModuleHooks JModuleHooks;
