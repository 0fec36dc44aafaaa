// The ADF control head, the transponder and the audio panel: BCD codes on their drums (values off
// the drums clamped), the knobs stepping the simulator's digits, the audio events every tick and the
// master volume on every sound.
#include "aircraft.h"
#include "instruments_ralt/instruments.h"
#include "sound/mixer.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kAdf = "tarvenol radio_adf1_t418";
constexpr const char* kTsp = "tarvenol radio_tsp_t418";
constexpr const char* kSnd = "tarvenol radio_snd_t418";

class RadioPanels : public PositionInstruments {
protected:
    u8 ac_ess = 1;
    u8 ess_normal = 1;
    Aircraft aircraft{bed};  // steps the ADF and transponder digits
    RadioPanels() {
        bed.host().before_each_gauge = [this] {
            shared.dc_bus_powered = dc;
            shared.ac_ess_bus_powered = ac_ess;
            shared.ac_ess_bus_normal = ess_normal;
            shared.ac_bus_2_powered = ac_2;
        };
    }
};

struct AdfCase {
    std::int32_t bcd;
    int thousands, hundreds, tens, units;
};
TEST_F(RadioPanels, the_adf_frequency_decodes_onto_its_drums_and_values_off_the_drums_are_clamped) {
    const AdfCase cases[] = {
        {0x0345, 0, 3, 4, 5}, {0x1234, 1, 2, 3, 4}, {0x0100, 0, 1, 0, 0},
        {0x0050, 0, 1, 0, 0},   // below the band: 100
        {-5, 0, 1, 0, 0},       // negative: 100
        {0x01AF, 0, 1, 9, 9},   // nibbles that are no digit
        {0x7FFF, 1, 9, 9, 9},   // far above: 1999
    };
    for (const AdfCase& c : cases) {
        sim(sim::adf_freq_bcd, c.bcd);
        bed.tick(50);
        SCOPED_TRACE(c.bcd);
        EXPECT_EQ(bed.value(kAdf, "adf_thousands_drum"), c.thousands);
        EXPECT_EQ(bed.value(kAdf, "adf_hundreds_drum"), c.hundreds);
        EXPECT_EQ(bed.value(kAdf, "adf_tens_drum"), c.tens);
        EXPECT_EQ(bed.value(kAdf, "adf_units_drum"), c.units);
    }
}

TEST_F(RadioPanels, the_extended_adf_part_lights_its_flag_from_256) {
    sim(sim::adf_freq_bcd, 0x0345);
    sim(sim::adf_ext_freq_present, 1.0);
    sim(sim::adf_ext_freq, 261);
    bed.tick(40);
    EXPECT_TRUE(bed.shown(kAdf, "adf_ext_flag"));
    EXPECT_EQ(bed.value(kAdf, "adf_ext_drum"), 5);
    sim(sim::adf_ext_freq, 3);
    bed.tick(40);
    EXPECT_FALSE(bed.shown(kAdf, "adf_ext_flag"));
    EXPECT_EQ(bed.value(kAdf, "adf_ext_drum"), 3);
    sim(sim::adf_ext_freq_present, 0.5);
    bed.tick();
    EXPECT_FALSE(bed.shown(kAdf, "adf_ext_flag"));
}

TEST_F(RadioPanels, the_adf_knobs_step_one_digit_round_without_carry) {
    bed.tick();
    sim(sim::adf_freq_bcd, 0x1799);
    bed.click(kAdf, "adf_hundreds.up");
    EXPECT_TRUE(bed.sent(key::adf_hundreds_up));
    EXPECT_EQ(bed.sim().get(sim::adf_freq_bcd), 0x0199);
    bed.click(kAdf, "adf_hundreds.down");
    EXPECT_EQ(bed.sim().get(sim::adf_freq_bcd), 0x1799);
    bed.click(kAdf, "adf_tens.up");
    bed.click(kAdf, "adf_units.up");
    EXPECT_EQ(bed.sim().get(sim::adf_freq_bcd), 0x1700);
    bed.click(kAdf, "adf_units.down");
    bed.click(kAdf, "adf_tens.down");
    EXPECT_EQ(bed.sim().get(sim::adf_freq_bcd), 0x1799);
}

TEST_F(RadioPanels, the_adf_test_button_needs_the_ac_essential_bus_normal_or_the_dc_bus) {
    dc = 0;
    ess_normal = 0;
    bed.tick();
    bed.click(kAdf, "adf_test");
    EXPECT_EQ(shared.adf_test_req, 0);
    dc = 1;
    bed.tick();
    bed.click(kAdf, "adf_test");
    EXPECT_EQ(shared.adf_test_req, 1);
    shared.adf_test_req = 0;
    dc = 0;
    ess_normal = 1;
    bed.tick();
    bed.click(kAdf, "adf_test");
    EXPECT_EQ(shared.adf_test_req, 1);
}

