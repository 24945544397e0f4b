// The parameterless event thunks, one instance of a template per script event.
#include "bridge/thunks.h"

#include "bridge/component.h"
#include "engine/core/valuelist.h"

namespace {

const char* const scriptEventNames[] = {
#define VCL_THUNK_NAME(name) "on" #name,
    VCL_NOTIFY_THUNKS(VCL_THUNK_NAME)
#undef VCL_THUNK_NAME
};

void fireNotify(TJVCLComponent* wrapper, TJNotifyThunk event, const TJValue& sender) {
    const AnsiString name = scriptEventNames[static_cast<int>(event)];
    if (!wrapper->HasEventHandler(name)) return;
    TJValueList args;
    args.Add(sender);
    TJValue result;
    wrapper->FireEvent(AnsiString(), name, result, &args);
}

template <TJNotifyThunk Event>
void notifyThunk(void* data, TObject* sender) {
    auto* wrapper = static_cast<TJVCLComponent*>(data);
    TJValue senderValue;
    if constexpr (Event == TJNotifyThunk::Destroy) {
        wrapper->Unlink();
        MakeObject(wrapper, senderValue);
    } else {
        wrapper->SenderWrapper(sender, senderValue);
    }
    fireNotify(wrapper, Event, senderValue);
}

using TNotifyThunkCode = void (*)(void*, TObject*);

const TNotifyThunkCode notifyThunks[] = {
#define VCL_THUNK_CODE(name) &notifyThunk<TJNotifyThunk::name>,
    VCL_NOTIFY_THUNKS(VCL_THUNK_CODE)
#undef VCL_THUNK_CODE
};

}  // namespace

TNotifyEvent NotifyThunk(TJNotifyThunk event, TJVCLComponent* wrapper) {
    return TNotifyEvent(notifyThunks[static_cast<int>(event)], wrapper);
}
