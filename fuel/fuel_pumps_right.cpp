// tarvenol fuel_pumps_right_t418: the right wing tank pump switches — pump 1 (main tank) and pump 2
// (auxiliary tank) — and their flow bars, bright while the engine 2 selector draws on them.
#include "fuel/fuel_feed.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using fuel::feed;

Background background;
SwitchImages<2> pump_1_images{"fuel_pump_r1_sw.off", "fuel_pump_r1_sw.on"};
SwitchImages<2> pump_2_images{"fuel_pump_r2_sw.off", "fuel_pump_r2_sw.on"};
fuel::BrightDimBar pump_1_bar_a{"pump_1_bar_a.dim", "pump_1_bar_a.bright"};
fuel::BrightDimBar pump_1_bar_b{"pump_1_bar_b.dim", "pump_1_bar_b.bright"};
fuel::BrightDimBar pump_2_bar_a{"pump_2_bar_a.dim", "pump_2_bar_a.bright"};
fuel::BrightDimBar pump_2_bar_b{"pump_2_bar_b.dim", "pump_2_bar_b.bright"};

void tick() {
    pump_1_images.show(feed.fuel_pump_r1_sw);
    pump_2_images.show(feed.fuel_pump_r2_sw);
    const i32 selector = sim_i32<fuel::kEng2Selector>();
    const bool aux_has_fuel = shared.fuel_qty_right_aux >= fuel::kEmptyTankLiters;
    const bool pump_1_bright = selector == fuel::tank::right_main && !aux_has_fuel;
    const bool pump_2_bright = (selector == fuel::tank::right_main && aux_has_fuel) || selector == fuel::tank::right_aux;
    const bool powered = shared.dc_bus_powered == 1;
    pump_1_bar_a.show(powered, pump_1_bright);
    pump_1_bar_b.show(powered, pump_1_bright);
    pump_2_bar_a.show(powered, pump_2_bright);
    pump_2_bar_b.show(powered, pump_2_bright);
}

constexpr std::array areas{
    area<[] { fuel::wing_pump_1_on(feed.fuel_pump_r1_sw, feed.fuel_pump_r2_sw); }>("pump_1.on", Cursor::up),
    area<[] { fuel::wing_pump_1_off(feed.fuel_pump_r1_sw, feed.fuel_pump_r2_sw, feed.fuel_pump_cr_sw); }>("pump_1.off",
                                                                                                        Cursor::down),
    area<[] { fuel::wing_pump_2_on(feed.fuel_pump_r2_sw); }>("pump_2.on", Cursor::up),
    area<[] { fuel::wing_pump_2_off(feed.fuel_pump_r1_sw, feed.fuel_pump_r2_sw, feed.fuel_pump_cr_sw); }>("pump_2.off",
                                                                                                        Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(fuel_pumps_right, "tarvenol fuel_pumps_right_t418", 156, &tick_callback<&tick>, areas, no_vars, nullptr,
               background, pump_1_images, pump_2_images, pump_1_bar_a, pump_1_bar_b, pump_2_bar_a, pump_2_bar_b);
