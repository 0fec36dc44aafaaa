// The AC meters: phase and source selectors, the voltmeter and frequency meter needles, and the
// three load meters.
#include <vector>

#include "electrics.h"

namespace tarvenol::testing {
namespace {

class AcMeters : public Electrics {
protected:
    void source(int position) {
        while (shared.ac_meter_sel > position) bed.click(kAcSelector, "ac_meter.down");
        while (shared.ac_meter_sel < position) bed.click(kAcSelector, "ac_meter.up");
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

constexpr int kGen1 = 6;
constexpr int kBus2 = 5;
constexpr int kExtPwr = 1;

TEST_F(AcMeters, the_selectors_step_within_their_ranges_without_a_sound) {
    const auto before = clicks_played();
    for (int i = 0; i < 12; ++i) bed.click(kAcSelector, "ac_meter.up");
    for (int i = 0; i < 5; ++i) bed.click(kAcSelector, "ac_phase.up");
    EXPECT_EQ(shared.ac_meter_sel, 8);
    EXPECT_EQ(shared.ac_phase_sel, 2);
    bed.click(kAcSelector, "ac_phase.down");
    EXPECT_EQ(shared.ac_phase_sel, 1);
    for (int i = 0; i < 12; ++i) bed.click(kAcSelector, "ac_meter.down");
    EXPECT_EQ(shared.ac_meter_sel, 0);
    EXPECT_EQ(clicks_played(), before);
    tick();
    EXPECT_EQ(value(kAcSelector, "ac_phase_knob"), 1.0);
    EXPECT_EQ(value(kAcSelector, "ac_meter_knob"), 0.0);
}

TEST_F(AcMeters, knobs_bring_a_position_beyond_their_range_back_and_store_it) {
    set_var("ac_meter_sel", 200);
    set_var("ac_phase_sel", 3);
    tick();
    EXPECT_EQ(shared.ac_meter_sel, 8);
    EXPECT_EQ(shared.ac_phase_sel, 2);
}

TEST_F(AcMeters, the_voltmeter_on_gen_1_at_test_rises_to_115) {
    source(kGen1);
    bed.click(kGenPanel, "gen_1.test");
    EXPECT_EQ(over(18, "ac_volts_needle"),
              (Readings{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 102, 104, 106, 108, 110, 112, 114, 115}));
    EXPECT_EQ(value(kAcVoltmeter, "ac_volts_needle"), 115.0);
}

TEST_F(AcMeters, the_voltmeter_falls_back_to_0_when_its_source_dies) {
    source(kGen1);
    bed.click(kGenPanel, "gen_1.test");
    tick(27);
    ASSERT_EQ(var("ac_volts_needle"), 115.0);
    tick();  // back at OFF: no load, no test
    EXPECT_EQ(var("ac_volts_needle"), 113.0);
    EXPECT_EQ(over(8, "ac_volts_needle"), (Readings{111, 109, 107, 105, 103, 101, 99, 89}));
}

TEST_F(AcMeters, the_phase_selector_changes_no_reading) {
    with_engine_generators();
    source(kBus2);
    tick(20);
    const double volts = var("ac_volts_needle");
    const double freq = var("ac_freq_needle");
    bed.click(kAcSelector, "ac_phase.up");
    tick(5);
    EXPECT_EQ(var("ac_volts_needle"), volts);
    EXPECT_EQ(var("ac_freq_needle"), freq);
    EXPECT_EQ(volts, 115.0);
    EXPECT_EQ(freq, 0.0);
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

TEST_F(AcMeters, an_odd_frequency_needle_snaps_onto_its_stops) {
    set_var("ac_freq_needle", -290);
    tick();
    EXPECT_EQ(var("ac_freq_needle"), -300.0);
    with_engine_generators();
    source(4);  // BUS 1
    set_var("ac_freq_needle", -10);
    tick();
    EXPECT_EQ(var("ac_freq_needle"), 0.0);
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

TEST_F(AcMeters, a_load_meter_brings_a_load_beyond_its_scale_back_and_stores_it) {
    // The load meters read after the generator panel within a frame; a preset load between
    // the panel's tick and the meter's drawing is clamped there.
    shared.apu_gen_load = -40;
    const GaugeInfo& meter = TestBed::gauge(kLoadMeterApu);
    meter.header->update_routine();
    EXPECT_EQ(shared.apu_gen_load, 0);
    shared.apu_gen_load = 450;
    meter.header->update_routine();
    EXPECT_EQ(shared.apu_gen_load, 200);
    EXPECT_EQ(value(kLoadMeterApu, "apu_gen_load_needle"), 200.0);
}

}  // namespace
}  // namespace tarvenol::testing
