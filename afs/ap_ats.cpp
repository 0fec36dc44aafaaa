// tarvenol ap_ats_t418: the autothrottle panel — the speed selector on its drums, the arm switch,
// the SPEED and N1 buttons and the logic behind them: SPEED through the simulator's airspeed hold,
// N1 moving both throttles towards the thrust rating computer's target a step at a time, the
// go-around that the GA rating starts, the retard in LAND dual and the autothrottle-off warning.
#include <algorithm>

#include "afs/control_laws.h"
#include "afs/modes.h"
#include "afs/selection.h"
#include "module/controls.h"
#include "module/drums.h"
#include "module/gauge.h"
#include "module/indicators.h"
#include "module/shared_state.h"
#include "module/units.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::afs;

// --- Figures -------------------------------------------------------------------------------------

constexpr i32 kSpeedMax = 400;
constexpr i32 kFineStep = 1;
constexpr i32 kCoarseStep = 10;

// Arm switch positions.
constexpr u8 kArmOn = 1;
constexpr u8 kArmOff = 2;
// SPEED mode.
constexpr u8 kSpeedEngaged = 1;
constexpr u8 kSpeedDisconnected = 2;
// N1 mode.
constexpr u8 kN1Engaged = 1;
constexpr u8 kN1DroppingOut = 2;

// Thrust ratings (trp_mode).
constexpr u8 kRatingTakeoff = 1;
constexpr u8 kRatingGoAround = 3;
constexpr u8 kRatingMct = 4;
constexpr u8 kRatingCruise = 6;
// The AC essential bus fed from its normal source.
constexpr u8 kAcEssNormal = 2;

constexpr double kArmedAboveN1 = 25.0;  // both engines above this arm the simulator's autothrottle
constexpr double kEngineOutN1 = 20.0;   // an engine at or below this drops N1 mode
constexpr double kThrottleMovedUnits = 2.0;
constexpr u16 kThrottleMemoryIdle = 65000;
constexpr double kGearDownReading = 1.0;  // N1 with GA needs the gear reading at least this
constexpr i32 kFlapMargin = 10;         // N1 with GA needs flaps within this of step 1

constexpr i32 kN1StepTicks = 18;
constexpr double kLeverHoldBelow = 0.73;  // no rating: levers up to this are held

// Go-around.
constexpr u32 kGoAroundAltitudeRefM = 60000;
constexpr double kDualToSingleAboveFt = 700.0;

// Retard in LAND dual.
constexpr double kRetardBelowFt = 100.0;
constexpr double kRetardLeverBelow = 0.6;
constexpr i32 kRetardStep = 50;
constexpr i32 kThrottleIdle = 0;

#define AP_ATS_STATE(X)                  \
    X(u8, ats_arm_retry, 0)              \
    X(u8, ats_ga_initialised, 0)         \
    X(u8, ats_warning_armed, 0)          \
    X(u16, ats_throttle_memory, 0)       \
    X(i32, ats_throttle_cmd_1, 0)        \
    X(i32, ats_throttle_cmd_2, 0)        \
    X(i32, ats_n1_step_deadline, 0)      \
    X(u8, ats_n1_step_armed, 0)          \
    X(u8, ats_hundreds_digit, 0, within(0, 9))         \
    X(u8, ats_tens_digit, 0, within(0, 9))             \
    X(u8, ats_units_digit, 0, within(0, 9))
TARVENOL_PRIVATE_STATE(AP_ATS_STATE)

DigitDrum hundreds_drum;
DigitDrum tens_drum;
DigitDrum units_drum_;

Background background{panel("AUTOTHROTTLE")};
MovingImage hundreds{"spd_hundreds_drum", nullptr, [] { return hundreds_drum.step(st.ats_hundreds_digit); }, drum()};
MovingImage tens{"spd_tens_drum", nullptr, [] { return tens_drum.step(st.ats_tens_digit); }, drum()};
MovingImage units{"spd_units_drum", nullptr, [] { return units_drum_.step(st.ats_units_digit); }, drum()};
Image speed_light{"speed_light", light(Tone::advisory, "SPEED")};
Image n1_light{"n1_light", light(Tone::advisory, "N1")};
SwitchImages<2> arm_switch{lever("A/THR"), "arm.off", "arm.on"};
Image fine_knob{"spd_fine", knob("SPD 1", {}, 0, kSpeedMax)};
Image coarse_knob{"spd_coarse", knob("SPD 10", {}, 0, kSpeedMax)};

void reset() {
    reset_private_state();
    hundreds_drum = DigitDrum{};
    tens_drum = DigitDrum{};
    units_drum_ = DigitDrum{};
}

