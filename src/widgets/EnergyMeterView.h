#pragma once

#include "presentation/StatusRendering.h"

#include <QWidget>

#include <optional>

namespace pellora {

/// A role's energy as a five-cell text gauge ("energy [███░░]  3/5") in a pill-shaped badge, painted with
/// a style pack's palette. It keeps its natural size; hosts place it, they do not stretch it.
class EnergyMeterView final : public QWidget {
    Q_OBJECT

public:
    explicit EnergyMeterView(QWidget* parent = nullptr);

    void setLevel(std::optional<qint64> level);

    void setStylePalette(const StylePalette& palette);

    // The gauge text as currently shown.
    QString text() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    std::optional<qint64> m_level;
    StylePalette m_palette;
};

} // namespace pellora
