// Open, Save, Save As and the close question, driven through scripted prompts;
// and the library file alone.

#include "core/io_error.h"
#include "formats/asm.h"
#include "formats/documents.h"
#include "formats/zmb.h"
#include "tests/core/formats_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <set>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dotforge::test {
namespace {

namespace fs = std::filesystem;

const char *const kOpenQuestion = "当前小字库中已有内容!你要先将其保存为文件吗?";
const char *const kCloseQuestion = "你还没有保存小字库文件!要保存吗?";

// A workspace in mode C with the three golden glyphs in its store.
struct Documents : ::testing::Test {
    TestWorkspace tw;
    ScriptedPrompts &prompts = tw.prompts();

    void SetUp() override
    {
        tw->mnuModeClick(Mode::C);
        fillStore(tw.ws(), threeGlyphs(), kThreeCodes);
        prompts.clear();
    }
    void TearDown() override { EXPECT_TRUE(prompts.allConsumed()); }

    std::string path(const std::string &name) const { return tw.dir().file(name); }
    // Every file and folder under the working folder.
    std::set<std::string> listing() const
    {
        std::set<std::string> names;
        for (const auto &entry : fs::recursive_directory_iterator(tw.dir().path()))
            names.insert(entry.path().lexically_relative(tw.dir().path()).string());
        return names;
    }
    bool exists(const std::string &name) const { return fs::exists(path(name)); }
    void expectStoreRaw() { EXPECT_EQ(storeRecords(tw.ws(), 3), threeGlyphs()); }
    void saveVia(int filterIndex, const std::string &name)
    {
        prompts.fileChoice(FileChoice{path(name), filterIndex});
        tw->mnuSaveAsClick();
    }
    void openVia(int filterIndex, const std::string &name)
    {
        if (tw->library().LibCount() > 0)
            prompts.answer(Answer::No);
        prompts.fileChoice(FileChoice{path(name), filterIndex});
        tw->mnuOpenClick();
    }
};

TEST_F(Documents, saveThroughTheDialogWritesTheZmb)
{
    prompts.fileChoice(FileChoice{path("LIB.ZMB"), 1});
    tw->mnuSaveClick();

    const FileDialogSpec &spec = prompts.lastSaveSpec();
    EXPECT_EQ(spec.title, "保存小汉字库文件...");
    EXPECT_EQ(spec.filter, "小汉字库点阵文件(*.ZMB)|.ZMB|小汉字库汇编文件(*.ASM)|.ASM");
    EXPECT_EQ(spec.defaultExt, ".ZMB");
    EXPECT_EQ(spec.fileName, "*.ZMB");

    EXPECT_EQ(readFile(path("LIB.ZMB")), golden("three16c.zmb"));
    EXPECT_EQ(tw->controls().caption, "Dotforge: " + path("LIB.ZMB"));
    EXPECT_FALSE(tw->controls().mnuSave.enabled);
    EXPECT_TRUE(tw->controls().mnuSaveAs.enabled);
    EXPECT_FALSE(tw->EditModified());
    expectStoreRaw();
    EXPECT_EQ(tw->libPlane(), threeGlyphs()[0]); // the selected glyph again
    EXPECT_EQ(listing(), (std::set<std::string>{"Font16s", "JQT.TMP", "LIB.ZMB"}));
}

TEST_F(Documents, saveAsAsmThenSaveWithoutDialog)
{
    saveVia(2, "LIB.ASM");
    EXPECT_EQ(readFile(path("LIB.ASM")), golden("three16c.asm"));
    EXPECT_EQ(assemble(path("LIB.ASM")), golden("three16c.zmb").substr(0, 96));

    // An edit, then Save: written again as ASM to the same name, no dialog.
    GlyphPlane changed = threeGlyphs()[0];
    changed.at(15, 1) = 0x01;
    tw.library().writeGlyph(0, changed);
    tw->ChgDone();
    tw->mnuSaveClick();
    const LibraryContent content = readAsm(readFile(path("LIB.ASM")), 16);
    ASSERT_EQ(content.glyphs.size(), 3u);
    EXPECT_EQ(content.glyphs[0][31], 0x01);
    EXPECT_EQ(prompts.texts("save").size(), 1u);
    EXPECT_FALSE(exists("JQT1.Tmp"));
}

TEST_F(Documents, emptyLibraryWritesEmptyFiles)
{
    tw.library().setCount(0);
    saveVia(1, "EMPTY.ZMB");
    saveVia(2, "EMPTY.ASM");
    EXPECT_EQ(fs::file_size(path("EMPTY.ZMB")), 0u);
    EXPECT_EQ(fs::file_size(path("EMPTY.ASM")), 0u);
}

TEST_F(Documents, savedWithEffectsAndModeStoreStaysRaw)
{
    // Mode A with a quarter turn left: the top row becomes the left column.
    tw->mnuModeClick(Mode::A);
    tw->mnuRotationClick(Rotation::R90);
    saveVia(1, "ROT.ZMB");
    const std::string file = readFile(path("ROT.ZMB"));
    EXPECT_EQ(file.substr(0, 32), std::string(16, '\x80') + std::string(16, '\0'));
    expectStoreRaw();
}

TEST_F(Documents, saveAsCancelledWritesNothingAndForgetsTheName)
{
    saveVia(1, "LIB.ZMB");
    const std::string caption = tw->controls().caption;
    tw->ChgDone();
    prompts.fileChoice(std::nullopt);
    tw->mnuSaveAsClick();
    EXPECT_TRUE(tw->documents().fileName().empty());
    EXPECT_TRUE(tw->controls().mnuSave.enabled);
    // The caption no longer names a file Save would not write to.
    EXPECT_EQ(caption, "Dotforge: " + path("LIB.ZMB"));
    EXPECT_EQ(tw->controls().caption, "Dotforge");
    // The next Save asks again.
    prompts.fileChoice(std::nullopt);
    tw->mnuSaveClick();
    EXPECT_EQ(prompts.texts("save").size(), 3u);
    EXPECT_FALSE(exists("JQT1.Tmp"));
}

TEST_F(Documents, afterNewTheNextSaveAsksForAName)
{
    saveVia(1, "LIB.ZMB");
    tw->mnuNewClick();
    fillStore(tw.ws(), threeGlyphs(), kThreeCodes);
    prompts.fileChoice(FileChoice{path("NEW.ZMB"), 1});
    tw->mnuSaveClick();
    EXPECT_EQ(prompts.texts("save").size(), 2u);
    EXPECT_EQ(readFile(path("NEW.ZMB")), golden("three16c.zmb"));
    EXPECT_EQ(tw->controls().caption, "Dotforge: " + path("NEW.ZMB"));
}

TEST_F(Documents, openAnsweringYesAsksToSaveFirst)
{
    prompts.answer(Answer::Yes);
    tw->mnuOpenClick();
    EXPECT_EQ(prompts.texts("confirmation"), std::vector<std::string>{kOpenQuestion});
    EXPECT_EQ(prompts.texts("message"), std::vector<std::string>{"请先保存小字库!"});
    EXPECT_TRUE(prompts.texts("open").empty());
    EXPECT_EQ(tw->library().LibCount(), 3);
}

TEST_F(Documents, openCancelledChangesNothing)
{
    saveVia(1, "LIB.ZMB");
    const std::string caption = tw->controls().caption;
    prompts.answer(Answer::No);
    prompts.fileChoice(std::nullopt);
    tw->mnuOpenClick();
    EXPECT_EQ(tw->documents().fileName(), path("LIB.ZMB"));
    EXPECT_EQ(tw->controls().caption, caption);
    EXPECT_EQ(tw->library().LibCount(), 3);
}

TEST_F(Documents, openZmbLoadsTheLibrary)
{
    writeFile(path("GOLD.ZMB"), golden("three16c.zmb"));
    tw->mnuNewClick();
    openVia(1, "GOLD.ZMB");

    const FileDialogSpec &spec = prompts.lastOpenSpec();
    EXPECT_EQ(spec.title, "打开小汉字库文件...");
    EXPECT_EQ(spec.filter, "小汉字库点阵文件(*.ZMB)| *.ZMB|小汉字库汇编文件(*.ASM)|*.ASM");
    EXPECT_EQ(spec.defaultExt, ".ZMB");
    EXPECT_EQ(spec.fileName, "*.ZMB");
    EXPECT_EQ(spec.initialDir, ".");

    EXPECT_EQ(tw->library().LibCount(), 3);
    expectStoreRaw();
    EXPECT_EQ(tw->library().code(2), "\xB0\xA3");
    EXPECT_EQ(tw->controls().caption, "Dotforge: " + path("GOLD.ZMB"));
    EXPECT_TRUE(tw->controls().mnuSaveAs.enabled);
    EXPECT_FALSE(tw->controls().mnuSave.enabled);
    EXPECT_TRUE(tw->controls().RG1.enabled);
    EXPECT_TRUE(tw->controls().DelBtn.enabled);
    // The last glyph is selected and shown in the library view.
    EXPECT_EQ(tw->library().LibIndex(), 2);
    EXPECT_EQ(tw->ViewMode(), 1);
    EXPECT_EQ(tw->editPlane(), threeGlyphs()[2]);
    EXPECT_EQ(tw->controls().XNLabel, "共 3字 第 3字");
}

TEST_F(Documents, openAsmWithTheAsmEntry)
{
    writeFile(path("GOLD.ASM"), golden("three16c.asm"));
    openVia(2, "GOLD.ASM");
    EXPECT_EQ(tw->library().LibCount(), 3);
    expectStoreRaw();
    EXPECT_EQ(tw->documents().fileType(), FileType::ASM);
}

TEST_F(Documents, asmChosenWithTheZmbEntryIsReadAsZmb)
{
    // 549 bytes of text would make 549 div 34 = 16 glyphs of meaningless dots:
    // the file type decides the reader, which sees text and takes nothing.
    writeFile(path("GOLD.ASM"), golden("three16c.asm"));
    tw.library().setCount(0);
    openVia(1, "GOLD.ASM");
    EXPECT_EQ(prompts.texts("warning").size(), 1u);
    EXPECT_EQ(tw->library().LibCount(), 0);
    EXPECT_TRUE(tw->documents().fileName().empty());
}

TEST_F(Documents, duplicateCodesInAFileAreBothLoaded)
{
    const Sequence blank(32, 0);
    writeFile(path("DUP.ZMB"), writeZmb({blank, blank}, {"\xB0\xA1", "\xB0\xA1"}));
    openVia(1, "DUP.ZMB");
    EXPECT_EQ(tw->library().LibCount(), 2);
    EXPECT_EQ(tw->library().code(1), "\xB0\xA1");
}

TEST_F(Documents, modeAFileOpenedInModeCIsScrambled)
{
    tw->mnuModeClick(Mode::A);
    saveVia(1, "A.ZMB");
    tw->mnuModeClick(Mode::C);
    openVia(1, "A.ZMB");
    EXPECT_EQ(tw->library().LibCount(), 3);
    EXPECT_TRUE(prompts.texts("ioerror").empty());
    // The left column, saved as 16 x 0x80 then 16 zeros, comes back read row by
    // row: the top 8 rows with dots 0 and 8.
    std::vector<std::string> expected(16, std::string(16, '.'));
    for (int r = 0; r < 8; ++r)
        expected[std::size_t(r)] = "#.......#.......";
    EXPECT_EQ(artFromPlane(storeRecords(tw.ws(), 3)[1], 16), expected);
}

TEST_F(Documents, openOfAFileWithoutGlyphs)
{
    writeFile(path("SHORT.ZMB"), std::string(33, '\x55'));
    openVia(1, "SHORT.ZMB");
    EXPECT_EQ(prompts.texts("warning"), std::vector<std::string>{"文件中字模数为0!"});
    EXPECT_EQ(tw->library().LibCount(), 0);
    EXPECT_EQ(tw->documents().fileName(), path("SHORT.ZMB"));
    EXPECT_EQ(tw->controls().caption, "Dotforge: " + path("SHORT.ZMB"));
    EXPECT_FALSE(tw->controls().RG1.enabled);
    EXPECT_FALSE(tw->controls().DelBtn.enabled);
}

TEST_F(Documents, failedOpenLeavesAnEmptyLibraryAndNoName)
{
    openVia(1, "MISSING.ZMB");
    EXPECT_EQ(prompts.texts("message"), std::vector<std::string>{"文件打开错误!"});
    EXPECT_TRUE(prompts.texts("ioerror").empty());
    EXPECT_TRUE(tw->documents().fileName().empty());
    EXPECT_EQ(tw->controls().caption, "Dotforge: ");
    EXPECT_FALSE(tw->controls().mnuSave.enabled);
    EXPECT_EQ(tw->library().LibCount(), 0);

    // A failure after glyphs were read (the store cannot take them) keeps none.
    writeFile(path("GOLD.ZMB"), golden("three16c.zmb"));
    tw.library().closeStore();
    openVia(1, "GOLD.ZMB");
    EXPECT_EQ(prompts.texts("message").size(), 2u);
    EXPECT_EQ(tw->library().LibCount(), 0);
    EXPECT_FALSE(tw->controls().RG1.enabled);
}

// A pipe or a device chosen as the library file is no file: the open fails at
// once (for the pipe even while something could write into it) and reads
// nothing from it.
TEST_F(Documents, openOfAPipeOrADeviceFails)
{
    ASSERT_EQ(::mkfifo(path("PIPE.ZMB").c_str(), 0600), 0);
    const int writer = ::open(path("PIPE.ZMB").c_str(), O_RDWR | O_CLOEXEC);
    fs::create_symlink("/dev/zero", path("ZERO.ASM"));
    openVia(1, "PIPE.ZMB");
    openVia(2, "ZERO.ASM");
    ::close(writer);
    EXPECT_EQ(prompts.texts("message"), (std::vector<std::string>{"文件打开错误!", "文件打开错误!"}));
    EXPECT_EQ(tw->library().LibCount(), 0);
}

TEST_F(Documents, openOfMoreThanTwoHundredGlyphsTakesTheFirst200)
{
    std::vector<Sequence> glyphs;
    std::vector<std::string> codes;
    for (int g = 0; g < 230; ++g) {
        glyphs.push_back(Sequence(32, std::uint8_t(g)));
        codes.push_back(bytes({0xB0 + g / 94, 0xA1 + g % 94}));
    }
    writeFile(path("BIG.ZMB"), writeZmb(glyphs, codes));
    writeFile(path("BIG.ASM"), writeAsm(glyphs, codes, 16));
    for (const auto &[entry, name] : {std::pair{1, "BIG.ZMB"}, std::pair{2, "BIG.ASM"}}) {
        prompts.clear();
        openVia(entry, name);
        EXPECT_EQ(tw->library().LibCount(), 200) << name;
        EXPECT_EQ(tw->library().code(199), bytes({0xB2, 0xA1 + 199 - 188})) << name;
        EXPECT_EQ(tw.library().readGlyph(199).at(15, 1), 199) << name;
        EXPECT_EQ(prompts.texts("warning"), std::vector<std::string>{"文件中字模数超过200,只读入了前200个!"});
    }
}

TEST_F(Documents, closeQuestion)
{
    // Nothing to save: no question.
    {
        TestWorkspace fresh;
        EXPECT_TRUE(fresh->FormCloseQuery());
        EXPECT_TRUE(fresh.prompts().log().empty());
    }

    prompts.answer(Answer::Cancel);
    EXPECT_FALSE(tw->FormCloseQuery());
    prompts.answer(Answer::No);
    EXPECT_TRUE(tw->FormCloseQuery());
    EXPECT_EQ(prompts.texts("warning"), (std::vector<std::string>{kCloseQuestion, kCloseQuestion}));
    EXPECT_EQ(prompts.lastButtons(), Buttons::YesNoCancel);
    EXPECT_TRUE(prompts.texts("save").empty());

    // Yes with the save dialog cancelled keeps the window and the library.
    prompts.answer(Answer::Yes);
    prompts.fileChoice(std::nullopt);
    EXPECT_FALSE(tw->FormCloseQuery());
    EXPECT_TRUE(tw->controls().mnuSave.enabled);

    // Yes saves.
    prompts.answer(Answer::Yes);
    prompts.fileChoice(FileChoice{path("LIB.ZMB"), 1});
    EXPECT_TRUE(tw->FormCloseQuery());
    EXPECT_EQ(readFile(path("LIB.ZMB")), golden("three16c.zmb"));
}

TEST_F(Documents, closingAfterNoDeletesTheStore)
{
    prompts.answer(Answer::No);
    ASSERT_TRUE(tw->FormCloseQuery());
    tw->FormClose();
    EXPECT_FALSE(exists("JQT.TMP"));
}

// ---- failures while saving --------------------------------------------------

// The state a failed save must leave: the error shown by the default handler,
// the store raw, the same files as before (no "JQT1.Tmp", no half-written file
// beside the previous one, which keeps its content), the library unsaved.
void expectFailedSave(Documents &t, const std::set<std::string> &before, const std::string &text)
{
    EXPECT_EQ(t.prompts.texts("ioerror"), std::vector<std::string>{text});
    t.expectStoreRaw();
    EXPECT_FALSE(t.exists("JQT1.Tmp"));
    EXPECT_EQ(t.listing(), before);
    EXPECT_TRUE(t.tw->controls().mnuSave.enabled);
}

// Limits the size of any file this process writes: a write fails midway, as on
// a full disk, with its own text ("File too large": the disk is not full).
struct FileSizeLimit {
    rlimit old{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limit = old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, SIG_DFL);
    }
};

