// The engine instruments: the primary N1, fuel flow, EGT and N2 indicators of the centre panel and
// the flight engineer's secondary instruments. Every instrument is one for two engines: its unit
// names the engine and this header gives the rest. Needles are not copies of the simulator's
// values: they slew at fixed rates, run down when their bus is lost, and the secondary values are
// small models of their own.
#pragma once

#include <array>
#include <cstddef>

#include "module/drums.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace tarvenol::eng {

// --- Primary instruments ---------------------------------------------------------------------------

// A primary indicator: its needle, the digital counter (the value of the last powered tick) and the
// maximum pointer that the needle pushes up and nothing pulls down.
struct PrimaryIndicator {
    f64 needle = 0.0;
    f64 counter = 0.0;
    u32 max_pointer = 0;
};

// How a primary indicator reads and looks: its needle step per tick, its scale, its maximum pointer
// (none when `pointer_top` is 0) and whether its counter shows tenths.
struct PrimaryScale {
    const char* title;
    double step;
    double top;
    u32 pointer_at_load;
    u32 pointer_top;
    bool tenths;
    int width_mm;
};
inline constexpr PrimaryScale kN1{"N1 %", 5.0, 120.0, 118, 120, true, 169};
inline constexpr PrimaryScale kFuelFlow{"FF KG/H", 500.0, 10000.0, 0, 0, false, 153};
inline constexpr PrimaryScale kEgt{"EGT", 50.0, 1000.0, 950, 1000, false, 169};
inline constexpr PrimaryScale kN2{"N2 %", 5.0, 120.0, 112, 120, true, 153};

// Fuel flow in kg/h from the simulator's pounds per hour; EGT in degrees from its raw value.
constexpr double kKgPerPound = 0.453;
constexpr double kEgtRawPerDegree = 2.15;

// One tick of a primary indicator with its reading v: powered, the needle rises a step a tick and
// follows a falling value at once; unpowered it runs down a step a tick to 0. The counter keeps
// the last powered reading; the maximum pointer follows the needle up.
void update_primary(PrimaryIndicator& ind, double v, double step, bool powered);

// The counter as the drums show it: a negative, infinite or unreadable value shows 0 (and the
// counter is put there).
double counter_shown(f64& counter);

// A dial across the gauge under its title, and four drums side by side under it.
constexpr int kDialSize = 180;
constexpr Box dial_box(int width_mm, int size = kDialSize) {
    const int room = width_mm * kPixelsPerMm - 12;
    const int d = room < size ? room : size;
    return at((width_mm * kPixelsPerMm - d) / 2, 26, d, d);
}
// The counter's window in the dial, under the pivot between the ends of the scale.
constexpr Box drum_box(int width_mm, int i) {
    constexpr int kDrumW = 16, kDrumH = 26;
    const Box dial = dial_box(width_mm);
    return at((width_mm * kPixelsPerMm - 4 * kDrumW) / 2 + i * kDrumW, dial.y + dial.h / 2 + dial.h * 26 / 100, kDrumW,
              kDrumH);
}

// The needle, the maximum pointer (where there is one) and the counter drums of a primary
// indicator. The N1 and N2 counters roll their hundreds, tens and units in the last tenth of a
// percent and turn their tenths; fuel flow and EGT roll thousands, hundreds and tens in the last
// unit and turn their units.
template <auto& Ind, const PrimaryScale& Scale>
struct PrimaryDial {
    static constexpr double kScale = Scale.tenths ? 10.0 : 1.0;
    static double needle_value() { return clamp_back(Ind.needle, 0.0, Scale.top); }
    static double pointer_value() { return clamp_back(Ind.max_pointer, 0u, Scale.pointer_top); }
    template <int Weight>
    static double carry() {
        return carry_drum(counter_shown(Ind.counter) * kScale, Weight);
    }
    static double turning() { return units_drum(counter_shown(Ind.counter) * kScale); }

