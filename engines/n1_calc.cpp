// tarvenol n1_calc_t418: the thrust rating panel — T.O., FLX T.O., GA, MCT, CL and CR buttons, the
// flexible take-off temperature thumbwheels, the outside air temperature and N1 limit readouts and
// the test button. Each tick it computes the N1 limit of the selected rating from altitude, air
// temperature, the flexible temperature and the anti-ice bleeds, and publishes it as the N1 target.
// The whole panel lives on AC bus 1.
#include <algorithm>

#include "engines/engines.h"
#include "module/drums.h"
#include "module/gauge.h"
#include "module/number_text.h"
#include "module/shared_state.h"
#include "module/units.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::eng;

constexpr double kOatScale = 256.0;
constexpr double kKelvin = 273.0;
constexpr i32 kKelvinInt = 273;

// Ratings.
constexpr u8 kNone = 0;
constexpr u8 kTakeOff = 1;
constexpr u8 kFlexTakeOff = 2;
constexpr u8 kGoAround = 3;
constexpr u8 kMaxContinuous = 4;
constexpr u8 kClimb = 5;
constexpr u8 kCruise = 6;

constexpr u8 kTestTicks = 20;
constexpr u8 kTestShowsEights = 1;  // the readouts show their eights while more than this is left

constexpr u8 kFlexTensAtLoad = 2;
constexpr u8 kFlexUnitsAtLoad = 0;

#define N1_CALC_STATE(X)                               \
    X(u8, trp_flex_tens, kFlexTensAtLoad)              \
    X(u8, trp_flex_units, kFlexUnitsAtLoad)            \
    X(u8, trp_flex_temp, 20)                           \
    X(u8, trp_test_counter, 0)                         \
    X(i8, trp_oat, 0)                                  \
    X(u8, trp_oat_display, 0)                          \
    X(u16, trp_ref_temp_1, 0)                          \
    X(u16, trp_ref_temp_2, 0)                          \
    X(i8, trp_temp_dev_1, 0)                           \
    X(i8, trp_temp_dev_2, 0)                           \
    X(f64, trp_altitude_ft, 0.0)                       \
    X(u8, trp_flex_tens_drum_digit, 0)                 \
    X(u8, trp_flex_units_drum_digit, 0)
TARVENOL_PRIVATE_STATE(N1_CALC_STATE)

DigitDrum tens_drum;
DigitDrum units_drum;

bool powered() { return shared.ac_bus_1_powered == 1; }

// Cap and base of the selected rating (percent N1), after setting its reference temperature.
struct Rating {
    double cap;
    double base;
};

Rating rating(u8 mode, double h) {
    const double kft = h / 1000.0;
    const double per_2000 = h / 2000.0;
    const double dev_1 = st.trp_temp_dev_1;
    const double dev_2 = st.trp_temp_dev_2;
    switch (mode) {
        case kTakeOff:
            return {std::min(113.3 + 0.42 * kft, 114.6), 110.4 + 0.187 * dev_1 + (h < 5000.0 ? 0.8 * kft : 4.0) - 0.6};
        case kFlexTakeOff: {
            const double f = st.trp_flex_temp;
            const double cap = std::min(f >= 20.0 ? 115.4 - 0.206 * (f - 20.0) : 114.6, 114.6);
            double base = 111.4 + 0.21 * dev_1 - 0.6;
            if (f >= 20.0 && f <= 55.0) base -= 0.3875 * (f - 20.0);
            if (f > 55.0) base -= 13.5625;
            return {cap, base};
        }
        case kGoAround: return {110.9, 105.0 + 0.194 * dev_1};
        case kMaxContinuous:
            return {std::min(105.8 + 0.188 * kft, 115.5), 99.2 + 0.175 * dev_2 + (h < 18000.0 ? 1.2 : 0.8) * per_2000};
        case kClimb:
            return {std::min(101.4 + 0.25 * kft, 115.5), 96.5 + 0.184 * dev_2 + (h < 32800.0 ? 0.9 * per_2000 : 14.76)};
        case kCruise: return {113.0, 72.1 + 0.2 * dev_1 + (h < 35000.0 ? 0.84 * kft : 29.4)};
        default: return {0.0, 0.0};
    }
}

