// The AC meters: phase and source selectors, the voltmeter and frequency meter needles, and the
// three load meters.
#include <vector>

#include "electrics.h"

namespace tarvenol::testing {
namespace {

class AcMeters : public Electrics {
protected:
    // Turns the knob from where it stands: one click per position, whether it moves or not.
    void source(int position) {
        for (int at = shared.ac_meter_sel; at > position; --at) bed.click(kAcSelector, "ac_meter.down");
        for (int at = shared.ac_meter_sel; at < position; ++at) bed.click(kAcSelector, "ac_meter.up");
    }
    std::vector<double> over(int ticks, const char* variable) {
        std::vector<double> seen;
        for (int i = 0; i < ticks; ++i) {
            tick();
            seen.push_back(var(variable));
        }
        return seen;
    }
};

using Readings = std::vector<double>;

constexpr int kExtPwr = 1;
constexpr int kBus2 = 5;
constexpr int kGen1 = 6;

TEST_F(AcMeters, the_selectors_step_within_their_ranges_without_a_sound) {
    const auto before = clicks_played();
    source(12);
    for (int i = 0; i < 5; ++i) bed.click(kAcSelector, "ac_phase.up");
    EXPECT_EQ(shared.ac_meter_sel, 8);
    EXPECT_EQ(shared.ac_phase_sel, 2);
    source(-1);
    EXPECT_EQ(shared.ac_meter_sel, 0);
    EXPECT_EQ(clicks_played(), before);
    set_var("ac_phase_sel", 3);
    tick();
    EXPECT_EQ(value(kAcSelector, "ac_phase_knob"), 2.0);
    EXPECT_EQ(shared.ac_phase_sel, 2);
}

TEST_F(AcMeters, the_voltmeter_on_gen_1_at_test_rises_to_115_and_falls_back_when_it_springs_to_off) {
    source(kGen1);
    bed.click(kGenPanel, "gen_1.test");
    EXPECT_EQ(over(18, "ac_volts_needle"),
              (Readings{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 102, 104, 106, 108, 110, 112, 114, 115}));
    EXPECT_EQ(value(kAcVoltmeter, "ac_volts_needle"), 115.0);
    tick(9);
    EXPECT_EQ(over(9, "ac_volts_needle"), (Readings{113, 111, 109, 107, 105, 103, 101, 99, 89}));
}

TEST_F(AcMeters, the_phase_selector_changes_no_reading) {
    with_engine_generators();
    source(kBus2);
    tick(20);
    bed.click(kAcSelector, "ac_phase.up");
    tick(5);
    EXPECT_EQ(var("ac_volts_needle"), 115.0);
    EXPECT_EQ(var("ac_freq_needle"), 0.0);
}

TEST_F(AcMeters, the_frequency_needle_rests_at_the_bottom_stop_and_rises_to_nominal_on_a_live_source) {
    EXPECT_EQ(over(16, "ac_freq_needle"),
              (Readings{-20, -40, -60, -80, -100, -120, -140, -160, -180, -200, -220, -240, -260, -280, -300, -300}));
    source(kExtPwr);
    on_ground_standing_still();
    bed.click(kExtPwrPanel, "ground_crew");
    bed.click(kExtPwrPanel, "ext_pwr.on");
    const Readings rising = over(16, "ac_freq_needle");
    EXPECT_EQ(rising.front(), -280.0);
    EXPECT_EQ(rising[14], 0.0);
    EXPECT_EQ(rising.back(), 0.0);
}

TEST_F(AcMeters, each_load_meter_shows_its_generator_and_the_test_load_at_test) {
    with_engine_generators();
    shared.fail_gen_2 = 1;
    tick(3);
    EXPECT_EQ(value(kLoadMeter1, "gen_1_load_needle"), 100.0);
    EXPECT_EQ(value(kLoadMeter2, "gen_2_load_needle"), 0.0);
    EXPECT_EQ(value(kLoadMeterApu, "apu_gen_load_needle"), 0.0);
    bed.click(kGenPanel, "apu_gen.test");
    bed.click(kGenPanel, "gen_2.test");
    tick();
    EXPECT_EQ(value(kLoadMeterApu, "apu_gen_load_needle"), 50.0);
    EXPECT_EQ(value(kLoadMeter2, "gen_2_load_needle"), 50.0);
}

}  // namespace
}  // namespace tarvenol::testing
