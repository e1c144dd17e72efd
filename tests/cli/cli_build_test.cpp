// `dotforge-cli build` against the window: the same choices clicked in a
// workspace (scripted prompts, the real rasteriser, the text import) must give
// the same file bytes as the batch tool.

#include "core/gbk.h"
#include "formats/layout.h"
#include "render/freetype_rasterizer.h"
#include "tests/cli/cli_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

using namespace dotforge;
using namespace dotforge::test;

namespace {

// UTF-8, one repeated character: eight pairs, seven glyphs.
const std::string kTextWithRepeat = "汉字点阵汉库形状";

struct BuildCase {
    const char *label;
    int size;
    bool font16s;
    int variant;
    Mode mode;
    Effects effects;
    bool atRender;
    FileType type;
    std::string face; // "" for the default
    int pointSize; // 0 for the size's default
    std::vector<std::string> cliArgs;
};

void PrintTo(const BuildCase &c, std::ostream *os)
{
    *os << c.label;
}

// The window: the same choices through the same commands, the text file
// imported with Button1Click and saved with the save dialog.
std::string windowBytes(const BuildCase &c, const std::string &textPath, const std::string &outPath)
{
    FreeTypeRasterizer rasterizer;
    TestWorkspace tw({true, true, &rasterizer});
    Workspace &ws = tw.ws();
    ScriptedPrompts &p = tw.prompts();
    if (c.size == 24)
        ws.mnu24Click();
    if (c.size == 32)
        ws.mnu32Click();
    if (c.font16s) {
        ws.RUClick();
        ws.UJFClick(c.variant);
    } else if (!c.face.empty() || c.pointSize) {
        p.fontChoice(
            FontChoice{c.face.empty() ? "宋体" : c.face, c.pointSize ? c.pointSize : ws.codeTable().FontSize()});
        ws.FontBtnClick();
    }
    ws.mnuModeClick(c.mode);
    ws.mnuRotationClick(c.effects.rotation);
    ws.mnuFlipClick(c.effects.flip);
    ws.mnuSwapClick(c.effects.swap);
    if (c.atRender) {
        p.answer(Answer::Yes);
        ws.mnuViewClick();
    }
    p.fileChoice(FileChoice{textPath, 1});
    ws.Button1Click();
    p.fileChoice(FileChoice{outPath, int(c.type)});
    ws.SaveXFile();
    const auto warnings = p.texts("warning");
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), "小字库中已有该区位码的字!"), 1);
    EXPECT_TRUE(p.allConsumed());
    return readFile(outPath);
}

class BuildMatchesWindow : public testing::TestWithParam<BuildCase> { };

TEST_P(BuildMatchesWindow, SameBytes)
{
    const BuildCase &c = GetParam();
    TempDir dir;
    const std::string textPath = dir.file("strings.txt");
    writeFile(textPath, kTextWithRepeat + "\n第二行不导入\n");
    const std::string ext = c.type == FileType::ASM ? ".ASM" : ".ZMB";
    const std::string expected = windowBytes(c, textPath, dir.file("window" + ext));

    std::vector<std::string> args{"build", "--text-file", textPath, "-o", dir.file("cli" + ext)};
    args.insert(args.end(), c.cliArgs.begin(), c.cliArgs.end());
    if (c.font16s)
        args.insert(args.end(), {"--font16s", font16sPath()});
    const CliRun run = runCli(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("cli" + ext)), expected);
    // The glyphs were drawn: the first one has ink.
    if (c.type == FileType::ZMB) {
        EXPECT_GT(std::count_if(expected.begin(), expected.begin() + c.size * c.size / 8, [](char b) { return b; }), 8);
    } else {
        EXPECT_TRUE(std::regex_search(expected, std::regex("0([1-9A-F][0-9A-F]|0[1-9A-F])H")));
    }
    // Seven glyphs of the eight pairs; the repeat and the second line are reported.
    if (c.type == FileType::ZMB) {
        EXPECT_EQ(expected.size(), 7u * std::size_t(c.size * c.size / 8 + 2));
    }
    // The repeated code is named by the variant's own set: BABA is 漢 in GB/T
    // 12345, 査 in JIS X 0208 and 스 in the Korean variant (KS X 1001 row 29).
    const char *const named[] = {"汉", "漢", "査", "스"};
    EXPECT_NE(
        run.err.find(std::string("warning: BABA ") + named[c.font16s ? c.variant : 0] + ": 小字库中已有该区位码的字!"),
        std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("only its first line is imported"), std::string::npos) << run.err;
}

