// Screen-edge snapping of a dragged window's proposed rectangle.
#include <gtest/gtest.h>

#include "host/window/screendocker.h"

TEST(ScreenDocker, SnapsWithinTheDistance) {
    const RECT area = {0, 0, 1000, 700};  // a work area; windows are 100 x 50
    const struct {
        const char* what;
        RECT proposed;
        TScreenEdges dockable;
        RECT result;
        std::vector<TScreenEdge> docked;
    } cases[] = {
        {"5 from the right", {895, 300, 995, 350}, kAllScreenEdges, {900, 300, 1000, 350}, {seRight}},
        {"11 from the right", {889, 300, 989, 350}, kAllScreenEdges, {889, 300, 989, 350}, {}},
        {"10 from the right", {890, 300, 990, 350}, kAllScreenEdges, {900, 300, 1000, 350}, {seRight}},
        {"past the left", {-7, 300, 93, 350}, kAllScreenEdges, {0, 300, 100, 350}, {seLeft}},
        {"top left corner", {3, -4, 103, 46}, kAllScreenEdges, {0, 0, 100, 50}, {seLeft, seTop}},
        {"bottom", {400, 655, 500, 705}, kAllScreenEdges, {400, 650, 500, 700}, {seBottom}},
        {"bottom not dockable", {400, 655, 500, 705}, kAllScreenEdges & ~edgeBit(seBottom), {400, 655, 500, 705}, {}},
        {"in the middle", {400, 300, 500, 350}, kAllScreenEdges, {400, 300, 500, 350}, {}},
    };
    for (const auto& c : cases) {
        RECT rect = c.proposed;
        EXPECT_EQ(dockRect(rect, area, c.dockable, 10), c.docked) << c.what;
        EXPECT_TRUE(EqualRect(&rect, &c.result)) << c.what << ": " << rect.left << "," << rect.top;
    }
    // A window as wide as the area within the distance: left, then right wins.
    RECT wide = {4, 0, 1004, 50};
    EXPECT_EQ(dockRect(wide, {0, 100, 1000, 700}, kAllScreenEdges, 10), (std::vector<TScreenEdge>{seLeft, seRight}));
    EXPECT_EQ(wide.left, 0);
}
