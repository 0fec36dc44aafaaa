#include "host/flight_model.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "host/aircraft_model.h"
#include "host/flight_math.h"
#include "module/numbers.h"
#include "module/shared_state.h"

namespace tarvenol::host {

namespace {

using namespace flight_math;

using namespace flight_coefficients;

constexpr double kBarometricExponent = 4.2559;   // density ratio = temperature ratio ^ this
constexpr double kKelvinAtZeroC = 273.15;
constexpr double kStandardHpa = 1013.25;
constexpr double kFeetPerHpa = 27.0;             // the altimeter setting's effect near the ground
constexpr double kLowestSettingHpa = 900.0;      // settings outside these are no setting at all
constexpr double kHighestSettingHpa = 1100.0;
constexpr double kVsSimUnitsPerMps = 256.0;      // variable 65
constexpr double kMachUnits = 20480.0;           // variable 64
constexpr double kSpeedLimitUnitsPerKt = 128.0;  // variable 63
constexpr double kDegreesPer350Unit = 256.0;     // variable 350 holds degrees / 256
constexpr double kAxisRawFull = 16384.0;         // flap, gear and spoiler travel, raw
constexpr double kNoseDownWithoutLiftDegS = 2.0; // the nose wheel comes down when not held up
constexpr double kStoppedMps = 0.3;
constexpr double kAirborneSpeedMps = 20.0;       // below this the model does not fly
constexpr double kN1Full = 100.0;
constexpr double kRunningN2 = 50.0;              // an engine above this is running (for the record)
constexpr double kMovingKt = 30.0;               // the take-off roll is noted from this speed
constexpr const char* kPhaseNames[] = {"Start-up", "Take-off", "Climb and cruise", "Approach", "Landing", "Roll-out"};
constexpr double kLandingFromHeightFt = 50.0;    // a touch after a hop below this is no landing
constexpr double kGearUpBelow = 10.0;            // gear position, raw
constexpr double kKgPerPound = 0.45359237;
constexpr double kGroundSpoilerStowLever = 0.5;  // a thrust lever beyond this stows the ground spoilers
constexpr double kGustTimeConstantS = 3.0;       // how long a gust lasts, roughly
constexpr double kGustSpreadPerGust = 0.5;       // the gusts' standard deviation per knot of gust figure


double density_at(double altitude_m) {
    const double t = std::max(kSeaLevelTempK - kLapseRateKPerM * altitude_m, 200.0);
    return kSeaLevelDensity * std::pow(t / kSeaLevelTempK, kBarometricExponent);
}
double temperature_c(double altitude_m) {
    return std::max(kSeaLevelTempK - kLapseRateKPerM * altitude_m, 200.0) - kKelvinAtZeroC;
}

// The aircraft's configuration as the levers and the aircraft model have set it.
struct Configuration {
    double flaps;     // 0..1 of full
    double gear;      // 0 up .. 1 down
    double spoilers;  // 0..1
};
Configuration configuration(const SimVars& v) {
    return {std::clamp(finite_or_zero(v.get(sim::flap_pos)) / kAxisRawFull, 0.0, 1.0),
            std::clamp(finite_or_zero(v.get(sim::gear_nose_pos)) / kAxisRawFull, 0.0, 1.0),
            std::clamp((finite_or_zero(v.get(sim::spoiler_left_pos)) + finite_or_zero(v.get(sim::spoiler_right_pos))) /
                           (2.0 * kAxisRawFull),
                       0.0, 1.0)};
}

double lift_coefficient(double alpha_deg, const Configuration& c) {
    const double past_stall = std::max(alpha_deg - kStallAlphaDeg, 0.0);
    return kCl0 + kClPerDeg * std::min(alpha_deg, kStallAlphaDeg) - kClLostPerDegPastStall * past_stall + kClFlapsFull * c.flaps +
           kClSpoilersFull * c.spoilers;
}
double drag_coefficient(double cl, double alpha_deg, const Configuration& c) {
    const double past_stall = std::max(alpha_deg - kStallAlphaDeg, 0.0);
    return kCd0 + kCdFlapsFull * c.flaps + kCdGearDown * c.gear + kCdSpoilersFull * c.spoilers + kInducedDragK * cl * cl +
           kCdPerDegPastStall * past_stall;
}
// The angle of attack whose lift holds the path: lift * cos(bank) = weight * cos(path).
double alpha_for(double q, double gamma, double bank_deg, const Configuration& c, double mass_kg) {
    const double cl = mass_kg * kGravity * std::cos(gamma) / (std::max(q, 1.0) * kWingAreaM2 * std::cos(bank_deg / kDegPerRad));
    return (cl - kCl0 - kClFlapsFull * c.flaps - kClSpoilersFull * c.spoilers) / kClPerDeg;
}

// An engine's thrust (N), forward positive: N1 squared, less in thin air and at speed; turned back
// by a deployed reverser.
double engine_thrust(double n1_pct, double reverser, double density, double mach) {
    const double n1 = std::clamp(finite_or_zero(n1_pct), 0.0, 2.0 * kN1Full) / kN1Full;
    const double thrust = kMaxThrustPerEngineN * n1 * n1 * std::pow(density / kSeaLevelDensity, kThrustDensityExponent) *
                          std::max(1.0 - kThrustLapsePerMach * mach, 0.0);
    return finite_or_zero(reverser) >= kReverserDeployed ? -kReverseEfficiency * thrust : thrust;
}


}  // namespace

FlightModel::FlightModel() : world_(builtin_nav_world()) { place_on_runway(); }

void FlightModel::set_enabled(bool on) {
    if (on && !enabled_) place_on_runway();
    enabled_ = on;
}

void FlightModel::place_on_runway(double past_threshold_m) {
    const WorldPoint p = world_.on_approach(-past_threshold_m, 0.0, 0.0);
    east_m_ = p.east_m;
    north_m_ = p.north_m;
    altitude_m_ = p.altitude_m;
    heading_deg_ = world_.runway.heading_deg;
    tas_mps_ = gamma_rad_ = pitch_deg_ = pitch_rate_deg_s_ = bank_deg_ = roll_rate_deg_s_ = alpha_deg_ = side_mps_ = sideslip_deg_ = 0.0;
    ias_kt_ = ias_trend_kt_s_ = 0.0;
    on_ground_ = true;
    new_flight();
}

void FlightModel::new_flight() {
    touchdown_ = {};
    surfaces_ = {};  // the surfaces stand where they are set when a flight begins
    autopilot_.reset();
    event_count_ = 0;
    watched_valid_ = false;
    max_abs_bank_deg_ = 0.0;
    time_s_ = 0.0;
    phase_ = FlightPhase::start_up;
    highest_m_ = on_ground_ ? 0.0 : height_m();
    fault_ = {};
    ground_spoilers_ = false;
    ever_flown_ = !on_ground_;
    contact_clean_ = false;
}

void FlightModel::place(const WorldPoint& at, double heading_deg, double ias_kt, double vs_fpm) {
    east_m_ = at.east_m;
    north_m_ = at.north_m;
    altitude_m_ = at.altitude_m;
    heading_deg_ = wrap360(heading_deg);
    const double density = density_at(altitude_m_);
    tas_mps_ = ias_kt / kKnotsPerMps / std::sqrt(density / kSeaLevelDensity);
    gamma_rad_ = std::asin(std::clamp(vs_fpm / kFeetPerMetre / kSecondsPerMinute / std::max(tas_mps_, 1.0), -0.5, 0.5));
    ias_kt_ = ias_kt;
    ias_trend_kt_s_ = 0.0;
    bank_deg_ = roll_rate_deg_s_ = pitch_rate_deg_s_ = side_mps_ = sideslip_deg_ = 0.0;
    on_ground_ = false;
    new_flight();
    pitch_deg_ = 0.0;  // set from the lift needed on the first step
    alpha_deg_ = std::nan("");
}

void FlightModel::place_on_approach(double before_m, double right_m, double height_ft, double ias_kt,
                                    double heading_offset_deg) {
    place(world_.on_approach(before_m, right_m, height_ft / kFeetPerMetre), world_.runway.heading_deg + heading_offset_deg,
          ias_kt, 0.0);
}

double FlightModel::stall_speed_kt(double mass_kg, double flaps) {
    const double cl_max = lift_coefficient(kStallAlphaDeg, {std::clamp(flaps, 0.0, 1.0), 0.0, 0.0});
    return std::sqrt(2.0 * mass_kg * kGravity / (kSeaLevelDensity * kWingAreaM2 * cl_max)) * kKnotsPerMps;
}

std::string FlightModel::envelope_fault(AircraftModel& model, double ias_kt) const {
    const double mass = zero_fuel_mass_kg_ + model.fuel_lb() * kKgPerPound;
    const double stall = stall_speed_kt(mass, configuration(model.vars()).flaps);
    char text[160] = "";
    if (!(ias_kt >= stall))
        std::snprintf(text, sizeof text, "%.0f kt is below the stall speed, %.0f kt at %.0f t with these flaps", ias_kt, stall, mass / 1000.0);
    else if (ias_kt > kVmoKt)
        std::snprintf(text, sizeof text, "%.0f kt is beyond the maximum operating speed, %.0f kt", ias_kt, kVmoKt);
    return text;
}

void FlightModel::move_surfaces(SimVars& v) {
    struct Moving {
        int token;
        double seconds;  // for the whole travel
    };
    static constexpr Moving kMoving[kSurfaces] = {
        {sim::flap_pos.token, kFlapTransitS},          {sim::gear_nose_pos.token, kGearTransitS},
        {sim::gear_left_pos.token, kGearTransitS},     {sim::gear_right_pos.token, kGearTransitS},
        {sim::spoiler_left_pos.token, kSpoilerTransitS}, {sim::spoiler_right_pos.token, kSpoilerTransitS},
    };
    for (std::size_t i = 0; i < kSurfaces; ++i) {
        Surface& s = surfaces_[i];
        const double raw = finite_or_zero(v.f64(kMoving[i].token));
        if (!s.known) {
            s = {raw, raw, raw, true};
        } else if (raw != s.written) {
            s.target = raw;
        }
        const double step = kAxisRawFull / kMoving[i].seconds * kSecondsPerTick;
        s.actual = s.actual < s.target ? std::min(s.actual + step, s.target) : std::max(s.actual - step, s.target);
        v.set_f64(kMoving[i].token, s.actual);
        s.written = s.actual;
    }
}

void FlightModel::set_wind(double from_deg, double knots) {
    wind_from_deg_ = finite_or_zero(from_deg);
    wind_kt_ = std::max(finite_or_zero(knots), 0.0);
}

void FlightModel::set_gusts(double knots, std::uint64_t seed) {
    gust_kt_ = std::max(finite_or_zero(knots), 0.0);
    gust_random_ = Random(seed);
    gust_along_kt_ = gust_across_kt_ = 0.0;
}

void FlightModel::set_zero_fuel_mass(double kg) {
    zero_fuel_mass_kg_ = std::clamp(finite_or_zero(kg), kOperatingEmptyMassKg, kMaxZeroFuelMassKg);
}

double Random::uniform() {
    // splitmix64: the same sequence from the same seed on every machine.
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return (static_cast<double>(z >> 11) + 0.5) / 9007199254740992.0;
}
double Random::normal() {
    const double u = uniform(), w = uniform();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * 3.14159265358979323846 * w);
}

