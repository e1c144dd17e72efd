// `dotforge-cli dump`: the glyphs of a library file as text.

#include "cli/command.h"

#include "cli/errors.h"
#include "cli/exit_status.h"
#include "cli/glyph_text.h"
#include "cli/library_files.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "core/gbk.h"
#include "core/io_error.h"
#include "formats/bdf.h"
#include "formats/file_io.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace dotforge::cli {

namespace {

const std::vector<OptionSpec> kDumpOptions = [] {
    std::vector<OptionSpec> options = libraryLayoutSpecs();
    options.insert(options.end(),
        {
            formatSpec("format", false),
            namingSetSpec(),
            variantSpec(),
            {"help", false, 'h'},
        });
    return options;
}();

const char *const kDumpHelp = R"(Usage: dotforge-cli dump --size N --mode MODE|--profile NAME [OPTION]... FILE
Print each glyph of a .ZMB or .ASM font library as rows of '#' (ink) and '.'
under a line with its code in hexadecimal and its character, every glyph of
the file. With default effects or a profile, each
glyph is shown as the display reading the file in that layout shows it: a
library built with the same options shows upright.

)" DOTFORGE_LIBRARY_LAYOUT_HELP R"(      --format zmb|asm         format of FILE (default from its extension)
)" DOTFORGE_NAMING_HELP R"(  -h, --help                   display this help and exit
)";

int runDump(const Arguments &a)
{
    const int n = dotSizeOption(a, std::nullopt);
    const Layout layout = layoutOption(a, "mode", std::nullopt);
    const CodeNaming naming = namingOption(a);
    const std::string &path = a.positionals(1, "give the file to dump")[0];
    const FileFormat format = chooseFormat(a.value("format"), path, "format", false);
    try {
        const LibraryFile file(path, format, n);
        if (file.count() == 0)
            warn(path + " holds no glyph at " + std::to_string(n) + " dots");
        for (std::size_t from = 0; from < file.count(); from += kGlyphRun) {
            const LibraryContent run = file.glyphs(from, std::min(file.count(), from + kGlyphRun));
            // An empty line between two glyphs, also between two runs.
            if (from > 0)
                std::cout << '\n';
            std::cout << dumpText(run, n, layout.mode, layout.effects, naming);
            if (!std::cout)
                break;
        }
        if (!std::cout.flush()) {
            error("cannot write to standard output");
            return kExitIo;
        }
        return kExitOk;
    } catch (const IoError &e) {
        error("cannot read " + path + ": " + ioErrorText(e));
    }
    return kExitIo;
}

} // namespace

const Command kDumpCommand{"dump", "print the glyphs of a library as rows of '#' and '.'", kDumpOptions, kDumpHelp,
    true, runDump, {kLibraryFiles}};

} // namespace dotforge::cli
