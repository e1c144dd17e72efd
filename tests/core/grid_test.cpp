// The flash grid image: slots of landmark codes worked out by hand, the CRC,
// and images read back by a C program that knows nothing but the generated
// header.

#include "formats/grid.h"
#include "tests/support/test_workspace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace dotforge::test {
namespace {

using G = GridForm;
using S = CharSet;

struct Landmark {
    GridForm form;
    CharSet set;
    std::string code;
    std::int64_t slot; // -1: outside
};

TEST(Grid, landmarkSlots)
{
    const std::vector<Landmark> rows{
        // 94 x 94 from A1A1.
        {G::Full, S::Gb2312, "\xA1\xA1", 0},
        {G::Full, S::Gb2312, "\xA1\xFE", 93},
        {G::Full, S::Gb2312, "\xA2\xA1", 94},
        {G::Full, S::Gb2312, "\xA9\xFE", 845},
        {G::Full, S::Gb2312, "\xAA\xA1", 846},
        {G::Full, S::Gb2312, "\xB0\xA1", 1410},
        {G::Full, S::Gb2312, "\xF7\xFE", 8177},
        {G::Full, S::Gb2312, "\xFE\xFE", 8835},
        {G::Full, S::Gbt12345, "\xB0\xA1", 1410},
        {G::Full, S::Jisx0208, "\xA4\xA2", 283},
        {G::Full, S::Ksx1001, "\xFE\xFE", 8835},
        {G::Full, S::Gb2312, "\xA1\xA0", -1},
        {G::Full, S::Gb2312, "\xA0\xA1", -1},
        {G::Full, S::Gb2312, "\xFF\xA1", -1},
        {G::Full, S::Jisx0208, "\xA1\xFF", -1},
        {G::Full, S::Gb2312, "AB", -1},
        {G::Full, S::Gb2312, "\xA1", -1},
        {G::Full, S::Gb2312, std::string("\x00\x00\xB0\xA1", 4), -1},
        // The font-ROM grid: rows 1-9, then from row 16.
        {G::Rom, S::Gb2312, "\xA1\xA1", 0},
        {G::Rom, S::Gb2312, "\xA9\xFE", 845},
        {G::Rom, S::Gb2312, "\xAA\xA1", -1},
        {G::Rom, S::Gb2312, "\xAF\xFE", -1},
        {G::Rom, S::Gb2312, "\xB0\xA1", 846},
        {G::Rom, S::Gb2312, "\xB0\xA2", 847},
        {G::Rom, S::Gb2312, "\xB1\xA1", 940},
        {G::Rom, S::Gb2312, "\xD7\xF9", 4600},
        {G::Rom, S::Gbt12345, "\xF7\xFE", 7613},
        {G::Rom, S::Gb2312, "\xF8\xA1", -1},
        {G::Rom, S::Gb2312, "\xFE\xFE", -1},
        {G::Rom, S::Gb2312, "\xB0\xA0", -1},
        {G::Rom, S::Gbk, "\xB0\xA1", -1},
        {G::Rom, S::Jisx0208, "\xB0\xA1", -1},
        // GBK's own grid, 190 cells a row.
        {G::Full, S::Gbk, "\x81\x40", 0},
        {G::Full, S::Gbk, "\x81\x7E", 62},
        {G::Full, S::Gbk, "\x81\x7F", -1},
        {G::Full, S::Gbk, "\x81\x80", 63},
        {G::Full, S::Gbk, "\x81\xFE", 189},
        {G::Full, S::Gbk, "\x82\x40", 190},
        {G::Full, S::Gbk, "\xA1\xA1", 6176},
        {G::Full, S::Gbk, "\xB0\xA1", 9026},
        {G::Full, S::Gbk, "\xFE\xFE", 23939},
        {G::Full, S::Gbk, "\x81\x3F", -1},
        {G::Full, S::Gbk, "\x81\xFF", -1},
        {G::Full, S::Gbk, "\x80\x40", -1},
        {G::Full, S::Gbk, "\xFF\x40", -1},
        {G::Full, S::Unicode, "\xB0\xA1", -1},
    };
    for (const Landmark &row : rows) {
        const auto slot = gridSlot(row.form, row.set, row.code);
        const std::string label = std::string(gridFormName(row.form)) + " " + std::string(charSetName(row.set)) + " "
            + std::to_string(std::uint8_t(row.code[0])) + "," + std::to_string(std::uint8_t(row.code.back()));
        if (row.slot < 0) {
            EXPECT_FALSE(slot) << label;
        } else {
            ASSERT_TRUE(slot) << label;
            EXPECT_EQ(*slot, std::uint32_t(row.slot)) << label;
            EXPECT_EQ(gridCode(row.form, row.set, *slot), row.code) << label;
        }
    }
}

TEST(Grid, slotCountsAndEverySlotRoundTrips)
{
    const std::vector<std::tuple<GridForm, CharSet, std::uint32_t>> counts{{G::Full, S::Gb2312, 8836},
        {G::Full, S::Gbt12345, 8836}, {G::Full, S::Jisx0208, 8836}, {G::Full, S::Ksx1001, 8836},
        {G::Full, S::Gbk, 23940}, {G::Rom, S::Gb2312, 7614}, {G::Rom, S::Gbt12345, 7614}, {G::Rom, S::Gbk, 0},
        {G::Rom, S::Jisx0208, 0}, {G::Rom, S::Ksx1001, 0}, {G::Full, S::Unicode, 0}, {G::Rom, S::Unicode, 0}};
    for (const auto &[form, set, count] : counts) {
        EXPECT_EQ(gridSlotCount(form, set), count) << int(form) << " " << charSetName(set);
        EXPECT_EQ(gridFits(form, set), count > 0);
        EXPECT_EQ(gridProblem({form, set}).has_value(), count == 0);
        for (std::uint32_t slot = 0; slot < count; ++slot)
            ASSERT_EQ(gridSlot(form, set, gridCode(form, set, slot)), slot) << charSetName(set) << " " << slot;
        EXPECT_EQ(gridCode(form, set, count), "");
    }
    // Every code of a set has a slot in its full grid.
    for (const CharSet set : {S::Gb2312, S::Gbk, S::Gbt12345, S::Jisx0208, S::Ksx1001})
        for (const std::uint32_t code : codesOf(set))
            ASSERT_TRUE(gridSlot(G::Full, set, codeBytesOf(set, code))) << charSetName(set) << " " << code;
    EXPECT_EQ(*gridProblem({G::Rom, S::Gbk}),
        "the rom grid holds GB2312 and GB/T 12345 only, not GBK (GBK has the "
        "full grid only)");
    EXPECT_TRUE(gridProblem({G::Full, S::Gb2312, 20}));
    EXPECT_EQ(gridFormNamed("rom"), G::Rom);
    EXPECT_EQ(gridFormNamed("full"), G::Full);
    EXPECT_FALSE(gridFormNamed("Full"));
}

TEST(Grid, crc32AsZlib)
{
    EXPECT_EQ(gridCrc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(gridCrc32(""), 0u);
    EXPECT_EQ(gridCrc32("a"), 0xE8B7BE43u);
    EXPECT_EQ(gridCrc32("6789", gridCrc32("12345")), 0xCBF43926u);
}

TEST(Grid, geometry)
{
    GridSpec spec{G::Full, S::Gb2312, 16};
    EXPECT_EQ(gridGeometry(spec).imageBytes, 282752u);
    spec.header = spec.latin = true;
    const GridGeometry g = gridGeometry(spec);
    EXPECT_EQ(g.latinOffset, 32u + 282752u);
    EXPECT_EQ(g.imageBytes, 32u + 282752u + 95u * 16u);
    const GridGeometry rom24 = gridGeometry({G::Rom, S::Gbt12345, 24, Mode::A, false, true});
    EXPECT_EQ(rom24.latinOffset, 7614u * 72u);
    EXPECT_EQ(rom24.imageBytes, 7614u * 72u + 95u * 48u);
    EXPECT_EQ(gridGeometry({G::Full, S::Gbk, 32, Mode::A, true}).imageBytes, 32u + 23940u * 128u);
    EXPECT_EQ(gridGeometry({G::Rom, S::Gbk, 32}).imageBytes, 0u);
}

TEST(Grid, shortSequencesArePaddedLongOnesCut)
{
    const GridSpec spec{G::Full, S::Jisx0208, 16};
    const GridImage image
        = gridImage(spec, {Sequence{0x11}, Sequence(40, 0x22), Sequence{}}, {"\xA1\xA2", "\xA1\xA1", "\xA1\xA3"});
    std::string want(282752, '\0');
    want.replace(0, 32, std::string(32, '\x22')); // A1A1, slot 0: 32 of the 40 bytes
    want[32] = '\x11'; // A1A2, slot 1: one byte and 31 zeros
    EXPECT_TRUE(image.bytes == want);
    EXPECT_TRUE(image.outside.empty() && image.duplicates.empty());
    // Without a Latin block the half glyphs are left out.
    HalfGlyphs half{"A", {Sequence(16, 0x33)}};
    EXPECT_TRUE(gridImage(spec, {}, {}, half).bytes == std::string(282752, '\0'));
    EXPECT_EQ(gridImage({G::Rom, S::Gbk, 16}, {Sequence(32, 1)}, {"\xB0\xA1"}).bytes, "");
}

// Made-up sequences that tell their code: the code bytes first, then bytes
// derived from them.
Sequence madeUp(std::size_t size, std::uint32_t hi, std::uint32_t lo, std::uint32_t salt = 0)
{
    Sequence s(size);
    for (std::size_t t = 0; t < size; ++t)
        s[t] = t == 0 ? std::uint8_t(hi) : t == 1 ? std::uint8_t(lo) : std::uint8_t(hi * 31 + lo * 17 + t * 101 + salt);
    return s;
}

std::string hexLine(const std::string &label, const std::uint8_t *bytes, std::size_t size)
{
    std::string out = label;
    char h[4];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(h, sizeof h, " %02X", bytes[i]);
        out += h;
    }
    return out + "\n";
}

// The first line in which two texts differ, both ways; empty when they agree.
std::string firstDifference(const std::string &got, const std::string &want)
{
    std::size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at])
        ++at;
    if (at == got.size() && at == want.size())
        return {};
    const auto line = [at](const std::string &text) {
        const std::size_t start = text.rfind('\n', at == 0 ? 0 : at - 1);
        const std::size_t from = start == std::string::npos || at == 0 ? 0 : start + 1;
        return text.substr(from, text.find('\n', from) - from);
    };
    return "got \"" + line(got) + "\", want \"" + line(want) + "\"";
}