double FlightModel::vs_fpm() const { return tas_mps_ * std::sin(gamma_rad_) * kFeetPerMetre * kSecondsPerMinute; }

double FlightModel::past_threshold_m() const {
    double past = 0.0, right = 0.0;
    world_.runway_coordinates(east_m_, north_m_, past, right);
    return past;
}
double FlightModel::right_of_centreline_m() const {
    double past = 0.0, right = 0.0;
    world_.runway_coordinates(east_m_, north_m_, past, right);
    return right;
}

void FlightModel::note(const char* what) {
    if (event_count_ >= kMaxEvents) return;
    // Each moment once: a capture that flickers as the aircraft crosses a threshold is told once.
    for (std::size_t i = 0; i < event_count_; ++i)
        if (std::string_view(events_[i].what) == what) return;
    events_[event_count_++] = {time_s_, what, kPhaseNames[static_cast<int>(phase_)], height_m() * kFeetPerMetre, ias_kt_,
                               heading_deg_};
}

void FlightModel::step(AircraftModel& model) {
    if (!enabled_) return;
    SimVars& v = model.vars();
    constexpr double dt = kSecondsPerTick;
    // Ground spoilers: out on the touchdown, stowed when a thrust lever goes forward again.
    if (ground_spoilers_ && (!on_ground_ || v.get(sim::eng1_throttle_lever) > kGroundSpoilerStowLever ||
                             v.get(sim::eng2_throttle_lever) > kGroundSpoilerStowLever)) {
        ground_spoilers_ = false;
        v.set(sim::spoiler_left_pos, 0.0);
        v.set(sim::spoiler_right_pos, 0.0);
    }
    if (ground_spoilers_) {
        v.set(sim::spoiler_left_pos, kAxisRawFull);
        v.set(sim::spoiler_right_pos, kAxisRawFull);
    }
    move_surfaces(v);
    const Configuration config = configuration(v);
    // The aircraft weighs its zero-fuel mass and the fuel left in its tanks.
    mass_kg_ = zero_fuel_mass_kg_ + model.fuel_lb() * kKgPerPound;
    const double density = density_at(altitude_m_);
    const double q = 0.5 * density * tas_mps_ * tas_mps_;
    if (std::isnan(alpha_deg_)) {  // just placed in the air: trimmed for level flight
        alpha_deg_ = alpha_for(q, gamma_rad_, 0.0, config, mass_kg_);
        pitch_deg_ = alpha_deg_ + gamma_rad_ * kDegPerRad;
    }

    // Thrust of each engine, and what one engine alone does to the yaw.
    const double mach = tas_mps_ / (kSpeedOfSoundSeaLevel * std::sqrt((temperature_c(altitude_m_) + kKelvinAtZeroC) / kSeaLevelTempK));
    const double thrust_1 = engine_thrust(v.get(sim::eng1_n1_pct), v.get(sim::eng1_reverser), density, mach);
    const double thrust_2 = engine_thrust(v.get(sim::eng2_n1_pct), v.get(sim::eng2_reverser), density, mach);
    const double thrust = thrust_1 + thrust_2;
    // Sideslip in the air: more thrust on the left yaws the nose right; the rudder pedals (316,
    // positive nose right) and the yaw damper, within its authority, yaw it back; the fin brings it
    // to where these balance.
    const double sideslip_before = sideslip_deg_;
    if (!on_ground_) {
        const double pressure = std::max(tas_mps_ * tas_mps_ / (kReferenceSpeedMps * kReferenceSpeedMps), 0.1);
        const double from_thrust = kSideslipPerEngineDeg * (thrust_1 - thrust_2) / kMaxThrustPerEngineN / pressure;
        const double pedal = std::clamp(finite_or_zero(v.get(sim::rudder_pos)), -kAxisFull, kAxisFull) / kAxisFull;
        const double unrudded = from_thrust + pedal * kRudderSideslipDeg;
        const double damper = model.yaw_damper() ? std::clamp(-unrudded / kRudderSideslipDeg, -kYawDamperAuthority, kYawDamperAuthority) : 0.0;
        const double steady = unrudded + damper * kRudderSideslipDeg;
        sideslip_deg_ += (steady - sideslip_deg_) * dt / kSideslipLagS;
    } else {
        sideslip_deg_ = 0.0;
    }

    // The simulator's autopilot.
    const double ground_speed = std::hypot(ground_east_mps_, ground_north_mps_);
    const double track = ground_speed > 1.0 ? wrap360(std::atan2(ground_east_mps_, ground_north_mps_) * kDegPerRad) : heading_deg_;
    const double cdi = finite_or_zero(v.get(sim::nav1_cdi));
    const double lever_1 = std::max(finite_or_zero(v.get(sim::eng1_throttle_lever)), 0.0);
    const double lever_2 = std::max(finite_or_zero(v.get(sim::eng2_throttle_lever)), 0.0);
    const FlightSense sense{heading_deg_,
                            track,
                            bank_deg_,
                            pitch_deg_,
                            vs_fpm(),
                            finite_or_zero(v.get(sim::altitude_ft)),
                            height_m() * kFeetPerMetre,
                            ias_kt_,
                            ias_trend_kt_s_,
                            tas_mps_,
                            alpha_for(q, gamma_rad_, bank_deg_, config, mass_kg_),
                            cdi,
                            v.get(sim::nav1_signal) > 0.0 && (v.get(sim::nav1_flags) & kNavFlagLocalizer) != 0 &&
                                std::fabs(cdi) < autopilot_gains::kLocAliveNeedle,
                            finite_or_zero(v.get(sim::nav1_gsi)),
                            world_.runway.glide_deg,
                            is_on(v.get(sim::nav1_gs_flag)),
                            on_ground_,
                            (lever_1 + lever_2) / 2.0,
                            config.gear >= 1.0};
    const AutopilotCommand command = autopilot_.step(model, v, sense, dt);
    if (command.throttle) {
        v.set(sim::eng1_throttle, *command.throttle * kAxisRawFull);
        v.set(sim::eng2_throttle, *command.throttle * kAxisRawFull);
    }

    // Pitch: the autopilot's attitude (the elevator axis adds to it), or the elevator as a pitch
    // rate that holds the attitude when centred. On the ground the nose wheel holds it at 0 or above.
    const double elevator = std::clamp(finite_or_zero(v.get(sim::elevator_pos)), -kAxisFull, kAxisFull) / kAxisFull;
    const double trim = std::clamp(finite_or_zero(v.get(sim::elevator_trim)), -kAxisFull, kAxisFull) / kAxisFull;
    double pitch_rate = 0.0;
    if (command.pitch_deg) {
        const double target = *command.pitch_deg - elevator * kElevatorPitchDeg;
        pitch_rate = (target - pitch_deg_) / kPitchTimeConstantS;
    } else {
        pitch_rate = -std::clamp(elevator + trim, -1.0, 1.0) * kManualPitchRateDegS;
    }
    pitch_rate = std::clamp(pitch_rate, -kMaxPitchRateDegS, kMaxPitchRateDegS);
    if (on_ground_ && elevator >= 0.0 && pitch_deg_ > 0.0) pitch_rate = std::min(pitch_rate, -kNoseDownWithoutLiftDegS);
    pitch_rate_deg_s_ = pitch_rate;
    pitch_deg_ += pitch_rate * dt;
    if (on_ground_) pitch_deg_ = std::clamp(pitch_deg_, 0.0, kMaxGroundPitchDeg);

    // Bank: the autopilot's bank, or the ailerons as a roll rate against a slight spiral divergence;
    // one engine alone rolls the aircraft away from its thrust through the sideslip.
    const double aileron = std::clamp(finite_or_zero(v.get(sim::aileron_pos)), -kAxisFull, kAxisFull) / kAxisFull;
    double roll_command = command.bank_deg ? std::clamp((*command.bank_deg - bank_deg_) * kBankGain, -kMaxRollRateDegS, kMaxRollRateDegS)
                                           : -aileron * kAileronRollRateDegS + kSpiralDivergencePerS * bank_deg_;
    if (!on_ground_) roll_command += sideslip_deg_ * kDihedralRollDegSPerDeg;
    roll_rate_deg_s_ += (roll_command - roll_rate_deg_s_) * dt / kRollTimeConstantS;
    bank_deg_ = std::clamp(bank_deg_ + roll_rate_deg_s_ * dt, -kMaxBankDeg, kMaxBankDeg);
    if (on_ground_) bank_deg_ = roll_rate_deg_s_ = 0.0;
    max_abs_bank_deg_ = std::max(max_abs_bank_deg_, std::fabs(bank_deg_));

    // Forces along and across the path.
    const double weight = mass_kg_ * kGravity;
    // The wind, and its gusts along and across it: each a first-order random process (seeded, so a
    // flight repeats) whose spread is half the gust figure.
    if (gust_kt_ > 0.0) {
        const double a = dt / kGustTimeConstantS;
        const double spread = gust_kt_ * kGustSpreadPerGust * std::sqrt(2.0 * a);
        gust_along_kt_ += -gust_along_kt_ * a + spread * gust_random_.normal();
        gust_across_kt_ += -gust_across_kt_ * a + spread * gust_random_.normal();
    }
    const double from_rad = wind_from_deg_ / kDegPerRad;
    const double wind_along_kt = wind_kt_ + gust_along_kt_;
    const double wind_east = (-wind_along_kt * std::sin(from_rad) + gust_across_kt_ * std::cos(from_rad)) / kKnotsPerMps;
    const double wind_north = (-wind_along_kt * std::cos(from_rad) - gust_across_kt_ * std::sin(from_rad)) / kKnotsPerMps;
    const double heading_rad = heading_deg_ / kDegPerRad;
    if (on_ground_) {
        // On the wheels the speed is over the ground; the air adds the headwind.
        const double headwind = -(wind_east * std::sin(heading_rad) + wind_north * std::cos(heading_rad));
        alpha_deg_ = pitch_deg_;
        const double air = tas_mps_ + headwind;
        const double q_air = 0.5 * density * air * std::fabs(air);
        const double cl = lift_coefficient(alpha_deg_, config);
        const double lift = q_air * kWingAreaM2 * cl;
        const double drag = q_air * kWingAreaM2 * drag_coefficient(cl, alpha_deg_, config);
        const double on_wheels = std::max(weight - lift, 0.0);
        double brake = std::max(finite_or_zero(v.get(sim::brake_left)), finite_or_zero(v.get(sim::brake_right))) / kBrakePedalFull;
        if (v.get(sim::parking_brake) >= lever_model::kBrakeSet) brake = 1.0;
        brake = std::clamp(brake, 0.0, 1.0);
        const double friction = (kRollingFriction + kBrakeFriction * brake) * on_wheels;
        const double push = thrust - drag;
        double speed = tas_mps_;
        if (speed > kStoppedMps || std::fabs(push) > friction)
            speed += (push - std::copysign(friction, speed > kStoppedMps ? 1.0 : push)) / mass_kg_ * dt;
        speed = std::max(speed, 0.0);
        tas_mps_ = speed;
        gamma_rad_ = 0.0;
        // Across the wheels the tyres' side friction stops any sideways slide (a crabbed touchdown
        // ends rolling where the nose points); the nose wheel, steered by the rudder pedals, turns
        // the aircraft about its main gear.
        const double side_decel = kSideFriction * on_wheels / mass_kg_;
        side_mps_ = std::fabs(side_mps_) <= side_decel * dt ? 0.0 : side_mps_ - std::copysign(side_decel * dt, side_mps_);
        const double rudder = std::clamp(finite_or_zero(v.get(sim::rudder_pos)), -kAxisFull, kAxisFull) / kAxisFull;
        const double steer_rad = rudder * kNoseWheelSteerDeg / kDegPerRad;
        heading_deg_ = wrap360(heading_deg_ + speed * std::tan(steer_rad) / kWheelbaseM * kDegPerRad * dt);
        const double h = heading_deg_ / kDegPerRad;
        ground_east_mps_ = speed * std::sin(h) + side_mps_ * std::cos(h);
        ground_north_mps_ = speed * std::cos(h) - side_mps_ * std::sin(h);
        if (lift > weight && pitch_deg_ > 0.0) {
            on_ground_ = false;
            tas_mps_ = air;
            note("lift-off");
        }
        ias_kt_ = std::max(air, 0.0) * std::sqrt(density / kSeaLevelDensity) * kKnotsPerMps;
    } else {
        alpha_deg_ = pitch_deg_ - gamma_rad_ * kDegPerRad;
        const double cl = lift_coefficient(alpha_deg_, config);
        const double lift = q * kWingAreaM2 * cl;
        const double drag = q * kWingAreaM2 * drag_coefficient(cl, alpha_deg_, config);
        const double alpha = alpha_deg_ / kDegPerRad;
        const double bank = bank_deg_ / kDegPerRad;
        const double speed = std::max(tas_mps_, kAirborneSpeedMps);
        tas_mps_ += ((thrust * std::cos(alpha) - drag) / mass_kg_ - kGravity * std::sin(gamma_rad_)) * dt;
        tas_mps_ = std::max(tas_mps_, kAirborneSpeedMps);
        gamma_rad_ += (lift * std::cos(bank) + thrust * std::sin(alpha) - weight * std::cos(gamma_rad_)) / (mass_kg_ * speed) * dt;
        // The path turns with the bank and with the side force of the sideslip; the nose is the
        // sideslip right of it.
        const double path_turn_deg = lift * std::sin(bank) / (mass_kg_ * speed * std::cos(gamma_rad_)) * kDegPerRad +
                                     sideslip_deg_ * kSideForceTurnDegSPerDeg;
        const double path_deg = wrap360(heading_deg_ - sideslip_before + path_turn_deg * dt);
        heading_deg_ = wrap360(path_deg + sideslip_deg_);
        const double horizontal = tas_mps_ * std::cos(gamma_rad_);
        ground_east_mps_ = horizontal * std::sin(path_deg / kDegPerRad) + wind_east;
        ground_north_mps_ = horizontal * std::cos(path_deg / kDegPerRad) + wind_north;
        altitude_m_ += tas_mps_ * std::sin(gamma_rad_) * dt;
        const double new_ias = tas_mps_ * std::sqrt(density_at(altitude_m_) / kSeaLevelDensity) * kKnotsPerMps;
        ias_trend_kt_s_ += ((new_ias - ias_kt_) / dt - ias_trend_kt_s_) * dt / kTrendSmoothingS;
        ias_kt_ = new_ias;
    }
    east_m_ += ground_east_mps_ * dt;
    north_m_ += ground_north_mps_ * dt;
    time_s_ += dt;

    // Touchdown: the wheels come down onto the runway (just after lift-off they may still be on it).
    if (!on_ground_) highest_m_ = std::max(highest_m_, height_m());
    if (!on_ground_ && altitude_m_ - world_.elevation_m <= kGearHeightM) {
        altitude_m_ = world_.elevation_m + kGearHeightM;
    }
    if (!on_ground_ && altitude_m_ - world_.elevation_m <= kGearHeightM && gamma_rad_ < 0.0) {
        const double sink_fpm = -vs_fpm();
        const double headwind = -(wind_east * std::sin(heading_rad) + wind_north * std::cos(heading_rad));
        // On the wheels the speed is kept over the ground: along the nose, and sideways (a crab).
        side_mps_ = ground_east_mps_ * std::cos(heading_rad) - ground_north_mps_ * std::sin(heading_rad);
        tas_mps_ = std::max(tas_mps_ * std::cos(gamma_rad_) - headwind, 0.0);
        gamma_rad_ = 0.0;
        on_ground_ = true;
        judge_contact(sink_fpm, v);
        // Only a flight that left the ground's neighbourhood ends in a landing.
        if (highest_m_ >= kLandingFromHeightFt / kFeetPerMetre) {
            check_touchdown(sink_fpm);
            ground_spoilers_ = true;
        }
        highest_m_ = 0.0;
    }
    if (!on_ground_) ever_flown_ = true;
    judge();
    if (on_ground_ && touchdown_.landed && !touchdown_.stopped && tas_mps_ <= kStoppedMps) {
        touchdown_.stopped = true;
        touchdown_.stopped_past_threshold_m = past_threshold_m();
        touchdown_.stopped_time_s = time_s_;
        note("stopped");
    }
    write_outputs(model, gamma_rad_);
    watch(model);
}

