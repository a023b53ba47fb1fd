#include "UploadView.h"

#include "NavigationFrame.h"

#include "RoundedCard.h"
#include "library/RoleLibrary.h"
#include "presentation/ControlCharacters.h"
#include "presentation/DisplayText.h"
#include "upload/SubmissionEntry.h"
#include "widgets/Accessibility.h"
#include "widgets/Style.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTextDocument>
#include <QVariantAnimation>

namespace pellora {

namespace {

const QColor buttonTint = QColor::fromRgbF(0.86f, 0.74f, 0.94f);
// The platform's green and red, darkened to 4.5:1 on the form's pale background.
const QColor successGreen(0x1f, 0x7a, 0x36);
const QColor failureRed(0xc4, 0x23, 0x1c);

// The schedule editor's height when the screen has room for the whole form, and the lines it keeps at least.
constexpr int designedScheduleHeight = 140;
constexpr int scheduleMinimumLines = 3;

// The space around and between the form's blocks: as designed, and tighter on a screen too short to show them
// that way with the schedule editor's few lines.
struct Spacing {
    int top;
    int gap;
    int bottom;
};
constexpr Spacing roomy{20, 16, 20};
constexpr Spacing compact{10, 8, 12};

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
        // The tint alone hardly stands out from the pale form; the outline sets the button apart. Inset by half
        // the line so that the whole outline stays inside the widget.
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        painter.fillPath(shape, fill);
        painter.setPen(QPen(style::controlOutline(), 1));
        painter.drawPath(shape);
        if (hasFocus())
            style::paintFocusRing(painter, *this, QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 7);

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

UploadView::UploadView(RoleLibrary* library, UploadDraft* draft, QWidget* parent, std::function<QStringList()> tokens)
    : QDialog(parent), m_library(library), m_draft(draft ? draft : new UploadDraft(builtInUploaderConfig(), this)),
      m_tokens(std::move(tokens))
{
    setObjectName(QStringLiteral("uploadView"));
    setWindowTitle(tr("上传角色"));
    setMinimumWidth(360);
    // Dark text on the pale gradient whatever the desktop's colour scheme, in white fields.
    style::setDarkInk(this, style::primaryText());
    QPalette colours = palette();
    colours.setColor(QPalette::PlaceholderText, style::secondaryText());
    colours.setColor(QPalette::Base, Qt::white);
    setPalette(colours);

    const NavigationFrame frame = buildNavigationFrame(this, tr("上传角色"), QStringLiteral("topBarTitle"),
                                                       createContent(), QStringLiteral("formScroll"));
    connect(frame.closeButton, &QPushButton::clicked, this, &QDialog::close);
    m_scroll = frame.scrollArea;
    m_scroll->viewport()->installEventFilter(this);
    // The button and the status line stay in view under the part that scrolls.
    layout()->addWidget(createFooter());

    // What was typed before, kept with every edit from now on.
    const UploadTexts& kept = m_draft->texts;
    m_nickname->setText(kept.nickname);
    m_email->setText(kept.email);
    m_occupation->setText(kept.occupation);
    m_schedule->setPlainText(kept.schedule);
    for (QLineEdit* field : {m_nickname, m_email, m_occupation})
        connect(field, &QLineEdit::textChanged, this, &UploadView::keepTexts);
    connect(m_schedule, &QPlainTextEdit::textChanged, this, &UploadView::keepTexts);
    m_nickname->setFocus();

    // Said before anyone types a day that would go nowhere; the button still works and says it again.
    m_tokenNotice->setVisible(usableTokens(m_tokens ? m_tokens() : QStringList()).isEmpty());

    connect(m_nickname, &QLineEdit::textChanged, this, &UploadView::updateButton);
    connect(m_schedule, &QPlainTextEdit::textChanged, this, &UploadView::updateButton);
    connect(m_uploadButton, &QPushButton::clicked, this, &UploadView::submit);
    connect(&m_draft->uploader(), &GitHubUploader::stateChanged, this, &UploadView::showState);
    if (m_library)
        connect(m_library, &RoleLibrary::selectedRoleChanged, this, &UploadView::updateCompanionLine);
    updateCompanionLine();
    showState(m_draft->uploader().state());
}

UploadView::~UploadView()
{
    // A draft of the form's own lets a running upload finish, as the request would on the server's side anyway;
    // it goes once the outcome is in.
    if (m_draft->parent() == this && m_draft->uploader().state().kind == UploadState::Kind::uploading) {
        m_draft->setParent(nullptr);
        connect(&m_draft->uploader(), &GitHubUploader::stateChanged, m_draft, &QObject::deleteLater);
    }
}

QWidget* UploadView::createContent()
{
    m_tokenNotice = label(missingTokenText(), style::monoFont(12), QStringLiteral("tokenNotice"));
    style::setTextColor(m_tokenNotice, failureRed);

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
        edit->setAccessibleName(title);
        auto* column = new QVBoxLayout;
        column->setSpacing(4);
        column->addWidget(label(title, style::monoFont(12, QFont::DemiBold), objectName + QStringLiteral("Title")));
        column->addWidget(edit);
        return column;
    };

