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

// A line cut at the cap may end inside a UTF-8 sequence: the partial character
// is left out, so that the cut does not make the line look like GBK.
std::string_view withoutPartialTail(std::string_view text)
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
        text = withoutPartialTail(text);
    if (const auto utf8 = utf8Text(text))
        return utf8ToGbk(*utf8, unencodable);
    return line.bytes;
}

std::optional<std::string_view> utf8Text(std::string_view bytes)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.starts_with(kByteOrderMark) && longestUtf8Sequence(bytes.substr(kByteOrderMark.size())))
        return bytes.substr(kByteOrderMark.size());
    if (longestUtf8Sequence(bytes).value_or(0) >= 3)
        return bytes;
    return std::nullopt;
}

std::optional<std::string> textToUtf8(std::string_view bytes)
{
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return utf16ToUtf8(bytes.substr(2), bytes[0] == '\xFE');
    if (const auto utf8 = utf8Text(bytes))
        return std::string(*utf8);
    return gbkToUtf8(bytes);
}

std::vector<std::string> bytePairs(std::string_view bytes, std::size_t maxPairs)
{
    std::vector<std::string> pairs;
    for (std::size_t i = 0; i + 1 < bytes.size() && pairs.size() < maxPairs; i += 2)
        pairs.emplace_back(bytes.substr(i, 2));
    return pairs;
}

} // namespace dotforge