// The moments of the flight worth a line in the summary: what the aircraft did and what the
// cockpit's automatic flight system engaged and captured.
void FlightModel::watch(AircraftModel& model) {
    const SimVars& v = model.vars();
    const SharedState& s = shared;
    Watched now{};
    now.engines_running = v.get(sim::eng1_n2_pct) > kRunningN2 && v.get(sim::eng2_n2_pct) > kRunningN2;
    now.rolling = on_ground_ && ias_kt_ > kMovingKt;
    now.gear_up = v.get(sim::gear_nose_pos) < kGearUpBelow;
    now.ap_engaged = s.ap_engaged != 0;
    now.alt_mode = s.alt_mode;
    now.hdg_sel = s.hdg_sel_mode == 1;
    now.nav = s.nav_mode != 0;
    now.nav_captured = s.nav_captured == 1;
    now.gs_captured = s.gs_captured == 2;
    now.land = s.appr_mode >= 30;
    now.land_locked = s.land_locked == 1;
    now.flare = s.flare_active == 1;
    now.runway_guidance = s.runway_guidance == 1;
    now.gpws = s.gpws_alert != 0;
    now.athr = s.athr_mode == 1;
    now.starter_1 = is_on(v.get(sim::eng1_starter));
    now.starter_2 = is_on(v.get(sim::eng2_starter));
    // The phase moves on only: start-up, take-off, climb and cruise, approach, landing, roll-out.
    FlightPhase phase = phase_;
    if (phase == FlightPhase::start_up && now.rolling) phase = FlightPhase::take_off;
    if (phase == FlightPhase::take_off && !on_ground_) phase = FlightPhase::climb_and_cruise;
    if (phase == FlightPhase::climb_and_cruise && (now.nav_captured || now.land || s.appr_mode != 0))
        phase = FlightPhase::approach;
    if (phase == FlightPhase::approach && now.land_locked) phase = FlightPhase::landing;
    if (!on_ground_ && phase < FlightPhase::climb_and_cruise) phase = FlightPhase::climb_and_cruise;  // placed in the air
    if (touchdown_.landed) phase = FlightPhase::roll_out;
    phase_ = phase;
    if (watched_valid_) {
        const auto rose = [](bool before, bool after) { return after && !before; };
        if (rose(watched_.starter_1, now.starter_1)) note("engine 1 starter");
        if (rose(watched_.starter_2, now.starter_2)) note("engine 2 starter");
        if (rose(watched_.engines_running, now.engines_running)) note("both engines running");
        if (rose(watched_.rolling, now.rolling) && !touchdown_.landed) note("take-off roll");
        if (rose(watched_.gear_up, now.gear_up) && !on_ground_) note("gear up");
        if (rose(watched_.ap_engaged, now.ap_engaged)) note("autopilot engaged");
        if (rose(watched_.athr, now.athr)) note("autothrottle SPEED");
        if (now.alt_mode != watched_.alt_mode) {
            if (now.alt_mode == 2 || now.alt_mode == 25) note("altitude capture");
            if (now.alt_mode == 3 || now.alt_mode == 4) note("altitude hold");
        }
        if (rose(watched_.hdg_sel, now.hdg_sel)) note("heading select");
        if (rose(watched_.nav, now.nav)) note("NAV armed");
        if (rose(watched_.nav_captured, now.nav_captured)) note("course captured");
        if (rose(watched_.land, now.land)) note("LAND armed");
        if (rose(watched_.gs_captured, now.gs_captured)) note("glide slope captured");
        if (rose(watched_.land_locked, now.land_locked)) note("LAND locked below 700 ft");
        if (rose(watched_.flare, now.flare)) note("flare");
        if (rose(watched_.runway_guidance, now.runway_guidance)) note("roll-out guidance");
        if (rose(watched_.gpws, now.gpws)) note("ground proximity warning");
        if (rose(!watched_.gear_up, !now.gear_up) && !on_ground_) note("gear down");
    }
    watched_ = now;
    watched_valid_ = true;
}