    // The schedule: an editor inside its rounded outline, the example line always under it. The editor takes
    // whatever height the form has left, down to a few lines, and scrolls its text itself; a slot stays on one
    // line and scrolls sideways rather than breaking in the middle.
    m_schedule = new QPlainTextEdit;
    m_schedule->setObjectName(QStringLiteral("scheduleEdit"));
    m_schedule->setFont(style::monoFont(12));
    m_schedule->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_schedule->setFrameShape(QFrame::NoFrame);
    m_schedule->setBackgroundVisible(false);
    m_schedule->viewport()->setAutoFillBackground(false);
    m_schedule->document()->setDocumentMargin(0);
    m_schedule->setTabChangesFocus(true);
    m_schedule->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    m_schedule->setMinimumHeight(QFontMetrics(m_schedule->font()).lineSpacing() * scheduleMinimumLines +
                                 m_schedule->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    m_schedule->setAccessibleName(tr("日程 (遵循 Excel 规格)"));
    m_schedule->setAccessibleDescription(tr("00:00-01:00 | 事件 | 心情 | 地点 | 精力 | 社交"));
    auto* scheduleFrame = makeScheduleFrame();
    scheduleFrame->setObjectName(QStringLiteral("scheduleFrame"));
    auto* frameLayout = new QVBoxLayout(scheduleFrame);
    frameLayout->setContentsMargins(8, 8, 8, 8);
    frameLayout->addWidget(m_schedule);
    auto* schedule = new QVBoxLayout;
    schedule->setSpacing(8);
    schedule->addWidget(
        label(tr("日程 (遵循 Excel 规格)"), style::monoFont(13, QFont::DemiBold), QStringLiteral("scheduleTitle")));
    schedule->addWidget(scheduleFrame, 1);
    schedule->addWidget(
        secondaryLabel(tr("00:00-01:00 | 事件 | 心情 | 地点 | 精力 | 社交"), 11, QStringLiteral("exampleLine")));

    auto* content = new QWidget;
    m_column = new QVBoxLayout(content);
    m_column->setContentsMargins(20, roomy.top, 20, 0);
    m_column->setSpacing(roomy.gap);
    m_column->addWidget(m_tokenNotice);
    m_column->addLayout(header);
    m_column->addLayout(field(tr("Nickname"), tr("你的 Pellora代号"), QStringLiteral("nicknameField"), m_nickname));
    m_column->addLayout(field(tr("Email"), tr("方便 commit 显示"), QStringLiteral("emailField"), m_email));
    m_column->addLayout(field(tr("职业名"), tr("写你想扮演的职业"), QStringLiteral("occupationField"), m_occupation));
    m_column->addLayout(schedule, 1);
    return content;
}

QWidget* UploadView::createFooter()
{
    m_uploadButton = new UploadButton(tr("上传到 GitHub ٩(｡•́‿•̀｡)۶"));
    m_uploadButton->setObjectName(QStringLiteral("uploadButton"));
    m_uploadButton->setFont(style::faceFont(m_uploadButton->text(), 14, QFont::DemiBold));
    m_uploadButton->setAccessibleName(tr("上传到 GitHub"));
    a11y::pressOnEnter(m_uploadButton);
    // Focused by Tab only: a click leaves the focus where the user was typing, so locking the button for the
    // upload moves no focus (and shows no caret) for a pointer user.
    m_uploadButton->setFocusPolicy(Qt::TabFocus);

    m_statusLine = label({}, style::monoFont(12), QStringLiteral("statusLine"));
    // Reachable with Tab, right after the button: when the button is locked for an upload the focus moves on to
    // the status line, so that screen readers, which follow the focused control, present its changes. Keyboard
    // users can select and copy a message there.
    m_statusLine->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_statusLine->setFocusPolicy(Qt::StrongFocus);

    auto* footer = new QWidget;
    footer->setObjectName(QStringLiteral("formFooter"));
    m_footer = new QVBoxLayout(footer);
    m_footer->setContentsMargins(20, roomy.gap, 20, roomy.bottom);
    m_footer->setSpacing(roomy.gap);
    m_footer->addWidget(m_uploadButton, 0, Qt::AlignLeft);
    m_footer->addWidget(m_statusLine);
    return footer;
}

QSize UploadView::sizeHint() const
{
    // A scroll area offers only part of what it holds: count the whole of it, as designed.
    QSize hint = QDialog::sizeHint().expandedTo(minimumSize());
    const int content = m_scroll->widget()->heightForWidth(hint.width()) + (m_compact ? compactSaving() : 0);
    hint.rheight() += content - m_scroll->sizeHint().height() + designedScheduleHeight - m_schedule->minimumHeight();
    return hint;
}

void UploadView::setVisible(bool visible)
{
    // Qt opens a window at no more than two thirds of the screen; the form asks for its whole size, as much as
    // the screen's free area holds (its host keeps the window frame inside that area).
    if (visible && !m_sized && !testAttribute(Qt::WA_Resized) && screen())
        resize(sizeHint().boundedTo(screen()->availableGeometry().size()));
    m_sized = m_sized || visible;
    QDialog::setVisible(visible);
    // A dialog opens with its first field's text selected, for the first key to replace: a nickname kept
    // from before is there to go on from.
    if (visible)
        m_nickname->end(false);
}

bool UploadView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched == m_scroll->viewport())
        fitSpacing();
    return QDialog::eventFilter(watched, event);
}

