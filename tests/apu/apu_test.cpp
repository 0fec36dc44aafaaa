// The APU: start and spool-up timeline, availability, N2 bands after the air demand, altitude
// limits, oil burn, the inlet flap, lights and the fault flag.
#include "testbed.h"
#include "sound/mixer.h"
#include "module/units.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kPanel = "tarvenol apu_t418";

class Apu : public ::testing::Test {
protected:
    TestBed bed;

    void SetUp() override { shared.batt_bus_powered = 1; }
    void set_altitude_ft(double ft) { bed.sim().set(sim::altitude_m, ft / kFeetPerMetre); }
    void start() {
        bed.click(kPanel, "master.on");
        bed.click(kPanel, "start");
    }
    // Ticks until the condition holds; the number of ticks it took, or -1.
    template <class F>
    int ticks_until(F condition, int limit = 5000) {
        for (int n = 1; n <= limit; ++n) {
            bed.tick();
            if (condition()) return n;
        }
        return -1;
    }
    void run_up() {
        start();
        ASSERT_GT(ticks_until([] { return shared.apu_bleed_avail == 1; }), 0);
    }
    double n2() const { return shared.apu_n_pct; }
};

TEST_F(Apu, spools_up_on_the_ground_on_the_exact_ticks) {
    start();
    EXPECT_EQ(shared.apu_start_sw, 1);
    bed.tick();
    EXPECT_TRUE(bed.shown(kPanel, "start_light"));
    EXPECT_TRUE(bed.shown(kPanel, "oil_light"));
    EXPECT_EQ(ticks_until([] { return shared.apu_n1_pct >= 50.0; }), 249);  // 250 ticks in all
    EXPECT_FALSE(bed.shown(kPanel, "start_light"));
    EXPECT_FALSE(bed.shown(kPanel, "oil_light"));
    EXPECT_EQ(ticks_until([] { return shared.apu_n1_pct > 96.0; }), 7);
    EXPECT_NEAR(shared.apu_n1_pct, 97.4, 0.05);
    EXPECT_EQ(shared.apu_bleed_avail, 0);
    EXPECT_EQ(ticks_until([] { return shared.apu_n1_pct >= 100.0; }), 13);
    EXPECT_EQ(shared.apu_bleed_avail, 1);
}

TEST_F(Apu, start_is_refused_without_master_or_dc_essential_power) {
    bed.click(kPanel, "start");
    EXPECT_EQ(shared.apu_start_sw, 0);
    bed.click(kPanel, "master.on");
    shared.batt_bus_powered = 0;
    bed.click(kPanel, "start");
    EXPECT_EQ(shared.apu_start_sw, 0);
    shared.batt_bus_powered = 1;
    bed.click(kPanel, "start");
    EXPECT_EQ(shared.apu_start_sw, 1);
}

TEST_F(Apu, start_plays_no_click_but_the_switches_do) {
    const auto clicks = [] { return snd::mixer::state("CLICK").play_once_requests; };
    const auto before = clicks();
    bed.click(kPanel, "master.on");
    EXPECT_EQ(clicks(), before + 1);
    bed.click(kPanel, "start");
    bed.click(kPanel, "master.on");
    EXPECT_EQ(clicks(), before + 1);
    bed.click(kPanel, "contrl_sys.stby");
    EXPECT_EQ(clicks(), before + 2);
}

TEST_F(Apu, n2_settles_in_the_band_of_the_air_demand) {
    run_up();
    bed.tick(600);
    EXPECT_DOUBLE_EQ(n2(), 63.0);
    bed.click(kPanel, "contrl_sys.ovr");
    bed.tick(600);
    EXPECT_DOUBLE_EQ(n2(), 97.0);
    bed.click(kPanel, "contrl_sys.stby");
    bed.tick(600);
    EXPECT_DOUBLE_EQ(n2(), 89.0);
    EXPECT_TRUE(bed.shown(kPanel, "stby_on_light"));
    bed.click(kPanel, "contrl_sys.nor");
    set_altitude_ft(8000);
    bed.tick(600);
    EXPECT_DOUBLE_EQ(n2(), 89.0);
    EXPECT_FALSE(bed.shown(kPanel, "stby_on_light"));
}

TEST_F(Apu, engine_start_or_wing_anti_ice_on_idle_engines_demand_high_n2) {
    run_up();
    shared.eng_start_master = 4;
    bed.tick(600);
    EXPECT_DOUBLE_EQ(n2(), 97.0);
    shared.eng_start_master = 0;
    bed.host().before_each_gauge = [] { shared.wing_anti_ice_on = 1; };  // the wing system heating
    bed.sim().set(sim::eng1_n1_pct, 4.0);
    bed.sim().set(sim::eng2_n1_pct, 5.0);
    bed.tick(600);
    EXPECT_DOUBLE_EQ(n2(), 97.0);
    bed.sim().set(sim::eng2_n1_pct, 6.0);  // 10 % together: no longer a demand
    bed.tick(600);
    EXPECT_DOUBLE_EQ(n2(), 63.0);
}

TEST_F(Apu, exhaust_temperature_settles_at_540_when_running) {
    run_up();
    bed.tick(200);
    EXPECT_DOUBLE_EQ(shared.apu_egt, 540.0);
}

TEST_F(Apu, a_start_with_a_hot_exhaust_climbs_0_6_at_540_and_0_2_above) {
    start();
    shared.apu_egt = 540.0;  // still hot from an earlier run
    bed.tick();
    EXPECT_LT(shared.apu_n1_pct, 99.0);
    EXPECT_DOUBLE_EQ(shared.apu_egt, 540.6);
    bed.tick();
    EXPECT_DOUBLE_EQ(shared.apu_egt, 540.8);
}

