#pragma once
// The options the commands share, with one reading and one set of words each:
// the dot size, the byte layout mode, the default effects (--rotate, --flip,
// --swap) and --profile, and the text that names a layout back.

#include "cli/arguments.h"
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

// The block of --help that lists the controller layouts.
std::string profilesHelp();

} // namespace dotforge::cli
