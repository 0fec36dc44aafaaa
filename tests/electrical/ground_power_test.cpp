// The external power panel: the ground crew connecting and disconnecting ground power with their
// replies, EXT PWR feeding the tie bus, and the essential equipment level with its warning.
#include "electrics.h"

namespace tarvenol::testing {
namespace {

class GroundPower : public Electrics {
protected:
    GroundPower() {
        on_ground_standing_still();
        with_engines_stopped();
    }
    void request() { bed.click(kExtPwrPanel, "ground_crew"); }
    bool reply(const char* name) { return shown(kExtPwrPanel, name); }
    int replies_shown() {
        return reply("reply_ext_pwr_avail") + reply("reply_ext_pwr_off") + reply("reply_no_ext_pwr");
    }
};

TEST_F(GroundPower, a_request_on_the_ground_connects_it_with_the_avail_reply_for_36_ticks) {
    const auto before = clicks_played();
    request();
    EXPECT_EQ(clicks_played(), before);  // the request area is silent
    tick();
    EXPECT_EQ(shared.ext_pwr_connected, 1);
    EXPECT_EQ(shared.ext_pwr_on, 0);  // its switch is still off
    EXPECT_TRUE(shown(kExtPwrPanel, "ext_pwr_avail_light"));
    EXPECT_TRUE(reply("reply_ext_pwr_avail"));
    EXPECT_EQ(replies_shown(), 1);
    tick(35);
    EXPECT_TRUE(reply("reply_ext_pwr_avail"));
    tick();
    EXPECT_EQ(replies_shown(), 0);
    EXPECT_EQ(var("ext_pwr_msg"), 0.0);
}

TEST_F(GroundPower, ext_pwr_on_feeds_both_buses_through_the_closed_contactors) {
    request();
    bed.click(kExtPwrPanel, "ext_pwr.on");
    tick(6);
    EXPECT_EQ(shared.ext_pwr_on, 1);
    EXPECT_TRUE(shown(kExtPwrPanel, "ext_pwr_on_light"));
    EXPECT_EQ(shared.ac_bus_tie_1_closed, 1);
    EXPECT_EQ(shared.ac_bus_tie_2_closed, 1);
    EXPECT_EQ(shared.ac_bus_1_powered, 1);
    EXPECT_EQ(shared.ac_bus_2_powered, 1);
    EXPECT_EQ(shared.dc_bus_powered, 1);
    EXPECT_EQ(shared.ac_fault, 0);
}

TEST_F(GroundPower, a_second_request_disconnects_it_and_turns_the_switch_off) {
    request();
    bed.click(kExtPwrPanel, "ext_pwr.on");
    tick(40);
    request();
    tick();
    EXPECT_EQ(shared.ext_pwr_connected, 0);
    EXPECT_EQ(shared.ext_pwr_on, 0);
    EXPECT_EQ(shared.ext_pwr_sw, 0);
    EXPECT_TRUE(reply("reply_ext_pwr_off"));
    EXPECT_EQ(replies_shown(), 1);
    tick(35);
    EXPECT_TRUE(reply("reply_ext_pwr_off"));
    tick();
    EXPECT_EQ(replies_shown(), 0);
}

TEST_F(GroundPower, a_request_while_rolling_is_refused_for_36_ticks) {
    bed.sim().set_f64(token::velocity_x, 2.5);
    request();
    tick();
    EXPECT_EQ(shared.ext_pwr_connected, 0);
    EXPECT_TRUE(reply("reply_no_ext_pwr"));
    tick(35);
    EXPECT_TRUE(reply("reply_no_ext_pwr"));
    tick();
    EXPECT_FALSE(reply("reply_no_ext_pwr"));
    bed.sim().set_f64(token::velocity_z, -2.5);  // the components cancel out: standing still
    request();
    tick();
    EXPECT_EQ(shared.ext_pwr_connected, 1);
}

TEST_F(GroundPower, starting_both_engines_disconnects_it_and_turns_the_switch_off) {
    request();
    bed.click(kExtPwrPanel, "ext_pwr.on");
    tick(40);
    bed.sim().set_f64(token::eng1_n2, 25.0);
    tick();
    EXPECT_EQ(shared.ext_pwr_on, 1);  // engine 2 still below 20 %
    bed.sim().set_f64(token::eng2_n2, 20.0);
    tick();
    EXPECT_EQ(shared.ext_pwr_connected, 0);
    EXPECT_EQ(shared.ext_pwr_sw, 0);
    tick();
    EXPECT_TRUE(shown(kExtPwrPanel, "ext_pwr_sw.off"));
    EXPECT_EQ(replies_shown(), 0);
}

TEST_F(GroundPower, the_end_of_an_earlier_reply_ends_the_current_one) {
    request();
    tick(11);
    request();
    tick();
    EXPECT_TRUE(reply("reply_ext_pwr_off"));
    EXPECT_TRUE(reply("reply_ext_pwr_avail"));  // hidden only when its own timer ends
    tick(24);
    EXPECT_EQ(replies_shown(), 2);
    tick();
    EXPECT_EQ(replies_shown(), 0);
}

class EssentialEquipment : public Electrics {};

TEST_F(EssentialEquipment, the_ess_bus_and_smoke_drill_selectors_set_the_level) {
    tick();
    EXPECT_EQ(shared.ess_equipment_level, 2);
    bed.click(kExtPwrPanel, "ess_bus.min_eqpt");
    tick();
    EXPECT_EQ(shared.ess_equipment_level, 0);
    bed.click(kExtPwrPanel, "smoke_nav.land");
    tick();
    EXPECT_EQ(shared.ess_equipment_level, 1);
    EXPECT_TRUE(shown(kExtPwrPanel, "smoke_nav_sel_sw.land"));
    EXPECT_TRUE(shown(kExtPwrPanel, "ess_bus_eqpt_sw.min_eqpt"));
}

TEST_F(EssentialEquipment, normal_equipment_warns_without_ac_and_is_powered_on_the_generators) {
    tick(2);
    EXPECT_EQ(shared.norm_eqpt_ess_powered, 0);
    EXPECT_EQ(shared.norm_eqpt_bus2_powered, 0);
    EXPECT_EQ(shared.ess_eqpt_warn, 1);
    with_engine_generators();
    EXPECT_EQ(shared.norm_eqpt_ess_powered, 1);
    EXPECT_EQ(shared.norm_eqpt_bus2_powered, 1);
    EXPECT_EQ(shared.ess_eqpt_warn, 0);
}

TEST_F(EssentialEquipment, at_minimum_equipment_nothing_is_powered_and_the_warning_is_left_as_it_was) {
    tick(2);
    bed.click(kExtPwrPanel, "ess_bus.min_eqpt");
    with_engine_generators();
    EXPECT_EQ(shared.norm_eqpt_ess_powered, 0);
    EXPECT_EQ(shared.norm_eqpt_bus2_powered, 0);
    EXPECT_EQ(shared.ess_eqpt_warn, 1);
}

}  // namespace
}  // namespace tarvenol::testing
