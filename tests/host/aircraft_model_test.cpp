// The aircraft behind the cockpit: the key events it answers and its engines.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "host/aircraft_model.h"
#include "host/simulator.h"
#include "module/host_services.h"

namespace tarvenol::host {
namespace {

constexpr int kCenterTankLevel = 289;
constexpr int kCenterTankCapacity = 290;
constexpr int kFuelPoundsPerGallon = 306;
constexpr double kFullTank = 8388608.0;

constexpr std::uint32_t kMasterBattery = 0x102C1;
constexpr std::uint32_t kEng1MixtureRich = 0x101BF;
constexpr std::uint32_t kEng1MixtureLean = 0x101C3;
constexpr std::uint32_t kEng2MixtureRich = 0x101C4;
constexpr std::uint32_t kEng1Starter = 0x102FC;
constexpr std::uint32_t kEng1SelectorOff = 0x101A3;
constexpr std::uint32_t kEng1SelectorCenter = 0x101A9;
constexpr std::uint32_t kEng2SelectorLeftMain = 0x103D6;
constexpr std::uint32_t kEng1FuelValve = 0x103BE;

// The engine model alone, stepped as the host steps it before each frame, without gauges.
struct Engines {
    Simulator sim;
    AircraftModel& model = sim.model();
    SimVars& v = sim.vars();

