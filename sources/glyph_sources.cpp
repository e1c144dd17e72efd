// The pure pieces of the glyph sources: Font16s record arithmetic and sampling
// the drawing surface.

#include "sources/glyph_sources.h"

namespace dotforge {

namespace {
constexpr int kVariants = 4;
constexpr int kAreaCodes = 94; // positions per area
} // namespace

std::int64_t codeRecordIndex(std::string_view code)
{
    const int b0 = code.size() > 0 ? static_cast<unsigned char>(code[0]) : 0;
    const int b1 = code.size() > 1 ? static_cast<unsigned char>(code[1]) : 0;
    return std::int64_t(b0 - 0xA1) * kAreaCodes + (b1 - 0xA1);
}

void copyRecord(const FontRecord &record, GlyphPlane &plane)
{
    for (int row = 0; row < 16; ++row) {
        plane.at(row, 0) = record[std::size_t(2 * row)];
        plane.at(row, 1) = record[std::size_t(2 * row + 1)];
    }
}

std::int64_t variantFirstRecord(const std::array<int, 4> &sectionSizes, int variant)
{
    std::int64_t base = 0;
    for (int i = 0; i < variant && i < kVariants; ++i)
        base += sectionSizes[std::size_t(i)];
    return base;
}

namespace {
// The record count of a variant; no item chosen counts as the first.
int variantRecords(const std::array<int, 4> &sectionSizes, int variant)
{
    return sectionSizes[std::size_t(variant >= 0 && variant < kVariants ? variant : 0)];
}
} // namespace

bool codeInVariant(std::string_view code, const std::array<int, 4> &sectionSizes, int variant)
{
    const auto inGrid
        = [](char c) { return static_cast<unsigned char>(c) >= 0xA1 && static_cast<unsigned char>(c) <= 0xFE; };
    return code.size() == 2 && inGrid(code[0]) && inGrid(code[1])
        && codeRecordIndex(code) < variantRecords(sectionSizes, variant);
}

std::string lastCodeOfVariant(const std::array<int, 4> &sectionSizes, int variant)
{
    const int last = variantRecords(sectionSizes, variant) - 1;
    return {char(0xA1 + last / kAreaCodes), char(0xA1 + last % kAreaCodes)};
}

namespace {
// A dot of the sampled square: ink unless the pixel is exactly white.
bool inkAt(const Surface40 &surface, int x, int y)
{
    return (surface.pixel(kSurfaceOrigin + x, kSurfaceOrigin + y) & 0xFFFFFF) != Surface40::kWhite;
}
} // namespace

void sampleSurface(const Surface40 &surface, int n, GlyphPlane &plane)
{
    for (int r = 0; r < n; ++r)
        for (int j = 0; j < rowBytes(n); ++j) {
            std::uint8_t byte = 0;
            for (int k = 0; k < 8; ++k) {
                byte = std::uint8_t(byte << 1);
                if (inkAt(surface, 8 * j + k, r))
                    byte |= 1;
            }
            plane.at(r, j) = byte;
        }
}

void sampleHalfSurface(const Surface40 &surface, int n, GlyphPlane &plane)
{
    plane = GlyphPlane{};
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < halfWidth(n); ++x)
            plane.setDot(x, y, inkAt(surface, x, y));
}

} // namespace dotforge
