#include "steps/store_format.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "steps/byte_order.h"
#include "steps/gbk_text.h"
#include "store_test_bytes.h"

namespace kv::steps {
namespace {

using test::FieldSpec;
using test::readLe;
using test::storeBytes;
using test::StoreSpec;

std::string bytesOf(std::initializer_list<unsigned> values) {
    std::string out;
    for (unsigned value : values) {
        out += static_cast<char>(value);
    }
    return out;
}

TEST(ByteReaderTest, ReadsLittleEndianAndTurnsNotOkForGoodAfterReadingPastTheEnd) {
    const std::string bytes = bytesOf({0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF});
    ByteReader in(bytes);
    EXPECT_EQ(in.i32(0), 0x12345678);
    EXPECT_EQ(in.i32(4), -1);
    EXPECT_TRUE(in.ok());
    EXPECT_EQ(in.i32(5), 0);
    EXPECT_FALSE(in.ok());
    EXPECT_EQ(in.i32(0), 0x12345678);
    EXPECT_FALSE(in.ok()) << "the flag stays down";
}

TEST(ByteReaderTest, RefusesRangesThatWrapAroundOrStartBeyondTheEnd) {
    const std::string bytes(16, 'x');
    ByteReader in(bytes);
    EXPECT_TRUE(in.bytes(16, 0).empty());
    EXPECT_TRUE(in.ok());
    EXPECT_TRUE(in.bytes(17, 0).empty());
    EXPECT_FALSE(in.ok());
    ByteReader wrap(bytes);
    EXPECT_TRUE(wrap.bytes(8, std::numeric_limits<std::size_t>::max() - 4).empty());
    EXPECT_FALSE(wrap.ok());
}

TEST(ByteReaderTest, ReadsAndWritesDoublesAsEightLittleEndianBytes) {
    std::string out(8, '\0');
    putF64(out, 0, 1.0);
    EXPECT_EQ(out, bytesOf({0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    EXPECT_EQ(ByteReader(out).f64(0), 1.0);
}

TEST(GbkTextTest, PrefixNeverEndsInsideADoubleByteCharacter) {
    struct Case {
        std::string text;
        std::size_t limit;
        std::size_t expected;
    };
    const Case cases[] = {
        {"abc", 5, 3},    {"abc", 2, 2},
        {"a水平", 2, 1},  // the limit falls after the lead byte of 水
        {"a水平", 3, 3},  {"水平", 3, 2},
        {"水\x81", 3, 3},  // a lone lead byte at the very end is one character
        {"水平", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gbkPrefixLength(c.text, c.limit), c.expected) << c.text << " " << c.limit;
    }
}

TEST(GbkTextTest, CaseIsIgnoredOnlyForLettersThatStandAlone) {
    EXPECT_TRUE(equalsIgnoringAsciiCase("Key水A", "kEY水a"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("Key", "Kez"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("ab", "abc"));
    // 0x41 and 0x61 are trail bytes here, so these are two different characters.
    EXPECT_FALSE(equalsIgnoringAsciiCase("\x81\x41", "\x81\x61"));
}

TEST(GbkTextTest, FindsABracketButNotATrailByteThatLooksLikeOne) {
    EXPECT_EQ(findLastAsciiChar("a]b]", ']'), 3u);
    EXPECT_EQ(findLastAsciiChar("a]\x81]", ']'), 1u);
    EXPECT_EQ(findLastAsciiChar("\x81]", ']'), std::string_view::npos);
}

// The first-start file, written out by hand: header, field count and the
// seven descriptors (name, type 10, offset, length 512).
std::string firstStartFile() {
    std::string file(620, '\0');
    auto put = [&](std::size_t at, const std::string& bytes) {
        file.replace(at, bytes.size(), bytes);
    };
    put(0, "WEDB");
    put(4, bytesOf({0x00, 0x00, 0x01, 0x00}));
    put(16, bytesOf({0, 0, 0, 0, 1, 0, 0, 0, 0x04, 0x0E, 0, 0}));
    put(112, bytesOf({7, 0, 0, 0}));
    const char* names[] = {"水平", "垂直", "鼠标键", "控制", "间隔时间", "点击次数", "加入文字"};
    const unsigned offsets[][2] = {{0x04, 0x00}, {0x04, 0x02}, {0x04, 0x04}, {0x04, 0x06},
                                   {0x04, 0x08}, {0x04, 0x0A}, {0x04, 0x0C}};
    for (int i = 0; i < 7; ++i) {
        const std::size_t at = 116 + 72 * i;
        put(at, names[i]);
        put(at + 20, bytesOf({10, 0, 0, 0, offsets[i][0], offsets[i][1], 0, 0, 0, 2, 0, 0}));
    }
    return file;
}

TEST(StoreFormatTest, NewStoreIsTheFirstStartFileByteForByte) {
    std::string image = store::newStoreImage(46367.25);
    ASSERT_EQ(image.size(), 620u);
    EXPECT_EQ(ByteReader(image).f64(8), 46367.25);
    image.replace(8, 8, std::string(8, '\0'));
    EXPECT_EQ(image, firstStartFile());
}

TEST(StoreFormatTest, CreationTimeCountsDaysSinceTheLastDayOf1899) {
    struct Case {
        int year, month, day, hour, minute, second;
        double expected;
    };
    const Case cases[] = {
        {1899, 12, 30, 0, 0, 0, 0.0},    {1900, 1, 1, 0, 0, 0, 2.0},
        {2000, 1, 1, 12, 0, 0, 36526.5}, {2026, 12, 11, 6, 0, 0, 46367.25},
        {1800, 1, 1, 0, 0, 0, -36522.0},
    };
    for (const Case& c : cases) {
        std::tm local{};
        local.tm_year = c.year - 1900;
        local.tm_mon = c.month - 1;
        local.tm_mday = c.day;
        local.tm_hour = c.hour;
        local.tm_min = c.minute;
        local.tm_sec = c.second;
        EXPECT_EQ(store::oleDate(local), c.expected) << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(StoreFormatTest, OpensTheFirstStartFileWithNoRecords) {
    const std::string file = firstStartFile();
    const store::Opened opened = store::openStore(file);
    ASSERT_EQ(opened.problem, store::Problem::none);
    EXPECT_EQ(opened.layout.recordCount, 0);
    EXPECT_EQ(opened.layout.nextSerial, 1);
    EXPECT_EQ(opened.layout.recordSize, 3588);
    EXPECT_EQ(opened.layout.dataStart, 620u);
    EXPECT_FALSE(opened.layout.repaired);
}

StoreSpec withField(int index, FieldSpec field) {
    StoreSpec spec;
    spec.fields[index] = std::move(field);
    return spec;
}

TEST(StoreFormatTest, EveryOpeningCheckRejectsItsBadInput) {
    using store::Problem;
    struct Case {
        const char* what;
        std::string bytes;
        Problem expected;
    };
    StoreSpec negativeCount;
    negativeCount.recordCount = -1;
    StoreSpec zeroRecordSize;
    zeroRecordSize.recordSize = 0;
    StoreSpec hugeRecordSize;
    hugeRecordSize.recordSize = std::numeric_limits<std::int32_t>::max();
    StoreSpec wrongRecordSize;
    wrongRecordSize.recordSize = 3590;
    StoreSpec newerVersion;
    newerVersion.version = 0x00010001;
    StoreSpec wrongMagic;
    wrongMagic.magic = "WEDC";
    StoreSpec zeroSerial;
    zeroSerial.nextSerial = 0;
    StoreSpec negativeFields;
    negativeFields.fieldCount = -7;
    StoreSpec tooManyFields;
    tooManyFields.fieldCount = 8;  // one descriptor more than the file holds
    StoreSpec unterminated;
    unterminated.nameOverride = std::string(17, 'n');
    StoreSpec sixFields;
    sixFields.fields.pop_back();
    sixFields.recordSize = 3588 - 512;
    StoreSpec renamed = withField(6, {"加入文本", 3076});
    StoreSpec numberField = withField(4, {"间隔时间", 2052, 512, 4});
    StoreSpec beyondRecord = withField(6, {"加入文字", 3077});
    StoreSpec tooLong = withField(6, {"加入文字", 3076, 513});
    StoreSpec intoSerial = withField(0, {"水平", 0});
    StoreSpec overlapping = withField(1, {"垂直", 4});
    StoreSpec hugeOffset = withField(2, {"鼠标键", std::numeric_limits<std::int32_t>::max()});
    StoreSpec negativeLength = withField(3, {"控制", 1540, -512});
    const std::string good = storeBytes({});
    const Case cases[] = {
        {"zero bytes", "", Problem::tooShort},
        {"header cut", good.substr(0, 100), Problem::tooShort},
        {"field count cut", good.substr(0, 115), Problem::tooShort},
        {"descriptor cut", good.substr(0, 619), Problem::tooShort},
        {"wrong magic", storeBytes(wrongMagic), Problem::wrongMagic},
        {"version above 0x00010000", storeBytes(newerVersion), Problem::versionTooNew},
        {"record size 0", storeBytes(zeroRecordSize), Problem::badRecordSize},
        {"record size huge", storeBytes(hugeRecordSize), Problem::badRecordSize},
        {"negative record count", storeBytes(negativeCount), Problem::badRecordCount},
        {"nextSerial 0", storeBytes(zeroSerial), Problem::badNextSerial},
        {"negative field count", storeBytes(negativeFields), Problem::badFieldCount},
        {"more fields than descriptors", storeBytes(tooManyFields), Problem::tooShort},
        {"name without terminator", storeBytes(unterminated), Problem::unterminatedName},
        {"field of another type", storeBytes(numberField), Problem::unknownFieldType},
        {"field offset beyond the record", storeBytes(beyondRecord), Problem::fieldOutsideRecord},
        {"field length beyond the record", storeBytes(tooLong), Problem::fieldOutsideRecord},
        {"field over the serial", storeBytes(intoSerial), Problem::fieldOutsideRecord},
        {"huge field offset", storeBytes(hugeOffset), Problem::fieldOutsideRecord},
        {"negative field length", storeBytes(negativeLength), Problem::fieldOutsideRecord},
        {"record size not the fields'", storeBytes(wrongRecordSize),
         Problem::fieldsDoNotFillRecord},
        {"overlapping fields", storeBytes(overlapping), Problem::fieldsDoNotFillRecord},
        {"a field missing", storeBytes(sixFields), Problem::schemaMismatch},
        {"a field renamed", storeBytes(renamed), Problem::schemaMismatch},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(store::openStore(c.bytes).problem, c.expected) << c.what;
    }
}

StepRecord step(std::string x, std::string text = "") {
    return {std::move(x), "200", "左键", "单击", "1000", "1", std::move(text)};
}

std::vector<std::string> cells(const StepRecord& step) {
    return {step.begin(), step.end()};
}

TEST(StoreFormatTest, LowersARecordCountBeyondTheRecordsPresentAndTrimsTheRest) {
    struct Case {
        std::int32_t claimed;
        std::size_t strayBytes;
        std::int32_t expected;
        bool repaired;
    };
    const Case cases[] = {
        {5, 3, 2, true},
        {std::numeric_limits<std::int32_t>::max(), 0, 2, true},
        {2, 3587, 2, false},
        {1, 0, 1, false},  // fewer claimed than present: nothing to repair
    };
    for (const Case& c : cases) {
        StoreSpec spec;
        spec.rows = {cells(step("1")), cells(step("2"))};
        spec.recordCount = c.claimed;
        const std::string bytes = storeBytes(spec) + std::string(c.strayBytes, 'z');
        const store::Opened opened = store::openStore(bytes);
        ASSERT_EQ(opened.problem, store::Problem::none) << c.claimed;
        EXPECT_EQ(opened.layout.recordCount, c.expected) << c.claimed;
        EXPECT_EQ(opened.layout.repaired, c.repaired) << c.claimed;
        if (c.repaired) {
            const std::string repaired = store::repairedImage(bytes, opened.layout);
            EXPECT_EQ(repaired.size(), 620u + 3588u * c.expected);
            EXPECT_EQ(readLe(repaired, 16), c.expected);
            EXPECT_EQ(repaired.substr(20), bytes.substr(20, repaired.size() - 20));
        }
    }
}

TEST(StoreFormatTest, SavedRowsReadBackWithLongTextsCutOnACharacterBoundary) {
    std::string text600;
    text600 += 'a';
    while (text600.size() < 600) {
        text600 += "水";  // odd start, so byte 512 is the trail of a character
    }
    const std::string cell2000(2000, 'q');
    const std::vector<StepRecord> rows = {
        step("100", "你好, world"),
        {"", "", "", "", "", "", ""},
        step("3", text600),
        {cell2000, "1", "中键", "放开", "0", "0", ""},
    };
    const std::string base = store::newStoreImage(1.0);
    const std::string saved = store::saveImage(base, store::openStore(base).layout, rows);
    ASSERT_EQ(saved.size(), 620u + 4 * 3588u);
    const store::Opened opened = store::openStore(saved);
    ASSERT_EQ(opened.problem, store::Problem::none);
    ASSERT_EQ(opened.layout.recordCount, 4);
    EXPECT_EQ(store::readRecord(saved, opened.layout, 0), rows[0]);
    EXPECT_EQ(store::readRecord(saved, opened.layout, 1), rows[1]);
    const StepRecord cut = store::readRecord(saved, opened.layout, 2);
    EXPECT_EQ(cut[6].size(), 511u);
    EXPECT_EQ(cut[6], text600.substr(0, 511));
    // the byte after the cut text is a terminator, not half a character
    EXPECT_EQ(saved[620 + 2 * 3588 + 3076 + 511], '\0');
    const StepRecord whole = store::readRecord(saved, opened.layout, 3);
    EXPECT_EQ(whole[0], std::string(512, 'q')) << "512 bytes stored without a terminator";
    EXPECT_EQ(whole[1], "1");
}

TEST(StoreFormatTest, RecordsGetSerialsFromNextSerialWhichKeepsGrowing) {
    StoreSpec spec;
    spec.nextSerial = 4;
    const std::string bytes = storeBytes(spec);
    const std::vector<StepRecord> rows = {step("1"), step("2"), step("3")};
    const std::string saved = store::saveImage(bytes, store::openStore(bytes).layout, rows);
    EXPECT_EQ(readLe(saved, 16), 3);
    EXPECT_EQ(readLe(saved, 20), 7);
    EXPECT_EQ(readLe(saved, 620), 4);
    EXPECT_EQ(readLe(saved, 620 + 3588), 5);
    EXPECT_EQ(readLe(saved, 620 + 2 * 3588), 6);
}

TEST(StoreFormatTest, SerialsThatWouldRunOutStartAgainAtOne) {
    StoreSpec spec;
    spec.nextSerial = std::numeric_limits<std::int32_t>::max() - 1;
    const std::string bytes = storeBytes(spec);
    const std::vector<StepRecord> rows = {step("1"), step("2"), step("3")};
    const std::string saved = store::saveImage(bytes, store::openStore(bytes).layout, rows);
    EXPECT_EQ(readLe(saved, 620), 1);
    EXPECT_EQ(readLe(saved, 20), 4);
    EXPECT_EQ(store::openStore(saved).problem, store::Problem::none);
}

TEST(StoreFormatTest, FieldsAreFoundByNameWhereverTheyLieAndOtherFieldsAreZeroedOnSave) {
    StoreSpec spec;
    spec.fields = {{"加入文字", 4, 16},  {"点击次数", 20, 16}, {"备注", 36, 16},
                   {"间隔时间", 52, 16}, {"控制", 68, 16},     {"鼠标键", 84, 16},
                   {"垂直", 100, 16},    {"水平", 116, 16},    {"水平", 132, 16}};
    spec.recordSize = 148;
    spec.rows = {{"text", "1", "old note", "1000", "单击", "左键", "20", "10", "second 水平"}};
    spec.nextSerial = 9;
    const std::string bytes = storeBytes(spec);
    const store::Opened opened = store::openStore(bytes);
    ASSERT_EQ(opened.problem, store::Problem::none);
    const StepRecord expected = {"10", "20", "左键", "单击", "1000", "1", "text"};
    EXPECT_EQ(store::readRecord(bytes, opened.layout, 0), expected);

    const StepRecord longer = {"12345678901234567", "2", "右键", "双击", "5", "6",
                               "水平水平水平水平水"};
    const std::string saved = store::saveImage(bytes, opened.layout, {&longer, 1});
    ASSERT_EQ(saved.size(), bytes.size());
    EXPECT_EQ(saved.substr(0, 620 + 2 * 72),
              bytes.substr(0, 620 + 2 * 72).replace(20, 4, bytesOf({10, 0, 0, 0})));
    const StepRecord back = store::readRecord(saved, store::openStore(saved).layout, 0);
    EXPECT_EQ(back[0], "1234567890123456");
    EXPECT_EQ(back[6], "水平水平水平水平");
    EXPECT_EQ(saved.substr(bytes.size() - 148 + 36, 16), std::string(16, '\0')) << "备注";
    EXPECT_EQ(saved.substr(bytes.size() - 148 + 132, 16), std::string(16, '\0')) << "second 水平";
}

}  // namespace
}  // namespace kv::steps
