// tarvenol plane_weight_t418: the fuel and gross weight indicator. Fuel comes from the simulator's
// total fuel weight; the gross weight is the crew's zero-fuel weight setting plus the fuel, and is
// published for the airspeed indicator's speed bugs. Without DC power both figures freeze.
#include "module/drums.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr double kKgPerLb = 0.453;
constexpr double kFuelUnitKg = 10.0;       // the fuel figure counts tens of kilograms
constexpr double kFuelPerGrossUnit = 10.0;  // ... and the gross weight hundreds
// Zero-fuel weight setting, hundreds of kilograms.
constexpr u16 kZfwMin = 1000;
constexpr u16 kZfwMax = 1220;
constexpr u16 kZfwStep = 10;
constexpr u16 kZfwInitial = 1010;
// The largest gross weight the four digits can show.
constexpr double kGrossMax = 9999.0;

#define WEIGHT_STATE(X)                   \
    X(u16, zfw_setting, kZfwInitial)      \
    X(f64, fuel_10kg, 0.0)                \
    X(u8, gross_thousands_digit, 0, within(0, 9))       \
    X(u8, gross_hundreds_digit, 0, within(0, 9))        \
    X(u8, gross_tens_digit, 0, within(0, 9))            \
    X(u8, gross_units_digit, 0, within(0, 9))
TARVENOL_PRIVATE_STATE(WEIGHT_STATE)

DigitDrum thousands_drum;
DigitDrum hundreds_drum;
DigitDrum tens_drum;

Background background{panel("FUEL / GROSS WT")};
MovingImage fuel_thousands{"fuel_thousands_drum", nullptr, [] { return carry_drum(st.fuel_10kg, 1000.0); }, drum()};
MovingImage fuel_hundreds{"fuel_hundreds_drum", nullptr, [] { return carry_drum(st.fuel_10kg, 100.0); }, drum()};
MovingImage fuel_tens{"fuel_tens_drum", nullptr, [] { return carry_drum(st.fuel_10kg, 10.0); }, drum()};
MovingImage fuel_units{"fuel_units_constant", nullptr, [] { return 1.0; }};
MovingImage gross_thousands{"gross_thousands_drum", nullptr,
                            [] { return thousands_drum.step(st.gross_thousands_digit); }, drum()};
MovingImage gross_hundreds{"gross_hundreds_drum", nullptr, [] { return hundreds_drum.step(st.gross_hundreds_digit); },
                           drum()};
MovingImage gross_tens{"gross_tens_drum", nullptr, [] { return tens_drum.step(st.gross_tens_digit); }, drum()};
MovingImage gross_units{"gross_units_drum", nullptr, [] { return static_cast<double>(st.gross_units_digit); }, drum()};
MovingImage gross_constant{"gross_units_constant", nullptr, [] { return 1.0; }};
Image off_flag{"off_flag", flag("OFF")};

// A weight the drums can show: no fuel below empty, nothing past the last digit, NaN as empty.
double drum_weight(double v, double top) { return v > 0.0 ? (v < top ? v : top) : 0.0; }

void tick() {
    const bool powered = shared.dc_bus_powered == 1;
    if (powered) st.fuel_10kg = drum_weight(read(sim::fuel_total_lb) * kKgPerLb / kFuelUnitKg, kGrossMax * kFuelPerGrossUnit);

    shared.gross_weight_100kg = drum_weight(st.zfw_setting + st.fuel_10kg / kFuelPerGrossUnit, kGrossMax);
    u32 rest = truncate<u32>(shared.gross_weight_100kg);
    st.gross_thousands_digit = static_cast<u8>(rest / 1000);
    rest %= 1000;
    st.gross_hundreds_digit = static_cast<u8>(rest / 100);
    rest %= 100;
    st.gross_tens_digit = static_cast<u8>(rest / 10);
    st.gross_units_digit = static_cast<u8>(rest % 10);

    off_flag.show(!powered);
}

void zfw_minus() {
    st.zfw_setting = st.zfw_setting < kZfwMin + kZfwStep ? kZfwMin : static_cast<u16>(st.zfw_setting - kZfwStep);
}
void zfw_plus() {
    st.zfw_setting = st.zfw_setting > kZfwMax - kZfwStep ? kZfwMax : static_cast<u16>(st.zfw_setting + kZfwStep);
}

void reset() {
    reset_private_state();
    thousands_drum = DigitDrum{};
    hundreds_drum = DigitDrum{};
    tens_drum = DigitDrum{};
}

constexpr std::array areas{
    area<&zfw_minus>("zfw.minus", Cursor::down),
    area<&zfw_plus>("zfw.plus", Cursor::up),
};

}  // namespace

TARVENOL_GAUGE(plane_weight, "tarvenol plane_weight_t418", 97, &tick_callback<&tick>, areas, st_table, &reset,
               background, fuel_thousands, fuel_hundreds, fuel_tens, fuel_units, gross_thousands, gross_hundreds,
               gross_tens, gross_units, gross_constant, off_flag);
