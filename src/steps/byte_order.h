// Little-endian reads and writes on byte strings, with every offset checked.
//
// ByteReader has a sticky ok flag: a read past the end gives 0 (or an empty
// view) and clears ok, so a parser can read a whole header and check once.
//
//   ByteReader in(bytes);
//   const std::int32_t count = in.i32(16);
//   if (!in.ok()) { /* too short */ }
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kv::steps {

class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }

    bool has(std::size_t offset, std::size_t size) {
        if (offset > bytes_.size() || size > bytes_.size() - offset) {
            ok_ = false;
            return false;
        }
        return true;
    }

    std::string_view bytes(std::size_t offset, std::size_t size) {
        return has(offset, size) ? bytes_.substr(offset, size) : std::string_view{};
    }

    std::uint32_t u32(std::size_t offset) {
        if (!has(offset, 4)) {
            return 0;
        }
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | static_cast<unsigned char>(bytes_[offset + i]);
        }
        return value;
    }

    std::int32_t i32(std::size_t offset) { return static_cast<std::int32_t>(u32(offset)); }

    double f64(std::size_t offset) {
        const std::uint64_t low = u32(offset);
        const std::uint64_t high = u32(offset + 4);
        return std::bit_cast<double>((high << 32) | low);
    }

private:
    std::string_view bytes_;
    bool ok_ = true;
};

// Writers into a buffer the caller has sized; offsets must lie inside it.
inline void putU16(std::string& out, std::size_t offset, std::uint16_t value) {
    out[offset] = static_cast<char>(value & 0xFF);
    out[offset + 1] = static_cast<char>(value >> 8);
}

inline void putU32(std::string& out, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

inline void putI32(std::string& out, std::size_t offset, std::int32_t value) {
    putU32(out, offset, static_cast<std::uint32_t>(value));
}

inline void putF64(std::string& out, std::size_t offset, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    putU32(out, offset, static_cast<std::uint32_t>(bits));
    putU32(out, offset + 4, static_cast<std::uint32_t>(bits >> 32));
}

}  // namespace kv::steps
