// Block operations: the block menu, cut, copy, paste, delete and the moves.

#include "tests/core/editor_fixture.h"

#include <gtest/gtest.h>

using namespace dotforge;
using namespace dotforge::test;

namespace {

// A library glyph in the library view, shown in the grid.
void showInLibrary(TestWorkspace &tw, const Art &art)
{
    enterLibraryView(tw, planeFromArt(art));
}

class BlockMenuRequests : public WorkspaceListener {
public:
    void openBlockMenu() override { ++count; }
    int count = 0;
};

bool menuOpensAt(Workspace &ws, int col, int row)
{
    BlockMenuRequests requests;
    ws.setListener(&requests);
    ws.SG2MouseDown(col, row, MouseButton::Right);
    ws.setListener(nullptr);
    return requests.count == 1;
}

struct MenuState {
    bool cut, copy, paste, left, right, up, down, del;
    bool operator==(const MenuState &) const = default;
};

MenuState menuState(const Workspace &ws)
{
    return {ws.controls().pmuCut.enabled, ws.controls().pmuCopy.enabled, ws.controls().pmuPaste.enabled,
        ws.controls().pmuLeft.enabled, ws.controls().pmuRight.enabled, ws.controls().pmuUp.enabled,
        ws.controls().pmuDown.enabled, ws.controls().pmuDel.enabled};
}

const Art kCopySource = {
    "................",
    "................",
    "................",
    "................",
    "....#.#.........",
    ".....##.........",
    "................",
    "................",
    "................",
    "................",
    "...........#....",
    "..........#.....",
};

} // namespace

TEST(Blocks, CopyThenPasteAtAnotherAnchorWritesBlanksToo)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    showInLibrary(tw, kCopySource);
    dragSelect(ws, 4, 4, 6, 5);
    ws.mnuCopyClick();
    EXPECT_TRUE(ws.editorGrid().clipFull());
    EXPECT_EQ(ws.editorGrid().clipWidth(), 3);
    EXPECT_EQ(ws.editorGrid().clipHeight(), 2);
    EXPECT_EQ(ws.editorGrid().selWidth(), 3);
    EXPECT_FALSE(ws.EditModified());
    EXPECT_EQ(tw.grid(), padded(16, kCopySource));

    click(ws, 10, 10);
    ws.mnuPasteClick();
    const Art pasted = {
        "................",
        "................",
        "................",
        "................",
        "....#.#.........",
        ".....##.........",
        "................",
        "................",
        "................",
        "................",
        "..........#.#...",
        "...........##...",
    };
    EXPECT_EQ(tw.grid(), padded(16, pasted));
    EXPECT_EQ(ws.editorGrid().selCol(), 10);
    EXPECT_EQ(ws.editorGrid().selRow(), 10);
    EXPECT_EQ(ws.editorGrid().selWidth(), 1);
    EXPECT_EQ(ws.editorGrid().selHeight(), 1);
    EXPECT_TRUE(ws.EditModified());
    EXPECT_TRUE(ws.controls().mnuSave.enabled);
}

TEST(Blocks, PasteDropsWhatFallsPastTheSquare)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    const Art block = {"#.#.#", ".#.#.", "#####", ".....", "#...#"};
    showInLibrary(tw, block);
    dragSelect(ws, 0, 0, 4, 4);
    ws.SG2KeyDown(Key::C, kCtrl);
    click(ws, 14, 14);
    ws.SG2KeyDown(Key::V, kCtrl);
    Art expected = block;
    expected.resize(14);
    expected.push_back("..............#.");
    expected.push_back("...............#");
    EXPECT_EQ(tw.grid(), padded(16, expected));
}

TEST(Blocks, CutBlanksTheBlockAndCtrlVPutsItBack)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    showInLibrary(tw, kCopySource);
    dragSelect(ws, 4, 4, 6, 5);
    ws.SG2KeyDown(Key::X, kCtrl);
    EXPECT_EQ(tw.grid(), padded(16, fromRow(10, {"...........#....", "..........#....."})));
    EXPECT_EQ(ws.editorGrid().selCol(), 4);
    EXPECT_EQ(ws.editorGrid().selRow(), 4);
    EXPECT_EQ(ws.editorGrid().selWidth(), 1);
    EXPECT_EQ(ws.editorGrid().selHeight(), 1);
    EXPECT_TRUE(ws.EditModified());
    EXPECT_EQ(artOf(ws.editorGrid().blockClip(), 3, 2), (Art{"#.#", ".##"}));

    ws.SG2KeyDown(Key::V, kCtrl);
    EXPECT_EQ(tw.grid(), padded(16, kCopySource));
}

