#pragma once
// The text side of character entry: the first line of a text file, its GBK
// bytes, and the byte pairs that become character codes. Pure pieces, shared by
// the window's import and the batch tool.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dotforge {

// At most this many bytes of a first line are read. The 200 pairs an import can
// use lie within the first 800 bytes whatever the encoding; the cap only keeps a
// file without line ends from being read whole.
constexpr std::size_t kMaxLineBytes = 64 * 1024;

struct TextLine {
    std::string bytes; // without the line end
    bool truncated = false; // the line went on past the cap
};

// The first line of a file: its bytes up to the first CR or LF, or to the end
// of the file. Raises IoError when the file cannot be opened or read.
TextLine readFirstLine(const std::string &path, std::size_t maxBytes = kMaxLineBytes);

// The GBK bytes of a line. A line that is UTF-8 with non-ASCII text (a leading
// byte order mark dropped) is converted; any other line is taken as GBK as it
// is. Empty when a character of a UTF-8 line has no GBK code; *unencodable then
// names it (UTF-8).
std::optional<std::string> lineToGbk(const TextLine &line, std::string *unencodable = nullptr);

// Consecutive byte pairs from the start, at most maxPairs; an odd last byte is
// dropped. A pair need not be one character: a single-byte character shifts
// every later pair by one byte.
std::vector<std::string> bytePairs(std::string_view bytes, std::size_t maxPairs);

} // namespace dotforge
