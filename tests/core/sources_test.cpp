// The glyph sources: records of "Font16s", rendering a code into the planes and
// the editor, the code table, and the default effects at render time.

#include "core/io_error.h"
#include "sources/code_table.h"
#include "sources/glyph_sources.h"
#include "sources/latin_glyphs.h"
#include "tests/support/test_workspace.h"
#include "workspace/workspace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <map>
#include <optional>

using namespace dotforge;
using namespace dotforge::test;

namespace {

// Paints ASCII art ('#' pixels) in one colour at a fixed place of the surface,
// wherever the workspace asks it to draw; it records the request.
class ArtRasterizer : public Rasterizer {
public:
    void drawText(
        Surface40 &surface, const std::string &text, const std::string &face, int pointSize, int x, int y) override
    {
        lastText = text;
        lastFace = face;
        lastPointSize = pointSize;
        lastX = x;
        lastY = y;
        for (std::size_t r = 0; r < art.size(); ++r)
            for (std::size_t c = 0; c < art[r].size(); ++c)
                if (art[r][c] == '#')
                    surface.setPixel(originX + int(c), originY + int(r), colour);
    }
    std::vector<std::string> art;
    int originX = 5;
    int originY = 5;
    std::uint32_t colour = 0x000000;
    std::string lastText;
    std::string lastFace;
    int lastPointSize = 0;
    int lastX = 0;
    int lastY = 0;
};

std::string code(unsigned char b0, unsigned char b1)
{
    return {char(b0), char(b1)};
}

// A plane whose every byte is `fill`: shows which bytes a command rewrote.
GlyphPlane filledPlane(std::uint8_t fill)
{
    GlyphPlane p;
    p.bytes.fill(fill);
    return p;
}

std::string fileRecord(std::int64_t record)
{
    static const std::string font = readFile(font16sPath());
    return font.substr(std::size_t(record) * 32, 32);
}

std::string bufferBytes(const Workspace &ws)
{
    return {ws.codeTable().recordBuf().begin(), ws.codeTable().recordBuf().end()};
}

std::string firstBytes(const Workspace &ws, std::size_t count)
{
    return bufferBytes(ws).substr(0, count);
}

// A 16 x 16 glyph, blank but for the rows given.
std::vector<std::string> art16(const std::map<int, std::string> &rows)
{
    std::vector<std::string> art(16, std::string(16, '.'));
    for (const auto &[row, text] : rows)
        art[std::size_t(row)] = text;
    return art;
}

// Ink in every byte of the source plane and the edit plane, to show which
// bytes a command rewrote: a 32-dot render of a face that inks the whole square,
// then back to 16 dots, whose render keeps it. Nothing is drawn afterwards.
void inkSourcePlane(TestWorkspace &tw)
{
    tw.blank().art.assign(32, std::string(32, '#'));
    tw->mnu32Click();
    tw->mnu16Click();
    tw.blank().art.clear();
    EXPECT_EQ(tw->codeTable().sourcePlane(), filledPlane(0xFF));
}

// The dot-matrix source with a variant, as the user chooses them.
void chooseVariant(Workspace &ws, int item)
{
    ws.RUClick();
    ws.UJFClick(item);
}

// 啊 in "Font16s", record 1410.
const std::vector<std::string> kAh16 = {
    "................",
    "....###.######..",
    "###.#.#.....#...",
    "#.#.#.#.....#...",
    "#.#.#.#.###.#...",
    "#.#.#.#.#.#.#...",
    "#.#.##..#.#.#...",
    "#.#.#.#.#.#.#...",
    "#.#.#.#.#.#.#...",
    "#.#.#.#.#.#.#...",
    "###.#.#.###.#...",
    "#.#.#.#.#.#.#...",
    "....##......#...",
    "....#.......#...",
    "....#.....#.#...",
    "....#......#....",
};

} // namespace

// ---- dot-matrix reader -------------------------------------------------------

struct VariantCell {
    int item;
    std::int64_t fileRecord; // area 16, position 1 of the variant
    const char *code; // the code the table gives that cell
    const char *first8; // first bytes of the record
};

class Area16OfVariant : public testing::TestWithParam<VariantCell> { };

TEST_P(Area16OfVariant, ReadsItsRecord)
{
    const VariantCell v = GetParam();
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    chooseVariant(ws, v.item);
    ws.SE1Typed(16);
    EXPECT_EQ(ws.CurCode(), v.code);
    EXPECT_EQ(firstBytes(ws, 8), std::string(v.first8, 8));
    EXPECT_EQ(bufferBytes(ws), fileRecord(v.fileRecord));
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(ws.codeTable().sourcePlane().at(row, 0), std::uint8_t(v.first8[2 * row]));
        EXPECT_EQ(ws.codeTable().sourcePlane().at(row, 1), std::uint8_t(v.first8[2 * row + 1]));
    }
    EXPECT_EQ(ws.editPlane(), ws.codeTable().sourcePlane());
}

