// tarvenol fuel_qtty_reserve_2_t418: the right main tank reserve lamp, lit at 1150 l or less.
#include "fuel/fuel_reserve.h"

namespace {

using namespace tarvenol;

Background background{panel(nullptr, 40)};
Image reserve_light{"reserve_light", light(Tone::caution, "R FUEL LO LEVEL", lamp_box(56, 5, 96))};

void tick() { fuel::reserve_tick(reserve_light, shared.fuel_qty_right_main); }

}  // namespace

TARVENOL_GAUGE(fuel_qtty_reserve_2, "tarvenol fuel_qtty_reserve_2_t418", 56, &tick_callback<&tick>, no_areas,
               no_vars, nullptr, background, reserve_light);
