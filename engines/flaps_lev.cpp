// tarvenol flaps_lev_t418: the flap lever. With hydraulic pressure a click moves the simulator's flaps
// a step and the lever follows the simulator's flap lever; without, the lever moves alone in steps
// of 19 and the flaps stay where they are.
#include "engines/engines.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::eng;

constexpr u8 kUp = 0;
constexpr u8 kFull = 77;
constexpr u8 kStep = 19;
constexpr u8 kLastStepToFull = 38;       // a lever beyond this goes to full
constexpr double kSimUnitsPerStep = 213.0;  // the simulator's lever (0..16383) to the lever's 0..77

#define FLAPS_LEV_STATE(X) X(u8, flaps_lever_pos, kUp)
TARVENOL_PRIVATE_STATE(FLAPS_LEV_STATE)

Background background{panel("FLAPS")};
MovingImage lever{"flaps_lever", nullptr, [] { return clamp_back<u8>(st.flaps_lever_pos, kUp, kFull); }};

void tick() {
    if (flap_permission())
        st.flaps_lever_pos = truncate<u8>(read(sim::flap_handle) / kSimUnitsPerStep);
    else
        clamp_back<u8>(st.flaps_lever_pos, kUp, kFull);
}

void flaps_down() {
    if (flap_permission())
        send(key::flaps_extend_step);
    else
        st.flaps_lever_pos = st.flaps_lever_pos > kLastStepToFull ? kFull : static_cast<u8>(st.flaps_lever_pos + kStep);
}
void flaps_up() {
    if (flap_permission())
        send(key::flaps_retract_step);
    else
        st.flaps_lever_pos = st.flaps_lever_pos < kStep ? kUp : static_cast<u8>(st.flaps_lever_pos - kStep);
}

constexpr std::array areas{
    area<&flaps_up>("flaps_lever.up", Cursor::up),
    area<&flaps_down>("flaps_lever.down", Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(flaps_lev, "tarvenol flaps_lev_t418", 42, &tick_callback<&tick>, areas, st_table, &reset_private_state,
               background, lever);
