// Tank contents, the drum indicators with their test runs, the reserve lamps and the fuel-used
// counters.
#include "fuel/fuel_quantity.h"
#include "fuel/fuel_used.h"
#include "power.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kLeftMain = "tarvenol fuel_ind_qtty_a_left_t418";
constexpr const char* kCenter = "tarvenol fuel_ind_qtty_a_center_t418";
constexpr double kFullLevel = 8388608.0;

class FuelQuantity : public ::testing::Test {
protected:
    TestBed bed;
    void SetUp() override {
        hold_buses(bed, true);
        bed.sim().set(sim::fuel_lb_per_gal, 3.84 / 0.453);  // 1 kg per liter keeps the sums plain
    }
    // Fills a tank to `liters` with 10000 gallons capacity.
    template <class Level, class Capacity>
    void fill(Level level, Capacity capacity, double liters) {
        bed.sim().set(capacity, 10000.0);
        bed.sim().set(level, liters / 38400.0 * kFullLevel);
    }
    double shown_kg(fuel::Indicator which) { return fuel::indicators[which].display_kg; }
};

TEST_F(FuelQuantity, publishes_each_tanks_liters_every_tick_even_unpowered) {
    hold_buses(bed, false);
    bed.sim().set(sim::fuel_lb_per_gal, 6.7);
    bed.sim().set(sim::tank_center_capacity_gal, 1000.0);
    bed.sim().set(sim::tank_center_level, kFullLevel / 2);
    bed.tick();
    EXPECT_NEAR(shared.fuel_qty_center, 1920.0, 1e-9);
    EXPECT_NEAR(fuel::indicators[fuel::center].tank_kg, 6.7 / 3.84 * 0.453 * 1920.0, 1e-9);
    EXPECT_EQ(shown_kg(fuel::center), 0.0) << "unpowered drums stay frozen";
}

TEST_F(FuelQuantity, drums_climb_500_kg_a_tick_and_follow_a_falling_tank_at_once) {
    fill(sim::tank_left_main_level, sim::tank_left_main_capacity_gal, 1000.0);
    bed.tick(3);
    EXPECT_DOUBLE_EQ(shown_kg(fuel::left_main), 1000.0);
    fill(sim::tank_left_main_level, sim::tank_left_main_capacity_gal, 4000.0);
    bed.tick();
    EXPECT_DOUBLE_EQ(shown_kg(fuel::left_main), 1500.0);
    bed.tick(4);
    EXPECT_DOUBLE_EQ(shown_kg(fuel::left_main), 3500.0);
    bed.tick();
    EXPECT_DOUBLE_EQ(shown_kg(fuel::left_main), 4000.0);
    fill(sim::tank_left_main_level, sim::tank_left_main_capacity_gal, 200.0);
    bed.tick();
    EXPECT_DOUBLE_EQ(shown_kg(fuel::left_main), 200.0);
}

TEST_F(FuelQuantity, the_test_runs_a_4500_kg_indicator_up_then_down_to_the_tank) {
    fill(sim::tank_left_main_level, sim::tank_left_main_capacity_gal, 3020.0);
    bed.tick(10);
    bed.click("tarvenol fuel_qtty_test_t418", "test");
    bed.tick();
    EXPECT_DOUBLE_EQ(shown_kg(fuel::left_main), 3120.0);
    bed.tick(14);
    EXPECT_DOUBLE_EQ(shown_kg(fuel::left_main), 4500.0);  // cut to the top of the scale: turns back
    bed.tick();
    EXPECT_DOUBLE_EQ(shown_kg(fuel::left_main), 4250.0);
    bed.tick(5);
    EXPECT_DOUBLE_EQ(shown_kg(fuel::left_main), 3000.0);
    EXPECT_EQ(fuel::indicators[fuel::left_main].test_flag, 1);
    bed.tick();  // within 100 kg: snaps to the tank
    EXPECT_DOUBLE_EQ(shown_kg(fuel::left_main), 3020.0);
    EXPECT_EQ(fuel::indicators[fuel::left_main].test_flag, 0);
}

TEST_F(FuelQuantity, the_big_indicators_test_up_to_15000_kg) {
    fill(sim::tank_center_level, sim::tank_center_capacity_gal, 0.0);
    bed.tick();
    bed.click("tarvenol fuel_qtty_test_t418", "test");
    bed.tick(150);
    EXPECT_DOUBLE_EQ(shown_kg(fuel::center), 15000.0);
    EXPECT_EQ(fuel::indicators[fuel::center].test_phase, 1);
    EXPECT_DOUBLE_EQ(bed.value(kCenter, "drum_10000"), 1.0);
    EXPECT_DOUBLE_EQ(bed.value(kCenter, "drum_1000"), 5.0);
}

TEST_F(FuelQuantity, a_test_press_without_the_dc_bus_is_ignored_and_the_drums_freeze) {
    fill(sim::tank_left_main_level, sim::tank_left_main_capacity_gal, 2000.0);
    bed.tick(5);
    hold_buses(bed, false);
    bed.tick();
    bed.click("tarvenol fuel_qtty_test_t418", "test");
    EXPECT_EQ(fuel::indicators[fuel::left_main].test_flag, 0);
    fill(sim::tank_left_main_level, sim::tank_left_main_capacity_gal, 100.0);
    bed.tick(5);
    EXPECT_DOUBLE_EQ(shown_kg(fuel::left_main), 2000.0);
}

