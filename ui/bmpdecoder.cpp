// The BMP decoder: Windows and OS/2 bitmap files with 1, 4, 8, 16, 24 or 32
// bits per pixel, uncompressed, run-length encoded (RLE4, RLE8) or with bit
// field masks; bottom-up or top-down. A 32-bit (or masked 16-bit) bitmap's
// alpha is kept, unless every alpha byte is 0: such a file leaves the byte
// unused and is shown opaque rather than invisible.
#include <bit>
#include <string>
#include <vector>

#include "ui/decoders.h"

namespace {

[[noreturn]] void fail(const char* why) { throw EInvalidGraphic(AnsiString("Invalid bitmap: ") + why); }

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// One colour channel described by a bit mask.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t maximum = 0;  // the largest value of the masked bits

    explicit Channel(uint32_t m = 0) : mask(m) {
        if (!m) return;
        shift = std::countr_zero(m);
        maximum = m >> shift;
    }
    uint8_t operator()(uint32_t value) const {
        if (!mask) return 0;
        return static_cast<uint8_t>(uint64_t{(value & mask) >> shift} * 255 / maximum);
    }
};

// The layout of the pixel data, as the headers give it.
struct Layout {
    int width = 0, height = 0;  // height > 0
    bool topDown = false;
    int bits = 0;
    uint32_t compression = BI_RGB;
    Channel red, green, blue, alpha;
    std::vector<uint32_t> palette;  // pixels
};

enum : uint32_t { BiAlphaBitfields = 6 };

// Reads the info header, the masks and the palette; returns where the masks
// and palette end.
size_t readHeaders(const uint8_t* file, size_t size, Layout& layout) {
    if (size < 14 + 12) fail("file too short");
    const uint8_t* info = file + 14;
    uint32_t headerSize = le32(info);
    bool core = headerSize == 12;
    if (!core && (headerSize < 40 || headerSize > size - 14)) fail("unknown header");
    int64_t height;
    if (core) {
        layout.width = le16(info + 4);
        height = le16(info + 6);
        layout.bits = le16(info + 10);
    } else {
        layout.width = static_cast<int32_t>(le32(info + 4));
        height = static_cast<int32_t>(le32(info + 8));
        layout.bits = le16(info + 14);
        layout.compression = le32(info + 16);
    }
    layout.topDown = height < 0;
    if (height < 0) height = -height;
    checkPictureSize(layout.width, height);
    layout.height = static_cast<int>(height);
    switch (layout.bits) {
        case 1: case 4: case 8: case 16: case 24: case 32: break;
        default: fail("unsupported bit count");
    }

    size_t end = 14 + headerSize;
    bool masked = layout.compression == BI_BITFIELDS || layout.compression == BiAlphaBitfields;
    if (masked) {
        if (layout.bits != 16 && layout.bits != 32) fail("bit fields need 16 or 32 bits per pixel");
        size_t maskCount = layout.compression == BiAlphaBitfields || headerSize >= 56 ? 4 : 3;
        const uint8_t* masks = info + 40;
        if (headerSize < 40 + maskCount * 4) {  // the masks follow a 40-byte header
            if (headerSize != 40 || size - end < maskCount * 4) fail("file truncated");
            end += maskCount * 4;
        }
        layout.red = Channel(le32(masks));
        layout.green = Channel(le32(masks + 4));
        layout.blue = Channel(le32(masks + 8));
        if (maskCount == 4) layout.alpha = Channel(le32(masks + 12));
    } else if (layout.compression == BI_RGB && layout.bits == 16) {
        layout.red = Channel(0x7C00), layout.green = Channel(0x03E0), layout.blue = Channel(0x001F);
    } else if (layout.compression == BI_RGB && layout.bits == 32) {
        layout.red = Channel(0xFF0000), layout.green = Channel(0xFF00), layout.blue = Channel(0xFF);
        layout.alpha = Channel(0xFF000000u);
    } else if (!(layout.compression == BI_RGB ||
                 (layout.compression == BI_RLE8 && layout.bits == 8) ||
                 (layout.compression == BI_RLE4 && layout.bits == 4))) {
        fail("unsupported compression");
    }
    if ((layout.compression == BI_RLE8 || layout.compression == BI_RLE4) && layout.topDown) {
        fail("a run-length encoded bitmap cannot be top-down");
    }

    if (layout.bits <= 8) {
        size_t count = core ? 0 : le32(info + 32);
        if (count == 0 || count > (1u << layout.bits)) count = 1u << layout.bits;
        size_t entry = core ? 3 : 4;
        if ((size - end) / entry < count) fail("file truncated");
        layout.palette.assign(1u << layout.bits, makePixel(0, 0, 0));
        for (size_t i = 0; i < count; ++i, end += entry) {
            layout.palette[i] = makePixel(file[end + 2], file[end + 1], file[end]);
        }
    }
    return end;
}

