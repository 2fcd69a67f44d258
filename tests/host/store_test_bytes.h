// Builds step store files byte by byte for tests, independently of the
// product's writer, so that tests can also make files the program never
// would (wrong magic, odd fields, lying counts).
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include <algorithm>

namespace kv::test {

struct FieldSpec {
    std::string name;
    std::int32_t offset = 0;
    std::int32_t length = 512;
    std::int32_t type = 10;
};

inline std::vector<FieldSpec> standardFields() {
    return {{"水平", 4},        {"垂直", 516},      {"鼠标键", 1028},  {"控制", 1540},
            {"间隔时间", 2052}, {"点击次数", 2564}, {"加入文字", 3076}};
}

struct StoreSpec {
    std::string magic = "WEDB";
    std::int32_t version = 0x00010000;
    std::optional<std::int32_t> recordCount;  // unset: the number of rows
    std::int32_t nextSerial = 1;
    std::int32_t recordSize = 3588;
    std::optional<std::int32_t> fieldCount;  // unset: the number of fields
    std::vector<FieldSpec> fields = standardFields();
    std::vector<std::vector<std::string>> rows;  // one text per field
    std::string nameOverride;                    // when set, all 17 name bytes of the first field
};

inline void putLe(std::string& out, std::size_t at, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<char>(bits >> (8 * i));
    }
}

inline std::string storeBytes(const StoreSpec& spec) {
    const std::size_t fieldCount = spec.fields.size();
    std::string out(116 + 72 * fieldCount, '\0');
    out.replace(0, spec.magic.size(), spec.magic);
    putLe(out, 4, spec.version);
    putLe(out, 16, spec.recordCount.value_or(std::int32_t(spec.rows.size())));
    putLe(out, 20, spec.nextSerial);
    putLe(out, 24, spec.recordSize);
    putLe(out, 112, spec.fieldCount.value_or(std::int32_t(fieldCount)));
    for (std::size_t i = 0; i < fieldCount; ++i) {
        const FieldSpec& field = spec.fields[i];
        const std::size_t at = 116 + 72 * i;
        out.replace(at, field.name.size(), field.name);
        putLe(out, at + 20, field.type);
        putLe(out, at + 24, field.offset);
        putLe(out, at + 28, field.length);
    }
    if (!spec.nameOverride.empty()) {
        out.replace(116, 17, spec.nameOverride.substr(0, 17));
    }
    for (std::size_t r = 0; r < spec.rows.size(); ++r) {
        std::string record(spec.recordSize, '\0');
        putLe(record, 0, spec.nextSerial + std::int32_t(r));
        for (std::size_t i = 0; i < fieldCount && i < spec.rows[r].size(); ++i) {
            const std::string& text = spec.rows[r][i];
            std::memcpy(record.data() + spec.fields[i].offset, text.data(),
                        std::min<std::size_t>(text.size(), spec.fields[i].length));
        }
        out += record;
    }
    return out;
}

inline std::int32_t readLe(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace kv::test
