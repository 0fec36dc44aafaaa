// Lighting and signs: the simulator's panel lighting pulses, the exterior lights re-asserted from
// their switches and the power, the sign chimes, the lamp test and the pop-up windows at start.
#include <string>
#include <vector>

#include "aircraft.h"
#include "sound/mixer.h"
#include "testbed.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kPanelLight = "tarvenol panel_light_t418";
constexpr const char* kFltDeck = "tarvenol flt_deck_lt_t418";
constexpr const char* kExtLt = "tarvenol ext_lt_t418";
constexpr const char* kSigns = "tarvenol signs_t418";

class Lighting : public ::testing::Test {
public:
    TestBed bed;
    Aircraft aircraft{bed};
    u8 batt = 1;
    u8 ac_ess = 1;
    u8 ac = 1;
    i32 gen = 100;
    i32 apu = 0;
    Lighting() {
        bed.host().before_each_gauge = [this] {
            auto& s = shared;
            s.batt_bus_powered = batt;
            s.ac_ess_bus_powered = ac_ess;
            s.ac_bus_1_powered = ac;
            s.ac_bus_2_powered = ac;
            s.gen_1_load = gen;
            s.gen_2_load = 0;
            s.apu_gen_avail = apu;
        };
    }
    // The panel lighting events the overlay gauge sent on the last tick: +1 on, -1 off, 0 none.
    int pulse_event() {
        if (bed.sent(key::panel_lights_on, kPanelLight)) return +1;
        if (bed.sent(key::panel_lights_off, kPanelLight)) return -1;
        return 0;
    }
    // Ticks n frames one by one, recording the overlay gauge's panel lighting events.
    std::vector<int> pulses(int n) {
        std::vector<int> seen;
        for (int i = 0; i < n; ++i) {
            bed.tick();
            seen.push_back(pulse_event());
        }
        return seen;
    }
    static u32 plays(const char* sound) { return snd::mixer::state(sound).play_once_requests; }
};

// on at once, off 9 ticks later, on 9 ticks after that
std::vector<int> one_pulse() {
    std::vector<int> p(19, 0);
    p[0] = +1;
    p[9] = -1;
    p[18] = +1;
    return p;
}

TEST_F(Lighting, switching_the_panel_lighting_on_pulses_once_and_shows_the_normal_overlay) {
    bed.tick();
    shared.panel_lt_sw = 1;
    EXPECT_EQ(pulses(19), one_pulse());
    EXPECT_EQ(pulses(30), std::vector<int>(30, 0)) << "settled: no further pulse";
    EXPECT_TRUE(bed.shown(kPanelLight, "panel_lt.normal"));
    EXPECT_FALSE(bed.shown(kPanelLight, "panel_lt.storm"));

    shared.panel_lt_sw = 0;
    EXPECT_EQ(pulses(19), one_pulse()) << "switching off pulses again";
    EXPECT_EQ(pulses(30), std::vector<int>(30, 0));
    EXPECT_FALSE(bed.shown(kPanelLight, "panel_lt.normal"));
}

TEST_F(Lighting, storm_four_ticks_after_switching_on_pulses_on_its_own_timer_and_swaps_the_overlay) {
    bed.tick();
    shared.panel_lt_sw = 1;
    std::vector<int> seen = pulses(4);
    shared.storm_lt_sw = 1;
    for (int e : pulses(40)) seen.push_back(e);
    // Both pulses: the first at 0, 9, 18 and the storm pulse at 4, 13, 22.
    std::vector<int> expected(44, 0);
    for (int t : {0, 4, 18, 22}) expected[t] = +1;
    for (int t : {9, 13}) expected[t] = -1;
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(bed.shown(kPanelLight, "panel_lt.storm"));
    EXPECT_FALSE(bed.shown(kPanelLight, "panel_lt.normal"));
}

