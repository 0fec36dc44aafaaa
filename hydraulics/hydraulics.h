// What the hydraulic gauges and the flight controls they drive share beyond the published state:
// the engine-driven pump counters' meaning, the engine-running test and which systems have
// pressure.
#pragma once

#include "module/numbers.h"
#include "module/shared_state.h"

namespace tarvenol::hyd {

// An engine pump's byte is its switch and its spool counter at once: above 95 the switch is on;
// a click on sets 100 and it climbs 5 a tick to 200 (only 200 delivers); a click off sets 95 and
// it falls 5 a tick to 0.
constexpr u8 kPumpFull = 200;
constexpr u8 kPumpSwitchedOn = 100;
constexpr u8 kPumpSwitchedOff = 95;
constexpr u8 kPumpSpoolStep = 5;
constexpr u8 kPumpStopped = 0;

constexpr bool pump_switch_on(u8 counter) { return counter > kPumpSwitchedOff; }

// An engine turns its pumps from 20 % N2.
constexpr double kEngineRunningN2 = 20.0;

// Some hydraulic system is pressurised (its status byte is not 0).
inline bool any_system_pressurised() {
    return shared.hyd_blue_status + shared.hyd_green_status + shared.hyd_yellow_status > 0;
}
// The yaw dampers' actuators work on blue or yellow.
inline bool blue_or_yellow_pressurised() { return shared.hyd_blue_status + shared.hyd_yellow_status > 0; }

}  // namespace tarvenol::hyd
