// tarvenol ralt_t418: the radio altimeter — the height tape up to 2610 ft, the decision-height
// marker, the DH setting knobs (fine and coarse) with its three drums, and the OFF flag. Each tick
// it publishes the radio altitude, counted from the gear height found on the ground, tracks the
// aircraft passing its decision height and asks for one chime when it does.
#include "module/drums.h"
#include "module/gauge.h"
#include "module/shared_state.h"
#include "module/units.h"

namespace {

using namespace tarvenol;


// The tape reads up to 2610 ft; the DH marker stands 500 ft above the tape's datum.
constexpr double kTapeTopFt = 2610.0;
constexpr double kDhMarkerDatumFt = 500.0;

// DH setting, feet: the fine knob steps by 1 within 10..499, the coarse knob by 10 within 10..499.
constexpr u16 kDhAtLoad = 100;
constexpr u16 kDhFineStep = 1;
constexpr u16 kDhFineLowest = 10;   // the fine knob turns down while above this
constexpr u16 kDhFineHighest = 499;  // and up while below this
constexpr u16 kDhCoarseStep = 10;
constexpr u16 kDhCoarseDownFrom = 20;  // the coarse knob turns down from this
constexpr u16 kDhCoarseUpTo = 489;     // and up to this

// Decision-height states.
constexpr u8 kDhOnGround = 0;
constexpr u8 kDhReached = 1;
constexpr u8 kDhAbove = 2;

// No chime in the last 30 ft.
constexpr double kChimeFloorFt = 30.0;
constexpr u8 kChimeIdle = 0;
constexpr u8 kChimeRequested = 1;

constexpr int kHundreds = 100;
constexpr int kTens = 10;
constexpr int kDrumDigits = 10;

#define RALT_STATE(X)               \
    X(i32, ralt_ground_offset, 0)   \
    X(f64, ralt_tape, 0.0)          \
    X(f64, dh_marker, 0.0)          \
    X(u16, dh_setting, kDhAtLoad)   \
    X(u8, dh_hundreds_digit, 0, within(0, 9))     \
    X(u8, dh_tens_digit, 0, within(0, 9))
TARVENOL_PRIVATE_STATE(RALT_STATE)

DigitDrum hundreds_drum;
DigitDrum tens_drum;

bool powered() { return shared.ac_bus_1_powered == 1; }

// Elements.
// The height tape in a tall window with the DH marker sliding beside it; under it the DH window of
// three drums, and under that the coarse (left) and fine (right) DH knobs.
constexpr int kW = 120, kH = 276;  // the knobs' legends under them
constexpr Box kTapeWindow = at(22, 24, 48, 150);
constexpr int kDhTop = 186, kDrumW = 22, kDrumH = 30, kDrumLeft = (kW - 3 * kDrumW) / 2;
constexpr Box dh_drum(int i) { return at(kDrumLeft + i * kDrumW, kDhTop, kDrumW, kDrumH); }
constexpr int kKnobTop = 224, kKnobW = 40, kKnobH = 32, kCoarseKnob = 14, kFineKnob = 66;
Background background{panel("RA", kH)};
// A radio altitude that is no number shows the tape and the DH marker as at the top of the tape.
MovingImage tape{"ralt_tape", nullptr, [] { return shown_or(st.ralt_tape, 0.0); }, ::tarvenol::tape("FT", kTapeWindow)};
Slider marker{"dh_marker", nullptr,
              [] { return shown_or(st.dh_marker, kDhMarkerDatumFt - kTapeTopFt + st.dh_setting); },
              ::tarvenol::marker("DH", at(kTapeWindow.x + kTapeWindow.w, kTapeWindow.y, 20, kTapeWindow.h))};
MovingImage hundreds_wheel{"dh_hundreds_drum", nullptr, [] { return hundreds_drum.step(st.dh_hundreds_digit); },
                           drum(dh_drum(0))};
MovingImage tens_wheel{"dh_tens_drum", nullptr, [] { return tens_drum.step(st.dh_tens_digit); }, drum(dh_drum(1))};
MovingImage units_wheel{"dh_units_drum", nullptr, [] { return units_drum(st.dh_setting); }, drum(dh_drum(2))};
Image off_flag{"off_flag", flag("OFF", at(kTapeWindow.x, kTapeWindow.y + kTapeWindow.h / 2 - 12, kTapeWindow.w, 24))};

void tick() {
    auto& s = shared;

    // 1. Radio altitude, counted from the gear height seen on the ground; it holds while unpowered.
    if (powered()) {
        const double height_ft = read(sim::height_agl_m) * kFeetPerMetre;
        if (is_on(read(sim::on_ground))) st.ralt_ground_offset = truncate<i32>(height_ft);
        if (height_ft < kTapeTopFt)
            s.radio_alt_ft = height_ft - st.ralt_ground_offset;
        else
            s.radio_alt_ft = kTapeTopFt;
        st.ralt_tape = st.ralt_tape >= 0.0 ? kTapeTopFt - s.radio_alt_ft : 0.0;
        st.dh_marker = kDhMarkerDatumFt - s.radio_alt_ft + st.dh_setting;
    }

    // 2. DH drums.
    const int hundreds = st.dh_setting / kHundreds;
    // A setting beyond 999 (only a preset can leave one) shows its last three digits.
    st.dh_hundreds_digit = static_cast<u8>(hundreds % kDrumDigits);
    st.dh_tens_digit = static_cast<u8>((st.dh_setting - kHundreds * hundreds) / kTens);

    // 3. OFF flag.
    off_flag.show(!powered());

    // 4. Decision height: armed above it in the air, reached on the way down.
    const double dh = st.dh_setting;
    if (is_on(read(sim::on_ground))) {
        s.dh_alert_state = kDhOnGround;
    } else if (dh < s.radio_alt_ft) {
        s.dh_alert_state = kDhAbove;
    } else if (s.dh_alert_state == kDhAbove) {
        s.dh_alert_state = kDhReached;
    }

    // 5. One chime at DH (DC essential bus), not in the last 30 ft nor over a GPWS callout.
    if (s.dh_alert_state == kDhReached && s.batt_bus_powered == 1) {
        if (s.alt_alert_chime == kChimeIdle && s.gpws_alert == 0 && s.radio_alt_ft > kChimeFloorFt)
            s.alt_alert_chime = kChimeRequested;
    }
    if (s.dh_alert_state == kDhOnGround) s.alt_alert_chime = kChimeIdle;
}

void reset() {
    reset_private_state();
    hundreds_drum = DigitDrum{};
    tens_drum = DigitDrum{};
}

// The knobs wind the setting while held; they make no sound.
void fine_down() {
    if (st.dh_setting > kDhFineLowest) st.dh_setting = static_cast<u16>(st.dh_setting - kDhFineStep);
}
void fine_up() {
    if (st.dh_setting < kDhFineHighest) st.dh_setting = static_cast<u16>(st.dh_setting + kDhFineStep);
}
void coarse_down() {
    if (st.dh_setting >= kDhCoarseDownFrom) st.dh_setting = static_cast<u16>(st.dh_setting - kDhCoarseStep);
}
void coarse_up() {
    if (st.dh_setting <= kDhCoarseUpTo) st.dh_setting = static_cast<u16>(st.dh_setting + kDhCoarseStep);
}

constexpr std::array areas{
    area<&fine_down>("dh_fine.down", Cursor::down, Repeat::while_held).at(kFineKnob, kKnobTop, kKnobW / 2, kKnobH),
    area<&fine_up>("dh_fine.up", Cursor::up, Repeat::while_held)
        .at(kFineKnob + kKnobW / 2, kKnobTop, kKnobW / 2, kKnobH),
    area<&coarse_down>("dh_coarse.down", Cursor::down, Repeat::while_held)
        .at(kCoarseKnob, kKnobTop, kKnobW / 2, kKnobH),
    area<&coarse_up>("dh_coarse.up", Cursor::up, Repeat::while_held)
        .at(kCoarseKnob + kKnobW / 2, kKnobTop, kKnobW / 2, kKnobH),
};

}  // namespace

TARVENOL_GAUGE(ralt, "tarvenol ralt_t418", 60, &tick_callback<&tick>, areas, st_table, &reset, background,
               tape, marker, hundreds_wheel, tens_wheel, units_wheel, off_flag);
