#include "TrayIcon.h"

namespace pellora {

TrayIcon::TrayIcon(QObject* parent) : QObject(parent), m_icon(QIcon(QStringLiteral(":/icons/sparkles.svg")))
{
    m_icon.setToolTip(QStringLiteral("Pellora"));
    QAction* quit = m_menu.addAction(tr("退出"));
    quit->setObjectName(QStringLiteral("quitAction"));
    connect(quit, &QAction::triggered, this, &TrayIcon::quitRequested);
    m_icon.setContextMenu(&m_menu);
}

void TrayIcon::show()
{
    m_icon.show();
}

} // namespace pellora
