// tarvenol ap_alt_t418: the altitude panel — the selected altitude on its drums, the ALT and
// ALT HOLD buttons and the altitude modes behind them (armed, capture, change, transition and the
// two holds), flown through the simulator's altitude and vertical-speed references, and the
// altitude alert with its chimes.
#include <optional>

#include "afs/control_laws.h"
#include "afs/modes.h"
#include "afs/selection.h"
#include "module/drums.h"
#include "module/gauge.h"
#include "module/shared_state.h"
#include "module/units.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::afs;
using afs::laws;

// --- Figures -------------------------------------------------------------------------------------

constexpr i32 kAltSelMax = 40000;
constexpr i32 kFineStep = 10;
constexpr i32 kCoarseStep = 100;
constexpr i32 kBlankBelowFt = 10000;  // the ten-thousands drum is covered below this

// Vertical speed from the simulator's m/s x 256.
constexpr double kVsUnitScale = 256.0;
constexpr double kSecondsPerMinute = 60.0;

// Holding the present altitude: the reference leads the aircraft by this much.
constexpr double kHoldLeadFt = 20.0;
// Holding the selected altitude: the selection is latched once the aircraft is this level.
constexpr double kLevelFpm = 100.0;
// Capture and change: beyond this from the selection the vertical speed is stepped down.
constexpr double kCaptureZoneFt = 300.0;
// The hold starts this close to the selection.
constexpr double kHoldStartFt = 20.0;
// Climbing or descending means faster than this.
constexpr double kMovingFpm = 5.0;
// The capture starts this many minutes' climb before the selection (20 s).
constexpr double kCaptureLeadDivisor = 3.0;

// Altitude alert windows (feet from the selection).
constexpr double kAlertFarFt = 750.0;
constexpr double kAlertNearFt = 250.0;
// Engines run above this N2.
constexpr double kEngineRunningN2 = 20.0;

// Alert states and chime requests.
constexpr u8 kAlertNone = 0;
constexpr u8 kAlertApproaching = 1;
constexpr u8 kAlertLatched = 2;
constexpr u8 kAlertDeviation = 3;
constexpr u8 kChimeIdle = 0;
constexpr u8 kChimeRequested = 1;

#define AP_ALT_STATE(X)                 \
    X(u8, alt_hold_latch, 0)            \
    X(i32, alt_latched_sel, 0)          \
    X(i32, alt_captured_vs, 0)          \
    X(u8, alt_alert_latched, 0)         \
    X(u8, alt_ten_thousands_digit, 0, within(0, 9))   \
    X(u8, alt_thousands_digit, 0, within(0, 9))       \
    X(u8, alt_hundreds_digit, 0, within(0, 9))        \
    X(u8, alt_tens_digit, 0, within(0, 9))
TARVENOL_PRIVATE_STATE(AP_ALT_STATE)

DigitDrum ten_thousands_drum;
DigitDrum thousands_drum;
DigitDrum hundreds_drum;
DigitDrum tens_drum;

// The selected altitude on five drums in one window, the ten-thousands drum blanked by a striped
// flag; the two push-button lights under it, the panel lighting's lamp beside the window.
constexpr int kDrumW = 20, kDrumH = 30, kDrumsLeft = 88, kDrumsTop = 30;
constexpr Box drum_box(int i) { return at(kDrumsLeft + i * kDrumW, kDrumsTop, kDrumW, kDrumH); }
Background background{panel("ALTITUDE", 104)};
MovingImage ten_thousands{"alt_ten_thousands_drum", nullptr,
                          [] { return ten_thousands_drum.step(st.alt_ten_thousands_digit); }, drum(drum_box(0))};
MovingImage thousands{"alt_thousands_drum", nullptr, [] { return thousands_drum.step(st.alt_thousands_digit); },
                      drum(drum_box(1))};
MovingImage hundreds{"alt_hundreds_drum", nullptr, [] { return hundreds_drum.step(st.alt_hundreds_digit); }, drum(drum_box(2))};
MovingImage tens{"alt_tens_drum", nullptr, [] { return tens_drum.step(st.alt_tens_digit); }, drum(drum_box(3))};
MovingImage units{"alt_units_drum", nullptr, [] { return units_drum(shared.alt_sel); }, drum(drum_box(4))};
Image blanking{"alt_ten_thousands_blank", flag("", drum_box(0))};
Image alt_hold_light{"alt_hold_light", light(Tone::advisory, "ALT HOLD", at(56, 68, 72, 26))};
Image alt_light{"alt_light", light(Tone::advisory, "ALT", at(148, 68, 72, 26))};
Image panel_lighting{"panel_lighting", light(Tone::white, "LT", at(200, 32, 26, 24))};

