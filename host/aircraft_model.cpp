#include "host/aircraft_model.h"

#include <algorithm>

#include "host/text.h"
#include "module/numbers.h"

namespace tarvenol::host {

namespace {

using namespace engine_model;

// The simulator variables of each engine.
struct EngineTokens {
    int n1;
    int n2;
    int fuel_flow;
    int starter;
    int mixture;
    int fuel_valve;
    int fuel_selector;  // read as a 32-bit integer
};
constexpr EngineTokens kEngineTokens[AircraftModel::kEngines] = {
    {624, 625, 638, 563, 130, 895, 307},
    {643, 644, 657, 573, 165, 896, 906},
};
constexpr int kMainBusVolts = 759;

// Landing gear and flaps.
constexpr int kGearHandle = 331;
constexpr int kGearPositions[] = {332, 333, 334};  // nose, left, right: 0 up .. 16384 down
constexpr double kGearDown = 16384.0;
constexpr int kFlapHandle = 328;
constexpr int kFlapPosition = 329;
constexpr int kAutopilotMaster = 103;

// Fuel tanks: level (8388608 full) and capacity in gallons, by selector value.
struct TankTokens {
    int selector;
    int level;
    int capacity;
};
constexpr TankTokens kTanks[] = {
    {2, 291, 292},  // left main
    {3, 297, 298},  // right main
    {4, 293, 294},  // left auxiliary
    {5, 299, 300},  // right auxiliary
    {6, 289, 290},  // center
};
constexpr double kFullLevel = 8388608.0;
constexpr int kFuelPoundsPerGallon = 306;
constexpr double kJetFuelPoundsPerGallon = 6.7;  // when the simulator has no figure

// --- Reactions -----------------------------------------------------------------------------------

void master_battery_toggle(AircraftModel& m, std::uint32_t) {
    const bool on = m.vars().f64(kMainBusVolts) != 0.0;
    m.vars().set_f64(kMainBusVolts, on ? 0.0 : kBatteryVolts);
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
    m.vars().set_f64(kGearHandle, 0.0);
    for (int token : kGearPositions) m.vars().set_f64(token, 0.0);
}
void gear_down(AircraftModel& m, std::uint32_t) {
    m.vars().set_f64(kGearHandle, 1.0);
    for (int token : kGearPositions) m.vars().set_f64(token, kGearDown);
}

// Flaps set: handle and flaps to the raw position given.
void flaps_set(AircraftModel& m, std::uint32_t position) {
    m.vars().set_f64(kFlapHandle, position);
    m.vars().set_f64(kFlapPosition, position);
}

void autopilot_master_off(AircraftModel& m, std::uint32_t) { m.vars().set_f64(kAutopilotMaster, 0.0); }
void autopilot_master_on(AircraftModel& m, std::uint32_t) { m.vars().set_f64(kAutopilotMaster, 1.0); }

// The simulator's hydraulic-loss toggle: the cockpit sends it in pairs, so the model only keeps
// which half it is in.
void hydraulic_toggle(AircraftModel& m, std::uint32_t) { m.toggle_hydraulic_state(); }

void panel_window_open(AircraftModel& m, std::uint32_t window) { m.host().set_window(window, true); }
void panel_window_close(AircraftModel& m, std::uint32_t window) { m.host().set_window(window, false); }

constexpr Answerer A = Answerer::aircraft;
constexpr Answerer P = Answerer::panel_system;

// Every key event the cockpit sends. A row without a reaction is recorded and named only.
const KeyEventInfo kKeyEvents[] = {
    // Electrical
    {0x102C1, "master_battery_toggle", &master_battery_toggle, A},
    // Fuel feed
    {0x103BE, "eng1_fuel_valve_toggle", &fuel_valve_toggle<0>, A},
    {0x103BF, "eng2_fuel_valve_toggle", &fuel_valve_toggle<1>, A},
    {0x101A3, "eng1_fuel_selector_off", &fuel_selector<0, 0>, A},
    {0x101A5, "eng1_fuel_selector_left_main", &fuel_selector<0, 2>, A},
    {0x101A6, "eng1_fuel_selector_right_main", &fuel_selector<0, 3>, A},
    {0x101A7, "eng1_fuel_selector_left_aux", &fuel_selector<0, 4>, A},
    {0x101A8, "eng1_fuel_selector_right_aux", &fuel_selector<0, 5>, A},
    {0x101A9, "eng1_fuel_selector_center", &fuel_selector<0, 6>, A},
    {0x103D4, "eng2_fuel_selector_off", &fuel_selector<1, 0>, A},
    {0x103D6, "eng2_fuel_selector_left_main", &fuel_selector<1, 2>, A},
    {0x103D7, "eng2_fuel_selector_right_main", &fuel_selector<1, 3>, A},
    {0x103D8, "eng2_fuel_selector_left_aux", &fuel_selector<1, 4>, A},
    {0x103D9, "eng2_fuel_selector_right_aux", &fuel_selector<1, 5>, A},
    {0x103DA, "eng2_fuel_selector_center", &fuel_selector<1, 6>, A},
    // Engine start and HP levers
    {0x102FC, "eng1_starter_held", &starter_held<0>, A},
    {0x102FD, "eng2_starter_held", &starter_held<1>, A},
    {0x101BF, "eng1_mixture_rich", &mixture_rich<0>, A},
    {0x101C3, "eng1_mixture_lean", &mixture_lean<0>, A},
    {0x101C4, "eng2_mixture_rich", &mixture_rich<1>, A},
    {0x101C8, "eng2_mixture_lean", &mixture_lean<1>, A},
    // Panel windows: the panel system's, answered whether the model is on or off
    {0x103CB, "panel_window_open", &panel_window_open, P},
    {0x103CC, "panel_window_close", &panel_window_close, P},
    // Hydraulics and flight controls
    {0x1021F, "gear_up", &gear_up, A},
    {0x10220, "gear_down", &gear_down, A},
    {0x100A2, "flaps_set", &flaps_set, A},
    {0x10306, "sim_toggle_10306", &hydraulic_toggle, A},
    {0x100FF, "ap_master_off", &autopilot_master_off, A},
    {0x10100, "ap_master_on", &autopilot_master_on, A},
    {0x1004C, "sim_command_1004c", nullptr, A},
    {0x10211, "sim_command_10211", nullptr, A},
    {0x1009E, "elevator_set", nullptr, A},
    {0x1009F, "aileron_set", nullptr, A},
    {0x100AA, "elevator_trim_set", nullptr, A},
    {0x10099, "sim_command_10099", nullptr, A},
    {0x10215, "yaw_damper_pair_engage", nullptr, A},
    {0x10216, "yaw_damper_pair_disengage", nullptr, A},
    {0x101A1, "yaw_damper_on", nullptr, A},
    {0x101A0, "yaw_damper_off", nullptr, A},
    // Ice and probe protection
    {0x10218, "pitot_heat_on", nullptr, A},
    {0x10219, "pitot_heat_off", nullptr, A},
    {0x10321, "structural_deice_toggle", nullptr, A},
    {0x103B4, "eng1_anti_ice_toggle", nullptr, A},
    {0x103B5, "eng2_anti_ice_toggle", nullptr, A},
    // Engine and flight levers
    {0x100FA, "spoilers_set", nullptr, A},
    {0x10210, "spoilers_deploy", nullptr, A},
    {0x101AC, "eng1_throttle_up", nullptr, A},
    {0x101AD, "eng1_throttle_101ad", nullptr, A},
    {0x101AE, "eng1_throttle_down", nullptr, A},
    {0x101B1, "eng2_throttle_up", nullptr, A},
    {0x101B2, "eng2_throttle_101b2", nullptr, A},
    {0x101B3, "eng2_throttle_down", nullptr, A},
    {0x100DE, "flaps_extend_step", nullptr, A},
    {0x100DF, "flaps_retract_step", nullptr, A},
    {0x100D8, "parking_brake_toggle", nullptr, A},
    // Lighting
    {0x10208, "panel_lights_on", nullptr, A},
    {0x10209, "panel_lights_off", nullptr, A},
    {0x1034B, "nav_lights_toggle", nullptr, A},
    {0x10348, "beacon_light_toggle", nullptr, A},
    {0x10204, "strobes_on", nullptr, A},
    {0x10205, "strobes_off", nullptr, A},
    {0x1034A, "wing_lights_toggle", nullptr, A},
    {0x1020B, "landing_lights_on", nullptr, A},
    {0x1020C, "landing_lights_off", nullptr, A},
    {0x102C0, "nose_light_toggle", nullptr, A},
    // Automatic flight
    {0x1010D, "ap_approach_hold_on", nullptr, A},
    {0x10115, "ap_approach_hold_off", nullptr, A},
    {0x1010F, "ap_heading_hold_on", nullptr, A},
    {0x10117, "ap_heading_hold_off", nullptr, A},
    {0x10110, "ap_altitude_hold_on", nullptr, A},
    {0x10111, "ap_lateral_hold_on", nullptr, A},
    {0x10119, "ap_lateral_hold_off", nullptr, A},
    {0x10113, "ap_nav_gps_hold_on", nullptr, A},
    {0x10116, "ap_hold_off_10116", nullptr, A},
    {0x10118, "ap_hold_off_10118", nullptr, A},
    {0x1011B, "ap_hold_off_1011b", nullptr, A},
    {0x10096, "sim_command_10096", nullptr, A},
    {0x100E3, "sim_command_100e3", nullptr, A},
    {0x1024C, "ap_altitude_ref_ft", nullptr, A},
    {0x101F3, "ap_altitude_ref_m", nullptr, A},
    {0x101F4, "ap_vs_ref", nullptr, A},
    {0x101FA, "ap_heading_ref", nullptr, A},
    {0x100B4, "nav1_obs_set", nullptr, A},
    {0x101F5, "ap_airspeed_ref", nullptr, A},
    {0x10144, "autothrottle_arm", nullptr, A},
    {0x1022D, "ap_airspeed_hold_on", nullptr, A},
    {0x1022E, "ap_airspeed_hold_off", nullptr, A},
    {0x1011C, "throttle1_set", nullptr, A},
    {0x1011D, "throttle2_set", nullptr, A},
    // Warnings and failures
    {0x10309, "eng1_failure_set", nullptr, A},
    {0x1030A, "eng2_failure_set", nullptr, A},
    {0x10201, "eng2_fire_start", nullptr, A},
    {0x10202, "eng2_fire_stop", nullptr, A},
    {0x102B0, "apu_generator_set", nullptr, A},
    // Panel navigation
    {0x10347, "gps_drives_nav_toggle", nullptr, A},
    {0x103D1, "compass_light_on", nullptr, A},
    {0x103D2, "compass_light_off", nullptr, A},
    // Radios
    {0x10069, "nav1_whole_up", nullptr, A},
    {0x10068, "nav1_whole_down", nullptr, A},
    {0x1006B, "nav1_fract_up", nullptr, A},
    {0x1006A, "nav1_fract_down", nullptr, A},
    {0x1006D, "nav2_whole_up", nullptr, A},
    {0x1006C, "nav2_whole_down", nullptr, A},
    {0x1006F, "nav2_fract_up", nullptr, A},
    {0x1006E, "nav2_fract_down", nullptr, A},
    {0x10065, "com1_whole_up", nullptr, A},
    {0x10064, "com1_whole_down", nullptr, A},
    {0x10067, "com1_fract_up", nullptr, A},
    {0x10066, "com1_fract_down", nullptr, A},
    {0x10385, "com2_whole_up", nullptr, A},
    {0x10384, "com2_whole_down", nullptr, A},
    {0x10388, "com2_fract_up", nullptr, A},
    {0x10386, "com2_fract_down", nullptr, A},
    {0x1039F, "com1_transmit_select", nullptr, A},
    {0x103A0, "com2_transmit_select", nullptr, A},
    {0x10070, "adf_hundreds_up", nullptr, A},
    {0x10082, "adf_hundreds_down", nullptr, A},
    {0x10071, "adf_tens_up", nullptr, A},
    {0x10083, "adf_tens_down", nullptr, A},
    {0x10072, "adf_units_up", nullptr, A},
    {0x10084, "adf_units_down", nullptr, A},
    {0x10073, "xpdr_thousands_up", nullptr, A},
    {0x10397, "xpdr_thousands_down", nullptr, A},
    {0x10074, "xpdr_hundreds_up", nullptr, A},
    {0x10398, "xpdr_hundreds_down", nullptr, A},
    {0x10075, "xpdr_tens_up", nullptr, A},
    {0x10399, "xpdr_tens_down", nullptr, A},
    {0x10076, "xpdr_units_up", nullptr, A},
    {0x1039A, "xpdr_units_down", nullptr, A},
    {0x103AE, "audio_switch_b", nullptr, A},
    {0x103A4, "audio_switch_c", nullptr, A},
    {0x1012D, "audio_c_on", nullptr, A},
    {0x10128, "audio_c_off", nullptr, A},
    {0x103A8, "audio_switch_d", nullptr, A},
    {0x1012E, "audio_d_on", nullptr, A},
    {0x10129, "audio_d_off", nullptr, A},
    {0x103AC, "audio_switch_e", nullptr, A},
    {0x10131, "audio_e_on", nullptr, A},
    {0x1012C, "audio_e_off", nullptr, A},
    // Flight instruments
    {0x1015B, "baro_up", nullptr, A},
    {0x1015C, "baro_down", nullptr, A},
    {0x10079, "clock_hours_down", nullptr, A},
    {0x1007A, "clock_hours_up", nullptr, A},
    {0x1007B, "clock_minutes_down", nullptr, A},
    {0x1007C, "clock_minutes_up", nullptr, A},
};

// Moves value toward target by at most step.
double slew(double value, double target, double step) {
    if (!(value == value)) return target;  // a NaN set from outside does not stick
    if (value < target) return std::min(value + step, target);
    if (value > target) return std::max(value - step, target);
    return value;
}

}  // namespace

std::span<const KeyEventInfo> key_event_table() { return kKeyEvents; }

const KeyEventInfo* find_key_event(std::uint32_t id) {
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
// kLightOffN2 and then spooling to idle, or running down when it has neither. N1 and fuel flow
// follow N2.
void AircraftModel::step_engine(int index) {
    const EngineTokens& t = kEngineTokens[index];
    Engine& e = engine(index);
    SimVars& v = vars();

    const bool starter = e.starter_requested;
    e.starter_requested = false;
    v.set_f64(t.starter, starter ? 1.0 : 0.0);

    const bool fuel = v.f64(t.mixture) >= kMixtureFuelOn && is_on(v.f64(t.fuel_valve)) &&
                      tank_has_fuel(v.i32(t.fuel_selector));
    double n2 = v.f64(t.n2);
    if (!fuel) e.lit = false;
    if (fuel && n2 >= kLightOffN2) e.lit = true;

    if (e.lit)
        n2 = slew(n2, kIdleN2, kLitSpoolPerSecond * kSecondsPerTick);
    else if (starter)
        n2 = slew(n2, kStarterN2, (n2 < kStarterN2 ? kStarterSpoolPerSecond : kRundownPerSecond) * kSecondsPerTick);
    else
        n2 = slew(n2, 0.0, kRundownPerSecond * kSecondsPerTick);

    v.set_f64(t.n2, n2);
    v.set_f64(t.n1, n2 * (kIdleN1 / kIdleN2));
    const double flow_pph = e.lit ? kIdleFuelFlow * (n2 / kIdleN2) : 0.0;
    v.set_f64(t.fuel_flow, flow_pph);
    burn_fuel(v.i32(t.fuel_selector), flow_pph);
}

// A lit engine burns from the tank its selector is on; a tank that runs dry starves it.
void AircraftModel::burn_fuel(std::int32_t selector, double flow_pph) {
    SimVars& v = vars();
    for (const TankTokens& tank : kTanks) {
        if (tank.selector != selector) continue;
        const double capacity = v.f64(tank.capacity);
        double per_gallon = v.f64(kFuelPoundsPerGallon);
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

}  // namespace tarvenol::host
