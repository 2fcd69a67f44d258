// The step store file, byte for byte, as pure functions on bytes.
//
// A store is a 112-byte header, a field count, one 72-byte descriptor per
// field and then fixed-size records, each a 4-byte serial followed by the
// fields' bytes. All integers are 32-bit little-endian and signed.
//
//   const store::Opened opened = store::openStore(bytes);
//   if (opened.problem == store::Problem::none) {
//       for (int k = 0; k < opened.layout.recordCount; ++k) {
//           StepRecord step = store::readRecord(bytes, opened.layout, k);
//       }
//   }
//   std::string image = store::saveImage(bytes, opened.layout, rows);
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "steps/step_record.h"

namespace kv::steps::store {

inline constexpr std::string_view kMagic = "WEDB";
inline constexpr std::int32_t kVersion = 0x00010000;
inline constexpr std::int32_t kTextType = 10;
inline constexpr std::int32_t kTextLength = 512;

inline constexpr std::size_t kHeaderSize = 112;
inline constexpr std::size_t kMagicOffset = 0;
inline constexpr std::size_t kVersionOffset = 4;
inline constexpr std::size_t kCreationTimeOffset = 8;
inline constexpr std::size_t kRecordCountOffset = 16;
inline constexpr std::size_t kNextSerialOffset = 20;
inline constexpr std::size_t kRecordSizeOffset = 24;
inline constexpr std::size_t kFieldCountOffset = kHeaderSize;
inline constexpr std::size_t kDescriptorsOffset = kFieldCountOffset + 4;

inline constexpr std::size_t kDescriptorSize = 72;
inline constexpr std::size_t kFieldNameBytes = 17;  // 16 bytes of name and a NUL
inline constexpr std::size_t kFieldTypeOffset = 20;
inline constexpr std::size_t kFieldOffsetOffset = 24;
inline constexpr std::size_t kFieldLengthOffset = 28;

inline constexpr std::size_t kSerialBytes = 4;
inline constexpr std::int32_t kRecordSize = kSerialBytes + kStepColumnCount * kTextLength;
inline constexpr std::size_t kDataStart = kDescriptorsOffset + kStepColumnCount * kDescriptorSize;

// Limits of this reader: the program's own files have 7 fields and
// 3588-byte records, so anything far beyond is taken as damage rather than
// allocated.
inline constexpr std::int32_t kMaxFieldCount = 1024;
inline constexpr std::int32_t kMaxRecordSize = 1 << 20;
// The header and descriptors of any store this reader accepts fit in this
// many bytes, so a save can check a store without reading its records.
inline constexpr std::size_t kMaxPrefixBytes =
    kDescriptorsOffset + kMaxFieldCount * kDescriptorSize;

// Field names in column order ("水平", "垂直", "鼠标键", "控制", "间隔时间",
// "点击次数", "加入文字"), as GBK bytes.
extern const std::array<std::string_view, kStepColumnCount> kFieldNames;

struct Field {
    std::string_view name;  // points into the bytes it was read from
    std::int32_t offset = 0;
    std::int32_t length = 0;
};

struct Layout {
    std::int32_t recordCount = 0;  // after repair: never more than the records present
    std::int32_t nextSerial = 1;
    std::int32_t recordSize = 0;
    std::size_t dataStart = 0;
    std::vector<Field> fields;
    // For each column, the field that holds it (the first of that name).
    std::array<std::size_t, kStepColumnCount> columnField{};
    // The header claimed more records than the file holds.
    bool repaired = false;
};

enum class Problem {
    none,
    tooShort,  // the header, field count or descriptors are cut off
    wrongMagic,
    versionTooNew,
    badRecordSize,     // 0, negative or beyond kMaxRecordSize
    badRecordCount,    // negative
    badNextSerial,     // 0 or negative
    badFieldCount,     // negative or beyond kMaxFieldCount
    unterminatedName,  // a field name fills all 17 bytes
    unknownFieldType,  // only text fields exist in this program's files
    fieldOutsideRecord,
    fieldsDoNotFillRecord,  // record size is not 4 + the field lengths, or fields overlap
    schemaMismatch,         // one of the seven fields is missing
};

struct Opened {
    Problem problem = Problem::none;
    Layout layout;
};

// Runs every opening check and the schema check, and lowers the record
// count to the whole records present.
Opened openStore(std::string_view bytes);

// The seven texts of record k (0 <= k < layout.recordCount) of an opened store.
StepRecord readRecord(std::string_view bytes, const Layout& layout, int k);

// A new store with the seven fields and no records.
std::string newStoreImage(double creationTime);

// The complete file after a save of rows into the opened store: its header
// and descriptors kept, record count and nextSerial updated, one record per
// row in order. Texts longer than a field are cut on a character boundary.
std::string saveImage(std::string_view bytes, const Layout& layout,
                      std::span<const StepRecord> rows);

// The opened store with its record count lowered to the records present and
// cut after the last whole record.
std::string repairedImage(std::string_view bytes, const Layout& layout);

// Days since 30 December 1899 00:00, the form of the creation time.
double oleDate(const std::tm& local);
double oleDateNow();

}  // namespace kv::steps::store
