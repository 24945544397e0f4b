// The layered window's alpha: extension and tiling, image masks, colour keys,
// transparency, and the premultiplied buffer.
#include <gtest/gtest.h>

#include <initializer_list>

#include "host/layeralpha.h"

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

// A 24-bit picture of one colour per pixel (given as 0xRRGGBB), rows padded to four bytes.
struct Picture {
    int width, height;
    std::vector<uint8_t> bytes;
    Picture(std::initializer_list<std::initializer_list<uint32_t>> rows)
        : width(int(rows.begin()->size())), height(int(rows.size())), bytes(stride() * height) {
        uint8_t* row = bytes.data();
        for (const auto& colors : rows) {
            uint8_t* pixel = row;
            for (uint32_t rgb : colors) {
                *pixel++ = uint8_t(rgb);
                *pixel++ = uint8_t(rgb >> 8);
                *pixel++ = uint8_t(rgb >> 16);
            }
            row += stride();
        }
    }
    ptrdiff_t stride() const { return (width * 3 + 3) & ~3; }
    TConstPixelRows rows() const { return {bytes.data(), stride(), width, height}; }
};

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
    const Picture picture({{0xFF0000, 0x00FF00, 0xFF0000, 0x000000}, {0x000000, 0xFF0000, 0x0000FF, 0xFF0000}});
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
        EXPECT_EQ(composeLayerAlpha(picture.rows(), sources), c.expected) << c.what;
    }
}

TEST(LayerAlpha, PremultipliedBufferThroughTheTable) {
    // Two pixels in blue, green, red, unused order: white and a mixed colour.
    const uint8_t layer[] = {255, 255, 255, 0, 200, 100, 50, 0};
    const struct {
        const char* what;
        TAlphaMap alpha;
        bool invert;
        std::vector<uint8_t> buffer;
    } cases[] = {
        {"opaque white arrives as 254", mapOf({{255, 128}}), false, {254, 254, 254, 255, 100, 50, 25, 128}},
        {"a larger map is cut", mapOf({{0, 64, 9}, {9, 9, 9}}), false, {0, 0, 0, 0, 50, 25, 12, 64}},
        {"no value is opaque", mapOf({{128}}), false, {127, 127, 127, 128, 199, 99, 49, 255}},
        {"inverted", mapOf({{255, 127}}), true, {0, 0, 0, 0, 100, 50, 25, 128}},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> buffer(8, 0xEE);
        premultiplyLayer({layer, 8, 2, 1}, c.alpha, c.invert, {buffer.data(), 8, 2, 1});
        EXPECT_EQ(buffer, c.buffer) << c.what;
    }
}
