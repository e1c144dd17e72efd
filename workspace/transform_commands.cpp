// Whole-glyph transforms of the editor grid: quarter turns, mirrors, band swaps
// and one-dot shifts. They move cell texts within the N x N square only, through
// the glyph geometry the save-time effects use too.

#include "workspace/workspace.h"

namespace dotforge {

// The turns, mirrors and swaps are edits that make the library savable.
void Workspace::transformGrid(Transform t)
{
    m_editor.transform(t);
    ChgDone();
    notifyEditor();
}

void Workspace::CCWBtnClick()
{
    transformGrid(Transform::TurnLeft);
}
void Workspace::CWBtnClick()
{
    transformGrid(Transform::TurnRight);
}
void Workspace::HflipBtnClick()
{
    transformGrid(Transform::MirrorAcross);
}
void Workspace::VflipBtnClick()
{
    transformGrid(Transform::MirrorDown);
}
void Workspace::ELBtnClick()
{
    transformGrid(Transform::SwapBandsAcross);
}
void Workspace::EUBtnClick()
{
    transformGrid(Transform::SwapBandsDown);
}

// The shifts drop the line pushed past the edge and bring in a blank one. They
// mark the grid as edited but, unlike the turns, do not make the library savable.
void Workspace::shiftGrid(int dx, int dy)
{
    m_editor.shift(dx, dy);
    m_EditModified = true;
    notifyEditor();
}

void Workspace::LeftBtnClick()
{
    shiftGrid(-1, 0);
}
void Workspace::RightBtnClick()
{
    shiftGrid(1, 0);
}
void Workspace::UpBtnClick()
{
    shiftGrid(0, -1);
}
void Workspace::DownBtnClick()
{
    shiftGrid(0, 1);
}

} // namespace dotforge
