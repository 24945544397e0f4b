// Every hook slot of the engine: the entries through which the layers below
// reach modules built on top of them (the built-in library, native calls, the
// system library, network, automation and the GUI bridge) without naming
// them. Each module fills its entries in its own registration function, never
// from a static initializer (libraries/standard.h makes the program's calls);
// an unset entry leaves the feature out.
//
// Contents
//   JModuleHooks        class records of the value kinds and the objects the
//                       value conversions make (dates, automation, GUI wrappers)
//   JEngineHooks        evaluator operations of the built-in library and the
//                       native calls
//   JGlobalHooks        the application window, the main form and the dialogs
//                       of the Global object
//   JLibraryRegistrars  the script library's classes every component registers
//
// Operations that differ by class are virtual functions of TJObject instead
// (ToVariant, AfterRegistration, WrapsForRead, FindScopeName, ScopeKeysStamp,
// ForEachItem).
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "rtl/ansistring.h"

class IJFunction;
class TJObject;
class TJRuntime;
class TJValueList;
class TPersistent;
class TStrings;
struct TClassInfo;
struct TJValue;

// ==== Value kinds and conversions ====

struct TJModuleHooks {
    // Class records of the kind tests (nil until the class's module is linked).
    const TClassInfo* NumberObject = nullptr;        // "Number"
    const TClassInfo* StringObject = nullptr;        // "String"
    const TClassInfo* StringBufferObject = nullptr;  // "StringBuffer"
    const TClassInfo* RegExpObject = nullptr;        // "RegExp"
    const TClassInfo* VCLPersistent = nullptr;       // the GUI wrapper root
    // Replaces the text of a String object (the evaluator lends one object
    // to primitive texts, engine/eval/evalexpr.cpp).
    void (*SetStringText)(TJObject* string, const AnsiString& text) = nullptr;

    // A new registered Date object of the runtime set from a local date-time.
    TJObject* (*NewDateObject)(TJRuntime* runtime, double localDateTime) = nullptr;
    // A new registered automation object of the runtime holding the interface.
    TJObject* (*NewActiveXObject)(TJRuntime* runtime, IDispatch* dispatch) = nullptr;
    // WScript's automation methods: a new automation object from the
    // arguments of `new ActiveXObject`; the event prefix of the automation
    // object a value holds, set (connecting its events when not empty) or
    // disconnected. SetEventPrefix is false for any other value.
    TJObject* (*CreateActiveXObject)(TJRuntime* runtime, TJValueList* args) = nullptr;
    bool (*SetEventPrefix)(const TJValue& object, const AnsiString& prefix) = nullptr;
    void (*DisconnectEvents)(const TJValue& object) = nullptr;
    // The script wrapper of a GUI object (the GUI caster); nil when none.
    TJObject* (*WrapPersistent)(TPersistent* object, TJRuntime* runtime) = nullptr;
    // The GUI object linked to a wrapper; nil when none.
    TPersistent* (*WrappedObjectOf)(TJObject* wrapper) = nullptr;
    // A string-list object of the runtime holding a copy of the lines (the
    // system library's; the network objects hand out lists): the list given,
    // one this hook made before, refilled, or a new one when nil (entered in
    // the runtime's object list when registering; else its maker owns it).
    TJObject* (*FillStringListObject)(TJRuntime* runtime, TJObject* list, const TStrings& lines,
                                      bool registering) = nullptr;
};

extern TJModuleHooks JModuleHooks;

// ==== Evaluator ====

struct TJEngineHooks {
    // Loads a regular-expression literal into a RegExp object (the `switch`
    // statement's literal cases load the runtime's statics object).
    void (*LoadRegExpLiteral)(TJObject* regexp, const TJValue& literal) = nullptr;
    // Calls a DLL function (FuncType 5) with the arguments.
    void (*CallDynaFunction)(TJRuntime* runtime, IJFunction* function, TJValueList* args, TJValue& result) = nullptr;
};

extern TJEngineHooks JEngineHooks;

// ==== Global object ====

struct TJGlobalHooks {
    // The application window, owner of the message boxes; nil when there is none.
    HWND (*AppWindow)() = nullptr;
    // The main form's window; nil when there is none.
    HWND (*MainFormHandle)() = nullptr;
    // The one-line input dialog; true for OK, with the edited text. A client
    // width of 0 keeps the form's own.
    bool (*PromptDialog)(const AnsiString& text, const AnsiString& defaultText, uint8_t passwordChar,
                         const AnsiString& caption, int clientWidth, AnsiString& result) = nullptr;
    // The multi-line input dialog; true for OK, with the memo's text. A client
    // size of 0 keeps the form's own.
    bool (*TextAreaDialog)(const AnsiString& text, const AnsiString& defaultText, const AnsiString& caption,
                           int clientWidth, int clientHeight, AnsiString& result) = nullptr;
};

extern TJGlobalHooks JGlobalHooks;

// The application window (owner of message boxes, dialogs and the shell's
// windows); nil when there is none.
HWND GetAppWindow();

// ==== Script library ====

// The script library's registrars, in the order every component calls them.
enum TJLibrarySlot : int {
    lsSystemLibrary,  // "File" .. "StringBuffer"
    lsNetwork,
    lsAutomation,     // "ActiveXObject", "Enumerator"
    lsDynaCall,       // "DynaCall", "Struct"
    lsCheckListBox,
    lsGUI,            // the GUI bridge types
    lsSlotCount,
};
using TJLibraryRegistrar = void (*)(TJRuntime& runtime);

extern TJLibraryRegistrar JLibraryRegistrars[lsSlotCount];
