// Function values: the record of a callable, its owned table of captured
// variables, the bound `this` cleared by free notification, copying for
// call/apply and closures, and the call of a native method.
#include "engine/core/function.h"

#include "engine/core/errors.h"
#include "engine/core/object.h"
#include "engine/core/scope.h"

TJFunctionImpl::TJFunctionImpl() {
    Notify.OnFreeNotify = TJFreeNotifyEvent::bind<&TJFunctionImpl::ObjectFreed>(this);
}

TJFunctionImpl::~TJFunctionImpl() {
    SetThis(nullptr);
    delete LocalTable_;
}

void TJFunctionImpl::SetLocalTable(TJLocalSymbolTable* table) {
    if (table == LocalTable_) return;
    delete LocalTable_;
    LocalTable_ = table;
}

void TJFunctionImpl::SetThis(TJObject* object) {
    if (object == This_) return;
    if (This_) {
        This_->RemoveFreeNotify(&Notify);
        Notify.RemoveFreeNotify(This_);
    }
    This_ = object;
    if (This_) Notify.AddFreeNotify(This_);
}

// The bound object is gone: a native method must not reach it any more.
void TJFunctionImpl::ObjectFreed(TJNotify*, TJNotify* freed) {
    if (!This_ || freed != This_) return;
    if (Data_.Method.Data == static_cast<void*>(This_)) Data_.Method.Data = nullptr;
    This_ = nullptr;
}

void TJFunctionImpl::CopyFrom(IJFunction* other) {
    if (!other || other == this) return;
    other->GetData(Data_);
    SetThis(other->GetThis());
    TJLocalSymbolTable* captured = other->GetLocalTable();
    if (!captured) return;
    if (!LocalTable_) LocalTable_ = new TJLocalSymbolTable(nullptr);
    LocalTable_->CopyVariables(captured);
}

IJFunctionPtr NewFunction() { return IJFunctionPtr(new TJFunctionImpl()); }

void CallNativeMethod(IJFunction* function, TJValueList* args, TJValue& result) {
    MakeUndefined(result);
    TMethod method = function->GetMethod();
    if (!method.Code || !method.Data)
        raiseScriptError("ECallError", "call function error,need function or object");
    static_cast<const TJMethodTable::Entry*>(method.Code)->Call(*static_cast<TJObject*>(method.Data), args, result);
}
