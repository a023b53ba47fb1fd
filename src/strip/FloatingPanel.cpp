#include "FloatingPanel.h"

#include "StripPlacement.h"
#include "platform/Compositing.h"
#include "platform/WindowHints.h"
#include "platform/WindowManagerIpc.h"
#include "platform/WorkArea.h"
#include "widgets/Accessibility.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace pellora {
namespace {

// How many steps the panel takes to undo a move the window manager made of its own accord (sway centres a
// window again after each resize) before it gives in, so that two opinions never bounce the window for ever.
constexpr int maxCorrections = 3;
// The first step waits for the window manager's other news of the window (a report of an earlier place may
// come first); the later ones for sway to record a change (it waits 200 ms by default for a window to follow).
constexpr int firstCorrectionMs = 50;
constexpr int correctionDelayMs = 300;

} // namespace

FloatingPanel::FloatingPanel(Options options, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_options(options)
{
    a11y::setRole(this, QAccessible::Window);
    // Flags and translucency are settled before the first show: changing them later recreates the window.
    if (!m_options.takesFocus) {
        // Not focusable (X11: WM_HINTS input false), so a click that drags the panel or presses one of its
        // buttons leaves the keyboard where the user was typing; shown without activation (X11: a zero
        // _NET_WM_USER_TIME when mapped), so appearing takes nothing either.
        setWindowFlag(Qt::WindowDoesNotAcceptFocus);
        setAttribute(Qt::WA_ShowWithoutActivating);
        // Qt shows tooltips only in the active window, which this one never is.
        setAttribute(Qt::WA_AlwaysShowToolTips);
    }
    if (m_options.translucent) {
        setAttribute(Qt::WA_TranslucentBackground);
        m_useShape = !compositingManagerRunning();
    }
    if (m_options.onEveryDesktop)
        m_windowManager = WindowManagerIpc::fromEnvironment();
    m_correction.setSingleShot(true);
    connect(&m_correction, &QTimer::timeout, this, &FloatingPanel::correctPlace);
    // A tiling Wayland compositor (sway) floats a window whose size limits fix its width or height and
    // whose minimum size is not zero; a panel with a fixed width (the strip, the tray window) is one.
    setMinimumHeight(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
}

FloatingPanel::~FloatingPanel() = default;

void FloatingPanel::setContent(QWidget* content)
{
    if (m_content)
        m_content->deleteLater();
    m_content = content;
    if (content) {
        layout()->addWidget(content);
        if (m_options.followContentHeight)
            fitToContent();
    }
    updateShape();
}

void FloatingPanel::setShapeProvider(std::function<QRegion()> provider)
{
    m_shapeProvider = std::move(provider);
    updateShape();
}

void FloatingPanel::updateShape()
{
    if (!m_useShape || !m_shapeProvider || !m_content)
        return;
    setMask(m_shapeProvider().translated(m_content->pos()));
}

int FloatingPanel::contentHeight() const
{
    if (!m_content)
        return height();
    if (m_content->hasHeightForWidth())
        return m_content->heightForWidth(width());
    return m_content->sizeHint().height();
}

QRect FloatingPanel::availableArea() const
{
    const QScreen* screen = this->screen();
    if (m_workArea)
        return m_workArea->available(screen);
    return screen ? screen->availableGeometry() : QRect();
}

void FloatingPanel::placeAt(QPoint anchor)
{
    m_anchor = anchor;
    m_movedByUser = false;
    m_moveGesture = false;
    setGeometry(anchoredGeometry(anchor, size(), availableArea()));
}

void FloatingPanel::fitToContent()
{
    if (m_fitting)
        return;
    const int wanted = contentHeight();
    if (wanted <= 0 || wanted == height())
        return;
    m_fitting = true;
    m_moveGesture = false; // the pointer rested or left: any drag is over
    const QRect available = availableArea();
    // A window that is not where the last fit put it was moved since: its content rests where it is now.
    // (Comparing with the rule, not with a stored rectangle, keeps a late report of an earlier fit from
    // counting as a move.) Where the window manager is asked to hold the window, a move of its own is
    // undone instead: only where the panel was put counts.
    const QPoint current = m_windowManager ? m_wanted.topLeft() : pos();
    if (!m_anchor || current != anchoredGeometry(*m_anchor, size(), available).topLeft())
        m_anchor = current;
    const QRect target = anchoredGeometry(*m_anchor, QSize(width(), wanted), available);
    // Only the size changes where the window holds still: no position for the window manager to revise
    // while it may be moving the window itself.
    if (target.topLeft() == pos())
        resize(target.size());
    else
        setGeometry(target);
    m_fitting = false;
}

void FloatingPanel::showWithoutActivating()
{
    if (isHidden()) {
        // The platform reads WA_ShowWithoutActivating as the window's "_q_showWithoutActivating" property,
        // which QWidget copies only when it creates the native window: a window that exists already is
        // given the property for this show, then the panel's own choice is restored.
        const bool standing = testAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_ShowWithoutActivating);
        if (QWindow* window = windowHandle())
            window->setProperty("_q_showWithoutActivating", true);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, standing);
        windowHandle()->setProperty("_q_showWithoutActivating", standing ? QVariant(true) : QVariant());
    }
    raise();
}

