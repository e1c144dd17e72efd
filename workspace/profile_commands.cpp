#include "formats/profiles.h"
#include "workspace/workspace.h"

namespace dotforge {

void Workspace::mnuProfileClick(const std::string &name)
{
    const LayoutProfile *profile = findProfile(name);
    if (!profile)
        return;
    const Layout &l = profile->layout;
    // With the view option on, the effects went into each glyph as it was added:
    // glyphs added under other effects would stay in another layout than the
    // ones added from now on, and a file must hold one layout only. So the
    // library is emptied first, after the view option's own question; without
    // a yes nothing changes. (The mode alone is applied to every glyph when the
    // file is written.)
    const bool effectsChange = m_controls.rotation != l.effects.rotation || m_controls.flip != l.effects.flip
        || m_controls.swap != l.effects.swap;
    if (m_controls.mnuView && m_library.LibCount() > 0 && effectsChange) {
        if (!confirmsLibraryReset())
            return;
        mnuNewClick();
    }
    if (m_controls.mode != l.mode)
        mnuModeClick(l.mode);
    if (m_controls.rotation != l.effects.rotation)
        mnuRotationClick(l.effects.rotation);
    if (m_controls.flip != l.effects.flip)
        mnuFlipClick(l.effects.flip);
    if (m_controls.swap != l.effects.swap)
        mnuSwapClick(l.effects.swap);
}

} // namespace dotforge
