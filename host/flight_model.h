// The stand-in simulator's flight model: a point mass for a two-engine wide-body, stepped at the
// simulator's fixed 18 frames a second. Speed comes from thrust, drag and weight; the flight path
// from lift against weight; pitch and bank answer the elevator and aileron axes (or the simulator's
// autopilot) with first-order lags; turns are coordinated. The engines are the aircraft model's
// (spool lag from throttle and HP lever); flaps, gear and spoilers add drag (and flaps lift); on the
// ground the wheels roll, brake and the reversers push back. Every variable the cockpit reads about
// the aircraft's motion comes out in the simulator's units, and the radios are read from the
// navigation world at the aircraft's place.
//
// The model is off until switched on (a scenario's `flight on`, `cockpit-sim fly`); off, nothing in
// the simulator moves except what the aircraft model and the scripts do.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "host/autopilot_sim.h"
#include "host/nav_world.h"

namespace tarvenol::host {

class AircraftModel;
class SimVars;

// The airframe and its environment, each figure with its unit. The airframe's figures are general
// aeronautical knowledge of a two-engine wide-body of the late 1970s (about 260 m² of wing, 130-140 t
// at landing, CF6-50 class engines), rounded; the atmosphere is the international standard one.
namespace flight_coefficients {
constexpr double kOperatingEmptyMassKg = 88000.0;  // a two-engine wide-body of the late 1970s, empty and crewed
constexpr double kZeroFuelMassKg = 95000.0;        // with a light payload: the default
constexpr double kMaxZeroFuelMassKg = 124000.0;    // the structural limit without fuel
constexpr double kWingAreaM2 = 260.0;              // m², reference wing area of the type
constexpr double kGravity = 9.80665;             // m/s^2
constexpr double kSeaLevelDensity = 1.225;       // kg/m^3
constexpr double kSeaLevelTempK = 288.15;        // K, standard atmosphere
constexpr double kLapseRateKPerM = 0.0065;       // K/m, standard atmosphere below the tropopause
constexpr double kSpeedOfSoundSeaLevel = 340.29; // m/s
constexpr double kCl0 = 0.25;                    // lift coefficient at zero angle of attack, clean (a cambered supercritical-era wing)
constexpr double kClPerDeg = 0.095;              // lift slope, per degree of angle of attack (aspect ratio about 8, 28 deg sweep)
constexpr double kClFlapsFull = 0.9;             // added lift coefficient at full flap and slats (double-slotted flaps)
constexpr double kClSpoilersFull = -0.45;        // lift lost with the spoilers fully out (they dump about a third of it)
constexpr double kStallAlphaDeg = 14.0;          // the wing stalls here (CLmax about 2.5 at full flap: stalling near
                                                 // 110 kt at 125 t, as a wide-body of the type does)
constexpr double kClLostPerDegPastStall = 0.08;  // past the stall the lift falls away (per degree)
constexpr double kCdPerDegPastStall = 0.03;      // and the drag rises steeply (per degree)
constexpr double kCd0 = 0.021;                   // parasite drag coefficient, clean (usual for a wide-body)
constexpr double kCdFlapsFull = 0.075;           // drag coefficient added by full flap (a landing L/D of about 7 with the gear)
constexpr double kCdGearDown = 0.022;            // drag coefficient of the extended gear
constexpr double kCdSpoilersFull = 0.06;         // drag coefficient of the spoilers fully out
constexpr double kInducedDragK = 0.045;          // drag per lift coefficient squared (1 / (pi A e), A about 8, e about 0.85)
constexpr double kMaxThrustPerEngineN = 190000.0;  // static sea-level thrust at 100 % N1: the lever's stop (110 %)
                                                   // gives 230 kN, the take-off rating of a CF6-50 class engine
constexpr double kThrustDensityExponent = 0.75;  // thrust lapse with air density (a high-bypass turbofan's usual figure)
constexpr double kThrustLapsePerMach = 0.8;      // and with speed: about 20 % less at Mach 0.25 than standing still
constexpr double kReverseEfficiency = 0.45;      // share of the forward thrust a fan reverser turns back (usual figure)
constexpr double kReverserDeployed = 0.99;       // reverser travel beyond which it reverses the thrust
constexpr double kPitchTimeConstantS = 1.2;      // s, the attitude follows its command (a heavy aircraft's short-period response)
constexpr double kMaxPitchRateDegS = 3.0;        // deg/s, the fastest pitch rate (a rotation's usual 2-3 deg/s)
constexpr double kManualPitchRateDegS = 4.0;     // pitch rate at full elevator without autopilot
constexpr double kElevatorPitchDeg = 6.0;        // attitude offset at full elevator under the autopilot
constexpr double kRollTimeConstantS = 0.8;       // the roll rate follows its command
constexpr double kBankGain = 0.6;                // roll rate (deg/s) per degree of bank error, autopilot
constexpr double kMaxRollRateDegS = 5.0;         // deg/s, the autopilot's fastest roll
constexpr double kAileronRollRateDegS = 25.0;    // roll rate at full aileron, right positive from a left (negative) deflection
constexpr double kSpiralDivergencePerS = 0.022;  // the bank grows by itself at this rate
constexpr double kMaxBankDeg = 60.0;             // deg, the bank the model allows at most
constexpr double kAxisFull = 16383.0;            // the control axes' full deflection
constexpr double kRollingFriction = 0.015;       // tyre rolling resistance per g on the wheels (usual on concrete)
constexpr double kBrakeFriction = 0.35;          // wheel-brake deceleration per g at full pedal (dry runway, anti-skid)
constexpr double kBrakePedalFull = 32000.0;      // the simulator's brake pedal, raw
constexpr double kMaxGroundPitchDeg = 12.0;      // deg, the tail touches beyond this (main gear compressed)
constexpr double kFlapTransitS = 30.0;           // s, flaps from up to full (and back), trailing edge and slats together (usual figure)
constexpr double kGearTransitS = 10.0;           // s, gear up to down and locked, or back (usual for a wide-body)
constexpr double kSpoilerTransitS = 1.0;         // s, spoilers from stowed to fully out (hydraulic actuators)
constexpr double kSideFriction = 0.5;            // tyre side-force coefficient on a dry runway (per g on the wheels)
constexpr double kNoseWheelSteerDeg = 7.0;       // nose-wheel angle at full rudder pedal (pedal steering; the tiller gives more)
constexpr double kWheelbaseM = 18.6;             // nose gear to main gear of a two-engine wide-body
// Yaw and sideslip (sideslip: the nose right of the air path positive), at the reference dynamic
// pressure of 140 kt at sea level; the rudder and the fin's stability scale with it, thrust does not.
constexpr double kReferenceSpeedMps = 72.0;      // m/s, 140 kt
constexpr double kSideslipPerEngineDeg = 8.0;     // one engine's full thrust alone, no rudder: the nose this far toward the dead engine
constexpr double kRudderSideslipDeg = 10.0;       // full rudder yaws the nose this far
constexpr double kYawDamperAuthority = 0.2;       // the yaw damper moves the rudder this share of its travel at most
constexpr double kSideslipLagS = 1.5;             // the fin brings the sideslip to its steady value in about this time
constexpr double kSideForceTurnDegSPerDeg = 0.3;  // the side force of a sideslip turns the path toward the nose (deg/s per deg)
constexpr double kDihedralRollDegSPerDeg = 0.4;   // a sideslip rolls the aircraft away from the side the air comes from (deg/s per deg)
constexpr double kGearHeightM = 0.0;             // the radio altimeter reads 0 with the wheels on the runway
constexpr double kVmoKt = 365.0;                 // kt, maximum operating speed (the speed limit pointer) of the type
constexpr double kTrendSmoothingS = 1.0;         // s, speed trend filter
}  // namespace flight_coefficients

// One moment of the flight worth telling (lift-off, touchdown, a captured mode...).
enum class FlightPhase : std::uint8_t { start_up, take_off, climb_and_cruise, approach, landing, roll_out };

struct FlightEvent {
    double time_s = 0.0;
    const char* what = "";
    const char* phase = "";
    double altitude_ft = 0.0;  // above the runway
    double ias_kt = 0.0;
    double heading_deg = 0.0;
};

// How a flight ends: landed within limits and stopped on the runway, or the first thing that went
// wrong, with its moment. The limits, each with its unit and where it comes from:
namespace landing_limits {
constexpr double kMaxSinkFpm = 600.0;        // 10 ft/s: the sink rate a transport's gear is designed for at landing weight
constexpr double kMaxBankDeg = 8.0;          // bank at which an outboard flap track or engine pod of a low-wing twin meets the runway
constexpr double kTailStrikePitchDeg = 12.0; // pitch at which the tail of a long wide-body touches with the main gear compressed
constexpr double kTyreSpeedKt = 195.0;       // ground speed the main-gear tyres are rated for (225 mph)
}  // namespace landing_limits

enum class Verdict : std::uint8_t {
    undecided,          // still flying or rolling, or never flown
    landed,             // touched down on the runway within limits and stopped on it
    impact_off_runway,  // the first ground contact was not on the runway surface
    gear_up,            // touched down with the gear not down and locked
    hard_landing,       // sink rate beyond the gear's limit at the touchdown
    wing_strike,        // bank beyond the pod and wing-tip clearance at the touchdown
    tail_strike,        // pitch beyond the tail's clearance on the ground
    beyond_end,         // rolled past the far end of the runway
    off_side,           // left the side of the runway
    overspeed,          // beyond the maximum operating speed in the air, or the tyres' speed on the ground
    stall,              // the wing beyond its stalling angle of attack in the air
};
const char* verdict_name(Verdict v);

// The first fault: what, when, where (runway coordinates) and the figure that broke the limit
// (sink ft/min, bank or pitch degrees, knots, angle of attack).
struct Judgement {
    Verdict verdict = Verdict::undecided;
    double time_s = 0.0;
    double past_threshold_m = 0.0;
    double right_of_centreline_m = 0.0;
    double figure = 0.0;
};

struct TouchdownReport {
    bool landed = false;
    double sink_fpm = 0.0;            // the vertical speed at the touchdown, positive down
    double past_threshold_m = 0.0;
    double right_of_centreline_m = 0.0;
    double ias_kt = 0.0;
    double pitch_deg = 0.0;
    double bank_deg = 0.0;
    bool in_touchdown_zone = false;
    double stopped_past_threshold_m = 0.0;  // where the roll-out ended (when stopped)
    bool stopped = false;
    double stopped_time_s = 0.0;
};

// A small seeded random source for gusts and campaigns: the same seed, the same numbers.
class Random {
public:
    explicit Random(std::uint64_t seed = 1) : state_(seed) {}
    double uniform();  // (0, 1)
    double normal();   // mean 0, standard deviation 1
private:
    std::uint64_t state_;
};

class FlightModel {
public:
    FlightModel();

