// Default rotation, flip and swap: the editor's own transforms applied to each
// rendered glyph while the view option is on, and the menu items that choose them.

#include "core/workspace.h"

namespace dotforge {

// Rotation, then flip, then swap, each on the grid the one before left.
void Workspace::applyDefaultEffects()
{
    switch (rotation) {
    case Rotation::R0:
        break;
    case Rotation::R90:
        CCWBtnClick();
        break;
    case Rotation::R180:
        CCWBtnClick();
        CCWBtnClick();
        break;
    case Rotation::R270:
        CWBtnClick();
        break;
    }
    switch (flip) {
    case Flip::None:
        break;
    case Flip::Horizontal:
        HflipBtnClick();
        break;
    case Flip::Vertical:
        VflipBtnClick();
        break;
    }
    switch (swap) {
    case Swap::None:
        break;
    case Swap::LeftRight:
        ELBtnClick();
        break;
    case Swap::UpDown:
        EUBtnClick();
        break;
    }
}

// Each item re-renders the table's selected character, whatever the view
// option: with the option on the new choice shows at once.
void Workspace::mnuRotationClick(Rotation r)
{
    rotation = r;
    notifyControls();
    SelHZ();
}

void Workspace::mnuFlipClick(Flip f)
{
    flip = f;
    notifyControls();
    SelHZ();
}

void Workspace::mnuSwapClick(Swap s)
{
    swap = s;
    notifyControls();
    SelHZ();
}

} // namespace dotforge
