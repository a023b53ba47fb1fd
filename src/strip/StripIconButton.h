#pragma once

#include <QAbstractButton>

namespace pellora {

// The strip's small icon buttons: one of the application's icons, named as for svgIcon, padded 8 on every side
// over a white rounded tag, lighter while pressed. The title is kept as the accessible name and tooltip.
class StripIconButton final : public QAbstractButton {
    Q_OBJECT

public:
    StripIconButton(const QString& iconName, const QString& title, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    // Opacity of the white fill: 0.7 at rest, 0.4 while pressed.
    double fillOpacity() const { return isDown() ? 0.4 : 0.7; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int iconPixels = 14;
    static constexpr int padding = 8;
};

} // namespace pellora
