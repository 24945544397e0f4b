// The event thunks of the parameterless GUI events: the functions a wrapper
// stores in its object's event fields, with the wrapper as their data. Each
// asks whether the script has a handler before it builds anything, then calls
// it with the sender's wrapper as the only argument; the result is ignored.
#pragma once

#include "rtl/component.h"

class TJVCLComponent;

// ORDER NOTIFY THUNKS: the script event of each is "on" + its name.
#define VCL_NOTIFY_THUNKS(X)                                                                              \
    X(Change) X(Click) X(DblClick) X(Resize) X(Popup) X(Activate) X(Create) X(Deactivate) X(Destroy)    \
    X(Enter) X(Exit) X(Hide) X(Paint) X(Show) X(Timer) X(DropDown) X(Moved) X(ClickCheck) X(Hint)       \
    X(Execute) X(Update) X(Close) X(FolderChange) X(SelectionChange) X(TypeChange) X(Find) X(Replace)

enum class TJNotifyThunk {
#define VCL_THUNK_ENUM(name) name,
    VCL_NOTIFY_THUNKS(VCL_THUNK_ENUM)
#undef VCL_THUNK_ENUM
};

// An event whose code is the thunk of that script event and whose data is the
// wrapper. The "onDestroy" thunk unlinks the wrapper before anything else and
// passes the wrapper itself as the sender (the dying form gets no new wrapper).
TNotifyEvent NotifyThunk(TJNotifyThunk event, TJVCLComponent* wrapper);
