// The pixel arithmetic of a widget window's layered rendering: the alpha map
// composed from the background, the `toWindow` image masks, the colour keys and
// the window's transparency, the image masks themselves, the premultiplied
// buffer handed to UpdateLayeredWindow, and the blends of the elements that
// draw themselves translucent. No window code: the widget window and its
// elements paint the pictures and call these.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "host/window/colortext.h"
#include "ui/bitmap.h"

// An 8-bit alpha map, top row first, rows of `width` bytes.
class TAlphaMap {
public:
    TAlphaMap() = default;
    TAlphaMap(int width, int height, uint8_t fill) : width_(width), height_(height), bytes_(size_t(width) * height, fill) {}

    int width() const { return width_; }
    int height() const { return height_; }
    uint8_t* row(int y) { return bytes_.data() + size_t(y) * width_; }
    const uint8_t* row(int y) const { return bytes_.data() + size_t(y) * width_; }
    uint8_t at(int x, int y) const { return row(y)[x]; }

    friend bool operator==(const TAlphaMap&, const TAlphaMap&) = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> bytes_;
};

// The alpha of a picture: its fourth bytes when it carries alpha, else 255
// everywhere (the background's alpha map, an image's base alpha).
TAlphaMap alphaOf(const TBitmap& picture);

// T[i][j] = (i * j) shr 8, so 255 times 255 gives 254: an opaque white pixel
// reaches the layered window as 254, 254, 254 with alpha 255.
using TMultiplyTable = std::array<std::array<uint8_t, 256>, 256>;
extern const TMultiplyTable kMultiplyTable;

// floor(transparency / 255 * alpha), computed exactly as (transparency * alpha) div 255.
inline uint8_t scaleAlpha(uint8_t alpha, int transparency) {
    return static_cast<uint8_t>(transparency * alpha / 255);
}

// An image's mask: its base alpha scaled by its `transparency` (0..255).
TAlphaMap imageMask(const TAlphaMap& baseAlpha, int transparency);

// Grows (or cuts) the map to width x height, keeping its old content at the top
// left. New pixels repeat the old map when tiling and the old map was not
// empty; otherwise they are opaque.
void ExtendAlpha(TAlphaMap& alpha, int width, int height, bool tile);

// Where a `toWindow` image lies on the window: its mask replaces the alpha there.
struct TMaskPlacement {
    const TAlphaMap* mask;
    int left;
    int top;
    int width;
    int height;
};

// Stretches the mask into its bounds on the map (nearest pixel), clipped to the map.
void stretchMaskInto(TAlphaMap& alpha, const TMaskPlacement& placement);

// Everything the window's alpha is composed from, besides the picture.
struct TLayerSources {
    const TAlphaMap& background;  // the background picture's alpha; may be empty
    bool tile;                    // the window's `tile`
    std::vector<TMaskPlacement> masks;  // visible `toWindow` images in child order
    const std::vector<TColorAlpha>& colorKeys;
    int transparency;  // 0..255
};

// The alpha of a window whose client area is painted into `picture` (its
// fourth bytes unused): the background alpha extended to the picture, the
// masks stretched into their bounds, every pixel of a key's exact colour given
// that key's alpha (the first key wins), then the window's transparency.
TAlphaMap composeLayerAlpha(const TBitmap& picture, const TLayerSources& sources);

// Makes `buffer` the size of `layer` and fills it with the layer's colours
// premultiplied by the alpha map through the multiply table, the alpha in the
// fourth byte (inverted first when `invert`): what UpdateLayeredWindow takes.
// The map is read with its own row length: a larger map is cut at the top
// left; where a smaller one has no value the pixel is opaque.
void premultiplyLayer(const TBitmap& layer, const TAlphaMap& alpha, bool invert, TBitmap& buffer);

// A constant-alpha blend where the system's AlphaBlend is missing: each colour
// byte of `dest` := (alpha * source + (255 - alpha) * dest) div 255, over the
// area both share.
void FallbackAlphaBlend(TBitmap& dest, const TBitmap& source, uint8_t alpha);

// A translucent image's blend: for each pixel with mask value a, each colour
// byte of `dest` := (dest * (255 - a) + source * a) div 255. Pixels outside the
// mask keep `dest`.
void BlendByMask(TBitmap& dest, const TBitmap& source, const TAlphaMap& mask);
