#pragma once
// The distinct non-ASCII characters a product shows, found in the text of its
// sources and checked against a character set, for `dotforge-cli collect`.

#include "core/charsets.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace dotforge::cli {

// What part of a file shows text to the user.
enum class SourceKind {
    C, // string and character literals of C and C++, not comments
    Po, // msgstr of gettext catalogues
    Json, // string values, not keys
    Text, // every line
};
// By extension, case ignored: .c .h .cc .cpp .cxx .hh .hpp .hxx .inl are C,
// .po and .json their own kinds, anything else Text.
SourceKind sourceKindOf(const std::string &path);

// Where a character stands: line and column, both from 1; columns count
// characters (code points), not bytes.
struct TextPosition {
    int line = 1;
    int column = 1;
};

// Calls `found` for every non-ASCII character in the shown parts of a decoded
// text (bytes that are no character, kUndecodableByte and above, are passed
// over). Escapes \uXXXX (and \UXXXXXXXX in C, surrogate pairs in JSON) count as
// the values they name, whatever they are, at the position of their backslash.
void scanSource(
    std::u32string_view text, SourceKind kind, const std::function<void(char32_t c, TextPosition at)> &found);

// What a collection finds wrong in a file, where it stands: "'X' U+XXXX is not
// in GB2312", "byte E9 is neither UTF-8 nor GBK".
struct CollectNote {
    TextPosition at;
    std::string text;
};

// Adds the codes of the characters of `set` shown in a decoded text to
// `collected` (GB2312 and GBK give GBK codes, as a text in GBK holds them; a
// code point for Unicode), and returns what lies outside the set and the bytes
// that form no character, in the order of the text. `known` keeps the code of
// every character met (none for one outside the set) from one file to the
// next.
std::vector<CollectNote> collectText(std::u32string_view text, SourceKind kind, CharSet set,
    std::set<std::uint32_t> &collected, std::map<char32_t, std::optional<std::uint32_t>> &known);

// The character of a collected code.
char32_t collectedCharacter(CharSet set, std::uint32_t code);

} // namespace dotforge::cli
