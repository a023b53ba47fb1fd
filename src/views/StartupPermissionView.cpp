#include "StartupPermissionView.h"

#include "platform/LoginItem.h"
#include "widgets/Accessibility.h"
#include "widgets/PastelButton.h"
#include "widgets/PixelBackground.h"
#include "widgets/Style.h"
#include "widgets/SvgIcon.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QFrame>
#include <QHideEvent>
#include <QLabel>
#include <QPainter>
#include <QStackedWidget>
#include <QTimer>

#include <algorithm>

namespace pellora {

namespace {

constexpr int dismissDelayMs = 1500;
constexpr int sheetMinimumWidth = 340;
constexpr int symbolSide = 20;
// The grey level of the ink our icons are drawn in.
constexpr int inkGray = 0x40;
// The platform's default margin, by which the divider is inset.
constexpr int defaultMargin = 16;

// What a label may show of a text from outside (an error from the system, a path): no control
// characters, and the line and paragraph separators as spaces, so it cannot break or restyle the layout.
QString labelSafe(const QString& text)
{
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            safe += u' ';
        else if (c.category() != QChar::Other_Control)
            safe += c;
    }
    return safe;
}

QLabel* textLabel(const QString& text, const QString& objectName, const QFont& font, const QColor& colour)
{
    auto* label = new QLabel(text);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    style::setTextColor(label, colour);
    return label;
}

// The option's tick: a filled blue check when ticked, a grey ring when not. The grey is the platform's
// darker one, so the empty ring still stands out at 3:1 from the pale background.
class CheckSymbol final : public QWidget {
public:
    explicit CheckSymbol(QWidget* parent = nullptr) : QWidget(parent) { setFixedSize(symbolSide, symbolSide); }

    void setChecked(bool checked)
    {
        m_checked = checked;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QIcon icon = svgIcon(m_checked ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle"));
        const QColor tint = m_checked ? QColor::fromRgbF(0.0f, 0.478f, 1.0f) : QColor(0x6c, 0x6c, 0x70);
        QPainter(this).drawImage(QPoint(), tinted(icon.pixmap(size(), devicePixelRatioF()).toImage(), tint));
    }

private:
    // Our icons are drawn in one dark ink, with white details (the check): the ink becomes `tint`, the
    // white stays, and the blend between them and the coverage are kept.
    static QImage tinted(QImage image, const QColor& tint)
    {
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = line[x];
                const double white = qGray(pixel) < inkGray ? 0.0 : (qGray(pixel) - inkGray) / (255.0 - inkGray);
                const auto mix = [white](int ink) {
                    return int(ink + (255 - ink) * white + 0.5);
                };
                line[x] = qRgba(mix(tint.red()), mix(tint.green()), mix(tint.blue()), qAlpha(pixel));
            }
        }
        return image;
    }

    bool m_checked = false;
};

// The whole option row as one checkable target: its children let every click through to it.
class OptionRow final : public QAbstractButton {
public:
    explicit OptionRow(QWidget* parent = nullptr) : QAbstractButton(parent)
    {
        setCheckable(true);
        setCursor(Qt::PointingHandCursor);
        a11y::pressOnEnter(this);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        // Only a focus ring for keyboard users; the row itself has no backing.
        if (!style::hasKeyboardFocus(*this))
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        style::paintFocusRing(painter, *this, QRectF(rect()).adjusted(1, 1, -1, -1), 6);
    }
};

} // namespace

StartupPermissionView::StartupPermissionView(LoginItem& loginItem, QWidget* parent)
    : QDialog(parent), m_loginItem(loginItem)
{
    setObjectName(QStringLiteral("startupPermissionView"));
    setWindowTitle(QStringLiteral("Pellora"));
    setMinimumWidth(sheetMinimumWidth);

    m_background = new PixelBackground(this);
    m_background->setObjectName(QStringLiteral("pixelBackground"));

    m_pages = new QStackedWidget;
    m_pages->addWidget(createMainContent());
    m_pages->addWidget(createThankYouContent());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);
    m_background->lower();
}

