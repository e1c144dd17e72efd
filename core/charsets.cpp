#include "core/charsets.h"
#include "core/iconv_converter.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

namespace dotforge {

namespace {

// Unihan's kGB1 field: GB/T 12345 area x 100 + position, code point.
constexpr std::pair<int, char32_t> kKGb1[] = {
#include "kgb1_table.inc"
};

struct Table {
    std::vector<std::uint32_t> codes; // ascending
    std::vector<char32_t> characters; // of each code
    // The iconv encoding that gives a character of several codes its code;
    // none for a set where it keeps its lowest.
    const char *encoding = nullptr;
};

bool privateUse(char32_t c)
{
    return (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000;
}

// The character of UTF-32LE bytes.
char32_t utf32At(const std::string &bytes, std::size_t at)
{
    const auto b = [&](std::size_t i) { return char32_t(static_cast<unsigned char>(bytes[at + i])); };
    return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

// The character of a two-byte code in an iconv encoding; 0 for none.
char32_t decoded(IconvConverter &decoder, std::uint32_t code)
{
    const char bytes[2] = {char(code >> 8), char(code & 0xFF)};
    std::string out;
    if (!decoder.convert(std::string_view(bytes, 2), out) || out.size() != 4)
        return 0;
    return utf32At(out, 0);
}

// The characters of the codes of a lead byte with each of `trails` (0 for a
// code without one), as decoded() gives them, but with one conversion for the
// run of codes up to each code that has none.
std::vector<char32_t> decodedRow(IconvConverter &decoder, int lead, const std::string &trails)
{
    std::string row;
    for (const char trail : trails)
        row += {char(lead), trail};
    std::vector<char32_t> characters(trails.size());
    std::string out;
    for (std::size_t at = 0; at < row.size();) {
        std::size_t consumed = 0;
        const bool whole = decoder.convert(std::string_view(row).substr(at), out, &consumed);
        // One character of four bytes for each code taken, else code by code.
        if (consumed % 2 != 0 || out.size() != consumed * 2) {
            for (std::size_t i = at / 2; i < characters.size(); ++i)
                characters[i] = decoded(decoder, std::uint32_t(lead << 8) | static_cast<unsigned char>(trails[i]));
            break;
        }
        for (std::size_t k = 0; k < consumed / 2; ++k)
            characters[at / 2 + k] = utf32At(out, 4 * k);
        at += consumed + (whole ? 0 : 2); // past the code without a character
    }
    return characters;
}

// Every code of an EUC-style encoding (lead and trail bytes in the given
// ranges, 0x7F never a trail byte) with the character iconv gives it.
Table eucTable(const char *encoding, int leadFirst, int trailFirst)
{
    Table table;
    table.encoding = encoding;
    std::string trails;
    for (int trail = trailFirst; trail <= 0xFE; ++trail)
        if (trail != 0x7F)
            trails += char(trail);
    IconvConverter decoder("UTF-32LE", encoding);
    for (int lead = leadFirst; lead <= 0xFE; ++lead) {
        const std::vector<char32_t> row = decodedRow(decoder, lead, trails);
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (row[i] == 0 || privateUse(row[i]))
                continue;
            table.codes.push_back(std::uint32_t(lead << 8) | static_cast<unsigned char>(trails[i]));
            table.characters.push_back(row[i]);
        }
    }
    return table;
}

// GB 2312's positions with Unihan's traditional characters where kGB1 gives
// one, GB 2312's own elsewhere.
Table traditionalTable(const Table &gb2312)
{
    std::unordered_map<std::uint32_t, char32_t> characters;
    for (std::size_t i = 0; i < gb2312.codes.size(); ++i)
        characters.emplace(gb2312.codes[i], gb2312.characters[i]);
    for (const auto &[position, c] : kKGb1)
        characters[std::uint32_t((position / 100 + 0xA0) << 8 | (position % 100 + 0xA0))] = c;
    Table table;
    for (const auto &[code, c] : characters)
        table.codes.push_back(code);
    std::sort(table.codes.begin(), table.codes.end());
    for (const std::uint32_t code : table.codes)
        table.characters.push_back(characters[code]);
    return table;
}

const Table &tableOf(CharSet set)
{
    static std::array<std::once_flag, 6> once;
    static std::array<Table, 6> tables;
    const std::size_t i = std::size_t(set);
    std::call_once(once[i], [set, i] {
        switch (set) {
        case CharSet::Gb2312:
            tables[i] = eucTable("GB2312", 0xA1, 0xA1);
            break;
        case CharSet::Gbk:
            tables[i] = eucTable("GBK", 0x81, 0x40);
            break;
        case CharSet::Gbt12345:
            tables[i] = traditionalTable(tableOf(CharSet::Gb2312));
            break;
        case CharSet::Jisx0208:
            tables[i] = eucTable("EUC-JP", 0xA1, 0xA1);
            break;
        case CharSet::Ksx1001:
            tables[i] = eucTable("EUC-KR", 0xA1, 0xA1);
            break;
        case CharSet::Unicode:
            break;
        }
    });
    return tables[i];
}

// The code of each character of a set, built only when a character is looked
// up: a character of several codes has the one the set's encoding gives it,
// or its lowest.
std::unordered_map<char32_t, std::uint32_t> characterIndex(const Table &table)
{
    std::unordered_map<char32_t, std::uint32_t> index;
    index.reserve(table.codes.size());
    std::optional<IconvConverter> encoder;
    if (table.encoding)
        encoder.emplace(table.encoding, "UTF-32LE");
    for (std::size_t i = 0; i < table.codes.size(); ++i) {
        const auto [at, added] = index.emplace(table.characters[i], table.codes[i]);
        if (added || !encoder)
            continue;
        const char32_t c = table.characters[i];
        const char bytes[4] = {char(c), char(c >> 8), char(c >> 16), char(c >> 24)};
        std::string encoded;
        if (encoder->convert(std::string_view(bytes, 4), encoded) && encoded.size() == 2)
            at->second
                = std::uint32_t(static_cast<unsigned char>(encoded[0]) << 8 | static_cast<unsigned char>(encoded[1]));
    }
    return index;
}

const std::unordered_map<char32_t, std::uint32_t> &characterIndexOf(CharSet set)
{
    static std::array<std::once_flag, 6> once;
    static std::array<std::unordered_map<char32_t, std::uint32_t>, 6> indexes;
    const std::size_t i = std::size_t(set);
    std::call_once(once[i], [set, i] { indexes[i] = characterIndex(tableOf(set)); });
    return indexes[i];
}

bool isCodePoint(std::uint32_t c)
{
    return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
}

} // namespace

std::optional<CharSet> charSetNamed(std::string_view name)
{
    for (const CharSet set :
        {CharSet::Gb2312, CharSet::Gbk, CharSet::Gbt12345, CharSet::Jisx0208, CharSet::Ksx1001, CharSet::Unicode})
        if (charSetName(set) == name)
            return set;
    return std::nullopt;
}

std::string_view charSetName(CharSet set)
{
    switch (set) {
    case CharSet::Gb2312:
        return "gb2312";
    case CharSet::Gbk:
        return "gbk";
    case CharSet::Gbt12345:
        return "gbt12345";
    case CharSet::Jisx0208:
        return "jisx0208";
    case CharSet::Ksx1001:
        return "ksx1001";
    case CharSet::Unicode:
        return "unicode";
    }
    return {};
}

std::string_view charSetTitle(CharSet set)
{
    switch (set) {
    case CharSet::Gb2312:
        return "GB2312";
    case CharSet::Gbk:
        return "GBK";
    case CharSet::Gbt12345:
        return "GB/T 12345";
    case CharSet::Jisx0208:
        return "JIS X 0208";
    case CharSet::Ksx1001:
        return "KS X 1001";
    case CharSet::Unicode:
        return "Unicode";
    }
    return {};
}

std::optional<char32_t> characterOf(CharSet set, std::uint32_t code)
{
    if (set == CharSet::Unicode)
        return isCodePoint(code) ? std::optional<char32_t>(char32_t(code)) : std::nullopt;
    const Table &table = tableOf(set);
    const auto at = std::lower_bound(table.codes.begin(), table.codes.end(), code);
    if (at == table.codes.end() || *at != code)
        return std::nullopt;
    return table.characters[std::size_t(at - table.codes.begin())];
}

std::optional<std::uint32_t> codeOf(CharSet set, char32_t character)
{
    if (set == CharSet::Unicode)
        return isCodePoint(character) ? std::optional<std::uint32_t>(character) : std::nullopt;
    const std::unordered_map<char32_t, std::uint32_t> &index = characterIndexOf(set);
    const auto at = index.find(character);
    if (at == index.end())
        return std::nullopt;
    return at->second;
}

const std::vector<std::uint32_t> &codesOf(CharSet set)
{
    return tableOf(set).codes;
}

CodeNaming font16sNaming(int variant)
{
    switch (variant) {
    case 1:
        return {CharSet::Gbt12345, false};
    case 2:
        return {CharSet::Jisx0208, false};
    case 3:
        return {CharSet::Ksx1001, true};
    default:
        // GB 2312's codes, named as GBK (which holds GB 2312) names them.
        return {};
    }
}

std::string codeBytesOf(CharSet set, std::uint32_t code)
{
    if (set == CharSet::Unicode)
        return {char(code >> 24), char(code >> 16), char(code >> 8), char(code)};
    return {char(code >> 8), char(code)};
}

std::uint32_t codeNumberOf(std::string_view code)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < std::max<std::size_t>(code.size(), 2); ++i)
        value = value << 8 | (i < code.size() ? static_cast<unsigned char>(code[i]) : 0u);
    return value;
}

