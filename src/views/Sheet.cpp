#include "Sheet.h"

#include "platform/WindowHints.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

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

void showSheet(QWidget* sheet)
{
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->installEventFilter(new TaskbarHint(sheet));
    sheet->show();
}

} // namespace pellora
