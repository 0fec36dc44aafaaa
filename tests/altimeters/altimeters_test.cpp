// The main and standby altimeters: drums and pointer from the altitude with the negative-altitude
// rules, the barometric setting drums, the knobs and their limits, the flags, the instrument fault
// and the altitude alert light with its flasher.
#include <cmath>
#include <limits>

#include "testbed.h"
#include "module/units.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kMain = "tarvenol alti_main_t418";
constexpr const char* kStby = "tarvenol alti_sec_t418";
constexpr int kSettle = 60;

class Altimeters : public ::testing::Test {
protected:
    TestBed bed;
    u8 ac_ess = 1;
    u8 dc_ess = 1;
    u8 alert_state = 0;
    u8 lamp_test = 0;

    Altimeters() {
        bed.host().before_each_gauge = [this] {
            shared.ac_ess_bus_powered = ac_ess;
            shared.batt_bus_powered = dc_ess;
            shared.alt_alert_state = alert_state;
            shared.ann_lt_test = lamp_test;
        };
    }
    double var(const char* name) { return read_var(*find_var(name)); }
    void set_var(const char* name, double v) { write_var(*find_var(name), v); }
    double main(const char* element) { return bed.value(kMain, element); }
    double stby(const char* element) { return bed.value(kStby, element); }
    void altitude(double feet) { bed.sim().set(sim::altitude_ft, feet); }
    void true_altitude(double feet) { bed.sim().set(sim::altitude_m, feet / kFeetPerMetre); }
    // Puts the next frame's tick counter at `tick` (the host adds one before the frame).
    void next_tick_at(double tick) { bed.sim().set(sim::tick_counter, tick - 1.0); }
    bool alert_lit() { return bed.shown(kMain, "alt_alert_light"); }
};

// --- Main altimeter: altitude ----------------------------------------------------------------------

TEST_F(Altimeters, at_9995_ft_the_ten_thousands_and_thousands_drums_start_rolling) {
    altitude(9995.0);
    bed.tick();
    EXPECT_NEAR(main("alti_10000_drum"), 9.5, 1e-6) << "0 rolling toward 1";
    EXPECT_NEAR(main("alti_1000_drum"), 0.5, 1e-6) << "9 rolling toward 0";
    EXPECT_NEAR(main("alti_100_drum"), 0.5, 1e-6) << "9.95 hundreds: half way from 9 to 0";
    EXPECT_NEAR(main("alti_10_drum"), 0.5, 1e-6);
    EXPECT_NEAR(main("alti_pointer"), 99.5, 1e-9);
}

TEST_F(Altimeters, drums_stand_on_their_digits_outside_their_roll_zones) {
    altitude(23450.0);
    bed.tick();
    EXPECT_EQ(main("alti_10000_drum"), 8.0) << "digit 2 at 10 - 2";
    EXPECT_EQ(main("alti_1000_drum"), 7.0) << "digit 3";
    EXPECT_EQ(main("alti_100_drum"), 6.0) << "digit 4";
    EXPECT_DOUBLE_EQ(main("alti_10_drum"), 5.0);
    altitude(20000.0);
    bed.tick();
    EXPECT_EQ(main("alti_1000_drum"), 0.0) << "digit 0 stands at 0";
    EXPECT_EQ(main("alti_10_drum"), 0.0) << "a tens drum at 10 shows 0";
}

TEST_F(Altimeters, at_minus_150_ft_the_drums_show_850_with_the_negative_flag) {
    altitude(5000.0);
    bed.tick();
    EXPECT_TRUE(bed.shown(kMain, "below_10000_flag"));
    altitude(-150.0);
    bed.tick();
    EXPECT_EQ(var("alti_displayed_ft"), 850.0);
    EXPECT_EQ(main("alti_1000_drum"), 0.0);
    EXPECT_EQ(main("alti_100_drum"), 2.0) << "digit 8";
    EXPECT_DOUBLE_EQ(main("alti_10_drum"), 5.0);
    EXPECT_TRUE(bed.shown(kMain, "neg_flag"));
    EXPECT_TRUE(bed.shown(kMain, "below_10000_flag")) << "keeps its state";
    EXPECT_DOUBLE_EQ(main("alti_pointer"), -15.0);
}

