// dotforge-cli: font libraries built, converted and shown from scripts, with the
// window's own rasteriser, readers, transforms, layouts and writers.

#include "cli/arguments.h"
#include "cli/batch_build.h"
#include "cli/collect.h"
#include "cli/convert_dump.h"
#include "cli/find_layout.h"
#include "cli/layouts.h"
#include "cli/proof.h"

#include <csignal>
#include <iostream>

using namespace dotforge::cli;

namespace {

const char *const kHelp = R"(Usage: dotforge-cli COMMAND [OPTION]...
Build, convert and show dot-matrix font libraries (.ZMB, .ASM, C source)
without a window, from a few phrases to whole character sets.

Commands:
  build      render characters into a new library file of any size, as the
             window would; whole sets with --charset gb2312, gb2312-hanzi, gbk
  collect    gather the characters a product shows from its sources, check them
             against GB2312 or GBK and write them as one line for build
  convert    re-lay a .ZMB or .ASM library for another byte layout mode
  dump       print the glyphs of a library as rows of '#' and '.'
  find-layout  find the mode and effects that give the bytes a controller
             or an existing font holds for a glyph
  proof      draw a proof sheet (PDF or PNG) of a library as a display shows it

Run 'dotforge-cli COMMAND --help' for the options of a command. build,
convert, dump and proof take --profile NAME, a named controller layout
(rows-msb, pages-lsb, columns-msb ...); their help lists the controllers.

  -h, --help     display this help and exit
      --version  output version information and exit

Exit status: 0 on success, 1 on bad usage (and for 'build --check' a file
that differs, for 'collect --strict' a character outside the set), 2 when an
input or output file cannot be read or written; an output file is then left
as it was.
)";

// Where a usage error points to: the command's own help once it is known.
std::string helpCommand = std::string(kProgram) + " --help";

int dispatch(const std::vector<std::string> &words)
{
    if (words.empty())
        throw UsageError("missing command");
    const std::string &command = words.front();
    if (command == "--help" || command == "-h") {
        std::cout << kHelp;
        return kExitOk;
    }
    if (command == "--version") {
        std::cout << kToolName << '\n';
        return kExitOk;
    }
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    if (command == "build" || command == "collect" || command == "convert" || command == "dump"
        || command == "find-layout" || command == "proof")
        helpCommand = std::string(kProgram) + " " + command + " --help";
    if (command == "build") {
        const Arguments arguments(rest, kBuildOptions);
        if (arguments.has("help")) {
            std::cout << kBuildHelp << profilesHelp();
            return kExitOk;
        }
        return runBuild(buildOptions(arguments));
    }
    if (command == "collect") {
        const Arguments arguments(rest, kCollectOptions);
        if (arguments.has("help")) {
            std::cout << kCollectHelp;
            return kExitOk;
        }
        return runCollect(arguments);
    }
    if (command == "convert") {
        const Arguments arguments(rest, kConvertOptions);
        if (arguments.has("help")) {
            std::cout << kConvertHelp << profilesHelp();
            return kExitOk;
        }
        return runConvert(arguments);
    }
    if (command == "dump") {
        const Arguments arguments(rest, kDumpOptions);
        if (arguments.has("help")) {
            std::cout << kDumpHelp << profilesHelp();
            return kExitOk;
        }
        return runDump(arguments);
    }
    if (command == "find-layout") {
        const Arguments arguments(rest, kFindLayoutOptions);
        if (arguments.has("help")) {
            std::cout << kFindLayoutHelp << profilesHelp();
            return kExitOk;
        }
        return runFindLayout(arguments, [](const std::vector<std::string> &buildWords) {
            return runBuild(buildOptions(Arguments(buildWords, kBuildOptions)));
        });
    }
    if (command == "proof") {
        const Arguments arguments(rest, kProofOptions);
        if (arguments.has("help")) {
            std::cout << kProofHelp << profilesHelp();
            return kExitOk;
        }
        return runProof(arguments);
    }
    if (command.starts_with("-"))
        throw UsageError("unrecognized option '" + command + "'");
    throw UsageError("unknown command '" + command + "'");
}

} // namespace

int main(int argc, char **argv)
{
    // A write beyond the file-size limit then fails like any short write ("Disk
    // full") instead of killing the program half-way through a save.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        const int status = dispatch(std::vector<std::string>(argv + 1, argv + argc));
        // Help, version or a dump that did not reach its reader is no success.
        if (status == kExitOk && !std::cout.flush()) {
            error("cannot write to standard output");
            return kExitIo;
        }
        return status;
    } catch (const UsageError &e) {
        error(e.what());
        std::cerr << "Try '" << helpCommand << "' for more information.\n";
        return kExitUsage;
    } catch (const std::exception &e) {
        error(e.what());
        return kExitIo;
    }
}
