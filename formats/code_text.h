#pragma once
// Codes and names as text, for C comments, dumps and messages.

#include "core/charsets.h"
#include "core/layout_modes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dotforge {

// "A" to "D".
char modeLetter(Mode mode);
// A code as hexadecimal digits, two per byte ("B0A1"); a Unicode code (four
// bytes) as "U+4E2D".
std::string codeHex(const std::string &code);
// The character of a code, as the naming reads it: by default the one GBK
// character the code is exactly (private-use characters included, as glibc's
// iconv reads them); else the character namedCharacter gives. Nothing for a
// code that is no such character.
std::optional<char32_t> codeCharacter(const std::string &code, const CodeNaming &naming = {});
// The character of a code as UTF-8 (codeCharacter; by default also two plain
// letters or digits); empty for anything that is no such text.
std::string shownCharacter(const std::string &code, const CodeNaming &naming = {});
// The code and its character when there is one: "B0A1 啊", "2A2F".
std::string codeLabel(const std::string &code, const CodeNaming &naming = {});
// Characters that reorder the text around them on screen (gcc's -Wbidi-chars
// warns about them), end a line for some editors, or are C1 controls.
bool invisibleControl(char32_t c);
// Bytes as UTF-8 text that can be shown: valid UTF-8 as it is, every other
// byte as \xNN (a file name of another encoding, "caf\xE9.zmb").
std::string readableText(std::string_view bytes);

// Outside text (file names, a face name, the command line) in the opening
// comment. What could end the comment, open another, make the compiler warn or
// show the text other than it is, is written as an escape, so that the comment
// stays one comment of one line per note and a reader gets the text back
// byte for byte:
//   \\      a backslash;
//   \xNN    the byte NN: a control byte (line ends included), a byte of no
//           UTF-8 character, a "*" next to a "/" (no "/*" or "*/"), a "?"
//           before a "?" (the trigraph "??/" is a backslash);
//   \uXXXX  the character U+XXXX: the C1 controls, the bidirectional
//           controls and marks, the line and paragraph separators.
// Every other byte stands for itself. `escaped` is set when an escape is written.
std::string commentText(std::string_view text, bool &escaped);
// Lines of a C comment: each one "\n * " and its commentText, then, when an
// escape was written, a line saying what the escapes stand for.
std::string commentLines(const std::vector<std::string> &lines);

} // namespace dotforge