TEST_F(Apu, climbing_through_25000_ft_drops_the_start_and_above_30000_it_runs_down) {
    run_up();
    set_altitude_ft(26000);
    bed.tick();
    EXPECT_EQ(shared.apu_start_sw, 0);
    EXPECT_EQ(shared.apu_bleed_avail, 1);
    bed.tick(100);
    EXPECT_EQ(shared.apu_bleed_avail, 1);
    set_altitude_ft(31000);
    bed.tick();
    EXPECT_EQ(shared.apu_bleed_avail, 0);
    bed.tick(300);
    EXPECT_EQ(shared.apu_n1_pct, 0.0);
    set_altitude_ft(20000);
    bed.tick(10);
    EXPECT_EQ(shared.apu_n1_pct, 0.0) << "runs again only after a new START";
    bed.click(kPanel, "start");
    EXPECT_GT(ticks_until([] { return shared.apu_bleed_avail == 1; }), 0);
}

TEST_F(Apu, a_start_above_25000_ft_reaches_35_percent_and_is_abandoned) {
    set_altitude_ft(27000);
    start();
    EXPECT_GT(ticks_until([] { return shared.apu_start_sw == 0; }), 0);
    EXPECT_GE(shared.apu_n1_pct, 35.0);
    EXPECT_LT(shared.apu_n1_pct, 35.3);
    bed.tick(200);
    EXPECT_EQ(shared.apu_n1_pct, 0.0);
}

TEST_F(Apu, two_hundred_minutes_burn_the_oil_to_600_and_a_new_start_is_refused) {
    run_up();
    // The oil burns against the simulator clock: step it a minute per frame.
    bed.host().hold(sim::clock_s.token);
    double clock = 0.0;
    auto minutes = [&](int n) {
        for (int i = 0; i < n; ++i) {
            clock += 60.0;
            bed.sim().set(sim::clock_s, clock);
            bed.tick();
        }
    };
    minutes(1);  // starts the oil clock
    EXPECT_EQ(shared.apu_oil_qty, 800u);
    minutes(200);
    EXPECT_EQ(shared.apu_oil_qty, 600u);
    EXPECT_EQ(shared.apu_bleed_avail, 1);
    bed.sim().set(sim::clock_s, clock + 59.9);
    bed.tick();
    EXPECT_EQ(shared.apu_oil_qty, 600u) << "not a minute yet";
    minutes(1);
    EXPECT_EQ(shared.apu_oil_qty, 599u);  // burnt after this tick's start step
    EXPECT_EQ(shared.apu_start_sw, 1);
    bed.tick();
    EXPECT_EQ(shared.apu_start_sw, 0) << "the latched start drops below 600";
    EXPECT_EQ(shared.apu_bleed_avail, 1) << "while the running APU continues";
    bed.click(kPanel, "start");
    bed.tick();
    EXPECT_EQ(shared.apu_start_sw, 0);
}

TEST_F(Apu, failure_runs_it_down_lights_fault_and_raises_the_warning_with_master_on) {
    run_up();
    shared.fail_apu = 1;
    bed.tick();
    EXPECT_EQ(shared.apu_bleed_avail, 0);
    EXPECT_TRUE(bed.shown(kPanel, "fault_light"));
    EXPECT_EQ(shared.mw_apu_fault, 1);
    bed.tick(300);
    EXPECT_EQ(shared.apu_n1_pct, 0.0);
    shared.fail_apu = 0;
    bed.tick();
    EXPECT_FALSE(bed.shown(kPanel, "fault_light"));
    EXPECT_EQ(shared.mw_apu_fault, 0);
}

TEST_F(Apu, inlet_flap_opens_five_seconds_after_master_on) {
    bed.click(kPanel, "master.on");
    bed.tick();
    EXPECT_TRUE(bed.shown(kPanel, "flap_light"));
    bed.tick(89);
    EXPECT_TRUE(bed.shown(kPanel, "flap_light"));
    bed.tick();
    EXPECT_FALSE(bed.shown(kPanel, "flap_light"));
    EXPECT_EQ(read_var(*find_var("apu_flap_state")), 2.0);
    bed.click(kPanel, "master.off");
    bed.tick();
    EXPECT_EQ(read_var(*find_var("apu_flap_state")), 0.0);
}

TEST_F(Apu, indicators_cut_values_above_their_scales) {
    shared.apu_n_pct = 213.0;
    shared.apu_egt = 900.0;
    shared.apu_oil_qty = 5000;
    bed.tick();
    EXPECT_EQ(bed.value("tarvenol apu_ind_n1_n2_t418", "n2_needle"), 120.0);
    EXPECT_EQ(shared.apu_n_pct, 120.0);
    EXPECT_EQ(bed.value("tarvenol apu_ind_egt_t418", "egt_needle"), 700.0);
    EXPECT_EQ(shared.apu_oil_qty, 800u);
}

TEST_F(Apu, nonsense_altitude_and_clock_leave_it_defined) {
    run_up();
    bed.sim().set(sim::altitude_m, std::nan(""));
    bed.sim().set(sim::clock_s, 1e300);
    bed.tick(50);
    EXPECT_EQ(shared.apu_bleed_avail, 0);
    bed.sim().set(sim::altitude_m, -std::numeric_limits<double>::infinity());
    bed.tick(50);
    EXPECT_LE(shared.apu_oil_qty, 800u);
}

}  // namespace
}  // namespace tarvenol::testing
