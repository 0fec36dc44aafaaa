// The pedestal levers: speed brake and ground spoilers, thrust levers and their read-out, the flap
// lever and the parking brake, and how the stand-in aircraft answers their key events.
#include "host/aircraft_model.h"
#include "host/simulator.h"
#include "module/module_state.h"
#include "power.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kSpdBrk = "tarvenol spd_brk_lev_t418";
constexpr const char* kThrottles = "tarvenol throttles_t418";
constexpr const char* kThrNum = "tarvenol throttles_num_t418";
constexpr const char* kFlaps = "tarvenol flaps_lev_t418";
constexpr const char* kParkBrk = "tarvenol park_brk_lev_t418";

double var(const char* name) { return read_var(*find_var(name)); }
void set_var(const char* name, double v) { write_var(*find_var(name), v); }

class Levers : public ::testing::Test {
protected:
    TestBed bed;
    void SetUp() override {
        hold_buses(bed, true);
        with_pressure(true);
    }
    // Yellow pressure (spoilers and flaps) and the battery bus, held before every gauge.
    void with_pressure(bool yellow) {
        bed.host().before_each_gauge = [yellow] {
            for (u8* b : {&shared.batt_bus_powered, &shared.dc_bus_powered, &shared.ac_bus_1_powered,
                          &shared.ac_bus_2_powered, &shared.ac_ess_bus_normal, &shared.ac_ess_bus_powered})
                *b = 1;
            shared.hyd_yellow_status = yellow ? 1 : 0;
            shared.hyd_blue_status = 0;
            shared.hyd_green_status = 0;
        };
        bed.tick();
    }
    void arm_spoilers(double on_ground) {
        bed.sim().set(sim::on_ground, on_ground);
        bed.click(kSpdBrk, "gnd_spoiler.arm");
    }
};

// --- Speed brake and ground spoilers ---------------------------------------------------------------

TEST_F(Levers, the_speed_brake_lever_sets_the_spoilers_a_step_at_a_time_up_to_16000) {
    bed.click(kSpdBrk, "spd_brk_lever.extend");
    EXPECT_EQ(bed.sent_value(key::spoilers_set), 1000u);
    set_var("spd_brk_lever", 15000);
    bed.click(kSpdBrk, "spd_brk_lever.extend");
    EXPECT_EQ(bed.sent_value(key::spoilers_set), 16000u);
    bed.click(kSpdBrk, "spd_brk_lever.extend");
    EXPECT_EQ(var("spd_brk_lever"), 16000.0);
    set_var("spd_brk_lever", 1000);
    bed.click(kSpdBrk, "spd_brk_lever.retract");
    EXPECT_EQ(bed.sent_value(key::spoilers_set), 0u);
    set_var("spd_brk_lever", 600);
    bed.click(kSpdBrk, "spd_brk_lever.retract");
    EXPECT_EQ(var("spd_brk_lever"), 0.0);
    set_var("spd_brk_lever", -32768);  // a preset's nonsense comes back to the stops
    bed.click(kSpdBrk, "spd_brk_lever.retract");
    EXPECT_EQ(var("spd_brk_lever"), 0.0);
}

TEST_F(Levers, without_pressure_the_lever_moves_but_sends_nothing_and_arming_is_refused) {
    with_pressure(false);
    bed.tick();
    bed.click(kSpdBrk, "spd_brk_lever.extend");
    bed.click(kSpdBrk, "spd_brk_lever.extend");
    EXPECT_EQ(var("spd_brk_lever"), 2000.0);
    EXPECT_FALSE(bed.sent(key::spoilers_set));
    bed.click(kSpdBrk, "spd_brk_lever.retract");
    arm_spoilers(1.0);
    EXPECT_EQ(var("spd_brk_lever"), 0.0);  // the lever still goes to the notch
    EXPECT_EQ(var("gnd_spoiler_state"), 0.0);
}

