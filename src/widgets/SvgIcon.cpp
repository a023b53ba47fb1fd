#include "SvgIcon.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace pellora {

namespace {

// Sizes pre-rendered when the SVG icon engine is missing: the sizes the views ask for, at 1x and 2x.
constexpr int fallbackSides[] = {14, 16, 18, 20, 24, 28, 32, 36, 48, 64, 96};

QIcon loadIcon(const QString& name)
{
    const QString path = QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
    if (!QFile::exists(path))
        return {};

    // Qt's SVG icon engine (a plugin in libqt6svg6) renders at whatever size is painted.
    QIcon icon(path);
    if (!icon.pixmap(QSize(16, 16)).isNull())
        return icon;

    // Without the plugins QIcon keeps the file name but cannot draw it; draw it ourselves at the usual sizes.
    icon = QIcon();
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    for (const int side : fallbackSides) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// Artwork drawn for each size a panel asks for (":/icons/tray-<side>.svg"), rendered once per pixel size.
constexpr int trayArtworkSides[] = {16, 22, 24, 32};

QHash<QString, QIcon>& loadedIcons()
{
    static QHash<QString, QIcon> icons;
    return icons;
}

} // namespace

// The SVG engine keeps every size it renders in the global pixmap cache under a key of its own icon
// instance, so a fresh QIcon per view (the picker is rebuilt on each opening) would fill that cache with
// copies of the same pixmaps. One shared icon per name lets every view reuse the renders.
QIcon svgIcon(const QString& name)
{
    QHash<QString, QIcon>& icons = loadedIcons();
    if (const auto found = icons.constFind(name); found != icons.constEnd())
        return *found;
    if (icons.isEmpty() && QCoreApplication::instance())
        // Pixmaps must go before the application does, not at static destruction.
        qAddPostRoutine([] { loadedIcons().clear(); });
    const QIcon icon = loadIcon(name);
    icons.insert(name, icon);
    return icon;
}

QIcon trayIcon()
{
    // A scaled rendering puts edges between pixels and blurs a 16-pixel glyph; artwork drawn on each size's
    // grid stays sharp at that size and at twice it (the ratio tells QIcon which is which).
    QIcon icon;
    for (const int side : trayArtworkSides) {
        QSvgRenderer renderer(QStringLiteral(":/icons/tray-%1.svg").arg(side));
        for (const int scale : {1, 2}) {
            QPixmap pixmap(scale * side, scale * side);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            renderer.render(&painter);
            painter.end();
            pixmap.setDevicePixelRatio(scale);
            icon.addPixmap(pixmap);
        }
    }
    return icon;
}

} // namespace pellora
