// The cockpit's invariants: every kind of fault, planted through the simulator's interfaces, is
// reported with its place and value, values at the edge of what is allowed are not, and the cockpit
// itself runs clean.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "host/invariants.h"
#include "host/simulator.h"
#include "module/module_state.h"
#include "module/sim_vocabulary.h"
#include "sound/mixer.h"
#include "sound/sound.h"

namespace tarvenol::testing {
namespace {

using host::FrameInvariants;
using host::Violation;

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string all(const std::vector<Violation>& found) {
    std::string text;
    for (const Violation& v : found) text += host::describe(v) + "\n";
    return text;
}

const Violation* find(const std::vector<Violation>& found, Violation::Kind kind, const std::string& where) {
    for (const Violation& v : found)
        if (v.kind == kind && v.where == where) return &v;
    return nullptr;
}

class Invariants : public ::testing::Test {
protected:
    host::Simulator sim;
    FrameInvariants invariants{sim.host()};

    std::vector<Violation> frame() {
        invariants.before_frame();
        sim.frame();
        return invariants.after_frame();
    }
    std::vector<Violation> frames(int n) {
        std::vector<Violation> found;
        for (int i = 0; i < n && found.empty(); ++i) found = frame();
        return found;
    }
    static void plant(const std::string& name, double value, std::size_t index = 0) {
        const VarRef* v = find_var(name);
        ASSERT_NE(v, nullptr) << name;
        write_var(*v, value, index);
    }
    static std::vector<Violation> variables() {
        std::vector<Violation> found;
        host::check_variables(found);
        return found;
    }
};

TEST_F(Invariants, a_loaded_cockpit_and_its_powered_up_systems_hold_every_invariant) {
    EXPECT_TRUE(variables().empty()) << all(variables());
    auto found = frames(36);
    EXPECT_TRUE(found.empty()) << all(found);
    // Batteries on, the APU started and its generator on: buses, pumps and needles move.
    plant("batt_1_sw", 2);
    plant("batt_2_sw", 2);
    plant("batt_3_sw", 2);
    plant("apu_master_sw", 1);
    plant("apu_start_sw", 1);
    plant("apu_gen_ctl_sw", 1);
    found = frames(18 * 60);
    EXPECT_TRUE(found.empty()) << all(found);
    EXPECT_EQ(sim.frames_run(), 36 + 18 * 60);
}

TEST_F(Invariants, a_variable_outside_its_declared_values_is_reported_with_its_name_and_value) {
    struct Case {
        const char* name;
        std::size_t index;
        double bad;   // reported
        double edge;  // allowed
    };
    const Case cases[] = {
        {"hyd_blue_press", 0, 4294967281.0, 3000.0},  // a pressure decayed 15 psi below zero, as unsigned
        {"batt_1_sw", 0, 3.0, 2.0},                   // a switch beyond its positions
        {"tr_1_on", 0, 2.0, 1.0},                     // a flag
        {"gpws_alert", 0, 11.0, 422.0},               // a code not in its list
        {"hdg_sel", 0, 360.0, 0.0},
        {"snd_master_vol_pos", 0, -11.0, -10.0},
        {"apu_egt", 0, kNan, -1e9},                   // a value the cockpit computes must stay a number
        {"trp_n1_limit", 0, -kInf, 105.3},
        {"sound_volume", 3, 5.0, -10000.0},           // one element of an array
        {"brake_press_a", 0, 32001.0, 32000.0},       // a gauge's own needle
    };
    for (const Case& c : cases) {
        const std::string where = (find_var(c.name) && find_var(c.name)->meaning ? "shared " : "") + std::string(c.name);
        plant(c.name, c.bad, c.index);
        auto found = variables();
        ASSERT_EQ(found.size(), 1u) << c.name << "\n" << all(found);
        EXPECT_NE(found[0].where.find(c.name), std::string::npos) << found[0].where;
        EXPECT_EQ(found[0].kind, Violation::Kind::variable);
        if (std::isnan(c.bad))
            EXPECT_TRUE(std::isnan(found[0].value));
        else
            EXPECT_EQ(found[0].value, c.bad) << c.name;
        plant(c.name, c.edge, c.index);
        found = variables();
        EXPECT_TRUE(found.empty()) << c.name << " at " << c.edge << "\n" << all(found);
    }
}

TEST_F(Invariants, an_element_showing_what_its_drawing_cannot_is_reported_with_its_value) {
    // A tape offset that is no number has no place in its window.
    struct Case {
        const char* variable;
        double planted;
        const char* element;
    };
    const Case cases[] = {
        {"flap_tape", kNan, "tarvenol flaps_ind_t418 flap_tape"},
        {"aoa_tape", kInf, "tarvenol aoa_t418 aoa_tape"},
    };
    for (const Case& c : cases) {
        plant(c.variable, c.planted);
        const auto found = frame();
        const Violation* v = find(found, Violation::Kind::element, c.element);
        ASSERT_NE(v, nullptr) << c.variable << "\n" << all(found);
        EXPECT_EQ(std::isnan(v->value), std::isnan(c.planted)) << v->value;
        if (!std::isnan(c.planted)) {
            EXPECT_EQ(v->value, c.planted);
        }
    }
}

TEST_F(Invariants, a_key_event_outside_the_vocabulary_is_reported_after_the_frame) {
    // One past the highest event of the vocabulary, sent between frames as a click sends one.
    std::uint32_t unknown = 0;
    for (const key::KeyInfo& k : key::kEvents) unknown = std::max(unknown, k.id + 1);
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", unknown);
    sim.host().key_event(unknown, 7);
    sim.host().key_event(key::gear_down.id, 0);
    auto found = frame();
    ASSERT_EQ(found.size(), 1u) << all(found);
    EXPECT_EQ(found[0].kind, Violation::Kind::key_event);
    EXPECT_EQ(found[0].value, double(unknown));
    EXPECT_NE(found[0].where.find(hex), std::string::npos) << found[0].where;
    found = frame();
    EXPECT_TRUE(found.empty()) << all(found);
}

// A loop left on by a faulty gauge: the sound loops after the frame whatever the dispatcher did.
class Loops : public Invariants {
protected:
    Loops() { frames(2); }
    std::vector<Violation> loop_checked(snd::SoundId sound, const std::function<void()>& before,
                                        const std::function<void()>& after) {
        before();
        const auto start = host::current_conditions(sim.host());
        after();
        snd::play_loop(sound);
        std::vector<Violation> found;
        host::check_looping_sounds(start, host::current_conditions(sim.host()), found);
        snd::stop(sound);
        return found;
    }
};

TEST_F(Loops, a_warning_loop_outlives_its_request_only_where_a_rule_keeps_it) {
    auto set = [](std::initializer_list<std::pair<const char*, double>> list) {
        return [values = std::vector<std::pair<const char*, double>>(list)] {
            for (const auto& [name, v] : values) plant(name, v);
        };
    };
    auto gear = [this](double position, double flaps, double cancel) {
        return [this, position, flaps, cancel] {
            sim.vars().set(sim::gear_nose_pos, position);
            sim.vars().set(sim::flap_pos, flaps);
            plant("flap_step_3_raw", 10240);
            plant("aural_cancel", cancel);
        };
    };
    const auto nothing = [] {};
    struct Case {
        const char* what;
        snd::SoundId sound;
        std::function<void()> before, after;
        bool reported;
    };
    const Case cases[] = {
        {"overspeed clacker without its request", snd::CLACKER, set({{"clacker_req", 0}}), nothing, true},
        {"overspeed clacker requested", snd::CLACKER, set({{"clacker_req", 1}}), nothing, false},
        {"request gone during the frame", snd::CLACKER, set({{"clacker_req", 1}}), set({{"clacker_req", 0}}), false},
        {"altitude chime requested", snd::REREP, set({{"alt_alert_cont", 1}, {"gpws_alert", 0}}), nothing, false},
        {"altitude chime under a callout", snd::REREP, set({{"alt_alert_cont", 1}, {"gpws_alert", 10}}), nothing, true},
        {"altitude chime not requested", snd::REREP, set({{"alt_alert_cont", 0}, {"gpws_alert", 0}}), nothing, true},
        {"gear horn, gear up, landing flaps", snd::KLAXONCONT, gear(0, 16383, 0), nothing, false},
        {"gear horn cancelled", snd::KLAXONCONT, gear(0, 16383, 1), nothing, true},
        {"gear horn cancelled during the frame", snd::KLAXONCONT, gear(0, 16383, 0), set({{"aural_cancel", 1}}), false},
        {"gear horn with the gear down", snd::KLAXONCONT, gear(16383, 16383, 0), nothing, true},
        {"gear horn, flaps at the third step", snd::KLAXONCONT, gear(0, 10241, 0), nothing, true},
        {"fire bell without a fire", snd::SONNERIE, set({{"batt_bus_powered", 1}, {"eng_1_fire", 0}, {"eng_2_fire", 0}}),
         nothing, true},
        {"fire bell kept without the battery bus", snd::SONNERIE,
         set({{"batt_bus_powered", 0}, {"eng_1_fire", 0}, {"eng_2_fire", 0}}), nothing, false},
        {"fire bell for a fire", snd::SONNERIE, set({{"batt_bus_powered", 1}, {"eng_2_fire", 1}, {"aural_cancel", 0}}),
         nothing, false},
        {"fire bell cancelled", snd::SONNERIE, set({{"batt_bus_powered", 1}, {"eng_2_fire", 1}, {"aural_cancel", 1}}),
         nothing, true},
        {"continuous gong without its condition", snd::GONGCONT,
         set({{"batt_bus_powered", 1}, {"eng_1_fire", 0}, {"eng_2_fire", 0}, {"mw_var868_high", 0}}), nothing, true},
        {"continuous gong left by a fire bell", snd::GONGCONT,
         set({{"batt_bus_powered", 1}, {"eng_1_fire", 1}, {"mw_var868_high", 0}}), nothing, false},
        {"configuration horn without its condition", snd::KLAXONINT,
         set({{"batt_bus_powered", 1}, {"eng_1_fire", 0}, {"mw_var868_high", 0}, {"mw_flaps_config", 0}}), nothing, true},
        {"configuration horn for a flap configuration", snd::KLAXONINT,
         set({{"batt_bus_powered", 1}, {"eng_1_fire", 0}, {"mw_var868_high", 0}, {"mw_flaps_config", 1}}), nothing, false},
    };
    for (const Case& c : cases) {
        const auto found = loop_checked(c.sound, c.before, c.after);
        const std::string where = std::string("sound ") + snd::kSoundNames[c.sound] + " looping";
        EXPECT_EQ(find(found, Violation::Kind::sound, where) != nullptr, c.reported) << c.what << "\n" << all(found);
        EXPECT_EQ(found.size(), c.reported ? 1u : 0u) << c.what << "\n" << all(found);
    }
}

TEST_F(Loops, the_dispatcher_stops_a_loop_whose_request_is_gone_within_one_frame) {
    snd::play_loop(snd::REREP);
    plant("alt_alert_cont", 0);
    EXPECT_TRUE(snd::mixer::state(snd::handles[snd::REREP]).looping);
    const auto found = frame();
    EXPECT_TRUE(found.empty()) << all(found);
    EXPECT_FALSE(snd::mixer::state(snd::handles[snd::REREP]).playing);
}

}  // namespace
}  // namespace tarvenol::testing

