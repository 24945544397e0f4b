// TSkinForm: the window of a widget, a borderless per-pixel-alpha window whose
// elements sit on its client panel. It registers with the program, draws
// itself through TLayerWindow (UpdateLayer), keeps its states in its section
// of the widget's settings file, offers the widget menu and is dragged by any
// of its elements. Made by the script class "window".
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "host/widget/setting.h"
#include "host/window/fontfaces.h"
#include "host/window/layeralpha.h"
#include "ui/forms.h"
#include "ui/picture.h"

class TSettingItem;
class TLayerWindow;
class TMenuItem;
class TPanel;
class TPopupMenu;
class TScreenDocker;
class TBackgroundImage;
class TFontDialog;

// The values of the settings dialog are staged: the handler may refuse them.
using TSettingChangingEvent = TEvent<void(TObject* Sender, bool& Accept)>;

class TSkinForm : public TFontFaces<TForm, TStyleRule::Capitalised> {
    RTL_DECLARE_CLASS()
    explicit TSkinForm(TComponent* owner);

    // ---- Identity and host ----
    AnsiString ScriptFileName;  // the widget's identity
    bool Main = true;           // closing a main window unloads its widget
    TSetting* Setting = nullptr;  // the widget's settings file, given at registration
    bool Closed = true;         // since creation or the last close, until shown
    bool ClickThrough = false;  // mouse messages go to the window beneath
    const AnsiString& Section() const { return Section_; }
    // Files the window with the program (TWidgetHost), then applies its section's keys.
    void RegisterWithHost(const AnsiString& section);
    // Closes the window once the current handler has returned (closing a main
    // window unloads its widget): "閉じる" and the script's close().
    void PostClose();
    void LoadProperties(const AnsiString& section);
    AnsiString ReadValue(const AnsiString& key, const AnsiString& fallback) const;
    void WriteValue(const AnsiString& key, const AnsiString& value);

    // ---- Published properties ----
    const AnsiString& Background() const { return Background_; }
    // Loads the picture (relative to the widget's folder); a missing file
    // changes nothing, one that cannot be decoded raises EInvalidGraphic.
    void SetBackground(const AnsiString& path);
    bool Tile() const { return Tile_; }
    void SetTile(bool value);
    int Transparency() const { return Transparency_; }
    void SetTransparency(int value);  // clamped to 0..255
    AnsiString ColorAlpha() const;
    void SetColorAlpha(const AnsiString& text);
    bool AutoSize = true;  // a new background sizes the window to the picture
    AnsiString TransparentColor() const { return AnsiString(); }  // accepted and ignored
    void SetTransparentColor(const AnsiString&) {}
    const AnsiString& ToolTip() const { return Hint(); }
    void SetToolTip(const AnsiString& text) { SetHint(text); }
    // Whether the "フォントの設定" entry is enabled.
    bool FontDialog() const;
    void SetFontDialog(bool enabled);

    // ---- Settings ----
    // Registers a setting for the dialog and enables "設定".
    void AddSettingItem(TSettingItem* setting);
    // Unregisters the setting; "設定" is disabled when none is left.
    void RemoveSettingItems(TSettingItem* setting);
    // Builds the settings dialog anew from the settings and shows it until it
    // is cancelled or its values pass OnSettingChanging (which leaves its
    // accept true): they are staged in each settingValue, then stored in
    // each value before OnSettingChanged. Nothing is shown without settings
    // or while a dialog of the window is open.
    void RunSettingDialog();
    bool SettingDialogOpen() const { return SettingDialogOpen_; }

    // ---- Events of the window ----
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TSettingChangingEvent OnSettingChanging;
    TNotifyEvent OnSettingChanged;
    TNotifyEvent OnFontChanged;

    void SetVisible(bool value) override;

    // ---- Drawing ----
    // Paints the client area, composes its alpha and updates the layered
    // window; only while visible with a non-empty client area.
    void UpdateLayer();
    TLayerWindow* Layer() const { return Layer_; }

    // ---- Dragging (from the background and every element) ----
    void MousePressed(TPoint screenPoint);
    void MouseMoved(TPoint screenPoint, bool leftHeld);

    TPanel* Panel;
    TScreenDocker* ScreenDocker;
    TPopupMenu* Menu;
    TMenuItem* NPinDesktop;
    TMenuItem* NSnap;
    TMenuItem* NTopMost;
    TMenuItem* NFont;
    TMenuItem* NSetting;
    TMenuItem* NHelp;

protected:
    ~TSkinForm() override;
    void BeforeDestruction() override;
    void WndProc(TMessage& message) override;
    void DoClose(TCloseAction& action) override;
    void DoShow() override;
    // Every change of the font through the font properties reaches the
    // satellites; the font dialog's does through TSatellites(this).SetFont(Font()).
    void FontWritten() override;

private:
    class PanelHook;
    void BuildPopupMenu();
    TMenuItem* addItem(TMenuItem* parent, const AnsiString& caption, TNotifyEvent onClick);
    std::vector<TColorAlpha> colorKeys() const;
    std::vector<TMaskPlacement> windowMasks() const;
    void passClickThrough(TMessage& message);
    void placeSatellites();

    void closeClick(TObject*) { PostClose(); }
    void hideClick(TObject*) { Hide(); }
    void reloadClick(TObject*);
    void skinClick(TObject* sender);
    void pinClick(TObject*);
    void snapClick(TObject*);
    void topMostClick(TObject*);
    void transparencyClick(TObject* sender);
    void fontClick(TObject*);
    void fontDialogApply(TObject*, HWND) { takeDialogFont(); }
    void takeDialogFont();
    void exitClick(TObject*);
    void settingClick(TObject*) { RunSettingDialog(); }
    AnsiString helpFile() const;
    void menuPopup(TObject*);
    void helpClick(TObject*);

    friend class TBackgroundImage;
    void backgroundMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void backgroundMouseMove(TObject* sender, TShiftState shift, int x, int y);
    void backgroundMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void backgroundClick(TObject*) { OnClick(this); }
    void backgroundDblClick(TObject*) { OnDblClick(this); }

    AnsiString Section_;
    HWND FirstParent_ = nullptr;
    AnsiString Background_;
    TBackgroundImage* BackgroundImage_;
    TAlphaMap BackgroundAlpha_;
    std::optional<TColorAlpha> BackgroundKey_;  // the background's transparent colour: its own slot
    std::vector<TColorAlpha> ColorAlpha_;
    TFontDialog* FontDialog_;
    bool Tile_ = false;
    int Transparency_ = 0;
    TLayerWindow* Layer_;
    std::unique_ptr<PanelHook> PanelHook_;
    bool Painting_ = false;
    std::vector<TSettingItem*> SettingItems_;  // each unregisters itself before it is freed
    bool SettingDialogOpen_ = false;
    TPoint PressPoint_{};
    bool Pressed_ = false;
    TPoint LastPosition_{};  // where the satellites were last placed with the window
    TPoint LastSize_{};
};
