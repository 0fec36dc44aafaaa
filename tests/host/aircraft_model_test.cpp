// The aircraft behind the cockpit: the key events it answers and its engines.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "host/aircraft_model.h"
#include "host/simulator.h"
#include "module/host_services.h"

namespace tarvenol::host {
namespace {

constexpr double kFullTank = 8388608.0;


// The engine model alone, stepped as the host steps it before each frame, without gauges.
struct Engines {
    Simulator sim;
    AircraftModel& model = sim.model();
    SimVars& v = sim.vars();

    void fuel_engine_1() {
        v.set(sim::tank_center_level, kFullTank);
        v.set(sim::tank_center_capacity_gal, 10000.0);
        model.key_event(key::eng1_mixture_rich.id, 0);
        model.key_event(key::eng1_fuel_valve_toggle.id, 0);
        model.key_event(key::eng1_fuel_selector_center.id, 0);
    }
    void crank_engine_1(int frames) {
        for (int i = 0; i < frames; ++i) {
            model.key_event(key::eng1_starter_held.id, 0);
            model.step();
        }
    }
    void run(int frames) {
        for (int i = 0; i < frames; ++i) model.step();
    }
};

TEST(AircraftModel, every_key_event_is_listed_once) {
    std::set<std::uint32_t> ids;
    for (const KeyEventInfo& k : key_event_table()) EXPECT_TRUE(ids.insert(k.id).second) << std::hex << k.id;
    EXPECT_EQ(find_key_event("master_battery_toggle")->id, key::master_battery_toggle.id);
    EXPECT_EQ(find_key_event("0x102C1")->id, key::master_battery_toggle.id);
}

TEST(AircraftModel, the_battery_gauge_switches_the_dead_simulator_battery_on_at_start) {
    Simulator sim;
    EXPECT_EQ(sim.vars().get(sim::main_bus_volts), 0.0);
    sim.frame();
    EXPECT_EQ(sim.vars().get(sim::main_bus_volts), kBatteryVolts);
}

TEST(AircraftModel, the_master_battery_event_toggles_the_simulator_battery) {
    Simulator sim;
    send(key::master_battery_toggle);
    EXPECT_EQ(sim.vars().get(sim::main_bus_volts), kBatteryVolts);
    send(key::master_battery_toggle);
    EXPECT_EQ(sim.vars().get(sim::main_bus_volts), 0.0);
}

TEST(AircraftModel, mixture_events_open_and_cut_each_engine_fuel) {
    Engines e;
    e.model.key_event(key::eng1_mixture_rich.id, 0);
    EXPECT_EQ(e.v.get(sim::eng1_mixture), engine_model::kMixtureRich);
    EXPECT_EQ(e.v.get(sim::eng2_mixture), 0.0);
    e.model.key_event(key::eng2_mixture_rich.id, 0);
    EXPECT_EQ(e.v.get(sim::eng2_mixture), engine_model::kMixtureRich);
    e.model.key_event(key::eng1_mixture_lean.id, 0);
    EXPECT_EQ(e.v.get(sim::eng1_mixture), engine_model::kMixtureLean);
}

TEST(AircraftModel, a_selector_event_selects_the_tank_of_its_offset_from_off) {
    Engines e;
    e.model.key_event(key::eng1_fuel_selector_center.id, 0);
    EXPECT_EQ(read(sim::eng1_fuel_selector), 6);
    e.model.key_event(key::eng2_fuel_selector_left_main.id, 0);
    EXPECT_EQ(read(sim::eng2_fuel_selector), 2);
    e.model.key_event(key::eng1_fuel_selector_off.id, 0);
    EXPECT_EQ(read(sim::eng1_fuel_selector), 0);
    EXPECT_EQ(e.v.value(sim::eng1_fuel_selector.token).d, 0u);
}

TEST(AircraftModel, a_fuel_valve_event_toggles_the_valve) {
    Engines e;
    e.model.key_event(key::eng1_fuel_valve_toggle.id, 0);
    EXPECT_EQ(e.v.get(sim::eng1_fuel_valve), 1.0);
    e.model.key_event(key::eng1_fuel_valve_toggle.id, 0);
    EXPECT_EQ(e.v.get(sim::eng1_fuel_valve), 0.0);
    EXPECT_EQ(e.v.get(sim::eng2_fuel_valve), 0.0);
}

TEST(AircraftModel, the_starter_is_engaged_only_while_its_event_keeps_coming) {
    Engines e;
    e.crank_engine_1(1);
    EXPECT_EQ(e.v.get(sim::eng1_starter), 1.0);
    EXPECT_EQ(e.v.get(sim::eng2_starter), 0.0);
    e.run(1);
    EXPECT_EQ(e.v.get(sim::eng1_starter), 0.0);
}

TEST(AircraftModel, the_starter_alone_cranks_the_engine_to_starter_speed_without_lighting_it) {
    Engines e;
    e.crank_engine_1(60 * kTicksPerSecond);
    EXPECT_EQ(e.v.get(sim::eng1_n2_pct), engine_model::kStarterN2);
    EXPECT_EQ(e.v.get(sim::eng1_fuel_flow_pph), 0.0);
    EXPECT_FALSE(e.model.engine(0).lit);
}

TEST(AircraftModel, with_fuel_the_engine_lights_above_20_percent_and_settles_at_idle) {
    Engines e;
    e.fuel_engine_1();
    e.crank_engine_1(10 * kTicksPerSecond);  // 15 % N2: not yet
    EXPECT_FALSE(e.model.engine(0).lit);
    EXPECT_LT(e.v.get(sim::eng1_n2_pct), engine_model::kLightOffN2);
    e.crank_engine_1(5 * kTicksPerSecond);
    EXPECT_TRUE(e.model.engine(0).lit);
    EXPECT_GT(e.v.get(sim::eng1_fuel_flow_pph), 0.0);
    e.run(60 * kTicksPerSecond);  // starter released, the engine carries on alone
    EXPECT_EQ(e.v.get(sim::eng1_n2_pct), engine_model::kIdleN2);
    EXPECT_EQ(e.v.get(sim::eng1_n1_pct), engine_model::kIdleN1);
    EXPECT_EQ(e.v.get(sim::eng1_fuel_flow_pph), engine_model::kIdleFuelFlow);
    EXPECT_EQ(e.v.get(sim::eng2_n2_pct), 0.0);  // the other engine never turned
}

TEST(AircraftModel, a_running_engine_burns_its_selected_tank_and_stops_when_it_runs_dry) {
    Engines e;
    e.fuel_engine_1();
    e.v.set(sim::fuel_lb_per_gal, 6.7);
    e.crank_engine_1(20 * kTicksPerSecond);
    e.run(60 * kTicksPerSecond);  // at idle
    EXPECT_LT(e.v.get(sim::tank_center_level), kFullTank);
    e.v.set(sim::tank_center_capacity_gal, 1.0);  // one gallon left in the center tank
    e.v.set(sim::tank_center_level, kFullTank);
    const double level = e.v.get(sim::tank_center_level);
    e.run(kTicksPerSecond);
    // Idle flow: 700 lb/h for one second of 1/18 s frames, 6.7 lb a gallon.
    EXPECT_NEAR(level - e.v.get(sim::tank_center_level), 700.0 / 3600.0 / 6.7 * kFullTank, kFullTank * 1e-6);
    e.run(60 * kTicksPerSecond);
    EXPECT_EQ(e.v.get(sim::tank_center_level), 0.0);
    EXPECT_FALSE(e.model.engine(0).lit) << "starved";
}

TEST(AircraftModel, gear_flaps_and_autopilot_events_move_the_aircraft) {
    Engines e;
    e.model.key_event(key::gear_down.id, 0);
    EXPECT_EQ(e.v.get(sim::gear_handle), 1.0);
    EXPECT_EQ(e.v.get(sim::gear_right_pos), 16384.0);
    e.model.key_event(key::gear_up.id, 0);
    EXPECT_EQ(e.v.get(sim::gear_left_pos), 0.0);
    e.model.key_event(key::flaps_set.id, 4096);
    EXPECT_EQ(e.v.get(sim::flap_pos), 4096.0);
    e.v.set(sim::ap_master, 1.0);
    e.model.key_event(key::ap_master_off.id, 0);
    EXPECT_EQ(e.v.get(sim::ap_master), 0.0);
    e.model.key_event(key::sim_toggle_10306.id, 0);
    EXPECT_TRUE(e.model.hydraulic_toggled());
    e.model.key_event(key::sim_toggle_10306.id, 0);
    EXPECT_FALSE(e.model.hydraulic_toggled()) << "the pair restores the simulator's state";
}

TEST(AircraftModel, cutting_the_fuel_stops_a_running_engine) {
    Engines e;
    e.fuel_engine_1();
    e.crank_engine_1(20 * kTicksPerSecond);
    e.run(30 * kTicksPerSecond);
    e.model.key_event(key::eng1_mixture_lean.id, 0);
    e.run(1);
    EXPECT_EQ(e.v.get(sim::eng1_fuel_flow_pph), 0.0);
    e.run(60 * kTicksPerSecond);
    EXPECT_EQ(e.v.get(sim::eng1_n2_pct), 0.0);
    EXPECT_EQ(e.v.get(sim::eng1_n1_pct), 0.0);
}

TEST(AircraftModel, an_engine_with_its_selector_off_does_not_light) {
    Engines e;
    e.fuel_engine_1();
    e.model.key_event(key::eng1_fuel_selector_off.id, 0);
    e.crank_engine_1(30 * kTicksPerSecond);
    EXPECT_FALSE(e.model.engine(0).lit);
}

TEST(AircraftModel, with_the_model_off_the_aircraft_answers_nothing) {
    Simulator sim;
    sim.model().set_enabled(false);
    sim.frame();  // the battery gauge asks for the battery
    EXPECT_EQ(sim.vars().get(sim::main_bus_volts), 0.0);
    sim.vars().set(sim::eng1_n2_pct, 50.0);
    sim.model().key_event(key::eng1_starter_held.id, 0);
    sim.frame();
    EXPECT_EQ(sim.vars().get(sim::eng1_n2_pct), 50.0);  // a pure variable store
    EXPECT_EQ(sim.vars().get(sim::eng1_starter), 0.0);
}

TEST(AircraftModel, a_nan_n2_set_from_outside_does_not_stick) {
    Engines e;
    e.v.set(sim::eng1_n2_pct, std::nan(""));
    e.run(1);
    EXPECT_EQ(e.v.get(sim::eng1_n2_pct), 0.0);
    EXPECT_EQ(e.v.get(sim::eng1_n1_pct), 0.0);
}

}  // namespace
}  // namespace tarvenol::host
