// make_cli_docs: writes dotforge-cli's manual page and bash completion at
// build time, from the command table and help texts the tool is built from.
//
//   make_cli_docs --version 3.0 --date 2026-12-10 --data-dir /usr/share/dotforge
//                 --man dotforge-cli.1 --completion dotforge-cli

#include "cli/docs/cli_docs.h"

#include <exception>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>

namespace {

void write(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

} // namespace

int main(int argc, char **argv)
{
    std::map<std::string, std::string> options;
    for (int i = 1; i + 1 < argc; i += 2)
        options[argv[i]] = argv[i + 1];
    for (const char *needed : {"--version", "--date", "--data-dir", "--man", "--completion"}) {
        if (!options.count(needed) || argc % 2 == 0) {
            std::cerr << "usage: make_cli_docs --version V --date YYYY-MM-DD --data-dir DIR --man FILE "
                         "--completion FILE\n";
            return 1;
        }
    }
    try {
        const dotforge::cli::ManPageFacts facts{options["--version"], options["--date"], options["--data-dir"]};
        write(options["--man"], dotforge::cli::manPage(facts));
        write(options["--completion"], dotforge::cli::bashCompletion());
    } catch (const std::exception &e) {
        std::cerr << "make_cli_docs: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
