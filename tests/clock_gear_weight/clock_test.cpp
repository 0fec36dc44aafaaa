#include "fixture.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kClock = "tarvenol chrono_t418";

class Clock : public Instruments {
protected:
    void at_second(double s) { sim(sim::clock_s, s); }
    // The time of day, held still by the host.
    void set_time(double h, double m, double s) {
        sim(sim::time_of_day, h * 3600 + m * 60 + s);
        bed.host().hold(sim::time_of_day.token);
    }
    std::string elapsed() {
        return text("et_hours_tens") + text("et_hours_units") + ":" + text("et_minutes_tens") + text("et_minutes_units");
    }
    std::string chrono() { return text("chr_minutes_tens") + text("chr_minutes_units"); }
    std::string time_of_day() {
        return text("clock_hours_tens") + text("clock_hours_units") + ":" + text("clock_minutes_tens") +
               text("clock_minutes_units");
    }
};

TEST_F(Clock, shows_the_time_of_day_and_fills_the_quarter_minute_bar) {
    const struct {
        double second;
        bool top, middle, bottom;
    } cases[] = {{0, false, false, false}, {14.9, false, false, false}, {15, true, false, false},
                 {30, true, true, false},  {44.9, true, true, false},   {45, true, true, true}};
    for (const auto& c : cases) {
        set_time(9, 47, c.second);
        bed.tick();
        EXPECT_EQ(time_of_day(), "09:47");
        EXPECT_EQ(lit(kClock, "seconds_bar_top"), c.top) << c.second;
        EXPECT_EQ(lit(kClock, "seconds_bar_middle"), c.middle) << c.second;
        EXPECT_EQ(lit(kClock, "seconds_bar_bottom"), c.bottom) << c.second;
    }
    EXPECT_TRUE(lit(kClock, "clock_dots"));
}

TEST_F(Clock, power_comes_from_the_battery_bus_or_battery_1_with_charge) {
    set_time(12, 0, 0);
    const struct {
        u8 bus, sw;
        u32 charge;
        bool runs;
    } cases[] = {{1, 0, 0, true}, {0, 1, 1800, true}, {0, 2, 1, true}, {0, 0, 1800, false}, {0, 1, 0, false}};
    for (const auto& c : cases) {
        batt_bus = c.bus;
        batt_1 = c.sw;
        charge = c.charge;
        bed.tick();
        EXPECT_EQ(time_of_day() == "12:00", c.runs) << int(c.bus) << int(c.sw) << c.charge;
        EXPECT_EQ(lit(kClock, "clock_dots"), c.runs);
    }
    // Unpowered, the setting areas send nothing.
    bed.click(kClock, "clock.hours_up");
    EXPECT_FALSE(bed.sent(key::clock_hours_up));
    batt_bus = 1;
    bed.tick();
    bed.click(kClock, "clock.hours_up");
    bed.click(kClock, "clock.minutes_down");
    EXPECT_TRUE(bed.sent(key::clock_hours_up));
    EXPECT_TRUE(bed.sent(key::clock_minutes_down));
}

TEST_F(Clock, elapsed_time_runs_stops_and_resets_from_the_selector) {
    at_second(1000);
    bed.tick();
    EXPECT_EQ(elapsed(), "  :  ");  // at STOP from load: blank, no dots
    EXPECT_FALSE(lit(kClock, "et_dots"));

    bed.click(kClock, "et.run");
    bed.tick();
    EXPECT_EQ(elapsed(), "00:00");
    EXPECT_TRUE(lit(kClock, "et_dots"));
    at_second(1000 + 2 * 3600 + 5 * 60 + 7);
    bed.tick();
    EXPECT_EQ(elapsed(), "02:05");

    bed.click(kClock, "et.stop");
    at_second(20000);
    bed.tick();
    EXPECT_EQ(var("et_seconds"), 2 * 3600 + 5 * 60 + 7);
    bed.click(kClock, "et.run");
    at_second(20060);
    bed.tick();
    EXPECT_EQ(elapsed(), "02:06");  // goes on from where it stood

    bed.click(kClock, "et.reset");
    bed.tick();
    EXPECT_EQ(elapsed(), "00:00");
    EXPECT_FALSE(lit(kClock, "et_dots"));
    bed.click(kClock, "et.run");
    at_second(20120);
    bed.tick();
    at_second(20180);
    bed.tick();
    EXPECT_EQ(elapsed(), "00:01");  // starts again from 0
}

TEST_F(Clock, a_clock_set_back_restarts_a_running_count_instead_of_wrapping) {
    at_second(86390);
    bed.click(kClock, "et.run");
    bed.click(kClock, "chr");
    bed.tick();
    at_second(86399);
    bed.tick();
    at_second(5);  // midnight
    bed.tick();
    EXPECT_EQ(var("et_seconds"), 0);
    EXPECT_EQ(var("chr_seconds"), 0);
    at_second(65);
    bed.tick();
    EXPECT_EQ(elapsed(), "00:01");
    EXPECT_EQ(chrono(), "01");
    EXPECT_EQ(var("chr_sec_hand"), 0);
}

