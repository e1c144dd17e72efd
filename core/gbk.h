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

// The GBK character at gbk[i] as UTF-8, and in *length the bytes it takes: those
// of gbkCharacterLength, except that a lead byte before an ASCII byte that forms
// no character with it takes only itself, so that the ASCII character still
// counts. Empty text when the bytes form no character (gbkToUtf8 drops them).
std::string gbkCharacterAt(std::string_view gbk, std::size_t i, std::size_t *length);

// Decodes text of another iconv encoding ("EUC-JP", "EUC-KR", "GBK") to
// UTF-8; nothing when a byte sequence is no character of it.
std::optional<std::string> decodedToUtf8(std::string_view bytes, const char *encoding);

// Encodes UTF-8 text as GBK bytes. When a character has no GBK code, returns
// nothing and puts that character (UTF-8) into *unencodable.
std::optional<std::string> utf8ToGbk(std::string_view utf8, std::string *unencodable = nullptr);

// A character of UTF-8 text: its code point and the number of its bytes.
struct Utf8Character {
    char32_t code = 0;
    int length = 0;
};
// The character that starts at bytes[i]; nothing when no valid UTF-8 character
// starts there: a continuation byte, a sequence cut short, an overlong form, a
// surrogate or a value past U+10FFFF.
std::optional<Utf8Character> utf8CharacterAt(std::string_view bytes, std::size_t i);

// The characters of valid UTF-8 text; nothing when the bytes are no valid UTF-8.
std::optional<std::u32string> utf8ToUtf32(std::string_view utf8);
// The UTF-8 bytes of a code point.
std::string encodeUtf8(char32_t c);

// The text without a character cut short at its end (a lead byte followed by
// fewer continuation bytes than it announces), as a cap on a length leaves it.
// Anything else, invalid bytes included, is kept.
std::string_view withoutPartialUtf8Tail(std::string_view text);

// The length in bytes of the longest character of valid UTF-8 text (1 for
// ASCII, 0 for no text); nothing when the bytes are no valid UTF-8.
std::optional<int> longestUtf8Sequence(std::string_view bytes);

// Decodes UTF-16 (without a byte-order mark) to UTF-8; nothing when it holds a
// lone surrogate or an odd byte.
std::optional<std::string> utf16ToUtf8(std::string_view utf16, bool bigEndian);

// The length of the GBK character at `i`: 2 for a lead byte (0x81..0xFE)
// followed by a trail byte (0x40..0x7E, 0x80..0xFE), else 1.
std::size_t gbkCharacterLength(std::string_view gbk, std::size_t i);

// True when GBK bytes hold a single-byte character: an ASCII byte, or a byte
// that forms no double-byte character with the next one.
bool hasSingleByteCharacter(std::string_view gbk);

// True when the bytes hold a control byte (0x00 to 0x1F, 0x7F). Such a byte is
// no character, and in a code it would end the line of an .ASM file that holds
// the code, or hide in it, so that the file reads back as other glyphs.
bool hasControlByte(std::string_view bytes);

} // namespace dotforge
