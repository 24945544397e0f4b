// Tests of the picture decoders through TPicture: each format's pixels and
// transparency read back from the bitmap, and broken files (truncated,
// corrupt, oversized) refused with EInvalidGraphic. The pictures are made by
// pictures/make_pictures.py.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "ui/picture.h"

namespace {

AnsiString picturePath(const char* name) {
    std::string path = std::string("Z:") + std::getenv("NIMBORA_TEST_DATA") + "/pictures/" + name;
    std::replace(path.begin(), path.end(), '/', '\\');
    return AnsiString(path);
}

struct Sample {
    int x, y;
    uint32_t pixel;
};

struct PictureCase {
    const char* file;
    TGraphicFormat format;
    int width, height;
    bool hasAlpha;
    TColor transparentColor;
    int tolerance;  // per channel: lossy formats differ a little
    std::initializer_list<Sample> samples;
};

constexpr uint32_t red = makePixel(255, 0, 0), green = makePixel(0, 255, 0), blue = makePixel(0, 0, 255),
                   white = makePixel(255, 255, 255), black = makePixel(0, 0, 0);

const PictureCase pictures[] = {
    {"rgb24.bmp", gfBitmap, 3, 2, false, clNone, 0, {{0, 0, red}, {1, 0, green}, {2, 0, blue}, {2, 1, makePixel(10, 20, 30)}}},
    {"alpha32.bmp", gfBitmap, 2, 2, true, clNone, 0,
     {{0, 0, red}, {1, 0, makePixel(0, 255, 0, 128)}, {0, 1, makePixel(0, 0, 255, 0)}, {1, 1, makePixel(255, 255, 255, 64)}}},
    {"noalpha32.bmp", gfBitmap, 2, 1, false, clNone, 0, {{0, 0, red}, {1, 0, blue}}},
    {"rgb565.bmp", gfBitmap, 2, 1, false, clNone, 0, {{0, 0, red}, {1, 0, green}}},
    {"argb1555.bmp", gfBitmap, 2, 1, true, clNone, 0, {{0, 0, red}, {1, 0, makePixel(0, 255, 0, 0)}}},
    {"mono1.bmp", gfBitmap, 10, 1, false, clNone, 0, {{0, 0, white}, {1, 0, black}, {2, 0, white}, {8, 0, black}, {9, 0, white}}},
    {"pal4.bmp", gfBitmap, 3, 1, false, clNone, 0, {{0, 0, red}, {1, 0, green}, {2, 0, black}}},
    {"rle8.bmp", gfBitmap, 5, 2, false, clNone, 0,
     {{0, 1, red}, {1, 1, red}, {2, 1, green}, {3, 1, blue}, {4, 1, red}, {0, 0, black}, {1, 0, blue}, {2, 0, black}}},
    {"rgba.png", gfPng, 2, 2, true, clNone, 0,
     {{0, 0, red}, {1, 0, makePixel(0, 255, 0, 128)}, {0, 1, makePixel(0, 0, 255, 0)}, {1, 1, makePixel(255, 255, 255, 64)}}},
    {"rgbkey.png", gfPng, 2, 1, false, clLime, 0, {{0, 0, red}, {1, 0, makePixel(0, 255, 0, 0)}}},
    {"palalpha.png", gfPng, 3, 1, true, clBlue, 0, {{0, 0, red}, {1, 0, makePixel(0, 255, 0, 100)}, {2, 0, makePixel(0, 0, 255, 0)}}},
    {"palkey.png", gfPng, 3, 1, false, clLime, 0, {{0, 0, red}, {1, 0, makePixel(0, 255, 0, 0)}, {2, 0, blue}}},
    {"grey16key.png", gfPng, 2, 1, false, 0x808080, 0, {{0, 0, makePixel(128, 128, 128, 0)}, {1, 0, white}}},
    {"interlaced.png", gfPng, 16, 16, false, clNone, 0, {{3, 5, red}, {4, 5, blue}, {15, 15, blue}}},
    {"quadrants.jpg", gfJpeg, 32, 32, false, clNone, 8, {{8, 8, red}, {24, 8, green}, {8, 24, blue}, {24, 24, white}}},
    {"progressive.jpg", gfJpeg, 32, 32, false, clNone, 8, {{8, 8, red}, {24, 8, green}, {8, 24, blue}, {24, 24, white}}},
    {"grey.jpg", gfJpeg, 8, 8, false, clNone, 2, {{4, 4, makePixel(200, 200, 200)}}},
    {"cmyk.jpg", gfJpeg, 32, 32, false, clNone, 12, {{8, 8, red}, {24, 8, green}, {8, 24, blue}, {24, 24, white}}},
    {"key.gif", gfGif, 3, 1, false, clLime, 0, {{0, 0, red}, {1, 0, makePixel(0, 255, 0, 0)}, {2, 0, blue}}},
    // (x + y) mod 4 over red, green, blue, white, rows stored in four passes.
    {"interlaced.gif", gfGif, 4, 10, false, clNone, 0, {{1, 3, red}, {0, 1, green}, {2, 5, white}, {3, 6, green}, {1, 9, blue}}},
    // A 2 x 1 image at (1, 1) of a 4 x 3 screen; outside it the screen is clear.
    {"offset.gif", gfGif, 4, 3, false, clRed, 0, {{1, 1, blue}, {2, 1, blue}, {0, 0, makePixel(255, 0, 0, 0)}, {3, 2, makePixel(255, 0, 0, 0)}}},
};

bool closeTo(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > tolerance) return false;
    }
    return true;
}

}  // namespace

