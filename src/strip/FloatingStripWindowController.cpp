#include "FloatingStripWindowController.h"

#include "FloatingPanel.h"
#include "FloatingStripView.h"
#include "StripPlacement.h"
#include "platform/WorkArea.h"

#include <QGuiApplication>
#include <QScreen>

namespace pellora {

FloatingStripWindowController::FloatingStripWindowController(QObject* parent) : QObject(parent)
{
    setWorkArea(makeDesktopWorkArea());
}

FloatingStripWindowController::~FloatingStripWindowController()
{
    hideStrip();
}

void FloatingStripWindowController::showStrip(RoleLibrary* library)
{
    m_pickerController.setLibrary(library);
    auto* view = new FloatingStripView(library, &m_pickerController);

    if (m_panel) {
        m_panel->setContent(view);
        connect(view, &FloatingStripView::shapeChanged, m_panel, &FloatingPanel::updateShape);
        m_panel->setShapeProvider([view] { return view->cardsRegion(); });
        m_panel->showWithoutActivating();
        return;
    }

    // It appears at login and on every second launch and has nothing to type into: it never takes the focus.
    auto* panel = new FloatingPanel(
        {.translucent = true, .followContentHeight = true, .takesFocus = false, .onEveryDesktop = true});
    panel->setObjectName(QStringLiteral("stripPanel"));
    panel->setWindowTitle(QStringLiteral("Pellora"));
    // Only the height follows the content; a fixed width also keeps a tiling Wayland compositor from
    // stretching the strip over the screen (see FloatingPanel).
    panel->setFixedWidth(stripWidth);
    panel->resize(stripWidth, 200);
    panel->setContent(view);
    connect(view, &FloatingStripView::shapeChanged, panel, &FloatingPanel::updateShape);
    panel->setShapeProvider([view] { return view->cardsRegion(); });
    panel->setContextMenu(m_contextMenu);
    panel->setWorkArea(m_workArea.get());

    const QSize size(stripWidth, panel->contentHeight());
    panel->resize(size);
    m_restingHeight = size.height();
    if (const QRect area = m_workArea->primary(); area.isValid())
        panel->placeAt(cornerPosition(area, size));

    m_panel = panel;
    panel->showWithoutActivating();
}

void FloatingStripWindowController::setWorkArea(std::unique_ptr<WorkArea> workArea)
{
    m_workArea = std::move(workArea);
    connect(m_workArea.get(), &WorkArea::changed, this, &FloatingStripWindowController::followWorkArea);
    if (m_panel)
        m_panel->setWorkArea(m_workArea.get());
}

void FloatingStripWindowController::followWorkArea()
{
    const QRect area = m_workArea->primary();
    if (!m_panel || !area.isValid())
        return;
    if (!m_panel->movedByUser()) {
        // Still where Pellora put it: to the corner of the new area, the detail card open or not.
        m_panel->placeAt(cornerPosition(area, QSize(stripWidth, m_restingHeight)));
    } else if (!QGuiApplication::screenAt(m_panel->geometry().center())) {
        // Where the user left it, unless its screen went away: then back inside the primary screen's area.
        m_panel->move(keptInside(m_panel->geometry(), area));
    }
}

void FloatingStripWindowController::setContextMenu(QMenu* menu)
{
    m_contextMenu = menu;
    if (m_panel)
        m_panel->setContextMenu(menu);
}

void FloatingStripWindowController::hideStrip()
{
    m_pickerController.close();
    if (!m_panel)
        return;
    FloatingPanel* panel = m_panel;
    m_panel = nullptr;
    panel->setWorkArea(nullptr); // the panel outlives this call; the work area may not
    panel->hide();
    panel->close();
    // Deferred: hideStrip may run from an event the panel itself is delivering.
    panel->deleteLater();
}

} // namespace pellora
