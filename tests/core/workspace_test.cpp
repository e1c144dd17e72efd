// Start-up, close, the store file, file errors, and the grid <-> plane packing.

#include "core/io_error.h"
#include "core/program_folders.h"
#include "tests/support/test_workspace.h"
#include "workspace/workspace.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace dotforge;
using namespace dotforge::test;
namespace fs = std::filesystem;

TEST(StartUp, InitialState)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    EXPECT_EQ(ws.dotSize(), 16);
    EXPECT_EQ(ws.library().LibCount(), 0);
    EXPECT_EQ(ws.library().LibIndex(), 0);
    EXPECT_EQ(ws.ViewMode(), 0);
    EXPECT_FALSE(ws.EditModified());
    EXPECT_FALSE(ws.TypedEntry());
    EXPECT_EQ(ws.documents().fileName(), "");
    EXPECT_EQ(ws.codeTable().FontName(), "宋体");
    EXPECT_EQ(ws.codeTable().FontSize(), 12);
    EXPECT_EQ(ws.controls().caption, "Dotforge");
    EXPECT_EQ(ws.controls().XNLabel, "共 0字 第 0字");
    EXPECT_EQ(ws.editorGrid().cellSize(), 17);
    EXPECT_EQ(ws.library().DG1ColCount(), 10);
    EXPECT_EQ(ws.library().DG1RowCount(), 20);
    EXPECT_EQ(ws.library().DG1CellSize(), 20);
    EXPECT_EQ(ws.codeTable().sectionSizes(), (std::array<int, 4>{8363, 8368, 7802, 8742}));
    EXPECT_EQ(ws.codeTable().firstAreas(), (std::array<int, 4>{16, 16, 4, 16}));
    EXPECT_EQ(ws.editorGrid().selWidth(), 1);
    EXPECT_EQ(ws.editorGrid().selHeight(), 1);
    EXPECT_EQ(ws.editorGrid().clipWidth(), 0);
    EXPECT_EQ(ws.editorGrid().clipHeight(), 0);
    EXPECT_FALSE(ws.editorGrid().clipFull());
    EXPECT_FALSE(ws.editorGrid().dragging());

    // Enabled and ticked states of the controls after start-up.
    struct Expect {
        const char *name;
        Toggle state;
        bool enabled;
    };
    const Expect enabled[] = {
        {"AddBtn", ws.controls().AddBtn, true},
        {"DelBtn", ws.controls().DelBtn, false},
        {"ClearBtn", ws.controls().ClearBtn, false},
        {"ChgBtn", ws.controls().ChgBtn, false},
        {"mnuSave", ws.controls().mnuSave, false},
        {"mnuSaveAs", ws.controls().mnuSaveAs, false},
        {"UJF", ws.controls().UJF, false},
        {"RG1", ws.controls().RG1, false},
        {"RU", ws.controls().RU, true},
        {"FontBtn", ws.controls().FontBtn, true},
        {"ChEdit", ws.controls().ChEdit, true},
        {"Panel1", ws.controls().Panel1, true},
        {"Button1", ws.controls().Button1, true},
    };
    for (const auto &e : enabled)
        EXPECT_EQ(e.state.enabled, e.enabled) << e.name;
    EXPECT_TRUE(ws.controls().RW.checked);
    EXPECT_FALSE(ws.controls().RU.checked);
    EXPECT_TRUE(ws.controls().mnu16.checked);
    EXPECT_FALSE(ws.controls().mnu24.checked);
    EXPECT_FALSE(ws.controls().mnu32.checked);
    EXPECT_EQ(ws.controls().mode, Mode::A);
    EXPECT_EQ(ws.controls().rotation, Rotation::R0);
    EXPECT_EQ(ws.controls().flip, Flip::None);
    EXPECT_EQ(ws.controls().swap, Swap::None);
    EXPECT_FALSE(ws.controls().mnuView);
    EXPECT_EQ(ws.controls().RG1Index, 0);
    EXPECT_EQ(ws.controls().UJFIndex, 0);
    EXPECT_EQ(ws.controls().SE1.value, 16);
    EXPECT_EQ(ws.controls().SE1.min, 1);
    EXPECT_EQ(ws.controls().SE1.max, 94);
    EXPECT_TRUE(tw.prompts().log().empty());
}

