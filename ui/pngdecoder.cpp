// The PNG decoder (libpng): every colour type and depth into 8-bit BGRA. An
// alpha channel, or a palette with partial alpha, gives HasAlpha; one
// transparent colour (tRNS of a grey or RGB picture, or of a palette whose
// alphas are 0 and 255 only) gives the transparent colour, its pixels alpha 0.
//
// libpng reports errors by longjmp. Only the two small functions that call
// into libpng hold a setjmp, and they hold plain data only: the jump skips no
// C++ object and no exception passes through libpng's frames.
#include <png.h>

#include <cstring>
#include <vector>

#include "ui/decoders.h"

namespace {

// What the libpng calls share with their callbacks: plain data only.
struct PngState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
    char message[200] = "";
};

void readData(png_structp png, png_bytep out, size_t count) {
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    if (state->size - state->position < count) png_error(png, "file truncated");
    std::memcpy(out, state->data + state->position, count);
    state->position += count;
}

void onError(png_structp png, png_const_charp message) {
    auto* state = static_cast<PngState*>(png_get_error_ptr(png));
    std::strncpy(state->message, message, sizeof state->message - 1);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Reads the chunks up to the image data; false on error.
bool readInfo(PngState* state) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    png_set_read_fn(state->png, state, &readData);
    png_read_info(state->png, state->info);
    return true;
}

// Asks for 8-bit BGRA rows (which turns a tRNS chunk into alpha and drops it
// from the info); false on error.
bool requestBgra(PngState* state) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    int colorType = png_get_color_type(state->png, state->info);
    png_set_expand(state->png);  // palette and grey to 8 bits, tRNS to alpha
    png_set_strip_16(state->png);
    if (!(colorType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(state->png);
    png_set_bgr(state->png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(state->png, state->info, PNG_INFO_tRNS)) {
        png_set_filler(state->png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(state->png);
    png_read_update_info(state->png, state->info);
    return true;
}

bool readRows(PngState* state, png_bytepp rows) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    png_read_image(state->png, rows);
    return true;
}

[[noreturn]] void fail(const PngState& state) {
    throw EInvalidGraphic(AnsiString("Invalid PNG image: ") + state.message);
}

// The transparency the file gives, read before the tRNS chunk becomes alpha
// (the pixels' alpha comes from libpng).
void readTransparency(const PngState& state, TBitmap& bitmap) {
    png_structp png = state.png;
    png_infop info = state.info;
    int colorType = png_get_color_type(png, info);
    if (colorType & PNG_COLOR_MASK_ALPHA) {
        bitmap.SetHasAlpha(true);
        return;
    }
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    png_color_16p key = nullptr;
    if (!png_get_tRNS(png, info, &alphas, &alphaCount, &key)) return;
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int colors = 0;
        png_get_PLTE(png, info, &palette, &colors);
        int clear = -1, clearCount = 0;
        bool partial = false;
        for (int i = 0; i < alphaCount && i < colors; ++i) {
            if (alphas[i] == 0 && clearCount++ == 0) clear = i;
            partial |= alphas[i] != 0 && alphas[i] != 255;
        }
        bitmap.SetHasAlpha(partial || clearCount > 1);
        if (clear >= 0) bitmap.SetTransparentColor(RGB(palette[clear].red, palette[clear].green, palette[clear].blue));
        return;
    }
    int depth = png_get_bit_depth(png, info);
    auto to8 = [depth](png_uint_16 value) {
        return static_cast<BYTE>(depth == 16 ? value >> 8 : value * 255 / ((1 << depth) - 1));
    };
    if (colorType == PNG_COLOR_TYPE_GRAY) bitmap.SetTransparentColor(RGB(to8(key->gray), to8(key->gray), to8(key->gray)));
    else bitmap.SetTransparentColor(RGB(to8(key->red), to8(key->green), to8(key->blue)));
}

}  // namespace

void decodePng(std::string_view data, TBitmap& bitmap) {
    PngState state;
    state.data = reinterpret_cast<const uint8_t*>(data.data());
    state.size = data.size();
    state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, &onError, &onWarning);
    if (state.png) state.info = png_create_info_struct(state.png);
    struct Release {
        PngState& state;
        ~Release() { png_destroy_read_struct(&state.png, state.info ? &state.info : nullptr, nullptr); }
    } release{state};
    if (!state.info) throw EOutOfMemory("Out of memory for a PNG image");

    if (!readInfo(&state)) fail(state);
    png_uint_32 width = png_get_image_width(state.png, state.info);
    png_uint_32 height = png_get_image_height(state.png, state.info);
    checkPictureSize(width, height);
    readTransparency(state, bitmap);
    if (!requestBgra(&state)) fail(state);
    if (png_get_rowbytes(state.png, state.info) != width * 4) {
        std::strcpy(state.message, "unexpected row layout");
        fail(state);
    }
    bitmap.SetSize(static_cast<int>(width), static_cast<int>(height));
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = reinterpret_cast<png_bytep>(bitmap.ScanLine(static_cast<int>(y)));
    if (!readRows(&state, rows.data())) fail(state);
}
