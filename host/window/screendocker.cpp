// Screen-edge snapping.
#include "host/window/screendocker.h"

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

// ==== TScreenDocker ====

class TScreenDocker::Hook : public TWindowHook {
public:
    Hook(TCustomForm* form, TScreenDocker* docker) : TWindowHook(form), Docker_(docker) {}

protected:
    void HookProc(TMessage& message) override {
        if (message.Msg != WM_MOVING || !Docker_->Active) return Inherited(message);
        RECT area;
        if (Docker_->DockArea == daScreen) GetWindowRect(GetDesktopWindow(), &area);
        else SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        auto* rect = reinterpret_cast<RECT*>(message.LParam);
        std::vector<TScreenEdge> docked = dockRect(*rect, area, Docker_->DockableTo, Docker_->DockDistance);
        for (TScreenEdge edge : docked) Docker_->OnDocked(Docker_, edge);
        Inherited(message);
        message.Result = docked.empty() ? 0 : 1;
    }

private:
    TScreenDocker* Docker_;
};

const TClassInfo TScreenDocker::classInfo = makeClassInfo("TScreenDocker", &TComponent::classInfo);

TScreenDocker::TScreenDocker(TComponent* owner) : TComponent(nullptr) {
    auto* form = dynamic_cast<TCustomForm*>(owner);
    if (!form) throw Exception("TScreenDocker can only be placed on a TForm.");
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (dynamic_cast<TScreenDocker*>(form->Components(i)))
            throw Exception("Only one instance of TScreenDocker is allowed per form.");
    form->InsertComponent(this);
    Hook_ = std::make_unique<Hook>(form, this);
}

TScreenDocker::~TScreenDocker() { Destroying(); }
