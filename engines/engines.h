// Engine variables of the simulator that several engine panels read.
#pragma once

#include "module/shared_state.h"

namespace tarvenol::eng {

// Spoilers move on yellow or blue pressure, flaps on yellow or green, both with the battery bus
// powering their control.
inline bool spoiler_permission() {
    const auto& s = shared;
    return (s.hyd_yellow_status > 0 || s.hyd_blue_status > 0) && s.batt_bus_powered == 1;
}
inline bool flap_permission() {
    const auto& s = shared;
    return (s.hyd_yellow_status > 0 || s.hyd_green_status > 0) && s.batt_bus_powered == 1;
}

}  // namespace tarvenol::eng
