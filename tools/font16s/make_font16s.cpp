// make_font16s: writes the 16 x 16 dot-matrix font file "Font16s" from GNU
// Unifont and Unihan, as Debian ships them (packages unifont, unicode-data).
//
// The file is 32-byte glyph records without a header, in four variants one
// after another: simplified Chinese (GB2312), traditional Chinese
// (GB/T 12345), Japanese (JIS X 0208) and Korean (KS X 1001). Record k of a
// variant is file area k / 94 + 1, position k % 94 + 1.
//
// The Unihan file is read through "bzip2 -dc" when its name ends in ".bz2",
// so the build needs bzip2 on the PATH but leaves no unpacked copy behind.
//
// Beside the file it can write two tables the program is built with: Unihan's
// kGB1 mapping and the 8 x 16 glyphs of printable ASCII, the half glyphs.

#include "unifont_glyph.h"

#include <iconv.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using Font16s::Glyph;
using Font16s::NarrowGlyph;
using GlyphMap = std::unordered_map<char32_t, Glyph>;

constexpr int CellsPerArea = 94;

// Printable ASCII, U+0020 to U+007E: the characters of the half glyphs.
constexpr char32_t FirstLatin = 0x20;
constexpr char32_t LastLatin = 0x7E;
using LatinGlyphs = std::array<std::optional<NarrowGlyph>, LastLatin - FirstLatin + 1>;

struct Options {
    std::string unifontPath = "/usr/share/unifont/unifont.hex";
    std::string unifontJpPath = "/usr/share/unifont/unifont_jp.hex";
    std::string unihanPath = "/usr/share/unicode/Unihan_OtherMappings.txt.bz2";
    std::string kGb1TablePath; // where to write the kGB1 table as C++, when given
    std::string latinTablePath; // where to write the half glyphs as C++, when given
    std::string outputPath = "Font16s";
};

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string systemError()
{
    return std::strerror(errno);
}

void requireReadable(const std::string &path, const char *what)
{
    if (access(path.c_str(), R_OK) != 0)
        throw Error("cannot read " + std::string(what) + " '" + path + "': " + systemError());
}

// The glyphs of a Unifont file, 8-wide ones centred. `latin`, when given,
// also receives the printable ASCII glyphs as Unifont draws them, which must
// be 8 wide.
GlyphMap loadUnifont(const std::string &path, LatinGlyphs *latin = nullptr)
{
    requireReadable(path, "Unifont file");
    std::ifstream in(path);
    if (!in)
        throw Error("cannot open Unifont file '" + path + "'");

    GlyphMap glyphs;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        const auto where = [&] { return path + ":" + std::to_string(lineNumber); };
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0 || colon > 6)
            throw Error(where() + ": expected CODEPOINT:HEXDIGITS");
        char32_t codePoint = 0;
        for (std::size_t i = 0; i < colon; ++i) {
            const int digit = dotforge::hexDigitValue(line[i]);
            if (digit < 0)
                throw Error(where() + ": bad code point '" + line.substr(0, colon) + "'");
            codePoint = codePoint << 4 | static_cast<char32_t>(digit);
        }
        const std::string_view hex = std::string_view(line).substr(colon + 1);
        const auto glyph = Font16s::glyphFromHex(hex);
        if (!glyph)
            throw Error(where() + ": glyph must be 32 or 64 hex digits");
        if (latin && codePoint >= FirstLatin && codePoint <= LastLatin) {
            const auto narrow = Font16s::narrowGlyphFromHex(hex);
            if (!narrow)
                throw Error(where() + ": a printable ASCII glyph must be 8 dots wide (32 hex digits)");
            (*latin)[codePoint - FirstLatin] = *narrow;
        }
        glyphs.emplace(codePoint, *glyph);
    }
    if (in.bad())
        throw Error("read error in '" + path + "'");
    if (glyphs.empty())
        throw Error("no glyphs in Unifont file '" + path + "'");
    return glyphs;
}

