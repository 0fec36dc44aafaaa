// tarvenol adi_fd_t418: the captain's attitude director indicator and the flight director computer
// behind it. The computer captures the VOR/localizer course and the glide slope, works out the
// course to fly with its intercept angle, the heading error and the vertical-speed command on the
// glide slope; the indicator shows the attitude sphere, the roll, pitch and runway command bars,
// the localizer, glide-slope and attitude flags, the channel lights and the decision-height light.
#include <array>
#include <cmath>

#include "afs/attitude.h"
#include "afs/control_laws.h"
#include "afs/modes.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::afs;


// Glide vertical speed: five times the airspeed in ft/min, in simulator units.
constexpr double kNominalGlidePerKt = 10.0 / 2.0;
// Vertical speeds sampled on the way down, metres above ground.
constexpr double kSampleHeights[3] = {240.0, 220.0, 202.0};
constexpr double kFreezeBelowM = 200.0;
constexpr double kSampleUpdateAboveFt = 155.0;
constexpr i32 kGlideRecomputeTicks = 20;
constexpr double kNeedleFlyDown = 15.0;   // needle at or beyond: steepest descent / none
constexpr double kNeedleGain = 10.0;
constexpr double kSteepestDescent = -1500.0;
constexpr double kGlideArmAbove = -15.0;  // needle above this arms the glide slope
constexpr double kGlideArmVsAbove = -250.0;
constexpr double kGlideLost = -119.0;
constexpr u8 kGlideArmed = 1;
constexpr u8 kGlideCaptured = 2;

// Pitch commands: bar deflection per ft/min of vertical-speed error; pitch wheel gain.
constexpr double kVsPerDeflection = 50.0;
constexpr double kWheelGain = 4.0;
constexpr double kAltWindowFt = 300.0;
constexpr double kAltGain = 3.5;
constexpr double kAltSlewFpm = 500.0;

// Course tracking.
constexpr double kLocalizerWindow = 117.0;
constexpr double kVorWindowDivisor = 15.0;
constexpr double kVorWindowKnee = 300.0;
constexpr double kVorWindowRollOff = 30.0;
constexpr i32 kIntercepts[] = {20, 15, 10, 5, 1, 0};
constexpr double kFullCircle = 360.0;
constexpr double kHalfCircle = 180.0;
constexpr double kFrontSideDeg = 90.0;
constexpr double kHdgErrDeadBand = 0.2;

// Bank steps by heading error: above each bound, the step.
struct BankStep {
    double above;
    i32 step;
};
constexpr BankStep kNavBankSteps[] = {{15.0, 25}, {10.0, 10}, {5.0, 5}, {3.0, 2}, {2.0, 1}};
constexpr BankStep kHdgBankSteps[] = {{15.0, 25}, {10.0, 15}, {5.0, 10}, {3.0, 5}, {2.0, 1}};
constexpr double kNavDirectWithin = 5.0;
constexpr double kHdgDirectWithin = 3.0;
constexpr double kRunwayGain = 0.75;

// Command bars, display units: 1..11 in view, 6 centred, parked out of view.
constexpr double kBarMin = 1.0;
constexpr double kBarMax = 11.0;
constexpr double kBarCentre = 6.0;
constexpr double kBarParkedRoll = 14.0;
constexpr double kBarParkedPitch = -4.0;
constexpr double kBarOffset = 120.0;
constexpr double kBarScale = 20.0;
constexpr double kRunwayBarBias = 0.1;
constexpr double kBarCoarse = 1.0;
// The roll bar's finer phases: step and how far it must be to take it.
struct Phase {
    double away;
    double step;
};
constexpr Phase kRollPhases[] = {{1.0, 1.0}, {0.1, 0.05}, {0.02, 0.01}, {0.005, 0.005}};
constexpr Phase kRunwayPhases[] = {{1.0, 1.0}, {0.1, 0.025}, {0.01, 0.01}};
constexpr double kPitchFineWindow = 0.2;
constexpr double kPitchFineBasic = 0.1;
constexpr double kPitchFineIas = 0.02;
constexpr double kLandCentreWindow = 0.2;
constexpr double kLandCentreStep = 0.1;

