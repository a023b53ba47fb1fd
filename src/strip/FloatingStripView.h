#pragma once

#include "ShadowCache.h"
#include "presentation/StatusRendering.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>

class QLabel;
class QGraphicsOpacityEffect;

namespace pellora {

class RoleLibrary;
class RolePickerController;
class EnergyMeterView;
class ElidedLabel;
class StripIconButton;

/// The strip's content: the compact card (face, title, time, activity and two buttons) and, while the
/// pointer rests on the cards, the detail card (mood, place, energy, what comes next); the hint when
/// there is nothing to show. Everything shown comes from the library and is redrawn when it publishes.
class FloatingStripView final : public QWidget {
    Q_OBJECT

public:
    FloatingStripView(RoleLibrary* library, RolePickerController* pickerController, QWidget* parent = nullptr);
    ~FloatingStripView() override;

    // A pointer crossing the strip on its way elsewhere does not open the detail card: it opens once the
    // pointer has rested on the cards this long. Leaving closes it at once.
    static constexpr int restBeforeOpeningMs = 250;

    bool isHovering() const { return m_hovering; }
    // Opens or closes the detail card with the spring; the cards' hover region calls it.
    void setHovering(bool hovering);
    bool isShowingHint() const;
    // How far the detail card has come in, 0 (gone) to 1 (in place); overshoots slightly on the spring.
    double revealProgress() const { return m_progress; }

    // The rounded cards as a region of this widget, for a window shape when translucency is unavailable.
    QRegion cardsRegion() const;

signals:
    void hoveringChanged(bool hovering);
    // The cards moved or changed size: a window shape built from cardsRegion() is out of date.
    void shapeChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void showDetail(double progress);
    void layoutDetail();
    QRectF compactRect() const;
    QRectF detailRect() const;
    QRect detailClip() const;
    bool pointerOverCards(QPoint global) const;
    bool pointerOverCards() const;
    void checkRest();

    QPointer<RoleLibrary> m_library;
    QPointer<RolePickerController> m_pickerController;
    StylePalette m_palette;
    bool m_opaque; // no compositor: opaque fills and no shadows, inside a shaped window
    bool m_hovering = false;
    double m_progress = 0;
    QVariantAnimation m_reveal;
    QTimer m_leaveCheck;
    QTimer m_restCheck;
    QPoint m_restPoint;
    QElapsedTimer m_restClock;
    ShadowCache m_shadows;

    QWidget* m_hint = nullptr;
    QWidget* m_cards = nullptr;
    QWidget* m_compact = nullptr;
    QWidget* m_detailSlot = nullptr;
    QWidget* m_detail = nullptr;
    QGraphicsOpacityEffect* m_detailOpacity = nullptr;

    QLabel* m_face = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_time = nullptr;
    QLabel* m_event = nullptr;
    StripIconButton* m_drawButton = nullptr;
    StripIconButton* m_libraryButton = nullptr;
    ElidedLabel* m_mood = nullptr;
    ElidedLabel* m_location = nullptr;
    EnergyMeterView* m_meter = nullptr;
    QList<QLabel*> m_upcoming;
};

} // namespace pellora