void reset() {
    reset_private_state();
    ten_thousands_drum = DigitDrum{};
    thousands_drum = DigitDrum{};
    hundreds_drum = DigitDrum{};
    tens_drum = DigitDrum{};
}

bool holding(u8 mode) { return mode == kAltHoldSelected || mode == kAltHoldPresent; }
bool capturing(u8 mode) {
    return mode == kAltArmed || mode == kAltCapture || mode == kAltChange || mode == kAltTransition;
}

// --- Controls ------------------------------------------------------------------------------------

void select_down(i32 step) {
    auto& sel = shared.alt_sel;
    sel = sel <= step ? 0 : sel - step;
}
void select_up(i32 step) {
    auto& sel = shared.alt_sel;
    sel = sel > kAltSelMax - step - 1 ? kAltSelMax : sel + step;
}

void alt_hold_button() {
    auto& s = shared;
    if (s.afs_channels == 0) return;
    if (holding(s.alt_mode)) {
        s.alt_mode = 0;
        return;
    }
    if (s.appr_mode >= kLand && s.gs_captured == 1) return;
    s.alt_mode = kAltHoldPresent;
    s.ias_pitch_mode = 0;
    s.ap_cws_mode = 0;
    s.afs_go_around = 0;
    if (s.appr_mode >= 1 && s.appr_mode < kLand && s.gs_captured == 1) s.appr_mode = 0;
}

void alt_button() {
    auto& s = shared;
    if (s.afs_channels == 0) return;
    if (capturing(s.alt_mode))
        s.alt_mode = 0;
    else if (holding(s.alt_mode))
        s.alt_mode = kAltTransition;
    else
        s.alt_mode = kAltArmed;
}

// --- Modes ---------------------------------------------------------------------------------------

void send_altitude_ref(i32 feet) { send_signed(key::ap_altitude_ref_ft, feet); }
void send_vs_ref(i32 fpm) {
    shared.ap_vs_ref = fpm;
    send_signed(key::ap_vs_ref, fpm);
}

// Holding the present altitude: the reference is taken once, a little ahead of the aircraft.
void hold_present(double alt, double vs) {
    auto& s = shared;
    if (st.alt_hold_latch == 0) {
        s.basic_pitch_mode = 0;
        s.ias_pitch_mode = 0;
        double ref = alt;
        if (vs < 0.0) ref = alt - kHoldLeadFt;
        if (vs > 0.0) ref = alt + kHoldLeadFt;
        s.ap_alt_ref = truncate<i32>(ref);
        send_altitude_ref(s.ap_alt_ref);
        laws.pitch_hold_engaged = 0;
        st.alt_latched_sel = s.alt_sel;
        st.alt_hold_latch = 1;
    } else if (s.alt_sel != st.alt_latched_sel) {
        st.alt_hold_latch = 0;
        s.alt_mode = kAltChange;
    }
}

void hold_selected(double vs) {
    auto& s = shared;
    send_altitude_ref(s.alt_sel);
    if (vs >= -kLevelFpm && vs <= kLevelFpm && st.alt_hold_latch == 0) {
        st.alt_latched_sel = s.alt_sel;
        st.alt_hold_latch = 1;
    }
    if (st.alt_hold_latch == 1 && s.alt_sel != st.alt_latched_sel) s.alt_mode = kAltChange;
}

// A capture step: the vertical-speed reference, and whether it also becomes the captured rate (the
// small steps do, so that a slower tick sends them again).
struct CaptureStep {
    i32 fpm;
    bool replaces_captured;
};

// Capture above the selection (descending): the rate steps down as the descent slows. Between
// -2000 and -1700 ft/min the reference is left as it is.
std::optional<CaptureStep> capture_descent_step(double v) {
    if (v < -2500.0) return CaptureStep{-2000, false};
    if (v >= -2500.0 && v < -2000.0) return CaptureStep{-1600, true};
    if (v >= -1700.0 && v < -1350.0) return CaptureStep{-1300, true};
    if (v >= -1350.0 && v < -1000.0) return CaptureStep{-1000, true};
    if (v > -1000.0) return CaptureStep{st.alt_captured_vs, false};
    return std::nullopt;
}
std::optional<CaptureStep> capture_climb_step(double v) {
    if (v > 3200.0) return CaptureStep{3000, false};
    if (v > 2700.0 && v <= 3200.0) return CaptureStep{2500, false};
    if (v > 2200.0 && v <= 2700.0) return CaptureStep{2000, false};
    if (v > 1700.0 && v <= 2200.0) return CaptureStep{1500, false};
    if (v >= 1000.0 && v <= 1700.0) return CaptureStep{1000, true};
    if (v < 1000.0) return CaptureStep{st.alt_captured_vs, false};
    return std::nullopt;
}

