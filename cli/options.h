#pragma once
// The options the commands share, with one reading and one set of words each:
// the dot size, the byte layout mode, the default effects (--rotate, --flip,
// --swap) and --profile, and the text that names a layout back.

#include "cli/arguments.h"
#include "core/charsets.h"
#include "formats/profiles.h"

#include <optional>
#include <string>

namespace dotforge::cli {

// --size 16|24|32; `fallback` when absent, UsageError "missing --size" when
// absent without a fallback.
int dotSizeOption(const Arguments &arguments, std::optional<int> fallback);

// The byte layout mode of an option ("A" to "D", either case); `fallback` when
// absent, UsageError when absent without a fallback.
Mode modeOption(const Arguments &arguments, const std::string &name, std::optional<Mode> fallback = std::nullopt);
// --rotate 0|90|180|270 (left turns), --flip none|h|v, --swap none|lr|ud.
Effects effectsOption(const Arguments &arguments);

// The word of each effect value, as the options take it: "90", "h", "lr".
const char *rotationWord(Rotation rotation);
const char *flipWord(Flip flip);
const char *swapWord(Swap swap);

// The layout of --profile, or of the mode option `modeName` with the effects.
// A profile with a mode or an effect option that says otherwise is a UsageError;
// so is a missing mode without a profile when there is no fallback.
Layout layoutOption(const Arguments &arguments, const std::string &modeName, std::optional<Mode> fallback);

// Ready-to-paste options: "--mode B --rotate 90 --flip v" (defaults left out).
std::string layoutOptions(const Layout &layout);

// How a library file's codes are named, for the commands that read one: --set
// gb2312|gbk|gbt12345|jisx0208|ksx1001 (default gbk), or --variant 0|1|2|3 for
// a library of the dot-matrix font's variant, numbered as it numbers them.
CodeNaming namingOption(const Arguments &arguments);
// Their lines of --help, a literal to join to a command's help text.
#define DOTFORGE_NAMING_HELP                                                                                           \
    "      --set SET                the character set the codes name characters of:\n"                                 \
    "                                 gb2312, gbk (default), gbt12345, jisx0208,\n"                                    \
    "                                 ksx1001\n"                                                                       \
    "      --variant 0|1|2|3        the codes of a library of the dot-matrix font's\n"                                 \
    "                                 variant, named by its set (3: rows from 16 on\n"                                 \
    "                                 three lower, as the Korean variant numbers them)\n"

// The block of --help that lists the controller layouts.
std::string profilesHelp();

// The command table's entries of the options above, with the words that the
// readings above take, for the shell to offer: --size, a mode option (--mode,
// --from, --to), --profile, the effects, --set and --variant of namingOption.
OptionSpec sizeSpec();
OptionSpec modeSpec(const std::string &name);
OptionSpec profileSpec();
OptionSpec rotateSpec();
OptionSpec flipSpec();
OptionSpec swapSpec();
OptionSpec namingSetSpec();
OptionSpec variantSpec();

// The options of a command that reads a library in the layout it was written
// in (dump, proof): --size, --mode, --profile and the effects; and their lines
// of --help, a literal to join to the command's help text.
std::vector<OptionSpec> libraryLayoutSpecs();
#define DOTFORGE_LIBRARY_LAYOUT_HELP                                                                                   \
    "      --size 16|24|32          dot size of the library (required)\n"                                              \
    "      --mode A|B|C|D           byte layout mode it was written in (required\n"                                    \
    "                                 without --profile)\n"                                                            \
    "      --rotate, --flip, --swap the default effects it was written with, undone\n"                                 \
    "                                 (values as for build)\n"                                                         \
    "      --profile NAME           the controller layout it was written in\n"

} // namespace dotforge::cli
