// New, Close, the dot-size commands, the view option, help and About.

#include "tests/support/test_workspace.h"
#include "workspace/workspace.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace dotforge;
using namespace dotforge::test;
namespace fs = std::filesystem;

namespace {

// Puts `count` glyphs into the library the way an add leaves it: records in the
// store, codes in the list, the library unsaved.
void fillLibrary(TestWorkspace &tw, int count)
{
    Workspace &ws = tw.ws();
    GlyphPlane glyph = planeFromArt({"################"});
    for (int i = 0; i < count; ++i)
        addToLibrary(ws, {glyph}, {std::string{char(0xB0), char(0xA1 + i)}});
    tw.library().select(count - 1);
    ws.ChgDone();
}

std::uintmax_t storeSize(TestWorkspace &tw)
{
    return fs::file_size(tw.dir().file("JQT.TMP"));
}

} // namespace

TEST(DotSize, LayoutForEachSizeOnAnEmptyLibrary)
{
    struct Case {
        void (Workspace::*command)();
        int n;
        int editorCell;
        int listColumns;
        int listRows;
        int pointSize;
    };
    const Case cases[] = {
        {&Workspace::mnu24Click, 24, 11, 7, 29, 18},
        {&Workspace::mnu32Click, 32, 8, 5, 40, 22},
        {&Workspace::mnu16Click, 16, 17, 10, 20, 12},
    };
    TestWorkspace tw;
    for (const auto &c : cases) {
        (tw.ws().*c.command)();
        Workspace &ws = tw.ws();
        EXPECT_EQ(ws.dotSize(), c.n);
        EXPECT_EQ(ws.editorGrid().cellSize(), c.editorCell) << c.n;
        EXPECT_EQ(ws.library().DG1ColCount(), c.listColumns) << c.n;
        EXPECT_EQ(ws.library().DG1RowCount(), c.listRows) << c.n;
        EXPECT_EQ(ws.library().DG1CellSize(), c.n + 4);
        EXPECT_EQ(ws.codeTable().FontSize(), c.pointSize);
        EXPECT_EQ(ws.controls().mnu16.checked, c.n == 16);
        EXPECT_EQ(ws.controls().mnu24.checked, c.n == 24);
        EXPECT_EQ(ws.controls().mnu32.checked, c.n == 32);
        // The editor shows the first character of the area, blank cells everywhere
        // (the blank rasterizer draws nothing).
        for (int r = 0; r < c.n; ++r)
            for (int x = 0; x < c.n; ++x)
                EXPECT_EQ(ws.editorGrid().cells().at(x, r), kBlank);
    }
    EXPECT_TRUE(tw.prompts().log().empty()) << "an empty library asks nothing";
}

TEST(DotSize, LargeSizesTickTheTrueTypeSourceAndDisableTheDotMatrixOne)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    ws.RUClick();
    ASSERT_TRUE(ws.controls().RU.checked);
    ws.mnu24Click();
    EXPECT_TRUE(ws.controls().RW.checked);
    EXPECT_FALSE(ws.controls().RU.checked);
    EXPECT_FALSE(ws.controls().RU.enabled);
    EXPECT_FALSE(ws.controls().UJF.enabled);
    // Back at 16 dots the dot-matrix source can be chosen again, but is not ticked.
    ws.mnu16Click();
    EXPECT_TRUE(ws.controls().RU.enabled);
    EXPECT_FALSE(ws.controls().RU.checked);
    EXPECT_TRUE(ws.controls().RW.checked);
}

