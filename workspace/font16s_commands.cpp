// The dot-matrix source: records of "Font16s", the source switch RU and the
// variant list UJF.

#include "workspace/workspace.h"

namespace dotforge {

namespace {
constexpr int kVariants = 4;
} // namespace

void Workspace::readFontRecord(std::int64_t recordIndex)
{
    m_codeTable.readRecord(recordIndex, m_controls.UJFIndex);
}

void Workspace::ReadUDot(std::int64_t recordIndex)
{
    m_codeTable.readSourceRecord(recordIndex, m_controls.UJFIndex);
}

void Workspace::RUClick()
{
    m_controls.RU.checked = true;
    m_controls.UJF.enabled = true;
    m_controls.RW.checked = false;
    m_controls.FontBtn.enabled = false;
    m_controls.ChEdit.enabled = false;
    m_codeTable.showDotMatrixInTable();
    notifyControls();
    UJFClick(m_controls.UJFIndex);
}

void Workspace::UJFClick(int itemIndex)
{
    // The list offers items 0 to 3; anything else means no item, which reads
    // from the start of the file and offers the first variant's areas.
    m_controls.UJFIndex = itemIndex >= 0 && itemIndex < kVariants ? itemIndex : -1;
    m_controls.SE1.max = m_codeTable.areaCount(m_controls.UJFIndex);
    m_controls.SE1.value = m_codeTable.firstAreaOf(m_controls.UJFIndex);
    notifyControls();
    SE1Change();
}

} // namespace dotforge
