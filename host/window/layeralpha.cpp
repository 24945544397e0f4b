// Layered rendering's pixel loops: one pass per step over scanlines, table
// lookups instead of a multiplication and division per colour byte.
#include "host/window/layeralpha.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr TMultiplyTable buildMultiplyTable() {
    TMultiplyTable table{};
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; ++j) table[i][j] = static_cast<uint8_t>((i * j) >> 8);
    return table;
}

// Each pixel's blue, green and red against the bytes of each key in order.
void applyColorKeys(TAlphaMap& alpha, const TBitmap& picture, const std::vector<TColorAlpha>& keys) {
    int height = std::min(picture.Height(), alpha.height());
    int width = std::min(picture.Width(), alpha.width());
    for (int y = 0; y < height; ++y) {
        const uint32_t* pixel = picture.ScanLine(y);
        uint8_t* target = alpha.row(y);
        for (int x = 0; x < width; ++x) {
            for (const TColorAlpha& key : keys) {
                if (pixelColor(pixel[x]) == (key.color & 0xFFFFFF)) {
                    target[x] = key.alpha;
                    break;
                }
            }
        }
    }
}

void applyTransparency(TAlphaMap& alpha, int transparency) {
    for (int y = 0; y < alpha.height(); ++y) {
        uint8_t* row = alpha.row(y);
        for (int x = 0; x < alpha.width(); ++x) row[x] = scaleAlpha(row[x], transparency);
    }
}

}  // namespace

constinit const TMultiplyTable kMultiplyTable = buildMultiplyTable();

void stretchMaskInto(TAlphaMap& alpha, const TMaskPlacement& placement) {
    const TAlphaMap& mask = *placement.mask;
    if (mask.width() == 0 || mask.height() == 0 || placement.width <= 0 || placement.height <= 0) return;
    int bottom = std::min(placement.top + placement.height, alpha.height());
    int right = std::min(placement.left + placement.width, alpha.width());
    for (int y = std::max(placement.top, 0); y < bottom; ++y) {
        const uint8_t* source = mask.row(int64_t(y - placement.top) * mask.height() / placement.height);
        uint8_t* target = alpha.row(y);
        for (int x = std::max(placement.left, 0); x < right; ++x)
            target[x] = source[int64_t(x - placement.left) * mask.width() / placement.width];
    }
}


TAlphaMap alphaOf(const TBitmap& picture) {
    TAlphaMap alpha(picture.Width(), picture.Height(), 255);
    if (!picture.HasAlpha()) return alpha;
    for (int y = 0; y < picture.Height(); ++y) {
        const uint32_t* pixel = picture.ScanLine(y);
        uint8_t* target = alpha.row(y);
        for (int x = 0; x < picture.Width(); ++x) target[x] = pixelAlpha(pixel[x]);
    }
    return alpha;
}

TAlphaMap imageMask(const TAlphaMap& baseAlpha, int transparency) {
    TAlphaMap mask = baseAlpha;
    applyTransparency(mask, transparency);
    return mask;
}

// Row by row, whole runs of the old map copied at once.
void ExtendAlpha(TAlphaMap& alpha, int width, int height, bool tile) {
    const TAlphaMap old = std::exchange(alpha, TAlphaMap(width, height, 255));
    if (old.width() == 0 || old.height() == 0) return;
    const int rows = tile ? height : std::min(height, old.height());
    const int filled = tile ? width : std::min(width, old.width());
    for (int y = 0; y < rows; ++y) {
        const uint8_t* source = old.row(y % old.height());
        uint8_t* row = alpha.row(y);
        for (int x = 0; x < filled; x += old.width()) std::memcpy(row + x, source, std::min(old.width(), filled - x));
    }
}

TAlphaMap composeLayerAlpha(const TBitmap& picture, const TLayerSources& sources) {
    TAlphaMap alpha = sources.background;
    if (alpha.width() < picture.Width() || alpha.height() < picture.Height())
        ExtendAlpha(alpha, picture.Width(), picture.Height(), sources.tile);
    for (const TMaskPlacement& placement : sources.masks) stretchMaskInto(alpha, placement);
    if (!sources.colorKeys.empty()) applyColorKeys(alpha, picture, sources.colorKeys);
    if (sources.transparency != 255) applyTransparency(alpha, sources.transparency);
    return alpha;
}

void premultiplyLayer(const TBitmap& layer, const TAlphaMap& alpha, bool invert, TBitmap& buffer) {
    buffer.SetSize(layer.Width(), layer.Height());
    for (int y = 0; y < layer.Height(); ++y) {
        const auto* source = reinterpret_cast<const uint8_t*>(layer.ScanLine(y));
        auto* target = reinterpret_cast<uint8_t*>(buffer.ScanLine(y));
        const uint8_t* alphaRow = y < alpha.height() ? alpha.row(y) : nullptr;
        for (int x = 0; x < layer.Width(); ++x, source += 4, target += 4) {
            uint8_t d = alphaRow && x < alpha.width() ? alphaRow[x] : 255;
            if (invert) d = 255 - d;
            const auto& times = kMultiplyTable[d];
            target[0] = times[source[0]];
            target[1] = times[source[1]];
            target[2] = times[source[2]];
            target[3] = d;
        }
    }
    buffer.Changed();
}

namespace {

// Runs blend(dest byte, source byte, x) over the colour bytes of the area the
// two pictures share, row by row.
template <class Blend>
void blendRows(TBitmap& dest, const TBitmap& source, int width, int height, Blend blend) {
    for (int y = 0; y < height; ++y) {
        auto* target = reinterpret_cast<uint8_t*>(dest.ScanLine(y));
        const auto* from = reinterpret_cast<const uint8_t*>(source.ScanLine(y));
        for (int x = 0; x < width; ++x, target += 4, from += 4)
            for (int i = 0; i < 3; ++i) target[i] = blend(target[i], from[i], x, y);
    }
    dest.Changed();
}

}  // namespace

void FallbackAlphaBlend(TBitmap& dest, const TBitmap& source, uint8_t alpha) {
    blendRows(dest, source, std::min(dest.Width(), source.Width()), std::min(dest.Height(), source.Height()),
              [alpha](int d, int s, int, int) { return static_cast<uint8_t>((alpha * s + (255 - alpha) * d) / 255); });
}

void BlendByMask(TBitmap& dest, const TBitmap& source, const TAlphaMap& mask) {
    int width = std::min({dest.Width(), source.Width(), mask.width()});
    int height = std::min({dest.Height(), source.Height(), mask.height()});
    blendRows(dest, source, width, height, [&mask](int d, int s, int x, int y) {
        int a = mask.at(x, y);
        return static_cast<uint8_t>((d * (255 - a) + s * a) / 255);
    });
}
