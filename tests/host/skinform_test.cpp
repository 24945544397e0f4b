// The widget window on a real layered window: its painted background, the
// background's alpha, the window's transparency and colour keys reach the
// buffer handed to UpdateLayeredWindow premultiplied; a transparency out of
// range is clamped; a missing background file changes nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "host/window/layerwindow.h"
#include "host/window/skinform.h"
#include "rtl/filepath.h"
#include "tests/support/tempfiles.h"

namespace {

// The buffer last handed to UpdateLayeredWindow as 0xAARRGGBB, row by row.
// (Wine answers the window's own device context with it only in another
// process: the GUI checks read it there.)
std::vector<uint32_t> layerPixels(const TSkinForm* form) {
    const TBitmap& buffer = form->Layer()->Buffer();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < buffer.Height(); ++y) pixels.insert(pixels.end(), buffer.ScanLine(y), buffer.ScanLine(y) + buffer.Width());
    return pixels;
}

}  // namespace

TEST(SkinForm, BackgroundAlphaTransparencyAndKeysReachTheLayer) {
    TSkinForm* form = new TSkinForm(nullptr);
    form->ScriptFileName = testPath("../ui/pictures/widget.xml");
    form->SetBackground("rgba.png");  // red 255, green 128 / blue 0, white 64
    ASSERT_EQ(form->Width(), 2);
    form->SetTransparency(300);
    EXPECT_EQ(form->Transparency(), 255);
    form->Show();
    const struct {
        int transparency;
        const char* colorAlpha;
        std::vector<uint32_t> pixels;
    } cases[] = {
        {255, "", {0xFFFE0000, 0x80007F00, 0x00000000, 0x403F3F3F}},  // white reaches the window as 254
        {128, "", {0x807F0000, 0x40003F00, 0x00000000, 0x201F1F1F}},  // (128 * a) div 255
        {255, "[#FF0000 = 100, #ffffff=0]", {0x64630000, 0x80007F00, 0x00000000, 0x00000000}},
    };
    for (const auto& c : cases) {
        form->SetColorAlpha(c.colorAlpha);
        form->SetTransparency(c.transparency);
        EXPECT_EQ(layerPixels(form), c.pixels) << c.transparency << " " << c.colorAlpha;
    }
    EXPECT_EQ(form->ColorAlpha(), "[#ff0000=100,#ffffff=0]");
    form->SetBackground("missing.png");
    EXPECT_EQ(form->Background(), expandFileName(testPath("../ui/pictures/rgba.png")));
    form->SetTransparency(-5);
    EXPECT_EQ(form->Transparency(), 0);
    form->Free();
}
