// tarvenol flaps_ind_t418: the flap and slat position indicator — flap and slat tapes, the
// selected-flap marker and the KRUG, SPEED BRAKE, CONFIG and ASYM lights. Each tick it publishes
// the flap breakpoints, the flap placard overspeed (clacker) request and the flaps take-off
// configuration warning.
#include <cmath>
#include <cstdint>

#include "module/flasher.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

// Flap breakpoints in raw flap units; the last run of the flaps ends at full extension.
constexpr u16 kFlapStep1 = 2048;
constexpr u16 kFlapStep2 = 6144;
constexpr u16 kFlapStep3 = 10240;
constexpr double kFlapsFull = 16300.0;
constexpr double kFlapsMoving = 1.0;  // below this the flaps are up

// Selection marker positions by flap lever selection.
struct MarkerDetent {
    double from;  // selection at or above
    u8 marker;
};
constexpr MarkerDetent kMarkerDetents[] = {{14000.0, 82}, {10000.0, 48}, {6000.0, 29}};
constexpr u8 kMarkerUp = 0;

// Tapes: the flap tape runs from 82 (retracted) to 0, the slat tape from 2 to 0.
constexpr double kFlapTapeUp = 82.0;
constexpr double kFlapTapeFull = 0.0;
constexpr double kSlatTapeUp = 2.0;
constexpr double kSlatTapeOut = 1.0;
constexpr double kSlatTapeFull = 0.0;

// A sloped run of the flap tape: from breakpoint `from` to `to` over `travel` tape units from `base`.
struct FlapRun {
    double from;
    double to;
    double travel;
    double base;
    double tape(double f) const {
        const double span = to - from;
        return travel * (from + to - f) / span + base - std::trunc(travel * to / span);
    }
};
constexpr FlapRun kFlapRuns[] = {
    {kFlapStep1, kFlapStep2, 29.0, kFlapTapeUp},
    {kFlapStep2, kFlapStep3, 19.0, 53.0},
    {kFlapStep3, kFlapsFull, 34.0, 34.0},
};

// Slats: in transit over these bands of the flap position; out from the first breakpoint.
constexpr double kSlatTransitEnd = 2047.0;
constexpr double kSlatSecondTransitFrom = 10241.0;

// Take-off configuration: flaps beyond this or up, or a spoiler out, is wrong; with take-off thrust
// the master warning sounds.
constexpr double kTakeOffFlapsMax = 10241.0;
constexpr double kSpoilerOut = 500.0;
constexpr double kTakeOffN1 = 97.0;

// Flap placard speeds, knots, by flap run (retracted slats to first breakpoint, then the runs).
constexpr double kPlacardSlats = 250.0;
constexpr double kPlacardRun[] = {215.0, 205.0, 180.0};

constexpr double kSpeedBrakeExtended = 1.0;
constexpr double kAsymmetry = 3200.0;

// KRUG flasher: 4 ticks lit, 4 dark; every 80 ticks the cycle ends and a new one starts.
constexpr std::int64_t kKrugOnTicks = 4;
constexpr std::int64_t kKrugPeriodTicks = 8;
constexpr std::int64_t kKrugCycleTicks = 80;

#define FLAPS_STATE(X)                     \
    X(f64, flap_tape, kFlapTapeUp)         \
    X(f64, slat_tape, kSlatTapeUp)         \
    X(u8, flap_sel_marker, kMarkerUp)      \
    X(u8, slat_transit, 0)                 \
    X(u8, slat_extended, 0)                \
    X(u8, krug_started, 0)                 \
    X(u8, krug_phase, 0)                   \
    X(i32, krug_cycle_start, 0)            \
    X(i32, krug_phase_start, 0)            \
    X(u8, flaps_config_lt, 0)              \
    X(u8, speed_brake_lt, 0)
TARVENOL_PRIVATE_STATE(FLAPS_STATE)