TEST_F(Levers, arming_needs_the_lever_near_retracted_and_a_step_disarms) {
    set_var("spd_brk_lever", 2000);
    arm_spoilers(1.0);
    EXPECT_EQ(var("gnd_spoiler_state"), 0.0);
    set_var("spd_brk_lever", 1999);
    arm_spoilers(1.0);
    EXPECT_EQ(var("gnd_spoiler_state"), 1.0);
    EXPECT_EQ(var("gnd_spoiler_arming_phase"), 1.0);
    bed.tick();
    EXPECT_TRUE(bed.shown(kSpdBrk, "gnd_spoiler_armed_light"));
    EXPECT_EQ(bed.value(kSpdBrk, "spd_brk_lever_upper"), 50.0);  // the ARM notch
    bed.click(kSpdBrk, "spd_brk_lever.extend");
    EXPECT_EQ(var("gnd_spoiler_state"), 0.0);
    EXPECT_EQ(var("gnd_spoiler_arming_phase"), 0.0);
}

TEST_F(Levers, a_rejected_take_off_deploys_the_ground_spoilers_once_the_throttle_comes_back) {
    arm_spoilers(1.0);
    bed.sim().set(sim::eng1_throttle_lever, 1.0);
    bed.sim().set(sim::eng1_n1_pct, 90.7);
    bed.tick();
    EXPECT_EQ(var("gnd_spoiler_peak_n1"), 90.0);
    EXPECT_FALSE(bed.sent(key::spoilers_deploy));
    bed.sim().set(sim::eng1_n1_pct, 70.0);
    bed.sim().set(sim::eng1_throttle_lever, 0.59);
    bed.tick();
    EXPECT_TRUE(bed.sent(key::spoilers_deploy));
    EXPECT_EQ(var("gnd_spoiler_state"), 2.0);
    EXPECT_EQ(var("spd_brk_lever"), 16001.0);
    EXPECT_EQ(var("gnd_spoiler_peak_n1"), 0.0);
}

TEST_F(Levers, a_take_off_run_that_peaked_at_84_does_not_deploy) {
    arm_spoilers(1.0);
    bed.sim().set(sim::eng1_n1_pct, 84.9);
    bed.tick();
    bed.sim().set(sim::eng1_throttle_lever, 0.0);
    bed.tick(5);
    EXPECT_FALSE(bed.sent(key::spoilers_deploy));
    EXPECT_EQ(var("gnd_spoiler_state"), 1.0);
}

TEST_F(Levers, armed_in_flight_the_spoilers_deploy_on_the_first_tick_on_the_ground) {
    arm_spoilers(0.0);
    EXPECT_EQ(var("gnd_spoiler_arming_phase"), 2.0);
    bed.tick(10);
    EXPECT_FALSE(bed.sent(key::spoilers_deploy));
    bed.sim().set(sim::on_ground, 1.0);
    bed.tick();
    EXPECT_EQ(bed.sent_count(key::spoilers_deploy), 1);
    EXPECT_EQ(var("spd_brk_lever"), 16001.0);
}

TEST_F(Levers, the_lever_follows_full_spoilers_and_resets_when_they_are_back_in) {
    bed.sim().set(sim::spoiler_handle, 16384.0);
    bed.tick();
    EXPECT_EQ(var("spd_brk_lever"), 16001.0);
    bed.sim().set(sim::spoiler_handle, 1.0);
    bed.tick();
    EXPECT_EQ(var("spd_brk_lever"), 0.0);
    EXPECT_EQ(var("gnd_spoiler_arming_phase"), 0.0);
}

// --- Thrust levers and their read-out --------------------------------------------------------------

TEST_F(Levers, thrust_lever_clicks_repeat_while_held_and_send_each_engines_events) {
    const struct {
        const char* area;
        KeyEvent event;
    } cases[] = {{"throttle_1.up", key::eng1_throttle_up},
                 {"throttle_1.down", key::eng1_throttle_down},
                 {"throttle_2.up", key::eng2_throttle_up},
                 {"throttle_2.down", key::eng2_throttle_down}};
    const GaugeInfo& g = TestBed::gauge(kThrottles);
    for (const auto& c : cases) {
        bed.tick();
        bed.click(kThrottles, c.area);
        EXPECT_EQ(bed.sent_count(c.event), 1) << c.area;
        std::size_t i = 0;
        ASSERT_TRUE(find_area(g, c.area, &i));
        EXPECT_TRUE(g.rects[i + 1].mouse_flags & abi::MOUSE_DOWN_REPEAT) << c.area;
    }
}

