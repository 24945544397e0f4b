// The script classes of a widget's elements take handlers without arguments:
// every event of an element resets the engine's shared event record
// (system.event), fills in what the event carries and calls the handler, which
// reads the record. TJExElement holds the record and fires such events;
// TJExVCLControl (graphic elements) and TJExVCLWinControl (windowed ones) add
// the handlers their HookEvents tables install, and forward presses and moves
// to the widget window so that every element drags its window.
#pragma once

#include "bridge/controls.h"
#include "host/script/systemobject.h"
#include "ui/controls.h"

// The handler names of the host's events.
namespace hostevent {
inline constexpr char Click[] = "onClick";
inline constexpr char DblClick[] = "onDblClick";
inline constexpr char MouseEnter[] = "onMouseEnter";
inline constexpr char MouseLeave[] = "onMouseLeave";
inline constexpr char MouseDown[] = "onMouseDown";
inline constexpr char MouseUp[] = "onMouseUp";
inline constexpr char MouseMove[] = "onMouseMove";
inline constexpr char KeyDown[] = "onKeyDown";
inline constexpr char KeyUp[] = "onKeyUp";
inline constexpr char MouseWheel[] = "onMouseWheel";
inline constexpr char Close[] = "onClose";
inline constexpr char Create[] = "onCreate";
inline constexpr char SettingChanged[] = "onSettingChanged";
inline constexpr char SettingChanging[] = "onSettingChanging";
inline constexpr char FontChanged[] = "onFontChanged";
inline constexpr char Timer[] = "onTimer";
inline constexpr char Change[] = "onChange";
inline constexpr char Enter[] = "onEnter";
inline constexpr char Exit[] = "onExit";
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

    // When the wrapper has a handler of the name: resets the record, sets
    // its sender to the wrapper of `sender`, lets `fill` add the event's
    // details and calls the handler with no arguments.
    template <class Fill>
    void FireHostEvent(const char* name, TObject* sender, Fill&& fill) {
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
    void FireHostEvent(const char* name, TObject* sender) {
        FireHostEvent(name, sender, [](TEventObject&) {});
    }

    // The sender-only handler of the event (hostevent::Click ...), for
    // TNotifyEvent::bind<&Class::template Notify<hostevent::Click>>(this).
    template <const char* Name>
    void Notify(TObject* sender) {
        FireHostEvent(Name, sender);
    }

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

protected:
    // Installs the handlers of the mouse events (down, up, move, click,
    // double click) on the control; enter and leave belong to the element
    // classes that publish them.
    void HookMouseEvents(TControl* control);
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

protected:
    // Also the key handlers.
    void HookKeyEvents(TWinControl* control);
};
