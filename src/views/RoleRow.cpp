#include "RoleRow.h"

#include "LineClampedLabel.h"
#include "presentation/ControlCharacters.h"
#include "presentation/DisplayText.h"
#include "presentation/SpokenText.h"
#include "widgets/Accessibility.h"
#include "widgets/Style.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace pellora {

namespace {

// The text-style variation selector keeps the heart a glyph of the text font instead of an emoji.
const QString selectionMark = QStringLiteral(u"\u2665\uFE0E");

// Children only draw; clicks anywhere on the row belong to the row.
template <typename Widget> Widget* passive(Widget* widget, const QString& objectName)
{
    widget->setObjectName(objectName);
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    return widget;
}

} // namespace

RoleRow::RoleRow(const Role& role, QWidget* parent) : QAbstractButton(parent), m_role(role)
{
    setObjectName(QStringLiteral("roleRow"));
    setAccessibleName(labelText(roleTitle(role)));
    setAccessibleDescription(labelText(role.summary));
    // Checkable only so that screen readers say whether this is the selected role.
    setCheckable(true);
    a11y::pressOnEnter(this);
    setCursor(Qt::PointingHandCursor);
    // A mouse click should not leave a focus ring behind; the keyboard still reaches every row.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    // Buttons refuse to shrink below their size hint; a row must narrow to the list and wrap its texts.
    setSizePolicy(QSizePolicy::Preferred, sizePolicy().verticalPolicy());

    auto* face = passive(new QLabel(labelText(previewFace(role))), QStringLiteral("face"));
    face->setFont(style::faceFont(face->text(), 14));
    face->setAccessibleName(role.events.isEmpty() ? tr("表情：没有日程") : a11y::spokenFace(role.events.first()));
    face->setTextFormat(Qt::PlainText);

    auto* title = passive(new QLabel(labelText(roleTitle(role))), QStringLiteral("title"));
    title->setFont(style::roundedFont(15, QFont::DemiBold));
    title->setTextFormat(Qt::PlainText);
    title->setWordWrap(true);

    auto* summary = passive(new LineClampedLabel, QStringLiteral("summary"));
    summary->setFont(style::monoFont(12));
    summary->setMaximumLines(2);
    summary->setText(labelLines(role.summary)); // its line breaks are meant: five lines show two
    style::setTextColor(summary, style::secondaryText());

    m_mark = passive(new QLabel(selectionMark), QStringLiteral("selectionMark"));
    m_mark->setFont(style::systemFont(18));
    m_mark->setTextFormat(Qt::PlainText);
    m_mark->setVisible(false);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(title);
    texts->addWidget(summary);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(12);
    layout->addWidget(face, 0, Qt::AlignTop);
    // The text column takes the free width itself, which keeps the mark at the trailing edge and lets the
    // summary wrap at the full width of the row.
    layout->addLayout(texts, 1);
    layout->setAlignment(texts, Qt::AlignTop);
    layout->addWidget(m_mark, 0, Qt::AlignTop);
}

void RoleRow::setMarked(bool marked)
{
    m_mark->setVisible(marked);
    setChecked(marked);
}

void RoleRow::paintEvent(QPaintEvent*)
{
    if (!isDown() && !underMouse() && !hasFocus())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
    if (isDown() || underMouse())
        painter.fillPath(shape, QColor::fromRgbF(0, 0, 0, isDown() ? 0.08f : 0.04f));
    if (hasFocus())
        style::paintFocusRing(painter, *this, shape, 0.6);
}

void RoleRow::enterEvent(QEnterEvent* event)
{
    update();
    QAbstractButton::enterEvent(event);
}

void RoleRow::leaveEvent(QEvent* event)
{
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace pellora
