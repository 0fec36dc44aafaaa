// tarvenol radio_com_t418: the two VHF communication radios and their transmit selection. Each
// radio's knobs send the simulator's own frequency-step events (repeating while held); the windows
// show the frequencies the simulator reads back; the transmit buttons select the radio the crew
// talks on, and its TX light shows the simulator's selection.
#include "module/gauge.h"
#include "module/shared_state.h"
#include "radios/frequency_drums.h"

namespace {

using namespace tarvenol;
using radio::FrequencyDrums;
using radio::FrequencyWindow;

#define RADIO_COM_STATE(X) \
    X(i32, com_1_freq, 0)  \
    X(i32, com_2_freq, 0)
TARVENOL_PRIVATE_STATE(RADIO_COM_STATE)

FrequencyDrums com_1_drums;
FrequencyDrums com_2_drums;

Background background{panel("VHF COMM")};
FrequencyWindow<com_1_drums> com_1_window{
    {"com_1_hundreds_drum", "com_1_tens_drum", "com_1_units_drum", "com_1_tenths_drum", "com_1_hundredths_drum"}};
FrequencyWindow<com_2_drums> com_2_window{
    {"com_2_hundreds_drum", "com_2_tens_drum", "com_2_units_drum", "com_2_tenths_drum", "com_2_hundredths_drum"}};
// The knobs turn without a picture of their position.
constexpr double knob_at_rest() { return 0.0; }
Needle com_1_whole_knob{"com_1_whole_knob", &knob_at_rest, knob("COM 1 MHZ", {}, 0, 0)};
Needle com_1_fract_knob{"com_1_fract_knob", &knob_at_rest, knob("COM 1 KHZ", {}, 0, 0)};
Needle com_2_whole_knob{"com_2_whole_knob", &knob_at_rest, knob("COM 2 MHZ", {}, 0, 0)};
Needle com_2_fract_knob{"com_2_fract_knob", &knob_at_rest, knob("COM 2 KHZ", {}, 0, 0)};
Image com_1_tx_light{"com_1_transmit_light", button(Tone::advisory, "TX 1")};
Image com_2_tx_light{"com_2_transmit_light", button(Tone::advisory, "TX 2")};

void tick() {
    // 1. Frequencies, read back every tick (the control heads need no power of their own here).
    st.com_1_freq = read(sim::com1_freq_bcd);
    st.com_2_freq = read(sim::com2_freq_bcd);
    com_1_drums.show(st.com_1_freq);
    com_2_drums.show(st.com_2_freq);
    // 2. Transmit selection.
    const bool com_2_transmits = is_on(read(sim::com2_transmit));
    com_2_tx_light.show(com_2_transmits);
    com_1_tx_light.show(!com_2_transmits);
}

void reset() {
    reset_private_state();
    com_1_drums = FrequencyDrums{};
    com_2_drums = FrequencyDrums{};
}

// A knob area sends its step event, silently.
template <const KeyEvent& Event>
void step() {
    send(Event);
}
template <const KeyEvent& Event>
void transmit() {
    snd::play_once(snd::CLICK);
    send(Event);
}

template <const KeyEvent& Event>
constexpr AreaDef knob_area(const char* name, Cursor cursor) {
    return area<&step<Event>>(name, cursor, Repeat::while_held);
}

constexpr std::array areas{
    knob_area<key::com1_whole_down>("com_1_whole_knob.down", Cursor::down),
    knob_area<key::com1_whole_up>("com_1_whole_knob.up", Cursor::up),
    knob_area<key::com1_fract_down>("com_1_fract_knob.down", Cursor::down),
    knob_area<key::com1_fract_up>("com_1_fract_knob.up", Cursor::up),
    knob_area<key::com2_whole_down>("com_2_whole_knob.down", Cursor::down),
    knob_area<key::com2_whole_up>("com_2_whole_knob.up", Cursor::up),
    knob_area<key::com2_fract_down>("com_2_fract_knob.down", Cursor::down),
    knob_area<key::com2_fract_up>("com_2_fract_knob.up", Cursor::up),
    area<&transmit<key::com1_transmit_select>>("com_1_transmit", Cursor::hand),
    area<&transmit<key::com2_transmit_select>>("com_2_transmit", Cursor::hand),
};

}  // namespace

TARVENOL_GAUGE(radio_com, "tarvenol radio_com_t418", 164, &tick_callback<&tick>, areas, st_table, &reset, background,
               com_1_window, com_2_window, com_1_whole_knob, com_1_fract_knob, com_2_whole_knob, com_2_fract_knob,
               com_1_tx_light, com_2_tx_light);
