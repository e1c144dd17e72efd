#pragma once
// The text side of character entry: the first line of a text file, its GBK
// bytes, and the byte pairs that become character codes. Pure pieces, shared by
// the window's import and the batch tool.
//
// How a line's encoding is told apart: a byte-order mark names UTF-16 (LE or
// BE) or UTF-8. Without one, a line is UTF-8 only when it is valid UTF-8 and
// holds a character of three or four bytes (every Chinese character is one);
// any other line is GBK as it stands. Valid two-byte UTF-8 alone proves
// nothing: 930 GB2312 hanzi (猫路 = C3 A8 C2 B7) are such sequences too.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dotforge {

// At most this many bytes of a first line are read. The 200 pairs an import can
// use lie within the first 800 bytes whatever the encoding; the cap only keeps a
// file without line ends from being read whole.
constexpr std::size_t kMaxLineBytes = 64 * 1024;

// How the bytes of a line are to be read.
enum class LineEncoding {
    Bytes, // GBK or UTF-8 (with or without its byte-order mark), told apart by lineToGbk
    Utf16Le, // after the byte-order mark FF FE
    Utf16Be, // after the byte-order mark FE FF
};

struct TextLine {
    std::string bytes; // without the line end (and, for UTF-16, without the byte-order mark)
    LineEncoding encoding = LineEncoding::Bytes;
    bool truncated = false; // the line went on past the cap
    bool moreLines = false; // something other than line ends follows the line (looked at within 64 KiB)
};

// Up to `max` bytes into the buffer; 0 at the end.
using ReadSome = std::function<std::size_t(char *buffer, std::size_t max)>;

// The first line of a regular file: its bytes up to the first CR or LF (of its
// encoding), or to the end of the file. Raises IoError when the file cannot be
// opened or read, or names no regular file.
TextLine readFirstLine(const std::string &path, std::size_t maxBytes = kMaxLineBytes);
// The same from a stream. With `toTheEnd` the stream is read to its end, so that
// the program writing into a pipe is never cut off.
TextLine readFirstLine(const ReadSome &read, std::size_t maxBytes, bool toTheEnd);

// The GBK bytes of a line, its encoding told apart as above; a GBK line is
// taken as it is. Empty when a character of a UTF-8 or UTF-16 line has no GBK
// code; *unencodable then names it (UTF-8; U+FFFD for broken UTF-16).
std::optional<std::string> lineToGbk(const TextLine &line, std::string *unencodable = nullptr);

// The characters of a line, its encoding told apart as above, with `encoding`
// (an iconv name: "EUC-JP", "EUC-KR", "GBK") in place of GBK; nothing when a
// byte sequence is no character of its encoding.
std::optional<std::u32string> lineCharacters(const TextLine &line, const char *encoding);

// The UTF-8 text of bytes that read as UTF-8 by the rule above (a UTF-8
// byte-order mark, or a character of three or four bytes), without the mark;
// nothing for GBK.
std::optional<std::string_view> utf8Text(std::string_view bytes);

// What stands in a decoded text for a byte that is no character in the
// encoding of its line: this value plus the byte's, past every Unicode character.
constexpr char32_t kUndecodableByte = 0x110000;
// A whole text, character by character. UTF-16 after its byte-order mark; a
// text that reads as UTF-8 as a whole by the rule above is UTF-8 throughout;
// any other text is told apart line by line (lines end at CR or LF) by the same
// rule, so that a stray byte costs only its own line: UTF-8 when the line reads
// as UTF-8 (after a UTF-8 byte-order mark at the start of the text: when it is
// valid UTF-8), GBK otherwise. Each byte that forms no character of its line's
// encoding stands as kUndecodableByte + the byte. Nothing for broken UTF-16.
std::optional<std::u32string> decodeText(std::string_view bytes);

// Consecutive byte pairs from the start, at most maxPairs; an odd last byte is
// dropped. A pair need not be one character: a single-byte character shifts
// every later pair by one byte.
std::vector<std::string> bytePairs(std::string_view bytes, std::size_t maxPairs);

} // namespace dotforge
