#include "cli/batch_build.h"

#include "core/font16s_variants.h"
#include "core/gbk.h"
#include "core/hex.h"
#include "core/io_error.h"
#include "core/glyph.h"
#include "core/record_file.h"
#include "cli/batch_library.h"
#include "cli/c_source.h"
#include "cli/charsets.h"
#include "cli/glyph_text.h"
#include "cli/layouts.h"
#include "formats/bdf.h"
#include "formats/file_io.h"
#include "library/text_import.h"
#include "render/freetype_rasterizer.h"
#include "render/strike_sizes.h"
#include "sources/glyph_sources.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace dotforge::cli {

const std::vector<OptionSpec> kBuildOptions{
    {"size"},
    {"source"},
    {"font16s"},
    {"variant"},
    {"font"},
    {"font-file"},
    {"point-size"},
    {"mode"},
    {"profile"},
    {"rotate"},
    {"flip"},
    {"swap"},
    {"effects-at"},
    {"text"},
    {"text-file"},
    {"codes"},
    {"charset"},
    {"format"},
    {"name"},
    {"output", true, 'o'},
    {"check", false},
    {"report", false},
    {"jobs"},
    {"help", false, 'h'},
};

const char *const kBuildHelp = R"(Usage: dotforge-cli build [OPTION]... -o FILE
Render characters into a new font library of any size and write it. A library
of up to 200 glyphs is byte for byte what the window writes for the same
choices; a larger one has the same format (a .ZMB of N glyphs holds N glyphs,
then N codes).

Glyphs:
      --size 16|24|32          dot size (default 16)
      --source ttf|font16s     glyph source (default ttf; font16s at size 16 only)
      --font16s PATH           the dot-matrix font file (default ./Font16s)
      --variant 0|1|2|3        its variant: simplified, traditional, Japanese,
                                 Korean (default 0); a code outside it (both
                                 bytes A1 to FE, up to F9FB, FAA2, F3FE, FDFE)
                                 is refused
      --font FACE              installed face (default 宋体)
      --font-file PATH         a font file instead: TrueType, OpenType, a
                                 collection (its first face), BDF, PCF or
                                 gzipped PCF; it draws its own characters only
      --point-size PT          12 to 28 (default 12, 18 or 22 by dot size); for
                                 a bitmap font the size of one of its strikes,
                                 of round(PT x 96 / 72) pixels (default: its
                                 strike when it has only one)
Layout and default effects:
      --mode A|B|C|D           byte layout mode (default A)
      --profile NAME           a controller layout: sets the mode and the
                                 default effects (names below)
      --rotate 0|90|180|270    default rotation in degrees, counter-clockwise
                                 (default 0)
      --flip none|h|v          default flip: h mirrors left to right, v top to
                                 bottom (default none)
      --swap none|lr|ud        default swap of the 8-dot bands: lr of the
                                 columns, ud of the rows (default none)
      --effects-at save|render apply the default effects when the file is
                                 written (default) or when each glyph is
                                 rendered; the window gives the same dots both ways
