#pragma once
// The four variants of the dot-matrix font file "Font16s", one after another
// in this order: simplified Chinese, traditional Chinese, Japanese, Korean.

#include <array>

namespace dotforge {

// Record counts (32-byte records) and the area each variant's table opens at.
inline constexpr std::array<int, 4> kSectionSizes{8363, 8368, 7802, 8742};
inline constexpr std::array<int, 4> kFirstAreas{16, 16, 4, 16};

} // namespace dotforge