    Needle needle{"needle", &needle_value, dial(Scale.title, 0.0, Scale.top, dial_box(Scale.width_mm))};
    Needle pointer{"max_pointer", &pointer_value, max_pointer(Scale.title, 0.0, Scale.top, dial_box(Scale.width_mm))};
    std::array<MovingImage, 4> drums{
        MovingImage(Scale.tenths ? "drum_100" : "drum_1000", nullptr, &carry<1000>, drum(drum_box(Scale.width_mm, 0))),
        MovingImage(Scale.tenths ? "drum_10" : "drum_100", nullptr, &carry<100>, drum(drum_box(Scale.width_mm, 1))),
        MovingImage(Scale.tenths ? "drum_1" : "drum_10", nullptr, &carry<10>, drum(drum_box(Scale.width_mm, 2))),
        MovingImage(Scale.tenths ? "drum_tenths" : "drum_1", nullptr, &turning, drum(drum_box(Scale.width_mm, 3)))};

    static constexpr bool kHasPointer = Scale.pointer_top > 0;
    static constexpr std::size_t kLinkCount = kHasPointer ? 6 : 5;
    void append_links(ElementLink**& out) {
        *out++ = &needle.link;
        if (kHasPointer) *out++ = &pointer.link;
        for (auto& d : drums) *out++ = &d.link;
    }
};

// --- The N1 target knob ----------------------------------------------------------------------------
// One knob for both N1 indicators (0..120 %, 100 at load): with no thrust rating selected it sets the
// N1 target; with one selected it follows the rating's limit. Engine 1's indicator lists it.
constexpr u32 kN1TargetKnobAtLoad = 100;
constexpr u32 kN1TargetKnobTop = 120;
extern u32 n1_target_knob;
// Engine 1's table lists the knob beside its own state.
template <int Engine, std::size_t N>
auto with_n1_target_knob(const std::array<VarRef, N>& own) {
    if constexpr (Engine == 1)
        return std::array<VarRef, N + 1>{own[0], own[1], own[2], var_ref("n1_target_knob", n1_target_knob)};
    else
        return own;
}
// Engine 1's N1 indicator closes the thrust rating loop after its needle, each tick.
void close_n1_target_loop();
// The target marker both N1 dials draw from the knob.
double n1_target_marker();
// Knob clicks: engine 1's only with no rating selected, engine 2's always.
void turn_n1_target_knob(int by, bool only_without_rating);

// --- Secondary instruments -------------------------------------------------------------------------

// Oil pressure, oil temperature, oil quantity and fuel pressure: powered, the needle moves 2 a tick
// toward its value while more than 4 away and then takes it; unpowered it runs down 2 a tick to 0.
void update_secondary(f64& needle, double value, bool powered);

constexpr double kOilPressRawPerUnit = 130.0;
constexpr double kOilTempRawPerDegree = 7.0;
constexpr double kOilTempOffset = 50.0;
constexpr double kOilQuantityRawPerUnit = 1250.0;
constexpr double kFuelPressFactor = 0.85;
constexpr double kOilPressTop = 160.0;
constexpr double kOilTempTop = 250.0;
constexpr double kOilQuantityTop = 20.0;
constexpr double kFuelPressTop = 160.0;
constexpr double kOilPressLow = 10.0;  // at or below with the HP lever open: the OIL PRESS warning
constexpr int kSecondaryWidth = 91;
constexpr int kSecondaryDial = 150;

// The oil quantity reference marker, 0..20, 16 at load.
constexpr u8 kOilMarkerAtLoad = 16;
constexpr u8 kOilMarkerTop = 20;

// Nacelle temperature, degrees: heated by a fire or a running engine toward a band it hunts in,
// otherwise settling on the total air temperature.
constexpr double kNacelleTop = 300.0;
void update_nacelle(f64& temp, bool fire, double n2, double total_air_temp, bool powered);

// The vibration meter's pick-up selector (`vib_pickup_sw`: 1 FAN at load, 2 TURBINE) and its test
// (`vib_test`, 1 while running), switched on the engineer's vibration panel and read by the meter.
constexpr u8 kPickupFan = 1;
constexpr u8 kPickupTurbine = 2;
struct VibrationSwitches {
    u8 pickup = kPickupFan;
    u8 test = 0;
};
extern VibrationSwitches vib_switches;

