// Character entry: typed text stepped through by the add button, and the import
// of a text file's first line as GBK byte pairs.

#include "library/text_import.h"
#include "tests/support/test_workspace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <iconv.h>
#include <optional>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using namespace dotforge;
using namespace dotforge::test;

namespace {

// 啊 阿 埃 in GBK.
const std::string A = "\xB0\xA1";
const std::string B = "\xB0\xA2";
const std::string C = "\xB0\xA3";
// 上 (U+4E0A): its UTF-16 holds the byte of a line feed.
const std::string Shang = "\xC9\xCF";

// Bytes written out one by one (UTF-16 text holds zero bytes).
std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (const int v : values)
        out += char(v);
    return out;
}

std::vector<std::string> codes(Workspace &ws)
{
    return ws.library().codes();
}

class EntryTest : public ::testing::Test {
protected:
    // Imports a file holding `bytes` through the open dialog.
    void import(const std::string &bytes)
    {
        const std::string path = tw.dir().file("words.txt");
        writeFile(path, bytes);
        tw.prompts().fileChoice(FileChoice{path, 1});
        tw->Button1Click();
    }

    TestWorkspace tw;
};

TEST_F(EntryTest, TypedCharactersAreAddedOneByOne)
{
    tw->ChEditChange(A + B + C);
    tw->ChEditKeyPress(U'a');
    EXPECT_FALSE(tw->TypedEntry());

    tw->ChEditKeyPress(13);
    EXPECT_TRUE(tw->TypedEntry());
    EXPECT_EQ(tw->CurCode(), A);
    EXPECT_EQ(tw.blank().lastText, "啊");

    tw->AddBtnClick();
    EXPECT_EQ(tw->controls().ChEditText, B + C);
    EXPECT_EQ(tw->CurCode(), B);
    EXPECT_EQ(tw.blank().lastText, "阿");
    EXPECT_TRUE(tw->controls().AddBtn.enabled);

    tw->AddBtnClick();
    tw->AddBtnClick();
    EXPECT_EQ(codes(tw.ws()), (std::vector<std::string>{A, B, C}));
    EXPECT_EQ(tw->controls().ChEditText, "");
    EXPECT_FALSE(tw->controls().AddBtn.enabled);
    EXPECT_FALSE(tw->TypedEntry());
}

// In typed entry the add renders the next character, which leaves the library
// view; a failing commit there must not lose the glyph just stored.
TEST_F(EntryTest, AnErrorWhileMovingOnStillCountsTheGlyphAdded)
{
    tw->ChEditChange(A + B);
    tw->ChEditKeyPress(13);
    // The library view with LibIndex before the first glyph, so that the commit
    // fails. No press on the list leaves such an index, and the add button is
    // off in the library view: the state is set directly.
    tw.library().select(-1);
    tw->selectRG1(1);
    tw->SG2DblClick(); // an edit, so leaving the view asks to commit it
    tw.prompts().answer(Answer::Yes);
    EXPECT_FALSE(tw->run([&] { tw->AddBtnClick(); }));
    EXPECT_EQ(tw.prompts().texts("ioerror"), std::vector<std::string>{"I/O error 131."});
    EXPECT_EQ(codes(tw.ws()), std::vector<std::string>{A});
    EXPECT_EQ(tw->controls().XNLabel, "共 1字 第 1字");
    EXPECT_FALSE(tw->controls().AddBtn.enabled);
}

TEST_F(EntryTest, EnterNeedsTwoBytes)
{
    for (const std::string &text : {std::string(), std::string("\xB0")}) {
        tw->ChEditChange(text);
        const int renders = tw.blank().calls;
        tw->ChEditKeyPress(13);
        EXPECT_FALSE(tw->TypedEntry());
        EXPECT_EQ(tw->CurCode(), A); // still the first character of area 16
        EXPECT_EQ(tw.blank().calls, renders);
    }
}

