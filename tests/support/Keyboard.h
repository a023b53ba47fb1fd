#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace pellora::test {

// As a keyboard user does: from the focused control, Tab forward until `target` has the focus (none: stay),
// then press `key` there. Fails the test when Tab never gets there.
inline void pressWithKeyboard(QWidget* window, QWidget* target, Qt::Key key)
{
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        qFatal("the window never became active");
    for (int tabs = 0; target && QApplication::focusWidget() != target; ++tabs) {
        if (tabs == 20)
            qFatal("Tab never reaches %s", qPrintable(target->objectName()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QTest::keyClick(QApplication::focusWidget(), key);
}

} // namespace pellora::test
