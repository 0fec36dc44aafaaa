// The module as the simulator's panel system sees it: the linkage records, the gauge headers and
// their generic routines, the callbacks' service codes, and the life cycle of the shared state.
#include <cstring>
#include <vector>

#include "testbed.h"

namespace tarvenol::testing {
namespace {

struct ExpectedGauge {
    const char* name;
    unsigned width_mm;
};

// The names the aircraft's panel configuration places gauges by, in Linkage order.
const ExpectedGauge kExpectedGauges[] = {
    {"testgauge2k", 36},
    {"tarvenol elec_batt_t418", 150},
    {"tarvenol elec_sel_ind_dc_t418", 120},
    {"tarvenol elec_ext_pwr_t418", 151},
    {"tarvenol elec_sel_ind_ac_t418", 146},
    {"tarvenol elec_dc_bus_t418", 191},
    {"tarvenol elec_ac_bus_t418", 195},
    {"tarvenol elec_gen_t418", 187},
    {"tarvenol elec_ind_dc_v_t418", 75},
    {"tarvenol elec_ind_dc_amps_t418", 75},
    {"tarvenol elec_ind_ac_v_t418", 75},
    {"tarvenol elec_ind_ac_frq_t418", 75},
    {"tarvenol elec_ind_ac_load1_t418", 75},
    {"tarvenol elec_ind_ac_load2_t418", 75},
    {"tarvenol elec_ind_ac_loadapu_t418", 75},
    {"tarvenol apu_t418", 106},
    {"tarvenol apu_ind_oil_t418", 91},
    {"tarvenol apu_ind_n1_n2_t418", 91},
    {"tarvenol apu_ind_egt_t418", 91},
    {"tarvenol fuel_fuelused_t418", 287},
    {"tarvenol fuel_valves_t418", 285},
    {"tarvenol fuel_pumps_left_t418", 156},
    {"tarvenol fuel_pumps_right_t418", 156},
    {"tarvenol fuel_pumps_center_t418", 168},
    {"tarvenol fuel_ind_fu_1_t418", 61},
    {"tarvenol fuel_ind_fu_2_t418", 61},
    {"tarvenol fuel_ind_qtty_m_left_t418", 61},
    {"tarvenol fuel_ind_qtty_m_right_t418", 61},
    {"tarvenol fuel_ind_qtty_a_center_t418", 61},
    {"tarvenol fuel_ind_qtty_a_left_t418", 61},
    {"tarvenol fuel_ind_qtty_a_right_t418", 61},
    {"tarvenol fuel_qtty_reserve_1_t418", 56},
    {"tarvenol fuel_qtty_reserve_2_t418", 56},
    {"tarvenol fuel_qtty_test_t418", 25},
    {"tarvenol hydrau_press_t418", 332},
    {"tarvenol hydrau_pumps_t418", 287},
    {"tarvenol hydrau_baches_t418", 341},
    {"tarvenol hydrau_ind_press_blue_t418", 53},
    {"tarvenol hydrau_ind_press_green_t418", 53},
    {"tarvenol hydrau_ind_press_yellow_t418", 53},
    {"tarvenol probes_heat_t418", 156},
    {"tarvenol servo_controls_t418", 177},
    {"tarvenol rudder_travel_t418", 189},
    {"tarvenol lo_spd_ail_t418", 172},
    {"tarvenol yaw_t418", 90},
    {"tarvenol wing_deice_t418", 188},
    {"tarvenol nacelle_deice_t418", 184},
    {"tarvenol eng_start_t418", 185},
    {"tarvenol panel_light_t418", 1280},
    {"tarvenol gpws_t418", 47},
    {"tarvenol flt_deck_lt_t418", 165},
    {"tarvenol ext_lt_t418", 184},
    {"tarvenol signs_t418", 57},
    {"tarvenol hp_lev_1_t418", 35},
    {"tarvenol hp_lev_2_t418", 35},
    {"tarvenol eng_ind_n1_1_t418", 169},
    {"tarvenol eng_ind_n1_2_t418", 169},
    {"tarvenol eng_ind_ff_1_t418", 153},
    {"tarvenol eng_ind_ff_2_t418", 153},
    {"tarvenol eng_ind_egt_1_t418", 169},
    {"tarvenol eng_ind_egt_2_t418", 169},
    {"tarvenol eng_ind_n2_1_t418", 153},
    {"tarvenol eng_ind_n2_2_t418", 153},
    {"tarvenol alti_main_t418", 191},
    {"tarvenol alti_sec_t418", 191},
    {"tarvenol asi_main_t418", 184},
    {"tarvenol asi_sec_t418", 110},
    {"tarvenol vsi_t418", 133},
    {"tarvenol tas_t418", 53},
    {"tarvenol sat_t418", 59},
    {"tarvenol aoa_t418", 38},
    {"tarvenol chrono_t418", 161},
    {"tarvenol ralt_t418", 60},
    {"tarvenol flaps_ind_t418", 108},
    {"tarvenol surf_ind_t418", 108},
    {"tarvenol gear_ind_t418", 72},
    {"tarvenol gear_h_t418", 50},
    {"tarvenol brakes_ind_t418", 76},
    {"tarvenol omi_t418", 69},
    {"tarvenol radio_nav_t418", 127},
    {"tarvenol radio_adf1_t418", 142},
    {"tarvenol radio_tsp_t418", 179},
    {"tarvenol radio_com_t418", 164},
    {"tarvenol radio_snd_t418", 175},
    {"tarvenol plane_weight_t418", 97},
    {"tarvenol adf_t418", 181},
    {"tarvenol rmi_t418", 181},
    {"tarvenol hsi_t418", 279},
    {"tarvenol adi_sec_t418", 340},
    {"tarvenol fd_bars_sw_t418", 92},
    {"tarvenol adi_fd_t418", 334},
    {"tarvenol rev_voy_left_t418", 93},
    {"tarvenol rev_voy_right_t418", 93},
    {"tarvenol n1_calc_t418", 128},
    {"tarvenol voy_ap_off_t418", 32},
    {"tarvenol ap_crs_t418", 86},
    {"tarvenol ap_master_t418", 308},
    {"tarvenol ap_alt_t418", 138},
    {"tarvenol ap_hdg_t418", 102},
    {"tarvenol ap_ats_t418", 143},
    {"tarvenol idpp_t418", 190},
    {"tarvenol spd_brk_lev_t418", 33},
    {"tarvenol throttles_t418", 58},
    {"tarvenol flaps_lev_t418", 42},
    {"tarvenol park_brk_lev_t418", 41},
    {"tarvenol throttles_num_t418", 42},
    {"tarvenol autoland_light_1_t418", 56},
    {"tarvenol autoland_light_2_t418", 43},
    {"tarvenol ga_light_t418", 35},
    {"tarvenol autoland_ecart_loc_t418", 62},
    {"tarvenol autoland_ecart_gs_t418", 32},
    {"tarvenol engomn_nac_temp_1_t418", 91},
    {"tarvenol engomn_nac_temp_2_t418", 91},
    {"tarvenol engomn_oil_press_1_t418", 91},
    {"tarvenol engomn_oil_press_2_t418", 91},
    {"tarvenol engomn_oil_temp_1_t418", 91},
    {"tarvenol engomn_oil_temp_2_t418", 91},
    {"tarvenol engomn_oil_qtty_1_t418", 91},
    {"tarvenol engomn_oil_qtty_2_t418", 91},
    {"tarvenol engomn_fuel_press_1_t418", 91},
    {"tarvenol engomn_fuel_press_2_t418", 91},
    {"tarvenol engomn_vib_t418", 61},
    {"tarvenol engomn_vib_sw_t418", 81},
    {"tarvenol loop_t418", 187},
    {"tarvenol mwp_1_t418", 108},
    {"tarvenol mwp_2_t418", 108},
    {"tarvenol mwp_1_big_t418", 149},
    {"tarvenol mwp_2_big_t418", 149},
    {"tarvenol compass_t418", 75},
    {"tarvenol gps_drives_t418", 57},
    {"tarvenol toggle_pan_rad_t418", 132},
    {"tarvenol toggle_pan_ped_t418", 132},
    {"tarvenol toggle_pan_fe_t418", 132},
    {"tarvenol toggle_pan_gps_t418", 72},
    {"tarvenol toggle_pan_fail_t418", 201},
    {"tarvenol toggle_pan_up2_t418", 450},
    {"tarvenol failures_t418", 1179},
    {"tarvenol map_lt_t418", 120}
};

TEST(Linkage, lists_the_138_gauges_in_order_then_a_null_pointer) {
    ASSERT_EQ(std::size(kExpectedGauges), 138u);
    for (std::size_t i = 0; i < std::size(kExpectedGauges); ++i) {
        const abi::GAUGEHDR* g = Linkage.gauge_header_ptr[i];
        ASSERT_NE(g, nullptr) << "entry " << i;
        EXPECT_STREQ(g->gauge_name, kExpectedGauges[i].name) << "entry " << i;
        EXPECT_EQ(g->size_x_mm, kExpectedGauges[i].width_mm) << kExpectedGauges[i].name;
    }
    EXPECT_EQ(Linkage.gauge_header_ptr[138], nullptr);
}

TEST(Linkage, identifies_a_gauge_module_of_the_fs2002_panel_system) {
    EXPECT_EQ(Linkage.ModuleID, 0x13);
    EXPECT_EQ(Linkage.ModuleVersion, 0x800u);
    EXPECT_EQ(Linkage.ModuleFlags, 0u);
    EXPECT_EQ(Linkage.ModulePriority, 0u);
    ASSERT_NE(Linkage.ModuleInit, nullptr);
    ASSERT_NE(Linkage.ModuleDeinit, nullptr);
    const SharedState before = shared;
    Linkage.ModuleInit();
    Linkage.ModuleDeinit();
    EXPECT_EQ(std::memcmp(&before, &shared, sizeof before), 0);
}

TEST(ImportTable, holds_the_panels_entry_and_a_terminator) {
    EXPECT_EQ(ImportTable.PANELSentry.fnID, 0x0F);
    EXPECT_EQ(ImportTable.nullentry.fnID, 0);
    EXPECT_EQ(ImportTable.nullentry.fnptr, nullptr);
}

TEST(GaugeHeaders, carry_version_800_the_generic_routines_and_a_mouse_list) {
    for (std::size_t i = 0; i < kGaugeCount; ++i) {
        const abi::GAUGEHDR& g = *Linkage.gauge_header_ptr[i];
        SCOPED_TRACE(g.gauge_name);
        EXPECT_EQ(g.gauge_header_version, 0x320u);
        EXPECT_EQ(g.size_y_mm, 0u);
        ASSERT_NE(g.elements_list, nullptr);
        ASSERT_NE(g.elements_list[0], nullptr);
        EXPECT_EQ(g.elements_list[1], nullptr);
        EXPECT_EQ(g.elements_list[0]->element_type, abi::ELEMENT_TYPE_STATIC_IMAGE) << "background first";
        for (auto* routine : {(void*)g.query_routine, (void*)g.install_routine, (void*)g.initialize_routine,
                              (void*)g.update_routine, (void*)g.generate_routine, (void*)g.draw_routine,
                              (void*)g.kill_routine})
            EXPECT_NE(routine, nullptr);
        ASSERT_NE(g.mouse_rect, nullptr);
        EXPECT_EQ(g.mouse_rect[0].rect_type, abi::MOUSE_RECT_PARENT);
        const abi::MOUSERECT* r = g.mouse_rect + 1;
        for (; r->rect_type == abi::MOUSE_RECT_CHILD; ++r) {
            EXPECT_NE(r->mouse_function, nullptr);
            EXPECT_EQ(r->event_id, 0);
            EXPECT_EQ(r->help_id, 0);
            EXPECT_TRUE(r->mouse_flags & abi::MOUSE_LEFTSINGLE);
        }
        EXPECT_EQ(r[0].rect_type, abi::MOUSE_RECT_END_PARENT);
        EXPECT_EQ(r[1].rect_type, abi::MOUSE_RECT_EOL);
        for (const abi::ELEMENT_HEADER* e = g.elements_list[0]; e; e = e->next_element ? e->next_element[0] : nullptr)
            EXPECT_EQ(e->gauge_header, &g);
    }
}

TEST(GaugeHeaders, only_the_compass_has_no_callback) {
    for (std::size_t i = 0; i < kGaugeCount; ++i) {
        const abi::GAUGEHDR& g = *Linkage.gauge_header_ptr[i];
        EXPECT_EQ(g.gauge_callback == nullptr, std::strcmp(g.gauge_name, "tarvenol compass_t418") == 0) << g.gauge_name;
    }
}

std::vector<abi::ELEMENT_HEADER*> seen_elements;
void FSAPI record_element(abi::ELEMENT_HEADER* e) { seen_elements.push_back(e); }

TEST(GaugeHeaders, generic_routines_pass_each_gauge_its_own_first_element) {
    TestBed bed;
    auto& seen = seen_elements;
    abi::PANELS& panels = *static_cast<abi::PANELS*>(ImportTable.PANELSentry.fnptr);
    const abi::PANELS saved = panels;
    panels.element_list_query = &record_element;
    panels.element_list_plot = &record_element;
    for (std::size_t i = 0; i < kGaugeCount; ++i) {
        abi::GAUGEHDR& g = *Linkage.gauge_header_ptr[i];
        seen.clear();
        g.query_routine();
        g.draw_routine();
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0], g.elements_list[0]) << g.gauge_name;
        EXPECT_EQ(seen[1], g.elements_list[0]) << g.gauge_name;
    }
    panels = saved;
}