TEST_F(EntryTest, ALoneByteLeftInTheFieldEndsTypedEntry)
{
    tw->ChEditChange(A + "a");
    tw->ChEditKeyPress(13);
    tw->AddBtnClick();
    EXPECT_EQ(codes(tw.ws()), std::vector<std::string>{A});
    EXPECT_EQ(tw->controls().ChEditText, "a");
    EXPECT_FALSE(tw->TypedEntry());
    EXPECT_FALSE(tw->controls().AddBtn.enabled);
}

TEST_F(EntryTest, ImportStopsAfterTwoHundredPairsWithoutComplaint)
{
    std::string line;
    for (int i = 0; i < 250; ++i)
        line += {char(0xB0 + i / 94), char(0xA1 + i % 94)};
    import(line + "\r\n");
    EXPECT_EQ(tw->library().LibCount(), 200);
    EXPECT_EQ(tw->library().code(199), "\xB2\xAC");
    EXPECT_TRUE(tw.prompts().texts("warning").empty());
    EXPECT_FALSE(tw->controls().AddBtn.enabled);
}

struct ImportCase {
    const char *name;
    std::string bytes;
    std::vector<std::string> codes;
    int duplicateWarnings;
};

class ImportLineTest : public EntryTest, public ::testing::WithParamInterface<ImportCase> { };

TEST_P(ImportLineTest, AddsThePairsOfTheFirstLine)
{
    import(GetParam().bytes);
    EXPECT_EQ(codes(tw.ws()), GetParam().codes);
    EXPECT_EQ(tw.prompts().texts("warning"),
        std::vector<std::string>(std::size_t(GetParam().duplicateWarnings), "小字库中已有该区位码的字!"));
}

