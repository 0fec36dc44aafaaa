// The simulator's own autopilot as the cockpit uses it: heading hold, approach hold on the ILS
// localizer needle (and glide-slope needle when no altitude hold runs), a wing leveller, altitude hold with the
// altitude and vertical-speed references, and the airspeed hold that moves the throttles. The holds
// are switched on and off by the cockpit's key events (their states are the simulator variables the
// aircraft model sets; the approach hold, once the localizer is alive, switches the heading hold
// off as it takes over); each is a small proportional-integral controller on what the simulator's
// instruments give (needles, heading, track, vertical speed, airspeed: never the true position),
// run at the model's fixed step. The airspeed hold retards the levers to idle for the landing and
// lets go of them when the crew moves one.
#pragma once

#include <optional>

namespace tarvenol::host {

class AircraftModel;
class SimVars;
struct NavWorld;

// The controllers' figures.
namespace autopilot_gains {
constexpr double kBankPerHeadingError = 2.0;      // degrees of bank per degree of heading error
constexpr double kMaxBankDeg = 25.0;
constexpr double kLocInterceptPerNeedle = 0.15;   // degrees of intercept per unit of localizer needle (127: full scale)
constexpr double kLocMaxInterceptDeg = 30.0;
constexpr double kLocAliveNeedle = 126.0;         // the localizer is flown once the needle is off its stop
constexpr double kAltitudeCaptureFpmPerFt = 3.0;  // vertical speed asked per foot from the altitude reference
constexpr double kDefaultVsFpm = 1000.0;          // an altitude hold given no vertical speed: this rate
constexpr double kGlideFpmPerNeedle = 5.0;        // glide-slope hold correction
constexpr double kVsChangeFpmPerSecond = 150.0;  // how fast the vertical speed asked may change
constexpr double kVsPitchGainDegPerFpm = 0.004;   // pitch attitude per ft/min of vertical-speed error
constexpr double kVsIntegralDegPerFtErr = 0.0015; // pitch attitude per foot of accumulated error
constexpr double kMaxPitchDeg = 10.0;             // the simulator's autopilot never asks more nose-up (its airliners' setting)
constexpr double kMinPitchDeg = -10.0;
constexpr double kThrottlePerKnotSecond = 0.008;  // airspeed hold: throttle rate per knot of error
constexpr double kThrottlePerKnotPerSecond = 0.06; // damping on the speed trend (knots per second)
constexpr double kThrottleRatePerSecond = 0.08;   // the autothrottle's fastest lever movement
constexpr double kRetardHeightFt = 50.0;          // radio height from which the airspeed hold, gear down, retards to idle
constexpr double kRetardPerSecond = 0.08;         // the retard moves the levers at the hold's fastest rate: idle in about 5 s
constexpr double kCrewLeverMoved = 0.01;          // a lever further than this from where the hold left it was moved by the crew
constexpr double kThrottleMin = 0.0;
constexpr double kThrottleMax = 1.0;
}  // namespace autopilot_gains

// What the flight model tells the autopilot each step.
struct FlightSense {
    double heading_deg;        // true
    double track_deg;          // true, over the ground
    double bank_deg;           // right wing down positive
    double pitch_deg;          // nose up positive
    double vs_fpm;
    double altitude_ft;        // indicated
    double height_ft;          // above the ground
    double ias_kt;
    double ias_trend_kt_s;
    double tas_mps;
    double gamma_needed_alpha_deg;  // the angle of attack that holds the present flight path
    double loc_needle;         // the localizer needle, -127..127, negative when the course lies to the left
    bool loc_alive;            // the ILS is tuned and its needle off the stop
    double gsi;                // glide-slope needle, positive above the path
    double glide_deg;          // the glide path of the ILS
    bool gs_alive;
    bool on_ground;
    double throttle;           // the throttle levers, 0..1 forward (the mean of the two)
    bool gear_down;
};

// What the autopilot asks for; empty where the pilot (the control axes) has the aircraft.
struct AutopilotCommand {
    std::optional<double> bank_deg;
    std::optional<double> pitch_deg;
    std::optional<double> throttle;  // 0..1
};

class SimAutopilot {
public:
    // One fixed step of dt seconds.
    AutopilotCommand step(const AircraftModel& model, SimVars& vars, const FlightSense& s, double dt);
    void reset() { *this = SimAutopilot{}; }

    // The vertical speed the altitude hold flies this step (ft/min), for the record.
    double vs_target_fpm() const { return vs_target_fpm_; }

private:
    double vs_integral_ft_ = 0.0;
    double throttle_ = -1.0;  // the airspeed hold's lever; negative until it takes over
    bool crew_has_levers_ = false;  // the crew moved a lever under the hold: it lets go until engaged again
    double vs_target_fpm_ = 0.0;
    bool vertical_active_ = false;  // a vertical hold flew the last step
    bool pitch_held_ = false;  // the master's attitude hold when no vertical hold runs
    double held_pitch_deg_ = 0.0;
};

}  // namespace tarvenol::host