std::string shellQuoted(const std::string &text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

// kGB1 value (area * 100 + position) -> code point.
std::unordered_map<int, char32_t> loadKGb1(const std::string &path)
{
    requireReadable(path, "Unihan file");
    const bool compressed = path.size() > 4 && path.compare(path.size() - 4, 4, ".bz2") == 0;
    const std::string command = compressed ? "bzip2 -dc -- " + shellQuoted(path) : "cat -- " + shellQuoted(path);
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        throw Error("cannot run '" + command + "': " + systemError());

    std::unordered_map<int, char32_t> mapping;
    std::string badLine;
    std::string line;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        line += buffer;
        if (line.back() != '\n' && !std::feof(pipe))
            continue;
        // U+8A34<TAB>kGB1<TAB>4363
        const std::size_t tab = line.find("\tkGB1\t");
        if (line.rfind("U+", 0) == 0 && tab != std::string::npos && badLine.empty()) {
            const std::string value = line.substr(tab + 6, line.find_first_of("\r\n", tab + 6) - tab - 6);
            // One to six hexadecimal digits between "U+" and the tab.
            bool hexOnly = tab > 2 && tab <= 8;
            char32_t codePoint = 0;
            for (std::size_t i = 2; hexOnly && i < tab; ++i) {
                const int digit = dotforge::hexDigitValue(line[i]);
                hexOnly = digit >= 0;
                codePoint = codePoint << 4 | static_cast<char32_t>(digit);
            }
            const bool digitsOnly = value.size() == 4 && value.find_first_not_of("0123456789") == std::string::npos;
            const int code = digitsOnly ? std::stoi(value) : 0;
            if (!hexOnly || codePoint > 0x10FFFF || !digitsOnly || code / 100 < 1 || code / 100 > CellsPerArea
                || code % 100 < 1 || code % 100 > CellsPerArea) {
                badLine = line;
            } else {
                // The first code point listed for a cell wins.
                mapping.emplace(code, static_cast<char32_t>(codePoint));
            }
        }
        line.clear();
    }
    const int status = pclose(pipe);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw Error("reading '" + path + "' failed: " + command + " exited with status "
            + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1));
    if (!badLine.empty()) {
        while (!badLine.empty() && (badLine.back() == '\n' || badLine.back() == '\r'))
            badLine.pop_back();
        throw Error("bad kGB1 line in '" + path + "': " + badLine);
    }
    if (mapping.empty())
        throw Error("no kGB1 lines in '" + path + "' (is it Unihan_OtherMappings.txt?)");
    return mapping;
}

// Decodes one two-byte EUC character with glibc iconv.
class EucDecoder {
public:
    explicit EucDecoder(const char *encoding)
        : m_cd(iconv_open("UTF-32LE", encoding))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw Error(std::string("iconv cannot convert from ") + encoding + ": " + systemError());
    }
    ~EucDecoder() { iconv_close(m_cd); }
    EucDecoder(const EucDecoder &) = delete;
    EucDecoder &operator=(const EucDecoder &) = delete;

    // Returns 0 when the bytes are no single character.
    char32_t decode(int first, int second)
    {
        char in[2] = {static_cast<char>(first), static_cast<char>(second)};
        unsigned char out[8] = {};
        char *inPtr = in;
        char *outPtr = reinterpret_cast<char *>(out);
        std::size_t inLeft = sizeof in;
        std::size_t outLeft = sizeof out;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        const std::size_t result = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (result == static_cast<std::size_t>(-1) || inLeft != 0 || outLeft != sizeof out - 4)
            return 0;
        return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
    }

private:
    iconv_t m_cd;
};

struct Sources {
    GlyphMap unifont;
    LatinGlyphs latin;
    GlyphMap unifontJp;
    std::unordered_map<int, char32_t> kGb1;
};

struct VariantResult {
    int records = 0;
    int glyphs = 0;
};

// Appends one variant; lookup(area, position) gives the glyph or nullptr.
template <typename Lookup> VariantResult appendVariant(std::vector<std::uint8_t> &out, int recordCount, Lookup lookup)
{
    VariantResult result{recordCount, 0};
    for (int k = 0; k < recordCount; ++k) {
        const Glyph *glyph = lookup(k / CellsPerArea + 1, k % CellsPerArea + 1);
        if (glyph) {
            out.insert(out.end(), glyph->begin(), glyph->end());
            ++result.glyphs;
        } else {
            out.insert(out.end(), 32, 0);
        }
    }
    return result;
}

