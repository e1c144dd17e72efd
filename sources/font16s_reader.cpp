// The dot-matrix source: records of "Font16s", the source switch RU and the
// variant list UJF.

#include "core/io_error.h"
#include "core/workspace.h"
#include "sources/glyph_sources.h"

#include <limits>

namespace dotforge {

namespace {
constexpr int kVariants = 4;
constexpr int kKorean = 3; // UJF item "韩文"
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

std::int64_t Workspace::variantBase() const
{
    return variantFirstRecord(table.sectionSize, controls.UJFIndex);
}

// The Korean variant has no areas 13 to 15: its area 16 is file area 13.
int Workspace::fileArea() const
{
    if (controls.RU.checked && controls.UJFIndex == kKorean && table.curArea > 15)
        return table.curArea - 3;
    return table.curArea;
}

void Workspace::readFontRecord(std::int64_t recordIndex)
{
    const std::int64_t base = variantBase();
    // base + index must not wrap around: such a record lies past any file's end.
    if (recordIndex > std::numeric_limits<std::int64_t>::max() - base)
        throw IoError(ioerr::ReadBeyondEnd);
    FontRecord record;
    fontFile.seek(base + recordIndex);
    fontFile.read(record.data());
    table.recordBuf = record;
}

void Workspace::ReadUDot(std::int64_t recordIndex)
{
    readFontRecord(recordIndex);
    copyRecord(table.recordBuf, sourcePlane);
}

void Workspace::RUClick()
{
    controls.RU.checked = true;
    controls.UJF.enabled = true;
    controls.RW.checked = false;
    controls.FontBtn.enabled = false;
    controls.ChEdit.enabled = false;
    table.tableFace = "宋体";
    notifyControls();
    UJFClick(controls.UJFIndex);
}

void Workspace::UJFClick(int itemIndex)
{
    // The list offers items 0 to 3; anything else means no item, which reads
    // from the start of the file and offers the first variant's areas.
    controls.UJFIndex = itemIndex >= 0 && itemIndex < kVariants ? itemIndex : -1;
    const std::size_t row = std::size_t(controls.UJFIndex < 0 ? 0 : controls.UJFIndex);
    controls.SE1.max = table.sectionSize[row] / kAreaCodes;
    controls.SE1.value = table.firstArea[row];
    notifyControls();
    SE1Change();
}

} // namespace dotforge
