// Default rotation, flip and swap: the editor's own transforms applied to each
// rendered glyph while the view option is on, and the menu items that choose them.

#include "core/glyph_geometry.h"
#include "workspace/workspace.h"

namespace dotforge {

// Rotation, then flip, then swap, each on the grid the one before left: the
// editor's own buttons, so each counts as an edit of the glyph.
void Workspace::applyDefaultEffects()
{
    for (Transform t : effectTransforms({m_controls.rotation, m_controls.flip, m_controls.swap}))
        transformGrid(t);
}

// Each item re-renders the table's selected character, whatever the view
// option: with the option on the new choice shows at once.
void Workspace::mnuRotationClick(Rotation r)
{
    m_controls.rotation = r;
    notifyControls();
    SelHZ();
}

void Workspace::mnuFlipClick(Flip f)
{
    m_controls.flip = f;
    notifyControls();
    SelHZ();
}

void Workspace::mnuSwapClick(Swap s)
{
    m_controls.swap = s;
    notifyControls();
    SelHZ();
}

} // namespace dotforge
