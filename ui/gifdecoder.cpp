// The GIF decoder (giflib): the first image of the file on its logical screen.
// A transparent index (from the graphics control extension before the image)
// gives the transparent colour; its pixels, and the screen outside the image,
// get alpha 0. Without one the screen outside the image is the background
// colour. giflib reports errors by return codes, so no jump is involved.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/decoders.h"

namespace {

struct GifSource {
    const uint8_t* data;
    size_t size;
    size_t position;
};

int readData(GifFileType* gif, GifByteType* out, int count) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    size_t n = std::min(static_cast<size_t>(count), source->size - source->position);
    std::memcpy(out, source->data + source->position, n);
    source->position += n;
    return static_cast<int>(n);
}

[[noreturn]] void fail(int error) {
    const char* text = GifErrorString(error);
    throw EInvalidGraphic(AnsiString("Invalid GIF image: ") + (text ? text : "unknown error"));
}

void check(GifFileType* gif, int result) {
    if (result == GIF_ERROR) fail(gif->Error);
}

// The transparent index a graphics control extension names, or -1; skips the
// extension's sub-blocks.
int readExtension(GifFileType* gif, int transparent) {
    int code = 0;
    GifByteType* block = nullptr;
    check(gif, DGifGetExtension(gif, &code, &block));
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        GraphicsControlBlock control;
        if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) transparent = control.TransparentColor;
    }
    while (block) check(gif, DGifGetExtensionNext(gif, &block));
    return transparent;
}

// The rows of the current image in file order (interlaced ones in four passes).
std::vector<int> rowOrder(const GifImageDesc& image) {
    std::vector<int> rows;
    if (!image.Interlace) {
        for (int y = 0; y < image.Height; ++y) rows.push_back(y);
        return rows;
    }
    static const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = starts[pass]; y < image.Height; y += steps[pass]) rows.push_back(y);
    }
    return rows;
}

void readImage(GifFileType* gif, int transparent, TBitmap& bitmap) {
    check(gif, DGifGetImageDesc(gif));
    const GifImageDesc& image = gif->Image;
    checkPictureSize(image.Width, image.Height);
    const ColorMapObject* map = image.ColorMap ? image.ColorMap : gif->SColorMap;
    if (!map) throw EInvalidGraphic("Invalid GIF image: no colour table");
    auto color = [map](int index) {
        if (index >= map->ColorCount) return makePixel(0, 0, 0);
        const GifColorType& c = map->Colors[index];
        return makePixel(c.Red, c.Green, c.Blue);
    };
    if (gif->SWidth == 0 || gif->SHeight == 0) {  // a screen of no size takes the image's
        bitmap.SetSize(image.Left + image.Width, image.Top + image.Height);
    } else {
        bitmap.SetSize(gif->SWidth, gif->SHeight);
    }
    uint32_t clear = transparent >= 0 ? color(transparent) & 0xFFFFFF : color(gif->SBackGroundColor);
    for (int y = 0; y < bitmap.Height(); ++y) std::fill_n(bitmap.ScanLine(y), bitmap.Width(), clear);
    if (transparent >= 0) bitmap.SetTransparentColor(pixelColor(clear));

    std::vector<GifPixelType> line(static_cast<size_t>(image.Width));
    for (int row : rowOrder(image)) {
        check(gif, DGifGetLine(gif, line.data(), image.Width));
        int y = image.Top + row;
        if (y >= bitmap.Height()) continue;
        uint32_t* out = bitmap.ScanLine(y);
        for (int x = 0; x < image.Width && image.Left + x < bitmap.Width(); ++x) {
            out[image.Left + x] = line[x] == transparent ? clear : color(line[x]);
        }
    }
}

}  // namespace

void decodeGif(std::string_view data, TBitmap& bitmap) {
    GifSource source{reinterpret_cast<const uint8_t*>(data.data()), data.size(), 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, &readData, &error);
    if (!gif) fail(error);
    struct Release {
        GifFileType* gif;
        ~Release() { DGifCloseFile(gif, nullptr); }
    } release{gif};
    checkPictureSize(gif->SWidth, gif->SHeight);

    int transparent = -1;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        check(gif, DGifGetRecordType(gif, &record));
        if (record == EXTENSION_RECORD_TYPE) {
            transparent = readExtension(gif, transparent);
        } else if (record == IMAGE_DESC_RECORD_TYPE) {
            return readImage(gif, transparent, bitmap);
        } else if (record == TERMINATE_RECORD_TYPE) {
            throw EInvalidGraphic("Invalid GIF image: no image");
        }
    }
}
