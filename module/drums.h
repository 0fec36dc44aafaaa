// Rolling digit drums. Two kinds are fitted in this cockpit:
//  - carry drums (counters): a drum stands on its digit and rolls to the next one only in the last
//    unit before its carry, like an odometer; the lowest drum turns continuously;
//  - animated digit drums (selectors, frequencies, settings): the drum moves a quarter digit per
//    frame toward its digit and takes the short way over the 9-0 seam.
#pragma once

#include "module/numbers.h"

namespace tarvenol {

// Position of the carry drum of weight `weight` (10, 100, 1000, 10000 ...) for the value v: the
// digit of that weight, rolling continuously from n to n + 1 over the last unit before the carry.
double carry_drum(double v, double weight);

// Position of the continuously turning units drum; a position past 9.999 shows 0.
double units_drum(double v);

// An animated digit drum with `positions` digits 0..positions-1; step() moves it one frame toward
// `target` and returns the position to draw.
struct DigitDrum {
    double position = 0.0;
    double step(int target, int positions = 10);
};

}  // namespace tarvenol