// The record position itself: a file that ends right after the record still
// delivers it, one that ends right before it does not.
TEST_P(Area16OfVariant, LastRecordOfAShortFileIsTheOne)
{
    const VariantCell v = GetParam();
    const std::string font = readFile(font16sPath());
    for (const bool includesRecord : {true, false}) {
        TestWorkspace tw({false, false, nullptr});
        writeFile(tw.dir().file("Font16s"), font.substr(0, std::size_t(v.fileRecord + (includesRecord ? 1 : 0)) * 32));
        tw->FormCreate();
        // The source, the variant and the area as the user chooses them; a read
        // that fails on the way is shown and the choice stays.
        tw->run([&] { tw->RUClick(); });
        tw->run([&] { tw->UJFClick(v.item); });
        tw->run([&] { tw->SE1Typed(16); });
        if (includesRecord) {
            tw->SE1Change();
            EXPECT_EQ(firstBytes(tw.ws(), 8), std::string(v.first8, 8));
        } else {
            try {
                tw->SE1Change();
                ADD_FAILURE() << "read past the end of a short file";
            } catch (const IoError &e) {
                EXPECT_STREQ(e.what(), "Read beyond end of file");
            }
        }
    }
}

// The table alone, with no workspace: area 16 of the variant (file area 13 of
// the Korean one) gives its first cell's code and record; painting a cell
// leaves the source plane as it was.
TEST_P(Area16OfVariant, TheTableAloneShowsItsCodeAndRecord)
{
    const VariantCell v = GetParam();
    CodeTable table;
    table.reset();
    table.openFontFile(font16sPath());
    const SourceChoice source{false, true, v.item};
    EXPECT_EQ(table.setArea(16, source), 16);
    table.showArea(source);
    EXPECT_EQ(table.selectedCode(), std::optional<std::string>(v.code));
    const CodeTableCell cell = table.cell(0, 0, source);
    EXPECT_TRUE(cell.fromFont16s);
    EXPECT_EQ(std::string(cell.record.begin(), cell.record.end()), fileRecord(v.fileRecord));
    EXPECT_EQ(table.sourcePlane(), GlyphPlane{});
}

INSTANTIATE_TEST_SUITE_P(Variants, Area16OfVariant,
    testing::Values(VariantCell{0, 1410, "\xB0\xA1", "\x00\x00\x0E\xFC\xEA\x08\xAA\x08"},
        VariantCell{1, 9773, "\xB0\xA1", "\x00\x00\x0E\xFC\xEA\x08\xAA\x08"},
        VariantCell{2, 18141, "\xB0\xA1", "\x00\x00\x3F\xFE\x02\x20\x02\x20"},
        VariantCell{3, 25661, "\xAD\xA1", "\x00\x00\x00\x00\x00\x10\x00\x10"}));

TEST(CodeRecordIndex, BytesAreUnsignedAndUnchecked)
{
    EXPECT_EQ(codeRecordIndex("\xA1\xA1"), 0);
    EXPECT_EQ(codeRecordIndex("\xB0\xA1"), 1410);
    EXPECT_EQ(codeRecordIndex("\xAD\xA1"), 1128);
    EXPECT_EQ(codeRecordIndex("\xFE\xFE"), 8835);
    EXPECT_EQ(codeRecordIndex("!!"), -12160);
}

// The code B0 A1 is record index 1410 of whichever variant is chosen.
TEST(DotMatrixRender, SameCodeMovesWithTheVariant)
{
    const std::int64_t expected[] = {1410, 9773, 18141, 25943};
    TestWorkspace tw;
    for (int item = 0; item < 4; ++item) {
        chooseVariant(tw.ws(), item);
        tw->ChTextOut("\xB0\xA1");
        EXPECT_EQ(bufferBytes(tw.ws()), fileRecord(expected[item])) << "variant " << item;
    }
}

TEST(DotMatrixRender, FillsBothPlanesAndTheEditor)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    inkSourcePlane(tw);
    chooseVariant(ws, 0);
    showLibraryGlyph(ws, filledPlane(0xC3)); // Add goes off in the library view
    ws.ChTextOut("\xB0\xA1");
    EXPECT_EQ(artFromPlane(ws.codeTable().sourcePlane(), 16), kAh16);
    EXPECT_EQ(tw.grid(), kAh16);
    EXPECT_TRUE(ws.controls().AddBtn.enabled);
    // Only bytes 0 and 1 of rows 0 to 15 are the glyph's; the others keep theirs.
    for (int row = 0; row < 32; ++row)
        for (int byte = 0; byte < 4; ++byte) {
            if (row < 16 && byte < 2) {
                EXPECT_EQ(ws.editPlane().at(row, byte), ws.codeTable().sourcePlane().at(row, byte));
                continue;
            }
            EXPECT_EQ(ws.codeTable().sourcePlane().at(row, byte), 0xFF) << row << "/" << byte;
            EXPECT_EQ(ws.editPlane().at(row, byte), 0xC3) << row << "/" << byte;
        }
}

// A code of the chosen variant reads its record, up to the variant's last one.
// A code outside it (typed or imported text gives any byte pair) reads nothing:
// neither another variant's record nor a position before the start of the
// file; the glyph is blank, as for a character a TrueType face lacks.
struct VariantCode {
    int item; // -1: no item chosen
    const char *code;
    std::int64_t fileRecord; // -1: outside the variant
};

class CodeOfTheVariant : public testing::TestWithParam<VariantCode> { };