QWidget* StartupPermissionView::createMainContent()
{
    const QColor primary = style::primaryText();
    const QColor secondary = style::secondaryText();

    const QString welcomeFace = tr("(ﾉ◕ヮ◕)ﾉ*:･ﾟ✧");
    auto* greeting = new QVBoxLayout;
    greeting->setContentsMargins(24, 24, 24, 24);
    greeting->setSpacing(12);
    QLabel* face = textLabel(welcomeFace, QStringLiteral("welcomeFace"), style::faceFont(welcomeFace, 48), primary);
    face->setAccessibleName(tr("欢呼的表情")); // not its characters
    for (QLabel* label :
         {face,
          textLabel(tr("欢迎来到 Pellora"), QStringLiteral("welcomeTitle"), style::monoFont(16, QFont::DemiBold),
                    primary),
          textLabel(tr("让我陪伴你的每一刻"), QStringLiteral("welcomeSubtitle"), style::monoFont(13), secondary)})
        greeting->addWidget(label, 0, Qt::AlignHCenter);

    auto* dividerLine = new QFrame;
    dividerLine->setObjectName(QStringLiteral("divider"));
    dividerLine->setFixedHeight(1);
    dividerLine->setAutoFillBackground(true);
    QPalette dividerPalette = dividerLine->palette();
    dividerPalette.setColor(QPalette::Window, QColor::fromRgbF(0, 0, 0, 0.1f));
    dividerLine->setPalette(dividerPalette);
    auto* divider = new QHBoxLayout;
    divider->setContentsMargins(defaultMargin, 0, defaultMargin, 0);
    divider->addWidget(dividerLine);

    auto* symbol = new CheckSymbol;
    symbol->setObjectName(QStringLiteral("launchAtLoginSymbol"));
    auto* optionTitle = textLabel(tr("开启时自动启动"), QStringLiteral("launchAtLoginTitle"),
                                  style::monoFont(13, QFont::DemiBold), primary);
    auto* optionDetail =
        textLabel(tr("应用打开时自动显示浮窗"), QStringLiteral("launchAtLoginDetail"), style::monoFont(11), secondary);
    auto* optionTexts = new QVBoxLayout;
    optionTexts->setSpacing(4);
    optionTexts->addWidget(optionTitle, 0, Qt::AlignLeading);
    optionTexts->addWidget(optionDetail, 0, Qt::AlignLeading);

    m_optionRow = new OptionRow;
    m_optionRow->setObjectName(QStringLiteral("launchAtLoginRow"));
    m_optionRow->setAccessibleName(optionTitle->text());
    m_optionRow->setAccessibleDescription(optionDetail->text());
    auto* rowLayout = new QHBoxLayout(m_optionRow);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(12);
    rowLayout->addWidget(symbol, 0, Qt::AlignVCenter);
    rowLayout->addLayout(optionTexts);
    rowLayout->addStretch(1);
    for (QWidget* part :
         {static_cast<QWidget*>(symbol), static_cast<QWidget*>(optionTitle), static_cast<QWidget*>(optionDetail)})
        part->setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(m_optionRow, &QAbstractButton::toggled, symbol, &CheckSymbol::setChecked);

    // Why launch at login could not be set up; shown under the row until the next confirmation. A red
    // that keeps 4.5:1 contrast on the pale background.
    m_failure = textLabel(QString(), QStringLiteral("launchAtLoginFailure"), style::monoFont(11), QColor(179, 38, 30));
    m_failure->setWordWrap(true);
    m_failure->hide();

    auto* option = new QVBoxLayout;
    option->setContentsMargins(20, 12, 20, 12);
    option->setSpacing(12);
    option->addWidget(m_optionRow);
    option->addWidget(m_failure);

    auto* later = new PastelButton(tr("稍后"));
    later->setObjectName(QStringLiteral("laterButton"));
    connect(later, &QAbstractButton::clicked, this, &QDialog::reject);
    auto* confirmButton = new PastelButton(tr("确认"));
    confirmButton->setObjectName(QStringLiteral("confirmButton"));
    connect(confirmButton, &QAbstractButton::clicked, this, &StartupPermissionView::confirm);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(20, 20, 20, 20);
    buttons->setSpacing(12);
    buttons->addStretch(1);
    buttons->addWidget(later, 0, Qt::AlignVCenter);
    buttons->addWidget(confirmButton, 0, Qt::AlignVCenter);

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("mainContent"));
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(20);
    layout->addLayout(greeting);
    layout->addLayout(divider);
    layout->addLayout(option);
    layout->addLayout(buttons);
    return content;
}

QWidget* StartupPermissionView::createThankYouContent()
{
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("thankYouContent"));
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(40, 40, 40, 40);
    layout->setSpacing(20);
    const QString thankYouFace = tr("(´▽｀)ノ");
    layout->addStretch(1);
    QLabel* face = textLabel(thankYouFace, QStringLiteral("thankYouFace"), style::faceFont(thankYouFace, 64),
                             style::primaryText());
    face->setAccessibleName(tr("挥手的表情"));
    layout->addWidget(face, 0, Qt::AlignHCenter);
    layout->addWidget(textLabel(tr("谢谢~"), QStringLiteral("thankYouText"), style::monoFont(32, QFont::DemiBold),
                                style::primaryText()),
                      0, Qt::AlignHCenter);
    layout->addStretch(1);
    return content;
}

bool StartupPermissionView::isChecked() const
{
    return m_optionRow->isChecked();
}

bool StartupPermissionView::showsThankYou() const
{
    return m_pages->currentIndex() == 1;
}

void StartupPermissionView::confirm()
{
    if (showsThankYou())
        return;
    if (isChecked()) {
        QString error;
        if (!m_loginItem.enable(&error)) {
            emit launchAtLoginFailed(error);
            // No thanks for what did not happen: the dialog stays, so the user can untick the box or close it.
            m_failure->setText(labelSafe(tr("Failed to enable launch at startup: ") + error));
            m_failure->show();
            // A window's minimum size ignores the height wrapped text needs at its width: grow to it.
            layout()->activate();
            resize(width(), std::max(height(), heightForWidth(width())));
            return;
        }
    }
    m_failure->hide();
    m_pages->setCurrentIndex(1);
    // Never cancelled: it closes this presentation only, and only while it is still on screen.
    QTimer::singleShot(dismissDelayMs, this, [this, presentation = m_presentation] {
        if (presentation == m_presentation && isVisible())
            accept();
    });
}

void StartupPermissionView::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    // A window manager hiding the dialog (minimising its parent) is no new presentation.
    if (event->spontaneous())
        return;
    ++m_presentation;
    m_optionRow->setChecked(false);
    m_failure->hide();
    m_pages->setCurrentIndex(0);
}

void StartupPermissionView::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    m_background->setGeometry(rect());
}

} // namespace pellora