TEST(StartUp, StoreFileIsCreatedEmptyAndErasedAtClose)
{
    TempDir dir;
    writeFile(dir.file("JQT.TMP"), std::string(300, 'x')); // left over from an earlier run
    fs::create_symlink(font16sPath(), dir.path() / "Font16s");
    ScriptedPrompts prompts;
    BlankRasterizer raster;
    {
        Workspace ws(prompts, raster, dir.path().string());
        ws.FormCreate();
        ASSERT_TRUE(fs::exists(dir.file("JQT.TMP")));
        EXPECT_EQ(fs::file_size(dir.file("JQT.TMP")), 0u);
        EXPECT_TRUE(ws.library().storeOpen());
        EXPECT_TRUE(ws.codeTable().hasFontFile());
        ws.FormClose();
        EXPECT_FALSE(fs::exists(dir.file("JQT.TMP")));
        EXPECT_FALSE(ws.codeTable().hasFontFile());
    }
    EXPECT_TRUE(prompts.log().empty());
}

TEST(StartUp, WithoutFont16sShowsFileNotFoundAndStillWorks)
{
    TestWorkspace tw({.withFont16s = false});
    // The message names the file and the folder it was looked for in.
    EXPECT_EQ(tw.prompts().texts("ioerror"),
        std::vector<std::string>{"File not found: \"" + tw.dir().file("Font16s") + "\""});
    Workspace &ws = tw.ws();
    EXPECT_FALSE(ws.codeTable().hasFontFile());
    // The window is laid out for 16 dots and the TrueType source works; the
    // dot-matrix source cannot be chosen.
    EXPECT_EQ(ws.dotSize(), 16);
    EXPECT_EQ(ws.editorGrid().cellSize(), 17);
    EXPECT_FALSE(ws.controls().RU.enabled);
    EXPECT_TRUE(ws.controls().RW.checked);
    EXPECT_TRUE(fs::exists(tw.dir().file("JQT.TMP")));
    // Closing does not fail on the font file that never opened.
    ws.FormClose();
    EXPECT_FALSE(fs::exists(tw.dir().file("JQT.TMP")));
}

// A working folder that is gone: both files are named where they were looked for.
TEST(StartUp, MessagesNameTheFilesOfAFolderThatIsGone)
{
    TempDir dir;
    const std::string gone = dir.file("gone");
    ScriptedPrompts prompts;
    BlankRasterizer raster;
    Workspace ws(prompts, raster, gone);
    ws.FormCreate();
    EXPECT_EQ(prompts.texts("ioerror"),
        (std::vector<std::string>{
            "File not found: \"" + gone + "/JQT.TMP\"", "File not found: \"" + gone + "/Font16s\""}));
    ws.FormClose();
}

TEST(StartUp, SecondProgramInTheSameFolderLeavesTheFirstStoreAlone)
{
    TempDir dir;
    fs::create_symlink(font16sPath(), dir.path() / "Font16s");
    ScriptedPrompts firstPrompts, secondPrompts;
    BlankRasterizer raster;
    Workspace first(firstPrompts, raster, dir.path().string());
    first.FormCreate();
    GlyphPlane glyph = planeFromArt({"#..............#"});
    LibraryAccess::of(first).writeGlyph(0, glyph);

    {
        Workspace second(secondPrompts, raster, dir.path().string());
        second.FormCreate();
        // The message names the folder and says what to do.
        const std::string inUse = "另一个 Dotforge 正在使用文件夹 " + dir.path().string()
            + " 中的小字库暂存文件 JQT.TMP，本窗口不能加入或保存字模。请先关闭那个 Dotforge 再选“新建”，"
              "或在另一个文件夹中启动本程序!";
        EXPECT_EQ(secondPrompts.texts("ioerror"), std::vector<std::string>{inUse});
        EXPECT_FALSE(second.library().storeOpen());
        // Its library commands cannot reach a store and say why, every time;
        // New tries again and fails the same way. A refused command changes
        // nothing: there is nothing to save and closing asks nothing.
        writeFile(dir.file("t.txt"), "\xB0\xA1\xB0\xA2");
        for (const auto &command :
            std::vector<std::function<void()>>{[&] { second.AddBtnClick(); }, [&] { second.AddBtnClick(); },
                [&] {
                    secondPrompts.fileChoice(FileChoice{dir.file("t.txt"), 1});
                    second.Button1Click();
                },
                [&] {
                    second.ChEditChange("\xB0\xA3");
                    second.ChEditKeyPress(13);
                    second.AddBtnClick();
                },
                [&] { second.mnuNewClick(); }}) {
            secondPrompts.clear();
            EXPECT_FALSE(second.run(command));
            EXPECT_EQ(secondPrompts.texts("ioerror"), std::vector<std::string>{inUse});
            EXPECT_FALSE(second.controls().mnuSave.enabled);
            EXPECT_FALSE(second.controls().mnuSaveAs.enabled);
            EXPECT_EQ(second.library().LibCount(), 0);
        }
        secondPrompts.clear();
        EXPECT_TRUE(second.FormCloseQuery());
        EXPECT_TRUE(secondPrompts.log().empty());
        second.FormClose();
    }

    ASSERT_TRUE(fs::exists(dir.file("JQT.TMP")));
    EXPECT_EQ(fs::file_size(dir.file("JQT.TMP")), 128u);
    EXPECT_EQ(LibraryAccess::of(first).readGlyph(0), glyph);
    first.FormClose();
    EXPECT_FALSE(fs::exists(dir.file("JQT.TMP")));
}

