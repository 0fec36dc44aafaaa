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

// One face: the sphere, the bank pointer turning with it over the fixed bank scale, the aircraft
// symbol; the flag in the face's ring, the integral lighting's lamp in a corner.
constexpr Box kFace = centred(340, 270, 460, 460);
constexpr double kPixelsPerPitchDegree = 6.0;
Background background{panel("STBY ATT", 540)};
MovingImage sphere{"attitude_sphere", [] { return st.sec_sphere_bank; }, [] { return st.sec_sphere_pitch; },
                   tarvenol::sphere(kFace, kPixelsPerPitchDegree)};
Needle bank_pointer{"bank_pointer", [] { return st.sec_sphere_bank; }, bank_index(kFace)};
IconSet aircraft_symbol{"aircraft_symbol", 1, [] { return 0.0; }, face_symbol(kFace, kAttitudeSymbol)};
Image attitude_flag{"attitude_flag", flag("ATT", at(146, 90, 52, 22))};
Image integral_lighting{"integral_lighting", light(Tone::white, "LT", at(22, 22, 40, 26))};

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
               background, sphere, bank_pointer, aircraft_symbol, attitude_flag, integral_lighting);
