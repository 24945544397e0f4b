// The published property descriptors that the control classes share: each
// class's table (beside the class) lists the ones it publishes, by these
// names, in its own order. Used only by the .cpp files of ui/.
#pragma once

#include "ui/controls.h"
#include "ui/menus.h"

namespace published {

// ---- TControl ----
inline constexpr TPropInfo Left = IntegerProperty<&TControl::Left, &TControl::SetLeft>("Left");
inline constexpr TPropInfo Top = IntegerProperty<&TControl::Top, &TControl::SetTop>("Top");
inline constexpr TPropInfo Width = IntegerProperty<&TControl::Width, &TControl::SetWidth>("Width");
inline constexpr TPropInfo Height = IntegerProperty<&TControl::Height, &TControl::SetHeight>("Height");
inline constexpr TPropInfo ClientWidth =
    IntegerProperty<&TControl::ClientWidth, &TControl::SetClientWidth>("ClientWidth");
inline constexpr TPropInfo ClientHeight =
    IntegerProperty<&TControl::ClientHeight, &TControl::SetClientHeight>("ClientHeight");
inline constexpr TPropInfo Align = EnumProperty<&TControl::Align, &TControl::SetAlign>("Align", &AlignInfo, alNone);
inline constexpr TPropInfo Anchors =
    SetProperty<&TControl::Anchors, &TControl::SetAnchors>("Anchors", &AnchorsInfo, setOf(akLeft, akTop));
inline constexpr TPropInfo Caption = StringProperty<&TControl::Caption, &TControl::SetCaption>("Caption");
// A colour, font or hint setting taken from the parent is not stored.
inline constexpr TPropInfo Color =
    storedWhen(IntegerProperty<&TControl::Color, &TControl::SetColor>("Color", clBtnFace, &ColorIdents),
               [](const TObject* c) { return !static_cast<const TControl*>(c)->ParentColor(); });
// The colour of the controls that show a window's background (edits, lists):
// their own clWindow, not the parent's, unless asked.
inline constexpr TPropInfo WindowColor =
    storedWhen(IntegerProperty<&TControl::Color, &TControl::SetColor>("Color", clWindow, &ColorIdents),
               [](const TObject* c) { return !static_cast<const TControl*>(c)->ParentColor(); });
inline constexpr TPropInfo WindowParentColor =
    BoolProperty<&TControl::ParentColor, &TControl::SetParentColor>("ParentColor", 0);
inline constexpr TPropInfo Cursor =
    IntegerProperty<&TControl::Cursor, &TControl::SetCursor>("Cursor", crDefault, &CursorIdents);
inline constexpr TPropInfo Enabled = BoolProperty<&TControl::Enabled, &TControl::SetEnabled>("Enabled", 1);
inline constexpr TPropInfo Font =
    storedWhen(ClassProperty<&TControl::Font, &TControl::SetFont>("Font", &TFont::classInfo),
               [](const TObject* c) { return !static_cast<const TControl*>(c)->ParentFont(); });
inline constexpr TPropInfo Hint = StringProperty<&TControl::Hint, &TControl::SetHint>("Hint");
inline constexpr TPropInfo ParentColor =
    BoolProperty<&TControl::ParentColor, &TControl::SetParentColor>("ParentColor", 1);
inline constexpr TPropInfo ParentFont = BoolProperty<&TControl::ParentFont, &TControl::SetParentFont>("ParentFont", 1);
inline constexpr TPropInfo ParentShowHint =
    BoolProperty<&TControl::ParentShowHint, &TControl::SetParentShowHint>("ParentShowHint", 1);
inline constexpr TPropInfo PopupMenu =
    ClassProperty<&TControl::PopupMenu, &TControl::SetPopupMenu>("PopupMenu", &TPopupMenu::classInfo);
inline constexpr TPropInfo ShowHint =
    storedWhen(BoolProperty<&TControl::ShowHint, &TControl::SetShowHint>("ShowHint", 0),
               [](const TObject* c) { return !static_cast<const TControl*>(c)->ParentShowHint(); });
inline constexpr TPropInfo Visible = BoolProperty<&TControl::Visible, &TControl::SetVisible>("Visible", 1);

inline constexpr TPropInfo OnCanResize =
    MethodProperty<&TControl::OnCanResize, &TControl::OnCanResize>("OnCanResize", &CanResizeEventType);
inline constexpr TPropInfo OnClick = MethodProperty<&TControl::OnClick, &TControl::OnClick>("OnClick", &NotifyEventType);
inline constexpr TPropInfo OnConstrainedResize = MethodProperty<&TControl::OnConstrainedResize,
                                                                &TControl::OnConstrainedResize>(
    "OnConstrainedResize", &ConstrainedResizeEventType);
inline constexpr TPropInfo OnContextPopup =
    MethodProperty<&TControl::OnContextPopup, &TControl::OnContextPopup>("OnContextPopup", &ContextPopupEventType);
inline constexpr TPropInfo OnDblClick =
    MethodProperty<&TControl::OnDblClick, &TControl::OnDblClick>("OnDblClick", &NotifyEventType);
inline constexpr TPropInfo OnDragDrop =
    MethodProperty<&TControl::OnDragDrop, &TControl::OnDragDrop>("OnDragDrop", &DragDropEventType);
inline constexpr TPropInfo OnDragOver =
    MethodProperty<&TControl::OnDragOver, &TControl::OnDragOver>("OnDragOver", &DragOverEventType);
inline constexpr TPropInfo OnEndDock =
    MethodProperty<&TControl::OnEndDock, &TControl::OnEndDock>("OnEndDock", &EndDragEventType);
inline constexpr TPropInfo OnEndDrag =
    MethodProperty<&TControl::OnEndDrag, &TControl::OnEndDrag>("OnEndDrag", &EndDragEventType);
inline constexpr TPropInfo OnMouseDown =
    MethodProperty<&TControl::OnMouseDown, &TControl::OnMouseDown>("OnMouseDown", &MouseEventType);
inline constexpr TPropInfo OnMouseMove =
    MethodProperty<&TControl::OnMouseMove, &TControl::OnMouseMove>("OnMouseMove", &MouseMoveEventType);
inline constexpr TPropInfo OnMouseUp =
    MethodProperty<&TControl::OnMouseUp, &TControl::OnMouseUp>("OnMouseUp", &MouseEventType);
inline constexpr TPropInfo OnResize = MethodProperty<&TControl::OnResize, &TControl::OnResize>("OnResize", &NotifyEventType);
inline constexpr TPropInfo OnStartDock =
    MethodProperty<&TControl::OnStartDock, &TControl::OnStartDock>("OnStartDock", &StartDockEventType);
inline constexpr TPropInfo OnStartDrag =
    MethodProperty<&TControl::OnStartDrag, &TControl::OnStartDrag>("OnStartDrag", &StartDragEventType);

// ---- TWinControl ----
inline constexpr TPropInfo TabOrder = IntegerProperty<&TWinControl::TabOrder, &TWinControl::SetTabOrder>("TabOrder");
inline constexpr TPropInfo TabStop = BoolProperty<&TWinControl::TabStop, &TWinControl::SetTabStop>("TabStop");

inline constexpr TPropInfo OnDockDrop =
    MethodProperty<&TWinControl::OnDockDrop, &TWinControl::OnDockDrop>("OnDockDrop", &DockDropEventType);
inline constexpr TPropInfo OnDockOver =
    MethodProperty<&TWinControl::OnDockOver, &TWinControl::OnDockOver>("OnDockOver", &DockOverEventType);
inline constexpr TPropInfo OnEnter = MethodProperty<&TWinControl::OnEnter, &TWinControl::OnEnter>("OnEnter", &NotifyEventType);
inline constexpr TPropInfo OnExit = MethodProperty<&TWinControl::OnExit, &TWinControl::OnExit>("OnExit", &NotifyEventType);
inline constexpr TPropInfo OnGetSiteInfo =
    MethodProperty<&TWinControl::OnGetSiteInfo, &TWinControl::OnGetSiteInfo>("OnGetSiteInfo", &GetSiteInfoEventType);
inline constexpr TPropInfo OnKeyDown =
    MethodProperty<&TWinControl::OnKeyDown, &TWinControl::OnKeyDown>("OnKeyDown", &KeyEventType);
inline constexpr TPropInfo OnKeyPress =
    MethodProperty<&TWinControl::OnKeyPress, &TWinControl::OnKeyPress>("OnKeyPress", &KeyPressEventType);
inline constexpr TPropInfo OnKeyUp = MethodProperty<&TWinControl::OnKeyUp, &TWinControl::OnKeyUp>("OnKeyUp", &KeyEventType);
inline constexpr TPropInfo OnMouseWheel =
    MethodProperty<&TWinControl::OnMouseWheel, &TWinControl::OnMouseWheel>("OnMouseWheel", &MouseWheelEventType);
inline constexpr TPropInfo OnMouseWheelDown = MethodProperty<&TWinControl::OnMouseWheelDown,
                                                             &TWinControl::OnMouseWheelDown>(
    "OnMouseWheelDown", &MouseWheelUpDownEventType);
inline constexpr TPropInfo OnMouseWheelUp = MethodProperty<&TWinControl::OnMouseWheelUp, &TWinControl::OnMouseWheelUp>(
    "OnMouseWheelUp", &MouseWheelUpDownEventType);
inline constexpr TPropInfo OnUnDock =
    MethodProperty<&TWinControl::OnUnDock, &TWinControl::OnUnDock>("OnUnDock", &UnDockEventType);

}  // namespace published
