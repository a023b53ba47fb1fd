#include "NavigationFrame.h"

#include "widgets/Accessibility.h"
#include "widgets/Style.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace pellora {

NavigationFrame buildNavigationFrame(QWidget* host, const QString& title, const QString& titleObjectName,
                                     QWidget* content, const QString& scrollObjectName)
{
    auto* closeButton = new QPushButton(QCoreApplication::translate("NavigationFrame", "关闭"));
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setAutoDefault(false);
    closeButton->setShortcut(QKeySequence::Cancel);
    a11y::pressOnEnter(closeButton);

    auto* titleLabel = new QLabel(title);
    titleLabel->setObjectName(titleObjectName);
    titleLabel->setFont(style::systemFont(15, QFont::DemiBold));
    titleLabel->setAlignment(Qt::AlignCenter);

    // The title stays centred on the whole width; the button takes the leading, cancelling position.
    auto* topBar = new QGridLayout;
    topBar->setContentsMargins(12, 10, 12, 6);
    topBar->addWidget(closeButton, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);
    topBar->addWidget(titleLabel, 0, 1);
    topBar->setColumnStretch(0, 1);
    topBar->setColumnStretch(2, 1);

    auto* scrollArea = new QScrollArea;
    scrollArea->setObjectName(scrollObjectName);
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setWidgetResizable(true);
    scrollArea->setWidget(content);
    // No Tab stop of its own: Tab moves through the controls inside, which the area scrolls into view.
    scrollArea->setFocusPolicy(Qt::NoFocus);
    // Let the host's background show through: QScrollArea makes both of these opaque.
    scrollArea->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);

    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(topBar);
    layout->addWidget(scrollArea, 1);
    return {closeButton, scrollArea};
}

void paintNavigationBackground(QWidget* host, const QColor& top, const QColor& bottom)
{
    QPainter painter(host);
    QLinearGradient gradient(0, 0, 0, host->height());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.fillRect(host->rect(), gradient);
}

} // namespace pellora