void capture(double alt, double vs) {
    auto& s = shared;
    s.ias_pitch_mode = 0;
    st.alt_hold_latch = 0;
    s.ap_alt_ref = s.alt_sel;
    send_altitude_ref(s.alt_sel);
    const double above = alt - s.alt_sel;
    std::optional<CaptureStep> step;
    if (above > kCaptureZoneFt) {
        laws.pitch_hold_engaged = 0;
        step = capture_descent_step(vs);
    } else if (above < -kCaptureZoneFt) {
        step = capture_climb_step(vs);
    } else {
        const bool nearly_down = vs < -kMovingFpm && above < kHoldStartFt;
        const bool nearly_up = vs > kMovingFpm && -above < kHoldStartFt;
        if (nearly_down || nearly_up) {
            s.alt_mode = kAltHoldSelected;
            laws.pitch_hold_engaged = 0;
        }
        return;
    }
    if (!step) return;
    send_vs_ref(step->fpm);
    if (step->replaces_captured) st.alt_captured_vs = step->fpm;
}

// Change to the selected altitude: the rate builds up in 250 ft/min steps to 1000.
i32 change_descent_step(double v) {
    if (v > -240.0) return -250;
    if (v > -490.0) return -500;
    if (v > -740.0) return -750;
    return -1000;
}
i32 change_climb_step(double v) {
    if (v < 240.0) return 250;
    if (v < 490.0) return 500;
    if (v < 740.0) return 750;
    return 1000;
}

void change(double alt, double vs) {
    auto& s = shared;
    s.ias_pitch_mode = 0;
    st.alt_hold_latch = 0;
    send_altitude_ref(s.alt_sel);
    const double above = alt - s.alt_sel;
    if (above > kCaptureZoneFt || above < -kCaptureZoneFt) {
        send_vs_ref(above > 0.0 ? change_descent_step(vs) : change_climb_step(vs));
        laws.pitch_hold_engaged = 0;
    } else if (above != 0.0 && above > -kHoldStartFt && above < kHoldStartFt) {
        s.alt_mode = kAltHoldSelected;
    }
}

// Armed: the capture starts when the present climb or descent reaches the selection in 20 s.
void armed(double alt, double vs) {
    auto& s = shared;
    st.alt_captured_vs = truncate<i32>(vs);
    st.alt_hold_latch = 0;
    const double to_go = s.alt_sel - alt;
    const bool reached = (to_go > 0.0 && vs / kCaptureLeadDivisor >= to_go) || to_go == 0.0 ||
                         (to_go < 0.0 && vs / kCaptureLeadDivisor <= to_go);
    if (reached) {
        s.alt_mode = kAltCapture;
        s.ias_pitch_mode = 0;
    }
}

void mode_logic(double alt, double vs) {
    auto& s = shared;
    switch (s.alt_mode) {
        case kAltHoldPresent: hold_present(alt, vs); break;
        case kAltHoldSelected: hold_selected(vs); break;
        case kAltCapture: capture(alt, vs); break;
        case kAltChange: change(alt, vs); break;
        case kAltTransition: s.alt_mode = kAltHoldPresent; break;
        case kAltArmed: armed(alt, vs); break;
        case 0:
            st.alt_hold_latch = 0;
            st.alt_alert_latched = 0;
            s.alt_alert_state = kAlertNone;
            break;
        default: break;
    }
}

// --- Altitude alert ------------------------------------------------------------------------------

// Approaching the selection: one chime when the aircraft enters the window 750 to 250 ft short of
// it; the alert latches on the ticks after. The chime byte is shared with the radio altimeter's
// decision-height chime, so the alert touches it only when its own alert starts or ends.
void approach_alert(bool inside) {
    auto& s = shared;
    if (inside) {
        if (s.alt_alert_state == kAlertNone) {
            s.alt_alert_state = kAlertApproaching;
            if (s.alt_alert_chime == kChimeIdle && s.gpws_alert == 0) s.alt_alert_chime = kChimeRequested;
        } else {
            s.alt_alert_state = kAlertLatched;
            st.alt_alert_latched = 1;
        }
    } else if (s.alt_alert_state != kAlertNone) {
        s.alt_alert_state = kAlertNone;
        s.alt_alert_chime = kChimeIdle;
    }
}

