// Bitmap fonts as the glyph source and BDF output: a WenQuanYi Bitmap Song
// strike drawn dot for dot as its PCF file holds it (read here through
// pcf2bdf's text), libraries that come back byte for byte from their own BDF,
// and the strike list of a size the font does not have.

#include "formats/layout.h"
#include "render/freetype_rasterizer.h"
#include "tests/cli/cli_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using namespace dotforge;
using namespace dotforge::test;

namespace {

const std::string kWqy16 = "/usr/share/fonts/X11/misc/wenquanyi_12pt.pcf"; // the 16-pixel strike
const std::string kWqyFamily = "WenQuanYi Bitmap Song";

// One glyph of a BDF file as n x n dots of a text cell whose top-left corner is
// (0, 0) and whose baseline lies FONT_ASCENT below it.
using Grid = std::vector<std::string>;

std::map<char32_t, Grid> bdfCells(const std::string &bdf, int n)
{
    std::istringstream in(bdf);
    std::string word;
    int ascent = 0;
    std::map<char32_t, Grid> cells;
    long encoding = -1;
    int width = 0, height = 0, xoff = 0, yoff = 0;
    while (in >> word) {
        if (word == "FONT_ASCENT") {
            in >> ascent;
        } else if (word == "ENCODING") {
            in >> encoding;
        } else if (word == "BBX") {
            in >> width >> height >> xoff >> yoff;
        } else if (word == "BITMAP") {
            Grid grid(std::size_t(n), std::string(std::size_t(n), '.'));
            const int top = ascent - (height + yoff);
            for (int r = 0; r < height; ++r) {
                std::string hex;
                in >> hex;
                for (int c = 0; c < width; ++c) {
                    const int nibble = std::stoi(hex.substr(std::size_t(c / 4), 1), nullptr, 16);
                    const int x = xoff + c;
                    const int y = top + r;
                    if ((nibble & (8 >> (c % 4))) && x >= 0 && x < n && y >= 0 && y < n)
                        grid[std::size_t(y)][std::size_t(x)] = '#';
                }
            }
            if (encoding >= 0)
                cells[char32_t(encoding)] = grid;
        }
    }
    return cells;
}

// The glyphs of a .ZMB file of byte layout mode A as rows of '#' and '.'.
std::vector<Grid> zmbGrids(const std::string &zmb, int n, std::size_t count)
{
    std::vector<Grid> out;
    for (std::size_t g = 0; g < count; ++g) {
        const Sequence glyph(zmb.begin() + std::ptrdiff_t(g * std::size_t(glyphBytes(n))),
            zmb.begin() + std::ptrdiff_t((g + 1) * std::size_t(glyphBytes(n))));
        out.push_back(artFromPlane(fromFileOrder(glyph, n, Mode::A), n));
    }
    return out;
}

std::string shell(const std::string &command)
{
    return std::system(command.c_str()) == 0 ? "" : "failed: " + command;
}

// 200 GBK codes from B0A1 on, in --codes form.
std::string codes200()
{
    std::string codes;
    for (int i = 0; i < 200; ++i) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%02X%02X", 0xB0 + i / 94, 0xA1 + i % 94);
        codes += (i ? "," : "") + std::string(buf);
    }
    return codes;
}

} // namespace

