// tarvenol ap_crs_t418: the course panel — the NAV 1 course on three drums and the knobs that set
// it in the simulator.
#include "afs/selection.h"
#include "module/drums.h"
#include "module/gauge.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::afs;

constexpr i32 kFineStep = 1;
constexpr i32 kCoarseStep = 10;

#define AP_CRS_STATE(X)          \
    X(i32, crs_present, 0)       \
    X(u8, crs_hundreds_digit, 0, within(0, 9)) \
    X(u8, crs_tens_digit, 0, within(0, 9))     \
    X(u8, crs_units_digit, 0, within(0, 9))
TARVENOL_PRIVATE_STATE(AP_CRS_STATE)

DigitDrum hundreds_drum;
DigitDrum tens_drum;
DigitDrum units_drum_;

Background background{panel("COURSE")};
MovingImage hundreds{"crs_hundreds_drum", nullptr, [] { return hundreds_drum.step(st.crs_hundreds_digit); }, drum()};
MovingImage tens{"crs_tens_drum", nullptr, [] { return tens_drum.step(st.crs_tens_digit); }, drum()};
MovingImage units{"crs_units_drum", nullptr, [] { return units_drum_.step(st.crs_units_digit); }, drum()};

void reset() {
    reset_private_state();
    hundreds_drum = DigitDrum{};
    tens_drum = DigitDrum{};
    units_drum_ = DigitDrum{};
}

// The present course, on the compass card (the simulator may hand anything).
i32 present_course() { return wrap_degrees(truncate<i32>(read(sim::nav1_obs_deg))); }

// Each knob step turns the simulator's NAV 1 course from where it is now.
void turn(i32 degrees) {
    send(key::nav1_obs_set, static_cast<u32>(wrap_degrees(std::int64_t{present_course()} + degrees)));
}

void tick() {
    st.crs_present = present_course();
    st.crs_hundreds_digit = digit_of(st.crs_present, 100);
    st.crs_tens_digit = digit_of(st.crs_present, 10);
    st.crs_units_digit = digit_of(st.crs_present, 1);
}

constexpr std::array areas{
    area<[] { turn(-kFineStep); }>("crs.down_1", Cursor::down, Repeat::while_held),
    area<[] { turn(kFineStep); }>("crs.up_1", Cursor::up, Repeat::while_held),
    area<[] { turn(-kCoarseStep); }>("crs.down_10", Cursor::down, Repeat::while_held),
    area<[] { turn(kCoarseStep); }>("crs.up_10", Cursor::up, Repeat::while_held),
};

}  // namespace

TARVENOL_GAUGE(ap_crs, "tarvenol ap_crs_t418", 86, &tick_callback<&tick>, areas, st_table, &reset, background,
               hundreds, tens, units);
