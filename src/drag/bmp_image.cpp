#include "drag/bmp_image.h"

#include <cstring>

#include "steps/byte_order.h"

namespace kv::drag {

std::size_t bmpRowStride(int width) {
    return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
}

std::string encodeBmp(const platform::ScreenPixels& pixels) {
    const std::size_t rowBytes = static_cast<std::size_t>(pixels.width) * 3;
    if (pixels.empty() || pixels.bgr.size() != rowBytes * static_cast<std::size_t>(pixels.height)) {
        return {};
    }
    const std::size_t stride = bmpRowStride(pixels.width);
    const std::size_t imageSize = stride * static_cast<std::size_t>(pixels.height);
    std::string out(kBmpPixelOffset + imageSize, '\0');

    out[0] = 'B';
    out[1] = 'M';
    steps::putU32(out, 2, static_cast<std::uint32_t>(out.size()));
    steps::putU32(out, 10, static_cast<std::uint32_t>(kBmpPixelOffset));

    steps::putU32(out, 14, static_cast<std::uint32_t>(kBmpInfoHeaderSize));
    steps::putI32(out, 18, pixels.width);
    steps::putI32(out, 22, pixels.height);  // positive: bottom row first
    steps::putU16(out, 26, 1);              // planes
    steps::putU16(out, 28, 24);             // bits per pixel
    steps::putU32(out, 30, 0);              // no compression
    steps::putU32(out, 34, static_cast<std::uint32_t>(imageSize));

    for (int row = 0; row < pixels.height; ++row) {
        const std::size_t from = static_cast<std::size_t>(row) * rowBytes;
        const std::size_t to =
            kBmpPixelOffset + static_cast<std::size_t>(pixels.height - 1 - row) * stride;
        std::memcpy(out.data() + to, pixels.bgr.data() + from, rowBytes);
    }
    return out;
}

}  // namespace kv::drag
