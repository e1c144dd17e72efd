// Controller layouts on the batch tool: --profile for build and dump, the
// layout finder over all 144 combinations, and proof sheets read back.

#include "cli/proof_layout.h"
#include "formats/profiles.h"
#include "formats/zmb.h"
#include "tests/cli/cli_runner.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>

using namespace dotforge;
using namespace dotforge::test;

namespace {

// Options of a combination as a user types them.
std::string typed(const Layout &l)
{
    static const char *const kRotate[] = {"", " --rotate 90", " --rotate 180", " --rotate 270"};
    static const char *const kFlip[] = {"", " --flip h", " --flip v"};
    static const char *const kSwap[] = {"", " --swap lr", " --swap ud"};
    return std::string("--mode ") + "ABCD"[int(l.mode)] + kRotate[int(l.effects.rotation)] + kFlip[int(l.effects.flip)]
        + kSwap[int(l.effects.swap)];
}

std::string hexText(const Sequence &bytes)
{
    std::string out;
    char digits[8];
    for (const std::uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, "0x%02x, ", b);
        out += digits;
    }
    return out;
}

// A "G" with a tail: no rotation, mirror or band swap looks like another.
const std::vector<std::string> kGlyph16{
    "................",
    "....#######.....",
    "...##.....##....",
    "..##.......#....",
    "..##............",
    "..##............",
    "..##....######..",
    "..##.......##...",
    "..##.......##...",
    "...##.....##....",
    "....#######.....",
    "...........##...",
    "............##..",
    ".............##.",
    "................",
    "#...............",
};

// Whether the finder's output lists these options on a line of their own.
bool lists(const std::string &out, const std::string &options)
{
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const auto profile = line.find("= --profile");
        std::string listed = line.substr(0, profile);
        while (!listed.empty() && listed.back() == ' ')
            listed.pop_back();
        if (listed == "  " + options)
            return true;
    }
    return false;
}

std::string artFile(const std::vector<std::string> &rows)
{
    std::string out;
    for (const auto &r : rows)
        out += r + "\n";
    return out;
}

// A plus sign: every rotation and mirror looks the same, a band swap does not.
std::vector<std::string> plusArt()
{
    std::vector<std::string> plus(16, std::string(16, '.'));
    for (int i = 4; i < 12; ++i) {
        plus[7][std::size_t(i)] = plus[8][std::size_t(i)] = '#';
        plus[std::size_t(i)][7] = plus[std::size_t(i)][8] = '#';
    }
    return plus;
}

TEST(CliFindLayout, RecoversEachOfThe144Combinations)
{
    TempDir dir;
    writeFile(dir.file("g.txt"), artFile(kGlyph16));
    const GlyphPlane glyph = planeFromArt(kGlyph16);
    for (const Layout &l : allLayouts()) {
        const Sequence bytes = toFileOrder(glyph, 16, l.mode, l.effects);
        const CliRun run
            = runCli({"find-layout", "--size", "16", "--glyph", dir.file("g.txt"), "--bytes", hexText(bytes)});
        ASSERT_EQ(run.status, 0) << typed(l) << "\n" << run.err;
        EXPECT_TRUE(lists(run.out, typed(l))) << typed(l) << "\n" << run.out;
        // Its equivalents and nothing else: one line per combination.
        const auto same = equivalentLayouts(l, 16);
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), std::ptrdiff_t(same.size()) + 1) << run.out;
        for (const Layout &other : same)
            EXPECT_TRUE(lists(run.out, typed(other))) << typed(other);
        if (const LayoutProfile *p = profileOf(l)) {
            EXPECT_NE(run.out.find("= --profile " + std::string(p->name)), std::string::npos) << run.out;
        }
    }
}