TEST_P(CodeOfTheVariant, ReadsItsRecordOrGivesABlankGlyph)
{
    const VariantCode v = GetParam();
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    inkSourcePlane(tw);
    chooseVariant(ws, v.item);
    showLibraryGlyph(ws, filledPlane(0x22));
    tw.setGrid({"#..#"});
    const std::string before = bufferBytes(ws);
    tw.prompts().clear();

    EXPECT_TRUE(ws.run([&] { ws.ChTextOut(v.code); }));
    EXPECT_TRUE(tw.prompts().log().empty());
    EXPECT_EQ(bufferBytes(ws), v.fileRecord < 0 ? before : fileRecord(v.fileRecord));
    const std::string glyph = v.fileRecord < 0 ? std::string(32, '\0') : fileRecord(v.fileRecord);
    for (int row = 0; row < 32; ++row)
        for (int byte = 0; byte < 4; ++byte) {
            const bool inGlyph = row < 16 && byte < 2;
            const std::uint8_t dots = inGlyph ? std::uint8_t(glyph[std::size_t(2 * row + byte)]) : 0;
            EXPECT_EQ(ws.codeTable().sourcePlane().at(row, byte), inGlyph ? dots : 0xFF) << row << "/" << byte;
            EXPECT_EQ(ws.editPlane().at(row, byte), inGlyph ? dots : 0x22) << row << "/" << byte;
        }
    EXPECT_EQ(tw.grid(), artFromPlane(ws.codeTable().sourcePlane(), 16));
    EXPECT_TRUE(ws.controls().AddBtn.enabled);
}

INSTANTIATE_TEST_SUITE_P(Codes, CodeOfTheVariant,
    testing::Values(VariantCode{0, "\xA1\xA1", 0}, VariantCode{0, "\xF9\xFB", 8362}, VariantCode{0, "\xF9\xFC", -1},
        VariantCode{0, "!!", -1}, VariantCode{0, "\x81\x40", -1}, VariantCode{0, "\xA1\xFF", -1},
        VariantCode{0, "\xA0\xFE", -1}, VariantCode{1, "\xFA\xA2", 16730}, VariantCode{1, "\xFA\xA3", -1},
        VariantCode{1, "\x81\x40", -1}, VariantCode{1, "!!", -1}, VariantCode{2, "\xF3\xFE", 24532},
        VariantCode{2, "\xF4\xA1", -1}, VariantCode{3, "\xFD\xFE", 33274}, VariantCode{3, "\xFE\xFE", -1},
        VariantCode{3, "!!", -1}, VariantCode{-1, "\xF9\xFB", 8362}, VariantCode{-1, "\xF9\xFC", -1}));

// A code of the variant whose record lies wholly or partly past the end of a
// short file: the read fails with the run-time text and changes nothing.
struct FailingRead {
    int item;
    const char *code;
    std::size_t fileBytes; // what is left of the file
    const char *box; // the default error handler's text
};

class FailingDotMatrixRead : public testing::TestWithParam<FailingRead> { };

TEST_P(FailingDotMatrixRead, ReportsAndKeepsThePlanes)
{
    const FailingRead f = GetParam();
    TestWorkspace tw({false, false, nullptr});
    writeFile(tw.dir().file("Font16s"), readFile(font16sPath()).substr(0, f.fileBytes));
    Workspace &ws = tw.ws();
    ws.FormCreate();
    inkSourcePlane(tw);
    // The source and the variant as the user leaves them: choosing them paints
    // the code table, whose reads fail as well, and the choice stays.
    ws.run([&] { ws.RUClick(); });
    ws.run([&] { ws.UJFClick(f.item); });
    showLibraryGlyph(ws, filledPlane(0x22));
    tw.setGrid({"#..#"});
    const auto before = ws.codeTable().recordBuf();
    const GlyphPlane source = ws.codeTable().sourcePlane();
    tw.prompts().clear();

    EXPECT_FALSE(ws.run([&] { ws.ChTextOut(f.code); }));
    EXPECT_EQ(tw.prompts().texts("ioerror"), std::vector<std::string>{f.box});
    EXPECT_EQ(ws.codeTable().sourcePlane(), source);
    EXPECT_EQ(ws.editPlane(), filledPlane(0x22));
    EXPECT_EQ(ws.codeTable().recordBuf(), before);
    EXPECT_EQ(tw.grid()[0], "#..#............");
    EXPECT_FALSE(ws.controls().AddBtn.enabled);
}

INSTANTIATE_TEST_SUITE_P(Codes, FailingDotMatrixRead,
    testing::Values(FailingRead{0, "\xB0\xA1", 1410 * 32, "Read beyond end of file."},
        FailingRead{1, "\xB0\xA1", 9773 * 32 + 16, "Read beyond end of file."},
        FailingRead{3, "\xFD\xFE", 33274 * 32, "Read beyond end of file."}));

TEST(ReadUDot, PositionsNoFileCanHoldFailCleanly)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    ws.UJFClick(3);
    const GlyphPlane before = ws.codeTable().sourcePlane();
    const std::int64_t huge[] = {std::numeric_limits<std::int64_t>::max(),
        std::numeric_limits<std::int64_t>::max() - 24533, std::int64_t(1) << 58, std::int64_t(1) << 50};
    for (const std::int64_t index : huge) {
        try {
            ws.ReadUDot(index);
            ADD_FAILURE() << index;
        } catch (const IoError &e) {
            EXPECT_EQ(e.code(), ioerr::ReadBeyondEnd) << index;
        }
    }
    try {
        ws.UJFClick(0);
        ws.ReadUDot(std::numeric_limits<std::int64_t>::min());
        ADD_FAILURE();
    } catch (const IoError &e) {
        EXPECT_EQ(e.code(), ioerr::SeekBeforeStart);
    }
    EXPECT_EQ(ws.codeTable().sourcePlane(), before);
}