TEST(Blocks, DeleteBlanksTheBlockAndKeepsTheClipboard)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    showInLibrary(tw, kCopySource);
    dragSelect(ws, 10, 10, 11, 11);
    ws.mnuCopyClick();
    dragSelect(ws, 4, 4, 6, 5);
    ws.mnuDelClick();
    EXPECT_EQ(tw.grid(), padded(16, fromRow(10, {"...........#....", "..........#....."})));
    EXPECT_EQ(ws.editorGrid().selWidth(), 1);
    EXPECT_EQ(ws.editorGrid().selHeight(), 1);
    EXPECT_EQ(ws.editorGrid().clipWidth(), 2);
    EXPECT_EQ(artOf(ws.editorGrid().blockClip(), 2, 2), (Art{".#", "#."}));
}

// The keys the block menu shows beside its moves and its delete act, in both
// views, while a block is selected.
TEST(Blocks, TheMenuKeysMoveAndDeleteTheBlock)
{
    struct Row {
        Key key;
        KeyMods mods;
        std::vector<std::pair<int, std::string>> rows; // changed rows of kCopySource
    };
    const std::string blank(16, '.');
    const Row rows[] = {
        {Key::A, kCtrl, {{4, "...#.#.........."}, {5, "....##.........."}}},
        {Key::S, kCtrl, {{4, ".....#.#........"}, {5, "......##........"}}},
        {Key::W, kCtrl, {{3, "....#.#........."}, {4, ".....##........."}, {5, blank}}},
        {Key::Z, kCtrl, {{4, blank}, {5, "....#.#........."}, {6, ".....##........."}}},
        {Key::Delete, {}, {{4, blank}, {5, blank}}},
    };
    for (const bool libraryView : {false, true}) {
        for (const Row &row : rows) {
            TestWorkspace tw;
            Workspace &ws = tw.ws();
            if (libraryView)
                showInLibrary(tw, kCopySource);
            else
                tw.setGrid(kCopySource);
            dragSelect(ws, 4, 4, 6, 5);
            ws.SG2KeyDown(row.key, row.mods);
            Art expected = padded(16, kCopySource);
            for (const auto &[r, text] : row.rows)
                expected[std::size_t(r)] = text;
            EXPECT_EQ(tw.grid(), expected) << int(row.key) << (libraryView ? " library view" : " system view");
            EXPECT_TRUE(ws.EditModified());
        }
    }
}

TEST(Blocks, MovesRightStopAtTheLastColumnAndComeBackFromTheSnapshot)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    const Art start = fromRow(3, {"............#..#", "............####"});
    showInLibrary(tw, start);
    dragSelect(ws, 12, 3, 15, 4);

    ws.pmuRightClick();
    EXPECT_EQ(tw.grid(), padded(16, fromRow(3, {".............#..", ".............###"})));
    ws.pmuRightClick();
    ws.pmuRightClick();
    const Art atTheEdge = fromRow(3, {"...............#", "...............#"});
    EXPECT_EQ(tw.grid(), padded(16, atTheEdge));
    EXPECT_EQ(ws.editorGrid().selCol(), 15);
    ws.pmuRightClick(); // the left column is the last one: refused
    EXPECT_EQ(tw.grid(), padded(16, atTheEdge));
    EXPECT_EQ(ws.editorGrid().selCol(), 15);
    EXPECT_TRUE(ws.editorGrid().inSelection(15, 4));
    EXPECT_TRUE(ws.editorGrid().inSelection(18, 4));

    ws.pmuLeftClick();
    EXPECT_EQ(tw.grid(), padded(16, fromRow(3, {"..............#.", "..............##"})));
    ws.pmuLeftClick();
    ws.pmuLeftClick();
    EXPECT_EQ(tw.grid(), padded(16, start));
    EXPECT_EQ(ws.editorGrid().selCol(), 12);
}

TEST(Blocks, BlocksPushedPastTheLeftAndBottomEdgesComeBack)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    showInLibrary(tw, {"#.#", ".##"});
    dragSelect(ws, 0, 0, 2, 1);
    ws.pmuLeftClick();
    EXPECT_EQ(tw.grid(), padded(16, {".#.", "##."}));
    ws.pmuLeftClick();
    EXPECT_EQ(tw.grid(), padded(16, {"#..", "#.."}));
    EXPECT_EQ(ws.editorGrid().selCol(), -2);
    ws.pmuLeftClick(); // the right column is column 0: refused
    EXPECT_EQ(ws.editorGrid().selCol(), -2);
    ws.pmuRightClick();
    ws.pmuRightClick();
    EXPECT_EQ(tw.grid(), padded(16, {"#.#", ".##"}));

    const Art bottom = fromRow(13, {"#.", ".#", "##"});
    tw.setGrid(bottom);
    dragSelect(ws, 0, 13, 1, 15);
    ws.pmuDownClick();
    EXPECT_EQ(tw.grid(), padded(16, fromRow(14, {"#.", ".#"})));
    ws.pmuDownClick();
    ws.pmuDownClick(); // the top row is the last one: refused
    EXPECT_EQ(tw.grid(), padded(16, fromRow(15, {"#."})));
    EXPECT_EQ(ws.editorGrid().selRow(), 15);
    ws.pmuUpClick();
    ws.pmuUpClick();
    EXPECT_EQ(tw.grid(), padded(16, bottom));
}