TEST_F(Documents, writeFailsWhileWritingTheFile)
{
    // 32 dots: one glyph, the .ASM text (683 bytes) outgrows the limit while the
    // records (128 bytes) still fit.
    prompts.answer(Answer::No); // the library is dropped, then filled again at 32 dots
    tw->mnu32Click();
    tw->mnuModeClick(Mode::C);
    fillStore(tw.ws(), threeGlyphs(), kThreeCodes);
    saveVia(2, "LIB.ASM");
    const std::string previous = readFile(path("LIB.ASM"));
    EXPECT_EQ(previous.size(), 3u * 683);
    const auto before = listing();
    tw->ChgDone();
    {
        FileSizeLimit limit(600);
        EXPECT_FALSE(tw->run([&] { tw->mnuSaveClick(); }));
    }
    expectFailedSave(*this, before, "File too large.");
    EXPECT_EQ(readFile(path("LIB.ASM")), previous);
    // The selected glyph (0), not the last one converted.
    EXPECT_EQ(tw->libPlane(), threeGlyphs()[0]);
}

TEST_F(Documents, writeFailsWhileCopyingTheRecords)
{
    writeFile(path("LIB.ZMB"), "previous");
    const auto before = listing();
    prompts.fileChoice(FileChoice{path("LIB.ZMB"), 1});
    {
        // The raw copy fails at its second record, after record 0 was converted.
        FileSizeLimit limit(200);
        EXPECT_FALSE(tw->run([&] { tw->mnuSaveClick(); }));
    }
    expectFailedSave(*this, before, "File too large.");
    EXPECT_EQ(readFile(path("LIB.ZMB")), "previous");
}

