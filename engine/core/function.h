// TJFunctionImpl: the one implementation of IJFunction - the function record,
// the owned table of captured variables and the bound `this` (not counted,
// cleared when that object is freed). Also the call of a native method.
#pragma once

#include "engine/core/ijfunction.h"
#include "engine/core/notify.h"

class TJValueList;
struct TJValue;

class TJFunctionImpl final : public IJFunction {
public:
    ~TJFunctionImpl() override;

    void AddRef() override { ++refs_; }
    void Release() override { if (--refs_ == 0) delete this; }

    void GetData(__TJFunction& record) override { record = Data_; }
    TJFunctionSymbolTable* GetFunctionTable() override { return Data_.FunctionTable; }
    TJLocalSymbolTable* GetLocalTable() override { return LocalTable_; }
    TJCallType GetCallType() override { return Data_.CallType; }
    TJFuncType GetFuncType() override { return Data_.FuncType; }
    TJStatement* GetParameters() override { return Data_.Parameters; }
    AnsiString GetName() override { return Data_.FuncName; }
    TJActiveXMethod* GetActiveXMethod() override { return &Data_.ActiveX; }
    TDynaDeclare* GetDynaDeclare() override { return &Data_.DynaDeclare; }
    TMethod GetMethod() override { return Data_.Method; }
    TJStatement* GetBody() override { return Data_.Body; }
    void SetFunctionTable(TJFunctionSymbolTable* table) override { Data_.FunctionTable = table; }
    void SetLocalTable(TJLocalSymbolTable* table) override;
    void SetCallType(TJCallType callType) override { Data_.CallType = callType; }
    void SetFuncType(TJFuncType funcType) override { Data_.FuncType = funcType; }
    void SetParameters(TJStatement* parameters) override { Data_.Parameters = parameters; }
    void SetName(const AnsiString& name) override { Data_.FuncName = name; }
    void SetMethod(void* code, void* data) override { Data_.Method = TMethod{code, data}; }
    void SetBody(TJStatement* body) override { Data_.Body = body; }
    TJObject* GetThis() override { return This_; }
    void SetThis(TJObject* object) override;
    void CopyFrom(IJFunction* other) override;

    TJNotifyLink Notify;

private:
    friend IJFunctionPtr NewFunction();
    TJFunctionImpl();
    void ObjectFreed(TJNotify* sender, TJNotify* freed);

    int refs_ = 0;
    __TJFunction Data_;
    TJLocalSymbolTable* LocalTable_ = nullptr;
    TJObject* This_ = nullptr;
};

// A fresh function (FuncType script, no name).
IJFunctionPtr NewFunction();

// Every function is a TJFunctionImpl (only NewFunction makes them): the
// evaluator's call path reads the record through this, without a virtual
// call for each field.
inline TJFunctionImpl* FunctionRecord(IJFunction* function) { return static_cast<TJFunctionImpl*>(function); }

// Calls a native method (FuncType 1: its code is the class method's entry,
// engine/core/methodtable.h) with its object. A method whose object has been
// freed raises "ECallError".
void CallNativeMethod(IJFunction* function, TJValueList* args, TJValue& result);