constexpr u8 kHysteresisSet = 2;

#define ADI_FD_STATE(X)                       \
    X(u8, fd_hyst_a, 0)                       \
    X(u8, fd_hyst_b, 0)                       \
    X(f64, fd_nominal_glide_vs, 0.0)          \
    X(f64, fd_vs_sample_1, 0.0)               \
    X(f64, fd_vs_sample_2, 0.0)               \
    X(f64, fd_vs_sample_3, 0.0)               \
    X(f64, fd_vs_sample_avg, 0.0)             \
    X(i32, fd_glide_deadline, 0)              \
    X(u8, fd_glide_timed, 0)                  \
    X(i32, fd_bank_step, 0)                   \
    X(f64, fd_nav_roll_cmd, 0.0)              \
    X(f64, fd_hdg_roll_cmd, 0.0)              \
    X(f64, fd_basic_pitch_cmd, 0.0)           \
    X(f64, fd_alt_pitch_cmd, 0.0)             \
    X(f64, fd_gs_pitch_cmd, 0.0)              \
    X(f64, fd_runway_cmd, 0.0)                \
    X(f64, fd_roll_bar, kBarParkedRoll)       \
    X(f64, fd_pitch_bar, kBarParkedPitch)     \
    X(f64, fd_runway_bar, kBarParkedRoll)     \
    X(f64, fd_sphere_pitch, 0.0)              \
    X(f64, fd_sphere_bank, 0.0)               \
    X(u8, fd_sphere_following, 0)
TARVENOL_PRIVATE_STATE(ADI_FD_STATE)

// One face: the sphere, the bank pointer turning with it over the fixed bank scale, the aircraft
// symbol, the command bars crossing over it; the flags in the face's ring, the lights in the corners.
constexpr Box kFace = centred(334, 270, 460, 460);
constexpr double kPixelsPerPitchDegree = 6.0;
constexpr double kBarTravel = 120.0;  // pixels from the symbol at the end of the bars' range
Background background{panel("ADI", 540)};
MovingImage sphere{"attitude_sphere", [] { return st.fd_sphere_bank; }, [] { return st.fd_sphere_pitch; },
                   tarvenol::sphere(kFace, kPixelsPerPitchDegree)};
Needle bank_pointer{"bank_pointer", [] { return st.fd_sphere_bank; }, bank_index(kFace)};
IconSet aircraft_symbol{"aircraft_symbol", 1, [] { return 0.0; }, face_symbol(kFace, kAttitudeSymbol)};
MovingImage roll_bar{"roll_bar", [] { return st.fd_roll_bar; }, nullptr, fd_bar(kFace, kRollBar, kBarTravel)};
MovingImage pitch_bar{"pitch_bar", nullptr, [] { return st.fd_pitch_bar; }, fd_bar(kFace, kPitchBar, kBarTravel)};
MovingImage runway_bar{"runway_bar", [] { return st.fd_runway_bar; }, nullptr, fd_bar(kFace, kRunwayBar, kBarTravel)};
Image attitude_flag{"attitude_flag", flag("ATT", at(140, 90, 52, 22))};
Image loc_flag{"loc_flag", flag("LOC", at(308, 472, 52, 22))};
Image gs_flag{"gs_flag", flag("GS", at(512, 259, 42, 22))};
Image channel_1_light{"channel_1_light", light(Tone::advisory, "1", at(22, 22, 40, 26))};
Image channel_2_light{"channel_2_light", light(Tone::advisory, "2", at(68, 22, 40, 26))};
Image dh_light{"dh_light", light(Tone::caution, "DH", at(598, 22, 48, 26))};
Image lamp_test_legend{"lamp_test_legend", light(Tone::white, "TEST", at(22, 492, 60, 26))};

