// The simulator's vocabulary as this cockpit speaks it: every simulator variable the module reads
// (token, name, the type it is read as, unit) and every key event it sends (name, identifier).
// Gauges read and send only through these entries, so a token is read as one type everywhere;
// the stand-in host builds its token table, its key-event names and its aircraft model from the
// same lists, and the tests name tokens and events through them.
//
// A variable is read as FLOAT64 (`f64`) or as the 32-bit integer in the low half of the value
// field (`i32`). Names start with the system; where the cockpit only refreshes a variable without
// giving it a meaning, the name carries the token.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "module/numbers.h"

// X(name, token, type, unit)
#define TARVENOL_SIM_VARS(X) \
    X(tick_counter, 1, f64, "ticks, 18 per second") \
    X(clock_hour, 3, f64, "hours 0..23 of the time of day") \
    X(clock_minute, 4, f64, "minutes 0..59") \
    X(clock_second, 5, f64, "seconds 0..59") \
    X(pitot_heat, 13, f64, "0.0 off") \
    X(eng2_fire_trigger, 15, f64, "1.0 on") \
    X(adf_freq_bcd, 16, i32, "four-digit BCD") \
    X(adf_ext_freq_present, 17, f64, "1.0 present") \
    X(adf_ext_freq, 18, i32, "BCD") \
    X(com1_freq_bcd, 23, i32, "four-digit BCD, leading 1 implied") \
    X(nav1_freq_bcd, 24, i32, "four-digit BCD, leading 1 implied") \
    X(nav2_freq_bcd, 27, i32, "four-digit BCD, leading 1 implied") \
    X(dme1_distance_nm, 31, f64, "nautical miles") \
    X(dme2_distance_nm, 35, f64, "nautical miles") \
    X(transponder_code_bcd, 38, i32, "BCD, four octal digits") \
    X(adf_bearing_deg, 39, f64, "degrees") \
    X(nav1_cdi, 40, f64, "needle units, +-127 full scale") \
    X(nav1_gsi, 41, f64, "needle units") \
    X(nav1_to_from, 43, i32, "0 off, 1 TO, 2 FROM") \
    X(nav1_gs_flag, 44, f64, "1.0 glide slope / localizer received") \
    X(nav1_obs_deg, 45, f64, "degrees") \
    X(nav1_flags, 46, i32, "bits: 0x40 glide slope, 0x80 localizer") \
    X(nav1_signal, 49, f64, "non-zero when received") \
    X(dme2_available, 58, f64, "above 0 = yes") \
    X(rmi_needle_2_deg, 59, f64, "degrees") \
    X(on_ground, 60, f64, "1.0 on the ground, 0.0 airborne") \
    X(ias_kt, 61, f64, "knots") \
    X(max_speed_kt128, 63, f64, "knots x 128") \
    X(mach_x20480, 64, f64, "Mach x 20480") \
    X(vs_ms256, 65, f64, "m/s x 256") \
    X(altitude_m, 73, f64, "metres") \
    X(altitude_ft, 74, f64, "feet (indicated)") \
    X(baro_hpa, 75, f64, "hectopascals") \
    X(baro_inhg, 76, f64, "inches of mercury") \
    X(pitch_deg, 78, f64, "degrees") \
    X(ap_state_79, 79, f64, "autopilot state, refreshed only") \
    X(bank_deg, 80, f64, "degrees") \
    X(heading_deg, 84, f64, "degrees") \
    X(ap_master, 103, f64, "1.0 on") \
    X(ap_state_105, 105, f64, "autopilot state, refreshed only") \
    X(ap_heading_hold, 106, f64, "1.0 on") \
    X(ap_state_107, 107, f64, "autopilot state, refreshed only") \
    X(ap_state_108, 108, f64, "autopilot state, refreshed only") \
    X(ap_state_111, 111, f64, "autopilot state, refreshed only") \
    X(ap_airspeed_ref_kt, 116, f64, "knots") \
    X(eng1_throttle, 128, f64, "throttle axis units") \
    X(eng1_mixture, 130, f64, "0..16384") \
    X(eng2_throttle, 163, f64, "throttle axis units") \
    X(eng2_mixture, 165, f64, "0..16384") \
    X(oil_quantity, 270, f64, "raw, / 1250") \
    X(fail_asi, 274, i32, "1 = failed") \
    X(fail_altimeter, 275, i32, "1 = failed") \
    X(fail_attitude, 276, i32, "1 = failed") \
    X(fail_heading, 282, i32, "1 = failed") \
    X(fail_vsi, 283, i32, "1 = failed") \
    X(fail_rmi_2, 285, i32, "1 = failed") \
    X(fail_pitot, 286, i32, "1 = failed") \
    X(fail_attitude_2, 288, i32, "1 = failed") \
    X(tank_center_level, 289, f64, "8388608 = full") \
    X(tank_center_capacity_gal, 290, f64, "gallons") \
    X(tank_left_main_level, 291, f64, "8388608 = full") \
    X(tank_left_main_capacity_gal, 292, f64, "gallons") \
    X(tank_left_aux_level, 293, f64, "8388608 = full") \
    X(tank_left_aux_capacity_gal, 294, f64, "gallons") \
    X(tank_right_main_level, 297, f64, "8388608 = full") \
    X(tank_right_main_capacity_gal, 298, f64, "gallons") \
    X(tank_right_aux_level, 299, f64, "8388608 = full") \
    X(tank_right_aux_capacity_gal, 300, f64, "gallons") \
    X(fuel_lb_per_gal, 306, f64, "pounds per gallon") \
    X(eng1_fuel_selector, 307, i32, "0 off, 2 left main, 3 right main, 4 left aux, 5 right aux, 6 center") \
    X(elevator_input, 309, f64, "axis units") \
    X(aileron_input, 311, f64, "axis units") \
    X(aileron_pos, 313, f64, "raw, signed") \
    X(rudder_pos, 316, f64, "raw, signed") \
    X(elevator_pos, 317, f64, "raw, signed") \
    X(elevator_trim, 318, f64, "trim units") \
    X(brake_left, 320, f64, "raw, 0..32000") \
    X(brake_right, 321, f64, "raw, 0..32000") \
    X(parking_brake, 323, f64, "set at 1.0 or more") \
    X(spoiler_handle, 325, f64, "0..16384") \
    X(spoiler_left_pos, 326, f64, "raw, 0 retracted") \
    X(spoiler_right_pos, 327, f64, "raw, 0 retracted") \
    X(flap_handle, 328, f64, "raw flap units, 0..16383") \
    X(flap_pos, 329, f64, "raw flap units") \
    X(flap_pos_2, 330, f64, "raw flap units") \
    X(gear_handle, 331, f64, "0 up") \
    X(gear_nose_pos, 332, f64, "raw, 0 up .. 16384 down") \
    X(gear_left_pos, 333, f64, "raw, 0 up .. 16384 down") \
    X(gear_right_pos, 334, f64, "raw, 0 up .. 16384 down") \
    X(air_temp_c, 341, f64, "degrees Celsius") \
    X(air_temp_c_256, 350, f64, "degrees Celsius / 256") \
    X(marker_beacon, 354, f64, "1.0 outer, 2.0 middle, 3.0 inner") \
    X(beacon_light, 368, f64, "0.0 off, 1.0 on") \
    X(nose_light, 369, f64, "0.0 off, 1.0 on") \
    X(rmi_needle_1_deg, 550, f64, "degrees") \
    X(velocity_long, 551, f64, "any consistent unit") \
    X(velocity_lat, 552, f64, "any consistent unit") \
    X(time_of_day, 557, f64, "seconds 0..86399") \
    X(eng1_throttle_lever, 558, f64, "-1..1") \
    X(eng1_oil_temp, 561, f64, "raw, / 7 + 50 = degrees C") \
    X(eng1_oil_press, 562, f64, "raw, / 130") \
    X(eng1_starter, 563, f64, "1.0 engaged") \
    X(eng1_failure, 564, f64, "1.0 set") \
    X(eng2_throttle_lever, 568, f64, "-1..1") \
    X(eng2_oil_temp, 571, f64, "raw, / 7 + 50 = degrees C") \
    X(eng2_oil_press, 572, f64, "raw, / 130") \
    X(eng2_starter, 573, f64, "1.0 engaged") \
    X(eng2_failure, 574, f64, "1.0 set") \
    X(clock_s, 604, f64, "seconds") \
    X(sim_time_s, 607, f64, "seconds") \
    X(height_agl_m, 614, f64, "metres") \
    X(nav_lights, 619, f64, "0.0 off, 1.0 on") \
    X(logo_light, 620, f64, "0.0 off, 1.0 on") \
    X(wing_lights, 621, f64, "0.0 off, 1.0 on") \
    X(eng1_n1_pct, 624, f64, "percent") \
    X(eng1_n2_pct, 625, f64, "percent") \
    X(eng1_egt, 631, f64, "raw, / 2.15 = degrees C") \
    X(eng1_fuel_press, 634, f64, "raw, x 0.85") \
    X(eng1_fuel_flow_pph, 638, f64, "pounds per hour") \
    X(eng1_reverser, 641, f64, "deployed at 0.01 or more") \
    X(eng1_vibration, 642, f64, "raw") \
    X(eng2_n1_pct, 643, f64, "percent") \
    X(eng2_n2_pct, 644, f64, "percent") \
    X(eng2_egt, 650, f64, "raw, / 2.15 = degrees C") \
    X(eng2_fuel_press, 653, f64, "raw, x 0.85") \
    X(eng2_fuel_flow_pph, 657, f64, "pounds per hour") \
    X(eng2_reverser, 660, f64, "deployed at 0.01 or more") \
    X(eng2_vibration, 661, f64, "raw") \
    X(main_bus_volts, 759, f64, "volts") \
    X(protection_angle_rad, 783, f64, "radians") \
    X(aoa_rad, 789, f64, "radians") \
    X(fuel_total_lb, 791, f64, "pounds") \
    X(cruise_temp_c, 800, f64, "degrees Celsius") \
    X(gps_track_rad, 836, f64, "radians") \
    X(gps_drives_nav, 848, f64, "1.0 on") \
    X(hsi_dme_nm, 859, f64, "nautical miles, above 0 valid") \
    X(warning_quantity_868, 868, f64, "above 0.1 = on") \
    X(com2_freq_bcd, 870, i32, "four-digit BCD, leading 1 implied") \
    X(com2_transmit, 875, f64, "1.0 COM 2 selected") \
    X(eng1_anti_ice, 883, f64, "1.0 on") \
    X(eng2_anti_ice, 884, f64, "1.0 on") \
    X(eng1_fuel_valve, 895, f64, "1.0 open, 0.0 closed") \
    X(eng2_fuel_valve, 896, f64, "1.0 open, 0.0 closed") \
    X(structural_deice, 905, f64, "1.0 on") \
    X(eng2_fuel_selector, 906, i32, "0 off, 2 left main, 3 right main, 4 left aux, 5 right aux, 6 center")

