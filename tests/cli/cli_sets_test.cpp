// Whole character sets through the batch tool: GB2312 from "Font16s" against
// the file and the standard's table, collect over a small product tree,
// --check before and after a one-dot change, reproducible C output, --report.

#include "cli/glyph_text.h"
#include "cli/library_files.h"
#include "core/gbk.h"
#include "sources/glyph_sources.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/unihan_kgb1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iconv.h>
#include <map>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace dotforge;
using namespace dotforge::test;

namespace {

// The character iconv gives a two-byte code of `encoding`, as UTF-8; "" for
// none.
std::string iconvCharacter(const char *encoding, unsigned lead, unsigned trail)
{
    const iconv_t cd = iconv_open("UTF-8", encoding);
    char in[2] = {char(lead), char(trail)};
    char out[8];
    char *src = in;
    char *dst = out;
    std::size_t inLeft = 2;
    std::size_t outLeft = sizeof out;
    const bool ok = iconv(cd, &src, &inLeft, &dst, &outLeft) != std::size_t(-1) && inLeft == 0;
    iconv_close(cd);
    return ok ? std::string(out, sizeof out - outLeft) : std::string();
}

// The bytes iconv encodes UTF-8 text as in `encoding`, in hexadecimal, two
// bytes a code: "C6FCCBDC".
std::string iconvCodes(const char *encoding, const std::string &utf8)
{
    const iconv_t cd = iconv_open(encoding, "UTF-8");
    std::string in = utf8;
    char out[256];
    char *src = in.data();
    char *dst = out;
    std::size_t inLeft = in.size();
    std::size_t outLeft = sizeof out;
    const bool ok = iconv(cd, &src, &inLeft, &dst, &outLeft) != std::size_t(-1) && inLeft == 0;
    iconv_close(cd);
    if (!ok)
        return "(no code)";
    std::string hex;
    for (char *b = out; b < dst; ++b)
        hex += "0123456789ABCDEF"[(*b >> 4) & 15] + std::string(1, "0123456789ABCDEF"[*b & 15]);
    return hex;
}

// The glyphs of a BDF font: every STARTCHAR ... ENDCHAR block.
std::string bdfGlyphBlocks(const std::string &bdf)
{
    const std::size_t first = bdf.find("STARTCHAR");
    return bdf.substr(first, bdf.rfind("ENDFONT") - first);
}

// The GB2312 table as glibc's iconv has it: every code that decodes.
std::vector<std::string> gb2312Table()
{
    std::vector<std::string> codes;
    for (unsigned lead = 0xA1; lead <= 0xFE; ++lead)
        for (unsigned trail = 0xA1; trail <= 0xFE; ++trail)
            if (!iconvCharacter("GB2312", lead, trail).empty())
                codes.push_back(std::string{char(lead), char(trail)});
    return codes;
}

// The full set from the dot-matrix font in mode C without effects, which is
// the raw order itself: each glyph is its record of "Font16s", byte for byte.
TEST(CliSets, FullGb2312FromFont16s)
{
    TempDir dir;
    const CliRun run = runCli({"build", "--source", "font16s", "--font16s", font16sPath(), "--charset", "gb2312",
        "--mode", "C", "-o", dir.file("gb2312.ZMB")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string zmb = readFile(dir.file("gb2312.ZMB"));
    const std::vector<std::string> table = gb2312Table();
    ASSERT_EQ(table.size(), 7445u);
    ASSERT_EQ(zmb.size(), 7445u * 34);
    const std::string font = readFile(font16sPath());
    int inked = 0;
    for (std::size_t g = 0; g < table.size(); ++g) {
        const std::string code = zmb.substr(7445 * 32 + 2 * g, 2);
        ASSERT_EQ(code, table[g]) << g; // the standard's codes, ascending
        const std::string glyph = zmb.substr(32 * g, 32);
        ASSERT_EQ(glyph, font.substr(std::size_t(codeRecordIndex(code)) * 32, 32)) << codeHex(code);
        inked += glyph != std::string(32, '\0');
    }
    EXPECT_GT(inked, 7400);
}

// Every glyph of every variant of "Font16s" is named by its variant's own
// set in the C file: traditional characters (Unihan's kGB1) at GB2312's
// positions, JIS X 0208 read as EUC-JP, KS X 1001 read as EUC-KR with its
// file's numbering (no rows 13 to 15); the BDF encodes them so.
TEST(CliSets, Font16sVariantsNameTheirOwnCharacters)
{
    TempDir dir;
    const std::map<std::uint32_t, char32_t> kGb1 = unihanKGb1();
    ASSERT_GT(kGb1.size(), 6000u);
    for (int variant = 1; variant <= 3; ++variant) {
        const std::string out = dir.file("v" + std::to_string(variant) + ".c");
        const CliRun run = runCli({"build", "--source", "font16s", "--font16s", font16sPath(), "--variant",
            std::to_string(variant), "--charset", "all", "-o", out});
        ASSERT_EQ(run.status, 0) << run.err;
        std::istringstream text(readFile(out));
        int named = 0;
        for (std::string row; std::getline(text, row);) {
            // "    /* 12: B0A1 啊" or "    /* 12: B0A1" when the code names no character
            const std::size_t colon = row.find(": ");
            if (!row.starts_with("    /* ") || colon == std::string::npos || row.size() < colon + 6)
                continue;
            const unsigned lead = unsigned(std::stoul(row.substr(colon + 2, 2), nullptr, 16));
            const unsigned trail = unsigned(std::stoul(row.substr(colon + 4, 2), nullptr, 16));
            const std::string shown = row.size() > colon + 7 ? row.substr(colon + 7) : std::string();
            std::string expected;
            if (variant == 1) {
                const auto found = kGb1.find(lead << 8 | trail);
                expected = found != kGb1.end() ? encodeUtf8(found->second) : iconvCharacter("GB2312", lead, trail);
            } else if (variant == 2) {
                expected = iconvCharacter("EUC-JP", lead, trail);
            } else {
                expected = iconvCharacter("EUC-KR", lead >= 0xAD ? lead + 3 : lead, trail);
            }
            ASSERT_EQ(shown, expected) << "variant " << variant << ": " << row;
            named += !shown.empty();
        }
        EXPECT_GT(named, 6000) << "variant " << variant;
    }
    // JIS X 0208 row 42, cell 33: 柄, at U+67C4 in the BDF.
    const CliRun bdf = runCli({"build", "--source", "font16s", "--font16s", font16sPath(), "--variant", "2", "--codes",
        "CAC1", "-o", dir.file("hei.bdf")});
    ASSERT_EQ(bdf.status, 0) << bdf.err;
    EXPECT_NE(readFile(dir.file("hei.bdf")).find("\nENCODING 26564\n"), std::string::npos);

    // A .ZMB file carries no set: dump, convert and proof are told it.
    ASSERT_EQ(runCli({"build", "--source", "font16s", "--font16s", font16sPath(), "--variant", "3", "--codes",
                         "ADA1,B0A1", "-o", dir.file("ko.ZMB")})
                  .status,
        0);
    const std::vector<std::pair<std::vector<std::string>, std::string>> labels{
        {{"--variant", "3"}, "ADA1 가"}, {{"--set", "ksx1001"}, "B0A1 가"}, {{}, "B0A1 啊"}};
    for (const auto &[naming, label] : labels) {
        std::vector<std::string> args{"dump", "--size", "16", "--mode", "A", dir.file("ko.ZMB")};
        args.insert(args.begin() + 1, naming.begin(), naming.end());
        EXPECT_NE(runCli(args).out.find(label + "\n"), std::string::npos) << label;
    }
    ASSERT_EQ(
        runCli({"convert", "--size", "16", "--from", "A", "--variant", "3", dir.file("ko.ZMB"), dir.file("ko.bdf")})
            .status,
        0);
    EXPECT_NE(readFile(dir.file("ko.bdf")).find("STARTCHAR uniAC00\nENCODING 44032\n"), std::string::npos);
}

// Text and codes read in a set. The codes are the set's: iconv's encoding of
// the text (or, for GB/T 12345, the simplified form's position); the glyphs
// are those of the same characters read as Unicode. With the dot-matrix
// source a character is looked up in the variant, so the library equals the
// one made from the variant's own code.
TEST(CliSets, TextAndCodesAreReadInTheirSet)
{
    TempDir dir;
    const std::vector<std::string> f16{"--source", "font16s", "--font16s", font16sPath()};
    const auto with = [](std::vector<std::string> a, const std::vector<std::string> &b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    struct Row {
        std::vector<std::string> args;
        std::string codes; // expected, hexadecimal
        std::vector<std::string> sameAs; // a build of the same library, or empty: the text as Unicode
    };
    const std::string korean = "한국어";
    const std::vector<Row> rows{
        {{"--set", "jisx0208", "--text", "日本語カナ"}, iconvCodes("EUC-JP", "日本語カナ"), {}},
        {{"--set", "ksx1001", "--text", korean}, iconvCodes("EUC-KR", korean), {}},
        {{"--set", "gb2312", "--text", "中文"}, iconvCodes("GB2312", "中文"), {}},
        {{"--set", "gbt12345", "--text", "們個"}, iconvCodes("GB2312", "们个"), {}},
        {with(f16, {"--variant", "2", "--set", "jisx0208", "--text", "柄"}), "CAC1",
            with(f16, {"--variant", "2", "--codes", "CAC1"})},
        {with(f16, {"--variant", "2", "--set", "gbk", "--codes", "B1FA"}), "CAC1",
            with(f16, {"--variant", "2", "--codes", "CAC1"})},
        // The Korean file has no rows 13 to 15: 가 (row 16) is its area 13.
        {with(f16, {"--variant", "3", "--set", "ksx1001", "--text", "가"}), "ADA1",
            with(f16, {"--variant", "3", "--codes", "ADA1"})},
        {with(f16, {"--variant", "1", "--set", "gbt12345", "--text", "們"}), "C3C7",
            with(f16, {"--variant", "1", "--codes", "C3C7"})},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.args[row.args.size() - 1]);
        const std::string zmb = dir.file("set.ZMB");
        CliRun run = runCli(with(with({"build"}, row.args), {"-o", zmb}));
        ASSERT_EQ(run.status, 0) << run.err;
        const cli::LibraryFile file(zmb, cli::FileFormat::Zmb, 16);
        std::string codes;
        for (const std::string &code : file.glyphs(0, file.count()).codes)
            codes += codeHex(code);
        EXPECT_EQ(codes, row.codes);
        if (!row.sameAs.empty()) {
            ASSERT_EQ(runCli(with(with({"build"}, row.sameAs), {"-o", dir.file("same.ZMB")})).status, 0);
            EXPECT_EQ(readFile(zmb), readFile(dir.file("same.ZMB")));
            continue;
        }
        const std::string text = row.args.back();
        run = runCli(with(with({"build"}, row.args), {"-o", dir.file("set.bdf")}));
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_EQ(runCli({"build", "--set", "unicode", "--text", text, "-o", dir.file("unicode.bdf")}).status, 0);
        EXPECT_EQ(bdfGlyphBlocks(readFile(dir.file("set.bdf"))), bdfGlyphBlocks(readFile(dir.file("unicode.bdf"))));
    }

    // Code points: any plane, at their own encodings.
    CliRun run = runCli({"build", "--set", "unicode", "--codes", "4E2D,U+1F600", "-o", dir.file("u.bdf")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(readFile(dir.file("u.bdf")).find("ENCODING 20013\n"), std::string::npos);
    EXPECT_NE(readFile(dir.file("u.bdf")).find("ENCODING 128512\n"), std::string::npos);

    const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
        {{"--set", "unicode", "--text", "中", "-o", dir.file("x.ZMB")}, "which .ZMB and .ASM files cannot hold"},
        {{"--set", "jisx0208", "--text", "汉", "-o", dir.file("x.c")},
            "the character \"汉\" of --text has no JIS X 0208 code"},
        {with(f16, {"--variant", "2", "--set", "gbk", "--codes", "8140", "-o", dir.file("x.c")}),
            "--codes: the character \"丂\" has no JIS X 0208 code"},
        {{"--set", "unicode", "--codes", "D800", "-o", dir.file("x.c")}, "no Unicode character"},
        {{"--key", "unicode", "--text", "中", "-o", dir.file("x.bdf")}, "--key applies to C output"},
        {{"--set", "unicode", "--key", "code", "--text", "中", "-o", dir.file("x.c")},
            "--key code needs two-byte codes"},
        {{"--latin", "--text", "A中", "-o", dir.file("x.ASM")}, "--latin makes half-width glyphs, which .ZMB and .ASM"},
        {{"--latin", "--codes", "B0A1", "-o", dir.file("x.c")}, "with --codes or --charset give --latin all"},
        {{"--set", "unicode", "--latin", "all", "--codes", "4E2D,41", "-o", dir.file("x.c")},
            "U+0041 is a half-width glyph of --latin too"},
        {{"--set", "jisx0208", "--text", "日", "--format", "grid", "--grid", "rom", "-o", dir.file("x.bin")},
            "the rom grid holds GB2312 and GB/T 12345 only"},
        {{"--text", "中", "--header", "-o", dir.file("x.ZMB")}, "--header applies to --format grid only"},
        {{"--text", "中", "--format", "lvgl", "--mode", "C", "-o", dir.file("x.c")},
            "--mode does not apply to LVGL output"},
    };
    for (const auto &[args, message] : refused) {
        run = runCli(with({"build"}, args));
        EXPECT_EQ(run.status, 1) << message;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }

    // collect in each set: the characters the set has, in the order of
    // iconv's codes (code points for Unicode).
    const std::vector<std::string> characters{"日", "本", "語", "한", "국", "中", "文", "😀"};
    writeFile(dir.file("strings.c"), "const char *s = \"日本語 한국 中文 😀\";\n");
    for (const auto &[set, encoding] : std::map<std::string, const char *>{
             {"jisx0208", "EUC-JP"}, {"ksx1001", "EUC-KR"}, {"gb2312", "GB2312"}, {"unicode", "UTF-32BE"}}) {
        std::map<std::string, std::string> byCode;
        for (const std::string &c : characters)
            if (const std::string code = iconvCodes(encoding, c); code != "(no code)")
                byCode[code] = c;
        std::string line;
        for (const auto &[code, c] : byCode)
            line += c;
        EXPECT_EQ(runCli({"collect", "--charset", set, dir.file("strings.c")}).out, line + "\n") << set;
    }
}

// A flash grid of the whole GB2312 set: a C program built from the grid's
// header reads each code's glyph at the offset the header computes and gets
// the .ZMB's glyph of that code back; convert makes the same image from the
// .ZMB, and the same LVGL font as build. Sizes: 8,836 slots of 32 bytes, the
// 32-byte header, 95 Latin slots.
TEST(CliSets, GridImageFindsEveryGlyphAtItsOffset)
{
    TempDir dir;
    const std::vector<std::string> glyphs{
        "build", "--source", "font16s", "--font16s", font16sPath(), "--charset", "gb2312", "--profile", "columns-lsb"};
    const auto build = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = glyphs;
        args.insert(args.end(), extra.begin(), extra.end());
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 0) << run.err;
    };
    build({"-o", dir.file("lib.ZMB")});
    build({"--format", "grid", "--header", "--latin", "all", "-o", dir.file("font.bin")});
    ASSERT_EQ(runCli({"build", "--source", "font16s", "--font16s", font16sPath(), "--charset", "gb2312", "-o",
                         dir.file("upright.ZMB")})
                  .status,
        0);
    EXPECT_EQ(readFile(dir.file("font.bin")).size(), 32u + 8836u * 32u + 95u * 16u);
    build({"--format", "grid", "-o", dir.file("plain.bin")});
    EXPECT_EQ(readFile(dir.file("plain.bin")).size(), 282752u);

    const cli::LibraryFile zmb(dir.file("lib.ZMB"), cli::FileFormat::Zmb, 16);
    const LibraryContent library = zmb.glyphs(0, zmb.count());
    std::string codes;
    std::string expected;
    for (std::size_t g = 0; g < library.codes.size(); ++g) {
        codes += codeHex(library.codes[g]) + "\n";
        for (const std::uint8_t b : library.glyphs[g])
            expected += "0123456789ABCDEF"[b >> 4] + std::string(1, "0123456789ABCDEF"[b & 15]);
        expected += "\n";
    }
    writeFile(dir.file("codes.txt"), codes);
    writeFile(dir.file("read.c"), R"(#include <stdio.h>
#include "font.h"
int main(void)
{
    FILE *image = fopen("font.bin", "rb");
    FILE *codes = fopen("codes.txt", "r");
    unsigned code;
    while (image && codes && fscanf(codes, "%x", &code) == 1) {
        unsigned char glyph[FONT_GLYPH_BYTES];
        unsigned i;
        if (font_offset(code) == FONT_NO_SLOT || fseek(image, (long)font_offset(code), SEEK_SET) != 0
            || fread(glyph, 1, sizeof glyph, image) != sizeof glyph)
            return 1;
        for (i = 0; i < sizeof glyph; ++i)
            printf("%02X", glyph[i]);
        printf("\n");
    }
    return 0;
}
)");
    const std::string d = dir.path().string();
    ASSERT_EQ(std::system(("cd '" + d + "' && gcc -std=c99 -Wall -Wextra -Werror -pedantic read.c -o read && ./read"
                  + " > read.txt")
                              .c_str()),
        0);
    EXPECT_TRUE(readFile(dir.file("read.txt")) == expected);

    // A code outside the grid stops the build, naming it; nothing is written.
    const CliRun outside = runCli(
        {"build", "--set", "gb2312", "--codes", "B0A1,A1A0", "--format", "grid", "-o", dir.file("outside.bin")});
    EXPECT_EQ(outside.status, 2);
    EXPECT_NE(outside.err.find("glyph 1 (A1A0) lies outside the full grid of GB2312"), std::string::npos)
        << outside.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("outside.bin")));

