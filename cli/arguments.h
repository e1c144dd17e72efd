#pragma once
// Command-line words in the GNU manner: long options with "--name VALUE" or
// "--name=VALUE", short ones with "-o FILE" or "-oFILE", "--" ending the options.
// A word that breaks these rules raises UsageError (cli/errors.h).

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace dotforge::cli {

struct OptionSpec {
    std::string name; // long name without "--"
    bool takesValue = true;
    char shortName = 0; // 0: none
    // For an option without a value: the words it takes as its value when
    // one follows it ("--latin all"), or given as "--latin=all".
    std::vector<std::string> optionalWords = {};
    // What the shell offers for the value (the completion is made from the
    // command table): one of `words`, or the name of a file with one of the
    // extensions in `files` ("" for any file). Neither: free text.
    std::vector<std::string> words = {};
    std::vector<std::string> files = {};
};

class Arguments {
public:
    Arguments(const std::vector<std::string> &words, const std::vector<OptionSpec> &specs);

    bool has(const std::string &name) const { return m_values.count(name) > 0; }
    // The last value given for an option; `fallback` when it was not given.
    std::string value(const std::string &name, const std::string &fallback = {}) const;
    const std::vector<std::string> &positionals() const { return m_positionals; }
    // The positional arguments when there are exactly `count`; a usage error
    // saying `missing` when there are fewer, naming the first extra one when
    // there are more.
    const std::vector<std::string> &positionals(std::size_t count, const std::string &missing) const;

    // The value of an option that must be one of `choices`; `fallback` when absent.
    std::string choice(
        const std::string &name, const std::vector<std::string> &choices, const std::string &fallback) const;
    // An integer option within [min, max].
    std::optional<int> integer(const std::string &name, int min, int max) const;

private:
    std::map<std::string, std::string> m_values;
    std::vector<std::string> m_positionals;
};

} // namespace dotforge::cli