double wrap_180(double deg) {
    double d = std::fmod(deg, kFullCircle);
    if (d > kHalfCircle) d -= kFullCircle;
    if (d < -kHalfCircle) d += kFullCircle;
    return d;
}
i32 wrap_360(double deg) {
    const i32 d = truncate<i32>(std::fmod(deg, kFullCircle));
    return d < 0 ? d + static_cast<i32>(kFullCircle) : d;
}

// --- 1..3 Failures, lights and station flags -------------------------------------------------------

void failures_and_lights(u32 station) {
    auto& s = shared;
    const bool failed = attitude_failed() || s.norm_eqpt_ess_powered == 0;
    const bool batt = s.batt_bus_powered == 1;
    if (failed) {
        s.ap_engaged = 0;
        s.ap_1_lever = 0;
        s.ap_2_lever = 0;
        s.sim_ap_seen_on = 0;
        s.mw_adi_fault = 1;
    } else if (batt) {
        s.mw_adi_fault = 0;
    }
    attitude_flag.show(failed || !batt);

    const bool loc_station = (station & kLocalizerBit) != 0;
    const bool gs_station = (station & kGlideSlopeBit) != 0;
    loc_flag.show(batt && loc_station && read(sim::nav1_signal) <= 0.0);
    gs_flag.show(batt && gs_station && read(sim::nav1_gs_flag) == 0.0);
    channel_1_light.show(batt && (s.afs_channels == 1 || s.afs_channels == 3));
    channel_2_light.show(batt && s.afs_channels == 2);
    dh_light.show(batt && (s.dh_alert_state == 1 || s.ann_lt_test == 1));
    lamp_test_legend.show(batt && s.ann_lt_test == 1);

    s.nav_loc_coupled = loc_station;
    s.appr_coupled = gs_station;
}

// --- 4, 5 Glide vertical speed ---------------------------------------------------------------------

void glide_vertical_speed() {
    auto& s = shared;
    st.fd_nominal_glide_vs = -(read(sim::ias_kt) * kNominalGlidePerKt * afs::kVsUnitsPerFpm);
    const double vs = read(sim::vs_ms256);
    const double height = read(sim::height_agl_m);
    if (height > kSampleHeights[0]) st.fd_vs_sample_1 = vs;
    if (height > kSampleHeights[1]) st.fd_vs_sample_2 = vs;
    if (height > kSampleHeights[2]) st.fd_vs_sample_3 = vs;
    st.fd_vs_sample_avg = (st.fd_vs_sample_1 + st.fd_vs_sample_2 + st.fd_vs_sample_3) / 3.0;

    if (height > kFreezeBelowM) {
        if (s.gs_captured == 0) {
            s.fd_vs_cmd = 0.0;
        } else if (s.gs_captured == kGlideArmed) {
            s.fd_vs_cmd = st.fd_nominal_glide_vs;
        } else if (s.gs_captured == kGlideCaptured && (st.fd_glide_timed == 0 || is_due(st.fd_glide_deadline))) {
            st.fd_glide_deadline = deadline_in(kGlideRecomputeTicks);
            st.fd_glide_timed = 1;
            const double u = read(sim::nav1_gsi);
            if (u <= -kNeedleFlyDown)
                s.fd_vs_cmd = 0.0;
            else if (u < kNeedleFlyDown)
                s.fd_vs_cmd = st.fd_nominal_glide_vs - u * kNeedleGain;
            else if (u >= kNeedleFlyDown)
                s.fd_vs_cmd = kSteepestDescent;
        }
    } else if (s.radio_alt_ft > kSampleUpdateAboveFt) {
        s.fd_vs_cmd = st.fd_vs_sample_avg;
    }
}

// --- 6 Pitch commands -------------------------------------------------------------------------------

double vs_command(double target_fpm, double vs) { return -(target_fpm - vs) / kVsPerDeflection; }