// Every contact with the ground from the air: on the paved surface, gear down and locked, sink,
// bank and pitch within the limits.
void FlightModel::judge_contact(double sink_fpm, const SimVars& v) {
    using namespace landing_limits;
    double past = 0.0, right = 0.0;
    world_.runway_coordinates(east_m_, north_m_, past, right);
    const IlsRunway& r = world_.runway;
    const bool gear_locked = v.get(sim::gear_nose_pos) >= kAxisRawFull && v.get(sim::gear_left_pos) >= kAxisRawFull &&
                             v.get(sim::gear_right_pos) >= kAxisRawFull;
    contact_clean_ = false;
    if (past < 0.0 || past > r.length_m || std::fabs(right) > r.width_m / 2.0) return fault(Verdict::impact_off_runway, sink_fpm);
    if (!gear_locked) return fault(Verdict::gear_up, sink_fpm);
    if (sink_fpm > kMaxSinkFpm) return fault(Verdict::hard_landing, sink_fpm);
    if (std::fabs(bank_deg_) > landing_limits::kMaxBankDeg) return fault(Verdict::wing_strike, bank_deg_);
    if (pitch_deg_ >= kTailStrikePitchDeg) return fault(Verdict::tail_strike, pitch_deg_);
    contact_clean_ = true;
}

