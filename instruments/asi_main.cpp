// tarvenol asi_main_t418: the main airspeed indicator — IAS needle 0-450 kt, Mach counter, four
// speed bugs set by their knobs (they push one another and never cross), the airspeed-hold reference
// and the maximum-speed pointer, four OFF flags, and the reference push button that sets the bugs
// (and the autothrottle speed) to the take-off or approach speeds worked out from the gross weight.
#include <array>
#include <cstdint>

#include "module/drums.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

// Failure flags of the simulator.
constexpr i32 kFailed = 1;
constexpr i32 kServiceable = 0;
constexpr double kTakeoffInputAbove = 0.5;
constexpr double kMaxSpeedScale = 128.0;

// Reference speeds, knots, from the gross weight in hundreds of kilograms.
constexpr double kWeightPerTonne = 10.0;
constexpr double kRefKnotsPerTonne = 0.542;
constexpr double kRefKnotsAtZeroWeight = 63.75;
constexpr i32 kApproachSpeedIncrement = 10;    // autothrottle speed on approach: ref + 10
constexpr i32 kFlapStep2Margin = 10;           // flap units below step 2 still count as step 2
constexpr i32 kCleanTakeoffIncrement = 15;     // take-off speed with less flap
constexpr i32 kTakeoffMarker1Below = 7;
constexpr i32 kTakeoffMarker2Above = 15;
constexpr i32 kApproachMarker2Above = 25;
constexpr i32 kMarker3Above = 55;
constexpr i32 kMarker4Above = 85;

// Reference request of the push button.
constexpr u8 kRequestNone = 0;
constexpr u8 kRequestTakeoff = 1;
constexpr u8 kRequestApproach = 2;
constexpr i32 kRefMessageTicks = 36;

// IAS needle and Mach counter.
constexpr double kNeedleStep = 10.0;
constexpr u32 kMarkerScaleMin = 0;
constexpr u32 kMarkerScaleMax = 450;
constexpr double kScaleMin = kMarkerScaleMin;
constexpr double kScaleMax = kMarkerScaleMax;
constexpr double kMachLiveAbove = 3000.0;
constexpr double kMachCounterDivisor = 20.0;
constexpr double kMachCounterOffset = 5.0;
constexpr double kMachCounterDead = 150.0;
constexpr double kHundredsRollZone = 0.99;
constexpr double kTensRollZone = 0.9;
constexpr double kUnitsDrumTop = 9.999;       // past this the units drum shows kUnitsDrumWrapTop
constexpr double kUnitsDrumBottom = 0.001;    // at or below this it shows kUnitsDrumWrapBottom
constexpr double kUnitsDrumWrapTop = 0.002;
constexpr double kUnitsDrumWrapBottom = 9.998;

// Speed bugs: each one's range and the least gap to the bug above it.
struct MarkerRange {
    u32 low;
    u32 high;
};
constexpr std::array<MarkerRange, 4> kMarkerRange{{{60, 439}, {61, 440}, {66, 445}, {71, 450}}};
constexpr std::array<u32, 3> kMarkerGap{1, 5, 5};

#define ASI_MAIN_STATE(X)             \
    X(f64, asi_needle, 0.0)           \
    X(u32, asi_marker_1, 120)         \
    X(u32, asi_marker_2, 150)         \
    X(u32, asi_marker_3, 185)         \
    X(u32, asi_marker_4, 215)         \
    X(u32, asi_hold_marker, 0)        \
    X(u32, asi_limit_marker, 350)     \
    X(u8, ref_base, 0)                \
    X(u8, ref_base_plus_10, 0)        \
    X(u8, ref_to_1, 0)                \
    X(u8, ref_to_2, 0)                \
    X(u8, ref_to_3, 0)                \
    X(u8, ref_to_4, 0)                \
    X(u8, ref_to_speed, 0)            \
    X(u8, asi_ref_request, kRequestNone) \
    X(u8, asi_ref_applied, 0)         \
    X(i32, asi_ref_deadline, 0)
TARVENOL_PRIVATE_STATE(ASI_MAIN_STATE)

// A reference speed in its byte: sums beyond a byte's range stop at its ends.
u8 knots(i32 v) {
    if (v < 0) return 0;
    if (v > UINT8_MAX) return UINT8_MAX;
    return static_cast<u8>(v);
}

double mach_units_drum() {
    const double p = turning_drum(shared.asi_speed_value, 1.0);
    if (p > kUnitsDrumTop) return kUnitsDrumWrapTop;
    if (p <= kUnitsDrumBottom) return kUnitsDrumWrapBottom;
    return p;
}

// One dial: the speed bugs on its rim, the needle over them, the speed drums in a window under
// the pivot.
constexpr Box kDial = centred(184, 176, 340, 340);
constexpr int kDrumTop = 280, kDrumW = 22, kDrumH = 32, kDrumLeft = 184 - 3 * kDrumW / 2;
constexpr Look speed_bug(const char* legend) { return bug(legend, kMarkerScaleMin, kMarkerScaleMax, kDial); }

