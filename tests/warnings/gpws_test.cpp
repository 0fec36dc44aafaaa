// The ground proximity warning: the five envelopes at their edges, priorities, the closure-rate
// sampler, the callouts, the test sequence, loss of power and nonsense inputs.
#include <cmath>
#include <limits>

#include "warnings.h"

namespace tarvenol::testing {
namespace {

constexpr double kGearDown = 16383.0;
constexpr double kLandingFlaps = 16383.0;
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class Gpws : public Warnings {
protected:
    // In the air on a stabilised approach: gear down, landing flaps, no glide slope, idle.
    Gpws() {
        sim(sim::on_ground, 0.0);
        sim(sim::gear_nose_pos, kGearDown);
        sim(sim::flap_pos, kLandingFlaps);
        sim(sim::ias_kt, 150.0);
    }
    u16 alert() const { return shared.gpws_alert; }
    // Holds the closure rate: the sampler waits for a due tick far away.
    void closure(i32 rate) {
        set_var("closure_phase", 1);
        set_var("closure_due", 1e9);
        set_var("closure_rate", rate);
    }
};

TEST_F(Gpws, sink_rate_and_pull_up_envelopes) {
    struct Case {
        double vs, ra;
        u16 alert;
    };
    const Case cases[] = {
        {-1500.0, 300.0, 10},  {-1500.0, 330.0, 0},   // sink-rate limit 315 ft
        {-3000.0, 700.0, 12},                          // pull-up limit 802 ft beats the sink rate
        {-3000.0, 803.0, 10},  {-999.9, 50.0, 0},    {-1100.0, 11.0, 10},
        {-6000.0, 10.0, 0},    {-6000.0, 2450.0, 10}, {-6000.0, 2450.5, 0},
        {kNan, 300.0, 0},      {-1500.0, kNan, 0},    {-kInf, 2000.0, 12},
    };
    for (const Case& c : cases) {
        vs = c.vs;
        ra = c.ra;
        bed.tick();
        EXPECT_EQ(alert(), c.alert) << "VS " << c.vs << " RA " << c.ra;
    }
    EXPECT_EQ(var("mode1_sink_limit"), 4294967295.0) << "an infinite sink saturates the limits";
}

TEST_F(Gpws, the_sink_rate_callout_repeats_while_the_alert_lasts_and_stops_with_it) {
    vs = -1500.0;
    ra = 300.0;
    const u32 before = plays("SNKRATE");
    bed.tick(5);
    EXPECT_EQ(plays("SNKRATE"), before + 5) << "started every tick; a phrase still playing goes on";
    EXPECT_TRUE(snd::mixer::state("SNKRATE").playing);
    EXPECT_TRUE(lit(kGpws, "gpws_light"));
    vs = 0.0;
    bed.tick(3);
    EXPECT_EQ(plays("SNKRATE"), before + 5);
    EXPECT_EQ(alert(), 0);
    EXPECT_FALSE(lit(kGpws, "gpws_light"));
}

TEST_F(Gpws, the_first_mode_in_priority_order_wins) {
    sim(sim::gear_nose_pos, 0.0);  // gear up at 150 kt, 300 ft: too low gear
    sim(sim::flap_pos, 0.0);
    ra = 300.0;
    bed.tick();
    EXPECT_EQ(alert(), 410);
    vs = -1500.0;  // and sinking
    const u32 gear_calls = plays("TOOLOWGEAR");
    bed.tick();
    EXPECT_EQ(alert(), 10);
    EXPECT_EQ(plays("TOOLOWGEAR"), gear_calls) << "one callout per alert";
    closure(-6000);  // terrain pull up (limit 777) under the sink rate
    bed.tick();
    EXPECT_EQ(alert(), 10);
    vs = 0.0;
    bed.tick();
    EXPECT_EQ(alert(), 22);
    sim(sim::nav1_gs_flag, 1.0);  // on the glide slope mode 2 is silent: too low gear again
    bed.tick();
    EXPECT_EQ(alert(), 410);
}

TEST_F(Gpws, the_closure_rate_is_sampled_every_second_and_once_over_a_single_tick) {
    // The radio altitude falls 1 ft per tick from 2000 ft; frame n runs at tick counter n.
    for (int n = 1; n <= 56; ++n) {
        ra = 2000.0 - n;
        bed.tick();
        const double rate = var("closure_rate");
        if (n == 1 || n == 18) {
            EXPECT_EQ(rate, 1999.0 * 60) << "from the sample at load until 19, frame " << n;
        } else if (n == 19 || n == 37 || n == 55) {
            EXPECT_EQ(rate, -18.0 * 60) << n;
        } else if (n == 56) {
            EXPECT_EQ(rate, -60.0) << "the phase after the last takes one tick";
        }
    }
}

TEST_F(Gpws, terrain_closure_limits_and_the_pull_up_hold) {
    sim(sim::flap_pos, 0.0);
    sim(sim::eng1_n1_pct, 95.0);  // too low flaps keeps its state at this thrust
    struct Case {
        i32 rate;
        double ra;
        u16 alert;
    };
    const Case cases[] = {
        {-2000, 30.0, 0},   {-2000, 30.5, 0},    // limit exactly 30 ft: never
        {-3499, 1244.0, 20}, {-3499, 1245.0, 0},  // 1499 x 0.81 + 30
        {-3500, 1250.0, 20}, {-3500, 1251.0, 0},  // the next segment starts at 1250
        {-9000, 1000.0, 22}, {-9000, 1001.0, 20}, // limit 2000, pull up at half
        {-20000, 1650.0, 20}, {-20000, 1651.0, 0}, // the speed limit at 150 kt
    };
    for (const Case& c : cases) {
        closure(c.rate);
        ra = c.ra;
        set_var("mode2_state", 0);
        shared.gpws_alert = 0;
        bed.tick();
        EXPECT_EQ(alert(), c.alert) << c.rate << " ft/min at " << c.ra << " ft";
    }
    // A pull up holds above its limit while within the terrain limit, until 300 ft of climb.
    closure(-6000);  // limit 1555, pull up 777
    sim(sim::altitude_ft, 3000.0);
    ra = 700.0;
    bed.tick();
    EXPECT_EQ(alert(), 22);
    ra = 1200.0;
    sim(sim::altitude_ft, 3300.0);
    bed.tick(3);
    EXPECT_EQ(alert(), 22);
    sim(sim::altitude_ft, 3300.5);
    bed.tick();
    EXPECT_EQ(alert(), 0);
    bed.tick();
    EXPECT_EQ(alert(), 20) << "then the terrain alert";
}

TEST_F(Gpws, dont_sink_after_takeoff_from_the_altitude_lost) {
    sim(sim::flap_pos, 0.0);
    sim(sim::gear_nose_pos, 0.0);
    sim(sim::eng1_n1_pct, 95.0);  // take-off thrust keeps mode 4A quiet
    sim(sim::on_ground, 1.0);
    ra = 0.0;
    bed.tick();
    EXPECT_EQ(var("mode3_arm"), 2.0);
    sim(sim::on_ground, 0.0);
    ra = 300.0;
    sim(sim::altitude_m, 1000.0);  // 3281 ft
    bed.tick();
    EXPECT_EQ(var("mode3_arm"), 1.0);
    sim(sim::altitude_m, 985.0);  // 49 ft lost: 326 ft >= 300 ft
    bed.tick();
    EXPECT_EQ(alert(), 30);
    EXPECT_EQ(var("mode3_loss"), 49.0);
    sim(sim::altitude_m, 990.0);  // 32 ft: 213 ft
    bed.tick();
    EXPECT_EQ(alert(), 0);
    ra = 1334.0;
    bed.tick();
    EXPECT_EQ(var("mode3_arm"), 0.0) << "disarmed above 1333 ft";
}

TEST_F(Gpws, too_low_gear_flaps_and_terrain) {
    struct Case {
        double gear, flaps, ias, ra, n1;
        u16 alert;
    };
    closure(0);
    const Case cases[] = {
        {0.0, 0.0, 150.0, 500.0, 50.0, 410},    {0.0, 0.0, 150.0, 501.0, 50.0, 0},
        {0.0, 0.0, 150.0, 30.0, 50.0, 0},       {0.0, 0.0, 250.0, 857.0, 79.0, 412},
        {0.0, 0.0, 250.0, 858.0, 79.0, 0},      {0.0, 0.0, 300.0, 1001.0, 50.0, 0},
        {kGearDown, 0.0, 150.0, 245.0, 50.0, 420}, {kGearDown, 0.0, 200.0, 496.0, 50.0, 422},
        {kGearDown, 6043.0, 150.0, 200.0, 50.0, 420}, {kGearDown, 6044.0, 150.0, 200.0, 50.0, 0},
        {kGearDown, 0.0, kNan, 200.0, 50.0, 0},
    };
    for (const Case& c : cases) {
        sim(sim::gear_nose_pos, c.gear);
        sim(sim::flap_pos, c.flaps);
        sim(sim::ias_kt, c.ias);
        sim(sim::eng1_n1_pct, c.n1);
        ra = c.ra;
        bed.tick();
        EXPECT_EQ(alert(), c.alert) << c.gear << " " << c.flaps << " " << c.ias << " kt " << c.ra << " ft";
    }
    // Go-around thrust below 200 kt leaves too low gear as it was.
    sim(sim::gear_nose_pos, 0.0);
    sim(sim::flap_pos, 0.0);
    sim(sim::ias_kt, 150.0);
    sim(sim::eng1_n1_pct, 95.0);
    ra = 400.0;
    bed.tick();
    EXPECT_EQ(alert(), 0);
    sim(sim::eng1_n1_pct, 50.0);
    bed.tick();
    sim(sim::eng1_n1_pct, 95.0);
    bed.tick();
    EXPECT_EQ(alert(), 410) << "kept";
}

TEST_F(Gpws, too_low_terrain_after_takeoff_below_three_quarters_of_the_height_reached) {
    sim(sim::on_ground, 1.0);
    sim(sim::eng2_n1_pct, 95.0);
    ra = 0.0;
    bed.tick();
    EXPECT_EQ(var("mode4c_arm"), 2.0);
    sim(sim::on_ground, 0.0);
    sim(sim::eng1_n1_pct, 95.0);  // modes 4A and 5 quiet
    for (double h : {100.0, 200.0}) {
        ra = h;
        bed.tick();
    }
    EXPECT_EQ(var("mode4c_max_ra"), 200.0);
    ra = 151.0;
    bed.tick();
    EXPECT_EQ(alert(), 0);
    ra = 150.0;
    bed.tick();
    EXPECT_EQ(alert(), 43);
    ra = 1001.0;
    bed.tick();
    EXPECT_EQ(var("mode4c_arm"), 0.0);
}

TEST_F(Gpws, glide_slope_below_the_beam_at_idle) {
    sim(sim::nav1_gs_flag, 1.0);
    sim(sim::nav1_gsi, -101.0);
    ra = 500.0;
    bed.tick();
    EXPECT_EQ(alert(), 50);
    sim(sim::eng2_n1_pct, 95.0);
    bed.tick();
    EXPECT_EQ(alert(), 50) << "thrust leaves it as it was";
    ra = 150.0;
    bed.tick();
    EXPECT_EQ(alert(), 0);
    ra = 500.0;
    sim(sim::nav1_gsi, -100.0);
    sim(sim::eng2_n1_pct, 0.0);
    bed.tick();
    EXPECT_EQ(alert(), 0);
}

TEST_F(Gpws, without_the_battery_bus_every_alert_and_the_test_are_cleared_in_silence) {
    vs = -1500.0;
    ra = 300.0;
    bed.tick();
    ASSERT_EQ(alert(), 10);
    batt = 0;
    const u32 calls = plays("SNKRATE");
    bed.tick();
    EXPECT_EQ(alert(), 0);
    EXPECT_EQ(var("mode1_state"), 0.0);
    EXPECT_EQ(plays("SNKRATE"), calls);
    bed.tick();
    EXPECT_FALSE(lit(kGpws, "gpws_light"));
    bed.click(kGpws, "gpws_test");
    EXPECT_EQ(var("gpws_test"), 0.0) << "no test without power";
}

TEST_F(Gpws, test_sequence_on_the_ground_and_its_cancellations) {
    sim(sim::on_ground, 1.0);
    ra = 0.0;
    sim(sim::flap_pos, 6044.0);  // exactly at the threshold: not landing flaps for the test
    bed.tick();
    const u32 glide = plays("GLIDESLOPE"), pull = plays("WPULLUP");
    bed.click(kGpws, "gpws_test");
    bed.tick();
    EXPECT_EQ(plays("GLIDESLOPE"), glide + 1);
    bed.tick();
    EXPECT_TRUE(lit(kGpws, "gpws_light"));
    bed.tick(35);
    EXPECT_EQ(plays("WPULLUP"), pull + 1) << "2 s later";
    bed.tick(36);
    EXPECT_EQ(var("gpws_test"), 0.0);
    bed.tick();
    EXPECT_FALSE(lit(kGpws, "gpws_light"));
    EXPECT_EQ(plays("GLIDESLOPE"), glide + 1);

    sim(sim::flap_pos, 6045.0);  // landing flaps: the glide slope callout only
    bed.click(kGpws, "gpws_test");
    bed.tick(37);
    EXPECT_EQ(var("gpws_test"), 0.0);
    EXPECT_EQ(plays("WPULLUP"), pull + 1);
    EXPECT_EQ(plays("GLIDESLOPE"), glide + 2);

    sim(sim::on_ground, 0.0);  // in flight at 1000 ft: cancelled on the next tick
    ra = 1000.0;
    bed.click(kGpws, "gpws_test");
    bed.tick();
    EXPECT_EQ(var("gpws_test"), 0.0);
    EXPECT_EQ(plays("GLIDESLOPE"), glide + 2);

    vs = -1500.0;  // with an alert the button does nothing
    ra = 300.0;
    bed.tick();
    bed.click(kGpws, "gpws_test");
    EXPECT_EQ(var("gpws_test"), 0.0);
}

TEST_F(Gpws, nonsense_inputs_leave_every_limit_defined) {
    const double values[] = {kNan, kInf, -kInf, 1e300, -1e300, -0.0, 4294967296.0};
    sim(sim::flap_pos, 0.0);
    sim(sim::gear_nose_pos, 0.0);
    for (double v : values) {
        ra = v;
        vs = -v;
        sim(sim::ias_kt, v);
        sim(sim::altitude_m, v);
        sim(sim::altitude_ft, -v);
        sim(sim::eng1_n1_pct, v);
        sim(sim::nav1_gsi, v);
        sim(sim::tick_counter, v);
        bed.tick(2);
    }
    ra = 500.0;
    vs = -3000.0;
    sim(sim::ias_kt, 150.0);
    sim(sim::tick_counter, 100.0);
    bed.tick(40);
    EXPECT_EQ(alert(), 12) << "back to sane inputs, the modes work again";
}

}  // namespace
}  // namespace tarvenol::testing
