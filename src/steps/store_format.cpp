#include "steps/store_format.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "steps/byte_order.h"
#include "steps/gbk_text.h"

namespace kv::steps::store {

// Spelt as bytes so that every compiler produces GBK, whatever its character set.
const std::array<std::string_view, kStepColumnCount> kFieldNames = {
    "\xcb\xae\xc6\xbd",                  // 水平
    "\xb4\xb9\xd6\xb1",                  // 垂直
    "\xca\xf3\xb1\xea\xbc\xfc",          // 鼠标键
    "\xbf\xd8\xd6\xc6",                  // 控制
    "\xbc\xe4\xb8\xf4\xca\xb1\xbc\xe4",  // 间隔时间
    "\xb5\xe3\xbb\xf7\xb4\xce\xca\xfd",  // 点击次数
    "\xbc\xd3\xc8\xeb\xce\xc4\xd7\xd6",  // 加入文字
};

namespace {

struct Header {
    std::string_view magic;
    std::int32_t version = 0;
    std::int32_t recordCount = 0;
    std::int32_t nextSerial = 0;
    std::int32_t recordSize = 0;
    std::int32_t fieldCount = 0;
};

Problem readHeader(ByteReader& in, Header& header) {
    header.magic = in.bytes(kMagicOffset, kMagic.size());
    header.version = in.i32(kVersionOffset);
    header.recordCount = in.i32(kRecordCountOffset);
    header.nextSerial = in.i32(kNextSerialOffset);
    header.recordSize = in.i32(kRecordSizeOffset);
    header.fieldCount = in.i32(kFieldCountOffset);
    if (!in.ok()) {
        return Problem::tooShort;
    }
    if (header.magic != kMagic) {
        return Problem::wrongMagic;
    }
    if (header.version > kVersion) {
        return Problem::versionTooNew;
    }
    if (header.recordSize <= 0 || header.recordSize > kMaxRecordSize) {
        return Problem::badRecordSize;
    }
    if (header.recordCount < 0) {
        return Problem::badRecordCount;
    }
    if (header.nextSerial <= 0) {
        return Problem::badNextSerial;
    }
    if (header.fieldCount < 0 || header.fieldCount > kMaxFieldCount) {
        return Problem::badFieldCount;
    }
    return Problem::none;
}

Problem readField(ByteReader& in, std::size_t at, std::int32_t recordSize, Field& field) {
    const std::string_view name = in.bytes(at, kFieldNameBytes);
    const std::int32_t type = in.i32(at + kFieldTypeOffset);
    field.offset = in.i32(at + kFieldOffsetOffset);
    field.length = in.i32(at + kFieldLengthOffset);
    if (!in.ok()) {
        return Problem::tooShort;
    }
    const std::size_t end = name.find('\0');
    if (end == std::string_view::npos) {
        return Problem::unterminatedName;
    }
    field.name = name.substr(0, end);
    if (type != kTextType) {
        return Problem::unknownFieldType;
    }
    const std::int64_t fieldEnd = std::int64_t{field.offset} + field.length;
    if (field.offset < static_cast<std::int32_t>(kSerialBytes) || field.length <= 0 ||
        fieldEnd > recordSize) {
        return Problem::fieldOutsideRecord;
    }
    return Problem::none;
}

// The fields must tile the record after its serial exactly, so every byte of
// a record belongs to one field and no write reaches into another field.
bool fieldsFillRecord(std::vector<Field> fields, std::int32_t recordSize) {
    std::sort(fields.begin(), fields.end(),
              [](const Field& a, const Field& b) { return a.offset < b.offset; });
    std::int64_t next = kSerialBytes;
    for (const Field& field : fields) {
        if (field.offset != next) {
            return false;
        }
        next += field.length;
    }
    return next == recordSize;
}

bool mapColumns(Layout& layout) {
    for (std::size_t column = 0; column < kFieldNames.size(); ++column) {
        const auto found =
            std::find_if(layout.fields.begin(), layout.fields.end(), [&](const Field& field) {
                return equalsIgnoringAsciiCase(field.name, kFieldNames[column]);
            });
        if (found == layout.fields.end()) {
            return false;
        }
        layout.columnField[column] = static_cast<std::size_t>(found - layout.fields.begin());
    }
    return true;
}

void repairRecordCount(std::size_t fileSize, Layout& layout) {
    const std::size_t present = (fileSize - layout.dataStart) / layout.recordSize;
    if (present < static_cast<std::size_t>(layout.recordCount)) {
        layout.recordCount = static_cast<std::int32_t>(present);
        layout.repaired = true;
    }
}

std::string_view cutAtNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

}  // namespace

Opened openStore(std::string_view bytes) {
    Opened opened;
    ByteReader in(bytes);
    Header header;
    if ((opened.problem = readHeader(in, header)) != Problem::none) {
        return opened;
    }
    Layout& layout = opened.layout;
    layout.recordCount = header.recordCount;
    layout.nextSerial = header.nextSerial;
    layout.recordSize = header.recordSize;
    layout.dataStart = kDescriptorsOffset + std::size_t(header.fieldCount) * kDescriptorSize;
    layout.fields.resize(header.fieldCount);
    for (std::int32_t i = 0; i < header.fieldCount; ++i) {
        const std::size_t at = kDescriptorsOffset + std::size_t(i) * kDescriptorSize;
        if ((opened.problem = readField(in, at, header.recordSize, layout.fields[i])) !=
            Problem::none) {
            return opened;
        }
    }
    if (!in.has(0, layout.dataStart)) {
        opened.problem = Problem::tooShort;  // the descriptors' zero tail is cut off
        return opened;
    }
    if (!fieldsFillRecord(layout.fields, layout.recordSize)) {
        opened.problem = Problem::fieldsDoNotFillRecord;
        return opened;
    }
    if (!mapColumns(layout)) {
        opened.problem = Problem::schemaMismatch;
        return opened;
    }
    repairRecordCount(bytes.size(), layout);
    return opened;
}

StepRecord readRecord(std::string_view bytes, const Layout& layout, int k) {
    StepRecord step;
    ByteReader in(bytes);
    const std::size_t record = layout.dataStart + std::size_t(k) * layout.recordSize;
    for (std::size_t column = 0; column < step.size(); ++column) {
        const Field& field = layout.fields[layout.columnField[column]];
        step[column] = cutAtNul(in.bytes(record + field.offset, field.length));
    }
    return step;
}

std::string newStoreImage(double creationTime) {
    std::string image(kDataStart, '\0');
    image.replace(kMagicOffset, kMagic.size(), kMagic);
    putI32(image, kVersionOffset, kVersion);
    putF64(image, kCreationTimeOffset, creationTime);
    putI32(image, kRecordCountOffset, 0);
    putI32(image, kNextSerialOffset, 1);
    putI32(image, kRecordSizeOffset, kRecordSize);
    putI32(image, kFieldCountOffset, kStepColumnCount);
    for (std::size_t i = 0; i < kFieldNames.size(); ++i) {
        const std::size_t at = kDescriptorsOffset + i * kDescriptorSize;
        image.replace(at, kFieldNames[i].size(), kFieldNames[i]);
        putI32(image, at + kFieldTypeOffset, kTextType);
        putI32(image, at + kFieldOffsetOffset,
               static_cast<std::int32_t>(kSerialBytes + i * kTextLength));
        putI32(image, at + kFieldLengthOffset, kTextLength);
    }
    return image;
}

std::string saveImage(std::string_view bytes, const Layout& layout,
                      std::span<const StepRecord> rows) {
    const auto count = static_cast<std::int32_t>(rows.size());
    std::int32_t firstSerial = layout.nextSerial;
    // Serials only grow; should they ever run out, numbering starts again at
    // 1 rather than writing a nextSerial the next opening would refuse.
    if (firstSerial > std::numeric_limits<std::int32_t>::max() - count) {
        firstSerial = 1;
    }
    std::string image(layout.dataStart + rows.size() * layout.recordSize, '\0');
    image.replace(0, layout.dataStart, bytes.substr(0, layout.dataStart));
    putI32(image, kRecordCountOffset, count);
    putI32(image, kNextSerialOffset, firstSerial + count);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::size_t record = layout.dataStart + r * layout.recordSize;
        putI32(image, record, firstSerial + static_cast<std::int32_t>(r));
        for (std::size_t column = 0; column < rows[r].size(); ++column) {
            const Field& field = layout.fields[layout.columnField[column]];
            const std::string& text = rows[r][column];
            const std::size_t length = gbkPrefixLength(text, std::size_t(field.length));
            std::memcpy(image.data() + record + field.offset, text.data(), length);
        }
    }
    return image;
}

std::string repairedImage(std::string_view bytes, const Layout& layout) {
    std::string image(
        bytes.substr(0, layout.dataStart + std::size_t(layout.recordCount) * layout.recordSize));
    putI32(image, kRecordCountOffset, layout.recordCount);
    return image;
}

namespace {

// Days from 1 January 1970 to the given civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

}  // namespace

double oleDate(const std::tm& local) {
    const std::int64_t days = daysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) -
                              daysFromCivil(1899, 12, 30);
    const int seconds = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return static_cast<double>(days) + seconds / 86400.0;
}

double oleDateNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return oleDate(local);
}

}  // namespace kv::steps::store
