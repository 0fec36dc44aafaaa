// tarvenol throttles_num_t418: a digital read-out of the two thrust lever positions, switched on and
// off by a click: tens and units of the lever's travel on two drums per engine.
#include "module/gauge.h"

namespace {

using namespace tarvenol;

constexpr double kTens = 10.0;
constexpr double kHundredths = 100.0;
constexpr double kFullForward = 1.0;
constexpr double kFullReverse = -1.0;
constexpr double kReverserDeployed = 0.01;
constexpr i32 kLastDigit = 9;

#define THROTTLES_NUM_STATE(X)    \
    X(u8, throttles_num_sw, 0, kFlag)    \
    X(u8, throttle_1_tens, 0, within(0, kLastDigit))     \
    X(u8, throttle_1_units, 0, within(0, kLastDigit))    \
    X(u8, throttle_2_tens, 0, within(0, kLastDigit))     \
    X(u8, throttle_2_units, 0, within(0, kLastDigit))
TARVENOL_PRIVATE_STATE(THROTTLES_NUM_STATE)

// A digit as a drum shows it: one outside 0..9 (a lever in reverse gives negative ones) shows 0.
u8 digit(i32 d) { return d >= 0 && d <= kLastDigit ? static_cast<u8>(d) : 0; }

// The digits of a lever at p: none at full forward; with its reverser out only full reverse is
// read (and gives none either).
void read_lever(double p, double reverser, u8& tens, u8& units) {
    tens = 0;
    units = 0;
    if (is_exactly(p, kFullForward)) return;
    if (reverser >= kReverserDeployed && !is_exactly(p, kFullReverse)) return;
    const i32 t = truncate<i32>(p * kTens);
    tens = digit(t);
    units = digit(truncate<i32>(p * kHundredths - t * kTens));
}

void tick() {
    read_lever(read(sim::eng1_throttle_lever), read(sim::eng1_reverser), st.throttle_1_tens, st.throttle_1_units);
    read_lever(read(sim::eng2_throttle_lever), read(sim::eng2_reverser), st.throttle_2_tens, st.throttle_2_units);
}

Background background{panel("THR")};
MovingImage tens_1{"throttle_1_tens_drum", nullptr, [] { return double(st.throttle_1_tens); }};
MovingImage units_1{"throttle_1_units_drum", nullptr, [] { return double(st.throttle_1_units); }};
MovingImage tens_2{"throttle_2_tens_drum", nullptr, [] { return double(st.throttle_2_tens); }};
MovingImage units_2{"throttle_2_units_drum", nullptr, [] { return double(st.throttle_2_units); }};

void tick_and_show() {
    const bool on = st.throttles_num_sw == 1;
    if (on) tick();
    for (MovingImage* d : {&tens_1, &units_1, &tens_2, &units_2}) d->show(on);
}

constexpr std::array areas{area<[] { st.throttles_num_sw = st.throttles_num_sw == 1 ? 0 : 1; }>("readout", Cursor::hand)};

}  // namespace

TARVENOL_GAUGE(throttles_num, "tarvenol throttles_num_t418", 42, &tick_callback<&tick_and_show>, areas, st_table,
               &reset_private_state, background, tens_1, units_1, tens_2, units_2);
