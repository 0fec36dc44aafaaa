#include "host/autopilot_sim.h"

#include <algorithm>
#include <cmath>

#include "host/aircraft_model.h"
#include "host/flight_math.h"
#include "module/numbers.h"

namespace tarvenol::host {

namespace {

using namespace flight_math;

using namespace autopilot_gains;



double bank_to_turn(double error_deg) {
    return std::clamp(error_deg * kBankPerHeadingError, -kMaxBankDeg, kMaxBankDeg);
}

}  // namespace

AutopilotCommand SimAutopilot::step(const AircraftModel& model, SimVars& v, const FlightSense& s, double dt) {
    AutopilotCommand c;
    const AircraftModel::Autopilot& ap = model.autopilot();

    // The airspeed hold runs with or without the master: it moves the throttles toward the
    // reference, faster the larger the error, slower as the speed already comes back.
    // Gear down below the retard height (and on the wheels after it) the levers go to idle. A lever
    // the crew moves is theirs: the hold lets go until it is engaged again.
    if (!ap.airspeed_hold) crew_has_levers_ = false;
    if (ap.airspeed_hold && throttle_ >= 0.0 && std::fabs(s.throttle - throttle_) > kCrewLeverMoved) crew_has_levers_ = true;
    const bool retard = s.gear_down && (s.on_ground || s.height_ft < kRetardHeightFt);
    if (ap.airspeed_hold && !crew_has_levers_ && (!s.on_ground || (retard && throttle_ >= 0.0))) {
        if (throttle_ < 0.0) throttle_ = s.throttle;
        const double error = finite_or_zero(v.get(sim::ap_airspeed_ref_kt)) - s.ias_kt;
        const double rate = retard ? -kRetardPerSecond
                                   : std::clamp(error * kThrottlePerKnotSecond - s.ias_trend_kt_s * kThrottlePerKnotPerSecond,
                                                -kThrottleRatePerSecond, kThrottleRatePerSecond);
        throttle_ = std::clamp(throttle_ + rate * dt, kThrottleMin, kThrottleMax);
        c.throttle = throttle_;
    } else {
        throttle_ = -1.0;
    }

    if (!is_on(v.get(sim::ap_master)) || s.on_ground) {
        vs_integral_ft_ = 0.0;
        pitch_held_ = false;
        vertical_active_ = false;
        return c;
    }

    // Lateral: the approach hold once the localizer is alive (it then takes over from the heading
    // hold, which it switches off), else the heading hold, else wings level; otherwise the ailerons.
    const bool approach_hold = is_on(v.get(sim::ap_state_111));
    if (approach_hold && s.loc_alive) v.set(sim::ap_heading_hold, 0.0);
    const bool heading_hold = is_on(v.get(sim::ap_heading_hold));
    const bool wing_leveller = is_on(v.get(sim::ap_state_105));
    if (heading_hold) {
        c.bank_deg = bank_to_turn(wrap180(ap.heading_ref_deg - s.heading_deg));
    } else if (approach_hold && s.loc_alive) {
        const double intercept = std::clamp(s.loc_needle * kLocInterceptPerNeedle, -kLocMaxInterceptDeg, kLocMaxInterceptDeg);
        const double course = finite_or_zero(v.get(sim::nav1_obs_deg));
        c.bank_deg = bank_to_turn(wrap180(course + intercept - s.track_deg));
    } else if (wing_leveller) {
        c.bank_deg = 0.0;
    }

    // Vertical: altitude hold toward its reference at the vertical-speed reference; the glide slope
    // under approach hold alone; otherwise the attitude the master found.
    std::optional<double> vs_target;
    if (is_on(v.get(sim::ap_state_108))) {
        const double limit = ap.vs_ref_fpm != 0 ? std::fabs(static_cast<double>(ap.vs_ref_fpm)) : kDefaultVsFpm;
        vs_target = std::clamp((ap.altitude_target_ft - s.altitude_ft) * kAltitudeCaptureFpmPerFt, -limit, limit);
    } else if (approach_hold && s.gs_alive) {
        const double glide_fpm = -std::tan(s.glide_deg / kDegPerRad) * s.tas_mps * kFeetPerMetre * kSecondsPerMinute;
        vs_target = glide_fpm - s.gsi * kGlideFpmPerNeedle;
    }
    if (vs_target) {
        // The vertical speed asked changes gently, as the simulator's autopilot eases into a new rate.
        if (!vertical_active_) vs_target_fpm_ = s.vs_fpm;
        vertical_active_ = true;
        const double step = kVsChangeFpmPerSecond * dt;
        vs_target_fpm_ = std::clamp(*vs_target, vs_target_fpm_ - step, vs_target_fpm_ + step);
        pitch_held_ = false;
        const double error = vs_target_fpm_ - s.vs_fpm;
        vs_integral_ft_ = std::clamp(vs_integral_ft_ + error * dt / kSecondsPerMinute,
                                     -kMaxPitchDeg / kVsIntegralDegPerFtErr, kMaxPitchDeg / kVsIntegralDegPerFtErr);
        const double gamma_deg =
            std::asin(std::clamp(vs_target_fpm_ / kFeetPerMetre / kSecondsPerMinute / std::max(s.tas_mps, 1.0), -0.5, 0.5)) *
            kDegPerRad;
        c.pitch_deg = std::clamp(gamma_deg + s.gamma_needed_alpha_deg + error * kVsPitchGainDegPerFpm +
                                     vs_integral_ft_ * kVsIntegralDegPerFtErr,
                                 kMinPitchDeg, kMaxPitchDeg);
    } else {
        vs_integral_ft_ = 0.0;
        vertical_active_ = false;
        if (!pitch_held_) held_pitch_deg_ = s.pitch_deg;
        pitch_held_ = true;
        c.pitch_deg = held_pitch_deg_;
    }
    return c;
}

}  // namespace tarvenol::host
