// Character entry: typed text stepped through by the add button, and the import
// of a text file's first line as GBK byte pairs.

#include "library/text_import.h"
#include "tests/support/test_workspace.h"

#include <gtest/gtest.h>

using namespace dotforge;
using namespace dotforge::test;

namespace {

// 啊 阿 埃 in GBK.
const std::string A = "\xB0\xA1";
const std::string B = "\xB0\xA2";
const std::string C = "\xB0\xA3";

std::vector<std::string> codes(Workspace &ws)
{
    return std::vector<std::string>(ws.codeList.begin(), ws.codeList.begin() + ws.LibCount);
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
    tw->ChEditText = A + B + C;
    tw->ChEditKeyPress(U'a');
    EXPECT_FALSE(tw->TypedEntry);

    tw->ChEditKeyPress(13);
    EXPECT_TRUE(tw->TypedEntry);
    EXPECT_EQ(tw->CurCode, A);
    EXPECT_EQ(tw.blank().lastText, "啊");

    tw->AddBtnClick();
    EXPECT_EQ(tw->ChEditText, B + C);
    EXPECT_EQ(tw->CurCode, B);
    EXPECT_EQ(tw.blank().lastText, "阿");
    EXPECT_TRUE(tw->AddBtn.enabled);

    tw->AddBtnClick();
    tw->AddBtnClick();
    EXPECT_EQ(codes(tw.ws()), (std::vector<std::string>{A, B, C}));
    EXPECT_EQ(tw->ChEditText, "");
    EXPECT_FALSE(tw->AddBtn.enabled);
    EXPECT_FALSE(tw->TypedEntry);
}

// In typed entry the add renders the next character, which leaves the library
// view; a failing commit there must not lose the glyph just stored.
TEST_F(EntryTest, AnErrorWhileMovingOnStillCountsTheGlyphAdded)
{
    tw->ChEditText = A + B;
    tw->ChEditKeyPress(13);
    // The library view with LibIndex before the first glyph, so that the commit
    // fails. No press on the list leaves such an index, and the add button is
    // off in the library view: the state is set directly.
    tw->LibIndex = -1;
    tw->selectRG1(1);
    tw->SG2DblClick(); // an edit, so leaving the view asks to commit it
    tw.prompts().answer(Answer::Yes);
    EXPECT_FALSE(tw->run([&] { tw->AddBtnClick(); }));
    EXPECT_EQ(tw.prompts().texts("ioerror"), std::vector<std::string>{"I/O error 131."});
    EXPECT_EQ(codes(tw.ws()), std::vector<std::string>{A});
    EXPECT_EQ(tw->XNLabel, "共 1字 第 1字");
    EXPECT_FALSE(tw->AddBtn.enabled);
}

TEST_F(EntryTest, EnterNeedsTwoBytes)
{
    for (const std::string &text : {std::string(), std::string("\xB0")}) {
        tw->ChEditText = text;
        const int renders = tw.blank().calls;
        tw->ChEditKeyPress(13);
        EXPECT_FALSE(tw->TypedEntry);
        EXPECT_EQ(tw->CurCode, A); // still the first character of area 16
        EXPECT_EQ(tw.blank().calls, renders);
    }
}

TEST_F(EntryTest, ALoneByteLeftInTheFieldEndsTypedEntry)
{
    tw->ChEditText = A + "a";
    tw->ChEditKeyPress(13);
    tw->AddBtnClick();
    EXPECT_EQ(codes(tw.ws()), std::vector<std::string>{A});
    EXPECT_EQ(tw->ChEditText, "a");
    EXPECT_FALSE(tw->TypedEntry);
    EXPECT_FALSE(tw->AddBtn.enabled);
}

TEST_F(EntryTest, ImportStopsAfterTwoHundredPairsWithoutComplaint)
{
    std::string line;
    for (int i = 0; i < 250; ++i)
        line += {char(0xB0 + i / 94), char(0xA1 + i % 94)};
    import(line + "\r\n");
    EXPECT_EQ(tw->LibCount, 200);
    EXPECT_EQ(tw->codeList[199], "\xB2\xAC");
    EXPECT_TRUE(tw.prompts().texts("warning").empty());
    EXPECT_FALSE(tw->AddBtn.enabled);
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
        ImportCase{"EmptyFirstLine", "\n" + A, {}, 0}, ImportCase{"SingleByte", "a", {}, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(EntryTest, ACharacterWithoutGbkCodeImportsNothing)
{
    import("\xE5\x95\x8A\xF0\x9F\x98\x80\xE9\x98\xBF"); // 啊😀阿
    EXPECT_EQ(
        tw.prompts().texts("warning"), std::vector<std::string>{"文本文件中的字符\"😀\"没有GBK编码,未导入任何字!"});
    EXPECT_EQ(tw->LibCount, 0);
}

TEST_F(EntryTest, ARenderErrorEndsTheImportKeepingTheGlyphsAdded)
{
    tw->RUClick(); // the dot-matrix source, simplified Chinese
    const std::string path = tw.dir().file("words.txt");
    // "!!" lies before the start of the font file.
    writeFile(path, A + "!!" + B);
    tw.prompts().fileChoice(FileChoice{path, 1});
    EXPECT_FALSE(tw->run([&] { tw->Button1Click(); }));
    EXPECT_EQ(tw.prompts().texts("ioerror"), std::vector<std::string>{"I/O error 131."});
    EXPECT_EQ(codes(tw.ws()), std::vector<std::string>{A});
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
    EXPECT_EQ(tw->LibCount, 0);

    tw.prompts().fileChoice(FileChoice{tw.dir().file("missing.txt"), 1});
    EXPECT_FALSE(tw->run([&] { tw->Button1Click(); }));
    EXPECT_EQ(tw.prompts().texts("ioerror"), std::vector<std::string>{"File not found."});
    EXPECT_EQ(tw->LibCount, 0);
}

TEST(TextImport, ALineCutInsideAUtf8CharacterIsStillUtf8)
{
    TempDir dir;
    writeFile(dir.file("t.txt"), "\xE5\x95\x8A\xE9\x98\xBF"); // 啊阿
    const TextLine line = readFirstLine(dir.file("t.txt"), 5);
    EXPECT_TRUE(line.truncated);
    EXPECT_EQ(lineToGbk(line), A);
}

} // namespace
