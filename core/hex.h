#pragma once
// Hexadecimal digits as codes, .ASM values and escapes write them.

namespace dotforge {

// The value of a hexadecimal digit (0-9, A-F, a-f); -1 for any other character.
constexpr int hexDigitValue(char32_t c)
{
    if (c >= '0' && c <= '9')
        return int(c - '0');
    if (c >= 'A' && c <= 'F')
        return int(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return int(c - 'a' + 10);
    return -1;
}

constexpr bool isHexDigit(char c)
{
    return hexDigitValue(static_cast<unsigned char>(c)) >= 0;
}

// The upper-case digit of the low four bits of `value`.
constexpr char hexDigit(unsigned value)
{
    return "0123456789ABCDEF"[value & 0xF];
}

} // namespace dotforge
