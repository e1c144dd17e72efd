// The dot-matrix source: records of "Font16s", the source switch RU and the
// variant list UJF.

#include "core/io_error.h"
#include "workspace/workspace.h"
#include "sources/glyph_sources.h"

#include <limits>

namespace dotforge {

namespace {
constexpr int kVariants = 4;
constexpr int kKorean = 3; // UJF item "韩文"
constexpr int kAreaCodes = 94; // positions per area
} // namespace

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