// The height the tighter spacing saves: the blocks that scroll have a gap between each two, the footer one
// above the button and one under it.
int UploadView::compactSaving() const
{
    int blocks = 0;
    for (int i = 0; i < m_column->count(); ++i)
        blocks += m_column->itemAt(i)->isEmpty() ? 0 : 1;
    return roomy.top - compact.top + roomy.bottom - compact.bottom + (blocks + 1) * (roomy.gap - compact.gap);
}

void UploadView::fitSpacing()
{
    // As designed while that fits; tighter before the fields themselves have to scroll.
    const QWidget* viewport = m_scroll->viewport();
    const int roomyHeight = m_scroll->widget()->heightForWidth(viewport->width()) + (m_compact ? compactSaving() : 0);
    const bool tight = roomyHeight > viewport->height();
    if (tight == m_compact)
        return;
    m_compact = tight;
    const Spacing spacing = tight ? compact : roomy;
    m_column->setContentsMargins(20, spacing.top, 20, 0);
    m_column->setSpacing(spacing.gap);
    m_footer->setContentsMargins(20, spacing.gap, 20, spacing.bottom);
    m_footer->setSpacing(spacing.gap);
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

void UploadView::keepTexts()
{
    m_draft->texts = {m_nickname->text(), m_email->text(), m_occupation->text(), scheduleText()};
}

bool UploadView::canUpload() const
{
    // Exactly as typed: a nickname of spaces counts as filled.
    return !m_nickname->text().isEmpty() && !m_schedule->document()->isEmpty() &&
           m_draft->uploader().state().kind != UploadState::Kind::uploading;
}

void UploadView::updateCompanionLine()
{
    const std::optional<Role> role = m_library ? m_library->selectedRole() : std::nullopt;
    if (role) {
        m_companionLine->setText(tr("当前伴随：") + labelText(roleTitle(*role)));
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
        m_statusLine->setText(labelText(state.text));
        color = successGreen;
        break;
    case UploadState::Kind::failure:
        m_statusLine->setText(labelText(state.text)); // a server's message, cleaned for the label
        color = failureRed;
        break;
    }
    m_statusLine->setFont(style::faceFont(m_statusLine->text(), 12));
    style::setTextColor(m_statusLine, color);
    // A screen reader presents a change of the focused control's name or description, and ignores changes
    // elsewhere: the status is both the status line's name and the upload button's description, so it is
    // heard whichever of the two has the focus (the button keeps it when an upload fails at once).
    const QString spoken = state.kind == UploadState::Kind::idle ? tr("填完再上传就好") : m_statusLine->text();
    m_statusLine->setAccessibleName(spoken);
    m_uploadButton->setAccessibleDescription(spoken);
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
    const UploadTexts texts{m_nickname->text(), m_email->text(), m_occupation->text(), scheduleText()};
    const SubmissionEntry entry =
        newSubmissionEntry(texts.nickname, texts.email, texts.occupation, texts.schedule, role);
    m_draft->send(texts, entry, m_tokens ? m_tokens() : QStringList());
}

} // namespace pellora
