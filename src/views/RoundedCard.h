#pragma once

#include <QColor>
#include <QWidget>

namespace pellora {

/// A rounded rectangle filled with one colour and outlined in another, one pixel wide: the backing of a
/// section or a field. Lay the content out inside it.
class RoundedCard final : public QWidget {
public:
    RoundedCard(qreal radius, const QColor& fill, const QColor& outline, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal m_radius;
    QColor m_fill;
    QColor m_outline;
};

} // namespace pellora