// Deviation from the held altitude by 250 to 750 ft: the continuous chime.
void deviation_alert(bool inside) {
    auto& s = shared;
    if (inside) {
        s.alt_alert_state = kAlertDeviation;
        if (s.alt_alert_cont == 0 && s.gpws_alert == 0) s.alt_alert_cont = 1;
    } else {
        s.alt_alert_state = kAlertNone;
        s.alt_alert_cont = 0;
    }
}

bool within(double v, double lo, double hi) { return v >= lo && v <= hi; }

void altitude_alert(double alt, double vs) {
    auto& s = shared;
    const bool gear_up = read(sim::gear_nose_pos) == 0.0;
    const bool engine_running =
        read(sim::eng1_n2_pct) > kEngineRunningN2 || read(sim::eng2_n2_pct) > kEngineRunningN2;
    const bool climbing = vs > kMovingFpm;
    const bool descending = vs < -kMovingFpm;
    bool deviation_watched = false;
    if (gear_up && engine_running && s.afs_channels != 0) {
        const double sel = s.alt_sel;
        const u8 mode = s.alt_mode;
        if (mode == kAltArmed || mode == kAltCapture || mode == kAltChange) {
            if (climbing) approach_alert(within(alt, sel - kAlertFarFt, sel - kAlertNearFt));
            if (descending) approach_alert(within(alt, sel + kAlertNearFt, sel + kAlertFarFt));
        } else if (mode == kAltHoldSelected && (climbing || descending)) {
            deviation_watched = true;
            if (climbing) deviation_alert(within(alt, sel + kAlertNearFt, sel + kAlertFarFt));
            if (descending) deviation_alert(within(alt, sel - kAlertFarFt, sel - kAlertNearFt));
        }
    }
    // The continuous chime sounds only while the deviation is watched: gear down, engines stopped,
    // no channel, level flight or another mode stop it.
    if (!deviation_watched) s.alt_alert_cont = 0;
}

// --- Tick ----------------------------------------------------------------------------------------

void drums() {
    auto& s = shared;
    clamp_back<i32>(s.alt_sel, 0, kAltSelMax);
    st.alt_ten_thousands_digit = digit_of(s.alt_sel, 10000);
    st.alt_thousands_digit = digit_of(s.alt_sel, 1000);
    st.alt_hundreds_digit = digit_of(s.alt_sel, 100);
    st.alt_tens_digit = digit_of(s.alt_sel, 10);
    blanking.show(s.alt_sel < kBlankBelowFt);
}

void tick() {
    auto& s = shared;
    drums();  // 1
    const bool lit = s.batt_bus_powered == 1;  // 2
    alt_hold_light.show(lit && holding(s.alt_mode));
    alt_light.show(lit && capturing(s.alt_mode));
    panel_lighting.show(lit);
    if (s.alt_mode != 0 && s.appr_mode != 0 && s.gs_captured != 0) s.alt_mode = 0;  // 3
    s.vert_speed_fpm = read(sim::vs_ms256) / kVsUnitScale * kFeetPerMetre * kSecondsPerMinute;  // 4
    const double vs = s.vert_speed_fpm;
    const double alt = read(sim::altitude_ft);
    mode_logic(alt, vs);  // 5
    if (s.alt_mode != 0 && s.alt_mode != kAltArmed) s.ias_pitch_mode = 0;  // 6
    altitude_alert(alt, vs);  // 7
}

constexpr std::array areas{
    area<[] { select_down(kFineStep); }>("alt_sel.down_10", Cursor::down, Repeat::while_held),
    area<[] { select_up(kFineStep); }>("alt_sel.up_10", Cursor::up, Repeat::while_held),
    area<[] { select_down(kCoarseStep); }>("alt_sel.down_100", Cursor::down, Repeat::while_held),
    area<[] { select_up(kCoarseStep); }>("alt_sel.up_100", Cursor::up, Repeat::while_held),
    area<&alt_hold_button>("alt_hold", Cursor::hand),
    area<&alt_button>("alt", Cursor::hand),
};

}  // namespace

TARVENOL_GAUGE(ap_alt, "tarvenol ap_alt_t418", 138, &tick_callback<&tick>, areas, st_table, &reset, background,
               panel_lighting, ten_thousands, thousands, hundreds, tens, units, blanking, alt_hold_light, alt_light);
