// SPDX-License-Identifier: GPL-3.0-or-later
#include "alert.h"

#include <cfenv>
#include <cmath>

namespace Alert {

std::optional<qint16> divisorFor(double frequency)
{
    if (frequency == 0.0 || !std::isfinite(frequency))
        return std::nullopt;
    const double quotient = kDividend / frequency;
    // std::nearbyint rounds half to even in the default rounding mode.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(quotient);
    std::fesetround(saved);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

} // namespace Alert
