// tarvenol panel_light_t418: the panel-wide lighting overlay (normal or storm lighting) and the
// synchronisation of the simulator's own panel lighting with the panel lighting switch. The
// simulator's panel lighting follows a pulse (on, off, on, 9 ticks apart) sent when the lighting
// comes on or goes off and when STORM changes while it is on.
#include "module/gauge.h"
#include "module/host_services.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr i32 kPulseStepTicks = 9;

// Which lighting the simulator's panel lighting was last synchronised for.
constexpr u8 kModeNone = 0;
constexpr u8 kModeStorm = 1;
constexpr u8 kModeNormal = 2;

// Pulse steps: idle, on sent (waiting), off sent (waiting).
constexpr u8 kIdle = 0;
constexpr u8 kOnSent = 1;
constexpr u8 kOffSent = 2;

#define PANEL_LIGHT_STATE(X)         \
    X(u8, panel_lt_done, 0)          \
    X(u8, panel_lt_mode, kModeNone)  \
    X(i32, panel_lt_pulse_1_due, 0)  \
    X(u8, panel_lt_pulse_1_step, 0)  \
    X(i32, panel_lt_pulse_2_due, 0)  \
    X(u8, panel_lt_pulse_2_step, 0)
TARVENOL_PRIVATE_STATE(PANEL_LIGHT_STATE)

Background background{panel(nullptr, 40)};
Image normal_overlay{"panel_lt.normal", flag("PANEL LT")};
Image storm_overlay{"panel_lt.storm", flag("STORM LT")};

// One pulse on a timer: on, 9 ticks, off, 9 ticks, on. True on the tick the pulse ends.
bool run_pulse(i32& due, u8& step) {
    if (step == kIdle) {
        send(key::panel_lights_on);
        due = deadline_in(kPulseStepTicks);
        step = kOnSent;
    } else if (step == kOnSent && is_due(due)) {
        send(key::panel_lights_off);
        due = deadline_in(kPulseStepTicks);
        step = kOffSent;
    } else if (step == kOffSent && is_due(due)) {
        send(key::panel_lights_on);
        step = kIdle;
        return true;
    }
    return false;
}

u8 mode_for_storm_switch() { return shared.storm_lt_sw == 1 ? kModeStorm : kModeNormal; }

void tick() {
    const auto& s = shared;
    // The panel is lit only with its switch on and the AC essential bus powered; the pulses run
    // only while their condition holds, so a dead bus with the switch on settles instead of
    // pulsing the simulator's lighting on and off for ever.
    const bool lit = s.panel_lt_sw == 1 && s.ac_ess_bus_powered == 1;
    normal_overlay.show(lit && s.storm_lt_sw != 1);
    storm_overlay.show(lit && s.storm_lt_sw == 1);

    // Switching on or off, on the first timer.
    const bool switching_on = lit && st.panel_lt_done == 0;
    const bool switching_off = !lit && st.panel_lt_done == 1;
    if (switching_on || switching_off) {
        if (st.panel_lt_pulse_1_step == kIdle) st.panel_lt_mode = mode_for_storm_switch();
        if (run_pulse(st.panel_lt_pulse_1_due, st.panel_lt_pulse_1_step)) st.panel_lt_done = switching_on ? 1 : 0;
    } else {
        st.panel_lt_pulse_1_step = kIdle;
    }

    // STORM changed while the panel is lit, on the second timer.
    if (lit && st.panel_lt_mode != mode_for_storm_switch()) {
        if (run_pulse(st.panel_lt_pulse_2_due, st.panel_lt_pulse_2_step)) st.panel_lt_mode = mode_for_storm_switch();
    } else {
        st.panel_lt_pulse_2_step = kIdle;
    }

    if (!lit) st.panel_lt_mode = kModeNone;
}

}  // namespace

TARVENOL_GAUGE(panel_light, "tarvenol panel_light_t418", 1280, &tick_callback<&tick>, no_areas, st_table,
               &reset_private_state, background, normal_overlay, storm_overlay);