TEST_F(Altimeters, the_displayed_altitude_counts_back_below_sea_level_band_by_band) {
    const struct {
        double a, shown;
    } cases[] = {{5000.0, 5000.0}, {1.0, 1.0},        {0.5, 0.0},     {-0.5, 0.0},
                 {-1.0, 999.0},    {-999.0, 1.0},     {-1000.0, 0.0}, {-1000.5, 1999.5},
                 {-1500.0, 1500.0}, {-2000.0, 1000.0}, {-2000.5, 0.0}, {std::nan(""), 0.0},
                 {-std::numeric_limits<double>::infinity(), 0.0}};
    for (const auto& c : cases) {
        altitude(c.a);
        bed.tick();
        EXPECT_EQ(var("alti_displayed_ft"), c.shown) << "A = " << c.a;
    }
}

TEST_F(Altimeters, flags_of_the_main_altimeter_by_altitude) {
    const struct {
        double a;
        bool negative, below_10000;
    } cases[] = {{5000.0, false, true}, {9997.5, false, true}, {9998.0, false, false}, {-0.5, false, true},
                 {40000.0, false, false}};
    for (const auto& c : cases) {
        altitude(c.a);
        bed.tick();
        EXPECT_EQ(bed.shown(kMain, "neg_flag"), c.negative) << "A = " << c.a;
        EXPECT_EQ(bed.shown(kMain, "below_10000_flag"), c.below_10000) << "A = " << c.a;
        EXPECT_FALSE(bed.shown(kMain, "off_flag_1"));
        EXPECT_FALSE(bed.shown(kMain, "off_flag_2"));
    }
}

TEST_F(Altimeters, without_the_ac_essential_bus_the_main_altimeter_freezes_behind_its_off_flags) {
    altitude(3500.0);
    bed.sim().set(sim::baro_hpa, 1013.0);
    bed.tick(kSettle);
    ac_ess = 0;
    altitude(7200.0);
    bed.sim().set(sim::baro_hpa, 990.0);
    bed.tick(kSettle);
    EXPECT_EQ(var("alti_displayed_ft"), 3500.0);
    EXPECT_DOUBLE_EQ(main("alti_pointer"), 50.0);
    EXPECT_EQ(main("hpa_100_drum"), 0.0) << "the setting drums keep their targets";
    EXPECT_TRUE(bed.shown(kMain, "off_flag_1"));
    EXPECT_TRUE(bed.shown(kMain, "off_flag_2"));
    EXPECT_TRUE(bed.shown(kMain, "below_10000_flag")) << "keeps its state";
    EXPECT_EQ(shared.mw_alti_fault, 0);
}

TEST_F(Altimeters, a_failed_altimeter_shows_off_and_raises_the_instrument_fault) {
    bed.tick();
    bed.sim().set(sim::fail_altimeter, 1);
    bed.tick();
    EXPECT_TRUE(bed.shown(kMain, "off_flag_1"));
    EXPECT_TRUE(bed.shown(kMain, "off_flag_2"));
    EXPECT_EQ(shared.mw_alti_fault, 1);
    bed.sim().set(sim::fail_altimeter, 0);
    bed.tick();
    EXPECT_FALSE(bed.shown(kMain, "off_flag_1"));
    EXPECT_EQ(shared.mw_alti_fault, 0);
}

// --- Barometric setting ----------------------------------------------------------------------------

TEST_F(Altimeters, the_simulator_setting_shows_in_hectopascals_and_hundredths_of_an_inch) {
    bed.sim().set(sim::baro_hpa, 1013.25);
    bed.sim().set(sim::baro_inhg, 29.92);
    bed.tick(kSettle);
    EXPECT_EQ(main("hpa_1000_drum"), 1.0);
    EXPECT_EQ(main("hpa_100_drum"), 0.0);
    EXPECT_EQ(main("hpa_10_drum"), 1.0);
    EXPECT_NEAR(main("hpa_1_drum"), 3.25, 1e-9);
    EXPECT_EQ(main("inhg_1000_drum"), 2.0);
    EXPECT_EQ(main("inhg_100_drum"), 9.0);
    EXPECT_EQ(main("inhg_10_drum"), 9.0);
    EXPECT_NEAR(main("inhg_1_drum"), 2.0, 1e-6);
}

