#include "Sheet.h"

#include "platform/WindowHints.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace pellora {
namespace {

// Window managers drop the taskbar hint whenever a window is hidden; set it again before each show.
class TaskbarHint final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            if (auto* widget = qobject_cast<QWidget*>(watched))
                keepOffTaskbar(widget->windowHandle());
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QRect fitInside(const QRect& rect, const QRect& available)
{
    if (!available.isValid())
        return rect;
    const QSize size = rect.size().boundedTo(available.size());
    return {QPoint(std::clamp(rect.left(), available.left(), available.right() + 1 - size.width()),
                   std::clamp(rect.top(), available.top(), available.bottom() + 1 - size.height())),
            size};
}

QRect sheetGeometry(const QRect& owner, const QSize& size, const QRect& available)
{
    QRect result(QPoint(), size);
    if (owner.isValid())
        result.moveTopLeft(QPoint(owner.x() + (owner.width() - size.width()) / 2, owner.y()));
    else if (available.isValid())
        result.moveCenter(available.center());
    return fitInside(result, available);
}

void showSheet(QWidget* sheet)
{
    // Frameless, like the window it hangs off: a sheet draws its own heading and close button, and a title
    // bar would repeat the one and, under window managers that ignore the Motif function hints (openbox),
    // add minimise and maximise buttons. Set before the first show: changing flags later recreates the window.
    sheet->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->installEventFilter(new TaskbarHint(sheet));

    const QWidget* owner = sheet->parentWidget() ? sheet->parentWidget()->window() : nullptr;
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    sheet->ensurePolished();
    QSize size = sheet->sizeHint();
    if (sheet->hasHeightForWidth())
        size.setHeight(sheet->heightForWidth(size.width()));
    size = size.expandedTo(sheet->minimumSize());
    sheet->setGeometry(sheetGeometry(owner && owner->isVisible() ? owner->geometry() : QRect(), size,
                                     screen ? screen->availableGeometry() : QRect()));
    sheet->show();
}

} // namespace pellora
