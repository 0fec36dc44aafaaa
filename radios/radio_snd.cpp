// tarvenol radio_snd_t418: the audio control panel. Switches A to E select the receivers the crew
// hears (B to E through the simulator's audio-selection events, sent every tick while their bus is
// powered); the master volume knob raises or lowers every cockpit sound one decibel per step.
#include <algorithm>
#include <cstdint>

#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr i8 kVolumeStepsMax = 10;     // the knob's stops either side of its middle
constexpr i16 kVolumeStep = 100;       // one decibel, in hundredths

#define RADIO_SND_STATE(X) \
    X(u8, snd_sw_a, 1)     \
    X(u8, snd_sw_b, 1)     \
    X(u8, snd_sw_c, 0)     \
    X(u8, snd_sw_d, 0)     \
    X(u8, snd_sw_e, 0)
TARVENOL_PRIVATE_STATE(RADIO_SND_STATE)

Background background{panel("AUDIO")};
SwitchImages<2> sw_a{lever("A"), "snd_a.off", "snd_a.on"};
SwitchImages<2> sw_b{lever("B"), "snd_b.off", "snd_b.on"};
SwitchImages<2> sw_c{lever("C"), "snd_c.off", "snd_c.on"};
SwitchImages<2> sw_d{lever("D"), "snd_d.off", "snd_d.on"};
SwitchImages<2> sw_e{lever("E"), "snd_e.off", "snd_e.on"};
// The knob's pictures are its positions from -10 to +10 in turn: the picture shown is the position
// (brought back to its stops) counted from the first.
IconSet volume_knob{"snd_master_vol", 2 * kVolumeStepsMax + 1,
                    [] { return clamp_back<i8>(shared.snd_master_vol_pos, -kVolumeStepsMax, kVolumeStepsMax) + kVolumeStepsMax; },
                    knob("VOL", {}, -kVolumeStepsMax, kVolumeStepsMax)};

// Every sound's volume moves by `by` and is applied to the sound at once.
void change_volumes(int by) {
    for (int i = 0; i < snd::kSoundCount; ++i) {
        i16& v = shared.sound_volume[static_cast<std::size_t>(i)];
        v = static_cast<i16>(std::clamp(v + by, int{INT16_MIN}, int{INT16_MAX}));
        snd::set_volume(static_cast<snd::SoundId>(i), v);
    }
}
void volume_up() {
    if (shared.snd_master_vol_pos > kVolumeStepsMax - 1) return;
    ++shared.snd_master_vol_pos;
    change_volumes(kVolumeStep);
}
void volume_down() {
    if (shared.snd_master_vol_pos < -(kVolumeStepsMax - 1)) return;
    --shared.snd_master_vol_pos;
    change_volumes(-kVolumeStep);
}

// A receiver's audio event with the switch's state, then (for C, D and E) its on or off event.
bool send_audio(KeyEvent selection, bool on) {
    send(selection, on ? 1 : 0);
    return on;
}
void send_audio(KeyEvent selection, KeyEvent on_event, KeyEvent off_event, bool on) {
    send(send_audio(selection, on) ? on_event : off_event);
}

void tick() {
    const auto& s = shared;
    sw_a.show(st.snd_sw_a);
    sw_b.show(st.snd_sw_b);
    sw_c.show(st.snd_sw_c);
    sw_d.show(st.snd_sw_d);
    sw_e.show(st.snd_sw_e);
    send_audio(key::audio_switch_b, st.snd_sw_b == 1 && s.dc_bus_powered == 1);
    send_audio(key::audio_switch_c, key::audio_c_on, key::audio_c_off, st.snd_sw_c == 1 && s.ac_ess_bus_powered == 1);
    send_audio(key::audio_switch_d, key::audio_d_on, key::audio_d_off, st.snd_sw_d == 1 && s.ac_bus_2_powered == 1);
    send_audio(key::audio_switch_e, key::audio_e_on, key::audio_e_off,
               st.snd_sw_e == 1 && (s.ac_ess_bus_normal == 1 || s.dc_bus_powered == 1));
}

constexpr std::array areas{
    area<[] { st.snd_sw_a = 0; }>("snd_a.off", Cursor::down),
    area<[] { st.snd_sw_a = 1; }>("snd_a.on", Cursor::up),
    area<[] { st.snd_sw_b = 0; }>("snd_b.off", Cursor::down),
    area<[] { st.snd_sw_b = 1; }>("snd_b.on", Cursor::up),
    area<[] { st.snd_sw_c = 0; }>("snd_c.off", Cursor::down),
    area<[] { st.snd_sw_c = 1; }>("snd_c.on", Cursor::up),
    area<[] { st.snd_sw_d = 0; }>("snd_d.off", Cursor::down),
    area<[] { st.snd_sw_d = 1; }>("snd_d.on", Cursor::up),
    area<[] { st.snd_sw_e = 0; }>("snd_e.off", Cursor::down),
    area<[] { st.snd_sw_e = 1; }>("snd_e.on", Cursor::up),
    area<&volume_down>("snd_master_vol.down", Cursor::down, Repeat::while_held),
    area<&volume_up>("snd_master_vol.up", Cursor::up, Repeat::while_held),
};

}  // namespace

TARVENOL_GAUGE(radio_snd, "tarvenol radio_snd_t418", 175, &tick_callback<&tick>, areas, st_table, &reset_private_state,
               background, sw_a, sw_b, sw_c, sw_d, sw_e, volume_knob);