void pitch_commands(double vs) {
    auto& s = shared;
    if (s.fd_basic_pitch == 1)
        st.fd_basic_pitch_cmd = -(s.pitch_wheel + read(sim::pitch_deg)) * kWheelGain;
    else
        st.fd_basic_pitch_cmd = vs_command(s.ap_vs_ref, vs);

    const double alt = read(sim::altitude_ft);
    const u8 mode = s.alt_mode;
    if (mode == kAltHoldPresent) {
        double target = (s.ap_alt_ref - alt) * kAltGain;
        if (alt > s.ap_alt_ref + kAltWindowFt) target = -kAltSlewFpm;
        if (alt < s.ap_alt_ref - kAltWindowFt) target = kAltSlewFpm;
        st.fd_alt_pitch_cmd = vs_command(target, vs);
    } else if (mode == kAltCapture || mode == kAltChange || mode == kAltTransition || mode == kAltHoldSelected) {
        const double off = s.alt_sel - alt;
        const double target = off >= -kAltWindowFt && off <= kAltWindowFt ? off * kAltGain : s.ap_vs_ref;
        st.fd_alt_pitch_cmd = vs_command(target, vs);
    } else {
        st.fd_alt_pitch_cmd = vs / kVsPerDeflection;
    }
}

// --- 7, 8 Course tracking and capture ---------------------------------------------------------------

double capture_window(u32 station) {
    if ((station & (kLocalizerBit | kGlideSlopeBit)) != 0) return kLocalizerWindow;
    const double signal = read(sim::nav1_signal);
    if (signal <= kVorWindowKnee) return signal / kVorWindowDivisor;
    return signal / kVorWindowDivisor - (signal / kVorWindowRollOff - kVorWindowRollOff);
}

i32 intercept_angle(double x, double c) {
    u8& a = st.fd_hyst_a;
    u8& b = st.fd_hyst_b;
    const double t1 = c;
    const double t2 = c / 3.0;
    const double t3 = t2 / 1.5;
    const double t4 = t3 / 1.5;
    const double t5 = a == kHysteresisSet ? t4 / 2.5 : t4 / 2.0;
    const double t6 = b == kHysteresisSet ? t5 / 2.0 : t5 / 1.5;
    const double m = std::fabs(x);
    if (x == 0.0 || !(m <= t1)) return kIntercepts[5];
    if (m > t2) return kIntercepts[0];
    if (m > t3) return kIntercepts[1];
    if (m > t4) {
        b = 0;
        return kIntercepts[2];
    }
    if (m > t5) {
        if (a == 1)
            a = 2;
        else if (a != 2)
            a = 0;
        return kIntercepts[3];
    }
    if (m > t6) {
        if (b == 1)
            b = 2;
        else if (b != 2)
            b = 0;
        if (a == 2)
            a = 3;
        else if (a != 3)
            a = 1;
        return kIntercepts[4];
    }
    if (b == 2)
        b = 3;
    else if (b != 3)
        b = 1;
    return kIntercepts[5];
}

void course_tracking(u32 station, double heading, double course, double x) {
    auto& s = shared;
    const double c = capture_window(station);
    s.fd_intercept = intercept_angle(x, c);
    if (x > 0.0 && x <= c)
        s.fd_track_cmd = wrap_360(course + s.fd_intercept);
    else if (x < 0.0 && x >= -c)
        s.fd_track_cmd = wrap_360(course - s.fd_intercept);
    else
        s.fd_track_cmd = wrap_360(heading);

    if (std::fabs(x) <= c && s.nav_mode + s.appr_mode != 0) s.nav_captured = 1;
    if (read(sim::nav1_signal) <= 0.0) s.nav_captured = 0;
}

// --- 9 Heading error and roll commands --------------------------------------------------------------

// Beyond the first bound (strictly) the largest step; from each further bound on, its step.
template <std::size_t N>
i32 bank_step(double err, const BankStep (&steps)[N]) {
    if (err > steps[0].above) return steps[0].step;
    if (err < -steps[0].above) return -steps[0].step;
    for (std::size_t i = 1; i < N; ++i) {
        if (err >= steps[i].above) return steps[i].step;
        if (err <= -steps[i].above) return -steps[i].step;
    }
    return 0;
}