TEST(ReadUDot, NoItemReadsFromTheStartOfTheFile)
{
    TestWorkspace tw;
    tw->UJFClick(-1);
    tw->ReadUDot(1410);
    EXPECT_EQ(bufferBytes(tw.ws()), fileRecord(1410));
}

TEST(ReadUDot, FontFileNotOpen)
{
    TestWorkspace tw({false, true, nullptr});
    EXPECT_EQ(tw.prompts().texts("ioerror"),
        std::vector<std::string>{"File not found: \"" + tw.dir().file("Font16s") + "\""});
    EXPECT_FALSE(tw->controls().RU.enabled);
    try {
        tw->ReadUDot(0);
        ADD_FAILURE();
    } catch (const IoError &e) {
        EXPECT_STREQ(e.what(), "I/O error 103");
    }
}

// ---- half glyphs of the dot-matrix source -----------------------------------

#ifndef UNIFONT_PATH
#error "UNIFONT_PATH must name the Unifont .hex file the build reads"
#endif

namespace {
// The 8-wide glyphs of the Unifont file, read here line by line: code point ->
// 32 hex digits, one byte a row.
std::map<int, std::string> unifontNarrowGlyphs()
{
    std::map<int, std::string> glyphs;
    std::ifstream in(UNIFONT_PATH);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos && line.size() == colon + 33)
            glyphs[std::stoi(line.substr(0, colon), nullptr, 16)] = line.substr(colon + 1);
    }
    return glyphs;
}
} // namespace

TEST(LatinGlyphs, AreUnifontsPrintableAscii)
{
    const std::map<int, std::string> unifont = unifontNarrowGlyphs();
    for (int c = 0x20; c <= 0x7E; ++c) {
        SCOPED_TRACE("U+00" + std::to_string(c / 16) + "0123456789ABCDEF"[c % 16]);
        const auto hex = unifont.find(c);
        ASSERT_NE(hex, unifont.end()) << UNIFONT_PATH;
        GlyphPlane want;
        for (int row = 0; row < 16; ++row)
            want.at(row, 0) = std::uint8_t(std::stoi(hex->second.substr(std::size_t(2 * row), 2), nullptr, 16));
        EXPECT_EQ(artFromPlane(font16sLatinGlyph(char(c)), 32), artFromPlane(want, 32));
    }
    EXPECT_NE(font16sLatinGlyph('A'), GlyphPlane{}); // not trivially blank
    for (const char outside : {'\0', '\x1F', '\x7F', '\xA1', '\xFF'})
        EXPECT_EQ(font16sLatinGlyph(outside), GlyphPlane{}) << int(static_cast<unsigned char>(outside));
}

// ---- TrueType render ---------------------------------------------------------

// One pixel drawn at (x, y) from the sampled square's corner, and whether a
// half glyph of n dots takes it.
struct HalfPixel {
    int n;
    int x, y;
    std::uint32_t colour;
    bool dot;
};

class HalfSample : public testing::TestWithParam<HalfPixel> { };

TEST_P(HalfSample, TakesTheLeftHalfOfTheSquare)
{
    const HalfPixel h = GetParam();
    Surface40 surface;
    surface.setPixel(kSurfaceOrigin + h.x, kSurfaceOrigin + h.y, h.colour);
    GlyphPlane plane = filledPlane(0xFF);
    sampleHalfSurface(surface, h.n, plane);
    GlyphPlane want;
    if (h.dot)
        want.setDot(h.x, h.y, true);
    EXPECT_EQ(artFromPlane(plane, 32), artFromPlane(want, 32)) << h.n << " dots, pixel (" << h.x << "," << h.y << ")";
}

INSTANTIATE_TEST_SUITE_P(Pixels, HalfSample,
    testing::Values(HalfPixel{16, 0, 0, 0x000000, true}, HalfPixel{16, 7, 15, 0x000000, true},
        HalfPixel{16, 3, 4, 0xFEFFFF, true}, // one step off white is ink, as for the square
        HalfPixel{16, 3, 4, 0xFFFFFF, false}, HalfPixel{16, 8, 0, 0x000000, false}, // right of the half
        HalfPixel{16, 0, 16, 0x000000, false}, // below the square
        HalfPixel{16, -1, 0, 0x000000, false}, HalfPixel{16, 0, -1, 0x000000, false},
        HalfPixel{24, 11, 23, 0x000000, true}, HalfPixel{24, 12, 0, 0x000000, false}, // 12 of the 16-dot box
        HalfPixel{32, 15, 31, 0x000000, true}, HalfPixel{32, 16, 0, 0x000000, false},
        HalfPixel{32, 0, 32, 0x000000, false}));

