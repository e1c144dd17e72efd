// The code table: the area spin edit SE1, the 10 x 10 grid SG1 of the 94
// characters of an area, and the render of the selected one.

#include "core/io_error.h"
#include "workspace/workspace.h"

#include <algorithm>

namespace dotforge {

void Workspace::SE1Change()
{
    // The table may skip the areas its variant lacks: the field shows the area taken.
    m_controls.SE1.value
        = m_codeTable.setArea(std::clamp(m_controls.SE1.value, m_controls.SE1.min, m_controls.SE1.max), tableSource());
    notifyControls();
    DispChs();
    try {
        SelHZ();
    } catch (const IoError &) {
        // The render and the table read the same file: when position 1 cannot be
        // read, its error is the table's report too.
        m_codeTable.errorReported();
        throw;
    }
}

void Workspace::SE1Step(int delta)
{
    const int value = std::clamp(m_controls.SE1.value + delta, m_controls.SE1.min, m_controls.SE1.max);
    if (value == m_controls.SE1.value)
        return;
    m_controls.SE1.value = value;
    SE1Change();
}

// Digits go into the field; the area changes when the number is confirmed.
void Workspace::SE1KeyPress(char32_t ch, bool &discard)
{
    discard = ch < U'0' || ch > U'9';
}

// A typed number outside the range gives its nearest end; the area it names
// is shown as a step to it would show it (the Korean variant's gap included).
void Workspace::SE1Typed(int value)
{
    value = std::clamp(value, m_controls.SE1.min, m_controls.SE1.max);
    if (value == m_controls.SE1.value) {
        // The field shows the area again.
        notifyControls();
        return;
    }
    m_controls.SE1.value = value;
    SE1Change();
}

void Workspace::DispChs()
{
    selectRG1(0);
    m_codeTable.showArea(tableSource());
    m_TypedEntry = false;
    notifyTable();
}

CodeTableCell Workspace::SDotEffect(int col, int row)
{
    return m_codeTable.cell(col, row, tableSource());
}

CodeTableCell Workspace::SG1DrawCell(int col, int row)
{
    return m_codeTable.paintCell(col, row, tableSource());
}

std::string Workspace::takeTableError()
{
    return m_codeTable.takeError();
}

void Workspace::SG1MouseDown(int col, int row)
{
    // Over no cell the grid reports (-1, -1): that selection is invalid and
    // SelHZ beeps for it.
    if (!m_codeTable.select(col, row)) {
        m_prompts.beep();
        return;
    }
    selectRG1(0);
    SelHZ();
}

void Workspace::SelHZ()
{
    const std::optional<std::string> code = m_codeTable.selectedCode();
    if (!code) {
        m_prompts.beep();
        return;
    }
    selectRG1(0);
    m_CurCode = *code;
    ChTextOut(m_CurCode);
}

} // namespace dotforge
