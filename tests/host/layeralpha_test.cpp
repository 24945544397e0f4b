// The layered window's alpha: extension and tiling, image masks, colour keys,
// transparency, and the premultiplied buffer.
#include <gtest/gtest.h>

#include <initializer_list>

#include "host/window/layeralpha.h"

namespace {

TAlphaMap mapOf(std::initializer_list<std::initializer_list<int>> rows) {
    TAlphaMap map(int(rows.begin()->size()), int(rows.size()), 0);
    int y = 0;
    for (const auto& row : rows) {
        int x = 0;
        for (int value : row) map.row(y)[x++] = uint8_t(value);
        ++y;
    }
    return map;
}

// A picture of the given pixels (0xAARRGGBB), one list per row.
void paint(TBitmap& picture, std::initializer_list<std::initializer_list<uint32_t>> rows, bool hasAlpha = false) {
    picture.SetSize(int(rows.begin()->size()), int(rows.size()));
    int y = 0;
    for (const auto& row : rows) {
        int x = 0;
        for (uint32_t pixel : row) picture.ScanLine(y)[x++] = pixel;
        ++y;
    }
    picture.SetHasAlpha(hasAlpha);
    picture.Changed();
}

}  // namespace

TEST(LayerAlpha, TransparencyScalesExactly) {
    const struct {
        int alpha, transparency, scaled;
    } cases[] = {
        {255, 128, 128}, {100, 128, 50}, {200, 255, 200}, {200, 0, 0},
        {85, 147, 49},  // floor(147 / 255 * 85) in floating point gives 48
        {51, 155, 31},
    };
    for (const auto& c : cases) EXPECT_EQ(scaleAlpha(uint8_t(c.alpha), c.transparency), c.scaled) << c.alpha;
    EXPECT_EQ(imageMask(mapOf({{255, 85, 0}}), 147), mapOf({{147, 49, 0}}));
}

TEST(LayerAlpha, AlphaOfAPicture) {
    TBitmap picture;
    paint(picture, {{0x80FF0000, 0x00FFFFFF}, {0xFF000000, 0x12345678}}, true);
    EXPECT_EQ(alphaOf(picture), mapOf({{0x80, 0}, {0xFF, 0x12}}));
    picture.SetHasAlpha(false);  // no alpha of its own: opaque
    EXPECT_EQ(alphaOf(picture), mapOf({{255, 255}, {255, 255}}));
}

TEST(LayerAlpha, ExtendAlphaKeepsTheTopLeftAndTilesOrFillsOpaque) {
    const TAlphaMap old = mapOf({{10, 20}});
    const struct {
        const TAlphaMap& from;
        int width, height;
        bool tile;
        TAlphaMap expected;
    } cases[] = {
        {old, 3, 2, false, mapOf({{10, 20, 255}, {255, 255, 255}})},
        {old, 3, 2, true, mapOf({{10, 20, 10}, {10, 20, 10}})},
        {old, 1, 2, false, mapOf({{10}, {255}})},  // narrower: cut
        {TAlphaMap(), 2, 1, true, mapOf({{255, 255}})},  // nothing to tile
    };
    for (const auto& c : cases) {
        TAlphaMap alpha = c.from;
        ExtendAlpha(alpha, c.width, c.height, c.tile);
        EXPECT_EQ(alpha, c.expected) << c.width << "x" << c.height << " tile " << c.tile;
    }
}