TEST(CliFindLayout, NoMatchShowsTheClosestAndTheDifferingBytes)
{
    TempDir dir;
    writeFile(dir.file("g.txt"), artFile(kGlyph16));
    // pages-lsb as the words say it: column x of page p is byte p * 16 + x, bit 0
    // the top dot. Row 1 ("....#######.....") is bit 1 of bytes 4 to 10.
    Sequence bytes = toFileOrder(planeFromArt(kGlyph16), 16, Mode::B, Effects{Rotation::R90, Flip::Vertical});
    for (int x = 4; x <= 10; ++x)
        ASSERT_TRUE(bytes[std::size_t(x)] & 0x02) << x;
    bytes[7] &= std::uint8_t(~0x02); // a dot missing
    const CliRun run = runCli({"find-layout", "--size", "16", "--glyph", dir.file("g.txt"), "--bytes", hexText(bytes)});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("No combination gives these bytes"), std::string::npos) << run.out;
    EXPECT_TRUE(lists(run.out, "--mode B --rotate 90 --flip v")) << run.out;
    EXPECT_NE(run.out.find("= --profile pages-lsb"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("byte 7: "), std::string::npos) << run.out;

    // Tied: the plus sign with a dot more is as close in each of the 8 layouts
    // it cannot tell apart. The first of them in the listed order (mode C
    // without effects, rows-msb) is the one proposed, with its equivalents only.
    writeFile(dir.file("plus.txt"), artFile(plusArt()));
    Sequence tied = toFileOrder(planeFromArt(plusArt()), 16, Mode::C);
    tied[0] |= 0x80;
    const CliRun tie
        = runCli({"find-layout", "--size", "16", "--glyph", dir.file("plus.txt"), "--bytes", hexText(tied)});
    EXPECT_EQ(tie.status, 1);
    const std::string head = "The closest, with 1 of 32 bytes different:\n";
    const std::size_t from = tie.out.find(head);
    ASSERT_NE(from, std::string::npos) << tie.out;
    const std::string proposed
        = tie.out.substr(from + head.size(), tie.out.find("Bytes that differ") - from - head.size());
    const std::vector<Layout> first = equivalentLayouts(Layout{Mode::C, {}}, 16);
    EXPECT_EQ(std::count(proposed.begin(), proposed.end(), '\n'), std::ptrdiff_t(first.size())) << proposed;
    for (const Layout &l : first)
        EXPECT_TRUE(lists(proposed, typed(l))) << typed(l) << "\n" << proposed;
    EXPECT_NE(proposed.find("= --profile rows-msb"), std::string::npos) << proposed;
}

TEST(CliFindLayout, SymmetricGlyphSaysItCannotTell)
{
    TempDir dir;
    const std::vector<std::string> plus = plusArt();
    writeFile(dir.file("plus.txt"), artFile(plus));
    const CliRun run = runCli({"find-layout", "--size", "16", "--glyph", dir.file("plus.txt"), "--bytes",
        hexText(toFileOrder(planeFromArt(plus), 16, Mode::C))});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("cannot tell 8 layouts apart"), std::string::npos) << run.out;

    // A blank glyph tells nothing at all.
    writeFile(dir.file("blank.txt"), artFile(std::vector<std::string>(16, std::string(16, '.'))));
    const CliRun blank = runCli(
        {"find-layout", "--size", "16", "--glyph", dir.file("blank.txt"), "--bytes", hexText(Sequence(32, 0))});
    EXPECT_EQ(blank.status, 0) << blank.err;
    EXPECT_NE(blank.out.find("The glyph has no ink"), std::string::npos) << blank.out;
}

