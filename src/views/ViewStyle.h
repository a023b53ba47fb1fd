#pragma once

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace pellora {

// The system font at a pixel size (the views' points are logical pixels).
inline QFont systemFont(int pixelSize, QFont::Weight weight = QFont::Normal)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

inline QFont monospacedFont(int pixelSize, QFont::Weight weight = QFont::Normal)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

// A rounded family when one is installed, else the system font.
inline QFont roundedFont(int pixelSize, QFont::Weight weight = QFont::Normal)
{
    static const QString family = [] {
        const QStringList candidates{QStringLiteral("M PLUS Rounded 1c"),
                                     QStringLiteral("Rounded Mplus 1c"),
                                     QStringLiteral("Varela Round"),
                                     QStringLiteral("Nunito"),
                                     QStringLiteral("Quicksand"),
                                     QStringLiteral("Comfortaa"),
                                     QStringLiteral("Arial Rounded MT Bold")};
        const QStringList installed = QFontDatabase::families();
        for (const QString& candidate : candidates) {
            if (installed.contains(candidate, Qt::CaseInsensitive))
                return candidate;
        }
        return QString();
    }();
    QFont font = systemFont(pixelSize, weight);
    if (!family.isEmpty())
        font.setFamilies({family, font.family()});
    return font;
}

// The dimmed foreground of secondary texts: a translucent neutral that reads on any pale backdrop.
inline QColor secondaryForeground()
{
    return QColor::fromRgbF(0, 0, 0, 0.5f);
}

} // namespace pellora