void FloatingPanel::showAndActivate()
{
    if (!m_options.takesFocus) {
        showWithoutActivating();
        return;
    }
    show();
    raise();
    activateWindow();
}

bool FloatingPanel::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::LayoutRequest && m_options.followContentHeight)
        fitToContent();
    if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)
        updateShape();
    return handled;
}

bool FloatingPanel::eventFilter(QObject* watched, QEvent* event)
{
    // Exposed: the window manager has taken the window on, so it can be asked about it.
    if (event->type() == QEvent::Expose && watched == windowHandle() && m_askOnExpose && windowHandle()->isExposed()) {
        m_askOnExpose = false;
        // Asked again once mapped: KWin puts a tool window (transient for the application) on the desktop
        // of its main window, or the current one, whatever desktop it named before mapping.
        if (m_options.onEveryDesktop)
            showOnAllDesktops(windowHandle());
        // Shown without activation on purpose: it calls for nothing (KWin marks such a window as demanding
        // attention, flashing its desktop's entry).
        if (!m_options.takesFocus)
            stopDemandingAttention(windowHandle());
        if (m_windowManager)
            m_windowManager->holdWindowAt(windowHandle(), m_wanted.topLeft(), true);
    }
    return QWidget::eventFilter(watched, event);
}

void FloatingPanel::showEvent(QShowEvent* event)
{
    // Sent before the window is mapped: the hints are set in time for the window manager.
    if (!event->spontaneous()) {
        keepOffTaskbar(windowHandle());
        // Deliberately on every desktop, unlike ordinary windows: a companion that vanishes when the
        // user switches desktops is of no use.
        if (m_options.onEveryDesktop)
            showOnAllDesktops(windowHandle());
        if (m_windowManager && !m_options.takesFocus)
            m_windowManager->keepFromFocus(windowHandle());
        if (m_options.onEveryDesktop || m_windowManager || !m_options.takesFocus) {
            windowHandle()->removeEventFilter(this);
            windowHandle()->installEventFilter(this);
            m_askOnExpose = true;
        }
    }
    QWidget::showEvent(event);
}

void FloatingPanel::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (!event->spontaneous()) {
        // The program (or the panel following the pointer) put it here.
        setWanted({pos(), m_wanted.size()});
    } else if (m_moveGesture) {
        // The window manager moves it with the pointer: the user's drag.
        m_movedByUser = true;
        m_wanted.moveTopLeft(pos());
    } else if (pos() != m_wanted.topLeft() && m_windowManager && !m_correction.isActive()) {
        m_correction.start(firstCorrectionMs);
    }
}

void FloatingPanel::correctPlace()
{
    if (!isVisible() || m_askOnExpose || pos() == m_wanted.topLeft() || m_corrections >= maxCorrections)
        return;
    // sway drops a move to where it believes the window is, and after re-centring a window of its own accord
    // it may believe it is still where it was: when asking again has not helped, it is told where the window
    // really is, then asked again.
    const bool tellWhereItIs = m_corrections++ % 2 == 1;
    m_windowManager->holdWindowAt(windowHandle(), tellWhereItIs ? pos() : m_wanted.topLeft(), false);
    m_correction.start(correctionDelayMs);
}

void FloatingPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!event->spontaneous())
        setWanted({m_wanted.topLeft(), size()});
}

void FloatingPanel::setWanted(const QRect& wanted)
{
    m_wanted = wanted;
    m_corrections = 0;
    m_correction.stop();
    holdPlace();
}

void FloatingPanel::holdPlace()
{
    // A move and a resize come together: ask once, for where the panel ends up.
    if (!m_windowManager || m_holdScheduled || !isVisible())
        return;
    m_holdScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_holdScheduled = false;
        if (isVisible() && !m_askOnExpose)
            m_windowManager->holdWindowAt(windowHandle(), m_wanted.topLeft(), false);
    });
}

void FloatingPanel::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_contextMenu)
        return QWidget::contextMenuEvent(event);
    m_contextMenu->popup(event->globalPos());
    event->accept();
}

void FloatingPanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    // The window manager moves the window when it can (it knows about screens and snapping);
    // otherwise the panel follows the pointer itself.
    if (windowHandle() && windowHandle()->startSystemMove()) {
        m_moveGesture = true;
        event->accept();
        return;
    }
    m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    event->accept();
}

void FloatingPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragOffset && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - *m_dragOffset);
        m_movedByUser = true;
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void FloatingPanel::mouseReleaseEvent(QMouseEvent* event)
{
    // Not the end of a drag by the window manager: Qt sends this release as the drag begins.
    m_dragOffset.reset();
    QWidget::mouseReleaseEvent(event);
}

} // namespace pellora