void roll_commands(double heading, double bank) {
    auto& s = shared;
    double err = wrap_180(s.fd_track_cmd - heading);
    if (err > -kHdgErrDeadBand && err < kHdgErrDeadBand) err = 0.0;
    s.fd_hdg_err = err;
    st.fd_bank_step = bank_step(err, kNavBankSteps);
    st.fd_nav_roll_cmd = err >= -kNavDirectWithin && err <= kNavDirectWithin ? err : st.fd_bank_step + bank;

    const double hdg_err = wrap_180(s.hdg_ref - heading);
    st.fd_hdg_roll_cmd = hdg_err >= -kHdgDirectWithin && hdg_err <= kHdgDirectWithin
                             ? hdg_err
                             : bank_step(hdg_err, kHdgBankSteps) + bank;
}

// --- 10 Localizer side and glide slope -------------------------------------------------------------

void glide_slope(double heading, double course, double vs) {
    auto& s = shared;
    const double level = vs / kVsPerDeflection;
    const double glide = -(s.fd_vs_cmd - vs) / kVsPerDeflection;
    const bool front = std::fabs(wrap_180(heading - course)) <= kFrontSideDeg;
    st.fd_gs_pitch_cmd = level;
    if (!(front && is_on(read(sim::nav1_gs_flag)))) {
        s.loc_captured = 0;
        s.gs_captured = 0;
        st.fd_glide_timed = 0;
        st.fd_glide_deadline = 0;
        return;
    }
    s.loc_captured = 1;
    const double u = read(sim::nav1_gsi);
    if (u > kGlideArmAbove && s.gs_captured == 0 && read(sim::vs_ms256) > kGlideArmVsAbove) s.gs_captured = kGlideArmed;
    if (s.gs_captured == kGlideArmed && u >= 0.0) s.gs_captured = kGlideCaptured;
    if (s.gs_captured == kGlideCaptured) st.fd_gs_pitch_cmd = glide;
    if (u <= kGlideLost) s.gs_captured = 0;
}

// --- Command bars -----------------------------------------------------------------------------------

// Moves a bar toward its target by the first phase it is far enough away for; within the last
// phase it settles on the target. A target that is no number leaves the bar where it is.
template <std::size_t N>
void move_bar(double& bar, double target, const Phase (&phases)[N]) {
    if (target != target) return;
    const double d = target - bar;
    for (const Phase& p : phases) {
        if (std::fabs(d) > p.away) {
            bar += d > 0.0 ? p.step : -p.step;
            return;
        }
    }
    bar = target;
}

void clamp_bar(double& bar) {
    if (!(bar >= kBarMin)) bar = kBarMin;
    if (bar > kBarMax) bar = kBarMax;
}

double bar_target(double command) { return (kBarOffset + command) / kBarScale; }

void roll_bar_tick() {
    auto& s = shared;
    double target = kBarCentre;
    switch (s.fd_lat_code) {
        case kLatHeading: target = bar_target(st.fd_hdg_roll_cmd); break;
        case kLatNav:
        case kLatLocalizer: target = bar_target(st.fd_nav_roll_cmd); break;
        case kLatTakeoff: target = (kBarOffset - st.fd_nav_roll_cmd) / kBarScale; break;
        default: break;
    }
    if (s.fd_lat_code == kLatLocalizer && s.land_locked == 1) target = kBarCentre;
    move_bar(st.fd_roll_bar, target, kRollPhases);
    clamp_bar(st.fd_roll_bar);
}