TEST_F(Documents, saveOntoAFullDevice)
{
    fs::create_symlink("/dev/full", path("FULL.ZMB"));
    const auto before = listing();
    prompts.fileChoice(FileChoice{path("FULL.ZMB"), 1});
    EXPECT_FALSE(tw->run([&] { tw->mnuSaveClick(); }));
    expectFailedSave(*this, before, "Disk full.");
    EXPECT_TRUE(fs::is_symlink(path("FULL.ZMB")));
}

// A folder nobody may write into: read-only, and immutable where the file system
// allows it, since root ignores the permission bits.
struct ReadOnlyFolder {
    std::string path;
    bool immutable = false;
    explicit ReadOnlyFolder(std::string p)
        : path(std::move(p))
    {
        fs::permissions(path, fs::perms::owner_read | fs::perms::owner_exec);
        const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            immutable = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        if (fd >= 0)
            ::close(fd);
    }
    ~ReadOnlyFolder()
    {
        const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd >= 0 && immutable && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0)
            ::close(fd);
        fs::permissions(path, fs::perms::owner_all);
    }
    bool works() const
    {
        const std::string probe = path + "/probe";
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            return true;
        ::close(fd);
        ::unlink(probe.c_str());
        return false;
    }
};

TEST_F(Documents, saveIntoAReadOnlyFolder)
{
    fs::create_directory(path("sub"));
    const std::string file = path("sub") + "/LIB.ZMB";
    writeFile(file, "previous");
    ReadOnlyFolder folder(path("sub"));
    if (!folder.works())
        GTEST_SKIP() << "this file system lets us write into a read-only folder";

    const auto before = listing();
    prompts.fileChoice(FileChoice{file, 1});
    EXPECT_FALSE(tw->run([&] { tw->mnuSaveClick(); }));
    expectFailedSave(*this, before, "File access denied.");
    EXPECT_EQ(readFile(file), "previous");
}

