// The flight model on its own: stepped with the engine model, without the cockpit, as the simulator
// steps it before each frame.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "flight.h"
#include "host/panel_host.h"

namespace tarvenol::host::testing {
namespace {

using flight_math::kKnotsPerMps;
using flight_math::kPi;
constexpr int kSecond = 18;

TEST(FlightModel, off_it_moves_nothing_and_the_variables_keep_what_was_set) {
    Simulator sim;
    EXPECT_FALSE(sim.flight().enabled());
    sim.vars().set(sim::ias_kt, 140.0);
    sim.vars().set(sim::altitude_m, 500.0);
    sim.vars().set(sim::vs_ms256, -910.0);
    for (int i = 0; i < kSecond; ++i) sim.frame();
    EXPECT_EQ(sim.vars().get(sim::ias_kt), 140.0);
    EXPECT_EQ(sim.vars().get(sim::altitude_m), 500.0);
    EXPECT_EQ(sim.vars().get(sim::vs_ms256), -910.0);
    EXPECT_EQ(sim.vars().get(sim::nav1_signal), 0.0);
}

TEST(FlightModel, switched_on_it_stands_on_the_runway_threshold) {
    Flight f;
    f.step_alone(1);
    const NavWorld& w = f.flight.world();
    EXPECT_EQ(f.v.get(sim::on_ground), 1.0);
    EXPECT_EQ(f.v.get(sim::ias_kt), 0.0);
    EXPECT_DOUBLE_EQ(f.v.get(sim::altitude_m), w.elevation_m);
    EXPECT_EQ(f.v.get(sim::height_agl_m), 0.0);
    EXPECT_DOUBLE_EQ(f.v.get(sim::heading_deg), w.runway.heading_deg);
    EXPECT_NEAR(f.flight.past_threshold_m(), 0.0, 1e-9);
}

// Flown by its autopilot, the same start gives the same flight to the last bit.
TEST(FlightModel, a_flight_is_deterministic) {
    const auto fly = [] {
        Flight f;
        f.engines_running(0.5);
        f.flight.place_on_approach(8000.0, 150.0, 1500.0, 160.0, 20.0);
        f.v.set(sim::ap_master, 1.0);
        f.v.set(sim::ap_state_105, 1.0);
        f.step_alone(60 * kSecond);
        return std::array{f.flight.east_m(), f.flight.north_m(), f.flight.altitude_m(), f.flight.tas_mps(),
                          f.flight.heading_deg(), f.flight.pitch_deg(), f.flight.bank_deg()};
    };
    EXPECT_EQ(fly(), fly());
}

// The variables the cockpit reads agree with one another and with the motion, in the
// simulator's units.
TEST(FlightModel, the_variables_are_in_the_simulators_units) {
    Flight f;
    f.engines_running(0.3);
    f.flight.place_on_approach(9000.0, 0.0, 2000.0, 180.0);
    f.v.set(sim::elevator_pos, 6000.0);  // stick forward: the nose goes down
    f.step_alone(6 * kSecond);
    f.v.set(sim::elevator_pos, 0.0);
    const double altitude = f.v.get(sim::altitude_m);
    const double east = f.flight.east_m(), north = f.flight.north_m();
    const double vs_before = f.v.get(sim::vs_ms256) / 256.0;
    f.step_alone(1);
    const double vs_after = f.v.get(sim::vs_ms256) / 256.0;
    const double dt = 1.0 / kSecond;
    EXPECT_LT(vs_before, 0.0);
    EXPECT_NEAR((f.v.get(sim::altitude_m) - altitude) / dt, vs_after, std::fabs(vs_after - vs_before) + 1e-9);
    EXPECT_GT(f.v.get(sim::pitch_deg), 0.0);  // the simulator's pitch is positive nose down
    EXPECT_NEAR(f.v.get(sim::altitude_ft), f.v.get(sim::altitude_m) * kFeetPerMetre, 1e-6);
    EXPECT_NEAR(f.v.get(sim::height_agl_m), f.v.get(sim::altitude_m) - f.flight.world().elevation_m, 1e-9);
    // Ground speed (calm air) along the nose in feet per second, and the track it gives.
    const double moved = std::hypot(f.flight.east_m() - east, f.flight.north_m() - north) / dt;
    EXPECT_NEAR(f.v.get(sim::velocity_long) / kFeetPerMetre, moved, 0.05);
    EXPECT_NEAR(f.v.get(sim::velocity_lat), 0.0, 1e-6);
    EXPECT_NEAR(f.v.get(sim::gps_track_rad), f.flight.heading_deg() * kPi / 180.0, 1e-9);
    // Indicated airspeed below the true airspeed up high; Mach from the true airspeed.
    EXPECT_LT(f.v.get(sim::ias_kt), f.flight.tas_mps() * kKnotsPerMps);
    EXPECT_NEAR(f.v.get(sim::mach_x20480) / 20480.0, f.flight.tas_mps() / 340.0, 0.01);
    EXPECT_EQ(f.v.get(sim::on_ground), 0.0);
    // The altimeter setting moves the indicated altitude only.
    f.v.set(sim::baro_hpa, 1023.25);
    f.step_alone(1);
    EXPECT_NEAR(f.v.get(sim::altitude_ft) - f.v.get(sim::altitude_m) * kFeetPerMetre, 270.0, 1e-6);
}

TEST(FlightModel, take_off_thrust_accelerates_and_the_rotated_aircraft_lifts_off_and_climbs) {
    Flight f;
    f.engines_running(1.0, 100.0);
    f.v.set(sim::flap_pos, 4096.0);
    f.v.set(sim::flap_handle, 4096.0);
    f.step_alone(10 * kSecond);
    const double ias_10s = f.flight.ias_kt();
    EXPECT_GT(ias_10s, 40.0);
    EXPECT_TRUE(f.flight.on_ground());
    while (f.flight.ias_kt() < 150.0 && f.flight.time_s() < 90.0) f.step_alone(1);
    EXPECT_TRUE(f.flight.on_ground()) << "no lift-off before rotation";
    const double rolled = f.flight.past_threshold_m();
    EXPECT_GT(rolled, 600.0);
    EXPECT_LT(rolled, f.flight.world().runway.length_m);
    f.v.set(sim::elevator_pos, -8000.0);  // rotate
    f.step_alone(5 * kSecond);
    f.v.set(sim::elevator_pos, 0.0);
    f.step_alone(15 * kSecond);
    EXPECT_FALSE(f.flight.on_ground());
    EXPECT_EQ(f.v.get(sim::on_ground), 0.0);
    EXPECT_GT(f.flight.vs_fpm(), 500.0);
    EXPECT_GT(f.flight.height_m() * kFeetPerMetre, 150.0);
}

// A landing roll from 130 kt with the engines at idle: the brakes slow it sooner, the reversers
// sooner still; without either the idle thrust keeps it rolling a long way.
TEST(FlightModel, brakes_and_reversers_shorten_the_landing_roll) {
    constexpr double kTaxiKt = 20.0;
    const auto roll = [](double brake, bool reverse) {
        Flight f;
        f.engines_running(0.0, 60.0);
        f.landing_configuration();
        const NavWorld& w = f.flight.world();
        f.flight.place(w.on_approach(300.0, 0.0, 60.0 / kFeetPerMetre), w.runway.heading_deg, 130.0, -600.0);
        f.v.set(sim::spoiler_left_pos, 16384.0);
        f.v.set(sim::spoiler_right_pos, 16384.0);
        while (!f.flight.on_ground() && f.flight.time_s() < 20.0) f.step_alone(1);
        EXPECT_TRUE(f.flight.touchdown().landed);
        f.v.set(sim::brake_left, brake);
        f.v.set(sim::brake_right, brake);
        if (reverse) {
            f.v.set(sim::eng1_throttle_lever, -1.0);
            f.v.set(sim::eng2_throttle_lever, -1.0);
        }
        const double touchdown_s = f.flight.time_s();
        while (f.flight.ias_kt() > kTaxiKt && f.flight.time_s() < touchdown_s + 120.0) f.step_alone(1);
        if (reverse) {  // the reversers stowed at taxi speed
            f.v.set(sim::eng1_throttle_lever, 0.0);
            f.v.set(sim::eng2_throttle_lever, 0.0);
        }
        const double distance = f.flight.past_threshold_m() - f.flight.touchdown().past_threshold_m;
        while (brake > 0.0 && !f.flight.touchdown().stopped && f.flight.time_s() < touchdown_s + 200.0) f.step_alone(1);
        EXPECT_TRUE(brake == 0.0 || f.flight.touchdown().stopped);
        EXPECT_GE(f.flight.tas_mps(), 0.0);  // it never rolls backwards
        return distance;
    };
    const double free_roll = roll(0.0, false);
    const double braked = roll(32000.0, false);
    const double reversed = roll(32000.0, true);
    EXPECT_LT(braked, free_roll / 2.0);
    EXPECT_LT(reversed, braked);
    EXPECT_GT(reversed, 300.0);
}

// Engine 1 failed in the air: the nose swings toward it; the yaw damper takes back only what its
// rudder authority allows; the pedals take back the rest. The sideslip rolls the aircraft toward
// the dead engine and its side force turns the path.
TEST(FlightModel, an_engine_out_sideslips_the_yaw_damper_takes_back_a_little_and_the_rudder_the_rest) {
    struct Case {
        bool yaw_damper;
        double pedal;  // rudder, positive nose right
    };
    const Case cases[] = {{false, 0.0}, {true, 0.0}, {true, 0.5}};
    double sideslip[3] = {}, heading_change[3] = {};
    for (int i = 0; i < 3; ++i) {
        Flight f;
        f.engines_running(0.9, 95.0);
        f.v.set(sim::eng1_failure, 1.0);
        f.flight.place_on_approach(30000.0, 0.0, 2000.0, 150.0);
        f.sim.model().set_yaw_damper(cases[i].yaw_damper);
        f.v.set(sim::rudder_pos, cases[i].pedal * 16383.0);
        const double heading = f.flight.heading_deg();
        f.step_alone(30 * kSecond);
        sideslip[i] = f.flight.sideslip_deg();
        heading_change[i] = std::remainder(f.flight.heading_deg() - heading, 360.0);
        if (i == 0) {
            EXPECT_LT(f.flight.bank_deg(), -1.0);  // rolled toward the dead engine
        }
    }
    EXPECT_LT(sideslip[0], -3.0);                       // the nose left, toward engine 1
    EXPECT_LT(heading_change[0], -5.0);                 // and the aircraft turning that way
    EXPECT_NEAR(sideslip[1] - sideslip[0], 2.0, 0.3);   // the damper's authority: 20 % of a 10-degree rudder
    EXPECT_LT(sideslip[1], -1.0);                       // not enough to hold it
    EXPECT_NEAR(sideslip[2], 0.0, 1.0);                 // half the pedal does
}

// The simulator's heading hold turns the aircraft in a coordinated turn and rolls out on the
// heading: the turn rate is g tan(bank) / speed.
TEST(FlightModel, the_heading_hold_turns_coordinated_and_rolls_out_on_the_heading) {
    Flight f;
    f.engines_running(0.55);
    f.flight.place_on_approach(20000.0, 0.0, 3000.0, 200.0);
    f.v.set(sim::ap_master, 1.0);
    f.v.set(sim::ap_heading_hold, 1.0);
    const double target = std::fmod(f.flight.world().runway.heading_deg + 90.0, 360.0);
    f.sim.model().key_event(key::ap_heading_ref.id, static_cast<std::uint32_t>(target));
    f.step_alone(8 * kSecond);
    const double bank = f.flight.bank_deg();
    EXPECT_GT(bank, 10.0);  // a right turn, right wing down
    EXPECT_LT(f.v.get(sim::bank_deg), 0.0);  // the simulator gives right bank negative
    const double heading = f.flight.heading_deg();
    f.step_alone(1);
    const double rate = (f.flight.heading_deg() - heading) * kSecond;
    EXPECT_NEAR(rate, 9.80665 * std::tan(bank * kPi / 180.0) / f.flight.tas_mps() * 180.0 / kPi, 0.05);
    f.step_alone(60 * kSecond);
    EXPECT_NEAR(f.flight.heading_deg(), target, 0.5);
    EXPECT_NEAR(f.flight.bank_deg(), 0.0, 0.5);
    EXPECT_LE(f.flight.max_abs_bank_deg(), autopilot_gains::kMaxBankDeg + 0.5);
}

// The altitude hold climbs at the vertical-speed reference and levels off at the altitude.
TEST(FlightModel, the_altitude_hold_climbs_at_the_reference_rate_and_levels_at_the_altitude) {
    Flight f;
    f.engines_running(0.9, 95.0);
    f.flight.place_on_approach(30000.0, 0.0, 3000.0, 220.0);
    f.step_alone(1);
    const double start_ft = f.v.get(sim::altitude_ft);
    f.v.set(sim::ap_master, 1.0);
    f.v.set(sim::ap_state_108, 1.0);
    f.sim.model().key_event(key::ap_altitude_ref_ft.id, static_cast<std::uint32_t>(start_ft + 2000.0));
    f.sim.model().key_event(key::ap_vs_ref.id, 1500);
    f.step_alone(30 * kSecond);
    EXPECT_NEAR(f.flight.vs_fpm(), 1500.0, 100.0);
    f.step_alone(120 * kSecond);
    EXPECT_NEAR(f.v.get(sim::altitude_ft), start_ft + 2000.0, 30.0);
    EXPECT_NEAR(f.flight.vs_fpm(), 0.0, 50.0);
    // A descent given in metres, with a negative reference.
    f.sim.model().key_event(key::ap_altitude_ref_m.id, 0);
    f.sim.model().key_event(key::ap_vs_ref.id, static_cast<std::uint32_t>(-1000));
    f.step_alone(40 * kSecond);
    EXPECT_NEAR(f.flight.vs_fpm(), -1000.0, 100.0);
}

// The airspeed hold moves the throttles until the speed is the reference, and keeps it.
TEST(FlightModel, the_airspeed_hold_settles_on_the_reference) {
    Flight f;
    f.engines_running(0.3);
    f.landing_configuration();
    f.flight.place_on_approach(15000.0, 0.0, 1500.0, 150.0);
    f.v.set(sim::ap_master, 1.0);
    f.v.set(sim::ap_state_108, 1.0);
    f.sim.model().key_event(key::ap_altitude_ref_ft.id,
                            static_cast<std::uint32_t>(f.flight.altitude_m() * kFeetPerMetre + 100.0));
    f.v.set(sim::ap_airspeed_ref_kt, 135.0);
    f.sim.model().key_event(key::ap_airspeed_hold_on.id, 0);
    f.step_alone(90 * kSecond);
    EXPECT_NEAR(f.flight.ias_kt(), 135.0, 2.0);
    EXPECT_GT(f.v.get(sim::eng1_throttle), 0.0);
    EXPECT_EQ(f.v.get(sim::eng1_throttle), f.v.get(sim::eng2_throttle));
}

// From idle to the stop, the engine gives 95 % of its thrust (thrust as N1 squared) within the 5 s
// a go-around needs, and not at once.
TEST(FlightModel, an_engine_spools_from_idle_to_95_percent_thrust_within_5_seconds) {
    Flight f;
    f.engines_running(0.0, 60.0);
    f.step_alone(2 * kSecond);
    const double full_n1 = 110.0;
    ASSERT_LT(f.v.get(sim::eng1_n1_pct), 25.0);
    f.v.set(sim::eng1_throttle_lever, 1.0);
    int frames = 0;
    while (std::pow(f.v.get(sim::eng1_n1_pct) / full_n1, 2.0) < 0.95 && frames < 20 * kSecond) {
        f.step_alone(1);
        ++frames;
    }
    EXPECT_LE(frames, 5 * kSecond);
    EXPECT_GE(frames, 3 * kSecond);
}

// The airspeed hold lets go of the levers once the crew moves one (it never fights the hand), and
// with the gear down below 50 ft it retards them to idle for the landing.
TEST(FlightModel, the_airspeed_hold_yields_to_the_crew_and_retards_in_the_flare) {
    {
        Flight f;
        f.engines_running(0.3);
        f.landing_configuration();
        f.flight.place_on_approach(15000.0, 0.0, 1500.0, 150.0);
        f.v.set(sim::ap_airspeed_ref_kt, 170.0);  // well above: the hold pushes the levers up
        f.sim.model().key_event(key::ap_airspeed_hold_on.id, 0);
        f.step_alone(3 * kSecond);
        EXPECT_GT(f.v.get(sim::eng1_throttle_lever), 0.3);
        f.v.set(sim::eng1_throttle_lever, 0.2);  // the crew pulls both levers back
        f.v.set(sim::eng2_throttle_lever, 0.2);
        f.step_alone(20 * kSecond);
        EXPECT_EQ(f.v.get(sim::eng1_throttle_lever), 0.2);
        EXPECT_EQ(f.v.get(sim::eng2_throttle_lever), 0.2);
        // Engaged again, it takes the levers back.
        f.sim.model().key_event(key::ap_airspeed_hold_off.id, 0);
        f.step_alone(1);
        f.sim.model().key_event(key::ap_airspeed_hold_on.id, 0);
        f.step_alone(3 * kSecond);
        EXPECT_GT(f.v.get(sim::eng1_throttle_lever), 0.2);
    }
    for (const bool gear_down : {true, false}) {
        SCOPED_TRACE(gear_down ? "gear down" : "gear up");
        Flight f;
        f.engines_running(0.45);
        f.landing_configuration();
        if (!gear_down) f.v.set(sim::gear_nose_pos, 0.0);
        const NavWorld& w = f.flight.world();
        f.flight.place(w.on_approach(300.0, 0.0, 45.0 / kFeetPerMetre), w.runway.heading_deg, 140.0, -100.0);
        f.v.set(sim::ap_airspeed_ref_kt, 140.0);
        f.sim.model().key_event(key::ap_airspeed_hold_on.id, 0);
        f.step_alone(kSecond);  // a second at the hold's fastest rate: 0.08 of the lever
        EXPECT_NEAR(f.v.get(sim::eng1_throttle_lever), gear_down ? 0.45 - 0.08 : 0.45, 0.03);
        f.step_alone(6 * kSecond);
        if (gear_down) {
            EXPECT_EQ(f.v.get(sim::eng1_throttle_lever), 0.0);
        }
    }
}

// A crosswind drifts the track off the heading by the wind's share of the speed.
TEST(FlightModel, a_crosswind_drifts_the_track) {
    Flight f;
    f.engines_running(0.5);
    f.flight.place_on_approach(20000.0, 0.0, 3000.0, 200.0);
    const double heading = f.flight.world().runway.heading_deg;
    f.flight.set_wind(std::fmod(heading + 270.0, 360.0), 20.0);  // from the left
    f.v.set(sim::ap_master, 1.0);
    f.v.set(sim::ap_heading_hold, 1.0);
    f.sim.model().key_event(key::ap_heading_ref.id, static_cast<std::uint32_t>(heading));
    f.step_alone(30 * kSecond);
    const double right = f.flight.right_of_centreline_m();
    f.step_alone(10 * kSecond);
    EXPECT_NEAR((f.flight.right_of_centreline_m() - right) / 10.0, 20.0 / kKnotsPerMps, 0.2);
    EXPECT_LT(f.v.get(sim::velocity_lat), 0.0);  // drifting right: the lateral speed is negative
}

// Whatever a script or the cockpit puts into the controls, the state stays a number.
TEST(FlightModel, values_that_are_not_numbers_leave_the_flight_defined) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const double bad : {nan, inf, -inf, 1e300}) {
        Flight f;
        f.engines_running(0.5);
        f.flight.place_on_approach(10000.0, 0.0, 2000.0, 180.0);
        f.v.set(sim::elevator_pos, bad);
        f.v.set(sim::aileron_pos, bad);
        f.v.set(sim::elevator_trim, bad);
        f.v.set(sim::flap_pos, bad);
        f.v.set(sim::spoiler_left_pos, bad);
        f.v.set(sim::brake_left, bad);
        f.v.set(sim::nav1_cdi, bad);
        f.v.set(sim::baro_hpa, bad);
        f.step_alone(5 * kSecond);
        for (const double x : {f.flight.altitude_m(), f.flight.tas_mps(), f.flight.heading_deg(), f.flight.pitch_deg(),
                               f.flight.bank_deg(), f.v.get(sim::ias_kt), f.v.get(sim::altitude_ft), f.v.get(sim::vs_ms256)})
            EXPECT_TRUE(std::isfinite(x)) << bad;
    }
}

}  // namespace
}  // namespace tarvenol::host::testing
