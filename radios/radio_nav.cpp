// tarvenol radio_nav_t418: the control head of both VHF navigation receivers. The receiver
// selector chooses which receiver the whole-megahertz and fraction knobs tune; the knobs send the
// simulator's own frequency-step events (repeating while held) and turn their pictures through 16
// positions; both windows show the frequencies the simulator reads back, frozen while the DC
// essential bus is dead.
#include "module/gauge.h"
#include "module/shared_state.h"
#include "radios/frequency_drums.h"

namespace {

using namespace tarvenol;
using radio::FrequencyDrums;
using radio::FrequencyWindow;

constexpr u8 kNav1 = 1;
constexpr u8 kNav2 = 2;

// Knob pictures: positions 0..15, wrapping.
constexpr u8 kKnobFirst = 0;
constexpr u8 kKnobLast = 15;
constexpr u8 kKnobAtLoad = 4;

#define RADIO_NAV_STATE(X)                       \
    X(u8, nav_sel, kNav1)                        \
    X(u8, nav_whole_knob_pos, kKnobAtLoad)       \
    X(u8, nav_fract_knob_pos, kKnobAtLoad)       \
    X(i32, nav_1_freq, 0)                        \
    X(i32, nav_2_freq, 0)
TARVENOL_PRIVATE_STATE(RADIO_NAV_STATE)

FrequencyDrums nav_1_drums;
FrequencyDrums nav_2_drums;

Background background{panel("NAV")};
FrequencyWindow<nav_1_drums> nav_1_window{
    {"nav_1_hundreds_drum", "nav_1_tens_drum", "nav_1_units_drum", "nav_1_tenths_drum", "nav_1_hundredths_drum"}};
FrequencyWindow<nav_2_drums> nav_2_window{
    {"nav_2_hundreds_drum", "nav_2_tens_drum", "nav_2_units_drum", "nav_2_tenths_drum", "nav_2_hundredths_drum"}};
Image nav_1_mark{"nav_1_mark", light(Tone::advisory, "NAV 1")};
Image nav_2_mark{"nav_2_mark", light(Tone::advisory, "NAV 2")};
Needle whole_knob{"nav_whole_knob", [] { return clamp_back(st.nav_whole_knob_pos, kKnobFirst, kKnobLast); },
                  knob("MHZ", {}, kKnobFirst, kKnobLast)};
Needle fract_knob{"nav_fract_knob", [] { return clamp_back(st.nav_fract_knob_pos, kKnobFirst, kKnobLast); },
                  knob("KHZ", {}, kKnobFirst, kKnobLast)};

void tick() {
    const bool powered = shared.batt_bus_powered == 1;
    // 1-3. Frequencies read back while powered; without power the windows keep the last ones.
    if (powered) st.nav_1_freq = read(sim::nav1_freq_bcd);
    nav_1_drums.show(st.nav_1_freq);
    if (powered) st.nav_2_freq = read(sim::nav2_freq_bcd);
    nav_2_drums.show(st.nav_2_freq);
    // 4. The marks of the selected receiver.
    nav_2_mark.show(st.nav_sel == kNav2);
    nav_1_mark.show(st.nav_sel == kNav1);
}

void reset() {
    reset_private_state();
    nav_1_drums = FrequencyDrums{};
    nav_2_drums = FrequencyDrums{};
}

// The event of the receiver the knobs act on (none for a selector in no position).
void send_to_selected(KeyEvent nav_1, KeyEvent nav_2) {
    if (st.nav_sel == kNav1) send(nav_1);
    if (st.nav_sel == kNav2) send(nav_2);
}

void knob_up(u8& position) { position = position >= kKnobLast ? kKnobFirst : static_cast<u8>(position + 1); }
void knob_down(u8& position) { position = position == kKnobFirst ? kKnobLast : static_cast<u8>(position - 1); }

void select_receiver() { st.nav_sel = st.nav_sel == kNav1 ? kNav2 : kNav1; }

void whole_up() {
    send_to_selected(key::nav1_whole_up, key::nav2_whole_up);
    knob_up(st.nav_whole_knob_pos);
}
void whole_down() {
    send_to_selected(key::nav1_whole_down, key::nav2_whole_down);
    knob_down(st.nav_whole_knob_pos);
}
void fract_up() {
    send_to_selected(key::nav1_fract_up, key::nav2_fract_up);
    knob_up(st.nav_fract_knob_pos);
}
void fract_down() {
    send_to_selected(key::nav1_fract_down, key::nav2_fract_down);
    knob_down(st.nav_fract_knob_pos);
}

constexpr std::array areas{
    area<&select_receiver>("receiver_sel", Cursor::hand),
    area<&whole_down>("nav_whole_knob.down", Cursor::down, Repeat::while_held),
    area<&whole_up>("nav_whole_knob.up", Cursor::up, Repeat::while_held),
    area<&fract_down>("nav_fract_knob.down", Cursor::down, Repeat::while_held),
    area<&fract_up>("nav_fract_knob.up", Cursor::up, Repeat::while_held),
};

}  // namespace

TARVENOL_GAUGE(radio_nav, "tarvenol radio_nav_t418", 127, &tick_callback<&tick>, areas, st_table, &reset, background,
               nav_1_window, nav_2_window, nav_1_mark, nav_2_mark, whole_knob, fract_knob);