// Elements.
// The slat tape on the left, the flap tape on the right with the selection marker beside it, and
// under them two rows of lights.
constexpr int kW = 216, kH = 246, kTapeTop = 26, kTapeH = 140, kTapeW = 44, kLightRow1 = 180, kLightRow2 = 212;
constexpr Box kSlatWindow = at(40, kTapeTop, kTapeW, kTapeH);  // its detents engraved at the left
constexpr Box kFlapWindow = at(132, kTapeTop, kTapeW, kTapeH);
constexpr Box light_at(int i, int top) { return lamp_box(column(i, 2, kW), top, 96, 26); }
Background background{panel("FLAPS", kH)};
// Each tape shows the extension as a bar down its window (one tape unit a pixel for the flaps, as
// the selection marker, the slats' three positions over the same height), read against the
// detents engraved beside it.
constexpr Look extension_tape(const char* legend, Box window, double retracted, double pixels_per_unit, const char* detents) {
    Look l = tape(legend, window).moving(pixels_per_unit).styled(kExtensionBar);
    l.hi = retracted;
    l.marks = detents;
    return l;
}
MovingImage flap_strip{"flap_tape", nullptr, [] { return st.flap_tape; },
                       extension_tape("FLAP", kFlapWindow, kFlapTapeUp, 1.0, "UP@0|1@29|2@48|FULL@82")};
MovingImage slat_strip{"slat_tape", nullptr, [] { return st.slat_tape; },
                       extension_tape("SLAT", kSlatWindow, kSlatTapeUp, kFlapTapeUp / kSlatTapeUp, "RET@0|OUT@41|FULL@82")};
Slider selection_marker{"flap_sel_marker", nullptr, [] { return static_cast<double>(st.flap_sel_marker); },
                        marker(nullptr, at(kFlapWindow.x + kTapeW, kTapeTop, 18, kTapeH))};
Image krug_light{"krug_light", light(Tone::advisory, "KRUG", light_at(0, kLightRow1))};
Image speed_brake_light{"speed_brake_light", light(Tone::caution, "SPEED BRAKE", light_at(1, kLightRow1))};
Image config_light{"config_light", light(Tone::warning, "CONFIG", light_at(0, kLightRow2))};
Image asym_light{"asym_light", light(Tone::caution, "ASYM", light_at(1, kLightRow2))};

bool hydraulics_for_flaps() { return shared.hyd_yellow_status != 0 || shared.hyd_green_status != 0; }
bool green() { return shared.hyd_green_status != 0; }

void clear_krug_flash() {
    st.krug_started = 0;
    st.krug_phase = 0;
    st.krug_cycle_start = 0;
    st.krug_phase_start = 0;
}

// 3. Tapes from the flap position; a position that is no number moves nothing.
void move_tapes(double f) {
    double flap = st.flap_tape;
    double slat = st.slat_tape;
    if (f < kFlapsMoving) {
        flap = kFlapTapeUp;
        slat = kSlatTapeUp;
    } else if (f <= kFlapStep1) {
        flap = kFlapTapeUp;
        slat = kSlatTapeOut + (kFlapStep1 - f) / kFlapStep1;
    } else if (f <= kFlapStep2) {
        flap = kFlapRuns[0].tape(f);
        slat = kSlatTapeOut;
    } else if (f <= kFlapStep3) {
        flap = kFlapRuns[1].tape(f);
        slat = kSlatTapeOut;
    } else if (f <= kFlapsFull) {
        flap = kFlapRuns[2].tape(f);
        slat = kSlatTapeOut - (f - kFlapStep3) / (kFlapsFull - kFlapStep3);
    } else if (f > kFlapsFull) {
        flap = kFlapTapeFull;
        slat = kSlatTapeFull;
    }
    st.flap_tape = flap;
    if (green()) st.slat_tape = slat;
}

// 6. True when the airspeed is beyond the placard speed of the flap position.
bool over_placard(double f, double ias) {
    if (f >= kFlapsMoving && f <= kFlapStep1) return ias > kPlacardSlats;
    if (f > kFlapStep1 && f <= kFlapStep2) return ias > kPlacardRun[0];
    if (f > kFlapStep2 && f <= kFlapStep3) return ias > kPlacardRun[1];
    if (f > kFlapStep3 && f <= kFlapsFull) return ias > kPlacardRun[2];
    return false;
}