const Glyph *find(const GlyphMap &glyphs, char32_t codePoint)
{
    if (codePoint == 0)
        return nullptr;
    const auto it = glyphs.find(codePoint);
    return it == glyphs.end() ? nullptr : &it->second;
}

std::vector<std::uint8_t> buildFont(const Sources &sources, std::vector<VariantResult> &results)
{
    EucDecoder gb2312("GB2312");
    EucDecoder eucJp("EUC-JP");
    EucDecoder eucKr("EUC-KR");

    std::vector<std::uint8_t> out;
    out.reserve(33275 * 32);

    results.push_back(appendVariant(out, 8363,
        [&](int area, int position) { return find(sources.unifont, gb2312.decode(area + 0xA0, position + 0xA0)); }));
    results.push_back(appendVariant(out, 8368, [&](int area, int position) {
        const auto it = sources.kGb1.find(area * 100 + position);
        const char32_t codePoint = it != sources.kGb1.end() ? it->second : gb2312.decode(area + 0xA0, position + 0xA0);
        return find(sources.unifont, codePoint);
    }));
    results.push_back(appendVariant(out, 7802, [&](int area, int position) {
        const char32_t codePoint = eucJp.decode(area + 0xA0, position + 0xA0);
        const Glyph *glyph = find(sources.unifontJp, codePoint);
        return glyph ? glyph : find(sources.unifont, codePoint);
    }));
    // KS X 1001 rows 13 to 15 are empty, so the file skips them.
    results.push_back(appendVariant(out, 8742, [&](int area, int position) -> const Glyph * {
        const int row = area <= 12 ? area : area + 3;
        if (row > CellsPerArea)
            return nullptr;
        return find(sources.unifont, eucKr.decode(row + 0xA0, position + 0xA0));
    }));
    return out;
}

void writeAtomically(const std::string &path, const std::vector<std::uint8_t> &data)
{
    const std::string tempPath = path + ".tmp" + std::to_string(getpid());
    {
        std::ofstream file(tempPath, std::ios::binary | std::ios::trunc);
        if (!file)
            throw Error("cannot create '" + tempPath + "': " + systemError());
        file.write(reinterpret_cast<const char *>(data.data()), static_cast<std::streamsize>(data.size()));
        file.close();
        if (!file) {
            const std::string reason = systemError();
            std::remove(tempPath.c_str());
            throw Error("cannot write '" + tempPath + "': " + reason);
        }
    }
    if (std::rename(tempPath.c_str(), path.c_str()) != 0) {
        const std::string reason = systemError();
        std::remove(tempPath.c_str());
        throw Error("cannot rename '" + tempPath + "' to '" + path + "': " + reason);
    }
}