// The reference temperature each rating computes its deviation against.
void set_reference(u8 mode) {
    switch (mode) {
        case kTakeOff: st.trp_ref_temp_1 = 288; break;
        case kFlexTakeOff:
        case kGoAround: st.trp_ref_temp_1 = kKelvinInt; break;
        case kMaxContinuous:
        case kClimb: st.trp_ref_temp_2 = kKelvinInt; break;
        case kCruise: st.trp_ref_temp_1 = truncate<u16>(read(sim::cruise_temp_c) + kKelvin); break;
        default: break;
    }
}

// Bleed for the anti-ice takes thrust away.
struct BleedCorrection {
    double engine_only;
    double with_wing_engines_slow;  // wing anti-ice too, an engine below 15 % N2
    double with_wing;
};
constexpr BleedCorrection kGoAroundBleed{0.7, 1.7, 1.3};
constexpr BleedCorrection kContinuousBleed{0.9, 2.0, 1.6};
constexpr double kTakeOffBleed = 0.7;
constexpr double kSlowEngineN2 = 15.0;

double corrected(u8 mode, double base) {
    const double e = read(sim::eng1_anti_ice) + read(sim::eng2_anti_ice);
    const u8 w = shared.wing_anti_ice_on;
    auto with_bleeds = [&](const BleedCorrection& c) {
        if (!(e > 0.0)) return base;
        if (w == 0) return base - c.engine_only;
        const bool slow = read(sim::eng1_n2_pct) < kSlowEngineN2 || read(sim::eng2_n2_pct) < kSlowEngineN2;
        return base - (slow ? c.with_wing_engines_slow : c.with_wing);
    };
    switch (mode) {
        case kTakeOff: return e + w > 0.0 ? base - kTakeOffBleed : base;
        case kFlexTakeOff: return e > 0.0 ? base - kTakeOffBleed : base;
        case kGoAround: return with_bleeds(kGoAroundBleed);
        case kMaxContinuous:
        case kClimb: return with_bleeds(kContinuousBleed);
        default: return base;
    }
}

void compute_limit() {
    auto& s = shared;
    if (s.trp_mode == kNone) return;  // no rating selected: the last limit and target stand
    const double h = read(sim::altitude_m) * kFeetPerMetre;
    st.trp_altitude_ft = h;
    const i32 total_air_k = truncate<i32>(read(sim::air_temp_c) + kKelvin);
    const i32 outside_air_k = st.trp_oat + kKelvinInt;
    set_reference(s.trp_mode);
    // Deviations are kept in signed bytes, as the computer stores them.
    st.trp_temp_dev_1 = static_cast<i8>(total_air_k - st.trp_ref_temp_1);
    st.trp_temp_dev_2 = static_cast<i8>(outside_air_k - st.trp_ref_temp_2);
    const Rating r = rating(s.trp_mode, h);
    const double limit = corrected(s.trp_mode, r.base);
    s.trp_n1_limit = limit < r.cap ? limit : r.cap;
    s.trp_n1_target = s.trp_n1_limit;
}

void tick() {
    auto& s = shared;
    // 1. The lamp test runs down.
    if (st.trp_test_counter > 0) --st.trp_test_counter;
    // 2. Outside air temperature and the flexible temperature.
    if (powered()) {
        st.trp_oat = truncate<i8>(read(sim::air_temp_c_256) * kOatScale);
        st.trp_oat_display = static_cast<u8>(st.trp_oat < 0 ? -st.trp_oat : st.trp_oat);
        st.trp_flex_tens_drum_digit = st.trp_flex_tens;
        st.trp_flex_units_drum_digit = st.trp_flex_units;
    }
    st.trp_flex_temp = static_cast<u8>(st.trp_flex_tens * 10 + st.trp_flex_units);
    if (!powered()) return;
    // 3.-5. The N1 limit of the selected rating becomes the N1 target.
    compute_limit();
    // 6. How far the leading engine is from the target.
    const double n1_1 = read(sim::eng1_n1_pct);
    const double n1_2 = read(sim::eng2_n1_pct);
    s.trp_n1_margin = (n1_2 > n1_1 ? n1_2 : n1_1) - s.trp_n1_target;
}

