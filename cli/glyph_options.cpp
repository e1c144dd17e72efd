#include "cli/glyph_options.h"

#include "cli/errors.h"
#include "cli/options.h"
#include "core/charsets.h"
#include "core/gbk.h"
#include "core/hex.h"
#include "core/program_folders.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace dotforge::cli {

namespace {

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A code point: one to six hexadecimal digits, "U+" before them or not.
std::string codePointCode(const std::string &item)
{
    const std::string digits = item.starts_with("U+") || item.starts_with("u+") ? item.substr(2) : item;
    std::uint32_t value = 0;
    if (digits.empty() || digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), isHexDigit))
        throw UsageError(
            "invalid code '" + item + "' in --codes (a code point: hexadecimal digits, as 4E2D or U+4E2D)");
    for (const char c : digits)
        value = value << 4 | std::uint32_t(hexDigitValue(c));
    if (!characterOf(CharSet::Unicode, value))
        throw UsageError(
            "invalid code '" + item + "' in --codes: no Unicode character (a surrogate, or past U+10FFFF)");
    return codeBytesOf(CharSet::Unicode, value);
}

std::vector<std::string> parseCodes(const std::string &list, CharSet set)
{
    std::vector<std::string> codes;
    std::size_t start = 0;
    for (;;) {
        const auto comma = list.find(',', start);
        const std::string item = trimmed(list.substr(start, comma == std::string::npos ? comma : comma - start));
        if (set == CharSet::Unicode) {
            codes.push_back(codePointCode(item));
        } else if (item.size() != 4 || !std::all_of(item.begin(), item.end(), isHexDigit)) {
            throw UsageError("invalid code '" + item + "' in --codes (four hexadecimal digits, as B0A1)");
        } else {
            const std::string code{char(hexDigitValue(item[0]) << 4 | hexDigitValue(item[1])),
                char(hexDigitValue(item[2]) << 4 | hexDigitValue(item[3]))};
            if (hasControlByte(code))
                throw UsageError(
                    "invalid code '" + item + "' in --codes: control bytes (00 to 1F, 7F) are no characters");
            codes.push_back(code);
        }
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return codes;
}

} // namespace

void readGlyphSource(const Arguments &a, BuildJob &job)
{
    job.size = dotSizeOption(a, 16);
    job.font16s = a.choice("source", sourceSpec().words, "ttf") == "font16s";
    if (job.font16s && job.size != 16)
        throw UsageError("--source font16s needs --size 16: the dot-matrix font holds 16-dot glyphs only");
    for (const char *option : job.font16s ? std::vector<const char *>{"font", "font-file", "point-size"}
                                          : std::vector<const char *>{"font16s", "variant"}) {
        if (a.has(option))
            throw UsageError(
                std::string("--") + option + " applies to --source " + (job.font16s ? "ttf" : "font16s") + " only");
    }
    if (a.has("font16s")) {
        job.font16sPath = a.value("font16s");
        if (job.font16sPath.empty())
            throw UsageError("--font16s needs a file name");
    } else if (job.font16s) {
        const Font16sSearch search = findFont16s(".", processEnvironment(), mayExist);
        job.font16sPath = search.found;
        job.font16sPlaces = search.places;
    }
    job.variant = a.integer("variant", 0, 3).value_or(0);
    job.face = a.value("font", job.face);
    if (job.face.empty())
        throw UsageError("--font needs a face name");
    if (a.has("font-file")) {
        if (a.has("font"))
            throw UsageError("--font and --font-file exclude one another");
        if (a.value("font-file").empty())
            throw UsageError("--font-file needs a file name");
        job.fontFile = true;
        job.face = std::filesystem::absolute(a.value("font-file")).lexically_normal().string();
    }
    // Checked against the face once it is open: bitmap strikes may lie outside
    // the 12 to 28 points of scalable faces.
    job.pointSize = a.integer("point-size", 1, 99);
}

void readCharacters(const Arguments &a, BuildJob &job)
{
    const int given = int(a.has("text")) + int(a.has("text-file")) + int(a.has("codes")) + int(a.has("charset"));
    if (given == 0)
        throw UsageError("no characters: give --text, --text-file, --codes or --charset");
    if (given > 1)
        throw UsageError("--text, --text-file, --codes and --charset exclude one another");
    if (a.has("charset")) {
        job.characters = BuildJob::Characters::Charset;
        job.charset = a.choice("charset", charsetSpec().words, "");
        if (job.charset == "all" && !job.font16s)
            throw UsageError("--charset all needs --source font16s: it names the positions of the dot-matrix font");
    }
    // The set: as given; else a whole Japanese or Korean set's own; else GBK,
    // which holds GB2312.
    if (a.has("set"))
        job.set = *charSetNamed(a.choice("set", textSetSpec().words, ""));
    else if (job.charset == "jisx0208" || job.charset == "ksx1001")
        job.set = *charSetNamed(job.charset);
    job.setGiven = a.has("set") || job.set != CharSet::Gbk;
    if (a.has("codes")) {
        job.characters = BuildJob::Characters::Codes;
        job.codes = parseCodes(a.value("codes"), job.set);
    } else if (a.has("text-file")) {
        job.characters = BuildJob::Characters::TextFile;
        job.text = a.value("text-file");
    } else if (a.has("text")) {
        job.text = a.value("text");
    }
}

OptionSpec sourceSpec()
{
    return {.name = "source", .words = {"ttf", "font16s"}};
}

OptionSpec fontFileSpec()
{
    return {.name = "font-file", .files = {"ttf", "ttc", "otf", "otc", "bdf", "pcf", "pcf.gz"}};
}

OptionSpec charsetSpec()
{
    return {.name = "charset", .words = {"gb2312", "gb2312-hanzi", "gbk", "jisx0208", "ksx1001", "all"}};
}

OptionSpec textSetSpec()
{
    return {.name = "set", .words = {"gb2312", "gbk", "gbt12345", "jisx0208", "ksx1001", "unicode"}};
}

} // namespace dotforge::cli