TEST_F(Levers, thrust_lever_pictures_move_with_the_simulators_levers) {
    bed.sim().set(sim::eng2_throttle_lever, 0.29);
    bed.tick();
    EXPECT_NEAR(bed.value(kThrottles, "throttle_2_upper"), 20.0, 1e-9);
    EXPECT_NEAR(bed.value(kThrottles, "throttle_2_lower"), 29.0 / 1.88, 1e-9);
    bed.sim().set(sim::eng2_throttle_lever, std::nan(""));
    bed.tick();
    EXPECT_EQ(bed.value(kThrottles, "throttle_2_upper"), 0.0);
}

TEST_F(Levers, the_read_out_shows_tenths_and_hundredths_of_lever_travel_and_zeros_in_reverse) {
    struct Case {
        double p;
        double reverser;
        double tens;
        double units;
    };
    bed.click(kThrNum, "readout");
    for (const Case c : {Case{0.9375, 0.0, 9, 3}, Case{0.25, 0.0, 2, 5}, Case{1.0, 0.0, 0, 0}, Case{0.0, 0.0, 0, 0},
                         Case{-1.0, 1.0, 0, 0}, Case{-0.5, 1.0, 0, 0}, Case{-0.4, 0.0, 0, 0}, Case{0.5, 1.0, 0, 0}}) {
        bed.sim().set(sim::eng1_throttle_lever, c.p);
        bed.sim().set(sim::eng1_reverser, c.reverser);
        bed.tick();
        EXPECT_EQ(bed.value(kThrNum, "throttle_1_tens_drum"), c.tens) << c.p << " reverser " << c.reverser;
        EXPECT_EQ(bed.value(kThrNum, "throttle_1_units_drum"), c.units) << c.p << " reverser " << c.reverser;
    }
}

TEST_F(Levers, the_read_out_is_hidden_until_switched_on) {
    EXPECT_FALSE(bed.shown(kThrNum, "throttle_2_tens_drum"));
    bed.click(kThrNum, "readout");
    bed.tick();
    EXPECT_TRUE(bed.shown(kThrNum, "throttle_2_tens_drum"));
    bed.click(kThrNum, "readout");
    bed.tick();
    EXPECT_FALSE(bed.shown(kThrNum, "throttle_2_units_drum"));
}

// --- Flap lever ------------------------------------------------------------------------------------

TEST_F(Levers, with_pressure_the_flap_lever_steps_the_flaps_and_follows_the_simulator) {
    bed.click(kFlaps, "flaps_lever.down");
    EXPECT_TRUE(bed.sent(key::flaps_extend_step));
    bed.click(kFlaps, "flaps_lever.up");
    EXPECT_TRUE(bed.sent(key::flaps_retract_step));
    EXPECT_EQ(var("flaps_lever_pos"), 0.0);  // the clicks move the flaps, not the lever
    bed.sim().set(sim::flap_handle, 8192.0);
    bed.tick();
    EXPECT_EQ(var("flaps_lever_pos"), 38.0);
    bed.sim().set(sim::flap_handle, 16383.0);
    bed.tick();
    EXPECT_EQ(bed.value(kFlaps, "flaps_lever"), 76.0);
}

TEST_F(Levers, without_pressure_the_flap_lever_moves_alone_in_steps_of_19) {
    with_pressure(false);
    bed.sim().set(sim::flap_handle, 8192.0);
    int down[5], up[5];
    for (int& p : down) {
        bed.click(kFlaps, "flaps_lever.down");
        p = static_cast<int>(var("flaps_lever_pos"));
    }
    for (int& p : up) {
        bed.click(kFlaps, "flaps_lever.up");
        p = static_cast<int>(var("flaps_lever_pos"));
    }
    EXPECT_EQ(std::vector<int>(down, down + 5), (std::vector<int>{19, 38, 57, 77, 77}));
    EXPECT_EQ(std::vector<int>(up, up + 5), (std::vector<int>{58, 39, 20, 1, 0}));
    EXPECT_FALSE(bed.sent(key::flaps_extend_step));
    set_var("flaps_lever_pos", 200);
    bed.tick();
    EXPECT_EQ(var("flaps_lever_pos"), 77.0);
}

// --- Parking brake ---------------------------------------------------------------------------------

