// The stand-in simulator's radios: BCD frequencies that step with the control heads' events, whole
// megahertz wrapping within the band, fractions wrapping within the megahertz without carrying.
#include <gtest/gtest.h>

#include <cstdint>

#include "host/simulator.h"

namespace tarvenol::host {
namespace {

struct Tuner {
    Simulator sim;
    template <class Var>
    std::int32_t after(Var frequency, std::int32_t bcd, ::tarvenol::KeyEvent event) {
        sim.vars().set(frequency, bcd);
        sim.model().key_event(event.id, 0);
        return sim.vars().get(frequency);
    }
};

TEST(RadioTuning, frequencies_step_and_wrap_as_the_simulator_tunes_them) {
    Tuner t;
    const struct {
        const char* what;
        std::int32_t from;
        ::tarvenol::KeyEvent event;
        std::int32_t to;
    } cases[] = {
        {"NAV 1 whole up", 0x1095, key::nav1_whole_up, 0x1195},
        {"NAV 1 whole up past 117", 0x1795, key::nav1_whole_up, 0x0895},
        {"NAV 1 whole down past 108", 0x0800, key::nav1_whole_down, 0x1700},
        {"NAV 1 fraction up", 0x0800, key::nav1_fract_up, 0x0805},
        {"NAV 1 fraction up past .95, no carry", 0x1795, key::nav1_fract_up, 0x1700},
        {"NAV 1 fraction down past .00, no borrow", 0x0800, key::nav1_fract_down, 0x0895},
        {"COM 1 whole up past 135", 0x3597, key::com1_whole_up, 0x1897},
        {"COM 1 whole down past 118", 0x1800, key::com1_whole_down, 0x3500},
        {"COM 1 fraction up by 25 kHz", 0x1800, key::com1_fract_up, 0x1802},
        {"COM 1 fraction .025 to .050", 0x1802, key::com1_fract_up, 0x1805},
        {"COM 1 fraction .075 to .100", 0x1807, key::com1_fract_up, 0x1810},
        {"COM 1 fraction up past .975, no carry", 0x3597, key::com1_fract_up, 0x3500},
        {"COM 1 fraction down past .000", 0x2200, key::com1_fract_down, 0x2297},
    };
    for (const auto& c : cases) {
        const std::int32_t got = c.event.id >= key::com1_whole_down.id && c.event.id <= key::com1_fract_up.id
                                     ? t.after(sim::com1_freq_bcd, c.from, c.event)
                                     : t.after(sim::nav1_freq_bcd, c.from, c.event);
        EXPECT_EQ(got, c.to) << c.what << std::hex << ": 0x" << got;
    }
}

TEST(RadioTuning, each_radio_tunes_only_its_own_frequency) {
    Tuner t;
    t.sim.vars().set(sim::nav1_freq_bcd, 0x1000);
    t.sim.vars().set(sim::com1_freq_bcd, 0x2000);
    EXPECT_EQ(t.after(sim::nav2_freq_bcd, 0x1100, key::nav2_whole_down), 0x1000);
    EXPECT_EQ(t.after(sim::com2_freq_bcd, 0x2100, key::com2_fract_up), 0x2102);
    EXPECT_EQ(t.sim.vars().get(sim::nav1_freq_bcd), 0x1000);
    EXPECT_EQ(t.sim.vars().get(sim::com1_freq_bcd), 0x2000);
}

TEST(RadioTuning, a_radio_out_of_its_band_comes_into_it_on_the_first_step) {
    Tuner t;
    EXPECT_EQ(t.after(sim::nav1_freq_bcd, 0, key::nav1_whole_up), 0x0800);
    EXPECT_EQ(t.after(sim::com1_freq_bcd, 0, key::com1_whole_down), 0x3500);
    EXPECT_EQ(t.after(sim::com1_freq_bcd, -1, key::com1_fract_up), 0x1802) << "a value with no BCD digits";
}

TEST(AltimeterSetting, steps_by_a_hectopascal_and_the_inches_follow) {
    Simulator sim;
    sim.vars().set(sim::baro_hpa, 1013.0);
    sim.model().key_event(key::baro_up.id, 0);
    EXPECT_EQ(sim.vars().get(sim::baro_hpa), 1014.0);
    EXPECT_NEAR(sim.vars().get(sim::baro_inhg), 29.94, 0.005);
    sim.model().key_event(key::baro_down.id, 0);
    sim.model().key_event(key::baro_down.id, 0);
    EXPECT_EQ(sim.vars().get(sim::baro_hpa), 1012.0);
}

}  // namespace
}  // namespace tarvenol::host