TEST(StartUp, NewEmptiesTheStoreAndKeepsItOpen)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    GlyphPlane glyph;
    tw.library().writeGlyph(0, glyph);
    tw.library().writeGlyph(1, glyph);
    ws.mnuNewClick();
    EXPECT_EQ(fs::file_size(tw.dir().file("JQT.TMP")), 0u);
    EXPECT_TRUE(ws.library().storeOpen());
}

TEST(ErrorTexts, RunTimeTextsAndTheFullStopRule)
{
    const std::pair<int, std::string> table[] = {
        {ioerr::FileNotFound, "File not found."},
        {ioerr::InvalidFilename, "Invalid filename."},
        {ioerr::TooManyOpenFiles, "Too many open files."},
        {ioerr::AccessDenied, "File access denied."},
        {ioerr::ReadBeyondEnd, "Read beyond end of file."},
        {ioerr::DiskFull, "Disk full."},
        {ioerr::InvalidNumericInput, "Invalid numeric input."},
        {ioerr::NotOpen, "I/O error 103."},
        {ioerr::SeekBeforeStart, "I/O error 131."},
        {32, "I/O error 32."},
    };
    for (const auto &[code, text] : table)
        EXPECT_EQ(errorBoxText(IoError(code).what()), text) << code;

    // A failure of the system: the run-time text where the table has the
    // condition, else the system's own, never the run-time text of the number
    // the errno value happens to have (EIO is 5, ENETUNREACH 101).
    const std::pair<int, std::string> system[] = {
        {ENOENT, "File not found."},
        {EACCES, "File access denied."},
        {ENOSPC, "Disk full."},
        {EIO, "Input/output error."},
        {EFBIG, "File too large."},
        {ENETUNREACH, "Network is unreachable."},
        {ELOOP, "Too many levels of symbolic links."},
        {EISDIR, "Is a directory."},
    };
    for (const auto &[err, text] : system)
        EXPECT_EQ(errorBoxText(IoError(IoError::fromErrno(err)).what()), text) << err;

    // No full stop after a full stop or a character that sorts before it.
    EXPECT_EQ(errorBoxText("Done."), "Done.");
    EXPECT_EQ(errorBoxText("Done,"), "Done,");
    EXPECT_EQ(errorBoxText("Done!"), "Done!");
    EXPECT_EQ(errorBoxText("Done/"), "Done/.");
    EXPECT_EQ(errorBoxText("'x' is not a valid integer value"), "'x' is not a valid integer value.");
    EXPECT_EQ(errorBoxText("文件打开错误"), "文件打开错误.");
    EXPECT_EQ(errorBoxText(""), "");
}

