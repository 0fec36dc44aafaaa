// tarvenol elec_ind_ac_frq_t418: the AC frequency meter. Its needle sits at the nominal frequency
// (0 on its scale) while the selected source is live and rests at the bottom stop otherwise,
// moving a constant step per tick.
#include "electrical/electrical.h"
#include "module/gauge.h"
#include "module/indicators.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::elec;

constexpr i32 kNominal = 0;
constexpr i32 kRest = -300;
constexpr u8 kStep = 20;
constexpr i32 kScaleMin = -300;
constexpr i32 kScaleMax = 300;

#define AC_FREQ_STATE(X)      \
    X(i32, ac_freq_needle, 0) \
    X(u8, ac_freq_step, kStep)
TARVENOL_PRIVATE_STATE(AC_FREQ_STATE)

Background background{panel(nullptr, 150)};
Needle ac_freq_needle{"ac_freq_needle", [] { return clamp_back(st.ac_freq_needle, kScaleMin, kScaleMax); },
       dial("AC FREQ", kScaleMin, kScaleMax, centred(75, 75, 136, 136)).band(-20, 20).in("DEV")};

void tick() {
    if (ac_meter_source_live())
        rise_toward(st.ac_freq_needle, kNominal, st.ac_freq_step);
    else
        fall_to(st.ac_freq_needle, kRest, st.ac_freq_step);
}

}  // namespace

TARVENOL_GAUGE(elec_ind_ac_frq, "tarvenol elec_ind_ac_frq_t418", 75, &tick_callback<&tick>, no_areas, st_table,
               &reset_private_state, background, ac_freq_needle);
