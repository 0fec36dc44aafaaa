// The master warning panels and the aural dispatcher: lights, acknowledgement and re-alert, the
// takeoff inhibit, the big panel window, the chimes by class, aural cancel and the gear horn.
#include <cmath>
#include <initializer_list>
#include <string>

#include "warnings.h"

namespace tarvenol::testing {
namespace {

class MasterWarning : public Warnings {
protected:
    double ack_1(int light) { return read_var(*find_var("mw_ack_1"), light - 1); }
    double ack_2(int light) { return read_var(*find_var("mw_ack_2"), light - 1); }
    double latch(const char* input) { return var((std::string("mw_latch_") + input).c_str()); }
    bool lit_both(const char* small, const char* big, const char* light) { return lit(small, light) && lit(big, light); }

    // Two conditions of one looping class: the class sounds, the new warning opens the big panel, and
    // once the crew has acknowledged the light(s) and closed the window they stay so.
    void acknowledged_for_good(u8& first, u8& second, const char* gauge, std::initializer_list<const char*> lights,
                                   const char* sound) {
        hold(first, 1);
        bed.tick();
        hold(second, 1);
        bed.tick(2);
        EXPECT_TRUE(snd::mixer::state(sound).looping) << sound;
        EXPECT_EQ(shared.mw_big_panel_open, 1);
        for (const char* light : lights) {
            EXPECT_TRUE(bed.shown(gauge, light)) << light;
            bed.click(gauge, std::string(light).substr(0, std::string(light).size() - 6).c_str());
        }
        bed.click(kMwp1Big, "master");
        bed.tick(10);
        for (const char* light : lights) EXPECT_FALSE(bed.shown(gauge, light)) << light << " stays acknowledged";
        EXPECT_EQ(shared.mw_big_panel_open, 0);
        EXPECT_EQ(bed.sent_count(key::panel_window_open), 0);
        EXPECT_TRUE(snd::mixer::state(sound).looping) << "it sounds as long as they last";
    }

};

TEST_F(MasterWarning, a_caution_gongs_once_is_acknowledged_and_relights_with_one_gong_when_it_returns) {
    const u32 gongs = plays("GONGMONO");
    raise(shared.mw_apu_fault);
    bed.tick();
    EXPECT_TRUE(lit_both(kMwp2, kMwp2Big, "apu_light"));
    EXPECT_EQ(plays("GONGMONO"), gongs + 1);
    bed.click(kMwp2Big, "apu");
    bed.tick(5);
    EXPECT_FALSE(lit(kMwp2, "apu_light"));
    EXPECT_FALSE(lit(kMwp2Big, "apu_light"));
    EXPECT_EQ(plays("GONGMONO"), gongs + 1);
    clear(shared.mw_apu_fault);
    bed.tick();
    EXPECT_EQ(ack_2(2), 0.0) << "forgotten when the fault clears";
    EXPECT_EQ(latch("apu_fault"), 0.0);
    raise(shared.mw_apu_fault);
    bed.tick();
    EXPECT_TRUE(lit(kMwp2, "apu_light"));
    EXPECT_EQ(plays("GONGMONO"), gongs + 2);
}

TEST_F(MasterWarning, two_cautions_at_once_give_two_gongs_on_consecutive_ticks) {
    const u32 gongs = plays("GONGMONO");
    raise(shared.hyd_fault);
    raise(shared.mw_brakes);
    bed.tick();
    EXPECT_EQ(plays("GONGMONO"), gongs + 1);
    EXPECT_EQ(latch("hyd_fault"), 2.0) << "first in the dispatcher's order";
    EXPECT_EQ(latch("brakes"), 1.0);
    bed.tick();
    EXPECT_EQ(plays("GONGMONO"), gongs + 2);
    bed.tick(3);
    EXPECT_EQ(plays("GONGMONO"), gongs + 2);
}

TEST_F(MasterWarning, a_new_input_of_a_grouped_light_relights_it_after_acknowledgement) {
    const u32 gongs = plays("GONGMONO");
    raise(shared.dc_fault);
    bed.tick();
    EXPECT_EQ(shared.mw_elec, 1);
    EXPECT_TRUE(lit(kMwp2, "elec_light"));
    bed.click(kMwp2, "elec");
    bed.tick();
    EXPECT_FALSE(lit(kMwp2, "elec_light"));
    raise(shared.gen_1_off_warn);
    bed.tick();
    EXPECT_TRUE(lit(kMwp2, "elec_light")) << "generator 1 off is a new fault";
    EXPECT_EQ(plays("GONGMONO"), gongs + 2);
    raise(shared.mw_rmi_fault);
    bed.tick();
    EXPECT_EQ(shared.mw_instruments, 1);
    bed.tick();  // panel 1 shows its lights before it computes the grouped conditions
    EXPECT_TRUE(lit(kMwp1, "instruments_light"));
}

TEST_F(MasterWarning, a_click_on_a_light_without_its_fault_leaves_it_unacknowledged) {
    bed.click(kMwp1, "servo");
    EXPECT_EQ(ack_1(7), 0.0);
    raise(shared.mw_servo_fault);
    bed.tick();
    EXPECT_TRUE(lit(kMwp1, "servo_light"));
    bed.click(kMwp1, "servo");
    EXPECT_EQ(ack_1(7), 1.0);
    bed.click(kMwp1Big, "servo");
    EXPECT_EQ(ack_1(7), 0.0) << "a second click takes the acknowledgement back";
    bed.tick();
    EXPECT_TRUE(lit(kMwp1Big, "servo_light"));
}

TEST_F(MasterWarning, the_parking_brake_light_cannot_be_acknowledged_nor_inhibited) {
    EXPECT_EQ(find_area(TestBed::gauge(kMwp1), "park_brake"), nullptr);
    EXPECT_EQ(TestBed::gauge(kMwp1).area_count, 20u) << "19 lights and the master area";
    sim(sim::on_ground, 1.0);
    raise(shared.mw_park_brake);
    bed.click(kMwp2, "to_inhibit");
    bed.tick();
    EXPECT_EQ(shared.mw_to_inhibit, 1);
    EXPECT_TRUE(lit_both(kMwp1, kMwp1Big, "park_brake_light"));
    EXPECT_EQ(plays("GONGMONO"), 0u) << "it does not sound";
}

TEST_F(MasterWarning, the_takeoff_inhibit_hides_the_cautions_until_airborne_with_the_gear_not_down) {
    sim(sim::on_ground, 1.0);
    raise(shared.mw_servo_fault);     // inhibited
    raise(shared.mw_eng_1_oil_press);  // not inhibited
    hold(shared.ann_lt_test, 1);
    bed.click(kMwp2, "to_inhibit");
    bed.tick();
    EXPECT_FALSE(lit(kMwp1, "servo_light"));
    EXPECT_FALSE(lit(kMwp1, "spare_8_light")) << "hidden even in the lamp test";
    EXPECT_TRUE(lit(kMwp1, "eng_1_oil_light"));
    EXPECT_TRUE(lit_both(kMwp2, kMwp2Big, "to_inhibit_button"));
    release(shared.ann_lt_test);
    sim(sim::on_ground, 0.0);
    sim(sim::gear_nose_pos, 16000.0);
    bed.tick();
    EXPECT_EQ(shared.mw_to_inhibit, 1) << "airborne with the gear still down";
    sim(sim::gear_nose_pos, 15999.0);
    bed.tick();
    EXPECT_EQ(shared.mw_to_inhibit, 0);
    bed.tick();  // panel 1 ticks before panel 2 ends the inhibit
    EXPECT_TRUE(lit(kMwp1, "servo_light"));

    // The buttons: in the air the takeoff inhibit cannot start; on the ground the big panel's
    // button ends it on a second press; the second inhibit button ends it too.
    bed.click(kMwp2, "to_inhibit");
    EXPECT_EQ(shared.mw_to_inhibit, 0);
    sim(sim::on_ground, 1.0);
    bed.click(kMwp2Big, "to_inhibit");
    EXPECT_EQ(shared.mw_to_inhibit, 1);
    bed.click(kMwp2, "to_inhibit");
    EXPECT_EQ(shared.mw_to_inhibit, 1) << "the small panel's button only starts it";
    bed.click(kMwp2Big, "to_inhibit");
    EXPECT_EQ(shared.mw_to_inhibit, 0);
    bed.click(kMwp2, "to_inhibit");
    bed.click(kMwp2, "inhibit_2");
    EXPECT_EQ(shared.mw_to_inhibit, 0);
    EXPECT_EQ(shared.mw_inhibit_2, 1);
    bed.click(kMwp2Big, "inhibit_2");
    EXPECT_EQ(shared.mw_inhibit_2, 0);
}

TEST_F(MasterWarning, panel_1_keeps_the_big_window_open_or_closed_every_tick) {
    bed.tick();
    EXPECT_EQ(bed.sent_count(key::panel_window_close, kMwp1), 1);
    EXPECT_EQ(bed.sent_count(key::panel_window_open, kMwp1), 0);
    bed.click(kMwp1, "master");
    bed.tick(3);
    EXPECT_EQ(bed.sent_count(key::panel_window_open), 3);
    EXPECT_EQ(bed.sent_count(key::panel_window_close), 0);
    for (const auto& k : bed.host().key_events())
        if (k.id == key::panel_window_open.id) {
            EXPECT_EQ(k.value, 10090u);
        }
    bed.click(kMwp1Big, "master");
    bed.tick();
    EXPECT_EQ(bed.sent_count(key::panel_window_close), 1);
}

TEST_F(MasterWarning, two_fires_are_acknowledged_for_good) {
    acknowledged_for_good(shared.eng_1_fire, shared.eng_2_fire, kMwp1Big,
                          {"eng_1_fire_light", "eng_2_fire_light"}, "SONNERIE");
}
TEST_F(MasterWarning, two_continuous_gong_conditions_are_acknowledged_for_good) {
    acknowledged_for_good(shared.mw_var868_high, mw::state.gong_cont_2, kMwp2,
                          {"warning_12_light", "warning_13_light"}, "GONGCONT");
}
TEST_F(MasterWarning, two_configuration_inputs_are_acknowledged_for_good) {
    acknowledged_for_good(shared.mw_surf_config, shared.mw_flaps_config, kMwp1, {"config_light"},
                          "KLAXONINT");
}

TEST_F(MasterWarning, engine_2_fire_follows_the_trigger_and_fires_once_per_rising_edge) {
    release(shared.eng_2_fire);
    sim(sim::eng2_fire_trigger, 1.0);
    bed.tick(3);
    EXPECT_EQ(bed.sent_count(key::eng2_failure_set), 1);
    EXPECT_EQ(shared.eng_2_fire, 1);
    EXPECT_EQ(shared.fail_eng_2_fire_arm, 1);
    EXPECT_TRUE(lit(kMwp1, "eng_2_fire_light"));
    sim(sim::eng2_fire_trigger, 0.999);
    bed.tick();
    EXPECT_EQ(shared.eng_2_fire, 0);
    sim(sim::eng2_fire_trigger, 1.0);
    bed.tick();
    EXPECT_EQ(bed.sent_count(key::eng2_failure_set), 1);
}

TEST_F(MasterWarning, aural_cancel_silences_the_fire_bell_and_gear_horn_only) {
    raise(shared.eng_1_fire);
    bed.tick();
    EXPECT_TRUE(looping("SONNERIE"));
    bed.click(kMwp2, "aural_cancel");
    bed.tick();
    EXPECT_FALSE(looping("SONNERIE"));
    EXPECT_TRUE(lit(kMwp2, "aural_cancel_button"));
    clear(shared.eng_1_fire);
    raise(shared.mw_var868_high);
    bed.tick();
    EXPECT_TRUE(looping("GONGCONT"));
    clear(shared.mw_var868_high);
    raise(shared.mw_lo_spd_ail_config);
    bed.tick();
    EXPECT_FALSE(looping("GONGCONT"));
    EXPECT_TRUE(looping("KLAXONINT"));

    // Gear horn: gear short of down with the flaps beyond 10241.
    sim(sim::flap_pos, 10242.0);
    sim(sim::gear_nose_pos, 15999.0);
    bed.tick();
    EXPECT_FALSE(looping("KLAXONCONT")) << "cancelled";
    bed.click(kMwp2Big, "aural_cancel");
    bed.tick();
    EXPECT_TRUE(looping("KLAXONCONT"));
    sim(sim::gear_nose_pos, 16000.0);
    bed.tick();
    EXPECT_FALSE(looping("KLAXONCONT"));
    sim(sim::gear_nose_pos, 0.0);
    sim(sim::flap_pos, 10241.0);
    bed.tick();
    EXPECT_FALSE(looping("KLAXONCONT"));
}

TEST_F(MasterWarning, each_looped_sound_starts_once_and_stops_once) {
    struct Case {
        u8* request;
        const char* sound;
    };
    const Case cases[] = {{&shared.clacker_req, "CLACKER"},     {&shared.alt_alert_cont, "REREP"},
                          {&shared.eng_1_fire, "SONNERIE"},     {&shared.mw_var868_high, "GONGCONT"},
                          {&shared.mw_flaps_config, "KLAXONINT"}};
    for (const Case& c : cases) {
        int starts = 0, stops = 0;
        bool was = looping(c.sound);
        for (int t = 0; t < 40; ++t) {
            hold(*c.request, t >= 5 && t < 25 ? 1 : 0);
            bed.tick();
            const bool now = looping(c.sound);
            starts += now && !was;
            stops += was && !now;
            was = now;
        }
        EXPECT_EQ(starts, 1) << c.sound;
        EXPECT_EQ(stops, 1) << c.sound;
    }
}

TEST_F(MasterWarning, the_dispatcher_hears_the_ground_proximity_alert_of_the_same_tick) {
    sim(sim::gear_nose_pos, 16383.0);  // a stabilised approach: only the sink rate will call
    sim(sim::flap_pos, 16383.0);
    hold(shared.alt_alert_cont, 1);
    bed.tick();
    EXPECT_TRUE(looping("REREP"));
    ra = 300.0;  // sink rate
    vs = -1500.0;
    shared.alt_alert_chime = 1;
    const u32 chimes = plays("RE");
    bed.tick();
    EXPECT_EQ(shared.gpws_alert, 10);
    EXPECT_FALSE(looping("REREP")) << "stopped on the tick the callout starts";
    EXPECT_EQ(plays("RE"), chimes);
    EXPECT_EQ(shared.alt_alert_chime, 1);
    vs = 0.0;
    bed.tick();
    EXPECT_EQ(plays("RE"), chimes + 1);
    EXPECT_EQ(shared.alt_alert_chime, 2);
    EXPECT_TRUE(looping("REREP"));
}

TEST_F(MasterWarning, the_lamp_test_lights_everything_and_without_power_all_is_dark_and_loops_hold) {
    hold(shared.ann_lt_test, 1);
    bed.tick();
    for (const auto& d : mw::kPanel1) EXPECT_TRUE(lit_both(kMwp1, kMwp1Big, d.element)) << d.element;
    for (const auto& d : mw::kPanel2) EXPECT_TRUE(lit_both(kMwp2, kMwp2Big, d.element)) << d.element;
    for (const char* l : {"to_inhibit_button", "inhibit_2_button", "aural_cancel_button", "dc_supply_light"})
        EXPECT_TRUE(lit_both(kMwp2, kMwp2Big, l)) << l;
    release(shared.ann_lt_test);
    raise(shared.eng_1_fire);
    bed.tick();
    ASSERT_TRUE(looping("SONNERIE"));
    batt = 0;
    clear(shared.eng_1_fire);
    bed.tick(3);
    EXPECT_FALSE(lit(kMwp1, "eng_1_fire_light"));
    EXPECT_TRUE(looping("SONNERIE")) << "nothing is stopped without power";
    EXPECT_EQ(latch("eng_1_fire"), 0.0) << "latches kept up to date";
    EXPECT_EQ(shared.mw_dc_supply_light, 1);
    batt = 1;
    bed.tick();
    EXPECT_FALSE(looping("SONNERIE"));
}

TEST_F(MasterWarning, panel_2_conditions_from_variable_868_and_the_altitude) {
    struct Case {
        double q, altitude;
        u8 on, high;
    };
    const Case cases[] = {{0.1, 7000.0, 0, 0}, {0.11, 6499.0, 1, 0}, {0.11, 6500.0, 1, 1}, {std::nan(""), 7000.0, 0, 0}};
    release(shared.mw_var868);
    release(shared.mw_var868_high);
    for (const Case& c : cases) {
        sim(sim::warning_quantity_868, c.q);
        sim(sim::altitude_ft, c.altitude);
        bed.tick();
        EXPECT_EQ(shared.mw_var868, c.on) << c.q;
        EXPECT_EQ(shared.mw_var868_high, c.high) << c.q << " at " << c.altitude;
    }
}

}  // namespace
}  // namespace tarvenol::testing
