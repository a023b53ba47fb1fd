#pragma once

#include "model/Role.h"
#include "model/StylePack.h"

#include <QString>

namespace pellora {

// Five moods every event falls into, decided by keywords in its mood and activity.
enum class MoodCategory { sleeping, chill, focus, hyperdrive, chaos };
inline constexpr size_t moodCategoryCount = size_t(MoodCategory::chaos) + 1;

// The member's name ("sleeping", ...), as machine-readable output uses it.
QString moodCategoryName(MoodCategory category);

// An sRGB colour with components and opacity from 0 to 1. Kept free of QtGui so the core stays GUI-less.
struct RgbaColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    friend bool operator==(const RgbaColor&, const RgbaColor&) = default;
};

struct StylePalette {
    RgbaColor accent;     // outline strokes
    RgbaColor background; // detail card and meter fills
    RgbaColor text;       // secondary text
    RgbaColor shadow;     // drop shadows of the strip cards

    friend bool operator==(const StylePalette&, const StylePalette&) = default;
};

MoodCategory moodCategory(const RoleEvent& event);

// A kaomoji for the kaomoji packs, a bracketed status tag for textOnly.
QString statusFace(const RoleEvent& event, StylePack stylePack);

QString statusTag(MoodCategory category, const RoleEvent& event);

StylePalette stylePalette(StylePack stylePack);

} // namespace pellora
