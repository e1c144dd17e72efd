#include "cli/arguments.h"

#include "cli/errors.h"

#include <algorithm>
#include <charconv>

namespace dotforge::cli {

namespace {

const OptionSpec *findLong(const std::vector<OptionSpec> &specs, const std::string &name)
{
    const auto it = std::find_if(specs.begin(), specs.end(), [&](const OptionSpec &s) { return s.name == name; });
    return it == specs.end() ? nullptr : &*it;
}

const OptionSpec *findShort(const std::vector<OptionSpec> &specs, char c)
{
    const auto it = std::find_if(specs.begin(), specs.end(), [&](const OptionSpec &s) { return s.shortName == c; });
    return it == specs.end() ? nullptr : &*it;
}

std::string joined(const std::vector<std::string> &words)
{
    std::string out;
    for (const auto &w : words)
        out += (out.empty() ? "" : ", ") + w;
    return out;
}

} // namespace

Arguments::Arguments(const std::vector<std::string> &words, const std::vector<OptionSpec> &specs)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string &word = words[i];
        if (word == "--") {
            m_positionals.insert(m_positionals.end(), words.begin() + std::ptrdiff_t(i) + 1, words.end());
            break;
        }
        if (word.starts_with("--")) {
            const auto eq = word.find('=');
            const std::string name = word.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
            const OptionSpec *spec = findLong(specs, name);
            if (!spec)
                throw UsageError("unrecognized option '--" + name + "'");
            const auto optional = [spec](const std::string &w) {
                return std::find(spec->optionalWords.begin(), spec->optionalWords.end(), w)
                    != spec->optionalWords.end();
            };
            if (!spec->takesValue) {
                if (eq != std::string::npos && !optional(word.substr(eq + 1)))
                    throw UsageError(spec->optionalWords.empty() ? "option '--" + name + "' doesn't allow an argument"
                                                                 : "invalid argument '" + word.substr(eq + 1)
                                + "' for '--" + name + "' (valid: " + joined(spec->optionalWords) + ")");
                if (eq != std::string::npos)
                    m_values[name] = word.substr(eq + 1);
                else if (i + 1 < words.size() && optional(words[i + 1]))
                    m_values[name] = words[++i];
                else
                    m_values[name] = "";
            } else if (eq != std::string::npos) {
                m_values[name] = word.substr(eq + 1);
            } else if (i + 1 < words.size()) {
                m_values[name] = words[++i];
            } else {
                throw UsageError("option '--" + name + "' requires an argument");
            }
        } else if (word.size() > 1 && word[0] == '-') {
            const OptionSpec *spec = findShort(specs, word[1]);
            if (!spec)
                throw UsageError(std::string("invalid option -- '") + word[1] + "'");
            if (!spec->takesValue) {
                if (word.size() > 2)
                    throw UsageError(std::string("invalid option -- '") + word[2] + "'");
                m_values[spec->name] = "";
            } else if (word.size() > 2) {
                m_values[spec->name] = word.substr(2);
            } else if (i + 1 < words.size()) {
                m_values[spec->name] = words[++i];
            } else {
                throw UsageError(std::string("option requires an argument -- '") + word[1] + "'");
            }
        } else {
            m_positionals.push_back(word);
        }
    }
}

std::string Arguments::value(const std::string &name, const std::string &fallback) const
{
    const auto it = m_values.find(name);
    return it == m_values.end() ? fallback : it->second;
}

std::string Arguments::choice(
    const std::string &name, const std::vector<std::string> &choices, const std::string &fallback) const
{
    if (!has(name))
        return fallback;
    std::string v = value(name);
    if (std::find(choices.begin(), choices.end(), v) == choices.end())
        throw UsageError("invalid argument '" + v + "' for '--" + name + "' (valid: " + joined(choices) + ")");
    return v;
}

std::optional<int> Arguments::integer(const std::string &name, int min, int max) const
{
    if (!has(name))
        return std::nullopt;
    const std::string v = value(name);
    int result = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), result);
    if (v.empty() || ec != std::errc() || end != v.data() + v.size() || result < min || result > max)
        throw UsageError("invalid argument '" + v + "' for '--" + name + "' (an integer from " + std::to_string(min)
            + " to " + std::to_string(max) + ")");
    return result;
}

const std::vector<std::string> &Arguments::positionals(std::size_t count, const std::string &missing) const
{
    if (m_positionals.size() < count)
        throw UsageError(missing);
    if (m_positionals.size() > count)
        throw UsageError("unexpected argument '" + m_positionals[count] + "'");
    return m_positionals;
}

} // namespace dotforge::cli
