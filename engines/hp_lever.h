// The HP fuel levers: open or shut each engine's fuel through the simulator's mixture control.
#pragma once

#include "module/gauge.h"
#include "module/shared_state.h"

namespace tarvenol::eng {

// A mixture lever at or beyond this (of 16384) counts as an open HP lever at load.
constexpr double kMixtureOpen = 8000.0;

struct HpLever {
    u32 mixture_rich;
    u32 mixture_lean;
};

// First tick: the lever takes the simulator's mixture position. Every tick: fuel on while open with
// the battery bus powered, off otherwise.
template <int MixtureToken>
void hp_lever_tick(const HpLever& lever, u8& position, u8& initialised) {
    if (initialised == 0) {
        position = sim_f64<MixtureToken>() >= kMixtureOpen ? 1 : 0;
        initialised = 1;
    }
    send_key(position == 1 && shared.batt_bus_powered == 1 ? lever.mixture_rich : lever.mixture_lean);
}

}  // namespace tarvenol::eng
