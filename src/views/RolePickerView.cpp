#include "RolePickerView.h"

#include "NavigationFrame.h"
#include "RoleRow.h"
#include "RoundedCard.h"
#include "library/RoleLibrary.h"
#include "widgets/Accessibility.h"
#include "widgets/Style.h"
#include "widgets/SvgIcon.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace pellora {

namespace {

constexpr int cornerInset = 10;
constexpr int closeSymbolSize = 18;
constexpr int closeSymbolPadding = 8;

// A bare icon whose click target extends `padding` beyond the symbol on every side.
class PlainIconButton final : public QAbstractButton {
public:
    PlainIconButton(const QIcon& icon, int iconSide, int padding, QWidget* parent = nullptr) : QAbstractButton(parent)
    {
        setIcon(icon);
        setIconSize({iconSide, iconSide});
        setFixedSize(iconSide + 2 * padding, iconSide + 2 * padding);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        a11y::pressOnEnter(this);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (hasFocus()) {
            QPainterPath ring;
            ring.addEllipse(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
            style::paintFocusRing(painter, *this, ring);
        }
        painter.setOpacity(isDown() ? 0.6 : 1.0);
        QRect symbol({0, 0}, iconSize());
        symbol.moveCenter(rect().center());
        icon().paint(&painter, symbol);
    }
};

// The rounded white backing of one section of the list.
RoundedCard* sectionCard()
{
    return new RoundedCard(10, QColor::fromRgbF(1, 1, 1, 0.75f), QColor::fromRgbF(0, 0, 0, 0.06f));
}

QLabel* sectionHeader(const QString& text, const QString& objectName)
{
    auto* header = new QLabel(text);
    header->setObjectName(objectName);
    header->setTextFormat(Qt::PlainText);
    header->setFont(style::systemFont(12, QFont::DemiBold));
    header->setContentsMargins(4, 0, 0, 0);
    style::setTextColor(header, style::secondaryText());
    return header;
}

} // namespace

RolePickerView::RolePickerView(RoleLibrary* library, QWidget* parent) : QWidget(parent), m_library(library)
{
    setObjectName(QStringLiteral("rolePicker"));
    // Dark text on the pale gradient whatever the desktop's colour scheme.
    style::setDarkInk(this, QColor(0x1f, 0x22, 0x33));

    const NavigationFrame frame = buildNavigationFrame(this, tr("选择角色"), QStringLiteral("pickerTitle"),
                                                       createContent(), QStringLiteral("roleList"));
    connect(frame.closeButton, &QPushButton::clicked, this, &RolePickerView::dismissRequested);
    m_scrollArea = frame.scrollArea;

    // Created last so that it lies above everything else.
    m_cornerClose =
        new PlainIconButton(svgIcon(QStringLiteral("xmark.circle.fill")), closeSymbolSize, closeSymbolPadding, this);
    m_cornerClose->setObjectName(QStringLiteral("cornerCloseButton"));
    m_cornerClose->setAccessibleName(tr("关闭"));
    connect(m_cornerClose, &QAbstractButton::clicked, this, &RolePickerView::dismissRequested);

    if (m_library) {
        connect(m_library, &RoleLibrary::rolesChanged, this, &RolePickerView::rebuildRows);
        connect(m_library, &RoleLibrary::selectedRoleChanged, this, &RolePickerView::updateMarks);
    }
    rebuildRows();
}

QSize RolePickerView::sizeHint() const
{
    return {420, 520};
}

void RolePickerView::scrollToTop()
{
    m_scrollArea->verticalScrollBar()->setValue(m_scrollArea->verticalScrollBar()->minimum());
}

QWidget* RolePickerView::createContent()
{
    auto* randomButton = new QPushButton(svgIcon(QStringLiteral("sparkles")), tr("Random luck"));
    randomButton->setObjectName(QStringLiteral("randomButton"));
    randomButton->setFlat(true);
    randomButton->setAutoDefault(false);
    randomButton->setCursor(Qt::PointingHandCursor);
    randomButton->setFont(style::monoFont(14, QFont::DemiBold));
    randomButton->setIconSize({16, 16});
    randomButton->setAccessibleDescription(tr("抽一张今日卡片"));
    a11y::pressOnEnter(randomButton);
    connect(randomButton, &QPushButton::clicked, this, &RolePickerView::drawRandomRole);

    auto* randomCard = sectionCard();
    randomCard->setObjectName(QStringLiteral("randomCard"));
    auto* randomLayout = new QHBoxLayout(randomCard);
    randomLayout->setContentsMargins(6, 6, 6, 6);
    randomLayout->addWidget(randomButton);
    randomLayout->addStretch();

    m_libraryCard = sectionCard();
    m_libraryCard->setObjectName(QStringLiteral("libraryCard"));
    m_rowsLayout = new QVBoxLayout(m_libraryCard);
    m_rowsLayout->setContentsMargins(4, 4, 4, 4);
    m_rowsLayout->setSpacing(0);

    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(16, 8, 16, 16);
    layout->setSpacing(6);
    layout->addWidget(sectionHeader(tr("✨ 抽一张今日卡片"), QStringLiteral("randomSectionHeader")));
    layout->addWidget(randomCard);
    layout->addSpacing(14);
    layout->addWidget(sectionHeader(tr("角色库 (角色包)"), QStringLiteral("librarySectionHeader")));
    layout->addWidget(m_libraryCard);
    layout->addStretch(1);
    return content;
}

void RolePickerView::paintEvent(QPaintEvent*)
{
    paintNavigationBackground(this, QColor::fromRgbF(0.97f, 0.98f, 1.0f), QColor::fromRgbF(0.94f, 0.93f, 0.99f));
}

void RolePickerView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_cornerClose->move(width() - cornerInset - m_cornerClose->width(), cornerInset);
    m_cornerClose->raise();
}

// Rows are rebuilt only when the list of roles changes, never from a row's own click: a selection
// change just moves the mark, so the clicked row outlives its signal.
void RolePickerView::rebuildRows()
{
    qDeleteAll(m_rows);
    m_rows.clear();
    if (m_library) {
        for (const Role& role : m_library->roles()) {
            auto* row = new RoleRow(role, m_libraryCard);
            connect(row, &QAbstractButton::clicked, this, [this, row] { chooseRole(row); });
            m_rowsLayout->addWidget(row);
            m_rows.append(row);
        }
    }
    // An empty library leaves the section with its header only.
    m_libraryCard->setVisible(!m_rows.isEmpty());
    updateMarks();
}

void RolePickerView::updateMarks()
{
    const std::optional<Role> selected = m_library ? m_library->selectedRole() : std::nullopt;
    for (RoleRow* row : std::as_const(m_rows))
        row->setMarked(selected && canonicallyEqual(selected->id, row->roleId()));
}

void RolePickerView::chooseRole(const RoleRow* row)
{
    if (m_library)
        m_library->select(row->role());
    emit dismissRequested();
}

void RolePickerView::drawRandomRole()
{
    if (m_library)
        m_library->drawRandomRole();
    emit dismissRequested();
}

} // namespace pellora
