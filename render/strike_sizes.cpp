#include "render/strike_sizes.h"

#include "render/freetype_rasterizer.h"

#include <algorithm>

namespace dotforge {

std::optional<int> strikePointSize(const std::vector<int> &pixelSizes, std::optional<int> asked, int fallback)
{
    const auto isStrike = [&pixelSizes](int pt) {
        return pt > 0 && std::find(pixelSizes.begin(), pixelSizes.end(), pixelHeight(pt)) != pixelSizes.end();
    };
    if (!asked && pixelSizes.size() == 1 && pointSizeOfPixels(pixelSizes.front()) > 0)
        return pointSizeOfPixels(pixelSizes.front());
    const int pt = asked.value_or(fallback);
    if (isStrike(pt))
        return pt;
    return std::nullopt;
}

bool hasUsableStrike(const std::vector<int> &pixelSizes)
{
    return std::any_of(pixelSizes.begin(), pixelSizes.end(), [](int px) { return pointSizeOfPixels(px) > 0; });
}

} // namespace dotforge