bool airborne() { return is_off(read(sim::on_ground)); }
// N1 above a figure; a reading that is no number is not above anything.
bool above(double n1, double figure) { return n1 > figure; }

// --- Controls ------------------------------------------------------------------------------------

// The selector turns within 0..400 kt and sets the simulator's airspeed reference.
void speed_step(i32 knots) {
    const std::int64_t wanted = std::int64_t{shared.ats_speed_sel} + knots;
    shared.ats_speed_sel = static_cast<i32>(std::clamp<std::int64_t>(wanted, 0, kSpeedMax));
    send(key::ap_airspeed_ref, static_cast<u32>(shared.ats_speed_sel));
}

void speed_button() {
    auto& s = shared;
    const bool can_engage = s.ats_arm_sw == kArmOn && s.athr_mode == 0 && airborne();
    s.athr_mode = can_engage ? kSpeedEngaged : kSpeedDisconnected;
}

void clear_vertical_and_lateral_modes() {
    auto& s = shared;
    s.appr_mode = 0;
    s.hdg_sel_mode = 0;
    s.alt_mode = 0;
    s.ias_pitch_mode = 0;
    s.nav_mode = 0;
    s.ap_cws_mode = 0;
}

void n1_button() {
    auto& s = shared;
    const double n1_1 = read(sim::eng1_n1_pct);
    const double n1_2 = read(sim::eng2_n1_pct);
    const double gear = read(sim::gear_nose_pos);
    if (s.ats_arm_sw != kArmOn || s.ats_n1_mode != 0 || !above(n1_1, kEngineOutN1) || !above(n1_2, kEngineOutN1)) {
        s.ats_n1_mode = 0;
        return;
    }
    if (s.trp_mode != kRatingGoAround) {
        s.ats_n1_mode = kN1Engaged;
        return;
    }
    const bool flaps_short = read(sim::flap_pos) < s.flap_step_1_raw - kFlapMargin;
    if (flaps_short || gear < kGearDownReading || is_on(read(sim::on_ground))) {
        s.ats_n1_mode = 0;
        return;
    }
    s.ats_n1_mode = kN1Engaged;
    clear_vertical_and_lateral_modes();
}

void arm_on() {
    set_switch(shared.ats_arm_sw, kArmOn);
    shared.mw_ats_fault = 0;
}
void arm_off() { set_switch(shared.ats_arm_sw, kArmOff); }

// --- Tick ----------------------------------------------------------------------------------------

void drums() {
    auto& s = shared;
    // The simulator's airspeed reference, whatever it holds, on the 0..400 kt drums.
    s.ats_speed_sel = static_cast<i32>(std::min<u32>(truncate<u32>(read(sim::ap_airspeed_ref_kt)), kSpeedMax));
    st.ats_hundreds_digit = digit_of(s.ats_speed_sel, 100);
    st.ats_tens_digit = digit_of(s.ats_speed_sel, 10);
    st.ats_units_digit = digit_of(s.ats_speed_sel, 1);
}

void disarm() {
    auto& s = shared;
    send(key::autothrottle_arm, 0);
    send(key::ap_airspeed_hold_off);
    s.athr_mode = 0;
    s.ats_n1_mode = 0;
    st.ats_arm_retry = 0;
}

void arm_logic(double n1_1, double n1_2) {
    auto& s = shared;
    if (s.ats_arm_sw != kArmOn) {
        disarm();
        return;
    }
    if (s.ac_ess_feed_sel == kAcEssNormal && s.ac_bus_1_powered == 1 && s.dc_bus_powered == 1) {
        if (above(n1_1, kArmedAboveN1) && above(n1_2, kArmedAboveN1)) {
            send(key::autothrottle_arm, 1);
            st.ats_arm_retry = 0;
        } else if (st.ats_arm_retry == 0) {
            send(key::autothrottle_arm, 0);
            st.ats_arm_retry = 1;
        } else {
            send(key::autothrottle_arm, 1);
        }
    } else {
        disarm();
        s.ats_arm_sw = kArmOff;  // the switch trips
    }
}

// The autothrottle-off warning stays until a throttle is moved.
void off_warning() {
    auto& s = shared;
    const double throttle = read(sim::eng1_throttle);
    if (s.ats_arm_sw == kArmOff && st.ats_warning_armed == 0) {
        s.mw_ats_fault = 1;
        s.athr_mode = 0;
        s.ats_n1_mode = 0;
        st.ats_throttle_memory = truncate<u16>(throttle);
        st.ats_warning_armed = 1;
    } else if (st.ats_warning_armed == 1) {
        const double moved = throttle - st.ats_throttle_memory;
        if (moved > kThrottleMovedUnits || moved < -kThrottleMovedUnits) {
            s.mw_ats_fault = 0;
            st.ats_throttle_memory = kThrottleMemoryIdle;
            st.ats_warning_armed = 0;
        } else {
            s.mw_ats_fault = 1;
        }
    }
}

