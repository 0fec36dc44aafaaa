// The flight-control panel: servo levers and their JAM test, rudder travel limiters, low-speed
// aileron connection, yaw dampers, pitch trim, the stabiliser angle protection and the WROOF
// runaway monitor.
#include <cmath>

#include "power.h"
#include "sound/mixer.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kServos = "tarvenol servo_controls_t418";
constexpr const char* kRudder = "tarvenol rudder_travel_t418";
constexpr const char* kLoSpdAil = "tarvenol lo_spd_ail_t418";
constexpr const char* kYaw = "tarvenol yaw_t418";
constexpr double kTrimComputerPi = 3.14116;

// Every bus powered; each hydraulic system pressurised unless the test takes it away.
class FlightControls : public ::testing::Test {
protected:
    TestBed bed;
    u8 batt = 1, dc = 1, blue = 1, green = 1, yellow = 1;
    void SetUp() override {
        bed.host().before_each_gauge = [this] {
            shared.batt_bus_powered = batt;
            shared.dc_bus_powered = dc;
            shared.ac_bus_1_powered = shared.ac_bus_2_powered = shared.ac_ess_bus_normal = 1;
            shared.hyd_blue_status = blue;
            shared.hyd_green_status = green;
            shared.hyd_yellow_status = yellow;
            shared.hyd_blue_press = shared.hyd_green_press = shared.hyd_yellow_press = 3000;
        };
    }
    double var(const char* name) { return read_var(*find_var(name)); }
    unsigned clicks() { return snd::mixer::state("CLICK").play_once_requests; }
    void trim_angle_deg(double deg) { bed.sim().set(sim::protection_angle_rad, deg * kTrimComputerPi / 180.0); }
    void engage_yaw_dampers() {
        bed.click(kYaw, "yaw_damper_1.engaged");
        bed.click(kYaw, "yaw_damper_2.engaged");
    }
};

TEST_F(FlightControls, at_most_two_servo_levers_go_to_off) {
    bed.click(kServos, "blue.off");
    bed.click(kServos, "green.off");
    bed.click(kServos, "yellow.off");
    EXPECT_EQ(var("servo_lever_blue"), 57);
    EXPECT_EQ(var("servo_lever_green"), 57);
    EXPECT_EQ(var("servo_lever_yellow"), 30) << "the third lever stays where it was";
    bed.click(kServos, "green.on");
    bed.click(kServos, "yellow.off");
    EXPECT_EQ(var("servo_lever_yellow"), 57);
    bed.tick();
    EXPECT_FALSE(bed.shown(kServos, "yellow_press_flag"));
    EXPECT_TRUE(bed.shown(kServos, "green_press_flag"));
}

TEST_F(FlightControls, the_jam_test_on_the_ground_latches_until_the_lever_goes_off_or_the_battery_bus_is_lost) {
    bed.sim().set(sim::on_ground, 1.0);
    bed.click(kServos, "blue.test");
    bed.tick();
    EXPECT_TRUE(bed.shown(kServos, "blue_jam_lamp"));
    EXPECT_EQ(shared.mw_servo_fault, 1);
    bed.click(kServos, "blue.on");
    bed.tick(5);
    EXPECT_TRUE(bed.shown(kServos, "blue_jam_lamp")) << "stays lit back at ON";
    EXPECT_EQ(shared.mw_servo_fault, 1);
    bed.click(kServos, "blue.off");
    bed.tick();
    EXPECT_FALSE(bed.shown(kServos, "blue_jam_lamp"));
    EXPECT_EQ(shared.mw_servo_fault, 0);

    bed.click(kServos, "green.test");
    bed.tick();
    batt = 0;
    bed.tick();
    EXPECT_FALSE(bed.shown(kServos, "green_jam_lamp"));
    EXPECT_EQ(shared.mw_servo_fault, 0);
}

TEST_F(FlightControls, a_servo_test_in_flight_lights_no_jam_lamp) {
    bed.click(kServos, "yellow.test");
    bed.tick();
    EXPECT_FALSE(bed.shown(kServos, "yellow_jam_lamp"));
    EXPECT_EQ(shared.mw_servo_fault, 0);
}

TEST_F(FlightControls, a_rudder_travel_fault_is_entered_at_the_lamp_and_cleared_by_cycling_the_switch) {
    bed.tick();
    EXPECT_EQ(shared.mw_rudder_travel_fault, 0);
    const unsigned before = clicks();
    bed.click(kRudder, "rudder_travel_1.lamp");
    bed.click(kRudder, "rudder_travel_1.lamp");
    EXPECT_EQ(clicks(), before + 1) << "a lamp already at fault does not click";
    bed.tick();
    EXPECT_TRUE(bed.shown(kRudder, "rudder_travel_1_lamp"));
    EXPECT_EQ(shared.mw_rudder_travel_fault, 1);
    bed.click(kRudder, "rudder_travel_1.off");
    EXPECT_EQ(var("rudder_travel_1_fault"), 2);
    bed.click(kRudder, "rudder_travel_1.on");
    EXPECT_EQ(var("rudder_travel_1_fault"), 0);
    bed.tick();
    EXPECT_FALSE(bed.shown(kRudder, "rudder_travel_1_lamp"));
    EXPECT_EQ(shared.mw_rudder_travel_fault, 0);
}

