// The library store and its list: adding, deleting, selecting and painting
// glyphs, checked against the bytes of "JQT.TMP" on disk.

#include "core/io_error.h"
#include "tests/support/test_workspace.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace dotforge;
using namespace dotforge::test;

namespace {

// Code of the i-th character from area 16 on: 啊 = B0 A1, 阿 = B0 A2 ...
std::string code(int i)
{
    return {char(0xB0 + i / 94), char(0xA1 + i % 94)};
}

// A 128-byte record with the given bytes set and all others zero.
std::string record(std::initializer_list<std::pair<int, int>> set)
{
    std::string r(128, '\0');
    for (auto [offset, value] : set)
        r[std::size_t(offset)] = char(value);
    return r;
}

// Glyph i of the fill below: one dot in row 0, column i.
std::vector<std::string> dotArt(int col)
{
    return {std::string(std::size_t(col), '.') + "#"};
}
// Its record: byte 0 with that column's bit, written out by hand.
const int kDotByte[] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};

struct CellLog : WorkspaceListener {
    std::vector<int> cells;
    void libraryCellChanged(int index) override { cells.push_back(index); }
};

class LibraryTest : public ::testing::Test {
protected:
    void add(int i, const std::vector<std::string> &art)
    {
        typeCharacter(tw.ws(), code(i));
        tw.setGrid(art);
        tw->AddBtnClick();
    }
    // Glyphs 0 .. n-1, glyph i with a dot in column i % 8.
    void fill(int n)
    {
        for (int i = 0; i < n; ++i)
            add(i, dotArt(i % 8));
    }
    std::string store() const { return readFile(tw.dir().file("JQT.TMP")); }
    // Saves the library as LIB.ZMB: Save goes off.
    void save()
    {
        tw.prompts().fileChoice(FileChoice{tw.dir().file("LIB.ZMB"), 1});
        tw->mnuSaveAsClick();
        tw.prompts().clear();
    }
    std::uintmax_t storeSize() const { return std::filesystem::file_size(tw.dir().file("JQT.TMP")); }

    TestWorkspace tw;
};

TEST_F(LibraryTest, TwoHundredGlyphsFillTheStoreAndTheNextIsRefused)
{
    fill(200);
    EXPECT_EQ(storeSize(), 25600u);
    EXPECT_EQ(tw->library().LibCount(), 200);
    EXPECT_EQ(tw->library().code(199), "\xB2\xAC");
    EXPECT_EQ(tw->controls().XNLabel, "共 200字 第 200字");
    EXPECT_TRUE(tw.prompts().texts("warning").empty());

    typeCharacter(tw.ws(), code(200)); // renders it: Add is on
    tw->AddBtnClick();
    EXPECT_EQ(tw.prompts().texts("warning"), std::vector<std::string>{"小字库已满!"});
    EXPECT_EQ(tw->library().LibCount(), 200);
    EXPECT_EQ(storeSize(), 25600u);
    EXPECT_TRUE(tw->controls().AddBtn.enabled);
    EXPECT_EQ(tw->CurCode(), code(200));
}

TEST_F(LibraryTest, ACodeAlreadyInTheLibraryIsRefusedWhateverItsBitmap)
{
    fill(3);
    add(1, {"################"});
    EXPECT_EQ(tw.prompts().texts("warning"), std::vector<std::string>{"小字库中已有该区位码的字!"});
    EXPECT_EQ(tw->library().LibCount(), 3);
    EXPECT_EQ(storeSize(), 384u);
    EXPECT_EQ(store().substr(128, 128), record({{0, 0x40}}));
}