// X(name, identifier)
#define TARVENOL_KEY_EVENTS(X) \
    /* Electrical */ \
    X(master_battery_toggle, 0x102C1) \
    /* Fuel feed */ \
    X(eng1_fuel_valve_toggle, 0x103BE) \
    X(eng2_fuel_valve_toggle, 0x103BF) \
    X(eng1_fuel_selector_off, 0x101A3) \
    X(eng1_fuel_selector_all, 0x101A4) \
    X(eng1_fuel_selector_left_main, 0x101A5) \
    X(eng1_fuel_selector_right_main, 0x101A6) \
    X(eng1_fuel_selector_left_aux, 0x101A7) \
    X(eng1_fuel_selector_right_aux, 0x101A8) \
    X(eng1_fuel_selector_center, 0x101A9) \
    X(eng2_fuel_selector_off, 0x103D4) \
    X(eng2_fuel_selector_all, 0x103D5) \
    X(eng2_fuel_selector_left_main, 0x103D6) \
    X(eng2_fuel_selector_right_main, 0x103D7) \
    X(eng2_fuel_selector_left_aux, 0x103D8) \
    X(eng2_fuel_selector_right_aux, 0x103D9) \
    X(eng2_fuel_selector_center, 0x103DA) \
    /* Engine start and HP levers */ \
    X(eng1_starter_held, 0x102FC) \
    X(eng2_starter_held, 0x102FD) \
    X(eng1_mixture_rich, 0x101BF) \
    X(eng1_mixture_lean, 0x101C3) \
    X(eng2_mixture_rich, 0x101C4) \
    X(eng2_mixture_lean, 0x101C8) \
    /* Panel windows: the panel system's, answered whether the model is on or off */ \
    X(panel_window_open, 0x103CB) \
    X(panel_window_close, 0x103CC) \
    /* Hydraulics and flight controls */ \
    X(gear_up, 0x1021F) \
    X(gear_down, 0x10220) \
    X(flaps_set, 0x100A2) \
    X(sim_toggle_10306, 0x10306) \
    X(ap_master_off, 0x100FF) \
    X(ap_master_on, 0x10100) \
    X(sim_command_1004c, 0x1004C) \
    X(sim_command_10211, 0x10211) \
    X(elevator_set, 0x1009E) \
    X(aileron_set, 0x1009F) \
    X(elevator_trim_set, 0x100AA) \
    X(sim_command_10099, 0x10099) \
    X(yaw_damper_pair_engage, 0x10215) \
    X(yaw_damper_pair_disengage, 0x10216) \
    X(yaw_damper_on, 0x101A1) \
    X(yaw_damper_off, 0x101A0) \
    /* Ice and probe protection */ \
    X(pitot_heat_on, 0x10218) \
    X(pitot_heat_off, 0x10219) \
    X(structural_deice_toggle, 0x10321) \
    X(eng1_anti_ice_toggle, 0x103B4) \
    X(eng2_anti_ice_toggle, 0x103B5) \
    /* Engine and flight levers */ \
    X(spoilers_set, 0x100FA) \
    X(spoilers_deploy, 0x10210) \
    X(eng1_throttle_up, 0x101AC) \
    X(eng1_throttle_101ad, 0x101AD) \
    X(eng1_throttle_down, 0x101AE) \
    X(eng2_throttle_up, 0x101B1) \
    X(eng2_throttle_101b2, 0x101B2) \
    X(eng2_throttle_down, 0x101B3) \
    X(flaps_extend_step, 0x100DE) \
    X(flaps_retract_step, 0x100DF) \
    X(parking_brake_toggle, 0x100D8) \
    /* Lighting */ \
    X(panel_lights_on, 0x10208) \
    X(panel_lights_off, 0x10209) \
    X(nav_lights_toggle, 0x1034B) \
    X(beacon_light_toggle, 0x10348) \
    X(logo_lights_toggle, 0x10349) \
    X(strobes_on, 0x10204) \
    X(strobes_off, 0x10205) \
    X(wing_lights_toggle, 0x1034A) \
    X(landing_lights_on, 0x1020B) \
    X(landing_lights_off, 0x1020C) \
    X(nose_light_toggle, 0x102C0) \
    /* Automatic flight */ \
    X(ap_approach_hold_on, 0x1010D) \
    X(ap_approach_hold_off, 0x10115) \
    X(ap_heading_hold_on, 0x1010F) \
    X(ap_heading_hold_off, 0x10117) \
    X(ap_altitude_hold_on, 0x10110) \
    X(ap_lateral_hold_on, 0x10111) \
    X(ap_lateral_hold_off, 0x10119) \
    X(ap_nav_gps_hold_on, 0x10113) \
    X(ap_hold_off_10116, 0x10116) \
    X(ap_hold_off_10118, 0x10118) \
    X(ap_hold_off_1011b, 0x1011B) \
    X(sim_command_10096, 0x10096) \
    X(sim_command_100e3, 0x100E3) \
    X(ap_altitude_ref_ft, 0x1024C) \
    X(ap_altitude_ref_m, 0x101F3) \
    X(ap_vs_ref, 0x101F4) \
    X(ap_heading_ref, 0x101FA) \
    X(nav1_obs_set, 0x100B4) \
    X(ap_airspeed_ref, 0x101F5) \
    X(autothrottle_arm, 0x10144) \
    X(ap_airspeed_hold_on, 0x1022D) \
    X(ap_airspeed_hold_off, 0x1022E) \
    X(throttle1_set, 0x1011C) \
    X(throttle2_set, 0x1011D) \
    /* Warnings and failures */ \
    X(eng1_failure_set, 0x10309) \
    X(eng2_failure_set, 0x1030A) \
    X(eng2_fire_start, 0x10201) \
    X(eng2_fire_stop, 0x10202) \
    X(apu_generator_set, 0x102B0) \
    /* Panel navigation */ \
    X(gps_drives_nav_toggle, 0x10347) \
    X(compass_light_on, 0x103D1) \
    X(compass_light_off, 0x103D2) \
    /* Radios */ \
    X(nav1_whole_up, 0x10069) \
    X(nav1_whole_down, 0x10068) \
    X(nav1_fract_up, 0x1006B) \
    X(nav1_fract_down, 0x1006A) \
    X(nav2_whole_up, 0x1006D) \
    X(nav2_whole_down, 0x1006C) \
    X(nav2_fract_up, 0x1006F) \
    X(nav2_fract_down, 0x1006E) \
    X(com1_whole_up, 0x10065) \
    X(com1_whole_down, 0x10064) \
    X(com1_fract_up, 0x10067) \
    X(com1_fract_down, 0x10066) \
    X(com2_whole_up, 0x10385) \
    X(com2_whole_down, 0x10384) \
    X(com2_fract_up, 0x10388) \
    X(com2_fract_down, 0x10386) \
    X(com1_transmit_select, 0x1039F) \
    X(com2_transmit_select, 0x103A0) \
    X(adf_hundreds_up, 0x10070) \
    X(adf_hundreds_down, 0x10082) \
    X(adf_tens_up, 0x10071) \
    X(adf_tens_down, 0x10083) \
    X(adf_units_up, 0x10072) \
    X(adf_units_down, 0x10084) \
    X(xpdr_thousands_up, 0x10073) \
    X(xpdr_thousands_down, 0x10397) \
    X(xpdr_hundreds_up, 0x10074) \
    X(xpdr_hundreds_down, 0x10398) \
    X(xpdr_tens_up, 0x10075) \
    X(xpdr_tens_down, 0x10399) \
    X(xpdr_units_up, 0x10076) \
    X(xpdr_units_down, 0x1039A) \
    X(audio_switch_b, 0x103AE) \
    X(audio_switch_c, 0x103A4) \
    X(audio_c_on, 0x1012D) \
    X(audio_c_off, 0x10128) \
    X(audio_switch_d, 0x103A8) \
    X(audio_d_on, 0x1012E) \
    X(audio_d_off, 0x10129) \
    X(audio_switch_e, 0x103AC) \
    X(audio_e_on, 0x10131) \
    X(audio_e_off, 0x1012C) \
    /* Flight instruments */ \
    X(baro_up, 0x1015B) \
    X(baro_down, 0x1015C) \
    X(clock_hours_down, 0x10079) \
    X(clock_hours_up, 0x1007A) \
    X(clock_minutes_down, 0x1007B) \
    X(clock_minutes_up, 0x1007C)

