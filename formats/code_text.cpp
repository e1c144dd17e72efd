#include "formats/code_text.h"

#include "core/gbk.h"
#include "core/hex.h"

#include <cctype>
#include <optional>

namespace dotforge {

char modeLetter(Mode mode)
{
    return char('A' + int(mode));
}

bool invisibleControl(char32_t c)
{
    return (c >= 0x80 && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x2028 && c <= 0x202E)
        || (c >= 0x2066 && c <= 0x2069);
}

std::string codeHex(const std::string &code)
{
    if (code.size() == 4) {
        const std::uint32_t value = codeNumberOf(code);
        std::string out = "U+";
        for (int shift = value > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4)
            out += hexDigit(unsigned(value >> shift));
        return out;
    }
    std::string out;
    for (const char c : code) {
        const auto b = static_cast<unsigned char>(c);
        out += hexDigit(b >> 4);
        out += hexDigit(b);
    }
    return out;
}

std::optional<char32_t> codeCharacter(const std::string &code, const CodeNaming &naming)
{
    if (!(naming == CodeNaming{}))
        return namedCharacter(naming, code);
    const std::string text = gbkToUtf8(code);
    const std::optional<Utf8Character> character = utf8CharacterAt(text, 0);
    // Only a character that encodes back to the whole code is the code's own.
    if (text.empty() || !character || std::size_t(character->length) != text.size() || utf8ToGbk(text) != code)
        return std::nullopt;
    return character->code;
}

std::string shownCharacter(const std::string &code, const CodeNaming &naming)
{
    if (!(naming == CodeNaming{})) {
        const std::optional<char32_t> c = namedCharacter(naming, code);
        const bool shown = c && (*c < 0x80 ? std::isalnum(int(*c)) != 0 : !invisibleControl(*c));
        return shown ? encodeUtf8(*c) : std::string();
    }
    const std::string text = gbkToUtf8(code);
    // Only text that encodes back to the whole code is the code's character; ASCII
    // other than letters and digits is left out so that a pair like "*/" cannot
    // end a C comment or move a terminal's cursor.
    if (text.empty() || utf8ToGbk(text) != code)
        return {};
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80 && !std::isalnum(b))
            return {};
    }
    return text;
}

std::string codeLabel(const std::string &code, const CodeNaming &naming)
{
    const std::string shown = shownCharacter(code, naming);
    return codeHex(code) + (shown.empty() ? "" : " " + shown);
}

std::string readableText(std::string_view bytes)
{
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        if (const std::optional<Utf8Character> character = utf8CharacterAt(bytes, i)) {
            out.append(bytes.substr(i, std::size_t(character->length)));
            i += std::size_t(character->length);
            continue;
        }
        const auto b = static_cast<unsigned char>(bytes[i++]);
        out += "\\x";
        out += hexDigit(b >> 4);
        out += hexDigit(b);
    }
    return out;
}

std::string commentText(std::string_view text, bool &escaped)
{
    std::string out;
    const auto byteEscape = [&out, &escaped](unsigned b) {
        out += "\\x";
        out += hexDigit(b >> 4);
        out += hexDigit(b);
        escaped = true;
    };
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const std::optional<Utf8Character> character = utf8CharacterAt(text, i);
        const std::size_t length = character ? std::size_t(character->length) : 0;
        const char32_t point = character ? character->code : 0;
        const bool nextToSlash
            = c == '*' && ((i > 0 && text[i - 1] == '/') || (i + 1 < text.size() && text[i + 1] == '/'));
        const bool trigraphStart = c == '?' && i + 1 < text.size() && text[i + 1] == '?';
        if (c == '\\') {
            out += "\\\\";
            escaped = true;
        } else if (length == 0 || point < 0x20 || point == 0x7F || nextToSlash || trigraphStart) {
            byteEscape(unsigned(std::uint8_t(c)));
            i += 1;
            continue;
        } else if (invisibleControl(point)) {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += hexDigit(unsigned(point >> shift));
            escaped = true;
        } else {
            out.append(text, i, length);
        }
        i += length;
    }
    return out;
}

std::string commentLines(const std::vector<std::string> &lines)
{
    std::string out;
    bool escaped = false;
    for (const std::string &line : lines)
        out += "\n * " + commentText(line, escaped);
    if (escaped)
        out += "\n * (Above, \\\\ is a backslash, \\xNN the byte NN and \\uXXXX the character U+XXXX.)";
    return out;
}

} // namespace dotforge