TEST(CliFindLayout, BadInput)
{
    TempDir dir;
    writeFile(dir.file("g.txt"), artFile(kGlyph16));
    std::vector<std::string> shortRow = kGlyph16;
    shortRow[3].pop_back();
    writeFile(dir.file("short.txt"), artFile(shortRow));
    const std::string zeros = hexText(Sequence(32, 0));
    struct Case {
        std::vector<std::string> args;
        int status;
        const char *message;
    };
    const std::vector<Case> cases{
        {{"--size", "16", "--glyph", dir.file("g.txt"), "--bytes", "00 01"}, 1, "has 32 bytes; 2 were given"},
        {{"--size", "16", "--glyph", dir.file("g.txt"), "--bytes", "0x100"}, 1, "invalid byte '0x100'"},
        {{"--size", "16", "--glyph", dir.file("g.txt"), "--bytes", "zz"}, 1, "invalid byte 'zz'"},
        {{"--size", "16", "--bytes", zeros}, 1, "no glyph"},
        {{"--size", "16", "--glyph", dir.file("g.txt")}, 1, "no bytes"},
        {{"--size", "16", "--glyph", dir.file("g.txt"), "--font", "x", "--bytes", zeros}, 1, "--font applies to"},
        {{"--size", "16", "--glyph", dir.file("short.txt"), "--bytes", zeros}, 2, "row 4 has 15 characters"},
        {{"--size", "16", "--glyph", dir.file("none.txt"), "--bytes", zeros}, 2, "cannot read"},
        {{"--size", "16", "--glyph", dir.file("g.txt"), "--bytes-file", dir.file("none.txt")}, 2, "cannot read"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> args{"find-layout"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, c.status) << c.message << "\n" << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    // Bytes from a file, written as C source would hold them.
    writeFile(dir.file("bytes.txt"), "{\n" + hexText(toFileOrder(planeFromArt(kGlyph16), 16, Mode::D)) + "\n}\n");
    CliRun run
        = runCli({"find-layout", "--size", "16", "--glyph", dir.file("g.txt"), "--bytes-file", dir.file("bytes.txt")});
    EXPECT_EQ(run.status, 1) << "braces are no hexadecimal";
    writeFile(dir.file("bytes.txt"), hexText(toFileOrder(planeFromArt(kGlyph16), 16, Mode::D)) + "\n");
    run = runCli({"find-layout", "--size", "16", "--glyph", dir.file("g.txt"), "--bytes-file", dir.file("bytes.txt")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("= --profile rows-lsb"), std::string::npos) << run.out;
}

// A character rendered as build renders it, from the dot-matrix font.
TEST(CliFindLayout, RendersTheCharacterAsBuildDoes)
{
    TempDir dir;
    const std::string file = dir.file("l.ZMB");
    CliRun run = runCli({"build", "--source", "font16s", "--font16s", font16sPath(), "--profile", "columns-lsb",
        "--codes", "B0A1", "-o", file});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string bytes = readFile(file).substr(0, 32);
    run = runCli({"find-layout", "--size", "16", "--source", "font16s", "--font16s", font16sPath(), "--codes", "B0A1",
        "--bytes", hexText(Sequence(bytes.begin(), bytes.end()))});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(lists(run.out, "--mode D --rotate 90 --flip v")) << run.out;
    EXPECT_NE(run.out.find("= --profile columns-lsb"), std::string::npos) << run.out;
    // The glyph is drawn in memory: no temporary folder is needed.
    const CliRun noTemp = runCli({"find-layout", "--size", "16", "--source", "font16s", "--font16s", font16sPath(),
                                     "--codes", "B0A1", "--bytes", hexText(Sequence(bytes.begin(), bytes.end()))},
        CliEnvironment{{}, {"TMPDIR=" + dir.file("missing")}, std::nullopt});
    EXPECT_EQ(noTemp.status, 0) << noTemp.err;
    EXPECT_EQ(noTemp.out, run.out);
    run = runCli({"find-layout", "--size", "16", "--source", "font16s", "--font16s", font16sPath(), "--codes",
        "B0A1,B0A2", "--bytes", hexText(Sequence(bytes.begin(), bytes.end()))});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("give one code"), std::string::npos) << run.err;
}

TEST(CliProfile, ContradictingOptionsAreUsageErrors)
{
    TempDir dir;
    const struct {
        std::vector<std::string> args;
        const char *message;
    } cases[] = {
        {{"build", "--profile", "pages-lsb", "--mode", "A", "--codes", "B0A1", "-o", dir.file("x.ZMB")},
            "--mode A contradicts --profile pages-lsb"},
        {{"build", "--profile", "rows-msb", "--rotate", "90", "--codes", "B0A1", "-o", dir.file("x.ZMB")},
            "--rotate 90 contradicts"},
        {{"build", "--profile", "pages", "--codes", "B0A1", "-o", dir.file("x.ZMB")}, "invalid argument 'pages'"},
        {{"convert", "--size", "16", "--from", "C", "--to", "C", "--profile", "pages-msb", "a.ZMB", "b.ZMB"},
            "--to C contradicts"},
        {{"dump", "--size", "16", "--profile", "columns-msb", "--swap", "ud", "a.ZMB"}, "--swap ud contradicts"},
        {{"dump", "--size", "16", "a.ZMB"}, "missing --mode (or --profile)"},
    };
    for (const auto &c : cases) {
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("x.ZMB")));
    }
    // Repeating what the profile says is no contradiction.
    const CliRun run = runCli({"build", "--source", "font16s", "--font16s", font16sPath(), "--profile", "pages-lsb",
        "--mode", "b", "--flip", "v", "--codes", "B0A1", "-o", dir.file("x.ZMB")});
    EXPECT_EQ(run.status, 0) << run.err;
}

