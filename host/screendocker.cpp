// Screen-edge snapping.
#include "host/screendocker.h"

#include <cstdlib>

std::vector<TScreenEdge> dockRect(RECT& rect, const RECT& area, TScreenEdges dockableTo, int distance) {
    const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::vector<TScreenEdge> docked;
    auto snaps = [&](TScreenEdge edge, LONG position, LONG target) {
        bool close = (dockableTo & edgeBit(edge)) && std::labs(position - target) <= distance;
        if (close) docked.push_back(edge);
        return close;
    };
    if (snaps(seLeft, rect.left, area.left)) {
        rect.left = area.left;
        rect.right = area.left + width;
    }
    if (snaps(seTop, rect.top, area.top)) {
        rect.top = area.top;
        rect.bottom = area.top + height;
    }
    if (snaps(seRight, rect.right, area.right)) {
        rect.right = area.right;
        rect.left = area.right - width;
    }
    if (snaps(seBottom, rect.bottom, area.bottom)) {
        rect.bottom = area.bottom;
        rect.top = area.bottom - height;
    }
    return docked;
}
