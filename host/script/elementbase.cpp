// Host events: the record's button arithmetic and keys, the element bases'
// handlers and hook rows, and the forwarding of presses and moves to the
// widget window.
#include "host/script/elementbase.h"

#include "host/window/skinform.h"

int32_t ButtonsOf(TShiftState shift) {
    return (inSet(shift, ssLeft) ? 1 : 0) + (inSet(shift, ssRight) ? 2 : 0) + (inSet(shift, ssMiddle) ? 4 : 0);
}

// The shift state of a press already holds the pressed button on some
// platforms and not on others: the causing button is added to the held ones
// as a set, so it counts once either way.
int32_t ButtonsOf(TMouseButton button, TShiftState shift) {
    int32_t pressed = button == mbLeft ? 1 : button == mbRight ? 2 : 4;
    return ButtonsOf(shift) | pressed;
}

void SetEventKeys(TEventObject& record, TShiftState shift) {
    record.shiftKey = inSet(shift, ssShift);
    record.ctrlKey = inSet(shift, ssCtrl);
    record.altKey = inSet(shift, ssAlt);
}

// ==== TJExElement ====

template <class Base>
TJExElement<Base>::TJExElement(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : Base(key, runtime, args) {
    TSystemObject* system = TSystemObject::Of(runtime);
    Event_ = system ? system->EventRecord() : nullptr;
    if (Event_) Event_->IncRef();
}

template <class Base>
TJExElement<Base>::~TJExElement() {
    if (Event_) Event_->DecRef();
}

template <class Base>
void TJExElement<Base>::HookEvents() {
    Base::HookEvents();
    for (TJHookPart part : this->Hooks())
        for (const TJHook& row : part) this->RegisterEventName(HandlerName(row.Property));
}

template class TJExElement<TJVCLComponent>;
template class TJExElement<TJVCLControl>;
template class TJExElement<TJVCLWinControl>;

// ==== Mouse handlers ====

namespace {

// The widget window an element sits in; nil for the window itself and for a
// control outside any window.
TSkinForm* dragWindowOf(TControl* control) {
    if (!control || dynamic_cast<TSkinForm*>(control)) return nullptr;
    for (TControl* parent = control->Parent(); parent; parent = parent->Parent())
        if (auto* window = dynamic_cast<TSkinForm*>(parent)) return window;
    return nullptr;
}

TControl* controlOf(TJVCLControl& wrapper) { return wrapper.WrappedControl(); }

}  // namespace

template <class Base>
void TJExMouseElement<Base>::MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    TControl* control = controlOf(*this);
    if (TSkinForm* window = dragWindowOf(control); window && button == mbLeft)
        window->MousePressed(control->ClientToScreen({x, y}));
    this->FireHostEvent(hostevent::MouseDown, sender, [&](TEventObject& record) {
        record.button = ButtonsOf(button, shift);
        SetEventKeys(record, shift);
        record.x = x;
        record.y = y;
    });
}

template <class Base>
void TJExMouseElement<Base>::MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    this->FireHostEvent(hostevent::MouseUp, sender, [&](TEventObject& record) {
        record.button = ButtonsOf(button, shift);
        SetEventKeys(record, shift);
        record.x = x;
        record.y = y;
    });
}

// The element may be freed by its handler: the window is looked up again after it.
template <class Base>
void TJExMouseElement<Base>::MouseMove(TObject* sender, TShiftState shift, int x, int y) {
    this->FireHostEvent(hostevent::MouseMove, sender, [&](TEventObject& record) {
        record.x = x;
        record.y = y;
    });
    TControl* control = controlOf(*this);
    if (TSkinForm* window = dragWindowOf(control)) window->MouseMoved(control->ClientToScreen({x, y}), inSet(shift, ssLeft));
}

template <class Base>
TJHookPart TJExMouseElement<Base>::MouseHooks() {
    using Self = TJExMouseElement<Base>;
    static const TJHook rows[] = {
        Handle<"OnMouseDown", TMouseEvent, &Self::MouseDown>(),
        Handle<"OnMouseUp", TMouseEvent, &Self::MouseUp>(),
        Handle<"OnMouseMove", TMouseMoveEvent, &Self::MouseMove>(),
        Notice<"OnClick", Self>(),
        Notice<"OnDblClick", Self>(),
    };
    return rows;
}

template class TJExMouseElement<TJVCLControl>;
template class TJExMouseElement<TJVCLWinControl>;

// ==== The two bases ====

const TClassInfo TJExVCLControl::classInfo = makeClassInfo("TJExVCLControl", &TJVCLControl::classInfo);
const TClassInfo TJExVCLWinControl::classInfo = makeClassInfo("TJExVCLWinControl", &TJVCLWinControl::classInfo);

TJExVCLControl::TJExVCLControl(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJExMouseElement(key, runtime, args) {}

TJExVCLWinControl::TJExVCLWinControl(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJExMouseElement(key, runtime, args) {}

void TJExVCLWinControl::KeyDown(TObject* sender, WORD& key, TShiftState shift) {
    FireHostEvent(hostevent::KeyDown, sender, [&](TEventObject& record) {
        record.keyCode = key;
        record.button = ButtonsOf(shift);
        SetEventKeys(record, shift);
    });
}

void TJExVCLWinControl::KeyUp(TObject* sender, WORD& key, TShiftState shift) {
    FireHostEvent(hostevent::KeyUp, sender, [&](TEventObject& record) {
        record.keyCode = key;
        record.button = ButtonsOf(shift);
        SetEventKeys(record, shift);
    });
}

TJHookPart TJExVCLWinControl::KeyHooks() {
    static const TJHook rows[] = {
        Handle<"OnKeyDown", TKeyEvent, &TJExVCLWinControl::KeyDown>(),
        Handle<"OnKeyUp", TKeyEvent, &TJExVCLWinControl::KeyUp>(),
    };
    return rows;
}
