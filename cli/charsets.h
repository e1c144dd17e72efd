#pragma once
// Whole character sets by name, as lists of GBK codes in code order: GB2312
// (its 7,445 characters, or the 6,763 hanzi of rows 16 to 87) and GBK (every
// double-byte code that glibc's iconv maps to a character outside the private
// use area), as the ground's character sets (core/charsets.h) hold them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dotforge::cli {

enum class Charset { Gb2312, Gb2312Hanzi, Gbk };

// "gb2312", "gb2312-hanzi", "gbk"; nothing for any other name.
std::optional<Charset> charsetNamed(std::string_view name);

// A code as a number: first byte x 256 + second byte.
constexpr std::uint16_t codeValue(unsigned char first, unsigned char second)
{
    return std::uint16_t(first << 8 | second);
}
std::uint16_t codeValue(std::string_view code); // missing bytes count as 0
std::string codeBytes(std::uint16_t value);

// The codes of a set in ascending order (computed once, then kept).
const std::vector<std::uint16_t> &charsetCodes(Charset set);
bool inCharset(Charset set, std::uint16_t code);

} // namespace dotforge::cli