TEST(LayerAlpha, ComposeInTheOrderOfItsSteps) {
    TBitmap picture;  // red, green, blue, black; the fourth bytes do not count
    paint(picture, {{0xFFFF0000, 0x0000FF00, 0x12FF0000, 0}, {0, 0xFFFF0000, 0x000000FF, 0xFFFF0000}});
    const TAlphaMap background = mapOf({{200, 100}});
    const TAlphaMap mask = mapOf({{10, 30}});
    const std::vector<TColorAlpha> keys = {{HtmlToColor("#00ff00"), 7}, {HtmlToColor("#0000ff"), 9},
                                           {HtmlToColor("#0000ff"), 99}};
    const std::vector<TColorAlpha> none;
    const struct {
        const char* what;
        bool tile;
        std::vector<TMaskPlacement> masks;
        const std::vector<TColorAlpha>& keys;
        int transparency;
        TAlphaMap expected;
    } cases[] = {
        {"background only", false, {}, none, 255, mapOf({{200, 100, 255, 255}, {255, 255, 255, 255}})},
        {"tiled", true, {}, none, 255, mapOf({{200, 100, 200, 100}, {200, 100, 200, 100}})},
        {"mask stretched and clipped", false, {{&mask, 2, 1, 4, 2}}, none, 255,
         mapOf({{200, 100, 255, 255}, {255, 255, 10, 10}})},
        {"keys, the first match wins", false, {}, keys, 255, mapOf({{200, 7, 255, 255}, {255, 255, 9, 255}})},
        {"keys after masks, transparency last", false, {{&mask, 0, 0, 2, 1}}, keys, 128,
         mapOf({{5, 3, 128, 128}, {128, 128, 4, 128}})},
    };
    for (const auto& c : cases) {
        TLayerSources sources{background, c.tile, c.masks, c.keys, c.transparency};
        EXPECT_EQ(composeLayerAlpha(picture, sources), c.expected) << c.what;
    }
}

TEST(LayerAlpha, PremultipliedBufferThroughTheTable) {
    TBitmap layer;  // white and a mixed colour; the fourth bytes do not count
    paint(layer, {{0x00FFFFFF, 0x7F3264C8}});
    const struct {
        const char* what;
        TAlphaMap alpha;
        bool invert;
        uint32_t first, second;
    } cases[] = {
        {"opaque white arrives as 254", mapOf({{255, 128}}), false, 0xFFFEFEFE, 0x80193264},
        {"a larger map is cut", mapOf({{0, 64, 9}, {9, 9, 9}}), false, 0, 0x400C1932},
        {"no value is opaque", mapOf({{128}}), false, 0x807F7F7F, 0xFF3163C7},
        {"inverted", mapOf({{255, 127}}), true, 0, 0x80193264},
    };
    for (const auto& c : cases) {
        TBitmap buffer;
        premultiplyLayer(layer, c.alpha, c.invert, buffer);
        ASSERT_EQ(buffer.Width(), 2);
        EXPECT_EQ(buffer.ScanLine(0)[0], c.first) << c.what;
        EXPECT_EQ(buffer.ScanLine(0)[1], c.second) << c.what;
    }
}

// A translucent element's two blends, per colour byte and rounded down; the
// alpha byte of the destination stays.
TEST(LayerAlpha, ElementBlendsWeighTheirBytesAndRoundDown) {
    TBitmap beneath, painted;
    paint(painted, {{0x00FF8001, 0x00FF8001, 0x00FF8001}});
    const struct {
        int alpha;  // constant alpha, or the mask's value
        uint32_t result;
    } cases[] = {
        {0, 0x11102030}, {255, 0x11FF8001}, {128, 0x11875018},  // (128 * s + 127 * d) div 255
        {1, 0x1110202F},
    };
    for (const auto& c : cases) {
        paint(beneath, {{0x11102030, 0x11102030, 0x11102030}});
        FallbackAlphaBlend(beneath, painted, uint8_t(c.alpha));
        EXPECT_EQ(beneath.ScanLine(0)[0], c.result) << "constant " << c.alpha;
        paint(beneath, {{0x11102030, 0x11102030, 0x11102030}});
        // The mask covers two of the three pixels: the third keeps what is beneath.
        BlendByMask(beneath, painted, mapOf({{c.alpha, 255}}));
        EXPECT_EQ(beneath.ScanLine(0)[0], c.result) << "mask " << c.alpha;
        EXPECT_EQ(beneath.ScanLine(0)[1], 0x11FF8001u);
        EXPECT_EQ(beneath.ScanLine(0)[2], 0x11102030u);
    }
}