// The code is drawn in FontName at FontSize with its text cell at (5, 5), and
// the square sampled starts there: every pixel that is not exactly white is a dot.
TEST(TrueTypeRender, SamplesTheSquareAtFiveFive)
{
    ArtRasterizer r;
    TestWorkspace tw({true, true, &r});
    r.originX = 4;
    r.originY = 4;
    r.colour = 0xFEFFFF; // one step off white
    r.art = std::vector<std::string>(18, ".................#");
    r.art[0] = "#................#";
    r.art[1] = ".#...............#";
    r.art[2] = ".#.#.............#";
    r.art[16] = ".#..............##";
    r.art[17] = "##################";
    tw.prompts().fontChoice(FontChoice{"楷体", 14});
    tw->FontBtnClick();
    tw->ChTextOut("\xB0\xA1");
    EXPECT_EQ(r.lastText, "啊");
    EXPECT_EQ(r.lastFace, "楷体");
    EXPECT_EQ(r.lastPointSize, 14);
    EXPECT_EQ(r.lastX, 5);
    EXPECT_EQ(r.lastY, 5);
    EXPECT_EQ(artFromPlane(tw->codeTable().sourcePlane(), 16),
        art16({{0, "#..............."}, {1, "#.#............."}, {15, "#..............#"}}));
    EXPECT_EQ(tw.grid(), artFromPlane(tw->codeTable().sourcePlane(), 16));
}

TEST(TrueTypeRender, LightGreyIsInk)
{
    ArtRasterizer r;
    r.colour = 0xD3D3D3;
    r.art = {"##..#", "#...#"};
    TestWorkspace tw({true, true, &r});
    tw->ChTextOut("\xB0\xA1");
    EXPECT_EQ(tw->codeTable().sourcePlane().at(0, 0), 0xC8);
    EXPECT_EQ(tw->codeTable().sourcePlane().at(1, 0), 0x88);
}

// At 24 dots the last column of the square is bit 0 of byte 2; byte 3 and the
// rows below the square are not the glyph's.
TEST(TrueTypeRender, RewritesOnlyTheGlyphSquare)
{
    ArtRasterizer r;
    r.art = {"#......................##"};
    TestWorkspace tw({true, true, &r});
    // Ink outside the square: a 32-dot render, then 24 dots with the same face.
    const std::vector<std::string> glyph = r.art;
    r.art.assign(32, std::string(32, '#'));
    tw->mnu32Click();
    tw->mnu24Click();
    ASSERT_EQ(tw->codeTable().sourcePlane(), filledPlane(0xFF));
    r.art = glyph;
    showLibraryGlyph(tw.ws(), filledPlane(0x00));
    tw->ChTextOut("\xB0\xA1");
    const GlyphPlane &p = tw->codeTable().sourcePlane();
    const std::uint8_t row0[] = {0x80, 0x00, 0x01};
    for (int row = 0; row < 32; ++row)
        for (int byte = 0; byte < 4; ++byte) {
            std::uint8_t want = 0xFF; // outside the 24 x 24 square
            if (row < 24 && byte < 3)
                want = row == 0 ? row0[byte] : 0x00;
            EXPECT_EQ(p.at(row, byte), want) << row << "/" << byte;
        }
    EXPECT_EQ(tw->editPlane(), p);
}

TEST(TrueTypeRender, SwitchesTheEditorToTheSystemView)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    showLibraryGlyph(ws, planeFromArt({"################"}));
    ASSERT_EQ(ws.ViewMode(), 1);
    ws.ChTextOut("\xB0\xA2");
    EXPECT_EQ(ws.controls().RG1Index, 0);
    EXPECT_EQ(ws.ViewMode(), 0);
    EXPECT_EQ(tw.grid()[0], "................");
}

TEST(FontDialog, OkSetsFaceAndSizeButKeepsTheEditor)
{
    ArtRasterizer r;
    TestWorkspace tw({true, true, &r});
    r.art = {"#"};
    tw.setGrid({".#"});
    tw.prompts().fontChoice(FontChoice{"黑体", 20});
    tw->FontBtnClick();
    EXPECT_EQ(tw->codeTable().FontName(), "黑体");
    EXPECT_EQ(tw->codeTable().FontSize(), 20);
    EXPECT_EQ(tw->codeTable().tableFace(), "黑体");
    EXPECT_EQ(tw->SDotEffect(0, 0).face, "黑体");
    EXPECT_EQ(tw.grid()[0], ".#..............");
    EXPECT_EQ(r.lastFace, "宋体"); // not drawn again

    tw.prompts().fontChoice(std::nullopt);
    tw->FontBtnClick();
    EXPECT_EQ(tw->codeTable().FontName(), "黑体");
    EXPECT_EQ(tw->codeTable().FontSize(), 20);
    EXPECT_TRUE(tw.prompts().allConsumed());
}

TEST(SourceSwitch, AreaRangeAndFaceFollowTheSource)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    ws.RUClick();
    EXPECT_FALSE(ws.controls().FontBtn.enabled);
    EXPECT_EQ(ws.controls().SE1.max, 88);
    EXPECT_EQ(ws.codeTable().tableFace(), "宋体");

    tw.prompts().fontChoice(FontChoice{"黑体", 12});
    ws.FontBtnClick();
    ws.SE1Step(+1);
    ws.RWClick();
    EXPECT_TRUE(ws.controls().FontBtn.enabled);
    EXPECT_EQ(ws.controls().SE1.max, 94);
    EXPECT_EQ(ws.codeTable().tableFace(), "黑体");
    EXPECT_EQ(ws.codeTable().curArea(), 17); // the area stays, rendered from the new source
    EXPECT_EQ(ws.CurCode(), "\xB1\xA1");
}

// ---- code table --------------------------------------------------------------

