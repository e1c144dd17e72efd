// The library store: adding and deleting glyphs, and the change notification.
// Glyph i is record i of "JQT.TMP" (a raw plane) and entry i of the code list.

#include "core/io_error.h"
#include "workspace/workspace.h"

#include <exception>

namespace dotforge {

bool Workspace::refusesAdd()
{
    if (m_library.full()) {
        m_prompts.ask(BoxKind::Warning, "小字库已满!", Buttons::Ok);
        return true;
    }
    if (m_library.contains(m_CurCode)) {
        m_prompts.ask(BoxKind::Warning, "小字库中已有该区位码的字!", Buttons::Ok);
        return true;
    }
    return false;
}

void Workspace::moveOnAfterAdd()
{
    if (m_TypedEntry) {
        m_controls.ChEditText.erase(0, 2);
        // A lone byte left over is no character code: typed entry ends
        // there, as with an empty field, and the byte stays in the field.
        if (m_controls.ChEditText.size() >= 2) {
            m_CurCode = m_controls.ChEditText.substr(0, 2);
            ChTextOut(m_CurCode);
            return;
        }
        m_TypedEntry = false;
    }
    m_codeTable.clearSurface();
    m_controls.AddBtn.enabled = false;
}

void Workspace::AddBtnClick()
{
    if (refusesAdd())
        return;
    // What is stored is the grid as it stands, edits included, never the source.
    GlyphPlane packed = m_editPlane;
    m_editor.pack(packed);
    // The record is written before anything else changes: an add the store
    // refuses (another Dotforge holds it, the disk is full) leaves the planes,
    // LibCount, the code list and Save as they were. Save is enabled by ChgDone
    // once the glyph is in.
    m_library.writeNext(packed);
    m_editPlane = packed;
    m_libPlane = packed;
    const std::string code = m_CurCode;

    // The glyph is in the store from here on. When the next typed character
    // cannot be rendered (or the view switch before it fails to commit), the
    // add is still completed and the error reported afterwards; the character
    // that failed cannot be added until it is rendered again.
    std::exception_ptr moveOnError;
    try {
        moveOnAfterAdd();
    } catch (const IoError &) {
        moveOnError = std::current_exception();
        m_controls.AddBtn.enabled = false;
    }

    m_library.admit(code);
    m_library.select(m_library.LibCount() - 1);
    updateXNLabel(); // also paints the new glyph's cell, framed as the selection
    m_controls.RG1.enabled = true;
    m_controls.DelBtn.enabled = true;
    ChgDone();
    m_EditModified = false;
    notifyControls();
    if (moveOnError)
        std::rethrow_exception(moveOnError);
}

void Workspace::DelBtnClick()
{
    if (m_library.LibCount() <= 0)
        return;
    if (m_prompts.ask(BoxKind::Confirmation, "小字库汉字删除后无法恢复!要继续吗?", Buttons::YesNo) != Answer::Yes)
        return;
    const Library::Removal removal = m_library.removeSelected();
    for (int i = removal.firstMoved; i < removal.lastCell; ++i)
        notifyLibraryCell(i);
    updateXNLabel();
    notifyLibraryCell(removal.lastCell);
    if (m_library.LibCount() == 0) {
        m_controls.RG1.enabled = false;
        m_controls.DelBtn.enabled = false;
    }
    ChgDone();
    showSelectionAfterDelete();
}

// The library plane and a library view follow the selection: they held the
// deleted glyph, and a commit would write that over the glyph now selected.
// The library view shows the selected glyph with no edit pending; with none
// left it gives way to an empty system view, so nothing can be committed into
// the emptied store. The system view keeps the character being prepared there.
// (An index that was past the end before the delete still is: no glyph to show.)
void Workspace::showSelectionAfterDelete()
{
    if (m_library.LibCount() == 0) {
        if (m_ViewMode == 1) {
            m_EditModified = false;
            selectRG1(0);
            m_editPlane = GlyphPlane{};
            DispDot();
        }
        return;
    }
    if (m_library.LibIndex() >= m_library.LibCount())
        return;
    m_libPlane = m_library.readGlyph(m_library.LibIndex());
    if (m_ViewMode == 1) {
        m_editPlane = m_libPlane;
        DispDot();
    }
}

void Workspace::ChgDone()
{
    m_EditModified = true;
    m_controls.mnuSave.enabled = true;
    m_controls.mnuSaveAs.enabled = true;
    notifyControls();
}

} // namespace dotforge