// The simulator's clock set forward while the clock has power: both counts take the jump in and
// go on counting from it, whatever its size.
TEST_F(Clock, a_clock_set_forward_is_counted_and_the_counts_run_on) {
    at_second(36000);
    bed.click(kClock, "et.run");
    bed.click(kClock, "chr");
    bed.tick();
    for (const double jump : {1799.0, 1800.0, 7200.0, 86000.0}) {
        const double before = var("chr_seconds");
        at_second(36000 + before + jump);
        bed.tick();
        EXPECT_EQ(var("chr_seconds"), before + jump) << jump;
        EXPECT_EQ(var("et_seconds"), before + jump) << jump;
        at_second(36000 + before + jump + 2);
        bed.tick();
        EXPECT_EQ(var("chr_seconds"), before + jump + 2) << "and counts on after a jump of " << jump;
    }
}

TEST_F(Clock, elapsed_hours_of_a_hundred_or_more_keep_single_digits) {
    set_var("et_mode", 0);
    at_second(100);
    bed.tick();
    for (const u32 hours : {99u, 123u, 300u}) {
        at_second(100 + hours * 3600.0);
        bed.tick();
        const std::string tens = text("et_hours_tens");
        ASSERT_EQ(tens.size(), 1u) << hours;
        EXPECT_EQ(tens, "9") << hours;
    }
    EXPECT_EQ(var("et_hours"), 255);
}

TEST_F(Clock, chronometer_starts_stops_and_resets_and_needs_power_to_start) {
    batt_bus = 0;
    bed.tick();
    bed.click(kClock, "chr");
    EXPECT_EQ(var("chr_state"), 0);

    batt_bus = 1;
    at_second(500);
    bed.tick();
    EXPECT_EQ(chrono(), "  ");
    bed.click(kClock, "chr");
    bed.tick();
    at_second(500 + 3 * 60 + 25);
    bed.tick();
    EXPECT_EQ(chrono(), "03");
    EXPECT_EQ(bed.value(kClock, "chr_seconds_hand"), 25);

    bed.click(kClock, "chr");  // stop
    at_second(900);
    bed.tick();
    EXPECT_EQ(chrono(), "03");
    EXPECT_EQ(bed.value(kClock, "chr_seconds_hand"), 25);

    bed.click(kClock, "chr");  // reset
    bed.tick();
    EXPECT_EQ(chrono(), "  ");
    EXPECT_EQ(bed.value(kClock, "chr_seconds_hand"), 0);
}

TEST_F(Clock, a_running_count_includes_the_time_without_power) {
    at_second(1000);
    bed.click(kClock, "chr");
    bed.tick();
    batt_bus = 0;
    at_second(1100);
    bed.tick();
    EXPECT_EQ(chrono(), "  ");
    at_second(1300);
    batt_bus = 1;
    bed.tick();
    EXPECT_EQ(chrono(), "05");
}

TEST_F(Clock, display_test_shows_eights_and_the_full_bar_for_36_ticks) {
    set_time(0, 0, 0);
    bed.click(kClock, "test");
    bed.tick();
    int eights = 0;
    for (int i = 0; i < 60; ++i) {
        const bool all = time_of_day() == "88:88" && elapsed() == "88:88" && chrono() == "88" &&
                         lit(kClock, "seconds_bar_bottom");
        eights += all;
        bed.tick();
    }
    EXPECT_EQ(eights, 36);
    EXPECT_EQ(var("clock_test_state"), 0);
    bed.click(kClock, "test");  // can be run again
    bed.tick();
    EXPECT_EQ(time_of_day(), "88:88");
}

TEST_F(Clock, selector_value_is_kept_to_its_three_positions) {
    set_var("et_mode", 7);
    bed.tick();
    EXPECT_EQ(bed.value(kClock, "et_selector_knob"), 2);
    EXPECT_EQ(var("et_mode"), 2);
    shared.panel_lt_sw = 1;
    shared.ac_ess_bus_powered = 1;
    shared.storm_lt_sw = 1;
    bed.host().before_each_gauge = [] {
        shared.batt_bus_powered = 1;
        shared.panel_lt_sw = 1;
        shared.ac_ess_bus_powered = 1;
        shared.storm_lt_sw = 1;
    };
    bed.tick();
    EXPECT_TRUE(lit(kClock, "et_selector_knob_storm_lit"));
    EXPECT_FALSE(lit(kClock, "et_selector_knob"));
}

}  // namespace
}  // namespace tarvenol::testing
