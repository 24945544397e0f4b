// The snapping rule of the screen docker: a widget window dragged near an edge
// of the screen or the work area moves flush to it. The docker component
// applies it to the proposed rectangle of every moving message.
#pragma once

#include <windows.h>

#include <vector>

enum TScreenEdge { seLeft, seTop, seRight, seBottom };  // OnDocked's edge numbers 0..3

// The set `DockableTo`: one bit per edge.
using TScreenEdges = unsigned;
constexpr TScreenEdges edgeBit(TScreenEdge edge) { return 1u << edge; }
constexpr TScreenEdges kAllScreenEdges = 0xF;

// Moves `rect` (size kept) flush to each edge of `area` it lies within
// `distance` of, inside or out, checking left, top, right and bottom in turn
// on the rectangle as already moved; gives the edges snapped, in that order.
std::vector<TScreenEdge> dockRect(RECT& rect, const RECT& area, TScreenEdges dockableTo, int distance);
