#pragma once
// A command of the batch tool as the program's one loop runs it: found by its
// name, its options read, its help shown on --help, else run.

#include "cli/arguments.h"

#include <vector>

namespace dotforge::cli {

struct Command {
    const char *name;
    // Its entry in "dotforge-cli --help": lines after the first begin with "\n"
    // and are indented under the first.
    const char *summary;
    std::vector<OptionSpec> options; // every one with "help" among them
    const char *help; // what "COMMAND --help" prints
    bool listsProfiles; // the help goes on with the controller layouts
    // The exit status; bad arguments raise UsageError, messages go to stderr.
    int (*run)(const Arguments &arguments);
};

// Each defined in the file of its name under cli/commands/.
extern const Command kBuildCommand;
extern const Command kCollectCommand;
extern const Command kConvertCommand;
extern const Command kDumpCommand;
extern const Command kFindLayoutCommand;
extern const Command kProofCommand;

} // namespace dotforge::cli
