#pragma once
// `dotforge-cli convert` and `dotforge-cli dump`: library files read and written
// with the readers, writers and layouts of formats/, no workspace needed.

#include "cli/arguments.h"

#include <vector>

namespace dotforge::cli {

extern const std::vector<OptionSpec> kConvertOptions;
extern const char *const kConvertHelp;
extern const std::vector<OptionSpec> kDumpOptions;
extern const char *const kDumpHelp;

// Each returns the exit status; bad arguments raise UsageError.
int runConvert(const Arguments &arguments);
int runDump(const Arguments &arguments);

} // namespace dotforge::cli
