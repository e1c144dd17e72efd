// The command table of dotforge-cli and the tool's own help.

#include "cli/command.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace dotforge::cli {

namespace {

// In the order of the tool's help.
const Command *const kCommands[]
    = {&kBuildCommand, &kCollectCommand, &kConvertCommand, &kDumpCommand, &kFindLayoutCommand, &kProofCommand};

const char *const kHelpStart = R"(Usage: dotforge-cli COMMAND [OPTION]...
Build, convert and show dot-matrix font libraries (.ZMB, .ASM, C source)
without a window, from a few phrases to whole character sets.

Commands:
)";

const char *const kHelpEnd = R"(
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

} // namespace

std::span<const Command *const> commands()
{
    return kCommands;
}

std::string toolHelp()
{
    constexpr std::size_t kNameWidth = 9;
    const std::string indent(2 + kNameWidth + 2, ' ');
    std::string out = kHelpStart;
    for (const Command *command : commands()) {
        const std::string name = command->name;
        out += "  " + name + std::string(kNameWidth - std::min(kNameWidth, name.size()), ' ') + "  ";
        for (const char *c = command->summary; *c; ++c)
            out += *c == '\n' ? "\n" + indent : std::string(1, *c);
        out += '\n';
    }
    return out + kHelpEnd;
}

} // namespace dotforge::cli
