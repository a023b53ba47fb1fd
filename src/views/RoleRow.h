#pragma once

#include "model/Role.h"

#include <QAbstractButton>

class QLabel;

namespace pellora {

class LineClampedLabel;

/// One role in the picker's list: face, title, two lines of summary and, for the selected role, a heart.
/// The whole row is the button.
class RoleRow final : public QAbstractButton {
    Q_OBJECT

public:
    explicit RoleRow(const Role& role, QWidget* parent = nullptr);

    const Role& role() const { return m_role; }
    QString roleId() const { return m_role.id; }

    // Whether the row carries the selection mark; unmarked rows reserve no space for it.
    void setMarked(bool marked);

protected:
    void paintEvent(QPaintEvent* event) override;
    // A click chooses the role; whether the row is checked follows the library's selection, not the click.
    void nextCheckState() override {}
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    Role m_role;
    QLabel* m_mark;
};

} // namespace pellora
