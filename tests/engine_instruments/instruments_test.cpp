// The engine instruments: slewing needles, counters and maximum pointers on their buses, the N1
// target knob in the thrust rating loop, the secondary instruments' small models, the vibration
// meter and its test, and the reverser annunciators.
#include <cmath>
#include <limits>

#include "module/module_state.h"
#include "power.h"
#include "sound/mixer.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kN1_1 = "tarvenol eng_ind_n1_1_t418";
constexpr const char* kN1_2 = "tarvenol eng_ind_n1_2_t418";
constexpr const char* kFF_1 = "tarvenol eng_ind_ff_1_t418";
constexpr const char* kVib = "tarvenol engomn_vib_t418";
constexpr const char* kVibSw = "tarvenol engomn_vib_sw_t418";
constexpr const char* kRevLeft = "tarvenol rev_voy_left_t418";

// Every bus live, as hold_buses does, for a test that also holds something else.
void hold_buses_now() {
    for (u8* b : {&shared.batt_bus_powered, &shared.dc_bus_powered, &shared.ac_bus_1_powered, &shared.ac_bus_2_powered,
                  &shared.ac_ess_bus_normal, &shared.ac_ess_bus_powered})
        *b = 1;
}
int clicks() { return snd::mixer::state("CLICK").play_once_requests; }

double var(const char* name) { return read_var(*find_var(name)); }
void set_var(const char* name, double v) { write_var(*find_var(name), v); }

class EngineInstruments : public ::testing::Test {
protected:
    TestBed bed;
    void SetUp() override { hold_buses(bed, true); }
};

TEST_F(EngineInstruments, n1_needle_rises_5_a_tick_and_follows_a_fall_at_once) {
    bed.sim().set(sim::eng1_n1_pct, 20.0);
    bed.tick(4);
    ASSERT_EQ(var("n1_1_needle"), 20.0);
    bed.sim().set(sim::eng1_n1_pct, 90.0);
    bed.tick(13);
    EXPECT_EQ(var("n1_1_needle"), 85.0);
    bed.tick();
    EXPECT_EQ(var("n1_1_needle"), 90.0);  // 14 ticks from 20 to 90
    EXPECT_EQ(bed.value(kN1_1, "needle"), 90.0);
    bed.sim().set(sim::eng1_n1_pct, 30.0);
    bed.tick();
    EXPECT_EQ(var("n1_1_needle"), 30.0);
}

TEST_F(EngineInstruments, maximum_pointers_are_pushed_up_by_the_needle_and_stay) {
    EXPECT_EQ(var("n1_1_max_pointer"), 118.0);
    EXPECT_EQ(var("egt_2_max_pointer"), 950.0);
    EXPECT_EQ(var("n2_1_max_pointer"), 112.0);
    bed.sim().set(sim::eng1_n1_pct, 119.6);
    bed.sim().set(sim::eng2_egt, 980.5 * 2.15);
    bed.tick(30);
    EXPECT_EQ(var("n1_1_max_pointer"), 119.0);
    EXPECT_EQ(var("egt_2_max_pointer"), 980.0);
    bed.sim().set(sim::eng1_n1_pct, 20.0);
    bed.tick();
    EXPECT_EQ(var("n1_1_max_pointer"), 119.0);
    EXPECT_EQ(bed.value(kN1_1, "max_pointer"), 119.0);
}

// Each primary instrument dies with its own bus: the needle runs down a step a tick and the
// counter keeps the last powered value.
struct BusCase {
    const char* gauge;
    const char* prefix;
    int token;
    double raw;
    double shown;
    double step;
    u8 SharedState::*bus;
};
const BusCase kBusCases[] = {
    {"tarvenol eng_ind_n1_2_t418", "n1_2", sim::eng2_n1_pct.token, 50.0, 50.0, 5.0, &SharedState::ac_ess_bus_powered},
    {"tarvenol eng_ind_n1_1_t418", "n1_1", sim::eng1_n1_pct.token, 50.0, 50.0, 5.0, &SharedState::batt_bus_powered},
    {"tarvenol eng_ind_ff_1_t418", "ff_1", sim::eng1_fuel_flow_pph.token, 4000.0, 1812.0, 500.0, &SharedState::ac_bus_1_powered},
    {"tarvenol eng_ind_ff_2_t418", "ff_2", sim::eng2_fuel_flow_pph.token, 4000.0, 1812.0, 500.0, &SharedState::ac_bus_2_powered},
    {"tarvenol eng_ind_egt_1_t418", "egt_1", sim::eng1_egt.token, 1075.0, 500.0, 50.0, &SharedState::ac_ess_bus_powered},
    {"tarvenol eng_ind_n2_1_t418", "n2_1", sim::eng1_n2_pct.token, 60.0, 60.0, 5.0, &SharedState::ac_bus_1_powered},
    {"tarvenol eng_ind_n2_2_t418", "n2_2", sim::eng2_n2_pct.token, 60.0, 60.0, 5.0, &SharedState::ac_bus_2_powered},
};

