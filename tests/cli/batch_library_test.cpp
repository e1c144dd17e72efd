// The batch path in-process: the same glyphs as the window over every layout
// and effect, SHA-256 against published vectors, the character set tables,
// NAME_find compiled and run, and what collect takes from each kind of file.

#include "cli/batch_library.h"
#include "cli/charsets.h"
#include "cli/collect.h"
#include "cli/font_digest.h"
#include "cli/glyph_text.h"
#include "cli/sha256.h"
#include "cli/tool_name.h"
#include "core/gbk.h"
#include "core/io_error.h"
#include "formats/c_source.h"
#include "formats/file_io.h"
#include "formats/zmb.h"
#include "render/freetype_rasterizer.h"
#include "sources/font16s_codes.h"
#include "tests/cli/cli_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <sys/stat.h>

using namespace dotforge;
using namespace dotforge::cli;
using namespace dotforge::test;

namespace {

// The window: each code rendered into the editor and added, then saved.
std::string windowZmb(int size, bool font16s, int variant, Mode mode, Effects effects, bool atRender,
    const std::vector<std::string> &codes, Rasterizer &rasterizer)
{
    TestWorkspace tw({true, true, &rasterizer});
    Workspace &ws = tw.ws();
    if (size == 24)
        ws.mnu24Click();
    if (size == 32)
        ws.mnu32Click();
    if (font16s) {
        ws.RUClick();
        ws.UJFClick(variant);
    }
    ws.mnuModeClick(mode);
    ws.mnuRotationClick(effects.rotation);
    ws.mnuFlipClick(effects.flip);
    ws.mnuSwapClick(effects.swap);
    if (atRender) {
        tw.prompts().answer(Answer::Yes);
        ws.mnuViewClick();
    }
    for (const std::string &code : codes) {
        typeCharacter(ws, code);
        ws.AddBtnClick();
    }
    const std::string out = tw.dir().file("window.ZMB");
    tw.prompts().fileChoice(FileChoice{out, int(FileType::ZMB)});
    ws.SaveXFile();
    return readFile(out);
}

// Every rotation, flip and swap in every mode at every size, effects applied
// at save and at render time by turns, from TrueType and from each variant of
// "Font16s": the batch path gives the window's bytes.
TEST(BatchLibrary, SameGlyphsAsTheWindowForEveryLayoutAndEffect)
{
    FreeTypeRasterizer rasterizer;
    const RasterizerFactory factory = [] { return std::make_unique<FreeTypeRasterizer>(); };
    const std::string font16s = readFile(font16sPath());
    // A space, a full-width letter, two hanzi, and for TrueType two ASCII letters as one pair.
    const std::vector<std::string> ttfCodes{"\xA1\xA1", "\xA3\xC1", "\xB0\xA1", "\xD7\xD6", "AB"};
    const std::vector<std::string> dotCodes{"\xA1\xA1", "\xA3\xC1", "\xB0\xA1", "\xD7\xD6", "\xB3\xA4"};
    int combination = 0;
    for (const bool fromFont16s : {false, true})
        for (const int size : {16, 24, 32}) {
            if (fromFont16s && size != 16)
                continue;
            for (const Mode mode : {Mode::A, Mode::B, Mode::C, Mode::D})
                for (const Rotation rotation : {Rotation::R0, Rotation::R90, Rotation::R180, Rotation::R270})
                    for (const Flip flip : {Flip::None, Flip::Horizontal, Flip::Vertical})
                        for (const Swap swap : {Swap::None, Swap::LeftRight, Swap::UpDown}) {
                            ++combination;
                            const bool atRender = combination % 2 == 0;
                            const int variant = combination % 4;
                            const Effects effects{rotation, flip, swap};
                            const auto &codes = fromFont16s ? dotCodes : ttfCodes;
                            GlyphRecipe recipe;
                            recipe.size = size;
                            recipe.mode = mode;
                            recipe.effects = effects;
                            recipe.font16s = fromFont16s;
                            recipe.font16sBytes = font16s;
                            recipe.variant = variant;
                            recipe.face = "宋体";
                            recipe.pointSize = defaultPointSize(size);
                            const LibraryContent batch = renderLibrary(recipe, codes, factory, 2);
                            ASSERT_EQ(writeZmb(batch.glyphs, batch.codes),
                                windowZmb(size, fromFont16s, variant, mode, effects, atRender, codes, rasterizer))
                                << "combination " << combination << " size " << size << " font16s " << fromFont16s;
                        }
        }
    EXPECT_EQ(combination, 4 * 36 * 4);
}

// One thread or several: the same bytes; a failing code is the first in order.
TEST(BatchLibrary, ThreadsDoNotChangeTheResult)
{
    const RasterizerFactory factory = [] { return std::make_unique<FreeTypeRasterizer>(); };
    std::vector<std::string> codes;
    for (const std::uint16_t code : charsetCodes(Charset::Gb2312Hanzi))
        if (codes.size() < 700)
            codes.push_back(codeBytes(code));
    GlyphRecipe recipe;
    recipe.size = 24;
    recipe.mode = Mode::B;
    recipe.face = "宋体";
    recipe.pointSize = 18;
    const LibraryContent one = renderLibrary(recipe, codes, factory, 1);
    // The C text made chunk by chunk on the drawing threads is the text made
    // in one piece, and every glyph's offset the same.
    std::mutex lock;
    std::map<std::size_t, CGlyphText> pieces;
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    const LibraryContent two = renderLibrary(
        recipe, codes, factory, 2, nullptr, [&](const LibraryContent &done, std::size_t from, std::size_t to) {
            CGlyphText text = cGlyphText(done, recipe.size, recipe.mode, from, to);
            const std::lock_guard guard(lock);
            pieces.emplace(from, std::move(text));
            ranges.emplace_back(from, to);
        });
    EXPECT_EQ(one.glyphs, two.glyphs);
    EXPECT_EQ(one.codes, codes);
    std::sort(ranges.begin(), ranges.end());
    ASSERT_EQ(ranges.size(), pieces.size());
    ASSERT_GT(ranges.size(), 2u);
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        EXPECT_EQ(ranges[i].first, i == 0 ? 0 : ranges[i - 1].second);
        if (i + 1 < ranges.size()) {
            EXPECT_EQ(ranges[i].second - ranges[i].first, chunkGlyphs(codes.size(), 2)) << i;
        }
    }
    EXPECT_EQ(ranges.back().second, codes.size());
    std::vector<CGlyphText> inOrder;
    for (auto &[from, text] : pieces)
        inOrder.push_back(std::move(text));
    std::vector<std::size_t> startsOne;
    std::vector<std::size_t> startsPieces;
    const std::string whole = cSource(one, recipe.size, recipe.mode, "f", kToolName, {"note"}, &startsOne);
    EXPECT_EQ(
        cSourceText(two, recipe.size, recipe.mode, "f", kToolName, {"note"}, inOrder, &startsPieces).joined(), whole);
    EXPECT_EQ(startsPieces, startsOne);
    ASSERT_EQ(startsOne.size(), 2 * codes.size() + 1);
    EXPECT_EQ(whole.compare(startsOne[1], 8, "    /* 1"), 0);

