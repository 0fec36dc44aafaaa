#include "host/aircraft_model.h"

#include <algorithm>

#include "host/flight_math.h"
#include "host/text.h"
#include "module/numbers.h"

namespace tarvenol::host {

namespace {

using namespace engine_model;

// The simulator variables of each engine.
struct EngineTokens {
    int n1;
    int n2;
    int throttle;  // the throttle axis, 0..16384 forward
    int fuel_flow;
    int starter;
    int mixture;
    int fuel_valve;
    int fuel_selector;  // read as a 32-bit integer
    int throttle_lever;
    int reverser;
    int egt;
    int oil_press;
};
constexpr EngineTokens kEngineTokens[AircraftModel::kEngines] = {
    {sim::eng1_n1_pct.token, sim::eng1_n2_pct.token, sim::eng1_throttle.token, sim::eng1_fuel_flow_pph.token, sim::eng1_starter.token,
     sim::eng1_mixture.token, sim::eng1_fuel_valve.token, sim::eng1_fuel_selector.token,
     sim::eng1_throttle_lever.token, sim::eng1_reverser.token, sim::eng1_egt.token, sim::eng1_oil_press.token},
    {sim::eng2_n1_pct.token, sim::eng2_n2_pct.token, sim::eng2_throttle.token, sim::eng2_fuel_flow_pph.token, sim::eng2_starter.token,
     sim::eng2_mixture.token, sim::eng2_fuel_valve.token, sim::eng2_fuel_selector.token,
     sim::eng2_throttle_lever.token, sim::eng2_reverser.token, sim::eng2_egt.token, sim::eng2_oil_press.token},
};

// Landing gear and flaps.
constexpr int kGearPositions[] = {sim::gear_nose_pos.token, sim::gear_left_pos.token, sim::gear_right_pos.token};
constexpr double kGearDown = 16384.0;

// Fuel tanks: level (8388608 full) and capacity in gallons, by selector value.
struct TankTokens {
    int selector;
    int level;
    int capacity;
};
constexpr TankTokens kTanks[] = {
    {2, sim::tank_left_main_level.token, sim::tank_left_main_capacity_gal.token},
    {3, sim::tank_right_main_level.token, sim::tank_right_main_capacity_gal.token},
    {4, sim::tank_left_aux_level.token, sim::tank_left_aux_capacity_gal.token},
    {5, sim::tank_right_aux_level.token, sim::tank_right_aux_capacity_gal.token},
    {6, sim::tank_center_level.token, sim::tank_center_capacity_gal.token},
};
constexpr double kFullLevel = 8388608.0;
constexpr double kJetFuelPoundsPerGallon = 6.7;  // when the simulator has no figure

// --- Reactions -----------------------------------------------------------------------------------

void master_battery_toggle(AircraftModel& m, std::uint32_t) {
    const bool on = m.vars().get(sim::main_bus_volts) != 0.0;
    m.vars().set(sim::main_bus_volts, on ? 0.0 : kBatteryVolts);
}

template <int Engine>
void mixture_rich(AircraftModel& m, std::uint32_t) {
    m.vars().set_f64(kEngineTokens[Engine].mixture, kMixtureRich);
}
template <int Engine>
void mixture_lean(AircraftModel& m, std::uint32_t) {
    m.vars().set_f64(kEngineTokens[Engine].mixture, kMixtureLean);
}

// The starter stays engaged for as long as the cockpit keeps sending the event every frame.
template <int Engine>
void starter_held(AircraftModel& m, std::uint32_t) {
    m.engine(Engine).starter_requested = true;
}

template <int Engine>
void fuel_valve_toggle(AircraftModel& m, std::uint32_t) {
    const int token = kEngineTokens[Engine].fuel_valve;
    m.vars().set_f64(token, is_on(m.vars().f64(token)) ? kValveClosed : kValveOpen);
}

// Selector values: 0 off, 2 left main, 3 right main, 4 left auxiliary, 5 right auxiliary, 6 center.
template <int Engine, int Tank>
void fuel_selector(AircraftModel& m, std::uint32_t) {
    m.vars().set_i32(kEngineTokens[Engine].fuel_selector, Tank);
}

// The gear goes where it is told at once; the handle follows.
void gear_up(AircraftModel& m, std::uint32_t) {
    m.vars().set(sim::gear_handle, 0.0);
    for (int token : kGearPositions) m.vars().set_f64(token, 0.0);
}
void gear_down(AircraftModel& m, std::uint32_t) {
    m.vars().set(sim::gear_handle, 1.0);
    for (int token : kGearPositions) m.vars().set_f64(token, kGearDown);
}

// Flaps set: handle and flaps to the raw position given.
void flaps_set(AircraftModel& m, std::uint32_t position) {
    m.vars().set(sim::flap_handle, position);
    m.vars().set(sim::flap_pos, position);
}

void autopilot_master_off(AircraftModel& m, std::uint32_t) { m.vars().set(sim::ap_master, 0.0); }
void autopilot_master_on(AircraftModel& m, std::uint32_t) { m.vars().set(sim::ap_master, 1.0); }

// The simulator's autopilot holds: each on/off event sets its status variable (NAV hold 105,
// heading hold 106, altitude hold 108, approach/glide-slope hold 111); the references are kept by
// the model; the axis events put the control surface where they say (signed axis units).
template <auto Status, int On>
void autopilot_hold(AircraftModel& m, std::uint32_t) {
    m.vars().set(Status, On ? 1.0 : 0.0);
}
void autopilot_altitude_ref_m(AircraftModel& m, std::uint32_t metres) {
    m.autopilot().altitude_ref_m = static_cast<std::int32_t>(metres);
    m.autopilot().altitude_target_ft = m.autopilot().altitude_ref_m * flight_math::kFeetPerMetre;
}
void autopilot_altitude_ref_ft(AircraftModel& m, std::uint32_t feet) {
    m.autopilot().altitude_ref_ft = static_cast<std::int32_t>(feet);
    m.autopilot().altitude_target_ft = m.autopilot().altitude_ref_ft;
}
void autopilot_heading_ref(AircraftModel& m, std::uint32_t degrees) {
    m.autopilot().heading_ref_deg = static_cast<std::int32_t>(degrees);
}
void autothrottle_arm(AircraftModel& m, std::uint32_t on) { m.autopilot().autothrottle_armed = on != 0; }
void autopilot_vs_ref(AircraftModel& m, std::uint32_t fpm) { m.autopilot().vs_ref_fpm = static_cast<std::int32_t>(fpm); }
template <bool On>
void autopilot_airspeed_hold(AircraftModel& m, std::uint32_t) {
    m.autopilot().airspeed_hold = On;
}
void autopilot_airspeed_ref(AircraftModel& m, std::uint32_t knots) { m.vars().set(sim::ap_airspeed_ref_kt, knots); }
template <auto Axis>
void axis_set(AircraftModel& m, std::uint32_t position) {
    m.vars().set(Axis, static_cast<double>(static_cast<std::int32_t>(position)));
}

// Throttle axes (autothrottle): the throttle at the axis position, its lever at the fraction of
// full travel.
template <int Engine>
void throttle_set(AircraftModel& m, std::uint32_t position) {
    const double units = static_cast<std::int32_t>(position);
    m.vars().set_f64(kEngineTokens[Engine].throttle, units);
    m.vars().set_f64(kEngineTokens[Engine].throttle_lever, units / kThrottleFullUnits);
}
void nav1_course_set(AircraftModel& m, std::uint32_t degrees) { m.vars().set(sim::nav1_obs_deg, degrees); }

// The simulator's hydraulic-loss toggle: the cockpit sends it in pairs, so the model only keeps
// which half it is in.
void hydraulic_toggle(AircraftModel& m, std::uint32_t) { m.toggle_hydraulic_state(); }

// Anti-ice and probe heat: the simulator's pitot heat is set on or off; structural de-ice and each
// engine's anti-ice flip between 1.0 and 0.0.
template <auto Variable>
void flip(AircraftModel& m, std::uint32_t) {
    m.vars().set(Variable, is_on(m.vars().get(Variable)) ? 0.0 : 1.0);
}
void pitot_heat_on(AircraftModel& m, std::uint32_t) { m.vars().set(sim::pitot_heat, 1.0); }
void pitot_heat_off(AircraftModel& m, std::uint32_t) { m.vars().set(sim::pitot_heat, 0.0); }
void yaw_damper_on(AircraftModel& m, std::uint32_t) { m.set_yaw_damper(true); }
void yaw_damper_off(AircraftModel& m, std::uint32_t) { m.set_yaw_damper(false); }

// Thrust levers a step at a time, from full reverse to full forward.
template <int Engine, int Direction>
void throttle_step(AircraftModel& m, std::uint32_t) {
    const int token = kEngineTokens[Engine].throttle_lever;
    double p = m.vars().f64(token);
    if (!(p == p)) p = 0.0;
    p += Direction * kThrottleStep;
    p = std::clamp(p, kThrottleReverse, kThrottleForward);
    m.vars().set_f64(token, p);
    // The throttle axis reads the lever's forward travel.
    m.vars().set_f64(kEngineTokens[Engine].throttle, std::max(p, 0.0) * kThrottleFullUnits);
}

// Spoilers: set to the lever's value, or deployed in full; both surfaces follow at once.
void set_spoilers(AircraftModel& m, double position) {
    m.vars().set(sim::spoiler_handle, position);
    m.vars().set(sim::spoiler_left_pos, position);
    m.vars().set(sim::spoiler_right_pos, position);
}
void spoilers_set(AircraftModel& m, std::uint32_t value) {
    set_spoilers(m, std::min(static_cast<double>(value), lever_model::kSpoilersFull));
}
void spoilers_deploy(AircraftModel& m, std::uint32_t) { set_spoilers(m, lever_model::kSpoilersFull); }

// The flap lever one detent down or up; the flaps follow at once.
template <int Direction>
void flaps_step(AircraftModel& m, std::uint32_t) {
    double handle = m.vars().get(sim::flap_handle);
    if (!(handle == handle)) handle = 0.0;
    handle = std::clamp(handle + Direction * lever_model::kFlapStep, 0.0, lever_model::kFlapsFull);
    m.vars().set(sim::flap_handle, handle);
    m.vars().set(sim::flap_pos, handle);
}

void parking_brake_toggle(AircraftModel& m, std::uint32_t) {
    const bool set = m.vars().get(sim::parking_brake) >= lever_model::kBrakeSet;
    m.vars().set(sim::parking_brake, set ? lever_model::kBrakeReleased : lever_model::kBrakeSet);
}
// Failures: an engine failure (its failure variable 564 / 574 at 1.0) starves the engine of fuel
// so that it runs down; the failure reset clears it, unless the engine was failed in the same
// frame: the simulator takes a frame's events together, and the cockpit holds a failure by sending
// it every frame while its other items send the reset. The engine 2 fire (variable 15) burns
// until the fire reset.
constexpr int kEngineFailureTokens[AircraftModel::kEngines] = {sim::eng1_failure.token, sim::eng2_failure.token};
bool engine_failed(AircraftModel& m, int engine) { return is_on(m.vars().f64(kEngineFailureTokens[engine])); }
template <int Engine>
void engine_failure(AircraftModel& m, std::uint32_t value) {
    if (value != 0) {
        m.vars().set_f64(kEngineFailureTokens[Engine], 1.0);
        m.engine(Engine).failed_in_frame = true;
    } else if (!m.engine(Engine).failed_in_frame) {
        m.vars().set_f64(kEngineFailureTokens[Engine], 0.0);
    }
}
void eng2_fire_start(AircraftModel& m, std::uint32_t) { m.vars().set(sim::eng2_fire_trigger, 1.0); }
void eng2_fire_stop(AircraftModel& m, std::uint32_t) { m.vars().set(sim::eng2_fire_trigger, 0.0); }

// --- Radios and altimeter setting ------------------------------------------------------------------
// The simulator keeps each tuned frequency in four-digit BCD with the leading 1 implied (0x1095 is
// 110.95 MHz; 0x1802 is 118.025 MHz: the last digit of a 25 kHz step is dropped). The whole-MHz
// events step through the band and wrap at its ends; the fraction events step within the MHz and
// wrap from .95 (.975) to .00 without carrying into it.
struct RadioBand {
    int token;
    int low_mhz;
    int high_mhz;
    int step_khz;
};
constexpr int kHundredMhz = 100;
constexpr int kKhzPerMhz = 1000;
constexpr int kKhzPerBcdDigit = 10;   // the BCD holds tens of kHz
constexpr int kDroppedKhz = 5;        // .025 and .075 are kept as 02 and 07
constexpr int kNavStepKhz = 50;
constexpr int kComStepKhz = 25;
constexpr RadioBand kNav1Band{sim::nav1_freq_bcd.token, 108, 117, kNavStepKhz};
constexpr RadioBand kNav2Band{sim::nav2_freq_bcd.token, 108, 117, kNavStepKhz};
constexpr RadioBand kCom1Band{sim::com1_freq_bcd.token, 118, 135, kComStepKhz};
constexpr RadioBand kCom2Band{sim::com2_freq_bcd.token, 118, 135, kComStepKhz};

struct Tuning {
    int mhz;
    int khz;
};
int bcd_nibble(std::int32_t bcd, int index) { return static_cast<int>((static_cast<std::uint32_t>(bcd) >> (4 * index)) & 0xF); }
Tuning decode_frequency(std::int32_t bcd) {
    const int last = bcd_nibble(bcd, 0);
    const int khz = (bcd_nibble(bcd, 1) * 10 + last) * kKhzPerBcdDigit + (last == 2 || last == 7 ? kDroppedKhz : 0);
    // Digits that are no BCD digits give no fraction.
    return {kHundredMhz + bcd_nibble(bcd, 3) * 10 + bcd_nibble(bcd, 2), khz < kKhzPerMhz ? khz : 0};
}
std::int32_t encode_frequency(Tuning t) {
    const int mhz = t.mhz - kHundredMhz;
    const int tens_khz = t.khz / kKhzPerBcdDigit;
    return static_cast<std::int32_t>((mhz / 10) << 12 | (mhz % 10) << 8 | (tens_khz / 10) << 4 | (tens_khz % 10));
}

template <const RadioBand& Band, int Direction>
void tune_whole(AircraftModel& m, std::uint32_t) {
    Tuning t = decode_frequency(m.vars().i32(Band.token));
    const bool in_band = t.mhz >= Band.low_mhz && t.mhz <= Band.high_mhz;
    if (Direction > 0)
        t.mhz = in_band && t.mhz < Band.high_mhz ? t.mhz + 1 : Band.low_mhz;
    else
        t.mhz = in_band && t.mhz > Band.low_mhz ? t.mhz - 1 : Band.high_mhz;
    t.khz -= t.khz % Band.step_khz;
    m.vars().set_i32(Band.token, encode_frequency(t));
}
template <const RadioBand& Band, int Direction>
void tune_fraction(AircraftModel& m, std::uint32_t) {
    Tuning t = decode_frequency(m.vars().i32(Band.token));
    if (t.mhz < Band.low_mhz || t.mhz > Band.high_mhz) t.mhz = Band.low_mhz;
    t.khz -= t.khz % Band.step_khz;
    t.khz = (t.khz + Direction * Band.step_khz + kKhzPerMhz) % kKhzPerMhz;
    m.vars().set_i32(Band.token, encode_frequency(t));
}
// The transmit selection: 1.0 while COM 2 transmits.
template <bool Com2>
void transmit_select(AircraftModel& m, std::uint32_t) {
    m.vars().set(sim::com2_transmit, Com2 ? 1.0 : 0.0);
}

// The altimeter setting: one hectopascal per event; the inches follow.
constexpr double kBaroStepHpa = 1.0;
constexpr double kHpaPerInHg = 33.8639;
template <int Direction>
void baro_step(AircraftModel& m, std::uint32_t) {
    double hpa = m.vars().get(sim::baro_hpa);
    if (!(hpa == hpa)) hpa = 0.0;
    hpa += Direction * kBaroStepHpa;
    m.vars().set(sim::baro_hpa, hpa);
    m.vars().set(sim::baro_inhg, hpa / kHpaPerInHg);
}

// ADF and transponder: the simulator keeps both in BCD and steps one digit at a time with no carry
// into the next; ADF hundreds run 1..17 (100..1799 kHz) and wrap round, the other ADF digits 0..9,
// the transponder digits 0..7.
constexpr int kBcdDigitBits = 4;
constexpr std::uint32_t kBcdDigitMask = 0xF;
constexpr int kAdfHundredsFirst = 1;
constexpr int kAdfHundredsLast = 17;
constexpr int kDecimalDigitLast = 9;
constexpr int kOctalDigitLast = 7;
int bcd_to_int(std::uint32_t bcd, int digits) {
    int v = 0;
    for (int i = digits - 1; i >= 0; --i)
        v = v * 10 + std::min<int>(static_cast<int>((bcd >> (kBcdDigitBits * i)) & kBcdDigitMask), kDecimalDigitLast);
    return v;
}
std::int32_t int_to_bcd(int v, int digits) {
    std::int32_t bcd = 0;
    for (int i = 0; i < digits; ++i, v /= 10) bcd |= (v % 10) << (kBcdDigitBits * i);
    return bcd;
}
int wrap_step(int value, int direction, int first, int last) {
    value += direction;
    if (value > last) return first;
    if (value < first) return last;
    return value;
}
template <int Place, int Direction>
void adf_step(AircraftModel& m, std::uint32_t) {
    const int khz = std::clamp(bcd_to_int(static_cast<std::uint32_t>(m.vars().get(sim::adf_freq_bcd)), 4),
                               kAdfHundredsFirst * 100, kAdfHundredsLast * 100 + 99);
    int hundreds = khz / 100, tens = khz / 10 % 10, units = khz % 10;
    if (Place == 2) hundreds = wrap_step(hundreds, Direction, kAdfHundredsFirst, kAdfHundredsLast);
    if (Place == 1) tens = wrap_step(tens, Direction, 0, kDecimalDigitLast);
    if (Place == 0) units = wrap_step(units, Direction, 0, kDecimalDigitLast);
    m.vars().set(sim::adf_freq_bcd, int_to_bcd(hundreds * 100 + tens * 10 + units, 4));
}
template <int Place, int Direction>
void transponder_step(AircraftModel& m, std::uint32_t) {
    const auto code = static_cast<std::uint32_t>(m.vars().get(sim::transponder_code_bcd));
    const int shift = kBcdDigitBits * Place;
    const int digit = std::min<int>(static_cast<int>((code >> shift) & kBcdDigitMask), kOctalDigitLast);
    const std::uint32_t stepped = static_cast<std::uint32_t>(wrap_step(digit, Direction, 0, kOctalDigitLast)) << shift;
    m.vars().set(sim::transponder_code_bcd, static_cast<std::int32_t>((code & ~(kBcdDigitMask << shift)) | stepped));
}
// The receivers the audio panel selects (B to E), as the simulator last heard them.
template <int Receiver>
void audio_select(AircraftModel& m, std::uint32_t on) { m.set_audio(Receiver, on != 0); }

void panel_window_open(AircraftModel& m, std::uint32_t window) { m.host().set_window(window, true); }
void panel_window_close(AircraftModel& m, std::uint32_t window) { m.host().set_window(window, false); }

constexpr Answerer A = Answerer::aircraft;
constexpr Answerer P = Answerer::panel_system;

// The key events the aircraft or the panel system answers; every other event of the cockpit's
// vocabulary is recorded and named only.
struct ReactionRow {
    ::tarvenol::KeyEvent event;
    Reaction reaction;
    Answerer answerer;
};
constexpr ReactionRow kReactions[] = {
    // Electrical
    {key::master_battery_toggle, &master_battery_toggle, A},
    // Fuel feed
    {key::eng1_fuel_valve_toggle, &fuel_valve_toggle<0>, A},
    {key::eng2_fuel_valve_toggle, &fuel_valve_toggle<1>, A},
    {key::eng1_fuel_selector_off, &fuel_selector<0, 0>, A},
    {key::eng1_fuel_selector_left_main, &fuel_selector<0, 2>, A},
    {key::eng1_fuel_selector_right_main, &fuel_selector<0, 3>, A},
    {key::eng1_fuel_selector_left_aux, &fuel_selector<0, 4>, A},
    {key::eng1_fuel_selector_right_aux, &fuel_selector<0, 5>, A},
    {key::eng1_fuel_selector_center, &fuel_selector<0, 6>, A},
    {key::eng2_fuel_selector_off, &fuel_selector<1, 0>, A},
    {key::eng2_fuel_selector_left_main, &fuel_selector<1, 2>, A},
    {key::eng2_fuel_selector_right_main, &fuel_selector<1, 3>, A},
    {key::eng2_fuel_selector_left_aux, &fuel_selector<1, 4>, A},
    {key::eng2_fuel_selector_right_aux, &fuel_selector<1, 5>, A},
    {key::eng2_fuel_selector_center, &fuel_selector<1, 6>, A},
    // Engine start and HP levers
    {key::eng1_starter_held, &starter_held<0>, A},
    {key::eng2_starter_held, &starter_held<1>, A},
    {key::eng1_mixture_rich, &mixture_rich<0>, A},
    {key::eng1_mixture_lean, &mixture_lean<0>, A},
    {key::eng2_mixture_rich, &mixture_rich<1>, A},
    {key::eng2_mixture_lean, &mixture_lean<1>, A},
    // Panel windows: the panel system's, answered whether the model is on or off
    {key::panel_window_open, &panel_window_open, P},
    {key::panel_window_close, &panel_window_close, P},
    // Hydraulics and flight controls
    {key::gear_up, &gear_up, A},
    {key::gear_down, &gear_down, A},
    {key::flaps_set, &flaps_set, A},
    {key::sim_toggle_10306, &hydraulic_toggle, A},
    // Yaw damper, ice and probe protection
    {key::yaw_damper_on, &yaw_damper_on, A},
    {key::yaw_damper_off, &yaw_damper_off, A},
    {key::pitot_heat_on, &pitot_heat_on, A},
    {key::pitot_heat_off, &pitot_heat_off, A},
    {key::structural_deice_toggle, &flip<sim::structural_deice>, A},
    {key::eng1_anti_ice_toggle, &flip<sim::eng1_anti_ice>, A},
    {key::eng2_anti_ice_toggle, &flip<sim::eng2_anti_ice>, A},
    {key::ap_master_off, &autopilot_master_off, A},
    {key::ap_master_on, &autopilot_master_on, A},
    {key::elevator_set, &axis_set<sim::elevator_pos>, A},
    {key::aileron_set, &axis_set<sim::aileron_pos>, A},
    {key::elevator_trim_set, &axis_set<sim::elevator_trim>, A},
    // Automatic flight: the simulator's holds, references and the airspeed hold
    {key::ap_lateral_hold_on, &autopilot_hold<sim::ap_state_105, 1>, A},
    {key::ap_lateral_hold_off, &autopilot_hold<sim::ap_state_105, 0>, A},
    {key::ap_heading_hold_on, &autopilot_hold<sim::ap_heading_hold, 1>, A},
    {key::ap_heading_hold_off, &autopilot_hold<sim::ap_heading_hold, 0>, A},
    {key::ap_altitude_hold_on, &autopilot_hold<sim::ap_state_108, 1>, A},
    {key::ap_hold_off_10118, &autopilot_hold<sim::ap_state_108, 0>, A},
    {key::ap_approach_hold_on, &autopilot_hold<sim::ap_state_111, 1>, A},
    {key::ap_approach_hold_off, &autopilot_hold<sim::ap_state_111, 0>, A},
    {key::ap_altitude_ref_m, &autopilot_altitude_ref_m, A},
    {key::ap_altitude_ref_ft, &autopilot_altitude_ref_ft, A},
    {key::ap_vs_ref, &autopilot_vs_ref, A},
    {key::ap_heading_ref, &autopilot_heading_ref, A},
    {key::autothrottle_arm, &autothrottle_arm, A},
    {key::ap_airspeed_hold_on, &autopilot_airspeed_hold<true>, A},
    {key::ap_airspeed_hold_off, &autopilot_airspeed_hold<false>, A},
    {key::ap_airspeed_ref, &autopilot_airspeed_ref, A},
    // Engine and flight levers
    {key::eng1_throttle_up, &throttle_step<0, +1>, A},
    {key::eng1_throttle_down, &throttle_step<0, -1>, A},
    {key::eng2_throttle_up, &throttle_step<1, +1>, A},
    {key::eng2_throttle_down, &throttle_step<1, -1>, A},
    {key::spoilers_set, &spoilers_set, A},
    {key::spoilers_deploy, &spoilers_deploy, A},
    {key::flaps_extend_step, &flaps_step<+1>, A},
    {key::flaps_retract_step, &flaps_step<-1>, A},
    {key::parking_brake_toggle, &parking_brake_toggle, A},
    // Automatic flight: throttle axes and the NAV 1 course
    {key::throttle1_set, &throttle_set<0>, A},
    {key::throttle2_set, &throttle_set<1>, A},
    {key::nav1_obs_set, &nav1_course_set, A},
    // Failures: engine failures and their reset, the engine 2 fire and its reset
    {key::eng1_failure_set, &engine_failure<0>, A},
    {key::eng2_failure_set, &engine_failure<1>, A},
    {key::eng2_fire_start, &eng2_fire_start, A},
    {key::eng2_fire_stop, &eng2_fire_stop, A},
    // Radios: frequency steps within the band, the transmit selection
    {key::nav1_whole_up, &tune_whole<kNav1Band, 1>, A},
    {key::nav1_whole_down, &tune_whole<kNav1Band, -1>, A},
    {key::nav1_fract_up, &tune_fraction<kNav1Band, 1>, A},
    {key::nav1_fract_down, &tune_fraction<kNav1Band, -1>, A},
    {key::nav2_whole_up, &tune_whole<kNav2Band, 1>, A},
    {key::nav2_whole_down, &tune_whole<kNav2Band, -1>, A},
    {key::nav2_fract_up, &tune_fraction<kNav2Band, 1>, A},
    {key::nav2_fract_down, &tune_fraction<kNav2Band, -1>, A},
    {key::com1_whole_up, &tune_whole<kCom1Band, 1>, A},
    {key::com1_whole_down, &tune_whole<kCom1Band, -1>, A},
    {key::com1_fract_up, &tune_fraction<kCom1Band, 1>, A},
    {key::com1_fract_down, &tune_fraction<kCom1Band, -1>, A},
    {key::com2_whole_up, &tune_whole<kCom2Band, 1>, A},
    {key::com2_whole_down, &tune_whole<kCom2Band, -1>, A},
    {key::com2_fract_up, &tune_fraction<kCom2Band, 1>, A},
    {key::com2_fract_down, &tune_fraction<kCom2Band, -1>, A},
    {key::com1_transmit_select, &transmit_select<false>, A},
    {key::com2_transmit_select, &transmit_select<true>, A},
    // Altimeter setting
    {key::baro_up, &baro_step<1>, A},
    {key::baro_down, &baro_step<-1>, A},
    // ADF and transponder digits, audio selection
    {key::adf_hundreds_up, &adf_step<2, +1>, A},
    {key::adf_hundreds_down, &adf_step<2, -1>, A},
    {key::adf_tens_up, &adf_step<1, +1>, A},
    {key::adf_tens_down, &adf_step<1, -1>, A},
    {key::adf_units_up, &adf_step<0, +1>, A},
    {key::adf_units_down, &adf_step<0, -1>, A},
    {key::xpdr_thousands_up, &transponder_step<3, +1>, A},
    {key::xpdr_thousands_down, &transponder_step<3, -1>, A},
    {key::xpdr_hundreds_up, &transponder_step<2, +1>, A},
    {key::xpdr_hundreds_down, &transponder_step<2, -1>, A},
    {key::xpdr_tens_up, &transponder_step<1, +1>, A},
    {key::xpdr_tens_down, &transponder_step<1, -1>, A},
    {key::xpdr_units_up, &transponder_step<0, +1>, A},
    {key::xpdr_units_down, &transponder_step<0, -1>, A},
    {key::audio_switch_b, &audio_select<0>, A},
    {key::audio_switch_c, &audio_select<1>, A},
    {key::audio_switch_d, &audio_select<2>, A},
    {key::audio_switch_e, &audio_select<3>, A},
    // Exterior lights: the toggled ones flip, the others are set
    {key::nav_lights_toggle, &flip<sim::nav_lights>, A},
    {key::logo_lights_toggle, &flip<sim::logo_light>, A},
    {key::beacon_light_toggle, &flip<sim::beacon_light>, A},
    {key::wing_lights_toggle, &flip<sim::wing_lights>, A},
    {key::nose_light_toggle, &flip<sim::nose_light>, A},
};

// Every key event of the vocabulary, with its reaction where there is one.
constexpr std::array<KeyEventInfo, key::kEvents.size()> make_key_event_table() {
    std::array<KeyEventInfo, key::kEvents.size()> table{};
    for (std::size_t i = 0; i < key::kEvents.size(); ++i) {
        table[i] = {key::kEvents[i].id, key::kEvents[i].name, nullptr, Answerer::aircraft};
        for (const ReactionRow& row : kReactions)
            if (row.event.id == key::kEvents[i].id) {
                table[i].reaction = row.reaction;
                table[i].answerer = row.answerer;
            }
    }
    return table;
}
constexpr auto kKeyEvents = make_key_event_table();

// Moves value toward target by at most step.
double slew(double value, double target, double step) {
    if (!(value == value)) return target;  // a NaN set from outside does not stick
    if (value < target) return std::min(value + step, target);
    if (value > target) return std::max(value - step, target);
    return value;
}

// The cockpit's key events lie close together in the simulator's numbering; an index over the
// block of 1024 identifiers from the lowest finds the row of an event at once (several arrive
// every frame). Any event outside the block is looked for row by row.
constexpr std::uint32_t lowest_key_id() {
    std::uint32_t lowest = kKeyEvents[0].id;
    for (const KeyEventInfo& k : kKeyEvents) lowest = std::min(lowest, k.id);
    return lowest;
}
constexpr std::uint32_t kFirstKeyId = lowest_key_id();
constexpr std::size_t kKeyIdBlock = 1024;
constexpr std::array<std::uint16_t, kKeyIdBlock> make_key_event_index() {
    std::array<std::uint16_t, kKeyIdBlock> index{};  // row + 1, 0 for an event the cockpit never sends
    for (std::size_t i = 0; i < kKeyEvents.size(); ++i)
        if (kKeyEvents[i].id >= kFirstKeyId && kKeyEvents[i].id - kFirstKeyId < kKeyIdBlock)
            index[kKeyEvents[i].id - kFirstKeyId] = static_cast<std::uint16_t>(i + 1);
    return index;
}
constexpr auto kKeyEventIndex = make_key_event_index();
static_assert(kKeyEvents.size() < 0xFFFF);

}  // namespace

std::span<const KeyEventInfo> key_event_table() { return kKeyEvents; }

const KeyEventInfo* find_key_event(std::uint32_t id) {
    if (id >= kFirstKeyId && id - kFirstKeyId < kKeyIdBlock) {
        const std::uint16_t row = kKeyEventIndex[id - kFirstKeyId];
        return row ? &kKeyEvents[row - 1] : nullptr;
    }
    for (const KeyEventInfo& k : kKeyEvents)
        if (k.id == id) return &k;
    return nullptr;
}

const KeyEventInfo* find_key_event(std::string_view name_or_number) {
    for (const KeyEventInfo& k : kKeyEvents)
        if (name_or_number == k.name) return &k;
    long long number = 0;
    constexpr long long kMaxId = 0xFFFFFFFF;
    if (parse_integer(name_or_number, number) && number >= 0 && number <= kMaxId)
        return find_key_event(static_cast<std::uint32_t>(number));
    return nullptr;
}

void AircraftModel::key_event(std::uint32_t id, std::uint32_t value) {
    const KeyEventInfo* k = find_key_event(id);
    if (!k || !k->reaction) return;
    if (k->answerer == Answerer::aircraft && !enabled_) return;
    k->reaction(*this, value);
}

void AircraftModel::step() {
    if (!enabled_) return;
    for (int i = 0; i < kEngines; ++i) step_engine(i);
}

// A turbofan in three states: cranked by its starter up to kStarterN2, lit by fuel once above
// kLightOffN2 and then spooling toward the thrust its lever asks (idle at the lever's rest), or
// running down when it has neither. N1, fuel flow, EGT and oil pressure follow N2; the reverser
// travels out while the lever is in reverse.
void AircraftModel::step_engine(int index) {
    const EngineTokens& t = kEngineTokens[index];
    Engine& e = engine(index);
    SimVars& v = vars();

    const bool starter = e.starter_requested;
    e.starter_requested = false;
    e.failed_in_frame = false;
    v.set_f64(t.starter, starter ? 1.0 : 0.0);

    const bool fuel = v.f64(t.mixture) >= kMixtureFuelOn && is_on(v.f64(t.fuel_valve)) &&
                      tank_has_fuel(v.i32(t.fuel_selector)) && !engine_failed(*this, index);
    double n2 = v.f64(t.n2);
    if (!fuel) e.lit = false;
    if (fuel && n2 >= kLightOffN2) e.lit = true;

    // The throttle axis (0..16384 forward) and the lever (-1..1) are two readings of one lever:
    // whichever was moved since the last step (by an event or a scenario) sets the other.
    double lever = v.f64(t.throttle_lever);
    double axis = v.f64(t.throttle);
    if (!is_exactly(axis, e.throttle_seen) && is_exactly(lever, e.lever_seen))
        lever = axis / kThrottleFullUnits;
    else
        axis = std::max(lever, 0.0) * kThrottleFullUnits;
    v.set_f64(t.throttle_lever, lever);
    v.set_f64(t.throttle, axis);
    e.throttle_seen = axis;
    e.lever_seen = lever;
    const double reverser =
        slew(v.f64(t.reverser), lever < 0.0 ? kReverserOut : 0.0, kReverserPerSecond * kSecondsPerTick);
    v.set_f64(t.reverser, reverser);
    double thrust = lever > 0.0 ? std::min(lever, kThrottleForward) : 0.0;
    if (lever < 0.0 && reverser >= kReverserOut) thrust = std::min(-lever, -kThrottleReverse) * kReverseThrust;

    const double target_n2 = kIdleN2 + thrust * (kMaxN2 - kIdleN2);
    if (e.lit && n2 >= kIdleN2 && target_n2 >= kIdleN2) {
        // Above idle: a lag, never slower than the steady spool rate.
        const double lagged = n2 + (target_n2 - n2) * kSecondsPerTick / kSpoolTimeConstantS;
        const double slewed = slew(n2, target_n2, kLitSpoolPerSecond * kSecondsPerTick);
        n2 = target_n2 > n2 ? std::max(lagged, slewed) : std::min(lagged, slewed);
    } else if (e.lit)
        n2 = slew(n2, target_n2, kLitSpoolPerSecond * kSecondsPerTick);
    else if (starter)
        n2 = slew(n2, kStarterN2, (n2 < kStarterN2 ? kStarterSpoolPerSecond : kRundownPerSecond) * kSecondsPerTick);
    else
        n2 = slew(n2, 0.0, kRundownPerSecond * kSecondsPerTick);

    v.set_f64(t.n2, n2);
    const double above_idle = n2 > kIdleN2 ? (n2 - kIdleN2) / (kMaxN2 - kIdleN2) : 0.0;
    const double n1 = n2 > kIdleN2 ? kIdleN1 + above_idle * (kMaxN1 - kIdleN1) : n2 * (kIdleN1 / kIdleN2);
    v.set_f64(t.n1, n1);
    const double flow_pph =
        e.lit ? (n2 > kIdleN2 ? kIdleFuelFlow + above_idle * (kMaxFuelFlow - kIdleFuelFlow) : kIdleFuelFlow * (n2 / kIdleN2))
              : 0.0;
    v.set_f64(t.fuel_flow, flow_pph);
    const double egt_c = e.lit ? kIdleEgtC + std::max(0.0, n1 - kIdleN1) * kEgtPerN1 : 0.0;
    v.set_f64(t.egt, slew(v.f64(t.egt), egt_c * kEgtRawPerDegree, kEgtPerSecond * kEgtRawPerDegree * kSecondsPerTick));
    v.set_f64(t.oil_press, n2 * kOilPressPerN2 * kOilPressRawPerUnit);
    burn_fuel(v.i32(t.fuel_selector), flow_pph);
}

// A lit engine burns from the tank its selector is on; a tank that runs dry starves it.
void AircraftModel::burn_fuel(std::int32_t selector, double flow_pph) {
    SimVars& v = vars();
    for (const TankTokens& tank : kTanks) {
        if (tank.selector != selector) continue;
        const double capacity = v.f64(tank.capacity);
        double per_gallon = v.get(sim::fuel_lb_per_gal);
        if (!(per_gallon > 0.0)) per_gallon = kJetFuelPoundsPerGallon;
        if (!(capacity > 0.0)) return;
        const double gallons = flow_pph / kSecondsPerHour * kSecondsPerTick / per_gallon;
        const double level = v.f64(tank.level) - gallons / capacity * kFullLevel;
        v.set_f64(tank.level, level > 0.0 ? level : 0.0);
    }
}

bool AircraftModel::tank_has_fuel(std::int32_t selector) {
    for (const TankTokens& tank : kTanks)
        if (tank.selector == selector) return vars().f64(tank.level) > 0.0;
    return false;
}

double AircraftModel::fuel_lb() {
    const SimVars& v = vars();
    double per_gallon = v.get(sim::fuel_lb_per_gal);
    if (!(per_gallon > 0.0)) per_gallon = kJetFuelPoundsPerGallon;
    double pounds = 0.0;
    for (const TankTokens& tank : kTanks) {
        const double capacity = v.f64(tank.capacity), level = v.f64(tank.level);
        if (capacity > 0.0 && level > 0.0) pounds += level / kFullLevel * capacity * per_gallon;
    }
    return pounds;
}

}  // namespace tarvenol::host