    void fuel_engine_1() {
        v.set_f64(kCenterTankLevel, kFullTank);
        v.set_f64(kCenterTankCapacity, 10000.0);
        model.key_event(kEng1MixtureRich, 0);
        model.key_event(kEng1FuelValve, 0);
        model.key_event(kEng1SelectorCenter, 0);
    }
    void crank_engine_1(int frames) {
        for (int i = 0; i < frames; ++i) {
            model.key_event(kEng1Starter, 0);
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
    EXPECT_EQ(find_key_event("master_battery_toggle")->id, kMasterBattery);
    EXPECT_EQ(find_key_event("0x102C1")->id, kMasterBattery);
}

TEST(AircraftModel, the_battery_gauge_switches_the_dead_simulator_battery_on_at_start) {
    Simulator sim;
    EXPECT_EQ(sim.vars().f64(759), 0.0);
    sim.frame();
    EXPECT_EQ(sim.vars().f64(759), kBatteryVolts);
}

TEST(AircraftModel, the_master_battery_event_toggles_the_simulator_battery) {
    Simulator sim;
    send_key(kMasterBattery);
    EXPECT_EQ(sim.vars().f64(759), kBatteryVolts);
    send_key(kMasterBattery);
    EXPECT_EQ(sim.vars().f64(759), 0.0);
}

TEST(AircraftModel, mixture_events_open_and_cut_each_engine_fuel) {
    Engines e;
    e.model.key_event(kEng1MixtureRich, 0);
    EXPECT_EQ(e.v.f64(130), engine_model::kMixtureRich);
    EXPECT_EQ(e.v.f64(165), 0.0);
    e.model.key_event(kEng2MixtureRich, 0);
    EXPECT_EQ(e.v.f64(165), engine_model::kMixtureRich);
    e.model.key_event(kEng1MixtureLean, 0);
    EXPECT_EQ(e.v.f64(130), engine_model::kMixtureLean);
}

TEST(AircraftModel, a_selector_event_selects_the_tank_of_its_offset_from_off) {
    Engines e;
    e.model.key_event(kEng1SelectorCenter, 0);
    EXPECT_EQ(sim_i32<307>(), 6);
    e.model.key_event(kEng2SelectorLeftMain, 0);
    EXPECT_EQ(sim_i32<906>(), 2);
    e.model.key_event(kEng1SelectorOff, 0);
    EXPECT_EQ(sim_i32<307>(), 0);
    EXPECT_EQ(e.v.value(307).d, 0u);
}

TEST(AircraftModel, a_fuel_valve_event_toggles_the_valve) {
    Engines e;
    e.model.key_event(kEng1FuelValve, 0);
    EXPECT_EQ(e.v.f64(895), 1.0);
    e.model.key_event(kEng1FuelValve, 0);
    EXPECT_EQ(e.v.f64(895), 0.0);
    EXPECT_EQ(e.v.f64(896), 0.0);
}

TEST(AircraftModel, the_starter_is_engaged_only_while_its_event_keeps_coming) {
    Engines e;
    e.crank_engine_1(1);
    EXPECT_EQ(e.v.f64(563), 1.0);
    EXPECT_EQ(e.v.f64(573), 0.0);
    e.run(1);
    EXPECT_EQ(e.v.f64(563), 0.0);
}

TEST(AircraftModel, the_starter_alone_cranks_the_engine_to_starter_speed_without_lighting_it) {
    Engines e;
    e.crank_engine_1(60 * kTicksPerSecond);
    EXPECT_EQ(e.v.f64(625), engine_model::kStarterN2);
    EXPECT_EQ(e.v.f64(638), 0.0);
    EXPECT_FALSE(e.model.engine(0).lit);
}

TEST(AircraftModel, with_fuel_the_engine_lights_above_20_percent_and_settles_at_idle) {
    Engines e;
    e.fuel_engine_1();
    e.crank_engine_1(10 * kTicksPerSecond);  // 15 % N2: not yet
    EXPECT_FALSE(e.model.engine(0).lit);
    EXPECT_LT(e.v.f64(625), engine_model::kLightOffN2);
    e.crank_engine_1(5 * kTicksPerSecond);
    EXPECT_TRUE(e.model.engine(0).lit);
    EXPECT_GT(e.v.f64(638), 0.0);
    e.run(60 * kTicksPerSecond);  // starter released, the engine carries on alone
    EXPECT_EQ(e.v.f64(625), engine_model::kIdleN2);
    EXPECT_EQ(e.v.f64(624), engine_model::kIdleN1);
    EXPECT_EQ(e.v.f64(638), engine_model::kIdleFuelFlow);
    EXPECT_EQ(e.v.f64(644), 0.0);  // the other engine never turned
}

TEST(AircraftModel, a_running_engine_burns_its_selected_tank_and_stops_when_it_runs_dry) {
    Engines e;
    e.fuel_engine_1();
    e.v.set_f64(kFuelPoundsPerGallon, 6.7);
    e.crank_engine_1(20 * kTicksPerSecond);
    e.run(60 * kTicksPerSecond);  // at idle
    EXPECT_LT(e.v.f64(kCenterTankLevel), kFullTank);
    e.v.set_f64(kCenterTankCapacity, 1.0);  // one gallon left in the center tank
    e.v.set_f64(kCenterTankLevel, kFullTank);
    const double level = e.v.f64(kCenterTankLevel);
    e.run(kTicksPerSecond);
    // Idle flow: 700 lb/h for one second of 1/18 s frames, 6.7 lb a gallon.
    EXPECT_NEAR(level - e.v.f64(kCenterTankLevel), 700.0 / 3600.0 / 6.7 * kFullTank, kFullTank * 1e-6);
    e.run(60 * kTicksPerSecond);
    EXPECT_EQ(e.v.f64(kCenterTankLevel), 0.0);
    EXPECT_FALSE(e.model.engine(0).lit) << "starved";
}

TEST(AircraftModel, gear_flaps_and_autopilot_events_move_the_aircraft) {
    Engines e;
    e.model.key_event(0x10220, 0);
    EXPECT_EQ(e.v.f64(331), 1.0);
    EXPECT_EQ(e.v.f64(334), 16384.0);
    e.model.key_event(0x1021F, 0);
    EXPECT_EQ(e.v.f64(333), 0.0);
    e.model.key_event(0x100A2, 4096);
    EXPECT_EQ(e.v.f64(329), 4096.0);
    e.v.set_f64(103, 1.0);
    e.model.key_event(0x100FF, 0);
    EXPECT_EQ(e.v.f64(103), 0.0);
    e.model.key_event(0x10306, 0);
    EXPECT_TRUE(e.model.hydraulic_toggled());
    e.model.key_event(0x10306, 0);
    EXPECT_FALSE(e.model.hydraulic_toggled()) << "the pair restores the simulator's state";
}

TEST(AircraftModel, cutting_the_fuel_stops_a_running_engine) {
    Engines e;
    e.fuel_engine_1();
    e.crank_engine_1(20 * kTicksPerSecond);
    e.run(30 * kTicksPerSecond);
    e.model.key_event(kEng1MixtureLean, 0);
    e.run(1);
    EXPECT_EQ(e.v.f64(638), 0.0);
    e.run(60 * kTicksPerSecond);
    EXPECT_EQ(e.v.f64(625), 0.0);
    EXPECT_EQ(e.v.f64(624), 0.0);
}

TEST(AircraftModel, an_engine_with_its_selector_off_does_not_light) {
    Engines e;
    e.fuel_engine_1();
    e.model.key_event(kEng1SelectorOff, 0);
    e.crank_engine_1(30 * kTicksPerSecond);
    EXPECT_FALSE(e.model.engine(0).lit);
}

TEST(AircraftModel, with_the_model_off_the_aircraft_answers_nothing) {
    Simulator sim;
    sim.model().set_enabled(false);
    sim.frame();  // the battery gauge asks for the battery
    EXPECT_EQ(sim.vars().f64(759), 0.0);
    sim.vars().set_f64(625, 50.0);
    sim.model().key_event(kEng1Starter, 0);
    sim.frame();
    EXPECT_EQ(sim.vars().f64(625), 50.0);  // a pure variable store
    EXPECT_EQ(sim.vars().f64(563), 0.0);
}

TEST(AircraftModel, a_nan_n2_set_from_outside_does_not_stick) {
    Engines e;
    e.v.set_f64(625, std::nan(""));
    e.run(1);
    EXPECT_EQ(e.v.f64(625), 0.0);
    EXPECT_EQ(e.v.f64(624), 0.0);
}

}  // namespace
}  // namespace tarvenol::host