void send_throttles(i32 command) {
    send_signed(key::throttle1_set, command);
    send_signed(key::throttle2_set, command);
}

// A throttle position from a present one plus a step, kept a number.
i32 throttle_plus(double throttle, i32 step) { return truncate<i32>(truncate<i32>(throttle) + static_cast<double>(step)); }

// One N1 step by the margin m (greater N1 minus the target), from the throttles as they stand.
// Climb-type ratings lead with bigger steps from engine 1's throttle; take-off-type ratings leave a
// far-short margin to the crew and take the second step from engine 2's throttle. A margin that
// asks no change holds the throttles where they stand (never at a stale or zero command). Returns
// whether the step waits its 18 ticks.
bool n1_step(double m, bool climb_type, double t1, double t2) {
    i32& cmd = st.ats_throttle_cmd_1;
    double from = t1;
    i32 step = 0;
    bool waits = true;
    if (m < -20.0) {
        step = climb_type ? 200 : 0;
        waits = climb_type;
    } else if (m >= -20.0 && m < -10.0) {
        step = 150;
        if (!climb_type) from = t2;
    } else if (m >= -10.0 && m <= -5.0) {
        step = 50;
    } else if (m > -5.0 && m <= -1.0) {
        step = 25;
    } else if (m > -1.0 && m <= -0.5) {
        step = 10;
    } else if (m > -0.5 && m <= -0.15) {
        step = 5;
    } else if (m >= 0.15 && m < 0.5) {
        step = -5;
    } else if (m >= 0.5 && m < 1.0) {
        step = -10;
    } else if (m >= 1.0 && m <= 5.0) {
        step = -50;
    } else if (m > 5.0 && m <= 10.0) {
        step = -150;
    } else if (m > 10.0) {
        step = -10;
        waits = false;
    } else {
        waits = false;  // the dead band, or a margin that is no number
    }
    cmd = throttle_plus(from, step);
    return waits;
}

void n1_mode() {
    auto& s = shared;
    const double t1 = read(sim::eng1_throttle);
    const double t2 = read(sim::eng2_throttle);
    if (s.ats_n1_mode != kN1Engaged) {
        // The command starts from where the throttles stand when N1 engages.
        st.ats_throttle_cmd_1 = truncate<i32>(t1);
        st.ats_throttle_cmd_2 = truncate<i32>(t2);
        return;
    }
    const bool climb_type = s.trp_mode >= kRatingMct && s.trp_mode <= kRatingCruise;
    const bool takeoff_type = s.trp_mode >= kRatingTakeoff && s.trp_mode <= kRatingGoAround;
    if (climb_type || takeoff_type) {
        if (s.trp_mode == kRatingGoAround) s.afs_go_around = 1;
        Timer step(st.ats_n1_step_deadline, st.ats_n1_step_armed);
        if (step.expired()) step.stop();
        if (step.idle()) {
            if (n1_step(s.trp_n1_margin, climb_type, t1, t2))
                step.start(kN1StepTicks);
            else
                step.stop();
        }
        st.ats_throttle_cmd_2 = st.ats_throttle_cmd_1;
        send_signed(key::throttle1_set, st.ats_throttle_cmd_1);
        send_signed(key::throttle2_set, st.ats_throttle_cmd_2);
    } else if (s.trp_mode == 0 && !(read(sim::eng1_throttle_lever) > kLeverHoldBelow)) {
        send(key::eng1_throttle_101ad);
        send(key::eng2_throttle_101b2);
    }
}

// The go-around vertical speed by the present vertical speed and the flaps.
i32 go_around_vs(double v, i32 previous) {
    const bool little_flap = read(sim::flap_pos) <= shared.flap_step_2_raw;
    if (v < -500.0) return 10;
    if (v < 0.0) return 500;
    if (!little_flap) return v >= 0.0 ? 1500 : previous;
    if (v < 2000.0) return 1500;
    if (v < 3000.0) return 3000;
    if (v > 3000.0) return 3500;
    return previous;  // exactly 3000 ft/min, or no number
}

