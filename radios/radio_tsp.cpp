// tarvenol radio_tsp_t418: the ATC transponder code selector. Each digit knob sends the
// simulator's step event for that digit; the code read back is shown on four octal drums.
#include "module/drums.h"
#include "module/gauge.h"
#include "radios/radio_adf1_digits.h"

namespace {

using namespace tarvenol;

constexpr int kOctalPositions = kOctalTop + 1;
constexpr const char* kOctalFaces = "0|1|2|3|4|5|6|7";
constexpr i32 kHighestCode = 0x7777;

#define RADIO_TSP_STATE(X)         \
    X(u8, tsp_thousands_digit, 0) \
    X(u8, tsp_hundreds_digit, 0)  \
    X(u8, tsp_tens_digit, 0)      \
    X(u8, tsp_units_digit, 0)
TARVENOL_PRIVATE_STATE(RADIO_TSP_STATE)

DigitDrum drums[4];

Background background{panel("ATC")};
MovingImage thousands{"tsp_thousands_drum", nullptr, [] { return drums[3].step(st.tsp_thousands_digit, kOctalPositions); }, drum(kOctalFaces)};
MovingImage hundreds{"tsp_hundreds_drum", nullptr, [] { return drums[2].step(st.tsp_hundreds_digit, kOctalPositions); }, drum(kOctalFaces)};
MovingImage tens{"tsp_tens_drum", nullptr, [] { return drums[1].step(st.tsp_tens_digit, kOctalPositions); }, drum(kOctalFaces)};
MovingImage units{"tsp_units_drum", nullptr, [] { return drums[0].step(st.tsp_units_digit, kOctalPositions); }, drum(kOctalFaces)};

void reset() {
    reset_private_state();
    for (auto& d : drums) d = DigitDrum{};
}

// Four octal digits in BCD; a digit the drums do not carry (8, 9, a non-decimal nibble, a negative
// code) stands on the drum's end.
void tick() {
    const i32 code = std::clamp(read(sim::transponder_code_bcd), 0, kHighestCode);
    st.tsp_thousands_digit = drum_digit(nibble(code, 3), kOctalTop);
    st.tsp_hundreds_digit = drum_digit(nibble(code, 2), kOctalTop);
    st.tsp_tens_digit = drum_digit(nibble(code, 1), kOctalTop);
    st.tsp_units_digit = drum_digit(nibble(code, 0), kOctalTop);
}

constexpr std::array areas{
    area<[] { send(key::xpdr_thousands_down); }>("tsp_thousands.down", Cursor::down, Repeat::while_held),
    area<[] { send(key::xpdr_thousands_up); }>("tsp_thousands.up", Cursor::up, Repeat::while_held),
    area<[] { send(key::xpdr_hundreds_down); }>("tsp_hundreds.down", Cursor::down, Repeat::while_held),
    area<[] { send(key::xpdr_hundreds_up); }>("tsp_hundreds.up", Cursor::up, Repeat::while_held),
    area<[] { send(key::xpdr_tens_down); }>("tsp_tens.down", Cursor::down, Repeat::while_held),
    area<[] { send(key::xpdr_tens_up); }>("tsp_tens.up", Cursor::up, Repeat::while_held),
    area<[] { send(key::xpdr_units_down); }>("tsp_units.down", Cursor::down, Repeat::while_held),
    area<[] { send(key::xpdr_units_up); }>("tsp_units.up", Cursor::up, Repeat::while_held),
};

}  // namespace

TARVENOL_GAUGE(radio_tsp, "tarvenol radio_tsp_t418", 179, &tick_callback<&tick>, areas, st_table, &reset, background,
               thousands, hundreds, tens, units);
