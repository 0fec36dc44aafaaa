// The shared aircraft state: every variable through which the gauges meet, with its width and its
// value at load. One list gives the storage, the reset to load-time values and the name table the
// stand-in host uses. The owner gauge computes a variable on its tick; any gauge reads it on its own
// tick, possibly one frame old.
#pragma once

#include <array>

#include "module/numbers.h"
#include "module/var_table.h"
#include "sound/sound.h"

namespace tarvenol {

using VolumeTable = std::array<i16, snd::kSoundCount>;

// X(type, name, value at load, the values its meaning allows, meaning and values as cockpit-sim vars
// prints them). A range is kFlag (0/1), within(lo, hi), one_of(values...), kFinite (a FLOAT64 that
// must stay a number) or kAny. A FLOAT64 that follows a simulator variable is kAny: it is NaN when the
// simulator hands NaN, and what the displays make of it is judged on the displays.
#define TARVENOL_SHARED_STATE(X) \
    X(u8, dc_bus_tie_sw, 1, kFlag, "DC TIE switch: 1 NORM (DC normal bus may feed the DC essential bus), 0 SPLIT") \
    X(u8, batt_1_sw, 1, within(0, 2), "battery 1 switch: 0 OFF, 1 NORM, 2 ON") \
    X(u8, batt_2_sw, 1, within(0, 2), "battery 2 switch: 0 OFF, 1 NORM, 2 ON") \
    X(u8, batt_3_sw, 1, within(0, 2), "battery 3 switch: 0 OFF, 1 NORM, 2 ON") \
    X(u32, batt_charge, 1800, within(0, 1800), "battery charge, 0..1800 (full)") \
    X(u8, tr_1_on, 1, kFlag, "1 when transformer-rectifier 1 delivers (switch on and AC bus 1 powered)") \
    X(u8, tr_2_on, 1, kFlag, "1 when transformer-rectifier 2 delivers (switch on and AC bus 2 powered)") \
    X(u8, tr_ess_on, 1, kFlag, "1 when the essential transformer-rectifier delivers (switch on and AC essential bus normal)") \
    X(u8, tr_1_sw, 1, kFlag, "TR 1 switch 0 off / 1 on") \
    X(u8, tr_2_sw, 1, kFlag, "TR 2 switch 0 off / 1 on") \
    X(u8, tr_ess_sw, 1, kFlag, "essential TR switch 0 off / 1 on") \
    X(u8, ess_bus_eqpt_sw, 1, kFlag, "ESS BUS selector: 1 NORM EQPT, 0 MIN EQPT") \
    X(u8, ac_ess_feed_sel, 2, within(0, 4), "AC ESS bus feed selector: 0 GEN 2, 1 GEN 1, 2 NORM, 3 APU GEN, 4 EMRG INV") \
    X(u8, gen_1_line_sw, 1, kFlag, "LINE 1 switch (generator 1 line contactor) 0 OFF / 1 NORM") \
    X(u8, gen_2_line_sw, 1, kFlag, "LINE 2 switch (generator 2 line contactor) 0 OFF / 1 NORM") \
    X(u32, apu_oil_qty, 800, within(0, 800), "APU oil quantity, 0..800; start needs 600") \
    X(u8, hyd_ptu_blue_green_sw, 1, kFlag, "power transfer switch blue<->green 0/1") \
    X(u8, hyd_ptu_green_yellow_sw, 1, kFlag, "power transfer switch green<->yellow 0/1") \
    X(u8, hyd_pump_blue_eng1, 200, within(0, 200), "blue engine-1 pump switch/spool counter 0..200: on click 100 then +5/tick to 200; off click 95 then -5/tick to 0; >95 = switch on") \
    X(u8, hyd_pump_green_eng1, 200, within(0, 200), "green engine-1 pump switch/spool counter (as hyd_pump_blue_eng1)") \
    X(u8, hyd_pump_green_eng2, 200, within(0, 200), "green engine-2 pump switch/spool counter") \
    X(u8, hyd_pump_yellow_eng2, 200, within(0, 200), "yellow engine-2 pump switch/spool counter") \
    X(u8, norm_eqpt_ess_powered, 1, kFlag, "1 when ess_equipment_level is 2 and the AC essential bus is normal (captain-side normal equipment powered)") \
    X(u8, norm_eqpt_bus2_powered, 1, kFlag, "1 when ess_equipment_level is 2 and AC bus 2 is powered") \
    X(f64, fd_hdg_err, 6.0, kAny, "heading error to the flight director course or heading, degrees (within +-0.2 gives 0)") \
    X(f64, fd_vs_cmd, -850.0, kFinite, "flight director vertical speed command in simulator vertical-speed units (m/s x 256)") \
    X(f64, trp_n1_limit, 105.3, kFinite, "thrust rating N1 limit percent, recomputed each tick while AC bus 1 is powered and a mode is selected") \
    X(f64, trp_n1_target, 100.0, kFinite, "N1 target percent: = trp_n1_limit while a mode is selected, else the manual N1 target knob of the engine 1 N1 indicator") \
    X(VolumeTable, sound_volume, snd::kInitialVolumes, within(snd::kVolumeMin, snd::kVolumeMax), "volume of each sound, hundredths of a dB, load order") \
    X(i32, ats_speed_sel, 130, within(0, 400), "autothrottle selected speed, knots 0..400 (reloaded from the simulator airspeed reference every tick)") \
    X(u8, ac_transf_1_sw, 1, kFlag, "TRANSF 1 switch (transfer contactor 1) 0 OFF / 1 NORM") \
    X(u8, ac_transf_2_sw, 1, kFlag, "TRANSF 2 switch (transfer contactor 2) 0 OFF / 1 NORM") \
    X(i32, batt_current, 0, kAny, "battery current, amperes: negative discharge (-50/-10), positive charge, 0 idle") \
    X(u8, dc_bus_powered, 0, kFlag, "1 when the DC normal bus is powered (TR 1 or TR 2 delivering)") \
    X(u8, batt_bus_powered, 0, kFlag, "1 when the DC essential (battery) bus is powered: batteries, essential TR with AC bus 1, or DC tie from the DC normal bus; the general DC power flag") \
    X(u8, batt_1_connected, 0, kFlag, "1 when battery 1 is connected to the battery bus") \
    X(u8, batt_2_connected, 0, kFlag, "1 when battery 2 is connected to the battery bus") \
    X(u8, batt_3_connected, 0, kFlag, "1 when battery 3 is connected to the battery bus") \
    X(u8, batt_sw_any_on, 0, kFlag, "1 when any battery switch is not off") \
    X(i32, gen_1_load, 0, one_of(0, 50, 100), "generator 1 output as percent load: 0 not available, 50 available/one bus, 100 feeding both buses") \
    X(i32, gen_2_load, 0, one_of(0, 50, 100), "generator 2 output percent (as gen_1_load)") \
    X(i32, apu_gen_avail, 0, one_of(0, 50, 100), "APU generator output percent: 0, 50 or 100 (100 also when available but feeding nothing)") \
    X(i32, apu_gen_load, 0, one_of(0, 50, 100), "APU generator load percent shown on its load meter: 0, 50 or 100") \
    X(u8, ess_equipment_level, 0, within(0, 2), "essential equipment level: 2 ESS BUS selector at NORM EQPT; 1 at MIN EQPT with the smoke-drill nav selector at LAND; 0 otherwise") \
    X(u8, ext_pwr_sw, 0, kFlag, "external power switch 0 off / 1 on") \
    X(u8, smoke_nav_sel_sw, 0, kFlag, "smoke-drill nav selector: 0 NORM, 1 LAND") \
    X(u8, dc_meter_sel, 0, within(0, 7), "DC meter selector 0 OFF, 1 ESS BUS, 2 TR 1, 3 ESS TR, 4 TR 2, 5 BAT 1, 6 BAT 2, 7 BAT 3") \
    X(u8, ext_pwr_connected, 0, kFlag, "1 when the ground power unit is connected") \
    X(u8, ext_pwr_on, 0, kFlag, "1 when external power is connected and its switch is on") \
    X(u8, ac_bus_1_powered, 0, kFlag, "1 when AC bus 1 is powered") \
    X(u8, ac_bus_2_powered, 0, kFlag, "1 when AC bus 2 is powered") \
    X(u8, ac_phase_sel, 0, within(0, 2), "AC meter phase selector 0 A, 1 B, 2 C (no effect on readings)") \
    X(u8, ac_meter_sel, 0, within(0, 8), "AC meter source selector 0 OFF, 1 EXT PWR, 2 ESS BUS, 3 EMERG BUS, 4 BUS 1, 5 BUS 2, 6 GEN 1, 7 GEN 2, 8 APU GEN") \
    X(u8, batt_bus_fed_by_dc_bus, 0, kFlag, "1 when the battery bus is fed from the DC bus through the DC bus tie") \
    X(u8, ac_ess_bus_normal, 0, kFlag, "1 when the AC essential bus is fed from its selected normal source") \
    X(u8, ac_ess_bus_powered, 0, kFlag, "1 when the AC essential bus is powered (normal source or static inverter)") \
    X(u8, ac_ess_on_inverter, 0, kFlag, "1 when the AC essential bus is fed by the static inverter from the battery bus") \
    X(u8, ac_bus_tie_1_closed, 0, kFlag, "1 when transfer contactor 1 (AC bus 1 to the tie bus) is closed") \
    X(u8, ac_bus_tie_2_closed, 0, kFlag, "1 when transfer contactor 2 (AC bus 2 to the tie bus) is closed") \
    X(u8, gen_1_ctl_sw, 0, within(0, 3), "GEN 1 switch: 0 OFF/RESET, 1 ON, 2 TEST held from OFF, 3 TEST held from ON (springs back)") \
    X(u8, gen_2_ctl_sw, 0, within(0, 3), "GEN 2 switch: 0 OFF/RESET, 1 ON, 2/3 TEST (as gen_1_ctl_sw)") \
    X(u8, apu_gen_ctl_sw, 0, within(0, 3), "APU GEN switch: 0 OFF/RESET, 1 ON, 2/3 TEST (as gen_1_ctl_sw)") \
    X(u8, apu_bleed_avail, 0, kFlag, "1 when the APU is available: N1 at least 100 percent, altitude at most 30000 ft, oil above 0, no APU failure (feeds bleed air and the APU generator)") \
    X(f64, apu_n1_pct, 0.0, kFinite, "APU N1 speed in percent, 100 when running") \
    X(f64, apu_n_pct, 0.0, kFinite, "APU N2 speed in percent (the N1 speed is apu_n1_pct)") \
    X(f64, apu_egt, 0.0, kFinite, "APU exhaust gas temperature, degrees, 540 when running") \
    X(u8, apu_master_sw, 0, kFlag, "APU master switch 0 off / 1 on (set by its mouse areas; the failure panel presets also set it)") \
    X(f64, gross_weight_100kg, 0.0, kFinite, "gross weight in hundreds of kilograms : zero-fuel setting (1000..1220) plus fuel weight; read by the main airspeed indicator") \
    X(f64, fuel_qty_left_main, 0.0, kAny, "left main tank content in liters, recomputed every tick") \
    X(f64, fuel_qty_right_main, 0.0, kAny, "right main tank content in liters, recomputed every tick") \
    X(f64, fuel_qty_center, 0.0, kAny, "center tank content in liters, recomputed every tick") \
    X(f64, fuel_qty_left_aux, 0.0, kAny, "left auxiliary tank content in liters, recomputed every tick") \
    X(f64, fuel_qty_right_aux, 0.0, kAny, "right auxiliary tank content in liters, recomputed every tick") \
    X(u32, hyd_blue_press, 0, within(0, 3000), "blue system pressure psi, 0..3000 (+30/-15 per tick); indicator clamps to 0..4000") \
    X(u32, hyd_green_press, 0, within(0, 3000), "green system pressure psi = max of its two engine-pump branches, 0..3000") \
    X(u32, hyd_yellow_press, 0, within(0, 3000), "yellow system pressure psi, 0..3000") \
    X(u8, hyd_elec_pump_1_sw, 0, kFlag, "green electric pump 1 switch 0/1; pump runs with AC bus 1") \
    X(u8, hyd_elec_pump_2_sw, 0, kFlag, "green electric pump 2 switch 0/1; pump runs with AC bus 2") \
    X(u8, hyd_blue_status, 0, within(0, 2), "0 blue below 1750 psi; 1 pressurised with engine 1 N2>=20; 2 pressurised otherwise") \
    X(u8, hyd_green_status, 0, within(0, 2), "0 green below 1750 psi; 1 pressurised with an engine N2>=20; 2 pressurised otherwise") \
    X(u8, hyd_yellow_status, 0, within(0, 3), "0 yellow below 1750 psi; 1 with engine 2 N2>=20; 3 otherwise at IAS>=150 kt; 2 otherwise") \
    X(u8, rudder_travel_active, 0, kFlag, "1 when a rudder travel system switch is on, the battery bus is powered and any hydraulic system is pressurised") \
    X(u8, wing_anti_ice_on, 0, kFlag, "wing anti-ice on 0/1 (wing de-ice gauge)") \
    X(u8, lo_spd_ail_connected, 0, kFlag, "1 when the low-speed ailerons are connected: flap variable 328 >= 1.0 or on ground, and any hydraulic system pressurised") \
    X(u8, eng_start_master, 0, within(0, 4), "engine start master: 0 off, 2 pressed, 3 self-test (15 s), 4 armed, 1 both engines above 40% N2 (start finished); >=1 lamp on") \
    X(u8, panel_lt_sw, 0, kFlag, "panel lighting switch 0 off / 1 on; toggled by a click area on the flight director switch gauge, switching on only while batt_bus_powered") \
    X(u8, storm_lt_sw, 0, kFlag, "STORM light switch 0 OFF / 1 ON (flight deck light panel)") \
    X(u8, ann_lt_sel, 0, within(0, 2), "ANN LT selector 0 BRT, 1 DIM, 2 TEST") \
    X(f64, radio_alt_ft, 0.0, kAny, "radio altitude in feet, computed by the radio altimeter gauge") \
    X(u8, dh_alert_state, 0, within(0, 2), "decision-height state: 0 on ground, 2 above DH, 1 at or below DH after having been above (radio altimeter)") \
    X(u8, adf_test_req, 0, kFlag, "1 = ADF test requested by the ADF control test button; run and cleared by the ADF indicator (35-tick test)") \
    X(u8, fd_sw, 0, kFlag, "flight director bars switch: 0 off, 1 on") \
    X(u8, panel_toggles_shown, 0, kFlag, "1 while the panel navigation buttons are shown; toggled by a click on the autopilot-off light") \
    X(u8, fd_lat_code, 0, within(0, 4), "lateral mode code for the flight director: 0 none, 1 take-off, 2 heading/GPS, 3 NAV, 4 localizer") \
    X(u8, nav_captured, 0, kFlag, "1 once the flight director has captured the VOR/localizer course (set by the flight director computer, cleared by mode changes)") \
    X(i32, fd_track_cmd, 0, kAny, "course to fly (course plus intercept angle), degrees") \
    X(u8, loc_captured, 0, kFlag, "1 once the flight director computer has captured the localizer") \
    X(u8, gs_captured, 0, within(0, 2), "glide slope capture state from the flight director computer: 0 not captured, 1 captured, 2 (second capture stage)") \
    X(i32, fd_intercept, 0, one_of(0, 1, 5, 10, 15, 20), "intercept angle in degrees chosen from the course deviation: 20, 15, 10, 5, 1 or 0") \
    X(u8, appr_coupled, 0, kFlag, "1 while the approach is coupled to the simulator approach hold") \
    X(u8, nav_loc_coupled, 0, kFlag, "1 while NAV mode on a localizer station is coupled to the simulator approach hold") \
    X(f64, gnd_track_deg, 0.0, kFinite, "ground track in degrees computed by the HSI from heading and the two velocity components; read by the flight director gauge") \
    X(u8, afs_channels, 0, within(0, 3), "engaged flight-guidance channels: 0 none, 1 channel 1, 2 channel 2, 3 both") \
    X(u8, ap_engaged, 0, within(0, 3), "autopilot in command: 0 none, 1 AP 1, 2 AP 2, 3 both (dual, approach/LAND only)") \
    X(u8, fd_vert_code, 0, within(0, 5), "vertical mode code for the flight director: 0 none, 1 FD basic pitch, 2 IAS, 3 altitude capture, 4 altitude hold, 5 approach") \
    X(u8, yaw_damper_1_engaged, 0, kFlag, "yaw damper 1 engaged 0/1 (cleared on loss of yellow and blue)") \
    X(u8, yaw_damper_2_engaged, 0, kFlag, "yaw damper 2 engaged 0/1") \
    X(u8, yaw_damper_count, 0, within(0, 2), "number of yaw damper channels engaged: 0, 1, 2") \
    X(u8, pitch_trim_count, 0, within(0, 2), "number of PITCH TRIM switches on: 0, 1, 2") \
    X(f64, trim_angle_deg, 0.0, kAny, "stabiliser trim angle in degrees, from the trim computer's protection angle (yaw damper gauge, every tick)") \
    X(i32, hdg_ref, 0, kAny, "heading reference last sent to the simulator, degrees,") \
    X(u8, appr_mode, 0, one_of(0, 10, 11, 20, 21, 30, 40), "approach mode code: 0 none, 10 approach (G/S) without autopilot, 11 localizer only without autopilot, 20 approach (G/S) with autopilot or both channels, 21 localizer only with autopilot or both channels, 30 LAND, 40 LAND dual") \
    X(u8, ias_pitch_mode, 0, kFlag, "1 while pitch holds the speed reference (IAS mode)") \
    X(u8, nav_mode, 0, within(0, 2), "radio navigation lateral mode: 0 off, 1 NAV (VOR), 2 NAV with GPS driving the NAV display") \
    X(u8, hdg_sel_mode, 0, kFlag, "1 while heading select mode is on") \
    X(u8, alt_mode, 0, one_of(0, 1, 2, 3, 4, 25, 26), "altitude mode code: 0 off, 1 altitude armed, 2 capture of the selected altitude, 25 change to the selected altitude, 26 transition to hold, 3 hold at the selected altitude, 4 hold of the present altitude") \
    X(u8, afs_takeoff_mode, 0, kFlag, "1 while the flight-director-only take-off mode is on") \
    X(u8, ap_cws_mode, 0, kFlag, "1 while the autopilot runs with all modes cleared (control wheel steering)") \
    X(u8, afs_go_around, 0, kFlag, "1 while the automatic flight system is in go-around (set by the autothrottle in its mode 3, cleared when other AFS modes engage)") \
    X(u8, athr_mode, 0, within(0, 2), "autothrottle speed mode state (0 off, 1, 2; see the autothrottle); 1 is required for LAND dual") \
    X(u8, ats_n1_mode, 0, within(0, 2), "autothrottle N1 mode: 0 off, 1 engaged, 2 dropping out") \
    X(u8, land_locked, 0, kFlag, "1 once LAND is active below 700 ft above ground; blocks lever re-engagement and mode changes") \
    X(u8, flare_active, 0, kFlag, "1 once LAND flare started (radio altitude below 80 ft)") \
    X(u8, runway_guidance, 0, kFlag, "1 while runway (take-off roll or roll-out) guidance is active") \
    X(u8, basic_roll_mode, 0, kFlag, "1 while the autopilot holds bank/wings level with no lateral mode") \
    X(u8, basic_pitch_mode, 0, kFlag, "1 while the autopilot holds pitch/vertical speed with no vertical mode") \
    X(u8, fd_basic_pitch, 0, kFlag, "1 while the flight directors alone (no autopilot) are in basic pitch") \
    X(u16, flap_step_1_raw, 0, one_of(0, 2048), "flap position breakpoint 1 in raw host flap units (16-bit; set to 2048 every tick)") \
    X(u16, flap_step_2_raw, 0, one_of(0, 6144), "flap position breakpoint 2 in raw host flap units (16-bit; set to 6144 every tick)") \
    X(u16, flap_step_3_raw, 0, one_of(0, 10240), "flap position breakpoint 3 in raw host flap units (16-bit; set to 10240 every tick)") \
    X(i32, ap_vs_ref, 0, kAny, "vertical speed reference sent to the simulator, ft/min,") \
    X(i32, ap_alt_ref, 0, kAny, "altitude reference last sent to the simulator: metres when set by the control laws, feet when set by the altitude panel") \
    X(i32, bank_angle, 0, kAny, "the simulator's bank (simulator variable 80) negated and truncated to whole degrees, refreshed every tick by the autopilot master gauge") \
    X(f64, asi_speed_value, 0.0, kAny, "airspeed-derived value computed by the main airspeed indicator: simulator variable 64 / 20 - 5 when variable 64 exceeds 3000 ; the failure panel compares it with 600 and 750") \
    X(u8, alt_alert_state, 0, within(0, 3), "altitude alert state: 0 none, 1 approaching the selected altitude, 2 approach alert latched, 3 deviation from the held altitude") \
    X(f64, vert_speed_fpm, 0.0, kAny, "vertical speed in feet per minute, negative descending") \
    X(u8, trp_mode, 0, within(0, 6), "thrust rating mode: 0 none, 1 T.O., 2 FLX T.O., 3 GA, 4 MCT, 5 CL, 6 CR (buttons need AC bus 1; the autothrottle also writes it)") \
    X(f64, trp_n1_margin, 0.0, kAny, "greater of the two engine N1 minus trp_n1_target (computed while AC bus 1 is powered)") \
    X(u8, ats_arm_sw, 0, within(0, 2), "autothrottle arm switch: 1 on, 2 off") \
    X(f64, pitch_wheel, 0.0, within(-10, 25), "pitch wheel value, -10..+25 in steps of 0.5") \
    X(i32, alt_sel, 0, within(0, 40000), "selected altitude on the altitude panel, feet, 0..40000") \
    X(i32, hdg_sel, 0, within(0, 359), "selected heading on the heading panel, degrees 0..359") \
    X(u8, flare_elevator, 0, kFlag, "1 once the LAND flare elevator command (radio altitude below 30 ft) was given") \
    X(u8, ann_lt_test, 0, kFlag, "annunciator lamp test (1 = all annunciator lights on)") \
    X(u8, ap_1_lever, 0, kFlag, "position of the AP 1 engage lever (1 = engaged position)") \
    X(u8, ap_2_lever, 0, kFlag, "position of the AP 2 engage lever (1 = engaged position)") \
    X(u8, sim_ap_seen_on, 0, kFlag, "latched when the simulator's autopilot master has been seen on") \
    X(u8, mw_big_panel_open, 0, kFlag, "1 = the big master warning panel window is to be open") \
    X(u8, fail_apu, 0, kFlag, "failure flag: APU failed (set by the failure panel); stops APU availability and lights APU GEN OFF") \
    X(u8, fail_gen_1, 0, kFlag, "failure flag: generator 1 failed (set by the failure panel); forces gen_1_load to 0") \
    X(u8, fail_gen_2, 0, kFlag, "failure flag: generator 2 failed (set by the failure panel); forces gen_2_load to 0") \
    X(u8, fail_hyd_blue_pump, 0, kFlag, "failure flag: blue engine pump failed (written by failure panel)") \
    X(u8, fail_hyd_green_pumps, 0, kFlag, "failure flag: both green engine pumps failed") \
    X(u8, fail_hyd_yellow_pump, 0, kFlag, "failure flag: yellow engine pump failed") \
    X(u8, mw_lo_spd_ail_config, 0, kFlag, "master warning condition raised by the low-speed aileron gauge (takeoff configuration; one of the three inputs of the CONFIG light)") \
    X(u8, mw_flaps_config, 0, kFlag, "master warning condition raised by the flaps indicator gauge (takeoff configuration, set with an engine N1 of 97 or more)") \
    X(u8, mw_surf_config, 0, kFlag, "master warning condition raised by the flight-surfaces indicator gauge (takeoff configuration, set with an engine N1 of 97 or more)") \
    X(u8, mw_asi_fault, 0, kFlag, "master warning condition raised by the main airspeed indicator gauge (instrument fault)") \
    X(u8, mw_alti_fault, 0, kFlag, "master warning condition raised by the main altimeter gauge (instrument fault)") \
    X(u8, mw_adi_fault, 0, kFlag, "master warning condition raised by the attitude/flight director gauge (instrument fault)") \
    X(u8, mw_hsi_fault, 0, kFlag, "master warning condition raised by the HSI gauge (instrument fault)") \
    X(u8, mw_rmi_fault, 0, kFlag, "master warning condition raised by the RMI gauge (instrument fault)") \
    X(u8, mw_adf_fault, 0, kFlag, "master warning condition raised by the ADF indicator gauge (instrument fault)") \
    X(u8, ac_fault, 0, kFlag, "AC fault flag for the master warning: set on loss of an AC bus / essential bus; cleared when AC 1, AC 2 and AC essential (normal) are all powered or the battery bus is off") \
    X(u8, dc_fault, 0, kFlag, "DC fault flag for the master warning: set when a TR switch is on but its AC supply is missing; cleared when all three TRs deliver") \
    X(u8, gen_1_off_warn, 0, kFlag, "master warning flag: GEN 1 OFF while its switch is ON") \
    X(u8, gen_2_off_warn, 0, kFlag, "master warning flag: GEN 2 OFF while its switch is ON") \
    X(u8, apu_gen_off_warn, 0, kFlag, "master warning flag: APU GEN OFF while its switch is ON") \
    X(u8, eng_1_fire, 0, kFlag, "engine 1 fire condition (1 = fire); raised by the failure panel; drives the first fire light and the fire bell") \
    X(u8, eng_2_fire, 0, kFlag, "engine 2 fire condition (1 = fire); 1 exactly while simulator variable 15 reads 1.0 (computed by master warning panel 1)") \
    X(u8, mw_config, 0, kFlag, "takeoff configuration condition: 1 when any of mw_lo_spd_ail_config, mw_flaps_config, mw_surf_config is 1") \
    X(u8, mw_eng_1_oil_press, 0, kFlag, "master warning condition raised by the engine 1 oil pressure gauge") \
    X(u8, mw_eng_2_oil_press, 0, kFlag, "master warning condition raised by the engine 2 oil pressure gauge") \
    X(u8, mw_servo_fault, 0, kFlag, "master warning condition raised by the servo controls gauge") \
    X(u8, mw_ats_fault, 0, kFlag, "master warning condition raised by the autothrottle gauge") \
    X(u8, mw_rudder_travel_fault, 0, kFlag, "master warning condition raised by the rudder travel gauge") \
    X(u8, mw_yaw_damper_fault_1, 0, kFlag, "master warning condition raised by the yaw damper gauge (set when the yaw dampers are disengaged by a fault)") \
    X(u8, mw_yaw_damper_fault_2, 0, kFlag, "second master warning condition raised by the yaw damper gauge") \
    X(u8, ess_eqpt_warn, 0, kFlag, "master warning flag: essential equipment at NORM EQPT lacks its AC supply") \
    X(u8, mw_instruments, 0, kFlag, "instrument fault condition: 1 when any of mw_asi_fault, mw_alti_fault, mw_adi_fault, mw_hsi_fault, mw_rmi_fault, mw_adf_fault is 1") \
    X(u8, mw_park_brake, 0, kFlag, "master warning condition raised by the parking brake lever gauge") \
    X(u8, mw_probe_heat, 0, kFlag, "master warning condition raised by the probe heat gauge") \
    X(u8, mw_apu_fault, 0, kFlag, "master warning condition raised by the APU gauge") \
    X(u8, mw_brakes, 0, kFlag, "master warning condition raised by the brakes indicator gauge") \
    X(u8, mw_var868, 0, kFlag, "condition of master warning panel 2 light 4: simulator variable 868 above 0.1") \
    X(u8, mw_elec, 0, kFlag, "electrical fault condition: 1 when any of ac_fault, dc_fault, gen_1_off_warn, gen_2_off_warn, apu_gen_off_warn is 1") \
    X(u8, hyd_fault, 0, kFlag, "1 when any hydraulic low-pressure lamp or pump-spool lamp condition holds (battery bus powered)") \
    X(u8, mw_fuel_reserve, 0, kFlag, "master warning condition raised by the fuel reserve gauges") \
    X(u8, mw_var868_high, 0, kFlag, "condition of master warning panel 2 light 12: altitude at least 6500 ft and simulator variable 868 above 0.1 (continuous gong)") \
    X(u8, mw_to_inhibit, 0, kFlag, "takeoff inhibit of the caution lights (1 = inhibited); set on ground by a button, cleared once airborne with the gear not down") \
    X(u8, mw_inhibit_2, 0, kFlag, "second inhibit button state of master warning panel 2 (lights only)") \
    X(u8, aural_cancel, 0, kFlag, "aural cancel toggle (1 = fire bell and gear horn silenced)") \
    X(u8, mw_dc_supply_light, 0, kFlag, "1 unless both dc_bus_powered and batt_bus_powered are 1 (a light of master warning panel 2)") \
    X(u16, gpws_alert, 0, one_of(0, 10, 12, 20, 22, 30, 43, 50, 410, 412, 420, 422), "ground proximity alert now sounding: 0 none, 10 sink rate, 12 sink rate pull up, 20 terrain, 22 terrain pull up, 30 don't sink, 410 too low gear, 412 too low terrain (gear up), 420 too low flaps, 422 too low terrain (gear down), 43 too low terrain (after takeoff), 50 glide slope; readers outside the ground proximity warning only test it for 0") \
    X(u8, wroof_req, 0, kFlag, "1 = play WROOF once per tick (request from the yaw damper gauge)") \
    X(u8, clacker_req, 0, kFlag, "1 = loop CLACKER (overspeed), 0 = stop it (from the flaps indicator gauge)") \
    X(u8, cliclic_req, 0, kFlag, "1 = play CLICLICLIC once per tick (from autoland light 1 gauge)") \
    X(u8, autoland_warn_state, 0, one_of(0, 1, 2, 255), "autoland warning light: 0 none, 1 approach failure (localizer, glide slope, signal or flare too long), 2 autopilot lost in LAND below 200 ft, 255 on ground") \
    X(u8, alt_alert_chime, 0, within(0, 2), "altitude alert single chime: writers set 1 to request (only while gpws_alert is 0); the aural dispatcher plays RE once and sets 2; writers reset 0") \
    X(u8, alt_alert_cont, 0, kFlag, "altitude alert continuous chime: 1 = loop REREP while gpws_alert is 0, else stop") \
    X(u8, cockpit_init_state, 0, within(0, 2), "start-up sequence: 0 at load; 1 after the flight-deck lighting gauge opened all pop-up windows on its first tick; 2 after the GPS-drives gauge set the cockpit up and closed the windows") \
    X(u8, fail_eng_1_arm, 0, within(0, 2), "failure panel: arming state of failure F1 (engine 1 event) 0 off, 2 armed not validated, 1 armed") \
    X(u8, fail_eng_1_fire_arm, 0, within(0, 2), "failure panel: arming state of failure F2 (engine 1 fire) 0/2/1") \
    X(u8, fail_eng_2_arm, 0, within(0, 2), "failure panel: arming state of failure F3 (engine 2 event) 0/2/1") \
    X(u8, fail_eng_2_fire_arm, 0, within(0, 2), "failure panel: arming state of failure F4 (engine 2 fire) 0/2/1; also set to 1 by master warning panel 1 when variable 15 rises to 1.0") \
    X(f64, ias_trend, 0.0, kAny, "airspeed change over the last 9-tick sample, knots") \
    X(f64, ias_error, 0.0, kFinite, "airspeed minus speed reference in IAS mode, knots") \
    X(u8, ias_zone, 0, within(0, 6), "IAS-mode adjustment zone tag (0 none, 1..6)") \
    X(u8, fail_pending, 0, one_of(0, 2), "failure panel: 2 while newly armed items wait for validation, else 0") \
    X(i8, snd_master_vol_pos, 0, within(-10, 10), "master volume knob position, signed byte -10..+10 (each step = 1 dB on all module sounds)") \
    X(u8, apu_start_sw, 0, kFlag, "APU start switch/command 0/1 (the failure panel presets also set it)") \
    X(u8, pitch_trim_1_sw, 0, kFlag, "PITCH TRIM 1 switch 0 off / 1 on") \
    X(u8, pitch_trim_2_sw, 0, kFlag, "PITCH TRIM 2 switch 0/1") \
    X(u8, eng_1_start_state, 0, within(0, 2), "engine 1 start: 0 idle, 1 starting (starter held), 2 blocked during self-test") \
    X(u8, eng_2_start_state, 0, within(0, 2), "engine 2 start (as eng_1_start_state)") \
    X(u8, hp_lever_1, 0, kFlag, "engine 1 HP fuel lever 0 shut / 1 open (initial from simulator mixture variable 130 >= 8000)") \
    X(u8, hp_lever_2, 0, kFlag, "engine 2 HP fuel lever 0/1 (initial from variable 165)") \

struct SharedState {
#define TARVENOL_SHARED_MEMBER(type, name, init, range, meaning) type name = init;
    TARVENOL_SHARED_STATE(TARVENOL_SHARED_MEMBER)
#undef TARVENOL_SHARED_MEMBER
};

extern SharedState shared;

// Name, address and type of every shared variable.
VarTableView shared_var_table();

}  // namespace tarvenol