TEST_F(EngineInstruments, each_primary_instrument_runs_down_on_the_loss_of_its_bus_and_freezes_its_counter) {
    for (const BusCase& c : kBusCases) {
        SCOPED_TRACE(c.gauge);
        bed.sim().set_f64(c.token, c.raw);
        bed.tick(40);
        const std::string p = c.prefix;
        ASSERT_NEAR(var((p + "_needle").c_str()), c.shown, 1e-9);
        bed.host().before_each_gauge = [bus = c.bus] {
            hold_buses_now();
            shared.*bus = 0;
        };
        bed.sim().set_f64(c.token, c.raw / 2);
        bed.tick();
        EXPECT_NEAR(var((p + "_needle").c_str()), c.shown - c.step, 1e-9);
        EXPECT_NEAR(var((p + "_counter").c_str()), c.shown, 1e-9);
        bed.tick(40);
        EXPECT_EQ(var((p + "_needle").c_str()), 0.0);
        hold_buses(bed, true);
    }
}

TEST_F(EngineInstruments, n1_counter_rolls_in_the_last_tenth_and_turns_its_tenths) {
    bed.sim().set(sim::eng1_n1_pct, 87.95);
    bed.tick();
    EXPECT_NEAR(bed.value(kN1_1, "drum_100"), 0.0, 1e-9);
    EXPECT_NEAR(bed.value(kN1_1, "drum_10"), 8.0, 1e-9);
    EXPECT_NEAR(bed.value(kN1_1, "drum_1"), 7.5, 1e-6);
    EXPECT_NEAR(bed.value(kN1_1, "drum_tenths"), 9.5, 1e-6);
}

TEST_F(EngineInstruments, fuel_flow_counter_shows_kilograms_an_hour_rolling_in_the_last_kilogram) {
    bed.sim().set(sim::eng1_fuel_flow_pph, 1234.5 / 0.453);
    bed.tick();
    EXPECT_NEAR(bed.value(kFF_1, "drum_1000"), 1.0, 1e-9);
    EXPECT_NEAR(bed.value(kFF_1, "drum_100"), 2.0, 1e-9);
    EXPECT_NEAR(bed.value(kFF_1, "drum_10"), 3.0, 1e-9);
    EXPECT_NEAR(bed.value(kFF_1, "drum_1"), 4.5, 1e-6);
}

TEST_F(EngineInstruments, nonsense_readings_leave_needles_and_counters_on_their_scales) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {-40.0, std::nan(""), -inf, inf}) {
        SCOPED_TRACE(v);
        bed.sim().set(sim::eng1_n1_pct, v);
        bed.sim().set(sim::eng1_fuel_flow_pph, v);
        bed.tick(30);
        const double needle = bed.value(kN1_1, "needle");
        EXPECT_TRUE(needle >= 0.0 && needle <= 120.0) << needle;
        for (const char* d : {"drum_100", "drum_10", "drum_1", "drum_tenths"}) {
            const double p = bed.value(kN1_1, d);
            EXPECT_TRUE(p >= 0.0 && p < 10.0) << d << " " << p;
        }
        for (const char* d : {"drum_1000", "drum_100", "drum_10", "drum_1"}) {
            const double p = bed.value(kFF_1, d);
            EXPECT_TRUE(p >= 0.0 && p < 10.0) << d << " " << p;
        }
    }
    EXPECT_EQ(bed.value(kN1_1, "needle"), 120.0);  // an infinite N1 pins the needle at the stop
    EXPECT_EQ(bed.value(kN1_1, "max_pointer"), 120.0);
    bed.sim().set(sim::eng1_n1_pct, -40.0);
    bed.tick();
    EXPECT_EQ(var("n1_1_counter"), 0.0);  // the counter's clamp is written back
}

// --- The N1 target knob ----------------------------------------------------------------------------

