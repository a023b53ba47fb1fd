#include "FloatingStripView.h"

#include "ElidedLabel.h"
#include "RolePickerController.h"
#include "SpringCurve.h"
#include "StripIconButton.h"
#include "library/RoleLibrary.h"
#include "platform/Compositing.h"
#include "platform/WindowHints.h"
#include "presentation/ControlCharacters.h"
#include "presentation/DisplayText.h"
#include "presentation/SpokenText.h"
#include "widgets/Accessibility.h"
#include "widgets/EnergyMeterView.h"
#include "widgets/QtColor.h"
#include "widgets/Style.h"

#include <QCursor>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace pellora {
namespace {

constexpr int outerPadding = 18;
constexpr int compactRadius = 22;
constexpr int detailRadius = 24;
constexpr int detailGap = 8;
// The compact card's material, dense enough that its time and activity keep 4.5:1 over a dark desktop.
constexpr double compactFillOpacity = 0.92;

QLabel* makeLabel(const QFont& font, const char* objectName, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFont(font);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A caption with a hairline rule taking the rest of the row.
QWidget* sectionHeader(const QString& title, QWidget* parent)
{
    auto* header = new QWidget(parent);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    auto* label = makeLabel(style::monoFont(11, QFont::Medium), "sectionTitle", header);
    label->setText(title);
    style::setTextColor(label, style::secondaryText());
    auto* rule = new QWidget(header);
    rule->setFixedHeight(1);
    rule->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    rule->setAutoFillBackground(true);
    QPalette palette = rule->palette();
    palette.setColor(QPalette::Window, style::secondaryText(0.2));
    rule->setPalette(palette);
    row->addWidget(label);
    row->addWidget(rule, 1, Qt::AlignVCenter);
    return header;
}

// The hint's outlined text, shown when there is no role or no current event. It lies on the compact card's
// material: bare text on the desktop would vanish on a dark one.
class HintView final : public QWidget {
public:
    HintView(bool opaque, QWidget* parent) : QWidget(parent), m_opaque(opaque)
    {
        setObjectName(QStringLiteral("hint"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(24, 24, 24, 24);
        auto* label = makeLabel(style::monoFont(12), "hintText", this);
        label->setText(stripHintText());
        style::setTextColor(label, style::secondaryText());
        layout->addWidget(label);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 22, 22);
        painter.fillPath(path, style::thinMaterial(m_opaque ? 1.0 : compactFillOpacity));
        painter.setPen(QPen(style::secondaryText(0.3), 1));
        painter.drawPath(path);
    }

private:
    bool m_opaque;
};

// The detail card's slot under the compact card: it reserves the card's height plus the gap and
// clips the card while it slides in from the slot's top edge.
class DetailSlot final : public QWidget {
public:
    DetailSlot(QWidget* detail, QWidget* parent) : QWidget(parent), m_detail(detail)
    {
        detail->setParent(this);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return detailGap + detailHeight(width); }
    QSize sizeHint() const override { return {m_detail->sizeHint().width(), heightForWidth(width())}; }

    int detailHeight(int width) const
    {
        return m_detail->hasHeightForWidth() ? m_detail->heightForWidth(width) : m_detail->sizeHint().height();
    }

private:
    QWidget* m_detail;
};

} // namespace

FloatingStripView::FloatingStripView(RoleLibrary* library, RolePickerController* pickerController, QWidget* parent)
    : QWidget(parent), m_library(library), m_pickerController(pickerController), m_opaque(!compositingManagerRunning())
{
    setObjectName(QStringLiteral("floatingStrip"));
    // Screen readers meet the strip as one panel named by what the role is doing; its description
    // carries what the detail card shows, which opens only under a resting pointer.
    a11y::setRole(this, QAccessible::Pane);
    setMinimumWidth(520);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(outerPadding, outerPadding, outerPadding, outerPadding);

    m_hint = new HintView(m_opaque, this);
    outer->addWidget(m_hint, 0, Qt::AlignHCenter);

    m_cards = new QWidget(this);
    m_cards->setObjectName(QStringLiteral("cards"));
    m_cards->installEventFilter(this); // the hover region: both cards and the gap between them
    auto* stack = new QVBoxLayout(m_cards);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    outer->addWidget(m_cards);

    // Compact card.
    m_compact = new QWidget(m_cards);
    m_compact->setObjectName(QStringLiteral("compactCard"));
    auto* compactRow = new QHBoxLayout(m_compact);
    compactRow->setContentsMargins(24, 14, 24, 14);
    compactRow->setSpacing(16);
    m_face = makeLabel(style::monoFont(20), "face", m_compact);
    style::setTextColor(m_face, style::primaryText());
    compactRow->addWidget(m_face, 0, Qt::AlignVCenter);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    m_title = makeLabel(style::roundedFont(13, QFont::DemiBold), "title", m_compact);
    style::setTextColor(m_title, style::primaryText());
    m_time = makeLabel(style::monoFont(12), "time", m_compact);
    m_event = makeLabel(style::monoFont(12), "event", m_compact);
    m_event->setWordWrap(true);
    texts->addWidget(m_title);
    texts->addWidget(m_time);
    texts->addWidget(m_event);
    compactRow->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    m_drawButton = new StripIconButton(QStringLiteral("die.face.5"), tr("换一个"), m_compact);
    m_drawButton->setObjectName(QStringLiteral("drawButton"));
    m_libraryButton = new StripIconButton(QStringLiteral("person.3"), tr("角色库"), m_compact);
    m_libraryButton->setObjectName(QStringLiteral("libraryButton"));
    buttons->addWidget(m_drawButton);
    buttons->addWidget(m_libraryButton);
    compactRow->addLayout(buttons);
    stack->addWidget(m_compact);

    // Detail card. The meter is pulled 6 to the left of the other rows, which are indented instead.
    m_detail = new QWidget;
    m_detail->setObjectName(QStringLiteral("detailCard"));
    a11y::setRole(m_detail, QAccessible::Pane);
    m_detail->setAccessibleName(tr("当前状态"));
    auto* details = new QVBoxLayout(m_detail);
    details->setContentsMargins(24 - 6, 14, 24, 18);
    details->setSpacing(10);
    const auto indented = [details](QWidget* widget) {
        auto* row = new QHBoxLayout;
        row->setContentsMargins(6, 0, 0, 0);
        row->addWidget(widget);
        details->addLayout(row);
    };
    indented(sectionHeader(tr("当前状态"), m_detail));
    auto* moodRow = new QWidget(m_detail);
    auto* moodLayout = new QHBoxLayout(moodRow);
    moodLayout->setContentsMargins(0, 0, 0, 0);
    moodLayout->setSpacing(16);
    auto* heartAndMood = new QHBoxLayout;
    heartAndMood->setSpacing(6);
    auto* heart = makeLabel(style::emojiFont(13), "heart", moodRow);
    heart->setText(QStringLiteral("❤️"));
    heart->setAccessibleName(tr("心情"));
    m_mood = new ElidedLabel(moodRow);
    m_mood->setObjectName(QStringLiteral("mood"));
    m_mood->setFont(style::monoFont(12));
    m_mood->setColor(style::primaryText());
    heartAndMood->addWidget(heart);
    heartAndMood->addWidget(m_mood);
    moodLayout->addLayout(heartAndMood);
    m_location = new ElidedLabel(moodRow);
    m_location->setObjectName(QStringLiteral("location"));
    m_location->setFont(style::monoFont(12));
    moodLayout->addWidget(m_location);
    moodLayout->addStretch(1);
    indented(moodRow);
    m_meter = new EnergyMeterView(m_detail);
    m_meter->setObjectName(QStringLiteral("meter"));
    details->addWidget(m_meter, 0, Qt::AlignLeft);
    indented(sectionHeader(tr("接下来"), m_detail));
    for (int i = 0; i < 3; ++i) {
        auto* line = makeLabel(style::monoFont(12), "upcoming", m_detail);
        line->setObjectName(QStringLiteral("upcoming%1").arg(i));
        line->setWordWrap(true);
        m_upcoming.append(line);
        indented(line);
    }
    m_detailSlot = new DetailSlot(m_detail, m_cards);
    m_detailSlot->setObjectName(QStringLiteral("detailSlot"));
    m_detailSlot->installEventFilter(this);
    m_detailSlot->hide();
    stack->addWidget(m_detailSlot);
    m_detailOpacity = new QGraphicsOpacityEffect(m_detail);
    m_detail->setGraphicsEffect(m_detailOpacity);

    // While the pointer is over the closed cards: sampled until it has rested long enough.
    m_restCheck.setInterval(50);
    connect(&m_restCheck, &QTimer::timeout, this, &FloatingStripView::checkRest);
    m_leaveCheck.setInterval(100);
    connect(&m_leaveCheck, &QTimer::timeout, this, [this] {
        if (!pointerOverCards()) {
            m_leaveCheck.stop();
            setHovering(false);
        }
    });

    m_reveal.setEasingCurve(springEasingCurve());
    m_reveal.setDuration(springDurationMs);
    connect(&m_reveal, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { showDetail(value.toDouble()); });
    connect(&m_reveal, &QVariantAnimation::finished, this, [this] {
        if (!m_hovering) {
            m_detailSlot->hide();
            emit shapeChanged();
        }
    });

    connect(m_drawButton, &QAbstractButton::clicked, this, [this] {
        if (m_library)
            m_library->drawRandomRole();
    });
    connect(m_libraryButton, &QAbstractButton::clicked, this, [this] {
        if (!m_pickerController)
            return;
        if (RoleLibrary* library = m_pickerController->library())
            m_pickerController->open(library);
    });
    if (m_library)
        connect(m_library, &RoleLibrary::snapshotChanged, this, &FloatingStripView::refresh);
    refresh();
}

FloatingStripView::~FloatingStripView() = default;

bool FloatingStripView::isShowingHint() const
{
    return !m_hint->isHidden();
}

void FloatingStripView::refresh()
{
    const std::optional<TimelineSnapshot> snapshot =
        m_library ? m_library->snapshot() : std::optional<TimelineSnapshot>();
    if (!snapshot || !snapshot->now) {
        setHovering(false);
        m_reveal.stop();
        showDetail(0);
        m_detailSlot->hide();
        m_cards->hide();
        m_hint->show();
        setAccessibleName(stripHintText());
        setAccessibleDescription({});
        emit shapeChanged();
        update();
        return;
    }
    const RoleEvent& now = *snapshot->now;
    // Colours change only with the role's style pack, not on every 30-second refresh.
    const StylePalette palette = stylePalette(snapshot->role.stylePack);
    if (!(palette == m_palette)) {
        m_palette = palette;
        style::setTextColor(m_time, toQColor(m_palette.text, 0.8));
        style::setTextColor(m_event, toQColor(m_palette.text, 0.8));
        m_location->setColor(toQColor(m_palette.text, 0.85));
        m_meter->setStylePalette(m_palette);
        for (QLabel* line : std::as_const(m_upcoming))
            style::setTextColor(line, toQColor(m_palette.text, 0.85));
    }
    // Pack texts may hold control characters: labels show them cleaned.
    const QString face = labelText(statusFace(now, snapshot->role.stylePack));
    m_face->setFont(style::faceFont(face, 20));
    m_face->setText(face);
    m_title->setText(labelText(roleTitle(snapshot->role)));
    m_time->setText(labelText(now.time));
    m_event->setText(labelText(now.event));
    m_mood->setText(now.mood.isEmpty() ? QStringLiteral("—") : labelText(now.mood));
    m_location->setText(tr("@ %1").arg(labelText(now.location)));
    m_meter->setLevel(now.energy);
    for (qsizetype i = 0; i < m_upcoming.size(); ++i) {
        QLabel* line = m_upcoming.at(i);
        const bool present = i < snapshot->upcoming.size();
        line->setVisible(present);
        if (present) {
            line->setText(labelText(upcomingLine(snapshot->upcoming.at(i))));
            line->setAccessibleName(a11y::spokenUpcoming(snapshot->upcoming.at(i)));
        }
    }
    // Said in words: the face's characters, the location's "@" and the lines' arrows mean nothing read out.
    m_face->setAccessibleName(a11y::spokenFace(now));
    m_location->setAccessibleName(tr("地点：%1").arg(labelText(now.location)));
    setAccessibleName(a11y::stripAnnouncement(*snapshot));
    setAccessibleDescription(a11y::stripDetails(*snapshot));
    m_detail->setAccessibleDescription(accessibleDescription());
    m_hint->hide();
    m_cards->show();
    // The hidden detail card is laid out when it opens: measuring its texts resolves fonts (emoji,
    // fallbacks for monospaced CJK) that the compact card never needs, which would slow the start.
    if (!m_detailSlot->isHidden()) {
        m_detailSlot->updateGeometry(); // its height follows the detail card's wrapped lines
        layoutDetail();
    }
    emit shapeChanged();
    update();
}

void FloatingStripView::setHovering(bool hovering)
{
    if (hovering == m_hovering)
        return;
    if (hovering && m_cards->isHidden())
        return; // the hint has no detail card
    m_hovering = hovering;
    if (hovering) {
        // XWayland tells the window nothing when the pointer goes on to a Wayland surface (a bar): look while
        // the card is open.
        if (pointerMayLeaveUnseen())
            m_leaveCheck.start();
        m_detailSlot->show();
        m_detailSlot->updateGeometry();
        layoutDetail();
    }
    m_reveal.stop();
    m_reveal.setStartValue(m_progress);
    m_reveal.setEndValue(hovering ? 1.0 : 0.0);
    m_reveal.start();
    emit hoveringChanged(hovering);
}

void FloatingStripView::showDetail(double progress)
{
    m_progress = progress;
    const double opacity = std::clamp(progress, 0.0, 1.0);
    m_detailOpacity->setOpacity(opacity);
    // Rendering through the effect costs an offscreen pass; only pay it while fading.
    m_detailOpacity->setEnabled(opacity < 1.0);
    layoutDetail();
    emit shapeChanged();
    update();
}

void FloatingStripView::layoutDetail()
{
    const int width = m_detailSlot->width();
    const int height = static_cast<DetailSlot*>(m_detailSlot)->detailHeight(width);
    // Slides down from behind the slot's top edge: fully above it at 0, in place at 1.
    const int offset = qRound((1.0 - m_progress) * (height + detailGap));
    m_detail->setGeometry(0, detailGap - offset, width, height);
}

QRectF FloatingStripView::compactRect() const
{
    return QRectF(m_compact->geometry().translated(m_cards->pos()));
}

QRectF FloatingStripView::detailRect() const
{
    return QRectF(m_detail->geometry().translated(m_detailSlot->pos() + m_cards->pos()));
}

QRect FloatingStripView::detailClip() const
{
    const int top = m_cards->y() + m_detailSlot->y();
    return QRect(0, top, width(), height() - top);
}

QRegion FloatingStripView::cardsRegion() const
{
    const auto rounded = [](const QRectF& rect, qreal radius) {
        QPainterPath path;
        path.addRoundedRect(rect, radius, radius);
        return QRegion(path.toFillPolygon().toPolygon());
    };
    if (m_cards->isHidden())
        return rounded(QRectF(m_hint->geometry()), 22);
    QRegion region = rounded(compactRect(), compactRadius);
    // The detail card's resting place, not its sliding position: the shape is also where the window
    // takes the pointer, and the pointer must not fall through while the card slides in under it.
    if (!m_detailSlot->isHidden()) {
        const QRect slot = m_detailSlot->geometry().translated(m_cards->pos());
        region |= rounded(QRectF(slot.adjusted(0, detailGap, 0, 0)), detailRadius);
    }
    return region;
}

bool FloatingStripView::pointerOverCards(QPoint global) const
{
    return QRect(m_cards->mapToGlobal(QPoint(0, 0)), m_cards->size()).contains(global);
}

bool FloatingStripView::pointerOverCards() const
{
    return !pointerOutside(window()->windowHandle()) && pointerOverCards(QCursor::pos(screen()));
}

void FloatingStripView::checkRest()
{
    const QPoint pointer = QCursor::pos(screen());
    if (m_hovering || !pointerOverCards(pointer) || pointerOutside(window()->windowHandle())) {
        m_restCheck.stop();
        return;
    }
    // A hand on the mouse trembles by a pixel or two; that is still resting.
    if ((pointer - m_restPoint).manhattanLength() > 3) {
        m_restPoint = pointer;
        m_restClock.start();
    } else if (m_restClock.elapsed() >= restBeforeOpeningMs) {
        m_restCheck.stop();
        setHovering(true);
    }
}

bool FloatingStripView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_cards) {
        if (event->type() == QEvent::Enter) {
            if (!m_hovering || !pointerMayLeaveUnseen())
                m_leaveCheck.stop();
            if (!m_hovering && !m_restCheck.isActive()) {
                m_restPoint = QCursor::pos(screen());
                m_restClock.start();
                m_restCheck.start();
            }
        } else if (event->type() == QEvent::Leave) {
            // A leave can be spurious: the window moves under a still pointer when the card opens in the
            // screen's bottom corner, and in a shaped window the gap between the cards is not part of the
            // window. Only leaving the cards' rectangle counts; while the pointer is in it without the
            // window seeing it, poll.
            if (pointerOverCards()) {
                m_leaveCheck.start();
            } else {
                m_restCheck.stop();
                setHovering(false);
            }
        }
    } else if (watched == m_detailSlot && event->type() == QEvent::Resize) {
        layoutDetail();
        emit shapeChanged();
    }
    if (watched == m_cards && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        emit shapeChanged();
    return QWidget::eventFilter(watched, event);
}

void FloatingStripView::paintEvent(QPaintEvent*)
{
    if (m_cards->isHidden())
        return; // the hint paints itself
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor shadow = toQColor(m_palette.shadow);
    // Without a compositor the window is cut to the cards' shape: translucent fills would show the
    // black behind them, and shadows would fall outside the shape.
    const auto fill = [this](QColor color) {
        if (m_opaque)
            color.setAlpha(255);
        return color;
    };

    if (!m_detailSlot->isHidden() && m_progress > 0) {
        painter.save();
        painter.setClipRect(detailClip());
        painter.setOpacity(std::clamp(m_progress, 0.0, 1.0));
        const QRectF card = detailRect().adjusted(0.5, 0.5, -0.5, -0.5);
        if (!m_opaque)
            m_shadows.paint(painter, card, detailRadius, 14, QPointF(0, 8), shadow);
        QPainterPath path;
        path.addRoundedRect(card, detailRadius, detailRadius);
        painter.fillPath(path, fill(toQColor(m_palette.background, 0.95)));
        painter.setPen(QPen(toQColor(m_palette.accent, 0.8), 1));
        painter.drawPath(path);
        painter.restore();
    }

    const QRectF card = compactRect().adjusted(0.5, 0.5, -0.5, -0.5);
    if (!m_opaque)
        m_shadows.paint(painter, card, compactRadius, 10, QPointF(0, 6), shadow);
    QPainterPath path;
    path.addRoundedRect(card, compactRadius, compactRadius);
    painter.fillPath(path, fill(style::thinMaterial(compactFillOpacity)));
    painter.setPen(QPen(toQColor(m_palette.accent, 0.9), 1));
    painter.drawPath(path);
}

} // namespace pellora
