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

// Unifont writes a glyph as 32 hex digits (8 dots wide, one byte a row) or
// 64 (16 wide, two bytes a row). An 8-wide glyph is centred: its columns go
// to columns 4 to 11. Returns nothing for any other length or a non-hex digit.
inline std::optional<Glyph> glyphFromHex(std::string_view hex)
{
    if (hex.size() != 32 && hex.size() != 64)
        return std::nullopt;
    std::array<std::uint8_t, 32> bytes{};
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = dotforge::hexDigitValue(hex[i]);
        const int low = dotforge::hexDigitValue(hex[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[i / 2] = static_cast<std::uint8_t>(high << 4 | low);
    }
    if (hex.size() == 64)
        return bytes;

    Glyph glyph{};
    for (std::size_t row = 0; row < 16; ++row) {
        glyph[row * 2] = static_cast<std::uint8_t>(bytes[row] >> 4);
        glyph[row * 2 + 1] = static_cast<std::uint8_t>((bytes[row] & 0x0F) << 4);
    }
    return glyph;
}

} // namespace Font16s
