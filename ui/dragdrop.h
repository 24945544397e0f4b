// OLE drag and drop: TDragDropTarget registers one window control for drops
// and reports dropped file lists and text through its events; TDragDropSource
// drags files (as the shell's own data object) or text out to other windows
// and programs. The window-control and form wrappers of the bridge make them
// (acceptDrop, doDragDropFiles, doDragDropText). OLE itself comes up with the
// application (ui/application.h).
#pragma once

#include <objidl.h>

#include <memory>

#include "rtl/component.h"
#include "rtl/intf.h"
#include "rtl/stringlist.h"

class TWinControl;

// X and Y are the pointer's screen coordinates.
using TDragDropFilesEvent = TEvent<void(TObject* Sender, int X, int Y, TStrings* Files)>;
using TDragDropTextEvent = TEvent<void(TObject* Sender, int X, int Y, const AnsiString& Text)>;
using TDragDropOverEvent = TEvent<void(TObject* Sender, int X, int Y, bool& Accept)>;
extern const TMethodTypeInfo DragDropFilesEventType, DragDropTextEventType, DragDropOverEventType;

// ==== TDragDropTarget ====

class TDragDropTarget : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TDragDropTarget(TComponent* owner);

    // The control whose window takes drops. Its window is registered at once
    // (made when needed) and again whenever the control makes a new one;
    // a registration the platform refuses raises, and Target stays nil.
    TWinControl* Target() const { return Target_; }
    void SetTarget(TWinControl* target);
    // The window registered now; nil while the target has none.
    HWND RegisteredWindow() const { return Window_; }
    // What a drop of this data may do, from what the source allows: copy
    // for files, link (else copy) for text, and never move.
    static DWORD EffectFor(IDataObject* data, DWORD allowed);

    // Sender is Target. Files: the dropped names in code page 932.
    TDragDropFilesEvent OnDragDropFiles;
    TDragDropTextEvent OnDragDropText;
    // May refuse a drag over the target by clearing Accept.
    TDragDropOverEvent OnDragDropOver;

protected:
    ~TDragDropTarget() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    class Sink;
    class Hook;
    friend class Sink;
    friend class Hook;
    void registerWindow();
    void revokeWindow();
    DWORD drop(IDataObject* data, POINTL point);

    TIntf<IDropTarget> Sink_;
    std::unique_ptr<Hook> Hook_;
    TWinControl* Target_ = nullptr;
    HWND Window_ = nullptr;
    DWORD Effect_ = DROPEFFECT_NONE;
};

// ==== TDragDropSource ====

// Each drag runs the platform's modal drag loop and returns when it ends. A
// drag starts only while the left or right mouse button is down, as a drag
// begun without one would drop at once wherever the pointer is.
class TDragDropSource : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TDragDropSource(TComponent* owner) : TComponent(owner) {}

    // Drags the existing files of the list; nothing when none exists.
    void DoDragFiles(const AnsiString& folder, const TStrings& files);
    void DoDragText(const AnsiString& text);
    // Whether a drag may start now: a mouse button is down.
    static bool DragButtonDown();
};

// ==== Helpers ====

// The names of a CF_HDROP block (narrow or wide; wide names in code page
// 932), read within the block's size whatever its header says.
void ParseDropFiles(HGLOBAL block, TStrings& list);
// The text of a CF_TEXT block up to its first zero byte or its end.
AnsiString ReadDropText(HGLOBAL block);
// The shell's data object for the existing files of the list, all in one
// folder: a bare name is taken in `folder` (the first entry's folder when
// empty), an entry with a folder part is the file it names and is left out
// when that folder is another. Nil when no file is left; a failing shell
// call raises EOSError.
TIntf<IDataObject> BuildFileDataObject(const AnsiString& folder, const TStrings& files);
// A data object that offers the text as CF_TEXT in global memory.
TIntf<IDataObject> MakeTextDataObject(const AnsiString& text);
