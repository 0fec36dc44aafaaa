// Electrical power for system tests: the buses that feed a panel's lamps and logic held live (or
// dead) before every gauge's tick, whatever the electrical gauges would compute.
#pragma once

#include "testbed.h"

namespace tarvenol::testing {

inline void hold_buses(TestBed& bed, bool powered) {
    bed.host().before_each_gauge = [powered] {
        const u8 v = powered ? 1 : 0;
        shared.batt_bus_powered = v;
        shared.dc_bus_powered = v;
        shared.ac_bus_1_powered = v;
        shared.ac_bus_2_powered = v;
        shared.ac_ess_bus_normal = v;
        shared.ac_ess_bus_powered = v;
    };
}
inline void release_buses(TestBed& bed) { bed.host().before_each_gauge = nullptr; }

}  // namespace tarvenol::testing
