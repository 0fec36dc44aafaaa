// Ice and probe protection: probe heating by group and supply bus with its lamps and warning, the
// simulator's pitot heat, wing anti-ice in flight and on the ground check, nacelle valves with
// their travel time, all against the stand-in aircraft answering the toggles.
#include <cmath>

#include "aircraft.h"
#include "power.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kProbes = "tarvenol probes_heat_t418";
constexpr const char* kWing = "tarvenol wing_deice_t418";
constexpr const char* kNacelle = "tarvenol nacelle_deice_t418";

class IceProtection : public ::testing::Test {
protected:
    TestBed bed;
    Aircraft aircraft{bed};
    u8 ac_2 = 1, dc = 1;
    void SetUp() override {
        bed.host().before_each_gauge = [this] {
            shared.batt_bus_powered = shared.ac_bus_1_powered = 1;
            shared.ac_bus_2_powered = ac_2;
            shared.dc_bus_powered = dc;
        };
    }
    void all_probes_on() {
        bed.click(kProbes, "probe_capt.on");
        bed.click(kProbes, "probe_stby.on");
        bed.click(kProbes, "probe_fo.on");
    }
    int lamps_lit() {
        int n = 0;
        for (std::size_t i = 0; i < TestBed::gauge(kProbes).element_count; ++i) {
            const ElementLink& e = *TestBed::gauge(kProbes).elements[i];
            if (std::string_view(e.name).ends_with("_lamp")) n += is_visible(*e.header);
        }
        return n;
    }
};

TEST_F(IceProtection, every_probe_heated_lights_nothing_and_losing_ac_bus_2_lights_two_lamps) {
    all_probes_on();
    bed.tick(2);  // the simulator's pitot heat follows the first tick's command
    EXPECT_EQ(lamps_lit(), 0);
    EXPECT_EQ(shared.mw_probe_heat, 0);
    EXPECT_TRUE(bed.sent(key::pitot_heat_on));
    ac_2 = 0;
    bed.tick();
    EXPECT_EQ(lamps_lit(), 2);
    EXPECT_TRUE(bed.shown(kProbes, "probe_stby_tat_lamp"));
    EXPECT_TRUE(bed.shown(kProbes, "probe_fo_aoa_lamp"));
    EXPECT_EQ(shared.mw_probe_heat, 1);
}

TEST_F(IceProtection, the_captain_pitot_lamp_tells_the_simulator_pitot_heat_and_its_failure) {
    bed.tick();
    EXPECT_TRUE(bed.sent(key::pitot_heat_off));
    EXPECT_EQ(lamps_lit(), 14);
    all_probes_on();
    bed.tick();
    EXPECT_TRUE(bed.shown(kProbes, "probe_capt_pitot_lamp")) << "the simulator's heat comes on after the command";
    bed.tick();
    EXPECT_FALSE(bed.shown(kProbes, "probe_capt_pitot_lamp"));
    bed.sim().set(sim::fail_pitot, 1);
    bed.tick();
    EXPECT_TRUE(bed.shown(kProbes, "probe_capt_pitot_lamp"));
    EXPECT_TRUE(bed.sent(key::pitot_heat_off)) << "a failed pitot is not heated";
    EXPECT_EQ(shared.mw_probe_heat, 1);
}

TEST_F(IceProtection, wing_anti_ice_heats_on_in_flight_and_only_at_ground_check_on_the_ground) {
    bed.sim().set(sim::on_ground, 1.0);
    bed.click(kWing, "wing_lh.on");
    bed.tick(2);
    EXPECT_FALSE(bed.sent(key::structural_deice_toggle));
    EXPECT_TRUE(bed.shown(kWing, "lh_supply.no_flow"));
    bed.click(kWing, "wing_lh.grnd_check");
    bed.tick();
    EXPECT_EQ(bed.sent_count(key::structural_deice_toggle), 1);
    EXPECT_TRUE(is_on(bed.sim().get(sim::structural_deice)));
    EXPECT_TRUE(bed.shown(kWing, "lh_supply.flow"));
    EXPECT_EQ(shared.wing_anti_ice_on, 0) << "never on the ground";
    bed.tick(3);
    EXPECT_FALSE(bed.sent(key::structural_deice_toggle)) << "sent only while the simulator disagrees";

    bed.sim().set(sim::on_ground, 0.0);
    bed.tick();
    EXPECT_TRUE(bed.sent(key::structural_deice_toggle)) << "ground check in flight: off";
    bed.click(kWing, "wing_rh.on");
    bed.tick();
    EXPECT_EQ(shared.wing_anti_ice_on, 1);
    EXPECT_FALSE(is_on(bed.sim().get(sim::structural_deice))) << "the right wing drives no simulator de-ice";
    dc = 0;
    bed.tick();
    EXPECT_EQ(shared.wing_anti_ice_on, 0);
    EXPECT_FALSE(bed.shown(kWing, "rh_supply.flow"));
    EXPECT_FALSE(bed.shown(kWing, "rh_supply.no_flow"));
}

TEST_F(IceProtection, the_left_wing_publishes_anti_ice_even_when_the_simulator_de_ice_is_already_on) {
    bed.sim().set(sim::structural_deice, 1.0);
    bed.click(kWing, "wing_lh.on");
    bed.tick();
    EXPECT_FALSE(bed.sent(key::structural_deice_toggle));
    EXPECT_EQ(shared.wing_anti_ice_on, 1);
}

TEST_F(IceProtection, a_nacelle_valve_travels_27_ticks_with_its_disagree_lamp_and_restarts_when_cycled) {
    bed.click(kNacelle, "nacelle_1.on");
    bed.tick();
    EXPECT_TRUE(bed.shown(kNacelle, "nacelle_1_disagree_lamp"));
    bed.tick(10);
    bed.click(kNacelle, "nacelle_1.off");
    bed.tick();
    EXPECT_FALSE(bed.shown(kNacelle, "nacelle_1_disagree_lamp"));
    bed.click(kNacelle, "nacelle_1.on");
    bed.tick(27);
    EXPECT_TRUE(bed.shown(kNacelle, "nacelle_1_disagree_lamp")) << "a fresh 27-tick travel";
    EXPECT_FALSE(bed.sent(key::eng1_anti_ice_toggle));
    bed.tick();
    EXPECT_FALSE(bed.shown(kNacelle, "nacelle_1_disagree_lamp"));
    EXPECT_EQ(bed.sent_count(key::eng1_anti_ice_toggle), 1);
    EXPECT_TRUE(is_on(bed.sim().get(sim::eng1_anti_ice)));
    bed.tick(5);
    EXPECT_FALSE(bed.sent(key::eng1_anti_ice_toggle));
    dc = 0;
    bed.tick();
    EXPECT_EQ(bed.sent_count(key::eng1_anti_ice_toggle), 1) << "the DC bus lost closes it at once";
    EXPECT_TRUE(is_off(bed.sim().get(sim::eng1_anti_ice)));
    EXPECT_FALSE(bed.sent(key::eng2_anti_ice_toggle));
}

}  // namespace
}  // namespace tarvenol::testing
