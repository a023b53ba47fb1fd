#pragma once

#include <QColor>
#include <QHash>
#include <QImage>

#include <algorithm>
#include <cmath>

namespace pellora::test {

// Contrast ratio of two sRGB colours by WCAG 2.2's relative luminance.
inline double contrast(QRgb a, QRgb b)
{
    const auto luminance = [](QRgb rgb) {
        const auto linear = [](int channel) {
            const double c = channel / 255.0;
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
    };
    const double first = luminance(a), second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

// What an area of an opaque rendering shows: the backing is the colour most of its pixels have, the ink the
// pixel that stands out most from it (the fully covered core of a glyph or a line).
struct Patch {
    QRgb backing = 0;
    QRgb ink = 0;
    double ratio() const { return contrast(ink, backing); }
};

inline Patch measure(const QImage& image, const QRect& area)
{
    QHash<QRgb, int> counts;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000];
    }
    Patch patch;
    patch.backing = std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), [](auto a, auto b) {
                        return a.second < b.second;
                    })->first;
    patch.ink = patch.backing;
    for (const QRgb colour : counts.keys()) {
        if (contrast(colour, patch.backing) > patch.ratio())
            patch.ink = colour;
    }
    return patch;
}

} // namespace pellora::test
