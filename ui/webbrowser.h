// TWebBrowser: the platform's web-browser control (a COM object) in place
// inside a window of ours. The control's site (client site, in-place site and
// frame, document-host options and context menu, the events sink) is one COM
// object of this file; every call into it catches everything at its boundary
// and hands it to the application, raised again once the platform call that
// ran it returns.
#pragma once

#include "ui/controls.h"

struct IOleObject;
struct IWebBrowser2;

// The browser asks for a context menu of a kind (the platform's CONTEXT_MENU_
// numbers: 2 a control inside the page) at a screen point; Handled keeps the
// browser's own menu away.
using TWebContextMenuEvent = TEvent<void(TObject* Sender, int Kind, TPoint ScreenPos, bool& Handled)>;
extern const TMethodTypeInfo WebContextMenuEventType;

class TWebBrowser : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TWebBrowser(TComponent* owner);

    // Starts loading a URL or a file path, making the window (and with it the
    // control) when it sits on a parent. Nothing without a control.
    void Navigate(const AnsiString& url);
    // The platform's READYSTATE_ number (ReadyStateComplete when the page
    // has loaded); 0 without a control.
    static constexpr int ReadyStateComplete = 4;
    int ReadyState() const;
    // The browser reported that the last navigation failed (cleared by Navigate).
    bool NavigationFailed() const { return NavigationFailed_; }
    // Whether the control exists (it is made with the window).
    bool HasBrowser() const { return Browser_ != nullptr; }
    // The DOCHOSTUIFLAG_ options the documents are given (selection, border,
    // scroll bars); a change reaches the next document loaded.
    uint32_t HostFlags() const { return HostFlags_; }
    void SetHostFlags(uint32_t value) { HostFlags_ = value; }

    TWebContextMenuEvent OnContextMenu;
    TNotifyEvent OnNavigateError;
    TNotifyEvent OnDocumentComplete;

protected:
    ~TWebBrowser() override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    // The browser asks for a context menu; the base asks OnContextMenu.
    virtual void ContextMenu(int kind, TPoint screenPos, bool& handled) { OnContextMenu(this, kind, screenPos, handled); }

private:
    class Site;
    friend class Site;
    void createBrowser();
    void releaseBrowser();
    void placeBrowser();

    Site* Site_ = nullptr;
    IOleObject* Object_ = nullptr;
    IWebBrowser2* Browser_ = nullptr;
    unsigned long EventsCookie_ = 0;
    uint32_t HostFlags_ = 0;
    bool NavigationFailed_ = false;
};
