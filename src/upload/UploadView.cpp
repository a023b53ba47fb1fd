#include "UploadView.h"

#include "views/NavigationFrame.h"

#include "cli/SubmitCommand.h"
#include "library/RoleLibrary.h"
#include "presentation/Style.h"
#include "views/RoundedCard.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTextDocument>
#include <QVariantAnimation>

namespace pellora {

namespace {

const QColor buttonTint = QColor::fromRgbF(0.86f, 0.74f, 0.94f);
const QColor successGreen(52, 199, 89);
const QColor failureRed(255, 59, 48);

QLabel* label(const QString& text, const QFont& font, const QString& objectName)
{
    auto* label = new QLabel(text);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setWordWrap(true);
    return label;
}

QLabel* secondaryLabel(const QString& text, int pixelSize, const QString& objectName)
{
    QLabel* line = label(text, style::monoFont(pixelSize), objectName);
    style::setTextColor(line, style::secondaryText());
    return line;
}

// The schedule editor's outline: a rounded rectangle over a faint white fill.
RoundedCard* makeScheduleFrame()
{
    QColor gray(142, 142, 147);
    gray.setAlphaF(0.3f);
    return new RoundedCard(12, QColor::fromRgbF(1, 1, 1, 0.2f), gray);
}

} // namespace

// A filled, tinted button whose label turns into a spinning arc while busy. The text stays set while
// busy so that the button keeps its size and its accessible name.
class UploadButton final : public QPushButton {
public:
    explicit UploadButton(const QString& text, QWidget* parent = nullptr) : QPushButton(text, parent)
    {
        setProperty("busy", false);
        setCursor(Qt::PointingHandCursor);
        setAutoDefault(false);
        m_spin.setStartValue(0.0);
        m_spin.setEndValue(360.0);
        m_spin.setDuration(900);
        m_spin.setLoopCount(-1);
        connect(&m_spin, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
    }

    void setBusy(bool busy)
    {
        if (busy == property("busy").toBool())
            return;
        setProperty("busy", busy);
        if (busy)
            m_spin.start();
        else
            m_spin.stop();
        update();
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return {metrics.horizontalAdvance(text()) + 2 * 16, std::max(metrics.height() + 2 * 8, 32)};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (!isEnabled())
            painter.setOpacity(0.45);

        QColor fill = buttonTint;
        if (isDown())
            fill = fill.darker(112);
        else if (underMouse() && isEnabled())
            fill = fill.lighter(104);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
        painter.fillPath(shape, fill);
        if (hasFocus()) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
            painter.drawPath(shape);
        }

        const QColor ink = style::primaryText();
        if (property("busy").toBool()) {
            const qreal side = 16;
            QRectF arc(0, 0, side, side);
            arc.moveCenter(QRectF(rect()).center());
            QPen pen(ink, 2);
            pen.setCapStyle(Qt::RoundCap);
            painter.setPen(pen);
            // Angles in 1/16 degree, counter-clockwise: the negative start turns the arc clockwise.
            painter.drawArc(arc, int(-m_spin.currentValue().toReal() * 16), 270 * 16);
        } else {
            painter.setPen(ink);
            painter.setFont(font());
            painter.drawText(rect(), Qt::AlignCenter, text());
        }
    }

private:
    QVariantAnimation m_spin;
};

UploadView::UploadView(RoleLibrary* library, QWidget* parent, UploaderConfig config,
                       std::function<QStringList()> tokens)
    : QDialog(parent), m_library(library), m_tokens(std::move(tokens)),
      m_uploader(new GitHubUploader(std::move(config), this))
{
    setObjectName(QStringLiteral("uploadView"));
    setWindowTitle(tr("上传角色"));
    setMinimumSize(360, 400);
    // Dark text on the pale gradient whatever the desktop's colour scheme.
    QPalette colours = palette();
    const QColor ink = style::primaryText();
    colours.setColor(QPalette::WindowText, ink);
    colours.setColor(QPalette::Text, ink);
    colours.setColor(QPalette::ButtonText, ink);
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Button, QColor(0xfa, 0xfa, 0xfd));
    setPalette(colours);

