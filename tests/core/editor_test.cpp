// The editor grid: showing and committing planes, the mouse and keyboard
// model, the view switch, commit, undo and clear.

#include "core/io_error.h"
#include "tests/core/editor_fixture.h"

#include <gtest/gtest.h>

using namespace dotforge;
using namespace dotforge::test;

namespace {

class FocusCounter : public WorkspaceListener {
public:
    void focusEditor() override { ++focusRequests; }
    int focusRequests = 0;
};

// Commit writes the packed grid over a zeroed record, so what it wrote is seen.
void zeroRecord(TestWorkspace &tw, int i)
{
    const GlyphPlane zero;
    tw.library().writeGlyph(i, zero);
}

const Art kLibraryGlyph = {
    "................",
    "......#.........",
    ".....###........",
    "......#.........",
    "......#.........",
};

const Art kSourceGlyph = {
    "#..............#",
    "................",
    "....##..........",
};

} // namespace

TEST(EditorGrid, ShowsAndCommitsSixteenDotRows)
{
    TestWorkspace tw;
    GlyphPlane p;
    p.at(0, 0) = 0x80;
    p.at(0, 1) = 0x01;
    p.at(0, 2) = 0xA5; // outside the 16-dot square: kept, never shown
    p.at(0, 3) = 0x3C;
    p.at(5, 0) = 0x18;
    for (int k = 0; k < 4; ++k)
        p.at(16, k) = 0xFF;
    enterLibraryView(tw, p);

    EXPECT_EQ(tw.grid(),
        padded(16,
            {
                "#..............#",
                "................",
                "................",
                "................",
                "................",
                "...##...........",
            }));
    zeroRecord(tw, 0);
    tw->ChgBtnClick();
    EXPECT_EQ(storedRecord(tw, 0), bytesOf(p));
}

TEST(EditorGrid, TwentyFourDotsNeverTouchTheFourthByteOfARow)
{
    TestWorkspace tw;
    tw->mnu24Click();
    GlyphPlane p;
    p.at(3, 2) = 0x01; // cell (23, 3)
    p.at(3, 3) = 0xFF;
    p.at(5, 3) = 0x77;
    enterLibraryView(tw, p);
    EXPECT_EQ(tw.grid(), padded(24, fromRow(3, {".......................#"})));
    EXPECT_FALSE(tw->editorGrid().inked(24, 3));

    tw->SG2MouseDown(0, 5, MouseButton::Left);
    tw->SG2DblClick();
    zeroRecord(tw, 0);
    tw->ChgBtnClick();
    std::string expected(kPlaneBytes, '\0');
    expected[12 + 2] = '\x01';
    expected[12 + 3] = '\xFF';
    expected[20 + 0] = '\x80';
    expected[20 + 3] = '\x77';
    EXPECT_EQ(storedRecord(tw, 0), expected);
}

TEST(EditorGrid, ShowingAGlyphSelectsOnlyTheTopLeftCell)
{
    TestWorkspace tw;
    tw->LeftBtnClick(); // an edit of the grid
    dragSelect(tw.ws(), 2, 2, 6, 6);
    ASSERT_TRUE(tw->EditModified());
    tw.renderArt(kSourceGlyph); // DispDot shows the rendered glyph
    int selected = 0;
    for (int r = -2; r < 34; ++r)
        for (int c = -2; c < 34; ++c)
            selected += tw->editorGrid().inSelection(c, r);
    EXPECT_EQ(selected, 1);
    EXPECT_TRUE(tw->editorGrid().inSelection(0, 0));
    EXPECT_FALSE(tw->EditModified());
    EXPECT_EQ(tw.grid(), padded(16, kSourceGlyph));
}