TEST_F(EngineInstruments, with_no_rating_the_knob_sets_the_n1_target) {
    for (int i = 0; i < 3; ++i) bed.click(kN1_1, "n1_target_knob.down");
    bed.click(kN1_2, "n1_target_knob.down");
    bed.tick();
    EXPECT_EQ(var("n1_target_knob"), 96.0);
    EXPECT_EQ(shared.trp_n1_target, 96.0);
    EXPECT_EQ(bed.value(kN1_1, "n1_target_marker"), 96.0);
    EXPECT_EQ(bed.value(kN1_2, "n1_target_marker"), 96.0);
}

TEST_F(EngineInstruments, the_knob_stops_at_0_and_120) {
    set_var("n1_target_knob", 119);
    bed.click(kN1_1, "n1_target_knob.up");
    bed.click(kN1_1, "n1_target_knob.up");
    EXPECT_EQ(var("n1_target_knob"), 120.0);
    set_var("n1_target_knob", 0);
    bed.click(kN1_2, "n1_target_knob.down");
    EXPECT_EQ(var("n1_target_knob"), 0.0);
    set_var("n1_target_knob", 4000);
    bed.tick();
    EXPECT_EQ(bed.value(kN1_2, "n1_target_marker"), 120.0);
    EXPECT_EQ(var("n1_target_knob"), 120.0);
}

TEST_F(EngineInstruments, with_a_rating_selected_the_knob_follows_the_limit_and_engine_2s_turn_is_undone) {
    bed.tick();
    bed.click("tarvenol n1_calc_t418", "to");
    bed.sim().set(sim::air_temp_c, 15.0);
    bed.tick(2);
    EXPECT_NEAR(shared.trp_n1_limit, 109.8, 1e-9);
    EXPECT_EQ(var("n1_target_knob"), 109.0);
    EXPECT_EQ(shared.trp_n1_target, shared.trp_n1_limit);
    bed.click(kN1_1, "n1_target_knob.up");  // refused with a rating selected
    EXPECT_EQ(var("n1_target_knob"), 109.0);
    bed.click(kN1_2, "n1_target_knob.up");
    EXPECT_EQ(var("n1_target_knob"), 110.0);
    bed.tick();
    EXPECT_EQ(var("n1_target_knob"), 109.0);
    // Deselected, the knob keeps the last limit and now sets the target.
    bed.click("tarvenol n1_calc_t418", "to");
    bed.tick();
    EXPECT_EQ(shared.trp_n1_target, 109.0);
}

// --- Secondary instruments -------------------------------------------------------------------------

TEST_F(EngineInstruments, oil_pressure_warns_at_10_or_less_only_with_the_hp_lever_open) {
    struct Case {
        double press;
        u8 lever;
        u8 warning;
    };
    for (const Case c : {Case{10.0, 0, 0}, Case{10.0, 1, 1}, Case{10.1, 1, 0}, Case{0.0, 1, 1}}) {
        shared.hp_lever_2 = c.lever;
        bed.host().before_each_gauge = [lever = c.lever] {
            hold_buses_now();
            shared.hp_lever_2 = lever;
        };
        bed.sim().set(sim::eng2_oil_press, c.press * 130.0);
        bed.tick();
        EXPECT_EQ(shared.mw_eng_2_oil_press, c.warning) << c.press << " lever " << int(c.lever);
    }
}

TEST_F(EngineInstruments, secondary_needles_move_2_a_tick_toward_their_value_and_settle_within_4) {
    bed.sim().set(sim::eng1_oil_temp, (85.0 - 50.0) * 7.0);  // 85 degrees
    bed.tick(60);
    ASSERT_NEAR(var("oil_temp_1_needle"), 85.0, 1e-9);
    bed.sim().set(sim::eng1_oil_temp, (95.0 - 50.0) * 7.0);
    bed.tick();
    EXPECT_NEAR(var("oil_temp_1_needle"), 87.0, 1e-9);
    bed.tick(2);
    EXPECT_NEAR(var("oil_temp_1_needle"), 91.0, 1e-9);
    bed.tick();
    EXPECT_NEAR(var("oil_temp_1_needle"), 95.0, 1e-9);
    bed.sim().set(sim::eng1_oil_temp, (91.5 - 50.0) * 7.0);
    bed.tick();
    EXPECT_NEAR(var("oil_temp_1_needle"), 91.5, 1e-9);  // within 4: taken at once
    hold_buses(bed, false);
    bed.tick();
    EXPECT_NEAR(var("oil_temp_1_needle"), 89.5, 1e-9);
}

