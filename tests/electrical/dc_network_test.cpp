// The DC panel (transformer-rectifiers, DC normal bus, DC fault, tie flow bar and TR OFF lights)
// and the DC meters: selector, voltmeter and ammeter.
#include <vector>

#include "electrics.h"

namespace tarvenol::testing {
namespace {

class DcPanel : public Electrics {};

TEST_F(DcPanel, batteries_alone_light_the_tr_off_lights_and_raise_the_dc_fault) {
    tick();
    EXPECT_EQ(shared.tr_1_on, 0);
    EXPECT_EQ(shared.tr_2_on, 0);
    EXPECT_EQ(shared.tr_ess_on, 0);
    EXPECT_EQ(shared.dc_bus_powered, 0);
    EXPECT_EQ(shared.dc_fault, 1);
    EXPECT_TRUE(shown(kDcPanel, "tr_1_off_light"));
    EXPECT_TRUE(shown(kDcPanel, "tr_2_off_light"));
    EXPECT_TRUE(shown(kDcPanel, "tr_ess_off_light"));
}

TEST_F(DcPanel, a_dead_essential_bus_leaves_the_tr_off_lights_dark) {
    with_batteries_off();
    tick(2);
    EXPECT_EQ(shared.tr_1_on, 0);
    EXPECT_FALSE(shown(kDcPanel, "tr_1_off_light"));
    EXPECT_FALSE(shown(kDcPanel, "tr_ess_off_light"));
}

TEST_F(DcPanel, generators_make_all_three_trs_deliver_and_clear_the_dc_fault) {
    tick();
    ASSERT_EQ(shared.dc_fault, 1);
    with_engine_generators();
    EXPECT_EQ(shared.tr_1_on, 1);
    EXPECT_EQ(shared.tr_2_on, 1);
    EXPECT_EQ(shared.tr_ess_on, 1);
    EXPECT_EQ(shared.dc_bus_powered, 1);
    EXPECT_EQ(shared.dc_fault, 0);
    EXPECT_FALSE(shown(kDcPanel, "tr_1_off_light"));
    EXPECT_FALSE(shown(kDcPanel, "tr_ess_off_light"));
}

TEST_F(DcPanel, the_dc_fault_stays_latched_until_all_three_trs_deliver) {
    tick();
    ASSERT_EQ(shared.dc_fault, 1);
    for (const char* tr : {"tr_1.off", "tr_2.off", "tr_ess.off"}) bed.click(kDcPanel, tr);
    tick(3);
    EXPECT_EQ(shared.dc_fault, 1);  // no TR is now on without its supply, yet the fault holds
    with_engine_generators();
    EXPECT_EQ(shared.dc_fault, 1);
    bed.click(kDcPanel, "tr_1.on");
    bed.click(kDcPanel, "tr_2.on");
    tick(2);
    EXPECT_EQ(shared.dc_fault, 1);
    bed.click(kDcPanel, "tr_ess.on");
    tick();
    EXPECT_EQ(shared.dc_fault, 0);
}

TEST_F(DcPanel, a_tr_switched_off_shows_its_off_light_but_raises_no_fault) {
    with_engine_generators();
    bed.click(kDcPanel, "tr_1.off");
    tick();
    EXPECT_EQ(shared.tr_1_on, 0);
    EXPECT_TRUE(shown(kDcPanel, "tr_1_off_light"));
    EXPECT_EQ(shared.dc_fault, 0);
    EXPECT_EQ(shared.dc_bus_powered, 1);  // TR 2 still feeds the normal bus
    bed.click(kDcPanel, "tr_2.off");
    tick();
    EXPECT_EQ(shared.dc_bus_powered, 0);
}

TEST_F(DcPanel, the_ess_tr_follows_the_ac_essential_bus_on_the_previous_tick) {
    with_engine_generators();
    ASSERT_EQ(shared.tr_ess_on, 1);
    // The AC panel ticks after the DC panel: the ESS TR sees the essential bus a tick late.
    bed.click(kAcPanel, "ac_ess_feed.up");  // APU GEN: no source there
    tick();
    EXPECT_EQ(shared.ac_ess_bus_normal, 0);
    EXPECT_EQ(shared.tr_ess_on, 1);
    tick();
    EXPECT_EQ(shared.tr_ess_on, 0);
    EXPECT_EQ(shared.dc_fault, 1);
}

TEST_F(DcPanel, the_tie_bar_is_crossed_while_the_batteries_feed_the_essential_bus) {
    with_engine_generators();
    EXPECT_TRUE(shown(kDcPanel, "dc_tie_bar.cross_line"));
    EXPECT_FALSE(shown(kDcPanel, "dc_tie_bar.in_line"));
}

TEST_F(DcPanel, switch_images_and_clicks_follow_the_switches) {
    const auto before = clicks_played();
    bed.click(kDcPanel, "tr_ess.off");
    bed.click(kDcPanel, "dc_tie.split");
    bed.click(kDcPanel, "dc_tie.split");
    bed.click(kDcPanel, "tr_1.on");  // already on
    EXPECT_EQ(clicks_played(), before + 2);
    tick();
    EXPECT_TRUE(shown(kDcPanel, "tr_ess_sw.off"));
    EXPECT_FALSE(shown(kDcPanel, "tr_ess_sw.on"));
    EXPECT_TRUE(shown(kDcPanel, "tr_1_sw.on"));
    EXPECT_TRUE(shown(kDcPanel, "dc_bus_tie_sw.split"));
    EXPECT_FALSE(shown(kDcPanel, "dc_bus_tie_sw.norm"));
}

// --- Meters ------------------------------------------------------------------------------------

class DcMeters : public Electrics {
protected:
    void select(int position) {
        while (shared.dc_meter_sel > position) bed.click(kDcSelector, "dc_meter.down");
        while (shared.dc_meter_sel < position) bed.click(kDcSelector, "dc_meter.up");
    }
    double needle() { return var("dc_volts_needle"); }
    std::vector<double> needle_over(int ticks) {
        std::vector<double> seen;
        for (int i = 0; i < ticks; ++i) {
            tick();
            seen.push_back(needle());
        }
        return seen;
    }
};

using Readings = std::vector<double>;

TEST_F(DcMeters, the_selector_steps_within_off_and_bat_3_without_a_sound) {
    const auto before = clicks_played();
    bed.click(kDcSelector, "dc_meter.down");
    EXPECT_EQ(shared.dc_meter_sel, 0);
    for (int i = 0; i < 10; ++i) bed.click(kDcSelector, "dc_meter.up");
    EXPECT_EQ(shared.dc_meter_sel, 7);
    bed.click(kDcSelector, "dc_meter.down");
    EXPECT_EQ(shared.dc_meter_sel, 6);
    EXPECT_EQ(clicks_played(), before);
}

TEST_F(DcMeters, the_knob_brings_a_position_beyond_its_range_back_and_stores_it) {
    set_var("dc_meter_sel", 12);
    tick();
    EXPECT_EQ(value(kDcSelector, "dc_meter_knob"), 7.0);
    EXPECT_EQ(shared.dc_meter_sel, 7);
}

TEST_F(DcMeters, on_bat_1_while_discharging_the_needle_settles_on_24_volts) {
    select(5);
    EXPECT_EQ(needle_over(9), (Readings{4, 8, 12, 16, 18, 20, 22, 24, 24}));
}

TEST_F(DcMeters, on_bat_the_needle_climbs_back_to_28_in_steps_of_2_when_charging_resumes) {
    select(6);
    tick(12);
    ASSERT_EQ(needle(), 24.0);
    with_engines_running();
    with_generators_on();
    const Readings seen = needle_over(8);
    // 24 while the batteries still discharge, then 26 and 28.
    std::size_t i = 0;
    while (i < seen.size() && seen[i] == 24.0) ++i;
    ASSERT_LT(i + 2, seen.size());
    EXPECT_EQ(seen[i], 26.0);
    EXPECT_EQ(seen[i + 1], 28.0);
    EXPECT_EQ(seen.back(), 28.0);
}

TEST_F(DcMeters, the_three_battery_positions_read_alike) {
    select(7);
    tick(12);
    EXPECT_EQ(needle(), 24.0);
    select(5);
    tick();
    EXPECT_EQ(needle(), 24.0);
}

TEST_F(DcMeters, on_bat_with_every_battery_off_the_needle_falls_to_0) {
    select(5);
    tick(12);
    with_batteries_off();
    EXPECT_EQ(needle_over(14), (Readings{22, 20, 18, 16, 14, 10, 6, 2, 0, 0, 0, 0, 0, 0}));
}

TEST_F(DcMeters, on_the_ess_bus_the_needle_rises_4_then_2_volts_a_tick_to_28) {
    select(1);
    EXPECT_EQ(needle_over(10), (Readings{4, 8, 12, 16, 18, 20, 22, 24, 26, 28}));
}

TEST_F(DcMeters, a_needle_above_28_drops_to_28_at_once_on_a_live_source) {
    select(1);
    tick();
    set_var("dc_volts_needle", 33);
    tick();
    EXPECT_EQ(needle(), 28.0);
}

TEST_F(DcMeters, on_a_tr_without_ac_the_needle_stays_at_0) {
    select(2);
    tick(5);
    EXPECT_EQ(needle(), 0.0);
    with_engine_generators();
    EXPECT_GT(needle(), 0.0);
}

TEST_F(DcMeters, the_voltmeter_brings_a_needle_beyond_its_scale_back_and_stores_it) {
    set_var("dc_volts_needle", 90);
    tick();
    EXPECT_EQ(value(kDcVoltmeter, "dc_volts_needle"), 35.0);
    EXPECT_EQ(needle(), 35.0);
}

TEST_F(DcMeters, the_ammeter_shows_the_battery_current_in_both_directions) {
    tick(2);
    EXPECT_EQ(value(kDcAmmeter, "dc_amps_needle"), -50.0);
    shared.batt_charge = 1000;
    with_engine_generators();
    EXPECT_EQ(value(kDcAmmeter, "dc_amps_needle"), 50.0);
}

}  // namespace
}  // namespace tarvenol::testing
