// Pixels copied from the screen: rows top to bottom, 3 bytes per pixel in
// blue, green, red order, no padding between rows.
#pragma once

#include <cstdint>
#include <vector>

namespace kv::platform {

struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgr;

    bool empty() const { return width <= 0 || height <= 0; }
};

}  // namespace kv::platform