TEST_F(LibraryTest, AddStoresTheGridAsEditedNotTheSourceGlyph)
{
    // Outside the 16 x 16 square the edit plane is stored as it is: ink there
    // from a 32-dot render stays through the renders at 16 dots.
    tw.blank().art.assign(21, std::string());
    tw.blank().art[20] = std::string(24, '.') + ".#.##.#."; // byte 3 of row 20: 0x5A
    tw->mnu32Click();
    tw->mnu16Click();
    tw.blank().art.clear();
    CellLog log;
    tw->setListener(&log);
    tw.renderArt({"################", "################"});
    ASSERT_EQ(tw->editPlane().at(20, 3), 0x5A);
    // An "L" turned a quarter left in the editor: its foot now points up.
    tw.setGrid({"#..............#", // 0x80 0x01
        ".#", // 0x40 0x00
        "########"}); // 0xFF 0x00
    tw->AddBtnClick();

    EXPECT_EQ(store(), record({{0, 0x80}, {1, 0x01}, {4, 0x40}, {8, 0xFF}, {83, 0x5A}}));
    EXPECT_EQ(tw->libPlane(), tw->editPlane());
    EXPECT_EQ(tw->library().code(0), "\xB0\xA1");
    EXPECT_EQ(tw->library().LibIndex(), 0);
    EXPECT_EQ(tw->controls().XNLabel, "共 1字 第 1字");
    EXPECT_EQ(log.cells, std::vector<int>{0});
    EXPECT_TRUE(tw->controls().RG1.enabled);
    EXPECT_TRUE(tw->controls().DelBtn.enabled);
    EXPECT_TRUE(tw->controls().mnuSave.enabled);
    EXPECT_TRUE(tw->controls().mnuSaveAs.enabled);
    EXPECT_FALSE(tw->EditModified());
    EXPECT_FALSE(tw->controls().AddBtn.enabled);
}

// An add the store refuses changes nothing: no count, code, plane or Save.
TEST_F(LibraryTest, AFailingStoreWriteLeavesCountAndCodesUnchanged)
{
    fill(2);
    save();
    tw.library().closeStore();
    typeCharacter(tw.ws(), code(2)); // a character rendered: Add is on
    tw->LeftBtnClick(); // an edit of the grid
    tw.setGrid({"################"});
    const GlyphPlane edit = tw->editPlane();
    const GlyphPlane lib = tw->libPlane();
    ASSERT_TRUE(tw->EditModified());
    EXPECT_FALSE(tw->run([&] { tw->AddBtnClick(); }));
    EXPECT_EQ(tw.prompts().texts("ioerror"), std::vector<std::string>{"I/O error 103."});
    EXPECT_EQ(tw->library().LibCount(), 2);
    EXPECT_EQ(tw->library().code(2), "");
    EXPECT_EQ(tw->controls().XNLabel, "共 2字 第 2字");
    EXPECT_EQ(tw->library().LibIndex(), 1);
    EXPECT_EQ(tw->editPlane(), edit);
    EXPECT_EQ(tw->libPlane(), lib);
    EXPECT_TRUE(tw->EditModified());
    // Save and Save As as the save left them.
    EXPECT_FALSE(tw->controls().mnuSave.enabled);
    EXPECT_TRUE(tw->controls().mnuSaveAs.enabled);
    // The character can still be added.
    EXPECT_TRUE(tw->controls().AddBtn.enabled);
}

struct DeleteCase {
    const char *name;
    int count;
    int selected;
    std::vector<int> remaining; // glyphs left, in order
    int selectedAfter;
    const char *label;
};

class DeleteTest : public LibraryTest, public ::testing::WithParamInterface<DeleteCase> { };

TEST_P(DeleteTest, ClosesTheGapAndKeepsRecordsAndCodesTogether)
{
    const DeleteCase &c = GetParam();
    fill(c.count);
    tw.library().select(c.selected);
    CellLog log;
    tw->setListener(&log);
    tw.prompts().answer(Answer::Yes);
    tw->DelBtnClick();

    EXPECT_EQ(tw.prompts().texts("confirmation"), std::vector<std::string>{"小字库汉字删除后无法恢复!要继续吗?"});
    EXPECT_EQ(tw.prompts().lastButtons(), Buttons::YesNo);
    std::string expected;
    for (std::size_t k = 0; k < c.remaining.size(); ++k) {
        expected += record({{0, kDotByte[c.remaining[k]]}});
        EXPECT_EQ(tw->library().code(k), code(c.remaining[k])) << k;
    }
    EXPECT_EQ(store(), expected);
    EXPECT_EQ(tw->library().LibCount(), int(c.remaining.size()));
    EXPECT_EQ(tw->library().LibIndex(), c.selectedAfter);
    EXPECT_EQ(tw->controls().XNLabel, c.label);
    ASSERT_FALSE(log.cells.empty());
    EXPECT_EQ(log.cells.back(), c.count - 1); // the former last glyph's cell
}