TEST_F(Documents, closeQuestionStaysOpenWhenTheSaveFails)
{
    fs::create_symlink("/dev/full", path("FULL.ZMB"));
    const auto before = listing();
    prompts.answer(Answer::Yes);
    prompts.fileChoice(FileChoice{path("FULL.ZMB"), 1});
    EXPECT_FALSE(tw->FormCloseQuery());
    expectFailedSave(*this, before, "Disk full.");
}

TEST_F(Documents, neverWritesOverItsOwnStore)
{
    const auto before = listing();
    prompts.fileChoice(FileChoice{path("JQT.TMP"), 1});
    EXPECT_FALSE(tw->run([&] { tw->mnuSaveClick(); }));
    expectFailedSave(*this, before, "File access denied.");
}

// "JQT1.Tmp" is made afresh for each save: whatever an earlier run left under
// that name (a file, a link to a file elsewhere) goes and never receives the
// records; a folder there stops the save with a message naming it.
TEST_F(Documents, rawCopyIsANewFileOfItsOwn)
{
    writeFile(path("other"), "precious");
    fs::create_symlink(path("other"), path("JQT1.Tmp"));
    saveVia(1, "LIB.ZMB");
    EXPECT_EQ(readFile(path("other")), "precious");
    EXPECT_FALSE(fs::exists(fs::symlink_status(path("JQT1.Tmp"))));
    EXPECT_EQ(readFile(path("LIB.ZMB")).size(), 3u * 34);

    writeFile(path("JQT1.Tmp"), "left by a crash");
    tw->ChgDone();
    tw->mnuSaveClick();
    EXPECT_FALSE(exists("JQT1.Tmp"));
    EXPECT_TRUE(prompts.texts("ioerror").empty());

    fs::create_directory(path("JQT1.Tmp"));
    const auto before = listing();
    tw->ChgDone();
    EXPECT_FALSE(tw->run([&] { tw->mnuSaveClick(); }));
    EXPECT_EQ(prompts.texts("ioerror"),
        std::vector<std::string>{
            "\"" + path("JQT1.Tmp") + "\"不是普通文件(可能是链接、文件夹、设备或管道),Dotforge不读写它."});
    expectStoreRaw();
    EXPECT_EQ(listing(), before);
    EXPECT_TRUE(tw->controls().mnuSave.enabled);
}