// What is judged at every step: the speed limits, the stall in the air; on the ground the tail's
// clearance and the runway's end and sides.
void FlightModel::judge() {
    using namespace landing_limits;
    if (!on_ground_) {
        if (ias_kt_ > kVmoKt) fault(Verdict::overspeed, ias_kt_);
        if (alpha_deg_ > kStallAlphaDeg) fault(Verdict::stall, alpha_deg_);
        return;
    }
    double past = 0.0, right = 0.0;
    world_.runway_coordinates(east_m_, north_m_, past, right);
    const IlsRunway& r = world_.runway;
    if (pitch_deg_ >= kTailStrikePitchDeg) fault(Verdict::tail_strike, pitch_deg_);
    if (std::hypot(ground_east_mps_, ground_north_mps_) * kKnotsPerMps > kTyreSpeedKt)
        fault(Verdict::overspeed, std::hypot(ground_east_mps_, ground_north_mps_) * kKnotsPerMps);
    if (past > r.length_m) fault(Verdict::beyond_end, past - r.length_m);
    if (std::fabs(right) > r.width_m / 2.0) fault(Verdict::off_side, right);
}

void FlightModel::fault(Verdict verdict, double figure) {
    if (fault_.verdict != Verdict::undecided) return;  // the first thing that went wrong stands
    double past = 0.0, right = 0.0;
    world_.runway_coordinates(east_m_, north_m_, past, right);
    fault_ = {verdict, time_s_, past, right, figure};
    note(verdict_name(verdict));
}