const Effects kNone{};
const Effects kRot90FlipHSwapUd{Rotation::R90, Flip::Horizontal, Swap::UpDown};
const Effects kRot270FlipVSwapLr{Rotation::R270, Flip::Vertical, Swap::LeftRight};
const Effects kRot180{Rotation::R180, Flip::None, Swap::None};

INSTANTIATE_TEST_SUITE_P(Cli, BuildMatchesWindow,
    testing::Values(BuildCase{"ttf16A", 16, false, 0, Mode::A, kNone, false, FileType::ZMB, "", 0, {}},
        BuildCase{"ttf24B", 24, false, 0, Mode::B, kNone, false, FileType::ZMB, "", 0, {"--size", "24", "--mode", "B"}},
        BuildCase{"ttf32C", 32, false, 0, Mode::C, kNone, false, FileType::ZMB, "", 0, {"--size", "32", "--mode", "c"}},
        BuildCase{"ttf16D_asm", 16, false, 0, Mode::D, kNone, false, FileType::ASM, "", 0, {"--mode", "D"}},
        BuildCase{"ttf24A_effectsAtSave", 24, false, 0, Mode::A, kRot90FlipHSwapUd, false, FileType::ZMB, "", 0,
            {"--size", "24", "--rotate", "90", "--flip", "h", "--swap", "ud"}},
        BuildCase{"ttf16C_effectsAtRender", 16, false, 0, Mode::C, kRot270FlipVSwapLr, true, FileType::ZMB, "", 0,
            {"--mode", "C", "--rotate", "270", "--flip", "v", "--swap", "lr", "--effects-at", "render"}},
        BuildCase{"ttf32D_effectsAtRender_asm", 32, false, 0, Mode::D, kRot180, true, FileType::ASM, "", 0,
            {"--size", "32", "--mode", "D", "--rotate", "180", "--effects-at", "render", "--format", "asm"}},
        BuildCase{"ttf16B_faceAndPoints", 16, false, 0, Mode::B, kNone, false, FileType::ZMB, "AR PL UMing TW", 14,
            {"--mode", "B", "--font", "AR PL UMing TW", "--point-size", "14"}},
        BuildCase{
            "font16sSimplifiedA", 16, true, 0, Mode::A, kNone, false, FileType::ZMB, "", 0, {"--source", "font16s"}},
        BuildCase{"font16sTraditionalB_effectsAtSave", 16, true, 1, Mode::B, kRot90FlipHSwapUd, false, FileType::ZMB,
            "", 0,
            {"--source", "font16s", "--variant", "1", "--mode", "B", "--rotate", "90", "--flip", "h", "--swap", "ud"}},
        BuildCase{"font16sJapaneseC_effectsAtRender_asm", 16, true, 2, Mode::C, kRot270FlipVSwapLr, true, FileType::ASM,
            "", 0,
            {"--source", "font16s", "--variant", "2", "--mode", "C", "--rotate", "270", "--flip", "v", "--swap", "lr",
                "--effects-at", "render"}},
        BuildCase{"font16sKoreanD", 16, true, 3, Mode::D, kNone, false, FileType::ZMB, "", 0,
            {"--source", "font16s", "--variant", "3", "--mode", "D"}}),
    [](const testing::TestParamInfo<BuildCase> &info) { return std::string(info.param.label); });

