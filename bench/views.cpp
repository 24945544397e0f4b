// List and tree view speed: 10,000 list items with 3 sub-items added, an
// owner-data list of 1,000,000 rows given its count and shown at its first
// and last screens, 100,000 item texts asked of the control by its own
// message, 10,000 tree nodes added with their absolute indexes read in
// order, and a tree of 10,000 nodes saved and loaded. Figures only.
#include <chrono>
#include <cstdio>

#include "ui/forms.h"
#include "ui/listview.h"
#include "ui/treeview.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count() * 1000; }

TListView* reportView(TForm* form) {
    auto* view = new TListView(form);
    view->SetParent(form);
    view->SetBounds(0, 0, 400, 300);
    view->SetViewStyle(vsReport);
    for (int i = 0; i < 4; ++i) view->Columns()->Add()->SetCaption("column");
    return view;
}

void listItems(TForm* form) {
    TListView* view = reportView(form);
    Clock::time_point start = Clock::now();
    view->Items()->BeginUpdate();
    for (int i = 0; i < 10000; ++i) {
        TListItem* item = view->Items()->Add();
        item->SetCaption("item");
        for (int j = 0; j < 3; ++j) item->SubItems()->Add("sub-item");
    }
    view->Items()->EndUpdate();
    std::printf("10,000 items with 3 sub-items added:   %8.2f ms (target 300)\n", msSince(start));
    char text[64];
    LVITEMA item{};
    item.pszText = text;
    item.cchTextMax = sizeof text;
    start = Clock::now();
    for (int i = 0; i < 100000; ++i) {
        item.iSubItem = i % 4;
        SendMessageA(view->Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(i % 10000), reinterpret_cast<LPARAM>(&item));
    }
    std::printf("100,000 item texts asked of the control: %6.2f ms (target 1000)\n", msSince(start));
}

void ownerData(TForm* form) {
    TListView* view = reportView(form);
    view->SetOwnerData(true);
    view->OnData = TLVNotifyEvent(
        [](void*, TObject*, TListItem* item) { item->SetCaption("row"); }, nullptr);
    Clock::time_point start = Clock::now();
    view->Items()->SetCount(1000000);
    view->Update();
    SendMessageA(view->Handle(), LVM_ENSUREVISIBLE, 999999, FALSE);
    view->Update();
    std::printf("1,000,000 owner-data rows, both ends:   %8.2f ms (target 50)\n", msSince(start));
}

void treeNodes(TForm* form) {
    auto* tree = new TTreeView(form);
    tree->SetParent(form);
    Clock::time_point start = Clock::now();
    TTreeNode* parent = nullptr;
    tree->Items()->BeginUpdate();
    for (int i = 0; i < 10000; ++i) {
        TTreeNode* node = tree->Items()->AddChild(i % 10 ? parent : nullptr, "node");
        if (i % 10 == 0) parent = node;
    }
    tree->Items()->EndUpdate();
    double added = msSince(start);
    long long sum = 0;
    for (int i = 0; i < 10000; ++i) sum += tree->Items()->Item(i)->AbsoluteIndex();
    std::printf("10,000 nodes added, indexes read:       %8.2f ms (target 300; adding %.2f; %lld)\n", msSince(start),
                added, sum % 7);
    const char* path = "views-bench.tree";
    start = Clock::now();
    tree->SaveToFile(path);
    tree->LoadFromFile(path);
    std::printf("10,000 nodes saved and loaded:          %8.2f ms (target 200)\n", msSince(start));
    DeleteFileA(path);
}

}  // namespace

int main() {
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 500, 400);
    form->Show();
    listItems(form);
    ownerData(form);
    treeNodes(form);
    form->Free();
    return 0;
}
