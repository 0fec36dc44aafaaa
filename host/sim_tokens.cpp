#include "host/sim_tokens.h"

#include <cmath>
#include <cstdint>

#include "host/text.h"
#include "module/numbers.h"

namespace tarvenol::host {

namespace {

constexpr SimType F = SimType::f64;
constexpr SimType I = SimType::i32;

// Every variable the cockpit reads, by token. Names are lowercase with the system first; where the
// cockpit only refreshes a variable without giving it a meaning, the name carries the token.
const TokenInfo kTokens[] = {
    {1, "tick_counter", F, "ticks, 18 per second"},
    {3, "clock_hour", F, "hours 0..23 of the time of day"},
    {4, "clock_minute", F, "minutes 0..59"},
    {5, "clock_second", F, "seconds 0..59"},
    {13, "pitot_heat", F, "0.0 off"},
    {15, "eng2_fire_trigger", F, "1.0 on"},
    {16, "adf_freq_bcd", I, "four-digit BCD"},
    {17, "adf_ext_freq_present", F, "1.0 present"},
    {18, "adf_ext_freq", I, "BCD"},
    {23, "com1_freq_bcd", I, "four-digit BCD, leading 1 implied"},
    {24, "nav1_freq_bcd", I, "four-digit BCD, leading 1 implied"},
    {27, "nav2_freq_bcd", I, "four-digit BCD, leading 1 implied"},
    {31, "dme1_distance_nm", F, "nautical miles"},
    {35, "dme2_distance_nm", F, "nautical miles"},
    {38, "transponder_code_bcd", I, "BCD, four octal digits"},
    {39, "adf_bearing_deg", F, "degrees"},
    {40, "nav1_cdi", F, "needle units, +-127 full scale"},
    {41, "nav1_gsi", F, "needle units"},
    {43, "nav1_to_from", I, "0 off, 1 TO, 2 FROM"},
    {44, "nav1_gs_flag", F, "1.0 glide slope / localizer received"},
    {45, "nav1_obs_deg", F, "degrees"},
    {46, "nav1_flags", I, "bits: 0x40 glide slope, 0x80 localizer"},
    {49, "nav1_signal", F, "non-zero when received"},
    {58, "dme2_available", F, "above 0 = yes"},
    {59, "rmi_needle_2_deg", F, "degrees"},
    {60, "on_ground", F, "1.0 on the ground, 0.0 airborne"},
    {61, "ias_kt", F, "knots"},
    {63, "max_speed_kt128", F, "knots x 128"},
    {64, "mach_x20480", F, "Mach x 20480"},
    {65, "vs_ms256", F, "m/s x 256"},
    {73, "altitude_m", F, "metres"},
    {74, "altitude_ft", F, "feet (indicated)"},
    {75, "baro_hpa", F, "hectopascals"},
    {76, "baro_inhg", F, "inches of mercury"},
    {78, "pitch_deg", F, "degrees"},
    {79, "ap_state_79", F, "autopilot state, refreshed only"},
    {80, "bank_deg", F, "degrees"},
    {84, "heading_deg", F, "degrees"},
    {103, "ap_master", F, "1.0 on"},
    {105, "ap_state_105", F, "autopilot state, refreshed only"},
    {106, "ap_heading_hold", F, "1.0 on"},
    {107, "ap_state_107", F, "autopilot state, refreshed only"},
    {108, "ap_state_108", F, "autopilot state, refreshed only"},
    {111, "ap_state_111", F, "autopilot state, refreshed only"},
    {116, "ap_airspeed_ref_kt", F, "knots"},
    {128, "eng1_throttle", F, "throttle axis units"},
    {130, "eng1_mixture", F, "0..16384"},
    {163, "eng2_throttle", F, "throttle axis units"},
    {165, "eng2_mixture", F, "0..16384"},
    {270, "oil_quantity", F, "raw, / 1250"},
    {274, "fail_asi", I, "1 = failed"},
    {275, "fail_altimeter", I, "1 = failed"},
    {276, "fail_attitude", I, "1 = failed"},
    {282, "fail_heading", I, "1 = failed"},
    {283, "fail_vsi", I, "1 = failed"},
    {285, "fail_rmi_2", I, "1 = failed"},
    {286, "fail_pitot", I, "1 = failed"},
    {288, "fail_attitude_2", I, "1 = failed"},
    {289, "tank_center_level", F, "8388608 = full"},
    {290, "tank_center_capacity_gal", F, "gallons"},
    {291, "tank_left_main_level", F, "8388608 = full"},
    {292, "tank_left_main_capacity_gal", F, "gallons"},
    {293, "tank_left_aux_level", F, "8388608 = full"},
    {294, "tank_left_aux_capacity_gal", F, "gallons"},
    {297, "tank_right_main_level", F, "8388608 = full"},
    {298, "tank_right_main_capacity_gal", F, "gallons"},
    {299, "tank_right_aux_level", F, "8388608 = full"},
    {300, "tank_right_aux_capacity_gal", F, "gallons"},
    {306, "fuel_lb_per_gal", F, "pounds per gallon"},
    {307, "eng1_fuel_selector", I, "0 off, 2 left main, 3 right main, 4 left aux, 5 right aux, 6 center"},
    {309, "elevator_input", F, "axis units"},
    {311, "aileron_input", F, "axis units"},
    {313, "aileron_pos", F, "raw, signed"},
    {316, "rudder_pos", F, "raw, signed"},
    {317, "elevator_pos", F, "raw, signed"},
    {318, "elevator_trim", F, "trim units"},
    {320, "brake_left", F, "raw, 0..32000"},
    {321, "brake_right", F, "raw, 0..32000"},
    {323, "parking_brake", F, "set at 1.0 or more"},
    {325, "spoiler_handle", F, "0..16384"},
    {326, "spoiler_left_pos", F, "raw, 0 retracted"},
    {327, "spoiler_right_pos", F, "raw, 0 retracted"},
    {328, "flap_handle", F, "raw flap units, 0..16383"},
    {329, "flap_pos", F, "raw flap units"},
    {330, "flap_pos_2", F, "raw flap units"},
    {331, "gear_handle", F, "0 up"},
    {332, "gear_nose_pos", F, "raw, 0 up .. 16384 down"},
    {333, "gear_left_pos", F, "raw, 0 up .. 16384 down"},
    {334, "gear_right_pos", F, "raw, 0 up .. 16384 down"},
    {341, "air_temp_c", F, "degrees Celsius"},
    {350, "air_temp_c_256", F, "degrees Celsius / 256"},
    {354, "marker_beacon", F, "1.0 outer, 2.0 middle, 3.0 inner"},
    {368, "beacon_light", F, "0.0 off, 1.0 on"},
    {369, "nose_light", F, "0.0 off, 1.0 on"},
    {550, "rmi_needle_1_deg", F, "degrees"},
    {551, "velocity_long", F, "any consistent unit"},
    {552, "velocity_lat", F, "any consistent unit"},
    {557, "time_of_day", F, "seconds 0..86399"},
    {558, "eng1_throttle_lever", F, "-1..1"},
    {561, "eng1_oil_temp", F, "raw, / 7 + 50 = degrees C"},
    {562, "eng1_oil_press", F, "raw, / 130"},
    {563, "eng1_starter", F, "1.0 engaged"},
    {564, "eng1_failure", F, "1.0 set"},
    {568, "eng2_throttle_lever", F, "-1..1"},
    {571, "eng2_oil_temp", F, "raw, / 7 + 50 = degrees C"},
    {572, "eng2_oil_press", F, "raw, / 130"},
    {573, "eng2_starter", F, "1.0 engaged"},
    {574, "eng2_failure", F, "1.0 set"},
    {604, "clock_s", F, "seconds"},
    {607, "sim_time_s", F, "seconds"},
    {614, "height_agl_m", F, "metres"},
    {619, "nav_lights", F, "0.0 off, 1.0 on"},
    {620, "logo_light", F, "0.0 off, 1.0 on"},
    {621, "wing_lights", F, "0.0 off, 1.0 on"},
    {624, "eng1_n1_pct", F, "percent"},
    {625, "eng1_n2_pct", F, "percent"},
    {631, "eng1_egt", F, "raw, / 2.15 = degrees C"},
    {634, "eng1_fuel_press", F, "raw, x 0.85"},
    {638, "eng1_fuel_flow_pph", F, "pounds per hour"},
    {641, "eng1_reverser", F, "deployed at 0.01 or more"},
    {642, "eng1_vibration", F, "raw"},
    {643, "eng2_n1_pct", F, "percent"},
    {644, "eng2_n2_pct", F, "percent"},
    {650, "eng2_egt", F, "raw, / 2.15 = degrees C"},
    {653, "eng2_fuel_press", F, "raw, x 0.85"},
    {657, "eng2_fuel_flow_pph", F, "pounds per hour"},
    {660, "eng2_reverser", F, "deployed at 0.01 or more"},
    {661, "eng2_vibration", F, "raw"},
    {759, "main_bus_volts", F, "volts"},
    {783, "protection_angle_rad", F, "radians"},
    {789, "aoa_rad", F, "radians"},
    {791, "fuel_total_lb", F, "pounds"},
    {800, "cruise_temp_c", F, "degrees Celsius"},
    {836, "gps_track_rad", F, "radians"},
    {848, "gps_drives_nav", F, "1.0 on"},
    {859, "hsi_dme_nm", F, "nautical miles, above 0 valid"},
    {868, "warning_quantity_868", F, "above 0.1 = on"},
    {870, "com2_freq_bcd", I, "four-digit BCD, leading 1 implied"},
    {875, "com2_transmit", F, "1.0 COM 2 selected"},
    {883, "eng1_anti_ice", F, "1.0 on"},
    {884, "eng2_anti_ice", F, "1.0 on"},
    {895, "eng1_fuel_valve", F, "1.0 open, 0.0 closed"},
    {896, "eng2_fuel_valve", F, "1.0 open, 0.0 closed"},
    {905, "structural_deice", F, "1.0 on"},
    {906, "eng2_fuel_selector", I, "0 off, 2 left main, 3 right main, 4 left aux, 5 right aux, 6 center"},
};

}  // namespace

std::span<const TokenInfo> token_table() { return kTokens; }

const TokenInfo* find_token(int token) {
    for (const TokenInfo& t : kTokens)
        if (t.token == token) return &t;
    return nullptr;
}

const TokenInfo* find_token(std::string_view name_or_number) {
    for (const TokenInfo& t : kTokens)
        if (name_or_number == t.name) return &t;
    long long number = 0;
    constexpr long long kMaxToken = 0x7FFFFFFF;
    if (parse_integer(name_or_number, number) && number >= 0 && number <= kMaxToken)
        return find_token(static_cast<int>(number));
    return nullptr;
}

void store_sim(SimVars& vars, const TokenInfo& token, double value) {
    if (token.type == SimType::f64) {
        vars.set_f64(token.token, value);
        return;
    }
    constexpr double kLowest = -2147483648.0;
    constexpr double kHighestBits = 4294967295.0;
    if (value == std::trunc(value) && value >= kLowest && value <= kHighestBits) {
        const auto bits = static_cast<std::uint32_t>(static_cast<std::int64_t>(value));
        vars.set_i32(token.token, static_cast<std::int32_t>(bits));
    } else {
        vars.set_i32(token.token, truncate<std::int32_t>(value));
    }
}

double read_sim(const SimVars& vars, const TokenInfo& token) {
    return token.type == SimType::f64 ? vars.f64(token.token) : static_cast<double>(vars.i32(token.token));
}

}  // namespace tarvenol::host
