// The host's clock: before every frame the tick counter advances by one and the clock, the
// simulation time and the time of day by 1/18 s, with hours, minutes and seconds in step.
#include <gtest/gtest.h>

#include "host/sim_tokens.h"
#include "host/simulator.h"
#include "module/host_services.h"

namespace tarvenol::host {
namespace {

TEST(Clock, every_frame_advances_the_counter_by_one_and_the_clocks_by_one_eighteenth_second) {
    Simulator sim;
    sim.frame();
    EXPECT_EQ(read(sim::tick_counter), 1.0);
    EXPECT_DOUBLE_EQ(read(sim::clock_s), 1.0 / 18.0);
    EXPECT_DOUBLE_EQ(read(sim::sim_time_s), 1.0 / 18.0);
    EXPECT_DOUBLE_EQ(read(sim::time_of_day), 1.0 / 18.0);
    for (int i = 0; i < 17; ++i) sim.frame();
    EXPECT_EQ(read(sim::tick_counter), 18.0);
    EXPECT_EQ(read(sim::clock_s), 1.0);
    EXPECT_EQ(read(sim::clock_second), 1.0);
}

TEST(Clock, the_counter_has_advanced_before_the_first_gauge_ticks) {
    Simulator sim;
    double seen = -1;
    sim.host().before_each_gauge = [&seen] {
        if (seen < 0) seen = read(sim::tick_counter);
    };
    sim.frame();
    sim.host().before_each_gauge = nullptr;
    EXPECT_EQ(seen, 1.0);
}

TEST(Clock, eighteen_frames_make_exactly_one_second_however_late_the_clock_stands) {
    Simulator sim;
    sim.vars().set(sim::clock_s, 864000.0);  // ten days
    for (int i = 0; i < 18; ++i) sim.frame();
    EXPECT_EQ(read(sim::clock_s), 864001.0);
}

TEST(Clock, the_time_of_day_wraps_at_midnight_with_hours_minutes_and_seconds_in_step) {
    Simulator sim;
    sim.vars().set(sim::time_of_day, 86399.0);
    for (int i = 0; i < 17; ++i) sim.frame();
    EXPECT_EQ(read(sim::clock_hour), 23.0);
    EXPECT_EQ(read(sim::clock_minute), 59.0);
    EXPECT_EQ(read(sim::clock_second), 59.0);
    sim.frame();
    EXPECT_EQ(read(sim::time_of_day), 0.0);
    EXPECT_EQ(read(sim::clock_hour), 0.0);
    EXPECT_EQ(read(sim::clock_minute), 0.0);
    EXPECT_EQ(read(sim::clock_second), 0.0);
}

TEST(Clock, a_time_of_day_set_far_outside_one_day_comes_back_within_it) {
    Simulator sim;
    sim.vars().set(sim::time_of_day, -3600.0);
    sim.frame();
    EXPECT_GE(read(sim::time_of_day), 82800.0);
    EXPECT_EQ(read(sim::clock_hour), 23.0);
    sim.vars().set(sim::time_of_day, 1e12);
    sim.frame();
    EXPECT_GE(read(sim::time_of_day), 0.0);
    EXPECT_LT(read(sim::time_of_day), 86400.0);
}

TEST(Clock, a_held_clock_keeps_its_value_and_advances_from_it_on_release) {
    Simulator sim;
    sim.host().hold(sim::tick_counter.token);
    sim.host().hold(sim::sim_time_s.token);
    sim.vars().set(sim::tick_counter, 500.0);
    sim.vars().set(sim::sim_time_s, 20.0);
    for (int i = 0; i < 5; ++i) sim.frame();
    EXPECT_EQ(read(sim::tick_counter), 500.0);
    EXPECT_EQ(read(sim::sim_time_s), 20.0);
    EXPECT_DOUBLE_EQ(read(sim::clock_s), 5.0 / 18.0);  // the others went on
    sim.host().release(sim::tick_counter.token);
    sim.host().release(sim::sim_time_s.token);
    sim.frame();
    EXPECT_EQ(read(sim::tick_counter), 501.0);
    EXPECT_DOUBLE_EQ(read(sim::sim_time_s), 20.0 + 1.0 / 18.0);
}

TEST(Clock, hours_minutes_and_seconds_follow_a_held_time_of_day) {
    Simulator sim;
    sim.host().hold(sim::time_of_day.token);
    sim.vars().set(sim::time_of_day, 12 * 3600.0 + 34 * 60.0 + 56.5);
    sim.frame();
    EXPECT_EQ(read(sim::clock_hour), 12.0);
    EXPECT_EQ(read(sim::clock_minute), 34.0);
    EXPECT_EQ(read(sim::clock_second), 56.0);
}

TEST(Clock, every_clock_variable_is_stored_as_the_float64_the_cockpit_reads) {
    Simulator sim;
    sim.vars().set(sim::time_of_day, 3661.0);
    sim.frame();
    for (int token : {1, 3, 4, 5, 557, 604, 607}) {
        EXPECT_EQ(find_token(token)->type, SimType::f64) << token;
        EXPECT_EQ(read_sim(sim.vars(), *find_token(token)), sim.vars().f64(token)) << token;
    }
    EXPECT_EQ(sim.vars().get(sim::clock_hour), 1.0);  // a FLOAT64 1.0, not the integer 1 in the low half
}

}  // namespace
}  // namespace tarvenol::host