// --- Reverser annunciators ---------------------------------------------------------------------------
// R.UNLK (amber) while the reverser moves between stowed and deployed, 36 ticks each way; REV
// (green) from 30 ticks after it starts out until 6 ticks after it starts back.
struct Reverser {
    u8 deployed = 0;         // marked deployed once unlocked out
    u8 timing = 0;           // which movement the deadlines time: 0 none, 1 out, 2 back
    i32 unlock_deadline = 0;
    i32 rev_deadline = 0;
};
struct ReverserLamps {
    bool unlocked;
    bool rev;
};
// One tick of a reverser at `position` (deployed at 0.01 or more), on the battery bus.
ReverserLamps update_reverser(Reverser& r, double position);

// Falls `step` a tick and is put on 0 once it is no longer above a step (a NaN is put on 0 too).
inline void run_down(f64& needle, double step) { needle = needle > step ? needle - step : 0.0; }

}  // namespace tarvenol::eng

// A primary indicator unit of engine n: KIND is its short name (n1, ff, egt, n2) and names its
// private state (`n1_1_needle`, `n1_1_counter`, `n1_1_max_pointer`); SCALE its scale; READING the
// value its needle follows; POWERED the buses it needs.
#define TARVENOL_ENG_PRIMARY_STATE(KIND, n, SCALE)                                                       \
    eng::PrimaryIndicator ind{0.0, 0.0, eng::SCALE.pointer_at_load};                                     \
    void reset_indicator() { ind = eng::PrimaryIndicator{0.0, 0.0, eng::SCALE.pointer_at_load}; }        \
    Background background{panel(eng::SCALE.title)};                                                      \
    eng::PrimaryDial<ind, eng::SCALE> dial_group;

