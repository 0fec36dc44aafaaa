// tarvenol adi_sec_t418: the second attitude indicator, without flight director. Its sphere
// follows the simulator's attitude while powered and topples to rest without power; its flag shows
// for an attitude failure or a loss of its supplies; its integral lighting follows the panel light
// switch on the AC essential bus.
#include "afs/attitude.h"
#include "afs/modes.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

#define ADI_SEC_STATE(X)              \
    X(f64, sec_sphere_pitch, 0.0)     \
    X(f64, sec_sphere_bank, 0.0)      \
    X(u8, sec_sphere_following, 0)
TARVENOL_PRIVATE_STATE(ADI_SEC_STATE)

Background background{panel("STBY ATT")};
MovingImage sphere{"attitude_sphere", [] { return st.sec_sphere_bank; }, [] { return st.sec_sphere_pitch; },
                   tape("ATTITUDE")};
Image attitude_flag{"attitude_flag", flag("ATT")};
Image integral_lighting{"integral_lighting", light(Tone::white, "LT")};

void tick() {
    const auto& s = shared;
    const bool powered = s.batt_bus_powered == 1 && s.norm_eqpt_ess_powered == 1;
    const bool failure = afs::attitude_failed();
    attitude_flag.show(failure || !powered);
    integral_lighting.show(s.panel_lt_sw == 1 && s.ac_ess_bus_powered == 1);
    afs::move_sphere(st.sec_sphere_pitch, st.sec_sphere_bank, st.sec_sphere_following, powered);
}

}  // namespace

TARVENOL_GAUGE(adi_sec, "tarvenol adi_sec_t418", 340, &tick_callback<&tick>, no_areas, st_table, &reset_private_state,
               background, sphere, attitude_flag, integral_lighting);