// Every module variable and every element's flags, to compare before and after.
struct Snapshot {
    std::vector<double> values;
    std::vector<abi::FLAGS> flags;
    static Snapshot take() {
        Snapshot s;
        auto add = [&s](const VarRef& v) {
            for (std::size_t i = 0; i < v.count; ++i) s.values.push_back(read_var(v, i));
        };
        for (const VarRef& v : shared_var_table()) add(v);
        for (const GaugeInfo* g : gauges()) {
            for (const VarRef& v : g->vars) add(v);
            for (std::size_t i = 0; i < g->element_count; ++i) s.flags.push_back(g->elements[i]->header->image_flags);
        }
        return s;
    }
    bool operator==(const Snapshot&) const = default;
};

TEST(GaugeCallbacks, ignore_every_service_code_but_install_update_and_kill) {
    TestBed bed;
    bed.sim().set(sim::main_bus_volts, 0.0);
    bed.tick(3);
    const Snapshot before = Snapshot::take();
    bed.host().clear_key_events();
    for (abi::GAUGEHDR* g : bed.host().gauges()) {
        if (!g->gauge_callback) continue;
        for (abi::SINT32 code = -1; code <= 20; ++code) {
            if (code == 2 || code == 6 || code == 12) continue;
            g->gauge_callback(g, code, 0);
        }
    }
    EXPECT_TRUE(Snapshot::take() == before);
    EXPECT_TRUE(bed.host().key_events().empty());
}

