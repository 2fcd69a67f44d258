// A picture as the bytes of a BMP file: 14-byte file header, 40-byte
// information header, 24 bits per pixel, no compression, rows bottom-up,
// each padded to a multiple of 4 bytes.
#pragma once

#include <string>

#include "platform/screen_pixels.h"

namespace kv::drag {

inline constexpr std::size_t kBmpFileHeaderSize = 14;
inline constexpr std::size_t kBmpInfoHeaderSize = 40;
inline constexpr std::size_t kBmpPixelOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize;

// Bytes of a row of `width` pixels, padded to a multiple of 4.
std::size_t bmpRowStride(int width);

// Empty pixels give no bytes at all.
std::string encodeBmp(const platform::ScreenPixels& pixels);

}  // namespace kv::drag