// A library built under each profile, dumped under the same profile, shows the
// glyphs upright: as a library in mode C without effects dumps.
TEST(CliProfile, DumpOfAProfileBuildShowsTheUprightGlyphs)
{
    for (const int n : {16, 24, 32}) {
        TempDir dir;
        std::vector<std::string> source{"--size", std::to_string(n), "--codes", "B0A1,B6FE,C4BE"};
        if (n == 16)
            source.insert(source.end(), {"--source", "font16s", "--font16s", font16sPath()});
        auto args = [&](std::vector<std::string> words) {
            words.insert(words.end(), source.begin(), source.end());
            return words;
        };
        CliRun run = runCli(args({"build", "--mode", "C", "-o", dir.file("upright.ZMB")}));
        ASSERT_EQ(run.status, 0) << run.err;
        run = runCli({"dump", "--size", std::to_string(n), "--mode", "C", dir.file("upright.ZMB")});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string upright = run.out;
        ASSERT_NE(upright.find('#'), std::string::npos);
        for (const LayoutProfile &p : layoutProfiles()) {
            run = runCli(args({"build", "--profile", p.name, "-o", dir.file("p.ZMB")}));
            ASSERT_EQ(run.status, 0) << run.err;
            run = runCli({"dump", "--size", std::to_string(n), "--profile", p.name, dir.file("p.ZMB")});
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out, upright) << p.name << " at " << n;
            // The same as --mode with the effects spelled out.
            std::vector<std::string> spelled{"dump", "--size", std::to_string(n)};
            const std::string options = typed(p.layout);
            std::istringstream words(options);
            for (std::string w; words >> w;)
                spelled.push_back(w);
            spelled.push_back(dir.file("p.ZMB"));
            run = runCli(spelled);
            EXPECT_EQ(run.out, upright) << options;
        }
    }
}

const std::vector<std::vector<std::string>> kProofGlyphs{
    {
        "#..............#",
        ".#..............",
        "..#.............",
        "...#............",
        "....#...........",
        ".....#..........",
        "......#.........",
        ".......#........",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "###############.",
    },
    {
        "................",
        ".######.........",
        ".#....#.........",
        ".#....#.........",
        ".######.........",
        ".#..............",
        ".#..............",
        ".#..............",
        "................",
        "............##..",
        "............##..",
        "................",
        "................",
        "................",
        "................",
        "...............#",
    },
    {
        "################",
        "#...............",
        "#...............",
        "#...............",
        "#.......#.......",
        "#...............",
        "#...............",
        "#...............",
        "#...............",
        "#...............",
        "#...............",
        "#...............",
        "#...............",
        "#...............",
        "#...............",
        "#...............",
    },
};