    const NavigationFrame frame = buildNavigationFrame(this, tr("上传角色"), QStringLiteral("topBarTitle"),
                                                       createContent(), QStringLiteral("formScroll"));
    connect(frame.closeButton, &QPushButton::clicked, this, &QDialog::close);

    connect(m_nickname, &QLineEdit::textChanged, this, &UploadView::updateButton);
    connect(m_schedule, &QPlainTextEdit::textChanged, this, &UploadView::updateButton);
    connect(m_uploadButton, &QPushButton::clicked, this, &UploadView::submit);
    connect(m_uploader, &GitHubUploader::stateChanged, this, &UploadView::showState);
    if (m_library)
        connect(m_library, &RoleLibrary::selectedRoleChanged, this, &UploadView::updateCompanionLine);
    updateCompanionLine();
    showState(m_uploader->state());
}

UploadView::~UploadView()
{
    // A running upload outlives the form, as it would on the server's side anyway; its outcome is shown
    // nowhere, and the uploader goes once it has one.
    if (m_uploader->state().kind == UploadState::Kind::uploading) {
        disconnect(m_uploader, nullptr, this, nullptr);
        m_uploader->setParent(nullptr);
        connect(m_uploader, &GitHubUploader::stateChanged, m_uploader, [uploader = m_uploader](const UploadState& s) {
            if (s.kind != UploadState::Kind::uploading)
                uploader->deleteLater();
        });
    }
}

QWidget* UploadView::createContent()
{
    // Header.
    m_companionLine = secondaryLabel({}, 12, QStringLiteral("companionLine"));
    auto* header = new QVBoxLayout;
    header->setSpacing(6);
    header->addWidget(
        label(tr("上传你的 Pellora生活"), style::roundedFont(18, QFont::DemiBold), QStringLiteral("headerTitle")));
    header->addWidget(m_companionLine);
    header->addWidget(
        secondaryLabel(tr("格式跟《Pellora.xlsx》一致：每行一段时间 + 事件 + 心情 + 地点 + 精力 + 社交。"), 11,
                       QStringLiteral("formatLine")));

    // Three labelled one-line fields.
    const auto field = [](const QString& title, const QString& prompt, const QString& objectName, QLineEdit*& edit) {
        edit = new QLineEdit;
        edit->setObjectName(objectName);
        edit->setFont(style::monoFont(12));
        edit->setPlaceholderText(prompt);
        auto* column = new QVBoxLayout;
        column->setSpacing(4);
        column->addWidget(label(title, style::monoFont(12, QFont::DemiBold), objectName + QStringLiteral("Title")));
        column->addWidget(edit);
        return column;
    };

    // The schedule: an editor inside its rounded outline, the example line always under it.
    m_schedule = new QPlainTextEdit;
    m_schedule->setObjectName(QStringLiteral("scheduleEdit"));
    m_schedule->setFont(style::monoFont(12));
    m_schedule->setMinimumHeight(140);
    m_schedule->setFrameShape(QFrame::NoFrame);
    m_schedule->setBackgroundVisible(false);
    m_schedule->viewport()->setAutoFillBackground(false);
    m_schedule->document()->setDocumentMargin(0);
    m_schedule->setTabChangesFocus(true);
    auto* scheduleFrame = makeScheduleFrame();
    scheduleFrame->setObjectName(QStringLiteral("scheduleFrame"));
    auto* frameLayout = new QVBoxLayout(scheduleFrame);
    frameLayout->setContentsMargins(8, 8, 8, 8);
    frameLayout->addWidget(m_schedule);
    auto* schedule = new QVBoxLayout;
    schedule->setSpacing(8);
    schedule->addWidget(
        label(tr("日程 (遵循 Excel 规格)"), style::monoFont(13, QFont::DemiBold), QStringLiteral("scheduleTitle")));
    schedule->addWidget(scheduleFrame);
    schedule->addWidget(
        secondaryLabel(tr("00:00-01:00 | 事件 | 心情 | 地点 | 精力 | 社交"), 11, QStringLiteral("exampleLine")));

    m_uploadButton = new UploadButton(tr("上传到 GitHub ٩(｡•́‿•̀｡)۶"));
    m_uploadButton->setObjectName(QStringLiteral("uploadButton"));
    m_uploadButton->setFont(style::faceFont(m_uploadButton->text(), 14, QFont::DemiBold));

    m_statusLine = label({}, style::monoFont(12), QStringLiteral("statusLine"));
    m_statusLine->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(16);
    column->addLayout(header);
    column->addLayout(field(tr("Nickname"), tr("你的 Pellora代号"), QStringLiteral("nicknameField"), m_nickname));
    column->addLayout(field(tr("Email"), tr("方便 commit 显示"), QStringLiteral("emailField"), m_email));
    column->addLayout(field(tr("职业名"), tr("写你想扮演的职业"), QStringLiteral("occupationField"), m_occupation));
    column->addLayout(schedule);
    column->addWidget(m_uploadButton, 0, Qt::AlignLeft);
    column->addWidget(m_statusLine);
    column->addStretch(1);
    return content;
}

