#pragma once
// Command-line words in the GNU manner: long options with "--name VALUE" or
// "--name=VALUE", short ones with "-o FILE" or "-oFILE", "--" ending the options.

#include "formats/layout.h"

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace dotforge::cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1; // bad arguments
constexpr int kExitIo = 2; // an input or output file failed

constexpr const char *kProgram = "dotforge-cli";
// The tool and its version, as --version prints them and C output records them.
constexpr const char *kToolName = "dotforge-cli (Dotforge) 3.0";

// Bad arguments: the message goes to stderr and the program exits with kExitUsage.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::string name; // long name without "--"
    bool takesValue = true;
    char shortName = 0; // 0: none
};

class Arguments {
public:
    Arguments(const std::vector<std::string> &words, const std::vector<OptionSpec> &specs);

    bool has(const std::string &name) const { return m_values.count(name) > 0; }
    // The last value given for an option; `fallback` when it was not given.
    std::string value(const std::string &name, const std::string &fallback = {}) const;
    const std::vector<std::string> &positionals() const { return m_positionals; }

    // The value of an option that must be one of `choices`; `fallback` when absent.
    std::string choice(
        const std::string &name, const std::vector<std::string> &choices, const std::string &fallback) const;
    // An integer option within [min, max].
    std::optional<int> integer(const std::string &name, int min, int max) const;

private:
    std::map<std::string, std::string> m_values;
    std::vector<std::string> m_positionals;
};

// The byte layout mode of an option ("A" to "D", either case); `fallback` when
// absent, UsageError when absent without a fallback.
Mode modeOption(const Arguments &arguments, const std::string &name, std::optional<Mode> fallback = std::nullopt);
// --rotate 0|90|180|270 (left turns), --flip none|h|v, --swap none|lr|ud.
Effects effectsOption(const Arguments &arguments);

void warn(const std::string &text);
void error(const std::string &text);

} // namespace dotforge::cli