TEST_F(FlightControls, both_rudder_limiters_off_send_their_command_every_tick_and_leave_none_active) {
    bed.tick();
    EXPECT_EQ(shared.rudder_travel_active, 1);
    bed.click(kRudder, "rudder_travel_1.off");
    bed.tick();
    EXPECT_FALSE(bed.sent(key::sim_command_10099));
    EXPECT_EQ(shared.rudder_travel_active, 1);
    bed.click(kRudder, "rudder_travel_2.off");
    bed.tick(3);
    EXPECT_EQ(bed.sent_count(key::sim_command_10099), 3);
    EXPECT_EQ(shared.rudder_travel_active, 0);
}

TEST_F(FlightControls, low_speed_ailerons_connect_with_flaps_or_on_the_ground_and_hydraulics) {
    struct Case {
        double flaps, on_ground;
        u8 hydraulics;
        u8 connected;
    };
    for (const Case c : {Case{0.0, 0.0, 1, 0}, Case{0.99, 0.0, 1, 0}, Case{1.0, 0.0, 1, 1}, Case{0.0, 1.0, 1, 1},
                         Case{0.0, 0.999, 1, 0}, Case{1.0, 0.0, 0, 0}, Case{std::nan(""), 0.0, 1, 0}}) {
        bed.sim().set(sim::flap_handle, c.flaps);
        bed.sim().set(sim::on_ground, c.on_ground);
        blue = green = yellow = c.hydraulics;
        bed.tick();
        EXPECT_EQ(shared.lo_spd_ail_connected, c.connected) << c.flaps << " " << c.on_ground << " " << int{c.hydraulics};
        EXPECT_EQ(bed.shown(kLoSpdAil, "lh_connection.connected"), c.connected == 1);
        EXPECT_EQ(bed.shown(kLoSpdAil, "rh_connection.disconnected"), c.connected == 0);
    }
}

TEST_F(FlightControls, the_aileron_computer_test_raises_the_configuration_warning_and_spd_lo_disconnects) {
    bed.sim().set(sim::on_ground, 1.0);
    bed.click(kLoSpdAil, "lo_spd_ail_test.spd_hi");
    bed.tick();
    EXPECT_TRUE(bed.shown(kLoSpdAil, "lo_spd_ail_lamp"));
    EXPECT_EQ(shared.mw_lo_spd_ail_config, 1);
    EXPECT_TRUE(bed.shown(kLoSpdAil, "lh_connection.connected"));
    bed.click(kLoSpdAil, "lo_spd_ail_test.spd_lo");
    bed.tick();
    EXPECT_TRUE(bed.shown(kLoSpdAil, "lh_connection.disconnected"));
    EXPECT_EQ(shared.lo_spd_ail_connected, 1) << "only the indication changes";
    bed.click(kLoSpdAil, "lo_spd_ail_test.norm");
    bed.tick();
    EXPECT_FALSE(bed.shown(kLoSpdAil, "lo_spd_ail_lamp"));
    EXPECT_EQ(shared.mw_lo_spd_ail_config, 0);
}

TEST_F(FlightControls, engaged_yaw_dampers_are_held_every_tick_and_their_warning_clears) {
    bed.tick();
    EXPECT_EQ(shared.mw_yaw_damper_fault_1, 1) << "none engaged on a powered aircraft";
    EXPECT_TRUE(bed.sent(key::yaw_damper_pair_disengage, kYaw));
    engage_yaw_dampers();
    bed.tick(3);
    EXPECT_EQ(bed.sent_count(key::yaw_damper_pair_engage), 3);
    EXPECT_EQ(bed.sent_count(key::yaw_damper_on, kYaw), 3);
    EXPECT_FALSE(bed.sent(key::yaw_damper_pair_disengage, kYaw));
    EXPECT_EQ(shared.mw_yaw_damper_fault_1, 0);
    EXPECT_EQ(shared.yaw_damper_count, 2);
}

TEST_F(FlightControls, yaw_dampers_trip_in_clean_configuration_without_a_rudder_limiter) {
    bed.sim().set(sim::flap_handle, 0.0);
    bed.click(kRudder, "rudder_travel_1.off");
    bed.click(kRudder, "rudder_travel_2.off");
    bed.tick();
    engage_yaw_dampers();
    bed.tick();
    EXPECT_EQ(shared.yaw_damper_1_engaged, 0);
    EXPECT_EQ(shared.yaw_damper_2_engaged, 0);
    EXPECT_EQ(shared.mw_yaw_damper_fault_1, 1);
}

