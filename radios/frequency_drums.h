// The frequency windows of the VHF control heads. The simulator gives a tuned frequency in its
// four-digit binary-coded-decimal form with the leading 1 implied (0x1095 is 110.95 MHz, 0x1802
// is 118.025 MHz); a window shows it on five rolling drums: the leading 1, the tens and units of
// the megahertz, the tenths, and a hundredths drum that reads 00, 25, 50 or 75 kHz.
#pragma once

#include <cstddef>
#include <cstdint>

#include "module/drums.h"
#include "module/gauge.h"

namespace tarvenol::radio {

constexpr int kDigitPositions = 10;
constexpr int kHundredthsPositions = 4;  // 00, 25, 50, 75
constexpr const char* kHundredthsFaces = "00|25|50|75";
constexpr int kLeadingDigit = 1;         // every VHF frequency is 1xx MHz

// The last nibble of a frequency and the hundredths drum position it selects; any other nibble
// shows 00.
constexpr u32 kNibbleBits = 4;
constexpr u32 kNibbleMask = 0xF;
constexpr u32 kLast25 = 2, kLast50 = 5, kLast75 = 7;
constexpr int kShows00 = 0, kShows25 = 1, kShows50 = 2, kShows75 = 3;

// Nibble `index` of a BCD value, counted from the last (0) to the first (3).
constexpr int nibble(i32 bcd, u32 index) {
    return static_cast<int>((static_cast<u32>(bcd) >> (index * kNibbleBits)) & kNibbleMask);
}

struct FrequencyDigits {
    int tens = 0;        // first nibble
    int units = 0;       // second
    int tenths = 0;      // third
    int hundredths = 0;  // drum position 0..3 from the last nibble
};

constexpr FrequencyDigits split_frequency(i32 bcd) {
    int hundredths = kShows00;
    switch (static_cast<u32>(nibble(bcd, 0))) {
        case kLast25: hundredths = kShows25; break;
        case kLast50: hundredths = kShows50; break;
        case kLast75: hundredths = kShows75; break;
        default: break;
    }
    return {nibble(bcd, 3), nibble(bcd, 2), nibble(bcd, 1), hundredths};
}

// The digits one window turns to and its five drums.
struct FrequencyDrums {
    FrequencyDigits digits{};
    DigitDrum hundreds, tens, units, tenths, hundredths;
    void show(i32 bcd) { digits = split_frequency(bcd); }
};

// The element names of one window's drums, left to right.
struct FrequencyNames {
    const char* hundreds;
    const char* tens;
    const char* units;
    const char* tenths;
    const char* hundredths;
};

// The five drum elements of the window whose drums are D; each element moves its drum one frame
// when the simulator draws it.
template <FrequencyDrums& D>
struct FrequencyWindow {
    MovingImage hundreds, tens, units, tenths, hundredths;
    explicit FrequencyWindow(const FrequencyNames& n)
        : hundreds(n.hundreds, nullptr, [] { return D.hundreds.step(kLeadingDigit); }, drum()),
          tens(n.tens, nullptr, [] { return D.tens.step(D.digits.tens); }, drum()),
          units(n.units, nullptr, [] { return D.units.step(D.digits.units); }, drum()),
          tenths(n.tenths, nullptr, [] { return D.tenths.step(D.digits.tenths); }, drum()),
          hundredths(n.hundredths, nullptr,
                     [] { return D.hundredths.step(D.digits.hundredths, kHundredthsPositions); }, drum(kHundredthsFaces)) {}
    static constexpr std::size_t kLinkCount = 5;
    void append_links(ElementLink**& out) {
        for (MovingImage* m : {&hundreds, &tens, &units, &tenths, &hundredths}) *out++ = &m->link;
    }
};

}  // namespace tarvenol::radio