TEST(EditorGrid, DragGrowsOnlyRightOfAndBelowTheAnchor)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    tw.setGrid(fromRow(5, {".....#.#.#......", "......###.......", ".....#...##....."}));

    ws.SG2MouseDown(5, 5, MouseButton::Left);
    EXPECT_TRUE(ws.editorGrid().dragging());
    ws.SG2MouseMove(9, 7);
    EXPECT_EQ(ws.editorGrid().selWidth(), 5);
    EXPECT_EQ(ws.editorGrid().selHeight(), 3);
    ws.SG2MouseMove(7, 6);
    EXPECT_EQ(ws.editorGrid().selWidth(), 3);
    EXPECT_EQ(ws.editorGrid().selHeight(), 2);
    ws.SG2MouseMove(9, 7);
    ws.SG2MouseMove(3, 8); // left of the anchor column: the size stays
    EXPECT_EQ(ws.editorGrid().selWidth(), 5);
    EXPECT_EQ(ws.editorGrid().selHeight(), 3);
    ws.SG2MouseMove(-1, -1); // off the grid: ignored
    EXPECT_EQ(ws.editorGrid().selWidth(), 5);

    ws.SG2MouseUp(3, 8, MouseButton::Left);
    EXPECT_FALSE(ws.editorGrid().dragging());
    EXPECT_EQ(artOf(ws.editorGrid().blockSnapshot(), 5, 3), (Art{"#.#.#", ".###.", "#...#"}));
    EXPECT_EQ(ws.editorGrid().selCol(), 5);
    EXPECT_EQ(ws.editorGrid().selRow(), 5);

    ws.SG2MouseMove(12, 12); // no drag any more
    EXPECT_EQ(ws.editorGrid().selWidth(), 5);
    EXPECT_EQ(ws.editorGrid().selHeight(), 3);
}

TEST(EditorGrid, ReleaseOffTheGridEndsTheDragWithASnapshot)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    tw.setGrid(fromRow(2, {"..#.#", "...##"}));
    ws.SG2MouseDown(2, 2, MouseButton::Left);
    ws.SG2MouseMove(4, 3);
    ws.SG2MouseUp(2, 2, MouseButton::Right); // other buttons' releases do nothing
    EXPECT_TRUE(ws.editorGrid().dragging());
    ws.SG2MouseUp(-1, -1, MouseButton::Left);
    EXPECT_FALSE(ws.editorGrid().dragging());
    EXPECT_EQ(artOf(ws.editorGrid().blockSnapshot(), 3, 2), (Art{"#.#", ".##"}));
    ws.SG2MouseMove(8, 8);
    EXPECT_EQ(ws.editorGrid().selWidth(), 3);
    EXPECT_EQ(ws.editorGrid().selHeight(), 2);
}

TEST(EditorGrid, ShiftInvertsDraggingOnEveryPress)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    for (bool start : {false, true}) {
        if (start)
            ws.SG2MouseDown(0, 0, MouseButton::Left);
        ASSERT_EQ(ws.editorGrid().dragging(), start);
        ws.SG2KeyDown(Key::Shift, {false, true, false});
        EXPECT_EQ(ws.editorGrid().dragging(), !start);
        ws.SG2KeyDown(Key::Shift, {false, true, false});
        EXPECT_EQ(ws.editorGrid().dragging(), start);
    }

    // A rubber band without a button held: click, Shift, move.
    click(ws, 1, 1);
    EXPECT_FALSE(ws.editorGrid().dragging());
    ws.SG2KeyDown(Key::Shift, {});
    ws.SG2MouseMove(3, 2);
    EXPECT_EQ(ws.editorGrid().selWidth(), 3);
    EXPECT_EQ(ws.editorGrid().selHeight(), 2);
}

TEST(EditorGrid, DoubleClickTogglesADotInTheLibraryViewOnly)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    ws.SG2MouseDown(3, 4, MouseButton::Left);
    ws.SG2DblClick();
    EXPECT_EQ(tw.grid(), padded(16, {}));
    EXPECT_FALSE(ws.EditModified());
    EXPECT_FALSE(ws.controls().mnuSave.enabled);

    enterLibraryView(tw, planeFromArt(kLibraryGlyph));
    ws.SG2MouseDown(3, 4, MouseButton::Left);
    ws.SG2DblClick();
    ws.SG2MouseDown(6, 1, MouseButton::Left);
    ws.SG2DblClick();
    EXPECT_EQ(tw.grid(),
        padded(16,
            {
                "................",
                "................",
                ".....###........",
                "......#.........",
                "...#..#.........",
            }));
    EXPECT_TRUE(ws.EditModified());
    EXPECT_TRUE(ws.controls().mnuSave.enabled);
    EXPECT_TRUE(ws.controls().mnuSaveAs.enabled);
}