TEST_F(FlightControls, losing_blue_and_yellow_drops_both_yaw_dampers_and_disengages_every_tick) {
    engage_yaw_dampers();
    bed.tick();
    blue = yellow = 0;
    bed.tick(2);
    EXPECT_EQ(shared.yaw_damper_1_engaged, 0);
    EXPECT_EQ(shared.yaw_damper_2_engaged, 0);
    EXPECT_EQ(bed.sent_count(key::yaw_damper_off, kYaw), 2);
    EXPECT_FALSE(bed.sent(key::yaw_damper_on, kYaw));
    EXPECT_EQ(shared.mw_yaw_damper_fault_1, 1);
}

TEST_F(FlightControls, yaw_damper_2_alone_drops_with_the_dc_bus) {
    bed.click(kYaw, "yaw_damper_2.engaged");
    bed.tick();
    dc = 0;
    bed.tick();
    EXPECT_EQ(shared.yaw_damper_2_engaged, 0);
    EXPECT_EQ(shared.yaw_damper_1_engaged, 0);
    EXPECT_TRUE(bed.sent(key::yaw_damper_pair_disengage, kYaw));
}

TEST_F(FlightControls, pitch_trim_losing_its_power_holds_the_trim_while_the_simulator_autopilot_flies) {
    bed.click(kYaw, "pitch_trim_1.on");
    bed.tick();
    EXPECT_EQ(shared.mw_yaw_damper_fault_2, 0);
    EXPECT_EQ(shared.pitch_trim_count, 1);
    bed.sim().set(sim::ap_master, 1.0);
    bed.sim().set(sim::elevator_trim, -1234.9);
    blue = green = yellow = 0;
    bed.tick();
    ASSERT_EQ(bed.sent_count(key::elevator_trim_set), 1);
    EXPECT_EQ(static_cast<i32>(bed.sent_value(key::elevator_trim_set).value_or(0)), -1234);
    EXPECT_EQ(shared.pitch_trim_1_sw, 0);
    EXPECT_EQ(shared.mw_yaw_damper_fault_2, 1);
    EXPECT_EQ(var("trim_capture_latch"), 1);
    // Back on hydraulics and switched on again, the trim is free and the capture clears.
    blue = 1;
    bed.click(kYaw, "pitch_trim_2.on");
    bed.tick();
    EXPECT_EQ(var("trim_capture_latch"), 0);
    EXPECT_EQ(shared.mw_yaw_damper_fault_2, 0);
}

TEST_F(FlightControls, the_angle_protection_trims_back_at_its_limits_every_tick) {
    struct Case {
        double deg;
        int sent;
        i32 value;
    };
    for (const Case c : {Case{12.0, 1, 10091}, Case{11.999, 0, 0}, Case{40.0, 1, 10091}, Case{-3.0, 1, -2523},
                         Case{-2.999, 0, 0}, Case{std::nan(""), 0, 0}}) {
        trim_angle_deg(c.deg);
        bed.tick();
        ASSERT_EQ(bed.sent_count(key::elevator_trim_set), c.sent) << c.deg;
        EXPECT_EQ(static_cast<i32>(bed.sent_value(key::elevator_trim_set).value_or(0)), c.value) << c.deg;
    }
    EXPECT_TRUE(std::isnan(shared.trim_angle_deg));
}

TEST_F(FlightControls, wroof_asks_for_the_warning_when_the_trim_angle_runs_beyond_its_limit_in_a_second) {
    bed.host().hold(sim::tick_counter.token);
    double tick = 100.0;
    auto step = [&](double deg) {
        bed.sim().set(sim::tick_counter, tick++);
        trim_angle_deg(deg);
        bed.tick();
        return shared.wroof_req;
    };
    EXPECT_EQ(step(1.0), 0);  // first samples
    EXPECT_EQ(step(1.0), 0);  // A against B: no change
    for (int i = 0; i < 17; ++i) EXPECT_EQ(step(4.0), 0) << "no sample before the second is out";
    EXPECT_EQ(step(4.0), 1) << "3 degrees in a second, clean";
    for (int i = 0; i < 17; ++i) EXPECT_EQ(step(4.0), 1) << "kept between samples";
    EXPECT_EQ(step(4.0), 0);
    // With the flaps out the limit is 4.5 degrees.
    bed.sim().set(sim::flap_handle, 0.5);
    for (int i = 0; i < 17; ++i) step(8.4);
    EXPECT_EQ(step(8.4), 0);
    EXPECT_EQ(step(12.95), 1) << "the next sample is taken at once: 4.55 degrees";
}

}  // namespace
}  // namespace tarvenol::testing