TEST_F(Lighting, a_dead_ac_essential_bus_with_the_switch_on_settles_dark_instead_of_pulsing_for_ever) {
    ac_ess = 0;
    bed.tick();
    shared.panel_lt_sw = 1;
    shared.storm_lt_sw = 1;
    EXPECT_EQ(pulses(60), std::vector<int>(60, 0));
    EXPECT_FALSE(bed.shown(kPanelLight, "panel_lt.normal"));
    EXPECT_FALSE(bed.shown(kPanelLight, "panel_lt.storm"));

    ac_ess = 1;  // the bus comes back: one pulse, then steady
    EXPECT_EQ(pulses(19), one_pulse());
    EXPECT_EQ(pulses(30), std::vector<int>(30, 0));
    ac_ess = 0;  // and goes again: one pulse off
    EXPECT_EQ(pulses(19), one_pulse());
    EXPECT_EQ(pulses(30), std::vector<int>(30, 0));
}

TEST_F(Lighting, a_pulse_step_is_taken_when_its_time_is_passed_even_if_ticks_were_skipped) {
    bed.tick();
    shared.panel_lt_sw = 1;
    bed.tick();  // on sent, due 9 ticks later
    bed.host().hold(sim::tick_counter.token);
    bed.sim().set(sim::tick_counter, bed.sim().get(sim::tick_counter) + 20);  // a pause skips ticks
    bed.tick();
    EXPECT_EQ(pulse_event(), -1);
}

TEST_F(Lighting, nav_lights_follow_the_switch_and_the_dc_essential_bus_and_drive_the_panel_lighting) {
    bed.click(kExtLt, "nav.on");
    bed.tick();
    EXPECT_TRUE(bed.sent(key::panel_lights_on, kExtLt));
    EXPECT_TRUE(bed.sent(key::nav_lights_toggle));
    EXPECT_DOUBLE_EQ(bed.sim().get(sim::nav_lights), 1.0) << "the model toggled them on";
    bed.tick();
    EXPECT_TRUE(bed.sent(key::panel_lights_on, kExtLt));
    EXPECT_FALSE(bed.sent(key::nav_lights_toggle)) << "already on: not toggled again";

    batt = 0;
    bed.tick();
    EXPECT_TRUE(bed.sent(key::panel_lights_off, kExtLt));
    EXPECT_TRUE(bed.sent(key::nav_lights_toggle));
    EXPECT_DOUBLE_EQ(bed.sim().get(sim::nav_lights), 0.0);
}

TEST_F(Lighting, toggled_lights_need_a_generator_and_each_switch_toggles_its_own_light) {
    struct Case {
        const char* switch_name;
        KeyEvent toggle;
        int token;
    };
    const Case cases[] = {
        {"logo", key::logo_lights_toggle, sim::logo_light.token},
        {"beacon", key::beacon_light_toggle, sim::beacon_light.token},
        {"wing", key::wing_lights_toggle, sim::wing_lights.token},
        {"nose", key::nose_light_toggle, sim::nose_light.token},
        {"runway", key::nose_light_toggle, sim::nose_light.token},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.switch_name);
        TestBed fresh;  // each light from a cold panel
        Aircraft fresh_aircraft{fresh};
        u8 ac_on = 1;
        i32 gen_load = 0;
        fresh.host().before_each_gauge = [&] {
            shared.batt_bus_powered = 1;
            shared.ac_bus_1_powered = ac_on;
            shared.gen_1_load = gen_load;
        };
        fresh.click(kExtLt, (std::string(c.switch_name) + ".on").c_str());
        fresh.tick();
        EXPECT_FALSE(fresh.sent(c.toggle)) << "external power alone does not light it";
        gen_load = 50;
        fresh.tick();
        EXPECT_EQ(fresh.sent_count(c.toggle), 1);
        EXPECT_DOUBLE_EQ(fresh.host().vars().f64(c.token), 1.0);
        fresh.tick();
        EXPECT_FALSE(fresh.sent(c.toggle));
        ac_on = 0;  // both AC buses lost: off, the switch stays on
        fresh.tick();
        EXPECT_EQ(fresh.sent_count(c.toggle), 1);
        EXPECT_DOUBLE_EQ(fresh.host().vars().f64(c.token), 0.0);
        EXPECT_EQ(fresh.sent_count(key::beacon_light_toggle), c.toggle.id == key::beacon_light_toggle.id ? 1 : 0)
            << "no other light's event";
    }
}

