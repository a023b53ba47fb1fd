#include "DisplayText.h"

#include "GraphemeClusters.h"
#include "StatusRendering.h"

#include <QCoreApplication>

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
    const qsizetype cut = leadingClustersLength(text, limit);
    return cut == text.size() ? text : text.left(cut) + QChar(0x2026);
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