    bool enabled() const { return enabled_; }
    // Switching on places the aircraft at the ILS runway's threshold, on the ground, engines as
    // they are; the variables the model owns take its state from the next step on.
    void set_enabled(bool on);

    // On the ground at the start of the ILS runway, heading down it, at rest.
    void place_on_runway(double past_threshold_m = 0.0);
    // In the air on the approach: `before_m` before the threshold, `right_m` right of the centreline,
    // `height_ft` above the runway, flying the runway heading plus `heading_offset_deg` at `ias_kt`,
    // level.
    void place_on_approach(double before_m, double right_m, double height_ft, double ias_kt,
                           double heading_offset_deg = 0.0);
    // Anywhere: in the air at a point of the world.
    void place(const WorldPoint& at, double heading_deg, double ias_kt, double vs_fpm);
    // Why a placement in the air at `ias_kt` would be outside the flight envelope with the aircraft's
    // present weight and flaps (below the stall speed, beyond Vmo), or empty when it is inside.
    std::string envelope_fault(AircraftModel& model, double ias_kt) const;
    // The 1-g stall speed (knots, indicated) at a mass and flap setting (0..1 of full).
    static double stall_speed_kt(double mass_kg, double flaps);

    // Wind from a true direction, knots (0: calm, the default).
    void set_wind(double from_deg, double knots);
    // Gusts of about `knots` along and across the wind (0: none), from a seeded random source.
    void set_gusts(double knots, std::uint64_t seed);
    // The aircraft without its fuel (kg, held between the empty and the maximum zero-fuel mass);
    // the fuel in the tanks adds to it.
    void set_zero_fuel_mass(double kg);
    double mass_kg() const { return mass_kg_; }