// A save killed on the way leaves TARGET.~PID-N beside its target; the next
// save of that target removes such files that no writer holds locked, and
// only those. The process id in a name decides nothing: a writer in another
// container or on another NFS client has ids of its own.
TEST_F(Documents, saveRemovesWhatKilledSavesOfItsTargetLeft)
{
    const std::string dead = std::to_string(goneProcessId());
    const std::string alive = std::to_string(::getpid());
    for (const std::string &name : {"LIB.ZMB.~" + dead + "-0", "LIB.ZMB.~" + dead + "-7", "LIB.ZMB.~" + alive + "-0",
             "LIB.ZMB.~" + dead + "-x", "LIB.ZMB.~" + dead, "OTHER.ZMB.~" + dead + "-0"})
        writeFile(path(name), "partial");
    // A live writer elsewhere, whose process id is no process here.
    const LockedByAnotherProcess writer(path("LIB.ZMB.~" + dead + "-7"));
    saveVia(1, "LIB.ZMB");
    EXPECT_EQ(listing(),
        (std::set<std::string>{"Font16s", "JQT.TMP", "LIB.ZMB", "LIB.ZMB.~" + dead + "-7", "LIB.ZMB.~" + dead + "-x",
            "LIB.ZMB.~" + dead, "OTHER.ZMB.~" + dead + "-0"}));
    EXPECT_EQ(readFile(path("LIB.ZMB")).size(), 3u * 34);
    EXPECT_EQ(readFile(path("LIB.ZMB.~" + dead + "-7")), "partial");
}

