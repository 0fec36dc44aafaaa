// Faults the frame fuzzer found, replayed through the simulator's variables: what the instruments
// show when the simulator hands them values that are no numbers or beyond every digit.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host/invariants.h"
#include "host/simulator.h"
#include "module/module_state.h"
#include "module/sim_vocabulary.h"

namespace tarvenol::testing {
namespace {

using host::Violation;

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kHuge = std::numeric_limits<double>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();

class Mended : public ::testing::Test {
protected:
    host::Simulator sim;
    host::FrameInvariants invariants{sim.host()};

    // Every bus powered, held against the electrical gauges, so that every instrument is live.
    Mended() {
        sim.host().before_each_gauge = [] {
            auto& s = shared;
            s.batt_bus_powered = s.dc_bus_powered = s.ac_bus_1_powered = s.ac_bus_2_powered = 1;
            s.ac_ess_bus_powered = s.ac_ess_bus_normal = s.norm_eqpt_ess_powered = s.norm_eqpt_bus2_powered = 1;
            s.ess_equipment_level = 2;
        };
    }
    ~Mended() override { sim.host().before_each_gauge = nullptr; }

    // The element's value after a few frames, with what the frames broke about it.
    double shown(const char* gauge, const char* element, std::vector<Violation>& broken) {
        for (int i = 0; i < 3; ++i) {
            invariants.before_frame();
            sim.frame();
            for (Violation& v : invariants.after_frame())
                if (v.where == std::string(gauge) + " " + element) broken.push_back(v);
        }
        const GaugeInfo* g = find_gauge(gauge);
        const ElementLink* e = g ? find_element(*g, element) : nullptr;
        if (!e) {
            ADD_FAILURE() << gauge << " has no element " << element;
            return kNan;
        }
        EXPECT_TRUE(is_visible(*e->header)) << element << " is not shown, so it shows nothing wrong";
        return sim.host().element_value(e->header);
    }
};

TEST_F(Mended, counter_drums_beyond_every_digit_stand_on_a_digit) {
    sim.model().set_enabled(false);  // the engines' readings stay what the test sets
    sim.vars().set(sim::eng1_n1_pct, kHuge);  // tenths: ten times this is no longer a number
    sim.vars().set(sim::eng2_egt, -kHuge);
    for (const char* drum : {"drum_100", "drum_10", "drum_1", "drum_tenths"}) {
        std::vector<Violation> broken;
        const double v = shown("tarvenol eng_ind_n1_1_t418", drum, broken);
        EXPECT_TRUE(v >= 0.0 && v <= 10.0) << drum << " at " << v;
        EXPECT_TRUE(broken.empty()) << host::describe(broken.front());
    }
    sim.vars().set(sim::eng1_n1_pct, 1e300);  // a whole number far past the last digit
    std::vector<Violation> broken;
    const double v = shown("tarvenol eng_ind_n1_1_t418", "drum_1", broken);
    EXPECT_TRUE(v >= 0.0 && v <= 10.0) << v;
    EXPECT_TRUE(broken.empty()) << host::describe(broken.front());
}

TEST_F(Mended, bars_and_markers_given_no_number_rest_at_neutral) {
    struct Case {
        const char* what;
        void (*set)(host::SimVars&);
        const char* gauge;
        const char* element;
    };
    const Case cases[] = {
        {"course deviation", [](host::SimVars& v) { v.set(sim::nav1_cdi, kNan); }, "tarvenol hsi_t418", "hsi_deviation_vor"},
        {"glide slope", [](host::SimVars& v) { v.set(sim::nav1_gs_flag, 1.0), v.set(sim::nav1_gsi, -kInf); },
         "tarvenol hsi_t418", "hsi_glide_slope"},
        {"aileron", [](host::SimVars& v) { v.set(sim::aileron_pos, kNan); }, "tarvenol surf_ind_t418", "aileron_l_marker"},
        {"aileron", [](host::SimVars& v) { v.set(sim::aileron_pos, -kNan); }, "tarvenol surf_ind_t418", "aileron_r_marker"},
    };
    for (const Case& c : cases) {
        c.set(sim.vars());
        std::vector<Violation> broken;
        EXPECT_EQ(shown(c.gauge, c.element, broken), 0.0) << c.what;
        EXPECT_TRUE(broken.empty()) << host::describe(broken.front());
    }
}

TEST_F(Mended, a_radio_altitude_given_as_no_number_leaves_tape_and_marker_on_the_scale) {
    sim.vars().set(sim::height_agl_m, -kInf);
    std::vector<Violation> broken;
    EXPECT_EQ(shown("tarvenol ralt_t418", "ralt_tape", broken), 0.0) << "the top of the tape";
    EXPECT_TRUE(std::isfinite(shown("tarvenol ralt_t418", "dh_marker", broken)));
    EXPECT_TRUE(broken.empty()) << host::describe(broken.front());
}

}  // namespace
}  // namespace tarvenol::testing
