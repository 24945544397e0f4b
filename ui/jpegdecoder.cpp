// The JPEG decoder (libjpeg): grey, YCbCr and RGB pictures straight to BGRA,
// CMYK and YCCK (as Adobe writes them, inverted) converted here. A file that
// ends early or whose entropy-coded data is damaged is refused, although
// libjpeg itself would only warn and fill the rest with grey.
//
// libjpeg reports errors through a callback that must not return: it
// longjmps back to the one function that called into the library. Those
// functions hold plain data only, so the jump skips no C++ object.
#include <stdio.h>  // jpeglib.h needs FILE
#include <setjmp.h>

#include <jpeglib.h>
#include <jerror.h>

#include <vector>

#include "ui/decoders.h"

namespace {

struct JpegState {
    jpeg_decompress_struct decoder;
    jpeg_error_mgr errors;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onError(j_common_ptr common) {
    auto* state = static_cast<JpegState*>(common->client_data);
    common->err->format_message(common, state->message);
    longjmp(state->jump, 1);
}

// Warnings that mean pixels are missing end the decoding like errors.
void onMessage(j_common_ptr common, int level) {
    if (level >= 0) return;
    switch (common->err->msg_code) {
        case JWRN_JPEG_EOF: case JWRN_HIT_MARKER: case JWRN_HUFF_BAD_CODE: case JWRN_MUST_RESYNC:
            onError(common);
        default:
            ++common->err->num_warnings;
    }
}

// Sets the decoder up and reads the headers; false on error.
bool readHeader(JpegState* state, const uint8_t* data, size_t size) {
    state->decoder.err = jpeg_std_error(&state->errors);
    state->errors.error_exit = &onError;
    state->errors.emit_message = &onMessage;
    if (setjmp(state->jump)) return false;
    jpeg_create_decompress(&state->decoder);
    state->decoder.client_data = state;
    jpeg_mem_src(&state->decoder, data, static_cast<unsigned long>(size));
    jpeg_read_header(&state->decoder, TRUE);
    J_COLOR_SPACE space = state->decoder.jpeg_color_space;
    state->decoder.out_color_space = space == JCS_CMYK || space == JCS_YCCK ? JCS_CMYK : JCS_EXT_BGRA;
    return true;
}

bool readRows(JpegState* state, JSAMPARRAY rows) {
    if (setjmp(state->jump)) return false;
    jpeg_start_decompress(&state->decoder);
    while (state->decoder.output_scanline < state->decoder.output_height) {
        JDIMENSION line = state->decoder.output_scanline;
        jpeg_read_scanlines(&state->decoder, rows + line, state->decoder.output_height - line);
    }
    return true;
}

[[noreturn]] void fail(const JpegState& state) {
    throw EInvalidGraphic(AnsiString("Invalid JPEG image: ") + state.message);
}

// Inverted CMYK, four bytes per pixel, into BGRA in place.
void convertCmyk(TBitmap& bitmap) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint32_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            auto* cmyk = reinterpret_cast<const uint8_t*>(row + x);
            unsigned k = cmyk[3];
            row[x] = makePixel(static_cast<uint8_t>(cmyk[0] * k / 255), static_cast<uint8_t>(cmyk[1] * k / 255),
                               static_cast<uint8_t>(cmyk[2] * k / 255));
        }
    }
}

}  // namespace

void decodeJpeg(std::string_view data, TBitmap& bitmap) {
    JpegState state{};
    struct Release {
        JpegState& state;
        ~Release() { jpeg_destroy_decompress(&state.decoder); }
    } release{state};
    if (!readHeader(&state, reinterpret_cast<const uint8_t*>(data.data()), data.size())) fail(state);
    checkPictureSize(state.decoder.image_width, state.decoder.image_height);
    bitmap.SetSize(static_cast<int>(state.decoder.image_width), static_cast<int>(state.decoder.image_height));
    std::vector<JSAMPROW> rows(state.decoder.image_height);
    for (int y = 0; y < bitmap.Height(); ++y) rows[y] = reinterpret_cast<JSAMPROW>(bitmap.ScanLine(y));
    if (!readRows(&state, rows.data())) fail(state);
    if (state.decoder.out_color_space == JCS_CMYK) convertCmyk(bitmap);
}
