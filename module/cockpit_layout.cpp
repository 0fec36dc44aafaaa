// The flight deck as the crew sees it. The main panel: the glareshield across the top with the
// captain's flight director switch and autoland annunciators, the automatic flight panels
// (speed, course, heading, altitude, autopilot master) and the standby compass; the panel
// floodlight strip under it; then the captain's instruments in the basic T (airspeed left of
// the attitude director, altimeter right, HSI below), the clock and ADF on the left, the RMI
// under the airspeed, TAS and SAT under the altimeter, the VSI, radio altimeter, angle of
// attack and marker lights right of the HSI; the master warning panels and the engine
// instruments (N1, EGT, N2, fuel flow, engine 1 left of engine 2) in the centre; along the bottom the flap and surface indicators, the standby
// instruments, the thrust rating computer, the gear indicator, gear lever and brake indicator,
// and the window buttons.
// The engineer's panel: electrical power (generators, AC buses, ground power, meters, AC
// selector, batteries, DC buses) and the fuel system (fuel used, quantities, pumps, valves)
// above; hydraulics, the APU with vibration and weight, and the engines' secondary
// instruments (engine 1 row over engine 2 row) below.
#include "module/cockpit_layout.h"

#include "module/gauge_list.h"

namespace tarvenol::cockpit {
namespace {

enum G : int {
#define TARVENOL_LAYOUT_INDEX(ident) ident,
    TARVENOL_GAUGE_LIST(TARVENOL_LAYOUT_INDEX)
#undef TARVENOL_LAYOUT_INDEX
};

constexpr Window kWindows[] = {
    {kMainPanel, "main panel", 1280, 1152, Opens::top_left, false, false},
    {kOverheadWindow, "overhead panel", 734, 345, Opens::top, true, true},
    {kPedestalWindow, "pedestal", 149, 325, Opens::bottom, true, true},
    {kRadioWindow, "radio panel", 333, 242, Opens::bottom_left, true, true},
    {kMasterWarningWindow, "master warning panels", 310, 113, Opens::top_left, true, true},
    {kEngineerWindow, "flight engineer's panel", 1150, 694, Opens::right, true, false},
    {kGpsWindow, "GPS and drives", 65, 44, Opens::top_right, true, true},
    {kFailureWindow, "failure panel", 1187, 258, Opens::centre, false, false},
};

constexpr WindowId M = kMainPanel;
constexpr WindowId O = kOverheadWindow;
constexpr WindowId P = kPedestalWindow;
constexpr WindowId R = kRadioWindow;
constexpr WindowId E = kEngineerWindow;
constexpr WindowId S = kGpsWindow;
constexpr WindowId W = kMasterWarningWindow;
constexpr WindowId F = kFailureWindow;

// Engineer's panel: upper row (electrical at 4, fuel at 640), lower row at 330 (hydraulics at 4,
// APU at 360, engines at 670).
constexpr int kFeLower = 330;
constexpr int kFeFuel = 640;
constexpr int kFeApu = 360;
constexpr int kFeEngines = 670;

constexpr Place kPlaces[] = {
    // Main panel: glareshield.
    {fd_bars_sw, M, 4, 4},
    {voy_ap_off, M, 100, 4},
    {autoland_light_1, M, 136, 4},
    {ga_light, M, 196, 4},
    {gpws, M, 235, 4},
    {autoland_light_2, M, 100, 48},
    {autoland_ecart_loc, M, 147, 48},
    {autoland_ecart_gs, M, 213, 48},
    {ap_ats, M, 300, 4},
    {ap_crs, M, 447, 4},
    {ap_hdg, M, 537, 4},
    {ap_alt, M, 643, 4},
    {ap_master, M, 785, 4},
    {compass, M, 1100, 4},
    {panel_light, M, 0, 106},
    // Captain's instruments.
    {chrono, M, 4, 132},
    {adf, M, 4, 404},
    {asi_main, M, 189, 210},
    {rmi, M, 191, 456},
    {idpp, M, 449, 132},
    {adi_fd, M, 377, 210},
    {hsi, M, 404, 486},
    {alti_main, M, 715, 210},
    {omi, M, 712, 623},
    {tas, M, 715, 424},
    {sat, M, 772, 424},
    {vsi, M, 712, 486},
    {ralt, M, 849, 486},
    {aoa, M, 849, 640},
    // Centre: master warning panels and engine instruments.
    {mwp_1, M, 912, 132},
    {mwp_2, M, 1024, 132},
    {loop, M, 912, 268},
    {rev_voy_left, M, 950, 278},
    {rev_voy_right, M, 1123, 278},
    {eng_ind_n1_1, M, 912, 304},
    {eng_ind_n1_2, M, 1085, 304},
    {eng_ind_egt_1, M, 912, 448},
    {eng_ind_egt_2, M, 1085, 448},
    {eng_ind_n2_1, M, 920, 575},
    {eng_ind_n2_2, M, 1093, 575},
    {eng_ind_ff_1, M, 920, 702},
    {eng_ind_ff_2, M, 1093, 702},
    // Lower panel.
    {flaps_ind, M, 4, 850},
    {surf_ind, M, 116, 850},
    {asi_sec, M, 240, 850},
    {adi_sec, M, 354, 850},
    {alti_sec, M, 698, 850},
    {n1_calc, M, 900, 850},
    {gear_ind, M, 1032, 850},
    {gear_h, M, 1108, 850},
    {brakes_ind, M, 1162, 850},
    {testgauge2k, M, 1240, 850},
    {toggle_pan_up2, M, 4, 1126},
    {toggle_pan_ped, M, 458, 1126},
    {toggle_pan_rad, M, 594, 1126},
    {toggle_pan_fe, M, 730, 1126},
    {toggle_pan_gps, M, 866, 1126},
    {toggle_pan_fail, M, 942, 1126},

    // Overhead panel: flight controls aft, anti-ice and engine start, lighting and signs forward.
    {servo_controls, O, 4, 4},
    {rudder_travel, O, 185, 4},
    {lo_spd_ail, O, 378, 4},
    {yaw, O, 554, 4},
    {probes_heat, O, 4, 126},
    {wing_deice, O, 164, 126},
    {nacelle_deice, O, 356, 126},
    {eng_start, O, 544, 126},
    {ext_lt, O, 4, 265},
    {flt_deck_lt, O, 192, 265},
    {signs, O, 361, 265},
    {map_lt, O, 422, 265},

    // Pedestal: speed brake left of the thrust levers, flaps and parking brake right, HP levers aft.
    {throttles_num, P, 49, 4},
    {spd_brk_lev, P, 4, 58},
    {throttles, P, 41, 58},
    {flaps_lev, P, 103, 58},
    {park_brk_lev, P, 103, 164},
    {hp_lev_1, P, 37, 246},
    {hp_lev_2, P, 76, 246},

    // Radio panel: VHF COM, audio and transponder left; NAV and ADF right.
    {radio_com, R, 4, 4},
    {radio_snd, R, 4, 102},
    {radio_tsp, R, 4, 173},
    {radio_nav, R, 187, 4},
    {radio_adf1, R, 187, 125},

    // Master warning panels, side by side.
    {mwp_1_big, W, 4, 4},
    {mwp_2_big, W, 157, 4},

    // Engineer's panel, electrical: generators, AC buses and ground power; the meters; AC
    // selector, batteries, DC buses and DC selector.
    {elec_gen, E, 4, 4},
    {elec_ac_bus, E, 195, 4},
    {elec_ext_pwr, E, 394, 4},
    {elec_ind_ac_load1, E, 4, 130},
    {elec_ind_ac_load2, E, 83, 130},
    {elec_ind_ac_loadapu, E, 162, 130},
    {elec_ind_ac_v, E, 241, 130},
    {elec_ind_ac_frq, E, 320, 130},
    {elec_ind_dc_v, E, 399, 130},
    {elec_ind_dc_amps, E, 478, 130},
    {elec_sel_ind_ac, E, 4, 211},
    {elec_batt, E, 154, 211},
    {elec_dc_bus, E, 308, 211},
    {elec_sel_ind_dc, E, 503, 211},
    // Fuel: fuel used, the tank quantities outboard to inboard, pumps and valves.
    {fuel_fuelused, E, kFeFuel, 4},
    {fuel_ind_fu_1, E, kFeFuel + 291, 4},
    {fuel_ind_fu_2, E, kFeFuel + 356, 4},
    {fuel_ind_qtty_a_left, E, kFeFuel, 46},
    {fuel_ind_qtty_m_left, E, kFeFuel + 65, 46},
    {fuel_ind_qtty_a_center, E, kFeFuel + 130, 46},
    {fuel_ind_qtty_m_right, E, kFeFuel + 195, 46},
    {fuel_ind_qtty_a_right, E, kFeFuel + 260, 46},
    {fuel_qtty_reserve_1, E, kFeFuel + 325, 46},
    {fuel_qtty_reserve_2, E, kFeFuel + 385, 46},
    {fuel_qtty_test, E, kFeFuel + 445, 46},
    {fuel_pumps_left, E, kFeFuel, 88},
    {fuel_pumps_center, E, kFeFuel + 160, 88},
    {fuel_pumps_right, E, kFeFuel + 332, 88},
    {fuel_valves, E, kFeFuel + 101, 190},
    // Hydraulics: pressures, the three system gauges, pumps, reservoirs.
    {hydrau_press, E, 4, kFeLower},
    {hydrau_ind_press_blue, E, 4, kFeLower + 117},
    {hydrau_ind_press_green, E, 61, kFeLower + 117},
    {hydrau_ind_press_yellow, E, 118, kFeLower + 117},
    {hydrau_pumps, E, 4, kFeLower + 178},
    {hydrau_baches, E, 4, kFeLower + 260},
    // APU, engine vibration and the weight indicator.
    {apu, E, kFeApu, kFeLower},
    {apu_ind_n1_n2, E, kFeApu + 110, kFeLower},
    {apu_ind_oil, E, kFeApu + 205, kFeLower},
    {apu_ind_egt, E, kFeApu + 205, kFeLower + 97},
    {engomn_vib, E, kFeApu, kFeLower + 194},
    {engomn_vib_sw, E, kFeApu + 65, kFeLower + 194},
    {plane_weight, E, kFeApu + 150, kFeLower + 194},
    // Engines' secondary instruments, engine 1 above engine 2.
    {engomn_nac_temp_1, E, kFeEngines, kFeLower},
    {engomn_oil_press_1, E, kFeEngines + 95, kFeLower},
    {engomn_oil_temp_1, E, kFeEngines + 190, kFeLower},
    {engomn_fuel_press_1, E, kFeEngines + 285, kFeLower},
    {engomn_oil_qtty_1, E, kFeEngines + 380, kFeLower},
    {engomn_nac_temp_2, E, kFeEngines, kFeLower + 168},
    {engomn_oil_press_2, E, kFeEngines + 95, kFeLower + 168},
    {engomn_oil_temp_2, E, kFeEngines + 190, kFeLower + 168},
    {engomn_fuel_press_2, E, kFeEngines + 285, kFeLower + 168},
    {engomn_oil_qtty_2, E, kFeEngines + 380, kFeLower + 168},

    {gps_drives, S, 4, 4},
    {failures, F, 4, 4},
};

}  // namespace

std::span<const Window> windows() { return kWindows; }

const Window* find_window(WindowId id) {
    for (const Window& w : kWindows)
        if (w.id == id) return &w;
    return nullptr;
}

std::span<const Place> places() { return kPlaces; }

const Place* place_of(int gauge) {
    for (const Place& p : kPlaces)
        if (p.gauge == gauge) return &p;
    return nullptr;
}

}  // namespace tarvenol::cockpit