TEST_F(RadioPanels, the_transponder_shows_four_octal_digits_and_its_knobs_wrap_each_digit) {
    sim(sim::transponder_code_bcd, 0x7089);  // 8 and 9 are no transponder digits
    bed.tick(40);
    EXPECT_EQ(bed.value(kTsp, "tsp_thousands_drum"), 7);
    EXPECT_EQ(bed.value(kTsp, "tsp_hundreds_drum"), 0);
    EXPECT_EQ(bed.value(kTsp, "tsp_tens_drum"), 7);
    EXPECT_EQ(bed.value(kTsp, "tsp_units_drum"), 7);
    sim(sim::transponder_code_bcd, 0x7700);
    bed.tick();
    bed.click(kTsp, "tsp_thousands.up");
    bed.click(kTsp, "tsp_units.down");
    EXPECT_EQ(bed.sim().get(sim::transponder_code_bcd), 0x0707);
    EXPECT_TRUE(bed.sent(key::xpdr_thousands_up));
    EXPECT_TRUE(bed.sent(key::xpdr_units_down));
}

TEST_F(RadioPanels, the_audio_switches_send_their_events_every_tick_with_their_bus) {
    bed.tick(3);
    EXPECT_EQ(bed.sent_count(key::audio_switch_b), 3);
    EXPECT_EQ(bed.sent_value(key::audio_switch_b), 1u) << "B is on at load";
    EXPECT_EQ(bed.sent_value(key::audio_switch_c), 0u);
    EXPECT_EQ(bed.sent_count(key::audio_c_off), 3);
    bed.click(kSnd, "snd_c.on");
    bed.click(kSnd, "snd_d.on");
    bed.click(kSnd, "snd_e.on");
    ac_ess = 0;
    ac_2 = 0;
    ess_normal = 0;
    dc = 0;
    bed.tick(2);
    EXPECT_EQ(bed.sent_value(key::audio_switch_c), 0u);
    EXPECT_EQ(bed.sent_count(key::audio_c_off), 2);
    EXPECT_EQ(bed.sent_value(key::audio_switch_b), 0u);
    EXPECT_EQ(bed.sent_count(key::audio_d_off), 2);
    EXPECT_EQ(bed.sent_count(key::audio_e_off), 2);
    ac_ess = 1;
    ac_2 = 1;
    dc = 1;
    bed.tick();
    EXPECT_EQ(bed.sent_value(key::audio_switch_c), 1u);
    EXPECT_TRUE(bed.sent(key::audio_c_on));
    EXPECT_TRUE(bed.sent(key::audio_d_on));
    EXPECT_TRUE(bed.sent(key::audio_e_on));
    EXPECT_FALSE(bed.sent(key::audio_c_off));
    EXPECT_TRUE(bed.shown(kSnd, "snd_e.on"));
    EXPECT_TRUE(aircraft.model.audio(1)) << "the simulator hears receiver C";
    bed.click(kSnd, "snd_c.off");
    bed.tick();
    EXPECT_FALSE(aircraft.model.audio(1));
    EXPECT_TRUE(bed.shown(kSnd, "snd_c.off"));
}

TEST_F(RadioPanels, ten_volume_steps_up_raise_every_sound_by_10_db_and_the_eleventh_does_nothing) {
    bed.tick();
    for (int i = 0; i < 11; ++i) bed.click(kSnd, "snd_master_vol.up");
    EXPECT_EQ(shared.snd_master_vol_pos, 10);
    for (int i = 0; i < snd::kSoundCount; ++i)
        EXPECT_EQ(shared.sound_volume[static_cast<std::size_t>(i)], snd::kInitialVolumes[static_cast<std::size_t>(i)] + 1000);
    EXPECT_EQ(snd::mixer::state("CLICK").volume, -1000) << "applied to the sound at once";
    EXPECT_EQ(snd::mixer::state("DONTSNK").volume, 0);
    for (int i = 0; i < 21; ++i) bed.click(kSnd, "snd_master_vol.down");
    EXPECT_EQ(shared.snd_master_vol_pos, -10);
    EXPECT_EQ(shared.sound_volume[0], -3000);
    EXPECT_EQ(snd::mixer::state("CLICK").volume, -3000);
    bed.tick();
    EXPECT_EQ(bed.value(kSnd, "snd_master_vol"), 0) << "the picture of -10, the first of 21";
    shared.snd_master_vol_pos = 100;  // a knob off its stops is drawn at the stop
    bed.tick();
    EXPECT_EQ(bed.value(kSnd, "snd_master_vol"), 20) << "the picture of +10, the last";
}

}  // namespace
}  // namespace tarvenol::testing
