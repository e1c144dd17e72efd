// dotforge-cli at its edges: any environment, inputs that are no files or
// streams, codes that are no characters, the encodings of a text file, and what
// a killed run leaves behind.

#include "tests/cli/cli_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace dotforge::test;
namespace fs = std::filesystem;

namespace {

// 汉字 in GBK, as the .ZMB code bytes of two glyphs.
const std::string kHanZi = "\xBA\xBA\xD7\xD6";

// The codes of a 16-dot .ZMB file (two bytes behind the glyphs).
std::string zmbCodes(const std::string &zmb)
{
    const std::size_t count = zmb.size() / 34;
    return zmb.substr(count * 32);
}

// The tool never shows anything: a display platform named in the environment
// without its display must not abort it.
TEST(CliEdges, AnyPlatformInTheEnvironment)
{
    for (const char *platform : {"xcb", "wayland", "offscreen", "nonsense"}) {
        TempDir dir;
        const CliRun run = runCli({"build", "--text", "汉字", "-o", dir.file("x.ZMB")},
            CliEnvironment{{"DISPLAY", "WAYLAND_DISPLAY"}, {std::string("QT_QPA_PLATFORM=") + platform}, {}});
        EXPECT_EQ(run.status, 0) << platform << "\n" << run.err;
        EXPECT_EQ(run.err, "") << platform;
        EXPECT_EQ(zmbCodes(readFile(dir.file("x.ZMB"))), kHanZi) << platform;
    }
}

// Standard input is read to its end, whatever names it; the first line counts.
TEST(CliEdges, TextFromStandardInput)
{
    for (const char *name : {"-", "/dev/stdin", "/dev/fd/0"}) {
        TempDir dir;
        const CliRun run = runCli({"build", "--text-file", name, "-o", dir.file("x.ZMB")},
            CliEnvironment{{}, {}, "汉字\n点阵\n" + std::string(40'000, 'x')});
        EXPECT_EQ(run.status, 0) << name << "\n" << run.err;
        const std::string shown = name == std::string("-") ? "standard input" : name;
        EXPECT_EQ(run.err, "dotforge-cli: warning: " + shown + ": only its first line is imported, as in the window\n");
        EXPECT_EQ(zmbCodes(readFile(dir.file("x.ZMB"))), kHanZi) << name;
    }
}

// A pipe, a device or a socket where a file belongs is refused at once (the
// test holds the pipe's writer, so that no version can wait here for ever).
TEST(CliEdges, InputsThatAreNoFiles)
{
    TempDir dir;
    const std::string pipe = dir.file("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int writer = ::open(pipe.c_str(), O_RDWR | O_CLOEXEC);
    fs::create_symlink(pipe, dir.file("pipe.ZMB"));
    fs::create_symlink("/dev/zero", dir.file("zero.ZMB"));
    const std::string out = dir.file("x.ZMB");
    const std::string noFile = ": not a regular file (a device, pipe or socket)\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"build", "--text-file", pipe, "-o", out}, "cannot read " + pipe},
        {{"build", "--source", "font16s", "--font16s", pipe, "--text", "字", "-o", out}, "cannot open " + pipe},
        {{"build", "--source", "font16s", "--font16s", "/dev/zero", "--text", "字", "-o", out},
            "cannot open /dev/zero"},
        {{"dump", "--size", "16", "--mode", "A", dir.file("pipe.ZMB")}, "cannot read " + dir.file("pipe.ZMB")},
        {{"dump", "--size", "16", "--mode", "A", dir.file("zero.ZMB")}, "cannot read " + dir.file("zero.ZMB")},
        {{"convert", "--size", "16", "--from", "A", "--to", "C", dir.file("pipe.ZMB"), out},
            "cannot read " + dir.file("pipe.ZMB")},
    };
    for (const auto &[args, doing] : cases) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 2) << doing;
        EXPECT_EQ(run.err, "dotforge-cli: " + doing + noFile);
        EXPECT_EQ(run.out, "");
    }
    ::close(writer);
    EXPECT_FALSE(fs::exists(out));
}

// With the dot-matrix source a code outside the chosen variant would take
// another variant's glyph or lie before the start of the file: it is refused,
// named with the variant's range. The variant's first and last codes are fine.
TEST(CliEdges, Font16sCodesOutsideTheVariantAreRefused)
{
    TempDir dir;
    writeFile(dir.file("ab.txt"), "AB");
    const std::string out = dir.file("x.ZMB");
    const std::string noCode = " is no code of variant ";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message; // the last line of stderr but "Try ..."
    };
    const std::vector<Case> cases{
        // A code is named by the variant's own set: GB/T 12345 has no 8140,
        // and F4A1 is 堯 in JIS X 0208 (簟 in GB2312).
        {{"--variant", "1", "--codes", "8140"}, 1,
            "--codes: 8140" + noCode
                + "1 (traditional Chinese) of the dot-matrix font: its codes run from A1A1 to "
                  "FAA2, both bytes A1 to FE"},
        {{"--codes", "B0A1,8140"}, 1,
            "--codes: 8140 丂" + noCode
                + "0 (simplified Chinese) of the dot-matrix font: its codes run from A1A1 to "
                  "F9FB, both bytes A1 to FE"},
        {{"--codes", "F9FC"}, 1, "--codes: F9FC" + noCode + "0 (simplified Chinese)"},
        {{"--codes", "A1FF"}, 1, "--codes: A1FF" + noCode + "0 (simplified Chinese)"},
        {{"--variant", "3", "--codes", "FEFE"}, 1,
            "--codes: FEFE" + noCode + "3 (Korean) of the dot-matrix font: its codes run from A1A1 to FDFE"},
        {{"--variant", "2", "--charset", "gb2312"}, 1,
            "--charset gb2312: F4A1 堯" + noCode
                + "2 (Japanese) of the dot-matrix font: its codes run from A1A1 to "
                  "F3FE, both bytes A1 to FE (--charset all takes the variant's own codes)"},
        {{"--text", "字AB"}, 1, "--text: 4142 AB" + noCode + "0 (simplified Chinese)"},
        {{"--text-file", dir.file("ab.txt")}, 2,
            dir.file("ab.txt") + ": 4142 AB" + noCode
                + "0 (simplified Chinese) of the dot-matrix font: its codes run "
                  "from A1A1 to F9FB, both bytes A1 to FE; nothing is imported"},
        {{"--variant", "1", "--codes", "A1A1,FAA2"}, 0, ""},
        {{"--variant", "3", "--codes", "FDFE"}, 0, ""},
    };
    for (const Case &c : cases) {
        std::vector<std::string> args{"build", "--source", "font16s", "--font16s", font16sPath(), "-o", out};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, c.status) << c.message << "\n" << run.err;
        if (c.status == 0) {
            fs::remove(out);
            continue;
        }
        EXPECT_NE(run.err.find("dotforge-cli: " + c.message), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(out)) << c.message;
    }
}