const char *charSetEncoding(CharSet set)
{
    switch (set) {
    case CharSet::Jisx0208:
        return "EUC-JP";
    case CharSet::Ksx1001:
        return "EUC-KR";
    case CharSet::Unicode:
        return "UTF-8";
    default:
        return "GBK";
    }
}

CharSet font16sSet(int variant)
{
    const CodeNaming naming = font16sNaming(variant);
    return naming == CodeNaming{} ? CharSet::Gb2312 : naming.set;
}

std::optional<char32_t> namedCharacter(const CodeNaming &naming, std::string_view code)
{
    if (naming.set == CharSet::Unicode)
        return code.size() == 4 ? characterOf(CharSet::Unicode, codeNumberOf(code)) : std::nullopt;
    if (code.size() != 2)
        return std::nullopt;
    const std::uint32_t value = codeNumberOf(setCode(naming, code));
    const std::optional<char32_t> c = characterOf(naming.set, value);
    if (!c || codeOf(naming.set, *c) != value)
        return std::nullopt;
    return c;
}

std::string setCode(const CodeNaming &naming, std::string_view code)
{
    std::string out(code);
    if (naming.skipsRows13To15 && out.size() == 2 && static_cast<unsigned char>(out[0]) >= 0xAD)
        out[0] = char(static_cast<unsigned char>(out[0]) + 3);
    return out;
}

std::optional<std::string> namedCode(const CodeNaming &naming, char32_t character)
{
    std::optional<std::uint32_t> code = codeOf(naming.set, character);
    if (!code)
        return std::nullopt;
    // Rows 13 to 15 hold no character, so every code from row 16 on moves down.
    if (naming.skipsRows13To15 && *code >= 0xB000)
        *code -= 0x300;
    return codeBytesOf(naming.set, *code);
}

} // namespace dotforge