// --text and --codes name the same characters as the text file: same bytes.
TEST(CliBuild, TextCodesAndFileAgree)
{
    TempDir dir;
    writeFile(dir.file("gbk.txt"), "\xBA\xBA\xD7\xD6\xB5\xE3"); // 汉字点 in GBK, no line end
    const std::vector<std::string> common{"build", "--size", "24", "--mode", "C"};
    auto build = [&](std::vector<std::string> extra, const std::string &out) {
        std::vector<std::string> args = common;
        args.insert(args.end(), extra.begin(), extra.end());
        args.insert(args.end(), {"-o", dir.file(out)});
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        return readFile(dir.file(out));
    };
    const std::string fromText = build({"--text", "汉字点"}, "t.ZMB");
    EXPECT_EQ(fromText.size(), 3u * (72 + 2));
    EXPECT_EQ(fromText.substr(3 * 72), "\xBA\xBA\xD7\xD6\xB5\xE3");
    EXPECT_EQ(build({"--codes", "BABA, D7D6,b5e3"}, "c.ZMB"), fromText);
    EXPECT_EQ(build({"--text-file", dir.file("gbk.txt")}, "f.ZMB"), fromText);
}

// More than 200 codes: no limit in the batch tool. The first 200 glyphs are
// those of a library of 200, and a text of 202 pairs gives the same file as
// the 202 codes.
TEST(CliBuild, MoreThan200Glyphs)
{
    TempDir dir;
    std::string codes;
    std::string gbk;
    for (int i = 0; i < 202; ++i) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%02X%02X", 0xB0 + i / 94, 0xA1 + i % 94);
        codes += (i ? "," : "") + std::string(buf);
        gbk += {char(0xB0 + i / 94), char(0xA1 + i % 94)};
    }
    CliRun run = runCli({"build", "--codes", codes, "-o", dir.file("more.ZMB")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string more = readFile(dir.file("more.ZMB"));
    ASSERT_EQ(more.size(), 202u * 34);
    EXPECT_EQ(more.substr(202 * 32 + 200 * 2), "\xB2\xAD\xB2\xAE"); // codes 200 and 201: 箔 伯

    run = runCli({"build", "--codes", codes.substr(0, 200 * 5 - 1), "-o", dir.file("full.ZMB")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string full = readFile(dir.file("full.ZMB"));
    EXPECT_EQ(more.substr(0, 200 * 32), full.substr(0, 200 * 32));
    EXPECT_EQ(more.substr(202 * 32, 400), full.substr(200 * 32));

    writeFile(dir.file("long.txt"), gbk);
    run = runCli({"build", "--text-file", dir.file("long.txt"), "-o", dir.file("long.ZMB")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("long.ZMB")), more);
    EXPECT_EQ(run.err, "");
}

// The C source holds the .ZMB bytes: a small program linked with it prints
// its arrays, which must equal the .ZMB of the same build.
TEST(CliBuild, CSourceCompilesAndHoldsTheZmbBytes)
{
    TempDir dir;
    const std::vector<std::string> choices{
        "build", "--size", "16", "--mode", "B", "--rotate", "90", "--text", "汉字点阵"};
    auto build = [&](const std::string &out, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = choices;
        args.insert(args.end(), extra.begin(), extra.end());
        args.insert(args.end(), {"-o", dir.file(out)});
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 0) << run.err;
    };
    build("ref.ZMB");
    build("my font-16.c");
    build("my font-16.h");
    const std::string source = readFile(dir.file("my font-16.c"));
    EXPECT_NE(source.find("const unsigned char my_font_16_glyphs[128] = {"), std::string::npos);
    EXPECT_NE(source.find("/* 0: BABA 汉"), std::string::npos);
    EXPECT_NE(source.find("const unsigned int my_font_16_count = 4;"), std::string::npos);
    const std::string header = readFile(dir.file("my font-16.h"));
    EXPECT_NE(header.find("#ifndef MY_FONT_16_H"), std::string::npos);

    writeFile(dir.file("main.c"), R"(#include <stdio.h>
#include "my font-16.h"
int main(void)
{
    unsigned int i;
    for (i = 0; i < my_font_16_count * MY_FONT_16_GLYPH_BYTES; ++i)
        putchar(my_font_16_glyphs[i]);
    for (i = 0; i < 2 * my_font_16_count; ++i)
        putchar(my_font_16_codes[i]);
    return 0;
}
)");
    const std::string d = dir.path().string();
    const std::string gcc = "cd '" + d + "' && gcc -std=c99 -Wall -Wextra -Werror -c 'my font-16.c' -o font.o"
        + " && gcc -std=c99 -Wall -Wextra -Werror main.c font.o -o print" + " && ./print > printed.bin";
    ASSERT_EQ(std::system(gcc.c_str()), 0);
    EXPECT_EQ(readFile(dir.file("printed.bin")), readFile(dir.file("ref.ZMB")));

    // An empty library is valid C as well.
    const CliRun none = runCli({"build", "--text", "", "--name", "none", "-o", dir.file("none.c")});
    ASSERT_EQ(none.status, 0) << none.err;
    EXPECT_NE(none.err.find("the library is empty"), std::string::npos);
    EXPECT_NE(readFile(dir.file("none.c")).find("const unsigned int none_count = 0;"), std::string::npos);
    const std::string compileEmpty = "cd '" + d + "' && gcc -std=c99 -Wall -Wextra -Werror -c none.c";
    EXPECT_EQ(std::system(compileEmpty.c_str()), 0);
}

// A string as a C literal: every byte as an octal escape.
std::string cLiteral(const std::string &bytes)
{
    std::string out = "\"";
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += '\\';
        out += char('0' + (b >> 6));
        out += char('0' + ((b >> 3) & 7));
        out += char('0' + (b & 7));
    }
    return out + "\"";
}

// The glyph rows of a BDF font by encoding, as '#' and '.', as wide as its
// bounding box.
std::map<long, std::string> bdfPictures(const std::string &bdf)
{
    std::map<long, std::string> pictures;
    std::istringstream lines(bdf);
    long encoding = -1;
    int n = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("ENCODING "))
            encoding = std::stol(line.substr(9));
        if (line.starts_with("BBX "))
            n = std::stoi(line.substr(4));
        if (line != "BITMAP")
            continue;
        std::string &picture = pictures[encoding];
        for (std::getline(lines, line); line != "ENDCHAR"; std::getline(lines, line)) {
            const unsigned long row = std::stoul(line, nullptr, 16);
            const int bits = int(line.size()) * 4;
            for (int x = 0; x < n; ++x)
                picture += (row >> (bits - 1 - x)) & 1 ? '#' : '.';
            picture += '\n';
        }
    }
    return pictures;
}