Background background;
MovingImage mach_100_drum{"mach_100_drum", nullptr,
                          [] { return rolling_drum(shared.asi_speed_value, 100.0, kHundredsRollZone); },
                          drum(kReversedDigits, at(kDrumLeft, kDrumTop, kDrumW, kDrumH))};
MovingImage mach_10_drum{"mach_10_drum", nullptr,
                         [] { return rolling_drum(shared.asi_speed_value, 10.0, kTensRollZone); },
                         drum(kReversedDigits, at(kDrumLeft + kDrumW, kDrumTop, kDrumW, kDrumH))};
MovingImage mach_1_drum{"mach_1_drum", nullptr, &mach_units_drum, drum(kReversedDigits, at(kDrumLeft + 2 * kDrumW, kDrumTop, kDrumW, kDrumH))};
Needle limit_marker{"asi_limit_marker",
                    [] { return clamp_back(st.asi_limit_marker, kMarkerScaleMin, kMarkerScaleMax); },
                    speed_bug("LIMIT")};
Needle hold_marker{"asi_hold_marker",
                   [] { return clamp_back(st.asi_hold_marker, kMarkerScaleMin, kMarkerScaleMax); },
                   speed_bug("HOLD")};
Needle marker_1{"asi_marker_1", [] { return clamp_back(st.asi_marker_1, kMarkerScaleMin, kMarkerScaleMax); },
                speed_bug("1")};
Needle marker_2{"asi_marker_2", [] { return clamp_back(st.asi_marker_2, kMarkerScaleMin, kMarkerScaleMax); },
                speed_bug("2")};
Needle marker_3{"asi_marker_3", [] { return clamp_back(st.asi_marker_3, kMarkerScaleMin, kMarkerScaleMax); },
                speed_bug("3")};
Needle marker_4{"asi_marker_4", [] { return clamp_back(st.asi_marker_4, kMarkerScaleMin, kMarkerScaleMax); },
                speed_bug("4")};
Needle ias_needle{"asi_needle", [] { return clamp_back(st.asi_needle, kScaleMin, kScaleMax); },
                  dial("AIRSPEED", kScaleMin, kScaleMax, kDial).in("KNOTS")};
// The flags on the dial round the pivot; the reference speeds' confirmation beside the drums.
Lights<4> off_flags{std::array{flag("OFF", at(96, 168, 40, 18)), flag("OFF", at(232, 168, 40, 18)),
                               flag("OFF", at(164, 112, 40, 18)), flag("OFF", at(164, 232, 40, 18))},
                    "off_flag_1", "off_flag_2", "off_flag_3", "off_flag_4"};
Image takeoff_ref_image{"takeoff_ref_image", light(Tone::advisory, "T/O", at(110, 283, 36, 26))};
Image approach_ref_image{"approach_ref_image", light(Tone::advisory, "APP", at(222, 283, 36, 26))};

std::array<u32*, 4> markers() { return {&st.asi_marker_1, &st.asi_marker_2, &st.asi_marker_3, &st.asi_marker_4}; }

// Bug I one knot up; the bugs above it that it comes too close to go up with it.
template <std::size_t I>
void marker_up() {
    const auto m = markers();
    if (*m[I] >= kMarkerRange[I].high) return;
    ++*m[I];
    for (std::size_t j = I + 1; j < m.size(); ++j) {
        if (static_cast<std::int64_t>(*m[j]) - *m[j - 1] >= kMarkerGap[j - 1]) break;
        ++*m[j];
    }
}

// Bug I one knot down; the bugs below it that it comes too close to go down with it.
template <std::size_t I>
void marker_down() {
    const auto m = markers();
    if (*m[I] <= kMarkerRange[I].low) return;
    --*m[I];
    for (std::size_t j = I; j-- > 0;) {
        if (static_cast<std::int64_t>(*m[j + 1]) - *m[j] >= kMarkerGap[j]) break;
        --*m[j];
    }
}

// The push button asks for the take-off speeds on the ground or in the take-off phase, else for
// the approach speeds.
void ref_button() {
    const bool takeoff = is_on(read(sim::on_ground)) || read(sim::eng1_throttle_lever) > kTakeoffInputAbove ||
                         read(sim::eng2_throttle_lever) > kTakeoffInputAbove;
    st.asi_ref_request = takeoff ? kRequestTakeoff : kRequestApproach;
}

// Sets the bugs and, with the autothrottle off, its speed and the simulator's airspeed hold.
void apply_reference(u8 marker_1_knots, u8 autothrottle_knots, u8 marker_2_knots) {
    st.asi_marker_1 = marker_1_knots;
    if (shared.athr_mode == 0) {
        shared.ats_speed_sel = autothrottle_knots;
        send(key::ap_airspeed_ref, static_cast<u32>(shared.ats_speed_sel));
    }
    st.asi_marker_2 = marker_2_knots;
}

