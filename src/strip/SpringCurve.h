#pragma once

#include <QEasingCurve>

namespace pellora {

// An underdamped spring (response 0.38 s, damping fraction 0.82), sampled as an easing curve
// over springDurationMs, by which time it has settled to within 0.1 % of its target.
inline constexpr int springDurationMs = 560;

// Position of the spring at `seconds` after release, from 0 towards 1 (it overshoots slightly).
double springPosition(double seconds);

QEasingCurve springEasingCurve();

} // namespace pellora
