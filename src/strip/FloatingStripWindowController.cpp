#include "FloatingStripWindowController.h"

#include "FloatingPanel.h"
#include "FloatingStripRootView.h"
#include "FloatingStripView.h"
#include "StripPlacement.h"

#include <QGuiApplication>
#include <QScreen>

namespace pellora {

FloatingStripWindowController::FloatingStripWindowController(QObject* parent) : QObject(parent) {}

FloatingStripWindowController::~FloatingStripWindowController()
{
    hideStrip();
}

FloatingStripRootView* FloatingStripWindowController::rootView() const
{
    return m_panel ? qobject_cast<FloatingStripRootView*>(m_panel->content()) : nullptr;
}

void FloatingStripWindowController::showStrip(RoleLibrary* library, DisplayModeStore* store)
{
    m_modalManager.setLibrary(library);
    auto* root = new FloatingStripRootView(library, store, &m_modalManager);
    FloatingStripView* view = root->stripView();

    if (m_panel) {
        m_panel->setContent(root);
        connect(view, &FloatingStripView::shapeChanged, m_panel, &FloatingPanel::updateShape);
        m_panel->setShapeProvider([view] { return view->cardsRegion(); });
        m_panel->orderFront();
        return;
    }

    // It appears at login and on every second launch and has nothing to type into: it never takes the focus.
    auto* panel = new FloatingPanel({.translucent = true, .followContentHeight = true, .takesFocus = false});
    panel->setObjectName(QStringLiteral("stripPanel"));
    panel->setWindowTitle(QStringLiteral("Pellora"));
    panel->resize(stripWidth, 200);
    panel->setContent(root);
    connect(view, &FloatingStripView::shapeChanged, panel, &FloatingPanel::updateShape);
    panel->setShapeProvider([view] { return view->cardsRegion(); });
    panel->setContextMenu(m_contextMenu);

    const QSize size(stripWidth, panel->contentHeight());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        panel->setGeometry(QRect(cornerPosition(screen->availableGeometry(), size), size));
    else
        panel->resize(size);

    m_panel = panel;
    panel->orderFront();
    emit stripShown();
}

void FloatingStripWindowController::setContextMenu(QMenu* menu)
{
    m_contextMenu = menu;
    if (m_panel)
        m_panel->setContextMenu(menu);
}

void FloatingStripWindowController::hideStrip()
{
    m_modalManager.closeAll();
    if (!m_panel)
        return;
    FloatingPanel* panel = m_panel;
    m_panel = nullptr;
    panel->hide();
    panel->close();
    // Deferred: hideStrip may run from an event the panel itself is delivering.
    panel->deleteLater();
}

} // namespace pellora
