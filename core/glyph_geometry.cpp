#include "core/glyph_geometry.h"

namespace dotforge {

Point sourceOf(Transform t, int n, Point p)
{
    const int bands = rowBytes(n);
    switch (t) {
    case Transform::TurnLeft:
        return {n - 1 - p.y, p.x};
    case Transform::TurnRight:
        return {p.y, n - 1 - p.x};
    case Transform::MirrorAcross:
        return {n - 1 - p.x, p.y};
    case Transform::MirrorDown:
        return {p.x, n - 1 - p.y};
    case Transform::SwapBandsAcross:
        return {8 * (bands - 1 - p.x / 8) + p.x % 8, p.y};
    case Transform::SwapBandsDown:
        return {p.x, 8 * (bands - 1 - p.y / 8) + p.y % 8};
    }
    return p;
}

std::vector<Transform> effectTransforms(Effects effects)
{
    std::vector<Transform> out;
    switch (effects.rotation) {
    case Rotation::R0:
        break;
    case Rotation::R90:
        out.push_back(Transform::TurnLeft);
        break;
    case Rotation::R180:
        out.push_back(Transform::TurnLeft);
        out.push_back(Transform::TurnLeft);
        break;
    case Rotation::R270:
        out.push_back(Transform::TurnRight);
        break;
    }
    if (effects.flip == Flip::Horizontal)
        out.push_back(Transform::MirrorAcross);
    else if (effects.flip == Flip::Vertical)
        out.push_back(Transform::MirrorDown);
    if (effects.swap == Swap::LeftRight)
        out.push_back(Transform::SwapBandsAcross);
    else if (effects.swap == Swap::UpDown)
        out.push_back(Transform::SwapBandsDown);
    return out;
}

GlyphPlane applyEffects(const GlyphPlane &raw, int n, Effects effects)
{
    GlyphPlane p = raw;
    if (!isDotSize(n))
        return p;
    for (Transform t : effectTransforms(effects))
        transformSquare(p, n, t);
    return p;
}

} // namespace dotforge