// The same rows on a library of its own, with no workspace: the records and
// codes move together and the frame follows the selection.
TEST_P(DeleteTest, TheLibraryAloneDeletesTheSameWay)
{
    const DeleteCase &c = GetParam();
    TempDir dir;
    Library library;
    library.createStore(dir.file("JQT.TMP"), "");
    library.clear(16);
    for (int i = 0; i < c.count; ++i) {
        library.writeNext(planeFromArt(dotArt(i % 8)));
        library.admit(code(i));
    }
    library.select(c.selected);
    library.markSelected();
    const Library::Removal removal = library.removeSelected();

    EXPECT_EQ(removal.lastCell, c.count - 1);
    EXPECT_EQ(library.codes().size(), c.remaining.size());
    for (std::size_t k = 0; k < c.remaining.size(); ++k) {
        EXPECT_EQ(library.readGlyph(int(k)), planeFromArt(dotArt(c.remaining[k]))) << k;
        EXPECT_EQ(library.code(int(k)), code(c.remaining[k])) << k;
    }
    EXPECT_EQ(std::filesystem::file_size(dir.file("JQT.TMP")), c.remaining.size() * 128);
    EXPECT_EQ(library.LibIndex(), c.selectedAfter);
    EXPECT_EQ(library.labelText(), c.label);
    const int framed = c.selectedAfter < int(c.remaining.size()) ? c.selectedAfter : -1;
    EXPECT_EQ(library.markSelected().current, framed);
    EXPECT_EQ(library.DG1Marked(), framed);
    library.closeStore();
}

