#pragma once

#include <QString>

#include <optional>

namespace pellora {

// Filled cells of the five-cell gauge: 3 when unknown, otherwise the level clamped to 1...5.
int filledCells(std::optional<qint64> level);

// "energy [███░░]  3/5"
QString meterText(std::optional<qint64> level);

} // namespace pellora
