#pragma once

#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <optional>

namespace pellora {

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
    };

    explicit FloatingPanel(Options options, QWidget* parent = nullptr);

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

    // A menu offered on right click anywhere on the panel; none when null.
    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }

    // Shows and raises without taking focus.
    void orderFront();
    // Shows, raises and activates; a panel that does not take focus is only shown and raised.
    void makeKeyAndOrderFront();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Options m_options;
    QPointer<QWidget> m_content;
    std::function<QRegion()> m_shapeProvider;
    QPointer<QMenu> m_contextMenu;
    bool m_useShape = false;
    bool m_fitting = false;
    std::optional<QPoint> m_anchor; // the top-left the window holds while its content changes height
    std::optional<QPoint> m_dragOffset;
};

} // namespace pellora