Characters (one of):
      --text TEXT              the characters: UTF-8 (as the shell passes them),
                                 or GBK bytes where they are no valid UTF-8
      --text-file PATH         the first line of a text file (as 'dotforge-cli
                                 collect' writes it); - or /dev/stdin reads
                                 standard input to its end
      --codes B0A1,B0A2,...    GBK codes, two bytes each in hexadecimal; no
                                 control bytes (00 to 1F, 7F)
      --charset SET            a whole character set in code order: gb2312
                                 (7,445 characters), gb2312-hanzi (6,763, rows
                                 16 to 87), gbk (every double-byte character
                                 glibc's GBK maps outside the private use area:
                                 21,791), or with --source font16s, all (every
                                 position of the variant that holds a glyph)
  A text is cut into byte pairs like the window's import: a single-byte
  character shifts every later pair by one byte.
  Encodings of a text file: a byte-order mark names UTF-8, UTF-16LE or
  UTF-16BE. Without one, a line is UTF-8 when it is valid UTF-8 with a
  character of three or four bytes (every Chinese character is one); anything
  else is read as GBK, since two-byte UTF-8 alone (Latin, Greek, Cyrillic
  letters) is also valid GBK.
Output:
  -o, --output FILE            the library file to write
      --format zmb|asm|c|bdf   its format (default from the extension of FILE:
                                 .ZMB, .ASM, .c, .h for the C declarations, .bdf)
      --name NAME              prefix of the C names (default: the file's stem)
      --check                  write nothing: exit 0 when FILE holds exactly
                                 what would be written, 1 when it is missing or
                                 differs (the first differing glyph is named)
      --report                 print the bytes of the glyphs, the codes and the
                                 search index of the C output, and the total
      --jobs N                 threads that render glyphs (default: one per core)
  -h, --help                   display this help and exit

A BDF font (BDF 2.1) holds the library's glyphs upright as the window stores
them, one character per glyph at the Unicode code point of its code; a code
without a Unicode character is written at a private-use code point (U+E000 +
its index, or the next free one) with a COMMENT naming it. --mode and the
default effects do not apply to it. Built again from it (--font-file FILE.bdf)
it gives back the same glyphs.

Repeated codes are left out with a warning on stderr. The output file is
replaced only when it has been written completely (it is not flushed to disk
before the tool exits; the system writes it as it writes a compiler's output).
C output has no time stamp: its opening comment names the tool version, the
options that shaped the bytes, the face and the SHA-256 of the font file, so
equal inputs give equal files. The digest of a font file is remembered in
$XDG_CACHE_HOME/dotforge/font-digests (else ~/.cache/dotforge) while the
file's size, times and inode stay the same.
Besides NAME_glyphs, NAME_codes and NAME_count it defines
int NAME_find(unsigned int code), the index of a code's glyph (code = first
byte x 256 + second byte) or -1, by binary search.
)";

namespace {

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> parseCodes(const std::string &list)
{
    std::vector<std::string> codes;
    std::size_t start = 0;
    for (;;) {
        const auto comma = list.find(',', start);
        const std::string item = trimmed(list.substr(start, comma == std::string::npos ? comma : comma - start));
        if (item.size() != 4 || !std::all_of(item.begin(), item.end(), isHexDigit))
            throw UsageError("invalid code '" + item + "' in --codes (four hexadecimal digits, as B0A1)");
        const std::string code{
            char(std::stoi(item.substr(0, 2), nullptr, 16)), char(std::stoi(item.substr(2), nullptr, 16))};
        if (hasControlByte(code))
            throw UsageError("invalid code '" + item + "' in --codes: control bytes (00 to 1F, 7F) are no characters");
        codes.push_back(code);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return codes;
}

// The descriptor a --text-file name stands for when it names a stream already
// open: "-" and /dev/stdin standard input, /dev/fd/N (a shell's process
// substitution) descriptor N.
std::optional<int> openStream(const std::string &path)
{
    if (path == "-" || path == "/dev/stdin")
        return 0;
    constexpr std::string_view kFd = "/dev/fd/";
    int fd = -1;
    if (path.starts_with(kFd)) {
        const char *digits = path.data() + kFd.size();
        const auto [end, ec] = std::from_chars(digits, path.data() + path.size(), fd);
        if (ec == std::errc() && end == path.data() + path.size() && end != digits)
            return fd;
    }
    return std::nullopt;
}

// How messages name a --text-file.
std::string textFileName(const std::string &path)
{
    return path == "-" ? "standard input" : path;
}

// With the dot-matrix source every code must name a character of the chosen
// variant: another would take a record of another variant, or lie before the
// start of the file. The first one outside is named with the variant's range.
void checkFont16sCodes(const BuildOptions &o, const std::vector<std::string> &codes)
{
    if (!o.font16s)
        return;
    const auto outside = std::find_if(codes.begin(), codes.end(),
        [&o](const std::string &code) { return !codeInVariant(code, kSectionSizes, o.variant); });
    if (outside == codes.end())
        return;
    static const char *const kVariantNames[] = {"simplified Chinese", "traditional Chinese", "Japanese", "Korean"};
    const std::string what = codeLabel(*outside) + " is no code of variant " + std::to_string(o.variant) + " ("
        + kVariantNames[o.variant] + ") of the dot-matrix font: its codes run from A1A1 to "
        + codeHex(lastCodeOfVariant(kSectionSizes, o.variant)) + ", both bytes A1 to FE";
    switch (o.characters) {
    case BuildOptions::Characters::TextFile:
        throw InputError(textFileName(o.text) + ": " + what + "; nothing is imported");
    case BuildOptions::Characters::Codes:
        throw UsageError("--codes: " + what);
    case BuildOptions::Characters::Charset:
        throw UsageError("--charset " + o.charset + ": " + what + " (--charset all takes the variant's own codes)");
    case BuildOptions::Characters::Text:
        break;
    }
    throw UsageError("--text: " + what);
}

// ---- Font files, bitmap strikes and BDF output ------------------------------

// "12 px (9 pt), 14 px (no whole point size), 16 px (12 pt)"
std::string strikeList(const std::vector<int> &pixelSizes)
{
    std::string out;
    for (const int px : pixelSizes) {
        const int pt = pointSizeOfPixels(px);
        out += (out.empty() ? "" : ", ") + std::to_string(px) + " px ("
            + (pt > 0 ? std::to_string(pt) + " pt" : std::string("no whole point size")) + ")";
    }
    return out;
}

// The face or font file of the build, open: a missing face is a usage error, a
// font file that cannot be read an input error.
FaceStrikes checkedFace(FreeTypeRasterizer &fonts, const BuildOptions &o)
{
    if (o.fontFile) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(o.face, ec))
            throw InputError("cannot read " + o.face + ": " + (ec ? ec.message() : "no such file"));
        const FaceStrikes strikes = fonts.strikes(o.face);
        if (!strikes.found)
            throw InputError(o.face + ": not a font file FreeType can read");
        if (!strikes.scalable && strikes.pixelSizes.empty())
            throw InputError(o.face + ": the font has neither outlines nor bitmap strikes");
        return strikes;
    }
    const FaceStrikes strikes = fonts.strikes(o.face);
    if (!strikes.found || (!strikes.scalable && strikes.pixelSizes.empty()))
        throw UsageError("no face '" + o.face + "' is installed");
    return strikes;
}

// The point size to draw at: 12 to 28 for a scalable face; for a bitmap font
// the size of one of its strikes, and by default its only strike.
int checkedPointSize(const FaceStrikes &strikes, std::optional<int> given, int windowDefault, int dots)
{
    if (strikes.scalable) {
        const int pt = given.value_or(windowDefault);
        if (pt < 12 || pt > 28)
            throw UsageError(
                "invalid argument '" + std::to_string(pt) + "' for '--point-size' (an integer from 12 to 28)");
        return pt;
    }
    const std::vector<int> &sizes = strikes.pixelSizes;
    // A strike taller than the square would lose its lower rows and right columns.
    std::vector<int> fitting = sizes;
    std::erase_if(fitting, [dots](int px) { return px > dots; });
    if (const std::optional<int> pt = strikePointSize(fitting, given, windowDefault))
        return *pt;
    if (const std::optional<int> pt = strikePointSize(sizes, given, windowDefault))
        throw UsageError("the bitmap font " + strikes.family + ": its strike of " + std::to_string(pixelHeight(*pt))
            + " px (" + std::to_string(*pt) + " pt) is taller than " + std::to_string(dots)
            + " dots and would be cut; its strikes: " + strikeList(sizes));
    const int pt = given.value_or(windowDefault);
    throw UsageError((given ? "the bitmap font " : "give --point-size: the bitmap font ") + strikes.family
        + " has no strike of " + std::to_string(pixelHeight(pt)) + " px (" + std::to_string(pt)
        + " pt); its strikes: " + strikeList(sizes));
}

} // namespace

