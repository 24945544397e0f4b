// The bar controls' wrappers: their tables, the page and button access of
// the page control and tool bar, and the status panels.
#include "bridge/bars.h"

#include "bridge/caster.h"
#include "engine/core/array.h"
#include "engine/core/published.h"
#include "stdlib/rectobject.h"

template <>
inline constexpr const TEnumInfo* enumInfoOf<TUDBtnType> = &UDBtnTypeInfo;
template <>
inline constexpr const TEnumInfo* enumInfoOf<TUpDownDirection> = &UpDownDirectionInfo;

namespace {

const TJHook dockSiteRows[] = {On<"OnGetSiteInfo", TGetSiteInfoEvent>(), On<"OnUnDock", TUnDockEvent>()};
const TJHook resizeRow[] = {On<"OnResize", TNotifyEvent>()};

// ==== Tab and page control ====

TCustomTabControl& tabsOf(TJVCLComponent& self) { return *static_cast<TCustomTabControl*>(self.VCL()); }

void getHitTestInfoAt(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 2);
    self.GuardVCL([&] {
        THitTests hits = tabsOf(self).GetHitTestInfoAt(ValueToInteger(args->At(0)), ValueToInteger(args->At(1)));
        MakeString(SetToString(&HitTestsInfo, hits), result);
    });
}

void tabRect(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    auto* rect = static_cast<TJRect*>(CreateScriptInstance(&TJRect::classInfo, self.Runtime(), true, nullptr));
    MakeObject(rect, result);
    self.GuardVCL([&] { rect->CopyFromRect(tabsOf(self).TabRect(ValueToInteger(args->At(0)))); });
}

TObject* displayRect(const TJVCLComponent& wrapper) {
    auto& self = const_cast<TJVCLComponent&>(wrapper);
    self.CheckVCL(nullptr, 0);
    auto* rect = static_cast<TJRect*>(CreateScriptInstance(&TJRect::classInfo, self.Runtime(), true, nullptr));
    self.GuardVCL([&] { rect->CopyFromRect(tabsOf(self).DisplayRect()); });
    return rect;
}

void displayRectGet(const TObject* instance, TPropValue& value) {
    value.Object = displayRect(bridge_detail::wrapperOf(instance));
}

int tabRowCount(TCustomTabControl& tabs) { return tabs.RowCount(); }

const TPropInfo tabControlProperties[] = {
    {"DisplayRect", TTypeKind::Class, &TJObject::classInfo, &displayRectGet, nullptr},
    Forward<&tabRowCount>("RowCount"),
    Strings<&TTabControl::Tabs>("tabs"),
};

const TJWrapperMethod tabControlMethods[] = {
    Call<&TCustomTabControl::IndexOfTabAt>("indexOfTabAt"),
    {"getHitTestInfoAt", 0, &getHitTestInfoAt},
    {"tabRect", 0, &tabRect},
    Call<&TCustomTabControl::ScrollTabs>("scrollTabs"),
};

const TJHook tabRows[] = {
    On<"OnChange", TNotifyEvent>(), On<"OnChanging", TTabChangingEvent>(),
    On<"OnGetImageIndex", TTabGetImageEvent>(), Ignore<"OnDrawTab", TDrawTabEvent>()};
const TJHookPart tabHooks[] = {tabRows, DragHooks, FocusHooks, dockSiteRows, MouseHooks, resizeRow, StartHooks,
                               DockHooks};

TPageControl& pagesOf(TJVCLComponent& self) { return *static_cast<TPageControl*>(self.VCL()); }

void findNextPage(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 3);
    TTabSheet* sheet = LinkedAs<TTabSheet>(WrapperOfValue(args->At(0)));
    CastResult(self, pagesOf(self).FindNextPage(sheet, ValueToBool(args->At(1)), ValueToBool(args->At(2))), result);
}

void selectNextPage(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    self.GuardVCL([&] { pagesOf(self).SelectNextPage(ValueToBool(args->At(0)), true); });
}