TEST(CliBitmapFont, WenQuanYiGlyphsAreDrawnAsThePcfHoldsThem)
{
    ASSERT_TRUE(std::filesystem::exists(kWqy16)) << "apt-get install xfonts-wqy";
    TempDir dir;
    ASSERT_EQ(shell("pcf2bdf -o '" + dir.file("wqy.bdf") + "' '" + kWqy16 + "'"), "") << "apt-get install pcf2bdf";
    const std::map<char32_t, Grid> expected = bdfCells(readFile(dir.file("wqy.bdf")), 16);

    // Ideographs, full-width punctuation and letters: glyphs of several boxes.
    const std::string text = "啊字一丨，。（）ＡｇＷ龟鼎";
    const std::vector<char32_t> characters{
        U'啊', U'字', U'一', U'丨', U'，', U'。', U'（', U'）', U'Ａ', U'ｇ', U'Ｗ', U'龟', U'鼎'};
    ASSERT_EQ(shell("gzip -c '" + kWqy16 + "' > '" + dir.file("wqy.pcf.gz") + "'"), "");
    const std::vector<std::vector<std::string>> sources{
        {"--font-file", kWqy16},
        {"--font-file", dir.file("wqy.pcf.gz")},
        {"--font", kWqyFamily, "--point-size", "12"},
        {"--font-file", dir.file("wqy.bdf"), "--point-size", "12"},
    };
    for (const auto &source : sources) {
        std::vector<std::string> args{"build", "--text", text, "-o", dir.file("out.ZMB")};
        args.insert(args.end(), source.begin(), source.end());
        const CliRun run = runCli(args);
        ASSERT_EQ(run.status, 0) << source[1] << ": " << run.err;
        EXPECT_EQ(run.err, "") << source[1];
        const std::vector<Grid> drawn = zmbGrids(readFile(dir.file("out.ZMB")), 16, characters.size());
        for (std::size_t i = 0; i < characters.size(); ++i) {
            ASSERT_TRUE(expected.count(characters[i]));
            EXPECT_EQ(drawn[i], expected.at(characters[i]))
                << source[1] << " U+" << std::hex << unsigned(characters[i]);
        }
        EXPECT_EQ(drawn[0],
            (Grid{"................", "....###.######..", "###.#.#.....#...", "#.#.#.#.....#...", "#.#.#.#.###.#...",
                "#.#.#.#.#.#.#...", "#.#.##..#.#.#...", "#.#.#.#.#.#.#...", "#.#.#.#.#.#.#...", "#.#.#.#.#.#.#...",
                "###.#.#.###.#...", "#.#.#.#.#.#.#...", "....##......#...", "....#.......#...", "....#.....#.#...",
                "....#......#...."}))
            << source[1];
    }
}

// The window's font dialog answers a bitmap face by name at 9 points: the
// editor shows the 12-pixel strike, from its own file among the face's five,
// dot for dot.
TEST(CliBitmapFont, TheWindowDrawsTheStrikeOfTheChosenSize)
{
    const std::string wqy12 = "/usr/share/fonts/X11/misc/wenquanyi_9pt.pcf"; // the 12-pixel strike
    TempDir dir;
    ASSERT_EQ(shell("pcf2bdf -o '" + dir.file("wqy12.bdf") + "' '" + wqy12 + "'"), "");
    const std::map<char32_t, Grid> expected = bdfCells(readFile(dir.file("wqy12.bdf")), 16);

    FreeTypeRasterizer rasterizer;
    TestWorkspace tw({true, true, &rasterizer});
    Workspace &ws = tw.ws();
    tw.prompts().fontChoice(FontChoice{kWqyFamily, 9});
    ws.FontBtnClick();
    for (const auto &[code, character] :
        {std::pair<std::string, char32_t>{"\xB0\xA1", U'啊'}, {"\xC1\xFA", U'龙'}, {"\xA3\xC1", U'Ａ'}}) {
        ws.ChTextOut(code);
        const Grid &strike = expected.at(character);
        EXPECT_TRUE(std::any_of(
            strike.begin(), strike.end(), [](const std::string &row) { return row.find('#') != std::string::npos; }));
        EXPECT_EQ(artFromPlane(ws.editPlane(), 16), strike) << unsigned(character);
    }
    EXPECT_TRUE(tw.prompts().allConsumed());
}

