#include "SvgIcon.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace pellora {

namespace {

// Sizes pre-rendered when the SVG icon engine is missing: the sizes the views ask for, at 1x and 2x.
constexpr int fallbackSides[] = {14, 16, 18, 20, 24, 28, 32, 36, 48, 64, 96};

} // namespace

QIcon svgIcon(const QString& name)
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

} // namespace pellora