const TPropInfo pageControlProperties[] = {
    Forward<&TPageControl::ActivePageIndex, &TPageControl::SetActivePageIndex>("ActivePageIndex"),
    Forward<&TPageControl::PageCount>("PageCount"),
};

const TJWrapperMethod pageControlMethods[] = {
    {"findNextPage", 0, &findNextPage},
    {"selectNextPage", 0, &selectNextPage, TJMethodResult::Self},
    {"pages", 0, &ElementAt},
};

const TPropInfo tabSheetProperties[] = {
    Component<&TTabSheet::PageControl, &TTabSheet::SetPageControl>("PageControl"),
    Forward<&TTabSheet::TabIndex>("TabIndex"),
};

const TJHook sheetRows[] = {
    On<"OnContextPopup", TContextPopupEvent>(), On<"OnDragDrop", TDragDropEvent>(),
    On<"OnDragOver", TDragOverEvent>(),         On<"OnEndDrag", TEndDragEvent>(),
    On<"OnHide", TNotifyEvent>(),               On<"OnShow", TNotifyEvent>(),
    Ignore<"OnStartDrag", TStartDragEvent>()};
const TJHookPart sheetHooks[] = {sheetRows, FocusHooks, MouseHooks, resizeRow};

// ==== Progress bar ====

const TJWrapperMethod progressBarMethods[] = {
    Call<&TProgressBar::StepIt>("stepIt"),
    Call<&TProgressBar::StepBy>("stepBy"),
};
const TJHookPart progressBarHooks[] = {DragHooks, FocusHooks, MouseHooks, StartHooks};

// ==== Status bar ====

void add(TJVCLBaseStatusPanels& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 0);
    int index = static_cast<TStatusPanels*>(self.VCL())->Add()->Index();
    self.PanelAt(index, result);
}

// With a second argument, a panel wrapper's settings are copied into the
// panel at the index.
void items(TJVCLBaseStatusPanels& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    int index = ValueToInteger(args->At(0));
    if (!HasTwoArgs(args)) return self.PanelAt(index, result);
    self.AssignPanel(index, args->At(1), result);
}

const TPropInfo statusPanelsProperties[] = {
    IntegerProperty<&TJVCLBaseStatusPanels::Count>("Count"),
    IntegerProperty<&TJVCLBaseStatusPanels::Count>("length"),
};

const TJMethod<TJVCLBaseStatusPanels> statusPanelsMethods[] = {
    {"add", 0, &add},
    {"items", 0, &items},
};

const TPropInfo statusBarProperties[] = {
    ClassProperty<&TJVCLBaseStatusBar::PanelsWrapper>("panels", &TJObject::classInfo),
    ActionProperty(),
};

void drawPanel(void* data, TStatusBar* bar, TStatusPanel* panel, const TRect& rect) {
    auto& wrapper = *static_cast<TJVCLBaseStatusBar*>(data);
    static const AnsiString name("onDrawPanel");
    if (!wrapper.HasEventHandler(name)) return;
    TJDispatchHold hold(wrapper);
    TJValueList args;
    TJValue value;
    wrapper.SenderWrapper(bar, value);
    args.Add(value);
    auto* panels = static_cast<TJVCLBaseStatusPanels*>(wrapper.PanelsWrapper());
    panels->PanelAt(panel->Index(), value);
    args.Add(value);
    auto* box = static_cast<TJRect*>(CreateScriptInstance(&TJRect::classInfo, wrapper.Runtime(), true, nullptr));
    box->CopyFromRect(rect);
    MakeObject(box, value);
    args.Add(value);
    TJValue result;
    wrapper.FireEvent(AnsiString(), name, result, &args);
}

const TJHook statusBarRows[] = {
    On<"OnClick", TNotifyEvent>(TJHookWhen::WithoutAction), On<"OnDblClick", TNotifyEvent>(),
    OnWith<"OnDrawPanel", TDrawPanelEvent>(&drawPanel), On<"OnHint", TStatusHintEvent>()};