    // The .ZMB's bytes as they are (mode D, the profile's effects already in them).
    CliRun run = runCli({"convert", "--size", "16", "--from", "D", "--set", "gb2312", "--to-format", "grid",
        dir.file("lib.ZMB"), dir.file("converted.bin")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(readFile(dir.file("converted.bin")) == readFile(dir.file("plain.bin")));

    // An LVGL font from the library's file is the one build makes.
    ASSERT_EQ(runCli({"build", "--source", "font16s", "--font16s", font16sPath(), "--charset", "gb2312", "--format",
                         "lvgl-bin", "-o", dir.file("built.bin")})
                  .status,
        0);
    // (Variant 0 of "Font16s" is named as GBK names GB2312's codes.)
    run = runCli({"convert", "--size", "16", "--from", "A", "--set", "gbk", "--to-format", "lvgl-bin",
        dir.file("upright.ZMB"), dir.file("lvgl.bin")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(readFile(dir.file("lvgl.bin")) == readFile(dir.file("built.bin")));
}

// A product tree: C with comments, a .po and a .json file, a GBK text file, a
// hidden folder and a picture; characters outside GB2312 planted in each. An
// ASCII-only .json names its characters by escapes; a C file mixes a Latin-1
// byte (no character), a UTF-8 line and a GBK line.
TEST(CliSets, CollectFromAProductTree)
{
    TempDir dir;
    const std::filesystem::path src = dir.path() / "src";
    std::filesystem::create_directories(src / "ui");
    std::filesystem::create_directories(src / ".git");
    writeFile((src / "main.c").string(),
        "/* 菜单：注释里的字不算 */\n"
        "static const char *title = \"设置\"; // 说明\n"
        "static const char *euro = \"价格 €5\";\n"
        "char c = '温';\n");
    writeFile((src / "ui" / "zh_CN.po").string(),
        "# 译者注释\n"
        "msgid \"Settings\"\n"
        "msgstr \"设置\"\n"
        "\"菜单\"\n"
        "msgid \"Brightness\"\n"
        "msgstr \"亮度 ☃\"\n");
    writeFile((src / "ui" / "strings.json").string(), "{\"键名\": \"温度\", \"unit\": \"℃\"}\n");
    writeFile((src / "ui" / "ascii.json").string(), "{\"on\": \"\\u5f00\", \"smile\": \"\\ud83d\\ude00\"}\n");
    writeFile((src / "legacy.c").string(),
        "/* (c) Ren\xE9 */\n"
        "const char *m[] = {\"关机\"};\n"
        "const char *s = \"\xB1\xA3\xB4\xE6\";\n"); // 保存 in GBK
    // GBK: 时间 and 烿 (in GBK, not in GB2312) on the second line.
    writeFile((src / "ui" / "menu.txt").string(), "time\n\xCA\xB1\xBC\xE4 \x9F\x56\n");
    writeFile((src / ".git" / "notes.txt").string(), "隐藏\n");
    writeFile((src / "logo.png").string(), std::string("\x89PNG\0\0\xFF\xFE", 8));

    CliRun run = runCli({"collect", "-o", dir.file("chars.txt"), src.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string s = src.string() + "/";
    EXPECT_EQ(run.err,
        s + "legacy.c:1:11: byte E9 is neither UTF-8 nor GBK\n" + s + "main.c:3:31: '€' U+20AC is not in GB2312\n" + s
            + "ui/ascii.json:1:28: '😀' U+1F600 is not in GB2312\n" + s
            + "ui/menu.txt:2:4: '烿' U+70FF is not in GB2312\n" + s
            + "ui/zh_CN.po:6:12: '☃' U+2603 is not in GB2312\n");
    // In GB2312 code order: ℃ (A1E6), then the hanzi by their codes.
    EXPECT_EQ(readFile(dir.file("chars.txt")), "℃保菜存单度格关机价间开亮设时温置\n");

    // GBK as the target: 烿 belongs, and comes first (9F56).
    run = runCli({"collect", "--charset", "gbk", (src / "ui").string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "烿℃菜单度间开亮设时温置\n");
    EXPECT_EQ(run.err,
        s + "ui/ascii.json:1:28: '😀' U+1F600 is not in GBK\n" + s + "ui/zh_CN.po:6:12: '☃' U+2603 is not in GBK\n");

    // --strict: status 1 and nothing written, so that a make rule fails again.
    run = runCli({"collect", "--strict", "-o", dir.file("strict.txt"), src.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("strict.txt")));
    run = runCli({"collect", "--strict", (src / "main.c").string(), "-o", dir.file("strict.txt")});
    EXPECT_EQ(run.status, 1);
    run = runCli({"collect", "--strict", (src / "legacy.c").string(), "-o", dir.file("strict.txt")});
    EXPECT_EQ(run.status, 1); // a byte that is no character
    EXPECT_FALSE(std::filesystem::exists(dir.file("strict.txt")));
    writeFile(dir.file("broken.txt"), std::string("\xFF\xFE\x3D\xD8", 4)); // half a surrogate pair
    run = runCli({"collect", "--strict", dir.file("broken.txt"), "-o", dir.file("strict.txt")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "dotforge-cli: warning: " + dir.file("broken.txt") + " is broken UTF-16; passed over\n");
    run = runCli({"collect", "--strict", (src / "ui" / "strings.json").string(), "-o", dir.file("ok.txt")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("ok.txt")), "℃度温\n");

    // The collected line builds.
    run = runCli({"build", "--text-file", dir.file("chars.txt"), "-o", dir.file("chars.ZMB")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("chars.ZMB")).size(), 17u * 34);

    // Unreadable input: status 2, nothing written; no input: bad usage.
    run = runCli({"collect", "-o", dir.file("x.txt"), src.string(), dir.file("missing.c")});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("cannot read " + dir.file("missing.c") + ": File not found"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.txt")));
    EXPECT_EQ(runCli({"collect"}).status, 1);
    EXPECT_EQ(runCli({"collect", "--charset", "big5", src.string()}).status, 1);
}

// A tree deeper than the files the tool may hold open is read whole. In a tree
// with entries that cannot be read (a folder without permission, a link to
// nothing, a link to itself), each is named with its reason, every other file
// is still read, and the run fails with status 2, writing nothing.
TEST(CliSets, CollectNamesEveryEntryItCannotRead)
{
    namespace fs = std::filesystem;
    TempDir dir;
    fs::path deep = dir.path() / "deep";
    for (int i = 0; i < 100; ++i)
        deep /= "d";
    fs::create_directories(deep);
    writeFile((deep / "x.txt").string(), "设置\n");
    writeFile(dir.file("deep/y.txt"), "温度\n");
    rlimit files{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &files), 0);
    rlimit few = files;
    few.rlim_cur = 50;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &few), 0);
    CliRun run = runCli({"collect", "--strict", dir.file("deep")});
    ::setrlimit(RLIMIT_NOFILE, &files);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "度设温置\n");

    const fs::path src = dir.path() / "src";
    fs::create_directories(src / "locked");
    writeFile((src / "a.txt").string(), "温€\n");
    writeFile((src / "locked" / "b.txt").string(), "度\n");
    writeFile((src / "z.txt").string(), "置☃\n");
    fs::create_symlink("missing.txt", src / "gone.txt");
    fs::create_symlink("loop", src / "loop");
    fs::permissions(src / "locked", fs::perms::none);
    std::vector<std::string> runUnder;
    if (::geteuid() == 0) {
        // Root reads any folder: the tool runs as "nobody" then.
        if (!fs::exists("/usr/bin/setpriv"))
            GTEST_SKIP() << "running as root without setpriv: no folder can be made unreadable";
        runUnder = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        fs::permissions(dir.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    }
    run = runCliUnder(runUnder, {"collect", src.string(), dir.file("missing.c")});
    fs::permissions(src / "locked", fs::perms::owner_all);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    const std::string s = src.string() + "/";
    const std::string cannot = "dotforge-cli: cannot read ";
    const std::string loop = cannot + s + "loop: ";
    ASSERT_TRUE(run.err.find(loop) != std::string::npos) << run.err;
    // The reason for a link to itself is left to the table of error texts.
    const std::size_t end = run.err.find('\n', run.err.find(loop));
    EXPECT_EQ(run.err.substr(0, run.err.find(loop)) + run.err.substr(end + 1),
        cannot + s + "gone.txt: File not found\n" + cannot + s + "locked: File access denied\n" + s
            + "a.txt:1:2: '€' U+20AC is not in GB2312\n" + s + "z.txt:1:2: '☃' U+2603 is not in GB2312\n" + cannot
            + dir.file("missing.c") + ": File not found\n");
}

// --check writes nothing; it passes on the file a build wrote and names the
// first differing glyph after a one-dot change, in each format.
TEST(CliSets, CheckBeforeAndAfterAOneDotChange)
{
    TempDir dir;
    const std::vector<std::string> build{
        "build", "--source", "font16s", "--font16s", font16sPath(), "--text", "汉字点阵库形状"};
    auto runFile = [&](const std::string &out, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = build;
        args.insert(args.end(), {"-o", dir.file(out)});
        args.insert(args.end(), extra.begin(), extra.end());
        return runCli(args);
    };
    EXPECT_EQ(runFile("lib.ZMB", {"--check"}).status, 1); // missing
    EXPECT_NE(runFile("lib.ZMB", {"--check"}).err.find("lib.ZMB is missing"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("lib.ZMB")));
    // An LVGL font's glyphs go by code point: the C file names the bitmap, the
    // binary font the table.
    const std::map<std::string, std::string> place{
        {"lib-lvgl.c", "at the bitmap of U+9635 阵"}, {"lib.bin", "in its glyf table"}};
    for (const std::string name : {"lib.ZMB", "lib.ASM", "lib.c", "lib.bdf", "lib-lvgl.c", "lib.bin"}) {
        const std::vector<std::string> format = name == "lib-lvgl.c" ? std::vector<std::string>{"--format", "lvgl"}
            : name == "lib.bin"                                      ? std::vector<std::string>{"--format", "lvgl-bin"}
                                                                     : std::vector<std::string>{};
        const auto run = [&](const std::string &out, std::vector<std::string> extra = {}) {
            extra.insert(extra.end(), format.begin(), format.end());
            return runFile(out, extra);
        };
        ASSERT_EQ(run(name).status, 0) << name;
        const CliRun same = run(name, {"--check"});
        EXPECT_EQ(same.status, 0) << name << same.err;
        EXPECT_EQ(same.err, "");
        std::string bytes = readFile(dir.file(name));
        const std::string before = bytes;
        // One dot of glyph 3 (阵 D5F3), in the file's own terms.
        if (name == "lib.ZMB") {
            bytes[3 * 32 + 5] ^= 0x10;
        } else if (name == "lib.ASM") {
            const auto line = bytes.find("\r\n\tDB", bytes.find(";\xD5\xF3"));
            bytes[line + 6] = bytes[line + 6] == '0' ? '1' : '0'; // first digit after "\tDB\t0"
        } else if (name == "lib.c" || name == "lib-lvgl.c") {
            const auto at = bytes.find("0x", bytes.find(name == "lib.c" ? "/* 3: D5F3" : "/* U+9635"));
            bytes[at + 3] = bytes[at + 3] == '0' ? '1' : '0';
        } else if (name == "lib.bin") {
            bytes[bytes.size() - 1] ^= 0x01; // the last glyph's last bitmap byte
        } else {
            // The fourth glyph's first bitmap row, "XXXX" in hexadecimal.
            std::size_t at = 0;
            for (int g = 0; g < 4; ++g)
                at = bytes.find("\nBITMAP\n", at + 1);
            at += 8;
            bytes[at] = bytes[at] == '0' ? '1' : '0';
        }
        writeFile(dir.file(name), bytes);
        const CliRun changed = run(name, {"--check"});
        EXPECT_EQ(changed.status, 1) << name;
        const std::string where = place.count(name) ? place.at(name) : "at glyph 3 (D5F3 阵)";
        EXPECT_NE(changed.err.find(name + " differs from the build, first " + where), std::string::npos) << name << "\n"
                                                                                                         << changed.err;
        EXPECT_EQ(readFile(dir.file(name)), bytes); // left as it was
        writeFile(dir.file(name), before);
    }
    // A changed code is named as such.
    std::string zmb = readFile(dir.file("lib.ZMB"));
    zmb[7 * 32 + 2 * 4 + 1] ^= 1;
    writeFile(dir.file("lib.ZMB"), zmb);
    EXPECT_NE(runFile("lib.ZMB", {"--check"}).err.find("first at the code of glyph 4 (BFE2 库)"), std::string::npos);
}

// The opening comment's lines as a reader takes them back: "\\\\" is a
// backslash, "\\xNN" the byte NN, "\\uXXXX" the character U+XXXX.
std::string unescaped(const std::string &text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
        } else if (text.compare(i + 1, 1, "\\") == 0) {
            out += '\\';
            i += 1;
        } else if (text.compare(i + 1, 1, "x") == 0) {
            out += char(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else if (text.compare(i + 1, 1, "u") == 0) {
            const unsigned c = unsigned(std::stoul(text.substr(i + 2, 4), nullptr, 16));
            if (c < 0x800) {
                out += char(0xC0 | c >> 6);
            } else {
                out += char(0xE0 | c >> 12);
                out += char(0x80 | (c >> 6 & 0x3F));
            }
            out += char(0x80 | (c & 0x3F));
            i += 5;
        } else {
            ADD_FAILURE() << "a lone backslash at " << i << " of " << text;
        }
    }
    return out;
}

// Two builds of the same inputs: the same bytes; the opening comment says how.
TEST(CliSets, ReproducibleCOutputWithItsBuildRecord)
{
    TempDir dir;
    for (const std::string out : {"a.c", "b.c"}) {
        const CliRun run = runCli({"build", "--source", "font16s", "--font16s", font16sPath(), "--variant", "1",
            "--charset", "gb2312-hanzi", "--mode", "B", "--rotate", "90", "-o", dir.file(out), "--name", "tw"});
        ASSERT_EQ(run.status, 0) << run.err;
    }
    const std::string c = readFile(dir.file("a.c"));
    EXPECT_EQ(readFile(dir.file("b.c")), c);
    ASSERT_EQ(std::system(("sha256sum '" + font16sPath() + "' > '" + dir.file("sum") + "'").c_str()), 0);
    const std::string digest = readFile(dir.file("sum")).substr(0, 64);
    const std::string opening = c.substr(0, c.find("*/"));
    EXPECT_NE(opening.find("dotforge-cli (Dotforge) 3.0"), std::string::npos) << opening;
    EXPECT_NE(opening.find(" * Made by: dotforge-cli build --size 16 --source font16s --font16s " + font16sPath()
                  + " --variant 1 --mode B --rotate 90 --flip none --swap none --effects-at save --charset "
                    "gb2312-hanzi --name tw\n"),
        std::string::npos)
        << opening;
    EXPECT_NE(opening.find(" * SHA-256 of the font file: " + digest), std::string::npos) << opening;
    EXPECT_NE(c.find("const unsigned int tw_count = 6763;"), std::string::npos);
    EXPECT_NE(c.find("int tw_find(unsigned int code)"), std::string::npos);

    // From TrueType the face's file is named and hashed, and two builds agree too.
    for (const std::string out : {"t1.c", "t2.c"})
        ASSERT_EQ(runCli({"build", "--text", "汉字", "--name", "t", "-o", dir.file(out)}).status, 0);
    const std::string t = readFile(dir.file("t1.c"));
    EXPECT_EQ(readFile(dir.file("t2.c")), t);
    EXPECT_NE(t.find(" * Face: 宋体 at 12 points, from /"), std::string::npos) << t.substr(0, 600);
    EXPECT_NE(t.find(" * SHA-256 of the font file: "), std::string::npos);

    // Hostile file names (folders of the font file and the text file): the C
    // compiles without a warning, and the "Made by" line, read back, is a
    // command that builds the same file again.
    const std::vector<std::string> hostile{
        "*x", // "/*" in the path
        "x*", // "*/"
        "a\xE2\x80\xAEz", // U+202E, right-to-left override
        "\xE2\x81\xA6i \xE2\x80\x8F", // U+2066 left-to-right isolate, unpaired, U+200F
        "tab\tline\nreturn\resc\x1B[31m\x7F", // control bytes
        "\xB0\xA1 \xFF \xC0\xAF", // no UTF-8: GBK, a stray byte, an overlong "/"
        "q??", // "??/": a backslash to C
        "it's \\", // a quote and a backslash
        "\xC2\x85 \xE2\x80\xA8", // NEL, U+2028
    };
    std::filesystem::copy_file(std::string(TESTS_DATA_DIR) + "/three16c.bdf", dir.file("three16c.bdf"));
    for (std::size_t row = 0; row < hostile.size(); ++row) {
        const std::string folder = dir.file(std::to_string(row) + "/" + hostile[row]);
        ASSERT_TRUE(std::filesystem::create_directories(folder)) << row;
        const std::string font16s = folder + "/F\\"; // the comment's line ends with it
        const std::string text = folder + "/t.txt";
        const std::string bdf = folder + "/f.bdf";
        std::filesystem::copy_file(font16sPath(), font16s);
        std::filesystem::copy_file(dir.file("three16c.bdf"), bdf);
        writeFile(text, "\xB0\xA1\xB0\xA2");
        const std::vector<std::pair<std::vector<std::string>, std::string>> sources{
            {{"--source", "font16s", "--font16s", font16s}, " * Glyphs: variant 0 of the dot-matrix font " + font16s},
            {{"--font-file", bdf}, " * Face: " + bdf + " at 12 points, from " + bdf}};
        for (const auto &[source, noted] : sources) {
            std::vector<std::string> args{"build", "--text-file", text, "--name", "h"};
            args.insert(args.end(), source.begin(), source.end());
            for (const char *out : {"/h.c", "/h.h"}) {
                args.insert(args.end(), {"-o", folder + out});
                const CliRun run = runCli(args);
                ASSERT_EQ(run.status, 0) << row << ": " << run.err;
                args.resize(args.size() - 2);
            }
            const std::string flags = " -std=c99 -Wall -Wextra -Werror -pedantic ";
            const std::string at = "cd '" + dir.path().string() + "' && ";
            writeFile(dir.file("compile.sh"),
                "gcc" + flags + "-c \"$1/h.c\" -o h.o && gcc" + flags + "-fsyntax-only -x c \"$1/h.h\"\n");
            EXPECT_EQ(std::system((at + "sh compile.sh " + std::to_string(row) + "/*").c_str()), 0) << row;

            // The comment is UTF-8 text without control bytes; its lines,
            // each read back.
            const std::string c = readFile(folder + "/h.c");
            const std::string comment = c.substr(0, c.find(" */\n"));
            EXPECT_TRUE(longestUtf8Sequence(comment)) << row;
            EXPECT_TRUE(std::all_of(comment.begin(), comment.end(), [](char b) {
                return b == '\n' || std::uint8_t(b) >= 0x20;
            })) << row;
            std::vector<std::string> lines;
            for (std::size_t i = 0, end = 0; end < c.find(" */\n"); i = end + 1) {
                end = std::min(c.find('\n', i), c.find(" */\n"));
                const std::string line = c.substr(i, end - i);
                lines.push_back(line.starts_with(" * (Above") ? line : unescaped(line)); // the escapes explained
            }
            EXPECT_NE(std::find(lines.begin(), lines.end(), noted), lines.end()) << row << ": " << c.substr(0, 900);
            const std::string madeBy = " * Made by: dotforge-cli ";
            const auto made = std::find_if(
                lines.begin(), lines.end(), [&madeBy](const std::string &l) { return l.starts_with(madeBy); });
            ASSERT_NE(made, lines.end()) << row << ": " << c.substr(0, 900);
            const std::string command
                = "'" + std::string(DOTFORGE_CLI) + "' " + made->substr(madeBy.size()) + " -o again.c";
            EXPECT_EQ(std::system((at + command).c_str()), 0) << row << ": " << command;
            EXPECT_EQ(readFile(dir.file("again.c")), c) << row;
        }
    }
}

// --report: data bytes of the C output; the search index only when the codes
// do not ascend. Repeats are left out with the window's warning.
TEST(CliSets, Report)
{
    TempDir dir;
    CliRun run = runCli({"build", "--size", "24", "--text", "字汉字", "--report", "-o", dir.file("r.c")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "glyphs: 2 x 72 = 144 bytes\ncodes: 4 bytes\nindex: 4 bytes\ntotal: 152 bytes\n");
    EXPECT_NE(run.err.find("warning: D7D6 字: 小字库中已有该区位码的字!"), std::string::npos) << run.err;
    run = runCli({"build", "--charset", "gb2312", "--source", "font16s", "--font16s", font16sPath(), "--report", "-o",
        dir.file("g.ZMB")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "glyphs: 7445 x 32 = 238240 bytes\ncodes: 14890 bytes\nindex: 0 bytes\ntotal: 253130 bytes\n");
    // --charset all names the dot-matrix font's positions; it needs that source.
    EXPECT_EQ(runCli({"build", "--charset", "all", "-o", dir.file("x.ZMB")}).status, 1);
}

} // namespace