// Each glyph's dots, read back from the pixels of the sheet at their places.
TEST(CliProof, PngShowsEachDotAtItsPlace)
{
    for (const char *profile : {"pages-lsb", "rows-lsb", "columns-msb"}) {
        TempDir dir;
        const Layout layout = findProfile(profile)->layout;
        std::vector<Sequence> glyphs;
        for (const auto &art : kProofGlyphs)
            glyphs.push_back(toFileOrder(planeFromArt(art), 16, layout.mode, layout.effects));
        writeFile(dir.file("lib.ZMB"), writeZmb(glyphs, {"\xB0\xA1", "\xB0\xA2", "\xB0\xA3"}));
        const CliRun run
            = runCli({"proof", "--size", "16", "--profile", profile, dir.file("lib.ZMB"), "-o", dir.file("s.png")});
        ASSERT_EQ(run.status, 0) << run.err;

        cairo_surface_t *image = cairo_image_surface_create_from_png(dir.file("s.png").c_str());
        ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
        const cli::ProofGeometry g{16};
        EXPECT_EQ(cairo_image_surface_get_width(image), int(std::ceil(g.imageWidth(3) * cli::kPngScale)));
        const unsigned char *pixels = cairo_image_surface_get_data(image);
        const int stride = cairo_image_surface_get_stride(image);
        for (int i = 0; i < 3; ++i) {
            const cli::ProofPlace at = cli::proofPlace(g, i, true, 3);
            std::vector<std::string> seen;
            for (int y = 0; y < 16; ++y) {
                std::string row;
                for (int x = 0; x < 16; ++x) {
                    const int px = int((at.x + (x + 0.5) * g.dot()) * cli::kPngScale);
                    const int py = int((at.y + (y + 0.5) * g.dot()) * cli::kPngScale);
                    const std::uint32_t argb = *reinterpret_cast<const std::uint32_t *>(pixels + py * stride + px * 4);
                    row += (argb & 0xFF) < 0x80 ? '#' : '.';
                }
                seen.push_back(row);
            }
            EXPECT_EQ(seen, kProofGlyphs[std::size_t(i)]) << profile << ", glyph " << i;
        }
        cairo_surface_destroy(image);
    }
}

TEST(CliProof, PdfHasA4PagesAndBadOutputNamesAreRefused)
{
    TempDir dir;
    std::vector<Sequence> glyphs(30, toFileOrder(planeFromArt(kGlyph16), 16, Mode::A));
    writeFile(dir.file("lib.ZMB"), writeZmb(glyphs, std::vector<std::string>(30, "\xB0\xA1")));
    CliRun run
        = runCli({"proof", "--size", "16", "--mode", "A", "--bytes", dir.file("lib.ZMB"), "-o", dir.file("s.pdf")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string pdf = readFile(dir.file("s.pdf"));
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    const cli::ProofGeometry g{16, true};
    const int pages = (30 + g.glyphsPerPage() - 1) / g.glyphsPerPage();
    EXPECT_GT(pages, 1);
    const std::regex page("/Type /Page[^s]");
    EXPECT_EQ(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()), pages);
    EXPECT_NE(pdf.find("/MediaBox [ 0 0 595.27"), std::string::npos);

    // A name of another encoding than UTF-8 is shown with its odd bytes as \xNN,
    // in the title as elsewhere.
    std::filesystem::copy_file(dir.file("lib.ZMB"), dir.file("caf\xE9.ZMB"));
    run = runCli({"proof", "--size", "16", "--mode", "A", dir.file("caf\xE9.ZMB"), "-o", dir.file("latin.pdf")});
    ASSERT_EQ(run.status, 0) << run.err;
    // The title as UTF-16 (cairo writes it so because of the backslash): "caf\xE9.ZMB".
    EXPECT_NE(readFile(dir.file("latin.pdf")).find("/Title <FEFF006300610066005C007800450039002E005A004D0042003A"),
        std::string::npos);

    run = runCli({"proof", "--size", "16", "--mode", "A", dir.file("lib.ZMB"), "-o", dir.file("s.svg")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("name it .pdf or .png"), std::string::npos) << run.err;
    run = runCli({"proof", "--size", "16", "--mode", "A", dir.file("none.ZMB"), "-o", dir.file("n.png")});
    EXPECT_EQ(run.status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("n.png")));
}

} // namespace