void pitch_bar_tick() {
    auto& s = shared;
    double& bar = st.fd_pitch_bar;
    if (s.land_locked == 1 && s.appr_mode >= kLand) {
        const double d = kBarCentre - bar;
        if (std::fabs(d) > kBarCoarse)
            bar += d > 0.0 ? kBarCoarse : -kBarCoarse;
        else if (std::fabs(d) > kLandCentreWindow)
            bar += d > 0.0 ? kLandCentreStep : -kLandCentreStep;
        else
            bar = kBarCentre;
        clamp_bar(bar);
        return;
    }
    const u8 code = s.fd_vert_code;
    double command = 0.0;
    if (code == kVertBasicPitch || code == kVertIas)
        command = st.fd_basic_pitch_cmd;
    else if (code == kVertAltCapture || code == kVertAltHold)
        command = st.fd_alt_pitch_cmd;
    else if (code == kVertApproach)
        command = st.fd_gs_pitch_cmd;
    const double target = bar_target(command);
    if (code == kVertBasicPitch || code == kVertIas) {
        const Phase phases[] = {{kBarCoarse, kBarCoarse},
                                {kPitchFineWindow, code == kVertBasicPitch ? kPitchFineBasic : kPitchFineIas}};
        if (target == target) {
            const double d = target - bar;
            if (std::fabs(d) > phases[0].away)
                bar += d > 0.0 ? phases[0].step : -phases[0].step;
            else if (std::fabs(d) > phases[1].away)
                bar += d > 0.0 ? phases[1].step : -phases[1].step;
        }
    } else {
        move_bar(bar, target, kRollPhases);
    }
    clamp_bar(bar);
}

void runway_bar_tick(bool shown) {
    runway_bar.show(shown);
    if (!shown) {
        move_bar(st.fd_runway_bar, kBarParkedRoll, kRollPhases);
        return;
    }
    move_bar(st.fd_runway_bar, bar_target(st.fd_runway_cmd) + kRunwayBarBias, kRunwayPhases);
    clamp_bar(st.fd_runway_bar);
}

void slew_up_to(double& bar, double parked) {
    if (bar < parked - kBarCoarse)
        bar += kBarCoarse;
    else
        bar = parked;
}

void park_bars() {
    slew_up_to(st.fd_roll_bar, kBarParkedRoll);
    slew_up_to(st.fd_runway_bar, kBarParkedRoll);
    if (st.fd_pitch_bar > kBarParkedPitch + kBarCoarse)
        st.fd_pitch_bar -= kBarCoarse;
    else
        st.fd_pitch_bar = kBarParkedPitch;
}

void tick() {
    auto& s = shared;
    const u32 station = nav_station_flags();
    failures_and_lights(station);                              // 1..3
    glide_vertical_speed();                                    // 4, 5
    const double vs = afs::present_vs_fpm();
    pitch_commands(vs);                                        // 6
    const double heading = read(sim::heading_deg);
    const double course = read(sim::nav1_obs_deg);
    const double x = read(sim::nav1_cdi);
    course_tracking(station, heading, course, x);              // 7, 8
    roll_commands(heading, read(sim::bank_deg));               // 9
    glide_slope(heading, course, vs);                          // 10
    st.fd_runway_cmd = (wrap_180(course - heading) + x) * kRunwayGain;  // 11

    const bool bars = s.fd_sw == 1 && (s.batt_bus_powered == 1 || s.ac_bus_1_powered == 1) &&
                      s.ess_equipment_level != 0;
    roll_bar.show(bars);
    pitch_bar.show(bars);
    if (bars) {
        roll_bar_tick();
        pitch_bar_tick();
        runway_bar_tick(s.runway_guidance == 1 || s.flare_elevator == 1);
    } else {
        runway_bar.show(false);
        park_bars();
    }

    afs::move_sphere(st.fd_sphere_pitch, st.fd_sphere_bank, st.fd_sphere_following,
                     s.batt_bus_powered == 1 && s.norm_eqpt_ess_powered == 1);
}

}  // namespace

TARVENOL_GAUGE(adi_fd, "tarvenol adi_fd_t418", 334, &tick_callback<&tick>, no_areas, st_table, &reset_private_state,
               background, sphere, bank_pointer, aircraft_symbol, roll_bar, pitch_bar, runway_bar, attitude_flag,
               loc_flag, gs_flag, channel_1_light,
               channel_2_light, dh_light, lamp_test_legend);
