// The script classes of a widget's elements take handlers without arguments:
// every event of an element resets the engine's shared event record
// (system.event), fills in what the event carries and calls the handler, which
// reads the record. TJExElement holds the record, fires such events and lists
// its hook rows' handlers; TJExVCLControl (graphic elements) and
// TJExVCLWinControl (windowed ones) add the rows of the mouse and key events,
// and forward presses and moves to the widget window so that every element
// drags its window. An element declares its surface as a bridge wrapper does
// (bridge/wrapper.h), its object's properties as ElementProperty rows.
#pragma once

#include "bridge/controls.h"
#include "bridge/wrapper.h"
#include "host/script/systemobject.h"
#include "ui/controls.h"

// The handler names of the host's events that carry more than their sender.
namespace hostevent {
inline constexpr char MouseDown[] = "onMouseDown";
inline constexpr char MouseUp[] = "onMouseUp";
inline constexpr char MouseMove[] = "onMouseMove";
inline constexpr char KeyDown[] = "onKeyDown";
inline constexpr char KeyUp[] = "onKeyUp";
inline constexpr char MouseWheel[] = "onMouseWheel";
inline constexpr char Close[] = "onClose";
inline constexpr char Create[] = "onCreate";
inline constexpr char SettingChanging[] = "onSettingChanging";
}  // namespace hostevent

// `button` from a shift state: 1 left, + 2 right, + 4 middle held.
int32_t ButtonsOf(TShiftState shift);
// `button` of a press or release: the button that caused it plus the others
// held at that moment, each counted once.
int32_t ButtonsOf(TMouseButton button, TShiftState shift);
// Fills the record's Shift, Ctrl and Alt keys from the shift state.
void SetEventKeys(TEventObject& record, TShiftState shift);

// The linked object of a script object (a wrapper), when it is of the
// class; nil otherwise.
template <class T>
T* linkedOf(TObject* object) {
    TJVCLPersistent* wrapper = object ? WrapperOfObject(static_cast<TJObject*>(object)) : nullptr;
    return wrapper && wrapper->HasVCL() && wrapper->VCL()->InheritsFrom(&T::classInfo) ? static_cast<T*>(wrapper->VCL())
                                                                                       : nullptr;
}

// A published property of an element that forwards to its object's own, as
// the bridge's Forward does, raising what the object raises:
// ElementProperty<&TControl::Visible, &TControl::SetVisible>("Visible").
template <auto G, auto S = nullptr>
constexpr TPropInfo ElementProperty(const char* name) {
    return Forward<G, S, TJUnlinked::Raise, TJFaults::Pass>(name);
}

namespace host_detail {

template <class M>
struct HandlerClass;
template <class C, class R, class... A>
struct HandlerClass<R (C::*)(A...)> {
    using Type = C;
};

template <auto Handler, class Signature>
struct HandlerThunk;
template <auto Handler, class R, class... A>
struct HandlerThunk<Handler, R(A...)> {
    using Element = typename HandlerClass<decltype(Handler)>::Type;
    static R Call(void* data, A... args) {
        return (static_cast<Element*>(static_cast<TJVCLComponent*>(data))->*Handler)(args...);
    }
};

template <TJName Property, class Element>
void notice(void* data, TObject* sender) {
    static const AnsiString name = HandlerName(Property.Text);
    static_cast<Element*>(static_cast<TJVCLComponent*>(data))->FireHostEvent(name, sender);
}

}  // namespace host_detail

// A hook row that calls the element's own handler, a member taking the
// event's arguments: Handle<"OnClose", TCloseEvent, &TJVCLBaseExForm::WindowClose>().
template <TJName Property, class Event, auto Handler>
TJHook Handle() {
    return OnWith<Property, Event>(&host_detail::HandlerThunk<Handler, typename Event::Signature>::Call);
}

// The hook row of an event that tells its sender only: the element's handler
// named after the event ("onTimer" for OnTimer) fires with the record's
// sender set: Notice<"OnTimer", TJVCLBaseExTimer>().
template <TJName Property, class Element>
TJHook Notice() {
    return OnWith<Property, TNotifyEvent>(&host_detail::notice<Property, Element>);
}

// What every element of the host shares, over any component wrapper base
// (TJVCLComponent, TJVCLControl, TJVCLWinControl).
template <class Base>
class TJExElement : public Base {
public:
    // Takes one reference on the engine's event record (none when the engine
    // has no "system").
    TJExElement(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJExElement() override;

    TEventObject* EventRecord() const { return Event_; }

    // Applies the hook rows, then lists their handlers (getEvents).
    void HookEvents() override;

    // When the wrapper has a handler of the name: resets the record, sets
    // its sender to the wrapper of `sender`, lets `fill` add the event's
    // details and calls the handler with no arguments.
    template <class Fill>
    void FireHostEvent(const AnsiString& name, TObject* sender, Fill&& fill) {
        if (!this->HasEventHandler(name)) return;
        if (Event_) {
            Event_->ClearEventRecord();
            TJValue wrapper;
            this->SenderWrapper(sender, wrapper);
            Event_->SetSender(IsObjectValue(wrapper) ? wrapper.ObjValue : nullptr);
            fill(*Event_);
        }
        TJValue result;
        this->FireEvent(AnsiString(), name, result, nullptr);
    }
    void FireHostEvent(const AnsiString& name, TObject* sender) {
        FireHostEvent(name, sender, [](TEventObject&) {});
    }

protected:
    // Scripts reach only the element's own rows of its object.
    bool ShowsLinkedProperties() const override { return false; }

private:
    TEventObject* Event_;
};

extern template class TJExElement<TJVCLComponent>;
extern template class TJExElement<TJVCLControl>;
extern template class TJExElement<TJVCLWinControl>;

// The mouse handlers of an element control; a press reaches the widget window
// before the script's onMouseDown, a move after its onMouseMove.
template <class Base>
class TJExMouseElement : public TJExElement<Base> {
public:
    using TJExElement<Base>::TJExElement;

    void MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TObject* sender, TShiftState shift, int x, int y);

    // The hook rows of the mouse events (down, up, move, click, double
    // click); enter and leave belong to the element classes that publish them.
    static TJHookPart MouseHooks();
};

extern template class TJExMouseElement<TJVCLControl>;
extern template class TJExMouseElement<TJVCLWinControl>;

// The base of the graphic elements ("label", "image").
class TJExVCLControl : public TJExMouseElement<TJVCLControl> {
    RTL_DECLARE_CLASS()
    TJExVCLControl(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
};

// The base of the windowed elements and of the window.
class TJExVCLWinControl : public TJExMouseElement<TJVCLWinControl> {
    RTL_DECLARE_CLASS()
    TJExVCLWinControl(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    void KeyDown(TObject* sender, WORD& key, TShiftState shift);
    void KeyUp(TObject* sender, WORD& key, TShiftState shift);

    // The hook rows of the key events.
    static TJHookPart KeyHooks();
};