const TJHookPart statusBarHooks[] = {statusBarRows, DragHooks, MouseHooks, resizeRow, StartHooks};

// ==== Tool bar and buttons ====

TToolBar& barOf(TJVCLComponent& self) { return *static_cast<TToolBar*>(self.VCL()); }

void trackMenu(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    MakeBool(false, result);
    TToolButton* button = LinkedAs<TToolButton>(WrapperOfValue(args->At(0)));
    if (button) self.GuardVCL([&] { MakeBool(barOf(self).TrackMenu(button), result); });
}

int barRowCount(TToolBar& bar) { return bar.RowCount(); }

const TPropInfo toolBarProperties[] = {
    Forward<&TToolBar::ButtonCount>("ButtonCount"),
    Forward<&barRowCount>("RowCount"),
};

const TJWrapperMethod toolBarMethods[] = {
    {"trackMenu", 0, &trackMenu},
    {"buttons", 0, &ElementAt},
};

const TJHook toolBarRows[] = {
    Ignore<"OnAdvancedCustomDraw", TNotifyEvent>(), Ignore<"OnAdvancedCustomDrawButton", TNotifyEvent>(),
    Ignore<"OnCustomDraw", TNotifyEvent>(), Ignore<"OnCustomDrawButton", TNotifyEvent>()};
const TJHookPart toolBarHooks[] = {ClickHooks, DragHooks, FocusHooks, dockSiteRows, MouseHooks,
                                   resizeRow,  toolBarRows, StartHooks, DockHooks};

const TPropInfo toolButtonProperties[] = {
    Forward<&TToolButton::Index>("Index"),
    ActionProperty(),
};

const TJHook toolButtonRows[] = {On<"OnClick", TNotifyEvent>(TJHookWhen::WithoutAction)};
const TJHookPart toolButtonHooks[] = {toolButtonRows, DragHooks, MouseHooks, StartHooks};

// ==== Cool bar, up-down, spin edit ====

const TJHook coolBarRows[] = {On<"OnChange", TNotifyEvent>()};
const TJHookPart coolBarHooks[] = {coolBarRows, ClickHooks, DragHooks, dockSiteRows, MouseHooks, resizeRow,
                                   StartHooks,  DockHooks};

const TJHook upDownRows[] = {On<"OnChanging", TUDChangingEvent>(), On<"OnChangingEx", TUDChangingEventEx>(),
                             On<"OnClick", TUDClickEvent>()};
const TJHook contextRow[] = {On<"OnContextPopup", TContextPopupEvent>()};
const TJHookPart upDownHooks[] = {upDownRows, contextRow, FocusHooks, MouseHooks};

const TJHook spinEditRows[] = {On<"OnChange", TNotifyEvent>(), On<"OnClick", TNotifyEvent>(),
                               On<"OnDblClick", TNotifyEvent>(), On<"OnDragDrop", TDragDropEvent>(),
                               On<"OnDragOver", TDragOverEvent>(), On<"OnEndDrag", TEndDragEvent>(),
                               Ignore<"OnStartDrag", TStartDragEvent>()};
const TJHookPart spinEditHooks[] = {spinEditRows, FocusHooks, KeyHooks, MouseHooks};

}  // namespace

// ==== Class records ====

const TClassInfo TJVCLBaseTabControl::classInfo = makeClassInfo(
    "TJVCLBaseTabControl", &TJVCLWinControl::classInfo, tabControlProperties, &scriptCreator<TJVCLBaseTabControl>);
const TClassInfo TJVCLBasePageControl::classInfo =
    makeClassInfo("TJVCLBasePageControl", &TJVCLBaseTabControl::classInfo, pageControlProperties,
                  &scriptCreator<TJVCLBasePageControl>);
const TClassInfo TJVCLBaseTabSheet::classInfo = makeClassInfo(
    "TJVCLBaseTabSheet", &TJVCLWinControl::classInfo, tabSheetProperties, &scriptCreator<TJVCLBaseTabSheet>);
