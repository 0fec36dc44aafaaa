// The brake indicator: needles on yellow pressure or the parking-brake accumulator, the parking
// brake let off without yellow pressure, the overheat warning timers and the brake sound.
#include <cmath>
#include <limits>

#include "instruments.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kBrakes = "tarvenol brakes_ind_t418";

class BrakeIndicator : public PositionInstruments {
protected:
    void brakes(double a, double b) {
        sim(sim::brake_left, a);
        sim(sim::brake_right, b);
    }
    double needle_a() { return bed.value(kBrakes, "brake_press_a_needle"); }
    double needle_b() { return bed.value(kBrakes, "brake_press_b_needle"); }
    snd::mixer::SoundState sound() { return snd::mixer::state("BRAKESSND"); }
};

TEST_F(BrakeIndicator, with_yellow_pressure_the_needles_follow_the_brakes_clamped_to_32000) {
    brakes(12345.9, 40000.0);
    bed.tick();
    EXPECT_EQ(needle_a(), 12345.0);
    EXPECT_EQ(needle_b(), 32000.0);
    EXPECT_EQ(var("brake_press_b"), 32000.0) << "the clamp is written back";
}

TEST_F(BrakeIndicator, without_yellow_the_accumulator_shows_32000_when_parked_with_pressure) {
    sim(sim::parking_brake, 1.0);
    bed.tick();
    EXPECT_EQ(var("park_brake_held"), 1.0);
    yellow = 0;
    bed.tick();
    EXPECT_EQ(needle_a(), 32000.0);
    EXPECT_EQ(needle_b(), 32000.0);
    EXPECT_FALSE(bed.sent(key::parking_brake_toggle)) << "set while pressurised, it holds";
    sim(sim::parking_brake, 0.0);
    bed.tick();
    EXPECT_EQ(var("park_brake_held"), 0.0);
    EXPECT_EQ(needle_a(), 30000.0);
    bed.tick(14);
    EXPECT_EQ(needle_a(), 2000.0);
    bed.tick(2);
    EXPECT_EQ(needle_a(), 0.0);
    EXPECT_EQ(needle_b(), 0.0);
}

TEST_F(BrakeIndicator, a_parking_brake_set_without_yellow_pressure_is_let_off_every_tick) {
    yellow = 0;
    sim(sim::parking_brake, 0.5);
    bed.tick(3);
    EXPECT_EQ(bed.sent_count(key::parking_brake_toggle), 3);
    EXPECT_EQ(var("park_brake_held"), 0.0);
    yellow = 1;
    bed.tick();
    EXPECT_FALSE(bed.sent(key::parking_brake_toggle));
}

TEST_F(BrakeIndicator, without_ac_bus_1_the_needles_hold) {
    brakes(5000.0, 6000.0);
    bed.tick();
    ac_1 = 0;
    brakes(0.0, 0.0);
    bed.tick(3);
    EXPECT_EQ(needle_a(), 5000.0);
    EXPECT_EQ(needle_b(), 6000.0);
}

TEST_F(BrakeIndicator, braking_above_16000_for_800_ticks_at_40_kt_latches_the_warning_for_10000_ticks) {
    sim(sim::ias_kt, 40.0);
    brakes(16001.0, 0.0);
    bed.tick();  // the timer starts
    bed.tick(799);
    EXPECT_EQ(shared.mw_brakes, 0);
    bed.tick();
    EXPECT_EQ(shared.mw_brakes, 1);
    EXPECT_EQ(var("brake_heat_state"), 2.0);
    brakes(0.0, 0.0);
    bed.tick(9999);
    EXPECT_EQ(shared.mw_brakes, 1) << "latched even with the brakes released";
    bed.tick();
    EXPECT_EQ(shared.mw_brakes, 0);
    EXPECT_EQ(var("brake_heat_state"), 0.0);
}

TEST_F(BrakeIndicator, the_overheat_timer_returns_to_idle_below_40_kt_or_parked_or_with_the_brakes_off) {
    sim(sim::ias_kt, 60.0);
    brakes(20000.0, 20000.0);
    bed.tick(400);
    sim(sim::ias_kt, 39.9);
    bed.tick();
    EXPECT_EQ(var("brake_heat_state"), 0.0);
    sim(sim::ias_kt, 60.0);
    bed.tick(400);
    brakes(0.0, 0.0);
    bed.tick();
    EXPECT_EQ(var("brake_heat_state"), 0.0) << "both needles at 0";
    brakes(16000.0, 16000.0);
    bed.tick(900);
    EXPECT_EQ(shared.mw_brakes, 0) << "16000 is not above 16000";
    brakes(20000.0, 0.0);
    bed.tick(900);
    EXPECT_EQ(shared.mw_brakes, 1);
    sim(sim::parking_brake, 1.0);
    bed.tick();
    EXPECT_EQ(shared.mw_brakes, 0);
}

TEST_F(BrakeIndicator, the_brakes_are_heard_from_15_kt_above_1000_with_the_parking_brake_off) {
    sim(sim::ias_kt, 15.0);
    brakes(1001.0, 0.0);
    bed.tick();
    EXPECT_TRUE(sound().playing);
    EXPECT_TRUE(sound().looping);
    brakes(1000.0, 1000.0);
    bed.tick();
    EXPECT_FALSE(sound().playing);
    brakes(0.0, 5000.0);
    bed.tick();
    EXPECT_TRUE(sound().playing);
    sim(sim::ias_kt, 14.9);
    bed.tick();
    EXPECT_FALSE(sound().playing);
    sim(sim::ias_kt, 100.0);
    sim(sim::parking_brake, 1.0);
    bed.tick();
    EXPECT_FALSE(sound().playing);
}

TEST_F(BrakeIndicator, nonsense_brake_values_leave_the_needles_on_the_scale) {
    brakes(std::nan(""), 1e300);
    sim(sim::ias_kt, std::numeric_limits<double>::infinity());
    bed.tick();
    EXPECT_EQ(needle_a(), 0.0);
    EXPECT_EQ(needle_b(), 32000.0);
    brakes(-5.0, -std::numeric_limits<double>::infinity());
    sim(sim::parking_brake, std::nan(""));
    bed.tick();
    EXPECT_EQ(needle_a(), 0.0);
    EXPECT_EQ(needle_b(), 0.0);
    EXPECT_FALSE(bed.sent(key::parking_brake_toggle));
}

}  // namespace
}  // namespace tarvenol::testing
