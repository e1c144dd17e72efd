#pragma once
// The .ZMB file: N converted sequences, then N two-byte codes, nothing else (no
// header, no count, no dot size, no mode). At dot size n a glyph and its code
// take S + 2 bytes with S = n * n / 8, so N = file size div (S + 2); bytes
// beyond N * (S + 2) are ignored.

#include "formats/library_content.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace dotforge {

// The file's bytes. A code of one byte is written with a zero second byte, an
// empty one as two zero bytes; a glyph without a code entry gets two zero bytes.
std::string writeZmb(const std::vector<Sequence> &glyphs, const std::vector<std::string> &codes);
// The two bytes of one code as the file holds it, appended to `out`.
void appendZmbCode(std::string &out, std::string_view code);

// Where the parts of a file of `fileSize` bytes stand at dot size n.
struct ZmbLayout {
    std::int64_t fileGlyphs = 0; // N of the whole file
    int taken = 0; // glyphs read: N, but at most the limit
    std::int64_t codeOffset = 0; // N * S: the codes follow all N glyphs, not only the taken ones
};
ZmbLayout zmbLayout(std::int64_t fileSize, int n, int limit);

// Reads at most `limit` glyphs through `readAt(offset, length)`, which returns
// exactly `length` bytes or throws. Only the taken glyphs and their codes are
// read. Nothing is read for an n that is not a dot size.
using ReadAt = std::function<std::string(std::int64_t offset, std::size_t length)>;
LibraryContent readZmb(std::int64_t fileSize, const ReadAt &readAt, int n, int limit = kLibraryCapacity);
// The same over bytes in memory.
LibraryContent readZmb(std::string_view bytes, int n, int limit = kLibraryCapacity);

// Raises FormatError when a file of `fileSize` bytes cannot be a .ZMB file at
// dot size n, since this program never writes such a file: printable text with
// line ends (an .ASM or other text file); a size that is no whole number of
// glyphs with their codes (another dot size); a code that holds a control byte,
// or a zero byte before a non-zero one (glyph bytes where codes should be).
// Typed and imported text gives codes of any printable bytes, a short code from
// an .ASM file is written padded with zero bytes, and tabs can come with a
// text file's line: all of these pass. A file shorter than one glyph with its
// code holds no glyph and passes too. Reads through `readAt` as readZmb does.
void checkZmb(std::int64_t fileSize, const ReadAt &readAt, int n);
void checkZmb(std::string_view bytes, int n);
// Whether two bytes can be the code of a glyph in a file this program wrote.
bool isStorableCode(std::uint8_t first, std::uint8_t second);

} // namespace dotforge