uint32_t* rowOf(TBitmap& bitmap, const Layout& layout, int y) {
    return bitmap.ScanLine(layout.topDown ? y : layout.height - 1 - y);
}

// Uncompressed rows, each padded to four bytes.
void readRows(const uint8_t* data, size_t size, const Layout& layout, TBitmap& bitmap) {
    size_t stride = (static_cast<size_t>(layout.width) * layout.bits + 31) / 32 * 4;
    if (size / stride < static_cast<size_t>(layout.height)) fail("pixel data truncated");
    for (int y = 0; y < layout.height; ++y, data += stride) {
        uint32_t* row = rowOf(bitmap, layout, y);
        for (int x = 0; x < layout.width; ++x) {
            switch (layout.bits) {
                case 1: row[x] = layout.palette[data[x / 8] >> (7 - x % 8) & 1]; break;
                case 4: row[x] = layout.palette[data[x / 2] >> (x % 2 ? 0 : 4) & 15]; break;
                case 8: row[x] = layout.palette[data[x]]; break;
                case 24: row[x] = makePixel(data[x * 3 + 2], data[x * 3 + 1], data[x * 3]); break;
                default: {
                    uint32_t value = layout.bits == 16 ? le16(data + x * 2) : le32(data + x * 4);
                    row[x] = makePixel(layout.red(value), layout.green(value), layout.blue(value),
                                       layout.alpha.mask ? layout.alpha(value) : 255);
                }
            }
        }
    }
}

// RLE8 and RLE4: runs of one index, absolute runs, line ends and position
// deltas up to the end-of-bitmap code. Pixels the codes skip take index 0;
// pixels beyond the picture are dropped.
void readRuns(const uint8_t* data, size_t size, const Layout& layout, TBitmap& bitmap) {
    bool rle4 = layout.compression == BI_RLE4;
    std::vector<uint8_t> indexes(static_cast<size_t>(layout.width) * layout.height, 0);
    int x = 0, y = 0;
    auto put = [&](uint8_t index) {
        if (x < layout.width && y < layout.height) indexes[static_cast<size_t>(y) * layout.width + x] = index;
        ++x;
    };
    size_t p = 0;
    for (;;) {
        if (size - p < 2) fail("pixel data truncated");
        uint8_t count = data[p], code = data[p + 1];
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(rle4 ? (i % 2 ? code & 15 : code >> 4) : code);
        } else if (code == 0) {
            x = 0, ++y;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (size - p < 2) fail("pixel data truncated");
            x += data[p], y += data[p + 1];
            p += 2;
        } else {
            size_t bytes = rle4 ? (code + 1u) / 2 : code;
            bytes += bytes % 2;  // absolute runs end on a 16-bit boundary
            if (size - p < bytes) fail("pixel data truncated");
            for (int i = 0; i < code; ++i) put(rle4 ? (data[p + i / 2] >> (i % 2 ? 0 : 4) & 15) : data[p + i]);
            p += bytes;
        }
    }
    for (int row = 0; row < layout.height; ++row) {
        uint32_t* out = rowOf(bitmap, layout, row);
        const uint8_t* in = indexes.data() + static_cast<size_t>(row) * layout.width;
        for (int column = 0; column < layout.width; ++column) out[column] = layout.palette[in[column]];
    }
}

// Alpha from the file counts only when some pixel's is not 0.
void settleAlpha(TBitmap& bitmap) {
    bool anyVisible = false, anyTranslucent = false;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint32_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            anyVisible |= pixelAlpha(row[x]) != 0;
            anyTranslucent |= pixelAlpha(row[x]) != 255;
        }
    }
    if (!anyVisible) {
        for (int y = 0; y < bitmap.Height(); ++y) {
            uint32_t* row = bitmap.ScanLine(y);
            for (int x = 0; x < bitmap.Width(); ++x) row[x] |= 0xFF000000u;
        }
    }
    bitmap.SetHasAlpha(anyVisible && anyTranslucent);
}

}  // namespace

void decodeBmp(std::string_view data, TBitmap& bitmap) {
    const auto* file = reinterpret_cast<const uint8_t*>(data.data());
    if (data.size() < 2 || file[0] != 'B' || file[1] != 'M') fail("no BM signature");
    Layout layout;
    size_t headersEnd = readHeaders(file, data.size(), layout);
    size_t offset = le32(file + 10);
    if (offset == 0) offset = headersEnd;
    if (offset > data.size()) fail("pixel data truncated");
    bitmap.SetSize(layout.width, layout.height);
    if (bitmap.Empty()) return;
    if (layout.compression == BI_RLE8 || layout.compression == BI_RLE4) {
        readRuns(file + offset, data.size() - offset, layout, bitmap);
    } else {
        readRows(file + offset, data.size() - offset, layout, bitmap);
    }
    if (layout.alpha.mask) settleAlpha(bitmap);
}
