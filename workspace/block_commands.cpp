// Block operations on the selection rectangle of the editor grid: the block
// menu, cut, copy, paste, delete and the one-cell moves. The grid does the
// cells (editor/editor_grid.h); here each edit makes the library savable.

#include "workspace/workspace.h"

namespace dotforge {

bool Workspace::prepareBlockMenu()
{
    const bool block = m_editor.hasBlock();
    if (m_controls.RG1Index == 0) {
        // Only copying is offered here; the moves keep the state the last
        // opening in the library view gave them.
        if (!block)
            return false;
        m_controls.pmuCopy.enabled = true;
        m_controls.pmuCut.enabled = m_controls.pmuPaste.enabled = m_controls.pmuDel.enabled = false;
        return true;
    }
    for (Toggle *item : {&m_controls.pmuCut, &m_controls.pmuCopy, &m_controls.pmuDel, &m_controls.pmuLeft,
             &m_controls.pmuRight, &m_controls.pmuUp, &m_controls.pmuDown})
        item->enabled = block;
    m_controls.pmuPaste.enabled = m_editor.clipFull();
    return block || m_editor.clipFull();
}

void Workspace::mnuCutClick()
{
    m_editor.cutBlock();
    ChgDone();
    notifyEditor();
}

void Workspace::mnuCopyClick()
{
    m_editor.copyBlock();
}

void Workspace::mnuPasteClick()
{
    m_editor.paste();
    ChgDone();
    notifyEditor();
}

void Workspace::mnuDelClick()
{
    m_editor.deleteBlock();
    ChgDone();
    notifyEditor();
}

void Workspace::moveBlock(int dx, int dy)
{
    if (!m_editor.moveBlock(dx, dy))
        return;
    ChgDone();
    notifyEditor();
}

void Workspace::pmuLeftClick()
{
    moveBlock(-1, 0);
}
void Workspace::pmuRightClick()
{
    moveBlock(1, 0);
}
void Workspace::pmuUpClick()
{
    moveBlock(0, -1);
}
void Workspace::pmuDownClick()
{
    moveBlock(0, 1);
}

} // namespace dotforge