void go_around_reference(bool sim_ap_on) {
    auto& s = shared;
    s.ap_vs_ref = go_around_vs(s.vert_speed_fpm, s.ap_vs_ref);
    if (sim_ap_on) {
        send(key::ap_altitude_ref_m, kGoAroundAltitudeRefM);
        send_signed(key::ap_vs_ref, s.ap_vs_ref);
    }
}

void end_go_around() {
    auto& s = shared;
    s.afs_go_around = 0;
    s.ats_n1_mode = 0;
    s.trp_mode = 0;
    if (s.ap_engaged > 1) s.ap_engaged = 1;
}

void go_around(bool sim_ap_on) {
    auto& s = shared;
    if (s.afs_go_around != 1) {
        // Ended here or by another mode: the next go-around starts afresh.
        st.ats_ga_initialised = 0;
        return;
    }
    if (st.ats_ga_initialised == 0) {
        go_around_reference(sim_ap_on);
        clear_vertical_and_lateral_modes();
        st.ats_ga_initialised = 1;
    } else if (s.hdg_sel_mode == 0 && s.alt_mode == 0 && s.ias_pitch_mode == 0 && s.nav_mode == 0 &&
               s.ats_n1_mode == kN1Engaged && s.trp_mode != 0) {
        go_around_reference(sim_ap_on);
    } else {
        end_go_around();
        st.ats_ga_initialised = 0;
    }
}

void tick() {
    auto& s = shared;
    drums();  // 1
    const bool lit = s.batt_bus_powered == 1;  // 2
    speed_light.show(lit && s.athr_mode == kSpeedEngaged);
    n1_light.show(lit && s.ats_n1_mode == kN1Engaged);
    arm_switch.show(s.ats_arm_sw == kArmOn ? 1 : 0);
    const double n1_1 = read(sim::eng1_n1_pct);
    const double n1_2 = read(sim::eng2_n1_pct);
    arm_logic(n1_1, n1_2);  // 3
    off_warning();  // 4
    if (s.norm_eqpt_ess_powered == 0 && s.athr_mode == kSpeedEngaged) s.athr_mode = kSpeedDisconnected;  // 5
    const bool in_air = airborne();  // 6
    if (s.athr_mode == kSpeedEngaged && in_air) {
        s.ats_n1_mode = 0;
        send(key::ap_airspeed_hold_on);
    } else {
        send(key::ap_airspeed_hold_off);
    }
    if (s.ats_arm_sw != kArmOn) s.ats_n1_mode = 0;  // 7
    if (s.ats_n1_mode == kN1Engaged && (n1_1 < kEngineOutN1 || n1_2 < kEngineOutN1)) s.ats_n1_mode = kN1DroppingOut;
    if (s.ats_n1_mode == kN1DroppingOut) {
        send(key::autothrottle_arm, 0);
        s.ats_arm_sw = kArmOff;
        s.ats_n1_mode = 0;
    }
    n1_mode();  // 8
    const bool sim_ap_on = is_on(read(sim::ap_master));
    go_around(sim_ap_on);  // 9
    if (s.afs_go_around == 1 && s.ap_engaged > 1 &&  // 10
        read(sim::height_agl_m) * kFeetPerMetre > kDualToSingleAboveFt)
        s.ap_engaged = 1;
    if (s.appr_mode >= kLandDual && s.radio_alt_ft < kRetardBelowFt && in_air &&  // 11
        read(sim::eng1_throttle_lever) < kRetardLeverBelow && read(sim::eng2_throttle_lever) < kRetardLeverBelow) {
        send(key::ap_airspeed_hold_off);
        // Down to idle, never into reverse.
        st.ats_throttle_cmd_1 = std::max(throttle_plus(read(sim::eng1_throttle), -kRetardStep), kThrottleIdle);
        send_throttles(st.ats_throttle_cmd_1);
    }
}

constexpr std::array areas{
    area<[] { speed_step(-kFineStep); }>("spd_fine.down", Cursor::down, Repeat::while_held),
    area<[] { speed_step(kFineStep); }>("spd_fine.up", Cursor::up, Repeat::while_held),
    area<[] { speed_step(-kCoarseStep); }>("spd_coarse.down", Cursor::down, Repeat::while_held),
    area<[] { speed_step(kCoarseStep); }>("spd_coarse.up", Cursor::up, Repeat::while_held),
    area<&speed_button>("speed", Cursor::hand),
    area<&n1_button>("n1", Cursor::hand),
    area<&arm_on>("arm.on", Cursor::up),
    area<&arm_off>("arm.off", Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(ap_ats, "tarvenol ap_ats_t418", 143, &tick_callback<&tick>, areas, st_table, &reset, background,
               hundreds, tens, units, fine_knob, coarse_knob, speed_light, n1_light, arm_switch);
