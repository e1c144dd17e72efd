#pragma once
// The character sets a library's codes are read in: for each, its name, its
// codes, the character of each code and the code of each character. The
// two-byte sets give a code as first byte x 256 + second byte, in EUC form
// (rows and cells + 0xA0; GBK's own ranges); Unicode gives the code point.
//
//   gb2312    GB 2312, EUC-CN
//   gbk       GBK (CP936 without its private-use codes)
//   gbt12345  GB/T 12345, the traditional forms at GB 2312's positions: the
//             character of Unihan's kGB1 field, else GB 2312's own
//   jisx0208  JIS X 0208, EUC-JP
//   ksx1001   KS X 1001, EUC-KR
//   unicode   any code point but the surrogates
//
// The EUC sets come from glibc's iconv, the traditional one from Unihan at
// build time; each table is made once, at its first use, for the whole
// process.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dotforge {

enum class CharSet { Gb2312, Gbk, Gbt12345, Jisx0208, Ksx1001, Unicode };

// The set of a name ("gb2312", "gbk", "gbt12345", "jisx0208", "ksx1001",
// "unicode"); nothing for any other.
std::optional<CharSet> charSetNamed(std::string_view name);
std::string_view charSetName(CharSet set);
// How messages name a set: "GB2312", "GBK", "GB/T 12345", "JIS X 0208",
// "KS X 1001", "Unicode".
std::string_view charSetTitle(CharSet set);

// The character of a code; nothing when the set has no character there.
std::optional<char32_t> characterOf(CharSet set, std::uint32_t code);
// The code of a character; nothing when the set has none for it. A character
// with several codes takes the one iconv encodes it as (the traditional set:
// the lowest).
std::optional<std::uint32_t> codeOf(CharSet set, char32_t character);
// Every code of a two-byte set, ascending; empty for Unicode.
const std::vector<std::uint32_t> &codesOf(CharSet set);

// A library holds a code as its bytes, first byte first: two for the two-byte
// sets, four for a code point (00 01 F6 00 for U+1F600), so that no Unicode
// code is ever taken for a two-byte one.
std::string codeBytesOf(CharSet set, std::uint32_t code);
// The number of a code's bytes, first byte highest; a code shorter than two
// bytes counts as padded with zero bytes (as the .ZMB file pads it).
std::uint32_t codeNumberOf(std::string_view code);
// How an encoding of text in the set is called by iconv: "GBK", "EUC-JP",
// "EUC-KR"; "UTF-8" for Unicode. GB 2312 and GB/T 12345 are read as GBK,
// which holds every byte sequence of theirs.
const char *charSetEncoding(CharSet set);

// How a library's two-byte codes name their characters: the set they are read
// in and, for the Korean variant of "Font16s", its numbering by file area (the
// file has no KS X 1001 rows 13 to 15, so a first byte from 0xAD on stands for
// the row three further on).
struct CodeNaming {
    CharSet set = CharSet::Gbk;
    bool skipsRows13To15 = false;
    bool operator==(const CodeNaming &) const = default;
};
// The naming of the codes of "Font16s" variant 0 to 3: GBK (variant 0 holds
// GB 2312, which GBK holds), GB/T 12345, JIS X 0208, and KS X 1001 by file
// area.
CodeNaming font16sNaming(int variant);
// The set whose positions "Font16s" variant 0 to 3 holds: GB 2312, GB/T 12345,
// JIS X 0208, KS X 1001.
CharSet font16sSet(int variant);
// The character a code names: its set's character there, when the set gives
// that character this very code; nothing for any other code. A Unicode code
// (four bytes) names its code point.
std::optional<char32_t> namedCharacter(const CodeNaming &naming, std::string_view code);
// A code as its set numbers it: the Korean variant's codes from row 16 on
// moved up the three rows the file leaves out; any other code as it is.
std::string setCode(const CodeNaming &naming, std::string_view code);
// The inverse: the code of a character as the naming numbers it; nothing when
// its set has none.
std::optional<std::string> namedCode(const CodeNaming &naming, char32_t character);

} // namespace dotforge