TEST(Picture, DecodesEachFormatWithItsTransparency) {
    for (const PictureCase& c : pictures) {
        SCOPED_TRACE(c.file);
        TPicture picture;
        picture.LoadFromFile(picturePath(c.file));
        EXPECT_EQ(picture.Format(), c.format);
        ASSERT_EQ(picture.Width(), c.width);
        ASSERT_EQ(picture.Height(), c.height);
        EXPECT_EQ(picture.Bitmap()->HasAlpha(), c.hasAlpha);
        EXPECT_EQ(picture.Bitmap()->TransparentColor(), c.transparentColor);
        for (const Sample& s : c.samples) {
            uint32_t got = picture.Bitmap()->ScanLine(s.y)[s.x];
            EXPECT_TRUE(closeTo(got, s.pixel, c.tolerance)) << s.x << "," << s.y << ": " << std::hex << got;
        }
    }
}

// A picture that fails to load leaves the previous one in place.
TEST(Picture, BrokenFilesRaiseInvalidGraphic) {
    const struct {
        const char* file;
        const char* message;
    } broken[] = {
        {"truncated.bmp", "Invalid bitmap: pixel data truncated"},
        {"rlecut.bmp", "Invalid bitmap: pixel data truncated"},
        {"badbits.bmp", "Invalid bitmap: unsupported bit count"},
        {"huge.bmp", "Picture too large: 100000 x 100000"},
        {"manypixels.bmp", "Picture too large: 30000 x 30000"},
        {"truncated.png", "Invalid PNG image: file truncated"},
        {"badcrc.png", "Invalid PNG image: IDAT: CRC error"},
        {"huge.png", "Picture too large: 100000 x 100000"},
        {"truncated.jpg", "Invalid JPEG image: Premature end of JPEG file"},
        {"badhuffman.jpg", "Invalid JPEG image: Corrupt JPEG data: bad Huffman code"},
        {"huge.jpg", "Picture too large: 60000 x 60000"},
        {"truncated.gif", "Invalid GIF image: Failed to read from given file"},
        {"badrecord.gif", "Invalid GIF image: Wrong record type detected"},
        {"huge.gif", "Picture too large: 65535 x 65535"},
        {"make_pictures.py", "Unknown picture format"},
    };
    TPicture picture;
    picture.LoadFromFile(picturePath("rgb24.bmp"));
    for (const auto& c : broken) {
        SCOPED_TRACE(c.file);
        try {
            picture.LoadFromFile(picturePath(c.file));
            ADD_FAILURE() << "loaded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.message(), c.message);
        }
        EXPECT_EQ(picture.Format(), gfBitmap);
        EXPECT_EQ(picture.Width(), 3);
        EXPECT_EQ(picture.Bitmap()->ScanLine(0)[0], red);
    }
    EXPECT_THROW(picture.LoadFromFile(picturePath("missing.png")), EFOpenError);
}

TEST(Picture, AssignCopiesAndTellsOnce) {
    TPicture source, copy;
    source.LoadFromFile(picturePath("key.gif"));
    int changes = 0;
    auto count = [](void* n, TObject*) { ++*static_cast<int*>(n); };
    copy.OnChange = TNotifyEvent(count, &changes);
    copy.Assign(&source);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(copy.Format(), gfGif);
    EXPECT_EQ(copy.Bitmap()->TransparentColor(), clLime);
    source.Bitmap()->ScanLine(0)[0] = blue;  // the copy has its own pixels
    EXPECT_EQ(copy.Bitmap()->ScanLine(0)[0], red);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Bitmap()->Empty());
    EXPECT_EQ(copy.Format(), gfNone);
}
