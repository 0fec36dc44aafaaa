// tarvenol vsi_t418: the vertical speed indicator, +-6000 ft/min, on the DC essential bus. It works
// out the aircraft's vertical speed in feet per minute for the whole cockpit; its needle climbs
// 500 ft/min a tick toward a climb and drops at once to a descent.
#include "module/gauge.h"
#include "module/shared_state.h"
#include "module/units.h"

namespace {

using namespace tarvenol;

constexpr i32 kFailed = 1;

constexpr double kSimUnitsPerMetrePerSecond = 256.0;
constexpr double kSecondsPerMinute = 60.0;

constexpr i32 kNeedleStep = 500;
constexpr i32 kRest = 0;
constexpr i32 kScaleMin = -6000;
constexpr i32 kScaleMax = 6000;

#define VSI_STATE(X) X(i32, vsi_needle, 0)
TARVENOL_PRIVATE_STATE(VSI_STATE)

// A round dial across the whole face, the OFF flag in a window left of the pivot.
constexpr int kFace = 266;
// Level at nine o'clock, climbs above, descents below, the numbers in thousands either way.
constexpr Look vsi_dial(Box box) {
    Look l = dial("V/S", kScaleMin, kScaleMax, box).in("FT/MIN").swept(10.0, 340.0);
    l.marks = "6|4|2|0|2|4|6";
    return l;
}
Background background{panel(nullptr, kFace)};
Needle needle{"vsi_needle", [] { return clamp_back(st.vsi_needle, kScaleMin, kScaleMax); },
              vsi_dial(centred(kFace / 2, kFace / 2, 244, 244))};
Image off_flag{"off_flag", flag("OFF", at(kFace / 2 + 50, kFace / 2 - 12, 44, 24))};  // in the gap of the scale

void tick() {
    auto& s = shared;

    // 1. Vertical speed for the cockpit.
    s.vert_speed_fpm = read(sim::vs_ms256) / kSimUnitsPerMetrePerSecond * kFeetPerMetre * kSecondsPerMinute;

    // 2. Needle.
    const bool failed = read(sim::fail_vsi) == kFailed;
    if (s.batt_bus_powered == 1 && !failed) {
        if (static_cast<double>(st.vsi_needle) < s.vert_speed_fpm - kNeedleStep)
            st.vsi_needle = truncate<i32>(static_cast<double>(st.vsi_needle) + kNeedleStep);  // saturates
        else
            st.vsi_needle = truncate<i32>(s.vert_speed_fpm);
    } else if (st.vsi_needle > kNeedleStep) {
        st.vsi_needle -= kNeedleStep;
    } else {
        st.vsi_needle = kRest;
    }

    // 3. OFF flag: no power, failed, or off the scale.
    off_flag.show(s.batt_bus_powered == 0 || failed || s.vert_speed_fpm > kScaleMax ||
                  s.vert_speed_fpm < kScaleMin);
}

}  // namespace

TARVENOL_GAUGE(vsi, "tarvenol vsi_t418", 133, &tick_callback<&tick>, no_areas, st_table, &reset_private_state,
               background, needle, off_flag);