TEST(CodeTable, StepsStayWithinTheRange)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    ws.SE1Typed(94);
    const int renders = tw.blank().calls;
    ws.SE1Step(+1);
    EXPECT_EQ(ws.controls().SE1.value, 94);
    ws.SE1Typed(1);
    ws.SE1Step(-1);
    EXPECT_EQ(ws.controls().SE1.value, 1);
    EXPECT_EQ(ws.codeTable().curArea(), 1);
    EXPECT_EQ(tw.blank().calls, renders + 1); // only the SE1Change to area 1

    // Digits go into the field, nothing else; a typed number takes effect when
    // confirmed, brought into the range.
    for (char32_t ch : {U'0', U'1', U'9', U'a', U'\b', U'-', U'\uFF11'}) {
        bool discard = ch == U'0';
        ws.SE1KeyPress(ch, discard);
        EXPECT_EQ(discard, !(ch >= U'0' && ch <= U'9')) << unsigned(ch);
    }
    EXPECT_EQ(ws.controls().SE1.value, 1);
    for (const auto &[typed, area] : {std::pair{25, 25}, {0, 1}, {99, 94}, {94, 94}}) {
        ws.SE1Typed(typed);
        EXPECT_EQ(ws.controls().SE1.value, area) << typed;
        EXPECT_EQ(ws.codeTable().curArea(), area) << typed;
    }
    EXPECT_EQ(ws.CurCode(), "\xFE\xA1");
}

TEST(CodeTable, KoreanSkipsAreasThirteenToFifteen)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    chooseVariant(ws, 3);
    EXPECT_EQ(ws.controls().SE1.max, 93);
    ws.SE1Typed(12);
    ws.SE1Step(+1);
    EXPECT_EQ(ws.controls().SE1.value, 16);
    EXPECT_EQ(ws.codeTable().curArea(), 16);
    EXPECT_EQ(ws.CurCode(), "\xAD\xA1");
    EXPECT_EQ(ws.codeTable().areaCode(93), "\xAD\xFE");
    ws.SE1Step(-1);
    EXPECT_EQ(ws.controls().SE1.value, 12);
    EXPECT_EQ(ws.CurCode(), "\xAC\xA1");
    // The last area offered, 93, is file area 90: record (90 - 1) x 94 of the variant.
    ws.SE1Typed(93);
    ws.SE1Step(+1);
    EXPECT_EQ(ws.controls().SE1.value, 93);
    EXPECT_EQ(ws.CurCode(), "\xFA\xA1");
    EXPECT_EQ(bufferBytes(ws), fileRecord(24533 + 89 * 94));

    // The other variants have those areas.
    chooseVariant(ws, 0);
    ws.SE1Typed(12);
    ws.SE1Step(+1);
    EXPECT_EQ(ws.controls().SE1.value, 13);
    EXPECT_EQ(ws.CurCode(), "\xAD\xA1");
}

TEST(CodeTable, JapaneseOpensAtAreaFour)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    chooseVariant(ws, 2);
    EXPECT_EQ(ws.controls().SE1.value, 4);
    EXPECT_EQ(ws.controls().SE1.max, 83);
    EXPECT_EQ(ws.CurCode(), "\xA4\xA1");
    ws.SE1Typed(83);
    ws.SE1Step(+1);
    EXPECT_EQ(ws.controls().SE1.value, 83);
}

TEST(CodeTable, EmptyCellsBeepAndChangeNothing)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    ws.SG1MouseDown(7, 3);
    showLibraryGlyph(ws, planeFromArt({"#"}));
    tw.prompts().clear();
    for (int col = 4; col < 10; ++col)
        ws.SG1MouseDown(col, 9);
    EXPECT_EQ(tw.prompts().beeps(), 6);
    EXPECT_EQ(ws.codeTable().tableCol(), 7);
    EXPECT_EQ(ws.codeTable().tableRow(), 3);
    EXPECT_EQ(ws.CurCode(), code(0xB0, 0xA1 + 37));
    EXPECT_EQ(ws.ViewMode(), 1);
    EXPECT_EQ(tw.grid()[0], "#...............");
}

TEST(CodeTable, ClickRendersTheCellsCode)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    typeCharacter(ws, "\xB0\xA5");
    ws.SG1MouseDown(3, 9); // cell 93, position 94
    EXPECT_EQ(ws.CurCode(), "\xB0\xFE");
    EXPECT_EQ(tw.blank().lastText, "剥");
    ws.SG1MouseDown(1, 0);
    EXPECT_EQ(ws.CurCode(), "\xB0\xA2");
    EXPECT_EQ(tw.blank().lastText, "阿");
    EXPECT_TRUE(ws.TypedEntry()); // a click does not end the typed entry
}

TEST(CodeTable, AreaChangeShowsPositionOne)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    ws.SG1MouseDown(5, 2);
    EXPECT_EQ(ws.CurCode(), code(0xB0, 0xA1 + 25));
    typeCharacter(ws, "\xB0\xA5");
    ws.SE1Step(+1);
    EXPECT_EQ(ws.CurCode(), "\xB1\xA1");
    EXPECT_EQ(ws.codeTable().tableCol(), 0);
    EXPECT_EQ(ws.codeTable().tableRow(), 0);
    EXPECT_FALSE(ws.TypedEntry());
}

