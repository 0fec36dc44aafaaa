// Safe numbers: every conversion of a simulator FLOAT64 to an integer goes through truncate<>(),
// which truncates toward zero like the aircraft logic expects and gives NaN and out-of-range
// values a defined result (NaN reads 0, anything beyond the integer's range saturates).
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tarvenol {

using u8 = std::uint8_t;
using i8 = std::int8_t;
using u16 = std::uint16_t;
using i16 = std::int16_t;
using u32 = std::uint32_t;
using i32 = std::int32_t;
using f64 = double;

template <class Int>
constexpr Int truncate(double v) {
    using L = std::numeric_limits<Int>;
    if (v != v) return 0;  // NaN
    // Both bounds are exact doubles for every integer type up to 32 bits.
    if (v <= static_cast<double>(L::min())) return L::min();
    if (v >= static_cast<double>(L::max())) return L::max();
    return static_cast<Int>(v);
}

// Exact tests of a FLOAT64 flag against 1.0 or 0.0: both 32-bit halves compared, so 0.999, -0.0
// and NaN are neither on nor off.
constexpr bool is_exactly(double v, double flag) {
    return std::bit_cast<std::uint64_t>(v) == std::bit_cast<std::uint64_t>(flag);
}
constexpr bool is_on(double v) { return is_exactly(v, 1.0); }
constexpr bool is_off(double v) { return is_exactly(v, 0.0); }

// A value for a display that has no stops (a deviation bar): a number that is none (NaN, an
// infinity) shows as `rest`.
constexpr double shown_or(double v, double rest) { return v - v == 0.0 ? v : rest; }

// Clamp a displayed variable into lo..hi, write the clamp back and return it for the element.
template <class T>
constexpr double clamp_back(T& var, T lo, T hi) {
    if (!(var >= lo)) var = lo;  // also catches a NaN in a floating-point variable
    if (var > hi) var = hi;
    return static_cast<double>(var);
}

}  // namespace tarvenol
