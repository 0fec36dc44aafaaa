// What the altitude, heading, course and speed selectors share: the digits their drums show and
// the compass arithmetic of the heading and course knobs.
#pragma once

#include <cstdint>

#include "module/numbers.h"

namespace tarvenol::afs {

constexpr i32 kDigitBase = 10;
constexpr int kDrumPositions = 10;
// The hundreds drum of a heading carries only 0..3.
constexpr int kHeadingHundredsPositions = 4;
constexpr const char* kHeadingHundredsFaces = "0|1|2|3";

// The digit of weight `weight` (1, 10, 100 ...) of a non-negative selection.
constexpr u8 digit_of(i32 value, i32 weight) { return static_cast<u8>(value / weight % kDigitBase); }

constexpr i32 kDegreesInCircle = 360;
// A heading or course brought into 0..359 the way a compass card turns.
constexpr i32 wrap_degrees(std::int64_t degrees) {
    const std::int64_t r = degrees % kDegreesInCircle;
    return static_cast<i32>(r < 0 ? r + kDegreesInCircle : r);
}

}  // namespace tarvenol::afs
