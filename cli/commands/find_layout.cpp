// `dotforge-cli find-layout`: which modes and default effects turn a glyph into
// the bytes a controller or an existing font holds for it.

#include "cli/command.h"

#include "cli/batch_build.h"
#include "cli/errors.h"
#include "cli/exit_status.h"
#include "cli/glyph_options.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "core/hex.h"
#include "core/io_error.h"
#include "formats/file_io.h"
#include "formats/profiles.h"
#include "render/freetype_rasterizer.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <sstream>

namespace dotforge::cli {

namespace {

const std::vector<OptionSpec> kFindLayoutOptions{
    sizeSpec(),
    {"bytes"},
    {.name = "bytes-file", .files = kAnyFile},
    {.name = "glyph", .files = kAnyFile},
    {"text"},
    {"codes"},
    sourceSpec(),
    {.name = "font16s", .files = kAnyFile},
    variantSpec(),
    {"font"},
    {"point-size"},
    {"help", false, 'h'},
};

const char *const kFindLayoutHelp = R"(Usage: dotforge-cli find-layout --size N --bytes HEX|--bytes-file FILE GLYPH
Find every byte layout mode, default rotation, flip and swap (4 x 4 x 3 x 3 =
144 combinations) that turns a glyph into the bytes a controller or an
existing font holds for it, and print them as options ready to paste into
build, convert, dump or proof, with the controller layout (--profile) where
one matches. Combinations that lay out every glyph alike are listed together.

