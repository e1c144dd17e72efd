#pragma once

// One glyph of the Font16s file and its conversion from a GNU Unifont .hex
// line. Header-only so the test can check the conversion directly.

#include "core/hex.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace Font16s {

// 16 rows top to bottom, 2 bytes a row; bit 7 of the first byte is the
// leftmost dot, a set bit is ink.
using Glyph = std::array<std::uint8_t, 32>;

// The bytes a string of hex digits spells, two digits a byte; nothing when
// its length is not `2 * N` or a digit is not hex.
template <std::size_t N> std::optional<std::array<std::uint8_t, N>> bytesFromHex(std::string_view hex)
{
    if (hex.size() != 2 * N)
        return std::nullopt;
    std::array<std::uint8_t, N> bytes{};
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = dotforge::hexDigitValue(hex[i]);
        const int low = dotforge::hexDigitValue(hex[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[i / 2] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return bytes;
}

// An 8-wide Unifont glyph as Unifont has it: 16 rows top to bottom, one byte a
// row, bit 7 the leftmost dot.
using NarrowGlyph = std::array<std::uint8_t, 16>;

// The glyph of 32 hex digits; nothing for a 16-wide glyph, any other length
// or a bad digit.
inline std::optional<NarrowGlyph> narrowGlyphFromHex(std::string_view hex)
{
    return bytesFromHex<16>(hex);
}

// Unifont writes a glyph as 32 hex digits (8 dots wide, one byte a row) or
// 64 (16 wide, two bytes a row). An 8-wide glyph is centred: its columns go
// to columns 4 to 11. Returns nothing for any other length or a non-hex digit.
inline std::optional<Glyph> glyphFromHex(std::string_view hex)
{
    if (hex.size() == 64)
        return bytesFromHex<32>(hex);
    const auto narrow = narrowGlyphFromHex(hex);
    if (!narrow)
        return std::nullopt;
    Glyph glyph{};
    for (std::size_t row = 0; row < 16; ++row) {
        glyph[row * 2] = static_cast<std::uint8_t>((*narrow)[row] >> 4);
        glyph[row * 2 + 1] = static_cast<std::uint8_t>(((*narrow)[row] & 0x0F) << 4);
    }
    return glyph;
}

} // namespace Font16s
