// tarvenol radio_adf1_t418: the ADF control head. The simulator owns the frequency: the knobs send
// its step events and the head shows what it reads back on rolling drums, with the extended digit
// when the receiver reports one. The test button asks the ADF indicator to run its needle test.
#include "module/drums.h"
#include "module/gauge.h"
#include "module/shared_state.h"
#include "radios/radio_adf1_digits.h"

namespace {

using namespace tarvenol;

// The lowest frequency the receiver reports (100 kHz) and the highest the drums can show (1999).
constexpr i32 kAdfLowest = 0x0100;
constexpr i32 kAdfHighest = 0x1999;
constexpr int kThousandsPositions = 2;  // the thousands drum shows 0 or 1
constexpr const char* kThousandsFaces = "0|1";
constexpr i32 kExtendedDigitFlag = 256;  // the extended part at or above this lights its flag

#define RADIO_ADF1_STATE(X)          \
    X(u8, adf_thousands_digit, 0)   \
    X(u8, adf_hundreds_digit, 1)    \
    X(u8, adf_tens_digit, 0)        \
    X(u8, adf_units_digit, 0)       \
    X(u8, adf_ext_digit, 0)         \
    X(u8, adf_ext_flag, 0)
TARVENOL_PRIVATE_STATE(RADIO_ADF1_STATE)

DigitDrum thousands_drum;
DigitDrum hundreds_drum;
DigitDrum tens_drum;
DigitDrum units_drum_;
DigitDrum ext_drum;

Background background{panel("ADF")};
MovingImage thousands{"adf_thousands_drum", nullptr,
                      [] { return thousands_drum.step(st.adf_thousands_digit, kThousandsPositions); }, drum(kThousandsFaces)};
MovingImage hundreds{"adf_hundreds_drum", nullptr, [] { return hundreds_drum.step(st.adf_hundreds_digit); }, drum()};
MovingImage tens{"adf_tens_drum", nullptr, [] { return tens_drum.step(st.adf_tens_digit); }, drum()};
MovingImage units{"adf_units_drum", nullptr, [] { return units_drum_.step(st.adf_units_digit); }, drum()};
MovingImage ext{"adf_ext_drum", nullptr, [] { return ext_drum.step(st.adf_ext_digit); }, drum()};
Image ext_flag{"adf_ext_flag", light(Tone::white, "EXT")};

void reset() {
    reset_private_state();
    thousands_drum = hundreds_drum = tens_drum = units_drum_ = ext_drum = DigitDrum{};
}

void test_button() {
    auto& s = shared;
    if (s.adf_test_req != 1 && (s.ac_ess_bus_normal == 1 || s.dc_bus_powered == 1)) s.adf_test_req = 1;
}

// The frequency on its drums. The receiver reports 100 kHz and above in BCD; a value below, or a
// nibble that is no decimal digit, is brought onto the drums' range before it picks a picture.
void tick() {
    const i32 f = std::clamp(read(sim::adf_freq_bcd), kAdfLowest, kAdfHighest);
    const int hundreds_count = f >> 8;  // 1 + the 256s above 511, then one more
    const bool over_thousand = hundreds_count > kDecimalTop;
    st.adf_thousands_digit = over_thousand ? 1 : 0;
    st.adf_hundreds_digit = drum_digit(over_thousand ? hundreds_count - kBcdCarry : hundreds_count, kDecimalTop);
    st.adf_tens_digit = drum_digit(nibble(f, 1), kDecimalTop);
    st.adf_units_digit = drum_digit(nibble(f, 0), kDecimalTop);
    if (is_on(read(sim::adf_ext_freq_present))) {
        i32 part = read(sim::adf_ext_freq);
        st.adf_ext_flag = part >= kExtendedDigitFlag ? 1 : 0;
        if (part >= kExtendedDigitFlag) part -= kExtendedDigitFlag;
        st.adf_ext_digit = drum_digit(part, kDecimalTop);
    } else {
        st.adf_ext_flag = 0;
    }
    ext_flag.show(st.adf_ext_flag == 1);
}

constexpr std::array areas{
    area<[] { send(key::adf_hundreds_down); }>("adf_hundreds.down", Cursor::down, Repeat::while_held),
    area<[] { send(key::adf_hundreds_up); }>("adf_hundreds.up", Cursor::up, Repeat::while_held),
    area<[] { send(key::adf_tens_down); }>("adf_tens.down", Cursor::down, Repeat::while_held),
    area<[] { send(key::adf_tens_up); }>("adf_tens.up", Cursor::up, Repeat::while_held),
    area<[] { send(key::adf_units_down); }>("adf_units.down", Cursor::down, Repeat::while_held),
    area<[] { send(key::adf_units_up); }>("adf_units.up", Cursor::up, Repeat::while_held),
    area<&test_button>("adf_test", Cursor::hand),
};

}  // namespace

TARVENOL_GAUGE(radio_adf1, "tarvenol radio_adf1_t418", 142, &tick_callback<&tick>, areas, st_table, &reset, background,
               thousands, hundreds, tens, units, ext, ext_flag);
