// The dot-matrix source: records of "Font16s", the source switch RU and the
// variant list UJF.

#include "workspace/workspace.h"

namespace dotforge {

namespace {
constexpr int kVariants = 4;
} // namespace

void Workspace::readFontRecord(std::int64_t recordIndex)
{
    m_codeTable.readRecord(recordIndex, controls.UJFIndex);
}

void Workspace::ReadUDot(std::int64_t recordIndex)
{
    m_codeTable.readSourceRecord(recordIndex, controls.UJFIndex);
}

void Workspace::RUClick()
{
    controls.RU.checked = true;
    controls.UJF.enabled = true;
    controls.RW.checked = false;
    controls.FontBtn.enabled = false;
    controls.ChEdit.enabled = false;
    m_codeTable.showDotMatrixInTable();
    notifyControls();
    UJFClick(controls.UJFIndex);
}

void Workspace::UJFClick(int itemIndex)
{
    // The list offers items 0 to 3; anything else means no item, which reads
    // from the start of the file and offers the first variant's areas.
    controls.UJFIndex = itemIndex >= 0 && itemIndex < kVariants ? itemIndex : -1;
    controls.SE1.max = m_codeTable.areaCount(controls.UJFIndex);
    controls.SE1.value = m_codeTable.firstAreaOf(controls.UJFIndex);
    notifyControls();
    SE1Change();
}

} // namespace dotforge