TEST_F(EngineInstruments, fuel_pressure_and_oil_quantity_read_their_scaled_values) {
    bed.sim().set(sim::eng2_fuel_press, 20.0);
    bed.sim().set(sim::oil_quantity, 15000.0);
    bed.tick(10);
    EXPECT_NEAR(var("fuel_press_2_needle"), 17.0, 1e-9);
    EXPECT_NEAR(var("oil_qtty_1_needle"), 12.0, 1e-9);
    EXPECT_NEAR(var("oil_qtty_2_needle"), 12.0, 1e-9);
}

TEST_F(EngineInstruments, each_oil_quantity_marker_is_its_own_within_0_to_20) {
    const char* gauge = "tarvenol engomn_oil_qtty_2_t418";
    EXPECT_EQ(var("oil_qtty_2_marker"), 16.0);
    for (int i = 0; i < 6; ++i) bed.click(gauge, "marker.up");
    EXPECT_EQ(var("oil_qtty_2_marker"), 20.0);
    EXPECT_EQ(var("oil_qtty_1_marker"), 16.0);
    for (int i = 0; i < 25; ++i) bed.click(gauge, "marker.down");
    EXPECT_EQ(var("oil_qtty_2_marker"), 0.0);
}

// --- Nacelle temperature ---------------------------------------------------------------------------

TEST_F(EngineInstruments, a_fire_on_a_stopped_engine_heats_the_nacelle_to_between_270_and_280) {
    bed.host().before_each_gauge = [] {
        hold_buses_now();
        shared.eng_1_fire = 1;
    };
    bed.tick(337);  // 0.8 a tick to 270
    EXPECT_NEAR(var("nac_temp_1"), 269.6, 1e-6);
    bed.tick(600);
    EXPECT_GE(var("nac_temp_1"), 270.0);
    EXPECT_LE(var("nac_temp_1"), 280.31);
    EXPECT_EQ(var("nac_temp_2"), 0.0);
}

TEST_F(EngineInstruments, a_running_engine_holds_its_nacelle_near_80_and_a_stopped_one_follows_the_air) {
    bed.sim().set(sim::eng2_n2_pct, 60.0);
    bed.tick(400);
    EXPECT_GE(var("nac_temp_2"), 70.0);
    EXPECT_LE(var("nac_temp_2"), 80.31);
    bed.sim().set(sim::eng2_n2_pct, 0.0);
    bed.sim().set(sim::air_temp_c, 20.0);
    bed.tick();
    const double before = var("nac_temp_2");
    bed.tick(100);
    EXPECT_NEAR(before - var("nac_temp_2"), 1.0, 1e-6);  // cools 0.01 a tick
    set_var("nac_temp_2", 5.0);
    bed.tick();
    EXPECT_NEAR(var("nac_temp_2"), 7.0, 1e-9);  // warms 2 a tick up to the air
    set_var("nac_temp_2", 19.8);
    bed.tick();
    EXPECT_NEAR(var("nac_temp_2"), 20.0, 1e-9);
    bed.sim().set(sim::air_temp_c, -30.0);
    set_var("nac_temp_2", 0.0);
    bed.tick();
    EXPECT_EQ(var("nac_temp_2"), 0.0);  // never below 0
    set_var("nac_temp_2", 9.0);
    hold_buses(bed, false);
    bed.tick(4);
    EXPECT_NEAR(var("nac_temp_2"), 1.0, 1e-9);
    bed.tick();
    EXPECT_EQ(var("nac_temp_2"), 0.0);
}

// --- Vibration -------------------------------------------------------------------------------------

TEST_F(EngineInstruments, vibration_reads_4_times_on_the_fan_and_6_times_on_the_turbine) {
    bed.sim().set(sim::eng1_vibration, 0.5);
    bed.sim().set(sim::eng2_vibration, 1.0);
    bed.tick(30);
    EXPECT_NEAR(var("vib_1_needle"), 2.0, 1e-9);
    EXPECT_NEAR(var("vib_2_needle"), 4.0, 1e-9);
    const int before = clicks();
    bed.click(kVibSw, "vib_pickup_sw.turbine");
    EXPECT_EQ(clicks(), before + 1);
    bed.click(kVibSw, "vib_pickup_sw.turbine");
    EXPECT_EQ(clicks(), before + 1);  // no change, no click
    bed.tick();
    EXPECT_NEAR(var("vib_1_needle"), 2.2, 1e-9);
    bed.tick(30);
    EXPECT_NEAR(bed.value(kVib, "vib_2_needle"), 6.0, 1e-9);
    EXPECT_TRUE(bed.shown(kVibSw, "vib_pickup_sw.turbine"));
}

