// The snapping rule of the screen docker: a widget window dragged near an edge
// of the screen or the work area moves flush to it; TScreenDocker applies it
// to the proposed rectangle of every moving message of its form.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/forms.h"

enum TScreenEdge { seLeft, seTop, seRight, seBottom };  // OnDocked's edge numbers 0..3

// The set `DockableTo`: one bit per edge.
using TScreenEdges = unsigned;
constexpr TScreenEdges edgeBit(TScreenEdge edge) { return 1u << edge; }
constexpr TScreenEdges kAllScreenEdges = 0xF;

// Moves `rect` (size kept) flush to each edge of `area` it lies within
// `distance` of, inside or out, checking left, top, right and bottom in turn
// on the rectangle as already moved; gives the edges snapped, in that order.
std::vector<TScreenEdge> dockRect(RECT& rect, const RECT& area, TScreenEdges dockableTo, int distance);

// ==== TScreenDocker ====

enum TDockArea : uint8_t { daScreen, daWorkArea };
using TDockedEvent = TEvent<void(TObject* Sender, TScreenEdge Edge)>;

// Snaps its owner form to the edges while the form is dragged: it hooks the
// form's messages and moves the proposed rectangle of every WM_MOVING. Only
// a form may own one, and only one.
class TScreenDocker : public TComponent {
    RTL_DECLARE_CLASS()
    // Raises Exception when the owner is not a form or already has a docker.
    explicit TScreenDocker(TComponent* owner);

    bool Active = true;
    TScreenEdges DockableTo = kAllScreenEdges;
    TDockArea DockArea = daWorkArea;
    int DockDistance = 10;
    TDockedEvent OnDocked;

protected:
    ~TScreenDocker() override;

private:
    class Hook;
    std::unique_ptr<Hook> Hook_;
};
