// dotforge-cli: font libraries built, converted and shown from scripts, with the
// window's own rasteriser, readers, transforms, layouts and writers.

#include "cli/arguments.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/tool_name.h"

#include <algorithm>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

using namespace dotforge::cli;

namespace {

// Runs what the words ask. `usageHint` is where a usage error points to: the
// command's own help once it is known.
int run(const std::vector<std::string> &words, std::string &usageHint)
{
    if (words.empty())
        throw UsageError("missing command");
    const std::string &name = words.front();
    if (name == "--help" || name == "-h") {
        std::cout << toolHelp();
        return kExitOk;
    }
    if (name == "--version") {
        std::cout << kToolName << '\n';
        return kExitOk;
    }
    const auto table = commands();
    const auto found = std::find_if(table.begin(), table.end(), [&name](const Command *c) { return name == c->name; });
    if (found == table.end()) {
        if (name.starts_with("-"))
            throw UsageError("unrecognized option '" + name + "'");
        throw UsageError("unknown command '" + name + "'");
    }
    const Command &command = **found;
    usageHint = std::string(kProgram) + " " + name + " --help";
    const Arguments arguments(std::vector<std::string>(words.begin() + 1, words.end()), command.options);
    if (arguments.has("help")) {
        std::cout << command.help << (command.listsProfiles ? profilesHelp() : std::string());
        return kExitOk;
    }
    return command.run(arguments);
}

} // namespace

int main(int argc, char **argv)
{
    // A write beyond the file-size limit then fails like any short write ("Disk
    // full") instead of killing the program half-way through a save.
    std::signal(SIGXFSZ, SIG_IGN);
    std::string usageHint = std::string(kProgram) + " --help";
    try {
        const int status = run(std::vector<std::string>(argv + 1, argv + argc), usageHint);
        // Help, version or a dump that did not reach its reader is no success.
        if (status == kExitOk && !std::cout.flush()) {
            error("cannot write to standard output");
            return kExitIo;
        }
        return status;
    } catch (const UsageError &e) {
        error(e.what());
        std::cerr << "Try '" << usageHint << "' for more information.\n";
        return kExitUsage;
    } catch (const std::exception &e) {
        error(e.what());
        return kExitIo;
    }
}
