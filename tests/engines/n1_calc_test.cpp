// The thrust rating computer: N1 limits per rating against altitude, temperatures, the flexible
// temperature and bleeds; mode buttons on AC bus 1; readouts and the lamp test.
#include "power.h"
#include "module/units.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kPanel = "tarvenol n1_calc_t418";

class ThrustRating : public ::testing::Test {
protected:
    TestBed bed;
    void SetUp() override {
        hold_buses(bed, true);
        bed.sim().set(sim::air_temp_c, 15.0);  // total air temperature, C
        bed.tick();
    }
    void altitude_ft(double ft) { bed.sim().set(sim::altitude_m, ft / kFeetPerMetre); }
    double limit_at(const char* mode) {
        bed.click(kPanel, mode);
        bed.tick();
        const double limit = shared.trp_n1_limit;
        bed.click(kPanel, mode);
        return limit;
    }
};

TEST_F(ThrustRating, take_off_at_sea_level_in_standard_air) {
    bed.click(kPanel, "to");
    bed.tick();
    EXPECT_EQ(shared.trp_mode, 1);
    EXPECT_NEAR(shared.trp_n1_limit, 109.8, 1e-9);
    EXPECT_EQ(shared.trp_n1_target, shared.trp_n1_limit);
    EXPECT_EQ(bed.text(kPanel, "n1_limit_readout"), "109.8");
}

TEST_F(ThrustRating, with_no_rating_selected_the_computer_does_not_take_the_altitude) {
    altitude_ft(10000.0);
    bed.tick();
    EXPECT_EQ(read_var(*find_var("trp_altitude_ft")), 0.0);
    bed.click(kPanel, "to");
    bed.tick();
    EXPECT_NEAR(read_var(*find_var("trp_altitude_ft")), 10000.0, 1e-9);
    bed.click(kPanel, "to");
    altitude_ft(20000.0);
    bed.tick();
    EXPECT_NEAR(read_var(*find_var("trp_altitude_ft")), 10000.0, 1e-9);
}

TEST_F(ThrustRating, take_off_at_10000_ft_stays_under_its_cap) {
    altitude_ft(10000.0);
    bed.click(kPanel, "to");
    bed.tick();
    EXPECT_NEAR(shared.trp_n1_limit, 113.8, 1e-6);
}

TEST_F(ThrustRating, the_take_off_cap_holds_a_hot_day_limit) {
    bed.sim().set(sim::air_temp_c, 40.0);  // 25 K above standard: base 114.475, cap 113.3
    bed.click(kPanel, "to");
    bed.tick();
    EXPECT_NEAR(shared.trp_n1_limit, 113.3, 1e-9);
}

TEST_F(ThrustRating, flex_at_55_degrees_takes_the_same_reduction_as_above_55) {
    for (int i = 0; i < 3; ++i) bed.click(kPanel, "flex_tens.up");
    for (int i = 0; i < 5; ++i) bed.click(kPanel, "flex_units.up");  // 55
    const double at_55 = limit_at("flx_to");
    bed.click(kPanel, "flex_units.up");  // 56
    const double at_56 = limit_at("flx_to");
    for (int i = 0; i < 4; ++i) bed.click(kPanel, "flex_tens.down");  // 16
    const double below_20 = limit_at("flx_to");
    EXPECT_NEAR(below_20 - at_55, 13.5625, 1e-9);
    EXPECT_NEAR(at_56, at_55, 1e-9);
}

TEST_F(ThrustRating, max_continuous_drops_3_6_percent_at_18000_ft) {
    bed.sim().set(sim::air_temp_c_256, -40.0 / 256.0);  // cold enough to stay under the cap on both sides
    bed.click(kPanel, "mct");
    altitude_ft(17999.9);
    bed.tick();
    const double below = shared.trp_n1_limit;
    altitude_ft(18000.0);
    bed.tick();
    EXPECT_NEAR(below - shared.trp_n1_limit, 3.6, 0.001);
}

TEST_F(ThrustRating, go_around_with_engine_and_wing_anti_ice_and_a_slow_engine_loses_1_7) {
    const double clean = limit_at("ga");
    bed.sim().set(sim::eng1_anti_ice, 1.0);
    shared.wing_anti_ice_on = 1;
    bed.sim().set(sim::eng1_n2_pct, 60.0);
    bed.sim().set(sim::eng2_n2_pct, 14.0);
    EXPECT_NEAR(clean - limit_at("ga"), 1.7, 1e-9);
    bed.sim().set(sim::eng2_n2_pct, 60.0);
    EXPECT_NEAR(clean - limit_at("ga"), 1.3, 1e-9);
    shared.wing_anti_ice_on = 0;
    EXPECT_NEAR(clean - limit_at("ga"), 0.7, 1e-9);
}