TEST(DotSize, QuestionWhenTheLibraryHoldsGlyphs)
{
    {
        TestWorkspace tw;
        fillLibrary(tw, 3);
        tw.prompts().answer(Answer::Yes);
        tw->mnu24Click();
        EXPECT_EQ(tw.prompts().texts("confirmation"),
            std::vector<std::string>{"当前小字库中已有内容!你要先将其保存为文件吗?"});
        EXPECT_EQ(tw.prompts().lastButtons(), Buttons::YesNo);
        EXPECT_EQ(tw.prompts().texts("message"), std::vector<std::string>{"请先保存小字库!"});
        EXPECT_EQ(tw->dotSize(), 16);
        EXPECT_TRUE(tw->controls().mnu16.checked);
        EXPECT_FALSE(tw->controls().mnu24.checked);
        EXPECT_EQ(tw->library().LibCount(), 3);
        EXPECT_EQ(storeSize(tw), 3u * 128);
    }
    {
        TestWorkspace tw;
        fillLibrary(tw, 3);
        tw.prompts().answer(Answer::No);
        tw->mnu24Click();
        EXPECT_EQ(tw.prompts().texts("message"), std::vector<std::string>{});
        EXPECT_EQ(tw->dotSize(), 24);
        EXPECT_EQ(tw->library().LibCount(), 0);
        EXPECT_EQ(tw->library().LibIndex(), 0);
        EXPECT_EQ(storeSize(tw), 0u);
        EXPECT_EQ(tw->library().code(0), "");
        EXPECT_FALSE(tw->controls().mnuSave.enabled);
        EXPECT_FALSE(tw->controls().mnuSaveAs.enabled);
        EXPECT_FALSE(tw->controls().RG1.enabled);
    }
    {
        // The size already in force asks too, and then empties the library.
        TestWorkspace tw;
        fillLibrary(tw, 2);
        tw.prompts().answer(Answer::No);
        tw->mnu16Click();
        EXPECT_EQ(tw.prompts().texts("confirmation").size(), 1u);
        EXPECT_EQ(tw->library().LibCount(), 0);
    }
}

TEST(NewAndClose, DiscardWithoutAQuestion)
{
    for (auto command : {&Workspace::mnuNewClick, &Workspace::mnuCloseClick}) {
        TestWorkspace tw;
        // A named library, then glyphs added since its save.
        tw.prompts().fileChoice(FileChoice{tw.dir().file("x.ZMB"), 1});
        tw->mnuSaveAsClick();
        ASSERT_EQ(tw->controls().caption, "Dotforge: " + tw.dir().file("x.ZMB"));
        tw.prompts().clear();
        fillLibrary(tw, 4);
        tw->updateXNLabel();
        typeCharacter(tw.ws(), "\xB0\xA2\xB0\xA3");
        (tw.ws().*command)();
        EXPECT_TRUE(tw.prompts().log().empty());
        EXPECT_EQ(tw->library().LibCount(), 0);
        EXPECT_EQ(storeSize(tw), 0u);
        EXPECT_EQ(tw->documents().fileName(), "");
        EXPECT_EQ(tw->controls().caption, "Dotforge");
        EXPECT_FALSE(tw->controls().mnuSave.enabled);
        EXPECT_FALSE(tw->controls().mnuSaveAs.enabled);
        EXPECT_FALSE(tw->controls().RG1.enabled);
        EXPECT_EQ(tw->controls().RG1Index, 0);
        EXPECT_EQ(tw->ViewMode(), 0);
        // The label and the delete button show the empty list.
        EXPECT_EQ(tw->controls().XNLabel, "共 0字 第 0字");
        EXPECT_FALSE(tw->controls().DelBtn.enabled);
        EXPECT_TRUE(tw->controls().AddBtn.enabled);
        EXPECT_FALSE(tw->TypedEntry());
        EXPECT_EQ(tw->controls().ChEditText, "");
    }
}

// An edited library glyph in the editor: New leaves the library view without the
// question about the edits (the library they belong to is gone) and writes
// nothing into the emptied store.
TEST(NewAndClose, DropEditsOfALibraryGlyphWithoutAQuestion)
{
    struct Case {
        void (Workspace::*command)();
        bool sizeQuestion; // answered No; otherwise the view option's warning, answered Yes, or nothing
    };
    const Case cases[] = {
        {&Workspace::mnuNewClick, false},
        {&Workspace::mnuCloseClick, false},
        {&Workspace::mnu16Click, true},
        // These two tick the TrueType source, which re-renders the table's
        // character before the library is emptied.
        {&Workspace::mnu24Click, true},
        {&Workspace::mnu32Click, true},
        {&Workspace::mnuViewClick, false},
    };
    for (const Case &c : cases) {
        TestWorkspace tw;
        fillLibrary(tw, 2);
        tw->DG1MouseDown(1, 0);
        ASSERT_EQ(tw->ViewMode(), 1);
        tw->SG2MouseDown(3, 3, MouseButton::Left);
        tw->SG2DblClick();
        ASSERT_TRUE(tw->EditModified());
        if (c.sizeQuestion)
            tw.prompts().answer(Answer::No);
        if (c.command == &Workspace::mnuViewClick)
            tw.prompts().answer(Answer::Yes);
        (tw.ws().*c.command)();
        EXPECT_EQ(tw.prompts().texts("confirmation"),
            c.sizeQuestion ? std::vector<std::string>{"当前小字库中已有内容!你要先将其保存为文件吗?"}
                           : std::vector<std::string>{});
        EXPECT_TRUE(tw.prompts().allConsumed());
        EXPECT_EQ(tw->ViewMode(), 0);
        EXPECT_EQ(tw->library().LibCount(), 0);
        EXPECT_EQ(storeSize(tw), 0u);
        EXPECT_FALSE(tw->EditModified());
    }
}

