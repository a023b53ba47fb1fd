#pragma once

#include <QString>

class QColor;
class QPushButton;
class QScrollArea;
class QWidget;

namespace pellora {

struct NavigationFrame {
    QPushButton* closeButton;
    QScrollArea* scrollArea;
};

// Lays out `host` as a navigation container: a top bar with `title` centred and a "关闭" button in the
// leading (cancelling) position, over a vertical scroll area holding `content`, transparent so the host's
// own background shows through. The caller connects the button.
NavigationFrame buildNavigationFrame(QWidget* host, const QString& title, const QString& titleObjectName,
                                     QWidget* content, const QString& scrollObjectName);

// The backdrop of a navigation container: a top-to-bottom gradient over the whole host.
void paintNavigationBackground(QWidget* host, const QColor& top, const QColor& bottom);

} // namespace pellora
