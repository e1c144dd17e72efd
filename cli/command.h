#pragma once
// A command of the batch tool as the program's one loop runs it: found by its
// name, its options read, its help shown on --help, else run.

#include "cli/arguments.h"

#include <span>
#include <string>
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
    // The files the shell offers for each operand, as OptionSpec::files; the
    // last entry stands for any further operands. Empty: no operands.
    std::vector<std::vector<std::string>> operands = {};
};

// Each defined in the file of its name under cli/commands/.
extern const Command kBuildCommand;
extern const Command kCollectCommand;
extern const Command kConvertCommand;
extern const Command kDumpCommand;
extern const Command kFindLayoutCommand;
extern const Command kProofCommand;

// The command table, in the order of the tool's help.
std::span<const Command *const> commands();
// "dotforge-cli --help": every command with its summary, the tool's own
// options and its exit statuses.
std::string toolHelp();

// File name extensions the commands' options and operands take (case is
// ignored): library files as they are read, and as build and convert write them.
inline const std::vector<std::string> kLibraryFiles{"zmb", "asm"};
inline const std::vector<std::string> kLibraryOutputs{"zmb", "asm", "c", "h", "bdf", "bin"};
inline const std::vector<std::string> kAnyFile{""};

} // namespace dotforge::cli