void tick() {
    auto& s = shared;

    // 1. Reference speeds.
    st.ref_base = truncate<u8>(s.gross_weight_100kg / kWeightPerTonne * kRefKnotsPerTonne + kRefKnotsAtZeroWeight);
    st.ref_base_plus_10 = knots(st.ref_base + kApproachSpeedIncrement);
    const double flap = read(sim::flap_pos);
    if (flap >= static_cast<double>(s.flap_step_2_raw - kFlapStep2Margin))
        st.ref_to_speed = st.ref_base;
    else
        st.ref_to_speed = knots(st.ref_base + kCleanTakeoffIncrement);
    st.ref_to_1 = knots(st.ref_to_speed - kTakeoffMarker1Below);
    st.ref_to_2 = knots(st.ref_base + kTakeoffMarker2Above);
    st.ref_to_3 = knots(st.ref_base + kMarker3Above);
    st.ref_to_4 = knots(st.ref_base + kMarker4Above);

    // 2. Air data.
    const double ias = read(sim::ias_kt);
    const double mach = read(sim::mach_x20480);
    const double hold_ref = read(sim::ap_airspeed_ref_kt);
    const double max_speed = read(sim::max_speed_kt128);
    const i32 failed = read(sim::fail_asi);
    st.asi_limit_marker = truncate<u32>(max_speed / kMaxSpeedScale);

    // 3. Needle, Mach counter value and hold bug while powered and serviceable.
    if (s.batt_bus_powered == 1 && failed != kFailed) {
        if (st.asi_needle < ias - kNeedleStep)
            st.asi_needle += kNeedleStep;
        else
            st.asi_needle = ias;
        s.asi_speed_value =
            mach > kMachLiveAbove ? mach / kMachCounterDivisor - kMachCounterOffset : kMachCounterDead;
        st.asi_hold_marker = truncate<u32>(hold_ref);
    } else if (st.asi_needle < kNeedleStep) {
        st.asi_needle = kScaleMin;
    } else {
        st.asi_needle -= kNeedleStep;
    }

    // 4. The Mach counter drums follow asi_speed_value in their element callbacks.

    // 5. OFF flags and the instrument fault.
    if (s.batt_bus_powered == 0) {
        for (Image& flag : off_flags.images) flag.show(true);
    } else if (failed == kFailed) {
        off_flags[0].show(true);
        off_flags[1].show(true);
        off_flags[2].show(true);
        s.mw_asi_fault = 1;
    } else {
        for (Image& flag : off_flags.images) flag.show(false);
    }
    if (failed == kServiceable) s.mw_asi_fault = 0;

    // 6. Reference request of the push button.
    if ((st.asi_ref_request == kRequestTakeoff || st.asi_ref_request == kRequestApproach) &&
        st.asi_ref_applied == 0) {
        if (st.asi_ref_request == kRequestTakeoff) {
            apply_reference(st.ref_to_1, st.ref_to_speed, st.ref_to_2);
            st.asi_marker_3 = st.ref_to_3;
            st.asi_marker_4 = st.ref_to_4;
        } else {
            apply_reference(st.ref_base, st.ref_base_plus_10, knots(st.ref_base + kApproachMarker2Above));
            st.asi_marker_3 = knots(st.ref_base + kMarker3Above);
            st.asi_marker_4 = knots(st.ref_base + kMarker4Above);
        }
        st.asi_ref_applied = 1;
        st.asi_ref_deadline = deadline_in(kRefMessageTicks);
    }
    if (st.asi_ref_applied == 1) {
        if (is_due(st.asi_ref_deadline)) {
            takeoff_ref_image.show(false);
            approach_ref_image.show(false);
            st.asi_ref_request = kRequestNone;
            st.asi_ref_applied = 0;
        } else {
            takeoff_ref_image.show(st.asi_ref_request == kRequestTakeoff);
            approach_ref_image.show(st.asi_ref_request == kRequestApproach);
        }
    }
}

constexpr std::array areas{
    area<&marker_down<0>>("marker_1.down", Cursor::down, Repeat::while_held),
    area<&marker_up<0>>("marker_1.up", Cursor::up, Repeat::while_held),
    area<&marker_down<1>>("marker_2.down", Cursor::down, Repeat::while_held),
    area<&marker_up<1>>("marker_2.up", Cursor::up, Repeat::while_held),
    area<&marker_down<2>>("marker_3.down", Cursor::down, Repeat::while_held),
    area<&marker_up<2>>("marker_3.up", Cursor::up, Repeat::while_held),
    area<&marker_down<3>>("marker_4.down", Cursor::down, Repeat::while_held),
    area<&marker_up<3>>("marker_4.up", Cursor::up, Repeat::while_held),
    area<&ref_button>("ref_button", Cursor::hand),
};

}  // namespace

TARVENOL_GAUGE(asi_main, "tarvenol asi_main_t418", 184, &tick_callback<&tick>, areas, st_table, &reset_private_state,
               background, mach_100_drum, mach_10_drum, mach_1_drum, limit_marker, hold_marker, marker_1, marker_2,
               marker_3, marker_4, ias_needle, off_flags, takeoff_ref_image, approach_ref_image);
