// Translucent painting of windowless elements and the binding of the system's
// constant-alpha blend.
#include "host/window/translucent.h"

#include "host/window/layeralpha.h"

namespace {

using TAlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

// msimg32.dll's AlphaBlend for the program's life; none where the library or
// the function is missing.
class TAlphaBlendBinding {
public:
    TAlphaBlendBinding() : module_(LoadLibraryA("msimg32.dll")) {
        // Through void (*)(), the type every function pointer casts to without a warning.
        if (module_) proc_ = reinterpret_cast<TAlphaBlendProc>(reinterpret_cast<void (*)()>(GetProcAddress(module_, "AlphaBlend")));
    }
    ~TAlphaBlendBinding() {
        if (module_) FreeLibrary(module_);
    }
    TAlphaBlendBinding(const TAlphaBlendBinding&) = delete;
    TAlphaBlendBinding& operator=(const TAlphaBlendBinding&) = delete;
    TAlphaBlendProc proc() const { return proc_; }

private:
    HMODULE module_;
    TAlphaBlendProc proc_ = nullptr;
};

const TAlphaBlendBinding alphaBlendBinding;

void copyArea(TBitmap& target, HDC dc, int width, int height) {
    target.SetSize(width, height);
    BitBlt(target.Canvas()->Handle(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
    target.Changed();
}

}  // namespace

void PaintTranslucent(TCanvas* canvas, TTranslucentBuffers& buffers, int width, int height,
                      const std::function<void()>& paint,
                      const std::function<void(TBitmap& beneath, TBitmap& painted)>& blend) {
    if (width <= 0 || height <= 0) return;
    HDC dc = canvas->Handle();
    auto& [beneath, painted] = buffers;
    copyArea(beneath, dc, width, height);
    copyArea(painted, dc, width, height);
    {
        canvas->SetHandle(painted.Canvas()->Handle());
        struct Restore {
            TCanvas* canvas;
            HDC dc;
            ~Restore() { canvas->SetHandle(dc); }
        } restore{canvas, dc};
        paint();
    }
    painted.Changed();
    blend(beneath, painted);
    BitBlt(canvas->Handle(), 0, 0, width, height, beneath.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void BlendConstant(TBitmap& beneath, TBitmap& painted, uint8_t alpha) {
    if (TAlphaBlendProc alphaBlend = alphaBlendBinding.proc()) {
        int width = painted.Width(), height = painted.Height();
        BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
        alphaBlend(beneath.Canvas()->Handle(), 0, 0, width, height, painted.Canvas()->Handle(), 0, 0, width, height,
                   blend);
        beneath.Changed();
    } else {
        FallbackAlphaBlend(beneath, painted, alpha);
    }
}