TEST_F(Documents, exitAsksTheWindowToClose)
{
    struct Listener : WorkspaceListener {
        int closes = 0;
        void closeWindow() override { ++closes; }
    } listener;
    tw->setListener(&listener);
    tw->mnuExitClick();
    tw->setListener(nullptr);
    EXPECT_EQ(listener.closes, 1);
    EXPECT_TRUE(prompts.log().empty());
}

// ---- the selected glyph and its edits around a save ---------------------------

// Glyph 1 selected in the library view, one dot of the grid toggled.
void selectAndEdit(Documents &t)
{
    t.tw.library().select(1);
    t.tw->ReadXDot();
    t.tw->SG2MouseDown(5, 5, MouseButton::Left);
    t.tw->SG2MouseUp(5, 5, MouseButton::Left);
    t.tw->SG2DblClick();
    ASSERT_TRUE(t.tw->EditModified());
    t.prompts.clear();
}

TEST_F(Documents, saveKeepsTheSelectedGlyphForUndoAndCommit)
{
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "failed save" : "save");
        if (fails)
            fs::create_symlink("/dev/full", path("FULL.ZMB"));
        tw.library().select(1);
        tw->ReadXDot();
        prompts.clear();
        prompts.fileChoice(FileChoice{path(fails ? "FULL.ZMB" : "LIB.ZMB"), 1});
        EXPECT_EQ(tw->run([&] { tw->mnuSaveAsClick(); }), !fails);
        EXPECT_EQ(tw->libPlane(), threeGlyphs()[1]);
        // Undo shows glyph 1 and a commit writes it back where it was.
        tw->undoBtnClick();
        EXPECT_EQ(tw.grid(), artFromPlane(threeGlyphs()[1], 16));
        tw->ChgBtnClick();
        expectStoreRaw();
    }
}

TEST_F(Documents, saveAsksToCommitTheEditsOfALibraryGlyph)
{
    selectAndEdit(*this);
    GlyphPlane edited = threeGlyphs()[1];
    edited.setDot(5, 5, !edited.dot(5, 5));
    prompts.answer(Answer::Yes);
    prompts.fileChoice(FileChoice{path("LIB.ZMB"), 1});
    tw->mnuSaveClick();
    EXPECT_EQ(prompts.texts("confirmation"), std::vector<std::string>{"当前的点阵已被修改，要保存吗？"});
    const std::string written = readFile(path("LIB.ZMB"));
    EXPECT_EQ(written.size(), golden("three16c.zmb").size());
    EXPECT_NE(written, golden("three16c.zmb"));
    EXPECT_EQ(tw.library().readGlyph(1), edited);
    EXPECT_EQ(tw->libPlane(), edited);
    EXPECT_FALSE(tw->EditModified());
    EXPECT_FALSE(tw->controls().mnuSave.enabled);
}