TEST(EditorGrid, EnterCommitsInTheLibraryViewAndOnlyBeepsInTheSystemView)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    tw.setGrid({"#"});
    ws.SG2KeyDown(Key::Enter, {});
    EXPECT_EQ(tw.prompts().beeps(), 1);
    EXPECT_EQ(readFile(tw.dir().file("JQT.TMP")), "");

    enterLibraryView(tw, planeFromArt(kLibraryGlyph));
    ws.SG2MouseDown(3, 4, MouseButton::Left);
    ws.SG2DblClick();
    ws.SG2KeyDown(Key::Enter, {true, true, true});
    const Art committed = {
        "................",
        "......#.........",
        ".....###........",
        "......#.........",
        "...#..#.........",
    };
    EXPECT_EQ(storedRecord(tw, 0), bytesOf(planeFromArt(committed)));
    EXPECT_EQ(ws.libPlane(), planeFromArt(committed));
    EXPECT_FALSE(ws.EditModified());
    EXPECT_EQ(ws.library().LibCount(), 1);

    // Nothing left to undo: Home keeps the grid and the selection.
    ws.SG2KeyDown(Key::Home, {});
    EXPECT_EQ(ws.editorGrid().selCol(), 3);
    EXPECT_EQ(ws.editorGrid().selRow(), 4);
    EXPECT_EQ(tw.grid(), padded(16, committed));
    EXPECT_EQ(tw.prompts().beeps(), 1);
}

class LeavingTheLibraryView : public testing::TestWithParam<Answer> { };

TEST_P(LeavingTheLibraryView, AsksAboutEditsAndCommitsOnYes)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    FocusCounter listener;
    ws.setListener(&listener);
    tw.renderArt(kSourceGlyph);
    enterLibraryView(tw, planeFromArt(kLibraryGlyph));
    EXPECT_EQ(listener.focusRequests, 1);
    EXPECT_TRUE(ws.controls().ClearBtn.enabled);
    EXPECT_TRUE(ws.controls().ChgBtn.enabled);

    ws.SG2MouseDown(0, 0, MouseButton::Left);
    ws.SG2DblClick();
    tw.prompts().answer(GetParam());
    ws.selectRG1(0);

    EXPECT_EQ(tw.prompts().texts("confirmation"), (std::vector<std::string>{"当前的点阵已被修改，要保存吗？"}));
    EXPECT_EQ(tw.prompts().lastButtons(), Buttons::YesNo);
    Art stored = kLibraryGlyph;
    if (GetParam() == Answer::Yes)
        stored[0] = "#...............";
    EXPECT_EQ(storedRecord(tw, 0), bytesOf(planeFromArt(stored)));
    EXPECT_EQ(tw.grid(), padded(16, kSourceGlyph));
    EXPECT_EQ(ws.ViewMode(), 0);
    EXPECT_FALSE(ws.EditModified());
    EXPECT_FALSE(ws.controls().ClearBtn.enabled);
    EXPECT_FALSE(ws.controls().ChgBtn.enabled);
    ws.setListener(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Answers, LeavingTheLibraryView, testing::Values(Answer::Yes, Answer::No));

TEST(EditorGrid, SwitchingViewsWithoutLibraryEditsAsksNothing)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    tw.renderArt(kSourceGlyph);
    // Edits made in the system view are dropped by entering the library view.
    ws.LeftBtnClick();
    EXPECT_TRUE(ws.EditModified());
    enterLibraryView(tw, planeFromArt(kLibraryGlyph));
    EXPECT_EQ(tw.grid(), padded(16, kLibraryGlyph));
    ws.selectRG1(0);
    ws.selectRG1(0); // the same item again runs nothing
    EXPECT_TRUE(tw.prompts().log().empty());
    EXPECT_EQ(tw.grid(), padded(16, kSourceGlyph));
}