// 7. KRUG: flashes while the slats travel, steady while they are out. Each change comes once the
// counter has reached its mark, so a skipped tick never leaves the light stuck.
bool krug_lit() {
    if (st.slat_transit != 1) return st.slat_extended == 1;
    const std::int64_t t = flash_counter();
    Flasher krug(st.krug_started, st.krug_phase, st.krug_phase_start, kKrugOnTicks, kKrugPeriodTicks);
    if (!krug.running()) {
        krug.start(t);
        st.krug_cycle_start = static_cast<i32>(t);
    } else if (mark_reached(st.krug_cycle_start, kKrugCycleTicks, t)) {
        st.krug_phase = 0;
        st.krug_started = 0;
        st.slat_transit = 0;
    } else {
        krug.step(t);
    }
    return krug.lit();
}

void tick() {
    auto& s = shared;
    const bool dc = s.batt_bus_powered == 1;
    const bool ac = s.ac_bus_2_powered == 1;

    // 1. Breakpoints for the other systems.
    s.flap_step_1_raw = kFlapStep1;
    s.flap_step_2_raw = kFlapStep2;
    s.flap_step_3_raw = kFlapStep3;

    // 2. Selection marker.
    if (ac) {
        const double selection = read(sim::flap_handle);
        st.flap_sel_marker = kMarkerUp;
        for (const MarkerDetent& d : kMarkerDetents) {
            if (selection >= d.from) {
                st.flap_sel_marker = d.marker;
                break;
            }
        }
    }

    // 3. Tapes, driven hydraulically.
    if (ac && dc && hydraulics_for_flaps()) move_tapes(read(sim::flap_pos));

    // 4. Slat movement.
    if (ac && dc && green()) {
        const double f = read(sim::flap_pos);
        if ((f >= kFlapsMoving && f < kSlatTransitEnd) || (f >= kSlatSecondTransitFrom && f < kFlapsFull)) {
            st.slat_transit = 1;
        } else {
            st.slat_transit = 0;
            clear_krug_flash();
        }
        st.slat_extended = f >= kFlapStep1 && st.slat_transit == 0;
    }

    // 5. Take-off configuration.
    if (dc) {
        const double f = read(sim::flap_pos);
        const bool on_ground = is_on(read(sim::on_ground));
        const double n1_1 = read(sim::eng1_n1_pct);
        const double n1_2 = read(sim::eng2_n1_pct);
        const bool wrong = f > kTakeOffFlapsMax || f < kFlapsMoving || read(sim::spoiler_left_pos) > kSpoilerOut ||
                           read(sim::spoiler_right_pos) > kSpoilerOut;
        if (wrong && on_ground) {
            st.flaps_config_lt = 1;
            s.mw_flaps_config = n1_1 >= kTakeOffN1 || n1_2 >= kTakeOffN1;
        } else {
            st.flaps_config_lt = 0;
            s.mw_flaps_config = 0;
        }
    } else {
        st.flaps_config_lt = 0;
        s.mw_flaps_config = 0;
    }

    // 6. Flap placard.
    s.clacker_req = dc && over_placard(read(sim::flap_pos), read(sim::ias_kt));

    // 7. Lights on the DC essential bus, each also lit by the lamp test.
    if (!dc) {
        clear_krug_flash();
        st.slat_transit = 0;
        krug_light.show(false);
        speed_brake_light.show(false);
        config_light.show(false);
        asym_light.show(false);
        return;
    }
    const bool test = s.ann_lt_test == 1;
    if (s.hyd_yellow_status != 0 || s.hyd_blue_status != 0) {
        const double lever = read(sim::spoiler_handle);
        const bool spoiler_out = read(sim::spoiler_left_pos) > 0.0 || read(sim::spoiler_right_pos) > 0.0;
        st.speed_brake_lt = spoiler_out && lever >= kSpeedBrakeExtended;
    }
    speed_brake_light.show(st.speed_brake_lt == 1 || test);
    config_light.show(st.flaps_config_lt == 1 || test);
    krug_light.show(krug_lit() || test);
    const double asymmetry = read(sim::flap_pos) - read(sim::flap_pos_2);
    asym_light.show(asymmetry >= kAsymmetry || asymmetry <= -kAsymmetry || test);
}

}  // namespace

TARVENOL_GAUGE(flaps_ind, "tarvenol flaps_ind_t418", 108, &tick_callback<&tick>, no_areas, st_table,
               &reset_private_state, background, flap_strip, slat_strip, selection_marker, krug_light,
               speed_brake_light, config_light, asym_light);