// Control bytes are no characters, and a line end in a code would split the
// comment of its .ASM line; ';' and a space are fine and read back.
TEST(CliEdges, CodesWithControlBytesAreRefused)
{
    TempDir dir;
    for (const char *codes : {"0D0A", "B0A1,B00A,B0A2", "0941", "7FA1", "B01F", "0000"}) {
        const CliRun run = runCli({"build", "--codes", codes, "-o", dir.file("x.ASM")});
        EXPECT_EQ(run.status, 1) << codes;
        EXPECT_NE(run.err.find("control bytes"), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(dir.file("x.ASM"))) << codes;
    }
    CliRun run = runCli({"build", "--codes", "B0A1,3B3B,20A1,B07E", "-o", dir.file("x.ASM")});
    ASSERT_EQ(run.status, 0) << run.err;
    run = runCli({"dump", "--size", "16", "--mode", "A", dir.file("x.ASM")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 4 * 17 + 3);
    EXPECT_NE(run.out.find("\n3B3B\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\n20A1\n"), std::string::npos) << run.out;

    // convert takes the codes of a library file: the same codes are refused,
    // naming the glyph, by the check of every .ZMB file opened (which the
    // window shares) or, for a tab, by convert's own. Zero bytes at the end of
    // a code are the .ZMB file's padding of a short or missing one.
    const std::string blank(32, '\0');
    for (const char *code : {"\x0A\x41", "\x0D\x0A", "\x09\x41", "\x7F\xA1", "\xB0\x1F", "\x00\x41"}) {
        const std::string hex = [code] {
            char text[5];
            std::snprintf(text, sizeof text, "%02X%02X", unsigned(static_cast<unsigned char>(code[0])),
                unsigned(static_cast<unsigned char>(code[1])));
            return std::string(text);
        }();
        writeFile(dir.file("in.ZMB"), blank + blank + "\xB0\xA1" + std::string(code, 2));
        run = runCli({"convert", "--size", "16", "--from", "A", "--to", "A", dir.file("in.ZMB"), dir.file("c.ASM")});
        EXPECT_EQ(run.status, 2) << hex;
        const std::string spaced = hex.substr(0, 2) + " " + hex.substr(2);
        EXPECT_TRUE(run.err
                == "dotforge-cli: cannot convert " + dir.file("in.ZMB") + ": glyph 1 (counted from 0) has the code "
                    + hex + ", and control bytes (00 to 1F, 7F) are no characters\n"
            || run.err
                == "dotforge-cli: " + dir.file("in.ZMB") + ": the code of glyph 2 is " + spaced
                    + ", no character code: no .ZMB file of 16-dot glyphs; nothing is read. Is --size right?\n")
            << run.err;
        EXPECT_FALSE(fs::exists(dir.file("c.ASM"))) << hex;
    }
    for (const std::string &code : {std::string("\x41\x00", 2), std::string(2, '\0')}) {
        writeFile(dir.file("in.ZMB"), blank + code);
        run = runCli({"convert", "--size", "16", "--from", "A", "--to", "A", dir.file("in.ZMB"), dir.file("c.ASM")});
        EXPECT_EQ(run.status, 0) << run.err;
    }
}

// The warning about single-byte characters names only real ones: 東 is 96 7C
// in GBK, a double-byte character whose second byte is below 0x80.
TEST(CliEdges, SingleByteWarningOnlyForSingleByteCharacters)
{
    TempDir dir;
    const std::string warning = "the text holds single-byte characters";
    const std::vector<std::pair<std::string, bool>> cases{
        {"\x96\x7C\xBE\xA9", false}, // 東京
        {"\xD7\x40\x96\x7C", false}, // two GBK characters with trail bytes 40 and 7C
        {"a\x96\x7C", true}, {"\x96\x7C ", true},
        {"\x96\x20\xBE\xA9", true}, // a lead byte before a space: two single bytes
    };
    for (const auto &[text, warns] : cases) {
        writeFile(dir.file("t.txt"), text);
        const CliRun run = runCli({"build", "--text-file", dir.file("t.txt"), "-o", dir.file("x.ZMB")});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err.find(warning) != std::string::npos, warns) << run.err;
    }
}

