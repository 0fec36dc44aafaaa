// tarvenol yaw_t418: the two yaw damper engage levers and the two PITCH TRIM switches. Its tick
// engages or drops the yaw dampers by their power and hydraulics (telling the simulator every
// tick), holds the elevator trim where it was when the pitch trim loses its power or hydraulics,
// protects the stabiliser against trim beyond its angles, and asks for the WROOF warning when the
// trim angle runs away.
#include "hydraulics/hydraulics.h"
#include "module/controls.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

// The yaw dampers trip in clean configuration without a rudder travel limiter.
constexpr double kFlapsOut = 1.0;

// Stabiliser trim angle from the trim computer's protection angle (its own value of pi), and the
// trim commands that hold the angle within its protection limits.
constexpr double kHalfTurnDegrees = 180.0;
constexpr double kTrimComputerPi = 3.14116;
constexpr double kNoseDownLimitDeg = 12.0;
constexpr double kNoseUpLimitDeg = -3.0;
constexpr i32 kNoseDownLimitTrim = 10091;
constexpr i32 kNoseUpLimitTrim = -2523;

// WROOF: the trim angle sampled every second; a change beyond the limit between two samples is a
// runaway.
constexpr i32 kSamplePeriodTicks = kTicksPerSecond;
constexpr double kRunawayFlapsOutDeg = 4.5;
constexpr double kRunawayCleanDeg = 2.5;

// The sampler's phases: (3, 3) before the first sample, then (0, 0) A, (1, 0) B, (1, 1) A, (2, 0) B.
constexpr u8 kFirstSample = 3;

#define YAW_STATE(X)                         \
    X(u8, trim_capture_latch, 0)             \
    X(i32, trim_captured, 0)                 \
    X(f64, wroof_sample_a, 0.0)              \
    X(f64, wroof_sample_b, 0.0)              \
    X(u8, wroof_phase_1, kFirstSample)       \
    X(u8, wroof_phase_2, kFirstSample)       \
    X(f64, wroof_sample_deadline, 0.0)
TARVENOL_PRIVATE_STATE(YAW_STATE)

Background background{panel("YAW DAMPER / PITCH TRIM")};
SwitchImages<2> yaw_damper_1{lever("YAW 1", {}, "OFF|ENG"), "yaw_damper_1.off", "yaw_damper_1.engaged"};
SwitchImages<2> yaw_damper_2{lever("YAW 2", {}, "OFF|ENG"), "yaw_damper_2.off", "yaw_damper_2.engaged"};
SwitchImages<2> pitch_trim_1{lever("TRIM 1", {}, "OFF|ON"), "pitch_trim_1_sw.off", "pitch_trim_1_sw.on"};
SwitchImages<2> pitch_trim_2{lever("TRIM 2", {}, "OFF|ON"), "pitch_trim_2_sw.off", "pitch_trim_2_sw.on"};

// 4. Yaw dampers: dropped by a clean-configuration trip or a loss of their power or hydraulics;
// the simulator's yaw damper is told every tick.
void yaw_dampers(double flaps) {
    auto& s = shared;
    const bool batt = s.batt_bus_powered == 1;
    const bool dc = s.dc_bus_powered == 1;
    const bool hydraulics = hyd::blue_or_yellow_pressurised();
    auto engaged = [] { return shared.yaw_damper_1_engaged == 1 || shared.yaw_damper_2_engaged == 1; };

    s.yaw_damper_count = static_cast<u8>(s.yaw_damper_1_engaged + s.yaw_damper_2_engaged);
    if (flaps < kFlapsOut && s.rudder_travel_active == 0 && engaged()) {
        s.yaw_damper_1_engaged = s.yaw_damper_2_engaged = 0;
        s.mw_yaw_damper_fault_1 = 1;
    }
    if (engaged() && (!batt || !hydraulics)) {
        s.yaw_damper_1_engaged = 0;
        s.mw_yaw_damper_fault_1 = 1;
    }
    if (engaged() && (!dc || !hydraulics)) {
        s.yaw_damper_2_engaged = 0;
        s.mw_yaw_damper_fault_1 = 1;
    }
    if (!engaged() && batt && dc && hydraulics) s.mw_yaw_damper_fault_1 = 1;

    if ((s.yaw_damper_1_engaged == 1 && batt) || (s.yaw_damper_2_engaged == 1 && dc && hydraulics)) {
        send(key::yaw_damper_pair_engage);
        send(key::yaw_damper_on);
        s.mw_yaw_damper_fault_1 = 0;
    } else if (batt && dc && hydraulics && engaged()) {
        s.mw_yaw_damper_fault_1 = 0;
    } else {
        send(key::yaw_damper_pair_disengage);
        send(key::yaw_damper_off);
    }
}