Judgement FlightModel::judgement() const {
    if (fault_.verdict != Verdict::undecided) return fault_;
    if (touchdown_.landed && touchdown_.stopped && contact_clean_ && on_ground_)
        return {Verdict::landed, touchdown_.stopped_time_s, touchdown_.past_threshold_m, touchdown_.right_of_centreline_m, touchdown_.sink_fpm};
    return {};
}

const char* verdict_name(Verdict v) {
    switch (v) {
        case Verdict::undecided: return "no landing";
        case Verdict::landed: return "landed";
        case Verdict::impact_off_runway: return "impact off the runway";
        case Verdict::gear_up: return "gear not down and locked at touchdown";
        case Verdict::hard_landing: return "hard landing";
        case Verdict::wing_strike: return "wing or engine pod strike";
        case Verdict::tail_strike: return "tail strike";
        case Verdict::beyond_end: return "beyond the end of the runway";
        case Verdict::off_side: return "off the side of the runway";
        case Verdict::overspeed: return "overspeed";
        case Verdict::stall: return "stall";
    }
    return "?";
}

std::string FlightModel::verdict_text() const {
    const Judgement j = judgement();
    const IlsRunway& r = world_.runway;
    const int minutes = static_cast<int>(j.time_s / kSecondsPerMinute);
    char when[32];
    std::snprintf(when, sizeof when, "%d:%04.1f", minutes, j.time_s - minutes * kSecondsPerMinute);
    char where[96];
    std::snprintf(where, sizeof where, "%.0f m %s the threshold, %.1f m %s of the centreline", std::fabs(j.past_threshold_m),
                  j.past_threshold_m >= 0.0 ? "past" : "short of", std::fabs(j.right_of_centreline_m),
                  j.right_of_centreline_m >= 0.0 ? "right" : "left");
    char figure[64] = "";
    switch (j.verdict) {
        case Verdict::impact_off_runway:
        case Verdict::gear_up:
        case Verdict::hard_landing: std::snprintf(figure, sizeof figure, ", %.0f ft/min down", j.figure); break;
        case Verdict::wing_strike: std::snprintf(figure, sizeof figure, ", bank %.1f deg", j.figure); break;
        case Verdict::tail_strike: std::snprintf(figure, sizeof figure, ", pitch %.1f deg", j.figure); break;
        case Verdict::beyond_end: std::snprintf(figure, sizeof figure, " (%.0f m long)", r.length_m); break;
        case Verdict::off_side: std::snprintf(figure, sizeof figure, " (%.0f m wide)", r.width_m); break;
        case Verdict::overspeed: std::snprintf(figure, sizeof figure, ", %.0f kt", j.figure); break;
        case Verdict::stall: std::snprintf(figure, sizeof figure, ", angle of attack %.1f deg", j.figure); break;
        default: break;
    }
    std::string text;
    if (j.verdict == Verdict::landed) {
        char line[200];
        std::snprintf(line, sizeof line, "LANDED on runway %s of %s: touched down %.0f m past the threshold, %.1f m %s of the centreline, %.0f ft/min down; stopped on the runway",
                      r.name.c_str(), world_.airport.c_str(), j.past_threshold_m, std::fabs(j.right_of_centreline_m),
                      j.right_of_centreline_m >= 0.0 ? "right" : "left", j.figure);
        return line;
    }
    if (j.verdict != Verdict::undecided) {
        text = "NOT LANDED: ";
        for (const char* c = verdict_name(j.verdict); *c; ++c) text += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
        return text + " at " + when + ", " + where + figure;
    }
    text = "NOT LANDED: ";
    if (!on_ground_) return text + "still in the air";
    if (!ever_flown_)
        return text + (tas_mps_ <= kStoppedMps ? "never left the ground" : "never left the ground, still rolling") + ", " +
               (std::snprintf(where, sizeof where, "%.0f m down runway %s", past_threshold_m(), r.name.c_str()), where);
    return text + "touched down on runway " + r.name + ", still rolling";
}

