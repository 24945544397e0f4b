// The script classes "label" and "image": the script faces of a widget
// window's TExLabel and TExImage. Each is made with the window as its one
// argument and sits on that window's client panel; its handlers take no
// arguments and read system.event (host/script/elementbase.h).
#pragma once

#include "host/script/elementbase.h"

class TExImage;
class TExLabel;

// What the two element classes share: the panel as their place, `parent` as
// the window, the bounds.
class TJExElementControl : public TJExVCLControl {
    RTL_DECLARE_CLASS()
    using TJExVCLControl::TJExVCLControl;

    // The mouse rows, enter and leave.
    TJHookList Hooks() const override;

    // ---- Published ----
    // The window's wrapper; nil without a window.
    TObject* WindowWrapper() const;
    // A window puts the control on its panel, null takes it off; other objects are ignored.
    void SetWindowWrapper(TObject* window);
    int Left() const;
    void SetLeft(int value);
    int Top() const;
    void SetTop(int value);
    int Width() const;
    void SetWidth(int value);
    int Height() const;
    void SetHeight(int value);

protected:
    // After the base (which makes the first argument the parent): a widget
    // window gives its panel; any other parent is a cast error.
    void Construct(TJValueList* args) override;
    // Writing a size ends automatic sizing.
    virtual void EndAutoSize() = 0;
};

class TJVCLBaseExLabel : public TJExElementControl {
    RTL_DECLARE_CLASS()
    TJVCLBaseExLabel(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    TExLabel* Label() const;
    const TClassInfo* VCLClass() const override;

    // ---- Published ----
    AnsiString Align() const;
    void SetAlign(const AnsiString& text);
    bool ParentFont() const;
    // A change refits the ellipsis.
    void SetParentFont(bool value);

protected:
    void EndAutoSize() override;
};

class TJVCLExLabel : public TJVCLBaseExLabel {
    RTL_DECLARE_CLASS()
    using TJVCLBaseExLabel::TJVCLBaseExLabel;
    void CreateVCL() override;
};

class TJVCLBaseExImage : public TJExElementControl {
    RTL_DECLARE_CLASS()
    TJVCLBaseExImage(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    TExImage* Image() const;
    const TClassInfo* VCLClass() const override;

protected:
    void EndAutoSize() override;
};

class TJVCLExImage : public TJVCLBaseExImage {
    RTL_DECLARE_CLASS()
    using TJVCLBaseExImage::TJVCLBaseExImage;
    // The widget's XML file goes with the image, for relative `src` paths.
    void CreateVCL() override;
};