TEST(SharedState, holds_its_load_time_values_before_the_first_tick) {
    TestBed bed;
    EXPECT_EQ(shared.batt_bus_powered, 0);
    EXPECT_EQ(shared.dc_bus_powered, 0);
    EXPECT_EQ(shared.batt_charge, 1800u);
    EXPECT_EQ(shared.batt_1_sw, 1);
    EXPECT_EQ(shared.tr_1_on, 1);
    EXPECT_EQ(shared.ac_ess_feed_sel, 2);
    EXPECT_DOUBLE_EQ(shared.trp_n1_limit, 105.3);
    EXPECT_DOUBLE_EQ(shared.fd_vs_cmd, -850.0);
    EXPECT_EQ(shared.sound_volume[0], -2000);
    EXPECT_EQ(shared.sound_volume[24], -1500);
}

TEST(SharedState, survives_kill_and_reinstallation_of_the_gauges) {
    TestBed bed;
    bed.tick(5);
    shared.batt_1_sw = 0;
    shared.apu_oil_qty = 321;
    shared.trp_n1_target = 93.5;
    const Snapshot before = Snapshot::take();
    bed.host().unload();
    bed.host().load();
    EXPECT_TRUE(Snapshot::take().values == before.values);
    EXPECT_EQ(shared.apu_oil_qty, 321u);
}