TEST_F(ThrustRating, pressing_the_lit_button_deselects_and_the_readout_keeps_the_last_limit) {
    bed.click(kPanel, "cl");
    bed.tick();
    const double limit = shared.trp_n1_limit;
    EXPECT_TRUE(bed.shown(kPanel, "cl_light"));
    bed.click(kPanel, "cl");
    bed.tick();
    EXPECT_EQ(shared.trp_mode, 0);
    EXPECT_FALSE(bed.shown(kPanel, "cl_light"));
    EXPECT_EQ(shared.trp_n1_limit, limit);
    char expected[16];
    std::snprintf(expected, sizeof expected, "%3.1f", limit);
    EXPECT_EQ(bed.text(kPanel, "n1_limit_readout"), expected);
}

TEST_F(ThrustRating, without_ac_bus_1_the_buttons_are_refused_and_the_readouts_blank) {
    hold_buses(bed, false);
    bed.tick();
    bed.click(kPanel, "to");
    bed.click(kPanel, "test");
    bed.tick();
    EXPECT_EQ(shared.trp_mode, 0);
    EXPECT_EQ(bed.text(kPanel, "n1_limit_readout"), "    ");
    EXPECT_EQ(bed.text(kPanel, "oat_readout"), "  ");
    EXPECT_FALSE(bed.shown(kPanel, "panel_light"));
}

TEST_F(ThrustRating, the_test_lights_everything_for_20_ticks) {
    bed.click(kPanel, "test");
    bed.tick();
    EXPECT_EQ(bed.text(kPanel, "n1_limit_readout"), "888.8");
    EXPECT_EQ(bed.text(kPanel, "oat_readout"), "88");
    EXPECT_TRUE(bed.shown(kPanel, "cr_light"));
    EXPECT_TRUE(bed.shown(kPanel, "oat_plus"));
    EXPECT_TRUE(bed.shown(kPanel, "oat_minus"));
    bed.tick(19);
    EXPECT_FALSE(bed.shown(kPanel, "cr_light"));
    EXPECT_NE(bed.text(kPanel, "oat_readout"), "88");
}

TEST_F(ThrustRating, the_outside_air_temperature_readout_shows_its_size_and_sign) {
    bed.sim().set(sim::air_temp_c_256, -23.0 / 256.0);
    bed.tick();
    EXPECT_EQ(bed.text(kPanel, "oat_readout"), "23");
    EXPECT_TRUE(bed.shown(kPanel, "oat_minus"));
    EXPECT_FALSE(bed.shown(kPanel, "oat_plus"));
}

TEST_F(ThrustRating, the_margin_is_the_leading_engine_less_the_target) {
    bed.click(kPanel, "to");
    bed.sim().set(sim::eng1_n1_pct, 95.0);
    bed.sim().set(sim::eng2_n1_pct, 97.0);
    bed.tick();
    EXPECT_NEAR(shared.trp_n1_margin, 97.0 - 109.8, 1e-9);
}

TEST_F(ThrustRating, the_flex_drums_roll_to_the_selected_digits) {
    bed.click(kPanel, "flex_units.down");  // 0 -> 9 by the short way
    bed.tick();
    EXPECT_DOUBLE_EQ(bed.value(kPanel, "flex_units_drum"), 9.9);
    bed.tick(5);
    EXPECT_DOUBLE_EQ(bed.value(kPanel, "flex_units_drum"), 9.0);
    EXPECT_DOUBLE_EQ(bed.value(kPanel, "flex_tens_drum"), 1.75);  // a quarter a frame from 0 to 2
    bed.tick();
    EXPECT_DOUBLE_EQ(bed.value(kPanel, "flex_tens_drum"), 2.0);
}

TEST_F(ThrustRating, nonsense_air_data_leaves_the_limit_defined) {
    bed.click(kPanel, "cr");
    bed.sim().set(sim::air_temp_c, std::nan(""));
    bed.sim().set(sim::cruise_temp_c, 1e300);
    bed.sim().set(sim::air_temp_c_256, -1e300);
    bed.tick();
    // Under the sanitizers: no undefined conversion. The cruise cap still bounds the limit.
    EXPECT_LE(shared.trp_n1_limit, 113.0);
}

}  // namespace
}  // namespace tarvenol::testing