TEST_F(FuelQuantity, the_drums_show_the_displayed_weight) {
    fill(sim::tank_left_main_level, sim::tank_left_main_capacity_gal, 3456.0);
    bed.tick(10);
    EXPECT_DOUBLE_EQ(bed.value(kLeftMain, "drum_1000"), 3.0);
    EXPECT_DOUBLE_EQ(bed.value(kLeftMain, "drum_100"), 4.0);
    EXPECT_DOUBLE_EQ(bed.value(kLeftMain, "drum_10"), 5.0);
    EXPECT_NEAR(bed.value(kLeftMain, "drum_1"), 6.0, 1e-6);
}

TEST_F(FuelQuantity, a_display_beyond_the_scale_is_cut_when_drawn) {
    fuel::indicators[fuel::left_main].display_kg = 9000.0;
    hold_buses(bed, false);
    bed.tick();
    EXPECT_DOUBLE_EQ(shown_kg(fuel::left_main), 4500.0);
    fuel::indicators[fuel::left_main].display_kg = std::nan("");
    bed.tick();
    EXPECT_DOUBLE_EQ(shown_kg(fuel::left_main), 0.0);
}

TEST_F(FuelQuantity, reserve_lamps_light_at_1150_liters_and_the_warning_clears_when_neither_does) {
    const char* lamp_1 = "tarvenol fuel_qtty_reserve_1_t418";
    const char* lamp_2 = "tarvenol fuel_qtty_reserve_2_t418";
    fill(sim::tank_left_main_level, sim::tank_left_main_capacity_gal, 1150.0);
    fill(sim::tank_right_main_level, sim::tank_right_main_capacity_gal, 5000.0);
    bed.tick();
    EXPECT_TRUE(bed.shown(lamp_1, "reserve_light"));
    EXPECT_FALSE(bed.shown(lamp_2, "reserve_light"));
    EXPECT_EQ(shared.mw_fuel_reserve, 1);
    fill(sim::tank_left_main_level, sim::tank_left_main_capacity_gal, 1151.0);
    bed.tick();
    EXPECT_FALSE(bed.shown(lamp_1, "reserve_light"));
    EXPECT_EQ(shared.mw_fuel_reserve, 0);
    fill(sim::tank_right_main_level, sim::tank_right_main_capacity_gal, 100.0);
    bed.tick();
    EXPECT_TRUE(bed.shown(lamp_2, "reserve_light"));
    EXPECT_EQ(shared.mw_fuel_reserve, 1);
    hold_buses(bed, false);
    bed.tick();
    EXPECT_FALSE(bed.shown(lamp_2, "reserve_light"));
    EXPECT_EQ(shared.mw_fuel_reserve, 0);
}

class FuelUsed : public FuelQuantity {};

TEST_F(FuelUsed, samples_the_fuel_flow_every_quarter_second_of_simulation_time) {
    bed.sim().set(sim::eng1_fuel_flow_pph, 10000.0);
    bed.sim().set(sim::eng2_fuel_flow_pph, 5000.0);
    const double per_sample = 10000.0 / 14400.0 * 1.3407037 * 0.453;
    // Armed on the first tick, due 0.25 s later: the 5th tick after (5/18 s).
    bed.tick(5);
    EXPECT_EQ(fuel::fuel_used_1, 0.0);
    bed.tick();
    EXPECT_DOUBLE_EQ(fuel::fuel_used_1, per_sample);
    EXPECT_DOUBLE_EQ(fuel::fuel_used_2, per_sample / 2);
    // Armed again on the next tick: one sample every 6 ticks at 18 ticks a second.
    bed.tick(6);
    EXPECT_DOUBLE_EQ(fuel::fuel_used_1, 2 * per_sample);
    bed.tick(18 * 60);
    EXPECT_NEAR(fuel::fuel_used_1, (2 + 180) * per_sample, 1e-6);
}

TEST_F(FuelUsed, counts_only_with_the_dc_bus_and_resets_without_power) {
    bed.sim().set(sim::eng1_fuel_flow_pph, 10000.0);
    bed.tick(60);
    const double used = fuel::fuel_used_1;
    EXPECT_GT(used, 0.0);
    hold_buses(bed, false);
    bed.tick(60);
    EXPECT_EQ(fuel::fuel_used_1, used);
    bed.click("tarvenol fuel_fuelused_t418", "reset");
    EXPECT_EQ(fuel::fuel_used_1, 0.0);
    EXPECT_EQ(fuel::fuel_used_2, 0.0);
}

TEST_F(FuelUsed, the_counter_drums_show_the_total) {
    fuel::fuel_used_2 = 12345.0;
    hold_buses(bed, false);
    bed.tick();
    EXPECT_DOUBLE_EQ(bed.value("tarvenol fuel_ind_fu_2_t418", "drum_10000"), 1.0);
    EXPECT_DOUBLE_EQ(bed.value("tarvenol fuel_ind_fu_2_t418", "drum_1000"), 2.0);
    EXPECT_NEAR(bed.value("tarvenol fuel_ind_fu_2_t418", "drum_1"), 5.0, 1e-9);
}

TEST_F(FuelUsed, the_counters_are_found_by_name) {
    ASSERT_NE(find_var("fuel_used_1"), nullptr);
    write_var(*find_var("fuel_used_1"), 42.0);
    EXPECT_EQ(fuel::fuel_used_1, 42.0);
    ASSERT_NE(find_var("fuel_left_main_display_kg"), nullptr);
}

}  // namespace
}  // namespace tarvenol::testing
