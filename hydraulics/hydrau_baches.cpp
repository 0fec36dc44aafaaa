// tarvenol hydrau_baches_t418: the three reservoir quantity needles. The green reservoir feeds the
// gear: its level falls while the gear is out and recovers once it is up.
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr double kGearRetracted = 1.0;
constexpr u8 kGreenGearOut = 72;
constexpr u8 kGreenGearUp = 76;
constexpr u8 kScaleTop = 100;

#define HYD_BACHES_STATE(X)          \
    X(u8, hyd_blue_tank_qty, 55, within(0, kScaleTop))     \
    X(u8, hyd_green_tank_qty, kGreenGearOut, within(0, kScaleTop)) \
    X(u8, hyd_yellow_tank_qty, 70, within(0, kScaleTop))
TARVENOL_PRIVATE_STATE(HYD_BACHES_STATE)

// Three reservoir dials side by side, blue, green, yellow, each over its own scale of content.
constexpr int kW = 682, kH = 200, kDial = 172, kDialCy = 104;
constexpr Look tank_dial(const char* legend, int i) {
    return dial(legend, 0, kScaleTop, centred(column(i, 3, kW), kDialCy, kDial, kDial)).in("%");
}
Background background{panel("HYD RESERVOIRS", kH)};
Needle blue_tank{"blue_tank_needle", [] { return clamp_back(st.hyd_blue_tank_qty, u8{0}, kScaleTop); },
                 tank_dial("BLUE TANK", 0)};
Needle green_tank{"green_tank_needle", [] { return clamp_back(st.hyd_green_tank_qty, u8{0}, kScaleTop); },
                  tank_dial("GREEN TANK", 1)};
Needle yellow_tank{"yellow_tank_needle", [] { return clamp_back(st.hyd_yellow_tank_qty, u8{0}, kScaleTop); },
                   tank_dial("YELLOW TANK", 2)};

void tick() {
    u8& green = st.hyd_green_tank_qty;
    if (read(sim::gear_right_pos) > kGearRetracted)
        green = green > kGreenGearOut + 1 ? static_cast<u8>(green - 1) : kGreenGearOut;
    else
        green = green < kGreenGearUp - 1 ? static_cast<u8>(green + 1) : kGreenGearUp;
}

}  // namespace

TARVENOL_GAUGE(hydrau_baches, "tarvenol hydrau_baches_t418", 341, &tick_callback<&tick>, no_areas, st_table,
               &reset_private_state, background, blue_tank, green_tank, yellow_tank);