TEST(CodeTable, OutsideEveryCellMakesTheEffectItemsBeep)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    showLibraryGlyph(ws, planeFromArt({"#"}));
    tw.prompts().clear();
    ws.SG1MouseDown(-1, -1);
    EXPECT_EQ(ws.ViewMode(), 0);
    EXPECT_EQ(tw.prompts().beeps(), 1);
    const std::string before = ws.CurCode();
    ws.mnuRotationClick(Rotation::R90);
    ws.mnuFlipClick(Flip::Vertical);
    ws.mnuSwapClick(Swap::UpDown);
    EXPECT_EQ(tw.prompts().beeps(), 4);
    EXPECT_EQ(ws.controls().rotation, Rotation::R90);
    EXPECT_EQ(ws.controls().flip, Flip::Vertical);
    EXPECT_EQ(ws.controls().swap, Swap::UpDown);
    EXPECT_EQ(ws.CurCode(), before);

    ws.SE1Step(+1);
    ws.mnuRotationClick(Rotation::R0);
    EXPECT_EQ(tw.prompts().beeps(), 4);
}

// The table is repainted only after the editor has left the library view: with
// the dot-matrix source the render itself would not switch it.
TEST(CodeTable, AreaChangeLeavesTheLibraryViewBeforeRepainting)
{
    struct TableLog : WorkspaceListener {
        Workspace *ws = nullptr;
        std::vector<int> viewAtRepaint;
        void codeTableChanged() override { viewAtRepaint.push_back(ws->ViewMode()); }
    } log;
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    chooseVariant(ws, 0);
    showLibraryGlyph(ws, planeFromArt({"#"}));
    log.ws = &ws;
    ws.setListener(&log);
    ws.SE1Step(+1);
    ws.setListener(nullptr);
    EXPECT_EQ(log.viewAtRepaint, std::vector<int>{0});
    EXPECT_EQ(ws.controls().RG1Index, 0);
    EXPECT_EQ(ws.CurCode(), "\xB1\xA1");
}

TEST(CodeTable, PainterShowsTheSourceWithoutSideEffects)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    CodeTableCell c = ws.SDotEffect(3, 9);
    EXPECT_FALSE(c.empty);
    EXPECT_FALSE(c.fromFont16s);
    EXPECT_EQ(c.text, "剥");
    EXPECT_EQ(c.face, "宋体");
    for (int col = 4; col < 10; ++col)
        EXPECT_TRUE(ws.SDotEffect(col, 9).empty);

    chooseVariant(ws, 0);
    ws.SG1MouseDown(2, 0);
    const GlyphPlane source = ws.codeTable().sourcePlane();
    c = ws.SDotEffect(0, 0);
    EXPECT_TRUE(c.fromFont16s);
    GlyphPlane shown;
    copyRecord(c.record, shown);
    EXPECT_EQ(artFromPlane(shown, 16), kAh16);
    EXPECT_EQ(ws.codeTable().sourcePlane(), source);
    EXPECT_EQ(ws.codeTable().tableCol(), 2);
    EXPECT_EQ(ws.codeTable().tableRow(), 0);
}

// A font file that ends inside an area: the failing cells paint blank and the
// window gets one error to show per table change, not one per cell or repaint.
TEST(CodeTable, ShortFontFileReportsOncePerTableChange)
{
    TestWorkspace tw({false, false, nullptr});
    writeFile(tw.dir().file("Font16s"), readFile(font16sPath()).substr(0, (1410 + 10) * 32));
    tw->FormCreate();
    Workspace &ws = tw.ws();
    ws.RUClick();
    auto paintAll = [&] {
        int blank = 0;
        for (int row = 0; row < 10; ++row)
            for (int col = 0; col < 10; ++col) {
                const CodeTableCell c = ws.SG1DrawCell(col, row);
                if (!c.empty && c.record == FontRecord{})
                    ++blank;
            }
        return blank;
    };
    EXPECT_EQ(paintAll(), 84);
    EXPECT_EQ(ws.takeTableError(), "Read beyond end of file");
    EXPECT_EQ(paintAll(), 84);
    EXPECT_EQ(ws.takeTableError(), "");

    // Next area: position 1 cannot be read either; that is the one report.
    tw.prompts().clear();
    EXPECT_FALSE(ws.run([&] { ws.SE1Step(+1); }));
    EXPECT_EQ(tw.prompts().texts("ioerror"), std::vector<std::string>{"Read beyond end of file."});
    EXPECT_EQ(paintAll(), 94);
    EXPECT_EQ(ws.takeTableError(), "");
    EXPECT_EQ(ws.codeTable().curArea(), 17);
}

// ---- default effects ---------------------------------------------------------

namespace {
const std::vector<std::string> kUpright
    = art16({{0, "##.............."}, {1, "#..............."}, {2, "#..............."}, {15, "...............#"}});
} // namespace

class DefaultEffects : public testing::Test {
protected:
    void SetUp() override
    {
        r.art = kUpright;
        tw = std::make_unique<TestWorkspace>(WorkspaceOptions{true, true, &r});
        tw->prompts().answer(Answer::Yes);
        tw->ws().mnuViewClick();
        ASSERT_TRUE(tw->ws().controls().mnuView);
    }
    ArtRasterizer r;
    std::unique_ptr<TestWorkspace> tw;
};