      --size 16|24|32          dot size (required)
      --bytes HEX              the n * n / 8 bytes of the glyph in hexadecimal;
                                 spaces, commas and 0x allowed ("0x80, 0x00")
      --bytes-file FILE        the same bytes as hexadecimal text in a file
The glyph (one of):
      --glyph FILE             drawn as n rows of n '#' (ink) and '.'
      --text CHARACTER         one character, rendered as build renders it
      --codes B0A1             one GBK code, rendered as build renders it
  with build's source options for --text and --codes: --source, --font16s,
  --variant, --font, --point-size.
  -h, --help                   display this help and exit

Exit status: 0 when some combination gives the bytes; 1 on bad usage or when
none does (the closest combination and the bytes that differ are shown); 2 when
a file cannot be read. A glyph that looks the same under several layouts (a
symmetric or blank one) cannot tell them apart: all of them are listed.
)";

std::string hexByte(std::uint8_t value)
{
    return {hexDigit(value >> 4), hexDigit(value)};
}

std::string hexLine(const Sequence &bytes)
{
    std::string out;
    for (const std::uint8_t b : bytes)
        out += (out.empty() ? "" : " ") + hexByte(b);
    return out;
}

// The combinations of a layout as options, one per line, the one that is a
// controller layout first and named.
void printCombinations(std::ostream &os, std::vector<Layout> combinations)
{
    std::stable_partition(
        combinations.begin(), combinations.end(), [](const Layout &l) { return profileOf(l) != nullptr; });
    for (const Layout &l : combinations) {
        const std::string options = layoutOptions(l);
        os << "  " << options;
        if (const LayoutProfile *profile = profileOf(l))
            os << std::string(options.size() < 40 ? 40 - options.size() : 1, ' ') << "= --profile " << profile->name;
        os << '\n';
    }
}

const LayoutProfile *profileAmong(const std::vector<Layout> &combinations)
{
    for (const Layout &l : combinations)
        if (const LayoutProfile *p = profileOf(l))
            return p;
    return nullptr;
}

std::string readText(const std::string &path)
{
    try {
        InputFile file(path);
        const std::int64_t size = file.size();
        if (size > 1024 * 1024)
            throw InputError(path + ": " + std::to_string(size) + " bytes is far more than one glyph");
        return file.readAt(0, std::size_t(size));
    } catch (const IoError &e) {
        throw InputError("cannot read " + path + ": " + e.what());
    }
}

// The glyph of --text or --codes, drawn as build draws it with build's source
// options; mode C without effects is the glyph as is.
GlyphPlane drawnGlyph(const Arguments &a, int n)
{
    BuildJob job;
    readGlyphSource(a, job);
    job.mode = Mode::C;
    readCharacters(a, job);
    PreparedBuild build = prepareBuild(job, [] { return std::make_unique<FreeTypeRasterizer>(); });
    if (build.codes.size() != 1)
        throw UsageError("--text: give one character; the finder looks at one glyph");
    return fromFileOrder(preparedGlyph(build, job, build.codes.front()), n, Mode::C);
}

// Bytes written in hexadecimal: pairs of digits, "0x" before a byte and spaces,
// commas, semicolons and line ends between bytes allowed ("80 00", "0x80,0x0",
// "8000"). UsageError naming `what` for anything else.
Sequence parseHexBytes(const std::string &text, const std::string &what)
{
    Sequence out;
    std::size_t i = 0;
    const auto separator
        = [](char c) { return c == ' ' || c == ',' || c == ';' || c == '\t' || c == '\r' || c == '\n'; };
    while (i < text.size()) {
        if (separator(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !separator(text[end]))
            ++end;
        const std::string original = text.substr(i, end - i);
        std::string word = original;
        i = end;
        const bool prefixed = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
        if (prefixed)
            word = word.substr(2);
        const bool digitsOnly = !word.empty() && std::all_of(word.begin(), word.end(), isHexDigit);
        if (!digitsOnly || (prefixed ? word.size() > 2 : word.size() % 2 != 0 && word.size() > 1))
            throw UsageError(
                "invalid byte '" + original + "' in " + what + " (hexadecimal bytes such as 80, 0x80 or 8000)");
        // A lone digit is a byte by itself; longer words are pairs of digits.
        if (word.size() == 1)
            word.insert(0, "0");
        for (std::size_t k = 0; k < word.size(); k += 2)
            out.push_back(std::uint8_t(hexDigitValue(word[k]) << 4 | hexDigitValue(word[k + 1])));
    }
    return out;
}

// A glyph drawn as rows of '#' (ink) and '.': exactly n rows of n, empty lines
// and trailing blanks ignored. InputError for anything else.
GlyphPlane parseGlyphArt(const std::string &text, int n, const std::string &what)
{
    std::vector<std::string> rows;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        if (!line.empty())
            rows.push_back(line);
    }
    const std::string shape = "a " + std::to_string(n) + "-dot glyph is " + std::to_string(n) + " rows of "
        + std::to_string(n) + " '#' or '.'";
    if (int(rows.size()) != n)
        throw InputError(what + ": " + std::to_string(rows.size()) + " rows, but " + shape);
    GlyphPlane glyph;
    for (int y = 0; y < n; ++y) {
        const std::string &row = rows[std::size_t(y)];
        if (int(row.size()) != n)
            throw InputError(what + ": row " + std::to_string(y + 1) + " has " + std::to_string(row.size())
                + " characters, but " + shape);
        for (int x = 0; x < n; ++x) {
            const char c = row[std::size_t(x)];
            if (c != '#' && c != '.')
                throw InputError(
                    what + ": row " + std::to_string(y + 1) + " has '" + std::string(1, c) + "', but " + shape);
            glyph.setDot(x, y, c == '#');
        }
    }
    return glyph;
}

// The arguments that can be checked before any file is read.
void checkArguments(const Arguments &a)
{
    const int bytesGiven = int(a.has("bytes")) + int(a.has("bytes-file"));
    if (bytesGiven != 1)
        throw UsageError(bytesGiven == 0 ? "no bytes: give --bytes HEX or --bytes-file FILE"
                                         : "--bytes and --bytes-file exclude one another");
    const int glyphGiven = int(a.has("glyph")) + int(a.has("text")) + int(a.has("codes"));
    if (glyphGiven != 1)
        throw UsageError(glyphGiven == 0 ? "no glyph: give --glyph FILE, --text CHARACTER or --codes CODE"
                                         : "--glyph, --text and --codes exclude one another");
    static const char *const kSourceOptions[] = {"source", "font16s", "variant", "font", "point-size"};
    if (a.has("glyph"))
        for (const char *option : kSourceOptions)
            if (a.has(option))
                throw UsageError(std::string("--") + option + " applies to --text and --codes only");
    if (a.has("codes") && a.value("codes").find(',') != std::string::npos)
        throw UsageError("--codes: give one code; the finder looks at one glyph");
}

// The bytes of --bytes or --bytes-file, exactly one glyph's.
Sequence givenBytes(const Arguments &a, int n)
{
    const Sequence bytes = a.has("bytes") ? parseHexBytes(a.value("bytes"), "--bytes")
                                          : parseHexBytes(readText(a.value("bytes-file")), a.value("bytes-file"));
    if (int(bytes.size()) != glyphBytes(n))
        throw UsageError("a " + std::to_string(n) + "-dot glyph has " + std::to_string(glyphBytes(n)) + " bytes; "
            + std::to_string(bytes.size()) + " were given");
    return bytes;
}

// No combination gives the bytes: the closest one and where it differs.
void printClosest(const LayoutSearch &search, const Sequence &bytes, int n)
{
    std::cout << "No combination gives these bytes. The closest, with " << search.differing.size() << " of "
              << bytes.size() << " bytes different:\n";
    printCombinations(std::cout, equivalentLayouts(search.closest, n));
    std::cout << "Bytes that differ (given / closest):\n";
    const std::size_t shown = std::min<std::size_t>(search.differing.size(), 16);
    for (std::size_t k = 0; k < shown; ++k) {
        const int t = search.differing[k];
        std::cout << "  byte " << t << ": " << hexByte(bytes[std::size_t(t)]) << " / "
                  << hexByte(search.closestBytes[std::size_t(t)]) << '\n';
    }
    if (shown < search.differing.size())
        std::cout << "  ... and " << search.differing.size() - shown << " more\n";
    std::cout << "The closest gives:\n  " << hexLine(search.closestBytes) << '\n';
    std::cout.flush();
}

// The combinations that give the bytes, by the layouts they stand for.
void printMatches(const LayoutSearch &search)
{
    if (search.matches.size() == 1) {
        const LayoutProfile *profile = profileAmong(search.matches.front());
        std::cout << "These bytes are the glyph in one layout"
                  << (profile ? std::string(", the controller layout ") + profile->name : std::string())
                  << "; each of these gives it:\n";
        printCombinations(std::cout, search.matches.front());
        return;
    }
    std::size_t combinations = 0;
    for (const auto &group : search.matches)
        combinations += group.size();
    std::cout << "This glyph cannot tell " << search.matches.size()
              << " layouts apart: it looks the same in each of them (it is\nsymmetric or blank), so " << combinations
              << " combinations give these bytes. A glyph without\nsymmetry tells them apart.\n";
    for (std::size_t g = 0; g < search.matches.size(); ++g) {
        const LayoutProfile *profile = profileAmong(search.matches[g]);
        std::cout << "Layout " << g + 1
                  << (profile ? std::string(" (controller layout ") + profile->name + ")" : std::string()) << ":\n";
        printCombinations(std::cout, search.matches[g]);
    }
}

// Returns the exit status: 0 when some combination gives the bytes, 1 when none
// does (the closest is shown), 2 when a file cannot be read.
int runFindLayout(const Arguments &a)
{
    a.positionals(0, {});
    const int n = dotSizeOption(a, std::nullopt);
    checkArguments(a);
    try {
        const Sequence bytes = givenBytes(a, n);
        const GlyphPlane glyph
            = a.has("glyph") ? parseGlyphArt(readText(a.value("glyph")), n, a.value("glyph")) : drawnGlyph(a, n);
        const LayoutSearch search = findLayouts(glyph, n, bytes);
        if (search.matches.empty()) {
            printClosest(search, bytes, n);
            return kExitUsage;
        }
        const Sequence raw = toFileOrder(glyph, n, Mode::C);
        if (std::all_of(raw.begin(), raw.end(), [](std::uint8_t b) { return b == 0; })) {
            std::cout << "The glyph has no ink: every combination gives bytes of zero, so none can be told\n"
                         "from another. Choose a glyph with ink and without symmetry.\n";
            return kExitOk;
        }
        printMatches(search);
        return kExitOk;
    } catch (const InputError &e) {
        error(e.what());
    }
    return kExitIo;
}

} // namespace

const Command kFindLayoutCommand{"find-layout",
    "find the mode and effects that give the bytes a controller\nor an existing font holds for a glyph",
    kFindLayoutOptions, kFindLayoutHelp, true, runFindLayout};

} // namespace dotforge::cli
