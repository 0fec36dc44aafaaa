// Units as the aircraft's rules convert them. The rules turn metres into feet with 3.281 (not the
// exact 3.28084): readings, thresholds and the tests that pin them depend on that factor.
#pragma once

namespace tarvenol {

inline constexpr double kFeetPerMetre = 3.281;
inline constexpr double kPi = 3.14159265358979323846;

}  // namespace tarvenol
