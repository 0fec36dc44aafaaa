// tarvenol fuel_pumps_left_t418: the left wing tank pumps — pump 1 (left main tank) and pump 2 (left
// auxiliary tank) — and their flow bars, bright while engine 1 draws on them.
#include "fuel/wing_pumps.h"

namespace {
using namespace tarvenol::fuel;
constexpr WingSide kLeftWing{&FeedState::fuel_pump_l1_sw, &FeedState::fuel_pump_l2_sw, &FeedState::fuel_pump_cl_sw,
                             &tarvenol::SharedState::fuel_qty_left_aux, [] { return tarvenol::read(tarvenol::sim::eng1_fuel_selector); }, tank::left_main,
                             tank::left_aux};
}  // namespace

TARVENOL_WING_PUMPS_GAUGE(fuel_pumps_left, "tarvenol fuel_pumps_left_t418", "L WING TK PUMPS", 156, kLeftWing);
