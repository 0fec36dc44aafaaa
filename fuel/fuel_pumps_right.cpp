// tarvenol fuel_pumps_right_t418: the right wing tank pumps — pump 1 (right main tank) and pump 2
// (right auxiliary tank) — and their flow bars, bright while engine 2 draws on them.
#include "fuel/wing_pumps.h"

namespace {
using namespace tarvenol::fuel;
constexpr WingSide kRightWing{&FeedState::fuel_pump_r1_sw, &FeedState::fuel_pump_r2_sw, &FeedState::fuel_pump_cr_sw,
                              &tarvenol::SharedState::fuel_qty_right_aux, [] { return tarvenol::read(tarvenol::sim::eng2_fuel_selector); }, tank::right_main,
                              tank::right_aux};
}  // namespace

TARVENOL_WING_PUMPS_GAUGE(fuel_pumps_right, "tarvenol fuel_pumps_right_t418", "R WING TK PUMPS", 156, kRightWing);
