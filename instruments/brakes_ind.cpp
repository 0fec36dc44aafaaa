// tarvenol brakes_ind_t418: the brake pressure indicator — one needle per wheel brake, the
// parking-brake accumulator that holds the brakes without yellow pressure, the brake overheat
// warning for the master warning panels and the sound of the brakes on the runway.
#include "module/gauge.h"
#include "module/indicators.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

// Needles: 0..32000; the accumulator reads full, the needles drop 2000 a tick without it.
constexpr u32 kNeedleMin = 0;
constexpr u32 kNeedleMax = 32000;
constexpr u32 kAccumulatorPressure = kNeedleMax;
constexpr u32 kNeedleFallStep = 2000;

// Overheat: braking hard for 800 ticks at 40 kt or more latches the warning for 10000 ticks.
constexpr double kOverheatMinIas = 40.0;
constexpr u32 kHardBraking = 16000;
constexpr i32 kOverheatTicks = 800;
constexpr i32 kOverheatLatchTicks = 10000;
constexpr u8 kHeatIdle = 0;
constexpr u8 kHeatTiming = 1;
constexpr u8 kHeatLatched = 2;

// The brakes are heard from 15 kt with more than 1000 on a needle.
constexpr double kSoundMinIas = 15.0;
constexpr u32 kSoundMinPressure = 1000;

#define BRAKES_STATE(X)              \
    X(u32, brake_press_a, 0, within(kNeedleMin, kNeedleMax)) \
    X(u32, brake_press_b, 0, within(kNeedleMin, kNeedleMax)) \
    X(u8, park_brake_held, 0, kFlag)                         \
    X(u8, brake_heat_state, kHeatIdle, within(kHeatIdle, kHeatLatched)) \
    X(i32, brake_heat_deadline, 0)
TARVENOL_PRIVATE_STATE(BRAKES_STATE)

// Elements.
// One dial, the two brake needles turning about its pivot.
constexpr int kFace = 152;
constexpr Box kDial = centred(kFace / 2, kFace / 2 + 12, 128, 128);
Background background{panel("BRAKES", kFace + 10)};
Needle needle_a{"brake_press_a_needle", [] { return clamp_back(st.brake_press_a, kNeedleMin, kNeedleMax); },
                dial("L", kNeedleMin, kNeedleMax, kDial).styled(kLetteredNeedle)};
Needle needle_b{"brake_press_b_needle", [] { return clamp_back(st.brake_press_b, kNeedleMin, kNeedleMax); },
                dial("R", kNeedleMin, kNeedleMax, kDial).styled(kLetteredNeedle)};

bool released(double parking_brake) { return is_off(parking_brake); }
bool set(double parking_brake) { return parking_brake > 0.0; }

void tick() {
    auto& s = shared;
    const bool yellow = s.hyd_yellow_status != 0;

    // 1. The parking brake holds only when it was set with yellow pressure; without it the
    // simulator's parking brake is let off.
    const double parking_brake = read(sim::parking_brake);
    if (released(parking_brake)) st.park_brake_held = 0;
    if (yellow && set(parking_brake)) st.park_brake_held = 1;
    if (!yellow && st.park_brake_held == 0 && set(parking_brake)) send(key::parking_brake_toggle);

    // 2. Needles.
    const double brake_a = read(sim::brake_left);
    const double brake_b = read(sim::brake_right);
    if (s.ac_bus_1_powered == 1) {
        if (yellow) {
            st.brake_press_a = truncate<u32>(brake_a);
            st.brake_press_b = truncate<u32>(brake_b);
        } else if (st.park_brake_held == 1) {
            st.brake_press_a = kAccumulatorPressure;
            st.brake_press_b = kAccumulatorPressure;
        } else {
            fall_to(st.brake_press_a, kNeedleMin, kNeedleFallStep);
            fall_to(st.brake_press_b, kNeedleMin, kNeedleFallStep);
        }
    }

    // 3. Overheat warning, while rolling with the parking brake off.
    const double ias = read(sim::ias_kt);
    const bool hard = st.brake_press_a > kHardBraking || st.brake_press_b > kHardBraking;
    const bool none = st.brake_press_a == 0 && st.brake_press_b == 0;
    if (released(parking_brake) && ias >= kOverheatMinIas) {
        if (st.brake_heat_state == kHeatIdle && hard) {
            st.brake_heat_deadline = deadline_in(kOverheatTicks);
            st.brake_heat_state = kHeatTiming;
        } else if (st.brake_heat_state == kHeatTiming && is_due(st.brake_heat_deadline)) {
            s.mw_brakes = 1;
            st.brake_heat_deadline = deadline_in(kOverheatLatchTicks);
            st.brake_heat_state = kHeatLatched;
        } else if (st.brake_heat_state == kHeatLatched && is_due(st.brake_heat_deadline)) {
            s.mw_brakes = 0;
            st.brake_heat_state = kHeatIdle;
        } else if (st.brake_heat_state != kHeatLatched && none) {
            s.mw_brakes = 0;
            st.brake_heat_state = kHeatIdle;
        }
    } else {
        s.mw_brakes = 0;
        st.brake_heat_state = kHeatIdle;
    }

    // 4. Brake sound.
    const bool heard = released(parking_brake) && ias >= kSoundMinIas &&
                       (st.brake_press_a > kSoundMinPressure || st.brake_press_b > kSoundMinPressure);
    if (heard)
        snd::play_loop(snd::BRAKESSND);
    else
        snd::stop(snd::BRAKESSND);
}

}  // namespace

TARVENOL_GAUGE(brakes_ind, "tarvenol brakes_ind_t418", 76, &tick_callback<&tick>, no_areas, st_table,
               &reset_private_state, background, needle_a, needle_b);
