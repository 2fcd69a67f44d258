#pragma once

#include <cstdint>

namespace kv::platform {

struct Point {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(Point, Point) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
    constexpr bool contains(Point p) const {
        return p.x >= left && p.x < right() && p.y >= top && p.y < bottom();
    }
    constexpr std::int64_t area() const { return std::int64_t{width} * height; }
    friend constexpr bool operator==(Rect, Rect) = default;
};

enum class MouseButton { left, right, middle };

// A desktop window as the platform names it (an HWND on Windows); 0 is none.
using NativeWindow = std::uintptr_t;

}  // namespace kv::platform