    // One step (1/18 s) before the gauges run: reads the controls, the engines and the holds,
    // moves the aircraft, writes what the cockpit reads.
    void step(AircraftModel& model);

    const NavWorld& world() const { return world_; }
    const TouchdownReport& touchdown() const { return touchdown_; }
    // The verdict so far: the first fault if one happened, landed once the aircraft has touched down
    // within limits and stopped on the runway, undecided otherwise.
    Judgement judgement() const;
    // A line telling the verdict: "LANDED ..." or what went wrong, where and when.
    std::string verdict_text() const;
    std::size_t event_count() const { return event_count_; }
    const FlightEvent& event(std::size_t i) const { return events_[i]; }
    // Notes a moment of the flight for the timeline summary (the events kept are bounded).
    void note(const char* what);

    // The state, for tests and reports (SI units; bank right positive, pitch up positive).
    double east_m() const { return east_m_; }
    double north_m() const { return north_m_; }
    double altitude_m() const { return altitude_m_; }
    double height_m() const { return altitude_m_ - world_.elevation_m; }
    double tas_mps() const { return tas_mps_; }
    double ias_kt() const { return ias_kt_; }
    double vs_fpm() const;
    double heading_deg() const { return heading_deg_; }
    double bank_deg() const { return bank_deg_; }
    double pitch_deg() const { return pitch_deg_; }
    bool on_ground() const { return on_ground_; }
    double time_s() const { return time_s_; }
    double past_threshold_m() const;
    double right_of_centreline_m() const;
    double max_abs_bank_deg() const { return max_abs_bank_deg_; }
    double sideslip_deg() const { return sideslip_deg_; }

private:
    void write_outputs(AircraftModel& model, double gamma);
    void check_touchdown(double sink_fpm);
    void judge_contact(double sink_fpm, const SimVars& v);
    void judge();
    void fault(Verdict verdict, double figure);
    // The surfaces move at their rates: a new position set by the levers (or a script) is where
    // they go; what the cockpit reads is where they are.
    struct Surface {
        double actual = 0.0, target = 0.0, written = 0.0;
        bool known = false;
    };
    static constexpr std::size_t kSurfaces = 6;
    std::array<Surface, kSurfaces> surfaces_{};
    void move_surfaces(SimVars& v);
    bool ever_flown_ = false;
    bool ground_spoilers_ = false;  // deployed by the touchdown
    bool contact_clean_ = false;  // the last ground contact from the air was within limits
    Judgement fault_{};
    void watch(AircraftModel& model);
    void new_flight();

