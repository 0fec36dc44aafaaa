// tarvenol park_brk_lev_t418: the parking brake lever. It shows the simulator's parking brake and
// raises the PARK BRK warning while the brake is set on the ground. The lever has no click area: the
// crew sets and releases the brake with the simulator's own parking brake key.
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr double kBrakeSet = 1.0;  // the simulator's parking brake at or beyond: set

Background background{panel("PARK BRK")};
SwitchImages<2> brake_lever{lever("PARK BRK", {}, "OFF|ON"), "park_brake.released", "park_brake.set"};

void tick() {
    const bool set = read(sim::parking_brake) >= kBrakeSet && is_on(read(sim::on_ground));
    shared.mw_park_brake = set ? 1 : 0;
    brake_lever.show(set ? 1 : 0);
}

}  // namespace

TARVENOL_GAUGE(park_brk_lev, "tarvenol park_brk_lev_t418", 41, &tick_callback<&tick>, no_areas, no_vars, nullptr,
               background, brake_lever);
