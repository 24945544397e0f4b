// TJVCLControl and TJVCLWinControl: the wrappers of controls and window
// controls - the common script methods (show, bounds, coordinates, focus,
// alignment), the `parent` link with the constructor's parent argument, the
// window-control properties, and the hook parts of the control events that
// the bridge's control wrappers and the widget host's elements put together.
// The caster gives these two classes to controls no more specific wrapper
// covers; they hook nothing themselves.
#pragma once

#include "bridge/component.h"

class TControl;
class TDragDropTarget;
class TWinControl;

// The events most controls share, for the hook tables of their wrappers.
extern const TJHookPart ClickHooks;  // click and double click, always (whatever the control's Action)
extern const TJHookPart DragHooks;   // context popup, drag drop and over, end of dock and drag
extern const TJHookPart MouseHooks;  // mouse down, move and up
extern const TJHookPart FocusHooks;  // enter, exit
extern const TJHookPart KeyHooks;    // key down, press and up
extern const TJHookPart StartHooks;  // starting a dock or a drag: claimed, no script event
extern const TJHookPart DockHooks;   // docking onto the control: claimed, no script event
// OnConstrainedResize: the script gets maxHeight before maxWidth.
TJHook OnConstrainedResize();

class TJVCLControl : public TJVCLComponent {
    RTL_DECLARE_CLASS()
    TJVCLControl(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // The linked object as a control; nil when none.
    TControl* WrappedControl() const;
    const TClassInfo* VCLClass() const override;
    const TJMethodTable& Methods() const override;

    // ---- Published ----
    // The parent's wrapper; nil without object or parent.
    TObject* ParentWrapper() const;
    // A window-control wrapper becomes the parent, null removes it.
    void SetParentWrapper(TObject* parent);

protected:
    // After the object is made: a window-control wrapper as the first
    // argument becomes the parent (new VCLButton(form)).
    void Construct(TJValueList* args) override;
};

class TJVCLWinControl : public TJVCLControl {
    RTL_DECLARE_CLASS()
    TJVCLWinControl(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJVCLWinControl() override;

    // The linked object as a window control; nil when none.
    TWinControl* WrappedWinControl() const;
    const TClassInfo* VCLClass() const override;
    const TJMethodTable& Methods() const override;
    // The object's events, then "onDragDropText" and "onDragDropFiles".
    void GetEventList(std::vector<AnsiString>& list) override;

    // ---- Published ----
    // Whether files and text dropped on the control's window reach
    // "onDragDropFiles" and "onDragDropText": its window is registered.
    bool AcceptDrop() const;
    // true registers the window (made when needed) through the wrapper's
    // drop target, made once; false frees the drop target.
    void SetAcceptDrop(bool value);

protected:
    // A control the wrapper lets go takes no more drops for it.
    void Unlinked() override;

private:
    void freeDropTarget();

    TDragDropTarget* DropTarget_ = nullptr;  // owned
};

// The x and y members of any script object as a point; the arguments error
// for a value that is no object.
TPoint PointArgument(TJVCLPersistent& wrapper, const TJValue& value);
