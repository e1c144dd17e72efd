#include "core/workspace.h"
#include "formats/profiles.h"

namespace dotforge {

void Workspace::mnuProfileClick(const std::string &name)
{
    const LayoutProfile *profile = findProfile(name);
    if (!profile)
        return;
    const Layout &l = profile->layout;
    if (controls.mode != l.mode)
        mnuModeClick(l.mode);
    if (controls.rotation != l.effects.rotation)
        mnuRotationClick(l.effects.rotation);
    if (controls.flip != l.effects.flip)
        mnuFlipClick(l.effects.flip);
    if (controls.swap != l.effects.swap)
        mnuSwapClick(l.effects.swap);
}

} // namespace dotforge