// C output keyed by code point with half-width Latin, in every set, compiled
// as strict C99 and run: NAME_find_utf8 walks strings of one- to four-byte
// characters and malformed ones as the table says (the code point found, hNN
// for a half-width glyph, or -1, and the bytes passed over), and draws a
// string of Chinese, Japanese, Korean and Latin characters as the BDF of the
// same build holds its glyphs. For a Cortex-M0 the file compiles with
// everything but the code in read-only data.
TEST(CliBuild, UnicodeKeysFindUtf8Characters)
{
    TempDir dir;
    const std::string d = dir.path().string();
    struct Build {
        std::vector<std::string> args;
        std::string text; // the characters of the library
    };
    const std::vector<Build> builds{
        {{"--latin"}, "汉字点阵中文 OK"},
        {{"--set", "jisx0208", "--latin", "all"}, "日本語カナ"},
        {{"--source", "font16s", "--font16s", font16sPath(), "--variant", "3", "--set", "ksx1001", "--latin"},
            "한국어 A"},
        {{"--set", "unicode", "--latin"}, "中日本語한국어😀 Hi!"},
        {{"--set", "gb2312", "--latin"}, "中文 ok"},
        {{"--source", "font16s", "--font16s", font16sPath(), "--variant", "1", "--set", "gbt12345", "--latin"},
            "們個中 A"},
    };
    // Each string with what the walk gives: the code point of each step's
    // glyph or -1 (A? stands for the half-width A or -1), and the bytes it
    // passed over.
    const std::vector<std::pair<std::string, std::string>> walks{
        {"中", "4E2D:3 "}, {"A\xC2\xA9", "A?:1 -1:2 "}, // ASCII, and a two-byte character no library has
        {"😀中", "1F600:4 4E2D:3 "},
        {"\x80\xFF中", "-1:1 -1:1 4E2D:3 "}, // a stray continuation byte, a byte no UTF-8 has
        {"\xE4\xB8", "-1:2 "}, // cut short by the end of the string
        {std::string("\xE4\xB8") + "A", "-1:2 A?:1 "}, // cut short by an ASCII byte, which still counts
        {"\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80", "-1:2 -1:3 -1:4 "}, // overlong, surrogate, past U+10FFFF
    };
    for (std::size_t b = 0; b < builds.size(); ++b) {
        const std::string name = "f" + std::to_string(b);
        SCOPED_TRACE(builds[b].text);
        std::vector<std::string> args{"build", "--text", builds[b].text};
        args.insert(args.end(), builds[b].args.begin(), builds[b].args.end());
        for (const char *out : {".c", ".h", ".bdf"}) {
            std::vector<std::string> withOut = args;
            if (std::string(out) != ".bdf") // mode C without effects: the rows as the BDF holds them
                withOut.insert(withOut.end(), {"--mode", "C", "--key", "unicode"});
            withOut.insert(withOut.end(), {"-o", dir.file(name + out)});
            const CliRun run = runCli(withOut);
            ASSERT_EQ(run.status, 0) << run.err;
        }
        std::string main = "#include <stdio.h>\n#include \"" + name + ".h\"\n"
            + "static void walk(const char *s)\n{\n    while (*s) {\n        const char *before = s;\n"
            + "        const int g = " + name + "_find_utf8(&s);\n"
            + "        if (g < 0)\n            printf(\"-1:%d \", (int)(s - before));\n" + "        else if (g >= (int)"
            + name + "_count)\n            printf(\"h%X:%d \", " + name + "_half_chars[g - (int)" + name
            + "_count], (int)(s - before));\n        else\n" + "            printf(\"%lX:%d \", (unsigned long)" + name
            + "_codes[g], (int)(s - before));\n    }\n" + "    printf(\"\\n\");\n}\n"
            + "static void draw(const char *s)\n{\n    while (*s) {\n        const int g = " + name
            + "_find_utf8(&s);\n        int y, x;\n        for (y = 0; g >= 0 && y < 16; ++y) {\n"
            + "            const unsigned char *row = " + name + "_bitmap(g) + y * ((" + name + "_width(g) + 7) / 8);\n"
            + "            for (x = 0; x < " + name + "_width(g); ++x)\n"
            + "                putchar(row[x / 8] & (0x80 >> (x % 8)) ? '#' : '.');\n"
            + "            putchar('\\n');\n        }\n    }\n}\nint main(void)\n{\n";
        for (const auto &[bytes, steps] : walks)
            main += "    walk(" + cLiteral(bytes) + ");\n";
        main += "    draw(" + cLiteral(builds[b].text) + ");\n    return 0;\n}\n";
        writeFile(dir.file(name + "_main.c"), main);
        const std::string strict = "gcc -std=c99 -Wall -Wextra -Werror -pedantic ";
        const std::string gcc = "cd '" + d + "' && " + strict + name + ".c " + name + "_main.c -o " + name + " && ./"
            + name + " > " + name + ".out";
        ASSERT_EQ(std::system(gcc.c_str()), 0);

        std::string expected;
        const std::u32string characters = *utf8ToUtf32(builds[b].text);
        const bool allLatin = std::find(builds[b].args.begin(), builds[b].args.end(), "all") != builds[b].args.end();
        const bool halfA = allLatin || builds[b].text.find('A') != std::string::npos;
        for (const auto &[bytes, steps] : walks) {
            std::string line = std::regex_replace(steps, std::regex("A\\?"), halfA ? "h41" : "-1");
            // A step finds its code point only where the library has it.
            for (const char *cp : {"4E2D", "1F600"}) {
                const bool held = characters.find(char32_t(std::stoul(cp, nullptr, 16))) != std::u32string::npos;
                for (std::size_t at = 0; !held && (at = line.find(cp + std::string(":"))) != std::string::npos;)
                    line.replace(at, std::strlen(cp), "-1");
            }
            expected += line + "\n";
        }
        const std::map<long, std::string> pictures = bdfPictures(readFile(dir.file(name + ".bdf")));
        for (const char32_t c : characters)
            expected += pictures.at(long(c));
        EXPECT_EQ(readFile(dir.file(name + ".out")), expected);

        {
            const std::string m0 = "cd '" + d + "' && arm-none-eabi-gcc -mcpu=cortex-m0 -mthumb -Os -ffreestanding "
                + "-std=c99 -Wall -Wextra -Werror -pedantic -c " + name + ".c -o " + name + "_m0.o && arm-none-eabi-nm "
                + name + "_m0.o > " + name + "_m0.nm";
            ASSERT_EQ(std::system(m0.c_str()), 0);
            const std::string symbols = readFile(dir.file(name + "_m0.nm"));
            for (const std::string symbol : {"_glyphs", "_codes", "_count", "_half", "_half_chars"})
                EXPECT_NE(symbols.find(" R " + name + symbol + "\n"), std::string::npos) << symbols;
            for (const std::string symbol : {"_find_utf8", "_bitmap", "_width"})
                EXPECT_NE(symbols.find(" T " + name + symbol + "\n"), std::string::npos) << symbols;
            EXPECT_EQ(std::regex_search(symbols, std::regex(" [DdBbCc] ")), false) << symbols;
        }
    }
}

