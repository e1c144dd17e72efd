// dotforge-cli convert and dump, the GNU conventions, and the promise that a
// failure never leaves a partial output file. Expected bytes are written out by
// hand: probe dots whose place in each mode is known.

#include "cli/glyph_text.h"
#include "cli/library_files.h"
#include "cli/tool_name.h"
#include "formats/asm.h"
#include "formats/bdf.h"
#include "formats/c_source.h"
#include "formats/zmb.h"
#include "tests/cli/cli_runner.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace dotforge;
using namespace dotforge::test;

namespace {

// Bytes of a 16-dot glyph with the given (offset, value) bytes set.
std::string glyph16(std::initializer_list<std::pair<int, int>> set)
{
    std::string g(32, '\0');
    for (auto [offset, value] : set)
        g[std::size_t(offset)] = char(value);
    return g;
}

const std::string kCodes = "\xB0\xA1\xB0\xA2"; // 啊 阿

// Glyph 0: one dot at (8, 1). Glyph 1: dots (0, 0) and (15, 15).
const std::string kModeA = glyph16({{17, 0x80}}) + glyph16({{0, 0x80}, {31, 0x01}}) + kCodes;
const std::string kModeC = glyph16({{3, 0x80}}) + glyph16({{0, 0x80}, {31, 0x01}}) + kCodes;
const std::string kModeD = glyph16({{3, 0x01}}) + glyph16({{0, 0x01}, {31, 0x80}}) + kCodes;

TEST(CliConvert, ModeAToCAndBack)
{
    TempDir dir;
    writeFile(dir.file("a.ZMB"), kModeA);
    CliRun run = runCli({"convert", "--size", "16", "--from", "A", "--to", "C", dir.file("a.ZMB"), dir.file("c.ZMB")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readFile(dir.file("c.ZMB")), kModeC);
    run = runCli({"convert", "--size", "16", "--from", "C", "--to", "D", dir.file("c.ZMB"), dir.file("d.ZMB")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("d.ZMB")), kModeD);
    run = runCli({"convert", "--size", "16", "--from", "D", "--to", "A", dir.file("d.ZMB"), dir.file("back.ZMB")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("back.ZMB")), kModeA);
}

// Any bytes survive a trip through another mode at every size.
TEST(CliConvert, RoundTripIsIdentityAtEverySize)
{
    for (const int n : {16, 24, 32}) {
        for (const char *other : {"B", "C", "D"}) {
            TempDir dir;
            std::string bytes;
            for (int g = 0; g < 3; ++g)
                for (int i = 0; i < n * n / 8; ++i)
                    bytes += char((i * 37 + g * 11 + 1) & 0xFF);
            bytes += "\xB0\xA1\xB0\xA2\xB0\xA3";
            writeFile(dir.file("in.ZMB"), bytes);
            const std::string size = std::to_string(n);
            ASSERT_EQ(runCli({"convert", "--size", size, "--from", "A", "--to", other, dir.file("in.ZMB"),
                                 dir.file("mid.ASM")})
                          .status,
                0);
            ASSERT_EQ(runCli({"convert", "--size", size, "--from", other, "--to", "A", dir.file("mid.ASM"),
                                 dir.file("out.ZMB")})
                          .status,
                0);
            EXPECT_EQ(readFile(dir.file("out.ZMB")), bytes) << n << " dots via mode " << other;
        }
    }
}

TEST(CliConvert, EffectsAsciiAsmAndFormats)
{
    TempDir dir;
    // Top-right dot (15, 0) in mode C; a left quarter turn takes it to (0, 0).
    writeFile(dir.file("r.ZMB"), glyph16({{1, 0x01}}) + "\xB0\xA1");
    CliRun run = runCli({"convert", "--size", "16", "--from", "C", "--to", "C", "--rotate", "90", dir.file("r.ZMB"),
        dir.file("r.out"), "--to-format", "zmb"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("r.out")), glyph16({{0, 0x80}}) + "\xB0\xA1");

    // An .ASM file read by its extension and written as .ZMB: dot (8, 0) in mode C
    // lands on byte 16 in mode A.
    const std::string zeros = "\tDB\t000H,000H,000H,000H,000H,000H,000H,000H\r\n";
    writeFile(dir.file("in.ASM"), "\tDB\t000H,080H,000H,000H,000H,000H,000H,000H;\xB0\xA1\r\n" + zeros + zeros + zeros);
    run = runCli({"convert", "--size", "16", "--from", "C", "--to", "A", dir.file("in.ASM"), dir.file("out.zmb")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("out.zmb")), glyph16({{16, 0x80}}) + "\xB0\xA1");

    // And back to .ASM in mode C, written as the window writes it.
    run = runCli({"convert", "--size", "16", "--from", "A", "--to", "C", dir.file("out.zmb"), dir.file("back.asm")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("back.asm")),
        "\tDB\t000H,080H,000H,000H,000H,000H,000H,000H;\xB0\xA1\r\n" + zeros + zeros + zeros);
}

// More than 200 glyphs: the batch tool takes them all (the window's library
// holds 200, the batch tool's has no such limit). They are read and written a
// run at a time: every output of a library of several runs is what the writers
// make of the whole library at once.
TEST(CliConvert, EveryGlyphOfALargeLibrary)
{
    TempDir dir;
    std::vector<Sequence> glyphs;
    std::vector<std::string> codes;
    const std::size_t count = 2 * cli::kGlyphRun + 5;
    for (std::size_t i = 0; i < count; ++i) {
        Sequence glyph(32);
        for (std::size_t k = 0; k < glyph.size(); ++k)
            glyph[k] = std::uint8_t((i * 131 + k * 29) >> (k % 5));
        glyphs.push_back(glyph);
        // Descending at the end, so that NAME_find needs its order.
        const std::size_t c = i < count - 3 ? i : 3 * count - i;
        codes.push_back({char(0xB0 + c / 94 % 0x47), char(0xA1 + c % 94)});
    }
    writeFile(dir.file("big.ZMB"), writeZmb(glyphs, codes));
    std::vector<GlyphPlane> planes;
    for (const Sequence &glyph : glyphs)
        planes.push_back(fromFileOrder(glyph, 16, Mode::C));
    LibraryContent content;
    content.glyphs = glyphs;
    content.codes = codes;
    const std::vector<std::pair<std::string, std::string>> outputs{
        {"out.ZMB", writeZmb(glyphs, codes)},
        {"out.ASM", writeAsm(glyphs, codes, 16)},
        {"out.c", cSource(content, 16, Mode::C, "out", cli::kToolName)},
        {"out.h", cHeader(count, 16, Mode::C, "out", cli::kToolName)},
        {"out.bdf", writeBdf(planes, codes, 16, "out")},
    };
    for (const auto &[name, expected] : outputs) {
        std::vector<std::string> args{"convert", "--size", "16", "--from", "C", dir.file("big.ZMB"), dir.file(name)};
        if (name != "out.bdf")
            args.insert(args.end(), {"--to", "C"});
        const CliRun run = runCli(args);
        ASSERT_EQ(run.status, 0) << name << "\n" << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_TRUE(readFile(dir.file(name)) == expected) << name;
    }
    // An .ASM file is read a run at a time too.
    CliRun run
        = runCli({"convert", "--size", "16", "--from", "C", "--to", "C", dir.file("out.ASM"), dir.file("back.ZMB")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(readFile(dir.file("back.ZMB")) == writeZmb(glyphs, codes));
    run = runCli({"dump", "--size", "16", "--mode", "C", dir.file("big.ZMB")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out == cli::dumpText(content, 16, Mode::C));
}

TEST(CliDump, SmallFile)
{
    TempDir dir;
    // Mode C: glyph 0 has row 0 = 80 01 and row 15 = FF FF; glyph 1 (code "*/",
    // no character shown) has only dot (8, 1).
    writeFile(dir.file("s.ZMB"),
        glyph16({{0, 0x80}, {1, 0x01}, {30, 0xFF}, {31, 0xFF}}) + glyph16({{3, 0x80}}) + "\xB0\xA1*/");
    const CliRun run = runCli({"dump", "--size", "16", "--mode", "C", dir.file("s.ZMB")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string empty = "................\n";
    std::string expected = "B0A1 啊\n"
                           "#..............#\n";
    for (int i = 0; i < 14; ++i)
        expected += empty;
    expected += "################\n"
                "\n"
                "2A2F\n"
        + empty + "........#.......\n";
    for (int i = 0; i < 14; ++i)
        expected += empty;
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, "");

    // A size that does not fit the file: no file of that dot size, refused as
    // the window refuses it, nothing dumped. (Too short for one glyph, it holds none.)
    writeFile(dir.file("m.ZMB"), glyph16({}) + glyph16({}) + glyph16({}) + "\xB0\xA1\xB0\xA2\xB0\xA3");
    const CliRun wrong = runCli({"dump", "--size", "24", "--mode", "C", dir.file("m.ZMB")});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.out, "");
    EXPECT_EQ(wrong.err,
        "dotforge-cli: " + dir.file("m.ZMB")
            + ": 102 bytes are no whole number of 24-dot glyphs with their codes (74 bytes each): no .ZMB file of "
              "24-dot glyphs; nothing is read. Is --size right?\n")
        << wrong.err;
    const CliRun none = runCli({"dump", "--size", "24", "--mode", "C", dir.file("s.ZMB")});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.err, "dotforge-cli: warning: " + dir.file("s.ZMB") + " holds no glyph at 24 dots\n");
    // Text chosen as .ZMB, binary bytes chosen as .ASM.
    writeFile(dir.file("t.ASM"), "\tDB\t0FFH,000H\r\n");
    const CliRun text = runCli({"convert", "--size", "16", "--from", "C", "--to", "C", "--format", "zmb",
        dir.file("t.ASM"), dir.file("out.ZMB")});
    EXPECT_EQ(text.status, 2);
    EXPECT_NE(text.err.find("a text file, no .ZMB file; nothing is read. Is --format right?"), std::string::npos)
        << text.err;
    const CliRun binary = runCli({"dump", "--size", "16", "--mode", "C", "--format", "asm", dir.file("s.ZMB")});
    EXPECT_EQ(binary.status, 2);
    EXPECT_NE(binary.err.find("line 1 holds the byte 01, which no text holds: no .ASM file"), std::string::npos)
        << binary.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.ZMB")));
}

TEST(CliUsage, HelpVersionAndBadArguments)
{
    CliRun run = runCli({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "dotforge-cli (Dotforge) 3.0\n");
    run = runCli({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Usage: dotforge-cli COMMAND"), std::string::npos);
    for (const char *command : {"build", "convert", "dump"}) {
        run = runCli({command, "--help"});
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_NE(run.out.find(std::string("Usage: dotforge-cli ") + command), std::string::npos);
    }

    // Help and version that cannot be written are no success.
    for (const char *args : {"--help", "--version", "build --help"}) {
        const std::string command = std::string("'") + DOTFORGE_CLI + "' " + args + " >/dev/full 2>/dev/null";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << args;
    }

    TempDir dir;
    writeFile(dir.file("a.ZMB"), kModeA);
    const std::string out = dir.file("out.ZMB");
    const std::vector<std::vector<std::string>> bad{
        {},
        {"frobnicate"},
        {"build", "-o", out}, // no characters
        {"build", "--text", "字"}, // no output
        {"build", "--text", "字", "--codes", "B0A1", "-o", out}, // two sources
        {"build", "--text", "字", "--size", "20", "-o", out},
        {"build", "--text", "字", "--mode", "E", "-o", out},
        {"build", "--text", "字", "--rotate", "45", "-o", out},
        {"build", "--text", "字", "--point-size", "29", "-o", out},
        {"build", "--text", "字", "--source", "font16s", "--size", "24", "-o", out},
        {"build", "--text", "字", "--variant", "1", "-o", out}, // variant of the TrueType source
        {"build", "--text", "字", "--font", "No Such Face", "-o", out},
        {"build", "--text", "字", "-o", dir.file("out.bin")}, // format unknown
        {"build", "--text", "字", "--name", "x", "-o", out}, // --name without C
        {"build", "--text", "字", "--name", "9x", "-o", dir.file("o.c")},
        {"build", "--codes", "B0A", "-o", out},
        {"build", "--text", "\xF0\x9F\x98\x80", "-o", out}, // no GBK code
        {"build", "--text", "字", "--bogus", "-o", out},
        {"convert", "--size", "16", "--from", "A", dir.file("a.ZMB"), out}, // no --to
        {"convert", "--size", "16", "--from", "A", "--to", "C", dir.file("a.ZMB")},
        {"convert", "--size", "16", "--from", "A", "--to", "C", dir.file("a.c"), out},
        {"dump", "--mode", "A", dir.file("a.ZMB")}, // no --size
        {"dump", "--size", "16", "--mode", "A"},
    };
    for (const auto &args : bad) {
        run = runCli(args);
        std::string line;
        for (const auto &a : args)
            line += a + " ";
        EXPECT_EQ(run.status, 1) << line << "\n" << run.err;
        EXPECT_TRUE(run.err.starts_with("dotforge-cli: ")) << line << "\n" << run.err;
        EXPECT_EQ(run.out, "") << line;
        EXPECT_FALSE(std::filesystem::exists(out)) << line;
    }
}

// Unreadable input and unwritable output: status 2, no file, no partial file,
// and an existing output file untouched.
TEST(CliUsage, InputOutputErrors)
{
    TempDir dir;
    writeFile(dir.file("a.ZMB"), kModeA);
    writeFile(dir.file("keep.ZMB"), "previous content");
    ASSERT_EQ(::mkfifo(dir.file("pipe.ZMB").c_str(), 0600), 0);
    std::filesystem::create_symlink("loop.ZMB", dir.file("loop.ZMB"));
    const std::string missingDir = dir.file("no/such/folder/x.ZMB");
    const TempDir fontDir;
    const std::string shortFont16s = fontDir.file("Font16s");
    writeFile(shortFont16s, readFile(font16sPath()).substr(0, 1411 * 32)); // up to B0A1, record 1410
    const std::vector<std::vector<std::string>> failing{
        {"build", "--text-file", dir.file("missing.txt"), "-o", dir.file("x.ZMB")},
        {"build", "--text", "字", "-o", missingDir},
        {"build", "--text", "字", "-o", dir.path().string(), "--format", "zmb"}, // a folder
        {"build", "--source", "font16s", "--font16s", dir.file("missing"), "--text", "字", "-o", dir.file("x.ZMB")},
        // B0A2 lies past the end of a short dot-matrix font: rendering fails
        // after a glyph was added, and the previous file stays.
        {"build", "--source", "font16s", "--font16s", shortFont16s, "--codes", "B0A1,B0A2", "-o", dir.file("keep.ZMB")},
        {"build", "--text", "字", "-o", dir.file("no/such/x.c")},
        {"convert", "--size", "16", "--from", "A", "--to", "C", dir.file("missing.ZMB"), dir.file("x.ZMB")},
        {"convert", "--size", "16", "--from", "A", "--to", "C", dir.file("a.ZMB"), missingDir},
        {"dump", "--size", "16", "--mode", "A", dir.file("missing.ZMB")},
        // A pipe that nothing reads would take the write for ever; a link to itself.
        {"build", "--text", "字", "-o", dir.file("pipe.ZMB")},
        {"build", "--text", "字", "-o", dir.file("loop.ZMB")},
    };
    for (const auto &args : failing) {
        const CliRun run = runCli(args);
        std::string line;
        for (const auto &a : args)
            line += a + " ";
        EXPECT_EQ(run.status, 2) << line << "\n" << run.err;
        EXPECT_TRUE(run.err.find("dotforge-cli: ") != std::string::npos) << run.err;
    }
    // A missing output folder is named as such, not as a missing file.
    for (const auto &args : {failing[1], failing[7]}) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.err,
            "dotforge-cli: cannot write " + missingDir + ": there is no folder " + dir.file("no/such/folder") + "\n");
    }
    // Each says what happened.
    const std::vector<std::pair<std::size_t, std::string>> said{
        {2, dir.path().string() + ": Is a directory"},
        {failing.size() - 2, dir.file("pipe.ZMB") + ": No process reads the pipe"},
        {failing.size() - 1, dir.file("loop.ZMB") + ": Too many levels of symbolic links"},
    };
    for (const auto &[row, text] : said)
        EXPECT_EQ(runCli(failing[row]).err, "dotforge-cli: cannot write " + text + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.ZMB")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));
    EXPECT_EQ(readFile(dir.file("keep.ZMB")), "previous content");
    // Nothing was left beside the outputs: only the files the test wrote.
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.ZMB", "keep.ZMB", "loop.ZMB", "pipe.ZMB"}));
}

// An output name that is a link keeps its place, also a link (or a chain of
// links) to a file not made yet; a name as long as the file system takes is
// written (its temporary's name is cut to fit, at a character); a pipe that a
// process reads, as /dev/stdout in a pipeline, gets the bytes.
TEST(CliFiles, OutputsBehindLinksWithLongNamesAndIntoPipes)
{
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directory(dir.file("real"));
    fs::create_symlink("real/made.ZMB", dir.file("link.ZMB"));
    fs::create_symlink(dir.file("link.ZMB"), dir.file("chain.ZMB"));
    fs::create_symlink("other.ZMB", dir.file("real/to-other.ZMB"));
    const std::string ascii = std::string(251, 'n') + ".ZMB";
    std::string chinese;
    for (int i = 0; i < 83; ++i)
        chinese += "\xE5\xAD\x97"; // 字
    chinese += ".ZMB";
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    const int reader = ::open(dir.file("pipe").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);

    const CliRun plain = runCli({"build", "--text", "字", "-o", dir.file("plain.ZMB")});
    ASSERT_EQ(plain.status, 0) << plain.err;
    const std::string bytes = readFile(dir.file("plain.ZMB"));
    ASSERT_EQ(bytes.size(), 34u);
    const std::vector<std::pair<std::string, std::string>> outputs{
        {dir.file("link.ZMB"), dir.file("real/made.ZMB")},
        {dir.file("chain.ZMB"), dir.file("real/made.ZMB")},
        {dir.file("real/to-other.ZMB"), dir.file("real/other.ZMB")},
        {dir.file(ascii), dir.file(ascii)},
        {dir.file(chinese), dir.file(chinese)},
    };
    for (const auto &[output, written] : outputs) {
        fs::remove(written);
        const CliRun run = runCli({"build", "--text", "字", "-o", output});
        EXPECT_EQ(run.status, 0) << output << "\n" << run.err;
        EXPECT_EQ(readFile(written), bytes) << output;
    }
    const CliRun piped = runCli({"build", "--text", "字", "--format", "zmb", "-o", dir.file("pipe")});
    EXPECT_EQ(piped.status, 0) << piped.err;
    std::string got(64, '\0');
    got.resize(std::size_t(std::max<ssize_t>(0, ::read(reader, got.data(), got.size()))));
    ::close(reader);
    EXPECT_EQ(got, bytes);

    for (const char *link : {"link.ZMB", "chain.ZMB", "real/to-other.ZMB"})
        EXPECT_TRUE(fs::is_symlink(dir.file(link))) << link;
    std::set<std::string> names;
    for (const auto &entry : fs::recursive_directory_iterator(dir.path()))
        names.insert(entry.path().lexically_relative(dir.path()).string());
    EXPECT_EQ(names,
        (std::set<std::string>{"real", "real/made.ZMB", "real/other.ZMB", "real/to-other.ZMB", "link.ZMB", "chain.ZMB",
            "plain.ZMB", "pipe", ascii, chinese}));
}

// A file-size limit set by the shell (ulimit -f) makes the write fail: the tool
// says "File too large" (the disk is not full) and leaves the previous output,
// instead of dying of SIGXFSZ. The child starts with the signal's default
// action, as a login shell gives it.
TEST(CliFiles, FileSizeLimitIsAFileTooLargeError)
{
    TempDir dir;
    std::string in;
    for (int g = 0; g < 3; ++g)
        in += std::string(128, char(0x11 * (g + 1)));
    in += "\xB0\xA1\xB0\xA2\xB0\xA3";
    writeFile(dir.file("in.ZMB"), in);
    writeFile(dir.file("out.ZMB"), "previous content");
    const std::string errPath = dir.file("stderr");

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{200, 200};
        setrlimit(RLIMIT_FSIZE, &limit);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(err, 2);
        const std::string input = dir.file("in.ZMB");
        const std::string output = dir.file("out.ZMB");
        execl(DOTFORGE_CLI, DOTFORGE_CLI, "convert", "--size", "32", "--from", "A", "--to", "C", input.c_str(),
            output.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int wstatus = 0;
    ASSERT_EQ(waitpid(pid, &wstatus, 0), pid);
    ASSERT_FALSE(WIFSIGNALED(wstatus)) << "killed by signal " << WTERMSIG(wstatus);
    EXPECT_EQ(WEXITSTATUS(wstatus), 2);
    EXPECT_NE(readFile(errPath).find(": File too large\n"), std::string::npos) << readFile(errPath);
    EXPECT_EQ(readFile(dir.file("out.ZMB")), "previous content");
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"in.ZMB", "out.ZMB", "stderr"}));
}

} // namespace

// Without --font16s the dot-matrix font is looked for in the working folder,
// then as dotforge/Font16s under $XDG_DATA_HOME and each folder of
// $XDG_DATA_DIRS. Found there, a build gives the bytes of --font16s naming the
// file it found (C output records that path); found nowhere, the message names
// every place.
TEST(CliFiles, Font16sIsLookedForInTheWorkingAndDataFolders)
{
    TempDir dir;
    for (const char *folder : {"empty", "home", "work", "shared/dotforge", "found", "given"})
        std::filesystem::create_directories(dir.path() / folder);
    const std::string installed = dir.file("shared/dotforge/Font16s");
    std::filesystem::copy_file(font16sPath(), installed);
    std::filesystem::create_symlink(font16sPath(), dir.file("work/Font16s"));
    const std::string home = "HOME=" + dir.file("home");
    const std::string none = dir.file("none");
    struct Row {
        const char *what;
        std::vector<std::string> env;
        std::string folder;
        std::string found;
    };
    const Row rows[] = {
        {"second of XDG_DATA_DIRS", {home, "XDG_DATA_HOME=", "XDG_DATA_DIRS=" + none + ":" + dir.file("shared")},
            dir.file("empty"), installed},
        {"XDG_DATA_HOME", {home, "XDG_DATA_HOME=" + dir.file("shared"), "XDG_DATA_DIRS=" + none}, dir.file("empty"),
            installed},
        {"working folder first", {home, "XDG_DATA_DIRS=" + dir.file("shared")}, dir.file("work"), "Font16s"},
    };
    for (const Row &row : rows) {
        for (const char *type : {"ZMB", "c"}) {
            SCOPED_TRACE(std::string(row.what) + " " + type);
            const std::string found = dir.file(std::string("found/font.") + type);
            const std::string given = dir.file(std::string("given/font.") + type);
            const CliEnvironment env{{}, row.env, std::nullopt, row.folder};
            std::vector<std::string> args{
                "build", "--source", "font16s", "--variant", "1", "--text", "汉字", "-o", found};
            const CliRun run = runCli(args, env);
            ASSERT_EQ(run.status, 0) << run.err;
            args.back() = given;
            args.insert(args.begin() + 1, {"--font16s", row.found});
            ASSERT_EQ(runCli(args, env).status, 0);
            EXPECT_EQ(readFile(found), readFile(given));
            if (type == std::string("c")) {
                EXPECT_NE(readFile(found).find("--font16s " + row.found + " "), std::string::npos);
            }
        }
    }
    const CliRun run = runCli({"build", "--source", "font16s", "--text", "字", "-o", dir.file("x.ZMB")},
        CliEnvironment{{"XDG_DATA_HOME"}, {home, "XDG_DATA_DIRS=" + none + "/"}, std::nullopt, dir.file("empty")});
    // Last, the share/dotforge of the installation the tool runs from: here
    // the build folder's, which has none.
    const std::string own
        = (std::filesystem::canonical(DOTFORGE_CLI).parent_path().parent_path() / "share/dotforge/Font16s").string();
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
        "dotforge-cli: cannot open Font16s: not found at ./Font16s, " + dir.file("home")
            + "/.local/share/dotforge/Font16s, " + none + "/dotforge/Font16s or " + own
            + " (--font16s PATH names it)\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.ZMB")));
}