INSTANTIATE_TEST_SUITE_P(Lines, ImportLineTest,
    ::testing::Values(ImportCase{"Gbk", "\xB0\xA1\xB0\xA2\xB0\xA3", {A, B, C}, 0},
        ImportCase{"Utf8", "\xE5\x95\x8A\xE9\x98\xBF\xE5\x9F\x83", {A, B, C}, 0},
        ImportCase{"Utf8WithByteOrderMark", "\xEF\xBB\xBF\xE5\x95\x8A\xE9\x98\xBF", {A, B}, 0},
        ImportCase{"Repeats", A + B + A + A + B, {A, B}, 3},
        ImportCase{"LetterBeforeChinese", "a\xB0\xA1", {"a\xB0"}, 0},
        ImportCase{"LetterBeforeChineseUtf8", "a\xE5\x95\x8A", {"a\xB0"}, 0},
        ImportCase{"SecondLineAfterCrLf", A + "\r\n" + B, {A}, 0},
        ImportCase{"SecondLineAfterLf", A + "\n" + B, {A}, 0}, ImportCase{"SecondLineAfterCr", A + "\r" + B, {A}, 0},
        ImportCase{"EmptyFirstLine", "\n" + A, {}, 0}, ImportCase{"SingleByte", "a", {}, 0},
        // 猫路 in GBK is also valid two-byte UTF-8 ("è·"): it stays GBK.
        ImportCase{"GbkThatIsAlsoTwoByteUtf8", "\xC3\xA8\xC2\xB7", {"\xC3\xA8", "\xC2\xB7"}, 0},
        // ±啊 in UTF-8: the three-byte character tells.
        ImportCase{"TwoByteUtf8BesideAChineseCharacter", "\xC2\xB1\xE5\x95\x8A", {"\xA1\xC0", A}, 0},
        // Overlong forms are no UTF-8 (each would name a character): the lines stay GBK.
        ImportCase{"OverlongTwoByteFormBesideAChineseCharacter", "\xC0\x80\xE5\x95\x8A", {"\xC0\x80", "\xE5\x95"}, 0},
        ImportCase{"OverlongThreeByteForm", "\xE0\x82\x80", {"\xE0\x82"}, 0},
        ImportCase{"OverlongFourByteForm", "\xF0\x8F\xBF\xBF", {"\xF0\x8F", "\xBF\xBF"}, 0},
        ImportCase{"GbkThatIsAnOverlongThreeByteForm", "\xE0\x90\x81\x40", {"\xE0\x90", "\x81\x40"}, 0},
        // Nor are surrogates and values past U+10FFFF.
        ImportCase{"SurrogateForm", "\xED\xA0\x80", {"\xED\xA0"}, 0},
        ImportCase{"FormPastTheLastCharacter", "\xF4\x90\x80\x80", {"\xF4\x90", "\x80\x80"}, 0},
        // The byte-order mark tells even for two-byte characters: è· in GBK.
        ImportCase{
            "Utf8ByteOrderMarkBeforeTwoByteCharacters", "\xEF\xBB\xBF\xC3\xA8\xC2\xB7", {"\xA8\xA8", "\xA1\xA4"}, 0},
        ImportCase{"Utf16Le", bytes({0xFF, 0xFE, 0x4A, 0x55, 0x0A, 0x4E, 0x0D, 0, 0x0A, 0, 0x3F, 0x96}), {A, Shang}, 0},
        ImportCase{"Utf16Be", bytes({0xFE, 0xFF, 0x55, 0x4A, 0x4E, 0x0A, 0, 0x0A, 0x96, 0x3F}), {A, Shang}, 0},
        // An ASCII letter in UTF-16 is one byte in GBK and shifts the pairs as in any text.
        ImportCase{"Utf16LeWithALetter", bytes({0xFF, 0xFE, 0x61, 0, 0x4A, 0x55}), {"a\xB0"}, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(EntryTest, ACharacterWithoutGbkCodeImportsNothing)
{
    import("\xE5\x95\x8A\xF0\x9F\x98\x80\xE9\x98\xBF"); // 啊😀阿
    EXPECT_EQ(
        tw.prompts().texts("warning"), std::vector<std::string>{"文本文件中的字符\"😀\"没有GBK编码,未导入任何字!"});
    EXPECT_EQ(tw->library().LibCount(), 0);
}

TEST_F(EntryTest, BrokenOrUnencodableUtf16ImportsNothing)
{
    import(bytes({0xFF, 0xFE, 0x4A, 0x55, 0x3D, 0xD8, 0x00, 0xDE})); // 啊😀
    import(bytes({0xFE, 0xFF, 0x55, 0x4A, 0xD8, 0x3D, 0x55, 0x4A})); // 啊, half a pair, 啊
    EXPECT_EQ(tw.prompts().texts("warning"),
        (std::vector<std::string>{"文本文件中的字符\"😀\"没有GBK编码,未导入任何字!",
            "文本文件中的字符\"\xEF\xBF\xBD\"没有GBK编码,未导入任何字!"}));
    EXPECT_EQ(tw->library().LibCount(), 0);
}

// A pipe chosen in the dialog is refused at once (the test holds a writer, so
// that no version can wait here for ever); nothing is added.
TEST_F(EntryTest, APipeIsRefused)
{
    const std::string path = tw.dir().file("pipe.txt");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const int writer = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    tw.prompts().fileChoice(FileChoice{path, 1});
    EXPECT_FALSE(tw->run([&] { tw->Button1Click(); }));
    ::close(writer);
    EXPECT_EQ(tw.prompts().texts("ioerror"),
        std::vector<std::string>{"\"" + path + "\"不是普通文件(可能是链接、文件夹、设备或管道),Dotforge不读写它."});
    EXPECT_EQ(tw->library().LibCount(), 0);
}

// With the dot-matrix source a pair outside the variant ("!!") is a blank
// glyph; a record past the end of a short font file (B's) is a read error,
// which ends the import.
TEST(EntryImport, ARenderErrorEndsTheImportKeepingTheGlyphsAdded)
{
    TestWorkspace tw({false, false, nullptr});
    writeFile(tw.dir().file("Font16s"), readFile(font16sPath()).substr(0, 1411 * 32)); // up to A, record 1410
    tw->FormCreate();
    tw->RUClick(); // the dot-matrix source, simplified Chinese
    const std::string path = tw.dir().file("words.txt");
    writeFile(path, A + "!!" + B + C);
    tw.prompts().fileChoice(FileChoice{path, 1});
    EXPECT_FALSE(tw->run([&] { tw->Button1Click(); }));
    EXPECT_EQ(tw.prompts().texts("ioerror"), std::vector<std::string>{"Read beyond end of file."});
    EXPECT_EQ(codes(tw.ws()), (std::vector<std::string>{A, "!!"}));
    EXPECT_EQ(readFile(tw.dir().file("JQT.TMP")).substr(128, 128), std::string(128, '\0'));
}

TEST_F(EntryTest, TheDialogIsTheOpenDialogSetForTextFiles)
{
    tw.prompts().fileChoice(std::nullopt);
    tw->Button1Click();
    const FileDialogSpec &spec = tw.prompts().lastOpenSpec();
    EXPECT_EQ(spec.title, "打开小汉字库文件...");
    EXPECT_EQ(spec.filter, "文本文件(*.TXT)| *.TXT");
    EXPECT_EQ(spec.defaultExt, ".TXT");
    EXPECT_EQ(spec.fileName, "*.TXT");
    EXPECT_EQ(spec.initialDir, ".");
    EXPECT_EQ(tw->library().LibCount(), 0);

    tw.prompts().fileChoice(FileChoice{tw.dir().file("missing.txt"), 1});
    EXPECT_FALSE(tw->run([&] { tw->Button1Click(); }));
    EXPECT_EQ(tw.prompts().texts("ioerror"), std::vector<std::string>{"File not found."});
    EXPECT_EQ(tw->library().LibCount(), 0);
}

// A line cut at the cap keeps its whole characters, the last one too, and is
// still UTF-8 when the cut falls inside a character.
TEST(TextImport, ALineCutAtTheCapKeepsItsWholeCharacters)
{
    TempDir dir;
    writeFile(dir.file("t.txt"), "\xE5\x95\x8A\xE9\x98\xBF\xE5\x9F\x83"); // 啊阿埃
    for (const auto &[cap, gbk] :
        std::vector<std::pair<std::size_t, std::string>>{{4, A}, {5, A}, {3, A}, {6, A + B}}) {
        const TextLine line = readFirstLine(dir.file("t.txt"), cap);
        EXPECT_TRUE(line.truncated);
        EXPECT_EQ(lineToGbk(line), gbk) << cap;
    }
    // At the real cap: a long line that ends in 阿 there.
    const std::string letters(kMaxLineBytes - 3, 'a');
    writeFile(dir.file("long.txt"), letters + "\xE9\x98\xBF\xE5\x9F\x83");
    EXPECT_EQ(lineToGbk(readFirstLine(dir.file("long.txt"))), letters + B);
}

// A whole text for collect: UTF-8 throughout when it reads so as a whole, else
// line by line, a byte that is no character standing as kUndecodableByte + it.
TEST(TextImport, ATextIsUtf8AsAWholeOrElseLineByLine)
{
    constexpr char32_t X = kUndecodableByte;
    const std::vector<std::tuple<const char *, std::string, std::optional<std::u32string>>> cases{
        // ° and ± are two-byte UTF-8; beside 设 in the same text they are not GBK.
        {"utf-8 as a whole",
            "\xC2\xB0"
            "C \xE8\xAE\xBE\n\xC2\xB1",
            U"°C 设\n±"},
        {"a stray byte costs only its line", "Ren\xE9 \n\xE8\xAE\xBE\xE7\xBD\xAE\n",
            std::u32string(U"Ren") + char32_t(X + 0xE9) + U" \n设置\n"},
        {"gbk and utf-8 lines, cr and lf", "\xB1\xA3\r\xE8\xAE\xBE\n\xB4\xE6", U"保\r设\n存"},
        // A lead byte before an ASCII byte is nothing, the ASCII byte counts; a
        // pair without a character is two bytes that are none.
        {"bytes that are no gbk", "\x81 \xA1@\xAA\xA1\xFF\xB1\xA3",
            std::u32string{X + 0x81, U' ', X + 0xA1, U'@', X + 0xAA, X + 0xA1, X + 0xFF, U'保'}},
        {"after a utf-8 byte-order mark every valid line is utf-8", "\xEF\xBB\xBF\xC2\xB1\n\xE9\n\xC3\xA8",
            std::u32string(U"±\n") + char32_t(X + 0xE9) + U"\nè"},
        {"utf-16", bytes({0xFF, 0xFE, 0x4A, 0x55, 0x0A, 0}), U"啊\n"},
        {"broken utf-16", bytes({0xFE, 0xFF, 0xD8, 0x3D, 0x55, 0x4A}), std::nullopt},
    };
    for (const auto &[label, text, decoded] : cases)
        EXPECT_EQ(decodeText(text), decoded) << label;
}

} // namespace

namespace {

// Every GB2312 character whose two bytes also form a valid two-byte UTF-8
// sequence (lead 0xC2..0xDF, trail 0x80..0xBF), found with iconv over all codes.
std::vector<std::string> gb2312CharactersThatAreTwoByteUtf8()
{
    iconv_t cd = iconv_open("UTF-8", "GB2312");
    EXPECT_NE(cd, iconv_t(-1));
    std::vector<std::string> found;
    for (int lead = 0xA1; lead <= 0xF7; ++lead)
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            std::string code{char(lead), char(trail)};
            char out[8];
            char *in = code.data();
            char *to = out;
            std::size_t inLeft = 2, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &in, &inLeft, &to, &outLeft) == std::size_t(-1))
                continue; // no character at this code
            if (lead >= 0xC2 && lead <= 0xDF && trail <= 0xBF)
                found.push_back(code);
        }
    iconv_close(cd);
    return found;
}

} // namespace

