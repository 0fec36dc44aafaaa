// tarvenol asi_sec_t418: the standby airspeed indicator on the DC essential bus. Its needle comes
// alive at 60 kt and runs down when the bus is lost; one speed bug set by its knob.
#include <array>

#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr double kAliveFromKnots = 60.0;
constexpr i32 kNeedleStep = 10;
constexpr u32 kScaleMin = 0;
constexpr u32 kScaleMax = 450;
constexpr u32 kMarkerLow = 60;
constexpr u32 kMarkerHigh = kScaleMax;  // the bug goes to the end of the scale

#define ASI_SEC_STATE(X)         \
    X(u32, stby_asi_needle, 0)   \
    X(u32, stby_asi_marker, 130)
TARVENOL_PRIVATE_STATE(ASI_SEC_STATE)

constexpr Box kDial = centred(110, 110, 204, 204);
Background background;
Needle marker{"stby_asi_marker", [] { return clamp_back(st.stby_asi_marker, kScaleMin, kScaleMax); },
              bug("BUG", kScaleMin, kScaleMax, kDial)};
Needle needle{"stby_asi_needle", [] { return clamp_back(st.stby_asi_needle, kScaleMin, kScaleMax); },
              dial("STBY ASI", kScaleMin, kScaleMax, kDial).in("KNOTS")};

void tick() {
    const double ias = read(sim::ias_kt);
    u32& n = st.stby_asi_needle;
    if (shared.batt_bus_powered == 1 && ias >= kAliveFromKnots) {
        if (static_cast<double>(n) < ias - kNeedleStep)
            n = truncate<u32>(static_cast<double>(n) + kNeedleStep);  // saturates
        else
            n = truncate<u32>(ias);
    } else if (n > static_cast<u32>(kNeedleStep)) {
        n -= kNeedleStep;
    } else {
        n = kScaleMin;
    }
}

constexpr std::array areas{
    area<[] { step_down(st.stby_asi_marker, kMarkerLow); }>("marker.down", Cursor::down, Repeat::while_held),
    area<[] { step_up(st.stby_asi_marker, kMarkerHigh); }>("marker.up", Cursor::up, Repeat::while_held),
};

}  // namespace

TARVENOL_GAUGE(asi_sec, "tarvenol asi_sec_t418", 110, &tick_callback<&tick>, areas, st_table, &reset_private_state,
               background, marker, needle);