TEST_F(Levers, the_parking_brake_warns_only_when_set_on_the_ground) {
    struct Case {
        double brake;
        double on_ground;
        u8 warning;
    };
    for (const Case c : {Case{1.0, 1.0, 1}, Case{0.99, 1.0, 0}, Case{1.0, 0.0, 0}, Case{32767.0, 1.0, 1}}) {
        bed.sim().set(sim::parking_brake, c.brake);
        bed.sim().set(sim::on_ground, c.on_ground);
        bed.tick();
        EXPECT_EQ(shared.mw_park_brake, c.warning) << c.brake << " on ground " << c.on_ground;
        EXPECT_EQ(bed.shown(kParkBrk, "park_brake.set"), c.warning == 1);
        EXPECT_EQ(bed.shown(kParkBrk, "park_brake.released"), c.warning == 0);
    }
    EXPECT_EQ(bed.gauge(kParkBrk).area_count, 0u) << "the simulator's own key sets the brake";
}

// --- The stand-in aircraft ---------------------------------------------------------------------------

class LeverModel : public ::testing::Test {
protected:
    host::Simulator sim;
    host::AircraftModel& model = sim.model();
    host::SimVars& v = sim.vars();
    void key(KeyEvent e, std::uint32_t value = 0) { model.key_event(e.id, value); }
};

TEST_F(LeverModel, throttle_events_move_the_lever_a_sixteenth_within_its_travel) {
    for (int i = 0; i < 20; ++i) key(key::eng1_throttle_up);
    EXPECT_EQ(v.get(sim::eng1_throttle_lever), 1.0);
    key(key::eng1_throttle_down);
    EXPECT_EQ(v.get(sim::eng1_throttle_lever), 0.9375);
    for (int i = 0; i < 40; ++i) key(key::eng2_throttle_down);
    EXPECT_EQ(v.get(sim::eng2_throttle_lever), -1.0);
    EXPECT_EQ(v.get(sim::eng1_throttle_lever), 0.9375);
}

TEST_F(LeverModel, spoilers_flaps_and_parking_brake_follow_their_events) {
    key(key::spoilers_set, 5000);
    EXPECT_EQ(v.get(sim::spoiler_handle), 5000.0);
    EXPECT_EQ(v.get(sim::spoiler_left_pos), 5000.0);
    key(key::spoilers_deploy);
    EXPECT_EQ(v.get(sim::spoiler_right_pos), 16384.0);
    for (int i = 0; i < 6; ++i) key(key::flaps_extend_step);
    EXPECT_EQ(v.get(sim::flap_handle), 16383.0);
    key(key::flaps_retract_step);
    EXPECT_EQ(v.get(sim::flap_pos), 16383.0 - 4096.0);
    key(key::parking_brake_toggle);
    EXPECT_EQ(v.get(sim::parking_brake), 1.0);
    key(key::parking_brake_toggle);
    EXPECT_EQ(v.get(sim::parking_brake), 0.0);
}

TEST_F(LeverModel, a_running_engine_spools_to_the_thrust_asked_and_reverses_once_its_reverser_is_out) {
    v.set(sim::tank_center_level, 8388608.0);
    v.set(sim::tank_center_capacity_gal, 10000.0);
    v.set(sim::eng1_fuel_selector, 6);
    v.set(sim::eng1_fuel_valve, 1.0);
    v.set(sim::eng1_mixture, 16384.0);
    v.set(sim::eng1_n2_pct, 60.0);
    for (int i = 0; i < 5; ++i) model.step();
    EXPECT_NEAR(v.get(sim::eng1_n1_pct), 22.0, 1e-9);
    v.set(sim::eng1_throttle_lever, 1.0);
    for (int i = 0; i < 18 * 20; ++i) model.step();
    EXPECT_NEAR(v.get(sim::eng1_n1_pct), 110.0, 1e-9);
    EXPECT_NEAR(v.get(sim::eng1_fuel_flow_pph), 13000.0, 1e-6);
    v.set(sim::eng1_throttle_lever, -1.0);
    for (int i = 0; i < 18 * 20; ++i) model.step();
    EXPECT_EQ(v.get(sim::eng1_reverser), 1.0);
    EXPECT_NEAR(v.get(sim::eng1_n2_pct), 60.0 + 0.7 * 40.0, 1e-9);
    v.set(sim::eng1_throttle_lever, 0.0);
    for (int i = 0; i < 18 * 20; ++i) model.step();
    EXPECT_EQ(v.get(sim::eng1_reverser), 0.0);
    EXPECT_NEAR(v.get(sim::eng1_n1_pct), 22.0, 1e-9);
}

}  // namespace
}  // namespace tarvenol::testing
