// A wing's tank pump panel: pump 1 (main tank) and pump 2 (auxiliary tank) with their interlocks,
// and flow bars that are bright while that side's engine selector draws on them. The left and
// right panels are mirrors built from one description of their side.
#pragma once

#include "fuel/fuel_feed.h"
#include "module/shared_state.h"

namespace tarvenol::fuel {

struct WingSide {
    u8 FeedState::*pump_1;
    u8 FeedState::*pump_2;
    u8 FeedState::*center_pump;
    f64 SharedState::*aux_liters;
    i32 (*engine_selector)();  // the simulator's tank selector of this side's engine
    i32 main_tank;
    i32 aux_tank;
};

template <const WingSide& S>
void pump_1_on() { wing_pump_1_on(feed.*S.pump_1, feed.*S.pump_2); }
template <const WingSide& S>
void pump_1_off() { wing_pump_1_off(feed.*S.pump_1, feed.*S.pump_2, feed.*S.center_pump); }
template <const WingSide& S>
void pump_2_on() { wing_pump_2_on(feed.*S.pump_2); }
template <const WingSide& S>
void pump_2_off() { wing_pump_2_off(feed.*S.pump_1, feed.*S.pump_2, feed.*S.center_pump); }

template <const WingSide& S>
constexpr std::array<AreaDef, 4> wing_pump_areas{
    area<&pump_1_on<S>>("pump_1.on", Cursor::up),
    area<&pump_1_off<S>>("pump_1.off", Cursor::down),
    area<&pump_2_on<S>>("pump_2.on", Cursor::up),
    area<&pump_2_off<S>>("pump_2.off", Cursor::down),
};

// The wing panel's face: each pump's line runs down from its tank through its two flow bars to the
// side's feed manifold; the pump switches sit under the manifold.
constexpr int kWingW = 312, kWingH = 196, kPump1 = 78, kPump2 = 234;
constexpr int kTankTop = 26, kBarA = 44, kBarB = 80, kManifold = 98, kPumpSwitchTop = 124;
constexpr Line kWingFlow[] = {line(kPump1, kTankTop, kPump1, kManifold), line(kPump2, kTankTop, kPump2, kManifold),
                              line(kPump1, kManifold, kPump2, kManifold)};

// The pictures of one wing panel.
struct WingPumpPanel {
    explicit WingPumpPanel(const char* title) : background{panel(title, kWingH, kWingFlow)} {}
    Background background;
    SwitchImages<2> pump_1{lever("PUMP 1", switch_box(kPump1, kPumpSwitchTop), "OFF|ON"), "pump_1_sw.off",
                           "pump_1_sw.on"};
    SwitchImages<2> pump_2{lever("PUMP 2", switch_box(kPump2, kPumpSwitchTop), "OFF|ON"), "pump_2_sw.off",
                           "pump_2_sw.on"};
    BrightDimBar pump_1_bar_a{"pump_1_bar_a.dim", "pump_1_bar_a.bright", bar(bar_box(kPump1, kBarA))};
    BrightDimBar pump_1_bar_b{"pump_1_bar_b.dim", "pump_1_bar_b.bright", bar(bar_box(kPump1, kBarB))};
    BrightDimBar pump_2_bar_a{"pump_2_bar_a.dim", "pump_2_bar_a.bright", bar(bar_box(kPump2, kBarA))};
    BrightDimBar pump_2_bar_b{"pump_2_bar_b.dim", "pump_2_bar_b.bright", bar(bar_box(kPump2, kBarB))};

    template <const WingSide& S>
    void tick() {
        pump_1.show(feed.*S.pump_1);
        pump_2.show(feed.*S.pump_2);
        const i32 selector = S.engine_selector();
        const bool aux_has_fuel = shared.*S.aux_liters >= kEmptyTankLiters;
        const bool pump_1_bright = selector == S.main_tank && !aux_has_fuel;
        const bool pump_2_bright = (selector == S.main_tank && aux_has_fuel) || selector == S.aux_tank;
        const bool powered = shared.dc_bus_powered == 1;
        pump_1_bar_a.show(powered, pump_1_bright);
        pump_1_bar_b.show(powered, pump_1_bright);
        pump_2_bar_a.show(powered, pump_2_bright);
        pump_2_bar_b.show(powered, pump_2_bright);
    }
};

}  // namespace tarvenol::fuel

#define TARVENOL_WING_PUMPS_GAUGE(ident, name, title, width, side)                                                   \
    namespace {                                                                                           \
    ::tarvenol::fuel::WingPumpPanel panel{title};                                                           \
    void tick() { panel.tick<side>(); }                                                                   \
    }                                                                                                     \
    TARVENOL_GAUGE(ident, name, width, &::tarvenol::tick_callback<&tick>, ::tarvenol::fuel::wing_pump_areas<side>, \
                   ::tarvenol::no_vars, nullptr, panel.background, panel.pump_1, panel.pump_2, panel.pump_1_bar_a, \
                   panel.pump_1_bar_b, panel.pump_2_bar_a, panel.pump_2_bar_b)
