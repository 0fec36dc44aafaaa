// Counter drums of the air-data instruments (Mach, TAS and SAT counters). A drum showing digit n
// stands at (10 - n) mod 10; while the counted value lies in the last part of that digit's span (its
// roll zone) the drum rolls on linearly from 10 - n to 9 - n so that the next digit comes in. The
// lowest drum has no resting positions: it stands at 10 minus its digit's fraction of 10.
#pragma once

#include <cmath>

#include "module/numbers.h"

namespace tarvenol::air {

constexpr double kDrumDigits = 10.0;

// The digit-and-fraction of the drum of weight `weight` (1, 10, 100 ...): the value less its whole
// tens of that weight, in units of the weight, 0 up to 10. A value that has no such digit (NaN, an
// infinity, a negative or one too large to split) stands the drum on 0.
inline double drum_quantity(double v, double weight) {
    const double span = weight * kDrumDigits;
    const double q = (v - span * std::trunc(v / span)) / weight;
    return q >= 0.0 && q < kDrumDigits ? q : 0.0;
}

// A digit drum that rolls to the next digit while the fraction of its digit is above `roll_zone`.
inline double rolling_drum(double v, double weight, double roll_zone) {
    const double q = drum_quantity(v, weight);
    const double n = std::trunc(q);
    const double fraction = q - n;
    if (fraction > roll_zone) return (kDrumDigits - n) - (fraction - roll_zone) / (1.0 - roll_zone);
    return n == 0.0 ? 0.0 : kDrumDigits - n;
}

// The continuously turning units drum.
inline double turning_drum(double v) { return kDrumDigits - drum_quantity(v, 1.0); }

}  // namespace tarvenol::air
