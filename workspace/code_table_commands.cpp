// The code table: the area spin edit SE1, the 10 x 10 grid SG1 of the 94
// characters of an area, and the render of the selected one.

#include "core/gbk.h"
#include "core/io_error.h"
#include "workspace/workspace.h"
#include "sources/glyph_sources.h"

#include <algorithm>

namespace dotforge {

namespace {
constexpr int kTableColumns = 10;
constexpr int kTableRows = 10;
constexpr int kAreaCodes = 94; // cells 94 to 99 stay empty

// Cell number of a table position, -1 for a position outside the grid.
int cellNumber(int col, int row)
{
    if (col < 0 || row < 0 || col >= kTableColumns || row >= kTableRows)
        return -1;
    return row * kTableColumns + col;
}
} // namespace

void Workspace::SE1Change()
{
    controls.SE1.value = std::clamp(controls.SE1.value, controls.SE1.min, controls.SE1.max);
    // The Korean variant has no areas 13 to 15: jump over them in the direction
    // the user stepped.
    if (controls.RU.checked && controls.UJFIndex == 3 && controls.SE1.value >= 13 && controls.SE1.value <= 15)
        controls.SE1.value = controls.SE1.value > table.curArea ? 16 : 12;
    table.curArea = controls.SE1.value;
    notifyControls();
    DispChs();
    try {
        SelHZ();
    } catch (const IoError &) {
        // The render and the table read the same file: when position 1 cannot be
        // read, its error is the table's report too.
        m_tableErrorReported = true;
        m_tableError.clear();
        throw;
    }
}

void Workspace::SE1Step(int delta)
{
    const int value = std::clamp(controls.SE1.value + delta, controls.SE1.min, controls.SE1.max);
    if (value == controls.SE1.value)
        return;
    controls.SE1.value = value;
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
    value = std::clamp(value, controls.SE1.min, controls.SE1.max);
    if (value == controls.SE1.value) {
        // The field shows the area again.
        notifyControls();
        return;
    }
    controls.SE1.value = value;
    SE1Change();
}

void Workspace::DispChs()
{
    const int area = fileArea();
    selectRG1(0);
    for (int n = 0; n < kAreaCodes; ++n)
        table.areaTable[std::size_t(n)] = {char(area + 0xA0), char(n + 0xA1)};
    table.tableCol = 0;
    table.tableRow = 0;
    TypedEntry = false;
    m_tableError.clear();
    m_tableErrorReported = false;
    notifyTable();
}

CodeTableCell Workspace::SDotEffect(int col, int row)
{
    CodeTableCell cell;
    const int n = cellNumber(col, row);
    if (n < 0 || n >= kAreaCodes)
        return cell;
    cell.empty = false;
    if (controls.RW.checked) {
        cell.text = gbkToUtf8(table.areaTable[std::size_t(n)]);
        cell.face = FontName;
    } else {
        readFontRecord(cellRecordIndex(fileArea(), n));
        cell.fromFont16s = true;
        cell.record = table.recordBuf;
    }
    return cell;
}

CodeTableCell Workspace::SG1DrawCell(int col, int row)
{
    try {
        return SDotEffect(col, row);
    } catch (const IoError &e) {
        if (!m_tableErrorReported) {
            m_tableError = e.what();
            m_tableErrorReported = true;
        }
        CodeTableCell blank;
        blank.empty = false;
        blank.fromFont16s = true;
        return blank;
    }
}

std::string Workspace::takeTableError()
{
    std::string error;
    error.swap(m_tableError);
    return error;
}

void Workspace::SG1MouseDown(int col, int row)
{
    // Over no cell the grid reports (-1, -1): that selection is invalid and
    // SelHZ beeps for it.
    if (row * kTableColumns + col >= kAreaCodes) {
        m_prompts.beep();
        return;
    }
    table.tableCol = col;
    table.tableRow = row;
    selectRG1(0);
    SelHZ();
}

void Workspace::SelHZ()
{
    const int n = cellNumber(table.tableCol, table.tableRow);
    if (n < 0 || n >= kAreaCodes) {
        m_prompts.beep();
        return;
    }
    selectRG1(0);
    CurCode = table.areaTable[std::size_t(n)];
    ChTextOut(CurCode);
}

} // namespace dotforge
