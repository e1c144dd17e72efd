#include "core/gbk.h"
#include "core/iconv_converter.h"

#include <algorithm>

namespace dotforge {

std::string gbkCharacterAt(std::string_view gbk, std::size_t i, std::size_t *length)
{
    // One converter per thread for the run: opening one costs more than the
    // conversion of a character, and the batch tool converts every glyph's code.
    thread_local IconvConverter cv("UTF-8", "GBK");
    const auto b = static_cast<unsigned char>(gbk[i]);
    *length = gbkCharacterLength(gbk, i);
    if (b < 0x80)
        return std::string(1, char(b));
    std::string out;
    if (cv.convert(gbk.substr(i, *length), out))
        return out;
    // A lead byte before an ASCII byte: the lead byte alone is nothing, the
    // ASCII byte still counts.
    if (*length == 2 && static_cast<unsigned char>(gbk[i + 1]) < 0x80)
        *length = 1;
    return {};
}

std::optional<std::string> decodedToUtf8(std::string_view bytes, const char *encoding)
{
    IconvConverter cv("UTF-8", encoding);
    std::string out;
    if (!cv.convert(bytes, out))
        return std::nullopt;
    return out;
}

std::string gbkToUtf8(std::string_view gbk)
{
    std::string out;
    std::size_t length = 0;
    for (std::size_t i = 0; i < gbk.size(); i += length)
        out += gbkCharacterAt(gbk, i, &length);
    return out;
}

std::optional<std::string> utf8ToGbk(std::string_view utf8, std::string *unencodable)
{
    thread_local IconvConverter cv("GBK", "UTF-8");
    std::string out;
    std::size_t consumed = 0;
    if (cv.convert(utf8, out, &consumed))
        return out;
    if (unencodable) {
        // The character at the failing position: its UTF-8 bytes.
        std::size_t end = consumed + 1;
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            ++end;
        *unencodable = std::string(utf8.substr(consumed, end - consumed));
    }
    return std::nullopt;
}

std::optional<Utf8Character> utf8CharacterAt(std::string_view bytes, std::size_t i)
{
    const auto b = static_cast<unsigned char>(bytes[i]);
    int length = 0;
    char32_t code = 0;
    if (b < 0x80)
        return Utf8Character{b, 1};
    if ((b & 0xE0) == 0xC0) {
        length = 2;
        code = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        length = 3;
        code = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        length = 4;
        code = b & 0x07;
    } else {
        return std::nullopt;
    }
    if (bytes.size() - i < std::size_t(length))
        return std::nullopt;
    for (int k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(bytes[i + std::size_t(k)]);
        if ((c & 0xC0) != 0x80)
            return std::nullopt;
        code = (code << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((length == 2 && code < 0x80) || (length == 3 && code < 0x800) || (length == 4 && code < 0x10000)
        || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return Utf8Character{code, length};
}

std::optional<std::u32string> utf8ToUtf32(std::string_view utf8)
{
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) { // the bulk of most texts, at little cost
            out += char32_t(utf8[i++]);
            continue;
        }
        const auto c = utf8CharacterAt(utf8, i);
        if (!c)
            return std::nullopt;
        out += c->code;
        i += std::size_t(c->length);
    }
    return out;
}

std::string_view withoutPartialUtf8Tail(std::string_view text)
{
    std::size_t lead = text.size();
    int trail = 0;
    while (lead > 0 && trail < 3 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) {
        --lead;
        ++trail;
    }
    if (lead == 0)
        return text;
    const auto b = static_cast<unsigned char>(text[lead - 1]);
    if (b < 0xC0)
        return text;
    const int length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    return trail + 1 < length ? text.substr(0, lead - 1) : text;
}

std::optional<int> longestUtf8Sequence(std::string_view bytes)
{
    int longest = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            longest = std::max(longest, 1);
            ++i;
            continue;
        }
        const auto c = utf8CharacterAt(bytes, i);
        if (!c)
            return std::nullopt;
        longest = std::max(longest, c->length);
        i += std::size_t(c->length);
    }
    return longest;
}

std::optional<std::string> utf16ToUtf8(std::string_view utf16, bool bigEndian)
{
    thread_local IconvConverter fromLittle("UTF-8", "UTF-16LE");
    thread_local IconvConverter fromBig("UTF-8", "UTF-16BE");
    IconvConverter &cv = bigEndian ? fromBig : fromLittle;
    std::string out;
    if (utf16.size() % 2 != 0 || !cv.convert(utf16, out))
        return std::nullopt;
    return out;
}

std::size_t gbkCharacterLength(std::string_view gbk, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(gbk[i]);
    if (lead < 0x81 || lead > 0xFE || i + 1 >= gbk.size())
        return 1;
    const auto trail = static_cast<unsigned char>(gbk[i + 1]);
    return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 1;
}

bool hasSingleByteCharacter(std::string_view gbk)
{
    for (std::size_t i = 0; i < gbk.size(); i += gbkCharacterLength(gbk, i))
        if (gbkCharacterLength(gbk, i) == 1)
            return true;
    return false;
}

bool hasControlByte(std::string_view bytes)
{
    return std::any_of(
        bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

std::string encodeUtf8(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

} // namespace dotforge