const TClassInfo TJVCLBaseProgressBar::classInfo =
    makeClassInfo("TJVCLBaseProgressBar", &TJVCLWinControl::classInfo, &scriptCreator<TJVCLBaseProgressBar>);
const TClassInfo TJVCLBaseStatusPanels::classInfo =
    makeClassInfo("TJVCLBaseStatusPanels", &TJVCLPersistent::classInfo, statusPanelsProperties,
                  &scriptCreator<TJVCLBaseStatusPanels>);
const TClassInfo TJVCLBaseStatusBar::classInfo = makeClassInfo(
    "TJVCLBaseStatusBar", &TJVCLWinControl::classInfo, statusBarProperties, &scriptCreator<TJVCLBaseStatusBar>);
const TClassInfo TJVCLToolWindow::classInfo =
    makeClassInfo("TJVCLToolWindow", &TJVCLWinControl::classInfo, &scriptCreator<TJVCLToolWindow>);
const TClassInfo TJVCLBaseToolBar::classInfo = makeClassInfo(
    "TJVCLBaseToolBar", &TJVCLToolWindow::classInfo, toolBarProperties, &scriptCreator<TJVCLBaseToolBar>);
const TClassInfo TJVCLBaseToolButton::classInfo = makeClassInfo(
    "TJVCLBaseToolButton", &TJVCLControl::classInfo, toolButtonProperties, &scriptCreator<TJVCLBaseToolButton>);
const TClassInfo TJVCLBaseCoolBar::classInfo =
    makeClassInfo("TJVCLBaseCoolBar", &TJVCLToolWindow::classInfo, &scriptCreator<TJVCLBaseCoolBar>);
const TClassInfo TJVCLBaseUpDown::classInfo =
    makeClassInfo("TJVCLBaseUpDown", &TJVCLToolWindow::classInfo, &scriptCreator<TJVCLBaseUpDown>);
const TClassInfo TJVCLBaseSpinEdit::classInfo =
    makeClassInfo("TJVCLBaseSpinEdit", &TJVCLBaseEdit::classInfo, &scriptCreator<TJVCLBaseSpinEdit>);

// ==== Tab and page control, tab sheet ====

const TJMethodTable& TJVCLBaseTabControl::Methods() const {
    static const TJMethodTable table(tabControlMethods, TJVCLWinControl::Methods());
    return table;
}

TJHookList TJVCLBaseTabControl::Hooks() const { return tabHooks; }

const TJMethodTable& TJVCLBasePageControl::Methods() const {
    static const TJMethodTable table(pageControlMethods, TJVCLBaseTabControl::Methods());
    return table;
}

TJHookList TJVCLBaseTabSheet::Hooks() const { return sheetHooks; }

// ==== Progress bar ====

const TJMethodTable& TJVCLBaseProgressBar::Methods() const {
    static const TJMethodTable table(progressBarMethods, TJVCLWinControl::Methods());
    return table;
}

TJHookList TJVCLBaseProgressBar::Hooks() const { return progressBarHooks; }

// ==== Status panels and bar ====

TJVCLBaseStatusPanels::TJVCLBaseStatusPanels(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLPersistent(key, runtime, args) {
    SetClassName("VCLStatusPanels");
}

const TJMethodTable& TJVCLBaseStatusPanels::Methods() const {
    static const TJMethodTable table(statusPanelsMethods, TJVCLPersistent::Methods());
    return table;
}

int TJVCLBaseStatusPanels::Count() const {
    auto& self = const_cast<TJVCLBaseStatusPanels&>(*this);
    self.CheckVCL(nullptr, 0);
    return static_cast<TStatusPanels*>(VCL())->Count();
}

int32_t TJVCLBaseStatusPanels::GetLength() { return Count(); }

void TJVCLBaseStatusPanels::GetItem(int32_t index, TJValue& value) { PanelAt(index, value); }

// A numeric name in brackets reads and writes panels as `items` does.
bool TJVCLBaseStatusPanels::GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args) {
    int32_t index;
    if (!HasVCL() || !ReadDecimalIndex(name, index)) return TJVCLPersistent::GetValueImpl(name, value, args);
    PanelAt(index, value);
    return true;
}

