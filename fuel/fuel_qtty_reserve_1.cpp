// tarvenol fuel_qtty_reserve_1_t418: the left main tank reserve lamp, lit at 1150 l or less.
#include "fuel/fuel_reserve.h"

namespace {

using namespace tarvenol;

Background background;
Image reserve_light{"reserve_light"};

void tick() { fuel::reserve_tick(reserve_light, shared.fuel_qty_left_main); }

}  // namespace

TARVENOL_GAUGE(fuel_qtty_reserve_1, "tarvenol fuel_qtty_reserve_1_t418", 56, &tick_callback<&tick>, no_areas,
               no_vars, nullptr, background, reserve_light);
