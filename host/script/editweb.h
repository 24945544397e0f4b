// The script classes "edit" and "web": the script faces of a widget window's
// text boxes (TExMemo) and web views (TExWeb), each on a satellite window of
// its own (host/window/ownedform.h). Made with the window as their one argument;
// their handlers take no arguments and read system.event.
#pragma once

#include "host/script/elementbase.h"

class TExMemo;
class TExWeb;
class TOwnedForm;
class TSkinForm;

// The element's rectangle (relative to the widget window), its `visible` and
// `transparency`, and the satellite that shows it. Without a window (made
// with none, or taken off it) the values are kept and nothing shows.
template <class Base>
class TJExSatellite : public Base {
    RTL_DECLARE_CLASS()
    using Base::Base;

    // ---- Published ----
    int Left() const { return Left_; }
    void SetLeft(int value);
    int Top() const { return Top_; }
    void SetTop(int value);
    int Width() const { return Width_; }
    void SetWidth(int value);
    int Height() const { return Height_; }
    void SetHeight(int value);
    int Transparency() const;
    void SetTransparency(int value);
    bool Visible() const { return Visible_; }
    void SetVisible(bool value);

protected:
    // The element's control; nil when none is linked.
    TWinControl* ElementControl() const;
    // The satellite showing the control; nil when none.
    TOwnedForm* Satellite() const;
    // Puts the control on a satellite of the window (a vacant one, else a new
    // one) at the element's rectangle, with the window's transparency; the
    // window can no longer be pinned to the desktop.
    void AttachTo(TSkinForm* window);
    // Places the satellite over the element's rectangle.
    void UpdateOwnedBounds();

private:
    int Left_ = 0, Top_ = 0, Width_ = 0, Height_ = 0;
    int Transparency_ = 255;
    bool Visible_ = true;
};

using TJExWinSatellite = TJExSatellite<TJExVCLWinControl>;
using TJExComponentSatellite = TJExSatellite<TJExElement<TJVCLComponent>>;
template <>
const TClassInfo TJExWinSatellite::classInfo;
template <>
const TClassInfo TJExComponentSatellite::classInfo;
extern template class TJExSatellite<TJExVCLWinControl>;
extern template class TJExSatellite<TJExElement<TJVCLComponent>>;

// ==== edit ====

class TJVCLBaseExMemo : public TJExWinSatellite {
    RTL_DECLARE_CLASS()
    TJVCLBaseExMemo(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    TExMemo* Memo() const;
    const TClassInfo* VCLClass() const override;
    TJHookList Hooks() const override;
    const TJMethodTable& Methods() const override;

    // ---- Published: the memo's selection and undo ----
    bool CanUndo() const;
    bool Modified() const;
    void SetModified(bool value);
    int SelStart() const;
    void SetSelStart(int value);
    int SelLength() const;
    void SetSelLength(int value);
    AnsiString SelText() const;
    void SetSelText(const AnsiString& value);
    AnsiString Align() const;
    void SetAlign(const AnsiString& text);
    // The satellite's wrapper; nil without one.
    TObject* ParentWindow() const;
    // Null takes the memo off its satellite; a widget window puts it on one
    // of that window's satellites; other objects are ignored.
    void SetParentWindow(TObject* window);

protected:
    // After the base (which makes the first argument the memo's parent): a
    // widget window gives the memo a satellite; another parent is a cast error.
    void Construct(TJValueList* args) override;
};

class TJVCLExMemo : public TJVCLBaseExMemo {
    RTL_DECLARE_CLASS()
    using TJVCLBaseExMemo::TJVCLBaseExMemo;
    void CreateVCL() override;
};

// ==== web ====

class TJVCLBaseExWeb : public TJExComponentSatellite {
    RTL_DECLARE_CLASS()
    TJVCLBaseExWeb(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    TExWeb* Web() const;
    const TClassInfo* VCLClass() const override;
    const TJMethodTable& Methods() const override;

    // ---- Published ----
    // The last page text given.
    const AnsiString& Src() const { return Src_; }
    // Shows the page text: see the .cpp for the temporary file and the wait.
    void SetSrc(const AnsiString& text);
    bool ScrollBar() const;
    // False lays the last page out anew without scroll bars.
    void SetScrollBar(bool value);

protected:
    // A window wrapper as the first argument gives the browser a satellite
    // of that window.
    void Construct(TJValueList* args) override;

private:
    AnsiString ScriptFileName_;
    AnsiString Src_;
};

class TJVCLExWeb : public TJVCLBaseExWeb {
    RTL_DECLARE_CLASS()
    using TJVCLBaseExWeb::TJVCLBaseExWeb;
    void CreateVCL() override;
};