TEST_F(EngineInstruments, vibration_test_runs_the_needles_to_28) {
    bed.tick();
    bed.click(kVibSw, "test");
    EXPECT_EQ(var("vib_test"), 1.0);
    bed.tick(139);
    EXPECT_EQ(var("vib_test"), 1.0);
    EXPECT_NEAR(var("vib_1_needle"), 27.8, 1e-6);
    bed.tick(2);  // 28 reached (0.2 a tick adds up a hair under 28 after 140)
    EXPECT_EQ(var("vib_test"), 0.0);
    EXPECT_GE(var("vib_2_needle"), 28.0);
}

TEST_F(EngineInstruments, the_vibration_test_needs_ac_bus_1_and_ends_when_it_is_lost) {
    hold_buses(bed, false);
    bed.tick();
    bed.click(kVibSw, "test");
    EXPECT_EQ(var("vib_test"), 0.0);
    hold_buses(bed, true);
    bed.tick();
    bed.click(kVibSw, "test");
    bed.tick(20);
    ASSERT_EQ(var("vib_test"), 1.0);
    const double up = var("vib_1_needle");
    hold_buses(bed, false);
    bed.tick();
    EXPECT_EQ(var("vib_test"), 0.0);
    EXPECT_NEAR(var("vib_1_needle"), up - 0.2, 1e-9);
    bed.tick();
    EXPECT_NEAR(var("vib_1_needle"), up - 0.4, 1e-9);  // well above its target: runs down
    bed.sim().set(sim::eng1_vibration, (up - 0.6) / 4.0);
    bed.tick();
    EXPECT_EQ(var("vib_1_needle"), 0.0);  // within 0.4 of its target: dropped
}

// --- Reverser annunciators -------------------------------------------------------------------------

TEST_F(EngineInstruments, reverser_unlocks_for_36_ticks_each_way_rev_after_30_out_and_6_back) {
    bed.tick();
    bed.sim().set(sim::eng1_reverser, 0.5);
    int unlocked = 0, rev_dark = 0;
    for (int i = 0; i < 50; ++i) {
        bed.tick();
        unlocked += bed.shown(kRevLeft, "rev_unlk_light");
        rev_dark += !bed.shown(kRevLeft, "rev_light");
    }
    EXPECT_EQ(unlocked, 36);
    EXPECT_EQ(rev_dark, 30);
    EXPECT_EQ(var("rev_1_deployed"), 1.0);
    bed.sim().set(sim::eng1_reverser, 0.0);
    int rev_lit = 0;
    unlocked = 0;
    for (int i = 0; i < 50; ++i) {
        bed.tick();
        unlocked += bed.shown(kRevLeft, "rev_unlk_light");
        rev_lit += bed.shown(kRevLeft, "rev_light");
    }
    EXPECT_EQ(unlocked, 36);
    EXPECT_EQ(rev_lit, 6);
    EXPECT_EQ(var("rev_1_deployed"), 0.0);
    // A second deployment is timed afresh.
    bed.sim().set(sim::eng1_reverser, 1.0);
    bed.tick(36);
    EXPECT_TRUE(bed.shown(kRevLeft, "rev_unlk_light"));
    bed.tick();
    EXPECT_FALSE(bed.shown(kRevLeft, "rev_unlk_light"));
}

TEST_F(EngineInstruments, reverser_lamps_light_for_the_lamp_test_and_are_dark_without_the_battery_bus) {
    bed.host().before_each_gauge = [] {
        hold_buses_now();
        shared.ann_lt_test = 1;
    };
    bed.tick();
    EXPECT_TRUE(bed.shown("tarvenol rev_voy_right_t418", "rev_unlk_light"));
    EXPECT_TRUE(bed.shown("tarvenol rev_voy_right_t418", "rev_light"));
    bed.host().before_each_gauge = [] { shared.batt_bus_powered = 0; };
    bed.sim().set(sim::eng2_reverser, 1.0);
    bed.tick();
    EXPECT_FALSE(bed.shown("tarvenol rev_voy_right_t418", "rev_unlk_light"));
    EXPECT_FALSE(bed.shown("tarvenol rev_voy_right_t418", "rev_light"));
    EXPECT_EQ(var("rev_2_deployed"), 0.0);
}

}  // namespace
}  // namespace tarvenol::testing
