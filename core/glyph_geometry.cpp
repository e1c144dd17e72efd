#include "core/glyph_geometry.h"

namespace dotforge {

namespace {
bool turns(Transform t)
{
    return t == Transform::TurnLeft || t == Transform::TurnRight;
}
} // namespace

GlyphBox transformedBox(Transform t, GlyphBox box)
{
    return turns(t) ? GlyphBox{box.height, box.width} : box;
}

GlyphBox transformedBox(std::span<const Transform> steps, GlyphBox box)
{
    for (Transform t : steps)
        box = transformedBox(t, box);
    return box;
}

Point sourceOf(Transform t, GlyphBox source, Point p)
{
    const int w = source.width;
    const int h = source.height;
    switch (t) {
    case Transform::TurnLeft:
        return {w - 1 - p.y, p.x};
    case Transform::TurnRight:
        return {p.y, h - 1 - p.x};
    case Transform::MirrorAcross:
        return {w - 1 - p.x, p.y};
    case Transform::MirrorDown:
        return {p.x, h - 1 - p.y};
    case Transform::SwapBandsAcross:
        return {8 * (w / 8 - 1 - p.x / 8) + p.x % 8, p.y};
    case Transform::SwapBandsDown:
        return {p.x, 8 * (h / 8 - 1 - p.y / 8) + p.y % 8};
    }
    return p;
}

Point sourceOf(std::span<const Transform> steps, GlyphBox source, Point p)
{
    // Back from the last step to the first, each with the box it was applied
    // to; a turn swaps the sides whichever way it is taken.
    GlyphBox box = transformedBox(steps, source);
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        box = transformedBox(*step, box);
        p = sourceOf(*step, box, p);
    }
    return p;
}

Point sourceOf(Transform t, int n, Point p)
{
    return sourceOf(t, squareBox(n), p);
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

GlyphBox transformedBox(Effects effects, GlyphBox box)
{
    return transformedBox(effectTransforms(effects), box);
}

GlyphPlane applyEffects(const GlyphPlane &raw, GlyphBox box, Effects effects, GlyphBox *result)
{
    GlyphPlane p = raw;
    if (isGlyphBox(box))
        box = transformBox(p, box, effectTransforms(effects));
    if (result)
        *result = box;
    return p;
}

GlyphPlane applyEffects(const GlyphPlane &raw, int n, Effects effects)
{
    if (!isDotSize(n))
        return raw;
    return applyEffects(raw, squareBox(n), effects);
}

} // namespace dotforge