// The digest of the font file in C output is sha256sum's, remembered in the
// cache folder of XDG_CACHE_HOME; the build with the remembered digest writes
// the same file, and a remembered digest that was edited is not believed.
TEST(CliBuild, FontDigestIsRememberedBetweenBuilds)
{
    TempDir dir;
    const std::string font = "/usr/share/fonts/truetype/arphic-gbsn00lp/gbsn00lp.ttf";
    ASSERT_EQ(std::system(("sha256sum '" + font + "' > '" + dir.file("sum") + "'").c_str()), 0);
    const std::string digest = readFile(dir.file("sum")).substr(0, 64);
    const CliEnvironment env{{}, {"XDG_CACHE_HOME=" + dir.file("cache")}, std::nullopt};
    const std::vector<std::string> args{"build", "--font", "AR PL SungtiL GB", "--text", "汉字", "-o"};
    // Each build into a folder of its own: the file's name names the arrays.
    const auto build = [&](const std::string &folder) {
        std::filesystem::create_directories(dir.file(folder));
        std::vector<std::string> words = args;
        words.push_back(dir.file(folder + "/font.c"));
        const CliRun run = runCli(words, env);
        EXPECT_EQ(run.status, 0) << run.err;
        return readFile(dir.file(folder + "/font.c"));
    };
    const std::string first = build("one");
    EXPECT_NE(first.find(" * SHA-256 of the font file: " + digest + " */"), std::string::npos);
    const std::string cache = readFile(dir.file("cache/dotforge/font-digests"));
    EXPECT_EQ(cache, digest + cache.substr(64, cache.find(' ' + font) - 64) + ' ' + font + '\n');
    EXPECT_EQ(build("two"), first);

    // A digest edited in the cache is not taken: the font is hashed again, the
    // output is the same and the entry is written anew.
    writeFile(dir.file("cache/dotforge/font-digests"), std::string(64, 'f') + cache.substr(64));
    EXPECT_EQ(build("three"), first);
    EXPECT_EQ(readFile(dir.file("cache/dotforge/font-digests")), cache);
}