bool TJVCLBaseStatusPanels::SetValueImpl(const AnsiString& name, const TJValue& value, TJValueList* args) {
    int32_t index;
    if (!HasVCL() || !ReadDecimalIndex(name, index)) return TJVCLPersistent::SetValueImpl(name, value, args);
    TJValue result;
    AssignPanel(index, value, result);
    return true;
}

void TJVCLBaseStatusPanels::AssignPanel(int index, const TJValue& value, TJValue& result) {
    TJVCLPersistent* source = WrapperOfValue(value);
    if (!source) RaiseArgumentsError();
    MakeNull(result);
    if (index < 0 || index >= Count()) return;
    result = value;
    if (!source->HasVCL() || !source->VCL()->InheritsFrom(&TStatusPanel::classInfo)) return;
    GuardVCL([&] { static_cast<TStatusPanels*>(VCL())->Items(index)->Assign(source->VCL()); });
}

void TJVCLBaseStatusPanels::PanelAt(int index, TJValue& result) {
    MakeNull(result);
    if (index < 0 || index >= Count()) return;
    auto* panel = static_cast<TJVCLPersistent*>(CreateScriptInstance(&TJVCLPersistent::classInfo, Runtime(), true, nullptr));
    MakeObject(panel, result);
    panel->AttachVCL(static_cast<TStatusPanels*>(VCL())->Items(index), false);
    static_cast<TJVCLBaseStatusBar*>(Owner_)->AdoptPanel(panel);
}

void TJVCLBaseStatusBar::InitWrapper() {
    TJVCLWinControl::InitWrapper();
    Panels_ = static_cast<TJVCLBaseStatusPanels*>(
        CreateScriptInstance(&TJVCLBaseStatusPanels::classInfo, Runtime(), true, nullptr));
    Panels_->IncRef();
    Panels_->SetOwnerWrapper(this);
    AddFreeNotify(Panels_);
}

void TJVCLBaseStatusBar::FreeNotify(TJNotify* peer) {
    TJVCLWinControl::FreeNotify(peer);
    if (peer == Panels_) Panels_ = nullptr;
}

TJVCLBaseStatusBar::~TJVCLBaseStatusBar() {
    DetachVCL();
    if (Panels_) Panels_->DecRef();
}

TObject* TJVCLBaseStatusBar::PanelsWrapper() const {
    auto& self = const_cast<TJVCLBaseStatusBar&>(*this);
    self.CheckVCL(nullptr, 0);
    if (!Panels_) return nullptr;
    if (Panels_->VCL() != static_cast<TStatusBar*>(VCL())->Panels()) {
        Panels_->AttachVCL(static_cast<TStatusBar*>(VCL())->Panels(), false);
        self.AddDependent(Panels_);  // unlinks with this wrapper, by a link that knows when either goes
    }
    return Panels_;
}

TJHookList TJVCLBaseStatusBar::Hooks() const { return statusBarHooks; }

// ==== Tool bar and buttons, cool bar, up-down, spin edit ====

const TJMethodTable& TJVCLBaseToolBar::Methods() const {
    static const TJMethodTable table(toolBarMethods, TJVCLToolWindow::Methods());
    return table;
}

TJHookList TJVCLBaseToolBar::Hooks() const { return toolBarHooks; }

TJHookList TJVCLBaseToolButton::Hooks() const { return toolButtonHooks; }
TJHookList TJVCLBaseCoolBar::Hooks() const { return coolBarHooks; }
TJHookList TJVCLBaseUpDown::Hooks() const { return upDownHooks; }
TJHookList TJVCLBaseSpinEdit::Hooks() const { return spinEditHooks; }
