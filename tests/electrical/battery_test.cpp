// The batteries: their current, the charge against the clock (discharge rates and durations, the
// seconds carried over an all-OFF pause, charging and its taper), their connection flow bars, the
// DC essential bus and the start-up wake of the simulator's electrics.
#include <limits>

#include "electrics.h"

namespace tarvenol::testing {
namespace {

class BatteryPanel : public Electrics {};

TEST_F(BatteryPanel, discharges_at_50_amps_with_no_ac_source_for_1800_clock_seconds_then_the_bus_goes_dark) {
    tick(2);
    EXPECT_EQ(shared.batt_current, -50);
    EXPECT_EQ(value(kDcAmmeter, "dc_amps_needle"), -50.0);
    run_clock(600);
    EXPECT_EQ(shared.batt_charge, 1200u);
    run_clock(1199);
    EXPECT_EQ(shared.batt_charge, 1u);
    EXPECT_EQ(shared.batt_bus_powered, 1);
    run_clock(1);
    EXPECT_EQ(shared.batt_charge, 0u);
    EXPECT_EQ(shared.batt_bus_powered, 0);
    run_clock(600);
    EXPECT_EQ(shared.batt_bus_powered, 0);
    EXPECT_FALSE(shown(kBattPanel, "batt_1_bar.in_line"));
}

TEST_F(BatteryPanel, discharges_at_10_amps_at_minimum_equipment_lasting_three_times_as_long) {
    bed.click(kExtPwrPanel, "ess_bus.min_eqpt");
    tick(2);
    EXPECT_EQ(shared.batt_current, -10);
    run_clock(5398);
    EXPECT_EQ(shared.batt_charge, 1u);
    EXPECT_EQ(shared.batt_bus_powered, 1);
    run_clock(2);
    EXPECT_EQ(shared.batt_charge, 0u);
    EXPECT_EQ(shared.batt_bus_powered, 0);
}

TEST_F(BatteryPanel, charges_one_unit_per_second_to_1750_then_tapers_to_0_amps_at_full) {
    shared.batt_charge = 1700;
    with_engine_generators();
    bed.click(kDcPanel, "dc_tie.split");
    tick(2);
    ASSERT_EQ(shared.tr_ess_on, 1);
    EXPECT_EQ(shared.batt_current, 50);
    run_clock(50);
    tick();
    EXPECT_EQ(shared.batt_charge, 1750u);
    EXPECT_EQ(shared.batt_current, 50);
    run_clock(10);
    tick();
    EXPECT_EQ(shared.batt_charge, 1760u);
    EXPECT_EQ(shared.batt_current, 40);
    run_clock(40);
    tick();
    EXPECT_EQ(shared.batt_charge, 1800u);
    EXPECT_EQ(shared.batt_current, 0);
}

TEST_F(BatteryPanel, an_ac_source_that_does_not_reach_the_essential_bus_leaves_the_batteries_discharging) {
    with_engine_generators();
    bed.click(kDcPanel, "tr_ess.off");
    tick(2);
    EXPECT_EQ(shared.ac_bus_1_powered, 1);
    EXPECT_EQ(shared.batt_current, -50);
}

TEST_F(BatteryPanel, a_battery_at_norm_shows_its_bar_in_line_only_while_current_flows) {
    bed.click(kBattPanel, "batt_2.on");
    bed.click(kBattPanel, "batt_3.off");
    tick(3);
    EXPECT_TRUE(shown(kBattPanel, "batt_1_bar.in_line"));
    EXPECT_TRUE(shown(kBattPanel, "batt_2_bar.in_line"));
    EXPECT_TRUE(shown(kBattPanel, "batt_3_bar.cross_line"));
    // Full and idle on the generators: NORM drops off the bus, ON stays.
    with_engine_generators();
    ASSERT_EQ(shared.batt_current, 0);
    EXPECT_TRUE(shown(kBattPanel, "batt_1_bar.cross_line"));
    EXPECT_FALSE(shown(kBattPanel, "batt_1_bar.in_line"));
    EXPECT_TRUE(shown(kBattPanel, "batt_2_bar.in_line"));
    EXPECT_FALSE(shown(kBattPanel, "batt_2_bar.cross_line"));
}

TEST_F(BatteryPanel, connection_bars_show_what_the_previous_tick_left) {
    tick();
    EXPECT_EQ(shared.batt_bus_powered, 1);  // alive since this tick, after the bars were drawn
    EXPECT_FALSE(shown(kBattPanel, "batt_1_bar.in_line"));
    tick();
    EXPECT_TRUE(shown(kBattPanel, "batt_1_bar.in_line"));
    bed.click(kBattPanel, "batt_1.off");
    tick();
    EXPECT_EQ(shared.batt_1_connected, 0);
    EXPECT_TRUE(shown(kBattPanel, "batt_1_bar.in_line"));
    tick();
    EXPECT_TRUE(shown(kBattPanel, "batt_1_bar.cross_line"));
}

TEST_F(BatteryPanel, a_switch_click_plays_the_click_once_and_not_when_the_position_is_already_stored) {
    const auto before = clicks_played();
    bed.click(kBattPanel, "batt_1.off");
    bed.click(kBattPanel, "batt_1.off");
    EXPECT_EQ(clicks_played(), before + 1);
    bed.click(kBattPanel, "batt_1.on");
    EXPECT_EQ(clicks_played(), before + 2);
    tick();
    EXPECT_TRUE(shown(kBattPanel, "batt_1_sw.on"));
    EXPECT_FALSE(shown(kBattPanel, "batt_1_sw.off"));
    EXPECT_TRUE(shown(kBattPanel, "batt_2_sw.norm"));
}

TEST_F(BatteryPanel, seconds_of_discharge_are_carried_across_an_all_off_pause) {
    tick();
    run_clock(600);
    with_batteries_off();
    tick();
    run_clock(300);
    EXPECT_EQ(shared.batt_charge, 1200u);
    EXPECT_EQ(shared.batt_bus_powered, 0);
    with_batteries_on();
    tick();
    EXPECT_EQ(shared.batt_charge, 1200u);
    run_clock(100);
    EXPECT_EQ(shared.batt_charge, 1100u);
    EXPECT_EQ(var("batt_used"), 700.0);
}

TEST_F(BatteryPanel, a_discharge_after_a_full_idle_battery_counts_from_zero_again) {
    with_engine_generators();
    run_clock(50);
    with_engines_stopped();
    tick(2);
    run_clock(30);
    EXPECT_EQ(shared.batt_charge, 1770u);
    EXPECT_EQ(var("batt_used"), 30.0);
}

// A battery never gains charge while it discharges: a discharge goes on from the charge it starts
// at, and a change of rate from the charge reached.

TEST_F(BatteryPanel, a_discharge_after_a_partial_recharge_goes_on_from_the_charge_reached) {
    tick();
    run_clock(600);
    with_engine_generators();
    run_clock(300);
    const u32 recharged = shared.batt_charge;
    ASSERT_GT(recharged, 1200u);
    ASSERT_LT(recharged, 1800u);
    with_engines_stopped();
    tick(2);
    ASSERT_EQ(shared.batt_current, -50);
    EXPECT_EQ(shared.batt_charge, recharged);
    run_clock(100);
    EXPECT_EQ(shared.batt_charge, recharged - 100);
}

TEST_F(BatteryPanel, a_change_between_50_and_10_amps_goes_on_from_the_charge_reached) {
    tick();
    run_clock(900);
    ASSERT_EQ(shared.batt_charge, 900u);
    bed.click(kExtPwrPanel, "ess_bus.min_eqpt");
    tick(2);
    ASSERT_EQ(shared.batt_current, -10);
    EXPECT_EQ(shared.batt_charge, 900u);
    run_clock(300);
    EXPECT_EQ(shared.batt_charge, 800u);
    bed.click(kExtPwrPanel, "ess_bus.norm_eqpt");
    tick(2);
    ASSERT_EQ(shared.batt_current, -50);
    EXPECT_EQ(shared.batt_charge, 800u);
    run_clock(100);
    EXPECT_EQ(shared.batt_charge, 700u);
}

TEST_F(BatteryPanel, never_gains_charge_while_discharging_even_when_the_clock_goes_back) {
    tick();
    run_clock(600);
    set_clock(clock() - 300);
    tick();
    EXPECT_EQ(shared.batt_charge, 1200u);
    run_clock(10);
    EXPECT_EQ(shared.batt_charge, 1190u);
}

// --- The essential bus without batteries ----------------------------------------------------------

TEST_F(BatteryPanel, the_essential_tr_with_ac_bus_1_keeps_the_bus_alive_with_the_batteries_off) {
    with_engine_generators();
    with_batteries_off();
    bed.click(kDcPanel, "dc_tie.split");
    tick(2);
    EXPECT_EQ(shared.batt_bus_powered, 1);
    EXPECT_EQ(shared.batt_bus_fed_by_dc_bus, 0);
}

TEST_F(BatteryPanel, dc_tie_split_with_everything_off_leaves_the_essential_bus_unpowered) {
    with_engine_generators();
    with_batteries_off();
    bed.click(kDcPanel, "tr_ess.off");
    tick(3);
    ASSERT_EQ(shared.batt_bus_fed_by_dc_bus, 1);
    EXPECT_TRUE(shown(kDcPanel, "dc_tie_bar.in_line"));
    bed.click(kDcPanel, "dc_tie.split");
    tick(2);
    EXPECT_EQ(shared.dc_bus_powered, 1);
    EXPECT_EQ(shared.batt_bus_powered, 0);
    EXPECT_FALSE(shown(kDcPanel, "dc_tie_bar.in_line"));
    EXPECT_FALSE(shown(kDcPanel, "dc_tie_bar.cross_line"));
}

// --- The simulator's own electrics ------------------------------------------------------------

TEST_F(BatteryPanel, a_live_simulator_bus_on_the_first_tick_sends_no_key_event_ever) {
    bed.sim().set_f64(token::sim_bus_volts, 12.0);
    bed.tick();
    bed.sim().set_f64(token::sim_bus_volts, 0.0);
    bed.tick(200);
    EXPECT_EQ(bed.sent_count(key::master_battery_toggle), 0);
}

TEST_F(BatteryPanel, a_dead_simulator_bus_on_the_first_tick_toggles_its_master_battery_once) {
    bed.sim().set_f64(token::sim_bus_volts, 0.0);
    bed.tick(200);
    ASSERT_EQ(bed.sent_count(key::master_battery_toggle), 1);
    for (const auto& k : bed.host().key_events()) {
        if (k.id == key::master_battery_toggle.id) {
            EXPECT_EQ(k.value, 0u);
        }
    }
}

// --- An undefined clock -------------------------------------------------------------------------

struct ClockCase {
    double clock;
    bool charging;
};

class BatteryClock : public Electrics, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(BatteryClock, an_undefined_or_runaway_clock_leaves_the_charge_within_its_range) {
    shared.batt_charge = 900;
    if (GetParam().charging) {
        with_engines_running();
        with_generators_on();
    }
    tick(6);
    ASSERT_EQ(shared.batt_current, GetParam().charging ? 50 : -50);
    set_clock(GetParam().clock);
    tick(3);
    set_clock(kClockStart + 10);
    tick(3);
    EXPECT_LE(shared.batt_charge, GetParam().charging ? 1800u : 900u);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Clocks, BatteryClock,
                         ::testing::Values(ClockCase{kNaN, false}, ClockCase{kNaN, true}, ClockCase{kInf, false},
                                           ClockCase{kInf, true}, ClockCase{-kInf, true}, ClockCase{-1e300, false},
                                           ClockCase{4294967296.0, true}));

}  // namespace
}  // namespace tarvenol::testing
