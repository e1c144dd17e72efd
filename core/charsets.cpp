#include "core/charsets.h"

#include <algorithm>
#include <array>
#include <iconv.h>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

namespace dotforge {

namespace {

// Unihan's kGB1 field: GB/T 12345 area x 100 + position, code point.
constexpr std::pair<int, char32_t> kKGb1[] = {
#include "kgb1_table.inc"
};

// One character through an iconv converter: the code point of a two-byte
// code, or the bytes of a character; nothing when the converter refuses.
class Converter {
public:
    Converter(const char *to, const char *from)
        : m_cd(iconv_open(to, from))
    {
    }
    ~Converter()
    {
        if (m_cd != iconv_t(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // The output of converting `in` whole; nothing when any of it fails.
    std::optional<std::string> convert(std::string_view in)
    {
        if (m_cd == iconv_t(-1))
            return std::nullopt;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char *src = const_cast<char *>(in.data());
        std::size_t srcLeft = in.size();
        char out[16];
        char *dst = out;
        std::size_t dstLeft = sizeof out;
        if (iconv(m_cd, &src, &srcLeft, &dst, &dstLeft) == std::size_t(-1) || srcLeft != 0)
            return std::nullopt;
        return std::string(out, sizeof out - dstLeft);
    }

private:
    iconv_t m_cd;
};

struct Table {
    std::vector<std::uint32_t> codes; // ascending
    std::vector<char32_t> characters; // of each code
    std::unordered_map<char32_t, std::uint32_t> byCharacter;
};

bool privateUse(char32_t c)
{
    return (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000;
}

// The character of a two-byte code in an iconv encoding; 0 for none.
char32_t decoded(Converter &decoder, std::uint32_t code)
{
    const char bytes[2] = {char(code >> 8), char(code & 0xFF)};
    const std::optional<std::string> out = decoder.convert(std::string_view(bytes, 2));
    if (!out || out->size() != 4)
        return 0;
    const auto b = [&out](int i) { return char32_t(static_cast<unsigned char>((*out)[std::size_t(i)])); };
    return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

// Every code of an EUC-style encoding (lead and trail bytes in the given
// ranges, 0x7F never a trail byte) with the character iconv gives it; a
// character of several codes is kept at the code iconv encodes it as.
Table eucTable(const char *encoding, int leadFirst, int trailFirst)
{
    Table table;
    Converter decoder("UTF-32LE", encoding);
    for (int lead = leadFirst; lead <= 0xFE; ++lead)
        for (int trail = trailFirst; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const std::uint32_t code = std::uint32_t(lead << 8 | trail);
            const char32_t c = decoded(decoder, code);
            if (c == 0 || privateUse(c))
                continue;
            table.codes.push_back(code);
            table.characters.push_back(c);
        }
    Converter encoder(encoding, "UTF-32LE");
    for (std::size_t i = 0; i < table.codes.size(); ++i) {
        const auto [at, added] = table.byCharacter.emplace(table.characters[i], table.codes[i]);
        if (added)
            continue;
        const char32_t c = table.characters[i];
        const char bytes[4] = {char(c), char(c >> 8), char(c >> 16), char(c >> 24)};
        const std::optional<std::string> encoded = encoder.convert(std::string_view(bytes, 4));
        if (encoded && encoded->size() == 2)
            at->second = std::uint32_t(
                static_cast<unsigned char>((*encoded)[0]) << 8 | static_cast<unsigned char>((*encoded)[1]));
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
    for (const std::uint32_t code : table.codes) {
        const char32_t c = characters[code];
        table.characters.push_back(c);
        table.byCharacter.emplace(c, code); // the lowest code of a character
    }
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
    const Table &table = tableOf(set);
    const auto at = table.byCharacter.find(character);
    if (at == table.byCharacter.end())
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
