// tarvenol surf_ind_t418: the flight-control surface position indicator — elevator (EL),
// stabiliser trim (STAB, as a marker or as a numeric tape), rudder, left and right ailerons and
// spoilers, the stabiliser take-off configuration light and the aileron display mode light. It
// raises the stabiliser take-off configuration warning for the master warning panels.
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

// Marker travel per raw unit (or per degree of trim); up and down differ for elevator and stabiliser.
constexpr double kElevatorUpScale = -0.001411;
constexpr double kElevatorDownScale = -0.0006135;
constexpr double kAileronScale = 0.0011043;
constexpr double kStabNoseDownScale = -1.6;
constexpr double kStabNoseUpScale = -1.8;
constexpr double kRudderScale = 0.0013497;
constexpr double kStabTapeZero = 15.0;  // the numeric strip reads 15 down to 0, then 1 to 5
constexpr double kSpoilerAirScale = 0.1533742;
constexpr double kSpoilerGroundScale = 0.2208589;
constexpr double kPercent = 100.0;

// Stabiliser take-off range, degrees; take-off thrust raises the master warning.
constexpr double kStabTakeOffMax = 3.5;
constexpr double kStabTakeOffMin = -1.5;
constexpr double kTakeOffN1 = 97.0;

#define SURF_STATE(X)                 \
    X(f64, surf_spoiler_l_marker, 0.0) \
    X(f64, surf_spoiler_r_marker, 0.0) \
    X(f64, surf_aileron_l_marker, 0.0) \
    X(f64, surf_aileron_r_marker, 0.0) \
    X(f64, surf_elevator_marker, 0.0) \
    X(f64, surf_rudder_marker, 0.0)   \
    X(f64, surf_stab_marker, 0.0)     \
    X(f64, surf_stab_tape_value, 0.0) \
    X(u8, surf_ail_mode, 0)           \
    X(u8, surf_stab_tape, 0)          \
    X(u8, stab_config_lt, 0)
TARVENOL_PRIVATE_STATE(SURF_STATE)

// Elements.
// The surface scales as the aircraft is seen from behind: spoilers over ailerons at each side, the
// elevator and the stabiliser column in the middle, the rudder across the bottom; the STAB light
// in the lower left corner, the aileron mode light in the lower right corner.
constexpr int kW = 216, kH = 262, kTop = 26, kSlot = 18;
constexpr Box kSpoilerL = at(12, kTop, kSlot, 60), kAileronL = at(12, kTop + 70, kSlot, 90);
constexpr Box kSpoilerR = at(kW - 12 - kSlot, kTop, kSlot, 60), kAileronR = at(kW - 12 - kSlot, kTop + 70, kSlot, 90);
constexpr Box kElevator = at(62, kTop, kSlot, 160);
constexpr Box kStabColumn = at(112, kTop, 44, 160);
constexpr Box kRudder = at(40, 194, 136, kSlot);
constexpr Box kAilMode = at(kW - 72, kH - 32, 64, 26);
Background background{panel("SURF", kH)};
// A surface position the simulator gives as no number shows the surface at neutral.
Slider spoiler_l{"spoiler_l_marker", nullptr, [] { return shown_or(st.surf_spoiler_l_marker, 0.0); }, marker("SP", kSpoilerL)};
Slider spoiler_r{"spoiler_r_marker", nullptr, [] { return shown_or(st.surf_spoiler_r_marker, 0.0); }, marker("SP", kSpoilerR)};
Slider aileron_l{"aileron_l_marker", nullptr, [] { return shown_or(st.surf_aileron_l_marker, 0.0); }, marker("L AIL", kAileronL)};
Slider aileron_r{"aileron_r_marker", nullptr, [] { return shown_or(st.surf_aileron_r_marker, 0.0); }, marker("R AIL", kAileronR)};
Slider elevator{"elevator_marker", nullptr, [] { return shown_or(st.surf_elevator_marker, 0.0); }, marker("EL", kElevator)};
Slider rudder{"rudder_marker", [] { return shown_or(st.surf_rudder_marker, 0.0); }, nullptr, marker("RUD", kRudder)};
Slider stab_marker{"stab_marker", nullptr, [] { return shown_or(st.surf_stab_marker, 0.0); }, marker("STAB", kStabColumn)};
MovingImage stab_strip{"stab_tape", nullptr, [] { return shown_or(st.surf_stab_tape_value, kStabTapeZero); }, tape("STAB", kStabColumn)};
Image stab_pointer{"stab_tape_pointer", flag(nullptr, at(kStabColumn.x + kStabColumn.w, kStabColumn.y + kStabColumn.h / 2 - 5, 10, 10))};
Image ail_mode_light{"ail_mode_light", light(Tone::advisory, "AIL", kAilMode)};
Image stab_config_light{"stab_config_light", light(Tone::warning, "STAB", at(8, kH - 32, 64, 26))};