// What fontconfig answered is remembered in the cache folder and believed
// while the files and folders it stands on are unchanged: a remembered font
// file is drawn from (here one edited into the cache), and a font folder that
// changed has fontconfig asked again.
TEST(CliBuild, FontconfigAnswersAreRememberedWhileItsFilesStay)
{
    namespace fs = std::filesystem;
    TempDir dir;
    fs::create_directories(dir.file("fonts"));
    const std::string font = dir.file("fonts/song.ttf");
    fs::create_symlink("/usr/share/fonts/truetype/arphic-gbsn00lp/gbsn00lp.ttf", font);
    fs::create_directories(dir.file("conf"));
    writeFile(dir.file("conf/fonts.conf"),
        "<?xml version=\"1.0\"?>\n<fontconfig><dir>" + dir.file("fonts") + "</dir><cachedir>" + dir.file("fc-cache")
            + "</cachedir></fontconfig>\n");
    // Files changed a moment ago are not believed to stay: these changed an
    // hour ago.
    const auto anHourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(dir.file("fonts"), anHourAgo);
    fs::last_write_time(dir.file("conf/fonts.conf"), anHourAgo);
    const CliEnvironment env{
        {}, {"FONTCONFIG_FILE=" + dir.file("conf/fonts.conf"), "XDG_CACHE_HOME=" + dir.file("cache")}, std::nullopt};
    const std::string cache = dir.file("cache/dotforge/fontconfig-answers");
    const auto build = [&] {
        const CliRun run
            = runCli({"build", "--font", "AR PL SungtiL GB", "--text", "啊", "-o", dir.file("out.ZMB")}, env);
        EXPECT_EQ(run.status, 0) << run.err;
        return readFile(dir.file("out.ZMB"));
    };

    const std::string drawn = build();
    std::string answers = readFile(cache);
    const std::string line = '\t' + font + "\tAR PL SungtiL GB\t";
    ASSERT_NE(answers.find(line), std::string::npos) << answers;
    EXPECT_NE(answers.find("\nA 0\tAR PL SungtiL GB\n"), std::string::npos);
    EXPECT_NE(answers.find('\t' + dir.file("conf/fonts.conf") + '\n'), std::string::npos);

    // The remembered file edited: it is drawn from until a file the answers
    // stand on changes (the font folder; a "local.conf" made beside
    // "fonts.conf", which the standard configuration includes).
    const auto edited = [&] {
        answers = readFile(cache);
        answers.replace(
            answers.find(line), line.size(), "\t/usr/share/fonts/truetype/arphic/uming.ttc\tAR PL SungtiL GB\t");
        writeFile(cache, answers);
        return build();
    };
    EXPECT_NE(edited(), drawn) << "the remembered file is drawn from";
    fs::last_write_time(dir.file("fonts"), anHourAgo + std::chrono::seconds(1));
    EXPECT_EQ(build(), drawn);
    EXPECT_NE(edited(), drawn);
    writeFile(dir.file("conf/local.conf"), "<fontconfig/>\n");
    EXPECT_EQ(build(), drawn);
}

