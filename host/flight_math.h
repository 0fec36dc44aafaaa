// Units and angles shared by the flight model, its autopilot and the navigation world.
#pragma once

#include <cmath>

namespace tarvenol::host::flight_math {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegPerRad = 180.0 / kPi;
constexpr double kFeetPerMetre = 3.28084;
constexpr double kKnotsPerMps = 1.0 / 0.514444;
constexpr double kMetresPerNm = 1852.0;

// An angle onto -180 < a <= 180 and onto 0 <= a < 360, degrees.
inline double wrap180(double a) {
    a = std::fmod(a, 360.0);
    if (a > 180.0) a -= 360.0;
    if (a <= -180.0) a += 360.0;
    return a;
}
inline double wrap360(double a) {
    a = std::fmod(a, 360.0);
    return a < 0.0 ? a + 360.0 : a;
}

// A reading a script or the cockpit left as NaN or infinite counts as 0.
inline double finite_or_zero(double v) { return std::isfinite(v) ? v : 0.0; }

}  // namespace tarvenol::host::flight_math