TEST(Blocks, ARefusedMoveLeavesTheGlyphUnedited)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    showInLibrary(tw, {"#..............#", "#..............#"});
    struct Refusal {
        int c0, r0, c1, r1;
        void (Workspace::*move)();
    };
    const Refusal refusals[] = {
        {15, 0, 15, 1, &Workspace::pmuRightClick},
        {0, 0, 0, 1, &Workspace::pmuLeftClick},
        {3, 15, 4, 15, &Workspace::pmuDownClick},
        {3, 0, 4, 0, &Workspace::pmuUpClick},
    };
    for (const auto &r : refusals) {
        dragSelect(ws, r.c0, r.r0, r.c1, r.r1);
        (ws.*r.move)();
        EXPECT_EQ(ws.editorGrid().selCol(), r.c0);
        EXPECT_EQ(ws.editorGrid().selRow(), r.r0);
    }
    EXPECT_FALSE(ws.EditModified());
    EXPECT_FALSE(ws.controls().mnuSave.enabled);
    EXPECT_EQ(tw.grid(), padded(16, {"#..............#", "#..............#"}));
}

// The grid alone, without a workspace: its edges are those of the dot size it
// was told.
TEST(Blocks, TheGridAloneStopsAtTheEdgeOfTheDotSizeItWasTold)
{
    struct Row {
        int n, col;
        bool moves;
    };
    for (const Row &row : {Row{16, 14, true}, Row{16, 15, false}, Row{24, 15, true}, Row{24, 23, false}}) {
        EditorGrid grid;
        grid.setDotSize(row.n);
        grid.layOut();
        grid.press(row.col, 0);
        grid.stretchTo(row.col, 1);
        grid.release(row.col, 1);
        EXPECT_EQ(grid.moveBlock(1, 0), row.moves) << row.n << " dots, column " << row.col;
        EXPECT_EQ(grid.selCol(), row.moves ? row.col + 1 : row.col);
    }
}

TEST(Blocks, AMovedBlockReplacesDotsAndLeavesBlanksBehind)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    showInLibrary(tw, fromRow(2, {"..##.#..........", "..#..##........."}));
    dragSelect(ws, 2, 2, 3, 3);
    for (int i = 0; i < 3; ++i)
        ws.pmuRightClick();
    EXPECT_EQ(tw.grid(), padded(16, fromRow(2, {".....##.........", ".....#.........."})));
    ws.pmuRightClick();
    EXPECT_EQ(tw.grid(), padded(16, fromRow(2, {"......##........", "......#........."})));
}

// A rubber band drawn with the Shift key has no snapshot yet; a move takes it
// from the grid instead of drawing an older selection.
TEST(Blocks, AMoveAfterAShiftDragDrawsTheSelectedCells)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    showInLibrary(tw,
        {
            "................",
            ".##.............",
            ".#..............",
            "................",
            "..........##....",
            "..........##....",
        });
    dragSelect(ws, 10, 4, 11, 5); // an older snapshot, all ink
    ws.mnuDelClick();
    click(ws, 1, 1);
    ws.SG2KeyDown(Key::Shift, {false, true, false});
    ws.SG2MouseMove(2, 2);
    ws.pmuRightClick();
    EXPECT_EQ(tw.grid(), padded(16, {"................", "..##............", "..#............."}));
}

TEST(Blocks, SystemViewMenuOffersCopyOnlyWhileCtrlXStillCuts)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    tw.setGrid({"................", ".###............", ".#.#............"});
    click(ws, 1, 1);
    EXPECT_FALSE(menuOpensAt(ws, 1, 1));

    dragSelect(ws, 1, 1, 3, 2);
    EXPECT_TRUE(menuOpensAt(ws, 2, 2));
    EXPECT_EQ(menuState(ws), (MenuState{false, true, false, true, true, true, true, false}));
    EXPECT_EQ(ws.editorGrid().selCol(), 1); // a right press keeps the selection
    EXPECT_EQ(ws.editorGrid().selWidth(), 3);
    EXPECT_EQ(ws.editorGrid().selHeight(), 2);
    ws.SG2MouseDown(-1, -1, MouseButton::Left); // off the grid: ignored
    EXPECT_FALSE(menuOpensAt(ws, -1, -1));
    EXPECT_EQ(ws.editorGrid().selWidth(), 3);

    ws.SG2KeyDown(Key::X, kCtrl);
    EXPECT_EQ(tw.grid(), padded(16, {}));
    EXPECT_TRUE(ws.editorGrid().clipFull());
    EXPECT_EQ(artOf(ws.editorGrid().blockClip(), 3, 2), (Art{"###", "#.#"}));
}

