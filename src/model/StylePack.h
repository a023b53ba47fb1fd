#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace pellora {

// How a role's status is rendered. The text value is what the pack file stores.
enum class StylePack { classicKaomoji, dynamicKaomoji, textOnly };

inline constexpr std::array<StylePack, 3> allStylePacks{StylePack::classicKaomoji, StylePack::dynamicKaomoji,
                                                        StylePack::textOnly};

QString stylePackText(StylePack pack);

// Exact, case-sensitive conversion; any other text gives no member.
std::optional<StylePack> stylePackFromText(QStringView text);

} // namespace pellora