// Reads the image through the generated header alone: the header's fields and
// its own bitwise CRC of the data, then for each code of the codes file (one
// hexadecimal number a line) the bytes at grid_offset, or "none", then the
// half-width glyph of every character grid_latin_offset knows.
const char *const kClient = R"(#include "grid.h"
#include <stdio.h>
#include <stdlib.h>

static void dump(const char *label, const unsigned char *p, unsigned long size)
{
    unsigned long i;
    printf("%s", label);
    for (i = 0; i < size; ++i)
        printf(" %02X", p[i]);
    printf("\n");
}

int main(int argc, char **argv)
{
    FILE *f;
    long size;
    unsigned char *image;
    unsigned code;
    char label[16];
    if (argc != 3 || !(f = fopen(argv[1], "rb")))
        return 2;
    fseek(f, 0, SEEK_END);
    size = ftell(f);
    fseek(f, 0, SEEK_SET);
    image = (unsigned char *)malloc((size_t)size);
    if (!image || fread(image, 1, (size_t)size, f) != (size_t)size)
        return 3;
    fclose(f);
    printf("size %ld of %lu\n", size, (unsigned long)GRID_IMAGE_BYTES);
#if GRID_HEADER_BYTES > 0
#define le(p, size) (size == 2 ? (unsigned long)(p)[0] | (unsigned long)(p)[1] << 8 \
                               : (unsigned long)(p)[0] | (unsigned long)(p)[1] << 8 \
                                     | (unsigned long)(p)[2] << 16 | (unsigned long)(p)[3] << 24)
    {
        unsigned long crc = 0xFFFFFFFFul, i;
        int bit;
        for (i = GRID_HEADER_BYTES; i < (unsigned long)size; ++i) {
            crc ^= image[i];
            for (bit = 0; bit < 8; ++bit)
                crc = (crc & 1ul) ? (crc >> 1) ^ 0xEDB88320ul : crc >> 1;
        }
        printf("%.4s v%lu h%lu n%u mode%u form%u set%u slot%lu latin%lu slots%lu latinsize%lu r%lu data%lu "
               "crc%08lX own%08lX\n",
            (const char *)image, le(image + 4, 2), le(image + 6, 2), image[8], image[9], image[10], image[11],
            le(image + 12, 2), le(image + 14, 2), le(image + 16, 4), le(image + 20, 2), le(image + 22, 2),
            le(image + 24, 4), le(image + 28, 4), crc ^ 0xFFFFFFFFul);
    }
