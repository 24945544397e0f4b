// Every class of the component library, table-driven: its exact name and
// ancestry (the script bridge picks wrappers by them), its published
// properties in order (Name and Tag, the class's own, its events in
// alphabetical order), typed events and named enumerations, and creation by
// name.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/comctrls.h"
#include "ui/edits.h"
#include "ui/forms.h"
#include "ui/image.h"
#include "ui/lists.h"
#include "ui/panel.h"
#include "ui/splitter.h"
#include "ui/timer.h"
#include "ui/trayicon.h"

namespace {

struct ClassCase {
    const TClassInfo* cls;
    const char* chain;        // the class and its ancestors up to TComponent
    bool creatable;
    std::vector<const char*> publishes;  // names the Parts rely on
};

const ClassCase classCases[] = {
    {&TControl::classInfo, "TControl TComponent", false, {}},
    {&TGraphicControl::classInfo, "TGraphicControl TControl TComponent", false, {}},
    {&TWinControl::classInfo, "TWinControl TControl TComponent", false, {}},
    {&TScrollingWinControl::classInfo, "TScrollingWinControl TWinControl TControl TComponent", false, {}},
    {&TCustomForm::classInfo, "TCustomForm TScrollingWinControl TWinControl TControl TComponent", false, {}},
    {&TForm::classInfo, "TForm TCustomForm TScrollingWinControl TWinControl TControl TComponent", true,
     {"Visible", "Top", "Left", "Width", "Height", "ParentFont", "Menu", "PopupMenu", "BorderStyle", "OnClose",
      "OnCloseQuery", "OnHelp", "OnShortCut", "OnStartDock", "OnDockDrop", "OnPaint", "OnKeyDown"}},
    {&TLabel::classInfo, "TLabel TGraphicControl TControl TComponent", true,
     {"Caption", "Transparent", "AutoSize", "OnClick", "OnMouseDown"}},
    {&TButtonControl::classInfo, "TButtonControl TWinControl TControl TComponent", false, {}},
    {&TButton::classInfo, "TButton TButtonControl TWinControl TControl TComponent", true,
     {"ModalResult", "Default", "Cancel", "TabOrder", "OnClick", "OnEnter"}},
    {&TCheckBox::classInfo, "TCheckBox TButtonControl TWinControl TControl TComponent", true,
     {"Checked", "State", "AllowGrayed", "OnClick", "OnKeyUp"}},
    {&TRadioButton::classInfo, "TRadioButton TButtonControl TWinControl TControl TComponent", true,
     {"Checked", "OnClick", "OnKeyUp", "OnStartDrag"}},
    {&TCustomGroupBox::classInfo, "TCustomGroupBox TWinControl TControl TComponent", false, {}},
    {&TGroupBox::classInfo, "TGroupBox TCustomGroupBox TWinControl TControl TComponent", true,
     {"Caption", "OnGetSiteInfo", "OnUnDock"}},
    {&TCustomRadioGroup::classInfo, "TCustomRadioGroup TCustomGroupBox TWinControl TControl TComponent", false, {}},
    {&TRadioGroup::classInfo, "TRadioGroup TCustomRadioGroup TCustomGroupBox TWinControl TControl TComponent", true,
     {"Columns", "ItemIndex", "OnClick", "OnEnter", "OnStartDock"}},
    {&TEdit::classInfo, "TEdit TCustomEdit TWinControl TControl TComponent", true,
     {"Text", "OnChange", "OnDragDrop", "OnEndDock", "OnStartDrag"}},
    {&TMemo::classInfo, "TMemo TCustomMemo TCustomEdit TWinControl TControl TComponent", true,
     {"ScrollBars", "WordWrap", "OnChange", "OnDragOver", "OnStartDock"}},
    {&TComboBox::classInfo, "TComboBox TCustomComboBox TWinControl TControl TComponent", true,
     {"CharCase", "ItemIndex", "Style", "Text", "OnChange", "OnClick", "OnDropDown", "OnSelect", "OnStartDrag"}},
    {&TListBox::classInfo, "TListBox TCustomListBox TWinControl TControl TComponent", true,
     {"ItemIndex", "MultiSelect", "OnClick", "OnDblClick", "OnMouseDown", "OnStartDock"}},
    {&TCheckListBox::classInfo, "TCheckListBox TCustomListBox TWinControl TControl TComponent", true,
     {"AllowGrayed", "ItemIndex", "OnClickCheck", "OnDblClick", "OnDragDrop", "OnStartDrag"}},
    {&TSplitter::classInfo, "TSplitter TGraphicControl TControl TComponent", true,
     {"Align", "MinSize", "ResizeStyle", "OnCanResize", "OnMoved", "OnPaint"}},
    {&TImage::classInfo, "TImage TGraphicControl TControl TComponent", true,
     {"Picture", "Stretch", "Center", "Proportional", "Transparent", "AutoSize", "OnProgress", "OnDblClick"}},
    {&TCustomPanel::classInfo, "TCustomPanel TWinControl TControl TComponent", false, {}},
    {&TPanel::classInfo, "TPanel TCustomPanel TWinControl TControl TComponent", true,
     {"BevelOuter", "Color", "Align", "OnCanResize", "OnResize"}},
    {&TCustomTabControl::classInfo, "TCustomTabControl TWinControl TControl TComponent", false, {}},
    {&TPageControl::classInfo, "TPageControl TCustomTabControl TWinControl TControl TComponent", true,
     {"ActivePage", "OnChange", "OnChanging", "OnDrawTab", "OnGetImageIndex"}},
    {&TTabSheet::classInfo, "TTabSheet TWinControl TControl TComponent", true, {"TabVisible", "PageIndex", "OnShow"}},
    {&THotKey::classInfo, "THotKey TWinControl TControl TComponent", true, {"HotKey", "InvalidKeys", "Modifiers"}},
    {&TTimer::classInfo, "TTimer TComponent", true, {"Enabled", "Interval", "OnTimer"}},
    {&TMenu::classInfo, "TMenu TComponent", false, {}},
    {&TMainMenu::classInfo, "TMainMenu TMenu TComponent", true, {"OnChange"}},
    {&TPopupMenu::classInfo, "TPopupMenu TMenu TComponent", true, {"AutoPopup", "OnPopup"}},
    {&TMenuItem::classInfo, "TMenuItem TComponent", true, {"Caption", "Checked", "Visible", "Enabled", "OnClick"}},
    {&TTrayIcon::classInfo, "TTrayIcon TComponent", true, {"Hint", "PopupMenu", "OnClick"}},
    {&TScreen::classInfo, "TScreen TComponent", false, {}},
    {&TApplication::classInfo, "TApplication TComponent", false, {}},
};

std::string chainOf(const TClassInfo* cls) {
    std::string chain;
    for (; cls != &TPersistent::classInfo; cls = cls->Parent) chain += (chain.empty() ? "" : " ") + std::string(cls->ClassName);
    return chain;
}

bool alphabetical(const std::vector<std::string>& names) {
    return std::is_sorted(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
}

}  // namespace

TEST(Classes, NamesAndAncestry) {
    for (const ClassCase& c : classCases) EXPECT_EQ(chainOf(c.cls), c.chain);
}

// Name and Tag; the bounds, when published, then the class's own properties
// alphabetically; then the events alphabetically, each with its type.
TEST(Classes, PublishedPropertiesInOrder) {
    for (const ClassCase& c : classCases) {
        SCOPED_TRACE(c.cls->ClassName);
        std::vector<const TPropInfo*> props = GetPropInfos(c.cls);
        ASSERT_GE(props.size(), 2u);
        EXPECT_STREQ(props[0]->Name, "Name");
        EXPECT_STREQ(props[1]->Name, "Tag");
        std::vector<std::string> own, events;
        for (size_t i = 2; i < props.size(); ++i) {
            const TPropInfo* p = props[i];
            if (p->isMethod()) {
                events.push_back(p->Name);
                ASSERT_NE(p->methodType(), nullptr);
                EXPECT_TRUE(std::string(p->methodType()->Name).ends_with("Event")) << p->Name;
                continue;
            }
            EXPECT_TRUE(events.empty()) << p->Name << " after the events";
            own.push_back(p->Name);
            if (p->Kind == TTypeKind::Enumeration) {
                EXPECT_GT(p->enumInfo()->Count, 1) << p->Name;
            } else if (p->Kind == TTypeKind::Set) {
                EXPECT_GT(p->setInfo()->Elements->Count, 1) << p->Name;
            }
        }
        if (!own.empty() && own[0] == "Left") {
            ASSERT_GE(own.size(), 4u);
            EXPECT_EQ(std::vector<std::string>(own.begin(), own.begin() + 4),
                      (std::vector<std::string>{"Left", "Top", "Width", "Height"}));
            own.erase(own.begin(), own.begin() + 4);
        }
        EXPECT_TRUE(alphabetical(own));
        EXPECT_TRUE(alphabetical(events));
        for (const char* name : c.publishes) EXPECT_NE(GetPropInfo(c.cls, name), nullptr) << name;
    }
    EXPECT_EQ(GetPropInfo(&TForm::classInfo, "OnStartDrag"), nullptr);  // a form starts no drag
    EXPECT_EQ(GetPropInfo(&TSplitter::classInfo, "OnCanResize")->methodType(), &SplitterCanResizeEventType);
}

TEST(Classes, CreatedByTheirRecords) {
    auto* owner = new TComponent(nullptr);
    for (const ClassCase& c : classCases) {
        if (!c.creatable) continue;
        TComponent* made = CreateComponent(c.cls, owner);
        EXPECT_EQ(made->ClassType(), c.cls);
        EXPECT_EQ(made->Owner(), owner);
    }
    owner->Free();
}

// Enumerations and sets read and written by their element names.
TEST(Classes, EnumerationAndSetTexts) {
    auto* panel = new TPanel(nullptr);
    const TPropInfo* align = GetPropInfo(panel->ClassType(), "align");
    TPropValue value;
    value.Ordinal = GetEnumValue(align->enumInfo(), "ALCLIENT");
    WriteProp(panel, align, value);
    EXPECT_EQ(panel->Align(), alClient);
    uint32_t anchors = 0;
    EXPECT_TRUE(StringToSet(&AnchorsInfo, "[akRight, akBottom]", anchors));
    panel->SetAnchors(static_cast<TAnchors>(anchors));
    TPropValue read;
    ReadProp(panel, GetPropInfo(panel->ClassType(), "Anchors"), read);
    EXPECT_EQ(SetToString(&AnchorsInfo, static_cast<uint32_t>(read.Ordinal)), "akRight,akBottom");
    EXPECT_EQ(GetEnumName(&CloseActionInfo, caFree), "caFree");
    panel->Free();
}
