#include "afs/control_laws.h"

#include <algorithm>
#include <cstdint>

#include "afs/modes.h"
#include "module/host_services.h"
#include "module/shared_state.h"
#include "module/units.h"

namespace tarvenol::afs {

LawState laws;

namespace {

// --- Figures -------------------------------------------------------------------------------------

// Pitch-input tracking: elevator inputs inside the dead band release the captured trim; a peak
// more than kPeakSpan past the input moves the reference by kPitchInputStep per tick.
constexpr i32 kElevatorDeadBand = 100;
constexpr std::int64_t kPeakSpan = 5000;
constexpr i32 kPitchInputStep = 20;

// Attitude following: pitch error bands (degrees) and the ft/min per degree each one asks.
struct PitchBand {
    double from;
    double gain;
};
constexpr PitchBand kPitchBands[] = {{1.5, 1500.0}, {1.0, 1000.0}, {0.5, 500.0}, {0.1, 100.0}};
constexpr double kPitchSteady = 0.1;

// Far altitude targets that make the simulator's altitude hold a vertical-speed hold, metres.
constexpr i32 kFarAbove = 60000;
constexpr i32 kFarBelow = 0;

// Approach vertical speed: tolerance around the command and the correction, ft/min; the reference is
// sent rounded to 100 ft/min away from a half step, and not at all at or below kVsSendAboveFt.
constexpr double kApproachTolerance = 20.0;
constexpr double kApproachCorrection = 100.0;
constexpr i32 kVsRound = 100;
constexpr i32 kVsHalfRound = 50;
constexpr double kVsSendAboveFt = 10.0;
// On the ground on an approach the elevator is held at least this nose-down, and a little more.
constexpr i32 kGroundElevatorMin = 3000;
constexpr i32 kGroundElevatorStep = 100;

// Roll-input tracking bands, axis units.
constexpr i32 kAileronSmall = 50;
constexpr i32 kAileronMedium = 1000;
constexpr i32 kAileronLarge = 5000;

// Roll law: wings-level window, re-capture bank and the tolerance of the target, degrees.
constexpr i32 kWingsLevel = 4;
constexpr i32 kRecaptureBank = 5;
constexpr i32 kTargetTolerance = 5;

// Aileron offsets holding a bank target, by the target's upper bound (positive side) in degrees.
struct OffsetBand {
    i32 up_to;
    i32 right;  // offset for a positive target up to `up_to`
    i32 left;   // offset for a negative target down to -`up_to`
};
constexpr OffsetBand kOffsets[] = {{5, 170, -180},   {10, 210, -210},  {15, 230, -230}, {20, 310, -310},
                                   {25, 340, -340},  {30, 370, -370},  {45, 400, -400}};
// Aileron command by the bank error (degrees): full authority, then offset plus a correction.
constexpr i32 kAileronFull = 10000;
struct AileronBand {
    i32 from;
    i32 correction;
};
constexpr AileronBand kAileronBands[] = {{10, 7500}, {5, 4000}, {1, 1500}};
constexpr i32 kAileronFullFrom = 15;
constexpr i32 kOnTargetTrim = -50;

// Speed trend: one sample period, and the look-ahead beyond which a stale timer is restarted.
constexpr i32 kTrendPeriod = 9;
constexpr double kTrendTimerSane = 18.0;

// IAS mode.
constexpr double kSecondsPerMinute = 60.0;
constexpr double kVsUnitScale = 256.0;
constexpr i32 kZoneHoldTicks = 18;
constexpr double kDeadBand = 0.3;
constexpr i32 kContinuousStep = 500;
constexpr i32 kFastContinueMargin = 500;  // keep raising while the reference is this little above VS
constexpr i32 kSlowContinueMargin = 800;  // keep lowering while the reference is this far above VS
constexpr u8 kZoneFastContinuous = 6;
constexpr u8 kZoneSlowContinuous = 1;

// Trend rows, top (fastest acceleration) to bottom: t above `above` (the last row: any t).
constexpr int kTrendRows = 11;
constexpr double kTrendAbove[kTrendRows - 1] = {1.0, 0.5, 0.25, 0.1, 0.05, -0.05, -0.1, -0.25, -0.5, -1.0};
constexpr int kSteadyRow = 5;       // -0.05 < t <= 0.05
constexpr int kAcceleratingRows = 5;  // t > 0.05: rows 0..4
constexpr i32 kNone = INT32_MIN;    // a matched band that leaves the reference as it is

// Fast side (speed above the reference): zones 6..2 by error from `at_least`.
struct ErrorBand {
    double bound;
    u8 zone;
};
constexpr ErrorBand kFastBands[] = {{10.0, 6}, {4.0, 5}, {2.0, 4}, {1.0, 3}, {0.5, 2}};
constexpr i32 kFastTable[kTrendRows][5] = {
    {+500, +500, +350, +250, +24}, {+500, +250, +200, +200, +12}, {+500, +100, +100, +100, +6},
    {+500, +40, +50, +50, +3},     {+500, +20, +25, +25, +1},      {+50, +20, +10, +5, +5},
    {+50, kNone, kNone, kNone, -1}, {+50, kNone, kNone, -25, -3}, {-35, -25, -25, -50, -6},
    {-85, -75, -100, -150, -12},   {-85, -350, -350, -350, -24},
};
// Slow side (speed below the reference): zones 5..1; an error above `bound` (and at most the band
// before it) falls in the band.
constexpr ErrorBand kSlowBands[] = {{-1.0, 5}, {-2.0, 4}, {-4.0, 3}, {-10.0, 2}};
constexpr double kSlowFrom = -0.5;  // errors from here down are in a band
constexpr u8 kSlowLastZone = 1;     // err <= -10
constexpr i32 kSlowTable[kTrendRows][5] = {
    {+40, +350, +350, +350, +85},  {+30, +150, +100, +75, +85},   {+20, +50, +25, +25, +35},
    {+10, +10, kNone, kNone, kNone}, {+5, kNone, kNone, kNone, kNone}, {-5, -5, -15, -20, -50},
    {-1, -25, -25, -40, -500},     {-3, -50, -50, -80, -500},     {-6, -100, -100, -100, -500},
    {-12, -200, -200, -250, -500}, {-24, -250, -350, -500, -500},
};

// LAND flare: heights in feet, elevator positions in axis units.
constexpr double kLandLockFt = 700.0;
constexpr double kFlareFt = 80.0;
constexpr i32 kFlareVs = -50;
constexpr double kFlareElevatorFt = 30.0;
constexpr i32 kFlareElevator = -2500;
constexpr double kElevatorNeutralFt = 10.0;
constexpr i32 kElevatorNeutral = 0;
constexpr i32 kTouchdownElevator = 8000;
constexpr double kRollOutAboveKt = 50.0;

// --- Helpers -------------------------------------------------------------------------------------

i32 saturate(std::int64_t v) {
    return static_cast<i32>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// How an increment meets the hold's limits: an increase at or above the ceiling (and a decrease of
// the steady-trend row, guarded like one) sets the reference back to the limit instead; another
// decrease at or below the floor sets it to the negative limit. Within them the step is taken
// whole, so a climb of 4500 ft/min plus 500 gives 5000.
enum class Guard : bool { as_increase, as_decrease };

void adjust_vs_ref(i32 increment, Guard guard) {
    i32& ref = shared.ap_vs_ref;
    if (guard == Guard::as_increase) {
        ref = ref >= kVsRefCeiling ? kVsRefLimit : saturate(std::int64_t{ref} + increment);
    } else {
        ref = ref <= -kVsRefCeiling ? -kVsRefLimit : saturate(std::int64_t{ref} + increment);
    }
}
Guard guard_of(i32 increment, int trend_row) {
    return increment > 0 || trend_row == kSteadyRow ? Guard::as_increase : Guard::as_decrease;
}

// The simulator's altitude hold flown as a vertical-speed hold: a far target in the direction given;
// exactly level, the stored altitude reference (the IAS mode refreshes it from the present altitude
// in metres first, pitch hold sends the one last stored).
enum class LevelRef : bool { stored, present };

void send_vertical_speed(double direction, i32 vs_ref, LevelRef level) {
    if (direction > 0.0) {
        send(key::ap_altitude_ref_m, static_cast<u32>(kFarAbove));
    } else if (direction == 0.0) {
        if (level == LevelRef::present) shared.ap_alt_ref = truncate<i32>(read(sim::altitude_m));
        send_signed(key::ap_altitude_ref_m, shared.ap_alt_ref);
    } else {
        send(key::ap_altitude_ref_m, static_cast<u32>(kFarBelow));
    }
    send_signed(key::ap_vs_ref, vs_ref);
}

// --- 1. Pitch hold --------------------------------------------------------------------------------

void track_pitch_input() {
    auto& l = laws;
    const std::int64_t e = truncate<i32>(read(sim::elevator_input));
    const bool beyond_dead_band = e >= kElevatorDeadBand || e <= -kElevatorDeadBand;
    const bool engaged = l.pitch_hold_engaged != 0;
    if (l.elevator_up_peak <= e + kPeakSpan && beyond_dead_band && engaged && l.trim_captured == 0) {
        l.captured_trim = truncate<i32>(read(sim::elevator_trim));
        l.trim_captured = 1;
    }
    if (l.elevator_down_peak >= e - kPeakSpan && beyond_dead_band && engaged && l.trim_captured == 0) {
        l.captured_trim = truncate<i32>(read(sim::elevator_trim));
        l.trim_captured = 1;
    }
    if (l.elevator_up_peak <= e + kPeakSpan && beyond_dead_band && engaged && l.trim_captured == 1) {
        send_signed(key::elevator_trim_set, l.captured_trim);
        l.elevator_up_peak = static_cast<i32>(e);
        l.pitch_ref_deg = -read(sim::pitch_deg);
        shared.ap_vs_ref = saturate(static_cast<std::int64_t>(shared.ap_vs_ref) + kPitchInputStep);
        l.elevator_down_peak = 0;
    }
    if (l.elevator_down_peak >= e - kPeakSpan && beyond_dead_band && engaged && l.trim_captured == 1) {
        send_signed(key::elevator_trim_set, l.captured_trim);
        l.elevator_down_peak = static_cast<i32>(e);
        l.pitch_ref_deg = -read(sim::pitch_deg);
        shared.ap_vs_ref = saturate(static_cast<std::int64_t>(shared.ap_vs_ref) - kPitchInputStep);
        l.elevator_up_peak = 0;
    }
    if (e > -kElevatorDeadBand && e < kElevatorDeadBand) {
        l.elevator_up_peak = 0;
        l.elevator_down_peak = 0;
        l.trim_captured = 0;
    }
}

// The reference follows the pitch the pilot left the aircraft at: the further the pitch from the
// reference attitude, the stronger the vertical-speed change asked.
void follow_attitude(double vs) {
    auto& l = laws;
    const double d = -l.pitch_ref_deg - read(sim::pitch_deg);
    for (const PitchBand& b : kPitchBands) {
        if (d >= b.from || d <= -b.from) {
            shared.ap_vs_ref = truncate<i32>(vs - d * b.gain);
            l.vs_steady_capture = 0;
            return;
        }
    }
    if (d > -kPitchSteady && d < kPitchSteady && l.vs_steady_capture == 0) {
        shared.ap_vs_ref = truncate<i32>(vs);
        l.vs_steady_capture = 1;
    }
}

void pitch_hold(bool sim_ap_on, bool airborne) {
    auto& s = shared;
    auto& l = laws;
    track_pitch_input();
    const double vs = present_vs_fpm();
    const bool free_pitch = s.alt_mode < kAltCapture && s.ias_pitch_mode != 1;
    if (sim_ap_on && l.pitch_hold_engaged == 0 && airborne && free_pitch) {
        send(key::ap_altitude_hold_on);
        s.ap_vs_ref = truncate<i32>(vs);
        l.pitch_ref_deg = -read(sim::pitch_deg);
        l.vs_steady_capture = 0;
        l.pitch_hold_engaged = 1;
    }
    if (l.pitch_hold_engaged == 1 && free_pitch && airborne) follow_attitude(present_vs_fpm());
    // The far target goes the way the aircraft is going now; climbing, the present altitude is
    // kept as the level reference.
    const double now = present_vs_fpm();
    if (now > 0.0) s.ap_alt_ref = truncate<i32>(read(sim::altitude_m));
    send_vertical_speed(now, s.ap_vs_ref, LevelRef::stored);
}

// --- 2. Approach vertical speed -------------------------------------------------------------------

void approach_vertical_speed(bool on_ground) {
    auto& s = shared;
    if (s.gs_captured != 0) s.alt_mode = 0;
    const double cmd = s.fd_vs_cmd / kVsUnitsPerFpm;
    const double now = present_vs_fpm();
    if (now > cmd + kApproachTolerance)
        s.ap_vs_ref = truncate<i32>(cmd - kApproachCorrection);
    else if (now < cmd - kApproachTolerance)
        s.ap_vs_ref = truncate<i32>(cmd + kApproachCorrection);
    else
        s.ap_vs_ref = truncate<i32>(cmd);
    send(key::ap_altitude_ref_m, static_cast<u32>(kFarBelow));
    const std::int64_t whole = static_cast<std::int64_t>(s.ap_vs_ref / kVsRound) * kVsRound;
    if (s.radio_alt_ft > kVsSendAboveFt) {
        if (s.ap_vs_ref > whole - kVsHalfRound)
            send_signed(key::ap_vs_ref, s.ap_vs_ref);
        else
            send_signed(key::ap_vs_ref, saturate(whole - kVsRound));
    }
    if (on_ground) {
        const i32 e = truncate<i32>(read(sim::elevator_pos));
        send_signed(key::elevator_set, e <= kGroundElevatorMin ? kGroundElevatorMin : saturate(std::int64_t{e} + kGroundElevatorStep));
    }
}

// --- 3. Roll-input tracking -----------------------------------------------------------------------

void track_roll_input() {
    auto& l = laws;
    const i32 a = truncate<i32>(read(sim::aileron_input));
    if (a > kAileronSmall && a < kAileronMedium)
        l.aileron_input_state = 1;
    else if (a >= kAileronMedium && a < kAileronLarge && l.aileron_input_state == 1)
        l.aileron_input_state = 2;
    else if (a > -kAileronMedium && a < -kAileronSmall)
        l.aileron_input_state = -1;
    else if (a > -kAileronLarge && a <= -kAileronMedium && l.aileron_input_state == -1)
        l.aileron_input_state = -2;
    shared.bank_angle = truncate<i32>(-read(sim::bank_deg));
}

// --- 4. Roll law ------------------------------------------------------------------------------------

// The simulator's lateral hold takes a bank beyond the module's limit, at the limit; the module then
// lets go of the ailerons so that only one of them commands the bank.
void hand_over_bank(i32 target) {
    send(key::ap_lateral_hold_on);
    laws.bank_target = target;
    laws.bank_hold = 0;
}

void let_go_ailerons() {
    send(key::ap_lateral_hold_off);
    laws.bank_hold = 0;
}

bool approach_on_nav() { return shared.nav_mode == kNavVor && shared.appr_mode >= kApprAp; }

void roll_law() {
    auto& s = shared;
    auto& l = laws;
    const i32 bank = s.bank_angle;
    const bool initialised = l.roll_hold_initialised == 1;
    const bool recapture = l.roll_recapture_req != 0;

    if (s.hdg_sel_mode == 1 || s.nav_captured == 1) {
        if (is_on(read(sim::ap_heading_hold)) || s.nav_captured == 1) {
            send(key::ap_lateral_hold_off);
            l.bank_hold = 0;
            l.bank_target = 0;
        }
        return;
    }
    const bool pilot_right = l.aileron_input_state >= 2;
    if (pilot_right || (recapture && bank < -kRecaptureBank && initialised)) {
        if (bank > kBankHoldLimit) {
            hand_over_bank(kBankHoldLimit);
            return;
        }
        let_go_ailerons();
        // A re-capture always takes the present bank, however far the old target was.
        if (l.bank_target >= bank - kTargetTolerance || !pilot_right) {
            l.bank_target = bank;
            l.roll_recapture_req = 0;
        }
        return;
    }
    const bool pilot_left = l.aileron_input_state <= -2;
    if (pilot_left || (recapture && bank > kRecaptureBank && initialised)) {
        if (bank < -kBankHoldLimit) {
            hand_over_bank(-kBankHoldLimit);
            return;
        }
        let_go_ailerons();
        if (l.bank_target <= bank + kTargetTolerance || !pilot_left) {
            l.bank_target = bank;
            l.roll_recapture_req = 0;
        }
        return;
    }
    if (l.bank_target >= -kWingsLevel && l.bank_target <= kWingsLevel && l.aileron_input_state >= -1 &&
        l.aileron_input_state <= 1 && initialised) {
        if (!approach_on_nav()) send(key::ap_lateral_hold_on);
        l.bank_hold = 0;
        l.bank_target = 0;
        return;
    }
    if (!initialised) {
        if (bank >= -kWingsLevel && bank <= kWingsLevel) {
            if (!approach_on_nav()) {
                l.bank_target = 0;
                send(key::ap_lateral_hold_on);
                l.roll_hold_initialised = 1;
            }
        } else if (bank >= -kBankHoldLimit && bank <= kBankHoldLimit) {
            send(key::ap_lateral_hold_off);
            l.bank_target = bank;
            l.bank_hold = 1;
            l.roll_hold_initialised = 1;
        } else {
            hand_over_bank(bank < 0 ? -kBankHoldLimit : kBankHoldLimit);
        }
        return;
    }
    if (bank < -kBankHoldLimit || bank > kBankHoldLimit) {
        hand_over_bank(bank < 0 ? -kBankHoldLimit : kBankHoldLimit);
        return;
    }
    send(key::ap_lateral_hold_off);
    l.bank_hold = 1;
}

// --- 5. Aileron offset and command ------------------------------------------------------------------

void update_aileron_offset() {
    const i32 w = laws.bank_target;
    for (const OffsetBand& b : kOffsets) {
        if (w > 0 && w <= b.up_to) {
            laws.aileron_offset = b.right;
            return;
        }
        if (w < 0 && w >= -b.up_to) {
            laws.aileron_offset = b.left;
            return;
        }
    }
}

i32 aileron_command(std::int64_t error, i32 offset) {
    if (error >= kAileronFullFrom) return kAileronFull;
    if (error <= -kAileronFullFrom) return -kAileronFull;
    for (const AileronBand& b : kAileronBands) {
        if (error >= b.from) return offset + b.correction;
        if (error <= -b.from) return offset - b.correction;
    }
    return offset + kOnTargetTrim;
}

void fly_ailerons() {
    update_aileron_offset();
    if (laws.bank_hold == 1) {
        const std::int64_t error = std::int64_t{shared.bank_angle} - laws.bank_target;
        send_signed(key::aileron_set, aileron_command(error, laws.aileron_offset));
    }
}

// --- 6. Speed trend -------------------------------------------------------------------------------

void speed_trend() {
    auto& l = laws;
    const double tick = tick_counter();
    const double ias = read(sim::ias_kt);
    if (static_cast<double>(l.ias_sample_deadline) - tick > kTrendTimerSane) l.ias_sample_deadline = deadline_in(kTrendPeriod);
    if (l.ias_sample_armed == 0) {
        l.ias_sample_1 = ias;
        l.ias_sample_deadline = deadline_in(kTrendPeriod);
        l.ias_sample_armed = 1;
    } else if (is_due(l.ias_sample_deadline)) {
        l.ias_sample_2 = ias;
        shared.ias_trend = l.ias_sample_2 - l.ias_sample_1;
        l.ias_sample_armed = 0;
    }
}

// --- 7. IAS mode ----------------------------------------------------------------------------------

// The trend row, 0 (fastest acceleration) .. 10; -1 for no trend at all (NaN).
int trend_row(double t) {
    if (t != t) return -1;
    for (int row = 0; row < kTrendRows - 1; ++row)
        if (t > kTrendAbove[row]) return row;
    return kTrendRows - 1;
}

struct Band {
    u8 zone = 0;  // 0: no band
    int column = 0;
    bool fast = true;
};

Band error_band(double err) {
    if (err >= kFastBands[4].bound) {
        for (int c = 0; c < 5; ++c)
            if (err >= kFastBands[c].bound) return {kFastBands[c].zone, c, true};
    }
    if (err <= kSlowFrom) {
        for (int c = 0; c < 4; ++c)
            if (err > kSlowBands[c].bound) return {kSlowBands[c].zone, c, false};
        return {kSlowLastZone, 4, false};
    }
    return {};
}

void engage_ias_mode(bool sim_ap_on, bool airborne) {
    auto& s = shared;
    auto& l = laws;
    if (l.ias_mode_engaged == 0 && (sim_ap_on || s.afs_channels != 0) && airborne && s.appr_mode == 0 &&
        s.alt_mode < kAltCapture) {
        send(key::ap_altitude_hold_on);
        s.ap_vs_ref = truncate<i32>(read(sim::vs_ms256) / kVsUnitScale * kFeetPerMetre * kSecondsPerMinute);
        l.ias_speed_ref = truncate<i32>(read(sim::ias_kt));
        l.vs_steady_capture = 0;
        l.ias_mode_engaged = 1;
    }
}

void fly_speed() {
    auto& s = shared;
    auto& l = laws;
    const double vs = present_vs_fpm();
    s.ias_error = read(sim::ias_kt) - l.ias_speed_ref;
    const double err = s.ias_error;

    if (s.ias_zone != 0 && l.ias_zone_timed == 1 && is_due(l.ias_zone_deadline)) {
        s.ias_zone = 0;
        l.ias_zone_timed = 0;
    }
    const Band band = error_band(err);
    if (band.zone != s.ias_zone) {
        s.ias_zone = 0;
        l.ias_zone_timed = 0;
    }
    const int row = trend_row(s.ias_trend);
    if (band.zone != 0 && s.ias_zone == 0 && row >= 0) {
        const i32 step = band.fast ? kFastTable[row][band.column] : kSlowTable[row][band.column];
        if (step != kNone) adjust_vs_ref(step, guard_of(step, row));
        s.ias_zone = band.zone;
        // Far from the speed and going the wrong way, the reference keeps moving every tick instead.
        const bool continuous = (band.zone == kZoneFastContinuous && band.fast && row < kAcceleratingRows) ||
                                (band.zone == kZoneSlowContinuous && !band.fast && row > kSteadyRow);
        if (!continuous) {
            l.ias_zone_deadline = deadline_in(kZoneHoldTicks);
            l.ias_zone_timed = 1;
        }
    } else if (s.ias_zone == kZoneFastContinuous && l.ias_zone_timed == 0) {
        if (std::int64_t{s.ap_vs_ref} - kFastContinueMargin < vs) adjust_vs_ref(kContinuousStep, Guard::as_increase);
    } else if (s.ias_zone == kZoneSlowContinuous && l.ias_zone_timed == 0) {
        if (std::int64_t{s.ap_vs_ref} + kSlowContinueMargin > vs) adjust_vs_ref(-kContinuousStep, Guard::as_decrease);
    }
    if (err > -kDeadBand && err < kDeadBand && l.vs_steady_capture == 0) {
        s.ap_vs_ref = truncate<i32>(vs);
        l.vs_steady_capture = 1;
    }
}

void ias_mode(bool sim_ap_on, bool airborne) {
    auto& s = shared;
    engage_ias_mode(sim_ap_on, airborne);
    if (laws.ias_mode_engaged == 1 && s.alt_mode < kAltCapture && s.appr_mode == 0 && airborne) fly_speed();
    // The far target goes the way the reference asks.
    if (sim_ap_on) send_vertical_speed(static_cast<double>(s.ap_vs_ref), s.ap_vs_ref, LevelRef::present);
}

}  // namespace

// --- Entry points ---------------------------------------------------------------------------------

double present_vs_fpm() { return read(sim::vs_ms256) / kVsUnitsPerFpm; }

void send_signed(KeyEvent event, i32 value) { send(event, static_cast<u32>(value)); }

void clear_ias_mode() {
    laws.ias_mode_engaged = 0;
    laws.ias_speed_ref = 0;
    laws.ias_zone_timed = 0;
    shared.ias_zone = 0;
}

void clear_holds() {
    laws.pitch_hold_engaged = 0;
    laws.bank_hold = 0;
    laws.bank_target = 0;
    laws.roll_hold_initialised = 0;
    laws.ias_zone_timed = 0;
    shared.ias_zone = 0;
    shared.flare_active = 0;
    shared.flare_elevator = 0;
    shared.land_locked = 0;
}

void run_laws(bool sim_ap_on, bool airborne, bool on_ground) {
    auto& s = shared;
    if (s.basic_pitch_mode == 1) pitch_hold(sim_ap_on, airborne);
    if (sim_ap_on && s.appr_mode != 0) approach_vertical_speed(on_ground);
    track_roll_input();
    if (sim_ap_on && s.basic_roll_mode == 1) roll_law();
    fly_ailerons();
    speed_trend();
    if (s.ias_pitch_mode == 1) ias_mode(sim_ap_on, airborne);
}

void run_flare(bool on_ground) {
    auto& s = shared;
    if (s.appr_mode < kLand) return;
    if (read(sim::height_agl_m) * kFeetPerMetre < kLandLockFt) s.land_locked = 1;
    if (s.radio_alt_ft < kFlareFt) {
        s.flare_active = 1;
        send_signed(key::ap_vs_ref, kFlareVs);
    }
    if (s.radio_alt_ft < kFlareElevatorFt) {
        s.flare_elevator = 1;
        send_signed(key::elevator_set, kFlareElevator);
    }
    if (s.radio_alt_ft < kElevatorNeutralFt) send_signed(key::elevator_set, kElevatorNeutral);
    if (on_ground) {
        s.athr_mode = 0;
        s.flare_active = 0;
        send(key::ap_approach_hold_off);
        send(key::ap_hold_off_1011b);
        send(key::ap_hold_off_10116);
        send(key::ap_hold_off_10118);
        send(key::sim_command_10096);
        send(key::sim_command_100e3);
        send_signed(key::elevator_set, kTouchdownElevator);
        if (read(sim::ias_kt) > kRollOutAboveKt) s.runway_guidance = 1;
    }
}

}  // namespace tarvenol::afs
