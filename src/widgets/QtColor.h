#pragma once

#include "presentation/StatusRendering.h"

#include <QColor>

#include <algorithm>

namespace pellora {

// The colour as QColor, its opacity multiplied by `opacity` (a palette colour drawn "at opacity x").
// Components are clamped to 0...1 so a stray value never yields an invalid colour.
inline QColor toQColor(const RgbaColor& color, double opacity = 1.0)
{
    const auto unit = [](double value) {
        return float(std::clamp(value, 0.0, 1.0));
    };
    return QColor::fromRgbF(unit(color.red), unit(color.green), unit(color.blue), unit(color.alpha * opacity));
}

} // namespace pellora
