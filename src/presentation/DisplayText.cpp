#include "DisplayText.h"

#include "StatusRendering.h"

#include <QCoreApplication>
#include <QTextBoundaryFinder>

namespace pellora {

QString roleTitle(const Role& role)
{
    if (role.displayName)
        return *role.displayName + QStringLiteral(" · ") + role.name;
    return role.name;
}

QString shortenedText(const QString& text, qsizetype limit)
{
    if (text.size() <= limit)
        return text; // a cluster holds at least one code unit, so this can never need cutting
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype clusters = 0;
    qsizetype cut = 0;
    while (finder.toNextBoundary() != -1) {
        if (clusters == limit)
            return text.left(cut) + QChar(0x2026);
        ++clusters;
        cut = finder.position();
    }
    return text;
}

QString upcomingLine(const RoleEvent& event)
{
    return QCoreApplication::translate("FloatingStripView", "→ %1 · %2")
        .arg(event.time, shortenedText(event.event, 38));
}

QString previewFace(const Role& role)
{
    if (role.events.isEmpty())
        return QStringLiteral("(・・;)");
    return statusFace(role.events.first(), role.stylePack);
}

QString stripHintText()
{
    return QCoreApplication::translate("FloatingStripView", "还没有角色，去菜单挑一个~");
}

} // namespace pellora
