#include "StylePack.h"

namespace pellora {

QString stylePackText(StylePack pack)
{
    switch (pack) {
    case StylePack::classicKaomoji:
        return QStringLiteral("classicKaomoji");
    case StylePack::dynamicKaomoji:
        return QStringLiteral("dynamicKaomoji");
    case StylePack::textOnly:
        return QStringLiteral("textOnly");
    }
    Q_UNREACHABLE();
    return {};
}

std::optional<StylePack> stylePackFromText(QStringView text)
{
    for (StylePack pack : allStylePacks) {
        if (text == stylePackText(pack))
            return pack;
    }
    return std::nullopt;
}

} // namespace pellora
