#include "sources/font16s_codes.h"

#include "core/font16s_variants.h"
#include "core/glyph.h"
#include "sources/glyph_sources.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace dotforge {

// Positions in one area (row) of the code table.
constexpr int kAreaCodes = 94;

std::vector<std::string> font16sCodes(std::string_view font, int variant)
{
    constexpr std::size_t kRecord = sizeof(FontRecord);
    const std::int64_t first = variantFirstRecord(kSectionSizes, variant);
    const int records = kSectionSizes[std::size_t(std::clamp(variant, 0, 3))];
    std::vector<std::string> codes;
    for (int k = 0; k < records; ++k) {
        const std::size_t at = std::size_t(first + k) * kRecord;
        if (at + kRecord > font.size())
            break;
        const std::string_view record = font.substr(at, kRecord);
        if (record.find_first_not_of('\0') != std::string_view::npos)
            codes.push_back({char(0xA1 + k / kAreaCodes), char(0xA1 + k % kAreaCodes)});
    }
    return codes;
}

} // namespace dotforge
