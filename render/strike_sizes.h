#pragma once
// The sizes a bitmap face is drawn at: one rule for the window's font dialog
// and the batch tool's --point-size.

#include <optional>
#include <vector>

namespace dotforge {

// The point size a bitmap face with strikes of `pixelSizes` is drawn at: the
// size asked for when round(pt x 96 / 72) is one of its strikes; with none
// asked for, its only strike, or else `fallback` when that is one. A strike
// between two whole point sizes (14 or 18 pixels) is never chosen: at the
// size below it the rasteriser would draw a smaller strike or nothing.
// Empty when no strike fits.
std::optional<int> strikePointSize(const std::vector<int> &pixelSizes, std::optional<int> asked, int fallback);

// Whether any strike of the face can be chosen at all.
bool hasUsableStrike(const std::vector<int> &pixelSizes);

} // namespace dotforge