    // What the summary watches, as seen at the last step.
    struct Watched {
        bool starter_1, starter_2, engines_running, rolling, gear_up, ap_engaged, hdg_sel, nav, nav_captured, gs_captured, land, land_locked,
            flare, runway_guidance, gpws, athr;
        int alt_mode;
    };
    Watched watched_{};
    bool watched_valid_ = false;
    FlightPhase phase_ = FlightPhase::start_up;

    bool enabled_ = false;
    const NavWorld& world_;
    SimAutopilot autopilot_;
    double east_m_ = 0.0, north_m_ = 0.0, altitude_m_ = 0.0;
    double tas_mps_ = 0.0;       // along the flight path
    double gamma_rad_ = 0.0;     // flight path angle
    double pitch_deg_ = 0.0, pitch_rate_deg_s_ = 0.0;
    double bank_deg_ = 0.0, roll_rate_deg_s_ = 0.0;
    double heading_deg_ = 0.0;
    double alpha_deg_ = 0.0;
    double ias_kt_ = 0.0, ias_trend_kt_s_ = 0.0;
    double ground_east_mps_ = 0.0, ground_north_mps_ = 0.0;
    double side_mps_ = 0.0;  // on the wheels: sliding to the right of the nose
    double sideslip_deg_ = 0.0;  // in the air: the nose right of the air path
    bool on_ground_ = true;
    double wind_from_deg_ = 0.0, wind_kt_ = 0.0;
    double gust_kt_ = 0.0, gust_along_kt_ = 0.0, gust_across_kt_ = 0.0;
    Random gust_random_;
    double zero_fuel_mass_kg_ = flight_coefficients::kZeroFuelMassKg;
    double mass_kg_ = flight_coefficients::kZeroFuelMassKg;
    double time_s_ = 0.0;
    double max_abs_bank_deg_ = 0.0;
    double highest_m_ = 0.0;  // the greatest height since the wheels last left the ground
    TouchdownReport touchdown_{};
    static constexpr std::size_t kMaxEvents = 64;
    std::array<FlightEvent, kMaxEvents> events_{};
    std::size_t event_count_ = 0;
};

// The flight's figures scenarios can expect and print as flight:NAME.
struct FlightQuantity {
    const char* name;
    const char* meaning;
    double (*get)(const FlightModel&);
};
std::span<const FlightQuantity> flight_quantities();
const FlightQuantity* find_flight_quantity(std::string_view name);

// The scripted flight `cockpit-sim fly` runs (scenarios/fly_full.scn, built in).
extern const char* const kFlyScenario;

// The timeline summary (the noted moments, by phase) and the touchdown report.
void print_flight_report(const FlightModel& flight, std::FILE* out);

}  // namespace tarvenol::host
