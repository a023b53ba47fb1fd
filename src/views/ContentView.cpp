#include "ContentView.h"

#include "RolePickerView.h"
#include "Sheet.h"
#include "UploadView.h"
#include "library/RoleLibrary.h"
#include "widgets/PastelButton.h"
#include "widgets/PixelBackground.h"
#include "widgets/Style.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace pellora {

QString clockText(const QDateTime& instant)
{
    // Created on first use and shared: a fixed 24-hour pattern in the C locale's digits.
    static const QString pattern = QStringLiteral("HH:mm");
    return QLocale::c().toString(instant.toLocalTime(), pattern);
}

ContentView::ContentView(RoleLibrary* library, QWidget* parent, std::shared_ptr<const Clock> clock)
    : QWidget(parent), m_library(library), m_background(new PixelBackground(this)),
      m_time(clock ? std::move(clock) : std::make_shared<SystemClock>())
{
    setObjectName(QStringLiteral("contentView"));
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(16, 16, 16, 16);
    stack->setSpacing(12);
    setMinimumWidth(280);

    auto* header = new QHBoxLayout;
    auto* title = new QLabel(tr("Pellora · Quillmere"), this);
    title->setObjectName(QStringLiteral("title"));
    title->setFont(style::monoFont(16, QFont::DemiBold));
    style::setTextColor(title, style::primaryText());
    m_clock = new QLabel(this);
    m_clock->setObjectName(QStringLiteral("clock"));
    m_clock->setFont(style::monoFont(14));
    style::setTextColor(m_clock, style::secondaryText());
    header->addWidget(title);
    header->addStretch(1);
    header->addWidget(m_clock);
    stack->addLayout(header);

    auto* commands = new QHBoxLayout;
    commands->setSpacing(10);
    commands->addStretch(1);
    const auto addCommand = [this, commands](const QString& label, const char* name, auto action) {
        auto* button = new PastelButton(label, this);
        button->setObjectName(QString::fromLatin1(name));
        connect(button, &QAbstractButton::clicked, this, action);
        commands->addWidget(button);
    };
    addCommand(tr("角色库"), "pickerButton", &ContentView::showPicker);
    addCommand(tr("上传"), "uploadButton", &ContentView::showUpload);
    addCommand(tr("关闭"), "closeButton", &ContentView::closeWindow);
    commands->addStretch(1);
    stack->addLayout(commands);

    // Precise: a coarse timer may fire early and redraw the minute that is ending.
    m_clockTimer.setSingleShot(true);
    m_clockTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_clockTimer, &QTimer::timeout, this, &ContentView::redrawClock);
    redrawClock();
}

ContentView::~ContentView()
{
    for (QWidget* sheet : {m_picker.data(), m_upload.data()}) {
        if (sheet)
            sheet->close();
    }
}

QString ContentView::clock() const
{
    return m_clock->text();
}

void ContentView::redrawClock()
{
    const QDateTime now = m_time->now();
    m_clock->setText(clockText(now));
    // Timers count elapsed time, the clock can jump: the next redraw is aimed from this reading.
    constexpr int minuteMs = 60'000;
    m_clockTimer.start(minuteMs - now.toLocalTime().time().msecsSinceStartOfDay() % minuteMs);
}

void ContentView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    redrawClock();
}

void ContentView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_clockTimer.stop();
}

void ContentView::resizeEvent(QResizeEvent* event)
{
    m_background->setGeometry(rect());
    m_background->lower();
    QWidget::resizeEvent(event);
}

QWidget* ContentView::presentSheet(QWidget* content, const QString& title)
{
    auto* sheet = new QDialog(window());
    sheet->setWindowTitle(title);
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    showSheet(sheet);
    return sheet;
}

void ContentView::showPicker()
{
    if (m_picker || !m_library)
        return;
    auto* picker = new RolePickerView(m_library);
    QWidget* sheet = presentSheet(picker, tr("选择角色"));
    connect(picker, &RolePickerView::dismissRequested, sheet, &QWidget::close);
    m_picker = sheet;
}

void ContentView::showUpload()
{
    if (m_upload || !m_library)
        return;
    auto* upload = new UploadView(m_library, m_uploadDraft, window());
    m_upload = upload;
    showSheet(upload);
}

void ContentView::closeWindow()
{
    window()->close();
}

} // namespace pellora