TEST_F(Lighting, strobes_and_landing_lights_are_set_every_tick_and_stay_off_on_external_power_alone) {
    gen = 0;  // external power only
    bed.click(kExtLt, "strobe.on");
    bed.click(kExtLt, "land_rh.on");
    bed.tick(3);
    EXPECT_EQ(bed.sent_count(key::strobes_off), 3);
    EXPECT_EQ(bed.sent_count(key::landing_lights_off), 3);
    EXPECT_FALSE(bed.sent(key::strobes_on));
    EXPECT_TRUE(bed.shown(kExtLt, "land_lh.on")) << "both landing light switches move together";
    apu = 100;
    bed.tick(2);
    EXPECT_EQ(bed.sent_count(key::strobes_on), 2);
    EXPECT_EQ(bed.sent_count(key::landing_lights_on), 2);
}

TEST_F(Lighting, sign_switches_chime_high_on_and_low_off_only_with_the_dc_essential_bus) {
    bed.tick();
    const u32 hi = plays("HI"), lo = plays("LO"), clicks = plays("CLICK");
    bed.click(kSigns, "seat_belts.on");
    EXPECT_EQ(plays("HI"), hi + 1);
    bed.click(kSigns, "seat_belts.on");  // no change: silent
    EXPECT_EQ(plays("HI"), hi + 1);
    EXPECT_EQ(plays("CLICK"), clicks + 1);
    bed.click(kSigns, "no_smoking.on");
    bed.click(kSigns, "no_smoking.off");
    EXPECT_EQ(plays("HI"), hi + 2);
    EXPECT_EQ(plays("LO"), lo + 1);

    shared.batt_bus_powered = 0;  // the click area reads the bus as it is now
    batt = 0;
    bed.tick();
    bed.click(kSigns, "seat_belts.off");
    EXPECT_EQ(plays("LO"), lo + 1) << "click only, no chime";
    EXPECT_EQ(plays("CLICK"), clicks + 4);
    bed.tick();
    EXPECT_TRUE(bed.shown(kSigns, "seat_belts.off"));
}

TEST_F(Lighting, the_ann_lt_selector_holds_the_lamp_test_while_at_test) {
    bed.click(kFltDeck, "ann_lt.test");
    bed.tick(5);
    EXPECT_EQ(shared.ann_lt_test, 1);
    EXPECT_TRUE(bed.shown(kFltDeck, "ann_lt.test"));
    bed.click(kFltDeck, "ann_lt.dim");
    bed.tick();
    EXPECT_EQ(shared.ann_lt_test, 0);
    EXPECT_TRUE(bed.shown(kFltDeck, "ann_lt.dim"));
    EXPECT_FALSE(bed.shown(kFltDeck, "ann_lt.brt"));
    shared.ann_lt_sel = 7;  // a preset out of range: no picture, no test
    bed.tick();
    EXPECT_EQ(shared.ann_lt_test, 0);
}

TEST_F(Lighting, the_first_tick_opens_the_pop_up_windows_in_order_once) {
    TestBed loaded{StartUp::runs};
    Aircraft loaded_aircraft{loaded};
    const abi::GAUGEHDR* lighting = TestBed::gauge(kFltDeck).header;
    // The start-up setting that follows in the same frame reads the state the lighting leaves.
    u8 state_after_lighting = 0;
    loaded.host().before_each_gauge = [&] {
        if (state_after_lighting == 0) state_after_lighting = shared.cockpit_init_state;
    };
    loaded.tick();
    std::vector<u32> opened;
    for (const auto& k : loaded.host().key_events())
        if (k.id == key::panel_window_open.id && k.sender == lighting) opened.push_back(k.value);
    EXPECT_EQ(opened, (std::vector<u32>{10030, 10040, 10050, 10090, 10060, 10080}));
    EXPECT_EQ(state_after_lighting, 1);
    EXPECT_TRUE(loaded.host().window_open(10060));
    loaded.tick();
    EXPECT_FALSE(loaded.sent(key::panel_window_open, kFltDeck));
}

}  // namespace
}  // namespace tarvenol::testing
