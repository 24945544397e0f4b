// TTrayIcon: the program's icon in the taskbar's notification area, with its
// hint, a popup menu on the right button and mouse events. The icon is added
// again whenever the taskbar is made anew (the shell's "TaskbarCreated"), so
// it survives a restart of the shell.
#pragma once

#include <memory>

#include "ui/controls.h"

class TTrayIcon : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TTrayIcon(TComponent* owner);

    // Longer hints are cut to what the notification area takes (127 bytes).
    const AnsiString& Hint() const { return Hint_; }
    void SetHint(const AnsiString& value);
    // The icon shown: the program's first icon until another is given. The
    // tray icon keeps a copy of its own.
    HICON Icon() const { return Icon_; }
    void SetIcon(HICON icon);
    // Takes the icon from an icon file; raises the system error when it fails.
    void LoadIconFromFile(const AnsiString& fileName);
    bool Visible() const { return Visible_; }
    void SetVisible(bool value);
    TPopupMenu* PopupMenu() const { return PopupMenu_; }
    void SetPopupMenu(TPopupMenu* value);
    // The window the notification area reports to.
    HWND Handle() const { return Window_->Handle(); }

    // Mouse positions are in screen coordinates. A left click is OnClick.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

protected:
    ~TTrayIcon() override;
    void Notification(TComponent* component, TOperation operation) override;
    void FreeDeferred() override { SetVisible(false); }

private:
    bool notify(DWORD action);
    void replaceIcon(HICON icon);
    void windowMessage(TMessage& message, bool& handled);
    void mouseMessage(UINT message);

    std::unique_ptr<TMessageWindow> Window_;
    AnsiString Hint_;
    HICON Icon_ = nullptr;
    TPopupMenu* PopupMenu_ = nullptr;
    bool Visible_ = false;
};