TEST(EditorGrid, AFailedSaveOnLeavingKeepsTheLibraryViewAndTheEdits)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    enterLibraryView(tw, planeFromArt(kLibraryGlyph));
    tw.library().select(-1); // a press beside the list cells
    ws.SG2MouseDown(0, 0, MouseButton::Left);
    ws.SG2DblClick();
    tw.prompts().answer(Answer::Yes);

    EXPECT_FALSE(ws.run([&] { ws.selectRG1(0); }));
    EXPECT_EQ(tw.prompts().texts("ioerror"), (std::vector<std::string>{"I/O error 131."}));
    EXPECT_EQ(ws.controls().RG1Index, 1);
    EXPECT_EQ(ws.ViewMode(), 1);
    EXPECT_TRUE(ws.EditModified());
    EXPECT_EQ(tw.grid()[0], "#...............");
    EXPECT_EQ(storedRecord(tw, 0), bytesOf(planeFromArt(kLibraryGlyph)));

    EXPECT_FALSE(ws.run([&] { ws.ChgBtnClick(); }));
    EXPECT_TRUE(ws.EditModified());
}

TEST(EditorGrid, ClearBlanksTheGridUntilUndo)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    tw.setGrid(kSourceGlyph);
    ws.ClearBtnClick();
    EXPECT_EQ(tw.prompts().beeps(), 1);
    EXPECT_EQ(tw.grid(), padded(16, kSourceGlyph));

    enterLibraryView(tw, planeFromArt(kLibraryGlyph));
    ws.ClearBtnClick();
    EXPECT_EQ(tw.grid(), padded(16, {}));
    EXPECT_TRUE(ws.EditModified());
    EXPECT_EQ(ws.libPlane(), planeFromArt(kLibraryGlyph));
    EXPECT_EQ(storedRecord(tw, 0), bytesOf(planeFromArt(kLibraryGlyph)));
    ws.undoBtnClick();
    EXPECT_EQ(tw.grid(), padded(16, kLibraryGlyph));
    EXPECT_FALSE(ws.EditModified());
}

TEST(EditorGrid, UndoInTheSystemViewReturnsToTheSourcePlane)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    tw.renderArt(kSourceGlyph);
    tw.setGrid(kSourceGlyph);
    ws.LeftBtnClick();
    ws.SG2KeyDown(Key::Home, {});
    EXPECT_EQ(tw.grid(), padded(16, kSourceGlyph));
    EXPECT_FALSE(ws.EditModified());
}

TEST(EditorGrid, KeysWithoutAnEditorFunctionChangeNothing)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    enterLibraryView(tw, planeFromArt(kLibraryGlyph));
    const KeyMods ctrlShift{true, true, false}, ctrlAlt{true, false, true}, none{};
    // The block keys need a block: a single cell is none.
    click(ws, 6, 2);
    for (const auto &[key, mods] : std::initializer_list<std::pair<Key, KeyMods>>{
             {Key::A, kCtrl}, {Key::S, kCtrl}, {Key::W, kCtrl}, {Key::Z, kCtrl}, {Key::Delete, none}})
        ws.SG2KeyDown(key, mods);
    EXPECT_EQ(tw.grid(), padded(16, kLibraryGlyph));
    EXPECT_FALSE(ws.EditModified());

    dragSelect(ws, 5, 1, 7, 3);
    const std::pair<Key, KeyMods> presses[] = {
        {Key::A, ctrlShift},
        {Key::S, ctrlAlt},
        {Key::W, none},
        {Key::Z, ctrlShift},
        {Key::Delete, kCtrl},
        {Key::C, none},
        {Key::X, ctrlShift},
        {Key::V, ctrlAlt},
        {Key::C, ctrlShift},
        {Key::Up, none},
        {Key::Other, kCtrl},
    };
    for (const auto &[key, mods] : presses)
        ws.SG2KeyDown(key, mods);
    EXPECT_EQ(tw.grid(), padded(16, kLibraryGlyph));
    EXPECT_EQ(ws.editorGrid().selWidth(), 3);
    EXPECT_EQ(ws.editorGrid().selHeight(), 3);
    EXPECT_FALSE(ws.editorGrid().clipFull());
    EXPECT_FALSE(ws.EditModified());

    ws.SG2KeyDown(Key::C, kCtrl);
    EXPECT_TRUE(ws.editorGrid().clipFull());
    EXPECT_EQ(artOf(ws.editorGrid().blockClip(), 3, 3), (Art{".#.", "###", ".#."}));
}
