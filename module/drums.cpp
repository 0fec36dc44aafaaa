#include "module/drums.h"

#include <cmath>

namespace tarvenol {

namespace {
constexpr double kDigits = 10.0;
constexpr double kUnitsDrumTop = 9.999;
constexpr double kSnap = 0.2;       // within this of its digit a drum settles on it
constexpr double kFrameStep = 0.25;  // a quarter digit per frame
constexpr double kSeamApproach = 0.1;  // how close to the seam a rolling drum comes (9.9)
constexpr double kSeamZone = 1.1;      // a drum bound for 0 standing above N - 1.1 (8.9) rolls forward
}  // namespace

double carry_drum(double v, double weight) {
    if (!std::isfinite(v)) return 0.0;  // a counter past all its digits stands on 0
    const double span = weight * kDigits;
    // Exact for any size of counter; a counter within the drum's span is its own remainder.
    double x = (v >= 0.0 && v < span ? v : std::fmod(v, span)) / weight;
    if (x < 0.0) x += kDigits;  // a counter run back below zero turns the drums on backwards
    const double n = std::trunc(x);
    const double rest = 1.0 - 1.0 / weight;  // the fraction of a digit the drum stands still
    if (x - n <= rest) return n;
    return n + (x - n - rest) * weight;
}

double units_drum(double v) {
    if (!std::isfinite(v)) return 0.0;
    double u = v >= 0.0 && v < kDigits ? v : std::fmod(v, kDigits);
    if (u < 0.0) u += kDigits;
    return u > kUnitsDrumTop ? 0.0 : u;
}

double DigitDrum::step(int target, int positions) {
    const int last = positions - 1;
    const double t = target < 0 ? 0 : target > last ? last : target;
    const double top = last;
    double& p = position;
    if (!(p == p)) p = 0.0;  // a drum never gets lost
    if (t - kSnap < p && p < t + kSnap) {
        p = t;
    } else if (p < t - kSnap) {
        if (t == top && p < kSnap)
            p = positions - kSeamApproach;  // roll back over the seam to the top digit
        else
            p += kFrameStep;
    } else if (p > t + kSnap) {
        if (t == 0.0 && p > positions - kSeamZone) {
            // Forward over the seam to 0.
            if (p < positions - kSeamApproach)
                p += kFrameStep;
            else
                p = 0.0;
        } else {
            p -= kFrameStep;
        }
    }
    return p;
}

double drum_quantity(double v, double weight) {
    const double span = weight * kDigits;
    const double q = (v - span * std::trunc(v / span)) / weight;
    return q >= 0.0 && q < kDigits ? q : 0.0;
}

double rolling_drum(double v, double weight, double roll_zone) {
    const double q = drum_quantity(v, weight);
    const double n = std::trunc(q);
    const double fraction = q - n;
    if (fraction > roll_zone) return (kDigits - n) - (fraction - roll_zone) / (1.0 - roll_zone);
    return n == 0.0 ? 0.0 : kDigits - n;
}

double turning_drum(double v, double weight) { return kDigits - drum_quantity(v, weight); }

}  // namespace tarvenol
