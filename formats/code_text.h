#pragma once
// Codes and names as text, for C comments, dumps and messages.

#include "core/layout_modes.h"

#include <string>
#include <string_view>

namespace dotforge {

// "A" to "D".
char modeLetter(Mode mode);
// A code as hexadecimal digits, two per byte ("B0A1").
std::string codeHex(const std::string &code);
// The character of a code as UTF-8 when the code is exactly one GBK character
// (or two plain letters or digits); empty for anything that is no such text.
std::string shownCharacter(const std::string &code);
// The code and its character when there is one: "B0A1 啊", "2A2F".
std::string codeLabel(const std::string &code);
// Bytes as UTF-8 text that can be shown: valid UTF-8 as it is, every other
// byte as \xNN (a file name of another encoding, "caf\xE9.zmb").
std::string readableText(std::string_view bytes);

} // namespace dotforge
