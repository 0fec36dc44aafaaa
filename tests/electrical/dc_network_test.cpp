// The DC panel (transformer-rectifiers, DC normal bus, DC fault, TR OFF lights) and the DC meters:
// selector, voltmeter and ammeter.
#include <vector>

#include "electrics.h"

namespace tarvenol::testing {
namespace {

class DcPanel : public Electrics {};

TEST_F(DcPanel, batteries_alone_light_the_tr_off_lights_and_raise_the_dc_fault) {
    tick();
    EXPECT_EQ(shared.dc_bus_powered, 0);
    EXPECT_EQ(shared.dc_fault, 1);
    EXPECT_TRUE(shown(kDcPanel, "tr_1_off_light"));
    EXPECT_TRUE(shown(kDcPanel, "tr_2_off_light"));
    EXPECT_TRUE(shown(kDcPanel, "tr_ess_off_light"));
    EXPECT_TRUE(shown(kDcPanel, "dc_tie_bar.cross_line"));
}

TEST_F(DcPanel, the_dc_fault_stays_latched_until_all_three_trs_deliver) {
    tick();
    for (const char* tr : {"tr_1.off", "tr_2.off", "tr_ess.off"}) bed.click(kDcPanel, tr);
    with_engine_generators();
    EXPECT_EQ(shared.dc_fault, 1);  // no TR is on without its supply now, yet the fault holds
    bed.click(kDcPanel, "tr_1.on");
    bed.click(kDcPanel, "tr_2.on");
    tick(2);
    EXPECT_EQ(shared.dc_bus_powered, 1);
    EXPECT_EQ(shared.dc_fault, 1);
    EXPECT_TRUE(shown(kDcPanel, "tr_ess_off_light"));
    bed.click(kDcPanel, "tr_ess.on");
    tick();
    EXPECT_EQ(shared.dc_fault, 0);
    EXPECT_FALSE(shown(kDcPanel, "tr_ess_off_light"));
}

TEST_F(DcPanel, the_ess_tr_sees_the_ac_essential_bus_a_tick_late) {
    with_engine_generators();
    ASSERT_EQ(shared.tr_ess_on, 1);
    bed.click(kAcPanel, "ac_ess_feed.up");  // APU GEN: no source there
    tick();
    EXPECT_EQ(shared.ac_ess_bus_normal, 0);
    EXPECT_EQ(shared.tr_ess_on, 1);  // the DC panel ticks before the AC panel
    tick();
    EXPECT_EQ(shared.tr_ess_on, 0);
    EXPECT_EQ(shared.dc_fault, 1);
}

class DcMeters : public Electrics {
protected:
    // Turns the knob from where it stands: one click per position, whether it moves or not.
    void select(int position) {
        for (int at = shared.dc_meter_sel; at > position; --at) bed.click(kDcSelector, "dc_meter.down");
        for (int at = shared.dc_meter_sel; at < position; ++at) bed.click(kDcSelector, "dc_meter.up");
    }
    std::vector<double> needle_over(int ticks) {
        std::vector<double> seen;
        for (int i = 0; i < ticks; ++i) {
            tick();
            seen.push_back(var("dc_volts_needle"));
        }
        return seen;
    }
};

using Readings = std::vector<double>;

TEST_F(DcMeters, the_selector_steps_within_off_and_bat_3_without_a_sound_and_its_knob_clamps) {
    const auto before = clicks_played();
    bed.click(kDcSelector, "dc_meter.down");
    EXPECT_EQ(shared.dc_meter_sel, 0);
    select(9);
    EXPECT_EQ(shared.dc_meter_sel, 7);
    EXPECT_EQ(clicks_played(), before);
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
    with_engines_running();
    with_generators_on();
    const Readings seen = needle_over(8);
    std::size_t i = 0;
    while (i < seen.size() && seen[i] == 24.0) ++i;  // until the batteries stop discharging
    ASSERT_LT(i + 2, seen.size());
    EXPECT_EQ(seen[i], 26.0);
    EXPECT_EQ(seen[i + 1], 28.0);
    EXPECT_EQ(seen.back(), 28.0);
}

TEST_F(DcMeters, on_bat_with_every_battery_off_the_needle_falls_to_0) {
    select(7);
    tick(12);
    with_batteries_off();
    EXPECT_EQ(needle_over(10), (Readings{22, 20, 18, 16, 14, 10, 6, 2, 0, 0}));
}

TEST_F(DcMeters, on_the_ess_bus_the_needle_rises_to_28_and_drops_to_it_at_once_from_above) {
    select(1);
    EXPECT_EQ(needle_over(10), (Readings{4, 8, 12, 16, 18, 20, 22, 24, 26, 28}));
    set_var("dc_volts_needle", 33);
    tick();
    EXPECT_EQ(var("dc_volts_needle"), 28.0);
    set_var("dc_volts_needle", 90);
    tick();
    EXPECT_EQ(value(kDcVoltmeter, "dc_volts_needle"), 28.0);
    select(0);
    set_var("dc_volts_needle", 90);
    tick();
    EXPECT_EQ(value(kDcVoltmeter, "dc_volts_needle"), 35.0);  // the scale's end, stored
    EXPECT_EQ(var("dc_volts_needle"), 35.0);
}

TEST_F(DcMeters, on_a_tr_the_needle_waits_for_its_ac_supply) {
    select(2);
    tick(5);
    EXPECT_EQ(var("dc_volts_needle"), 0.0);
    with_engine_generators();
    EXPECT_GT(var("dc_volts_needle"), 0.0);
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