// Built from the outline face, written as BDF, built again from that BDF: the
// same bytes, in every dot size and several layout modes; X11's bdftopcf
// reads the BDF, and its PCF gives the same glyphs again.
TEST(CliBitmapFont, LibrariesComeBackFromTheirBdf)
{
    TempDir dir;
    const std::string codes = codes200();
    struct Case {
        const char *size;
        const char *mode;
        const char *pointSize; // "" for the strike's own
    };
    for (const Case &c : {Case{"16", "A", "12"}, Case{"24", "C", "18"}, Case{"32", "D", "24"}, Case{"24", "B", ""}}) {
        const std::string label = std::string(c.size) + c.mode + c.pointSize;
        const std::string zmb = dir.file("lib" + label + ".ZMB");
        const std::string bdf = dir.file("lib" + label + ".bdf");
        CliRun run = runCli({"build", "--size", c.size, "--mode", c.mode, "--codes", codes, "-o", zmb});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string original = readFile(zmb);
        ASSERT_EQ(original.size(), 200u * (std::size_t(std::stoi(c.size) * std::stoi(c.size) / 8) + 2));

        run = runCli({"convert", "--size", c.size, "--from", c.mode, zmb, bdf});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(readFile(bdf).find("CHARS 200\n"), std::string::npos);
        // The build writes the same BDF straight from its store.
        std::filesystem::create_directories(dir.file("direct"));
        run = runCli({"build", "--size", c.size, "--codes", codes, "--format", "bdf", "-o",
            dir.file("direct/lib" + label + ".bdf")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(readFile(dir.file("direct/lib" + label + ".bdf")), readFile(bdf)) << label;

        const auto rebuilt = [&](const std::string &fontFile) {
            std::vector<std::string> args{"build", "--size", c.size, "--mode", c.mode, "--codes", codes, "--font-file",
                fontFile, "-o", dir.file("r.ZMB")};
            if (*c.pointSize)
                args.insert(args.end(), {"--point-size", c.pointSize});
            const CliRun again = runCli(args);
            EXPECT_EQ(again.status, 0) << again.err;
            EXPECT_EQ(again.err, "");
            return readFile(dir.file("r.ZMB"));
        };
        EXPECT_TRUE(rebuilt(bdf) == original) << label;

        const std::string pcf = dir.file("lib" + label + ".pcf");
        ASSERT_EQ(shell("bdftopcf -o '" + pcf + "' '" + bdf + "' 2>'" + dir.file("bdftopcf.log") + "'"), "")
            << "apt-get install xfonts-utils";
        EXPECT_EQ(readFile(dir.file("bdftopcf.log")), "") << label;
        EXPECT_TRUE(rebuilt(pcf) == original) << label << " from bdftopcf's PCF";
    }
}

// Half-width Latin comes back from its BDF: drawn again from the font file the
// BDF is, every glyph is the same, so the half glyphs keep their width and
// the baseline of the square ones at each dot size. With the dot-matrix
// source they are GNU Unifont's, as its .hex file has them.
TEST(CliBitmapFont, HalfWidthLatinComesBackFromItsBdf)
{
    TempDir dir;
    std::filesystem::create_directories(dir.file("again"));
    for (const std::string size : {"16", "24", "32"}) {
        const std::string bdf = dir.file("latin" + size + ".bdf");
        CliRun run = runCli({"build", "--size", size, "--latin", "all", "--text", "中", "-o", bdf});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string font = readFile(bdf);
        EXPECT_NE(font.find("CHARS 96\n"), std::string::npos);
        const std::string half = "\nDWIDTH " + std::to_string(std::stoi(size) / 2) + " 0\n";
        std::size_t halves = 0;
        for (std::size_t at = font.find(half); at != std::string::npos; at = font.find(half, at + 1))
            ++halves;
        EXPECT_EQ(halves, 95u) << size;
        run = runCli({"build", "--size", size, "--font-file", bdf, "--latin", "all", "--text", "中", "-o",
            dir.file("again/latin" + size + ".bdf")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(readFile(dir.file("again/latin" + size + ".bdf")) == font) << size;
    }

    const CliRun run = runCli({"build", "--source", "font16s", "--font16s", font16sPath(), "--latin", "all", "--codes",
        "B0A1", "-o", dir.file("unifont.bdf")});
    ASSERT_EQ(run.status, 0) << run.err;
    std::map<long, std::string> unifont; // the bitmap lines of each printable ASCII character
    std::ifstream hex(UNIFONT_PATH);
    for (std::string line; std::getline(hex, line);) {
        const long cp = std::stol(line.substr(0, line.find(':')), nullptr, 16);
        if (cp < 0x20 || cp > 0x7E)
            continue;
        for (std::size_t row = 0; row < 16; ++row)
            unifont[cp] += line.substr(line.find(':') + 1 + 2 * row, 2) + "\n";
    }
    ASSERT_EQ(unifont.size(), 95u);
    const std::string font = readFile(dir.file("unifont.bdf"));
    for (const auto &[cp, rows] : unifont)
        EXPECT_NE(
            font.find("ENCODING " + std::to_string(cp) + "\nSWIDTH 500 0\nDWIDTH 8 0\nBBX 8 16 0 -2\nBITMAP\n" + rows),
            std::string::npos)
            << cp;
}

// convert decodes a .ZMB or .ASM library with its mode and writes the glyphs
// upright: the hand-written BDF of the three golden glyphs.
TEST(CliBitmapFont, ConvertWritesTheGoldenBdf)
{
    TempDir dir;
    const std::string golden = readFile(std::string(TESTS_DATA_DIR) + "/three16c.bdf");
    for (const char *input : {"three16c.zmb", "three16c.asm"}) {
        std::filesystem::create_directories(dir.file(input));
        const std::string out = dir.file(std::string(input) + "/three16c.bdf");
        const CliRun run
            = runCli({"convert", "--size", "16", "--from", "C", std::string(TESTS_DATA_DIR) + "/" + input, out});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(readFile(out), golden) << input;
    }
}

// An outline font file draws as its installed face: the collection of the
// face that stands in for 宋体, whose first face it is.
TEST(CliBitmapFont, OutlineFontFilesDrawAsTheirInstalledFace)
{
    TempDir dir;
    const std::string codes = codes200();
    for (const char *size : {"16", "32"}) {
        CliRun run = runCli({"build", "--size", size, "--codes", codes, "-o", dir.file("face.ZMB")});
        ASSERT_EQ(run.status, 0) << run.err;
        run = runCli({"build", "--size", size, "--codes", codes, "--font-file",
            "/usr/share/fonts/truetype/arphic/uming.ttc", "-o", dir.file("file.ZMB")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(readFile(dir.file("file.ZMB")) == readFile(dir.file("face.ZMB"))) << size;
    }
}

// FontForge reads the BDF (every glyph encoded, the cell's ascent and
// descent) and writes its own, from which the same library is built again.
TEST(CliBitmapFont, FontForgeReadsTheBdf)
{
    TempDir dir;
    const std::string codes = codes200();
    CliRun run = runCli({"build", "--size", "24", "--codes", codes, "-o", dir.file("lib.ZMB")});
    ASSERT_EQ(run.status, 0) << run.err;
    run = runCli({"build", "--size", "24", "--codes", codes, "-o", dir.file("lib.bdf")});
    ASSERT_EQ(run.status, 0) << run.err;
    writeFile(dir.file("check.py"),
        "import fontforge, sys\n"
        "f = fontforge.open(sys.argv[1])\n"
        "print(sum(1 for g in f.glyphs() if g.unicode >= 0), f.ascent, f.descent)\n"
        "f.generate(sys.argv[2])\n");
    // FontForge keeps its settings under HOME: a private one.
    ASSERT_EQ(
        shell("HOME='" + dir.path().string() + "' fontforge -quiet -lang=py -script '" + dir.file("check.py") + "' '"
            + dir.file("lib.bdf") + "' '" + dir.file("ff.bdf") + "' >'" + dir.file("ff.log") + "' 2>/dev/null"),
        "")
        << "apt-get install fontforge-nox";
    // 21 and 3 pixels of 24 on FontForge's scale of 1000 units.
    EXPECT_EQ(readFile(dir.file("ff.log")), "200 875 125\n");
    // FontForge names the file after the strike's pixel size.
    run = runCli(
        {"build", "--size", "24", "--codes", codes, "--font-file", dir.file("ff-24.bdf"), "-o", dir.file("again.ZMB")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(readFile(dir.file("again.ZMB")) == readFile(dir.file("lib.ZMB")));
}

TEST(CliBitmapFont, SizesWithoutStrikeListTheStrikes)
{
    TempDir dir;
    writeFile(dir.file("three.ZMB"), readFile(std::string(TESTS_DATA_DIR) + "/three16c.zmb"));
    ASSERT_EQ(
        runCli({"convert", "--size", "16", "--from", "C", dir.file("three.ZMB"), dir.file("three.bdf")}).status, 0);
    ASSERT_EQ(runCli({"build", "--size", "24", "--codes", "B0A1", "-o", dir.file("big24.bdf")}).status, 0);
    const std::string out = dir.file("out.ZMB");
    const std::string wqyStrikes = "its strikes: 12 px (9 pt), 13 px (10 pt), 14 px (no whole point size), 15 px "
                                   "(11 pt), 16 px (12 pt)\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--font-file", kWqy16, "--point-size", "14"},
            "the bitmap font WenQuanYi Bitmap Song has no strike of 19 px (14 pt); its strikes: 16 px (12 pt)\n"},
        {{"--font", kWqyFamily, "--point-size", "13"},
            "the bitmap font WenQuanYi Bitmap Song has no strike of 17 px (13 pt); " + wqyStrikes},
        {{"--font", kWqyFamily, "--size", "24"},
            "give --point-size: the bitmap font WenQuanYi Bitmap Song has no strike of 24 px (18 pt); " + wqyStrikes},
        {{"--font-file", dir.file("three.bdf"), "--point-size", "18"},
            "the bitmap font three has no strike of 24 px (18 pt); its strikes: 16 px (12 pt)\n"},
        {{"--font-file", dir.file("big24.bdf")},
            "the bitmap font big24: its strike of 24 px (18 pt) is taller than 16 dots and would be cut; its "
            "strikes: 24 px (18 pt)\n"},
    };
    for (const auto &[options, message] : cases) {
        std::vector<std::string> args{"build", "--text", "啊", "-o", out};
        args.insert(args.end(), options.begin(), options.end());
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 1) << options[1];
        EXPECT_NE(run.err.find("dotforge-cli: " + message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

// A font file draws its own characters only: one it lacks stays blank, where
// the font's default character or another face would show something else.
TEST(CliBitmapFont, CharactersMissingFromTheFileStayBlank)
{
    TempDir dir;
    ASSERT_EQ(runCli({"convert", "--size", "16", "--from", "C", std::string(TESTS_DATA_DIR) + "/three16c.zmb",
                         dir.file("three.bdf")})
                  .status,
        0);
    const CliRun run
        = runCli({"build", "--font-file", dir.file("three.bdf"), "--codes", "B0A4,B0A1", "-o", dir.file("out.ZMB")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<Grid> drawn = zmbGrids(readFile(dir.file("out.ZMB")), 16, 2);
    EXPECT_EQ(drawn[0], Grid(16, std::string(16, '.')));
    Grid topRow(16, std::string(16, '.'));
    topRow[0] = std::string(16, '#');
    EXPECT_EQ(drawn[1], topRow);
}

// The bitmap fonts fontconfig's configuration rejects are read only when a
// face name is not found among the fonts it lists, and then remembered per font
// folder while the folder stays unchanged.
TEST(CliBitmapFont, RejectedBitmapFontsAreReadWhenNamedAndRemembered)
{
    namespace fs = std::filesystem;
    TempDir dir;
    fs::create_directories(dir.file("fonts"));
    const std::string levels1 = readFile(std::string(TESTS_DATA_DIR) + "/fonts/levels1.bdf");
    const auto named = [&levels1](const std::string &family) {
        std::string bdf = levels1;
        bdf.replace(bdf.find("STARTPROPERTIES 3\n"), 18, "STARTPROPERTIES 4\nFAMILY_NAME \"" + family + "\"\n");
        return bdf;
    };
    const std::string font = dir.file("fonts/rejected.bdf");
    writeFile(font, named("Rejected One"));
    writeFile(dir.file("fonts.conf"),
        "<?xml version=\"1.0\"?>\n<fontconfig><dir>" + dir.file("fonts")
            + "</dir><dir>/usr/share/fonts/truetype/arphic-gbsn00lp</dir><cachedir>" + dir.file("fc-cache")
            + "</cachedir><selectfont><rejectfont><pattern><patelt name=\"scalable\"><bool>false</bool></patelt>"
              "</pattern></rejectfont></selectfont></fontconfig>\n");
    const CliEnvironment env{
        {}, {"FONTCONFIG_FILE=" + dir.file("fonts.conf"), "XDG_CACHE_HOME=" + dir.file("cache")}, std::nullopt};
    const std::string cache = dir.file("cache/dotforge/bitmap-fonts");
    const auto build = [&](const std::string &face) {
        return runCli({"build", "--font", face, "--text", "啊", "-o", dir.file("out.ZMB")}, env);
    };
    // The folder's last change an hour ago (plus `seconds`): a folder changed
    // a moment ago is not remembered.
    const auto anHourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    const auto changed
        = [&](int seconds) { fs::last_write_time(dir.file("fonts"), anHourAgo + std::chrono::seconds(seconds)); };
    changed(0);

    ASSERT_EQ(build("AR PL SungtiL GB").status, 0);
    EXPECT_FALSE(fs::exists(cache)) << "a listed face needs no rejected font";
    const CliRun first = build("Rejected One");
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string drawn = readFile(dir.file("out.ZMB"));
    EXPECT_NE(readFile(cache).find(font + "\tRejected One\n"), std::string::npos);

    // Renamed in place, its folder unchanged: the remembered name still draws.
    writeFile(font, named("Rejected Two"));
    changed(0);
    EXPECT_EQ(build("Rejected One").status, 0);
    EXPECT_EQ(readFile(dir.file("out.ZMB")), drawn);
    EXPECT_EQ(build("Rejected Two").status, 1);
    // The folder changed: read again.
    changed(1);
    EXPECT_EQ(build("Rejected Two").status, 0);
    EXPECT_EQ(readFile(dir.file("out.ZMB")), drawn);
    EXPECT_EQ(build("Rejected One").status, 1);
    EXPECT_NE(readFile(cache).find(font + "\tRejected Two\n"), std::string::npos);
}

TEST(CliBitmapFont, BadFontFilesAndBdfOptions)
{
    TempDir dir;
    writeFile(dir.file("not-a-font.ttf"), "plain text\n");
    writeFile(dir.file("a.ZMB"), std::string(34, '\0'));
    const std::string out = dir.file("out.bdf");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char *message;
    };
    const std::vector<Case> cases{
        {{"build", "--text", "啊", "--font", kWqyFamily, "--font-file", kWqy16, "-o", out}, 1,
            "--font and --font-file exclude one another"},
        {{"build", "--text", "啊", "--source", "font16s", "--font-file", kWqy16, "-o", out}, 1,
            "--font-file applies to --source ttf only"},
        {{"build", "--text", "啊", "--mode", "B", "-o", out}, 1, "--mode does not apply to BDF output"},
        {{"build", "--text", "啊", "--rotate", "90", "--format", "bdf", "-o", dir.file("o.ZMB")}, 1,
            "--rotate does not apply to BDF output"},
        {{"convert", "--size", "16", "--from", "A", "--to", "B", dir.file("a.ZMB"), out}, 1,
            "--to does not apply to BDF output"},
        {{"dump", "--size", "16", "--mode", "A", dir.file("x.bdf")}, 1, "is a BDF font, read as a glyph source only"},
        {{"build", "--text", "啊", "--font-file", dir.file("missing.pcf"), "-o", out}, 2, "cannot read "},
        {{"build", "--text", "啊", "--font-file", dir.file("not-a-font.ttf"), "-o", out}, 2,
            "not a font file FreeType can read"},
    };
    for (const Case &c : cases) {
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, c.status) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.message;
    }
}
