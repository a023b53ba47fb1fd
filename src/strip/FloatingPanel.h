#pragma once

#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace pellora {

class WindowManagerIpc;
class WorkArea;

/// A borderless window that floats above ordinary windows, stays out of the taskbar and is dragged by
/// any part of it that does not handle the mouse itself. Hosts one content widget.
class FloatingPanel final : public QWidget {
    Q_OBJECT

public:
    struct Options {
        bool translucent = false;         // clear background: only what the content paints is visible
        bool followContentHeight = false; // grow and shrink with the content, see fitToContent()
        // Never takes the keyboard focus: shown without activation and left unfocused when clicked, for a
        // window with nothing to type into that must not pull the focus away from the user's work.
        bool takesFocus = true;
        // On every virtual desktop, and held where it is put by window managers that would tile or
        // centre it (i3, sway: asked over their socket).
        bool onEveryDesktop = false;
    };

    explicit FloatingPanel(Options options, QWidget* parent = nullptr);
    ~FloatingPanel() override;

    // Takes ownership of `content`; the previous content is deleted.
    void setContent(QWidget* content);
    QWidget* content() const { return m_content; }

    // Where translucency is not composited, the window is cut to this shape instead (rounded cards
    // without black corners). Called again whenever the content reports a change.
    void setShapeProvider(std::function<QRegion()> provider);
    void updateShape();

    // The height the content wants at the panel's width.
    int contentHeight() const;
    // Resizes to the content's height by anchoredGeometry(): the top-left holds still unless the window
    // would pass the bottom of the screen's available area. Where someone else put the window (the user's
    // drag, the owner's placement) becomes the place it holds.
    void fitToContent();

    // Where the window may go: the available area of its screen, from `workArea` when given (it must
    // outlive the panel), else from Qt.
    void setWorkArea(const WorkArea* workArea) { m_workArea = workArea; }
    QRect availableArea() const;

    // The owner's placement: the window rests with its top-left at `anchor`, moved up only as far as
    // anchoredGeometry() needs, and no longer counts as moved by the user.
    void placeAt(QPoint anchor);
    // Whether the user has dragged the window since the owner last placed it.
    bool movedByUser() const { return m_movedByUser; }

    // A menu offered on right click anywhere on the panel; none when null.
    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }

    // Shows and raises without taking focus.
    void showWithoutActivating();
    // Shows, raises and activates; a panel that does not take focus is only shown and raised.
    void showAndActivate();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Where the program put the panel: the window manager is asked afresh to hold it there.
    void setWanted(const QRect& wanted);
    void holdPlace();
    void correctPlace();

    Options m_options;
    const WorkArea* m_workArea = nullptr;
    std::unique_ptr<WindowManagerIpc> m_windowManager;
    QPointer<QWidget> m_content;
    std::function<QRegion()> m_shapeProvider;
    QPointer<QMenu> m_contextMenu;
    bool m_useShape = false;
    bool m_fitting = false;
    std::optional<QPoint> m_anchor; // the top-left the window holds while its content changes height
    std::optional<QPoint> m_dragOffset;
    QRect m_wanted;             // where the panel was last put, by the program or the user's drag
    bool m_moveGesture = false; // a press on the panel may have started a drag by the window manager
    bool m_movedByUser = false;
    bool m_askOnExpose = false; // the window manager is asked again once it has mapped the window
    QTimer m_correction;        // the next step undoing a move the window manager made of its own accord
    int m_corrections = 0;      // steps taken since the panel was last put
    bool m_holdScheduled = false;
};

} // namespace pellora