#endif
    if (!(f = fopen(argv[2], "r")))
        return 4;
    while (fscanf(f, "%x", &code) == 1) {
        uint32_t at = grid_offset(code);
        sprintf(label, "%04X", code);
        if (at == GRID_NO_SLOT)
            printf("%s none\n", label);
        else if (at + GRID_GLYPH_BYTES > (unsigned long)size)
            printf("%s beyond\n", label);
        else
            dump(label, image + at, GRID_GLYPH_BYTES);
    }
    fclose(f);
#ifdef GRID_LATIN_OFFSET
    {
        int c;
        for (c = 0; c < 256; ++c)
            if (grid_latin_offset((unsigned char)c) != GRID_NO_SLOT) {
                sprintf(label, "L%02X", c);
                dump(label, image + grid_latin_offset((unsigned char)c), GRID_LATIN_BYTES);
            }
    }
#endif
    free(image);
    return 0;
}
)";

struct ClientCase {
    GridSpec spec;
    std::string headerLine; // by hand, with the CRC the C program prints twice
};

TEST(Grid, imagesReadBackByACProgram)
{
#if !defined(GCC_PATH) || !defined(GXX_PATH)
    ADD_FAILURE() << "gcc and g++ were not found when the build was configured";
#else
    const std::vector<ClientCase> cases{
        {{G::Full, S::Gb2312, 16, Mode::C, true, true},
            "DFGR v1 h32 n16 mode2 form0 set0 slot32 latin95 slots8836 latinsize16 r0 data284272"},
        {{G::Rom, S::Gbt12345, 24, Mode::A, false, true}, ""},
        {{G::Full, S::Gbk, 32, Mode::B, true, false},
            "DFGR v1 h32 n32 mode1 form0 set1 slot128 latin0 slots23940 latinsize0 r0 data3064320"},
        {{G::Full, S::Jisx0208, 16, Mode::D, false, false}, ""},
        {{G::Rom, S::Gb2312, 32, Mode::A, true, true},
            "DFGR v1 h32 n32 mode0 form1 set0 slot128 latin95 slots7614 latinsize64 r0 data980672"},
        {{G::Full, S::Ksx1001, 24, Mode::C, true, false},
            "DFGR v1 h32 n24 mode2 form0 set4 slot72 latin0 slots8836 latinsize0 r0 data636192"},
    };
    TempDir dir;
    writeFile(dir.file("client.c"), kClient);
    for (const ClientCase &c : cases) {
        const GridSpec &spec = c.spec;
        SCOPED_TRACE(std::string(gridFormName(spec.form)) + " " + std::string(charSetName(spec.set)) + " "
            + std::to_string(spec.n));
        const std::size_t size = std::size_t(glyphBytes(spec.n));
        // Glyphs for every other code of the set, and for two codes of the grid
        // without a character; the grid's codes in a shuffled order.
        std::vector<std::uint32_t> setCodes = codesOf(spec.set);
        std::vector<std::uint32_t> given;
        for (std::size_t k = 0; k < setCodes.size(); k += 2)
            if (gridSlot(spec.form, spec.set, codeBytesOf(spec.set, setCodes[k])))
                given.push_back(setCodes[k]);
        std::vector<std::uint32_t> blanks;
        for (std::uint32_t slot = 0; slot < gridSlotCount(spec.form, spec.set); ++slot) {
            const std::string code = gridCode(spec.form, spec.set, slot);
            const std::uint32_t number = std::uint32_t(std::uint8_t(code[0])) << 8 | std::uint8_t(code[1]);
            if (!std::binary_search(setCodes.begin(), setCodes.end(), number))
                blanks.push_back(number);
        }
        ASSERT_GE(blanks.size(), 2u);
        given.push_back(blanks.front());
        given.push_back(blanks.back());
        std::shuffle(given.begin(), given.end(), std::mt19937(7));
        std::vector<Sequence> glyphs;
        std::vector<std::string> codes;
        for (const std::uint32_t code : given) {
            glyphs.push_back(madeUp(size, code >> 8, code & 0xFF));
            codes.push_back(codeBytesOf(spec.set, code));
        }
        // Codes outside, and a second glyph of a code: reported, not written.
        const std::size_t first = glyphs.size();
        for (const std::string code : {"\xA1\xFF", "AB", "\xFF\xFF", "\xA1"}) {
            glyphs.push_back(Sequence(size, 0xEE));
            codes.push_back(code);
        }
        glyphs.push_back(Sequence(size, 0xEE));
        codes.push_back(codes.front());
        glyphs.push_back(Sequence(size, 0xEE)); // no code at all

        HalfGlyphs half;
        for (char ch = 0x20; ch <= 0x7E; ++ch)
            if (ch != 'A') {
                half.characters += ch;
                half.glyphs.push_back(madeUp(std::size_t(halfGlyphBytes(spec.n)), std::uint8_t(ch), 0x5A, 3));
            }

        const GridImage image = gridImage(spec, glyphs, codes, half);
        EXPECT_EQ(image.bytes.size(), gridGeometry(spec).imageBytes);
        EXPECT_EQ(image.outside, (std::vector<std::size_t>{first, first + 1, first + 2, first + 3, first + 5}));
        EXPECT_EQ(image.duplicates, std::vector<std::size_t>{first + 4});
        writeFile(dir.file("image.bin"), image.bytes);
        writeFile(dir.file("grid.h"), gridHeader(spec, "grid", "Dotforge test"));

        // Every code of the grid, ascending, and codes outside it.
        std::string codesText;
        std::string expected;
        char label[16];
        for (std::uint32_t slot = 0; slot < gridSlotCount(spec.form, spec.set); ++slot) {
            const std::string code = gridCode(spec.form, spec.set, slot);
            const std::uint32_t number = std::uint32_t(std::uint8_t(code[0])) << 8 | std::uint8_t(code[1]);
            std::snprintf(label, sizeof label, "%04X", number);
            codesText += std::string(label) + "\n";
            const bool has = std::find(given.begin(), given.end(), number) != given.end();
            const Sequence glyph = has ? madeUp(size, number >> 8, number & 0xFF) : Sequence(size, 0);
            expected += hexLine(label, glyph.data(), size);
        }
        std::vector<std::string> outside{"A1FF", "FFFF", "10000", "1B0A1", "0041"};
        if (spec.set == S::Gbk)
            outside.insert(outside.end(), {"817F", "813F", "81FF", "8040", "FF40"});
        else
            outside.insert(outside.end(), {"A1A0", "A0A1", "FFA1"});
        if (spec.form == G::Rom)
            outside.insert(outside.end(), {"AAA1", "AFFE", "F8A1", "FEFE"});
        for (const std::string &code : outside) {
            codesText += code + "\n";
            expected += code + " none\n";
        }
        if (spec.latin)
            for (int ch = 0x20; ch <= 0x7E; ++ch) {
                std::snprintf(label, sizeof label, "L%02X", ch);
                const std::size_t halfSize = std::size_t(halfGlyphBytes(spec.n));
                const Sequence glyph = ch == 'A' ? Sequence(halfSize, 0) : madeUp(halfSize, std::uint32_t(ch), 0x5A, 3);
                expected += hexLine(label, glyph.data(), halfSize);
            }
        writeFile(dir.file("codes.txt"), codesText);

        const std::string size_line
            = "size " + std::to_string(image.bytes.size()) + " of " + std::to_string(image.bytes.size()) + "\n";
        std::string headerLine;
        if (spec.header) {
            char crc[40];
            const std::uint32_t ours = gridCrc32(std::string_view(image.bytes).substr(kGridHeaderBytes));
            std::snprintf(crc, sizeof crc, " crc%08X own%08X\n", ours, ours);
            headerLine = c.headerLine + crc;
        }
        const auto quoted = [&dir](const char *name) {
            std::string out = " '";
            out += dir.file(name);
            return out + "'";
        };
        for (const std::string &compiler :
            {std::string(GCC_PATH) + " -std=c99 -x c", std::string(GXX_PATH) + " -std=c++20 -x c++"}) {
            const std::string build = compiler + " -Wall -Wextra -Werror -pedantic -I" + quoted("") + quoted("client.c")
                + " -o" + quoted("client") + " 2>" + quoted("log");
            ASSERT_EQ(std::system(build.c_str()), 0) << compiler << "\n" << readFile(dir.file("log"));
            const std::string run = quoted("client") + quoted("image.bin") + quoted("codes.txt") + " >" + quoted("out");
            ASSERT_EQ(std::system(run.c_str()), 0) << compiler;
            EXPECT_EQ(firstDifference(readFile(dir.file("out")), size_line + headerLine + expected), "") << compiler;
        }
    }
#endif
}

} // namespace
} // namespace dotforge::test