TEST_F(Altimeters, a_setting_with_no_digits_to_show_stands_its_drums_on_digits_they_have) {
    const struct {
        double hpa, thousands, units;
    } cases[] = {{std::nan(""), 0.0, 0.0}, {-5.0, 0.0, 0.0}, {12345.0, 9.0, 5.0},
                 {std::numeric_limits<double>::infinity(), 9.0, 0.0}};
    for (const auto& c : cases) {
        bed.sim().set(sim::baro_hpa, c.hpa);
        bed.tick(kSettle);
        EXPECT_EQ(main("hpa_1000_drum"), c.thousands) << c.hpa;
        EXPECT_EQ(main("hpa_1_drum"), c.units) << c.hpa;
        for (const char* d : {"hpa_100_drum", "hpa_10_drum"}) {
            EXPECT_GE(main(d), 0.0) << c.hpa << " " << d;
            EXPECT_LE(main(d), 9.0) << c.hpa << " " << d;
        }
    }
}

TEST_F(Altimeters, the_main_knob_winds_the_simulator_setting_within_739_to_1053_with_power) {
    const struct {
        double hpa;
        const char* area;
        bool sends;
    } cases[] = {{739.0, "baro_knob.down", false}, {739.5, "baro_knob.down", true},
                 {1053.0, "baro_knob.up", false},  {1052.5, "baro_knob.up", true}};
    for (const auto& c : cases) {
        bed.sim().set(sim::baro_hpa, c.hpa);
        bed.tick();
        bed.click(kMain, c.area);
        EXPECT_EQ(bed.sent(key::baro_down) || bed.sent(key::baro_up), c.sends) << c.hpa << " " << c.area;
    }
    bed.sim().set(sim::baro_hpa, 1000.0);
    ac_ess = 0;
    bed.tick();
    bed.click(kMain, "baro_knob.up");
    bed.click(kMain, "baro_knob.down");
    EXPECT_FALSE(bed.sent(key::baro_up) || bed.sent(key::baro_down)) << "no power";
}

// --- Altitude alert light --------------------------------------------------------------------------

TEST_F(Altimeters, a_deviation_flashes_the_alert_light_4_ticks_on_4_off) {
    next_tick_at(100.0);
    alert_state = 3;
    bed.tick();
    EXPECT_TRUE(alert_lit()) << "lit on entry";
    for (int t = 101; t <= 117; ++t) {
        bed.tick();
        const bool lit = (t - 100) % 8 < 4;
        EXPECT_EQ(alert_lit(), lit) << "tick " << t;
    }
}

TEST_F(Altimeters, the_alert_flasher_keeps_flashing_when_the_counter_skips_its_marks) {
    next_tick_at(100.0);
    alert_state = 3;
    bed.tick();
    next_tick_at(106.0);  // 104 skipped
    bed.tick();
    EXPECT_FALSE(alert_lit()) << "dark once 104 has passed";
    next_tick_at(111.0);  // 108 skipped
    bed.tick();
    EXPECT_TRUE(alert_lit()) << "lit again once 108 has passed, a new phase from 111";
    EXPECT_EQ(var("alti_alert_phase_start"), 111.0);
    next_tick_at(115.0);
    bed.tick();
    EXPECT_FALSE(alert_lit());
    next_tick_at(50.0);  // the simulator counts again from lower down
    bed.tick();
    EXPECT_TRUE(alert_lit()) << "a new phase from the new count";
    EXPECT_EQ(var("alti_alert_phase_start"), 50.0);
    bed.tick(3);
    EXPECT_TRUE(alert_lit());
    bed.tick();
    EXPECT_FALSE(alert_lit()) << "dark at 54";
}

TEST_F(Altimeters, the_alert_light_is_steady_when_approaching_and_shows_the_lamp_test_otherwise) {
    alert_state = 1;
    bed.tick();
    EXPECT_TRUE(alert_lit());
    alert_state = 2;
    bed.tick(6);
    EXPECT_TRUE(alert_lit());
    EXPECT_EQ(var("alti_alert_started"), 0.0);
    alert_state = 0;
    bed.tick();
    EXPECT_FALSE(alert_lit());
    lamp_test = 1;
    bed.tick();
    EXPECT_TRUE(alert_lit());
}