    recipe.size = 16;
    recipe.font16s = true;
    recipe.font16sBytes = readFile(font16sPath());
    recipe.variant = 3; // the last one, so that FFFF lies past the end of the file
    codes[650] = "AB"; // before the first record
    codes[300] = "\xFF\xFF";
    std::size_t failedAt = 0;
    EXPECT_THROW(renderLibrary(recipe, codes, factory, 2, &failedAt), IoError);
    EXPECT_EQ(failedAt, 300u);
}

TEST(BatchLibrary, RepeatsAreLeftOut)
{
    std::vector<std::string> repeats;
    const auto distinct = withoutRepeats({"\xBA\xBA", "\xD7\xD6", "\xBA\xBA", "AB", "\xD7\xD6", "\xBA\xBA"},
        [&repeats](const std::string &code) { repeats.push_back(code); });
    EXPECT_EQ(distinct, (std::vector<std::string>{"\xBA\xBA", "\xD7\xD6", "AB"}));
    EXPECT_EQ(repeats, (std::vector<std::string>{"\xBA\xBA", "\xD7\xD6", "\xBA\xBA"}));
}

// The vectors of FIPS 180-4's examples and the million "a", through the
// portable rounds and (where the processor has them) the SHA instructions.
TEST(Sha256, KnownVectors)
{
    std::vector<Sha256::Engine> engines{Sha256::Engine::Portable};
    if (Sha256::hasShaInstructions())
        engines.push_back(Sha256::Engine::Fastest);
    const auto digest = [](Sha256::Engine engine, std::string_view text) {
        Sha256 hash(engine);
        hash.update(text);
        return hash.hexDigest();
    };
    for (const Sha256::Engine engine : engines) {
        SCOPED_TRACE(engine == Sha256::Engine::Portable ? "portable" : "SHA instructions");
        EXPECT_EQ(digest(engine, ""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
        EXPECT_EQ(digest(engine, "abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
        EXPECT_EQ(digest(engine, "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
        EXPECT_EQ(digest(engine, std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
        // Fed in uneven pieces across block borders: the same digest.
        Sha256 pieces(engine);
        std::string text(1000, 'x');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = char(i * 7 + i / 64);
        for (std::size_t at = 0, step = 1; at < text.size(); at += step, step = step * 3 % 127 + 1)
            pieces.update(std::string_view(text).substr(at, step));
        EXPECT_EQ(pieces.hexDigest(), digest(Sha256::Engine::Portable, text));
    }
}

// The font file's digest and the cache that spares hashing it again: used while
// the file's stamp holds and the entry's check matches, refreshed when either
// fails, never written for a change that has not settled, no failure when it
// cannot be read or written, and never a way to write another file.
TEST(FontDigest, CacheKeepsDigestsWhileTheFileIsUnchanged)
{
    TempDir dir;
    const std::string font = dir.file("face.ttf");
    writeFile(font, "abc");
    const std::string abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    const std::string cache = dir.file("cache/dotforge/font-digests");
    const std::int64_t changed = InputFile(font).stamp().changedNs;
    const std::int64_t settled = changed + 3'000'000'000;

    // No cache, or a change too recent: hashed, nothing written.
    EXPECT_EQ(fontFileDigest(font, "", settled), abc);
    EXPECT_EQ(fontFileDigest(font, cache, changed + 1'000'000'000), abc);
    EXPECT_FALSE(std::filesystem::exists(cache));
    EXPECT_THROW(fontFileDigest(dir.file("missing"), cache, settled), IoError);

    // Settled: written, then taken from the cache.
    bool cached = true;
    EXPECT_EQ(fontFileDigest(font, cache, settled, &cached), abc);
    EXPECT_FALSE(cached);
    const std::string line = readFile(cache);
    ASSERT_EQ(line.substr(0, 65), abc + " ");
    EXPECT_TRUE(line.ends_with(" " + font + "\n")) << line;
    EXPECT_EQ(fontFileDigest(font, cache, settled, &cached), abc);
    EXPECT_TRUE(cached);
    // An edited digest is not believed, nor is a line that is no entry: the
    // file is hashed again and its entry written anew.
    const std::string forged = std::string(64, 'e') + line.substr(64);
    writeFile(cache, "not an entry\n" + std::string(64, 'Z') + line.substr(64) + forged);
    EXPECT_EQ(fontFileDigest(font, cache, settled, &cached), abc);
    EXPECT_FALSE(cached);
    EXPECT_EQ(readFile(cache), line);

    // Another content (size and times change): hashed again, the entry replaced.
    writeFile(font, "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq");
    const std::string other = "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1";
    const std::int64_t later = InputFile(font).stamp().changedNs + 3'000'000'000;
    EXPECT_EQ(fontFileDigest(font, cache, later), other);
    const std::string now = readFile(cache);
    EXPECT_EQ(now.find(abc), std::string::npos) << now;
    EXPECT_EQ(now.substr(0, 64), other);

    // A cache that is a folder, or in a folder that cannot be made: hashed.
    std::filesystem::create_directories(dir.file("folder"));
    EXPECT_EQ(fontFileDigest(font, dir.file("folder"), later), other);
    writeFile(dir.file("plain"), "x");
    EXPECT_EQ(fontFileDigest(font, dir.file("plain/dotforge/font-digests"), later), other);

    // A cache name that is a link (to the user's notes, or to a valid cache) or
    // a pipe is left alone: never followed, never waited on, the file hashed.
    writeFile(dir.file("notes.txt"), "my notes\n");
    std::filesystem::create_symlink(dir.file("notes.txt"), dir.file("to-notes"));
    std::filesystem::create_symlink(cache, dir.file("to-cache"));
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    for (const char *name : {"to-notes", "to-cache", "pipe"}) {
        EXPECT_EQ(fontFileDigest(font, dir.file(name), later, &cached), other) << name;
        EXPECT_FALSE(cached) << name;
    }
    EXPECT_EQ(readFile(dir.file("notes.txt")), "my notes\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("to-notes")));
    EXPECT_TRUE(std::filesystem::is_fifo(dir.file("pipe")));
}

TEST(FontDigest, CacheFileFollowsTheEnvironment)
{
    const auto with = [](const char *xdg, const char *home) {
        const auto keep = [](const char *name) {
            const char *v = std::getenv(name);
            return v ? std::optional<std::string>(v) : std::nullopt;
        };
        const auto oldXdg = keep("XDG_CACHE_HOME");
        const auto oldHome = keep("HOME");
        const auto put
            = [](const char *name, const char *value) { value ? ::setenv(name, value, 1) : ::unsetenv(name); };
        put("XDG_CACHE_HOME", xdg);
        put("HOME", home);
        const std::string file = fontDigestCacheFile();
        put("XDG_CACHE_HOME", oldXdg ? oldXdg->c_str() : nullptr);
        put("HOME", oldHome ? oldHome->c_str() : nullptr);
        return file;
    };
    EXPECT_EQ(with("/c", "/h"), "/c/dotforge/font-digests");
    EXPECT_EQ(with("relative", "/h"), "/h/.cache/dotforge/font-digests");
    EXPECT_EQ(with(nullptr, "/h"), "/h/.cache/dotforge/font-digests");
    EXPECT_EQ(with(nullptr, nullptr), "");
}

// Sizes and landmarks of the sets, as the standards count them.
TEST(Charsets, SizesAndLandmarks)
{
    const auto &gb2312 = charsetCodes(Charset::Gb2312);
    const auto &hanzi = charsetCodes(Charset::Gb2312Hanzi);
    const auto &gbk = charsetCodes(Charset::Gbk);
    ASSERT_EQ(gb2312.size(), 7445u);
    ASSERT_EQ(hanzi.size(), 6763u);
    EXPECT_EQ(gbk.size(), 21791u); // glibc's GBK: the 21,886 of the standard less 95 it leaves unmapped
    EXPECT_TRUE(std::is_sorted(gb2312.begin(), gb2312.end()));
    EXPECT_TRUE(std::is_sorted(gbk.begin(), gbk.end()));
    EXPECT_EQ(gb2312.front(), 0xA1A1);
    EXPECT_EQ(gb2312.back(), 0xF7FE);
    EXPECT_EQ(hanzi.front(), 0xB0A1); // 啊
    EXPECT_EQ(hanzi[3754], 0xD7F9); // the last of the 3,755 of level 1
    EXPECT_EQ(hanzi[3755], 0xD8A1); // the first of level 2
    EXPECT_EQ(gbk.front(), 0x8140);
    // Symbols: rows 1 to 9 only; row 55 ends at D7F9.
    EXPECT_EQ(std::count_if(gb2312.begin(), gb2312.end(), [](std::uint16_t c) { return c < 0xB0A1; }), 682);
    EXPECT_FALSE(inCharset(Charset::Gb2312, 0xAAA1));
    EXPECT_TRUE(inCharset(Charset::Gb2312, 0xD7F9));
    EXPECT_FALSE(inCharset(Charset::Gb2312, 0xD7FA));
    EXPECT_FALSE(inCharset(Charset::Gbk, 0xA1A0)); // no trail byte below A1 in row A1
    EXPECT_TRUE(inCharset(Charset::Gbk, 0x8140));
    EXPECT_FALSE(inCharset(Charset::Gbk, 0xAAA1)); // user-defined area
    EXPECT_TRUE(std::includes(gbk.begin(), gbk.end(), gb2312.begin(), gb2312.end()));
    EXPECT_EQ(charsetNamed("gb2312-hanzi"), Charset::Gb2312Hanzi);
    EXPECT_EQ(charsetNamed("big5"), std::nullopt);
}

TEST(Charsets, Font16sPositionsWithGlyphs)
{
    const std::string font = readFile(font16sPath());
    const auto simplified = font16sCodes(font, 0);
    // Every GB2312 character the file has a glyph for, and nothing in the empty rows.
    EXPECT_GT(simplified.size(), 7000u);
    EXPECT_LE(simplified.size(), 7445u);
    for (const std::string &code : simplified)
        EXPECT_TRUE(inCharset(Charset::Gb2312, codeValue(code))) << codeHex(code);
    EXPECT_EQ(simplified.front(), "\xA1\xA2"); // A1A1, the ideographic space, is blank
    // Korean: the file's area 13 is KS X 1001 row 16, and the code table gives it as 0xAD.
    const auto korean = font16sCodes(font, 3);
    EXPECT_NE(std::find(korean.begin(), korean.end(), std::string("\xAD\xA1")), korean.end());
    EXPECT_EQ(std::find(korean.begin(), korean.end(), std::string("\xFE\xA1")), korean.end());
    // A cut file gives the positions it holds.
    EXPECT_EQ(font16sCodes(font.substr(0, 94 * 32), 0).size(),
        std::size_t(
            std::count_if(simplified.begin(), simplified.end(), [](const std::string &c) { return c[0] == '\xA1'; })));
}

// NAME_find compiled with the strict C99 flags and run over the whole
// library: every code gives its glyph's index and bytes, absent codes -1.
class FindInC : public testing::TestWithParam<std::tuple<std::size_t, int, bool>> { };

std::string bigEndian(std::uint32_t v)
{
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

TEST_P(FindInC, EveryCodeFoundAndAbsentOnesRejected)
{
    const auto [count, size, ascending] = GetParam();
    // The GBK set and beyond it the codes of the standard that glibc leaves
    // unmapped (FE50 on), up to 21,886 codes.
    std::vector<std::uint16_t> pool = charsetCodes(Charset::Gbk);
    for (std::uint16_t code = 0xFE50; pool.size() < 21886; ++code)
        pool.push_back(code);
    ASSERT_GE(pool.size(), count);
    LibraryContent content;
    const std::size_t glyphSize = std::size_t(glyphBytes(size));
    std::vector<bool> present(65536);
    for (std::size_t i = 0; i < count; ++i) {
        // Spread over the pool; descending when the library order is not to ascend.
        const std::size_t at = count == 1 ? 0 : i * (pool.size() - 1) / (count - 1);
        const std::uint16_t code = pool[ascending ? at : pool.size() - 1 - at];
        present[code] = true;
        content.codes.push_back(codeBytes(code));
        Sequence glyph(glyphSize);
        for (std::size_t k = 0; k < glyphSize; ++k)
            glyph[k] = std::uint8_t((i * 131 + k * 7 + (i >> 8)) & 0xFF);
        content.glyphs.push_back(glyph);
    }
    // What the program checks: entries of code and glyph, then absent codes.
    std::string expected = bigEndian(std::uint32_t(count));
    for (std::size_t i = 0; i < count; ++i) {
        expected += content.codes[i];
        expected.append(content.glyphs[i].begin(), content.glyphs[i].end());
    }
    std::string absent;
    int absentCount = 0;
    for (std::uint32_t code = 0; code < 65536 && absentCount < 10000; code += 3)
        if (!present[code]) {
            absent += codeBytes(std::uint16_t(code));
            ++absentCount;
        }
    expected += bigEndian(std::uint32_t(absentCount)) + absent;

    TempDir dir;
    writeFile(dir.file("font.c"), cSource(content, size, Mode::A, "font", kToolName));
    writeFile(dir.file("font.h"), cHeader(count, size, Mode::A, "font", kToolName));
    writeFile(dir.file("expected.bin"), expected);
    writeFile(dir.file("check.c"), R"(#include <stdio.h>
#include <string.h>
#include "font.h"
static unsigned long number(FILE *f)
{
    unsigned long v = 0;
    int i;
    for (i = 0; i < 4; ++i)
        v = v << 8 | (unsigned long)getc(f);
    return v;
}
int main(int argc, char **argv)
{
    FILE *f = fopen(argv[argc - 1], "rb");
    unsigned char entry[2 + FONT_GLYPH_BYTES];
    unsigned long i, n, wrong = 0;
    if (!f)
        return 2;
    n = number(f);
    if (n != font_count || n != FONT_COUNT)
        return 3;
    for (i = 0; i < n; ++i) {
        int found;
        if (fread(entry, 1, sizeof entry, f) != sizeof entry)
            return 4;
        found = font_find((unsigned int)entry[0] << 8 | entry[1]);
        if (found < 0 || (unsigned long)found != i
            || memcmp(font_glyphs + (unsigned long)found * FONT_GLYPH_BYTES, entry + 2, FONT_GLYPH_BYTES) != 0)
            ++wrong;
    }
    n = number(f);
    for (i = 0; i < n; ++i) {
        const int hi = getc(f);
        const int lo = getc(f);
        if (font_find((unsigned int)hi << 8 | (unsigned int)lo) != -1)
            ++wrong;
    }
    printf("%lu wrong\n", wrong);
    return wrong == 0 ? 0 : 1;
}
)");
    const std::string d = "cd '" + dir.path().string() + "' && ";
    const std::string flags = " -std=c99 -Wall -Wextra -Werror -pedantic -Os ";
    ASSERT_EQ(
        std::system((d + "gcc" + flags + "-c font.c -o font.o && gcc" + flags + "check.c font.o -o check").c_str()), 0);
    EXPECT_EQ(std::system((d + "./check expected.bin >result.txt").c_str()), 0) << readFile(dir.file("result.txt"));
    EXPECT_EQ(readFile(dir.file("result.txt")), "0 wrong\n");
    // A 32-bit target's size model, where the compiler can make code for it.
    if (std::system("echo 'int x;' | gcc -m32 -x c -c -o /dev/null - 2>/dev/null") == 0) {
        EXPECT_EQ(std::system((d + "gcc -m32" + flags + "-c font.c -o font32.o").c_str()), 0);
    }
    // The index the search goes through is there only when the codes do not ascend.
    const CDataSizes sizes = cDataSizes(content, size);
    EXPECT_EQ(sizes.index, ascending || count < 2 ? 0u : 2 * count);
    EXPECT_EQ(sizes.glyphs, std::max<std::size_t>(count * glyphSize, 1));
}

INSTANTIATE_TEST_SUITE_P(Counts, FindInC,
    testing::Values(std::make_tuple(std::size_t(0), 16, true), std::make_tuple(std::size_t(1), 32, true),
        std::make_tuple(std::size_t(200), 24, true), std::make_tuple(std::size_t(200), 32, false),
        std::make_tuple(std::size_t(7445), 16, false), std::make_tuple(std::size_t(7445), 24, true),
        std::make_tuple(std::size_t(21886), 16, true), std::make_tuple(std::size_t(21886), 16, false)),
    [](const auto &info) {
        return std::to_string(std::get<0>(info.param)) + "glyphs" + std::to_string(std::get<1>(info.param)) + "dots"
            + (std::get<2>(info.param) ? "Ascending" : "Descending");
    });

// What collect takes from each kind of file: characters and where they stand.
struct ScanCase {
    const char *label;
    SourceKind kind;
    std::u32string text;
    std::vector<std::tuple<char32_t, int, int>> found; // character, line, column
};

TEST(CollectScan, ShownPartsOfEachKind)
{
    const std::vector<ScanCase> cases{
        {"c comments and literals", SourceKind::C,
            U"// 注\n/* 释\n 释 */ x = \"甲\"; // 注\nc = '乙'; s = L\"丙\" u8\"丁\";",
            {{U'甲', 3, 12}, {U'乙', 4, 6}, {U'丙', 4, 16}, {U'丁', 4, 22}}},
        {"c escapes", SourceKind::C, U"\"\\\"甲\\\\\\u4E59\\U00004E19\\x41\"",
            {{U'甲', 1, 4}, {U'乙', 1, 7}, {U'丙', 1, 13}}},
        {"c raw strings and digit separators", SourceKind::C, U"n = 1'000'000; s = R\"x(甲\")乙)x\"; t = \"丙\"; // 丁",
            {{U'甲', 1, 24}, {U'乙', 1, 27}, {U'丙', 1, 38}}},
        {"c line comment continued", SourceKind::C, U"// a \\\n 注 \n\"甲\"", {{U'甲', 3, 2}}},
        {"c line comment continued onto a literal", SourceKind::C, U"// see \\\n\"中\"\n\"甲\"", {{U'甲', 3, 2}}},
        {"c line comment continued past cr lf", SourceKind::C, U"// see \\\r\n\"中\"\r\n\"甲\"", {{U'甲', 3, 2}}},
        {"c literal left open ends at the line end", SourceKind::C, U"\"甲\n乙", {{U'甲', 1, 2}}},
        {"po msgstr and its continuation lines", SourceKind::Po,
            U"# 注\nmsgid \"键\"\nmsgstr \"甲\"\n\"乙\"\n\nmsgid_plural \"键\"\nmsgstr[1] \"丙\"\n#~ msgstr \"丁\"\n",
            {{U'甲', 3, 9}, {U'乙', 4, 2}, {U'丙', 7, 12}}},
        {"json values not keys", SourceKind::Json,
            U"{\"键\": \"甲\", \"a\" : [\"乙\", {\"键\"\n: \"丙\\u4e01\\ud83d\\ude00\"}]}",
            {{U'甲', 1, 8}, {U'乙', 1, 20}, {U'丙', 2, 4}, {U'丁', 2, 5}, {U'\U0001F600', 2, 11}}},
        {"text: every line", SourceKind::Text, U"a甲\n\n乙b丙", {{U'甲', 1, 2}, {U'乙', 3, 1}, {U'丙', 3, 3}}},
    };
    for (const ScanCase &c : cases) {
        std::vector<std::tuple<char32_t, int, int>> found;
        scanSource(
            c.text, c.kind, [&found](char32_t ch, TextPosition at) { found.emplace_back(ch, at.line, at.column); });
        EXPECT_EQ(found, c.found) << c.label;
    }
    EXPECT_EQ(sourceKindOf("src/Main.CPP"), SourceKind::C);
    EXPECT_EQ(sourceKindOf("ui.h"), SourceKind::C);
    EXPECT_EQ(sourceKindOf("zh_CN.po"), SourceKind::Po);
    EXPECT_EQ(sourceKindOf("strings.json"), SourceKind::Json);
    EXPECT_EQ(sourceKindOf("menu.txt"), SourceKind::Text);
}

} // namespace
