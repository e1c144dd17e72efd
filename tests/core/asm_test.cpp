// The .ASM format: DB lines of "0XXH" values, the code after ";" on each glyph's
// first line.

#include "formats/asm.h"
#include "formats/zmb.h"
#include "tests/core/formats_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace dotforge::test {
namespace {

const std::string kZeroLine = "\tDB\t000H,000H,000H,000H,000H,000H,000H,000H\r\n";
const std::string kFullLine = "\tDB\t0FFH,0FFH,0FFH,0FFH,0FFH,0FFH,0FFH,0FFH\r\n";
const std::string kFirstFullLine = "\tDB\t0FFH,0FFH,0FFH,0FFH,0FFH,0FFH,0FFH,0FFH;\xB0\xA1\r\n";

std::vector<Sequence> sequencesOf(const std::vector<GlyphPlane> &planes, int n)
{
    std::vector<Sequence> out;
    for (const GlyphPlane &p : planes)
        out.push_back(squareBytes(p, n));
    return out;
}

TEST(HextoInt, leadingHexDigits)
{
    const std::pair<const char *, int> cases[] = {
        {"0F", 15},
        {"ff", 255},
        {"A0", 160},
        {"1G", 1},
        {"", 0},
        {"G1", 0},
        {",F", 0},
        {"0FFH", 255},
        {"7fffffff", 0x7fffffff},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(HextoInt(text), value) << text;
}

TEST(Asm, fullTopRowWithCodeAh)
{
    // 16 dots, mode C, the top row set: the first of the four lines carries the code.
    const std::string text = writeAsm(sequencesOf({threeGlyphs()[0]}, 16), {"\xB0\xA1"}, 16);
    EXPECT_EQ(text, "\tDB\t0FFH,0FFH,000H,000H,000H,000H,000H,000H;\xB0\xA1\r\n" + kZeroLine + kZeroLine + kZeroLine);
}

TEST(Asm, goldenLibrariesWriteAndReadBack)
{
    EXPECT_EQ(writeAsm(sequencesOf(threeGlyphs(), 16), kThreeCodes, 16), golden("three16c.asm"));
    const LibraryContent three = readAsm(golden("three16c.asm"), 16);
    EXPECT_EQ(three.glyphs, sequencesOf(threeGlyphs(), 16));
    EXPECT_EQ(three.codes, kThreeCodes);
    EXPECT_EQ(writeAsm({}, {}, 24), "");
}

TEST(Asm, thirtyTwoDotLines)
{
    const std::string text = golden("row_pattern32c.asm");
    EXPECT_EQ(text.find("\r\n"), 86u); // the first line holds 16 values, ";" and the code
    const LibraryContent content = readAsm(text, 32);
    ASSERT_EQ(content.glyphs.size(), 1u);
    EXPECT_EQ(content.codes[0], "\xB0\xA1");
    const Sequence &g = content.glyphs[0];
    for (int r = 0; r < 32; ++r) {
        EXPECT_EQ(g[std::size_t(4 * r)], r);
        EXPECT_EQ(g[std::size_t(4 * r + 1)], 0x20 + r);
        EXPECT_EQ(g[std::size_t(4 * r + 2)], 0x40 + r);
        EXPECT_EQ(g[std::size_t(4 * r + 3)], 0x80 + r);
    }
    EXPECT_EQ(writeAsm(content.glyphs, content.codes, 32), text);
}

// How the reader takes a glyph's first line: the first 8 bytes and the code.
struct FirstLine {
    const char *line;
    std::vector<int> values;
    std::string code;
};

class FirstLineTest : public ::testing::TestWithParam<FirstLine> { };

TEST_P(FirstLineTest, valuesAndCode)
{
    const FirstLine p = GetParam();
    const LibraryContent content = readAsm(std::string(p.line) + "\r\n" + kZeroLine + kZeroLine + kZeroLine, 16);
    ASSERT_EQ(content.glyphs.size(), 1u);
    for (std::size_t t = 0; t < 8; ++t)
        EXPECT_EQ(content.glyphs[0][t], p.values[t]) << "byte " << t;
    EXPECT_EQ(content.codes[0], p.code);
}

INSTANTIATE_TEST_SUITE_P(Lines, FirstLineTest,
    ::testing::Values(
        // Lower-case digits read as upper case.
        FirstLine{"\tDB\t0ffH,0a5H,000H,000H,000H,000H,000H,001H;\xB0\xA1", {0xFF, 0xA5, 0, 0, 0, 0, 0, 1}, "\xB0\xA1"},
        // A lower-case suffix ends no value: every value shifts by one and the
        // last one reads the two characters after the last "H".
        FirstLine{"\tDB\t0FFh,012H,034H,056H,078H,09AH,0BCH,0DEH;\xB0\xA1",
            {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0}, "\xB0\xA1"},
        // One digit before "H": the separator before it ends the scan.
        FirstLine{"\tDB\t0FH,FH,011H,000H,000H,000H,000H,000H;ab", {0x0F, 0, 0x11, 0, 0, 0, 0, 0}, "ab"},
        // No ";": the code is the first two characters after the last value.
        FirstLine{"\tDB\t001H,002H,003H,004H,005H,006H,007H,008Hxy", {1, 2, 3, 4, 5, 6, 7, 8}, "xy"},
        // One byte after ";", and "H" as the first character.
        FirstLine{"H,001H,002H,003H,004H,005H,006H,007H;A", {0, 1, 2, 3, 4, 5, 6, 7}, "A"},
        // Fewer values than the row needs: the rest read the start of what is left.
        FirstLine{"\tDB\t0A0H,0B0H;\xB0\xA2", {0xA0, 0xB0, 0, 0, 0, 0, 0, 0}, "\xB0\xA2"},
        // Only the CR right before the LF belongs to the line end.
        FirstLine{"\tDB\t0FFH,0FFH,000H,000H,000H,000H,000H,000H;\r", {0xFF, 0xFF, 0, 0, 0, 0, 0, 0}, "\r"}));

TEST(Asm, trailingEmptyLineAndCtrlZ)
{
    const std::string glyph = kFirstFullLine + kFullLine + kFullLine + kFullLine;
    EXPECT_EQ(readAsm(glyph + glyph + "\r\n", 16).glyphs.size(), 2u);
    EXPECT_EQ(readAsm(glyph + glyph + "\x1a", 16).glyphs.size(), 2u);
    EXPECT_EQ(readAsm(glyph + "\x1a" + glyph, 16).glyphs.size(), 1u);
    EXPECT_EQ(readAsm("", 16).glyphs.size(), 0u);
    std::string unixGlyph = glyph;
    for (auto at = unixGlyph.find("\r\n"); at != std::string::npos; at = unixGlyph.find("\r\n", at))
        unixGlyph.erase(at, 1);
    EXPECT_EQ(readAsm(unixGlyph + unixGlyph, 16).codes, (std::vector<std::string>{"\xB0\xA1", "\xB0\xA1"}));
    EXPECT_EQ(readAsm("\r\n" + glyph, 16).glyphs.size(), 0u);
}

// A file without line ends (a binary chosen as .ASM) must not be held whole: a
// line keeps its first LineReader::kMaxLine bytes, the rest of it is skipped.
TEST(Asm, overlongLineIsCutAndTheNextLineFollows)
{
    const std::size_t junk = 8 * LineReader::kMaxLine;
    std::size_t delivered = 0;
    const std::string tail = "\r\n" + kFullLine;
    LineReader lines([&](char *buffer, std::size_t max) {
        std::size_t count = 0;
        for (; count < max && delivered < junk + tail.size(); ++count, ++delivered)
            buffer[count] = delivered < junk ? 'H' : tail[delivered - junk];
        return count;
    });
    const std::string cut = lines.readLine();
    EXPECT_EQ(cut.size(), LineReader::kMaxLine);
    EXPECT_EQ(cut.find_first_not_of('H'), std::string::npos);
    EXPECT_EQ(lines.readLine(), kFullLine.substr(0, kFullLine.size() - 2));
    EXPECT_TRUE(lines.atEnd());

    // A glyph line that long still gives its values and its code.
    const std::string first = "\tDB\t0FFH,0FFH,000H,000H,000H,000H,000H,001H;\xB0\xA1"
        + std::string(2 * LineReader::kMaxLine, ' ') + "\r\n";
    const LibraryContent content = readAsm(first + kFullLine + kFullLine + kFullLine, 16);
    ASSERT_EQ(content.glyphs.size(), 1u);
    EXPECT_EQ(content.glyphs[0][7], 0x01);
    EXPECT_EQ(content.glyphs[0][8], 0xFF);
    EXPECT_EQ(content.codes[0], "\xB0\xA1");
}

// Bytes no text holds, in a line's values, are no .ASM file (a .ZMB file chosen
// with the wrong file type): refused whole. After the first ";" (the comment,
// and on a glyph's first line the raw code) anything goes, as the writer puts
// any code there.
TEST(Asm, binaryBytesInTheValuesAreRefused)
{
    const std::string ctrlCode = "\tDB\t0FFH,0FFH,0FFH,0FFH,0FFH,0FFH,0FFH,0FFH;" + std::string("\0\x01", 2) + "\r\n";
    const std::string full = kFullLine + kFullLine + kFullLine;
    EXPECT_EQ(readAsm(ctrlCode + full, 16).codes, std::vector<std::string>{std::string("\0\x01", 2)});
    EXPECT_EQ(readAsm(writeAsm({Sequence(32, 0)}, {std::string("\0\0", 2)}, 16), 16).codes.size(), 1u);
    // Form feed, Ctrl-Z and a CR inside the values are text.
    EXPECT_EQ(
        readAsm(kFirstFullLine + "\f" + kFullLine + kFullLine + "\tDB\t0FFH\r,0FFH\x1a\r\n", 16).glyphs.size(), 1u);

    const std::pair<std::string, std::pair<std::int64_t, int>> refused[] = {
        {golden("three16c.zmb"), {1, 0x00}},
        {kFirstFullLine
                + "\tDB\t0FFH,\x01"
                  "FFH\r\n"
                + full,
            {2, 0x01}},
        {kFirstFullLine + kFullLine + kFullLine + kFullLine + kFirstFullLine + "\tDB\x7F\r\n", {6, 0x7F}},
        // Refused even where the line alone would have ended the reading.
        {std::string("\x80\x00\x80\x00\n\n", 6), {1, 0x00}},
    };
    for (const auto &[text, where] : refused) {
        try {
            readAsm(text, 16);
            ADD_FAILURE() << "read: " << text.substr(0, 60);
        } catch (const FormatError &e) {
            EXPECT_EQ(e.fault(), FormatError::Fault::NotText);
            EXPECT_EQ(e.number(), where.first);
            EXPECT_EQ(e.code(), std::string(1, char(where.second)));
        }
    }
}

TEST(Asm, glyphCutShort)
{
    const std::string full = kFirstFullLine + kFullLine + kFullLine + kFullLine;
    const std::string ones = "\tDB\t011H,011H,011H,011H,011H,011H,011H,011H";

    // Cut after its third line: kept, the rows of the fourth line clear.
    LibraryContent content = readAsm(full + ones + ";ab\r\n" + ones + "\r\n" + ones + "\r\n", 16);
    ASSERT_EQ(content.glyphs.size(), 2u);
    EXPECT_EQ(Sequence(content.glyphs[1].begin(), content.glyphs[1].begin() + 24), Sequence(24, 0x11));
    EXPECT_EQ(Sequence(content.glyphs[1].begin() + 24, content.glyphs[1].end()), Sequence(8, 0));
    EXPECT_EQ(content.codes[1], "ab");

    // An empty line after the third line ends the glyph; reading goes on.
    content = readAsm(ones + "\r\n" + ones + "\r\n" + ones + "\r\n\r\n" + full, 16);
    ASSERT_EQ(content.glyphs.size(), 2u);
    EXPECT_EQ(content.codes[1], "\xB0\xA1");

    // Cut after its second line: dropped, and reading ends there.
    content = readAsm(full + ones + "\r\n" + ones + "\r\n\r\n" + full, 16);
    EXPECT_EQ(content.glyphs.size(), 1u);
    EXPECT_EQ(readAsm(full + ones + "\r\n" + ones, 16).glyphs.size(), 1u);
}

TEST(Asm, moreThanTwoHundredGlyphs)
{
    const std::string glyph = kFirstFullLine + kFullLine + kFullLine + kFullLine;
    std::string text;
    for (int g = 0; g < 200; ++g)
        text += glyph;
    LibraryContent content = readAsm(text, 16);
    EXPECT_EQ(content.glyphs.size(), 200u);
    EXPECT_FALSE(content.cutShort);

    // A 201st glyph of two lines is no glyph.
    content = readAsm(text + kFirstFullLine + kFullLine, 16);
    EXPECT_EQ(content.glyphs.size(), 200u);
    EXPECT_FALSE(content.cutShort);

    content = readAsm(text + glyph + glyph, 16);
    EXPECT_EQ(content.glyphs.size(), 200u);
    EXPECT_TRUE(content.cutShort);
}

// nasm turns every written file into the glyph bytes of the matching .ZMB,
// whatever the codes behind the ";": at 16 dots every byte pair of the GBK
// range, at each size every lead byte with the trail byte 5C ("\"), which
// must not join the next line to the comment.
TEST(Asm, assemblesToTheZmbGlyphBytes)
{
    TempDir dir;
    for (const int n : {16, 24, 32}) {
        std::vector<std::string> codes{"\xB0\xA1", "A", "", "\\", "\x81\\", "\\\xB0"};
        for (int lead = 0x81; lead <= 0xFE; ++lead)
            for (int trail = 0x40; trail <= 0xFE; ++trail)
                if (trail != 0x7F && (n == 16 || trail == 0x5C))
                    codes.push_back({char(lead), char(trail)});
        std::vector<Sequence> glyphs;
        std::string glyphBytes;
        for (std::size_t g = 0; g < codes.size(); ++g) {
            Sequence s(std::size_t(n * n / 8));
            for (std::size_t t = 0; t < s.size(); ++t)
                s[t] = std::uint8_t(t * 7 + g * 91);
            glyphs.push_back(s);
            glyphBytes.append(s.begin(), s.end());
        }
        const std::string path = dir.file("lib" + std::to_string(n) + ".asm");
        const std::string text = writeAsm(glyphs, codes, n);
        writeFile(path, text);
        // Compared by the first difference: the texts are megabytes long.
        const std::string assembled = assemble(path);
        const std::size_t at
            = std::size_t(std::mismatch(assembled.begin(), assembled.end(), glyphBytes.begin(), glyphBytes.end()).first
                - assembled.begin());
        EXPECT_EQ(at, glyphBytes.size()) << n << " dots: " << assembled.size()
                                         << " bytes assembled, the first difference in glyph " << at / glyphs[0].size()
                                         << " of " << glyphs.size();
        // Read back: the same glyphs and codes; the one-byte code "\" has
        // the space after it as its second byte.
        const LibraryContent back = readAsm(text, n, int(codes.size()));
        codes[3] = "\\ ";
        EXPECT_TRUE(back.glyphs == glyphs) << n;
        EXPECT_TRUE(back.codes == codes) << n;
    }
    for (const char *name : {"three16c.asm", "row_pattern32c.asm"})
        writeFile(dir.file(name), golden(name));
    EXPECT_EQ(assemble(dir.file("three16c.asm")), golden("three16c.zmb").substr(0, 96));
    EXPECT_EQ(assemble(dir.file("row_pattern32c.asm")),
        writeZmb(readAsm(golden("row_pattern32c.asm"), 32).glyphs, {}).substr(0, 128));
}

} // namespace
} // namespace dotforge::test
