// How the windowless elements of a widget window draw themselves translucent:
// what lies beneath the element is copied, the element paints onto a second
// copy, and a blend puts the two together where the element stands. The
// constant-alpha blend uses the system's AlphaBlend (msimg32.dll, bound at
// start-up), else FallbackAlphaBlend.
#pragma once

#include <functional>

#include "ui/bitmap.h"

// The two copies a translucent element paints through, kept by the element
// from one paint to the next: a repaint at the same size makes no bitmap and
// no context.
struct TTranslucentBuffers {
    TBitmap beneath, painted;
};

// Paints an element of that size on `canvas` (a windowless control's canvas
// during its paint): `paint` draws through the canvas, lent meanwhile to a
// copy of what lies beneath; `blend` then blends the painted copy into the
// untouched one, which goes back onto the canvas.
void PaintTranslucent(TCanvas* canvas, TTranslucentBuffers& buffers, int width, int height,
                      const std::function<void()>& paint,
                      const std::function<void(TBitmap& beneath, TBitmap& painted)>& blend);

// Blends `painted` over `beneath` with a constant alpha.
void BlendConstant(TBitmap& beneath, TBitmap& painted, uint8_t alpha);