TEST(ErrorTexts, RunShowsTheErrorAndReportsFailure)
{
    TestWorkspace tw;
    EXPECT_FALSE(tw->run([] { throw IoError(ioerr::SeekBeforeStart); }));
    EXPECT_TRUE(tw->run([] {}));
    EXPECT_EQ(tw.prompts().texts("ioerror"), std::vector<std::string>{"I/O error 131."});
}

TEST(RecordFile, Failures)
{
    TempDir dir;
    RecordFile f(32);
    auto codeOf = [](auto &&op) {
        try {
            op();
        } catch (const IoError &e) {
            return e.code();
        }
        return 0;
    };
    std::array<char, 32> rec{};
    EXPECT_EQ(codeOf([&] { f.seek(0); }), ioerr::NotOpen);
    EXPECT_EQ(codeOf([&] { f.read(rec.data()); }), ioerr::NotOpen);
    EXPECT_EQ(codeOf([&] { f.reset(dir.file("missing"), true); }), ioerr::FileNotFound);
    EXPECT_EQ(codeOf([&] { f.reset(dir.path().string(), true); }), ioerr::AccessDenied);

    writeFile(dir.file("data"), std::string(32 * 2 + 5, '\x11'));
    f.reset(dir.file("data"), true);
    EXPECT_EQ(f.size(), 2);
    EXPECT_EQ(codeOf([&] { f.seek(-1); }), ioerr::SeekBeforeStart);
    f.seek(1);
    f.read(rec.data());
    EXPECT_EQ(rec[31], '\x11');
    // The third record is only partly there, the fourth not at all.
    EXPECT_EQ(codeOf([&] { f.read(rec.data()); }), ioerr::ReadBeyondEnd);
    EXPECT_EQ(codeOf([&] {
        f.seek(1'000'000'000'000'000LL);
        f.read(rec.data());
    }),
        ioerr::ReadBeyondEnd);
    // Opened read-only: writing fails instead of changing the file.
    f.seek(0);
    EXPECT_NE(codeOf([&] { f.write(rec.data()); }), 0);
    f.close();

    RecordFile full(128);
    full.rewrite("/dev/full");
    std::array<char, 128> big{};
    EXPECT_EQ(codeOf([&] { full.write(big.data()); }), ioerr::DiskFull);
}

// Packing the grid into a plane and showing a plane in the grid, at each size.
TEST(Packing, RowBytesAtEverySize)
{
    struct Case {
        int n;
        std::string row;
        std::array<std::uint8_t, 4> bytes;
    };
    const Case cases[] = {
        {16, "#..............#", {0x80, 0x01, 0xAA, 0xAA}},
        {16, "########........", {0xFF, 0x00, 0xAA, 0xAA}},
        {24, ".......................#", {0x00, 0x00, 0x01, 0xAA}},
        {24, "#.......#.......#.......", {0x80, 0x80, 0x80, 0xAA}},
        {32, "...............................#", {0x00, 0x00, 0x00, 0x01}},
        {32, ".#.#....####....#..#....##......", {0x50, 0xF0, 0x90, 0xC0}},
    };
    for (const auto &c : cases) {
        GlyphPlane plane;
        plane.bytes.fill(0xAA); // bytes outside the square must keep this
        CellTexts cells;
        for (int x = 0; x < c.n; ++x)
            cells.at(x, 0) = c.row[std::size_t(x)] == '#' ? kInk : kBlank;
        packCells(cells, c.n, plane);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(plane.at(0, k), c.bytes[std::size_t(k)]) << c.n << " " << c.row << " byte " << k;
        for (int r = 1; r < c.n; ++r)
            for (int k = 0; k < rowBytes(c.n); ++k)
                EXPECT_EQ(plane.at(r, k), 0) << r;
        for (int r = c.n; r < 32; ++r)
            EXPECT_EQ(plane.at(r, 0), 0xAA) << "row outside the square " << r;

        CellTexts shown;
        shown.fill("x"); // anything not written would show up
        showPlane(plane, c.n, shown);
        for (int x = 0; x < c.n; ++x)
            EXPECT_EQ(shown.at(x, 0), c.row[std::size_t(x)] == '#' ? kInk : kBlank) << c.n << " col " << x;
        EXPECT_EQ(shown.at(c.n, 0) == "x", c.n < 32) << "a column outside the square was written";
    }
}

TEST(Packing, AnyTextButTwoSpacesIsInk)
{
    CellTexts cells;
    cells.at(0, 0) = " ";
    cells.at(1, 0) = "";
    cells.at(2, 0) = "x";
    cells.at(3, 0) = kBlank;
    GlyphPlane plane;
    packCells(cells, 16, plane);
    EXPECT_EQ(plane.at(0, 0), 0xE0);
}

// The store "JQT.TMP" must be a file of this folder of its own: a link (to a
// file elsewhere, or to nothing), a second name of another file, a pipe or a
// folder in its place is refused with a message naming it and left as it was,
// and the other file keeps its content through start-up, New and close.
TEST(StartUp, StoreThatIsNoFileOfItsOwnIsRefusedAndLeftAlone)
{
    struct Case {
        const char *name;
        std::function<void(const TempDir &dir, const std::string &store)> make;
    };
    const Case cases[] = {
        {"link to a file elsewhere",
            [](const TempDir &d, const std::string &s) { fs::create_symlink(d.file("other"), s); }},
        {"link to nothing", [](const TempDir &d, const std::string &s) { fs::create_symlink(d.file("absent"), s); }},
        {"hard link", [](const TempDir &d, const std::string &s) { fs::create_hard_link(d.file("other"), s); }},
        {"pipe", [](const TempDir &, const std::string &s) { ASSERT_EQ(::mkfifo(s.c_str(), 0600), 0); }},
        {"folder", [](const TempDir &, const std::string &s) { fs::create_directory(s); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFile(dir.file("other"), "precious");
        const std::string store = dir.file("JQT.TMP");
        c.make(dir, store);
        const auto kind = fs::symlink_status(store).type();
        ScriptedPrompts prompts;
        BlankRasterizer raster;
        {
            Workspace ws(prompts, raster, dir.path().string());
            ws.FormCreate(); // no "Font16s": its message comes second
            const std::string refused
                = "\"" + store + "\"不是普通文件(可能是链接、文件夹、设备或管道),Dotforge不读写它.";
            EXPECT_EQ(prompts.texts("ioerror"),
                (std::vector<std::string>{refused, "File not found: \"" + dir.file("Font16s") + "\""}));
            EXPECT_FALSE(ws.library().storeOpen());
            EXPECT_FALSE(ws.run([&] { ws.mnuNewClick(); }));
            EXPECT_EQ(prompts.texts("ioerror").back(), refused);
            ws.FormClose();
        }
        EXPECT_EQ(fs::symlink_status(store).type(), kind);
        EXPECT_EQ(readFile(dir.file("other")), "precious");
        EXPECT_FALSE(fs::exists(dir.file("absent")));
    }
}

// The store is erased at close only while its name still belongs to it.
TEST(StartUp, CloseLeavesANameThatNoLongerBelongsToTheStore)
{
    TestWorkspace tw;
    const std::string store = tw.dir().file("JQT.TMP");
    writeFile(tw.dir().file("other"), "precious");
    fs::remove(store);
    fs::create_symlink(tw.dir().file("other"), store);
    tw->FormClose();
    EXPECT_TRUE(fs::is_symlink(store));
    EXPECT_EQ(readFile(tw.dir().file("other")), "precious");
}

// A pipe or a device in place of "Font16s" is refused at once instead of
// waiting for a writer (the test holds one, so that no version can hang here);
// the window then works without the dot-matrix source.
TEST(StartUp, Font16sThatIsNoFileIsRefused)
{
    for (const bool pipe : {true, false}) {
        SCOPED_TRACE(pipe ? "pipe" : "device");
        TestWorkspace tw({.withFont16s = false, .start = false});
        const std::string font = tw.dir().file("Font16s");
        int writer = -1;
        if (pipe) {
            ASSERT_EQ(::mkfifo(font.c_str(), 0600), 0);
            writer = ::open(font.c_str(), O_RDWR | O_CLOEXEC);
        } else {
            fs::create_symlink("/dev/zero", font);
        }
        tw->FormCreate();
        EXPECT_EQ(tw.prompts().texts("ioerror"),
            std::vector<std::string>{"\"" + font + "\"不是普通文件(可能是链接、文件夹、设备或管道),Dotforge不读写它."});
        EXPECT_FALSE(tw->codeTable().hasFontFile());
        EXPECT_FALSE(tw->controls().RU.enabled);
        EXPECT_TRUE(tw->library().storeOpen());
        if (writer >= 0)
            ::close(writer);
    }
}

// Start-up opens "Font16s" at the first of its places where there is
// something; found nowhere, the message names every place, in order.
TEST(StartUp, Font16sIsOpenedAtTheFirstPlaceThatHoldsIt)
{
    for (const int holder : {0, 2, -1}) {
        SCOPED_TRACE(holder);
        TempDir dir;
        std::vector<std::string> places;
        for (const char *folder : {"a", "b", "c"}) {
            fs::create_directory(dir.path() / folder);
            places.push_back(dir.file(folder) + "/Font16s");
        }
        if (holder >= 0)
            fs::create_symlink(font16sPath(), places[std::size_t(holder)]);
        ScriptedPrompts prompts;
        BlankRasterizer raster;
        Workspace ws(prompts, raster, dir.path().string(), places);
        ws.FormCreate();
        EXPECT_EQ(ws.codeTable().hasFontFile(), holder >= 0);
        EXPECT_EQ(prompts.texts("ioerror"),
            holder >= 0 ? std::vector<std::string>{}
                        : std::vector<std::string>{
                            "File not found: \"" + places[0] + "\", \"" + places[1] + "\", \"" + places[2] + "\""});
        EXPECT_TRUE(fs::exists(dir.file("JQT.TMP")));
        ws.FormClose();
    }
}

// Where "Font16s" is looked for: the folder the program started in, then
// dotforge/Font16s under $XDG_DATA_HOME (else ~/.local/share) and under each
// folder of $XDG_DATA_DIRS (else /usr/local/share:/usr/share), last in the
// data folder of the installation the program runs from. An empty variable or
// a folder that is not absolute counts as not set; each place is looked at
// once.
TEST(ProgramFolders, Font16sLookup)
{
    const std::string local = "/usr/local/share/dotforge/Font16s";
    const std::string usr = "/usr/share/dotforge/Font16s";
    const std::string home = "/home/li/.local/share/dotforge/Font16s";
    const std::string data = "/data/dotforge/Font16s";
    const std::string a = "/a/dotforge/Font16s";
    const std::string b = "/b/dotforge/Font16s";
    struct Row {
        const char *what;
        std::string start;
        FolderEnvironment env;
        std::set<std::string> present;
        std::vector<std::string> places;
        std::string found;
    };
    const FolderEnvironment li{.home = "/home/li"};
    const Row rows[] = {
        {"working folder", "/w", li, {"/w/Font16s", home, usr}, {"/w/Font16s", home, local, usr}, "/w/Font16s"},
        {"current folder: the bare name", ".", li, {"Font16s"}, {"Font16s", home, local, usr}, "Font16s"},
        {"XDG_DATA_HOME", "/w", {.home = "/home/li", .dataHome = "/data/"}, {data, usr},
            {"/w/Font16s", data, local, usr}, data},
        {"~/.local/share", "/w", li, {home, usr}, {"/w/Font16s", home, local, usr}, home},
        {"first of XDG_DATA_DIRS", "/w", {.home = "/home/li", .dataDirs = "/a:/b"}, {a, b}, {"/w/Font16s", home, a, b},
            a},
        {"second of XDG_DATA_DIRS", "/w", {.home = "/home/li", .dataDirs = "/a:/b"}, {b}, {"/w/Font16s", home, a, b},
            b},
        {"/usr/share by default", "/w", li, {usr}, {"/w/Font16s", home, local, usr}, usr},
        {"empty variables: the defaults", "/w", {.home = "/home/li", .dataHome = "", .dataDirs = ""}, {local},
            {"/w/Font16s", home, local, usr}, local},
        {"relative folders, empty entries, repeats", "/w",
            {.home = "/home/li", .dataHome = "rel", .dataDirs = ":rel:/a/::/home/li/.local/share:/a"}, {},
            {"/w/Font16s", home, a}, ""},
        {"no HOME, nothing found", "/w", {}, {}, {"/w/Font16s", local, usr}, ""},
        {"the installation's own, last", "/w", {.home = "/home/li", .installedData = "/opt/df/bin/../share/dotforge"},
            {"/opt/df/share/dotforge/Font16s", usr}, {"/w/Font16s", home, local, usr, "/opt/df/share/dotforge/Font16s"},
            usr},
        {"the installation's own, found there", "/w",
            {.home = "/home/li", .dataDirs = "/a", .installedData = "/opt/df/share/dotforge"},
            {"/opt/df/share/dotforge/Font16s"}, {"/w/Font16s", home, a, "/opt/df/share/dotforge/Font16s"},
            "/opt/df/share/dotforge/Font16s"},
        {"the installation's own, under XDG_DATA_DIRS too", "/w",
            {.home = "/home/li", .installedData = "/usr/bin/../share/dotforge"}, {}, {"/w/Font16s", home, local, usr},
            ""},
    };
    for (const Row &row : rows) {
        const Font16sSearch search
            = findFont16s(row.start, row.env, [&row](const std::string &path) { return row.present.count(path) > 0; });
        EXPECT_EQ(search.places, row.places) << row.what;
        EXPECT_EQ(search.found, row.found) << row.what;
    }

    const std::pair<FolderEnvironment, std::string> states[] = {
        {{.home = "/home/li", .stateHome = "/state/"}, "/state/dotforge"},
        {li, "/home/li/.local/state/dotforge"},
        {{.home = "/home/li", .stateHome = ""}, "/home/li/.local/state/dotforge"},
        {{.home = "/home/li", .stateHome = "rel"}, "/home/li/.local/state/dotforge"},
        {{}, ""},
    };
    for (const auto &[env, folder] : states)
        EXPECT_EQ(stateFolder(env), folder) << folder;
}

// The window writes its store in the folder it started in when that takes
// files, else in $XDG_STATE_HOME/dotforge, made with mode 0700 together with
// its missing parents; an existing one is used as it is. When that cannot be
// made, the store's own error names the folder it started in.
TEST(ProgramFolders, WindowWriteFolder)
{
    // Permissions do not stop root's writes: there a read-only folder takes
    // files, and the rows that need one cannot be checked.
    bool permissionsStopWrites = false;
    {
        TempDir probe;
        fs::permissions(probe.path(), fs::perms::owner_read | fs::perms::owner_exec);
        const int fd = ::open(probe.file("x").c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
        permissionsStopWrites = fd < 0;
        if (fd >= 0)
            ::close(fd);
    }
    struct Row {
        const char *what;
        bool readOnly;
        const char *stateHome; // in the test's folder; "file" is a file there
        const char *made; // "" for the start folder
    };
    const Row rows[] = {
        {"writable", false, "state", ""},
        {"read-only", true, "state/sub", "state/sub/dotforge"},
        {"read-only, the state folder is there", true, "kept", "kept/dotforge"},
        {"read-only, no state folder can be made", true, "file", ""},
    };
    for (const Row &row : rows) {
        if (row.readOnly && !permissionsStopWrites)
            continue;
        SCOPED_TRACE(row.what);
        TempDir dir;
        const std::string start = dir.file("start");
        fs::create_directory(start);
        fs::create_directories(dir.path() / "kept" / "dotforge");
        fs::permissions(dir.path() / "kept" / "dotforge", fs::perms(0750));
        writeFile(dir.file("file"), "");
        if (row.readOnly)
            fs::permissions(start, fs::perms::owner_read | fs::perms::owner_exec);
        const FolderEnvironment env{.home = dir.file("home"), .stateHome = dir.file(row.stateHome)};
        EXPECT_EQ(windowWriteFolder(start, env), *row.made ? dir.file(row.made) : start);
        EXPECT_EQ(fs::exists(dir.path() / "state"), std::string(row.made).starts_with("state"));
        EXPECT_EQ(fs::status(dir.path() / "kept" / "dotforge").permissions(), fs::perms(0750));
        for (const char *made : {"state", "state/sub", "state/sub/dotforge"}) {
            if (std::string(row.made).starts_with("state")) {
                EXPECT_EQ(fs::status(dir.path() / made).permissions(), fs::perms(0700)) << made;
            }
        }
    }
    if (!permissionsStopWrites)
        GTEST_SKIP() << "running as root, whose writes permissions do not stop: only the writable folder was checked";
}
