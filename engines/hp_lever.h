// The HP fuel levers: open or shut each engine's fuel through the simulator's mixture control.
#pragma once

#include "module/gauge.h"
#include "module/shared_state.h"

namespace tarvenol::eng {

// A mixture lever at or beyond this (of 16384) counts as an open HP lever at load.
constexpr double kMixtureOpen = 8000.0;

struct HpLever {
    KeyEvent mixture_rich;
    KeyEvent mixture_lean;
};

// First tick: the lever takes the simulator's mixture position. Every tick: fuel on while open with
// the battery bus powered, off otherwise.
template <auto Mixture>
void hp_lever_tick(const HpLever& lever, u8& position, u8& initialised) {
    if (initialised == 0) {
        position = read(Mixture) >= kMixtureOpen ? 1 : 0;
        initialised = 1;
    }
    send(position == 1 && shared.batt_bus_powered == 1 ? lever.mixture_rich : lever.mixture_lean);
}

}  // namespace tarvenol::eng

// The HP lever gauge of engine n: its lever images, a click that moves the lever (no sound), and
// the tick above.
#define TARVENOL_HP_LEVER_GAUGE(n)                                                                         \
    namespace {                                                                                             \
    using namespace ::tarvenol;                                                                             \
    constexpr eng::HpLever kLever{key::eng##n##_mixture_rich, key::eng##n##_mixture_lean};                                     \
    u8 initialised = 0;                                                                                     \
    const VarRef vars[] = {var_ref("hp_lever_" #n "_initialised", initialised)};                           \
    void reset() { initialised = 0; }                                                                       \
    Background background{panel("HP FUEL", 150)};                                                          \
    SwitchImages<2> lever_images{lever("ENG " #n, at(13, 50, 44, 76), "SHUT|OPEN"), "hp_lever_" #n ".shut", \
                                 "hp_lever_" #n ".open"};                                                   \
    void tick() {                                                                                           \
        eng::hp_lever_tick<sim::eng##n##_mixture>(kLever, shared.hp_lever_##n, initialised);                        \
        lever_images.show(shared.hp_lever_##n);                                                             \
    }                                                                                                       \
    constexpr std::array areas{                                                                             \
        area<[] { shared.hp_lever_##n = shared.hp_lever_##n ? 0 : 1; }>("lever", Cursor::hand)};          \
    }                                                                                                       \
    TARVENOL_GAUGE(hp_lev_##n, "tarvenol hp_lev_" #n "_t418", 35, &tick_callback<&tick>, areas,             \
                   (VarTableView{vars, std::size(vars)}), &reset, background, lever_images)
