// The two low-fuel reserve lamps, one per main tank.
#pragma once

#include "module/gauge.h"
#include "module/shared_state.h"

namespace tarvenol::fuel {

constexpr double kReserveLiters = 1150.0;

inline bool reserve(double main_tank_liters) {
    return main_tank_liters <= kReserveLiters && shared.dc_bus_powered == 1;
}

// Lights the lamp of one main tank and raises the master warning condition while either main tank
// is at reserve; both lamps write the condition, so it clears when neither is.
inline void reserve_tick(Image& lamp, double main_tank_liters) {
    lamp.show(reserve(main_tank_liters));
    shared.mw_fuel_reserve = reserve(shared.fuel_qty_left_main) || reserve(shared.fuel_qty_right_main);
}

}  // namespace tarvenol::fuel