INSTANTIATE_TEST_SUITE_P(Cases, DeleteTest,
    ::testing::Values(DeleteCase{"FirstOfThree", 3, 0, {1, 2}, 0, "共 2字 第 1字"},
        DeleteCase{"MiddleOfFour", 4, 1, {0, 2, 3}, 1, "共 3字 第 2字"},
        DeleteCase{"LastOfFive", 5, 4, {0, 1, 2, 3}, 3, "共 4字 第 4字"},
        // After a press on the empty cell 8: the last glyph goes.
        DeleteCase{"BeyondTheEnd", 5, 8, {0, 1, 2, 3}, 7, "共 4字 第 8字"},
        // After a press beside the cells (-1, -1): the last glyph
        // goes and the new last one is selected.
        DeleteCase{"Negative", 5, -11, {0, 1, 2, 3}, 3, "共 4字 第 4字"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(LibraryTest, DeletingTheOnlyGlyphEmptiesTheLibrary)
{
    fill(1);
    save();
    tw.prompts().answer(Answer::Yes);
    tw->DelBtnClick();
    EXPECT_EQ(tw->library().LibCount(), 0);
    EXPECT_EQ(tw->controls().XNLabel, "共 0字 第 1字");
    EXPECT_EQ(storeSize(), 0u);
    EXPECT_FALSE(tw->controls().RG1.enabled);
    EXPECT_FALSE(tw->controls().DelBtn.enabled);
    EXPECT_TRUE(tw->controls().mnuSave.enabled);

    tw->DelBtnClick(); // empty: no question (an unscripted one fails the test)
    EXPECT_EQ(tw->library().LibCount(), 0);
}

TEST_F(LibraryTest, DeleteAnsweredNoChangesNothing)
{
    fill(2);
    save();
    const std::string before = store();
    tw.prompts().answer(Answer::No);
    tw->DelBtnClick();
    EXPECT_EQ(store(), before);
    EXPECT_EQ(tw->library().LibCount(), 2);
    EXPECT_EQ(tw->controls().XNLabel, "共 2字 第 2字");
    EXPECT_FALSE(tw->controls().mnuSave.enabled);
}

TEST_F(LibraryTest, At24DotsTheListHasSevenColumnsAndThreeSpareCells)
{
    tw->mnu24Click();
    ASSERT_EQ(tw->library().DG1ColCount(), 7);
    ASSERT_EQ(tw->library().DG1RowCount(), 29);
    for (int i = 0; i < 200; ++i)
        add(i, i == 7 ? std::vector<std::string>{".......................#"} : std::vector<std::string>{});

    tw->DG1MouseDown(0, 1);
    EXPECT_EQ(tw->library().LibIndex(), 7);
    EXPECT_EQ(tw->libPlane().at(0, 2), 0x01);
    EXPECT_EQ(tw->controls().XNLabel, "共 200字 第 8字");

    GlyphPlane glyph;
    for (int index : {200, 201, 202})
        EXPECT_FALSE(tw->DG1DrawCell(index, glyph)) << index;
    tw->DG1MouseDown(4, 28); // cell 200
    EXPECT_EQ(tw.prompts().beeps(), 1);
    EXPECT_EQ(tw->library().LibIndex(), 7);
    EXPECT_EQ(tw->controls().XNLabel, "共 200字 第 8字");
}

TEST_F(LibraryTest, SelectingAGlyphShowsItAndPaintingLeavesTheSelectionAlone)
{
    tw->ReadXDot(); // the panel goes off over the empty library
    fill(12);
    tw.prompts().clear();
    tw->DG1MouseDown(4, 0);
    EXPECT_EQ(tw->library().LibIndex(), 4);
    EXPECT_EQ(tw->controls().XNLabel, "共 12字 第 5字");
    EXPECT_EQ(tw->controls().RG1Index, 1);
    EXPECT_EQ(tw->ViewMode(), 1);
    EXPECT_TRUE(tw->controls().Panel1.enabled);
    EXPECT_EQ(tw.grid()[0], "....#...........");
    EXPECT_FALSE(tw->EditModified());

    GlyphPlane glyph;
    ASSERT_TRUE(tw->DG1DrawCell(7, glyph));
    EXPECT_EQ(glyph.at(0, 0), 0x01);
    EXPECT_EQ(tw->library().LibIndex(), 4);
    EXPECT_EQ(tw->libPlane().at(0, 0), 0x08);

    tw->DG1MouseDown(2, 1); // cell 12, just after the last glyph
    EXPECT_EQ(tw.prompts().beeps(), 1);
    EXPECT_EQ(tw->library().LibIndex(), 4);
    EXPECT_EQ(tw->controls().XNLabel, "共 12字 第 5字");
}

// A press that hits no glyph (an empty cell, or beside the cells) beeps and
// leaves the selection, the view and the editor as they were: Enter then
// commits over the glyph still selected, and with an empty library it finds
// nothing to commit into.
TEST_F(LibraryTest, APressOnNoGlyphKeepsTheSelection)
{
    tw->DG1MouseDown(0, 0); // empty library
    EXPECT_EQ(tw->controls().RG1Index, 0);
    tw->SG2KeyDown(Key::Enter, {});
    EXPECT_EQ(tw.prompts().beeps(), 2);
    EXPECT_EQ(storeSize(), 0u);

    fill(3);
    tw->DG1MouseDown(1, 0);
    tw->SG2MouseDown(5, 5, MouseButton::Left);
    tw->SG2DblClick();
    for (auto [col, row] : {std::pair{3, 0}, {9, 19}, {-1, -1}}) {
        tw->DG1MouseDown(col, row);
        EXPECT_EQ(tw->library().LibIndex(), 1) << col << ", " << row;
        EXPECT_EQ(tw->controls().RG1Index, 1);
        EXPECT_TRUE(tw->EditModified());
    }
    EXPECT_EQ(tw.prompts().beeps(), 5);
    EXPECT_EQ(tw->controls().XNLabel, "共 3字 第 2字");

    EXPECT_TRUE(tw->run([&] { tw->SG2KeyDown(Key::Enter, {}); }));
    EXPECT_TRUE(tw.prompts().texts("ioerror").empty());
    EXPECT_EQ(store().substr(128, 128), record({{0, 0x40}, {20, 0x04}}));
    EXPECT_EQ(storeSize(), 384u);
}

// A delete in the library view: the editor shows the glyph that moved into the
// deleted one's place, with nothing pending, so that leaving the view asks
// nothing and writes nothing over it.
TEST_F(LibraryTest, DeleteInTheLibraryViewShowsTheGlyphNowSelected)
{
    fill(3);
    tw->DG1MouseDown(0, 0);
    tw->SG2MouseDown(5, 5, MouseButton::Left);
    tw->SG2DblClick();
    tw.prompts().answer(Answer::Yes);
    tw->DelBtnClick();

    EXPECT_EQ(tw->controls().RG1Index, 1);
    EXPECT_EQ(tw.grid()[0], ".#..............");
    EXPECT_EQ(tw.grid()[5], "................");
    EXPECT_FALSE(tw->EditModified());
    EXPECT_TRUE(tw->controls().mnuSave.enabled);
    tw->selectRG1(0); // no question: an unscripted one fails the test
    tw->selectRG1(1);
    EXPECT_EQ(tw.grid()[0], ".#..............");
    tw->SG2KeyDown(Key::Enter, {});
    EXPECT_EQ(store(), record({{0, 0x40}}) + record({{0, 0x20}}));
}

// Deleting the last glyph there leaves an empty editor in the system view, with
// commit and clear off: Enter then writes no record into the empty store.
TEST_F(LibraryTest, DeletingTheOnlyGlyphInTheLibraryViewLeavesAnEmptySystemView)
{
    fill(1);
    tw->DG1MouseDown(0, 0);
    tw->SG2MouseDown(5, 5, MouseButton::Left);
    tw->SG2DblClick();
    tw.prompts().answer(Answer::Yes);
    tw->DelBtnClick();

    EXPECT_EQ(tw->library().LibCount(), 0);
    EXPECT_EQ(tw->controls().RG1Index, 0);
    EXPECT_EQ(tw->ViewMode(), 0);
    EXPECT_FALSE(tw->controls().ClearBtn.enabled);
    EXPECT_FALSE(tw->controls().ChgBtn.enabled);
    EXPECT_FALSE(tw->controls().AddBtn.enabled);
    EXPECT_FALSE(tw->EditModified());
    EXPECT_EQ(tw.grid(), std::vector<std::string>(16, std::string(16, '.')));
    EXPECT_EQ(tw.prompts().texts("confirmation").size(), 1u);
    tw->SG2KeyDown(Key::Enter, {});
    EXPECT_EQ(tw.prompts().beeps(), 1);
    EXPECT_EQ(storeSize(), 0u);
}

// A delete in the system view keeps the character prepared there, and the
// library view entered afterwards shows the glyph now selected, not the last
// record the delete moved.
TEST_F(LibraryTest, DeleteInTheSystemViewKeepsTheEditorAndFollowsTheSelection)
{
    fill(3);
    tw.library().select(0);
    tw.setGrid({"...#"});
    tw.prompts().answer(Answer::Yes);
    tw->DelBtnClick();
    EXPECT_EQ(tw->controls().RG1Index, 0);
    EXPECT_EQ(tw.grid()[0], "...#............");

    tw->selectRG1(1);
    EXPECT_EQ(tw.grid()[0], ".#..............");
    tw->SG2KeyDown(Key::Enter, {});
    EXPECT_EQ(store(), record({{0, 0x40}}) + record({{0, 0x20}}));
}

// Add stores the grid under the code last rendered: it is offered while the
// grid shows that render, not once a library glyph took its place, and not
// back in the system view until a character is rendered again.
TEST_F(LibraryTest, AddIsOfferedOnlyForTheGlyphLastRendered)
{
    fill(2);
    tw->SG1MouseDown(5, 0); // B0 A6
    EXPECT_TRUE(tw->controls().AddBtn.enabled);
    tw->DG1MouseDown(1, 0);
    EXPECT_EQ(tw->controls().RG1Index, 1);
    EXPECT_FALSE(tw->controls().AddBtn.enabled);
    tw->selectRG1(0);
    EXPECT_FALSE(tw->controls().AddBtn.enabled);

    tw->SG1MouseDown(5, 0);
    EXPECT_TRUE(tw->controls().AddBtn.enabled);
    tw.setGrid({"...#"});
    tw->AddBtnClick();
    EXPECT_EQ(tw->library().code(2), "\xB0\xA6");
    EXPECT_EQ(store().substr(256), record({{0, 0x10}}));
}

TEST_F(LibraryTest, PaintingAfterAFailedReadStillRestoresTheSelection)
{
    fill(2);
    tw->DG1MouseDown(0, 0);
    std::filesystem::resize_file(tw.dir().file("JQT.TMP"), 128);
    GlyphPlane glyph;
    EXPECT_THROW(tw->DG1DrawCell(1, glyph), IoError);
    EXPECT_EQ(tw->library().LibIndex(), 0);
    EXPECT_EQ(tw->libPlane().at(0, 0), 0x80);
}

TEST_F(LibraryTest, ReadingFromAnEmptyLibrarySaysSo)
{
    tw->ReadXDot();
    EXPECT_EQ(tw.prompts().texts("message"), std::vector<std::string>{"小字库已空!"});
    EXPECT_FALSE(tw->controls().Panel1.enabled);
    EXPECT_EQ(tw->controls().RG1Index, 0);
    EXPECT_EQ(tw->ViewMode(), 0);
}

} // namespace