// Elements.
Background background;
NumberText oat_shown, limit_shown;
Text oat_readout{"oat_readout", 2, [](char* t, std::size_t n) {
                     if (powered() && st.trp_test_counter > kTestShowsEights)
                         oat_shown.show(t, n, "88");
                     else if (powered())
                         oat_shown.show_int(t, n, "%2d", st.trp_oat_display);
                     else
                         oat_shown.show(t, n, "  ");
                     return 0.0;
                 }};
Text limit_readout{"n1_limit_readout", 5, [](char* t, std::size_t n) {
                       if (powered() && st.trp_test_counter >= kTestShowsEights + 1)
                           limit_shown.show(t, n, "888.8");
                       else if (powered())
                           limit_shown.show(t, n, "%3.1f", double{shared.trp_n1_limit});
                       else
                           limit_shown.show(t, n, "    ");
                       return shared.trp_n1_limit;
                   }};
Image oat_plus{"oat_plus"};
Image oat_minus{"oat_minus"};
Lights<6> mode_lamps{"to_light", "flx_to_light", "ga_light", "mct_light", "cl_light", "cr_light"};
Image panel_lamp{"panel_light"};
MovingImage flex_tens{"flex_tens_drum", nullptr, [] { return tens_drum.step(st.trp_flex_tens_drum_digit); }};
MovingImage flex_units{"flex_units_drum", nullptr, [] { return units_drum.step(st.trp_flex_units_drum_digit); }};

void show_lamps() {
    const bool on = powered();
    const bool test = st.trp_test_counter > 0;
    oat_plus.show(on && (st.trp_oat > 0 || test));
    oat_minus.show(on && (st.trp_oat < 0 || test));
    for (u8 n = 1; n <= mode_lamps.kLinkCount; ++n) mode_lamps[n - 1].show(on && (shared.trp_mode == n || test));
    panel_lamp.show(on);
}

void tick_and_show() {
    tick();
    show_lamps();
}

void reset() {
    reset_private_state();
    tens_drum = DigitDrum{};
    units_drum = DigitDrum{};
}

// A mode button selects its rating, or deselects it when lit.
template <u8 Mode>
void press_mode() {
    if (powered()) shared.trp_mode = shared.trp_mode == Mode ? kNone : Mode;
}
void wheel_up(u8& digit) { digit = digit >= 9 ? 0 : static_cast<u8>(digit + 1); }
void wheel_down(u8& digit) { digit = digit == 0 || digit > 9 ? 9 : static_cast<u8>(digit - 1); }

constexpr std::array areas{
    area<&press_mode<kTakeOff>>("to", Cursor::hand),
    area<&press_mode<kFlexTakeOff>>("flx_to", Cursor::hand),
    area<&press_mode<kGoAround>>("ga", Cursor::hand),
    area<&press_mode<kMaxContinuous>>("mct", Cursor::hand),
    area<&press_mode<kClimb>>("cl", Cursor::hand),
    area<&press_mode<kCruise>>("cr", Cursor::hand),
    area<[] {
        if (powered() && st.trp_test_counter < kTestTicks) st.trp_test_counter += kTestTicks;
    }>("test", Cursor::hand),
    area<[] { wheel_up(st.trp_flex_tens); }>("flex_tens.up", Cursor::up, Repeat::while_held),
    area<[] { wheel_down(st.trp_flex_tens); }>("flex_tens.down", Cursor::down, Repeat::while_held),
    area<[] { wheel_up(st.trp_flex_units); }>("flex_units.up", Cursor::up, Repeat::while_held),
    area<[] { wheel_down(st.trp_flex_units); }>("flex_units.down", Cursor::down, Repeat::while_held),
};

}  // namespace

TARVENOL_GAUGE(n1_calc, "tarvenol n1_calc_t418", 128, &tick_callback<&tick_and_show>, areas, st_table, &reset,
               background, oat_readout, limit_readout, oat_plus, oat_minus, mode_lamps, panel_lamp, flex_tens,
               flex_units);