BuildOptions buildOptions(const Arguments &a)
{
    if (!a.positionals().empty())
        throw UsageError("unexpected argument '" + a.positionals().front() + "'");
    BuildOptions o;
    o.size = std::stoi(a.choice("size", {"16", "24", "32"}, "16"));
    o.font16s = a.choice("source", {"ttf", "font16s"}, "ttf") == "font16s";
    if (o.font16s && o.size != 16)
        throw UsageError("--source font16s needs --size 16: the dot-matrix font holds 16-dot glyphs only");
    for (const char *option : o.font16s ? std::vector<const char *>{"font", "font-file", "point-size"}
                                        : std::vector<const char *>{"font16s", "variant"}) {
        if (a.has(option))
            throw UsageError(
                std::string("--") + option + " applies to --source " + (o.font16s ? "ttf" : "font16s") + " only");
    }
    o.font16sPath = a.value("font16s", "Font16s");
    if (o.font16sPath.empty())
        throw UsageError("--font16s needs a file name");
    o.variant = a.integer("variant", 0, 3).value_or(0);
    o.face = a.value("font", o.face);
    if (o.face.empty())
        throw UsageError("--font needs a face name");
    if (a.has("font-file")) {
        if (a.has("font"))
            throw UsageError("--font and --font-file exclude one another");
        if (a.value("font-file").empty())
            throw UsageError("--font-file needs a file name");
        o.fontFile = true;
        o.face = std::filesystem::absolute(a.value("font-file")).lexically_normal().string();
    }
    // Checked against the face once it is open: bitmap strikes may lie outside
    // the 12 to 28 points of scalable faces.
    o.pointSize = a.integer("point-size", 1, 99);

    const Layout layout = layoutOption(a, "mode", Mode::A);
    o.mode = layout.mode;
    o.effects = layout.effects;
    o.effectsAtRender = a.choice("effects-at", {"save", "render"}, "save") == "render";

    const int given = int(a.has("text")) + int(a.has("text-file")) + int(a.has("codes")) + int(a.has("charset"));
    if (given == 0)
        throw UsageError("no characters: give --text, --text-file, --codes or --charset");
    if (given > 1)
        throw UsageError("--text, --text-file, --codes and --charset exclude one another");
    if (a.has("charset")) {
        o.characters = BuildOptions::Characters::Charset;
        o.charset = a.choice("charset", {"gb2312", "gb2312-hanzi", "gbk", "all"}, "");
        if (o.charset == "all" && !o.font16s)
            throw UsageError("--charset all needs --source font16s: it names the positions of the dot-matrix font");
    } else if (a.has("codes")) {
        o.characters = BuildOptions::Characters::Codes;
        o.codes = parseCodes(a.value("codes"));
    } else if (a.has("text-file")) {
        o.characters = BuildOptions::Characters::TextFile;
        o.text = a.value("text-file");
    } else {
        o.text = a.value("text");
    }

    if (!a.has("output") || a.value("output").empty())
        throw UsageError("no output file: give -o FILE");
    o.output = a.value("output");
    o.format = chooseFormat(a.value("format"), o.output, "format", true);
    if (o.format == FileFormat::Bdf) {
        for (const char *option : {"mode", "profile", "rotate", "flip", "swap", "effects-at"})
            if (a.has(option))
                throw UsageError(std::string("--") + option
                    + " does not apply to BDF output: it holds the glyphs upright, as the window stores them");
    }
    const bool cOutput = o.format == FileFormat::CSource || o.format == FileFormat::CHeader;
    if (a.has("name")) {
        if (!cOutput)
            throw UsageError("--name applies to C output only");
        o.name = a.value("name");
        if (!isCIdentifier(o.name))
            throw UsageError("invalid argument '" + o.name + "' for '--name' (a C identifier)");
    } else if (o.format == FileFormat::Bdf) {
        o.name = bdfFamilyName(std::filesystem::path(o.output).stem().string());
    } else {
        o.name = cIdentifier(std::filesystem::path(o.output).stem().string());
    }
    o.check = a.has("check");
    o.report = a.has("report");
    o.jobs = a.integer("jobs", 1, 64).value_or(0);
    return o;
}

