#include "cli/options.h"

#include "cli/errors.h"
#include "formats/code_text.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace dotforge::cli {

namespace {

// The words of each effect in the order of its values, the dot sizes and the
// sets of namingOption. They are made on first use: the commands' option
// tables, made at start-up in files of their own, list them too.
const std::vector<std::string> &rotationWords()
{
    static const std::vector<std::string> kWords{"0", "90", "180", "270"};
    return kWords;
}

const std::vector<std::string> &flipWords()
{
    static const std::vector<std::string> kWords{"none", "h", "v"};
    return kWords;
}

const std::vector<std::string> &swapWords()
{
    static const std::vector<std::string> kWords{"none", "lr", "ud"};
    return kWords;
}

const std::vector<std::string> &dotSizeWords()
{
    static const std::vector<std::string> kWords{"16", "24", "32"};
    return kWords;
}

const std::vector<std::string> &namingSetWords()
{
    static const std::vector<std::string> kWords{"gb2312", "gbk", "gbt12345", "jisx0208", "ksx1001"};
    return kWords;
}

// The value of an effect option: the place of its word in `words`.
template <typename Value>
Value effectValue(const Arguments &a, const std::string &name, const std::vector<std::string> &words)
{
    const std::string word = a.choice(name, words, words.front());
    return Value(std::find(words.begin(), words.end(), word) - words.begin());
}

// Words of `text` in lines of at most 79 columns, each after `indent` spaces.
std::string wrapped(const std::string &text, std::size_t indent)
{
    std::string out;
    std::string line;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && indent + line.size() + 1 + word.size() > 79) {
            out += std::string(indent, ' ') + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    if (!line.empty())
        out += std::string(indent, ' ') + line + "\n";
    return out;
}

} // namespace

int dotSizeOption(const Arguments &a, std::optional<int> fallback)
{
    if (!a.has("size")) {
        if (!fallback)
            throw UsageError("missing --size");
        return *fallback;
    }
    return std::stoi(a.choice("size", dotSizeWords(), {}));
}

Mode modeOption(const Arguments &a, const std::string &name, std::optional<Mode> fallback)
{
    if (!a.has(name)) {
        if (!fallback)
            throw UsageError("missing --" + name);
        return *fallback;
    }
    const std::string v = a.value(name);
    static const std::string kLetters = "ABCD";
    const auto k
        = v.size() == 1 ? kLetters.find(char(std::toupper(static_cast<unsigned char>(v[0])))) : std::string::npos;
    if (k == std::string::npos)
        throw UsageError("invalid argument '" + v + "' for '--" + name + "' (valid: A, B, C, D)");
    return Mode(k);
}

Effects effectsOption(const Arguments &a)
{
    Effects e;
    e.rotation = effectValue<Rotation>(a, "rotate", rotationWords());
    e.flip = effectValue<Flip>(a, "flip", flipWords());
    e.swap = effectValue<Swap>(a, "swap", swapWords());
    return e;
}

const char *rotationWord(Rotation rotation)
{
    return rotationWords()[std::size_t(rotation)].c_str();
}

const char *flipWord(Flip flip)
{
    return flipWords()[std::size_t(flip)].c_str();
}

const char *swapWord(Swap swap)
{
    return swapWords()[std::size_t(swap)].c_str();
}

Layout layoutOption(const Arguments &a, const std::string &modeName, std::optional<Mode> fallback)
{
    if (!a.has("profile")) {
        if (!fallback && !a.has(modeName))
            throw UsageError("missing --" + modeName + " (or --profile)");
        return Layout{modeOption(a, modeName, fallback), effectsOption(a)};
    }
    const std::string name = a.value("profile");
    const LayoutProfile *profile = findProfile(name);
    if (!profile) {
        std::string names;
        for (const LayoutProfile &p : layoutProfiles())
            names += (names.empty() ? "" : ", ") + std::string(p.name);
        throw UsageError("invalid argument '" + name + "' for '--profile' (valid: " + names + ")");
    }
    // Options that repeat the profile are fine; any other value contradicts it.
    const Layout given{modeOption(a, modeName, profile->layout.mode), effectsOption(a)};
    const Layout &l = profile->layout;
    const auto conflict = [&](const std::string &option, const std::string &value) {
        throw UsageError(
            "--" + option + " " + value + " contradicts --profile " + name + ", which is " + layoutOptions(l));
    };
    if (given.mode != l.mode)
        conflict(modeName, std::string(1, modeLetter(given.mode)));
    if (a.has("rotate") && given.effects.rotation != l.effects.rotation)
        conflict("rotate", a.value("rotate"));
    if (a.has("flip") && given.effects.flip != l.effects.flip)
        conflict("flip", a.value("flip"));
    if (a.has("swap") && given.effects.swap != l.effects.swap)
        conflict("swap", a.value("swap"));
    return l;
}

std::string layoutOptions(const Layout &layout)
{
    std::string out = std::string("--mode ") + modeLetter(layout.mode);
    const Effects &e = layout.effects;
    if (e.rotation != Rotation::R0)
        out += std::string(" --rotate ") + rotationWord(e.rotation);
    if (e.flip != Flip::None)
        out += std::string(" --flip ") + flipWord(e.flip);
    if (e.swap != Swap::None)
        out += std::string(" --swap ") + swapWord(e.swap);
    return out;
}

std::string profilesHelp()
{
    std::string out = "\nController layouts for --profile (each a mode with default effects):\n";
    for (const LayoutProfile &p : layoutProfiles()) {
        out += "  " + std::string(p.name) + std::string(13 - std::string(p.name).size(), ' ') + "= "
            + layoutOptions(p.layout) + "\n";
        out += wrapped(p.order + std::string("; for ") + p.controllers + ".", 15);
    }
    return out;
}

CodeNaming namingOption(const Arguments &a)
{
    if (a.has("set") && a.has("variant"))
        throw UsageError("--set and --variant exclude one another");
    if (a.has("variant"))
        return font16sNaming(*a.integer("variant", 0, 3));
    return {*charSetNamed(a.choice("set", namingSetWords(), "gbk"))};
}

OptionSpec sizeSpec()
{
    return {.name = "size", .words = dotSizeWords()};
}

OptionSpec modeSpec(const std::string &name)
{
    return {.name = name, .words = {"A", "B", "C", "D"}};
}

OptionSpec profileSpec()
{
    OptionSpec spec{.name = "profile"};
    for (const LayoutProfile &p : layoutProfiles())
        spec.words.push_back(p.name);
    return spec;
}

OptionSpec rotateSpec()
{
    return {.name = "rotate", .words = rotationWords()};
}

OptionSpec flipSpec()
{
    return {.name = "flip", .words = flipWords()};
}

OptionSpec swapSpec()
{
    return {.name = "swap", .words = swapWords()};
}

OptionSpec namingSetSpec()
{
    return {.name = "set", .words = namingSetWords()};
}

OptionSpec variantSpec()
{
    return {.name = "variant", .words = {"0", "1", "2", "3"}};
}

std::vector<OptionSpec> libraryLayoutSpecs()
{
    return {sizeSpec(), modeSpec("mode"), profileSpec(), rotateSpec(), flipSpec(), swapSpec()};
}

} // namespace dotforge::cli