#define TARVENOL_ENG_PRIMARY_VARS(KIND, n)                                                              \
    var_ref(#KIND "_" #n "_needle", ind.needle), var_ref(#KIND "_" #n "_counter", ind.counter),         \
        var_ref(#KIND "_" #n "_max_pointer", ind.max_pointer)

#define TARVENOL_ENG_PRIMARY_GAUGE(KIND, n, SCALE, READING, POWERED)                                     \
    namespace {                                                                                         \
    using namespace ::tarvenol;                                                                         \
    TARVENOL_ENG_PRIMARY_STATE(KIND, n, SCALE)                                                           \
    const VarRef vars[] = {TARVENOL_ENG_PRIMARY_VARS(KIND, n)};                                         \
    void tick() { eng::update_primary(ind, (READING), eng::SCALE.step, (POWERED)); }                     \
    }                                                                                                   \
    TARVENOL_GAUGE(eng_ind_##KIND##_##n, "tarvenol eng_ind_" #KIND "_" #n "_t418", eng::SCALE.width_mm,  \
                   &tick_callback<&tick>, no_areas, (VarTableView{vars, std::size(vars)}), &reset_indicator, \
                   background, dial_group)

// A secondary instrument unit of engine n: `engomn_KIND_n`, its needle `KIND_n_needle` following
// VALUE while POWERED on a dial 0..TOP.
#define TARVENOL_ENGOMN_NEEDLE_STATE(KIND, TITLE, TOP)                                                  \
    f64 needle_value = 0.0;                                                                             \
    Background background{panel(TITLE)};                                                                \
    Needle needle{"needle", [] { return clamp_back(needle_value, 0.0, (TOP)); },                        \
                  dial(TITLE, 0.0, (TOP), eng::dial_box(eng::kSecondaryWidth, eng::kSecondaryDial))};

#define TARVENOL_ENGOMN_GAUGE(KIND, n, TITLE, TOP, VALUE, POWERED, AFTER)                               \
    namespace {                                                                                         \
    using namespace ::tarvenol;                                                                         \
    TARVENOL_ENGOMN_NEEDLE_STATE(KIND, TITLE, TOP)                                                      \
    const VarRef vars[] = {var_ref(#KIND "_" #n "_needle", needle_value)};                              \
    void reset() { needle_value = 0.0; }                                                                \
    void tick() {                                                                                       \
        const double v = (VALUE);                                                                       \
        eng::update_secondary(needle_value, v, (POWERED));                                              \
        AFTER;                                                                                          \
    }                                                                                                   \
    }                                                                                                   \
    TARVENOL_GAUGE(engomn_##KIND##_##n, "tarvenol engomn_" #KIND "_" #n "_t418", eng::kSecondaryWidth,  \
                   &tick_callback<&tick>, no_areas, (VarTableView{vars, std::size(vars)}), &reset, background, \
                   needle)

// Engine n's oil pressure, with the OIL PRESS warning: low pressure with the HP lever open.
#define TARVENOL_ENGOMN_OIL_PRESS_GAUGE(n)                                                              \
    TARVENOL_ENGOMN_GAUGE(oil_press, n, "OIL PRESS", eng::kOilPressTop,                                 \
                          read(sim::eng##n##_oil_press) / eng::kOilPressRawPerUnit,                     \
                          shared.ac_bus_##n##_powered == 1,                                             \
                          shared.mw_eng_##n##_oil_press = v <= eng::kOilPressLow && shared.hp_lever_##n == 1)

// Engine n's oil temperature (both on the DC bus).
#define TARVENOL_ENGOMN_OIL_TEMP_GAUGE(n)                                                               \
    TARVENOL_ENGOMN_GAUGE(oil_temp, n, "OIL TEMP", eng::kOilTempTop,                                    \
                          read(sim::eng##n##_oil_temp) / eng::kOilTempRawPerDegree + eng::kOilTempOffset, \
                          shared.dc_bus_powered == 1, (void)v)

// Engine n's fuel pressure.
#define TARVENOL_ENGOMN_FUEL_PRESS_GAUGE(n)                                                             \
    TARVENOL_ENGOMN_GAUGE(fuel_press, n, "FUEL PRESS", eng::kFuelPressTop,                              \
                          read(sim::eng##n##_fuel_press) * eng::kFuelPressFactor,                       \
                          shared.ac_bus_##n##_powered == 1, (void)v)

// Engine n's oil quantity (one simulator figure for both engines) with its reference marker
// `oil_qtty_n_marker`, set by its own knob.
#define TARVENOL_ENGOMN_OIL_QTTY_GAUGE(n)                                                               \
    namespace {                                                                                         \
    using namespace ::tarvenol;                                                                         \
    TARVENOL_ENGOMN_NEEDLE_STATE(oil_qtty, "OIL QTY", eng::kOilQuantityTop)                             \
    u8 marker = eng::kOilMarkerAtLoad;                                                                  \
    const VarRef vars[] = {var_ref("oil_qtty_" #n "_needle", needle_value),                             \
                           var_ref("oil_qtty_" #n "_marker", marker)};                                  \
    void reset() {                                                                                      \
        needle_value = 0.0;                                                                             \
        marker = eng::kOilMarkerAtLoad;                                                                 \
    }                                                                                                   \
    Slider marker_image{"oil_qtty_marker", nullptr, [] { return clamp_back<u8>(marker, 0, eng::kOilMarkerTop); }}; \
    void tick() {                                                                                       \
        eng::update_secondary(needle_value, read(sim::oil_quantity) / eng::kOilQuantityRawPerUnit,     \
                              shared.ac_bus_##n##_powered == 1);                                        \
    }                                                                                                   \
    constexpr std::array areas{area<[] { step_down(marker, 0); }>("marker.down", Cursor::down, Repeat::while_held),         \
                               area<[] { step_up(marker, eng::kOilMarkerTop); }>("marker.up", Cursor::up, Repeat::while_held)}; \
    }                                                                                                   \
    TARVENOL_GAUGE(engomn_oil_qtty_##n, "tarvenol engomn_oil_qtty_" #n "_t418", eng::kSecondaryWidth,   \
                   &tick_callback<&tick>, areas, (VarTableView{vars, std::size(vars)}), &reset, background, \
                   needle, marker_image)

// Engine n's nacelle temperature `nac_temp_n`, 0..300 degrees, on the DC bus.
#define TARVENOL_ENGOMN_NAC_TEMP_GAUGE(n)                                                               \
    namespace {                                                                                         \
    using namespace ::tarvenol;                                                                         \
    TARVENOL_ENGOMN_NEEDLE_STATE(nac_temp, "NAC TEMP", eng::kNacelleTop)                                \
    const VarRef vars[] = {var_ref("nac_temp_" #n, needle_value)};                                      \
    void reset() { needle_value = 0.0; }                                                                \
    void tick() {                                                                                       \
        eng::update_nacelle(needle_value, shared.eng_##n##_fire == 1, read(sim::eng##n##_n2_pct),       \
                            read(sim::air_temp_c), shared.dc_bus_powered == 1);                         \
    }                                                                                                   \
    }                                                                                                   \
    TARVENOL_GAUGE(engomn_nac_temp_##n, "tarvenol engomn_nac_temp_" #n "_t418", eng::kSecondaryWidth,   \
                   &tick_callback<&tick>, no_areas, (VarTableView{vars, std::size(vars)}), &reset, background, \
                   needle)

// An N1 indicator unit of engine n: the primary indicator with the N1 target marker and the target
// knob. Engine 1's unit owns the knob and closes the thrust rating loop.
#define TARVENOL_ENG_N1_GAUGE(n)                                                                        \
    namespace {                                                                                         \
    using namespace ::tarvenol;                                                                         \
    TARVENOL_ENG_PRIMARY_STATE(n1, n, kN1)                                                              \
    const auto vars = eng::with_n1_target_knob<n>(std::array{TARVENOL_ENG_PRIMARY_VARS(n1, n)});        \
    void reset() {                                                                                      \
        reset_indicator();                                                                              \
        if (n == 1) eng::n1_target_knob = eng::kN1TargetKnobAtLoad;                                     \
    }                                                                                                   \
    Needle target_marker{"n1_target_marker", &eng::n1_target_marker,                                    \
                         ::tarvenol::target_marker(eng::kN1.title, 0.0, eng::kN1.top, eng::dial_box(eng::kN1.width_mm))}; \
    void tick() {                                                                                       \
        eng::update_primary(ind, read(sim::eng##n##_n1_pct), eng::kN1.step,                             \
                            shared.ac_ess_bus_powered == 1 && shared.batt_bus_powered == 1);            \
        if (n == 1) eng::close_n1_target_loop();                                                        \
    }                                                                                                   \
    constexpr std::array areas{                                                                         \
        area<[] { eng::turn_n1_target_knob(-1, n == 1); }>("n1_target_knob.down", Cursor::down,         \
                                                            Repeat::while_held),                        \
        area<[] { eng::turn_n1_target_knob(+1, n == 1); }>("n1_target_knob.up", Cursor::up,             \
                                                           Repeat::while_held)};                        \
    }                                                                                                   \
    TARVENOL_GAUGE(eng_ind_n1_##n, "tarvenol eng_ind_n1_" #n "_t418", eng::kN1.width_mm,                \
                   &tick_callback<&tick>, areas, (VarTableView{vars.data(), vars.size()}), &reset,      \
                   background, dial_group, target_marker)

// The reverser annunciator of engine n on its side of the glareshield: R.UNLK and REV, its state
// `rev_n_deployed`, `rev_n_timing`, `rev_n_unlock_deadline`, `rev_n_rev_deadline`.
#define TARVENOL_REV_VOY_GAUGE(side, n)                                                                 \
    namespace {                                                                                         \
    using namespace ::tarvenol;                                                                         \
    eng::Reverser reverser;                                                                             \
    const VarRef vars[] = {var_ref("rev_" #n "_deployed", reverser.deployed),                           \
                           var_ref("rev_" #n "_timing", reverser.timing),                               \
                           var_ref("rev_" #n "_unlock_deadline", reverser.unlock_deadline),             \
                           var_ref("rev_" #n "_rev_deadline", reverser.rev_deadline)};                  \
    void reset() { reverser = eng::Reverser{}; }                                                        \
    Background background;                                                                              \
    Image unlocked{"rev_unlk_light", light(Tone::caution, "R.UNLK")};                                   \
    Image rev{"rev_light", light(Tone::advisory, "REV")};                                               \
    void tick() {                                                                                       \
        const eng::ReverserLamps lamps = eng::update_reverser(reverser, read(sim::eng##n##_reverser));  \
        unlocked.show(lamps.unlocked);                                                                  \
        rev.show(lamps.rev);                                                                            \
    }                                                                                                   \
    }                                                                                                   \
    TARVENOL_GAUGE(rev_voy_##side, "tarvenol rev_voy_" #side "_t418", 93, &tick_callback<&tick>, no_areas, \
                   (VarTableView{vars, std::size(vars)}), &reset, background, unlocked, rev)
