#include "library/text_import.h"

#include "core/gbk.h"
#include "core/record_file.h"

namespace dotforge {

TextLine readFirstLine(const std::string &path, std::size_t maxBytes)
{
    // A file of one-byte records: the open and read errors are the store's.
    RecordFile file(1);
    file.reset(path, true);
    const std::int64_t size = file.size();
    TextLine line;
    for (std::int64_t i = 0; i < size; ++i) {
        char c = 0;
        file.read(&c);
        if (c == '\n' || c == '\r')
            break;
        if (line.bytes.size() == maxBytes) {
            line.truncated = true;
            break;
        }
        line.bytes += c;
    }
    return line;
}

namespace {

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

} // namespace

std::optional<std::string> lineToGbk(const TextLine &line, std::string *unencodable)
{
    std::string_view text = line.bytes;
    if (line.truncated)
        text = withoutPartialTail(text);
    if (!isNonAsciiUtf8(text))
        return line.bytes;
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    return utf8ToGbk(text, unencodable);
}

std::vector<std::string> bytePairs(std::string_view bytes, std::size_t maxPairs)
{
    std::vector<std::string> pairs;
    for (std::size_t i = 0; i + 1 < bytes.size() && pairs.size() < maxPairs; i += 2)
        pairs.emplace_back(bytes.substr(i, 2));
    return pairs;
}

} // namespace dotforge