void FlightModel::check_touchdown(double sink_fpm) {
    if (touchdown_.landed) return;
    double past = 0.0, right = 0.0;
    world_.runway_coordinates(east_m_, north_m_, past, right);
    touchdown_.landed = true;
    touchdown_.sink_fpm = sink_fpm;
    touchdown_.past_threshold_m = past;
    touchdown_.right_of_centreline_m = right;
    touchdown_.ias_kt = ias_kt_;
    touchdown_.pitch_deg = pitch_deg_;
    touchdown_.bank_deg = bank_deg_;
    touchdown_.in_touchdown_zone = past >= world_.runway.touchdown_from_m && past <= world_.runway.touchdown_to_m;
    note("touchdown");
}

void FlightModel::write_outputs(AircraftModel& model, double gamma) {
    SimVars& v = model.vars();
    const double height = altitude_m_ - world_.elevation_m;
    v.set(sim::on_ground, on_ground_ ? 1.0 : 0.0);
    v.set(sim::ias_kt, ias_kt_);
    v.set(sim::max_speed_kt128, kVmoKt * kSpeedLimitUnitsPerKt);
    const double speed_of_sound = kSpeedOfSoundSeaLevel * std::sqrt((temperature_c(altitude_m_) + kKelvinAtZeroC) / kSeaLevelTempK);
    v.set(sim::mach_x20480, tas_mps_ / speed_of_sound * kMachUnits);
    v.set(sim::vs_ms256, tas_mps_ * std::sin(gamma) * kVsSimUnitsPerMps);
    v.set(sim::altitude_m, altitude_m_);
    // The altimeter reads the true altitude corrected by its setting.
    const double setting = v.get(sim::baro_hpa);
    const double correction =
        setting >= kLowestSettingHpa && setting <= kHighestSettingHpa ? (setting - kStandardHpa) * kFeetPerHpa : 0.0;
    v.set(sim::altitude_ft, altitude_m_ * kFeetPerMetre + correction);
    // The simulator reports pitch nose down and bank left wing down as positive.
    v.set(sim::pitch_deg, -pitch_deg_);
    v.set(sim::bank_deg, -bank_deg_);
    v.set(sim::heading_deg, heading_deg_);
    v.set(sim::height_agl_m, height);
    v.set(sim::aoa_rad, alpha_deg_ / kDegPerRad);
    // Ground speed in the aircraft's axes, feet per second: along the nose and to the left.
    const double heading_rad = heading_deg_ / kDegPerRad;
    const double along = ground_east_mps_ * std::sin(heading_rad) + ground_north_mps_ * std::cos(heading_rad);
    const double rightward = ground_east_mps_ * std::cos(heading_rad) - ground_north_mps_ * std::sin(heading_rad);
    v.set(sim::velocity_long, along * kFeetPerMetre);
    v.set(sim::velocity_lat, -rightward * kFeetPerMetre);
    const double ground_speed = std::hypot(ground_east_mps_, ground_north_mps_);
    const double track_deg = ground_speed > 1.0 ? wrap360(std::atan2(ground_east_mps_, ground_north_mps_) * kDegPerRad) : heading_deg_;
    v.set(sim::gps_track_rad, track_deg / kDegPerRad);
    const double t = temperature_c(altitude_m_);
    v.set(sim::air_temp_c, t);
    v.set(sim::air_temp_c_256, t / kDegreesPer350Unit);
    update_radios(world_, {east_m_, north_m_, altitude_m_}, heading_deg_, v);
}

