// What the two drum-pointer altimeters share: the pointer that turns once per 1000 ft, the
// displayed altitude with its rules for negative altitudes, the altitude and barometric-setting
// drums, and the negative and below-10000-ft flags.
#pragma once

#include <cmath>
#include <cstddef>

#include "module/drums.h"
#include "module/gauge.h"

namespace tarvenol::alti {

constexpr double kFeetPerTurn = 1000.0;
constexpr double kPointerPerTurn = 100.0;  // the pointer's scale: 0 to 100 per 1000 ft
constexpr double kPointerLowest = -kPointerPerTurn;
constexpr double kFeetPerPointerUnit = kFeetPerTurn / kPointerPerTurn;

// The pointer: 0 to 100 per 1000 ft (negative below sea level).
inline double pointer(double feet) {
    return feet / kFeetPerPointerUnit - kPointerPerTurn * std::trunc(feet / kFeetPerTurn);
}

// What the drums show for an altitude: the altitude itself from 1 ft; below it the drums count
// back from 1000 ft (to -1000 ft) and then from 3000 ft (to -2000 ft); anything else shows 0.
constexpr double kShownFrom = 1.0;
constexpr double kFirstBandTop = -1.0, kFirstBandBottom = -1000.0, kFirstBandBase = 1000.0;
constexpr double kSecondBandBottom = -2000.0, kSecondBandBase = 3000.0;
inline double displayed_altitude(double feet) {
    if (feet >= kShownFrom) return feet;
    if (feet >= kFirstBandBottom && feet <= kFirstBandTop) return kFirstBandBase + feet;
    if (feet >= kSecondBandBottom && feet <= kFirstBandBottom) return kSecondBandBase + feet;
    return 0.0;
}

// Drum weights, feet.
constexpr double kTenThousands = 10000.0;
constexpr double kThousands = 1000.0;
constexpr double kHundreds = 100.0;
constexpr double kTens = 10.0;

// The negative flag and the below-10000-ft flag of a powered altimeter: at -1 ft or less the
// negative flag shows (the other keeps its state); from above -1 ft to below `below_flag_until`
// the below-10000-ft flag shows alone; higher up neither does.
constexpr double kNegativeAtOrBelow = -1.0;
inline void show_altitude_flags(double feet, double below_flag_until, Image& negative, Image& below_10000) {
    if (feet <= kNegativeAtOrBelow) {
        negative.show(true);
    } else if (feet > kNegativeAtOrBelow && feet < below_flag_until) {
        negative.show(false);
        below_10000.show(true);
    } else {
        negative.show(false);
        below_10000.show(false);
    }
}

// The barometric knobs wind a setting only while it is above the lowest / below the highest setting,
// hectopascals.
constexpr double kBaroLowestHpa = 739.0;
constexpr double kBaroHighestHpa = 1053.0;

// --- Barometric setting drums ---------------------------------------------------------------------
// A setting (hectopascals, or hundredths of an inch of mercury) on three animated digit drums and a
// continuous units drum that stands at the rest of the setting after its three upper digits.
constexpr double kSettingThousands = 1000.0;
constexpr double kSettingHundreds = 100.0;
constexpr double kSettingTens = 10.0;

struct BaroDrums {
    int thousands = 0;
    int hundreds = 0;
    int tens = 0;
    double units = 0.0;  // 0 up to 10
    DigitDrum thousands_drum, hundreds_drum, tens_drum;

    // New targets from a setting. A setting that is no number or below 0 has no digits to show:
    // its units drum stands on 0 (the digit drums stop at 0 themselves).
    void set(double setting) {
        thousands = truncate<int>(setting / kSettingThousands);
        double rest = setting - kSettingThousands * thousands;
        hundreds = truncate<int>(rest / kSettingHundreds);
        rest -= kSettingHundreds * hundreds;
        tens = truncate<int>(rest / kSettingTens);
        rest -= kSettingTens * tens;
        units = rest >= 0.0 && rest < kSettingTens ? rest : 0.0;
    }
};

struct BaroNames {
    const char* thousands;
    const char* hundreds;
    const char* tens;
    const char* units;
};

// One face for both altimeters (their gauges are as wide): the pointer over a 0-9 dial (hundreds of
// feet) turning about its centre; the altitude counter in one window in the upper half, the
// setting in hectopascals and in inches of mercury in two small windows side by side under the
// centre, each with its legend; the flags in the dial.
constexpr Box kFace = centred(191, 200, 340, 340);
constexpr int kCounterDrumW = 22, kCounterDrumH = 32, kCounterTop = 122;
constexpr int kBaroDrumW = 13, kBaroDrumH = 22, kBaroTop = 222;
constexpr int kHpaLeft = 131, kInHgLeft = 199;
// The counter's drum `i` of `n` (from the left), its window centred on the dial.
constexpr Box counter_drum(int i, int n) {
    return at(kFace.x + kFace.w / 2 - n * kCounterDrumW / 2 + i * kCounterDrumW, kCounterTop, kCounterDrumW, kCounterDrumH);
}
constexpr Box baro_drum(int left, int i) { return at(left + i * kBaroDrumW, kBaroTop, kBaroDrumW, kBaroDrumH); }
constexpr Box kNegativeFlag = at(147, 158, 44, 16);
constexpr Look counter(int i, int n) { return drum(kReversedDigits, counter_drum(i, n)); }

// The four drum elements of the setting whose drums are D, in a window from `left` under `legend`.
template <BaroDrums& D>
struct BaroWindow {
    MovingImage thousands, hundreds, tens, units;
    explicit BaroWindow(const BaroNames& n, int left, const char* legend)
        : thousands(n.thousands, nullptr, [] { return D.thousands_drum.step(D.thousands); }, titled(drum(baro_drum(left, 0)), legend)),
          hundreds(n.hundreds, nullptr, [] { return D.hundreds_drum.step(D.hundreds); }, drum(baro_drum(left, 1))),
          tens(n.tens, nullptr, [] { return D.tens_drum.step(D.tens); }, drum(baro_drum(left, 2))),
          units(n.units, nullptr, [] { return D.units; }, drum(baro_drum(left, 3))) {}
    static constexpr Look titled(Look l, const char* legend) {
        l.legend = legend;
        return l;
    }
    static constexpr std::size_t kLinkCount = 4;
    void append_links(ElementLink**& out) {
        for (MovingImage* m : {&thousands, &hundreds, &tens, &units}) *out++ = &m->link;
    }
};

// The pointer on its dial, its value brought back into -100..100 (the clamp is stored).
constexpr Look pointer_dial() {
    Look l = dial("ALT", 0.0, kPointerPerTurn, kFace).in("100 FT").round_dial();
    l.marks = "0|1|2|3|4|5|6|7|8|9";
    return l;
}
inline double pointer_value(double& stored) { return clamp_back(stored, kPointerLowest, kPointerPerTurn); }

}  // namespace tarvenol::alti
