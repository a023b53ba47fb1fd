#pragma once

#include <QPushButton>

namespace pellora {

/// A text button drawn as a small translucent white tag with a thin outline and monospaced text.
/// Pressing only lowers the tag's opacity.
class PastelButton final : public QPushButton {
    Q_OBJECT

public:
    explicit PastelButton(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The white fill's opacity: lower while the button is held down.
    double fillOpacity() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace pellora
