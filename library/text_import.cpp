#include "library/text_import.h"

#include "core/gbk.h"
#include "core/record_file.h"

#include <algorithm>
#include <unistd.h>

namespace dotforge {

namespace {

// How far past the first line the reader looks for a second one.
constexpr std::size_t kLookAhead = 64 * 1024;

// The first line within the first bytes of a text.
TextLine firstLineOf(std::string_view head, std::size_t maxBytes)
{
    TextLine line;
    if (head.starts_with("\xFF\xFE"))
        line.encoding = LineEncoding::Utf16Le;
    else if (head.starts_with("\xFE\xFF"))
        line.encoding = LineEncoding::Utf16Be;
    const std::size_t unit = line.encoding == LineEncoding::Bytes ? 1 : 2;
    if (unit == 2)
        head.remove_prefix(2);
    // A UTF-16 line ends at the code unit CR or LF, not at such a byte.
    const auto isLineEnd = [&](std::size_t i) {
        char c = head[i];
        if (unit == 2) {
            const bool big = line.encoding == LineEncoding::Utf16Be;
            if (head[big ? i : i + 1] != '\0')
                return false;
            c = head[big ? i + 1 : i];
        }
        return c == '\r' || c == '\n';
    };
    const std::size_t whole = head.size() - head.size() % unit;
    std::size_t end = 0;
    while (end < whole && !isLineEnd(end))
        end += unit;
    const std::size_t cap = maxBytes - maxBytes % unit;
    line.truncated = end > cap;
    line.bytes = head.substr(0, std::min(end, cap));
    if (!line.truncated) {
        std::size_t next = end;
        while (next < whole && isLineEnd(next))
            next += unit;
        line.moreLines = next < whole;
    }
    return line;
}

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The rule that tells UTF-8 from GBK: valid UTF-8 after a byte-order mark;
// without one, valid UTF-8 that holds a character of three or four bytes.
bool readsAsUtf8(std::string_view bytes, bool afterByteOrderMark)
{
    const auto longest = longestUtf8Sequence(bytes);
    return longest && (afterByteOrderMark || *longest >= 3);
}

// A UTF-16 line cut at the cap may end with the first half of a surrogate pair.
std::string_view withoutHalfPair(std::string_view text, bool bigEndian)
{
    if (text.size() < 2)
        return text;
    const auto high = static_cast<unsigned char>(text[text.size() - (bigEndian ? 2 : 1)]);
    return high >= 0xD8 && high <= 0xDB ? text.substr(0, text.size() - 2) : text;
}

} // namespace

TextLine readFirstLine(const ReadSome &read, std::size_t maxBytes, bool toTheEnd)
{
    // A byte-order mark, the capped line, its end and the look past it.
    const std::size_t wanted = 4 + maxBytes + 4 + kLookAhead;
    std::string head;
    std::string chunk(64 * 1024, '\0');
    while (head.size() < wanted || toTheEnd) {
        const std::size_t got = read(chunk.data(), chunk.size());
        if (got == 0)
            break;
        if (head.size() < wanted)
            head.append(chunk.data(), std::min(got, wanted - head.size()));
    }
    return firstLineOf(head, maxBytes);
}

TextLine readFirstLine(const std::string &path, std::size_t maxBytes)
{
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } file{openRegularFile(path, true)};
    return readFirstLine(
        [&file](char *buffer, std::size_t max) { return readSome(file.fd, buffer, max); }, maxBytes, false);
}

std::optional<std::string> lineToGbk(const TextLine &line, std::string *unencodable)
{
    std::string_view text = line.bytes;
    if (line.encoding != LineEncoding::Bytes) {
        const bool bigEndian = line.encoding == LineEncoding::Utf16Be;
        if (line.truncated)
            text = withoutHalfPair(text, bigEndian);
        const auto utf8 = utf16ToUtf8(text, bigEndian);
        if (!utf8) {
            if (unencodable)
                *unencodable = "\xEF\xBF\xBD"; // U+FFFD
            return std::nullopt;
        }
        return utf8ToGbk(*utf8, unencodable);
    }
    if (line.truncated)
        text = withoutPartialUtf8Tail(text); // the cut does not make the line look like GBK
    if (const auto utf8 = utf8Text(text))
        return utf8ToGbk(*utf8, unencodable);
    return line.bytes;
}

std::optional<std::u32string> lineCharacters(const TextLine &line, const char *encoding)
{
    std::string_view text = line.bytes;
    if (line.encoding != LineEncoding::Bytes) {
        const bool bigEndian = line.encoding == LineEncoding::Utf16Be;
        const auto utf8 = utf16ToUtf8(line.truncated ? withoutHalfPair(text, bigEndian) : text, bigEndian);
        return utf8 ? utf8ToUtf32(*utf8) : std::nullopt;
    }
    if (line.truncated)
        text = withoutPartialUtf8Tail(text);
    if (const auto utf8 = utf8Text(text))
        return utf8ToUtf32(*utf8);
    const auto utf8 = decodedToUtf8(text, encoding);
    return utf8 ? utf8ToUtf32(*utf8) : std::nullopt;
}

std::optional<std::string_view> utf8Text(std::string_view bytes)
{
    if (bytes.starts_with(kUtf8ByteOrderMark) && readsAsUtf8(bytes.substr(kUtf8ByteOrderMark.size()), true))
        return bytes.substr(kUtf8ByteOrderMark.size());
    if (readsAsUtf8(bytes, false))
        return bytes;
    return std::nullopt;
}

std::optional<std::u32string> decodeText(std::string_view bytes)
{
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        const auto utf8 = utf16ToUtf8(bytes.substr(2), bytes[0] == '\xFE');
        return utf8 ? utf8ToUtf32(*utf8) : std::nullopt;
    }
    if (const auto utf8 = utf8Text(bytes))
        return utf8ToUtf32(*utf8);
    const bool marked = bytes.starts_with(kUtf8ByteOrderMark);
    if (marked)
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
    std::u32string text;
    text.reserve(bytes.size());
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        end = end == std::string_view::npos ? bytes.size() : end + 1;
        const std::string_view line = bytes.substr(start, end - start);
        start = end;
        if (readsAsUtf8(line, marked)) {
            text += *utf8ToUtf32(line);
            continue;
        }
        std::size_t length = 0;
        for (std::size_t i = 0; i < line.size(); i += length) {
            if (static_cast<unsigned char>(line[i]) < 0x80) {
                text += char32_t(line[i]);
                length = 1;
                continue;
            }
            const std::string utf8 = gbkCharacterAt(line, i, &length);
            if (!utf8.empty())
                text += *utf8ToUtf32(utf8);
            else
                for (std::size_t k = 0; k < length; ++k)
                    text += kUndecodableByte + static_cast<unsigned char>(line[i + k]);
        }
    }
    return text;
}

std::vector<std::string> bytePairs(std::string_view bytes, std::size_t maxPairs)
{
    std::vector<std::string> pairs;
    for (std::size_t i = 0; i + 1 < bytes.size() && pairs.size() < maxPairs; i += 2)
        pairs.emplace_back(bytes.substr(i, 2));
    return pairs;
}

} // namespace dotforge
