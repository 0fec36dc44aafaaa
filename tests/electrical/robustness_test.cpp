// Whatever the simulator reports and whatever the crew clicks, the electrical state stays within
// its ranges: undefined, infinite and huge simulator values, a stalled tick counter, and long
// random click sequences on every electrical control.
#include <limits>
#include <random>

#include "electrics.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kElectricalGauges[] = {kBattPanel,   kDcPanel,     kDcSelector,   kDcVoltmeter, kDcAmmeter,
                                             kExtPwrPanel, kGenPanel,    kAcPanel,      kAcSelector,  kAcVoltmeter,
                                             kAcFreqMeter, kLoadMeter1,  kLoadMeter2,   kLoadMeterApu};

constexpr int kTokensRead[] = {token::tick_counter, token::on_ground, token::velocity_x, token::velocity_z,
                               token::eng1_n1,      token::eng1_n2,   token::eng2_n1,    token::eng2_n2,
                               token::clock,        token::sim_bus_volts};

class ElectricalRobustness : public Electrics {
protected:
    void expect_within_ranges() {
        const auto& s = shared;
        for (u8 flag : {s.batt_bus_powered, s.dc_bus_powered, s.batt_sw_any_on, s.batt_1_connected, s.tr_1_on,
                        s.tr_ess_on, s.dc_fault, s.ac_bus_1_powered, s.ac_bus_2_powered, s.ac_ess_bus_normal,
                        s.ac_ess_on_inverter, s.ac_ess_bus_powered, s.ac_bus_tie_1_closed, s.ac_bus_tie_2_closed,
                        s.ac_fault, s.ext_pwr_connected, s.ext_pwr_on, s.ess_eqpt_warn, s.gen_1_off_warn,
                        s.apu_gen_off_warn, s.norm_eqpt_ess_powered}) {
            EXPECT_LE(flag, 1);
        }
        EXPECT_LE(s.batt_charge, 1800u);
        EXPECT_GE(s.batt_current, -50);
        EXPECT_LE(s.batt_current, 50);
        for (i32 load : {s.gen_1_load, s.gen_2_load, s.apu_gen_avail, s.apu_gen_load})
            EXPECT_TRUE(load == 0 || load == 50 || load == 100) << load;
        EXPECT_LE(s.ess_equipment_level, 2);
        EXPECT_LE(s.dc_meter_sel, 7);
        EXPECT_LE(s.ac_meter_sel, 8);
        EXPECT_LE(s.ac_ess_feed_sel, 4);
        EXPECT_LE(var("dc_volts_needle"), 35.0);
        EXPECT_LE(var("ac_volts_needle"), 130.0);
        EXPECT_GE(var("ac_freq_needle"), -300.0);
        EXPECT_LE(var("ac_freq_needle"), 300.0);
        EXPECT_LE(var("ext_pwr_msg"), 3.0);
        for (const char* gauge : kElectricalGauges) {
            const GaugeInfo& g = TestBed::gauge(gauge);
            for (std::size_t i = 0; i < g.element_count; ++i) {
                const double v = bed.host().element_value(g.elements[i]->header);
                EXPECT_EQ(v, v) << gauge << " " << g.elements[i]->name;  // never NaN
            }
        }
    }
};

class UndefinedSimulatorValues : public ElectricalRobustness, public ::testing::WithParamInterface<double> {};

TEST_P(UndefinedSimulatorValues, leave_every_electrical_value_defined) {
    with_generators_on();
    bed.click(kGenPanel, "apu_gen.on");
    bed.click(kExtPwrPanel, "ground_crew");
    bed.click(kExtPwrPanel, "ext_pwr.on");
    bed.host().hold(token::tick_counter);
    for (int t : kTokensRead) bed.sim().set_f64(t, GetParam());
    for (int n = 0; n < 60; ++n) {
        if (n == 20) bed.click(kGenPanel, "gen_1.test");
        if (n == 30) bed.click(kExtPwrPanel, "ground_crew");
        bed.tick();
    }
    expect_within_ranges();
    // The simulator comes back to its senses: the cockpit carries on from where it stands.
    bed.host().release(token::tick_counter);
    bed.sim().set_f64(token::tick_counter, 5000.0);
    with_engines_running();
    on_ground_standing_still();
    set_clock(kClockStart + 100);
    tick(60);
    expect_within_ranges();
    EXPECT_EQ(shared.ac_bus_1_powered, 1);
}

INSTANTIATE_TEST_SUITE_P(Values, UndefinedSimulatorValues,
                         ::testing::Values(std::numeric_limits<double>::quiet_NaN(),
                                           std::numeric_limits<double>::infinity(),
                                           -std::numeric_limits<double>::infinity(), 1e300, -1e300, -1.0,
                                           4294967296.0, 0.999));

TEST_F(ElectricalRobustness, random_click_sequences_on_every_electrical_control_stay_in_range) {
    std::mt19937 random(20260418);
    std::vector<std::pair<const char*, const char*>> areas;
    for (const char* gauge : kElectricalGauges) {
        const GaugeInfo& g = TestBed::gauge(gauge);
        for (std::size_t i = 0; i < g.area_count; ++i) areas.emplace_back(gauge, g.areas[i].name);
    }
    ASSERT_FALSE(areas.empty());
    with_engines_running();
    on_ground_standing_still();
    for (int step = 0; step < 3000; ++step) {
        const auto& [gauge, area] = areas[random() % areas.size()];
        bed.click(gauge, area);
        if (step % 3 == 0) run_clock(1);
        if (step % 250 == 0) with_apu_running(step % 500 == 0);
        if (step % 400 == 0) shared.fail_gen_1 = shared.fail_gen_1 ? 0 : 1;
    }
    tick(40);
    expect_within_ranges();
}

}  // namespace
}  // namespace tarvenol::testing
