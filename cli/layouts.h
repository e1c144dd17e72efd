#pragma once
// The byte layout of a command line: --profile NAME, or --mode with the default
// effects (--rotate, --flip, --swap), and the text that names a layout back.

#include "cli/arguments.h"
#include "formats/profiles.h"

#include <optional>
#include <string>

namespace dotforge::cli {

// The layout of --profile, or of the mode option `modeName` with the effects.
// A profile with a mode or an effect option that says otherwise is a UsageError;
// so is a missing mode without a profile when there is no fallback.
Layout layoutOption(const Arguments &arguments, const std::string &modeName, std::optional<Mode> fallback);

// Ready-to-paste options: "--mode B --rotate 90 --flip v" (defaults left out).
std::string layoutOptions(const Layout &layout);

// The block of --help that lists the controller layouts.
std::string profilesHelp();

} // namespace dotforge::cli