// The kGB1 mapping as lines "{area x 100 + position, 0xcode point}," in
// ascending order, for the traditional set's table in the program.
void writeKGb1Table(const std::string &path, const std::unordered_map<int, char32_t> &kGb1)
{
    std::vector<std::pair<int, char32_t>> entries(kGb1.begin(), kGb1.end());
    std::sort(entries.begin(), entries.end());
    std::string text
        = "// Generated by make_font16s from Unihan's kGB1 field: GB/T 12345 area x 100 + position, code point.\n";
    char line[48];
    for (const auto &[code, codePoint] : entries) {
        std::snprintf(line, sizeof line, "{%d, 0x%X},\n", code, unsigned(codePoint));
        text += line;
    }
    writeAtomically(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// The half glyphs as lines "{0x00, ...}, // U+0041", 16 row bytes each, from
// U+0020 to U+007E, for the table in the program.
void writeLatinTable(const std::string &path, const std::string &unifontPath, const LatinGlyphs &latin)
{
    std::string text = "// Generated by make_font16s from GNU Unifont: the 8 x 16 glyphs of U+0020 to U+007E,\n"
                       "// 16 rows top to bottom, one byte a row, bit 7 the leftmost dot.\n";
    char cell[16];
    for (std::size_t i = 0; i < latin.size(); ++i) {
        const unsigned codePoint = unsigned(FirstLatin + i);
        if (!latin[i]) {
            std::snprintf(cell, sizeof cell, "U+%04X", codePoint);
            throw Error("no glyph for " + std::string(cell) + " in Unifont file '" + unifontPath + "'");
        }
        text += '{';
        for (std::size_t row = 0; row < latin[i]->size(); ++row) {
            std::snprintf(cell, sizeof cell, row == 0 ? "0x%02X" : ", 0x%02X", unsigned((*latin[i])[row]));
            text += cell;
        }
        // The code point only: a backslash at the end of a comment would join the next line to it.
        std::snprintf(cell, sizeof cell, "}, // U+%04X\n", codePoint);
        text += cell;
    }
    writeAtomically(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

void printUsage(std::ostream &out)
{
    const Options defaults;
    out << "Usage: make_font16s [options]\n"
           "Writes the 16 x 16 font file Font16s from GNU Unifont and Unihan.\n\n"
           "  --unifont FILE     Unifont .hex file (default "
        << defaults.unifontPath
        << ")\n"
           "  --unifont-jp FILE  Japanese Unifont .hex file (default "
        << defaults.unifontJpPath
        << ")\n"
           "  --unihan FILE      Unihan_OtherMappings.txt, optionally .bz2 (default "
        << defaults.unihanPath
        << ")\n"
           "  -o, --output FILE  file to write (default "
        << defaults.outputPath
        << ")\n"
           "  --kgb1-table FILE  also write Unihan's kGB1 mapping (GB/T 12345 area x 100 +\n"
           "                     position, code point) as C++ initialiser lines\n"
           "  --latin-table FILE also write the 8 x 16 Unifont glyphs of U+0020 to U+007E\n"
           "                     as C++ initialiser lines, 16 row bytes each\n";
}

Options parseArguments(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            printUsage(std::cout);
            std::exit(0);
        }
        std::string *target = nullptr;
        if (arg == "--unifont")
            target = &options.unifontPath;
        else if (arg == "--unifont-jp")
            target = &options.unifontJpPath;
        else if (arg == "--unihan")
            target = &options.unihanPath;
        else if (arg == "-o" || arg == "--output")
            target = &options.outputPath;
        else if (arg == "--kgb1-table")
            target = &options.kGb1TablePath;
        else if (arg == "--latin-table")
            target = &options.latinTablePath;
        else
            throw Error("unknown argument '" + arg + "' (see --help)");
        if (i + 1 >= argc || argv[i + 1][0] == '\0')
            throw Error(arg + " needs a file name");
        *target = argv[++i];
    }
    return options;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        const auto start = std::chrono::steady_clock::now();
        const Options options = parseArguments(argc, argv);

        Sources sources;
        sources.unifont = loadUnifont(options.unifontPath, options.latinTablePath.empty() ? nullptr : &sources.latin);
        sources.unifontJp = loadUnifont(options.unifontJpPath);
        sources.kGb1 = loadKGb1(options.unihanPath);

        std::vector<VariantResult> results;
        const std::vector<std::uint8_t> font = buildFont(sources, results);
        writeAtomically(options.outputPath, font);
        if (!options.kGb1TablePath.empty())
            writeKGb1Table(options.kGb1TablePath, sources.kGb1);
        if (!options.latinTablePath.empty())
            writeLatinTable(options.latinTablePath, options.unifontPath, sources.latin);

        const auto elapsed
            = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        std::cout << "make_font16s: wrote " << options.outputPath << " (" << font.size()
                  << " bytes; glyphs per variant:";
        for (const VariantResult &result : results)
            std::cout << ' ' << result.glyphs << '/' << result.records;
        std::cout << "; " << elapsed.count() << " ms)\n";
        return 0;
    } catch (const std::exception &error) {
        std::cerr << "make_font16s: error: " << error.what() << '\n';
        return 1;
    }
}
