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
#include <string_view>
#include <vector>

namespace dotforge {

enum class CharSet { Gb2312, Gbk, Gbt12345, Jisx0208, Ksx1001, Unicode };

// The set of a name ("gb2312", "gbk", "gbt12345", "jisx0208", "ksx1001",
// "unicode"); nothing for any other.
std::optional<CharSet> charSetNamed(std::string_view name);
std::string_view charSetName(CharSet set);

// The character of a code; nothing when the set has no character there.
std::optional<char32_t> characterOf(CharSet set, std::uint32_t code);
// The code of a character; nothing when the set has none for it. A character
// with several codes takes the one iconv encodes it as (the traditional set:
// the lowest).
std::optional<std::uint32_t> codeOf(CharSet set, char32_t character);
// Every code of a two-byte set, ascending; empty for Unicode.
const std::vector<std::uint32_t> &codesOf(CharSet set);

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
// The character a two-byte code names: its set's character there, when the set
// gives that character this very code; nothing for any other code.
std::optional<char32_t> namedCharacter(const CodeNaming &naming, std::string_view code);

} // namespace dotforge