TEST_F(Documents, saveAnsweredNoDropsTheEditsFromTheGrid)
{
    selectAndEdit(*this);
    prompts.answer(Answer::No);
    prompts.fileChoice(FileChoice{path("LIB.ZMB"), 1});
    tw->mnuSaveClick();
    EXPECT_EQ(readFile(path("LIB.ZMB")), golden("three16c.zmb"));
    expectStoreRaw();
    // The editor shows what was saved: nothing is left that looks unsaved.
    EXPECT_EQ(tw.grid(), artFromPlane(threeGlyphs()[1], 16));
    EXPECT_FALSE(tw->EditModified());
    EXPECT_TRUE(tw->FormCloseQuery());
}

// A file that was not written never becomes the window's file: after a failed
// save the name, its type and the caption are those of the last completed save,
// and Save writes there again.
TEST_F(Documents, failedSaveAsNamesTheFileSaveWritesTo)
{
    fs::create_symlink("/dev/full", path("FULL.ZMB"));
    fs::create_directory(path("ro"));
    ReadOnlyFolder folder(path("ro"));
    struct Case {
        const char *what;
        std::function<void()> fail; // the failing command, its dialog scripted
        std::string error;
    };
    const Case cases[] = {
        {"full device",
            [&] {
                prompts.fileChoice(FileChoice{path("FULL.ZMB"), 1});
                tw->mnuSaveAsClick();
            },
            "Disk full."},
        {"read-only folder",
            [&] {
                prompts.fileChoice(FileChoice{path("ro") + "/LIB.ZMB", 1});
                tw->mnuSaveAsClick();
            },
            folder.works() ? "File access denied." : ""},
        {"raw copy impossible",
            [&] {
                fs::create_directory(path("JQT1.Tmp"));
                prompts.fileChoice(FileChoice{path("NEW.ZMB"), 1});
                tw->mnuSaveAsClick();
            },
            "\"" + path("JQT1.Tmp") + "\"不是普通文件(可能是链接、文件夹、设备或管道),Dotforge不读写它."},
    };
    saveVia(2, "LIB.ASM");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.error.empty())
            continue; // root may write into the folder here
        prompts.clear();
        tw->ChgDone();
        EXPECT_FALSE(tw->run(c.fail));
        fs::remove(path("JQT1.Tmp"));
        EXPECT_EQ(prompts.texts("ioerror"), std::vector<std::string>{c.error});
        EXPECT_EQ(tw->documents().fileName(), path("LIB.ASM"));
        EXPECT_EQ(tw->documents().fileType(), FileType::ASM);
        EXPECT_EQ(tw->controls().caption, "Dotforge: " + path("LIB.ASM"));
        EXPECT_TRUE(tw->controls().mnuSave.enabled);
        EXPECT_FALSE(exists("NEW.ZMB"));
        // Save writes the file the caption names, in its type, without a dialog.
        fs::remove(path("LIB.ASM"));
        tw->mnuSaveClick();
        EXPECT_EQ(readFile(path("LIB.ASM")), golden("three16c.asm"));
    }

    // Without a file before, a failed first save leaves none: the title alone,
    // and the next Save asks again.
    tw->mnuNewClick();
    fillStore(tw.ws(), threeGlyphs(), kThreeCodes);
    prompts.clear();
    prompts.fileChoice(FileChoice{path("FULL.ZMB"), 1});
    EXPECT_FALSE(tw->run([&] { tw->mnuSaveClick(); }));
    EXPECT_TRUE(tw->documents().fileName().empty());
    EXPECT_EQ(tw->controls().caption, "Dotforge");
    prompts.fileChoice(FileChoice{path("LIB.ZMB"), 1});
    tw->mnuSaveClick();
    EXPECT_EQ(prompts.texts("save").size(), 2u);
    EXPECT_EQ(tw->controls().caption, "Dotforge: " + path("LIB.ZMB"));
}

