// Digits of the codes the simulator reports in binary-coded decimal (ADF frequency, transponder
// code), brought onto the drums they are shown on.
#pragma once

#include <algorithm>

#include "module/numbers.h"

namespace tarvenol {

constexpr int kDecimalTop = 9;   // a decimal drum's top digit
constexpr int kOctalTop = 7;     // a transponder digit's top
constexpr int kBcdCarry = 16;    // one BCD digit place above the next
constexpr int kNibbleBits = 4;
constexpr i32 kNibbleMask = 0xF;

// BCD digit `place` (0 units, 1 tens ...) of v.
constexpr int nibble(i32 v, int place) { return (v >> (kNibbleBits * place)) & kNibbleMask; }

// A digit for a drum of digits 0..top: a value off the drum stands on its nearest end.
constexpr u8 drum_digit(int digit, int top) { return static_cast<u8>(std::clamp(digit, 0, top)); }

}  // namespace tarvenol