TEST_F(Altimeters, the_alert_light_keeps_its_state_without_the_dc_essential_bus_or_with_the_altimeter_failed) {
    alert_state = 1;
    bed.tick();
    dc_ess = 0;
    alert_state = 0;
    bed.tick();
    EXPECT_TRUE(alert_lit());
    dc_ess = 1;
    bed.sim().set(sim::fail_altimeter, 1);
    bed.tick();
    EXPECT_TRUE(alert_lit());
    bed.sim().set(sim::fail_altimeter, 0);
    bed.tick();
    EXPECT_FALSE(alert_lit());
}

// --- Standby altimeter -----------------------------------------------------------------------------

TEST_F(Altimeters, the_standby_at_sea_level_reads_0_and_one_click_down_lowers_it_by_14_6_ft) {
    bed.tick();
    EXPECT_EQ(var("stby_altitude_ft"), 0.0);
    EXPECT_EQ(var("stby_displayed_ft"), 0.0);
    EXPECT_FALSE(bed.shown(kStby, "neg_flag"));
    bed.click(kStby, "baro_knob.down");
    EXPECT_EQ(var("stby_baro_hpa"), 1012.5);
    bed.tick();
    EXPECT_NEAR(var("stby_altitude_ft"), -14.6, 1e-9);
    EXPECT_NEAR(var("stby_displayed_ft"), 985.4, 1e-9);
    EXPECT_TRUE(bed.shown(kStby, "neg_flag"));
}

TEST_F(Altimeters, the_standby_drums_roll_in_the_last_foot_and_its_hundreds_turn_continuously) {
    true_altitude(9999.5);
    bed.tick();
    EXPECT_NEAR(stby("stby_10000_drum"), 9.5, 1e-3);
    EXPECT_NEAR(stby("stby_1000_drum"), 0.5, 1e-3);
    EXPECT_NEAR(stby("stby_100_drum"), 0.005, 1e-6);
    EXPECT_TRUE(bed.shown(kStby, "below_10000_flag")) << "up to 10000 ft on the standby";
    true_altitude(10000.5);
    bed.tick();
    EXPECT_FALSE(bed.shown(kStby, "below_10000_flag"));
}

TEST_F(Altimeters, the_standby_shows_its_own_setting_and_winds_it_within_its_limits_with_power) {
    bed.tick(kSettle);
    EXPECT_EQ(stby("hpa_10_drum"), 1.0);
    EXPECT_NEAR(stby("hpa_1_drum"), 3.0, 1e-9);
    EXPECT_EQ(stby("inhg_1000_drum"), 2.0);
    EXPECT_EQ(stby("inhg_10_drum"), 9.0);
    EXPECT_NEAR(stby("inhg_1_drum"), 1013.0 * 2.9531 - 2990.0, 1e-6);
    set_var("stby_baro_hpa", 1053.0);
    bed.click(kStby, "baro_knob.up");
    EXPECT_EQ(var("stby_baro_hpa"), 1053.0);
    set_var("stby_baro_hpa", 739.0);
    bed.click(kStby, "baro_knob.down");
    EXPECT_EQ(var("stby_baro_hpa"), 739.0);
    dc_ess = 0;
    bed.tick();
    bed.click(kStby, "baro_knob.up");
    EXPECT_EQ(var("stby_baro_hpa"), 739.0) << "no power";
    EXPECT_TRUE(bed.shown(kStby, "off_flag"));
}

TEST_F(Altimeters, without_the_dc_essential_bus_the_standby_freezes_but_keeps_computing_its_altitude) {
    true_altitude(2000.0);
    bed.tick();
    dc_ess = 0;
    true_altitude(4000.0);
    bed.tick();
    EXPECT_NEAR(var("stby_altitude_ft"), 4000.0, 1e-6);
    EXPECT_NEAR(var("stby_displayed_ft"), 2000.0, 1e-6);
    EXPECT_NEAR(stby("stby_pointer"), 0.0, 1e-6);
    EXPECT_TRUE(bed.shown(kStby, "off_flag"));
    EXPECT_TRUE(bed.shown(kStby, "below_10000_flag")) << "keeps its state";
}

}  // namespace
}  // namespace tarvenol::testing
