#include "SpringCurve.h"

#include <cmath>
#include <numbers>

namespace pellora {
namespace {

constexpr double response = 0.38;
constexpr double damping = 0.82;

double eased(qreal progress)
{
    if (progress >= 1.0)
        return 1.0; // end exactly on the target
    return springPosition(progress * springDurationMs / 1000.0);
}

} // namespace

double springPosition(double seconds)
{
    const double omega = 2 * std::numbers::pi / response;
    const double decay = damping * omega;
    const double omegaDamped = omega * std::sqrt(1 - damping * damping);
    return 1 - std::exp(-decay * seconds) *
                   (std::cos(omegaDamped * seconds) + decay / omegaDamped * std::sin(omegaDamped * seconds));
}

QEasingCurve springEasingCurve()
{
    QEasingCurve curve;
    curve.setCustomType(&eased);
    return curve;
}

} // namespace pellora