// None of them, alone, in a run, or after an ASCII letter, is taken for UTF-8.
TEST(TextImport, Gb2312TextThatIsAlsoTwoByteUtf8StaysGbk)
{
    const std::vector<std::string> set = gb2312CharactersThatAreTwoByteUtf8();
    ASSERT_EQ(set.size(), 930u);
    std::string all;
    for (const std::string &code : set) {
        EXPECT_EQ(lineToGbk(TextLine{code}), code)
            << int(static_cast<unsigned char>(code[0])) << " " << int(static_cast<unsigned char>(code[1]));
        EXPECT_EQ(lineToGbk(TextLine{"a" + code + "1"}), "a" + code + "1")
            << int(static_cast<unsigned char>(code[0])) << " " << int(static_cast<unsigned char>(code[1]));
        all += code;
    }
    EXPECT_EQ(lineToGbk(TextLine{all}), all);
    // Cut at the cap, the run is still GBK.
    EXPECT_EQ(lineToGbk(TextLine{all.substr(0, 101), LineEncoding::Bytes, true}), all.substr(0, 101));
}

// A stream is read in pieces: the first line and whether another follows, and
// with `toTheEnd` every byte, so that the writer of a pipe is never cut off.
TEST(TextImport, FirstLineOfAStream)
{
    const std::string text = A + B + "\r\n\r\n" + C + std::string(300'000, 'x');
    for (const bool toTheEnd : {false, true}) {
        std::size_t pos = 0;
        const TextLine line = readFirstLine(
            [&](char *buffer, std::size_t max) {
                const std::size_t n = std::min({max, std::size_t(7), text.size() - pos});
                std::copy_n(text.data() + pos, n, buffer);
                pos += n;
                return n;
            },
            kMaxLineBytes, toTheEnd);
        EXPECT_EQ(line.bytes, A + B);
        EXPECT_TRUE(line.moreLines);
        EXPECT_FALSE(line.truncated);
        if (toTheEnd)
            EXPECT_EQ(pos, text.size());
        else
            EXPECT_LT(pos, text.size());
    }
}