TEST_F(DefaultEffects, HalfTurnAndHorizontalFlipMirrorTopToBottom)
{
    Workspace &ws = tw->ws();
    ws.mnuRotationClick(Rotation::R180);
    ws.mnuFlipClick(Flip::Horizontal);
    EXPECT_EQ(tw->grid(),
        art16({{0, "...............#"}, {13, "#..............."}, {14, "#..............."}, {15, "##.............."}}));
}

TEST_F(DefaultEffects, ThreeQuarterTurnLeftIsOneRight)
{
    Workspace &ws = tw->ws();
    ws.mnuRotationClick(Rotation::R270);
    const std::vector<std::string> turned
        = art16({{0, ".............###"}, {1, "...............#"}, {15, "#..............."}});
    EXPECT_EQ(tw->grid(), turned);

    tw->setGrid(kUpright);
    ws.CCWBtnClick();
    ws.CCWBtnClick();
    ws.CCWBtnClick();
    EXPECT_EQ(tw->grid(), turned);
}

TEST_F(DefaultEffects, RenderedGlyphIsAnEditThatUndoRemoves)
{
    Workspace &ws = tw->ws();
    ws.mnuSwapClick(Swap::LeftRight);
    EXPECT_EQ(tw->grid()[0], "........##......");
    EXPECT_TRUE(ws.EditModified());
    EXPECT_EQ(artFromPlane(ws.codeTable().sourcePlane(), 16), kUpright);
    EXPECT_EQ(artFromPlane(ws.editPlane(), 16), kUpright);
    ws.undoBtnClick();
    EXPECT_EQ(tw->grid(), kUpright);
}

TEST_F(DefaultEffects, AddingAfterUndoStoresTheGlyphUpright)
{
    Workspace &ws = tw->ws();
    ws.mnuRotationClick(Rotation::R90);
    ws.undoBtnClick();
    ws.AddBtnClick();
    std::string upright(kPlaneBytes, '\0');
    upright[0] = '\xC0';
    upright[4] = '\x80';
    upright[8] = '\x80';
    upright[61] = '\x01';
    EXPECT_EQ(readFile(tw->dir().file("JQT.TMP")), upright);
}

// The library keeps each glyph with the effects in force when it was added, and
// the file written with the option on adds none: mode C at 16 dots is the square
// row by row.
TEST_F(DefaultEffects, GlyphsKeepTheEffectsTheyWereAddedWith)
{
    Workspace &ws = tw->ws();
    ws.mnuModeClick(Mode::C);
    ws.mnuRotationClick(Rotation::R90);
    ws.AddBtnClick(); // 啊, turned left
    std::string turned(kPlaneBytes, '\0');
    turned[1] = '\x01';
    turned[56] = '\x80';
    turned[60] = '\xE0';
    ASSERT_EQ(readFile(tw->dir().file("JQT.TMP")), turned);

    ws.mnuFlipClick(Flip::Horizontal);
    ws.SG1MouseDown(1, 0);
    ws.AddBtnClick(); // 阿, turned left and mirrored
    EXPECT_EQ(readFile(tw->dir().file("JQT.TMP")).substr(0, kPlaneBytes), turned);

    const std::string path = tw->dir().file("EFFECTS.ZMB");
    tw->prompts().fileChoice(FileChoice{path, 1});
    ws.mnuSaveAsClick();
    std::string expected(64, '\0');
    expected[1] = '\x01'; // glyph 0: (15, 0), (0, 14), (0 to 2, 15)
    expected[28] = '\x80';
    expected[30] = '\xE0';
    expected[32] = '\x80'; // glyph 1: (0, 0), (15, 14), (13 to 15, 15)
    expected[32 + 29] = '\x01';
    expected[32 + 31] = '\x07';
    expected += "\xB0\xA1\xB0\xA2";
    EXPECT_EQ(readFile(path), expected);
}

TEST_F(DefaultEffects, BackFromTheLibraryViewTheSourceGlyphShowsUpright)
{
    Workspace &ws = tw->ws();
    ws.mnuRotationClick(Rotation::R90);
    ASSERT_NE(tw->grid(), kUpright);
    showLibraryGlyph(ws, planeFromArt({"#"}));
    ws.selectRG1(0);
    EXPECT_EQ(tw->grid(), kUpright);
    EXPECT_TRUE(tw->prompts().allConsumed());
}

// An effect re-renders the table's selection, not the character typed last.
TEST(DefaultEffectsOff, ChoosingAnEffectReplacesATypedCharacter)
{
    TestWorkspace tw;
    tw->SG1MouseDown(2, 0); // 埃
    tw->ChEditChange("\xB0\xA5");
    tw->ChEditKeyPress(13);
    ASSERT_EQ(tw->CurCode(), "\xB0\xA5");
    tw->mnuFlipClick(Flip::Vertical);
    EXPECT_EQ(tw->CurCode(), "\xB0\xA3");
    EXPECT_EQ(tw.blank().lastText, "埃");
}

TEST(DefaultEffectsOff, ChoosingAnEffectRendersUpright)
{
    ArtRasterizer r;
    r.art = kUpright;
    TestWorkspace tw({true, true, &r});
    tw.setGrid({"################"});
    tw->mnuRotationClick(Rotation::R90);
    EXPECT_EQ(tw->controls().rotation, Rotation::R90);
    EXPECT_EQ(tw.grid(), kUpright);
    EXPECT_FALSE(tw->EditModified());
}
