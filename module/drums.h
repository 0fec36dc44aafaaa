// Rolling digit drums. Three kinds are fitted in this cockpit:
//  - carry drums (counters): a drum stands on its digit and rolls to the next one only in the last
//    unit before its carry, like an odometer; the lowest drum turns continuously;
//  - animated digit drums (selectors, frequencies, settings): the drum moves a quarter digit per
//    frame toward its digit and takes the short way over the 9-0 seam;
//  - drums wound backwards (the drum-pointer altimeters, the Mach, TAS and SAT counters): a drum
//    showing digit n stands at (10 - n) mod 10 and rolls on to 9 - n while the value is in the
//    drum's roll zone, the last part of its digit; the lowest drum turns continuously.
#pragma once

#include "module/numbers.h"

namespace tarvenol {

// Position of the carry drum of weight `weight` (10, 100, 1000, 10000 ...) for the value v: the
// digit of that weight, rolling continuously from n to n + 1 over the last unit before the carry.
// A value that is no number (NaN, an infinity) stands the carry and units drums on 0; a value below
// zero turns them on backwards from 0 (-0.3 shows 9.7).
double carry_drum(double v, double weight);

// Position of the continuously turning units drum; a position past 9.999 shows 0.
double units_drum(double v);

// An animated digit drum with `positions` digits 0..positions-1; step() moves it one frame toward
// `target` and returns the position to draw. A target that is no digit of the drum (a nibble of 10
// to 15 from a BCD value that is not one, a negative setting) stops at the nearer end digit, so the
// drum never turns to a picture it does not have.
struct DigitDrum {
    double position = 0.0;
    double step(int target, int positions = 10);
};

// The digit and fraction of the backwards drum of weight `weight` (1, 10, 100 ... units): the value
// less its whole tens of that weight, in units of the weight, 0 up to 10. A value that has no such
// digit (NaN, an infinity, a negative, one too large to split) stands the drum on 0.
double drum_quantity(double v, double weight);

// A backwards drum: stands at (10 - n) mod 10 for its digit n and rolls linearly from 10 - n to
// 9 - n while the fraction of its digit is above `roll_zone`.
double rolling_drum(double v, double weight, double roll_zone);

// The continuously turning lowest backwards drum: 10 minus its digit and fraction.
double turning_drum(double v, double weight);

}  // namespace tarvenol
