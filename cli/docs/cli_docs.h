#pragma once
// The manual page and the bash completion of dotforge-cli, made at build time
// (make_cli_docs) from the command table and the help texts the tool prints,
// so that neither can say anything else than --help does.

#include <string>

namespace dotforge::cli {

// What the manual says beyond the help texts.
struct ManPageFacts {
    std::string version; // "3.0"
    std::string date; // of the release, "2026-12-10"
    std::string dataDir; // where "Font16s" is installed: "/usr/share/dotforge"
};

// dotforge-cli.1 in troff (man macros, UTF-8): the tool's help as its
// description, every command's help as a subsection, the controller layouts,
// the exit statuses, examples, the files it reads and writes. Raises
// std::logic_error when an example names an option its command does not take.
std::string manPage(const ManPageFacts &facts);

// The bash completion of dotforge-cli: the commands, each command's options,
// the words an option takes and the files an option or operand names.
std::string bashCompletion();

} // namespace dotforge::cli