namespace tarvenol {

namespace sim {

enum class ReadAs : u8 { f64, i32 };

// A simulator variable and the type it is read as. The entry's type is its reading:
// `read(sim::nav1_flags)` gives the 32-bit flag word, and nothing reads it as a FLOAT64.
template <int Token, ReadAs R>
struct Var {
    static constexpr int token = Token;
    static constexpr ReadAs read_as = R;
};

#define TARVENOL_SIM_VAR_ENTRY(name, token, type, unit) inline constexpr Var<token, ReadAs::type> name{};
TARVENOL_SIM_VARS(TARVENOL_SIM_VAR_ENTRY)
#undef TARVENOL_SIM_VAR_ENTRY

// The whole list, for the stand-in host and the checks.
struct VarInfo {
    int token;
    const char* name;
    ReadAs type;
    const char* unit;
};
#define TARVENOL_SIM_VAR_INFO(name, token, type, unit) VarInfo{token, #name, ReadAs::type, unit},
inline constexpr std::array kVars = {TARVENOL_SIM_VARS(TARVENOL_SIM_VAR_INFO)};
#undef TARVENOL_SIM_VAR_INFO

}  // namespace sim

// A key event the cockpit sends to the simulator.
struct KeyEvent {
    u32 id;
    constexpr bool operator==(const KeyEvent&) const = default;
};

namespace key {

#define TARVENOL_KEY_ENTRY(name, id) inline constexpr KeyEvent name{id};
TARVENOL_KEY_EVENTS(TARVENOL_KEY_ENTRY)
#undef TARVENOL_KEY_ENTRY

struct KeyInfo {
    u32 id;
    const char* name;
};
#define TARVENOL_KEY_INFO(name, id) KeyInfo{id, #name},
inline constexpr std::array kEvents = {TARVENOL_KEY_EVENTS(TARVENOL_KEY_INFO)};
#undef TARVENOL_KEY_INFO

}  // namespace key

}  // namespace tarvenol
