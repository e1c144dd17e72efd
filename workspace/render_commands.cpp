// Rendering a character code into the current glyph, the TrueType source switch
// RW and the font dialog.

#include "workspace/workspace.h"

namespace dotforge {

void Workspace::ChTextOut(const std::string &code)
{
    m_codeTable.clearSurface();
    if (m_controls.RW.checked) {
        selectRG1(0);
        m_codeTable.drawTrueType(m_rasterizer, code, dotSize());
        m_editPlane = m_codeTable.sourcePlane();
    } else if (m_codeTable.hasCode(code, m_controls.UJFIndex)) {
        // A failing read stops here: both planes keep what they held.
        ReadUDot(codeRecordIndex(code));
        copyRecord(m_codeTable.recordBuf(), m_editPlane);
    } else {
        // The variant has no character of this code (typed or imported text
        // gives any byte pair): a blank glyph, as a TrueType face draws nothing
        // for a character it lacks. No other variant's record is read.
        m_codeTable.blankSourceRecord();
        copyRecord(FontRecord{}, m_editPlane);
    }
    DispDot();
    if (m_controls.mnuView)
        applyDefaultEffects();
    m_controls.AddBtn.enabled = true;
    notifyControls();
}

void Workspace::RWClick()
{
    m_controls.RW.checked = true;
    m_controls.FontBtn.enabled = true;
    m_controls.ChEdit.enabled = true;
    m_controls.RU.checked = false;
    m_controls.UJF.enabled = false;
    m_controls.SE1.max = 94;
    m_codeTable.showFaceInTable();
    notifyControls();
    SE1Change();
}

// The new face and size apply from the next render on; the glyph in the editor
// stays as it was drawn.
void Workspace::FontBtnClick()
{
    const auto choice = m_prompts.chooseFont(m_codeTable.FontName(), m_codeTable.FontSize());
    if (!choice)
        return;
    // A bitmap strike taller than the square would lose its lower rows: the
    // face and size stay as they were.
    if (m_rasterizer.pointSizeForDots(choice->face, choice->pointSize, dotSize()) != choice->pointSize) {
        m_prompts.message("点阵字体“" + choice->face + "”的 " + std::to_string(choice->pointSize) + " 磅字号大于 "
            + std::to_string(dotSize()) + " 点的字模,会截去点阵,未选用。");
        return;
    }
    m_codeTable.setFace(choice->face);
    m_codeTable.setPointSize(choice->pointSize);
    notifyControls();
    notifyTable();
}

} // namespace dotforge