// Every way of emptying the library shows the empty list: the label as the
// form shows it before the first glyph, the delete button off.
TEST(NewAndClose, EveryResetShowsTheEmptyList)
{
    struct Case {
        void (Workspace::*command)();
        Answer answer; // to the size question or the view option's warning; Ok: none asked
    };
    const Case cases[] = {
        {&Workspace::mnuNewClick, Answer::Ok},
        {&Workspace::mnuCloseClick, Answer::Ok},
        {&Workspace::mnu16Click, Answer::No},
        {&Workspace::mnu24Click, Answer::No},
        {&Workspace::mnu32Click, Answer::No},
        {&Workspace::mnuViewClick, Answer::Yes},
    };
    for (const Case &c : cases) {
        TestWorkspace tw;
        fillLibrary(tw, 3);
        tw->updateXNLabel();
        ASSERT_EQ(tw->controls().XNLabel, "共 3字 第 3字");
        if (c.answer != Answer::Ok)
            tw.prompts().answer(c.answer);
        (tw.ws().*c.command)();
        EXPECT_EQ(tw->controls().XNLabel, "共 0字 第 0字");
        EXPECT_FALSE(tw->controls().DelBtn.enabled);
        EXPECT_EQ(tw->library().DG1Marked(), -1);
        EXPECT_TRUE(tw.prompts().allConsumed());
    }
}

TEST(NewAndClose, KeepsSizeSourceFontModeAndEffects)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    ws.mnu24Click();
    ws.mnuModeClick(Mode::D);
    ws.mnuRotationClick(Rotation::R90);
    tw.prompts().fontChoice(FontChoice{"AR PL UMing CN", 20});
    ws.FontBtnClick();
    ws.mnuNewClick();
    EXPECT_EQ(ws.dotSize(), 24);
    EXPECT_EQ(ws.controls().mode, Mode::D);
    EXPECT_EQ(ws.controls().rotation, Rotation::R90);
    EXPECT_EQ(ws.codeTable().FontName(), "AR PL UMing CN");
    EXPECT_EQ(ws.codeTable().FontSize(), 20);
}

TEST(ViewOption, YesTogglesAndResetsNoChangesNothing)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    tw.prompts().answer(Answer::Yes);
    ws.mnuViewClick();
    EXPECT_EQ(tw.prompts().texts("warning"),
        std::vector<std::string>{"本选项改变后,当前小字库中已加入字模将全部清除!继续吗?"});
    EXPECT_EQ(tw.prompts().lastButtons(), Buttons::YesNo);
    EXPECT_TRUE(ws.controls().mnuView);

    fillLibrary(tw, 2);
    tw.setGrid({"#..#"});
    tw.prompts().answer(Answer::No);
    ws.mnuViewClick();
    EXPECT_TRUE(ws.controls().mnuView);
    EXPECT_EQ(ws.library().LibCount(), 2);
    EXPECT_EQ(storeSize(tw), 2u * 128);
    EXPECT_EQ(tw.grid()[0], "#..#............");

    tw.prompts().answer(Answer::Yes);
    ws.mnuViewClick();
    EXPECT_FALSE(ws.controls().mnuView);
    EXPECT_EQ(ws.library().LibCount(), 0);
    EXPECT_EQ(storeSize(tw), 0u);
}

TEST(HelpAndAbout, OpenThroughThePrompts)
{
    TestWorkspace tw;
    tw->mnuHelpClick();
    tw->mnuAboutClick();
    EXPECT_EQ(tw.prompts().texts("help"), std::vector<std::string>{"JQT.HLP"});
    EXPECT_EQ(tw.prompts().texts("about"), std::vector<std::string>{"Dotforge V3.0"});
}