void UploadView::paintEvent(QPaintEvent*)
{
    paintNavigationBackground(this, QColor::fromRgbF(0.96f, 0.98f, 1.0f), QColor::fromRgbF(0.93f, 0.96f, 0.94f));
}

QString UploadView::scheduleText() const
{
    // The raw text keeps what toPlainText() would turn into plain spaces (no-break spaces); only the
    // editor's own block and line separators become the line breaks the user typed.
    QString text = m_schedule->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

bool UploadView::canUpload() const
{
    // Exactly as typed: a nickname of spaces counts as filled.
    return !m_nickname->text().isEmpty() && !m_schedule->document()->isEmpty() &&
           m_uploader->state().kind != UploadState::Kind::uploading;
}

void UploadView::updateCompanionLine()
{
    const std::optional<Role> role = m_library ? m_library->selectedRole() : std::nullopt;
    if (role) {
        const QString name = role->displayName ? *role->displayName + QStringLiteral(" · ") + role->name : role->name;
        m_companionLine->setText(tr("当前伴随：") + name);
    }
    m_companionLine->setVisible(role.has_value());
}

void UploadView::showState(const UploadState& state)
{
    QColor color = style::primaryText();
    switch (state.kind) {
    case UploadState::Kind::idle:
        m_statusLine->setText(tr("填完再上传就好 ( •̀ᴗ•́ )✧"));
        break;
    case UploadState::Kind::uploading:
        m_statusLine->setText(tr("请求 GitHub..."));
        break;
    case UploadState::Kind::success:
        m_statusLine->setText(state.text);
        color = successGreen;
        break;
    case UploadState::Kind::failure:
        m_statusLine->setText(state.text);
        color = failureRed;
        break;
    }
    m_statusLine->setFont(style::faceFont(m_statusLine->text(), 12));
    style::setTextColor(m_statusLine, color);
    m_uploadButton->setBusy(state.kind == UploadState::Kind::uploading);
    updateButton();
}

void UploadView::updateButton()
{
    m_uploadButton->setEnabled(canUpload());
}

void UploadView::submit()
{
    if (!canUpload())
        return;
    const std::optional<Role> role = m_library ? m_library->selectedRole() : std::nullopt;
    const SubmissionEntry entry =
        newSubmissionEntry(m_nickname->text(), m_email->text(), m_occupation->text(), scheduleText(), role);
    m_uploader->upload(entry, m_tokens ? m_tokens() : QStringList());
}

} // namespace pellora
