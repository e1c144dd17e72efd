#pragma once
// GBK <-> UTF-8 for the places where text leaves or enters the program's GBK
// world: the rasteriser and the code table take Unicode, the window's edit field
// and text files deliver Unicode. glibc iconv does the work.

#include <optional>
#include <string>
#include <string_view>

namespace dotforge {

// Decodes GBK bytes for drawing: a lead byte (0x81..0xFE) with its trail byte is
// one character, a byte below 0x80 is one ASCII character. Bytes that form no
// GBK character are dropped, so nothing is drawn for them.
std::string gbkToUtf8(std::string_view gbk);

// Encodes UTF-8 text as GBK bytes. When a character has no GBK code, returns
// nothing and puts that character (UTF-8) into *unencodable.
std::optional<std::string> utf8ToGbk(std::string_view utf8, std::string *unencodable = nullptr);

// True when the bytes are valid UTF-8 and hold at least one non-ASCII character:
// how a text file is told apart from a GBK one.
bool isNonAsciiUtf8(std::string_view bytes);

} // namespace dotforge
