#include "StylePack.h"

namespace pellora {

QString stylePackText(StylePack pack)
{
    // In the order of the members.
    static constexpr std::array<const char16_t*, allStylePacks.size()> texts{u"classicKaomoji", u"dynamicKaomoji",
                                                                             u"textOnly"};
    return QString::fromUtf16(texts.at(size_t(pack)));
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
