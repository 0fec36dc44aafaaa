// tarvenol elec_ind_ac_v_t418: the AC voltmeter. Its needle reads 115 V while the selected source
// is live, rising 10 V a tick low on the scale and 2 V near the reading, and falls back to 0.
#include "electrical/electrical.h"
#include "module/gauge.h"
#include "module/indicators.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::elec;

constexpr u32 kLiveVolts = 115;
constexpr u32 kRest = 0;
constexpr u32 kFastBelow = 100;
constexpr u8 kFastStep = 10;
constexpr u8 kSlowStep = 2;
constexpr u32 kScaleMin = 0;
constexpr u32 kScaleMax = 130;

#define AC_VOLTS_STATE(X)      \
    X(u32, ac_volts_needle, 0) \
    X(u8, ac_volts_step, 0)
TARVENOL_PRIVATE_STATE(AC_VOLTS_STATE)

Background background{panel(nullptr, 150)};
Needle ac_volts_needle{"ac_volts_needle", [] { return clamp_back(st.ac_volts_needle, kScaleMin, kScaleMax); },
       dial("AC VOLTS", kScaleMin, kScaleMax, centred(75, 75, 136, 136)).band(110, 120).in("V")};

void tick() {
    st.ac_volts_step = st.ac_volts_needle < kFastBelow ? kFastStep : kSlowStep;
    if (ac_meter_source_live())
        rise_toward(st.ac_volts_needle, kLiveVolts, st.ac_volts_step);
    else
        fall_to(st.ac_volts_needle, kRest, st.ac_volts_step);
}

}  // namespace

TARVENOL_GAUGE(elec_ind_ac_v, "tarvenol elec_ind_ac_v_t418", 75, &tick_callback<&tick>, no_areas, st_table,
               &reset_private_state, background, ac_volts_needle);
