#pragma once
// `dotforge-cli collect`: the distinct non-ASCII characters a product shows,
// gathered from its sources, checked against a character set and written in
// code order as one line for `build --text-file`.

#include "cli/arguments.h"
#include "cli/charsets.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dotforge::cli {

extern const std::vector<OptionSpec> kCollectOptions;
extern const char *const kCollectHelp;

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

// Exit status: 0, 1 for a character outside the set or bytes that form no
// character with --strict (or bad arguments), 2 when an input cannot be read
// (every one is named) or the output not written.
int runCollect(const Arguments &arguments);

} // namespace dotforge::cli
