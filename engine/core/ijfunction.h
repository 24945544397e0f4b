// IJFunction: the reference-counted callable of the script engine - a script
// function, a native method of a host object, an automation method, a script
// class, a namespace body or a DLL function - and the records it carries.
// Script values hold it (engine/core/value.h); engine/core/function.h implements it.
#pragma once

#include <cstdint>
#include <memory>

#include "rtl/ansistring.h"
#include "rtl/intf.h"
#include "rtl/reflection.h"

class TJObject;
class TJLocalSymbolTable;
class TJFunctionSymbolTable;
struct TJStatement;

enum TJFuncType : uint8_t {
    ftScript = 0,     // a script function
    ftNative = 1,     // a native method of a host object
    ftActiveX = 2,    // an automation method
    ftClass = 3,      // a script class declaration
    ftNamespace = 4,  // a namespace body
    ftDyna = 5,       // a DLL function
};

enum TJCallType : uint8_t { ctPlain = 0, ctApply = 1, ctCall = 2 };

// An automation member: the interface, its dispatch id and how it is invoked
// (0 method, 1 property get, 2 property put).
struct TJActiveXMethod {
    TIntf<IDispatch> Dispatch;
    DISPID DispId = 0;
    uint8_t Access = 0;
};

// A DLL function: its address and the letters of its declaration. Module,
// when set, is a reference on the module that exports it, released with the
// last copy of the record.
struct TDynaDeclare {
    void* ProcAddress = nullptr;
    AnsiString ArgLetters;
    AnsiString FlagLetters;
    AnsiString ResultLetter;
    std::shared_ptr<void> Module;
};

// The function record.
struct __TJFunction {
    AnsiString FuncName;
    TJFuncType FuncType = ftScript;
    TJStatement* Parameters = nullptr;      // first parameter node
    TJCallType CallType = ctPlain;
    TJFunctionSymbolTable* FunctionTable = nullptr;
    TJActiveXMethod ActiveX;
    TDynaDeclare DynaDeclare;
    TMethod Method;                         // native method: its class method's entry and its object
    TJStatement* Body = nullptr;            // script function, class or namespace body
};

class IJFunction {
public:
    virtual void AddRef() = 0;
    virtual void Release() = 0;

    virtual void GetData(__TJFunction& record) = 0;
    virtual TJFunctionSymbolTable* GetFunctionTable() = 0;
    virtual TJLocalSymbolTable* GetLocalTable() = 0;
    virtual TJCallType GetCallType() = 0;
    virtual TJFuncType GetFuncType() = 0;
    virtual TJStatement* GetParameters() = 0;
    virtual AnsiString GetName() = 0;
    virtual TJActiveXMethod* GetActiveXMethod() = 0;
    virtual TDynaDeclare* GetDynaDeclare() = 0;
    virtual TMethod GetMethod() = 0;
    virtual TJStatement* GetBody() = 0;
    virtual void SetFunctionTable(TJFunctionSymbolTable* table) = 0;
    // Takes ownership of the table of captured variables; frees the previous one.
    virtual void SetLocalTable(TJLocalSymbolTable* table) = 0;
    virtual void SetCallType(TJCallType callType) = 0;
    virtual void SetFuncType(TJFuncType funcType) = 0;
    virtual void SetParameters(TJStatement* parameters) = 0;
    virtual void SetName(const AnsiString& name) = 0;
    virtual void SetMethod(void* code, void* data) = 0;
    virtual void SetBody(TJStatement* body) = 0;
    // The bound `this`: not counted, cleared when the object is freed.
    virtual TJObject* GetThis() = 0;
    virtual void SetThis(TJObject* object) = 0;
    virtual void CopyFrom(IJFunction* other) = 0;

protected:
    virtual ~IJFunction() = default;
};

using IJFunctionPtr = TIntf<IJFunction>;