// The tool draws without any display or platform plugin: the display variables,
// unset or naming nothing that exists, change nothing.
TEST(CliBuild, NeedsNoDisplay)
{
    TempDir dir;
    const std::vector<std::string> display{"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
    const CliRun unset = runCli({"build", "--text", "字", "-o", dir.file("unset.ZMB")}, display);
    EXPECT_EQ(unset.status, 0) << unset.err;
    EXPECT_EQ(unset.err, "");
    const std::string bytes = readFile(dir.file("unset.ZMB"));
    EXPECT_EQ(bytes.size(), 34u);
    EXPECT_GT(std::count_if(bytes.begin(), bytes.begin() + 32, [](char b) { return b; }), 8);

    const CliRun bogus = runCli({"build", "--text", "字", "-o", dir.file("bogus.ZMB")},
        CliEnvironment{display, {"QT_QPA_PLATFORM=no-such-platform", "DISPLAY=:4711", "WAYLAND_DISPLAY=no-such-socket"},
            std::nullopt});
    EXPECT_EQ(bogus.status, 0) << bogus.err;
    EXPECT_EQ(bogus.err, "");
    EXPECT_EQ(readFile(dir.file("bogus.ZMB")), bytes);
}

// Only an installed face is accepted: by name, localized name or the stand-in
// of "宋体", or a bitmap face at the point size of one of its strikes; an
// unknown face is a usage error.
TEST(CliBuild, FaceMustBeInstalled)
{
    TempDir dir;
    for (const char *face : {"AR PL SungtiL GB", "文鼎ＰＬ简报宋", "宋体", "SimSun", "WenQuanYi Bitmap Song"}) {
        const CliRun run = runCli({"build", "--text", "字", "--font", face, "-o", dir.file("x.ZMB")});
        EXPECT_EQ(run.status, 0) << face << ": " << run.err;
    }
    const CliRun run = runCli({"build", "--text", "字", "--font", "No Such Face", "-o", dir.file("x.ZMB")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("no face 'No Such Face' is installed"), std::string::npos) << run.err;
}

} // namespace