TEST(SharedState, reset_brings_back_what_a_fresh_load_holds) {
    Snapshot fresh;
    {
        TestBed bed{StartUp::runs};  // nothing set after load
        fresh = Snapshot::take();
        shared.batt_charge = 12;
        shared.sound_volume[3] = -100;
        bed.tick(20);
    }
    reset_module_state();
    EXPECT_TRUE(Snapshot::take() == fresh);
}

TEST(SharedState, every_variable_is_found_by_its_name_with_its_width) {
    const VarRef* charge = find_var("batt_charge");
    ASSERT_NE(charge, nullptr);
    EXPECT_EQ(charge->type, VarType::u32);
    const VarRef* volume = find_var("snd_master_vol_pos");
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->type, VarType::i8);
    const VarRef* volumes = find_var("sound_volume");
    ASSERT_NE(volumes, nullptr);
    EXPECT_EQ(volumes->count, 25);
    EXPECT_EQ(find_var("no_such_variable"), nullptr);
    for (const VarRef& v : shared_var_table()) EXPECT_EQ(find_var(v.name), &v);
}

TEST(SharedState, a_variable_written_by_name_truncates_and_saturates_like_the_aircraft_logic) {
    TestBed bed;
    const VarRef& sel = *find_var("ac_ess_feed_sel");
    write_var(sel, 3.9);
    EXPECT_EQ(shared.ac_ess_feed_sel, 3);
    write_var(sel, 1e300);
    EXPECT_EQ(shared.ac_ess_feed_sel, 255);
    write_var(sel, -4.0);
    EXPECT_EQ(shared.ac_ess_feed_sel, 0);
    write_var(*find_var("sound_volume"), -300.0, 24);
    EXPECT_EQ(shared.sound_volume[24], -300);
    write_var(*find_var("sound_volume"), 1.0, 25);  // past the end: ignored
    EXPECT_EQ(read_var(*find_var("sound_volume"), 25), 0.0);
}

}  // namespace
}  // namespace tarvenol::testing
