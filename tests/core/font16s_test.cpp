// Checks the Font16s file the build generates (FONT16S_PATH) against glyphs
// copied by hand out of /usr/share/unifont/unifont.hex and unifont_jp.hex.

#include "unifont_glyph.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef FONT16S_PATH
#error "FONT16S_PATH must name the generated Font16s file"
#endif

namespace {

const std::vector<unsigned char> &font()
{
    static const std::vector<unsigned char> bytes = [] {
        std::ifstream in(FONT16S_PATH, std::ios::binary);
        return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
    }();
    return bytes;
}

std::string toHex(const unsigned char *bytes, std::size_t count)
{
    std::string hex;
    char digits[3];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
        hex += digits;
    }
    return hex;
}

std::string recordHex(int record)
{
    const std::size_t offset = static_cast<std::size_t>(record) * 32;
    if (offset + 32 > font().size())
        return "record beyond the end of the file";
    return toHex(font().data() + offset, 32);
}

struct ExpectedRecord {
    int record;
    const char *what;
    const char *hex;
};

const char *const Blank = "0000000000000000000000000000000000000000000000000000000000000000";

// Variants start at records 0 (GB2312), 8363 (GB/T 12345), 16731 (JIS X 0208)
// and 24533 (KS X 1001); record k of a variant is area k / 94 + 1,
// position k % 94 + 1.
const ExpectedRecord ExpectedRecords[] = {
    {1410, "GB2312 16-01 U+554A", "00000EFCEA08AA08AAE8AAA8ACA8AAA8AAA8AAA8EAE8AAA80C08080808280810"},
    // U+0101 is 8 wide in Unifont: 0000003C00003C42023E4242463A0000, centred.
    {658, "GB2312 08-01 U+0101, 8 wide", "00000000000003C00000000003C00420002003E004200420046003A000000000"},
    {846, "GB2312 10-01, no character", Blank},
    {9773, "kGB1 1601 U+554A", "00000EFCEA08AA08AAE8AAA8ACA8AAA8AAA8AAA8EAE8AAA80C08080808280810"},
    // GB2312 43-63 is the simplified U+8BC9; kGB1 4363 is the traditional U+8A34.
    {12373, "kGB1 4363 U+8A34", "2008101C01E0FD000100790001FE7910011079304918491449127A104A100410"},
    {8583, "no kGB1 for 03-33: GB2312 U+FF21", "000000000000000003C00C300C30300C300C3FFC300C300C300C300C00000000"},
    // The Japanese glyph of unifont_jp.hex, not the one of unifont.hex.
    {18141, "JIS 16-01 U+4E9C", "00003FFE0220022002201FFC12241224122412241FFC0220022002207FFF0000"},
    // File area 12 is KS X 1001 row 12; area 13 is row 16.
    {25567, "KS X 1001 12-01 U+0410, 8 wide", "00000000000000000180024002400420042007E0042004200420042000000000"},
    {25661, "KS X 1001 16-01 U+AC00", "00000000001000101F9000900090009E01100110021004101810001000100000"},
    {33274, "file area 93 = KS X 1001 row 96, none", Blank},
};

} // namespace

TEST(Font16sFile, HoldsFourVariantsOfWholeRecords)
{
    EXPECT_EQ(font().size(), 1064800u) << FONT16S_PATH;
}

TEST(Font16sFile, RecordsHoldTheirUnifontGlyphs)
{
    for (const ExpectedRecord &expected : ExpectedRecords) {
        SCOPED_TRACE(std::to_string(expected.record) + " " + expected.what);
        EXPECT_EQ(recordHex(expected.record), expected.hex);
    }
}

TEST(Font16sGlyph, RejectsMalformedUnifontHex)
{
    const char *const malformed[] = {
        "",
        "0000000018242442427E42424242000", // 31 digits
        "0000000018242442427E4242424200000", // 33 digits
        "00000000182424G2427E424242420000", // not a hex digit
        "0000000018242442427E424242420000 ", // trailing blank makes 33
    };
    for (const char *hex : malformed) {
        SCOPED_TRACE(std::string("\"") + hex + "\"");
        EXPECT_FALSE(Font16s::glyphFromHex(hex).has_value());
    }
    const auto lowerCase = Font16s::glyphFromHex("0000003c00003c42023e4242463a0000");
    ASSERT_TRUE(lowerCase.has_value());
    EXPECT_EQ(toHex(lowerCase->data(), 32), "00000000000003C00000000003C00420002003E004200420046003A000000000");
}