// A file that cannot be of the file type chosen for it (or of the dot size in
// force) is refused with the reason: nothing is loaded and the library, its
// records and the window's file stay as they were.
TEST_F(Documents, openRefusesAFileThatCannotBeOfTheChosenType)
{
    writeFile(path("GOLD.ASM"), golden("three16c.asm"));
    writeFile(path("GOLD.ZMB"), golden("three16c.zmb"));
    const Sequence blank(32, 0);
    writeFile(path("CODES.ZMB"), writeZmb({blank, blank}, {"\xB0\xA1", "\x0A\x41"}));
    struct Case {
        int filterIndex;
        const char *name;
        std::string warning;
    };
    const Case cases[] = {
        {1, "GOLD.ASM", "\"" + path("GOLD.ASM") + "\"是文本文件,不是小汉字库点阵文件(*.ZMB),未读入任何字模!"},
        {2, "GOLD.ZMB",
            "\"" + path("GOLD.ZMB") + "\"第1行含有非文本字节(00),不是小汉字库汇编文件(*.ASM),未读入任何字模!"},
        {1, "CODES.ZMB",
            "\"" + path("CODES.ZMB")
                + "\"中第2个字模的区位码(0A 41)不是字符编码,不是16点阵的小汉字库点阵文件(*.ZMB),未读入任何字模!"},
    };
    saveVia(1, "LIB.ZMB");
    tw->ChgDone(); // an edit since
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        prompts.clear();
        openVia(c.filterIndex, c.name);
        EXPECT_EQ(prompts.texts("confirmation"), std::vector<std::string>{kOpenQuestion});
        EXPECT_EQ(prompts.texts("warning"), std::vector<std::string>{c.warning});
        EXPECT_EQ(prompts.lastButtons(), Buttons::Ok);
        EXPECT_EQ(tw->library().LibCount(), 3);
        expectStoreRaw();
        EXPECT_EQ(tw->library().code(1), "\xB0\xA2");
        EXPECT_EQ(tw->documents().fileName(), path("LIB.ZMB"));
        EXPECT_EQ(tw->documents().fileType(), FileType::ZMB);
        EXPECT_EQ(tw->controls().caption, "Dotforge: " + path("LIB.ZMB"));
        EXPECT_TRUE(tw->controls().mnuSave.enabled);
    }

    // Another dot size: 102 bytes are no whole number of 24-dot entries.
    prompts.clear();
    prompts.answer(Answer::No);
    tw->mnu24Click();
    prompts.clear();
    openVia(1, "GOLD.ZMB");
    EXPECT_EQ(prompts.texts("warning"),
        std::vector<std::string>{"\"" + path("GOLD.ZMB")
            + "\"的长度(102字节)不是24点阵字模连区位码(每个74字节)的整数倍,不是24点阵的小汉字库点阵文件(*.ZMB),"
              "未读入任何字模!"});
    EXPECT_EQ(tw->library().LibCount(), 0);
    EXPECT_TRUE(tw->documents().fileName().empty());
    EXPECT_EQ(tw->controls().caption, "Dotforge");
}

// The library file alone, without a window: a command that does not complete
// goes back to the file of the last one that did.
TEST(DocumentFile, UncompletedCommandGoesBackToTheLastFile)
{
    dotforge::Documents completed;
    completed.beginOpen(FileChoice{"a.ASM", 2});
    struct Row {
        const char *command;
        std::function<void(dotforge::Documents &)> begin;
        std::string nameDuring;
        FileType typeDuring;
    };
    const Row rows[] = {
        {"Save", [](dotforge::Documents &d) { d.beginSave(); }, "a.ASM", FileType::ASM},
        {"Save As", [](dotforge::Documents &d) { d.beginSaveAs(); }, "", FileType::ASM},
        {"Save As, named",
            [](dotforge::Documents &d) {
                d.beginSaveAs();
                d.nameChosen(FileChoice{"b.ZMB", 1});
            },
            "b.ZMB", FileType::ZMB},
        {"Open",
            [](dotforge::Documents &d) {
                d.beginOpen(FileChoice{"c.ASM", 1});
            },
            "c.ASM", FileType::ZMB},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.command);
        dotforge::Documents d = completed;
        row.begin(d);
        EXPECT_EQ(d.fileName(), row.nameDuring);
        EXPECT_EQ(d.fileType(), row.typeDuring);
        d.restorePrevious();
        EXPECT_EQ(d.fileName(), "a.ASM");
        EXPECT_EQ(d.fileType(), FileType::ASM);
    }
}

// A file in use reached under another name (a link) is refused untouched; any
// other name is written.
TEST(DocumentFile, NeverReplacesAFileInUseUnderAnotherName)
{
    TempDir dir;
    writeFile(dir.file("store"), "records");
    fs::create_symlink(dir.file("store"), dir.file("LINK.ZMB"));
    dotforge::Documents d;
    d.beginSaveAs();
    d.nameChosen(FileChoice{dir.file("LINK.ZMB"), 1});
    const Sequence full(32, 0xFF);
    EXPECT_THROW(d.writeZmbFile({full}, {"\xB0\xA1"}, {dir.file("raw"), dir.file("store")}), IoError);
    EXPECT_EQ(readFile(dir.file("store")), "records");
    d.writeZmbFile({full}, {"\xB0\xA1"}, {dir.file("raw")});
    EXPECT_EQ(readFile(dir.file("store")), std::string(32, '\xFF') + "\xB0\xA1");
}

} // namespace
} // namespace dotforge::test
