// tarvenol adf_t418: the ADF bearing indicator. A compass card from the heading reference, the ADF
// needle from the receiver's bearing, and the needle test the ADF control head asks for.
#include "instruments/rmi_needles.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::nav_ind;

constexpr i32 kTestTicks = 35;          // just under two seconds
constexpr double kTestBearing = 315.0;  // where the test drives both pointers
constexpr u8 kNormalEquipment = 2;

#define ADF_STATE(X)               \
    X(f64, adf_card_hdg, 0.0)      \
    X(f64, adf_needle, 0.0)        \
    X(f64, adf_second_pointer, 0.0) \
    X(u8, adf_test_phase, 0)       \
    X(i32, adf_test_end, 0)
TARVENOL_PRIVATE_STATE(ADF_STATE)

// One face: the card turning the heading to the lubber line, the bearing pointer and the second
// pointer across it; the flag on the face.
constexpr Box kFace = centred(181, 200, 320, 320);
Background background{panel("ADF", 372)};
Needle card{"adf_card", [] { return st.adf_card_hdg; }, tarvenol::card(kFace)};
Needle needle{"adf_needle", [] { return st.adf_needle; }, bearing_pointer("ADF", kFace, 1)};
Needle second_pointer{"adf_second_pointer", [] { return st.adf_second_pointer; }, bearing_pointer("ADF 2", kFace, 2)};
Image off_flag{"adf_off_flag", flag("ADF", at(72, 96, 44, 20))};

void tick() {
    auto& s = shared;
    const bool heading_failed = read(sim::fail_heading) == 1;
    if (s.ac_ess_bus_powered == 1 && !heading_failed && s.ess_equipment_level >= 1)  // 1
        st.adf_card_hdg = round_compass(read(sim::heading_deg));
    const bool receiver_powered = s.ac_ess_bus_normal == 1 || s.dc_bus_powered == 1;
    if (receiver_powered && s.ess_equipment_level == kNormalEquipment) {  // 2
        if (s.adf_test_req == 1) {
            if (st.adf_test_phase == 0) {
                st.adf_test_phase = 1;
                st.adf_test_end = deadline_in(kTestTicks);
            }
            if (!is_due(st.adf_test_end)) {
                st.adf_needle = kTestBearing;
                st.adf_second_pointer = kTestBearing;
            } else {
                st.adf_test_phase = 0;
                st.adf_test_end = 0;
                s.adf_test_req = 0;
            }
        } else {
            st.adf_needle = needle_angle(read(sim::adf_bearing_deg));
            st.adf_second_pointer = 0.0;
        }
    } else {
        st.adf_needle = 0.0;
        st.adf_second_pointer = 0.0;
    }
    const bool working = !heading_failed && receiver_powered && s.ess_equipment_level == kNormalEquipment;  // 3
    s.mw_adf_fault = working ? 0 : (s.ess_equipment_level >= kNormalEquipment ? 1 : 0);
    off_flag.show(!working);
}

}  // namespace

TARVENOL_GAUGE(adf, "tarvenol adf_t418", 181, &tick_callback<&tick>, no_areas, st_table, &reset_private_state, background,
               card, needle, second_pointer, off_flag);