// The batch tool reads text files as the window does: GBK that is also two-byte
// UTF-8 stays GBK, UTF-16 with its byte-order mark is converted.
TEST(CliEdges, EncodingsOfATextFile)
{
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> cases{
        {"\xC3\xA8\xC2\xB7", "\xC3\xA8\xC2\xB7"}, // 猫路 in GBK
        {std::string("\xFF\xFE\x49\x6C\x57\x5B\r\0\n\0", 10), kHanZi}, // 汉字 UTF-16LE
        {std::string("\xFE\xFF\x6C\x49\x5B\x57", 6), kHanZi}, // 汉字 UTF-16BE
    };
    for (const auto &[text, codes] : cases) {
        writeFile(dir.file("t.txt"), text);
        const CliRun run = runCli({"build", "--text-file", dir.file("t.txt"), "-o", dir.file("x.ZMB")});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(zmbCodes(readFile(dir.file("x.ZMB"))), codes);
    }
}

// A --text argument comes from the shell in UTF-8, two-byte characters
// included; bytes that are no UTF-8 are GBK.
TEST(CliEdges, EncodingsOfATextArgument)
{
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> cases{
        {"\xC3\xA9\xCE\xB1", "\xA8\xA6\xA6\xC1"}, // éα in UTF-8: their GBK codes
        {"\xB0\xA1", "\xB0\xA1"}, // 啊 in GBK, no UTF-8
    };
    for (const auto &[text, codes] : cases) {
        const CliRun run = runCli({"build", "--text", text, "-o", dir.file("x.ZMB")});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(zmbCodes(readFile(dir.file("x.ZMB"))), codes);
    }
}

// A run killed during its save leaves TARGET.~PID-N beside the target: a later
// run removes those that no writer holds locked, whatever process id they
// carry, keeps a locked one (a live writer, maybe in another container with
// ids of its own), and leaves nothing itself, in the target's folder or in
// TMPDIR (the library is built in memory).
TEST(CliEdges, WhatKilledRunsLeftIsRemoved)
{
    const std::string dead = std::to_string(goneProcessId());
    const std::string alive = std::to_string(::getpid());

    TempDir out, temp;
    const std::string live = "x.ZMB.~" + dead + "-1";
    for (const std::string &name : {"x.ZMB.~" + dead + "-0", live, "x.ZMB.~" + alive + "-0"})
        writeFile(out.file(name), "partial");
    const LockedByAnotherProcess writer(out.file(live));
    const CliRun run = runCli({"build", "--text", "汉字", "-o", out.file("x.ZMB")},
        CliEnvironment{{}, {"TMPDIR=" + temp.path().string()}, {}});
    ASSERT_EQ(run.status, 0) << run.err;

    auto names = [](const fs::path &folder) {
        std::set<std::string> found;
        for (const auto &entry : fs::directory_iterator(folder))
            found.insert(entry.path().filename().string());
        return found;
    };
    EXPECT_EQ(names(out.path()), (std::set<std::string>{"x.ZMB", live}));
    EXPECT_EQ(names(temp.path()), std::set<std::string>{});
    EXPECT_EQ(readFile(out.file(live)), "partial");
}

} // namespace