namespace {

std::vector<std::string> givenCodes(const BuildOptions &o)
{
    if (o.characters == BuildOptions::Characters::Codes)
        return o.codes;
    if (o.characters == BuildOptions::Characters::Charset) {
        std::vector<std::string> codes;
        if (const auto set = charsetNamed(o.charset))
            for (const std::uint16_t code : charsetCodes(*set))
                codes.push_back(codeBytes(code));
        return codes;
    }

    TextLine line;
    const bool fromFile = o.characters == BuildOptions::Characters::TextFile;
    if (fromFile) {
        // A stream is read to its end: its size tells nothing.
        if (const auto fd = openStream(o.text))
            line = readFirstLine(
                [fd](char *buffer, std::size_t max) { return readSome(*fd, buffer, max); }, kMaxTextFileLine, true);
        else
            line = readFirstLine(o.text, kMaxTextFileLine);
        if (line.truncated || line.moreLines)
            warn(textFileName(o.text) + ": only its first line is imported, as in the window");
    } else {
        const auto end = o.text.find_first_of("\r\n");
        line.bytes = o.text.substr(0, end);
        // An argument comes from the shell, which speaks UTF-8 here: valid UTF-8
        // is taken as such (its byte-order mark says so to the detection), and
        // only other bytes are GBK.
        if (longestUtf8Sequence(line.bytes).value_or(1) > 1)
            line.bytes.insert(0, "\xEF\xBB\xBF");
        if (end != std::string::npos && o.text.find_first_not_of("\r\n", end) != std::string::npos)
            warn("--text: only its first line is imported, as from a text file");
    }
    std::string unencodable;
    const auto gbk = lineToGbk(line, &unencodable);
    if (!gbk) {
        const std::string what = "the character \"" + unencodable + "\"";
        if (fromFile)
            throw InputError(textFileName(o.text) + ": " + what + " has no GBK code; nothing is imported");
        throw UsageError(what + " of --text has no GBK code");
    }
    if (hasSingleByteCharacter(*gbk))
        warn("the text holds single-byte characters; it is cut into byte pairs all the same, so each one shifts "
             "every later pair by a byte");
    return bytePairs(*gbk, gbk->size() / 2);
}

} // namespace

std::vector<std::string> characterCodes(const BuildOptions &o)
{
    std::vector<std::string> codes = givenCodes(o);
    checkFont16sCodes(o, codes);
    return codes;
}

int runBuild(const BuildOptions &o)
{
    BuildOptions resolved = o;
    if (!o.font16s) {
        // The face or font file, and the point size it can be drawn at.
        try {
            FreeTypeRasterizer fonts;
            resolved.pointSize = checkedPointSize(checkedFace(fonts, o), o.pointSize, defaultPointSize(o.size), o.size);
        } catch (const InputError &e) {
            error(e.what());
            return kExitIo;
        }
    }
    return runBatchBuild(resolved, [] { return std::make_unique<FreeTypeRasterizer>(); });
}

} // namespace dotforge::cli