namespace {

constexpr FlightQuantity kQuantities[] = {
    {"height_ft", "feet above the runway", [](const FlightModel& f) { return f.height_m() * kFeetPerMetre; }},
    {"ias_kt", "indicated airspeed, knots", [](const FlightModel& f) { return f.ias_kt(); }},
    {"vs_fpm", "vertical speed, ft/min", [](const FlightModel& f) { return f.vs_fpm(); }},
    {"heading_deg", "true heading", [](const FlightModel& f) { return f.heading_deg(); }},
    {"bank_deg", "bank, right wing down positive", [](const FlightModel& f) { return f.bank_deg(); }},
    {"pitch_deg", "pitch, nose up positive", [](const FlightModel& f) { return f.pitch_deg(); }},
    {"max_bank_deg", "the largest bank either way since the flight began", [](const FlightModel& f) { return f.max_abs_bank_deg(); }},
    {"past_threshold_m", "metres past the ILS threshold along the runway", [](const FlightModel& f) { return f.past_threshold_m(); }},
    {"right_of_centreline_m", "metres right of the extended centreline", [](const FlightModel& f) { return f.right_of_centreline_m(); }},
    {"on_ground", "1 on the wheels", [](const FlightModel& f) { return f.on_ground() ? 1.0 : 0.0; }},
    {"landed", "1 once the aircraft has touched down", [](const FlightModel& f) { return f.touchdown().landed ? 1.0 : 0.0; }},
    {"touchdown_sink_fpm", "sink rate at the touchdown, ft/min", [](const FlightModel& f) { return f.touchdown().sink_fpm; }},
    {"touchdown_past_threshold_m", "where the wheels touched, metres past the threshold",
     [](const FlightModel& f) { return f.touchdown().past_threshold_m; }},
    {"touchdown_right_m", "where the wheels touched, metres right of the centreline",
     [](const FlightModel& f) { return f.touchdown().right_of_centreline_m; }},
    {"touchdown_in_zone", "1 when the touchdown was inside the touchdown zone",
     [](const FlightModel& f) { return f.touchdown().in_touchdown_zone ? 1.0 : 0.0; }},
    {"stopped", "1 once the roll-out has stopped", [](const FlightModel& f) { return f.touchdown().stopped ? 1.0 : 0.0; }},
    {"verdict", "0 undecided, 1 landed within limits and stopped on the runway, 2 and on the first fault (README, \"Flying\")",
     [](const FlightModel& f) { return static_cast<double>(f.judgement().verdict); }},
    {"verdict_time_s", "when the verdict's fault happened (or the landing was complete)", [](const FlightModel& f) { return f.judgement().time_s; }},
};

}  // namespace

std::span<const FlightQuantity> flight_quantities() { return kQuantities; }

const FlightQuantity* find_flight_quantity(std::string_view name) {
    for (const FlightQuantity& q : kQuantities)
        if (name == q.name) return &q;
    return nullptr;
}

void print_flight_report(const FlightModel& f, std::FILE* out) {
    std::fprintf(out, "Flight timeline\n");
    std::fprintf(out, "  %8s  %-28s %8s %6s %5s\n", "time", "moment", "height", "IAS", "HDG");
    const char* phase = nullptr;
    for (std::size_t i = 0; i < f.event_count(); ++i) {
        const FlightEvent& e = f.event(i);
        if (e.phase != phase) std::fprintf(out, " %s\n", phase = e.phase);
        const int minutes = static_cast<int>(e.time_s / kSecondsPerMinute);
        std::fprintf(out, "  %3d:%04.1f  %-28s %5.0f ft %3.0f kt %05.1f\n", minutes, e.time_s - minutes * kSecondsPerMinute,
                     e.what, e.altitude_ft, e.ias_kt, e.heading_deg);
    }
    const TouchdownReport& t = f.touchdown();
    std::fprintf(out, "Verdict: %s\n", f.verdict_text().c_str());
    if (!t.landed) {
        std::fprintf(out, "No touchdown.\n");
        return;
    }
    const IlsRunway& r = f.world().runway;
    std::fprintf(out, "Touchdown on runway %s\n", r.name.c_str());
    std::fprintf(out, "  vertical speed       %6.0f ft/min down\n", t.sink_fpm);
    std::fprintf(out, "  past the threshold   %6.0f m (touchdown zone %.0f to %.0f m: %s)\n", t.past_threshold_m,
                 r.touchdown_from_m, r.touchdown_to_m, t.in_touchdown_zone ? "inside" : "OUTSIDE");
    std::fprintf(out, "  from the centreline  %6.1f m %s\n", std::fabs(t.right_of_centreline_m),
                 t.right_of_centreline_m >= 0.0 ? "right" : "left");
    std::fprintf(out, "  airspeed             %6.0f kt, pitch %.1f deg, bank %.1f deg\n", t.ias_kt, t.pitch_deg, t.bank_deg);
    if (t.stopped)
        std::fprintf(out, "  stopped              %6.0f m past the threshold (%.0f m of runway left)\n",
                     t.stopped_past_threshold_m, r.length_m - t.stopped_past_threshold_m);
}

}  // namespace tarvenol::host
