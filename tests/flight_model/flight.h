// The stand-in simulator with its flight model on: the cockpit flown by its own clicks and laws, or
// the flight model stepped alone (with the engine model, without the gauges) for open-loop checks.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/flight_math.h"
#include "host/simulator.h"
#include "module/module_state.h"
#include "module/shared_state.h"

namespace tarvenol::host::testing {

constexpr double kFullTank = 8388608.0;
constexpr double kFlapsFull = 16383.0;
constexpr double kGearDown = 16384.0;
using flight_math::kFeetPerMetre;

struct Flight {
    Simulator sim;
    FlightModel& flight = sim.flight();
    SimVars& v = sim.vars();

    // The cockpit's own start-up setting is skipped: the tests set the switches they need.
    Flight() {
        flight.set_enabled(true);
        shared.cockpit_init_state = kCockpitAlreadySet;
    }
    static constexpr u8 kCockpitAlreadySet = 2;

    // Both engines lit on the centre tank, their levers at `lever` (0..1).
    void engines_running(double lever, double n2 = 75.0) {
        v.set(sim::fuel_lb_per_gal, 6.7);
        v.set(sim::tank_center_capacity_gal, 10000.0);  // 30 t: about 125 t in all
        v.set(sim::tank_center_level, kFullTank);
        v.set(sim::eng1_mixture, 16384.0);
        v.set(sim::eng2_mixture, 16384.0);
        v.set(sim::eng1_fuel_valve, 1.0);
        v.set(sim::eng2_fuel_valve, 1.0);
        v.set(sim::eng1_fuel_selector, 6);
        v.set(sim::eng2_fuel_selector, 6);
        v.set(sim::eng1_n2_pct, n2);
        v.set(sim::eng2_n2_pct, n2);
        v.set(sim::eng1_throttle_lever, lever);
        v.set(sim::eng2_throttle_lever, lever);
    }
    void landing_configuration() {
        v.set(sim::gear_handle, 1.0);
        v.set(sim::gear_nose_pos, kGearDown);
        v.set(sim::gear_left_pos, kGearDown);
        v.set(sim::gear_right_pos, kGearDown);
        v.set(sim::flap_handle, kFlapsFull);
        v.set(sim::flap_pos, kFlapsFull);
    }

    // The flight model and the engines alone, n steps.
    void step_alone(int n) {
        for (int i = 0; i < n; ++i) {
            sim.model().step();
            flight.step(sim.model());
        }
    }

    // Whole frames: the cockpit runs too.
    void frames(int n) {
        for (int i = 0; i < n; ++i) sim.frame();
    }
    void click(const char* gauge_name, const char* area_name) {
        const GaugeInfo* g = find_gauge(gauge_name);
        std::size_t index = 0;
        ASSERT_TRUE(g && find_area(*g, area_name, &index)) << gauge_name << " " << area_name;
        sim.click(*g, index);
    }
    void click_times(const char* gauge_name, const char* area_name, int n) {
        for (int i = 0; i < n; ++i) click(gauge_name, area_name);
    }

    // The cockpit powered by the engines' generators, yaw dampers and pitch trims on, autopilot 1
    // engaged: what the crew has done before an approach.
    void cockpit_ready_with_autopilot() {
        sim.frame();
        click("tarvenol elec_gen_t418", "gen_1.on");
        click("tarvenol elec_gen_t418", "gen_2.on");
        frames(100);
        click("tarvenol yaw_t418", "yaw_damper_1.engaged");
        click("tarvenol yaw_t418", "yaw_damper_2.engaged");
        click("tarvenol yaw_t418", "pitch_trim_1.on");
        click("tarvenol yaw_t418", "pitch_trim_2.on");
        sim.frame();
        click("tarvenol ap_master_t418", "ap_1.on");
        sim.frame();
    }
    // The autothrottle armed and in SPEED mode at the speed reference.
    void autothrottle_speed(double knots) {
        v.set(sim::ap_airspeed_ref_kt, knots);
        click("tarvenol ap_ats_t418", "arm.on");
        sim.frame();
        click("tarvenol ap_ats_t418", "speed");
        sim.frame();
    }
};

}  // namespace tarvenol::host::testing
