// The alert popup's placement rules: the taskbar edge of a rectangle, where
// popups go and when one more fits, the slide steps and the gradient rows;
// and clicks on a real popup with the handlers they run.
#include <gtest/gtest.h>

#include <string>

#include "ui/alertpopup.h"
#include "uitest.h"

namespace {

bool same(const TRect& a, const TRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

const TRect screen{0, 0, 1280, 1024};

}  // namespace

TEST(AlertPopup, TaskbarEdgeOfItsRectangle) {
    const struct {
        TRect taskbar;
        TTaskbarEdge edge;
    } rows[] = {
        {{0, 0, 60, 1024}, teLeft},
        {{0, 0, 1280, 30}, teTop},
        {{0, 994, 1280, 1024}, teBottom},
        {{1220, 0, 1280, 1024}, teRight},
        {{0, 0, 100, 100}, teRight},  // a square at the corner: neither longer side
    };
    for (const auto& row : rows) EXPECT_EQ(TaskbarEdgeOf(row.taskbar), row.edge) << row.taskbar.left << "," << row.taskbar.top;
}

// Popups of 148 x 121, 16 and 2 pixels in from the work area's edges.
TEST(AlertPopup, PlacementByTheTaskbar) {
    const TRect area{60, 30, 1220, 994};
    const struct {
        TTaskbarEdge edge;
        int offset;
        TRect bounds;
    } rows[] = {
        {teBottom, 0, {1056, 871, 1204, 992}},
        {teBottom, 123, {1056, 748, 1204, 869}},
        {teRight, 0, {1056, 871, 1204, 992}},
        {teLeft, 123, {76, 748, 224, 869}},
        {teTop, 123, {1056, 155, 1204, 276}},
    };
    for (const auto& row : rows) {
        auto bounds = AlertPopupBounds(row.edge, area, {148, 121}, {16, 2}, row.offset);
        ASSERT_TRUE(bounds.has_value());
        EXPECT_TRUE(same(*bounds, row.bounds)) << row.edge << " " << bounds->left << "," << bounds->top;
    }
    // No taskbar known: the window is not moved.
    EXPECT_FALSE(AlertPopupBounds(teUnknown, area, {148, 121}, {16, 2}, 0).has_value());
}

// On the 1280 x 1024 screen eight popups fit above a bottom taskbar; the
// ninth, 8 x 123 pixels up, would leave the screen.
TEST(AlertPopup, OneMoreFits) {
    const struct {
        TTaskbarEdge edge;
        int offset;
        bool fits;
    } rows[] = {
        {teBottom, 7 * 123, true},  {teBottom, 8 * 123, false}, {teLeft, 8 * 123, false},
        {teRight, 901, true},       {teRight, 902, false},      {teTop, 901, true},
        {teTop, 902, false},        {teUnknown, 100000, true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AlertPopupFits(row.edge, screen, 121, 2, row.offset), row.fits) << row.edge << " " << row.offset;
}

// Each edge keeps the side on the taskbar and moves the other one.
TEST(AlertPopup, SlideSteps) {
    const TRect full{100, 200, 248, 321};
    const struct {
        TTaskbarEdge edge;
        TRect collapsed;
        TRect grown;
    } rows[] = {
        {teLeft, {100, 200, 101, 321}, {100, 200, 110, 321}},
        {teTop, {100, 200, 248, 201}, {100, 200, 248, 210}},
        {teRight, {247, 200, 248, 321}, {238, 200, 248, 321}},
        {teBottom, {100, 320, 248, 321}, {100, 311, 248, 321}},
    };
    for (const auto& row : rows) {
        TRect collapsed = SlideAlertPopup(row.edge, full, 1 - SlideExtent(row.edge, full));
        EXPECT_TRUE(same(collapsed, row.collapsed)) << row.edge;
        EXPECT_EQ(SlideExtent(row.edge, collapsed), 1);
        EXPECT_TRUE(same(SlideAlertPopup(row.edge, collapsed, 9), row.grown)) << row.edge;
        EXPECT_TRUE(same(SlideAlertPopup(row.edge, row.grown, -9), collapsed)) << row.edge;
    }
}

// From 0xFFCC99 (blue FF, green CC, red 99) to white over 100 rows.
TEST(AlertPopup, GradientRows) {
    EXPECT_EQ(GradientRowColor(0xFFCC99, 0xFFFFFF, 0, 100), 0xFFCC99);
    EXPECT_EQ(GradientRowColor(0xFFCC99, 0xFFFFFF, 50, 100), 0xFFE6CC);  // 0x99 + 51, 0xCC + 25.5 rounded
    EXPECT_EQ(GradientRowColor(0xFFCC99, 0xFFFFFF, 100, 100), 0xFFFFFF);
    EXPECT_EQ(GradientRowColor(0xFFFFFF, 0xFFCC99, 50, 100), 0xFFE5CC);  // down: 0xFF - 25.5 rounded away from 0
}

// ==== Clicks on a shown popup ====

namespace {

enum TSpot { onText, onTitle, onBackground };

TfrmAlertPopUp* popupOf(TComponent* owner) {
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (owner->Components(i)->InheritsFrom(&TfrmAlertPopUp::classInfo))
            return static_cast<TfrmAlertPopUp*>(owner->Components(i));
    return nullptr;
}

// A press and release at a spot of the popup's border panel: the text is
// centred in it, the title at its top left, the gradient fills the rest.
void clickAt(TfrmAlertPopUp* popup, TSpot spot, TMouseButton button) {
    HWND panel = GetWindow(popup->Handle(), GW_CHILD);
    RECT client;
    GetClientRect(panel, &client);
    POINT at = spot == onText ? POINT{client.right / 2, client.bottom / 2}
               : spot == onTitle ? POINT{11, 14}
                                 : POINT{client.right - 6, 30};
    LPARAM where = MAKELPARAM(at.x, at.y);
    bool left = button == mbLeft;
    SendMessageA(panel, left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, left ? MK_LBUTTON : MK_RBUTTON, where);
    SendMessageA(panel, left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, where);
}

}  // namespace

// Each click runs one handler; a close the handler asks for only hides the
// popup, which closes for good, counted, once the handler has returned.
TEST(AlertPopup, ClicksRunTheHandlersThenClose) {
    const struct {
        bool hyperlink;
        TSpot spot;
        TMouseButton button;
        const char* ran;
    } rows[] = {
        {true, onText, mbLeft, "url http://example.invalid/"},
        {true, onText, mbRight, "click"},
        {false, onText, mbLeft, "click"},
        {true, onTitle, mbLeft, "click"},
        {true, onBackground, mbRight, "click"},
    };
    auto* owner = new TForm(nullptr);
    auto* alert = new TAlertPopUp(owner);
    alert->URL = "http://example.invalid/";
    std::string ran;
    auto closeInside = [&](TObject* sender, const std::string& what) {
        ran = what;
        auto* popup = static_cast<TfrmAlertPopUp*>(sender);
        popup->Close();
        EXPECT_FALSE(IsWindowVisible(popup->Handle())) << what;
        EXPECT_EQ(popupOf(owner), popup) << what;
        EXPECT_EQ(alert->OpenCount(), 1) << what;
    };
    NotifyHandler click{[&](TObject* sender) { closeInside(sender, "click"); }};
    Handler<TURLClickEvent, TObject*, const AnsiString&> url{
        [&](TObject* sender, const AnsiString& link) { closeInside(sender, "url " + std::string(link.c_str())); }};
    alert->OnClick = click.event();
    alert->OnURLClick = url.event();
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.spot) + (row.hyperlink ? " link" : "") + (row.button == mbLeft ? " left" : " right"));
        alert->Options = static_cast<TMsnOptions>(row.hyperlink ? setOf(msnAllowHyperlink) : 0);
        ran.clear();
        ASSERT_TRUE(alert->ShowPopUp());
        TfrmAlertPopUp* popup = popupOf(owner);
        ASSERT_NE(popup, nullptr);
        clickAt(popup, row.spot, row.button);
        EXPECT_EQ(ran, row.ran);
        EXPECT_EQ(alert->OpenCount(), 0);
        EXPECT_TRUE(pumpUntil([&] { return popupOf(owner) == nullptr; }));
    }
    owner->Free();
}
