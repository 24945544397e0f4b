// The picture file decoders behind TPicture: each reads one file format from
// memory into a 32-bit top-down bitmap (colours not premultiplied), sets its
// alpha (HasAlpha) and transparent colour the way the format gives them, and
// raises EInvalidGraphic for data that is corrupt, truncated or too large.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ui/bitmap.h"

void decodeBmp(std::string_view data, TBitmap& bitmap);
void decodePng(std::string_view data, TBitmap& bitmap);
void decodeJpeg(std::string_view data, TBitmap& bitmap);
void decodeGif(std::string_view data, TBitmap& bitmap);

