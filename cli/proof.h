#pragma once
// `dotforge-cli proof`: a proof sheet of a library drawn with cairo, every glyph
// enlarged as a display reading the file in the given layout shows it.

#include "cli/arguments.h"

#include <vector>

namespace dotforge::cli {

extern const std::vector<OptionSpec> kProofOptions;
extern const char *const kProofHelp;

// Returns the exit status; bad arguments raise UsageError.
int runProof(const Arguments &arguments);

} // namespace dotforge::cli