// 4. Pitch trim: without the battery bus or any hydraulics the trim is held where it was (while
// the simulator's autopilot flies) and both PITCH TRIM switches drop.
void pitch_trim() {
    auto& s = shared;
    const bool batt = s.batt_bus_powered == 1;
    const bool hydraulics = hyd::any_system_pressurised();
    auto trim_on = [] { return shared.pitch_trim_1_sw == 1 || shared.pitch_trim_2_sw == 1; };

    s.pitch_trim_count = static_cast<u8>(s.pitch_trim_1_sw + s.pitch_trim_2_sw);
    const double trim = read(sim::elevator_trim);
    const bool autopilot = is_on(read(sim::ap_master));
    if (trim_on() && (!batt || !hydraulics)) {
        if (st.trim_capture_latch == 0) {
            if (autopilot) st.trim_captured = truncate<i32>(trim);
            st.trim_capture_latch = 1;
        }
        if (autopilot) send(key::elevator_trim_set, static_cast<u32>(st.trim_captured));
        s.pitch_trim_1_sw = s.pitch_trim_2_sw = 0;
        s.mw_yaw_damper_fault_2 = 1;
    }
    if (trim_on() && batt && hydraulics) st.trim_capture_latch = 0;
    if (!trim_on() && batt) s.mw_yaw_damper_fault_2 = 1;
    if (batt && hydraulics && trim_on()) s.mw_yaw_damper_fault_2 = 0;
}

// 5. Angle protection: trim commanded back to the limit every tick the angle is beyond it.
void angle_protection(double angle_deg) {
    if (angle_deg >= kNoseDownLimitDeg) send(key::elevator_trim_set, static_cast<u32>(kNoseDownLimitTrim));
    if (angle_deg <= kNoseUpLimitDeg) send(key::elevator_trim_set, static_cast<u32>(kNoseUpLimitTrim));
}

// 6. WROOF monitor: the newest sample against the one before, each second.
void wroof_monitor(double angle_deg, double flaps) {
    const double limit = flaps > 0.0 ? kRunawayFlapsOutDeg : kRunawayCleanDeg;
    auto evaluate = [limit](double change) { shared.wroof_req = change > limit || change < -limit; };
    auto next_sample = [] { st.wroof_sample_deadline = tick_counter() + kSamplePeriodTicks; };
    auto phase = [](u8 first, u8 second) { return st.wroof_phase_1 == first && st.wroof_phase_2 == second; };
    auto go_to = [](u8 first, u8 second) {
        st.wroof_phase_1 = first;
        st.wroof_phase_2 = second;
    };
    const bool due = tick_counter() >= st.wroof_sample_deadline;

    if (phase(kFirstSample, kFirstSample)) {
        st.wroof_sample_a = st.wroof_sample_b = angle_deg;
        go_to(0, 0);
    } else if (phase(0, 0)) {
        st.wroof_sample_a = angle_deg;
        next_sample();
        go_to(1, 0);
        evaluate(st.wroof_sample_a - st.wroof_sample_b);
    } else if (phase(1, 0) && due) {
        st.wroof_sample_b = angle_deg;
        next_sample();
        go_to(1, 1);
        evaluate(st.wroof_sample_b - st.wroof_sample_a);
    } else if (phase(1, 1) && due) {
        st.wroof_sample_a = angle_deg;
        next_sample();
        go_to(2, 0);
        evaluate(st.wroof_sample_a - st.wroof_sample_b);
    } else if (phase(2, 0) && due) {
        st.wroof_sample_b = angle_deg;
        next_sample();
        go_to(0, 0);
        evaluate(st.wroof_sample_b - st.wroof_sample_a);
    }
}

void tick() {
    auto& s = shared;
    const double flaps = read(sim::flap_handle);
    yaw_dampers(flaps);
    pitch_trim();
    s.trim_angle_deg = read(sim::protection_angle_rad) * kHalfTurnDegrees / kTrimComputerPi;
    angle_protection(s.trim_angle_deg);
    wroof_monitor(s.trim_angle_deg, flaps);

    yaw_damper_1.show(s.yaw_damper_1_engaged);
    yaw_damper_2.show(s.yaw_damper_2_engaged);
    pitch_trim_1.show(s.pitch_trim_1_sw);
    pitch_trim_2.show(s.pitch_trim_2_sw);
}

constexpr std::array areas{
    switch_area<&SharedState::yaw_damper_1_engaged, 1>("yaw_damper_1.engaged", Cursor::up),
    switch_area<&SharedState::yaw_damper_1_engaged, 0>("yaw_damper_1.off", Cursor::down),
    switch_area<&SharedState::yaw_damper_2_engaged, 1>("yaw_damper_2.engaged", Cursor::up),
    switch_area<&SharedState::yaw_damper_2_engaged, 0>("yaw_damper_2.off", Cursor::down),
    switch_area<&SharedState::pitch_trim_1_sw, 1>("pitch_trim_1.on", Cursor::up),
    switch_area<&SharedState::pitch_trim_1_sw, 0>("pitch_trim_1.off", Cursor::down),
    switch_area<&SharedState::pitch_trim_2_sw, 1>("pitch_trim_2.on", Cursor::up),
    switch_area<&SharedState::pitch_trim_2_sw, 0>("pitch_trim_2.off", Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(yaw, "tarvenol yaw_t418", 90, &tick_callback<&tick>, areas, st_table, &reset_private_state,
               background, yaw_damper_1, yaw_damper_2, pitch_trim_1, pitch_trim_2);