TEST(Blocks, LibraryViewMenuFollowsTheBlockAndTheClipboard)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    showInLibrary(tw, kCopySource);
    click(ws, 2, 2);
    EXPECT_FALSE(menuOpensAt(ws, 2, 2));

    dragSelect(ws, 4, 4, 6, 5);
    EXPECT_TRUE(menuOpensAt(ws, 5, 5));
    EXPECT_EQ(menuState(ws), (MenuState{true, true, false, true, true, true, true, true}));
    ws.mnuCopyClick();

    click(ws, 8, 8);
    EXPECT_TRUE(menuOpensAt(ws, 8, 8));
    EXPECT_EQ(menuState(ws), (MenuState{false, false, true, false, false, false, false, false}));

    // The system view sets copy, cut, paste and delete only; the moves keep
    // what the last opening in the library view gave them.
    ws.selectRG1(0);
    dragSelect(ws, 1, 1, 2, 2);
    EXPECT_TRUE(menuOpensAt(ws, 1, 1));
    EXPECT_EQ(menuState(ws), (MenuState{false, true, false, false, false, false, false, false}));
}

TEST(Blocks, TheClipboardSurvivesADotSizeChange)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    tw->mnu32Click();
    tw.setGrid({"....................#.#.#.#.#..#", ".....................#.#.#.#.##."});
    dragSelect(ws, 20, 0, 31, 1);
    ws.SG2KeyDown(Key::C, kCtrl);

    tw->mnu16Click();
    ASSERT_EQ(ws.dotSize(), 16);
    EXPECT_EQ(tw.grid(), padded(16, {}));
    click(ws, 8, 0);
    ws.SG2KeyDown(Key::V, kCtrl);
    EXPECT_EQ(tw.grid(), padded(16, {"........#.#.#.#.", ".........#.#.#.#"}));
}

TEST(Blocks, AShiftDragFromAnAnchorPastTheEdgeStaysWithinThirtyTwoCells)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    tw->mnu32Click();
    tw.setGrid({"##", "##"});
    dragSelect(ws, 0, 0, 1, 1);
    ws.pmuLeftClick();
    ws.pmuUpClick();
    ASSERT_EQ(ws.editorGrid().selCol(), -1);
    ASSERT_EQ(ws.editorGrid().selRow(), -1);
    ws.SG2KeyDown(Key::Shift, {});
    ws.SG2MouseMove(31, 31);
    EXPECT_EQ(ws.editorGrid().selWidth(), 32);
    EXPECT_EQ(ws.editorGrid().selHeight(), 32);
    ws.mnuCopyClick();
    EXPECT_EQ(ws.editorGrid().clipWidth(), 32);
    EXPECT_EQ(ws.editorGrid().clipHeight(), 32);
    EXPECT_EQ(artOf(ws.editorGrid().blockClip(), 3, 3), (Art{"...", ".#.", "..."}));
}

// A block selected, then the whole glyph changed under it: the next move
// slides what the grid now shows in the rectangle, and never brings back the
// cells as they were before the change.
TEST(Blocks, AMoveAfterAWholeGlyphChangeSlidesWhatTheGridShows)
{
    struct Case {
        const char *name;
        void (Workspace::*change)();
        Art after; // the change, then one move right of the block at (6, 1), 4 x 2
    };
    const Case cases[] = {
        {"mirror", &Workspace::HflipBtnClick,
            {"................", ".........##.....", "..........#.....", "................", "................",
                ".............###"}},
        {"shift", &Workspace::LeftBtnClick,
            {"................", ".....#.#........", ".....#..........", "................", "................",
                "##.............."}},
        {"clear", &Workspace::ClearBtnClick, {}},
        {"paste", &Workspace::mnuPasteClick,
            {"................", ".......###......", ".......#........", "................", "................",
                "###............."}},
    };
    for (const Case &c : cases) {
        TestWorkspace tw;
        Workspace &ws = tw.ws();
        showInLibrary(tw,
            {"................", "......##........", "......#.........", "................", "................",
                "###............."});
        dragSelect(ws, 0, 5, 3, 5);
        ws.mnuCopyClick(); // "###." for the paste
        dragSelect(ws, 6, 1, 9, 2);
        (ws.*c.change)();
        ws.pmuRightClick();
        EXPECT_EQ(tw.grid(), padded(16, c.after)) << c.name;
        EXPECT_EQ(ws.editorGrid().selCol(), 7) << c.name;
    }
}
