#include "EnergyMeter.h"

#include <algorithm>

namespace pellora {

int filledCells(std::optional<qint64> level)
{
    if (!level)
        return 3;
    return int(std::clamp<qint64>(*level, 1, 5));
}

QString meterText(std::optional<qint64> level)
{
    const int filled = filledCells(level);
    QString bar;
    for (int cell = 1; cell <= 5; ++cell)
        bar += cell <= filled ? QChar(0x2588) : QChar(0x2591);
    return QStringLiteral("energy [") + bar + QStringLiteral("]  ") + QString::number(filled) + QStringLiteral("/5");
}

} // namespace pellora
