#include "cli/collect.h"

#include "cli/charsets.h"

#include "core/gbk.h"
#include "core/hex.h"
#include "library/text_import.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

namespace dotforge::cli {

namespace {

bool isIdentifierChar(char32_t c)
{
    return c < 0x80 && (std::isalnum(int(c)) || c == '_');
}

// A character of the text to report: not ASCII, and no byte that is no character.
bool shown(char32_t c)
{
    return c >= 0x80 && c < kUndecodableByte;
}

// The value of `digits` hexadecimal digits at text[i]; nothing when they are not all there.
std::optional<char32_t> hexEscape(std::u32string_view text, std::size_t i, int digits)
{
    if (i + std::size_t(digits) > text.size())
        return std::nullopt;
    char32_t value = 0;
    for (int k = 0; k < digits; ++k) {
        const int d = hexDigitValue(text[i + std::size_t(k)]);
        if (d < 0)
            return std::nullopt;
        value = value * 16 + char32_t(d);
    }
    return value;
}

// Walks a text keeping the position of the current character.
class Cursor {
public:
    explicit Cursor(std::u32string_view text)
        : m_text(text)
    {
    }
    bool atEnd() const { return m_i >= m_text.size(); }
    char32_t peek(std::size_t ahead = 0) const
    {
        return m_i + ahead < m_text.size() ? m_text[m_i + ahead] : char32_t(0);
    }
    std::size_t index() const { return m_i; }
    TextPosition position() const { return m_at; }
    std::u32string_view text() const { return m_text; }
    void advance(std::size_t count = 1)
    {
        for (; count > 0 && m_i < m_text.size(); --count) {
            if (m_text[m_i++] == '\n') {
                ++m_at.line;
                m_at.column = 1;
            } else {
                ++m_at.column;
            }
        }
    }

private:
    std::u32string_view m_text;
    std::size_t m_i = 0;
    TextPosition m_at;
};

using Found = std::function<void(char32_t, TextPosition)>;

// A quoted literal from its opening quote to its closing one (or the end of
// the line, for one left open). `jsonEscapes`: \u escapes pair surrogates.
// Reports the characters to `found` when it is given.
void quotedLiteral(Cursor &cur, const Found *found, bool cEscapes)
{
    const char32_t quote = cur.peek();
    cur.advance();
    while (!cur.atEnd() && cur.peek() != quote && cur.peek() != '\n') {
        const TextPosition at = cur.position();
        if (cur.peek() == '\\') {
            const char32_t kind = cur.peek(1);
            const int digits = kind == 'u' ? 4 : (kind == 'U' && cEscapes) ? 8 : 0;
            if (digits > 0) {
                if (auto value = hexEscape(cur.text(), cur.index() + 2, digits)) {
                    std::size_t length = 2 + std::size_t(digits);
                    // A JSON surrogate pair names one character.
                    if (!cEscapes && *value >= 0xD800 && *value <= 0xDBFF && cur.peek(6) == '\\'
                        && cur.peek(7) == 'u') {
                        const auto low = hexEscape(cur.text(), cur.index() + 8, 4);
                        if (low && *low >= 0xDC00 && *low <= 0xDFFF) {
                            *value = 0x10000 + ((*value - 0xD800) << 10) + (*low - 0xDC00);
                            length = 12;
                        }
                    }
                    if (found && *value >= 0x80) // any value: one that names no character is reported too
                        (*found)(*value, at);
                    cur.advance(length);
                    continue;
                }
            }
            cur.advance(2); // any other escape: the backslash and the character it escapes
            continue;
        }
        if (found && shown(cur.peek()))
            (*found)(cur.peek(), at);
        cur.advance();
    }
    cur.advance(); // the closing quote
}

// The identifier or number that ends just before text[end].
std::u32string_view tokenBefore(std::u32string_view text, std::size_t end)
{
    std::size_t start = end;
    while (start > 0 && (isIdentifierChar(text[start - 1]) || text[start - 1] == '\''))
        --start;
    return text.substr(start, end - start);
}

void scanC(Cursor &cur, const Found &found)
{
    while (!cur.atEnd()) {
        const char32_t c = cur.peek();
        if (c == '/' && cur.peek(1) == '/') {
            // A line comment goes on past a line end (LF or CR LF) escaped with a backslash.
            while (!cur.atEnd() && cur.peek() != '\n') {
                const std::size_t lineEnd = cur.peek(1) == '\r' ? 2 : 1;
                cur.advance(cur.peek() == '\\' && cur.peek(lineEnd) == '\n' ? lineEnd + 1 : 1);
            }
        } else if (c == '/' && cur.peek(1) == '*') {
            cur.advance(2);
            while (!cur.atEnd() && !(cur.peek() == '*' && cur.peek(1) == '/'))
                cur.advance();
            cur.advance(2);
        } else if (c == '"' || c == '\'') {
            const std::u32string_view prefix = tokenBefore(cur.text(), cur.index());
            if (c == '\'' && !prefix.empty() && std::isdigit(int(prefix.front()))) {
                cur.advance(); // a digit separator
            } else if (c == '"'
                && (prefix == U"R" || prefix == U"u8R" || prefix == U"uR" || prefix == U"UR" || prefix == U"LR")) {
                // R"delimiter( ... )delimiter"
                std::u32string end = U")";
                cur.advance();
                while (!cur.atEnd() && cur.peek() != '(' && cur.peek() != '\n' && end.size() <= 17) {
                    end += cur.peek();
                    cur.advance();
                }
                end += U'"';
                cur.advance();
                while (!cur.atEnd() && cur.text().substr(cur.index(), end.size()) != end) {
                    if (shown(cur.peek()))
                        found(cur.peek(), cur.position());
                    cur.advance();
                }
                cur.advance(end.size());
            } else {
                quotedLiteral(cur, &found, true);
            }
        } else {
            cur.advance();
        }
    }
}

// The first word of a line of a catalogue after its indentation.
void scanPo(Cursor &cur, const Found &found)
{
    bool inMsgstr = false;
    while (!cur.atEnd()) {
        while (cur.peek() == ' ' || cur.peek() == '\t')
            cur.advance();
        const char32_t c = cur.peek();
        if (c == '"') {
            // A continuation line belongs to the keyword above it.
        } else if (c == 'm' && cur.text().substr(cur.index(), 6) == U"msgstr") {
            inMsgstr = true;
        } else {
            inMsgstr = false; // another keyword, a comment, an empty line
        }
        while (!cur.atEnd() && cur.peek() != '\n') {
            if (cur.peek() == '"' && inMsgstr)
                quotedLiteral(cur, &found, true);
            else if (cur.peek() == '"' || cur.peek() == '#')
                break;
            else
                cur.advance();
        }
        while (!cur.atEnd() && cur.peek() != '\n')
            cur.advance();
        cur.advance();
    }
}

void scanJson(Cursor &cur, const Found &found)
{
    while (!cur.atEnd()) {
        if (cur.peek() != '"') {
            cur.advance();
            continue;
        }
        // A key is a string followed by a colon: look first, report after.
        std::vector<std::pair<char32_t, TextPosition>> seen;
        const Found keep = [&seen](char32_t c, TextPosition at) { seen.emplace_back(c, at); };
        quotedLiteral(cur, &keep, false);
        std::size_t ahead = 0;
        while (cur.peek(ahead) == ' ' || cur.peek(ahead) == '\t' || cur.peek(ahead) == '\r' || cur.peek(ahead) == '\n')
            ++ahead;
        if (cur.peek(ahead) != ':')
            for (const auto &[c, at] : seen)
                found(c, at);
    }
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// In hexadecimal, at least `digits` digits.
std::string hex(std::uint32_t value, int digits)
{
    std::string out;
    for (; digits > 0 || value > 0; --digits, value >>= 4)
        out.insert(out.begin(), hexDigit(value));
    return out;
}

} // namespace

SourceKind sourceKindOf(const std::string &path)
{
    const std::string ext = lower(std::filesystem::path(path).extension().string());
    static const std::set<std::string> kC{".c", ".h", ".cc", ".cpp", ".cxx", ".hh", ".hpp", ".hxx", ".inl"};
    if (kC.count(ext))
        return SourceKind::C;
    if (ext == ".po")
        return SourceKind::Po;
    if (ext == ".json")
        return SourceKind::Json;
    return SourceKind::Text;
}

void scanSource(std::u32string_view text, SourceKind kind, const std::function<void(char32_t, TextPosition)> &found)
{
    Cursor cur(text);
    switch (kind) {
    case SourceKind::C:
        scanC(cur, found);
        break;
    case SourceKind::Po:
        scanPo(cur, found);
        break;
    case SourceKind::Json:
        scanJson(cur, found);
        break;
    case SourceKind::Text:
        for (; !cur.atEnd(); cur.advance())
            if (shown(cur.peek()))
                found(cur.peek(), cur.position());
        break;
    }
}

namespace {

// The code of a character in the set: for GB2312 and GBK the GBK code iconv
// gives it, when it lies in the set.
std::optional<std::uint32_t> collectedCode(CharSet set, char32_t c)
{
    if (set != CharSet::Gb2312 && set != CharSet::Gbk)
        return codeOf(set, c);
    const auto gbk = utf8ToGbk(encodeUtf8(c));
    const Charset listed = set == CharSet::Gbk ? Charset::Gbk : Charset::Gb2312;
    if (gbk && gbk->size() == 2 && inCharset(listed, codeValue(*gbk)))
        return codeValue(*gbk);
    return std::nullopt;
}

} // namespace

char32_t collectedCharacter(CharSet set, std::uint32_t code)
{
    if (set != CharSet::Gb2312 && set != CharSet::Gbk)
        return characterOf(set, code).value_or(0);
    const auto text = utf8ToUtf32(gbkToUtf8(codeBytes(std::uint16_t(code))));
    return text && text->size() == 1 ? (*text)[0] : 0;
}

std::vector<CollectNote> collectText(std::u32string_view text, SourceKind kind, CharSet set,
    std::set<std::uint32_t> &collected, std::map<char32_t, std::optional<std::uint32_t>> &known)
{
    std::vector<CollectNote> notes;
    // Bytes that are no character, wherever they stand: the line they are
    // on may be read wrongly.
    Cursor cur(text);
    while (!cur.atEnd()) {
        if (cur.peek() < kUndecodableByte) {
            cur.advance();
            continue;
        }
        const TextPosition at = cur.position();
        std::string bytesHex;
        for (; cur.peek() >= kUndecodableByte; cur.advance())
            bytesHex += " " + hex(cur.peek() - kUndecodableByte, 2);
        notes.push_back({at,
            (bytesHex.size() > 3 ? "bytes" + bytesHex + " are" : "byte" + bytesHex + " is")
                + " neither UTF-8 nor GBK"});
    }
    scanSource(text, kind, [&](char32_t c, TextPosition at) {
        // An escape may name a surrogate or a value past U+10FFFF: no character.
        const bool character = c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        auto it = known.find(c);
        if (it == known.end()) {
            it = known.emplace(c, character ? collectedCode(set, c) : std::nullopt).first;
        }
        if (it->second) {
            collected.insert(*it->second);
            return;
        }
        notes.push_back({at,
            (character ? "'" + encodeUtf8(c) + "' " : "") + "U+" + hex(c, 4) + " is not in "
                + std::string(charSetTitle(set))});
    });
    std::stable_sort(notes.begin(), notes.end(), [](const CollectNote &x, const CollectNote &y) {
        return std::pair(x.at.line, x.at.column) < std::pair(y.at.line, y.at.column);
    });
    return notes;
}

} // namespace dotforge::cli