void tick() {
    auto& s = shared;
    const bool ac = s.ac_bus_2_powered == 1;
    const bool dc = s.batt_bus_powered == 1;
    const double trim = shared.trim_angle_deg;  // from the trim computer (yaw damper gauge)

    // 1. Elevator, ailerons, stabiliser and rudder.
    if (ac) {
        const double e = read(sim::elevator_pos);
        const double a = read(sim::aileron_pos);
        const double r = read(sim::rudder_pos);
        st.surf_elevator_marker = e >= 0.0 ? kElevatorUpScale * e : kElevatorDownScale * e;
        if (st.surf_ail_mode == 1 && s.lo_spd_ail_connected != 1) {
            // The low-speed ailerons are shown, and they are not connected.
            st.surf_aileron_l_marker = 0.0;
            st.surf_aileron_r_marker = 0.0;
        } else {
            st.surf_aileron_l_marker = kAileronScale * a;
            st.surf_aileron_r_marker = -st.surf_aileron_l_marker;
        }
        st.surf_stab_marker = trim >= 0.0 ? kStabNoseDownScale * trim : kStabNoseUpScale * trim;
        st.surf_rudder_marker = kRudderScale * r;
        st.surf_stab_tape_value = kStabTapeZero - trim;
    }

    // 2. Spoilers; they read further on the ground, where they deploy fully.
    if (ac) {
        const double scale = is_off(read(sim::on_ground)) ? kSpoilerAirScale : kSpoilerGroundScale;
        st.surf_spoiler_l_marker = -(read(sim::spoiler_left_pos) * scale / kPercent);
        st.surf_spoiler_r_marker = -(read(sim::spoiler_right_pos) * scale / kPercent);
    }

    // 3. Stabiliser take-off configuration.
    if (dc && (trim > kStabTakeOffMax || trim < kStabTakeOffMin) && is_on(read(sim::on_ground))) {
        st.stab_config_lt = 1;
        s.mw_surf_config = read(sim::eng1_n1_pct) >= kTakeOffN1 || read(sim::eng2_n1_pct) >= kTakeOffN1;
    } else {
        st.stab_config_lt = 0;
        s.mw_surf_config = 0;
    }

    // 4. Lights on the DC essential bus, each also lit by the lamp test.
    const bool test = s.ann_lt_test == 1;
    ail_mode_light.show(dc && (st.surf_ail_mode == 1 || test));
    stab_config_light.show(dc && (st.stab_config_lt == 1 || test));

    // 5. STAB column: the numeric tape with its pointer, or the marker.
    const bool tape = st.surf_stab_tape == 1;
    stab_strip.show(tape);
    stab_pointer.show(tape);
    stab_marker.show(!tape);
}

void toggle(u8& display) { display = display == 0 ? 1 : 0; }

// Display toggles, silent.
constexpr std::array areas{
    area<[] { toggle(st.surf_ail_mode); }>("ail_mode", Cursor::hand).at(kAilMode.x, kAilMode.y, kAilMode.w, kAilMode.h),
    area<[] { toggle(st.surf_stab_tape); }>("stab_column", Cursor::hand)
        .at(kStabColumn.x, kStabColumn.y, kStabColumn.w, kStabColumn.h),
};

}  // namespace

TARVENOL_GAUGE(surf_ind, "tarvenol surf_ind_t418", 108, &tick_callback<&tick>, areas, st_table, &reset_private_state,
               background, spoiler_l, spoiler_r, aileron_l, aileron_r, elevator, rudder, stab_marker, stab_strip,
               stab_pointer, ail_mode_light, stab_config_light);
