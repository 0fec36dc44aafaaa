// What the three navigation indicators share: bearings turned into needle angles, headings brought
// round the compass, and the DME distance drums.
#pragma once

#include <cmath>

#include "module/drums.h"
#include "module/numbers.h"

namespace tarvenol::nav_ind {

constexpr double kFullCircle = 360.0;
constexpr double kNeedleOffset = 90.0;  // a needle's zero is a quarter turn from the card's north
constexpr int kDmePictures = 10;
constexpr double kDmeDrumTop = 9.9999;  // a drum past this shows 0

// Any angle onto 0 <= a < 360; an angle the simulator gives as NaN or infinite reads 0.
inline double round_compass(double a) {
    if (!std::isfinite(a)) return 0.0;
    a = std::fmod(a, kFullCircle);
    if (a < 0.0) a += kFullCircle;
    return a < kFullCircle ? a : 0.0;
}

// A bearing shown by a needle: bearing - 90 round the compass.
inline double needle_angle(double bearing) { return round_compass(bearing - kNeedleOffset); }

// The drum of weight `weight` (1 units, 10, 100 ...) of a distance; the lowest drum turns
// continuously, the others roll over on the carry.
inline double distance_drum(double v, double weight) { return weight == 1.0 ? units_drum(v) : carry_drum(v, weight); }

// The digit picture a DME drum at position p shows.
inline double dme_picture(double p) {
    if (!(p <= kDmeDrumTop)) return 0.0;
    return (kDmePictures - truncate<int>(std::floor(p))) % kDmePictures;
}

}  // namespace tarvenol::nav_ind
