// tarvenol chrono_t418: the captain's clock. The middle window shows the simulator's time of day
// with a 15-second bar, the bottom window an elapsed-time counter (RUN / STOP / RESET selector), the
// top window and the seconds hand a chronometer (CHR: start, stop, reset). Both counters keep the
// clock second at which they would have started, so that a running count includes any time the
// clock was without power; a clock set back (midnight, the hours-down area) restarts them.
#include "module/gauge.h"
#include "module/number_text.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

// Elapsed-time selector.
constexpr u8 kEtRun = 0;
constexpr u8 kEtStop = 1;
constexpr u8 kEtReset = 2;
// Chronometer.
constexpr u8 kChrIdle = 0;
constexpr u8 kChrRunning = 1;
constexpr u8 kChrStopped = 2;
constexpr u8 kChrReset = 3;
// Display test: every digit reads 8 for 36 ticks.
constexpr u8 kTestIdle = 0;
constexpr u8 kTestRequested = 1;
constexpr u8 kTestRunning = 2;
constexpr i32 kTestTicks = 36;
// Time.
constexpr u32 kSecondsPerMinute = 60;
constexpr u32 kSecondsPerHour = 3600;
constexpr u32 kMinutesPerHour = 60;
constexpr u32 kMaxHours = 255;  // the elapsed hours are kept in a byte
constexpr u32 kTens = 10;
constexpr u8 kMaxDigit = 9;
// 15-second bar: a segment more every quarter minute.
constexpr double kFirstQuarter = 15.0;
constexpr double kHalf = 30.0;
constexpr double kThirdQuarter = 45.0;
// Lighting variants of the selector knob.
constexpr int kPlain = 0;
constexpr int kPanelLit = 1;
constexpr int kStormLit = 2;

#define CHRONO_STATE(X)                    \
    X(u8, clock_hours_tens, 0)             \
    X(u8, clock_hours_units, 0, within(0, 9))            \
    X(u8, clock_minutes_tens, 0)           \
    X(u8, clock_minutes_units, 0, within(0, 9))          \
    X(u8, et_mode, kEtStop)                \
    X(u32, et_seconds, 0)                  \
    X(u32, et_ref, 0)                      \
    X(u8, et_hours, 0)                     \
    X(u8, et_minutes, 0)                   \
    X(u8, et_hours_tens, 0)                \
    X(u8, et_hours_units, 0, within(0, 9))               \
    X(u8, et_minutes_tens, 0)              \
    X(u8, et_minutes_units, 0, within(0, 9))             \
    X(u8, chr_state, kChrIdle)             \
    X(u32, chr_seconds, 0)                 \
    X(u32, chr_ref, 0)                     \
    X(u8, chr_minutes, 0)                  \
    X(u8, chr_minutes_tens, 0)             \
    X(u8, chr_minutes_units, 0, within(0, 9))            \
    X(u8, chr_sec_hand, 0)                 \
    X(u8, clock_test_state, kTestIdle)     \
    X(i32, clock_test_deadline, 0)         \
    X(u8, clock_test_armed, 0)             \
    X(u32, clock_last_second, 0)
TARVENOL_PRIVATE_STATE(CHRONO_STATE)

bool clock_powered() {
    const auto& s = shared;
    return (s.batt_1_sw != 0 && s.batt_charge > 0) || s.batt_bus_powered == 1;
}
bool testing() { return st.clock_test_state == kTestRunning; }

// Tens and units of a two-digit figure; a figure of 100 or more shows 9 in the tens.
void split(u32 v, u8& tens, u8& units) {
    const u32 t = v / kTens;
    tens = static_cast<u8>(t > kMaxDigit ? kMaxDigit : t);
    units = static_cast<u8>(v % kTens);
}

// One digit window character: 8 during the display test, the digit while it is shown, else blank.
template <u8 State::*Digit, bool (*Shown)()>
double digit_text(char* text, std::size_t size) {
    static NumberText shown;  // one per window
    const u8 digit = st.*Digit;
    if (clock_powered() && testing()) {
        shown.show(text, size, "8");
    } else if (Shown()) {
        shown.show_int(text, size, "%1d", digit);
    } else {
        shown.show(text, size, " ");
    }
    return digit;
}
bool clock_shown() { return clock_powered(); }
bool elapsed_shown() { return clock_powered() && st.et_mode != kEtStop; }
bool chrono_shown() { return clock_powered() && st.chr_state != kChrIdle; }

double selector_position() { return clamp_back(st.et_mode, kEtRun, kEtReset); }

// One face: the chronometer's seconds hand over a 60-second dial; in the dial the chronometer's
// minutes at the top, the clock's hours and minutes under the centre with the 15-second bar beside
// the minutes window; the elapsed time in its window under the face, its selector at the left.
constexpr Box kFace = centred(161, 190, 280, 280);
constexpr int kDigitW = 16, kDigitH = 24;
constexpr Box digit(int x, int y) { return at(x, y, kDigitW, kDigitH); }
constexpr int kChrTop = 138, kClockTop = 204, kEtTop = 352;
constexpr int kHoursLeft = 121, kMinutesLeft = 169, kDotsLeft = 155;
constexpr Box kSelector = at(26, 344, 48, 48);
Background background{panel("CLOCK", 420)};
Text chr_tens{"chr_minutes_tens", 1, &digit_text<&State::chr_minutes_tens, &chrono_shown>, readout(digit(145, kChrTop))};
Text chr_units{"chr_minutes_units", 1, &digit_text<&State::chr_minutes_units, &chrono_shown>, readout(digit(161, kChrTop))};
Text hours_tens{"clock_hours_tens", 1, &digit_text<&State::clock_hours_tens, &clock_shown>, readout(digit(kHoursLeft, kClockTop))};
Text hours_units{"clock_hours_units", 1, &digit_text<&State::clock_hours_units, &clock_shown>,
                 readout(digit(kHoursLeft + kDigitW, kClockTop))};
Text minutes_tens{"clock_minutes_tens", 1, &digit_text<&State::clock_minutes_tens, &clock_shown>,
                  readout(digit(kMinutesLeft, kClockTop))};
Text minutes_units{"clock_minutes_units", 1, &digit_text<&State::clock_minutes_units, &clock_shown>,
                   readout(digit(kMinutesLeft + kDigitW, kClockTop))};
Text et_h_tens{"et_hours_tens", 1, &digit_text<&State::et_hours_tens, &elapsed_shown>, readout(digit(kHoursLeft, kEtTop))};
Text et_h_units{"et_hours_units", 1, &digit_text<&State::et_hours_units, &elapsed_shown>,
                readout(digit(kHoursLeft + kDigitW, kEtTop))};
Text et_m_tens{"et_minutes_tens", 1, &digit_text<&State::et_minutes_tens, &elapsed_shown>, readout(digit(kMinutesLeft, kEtTop))};
Text et_m_units{"et_minutes_units", 1, &digit_text<&State::et_minutes_units, &elapsed_shown>,
                readout(digit(kMinutesLeft + kDigitW, kEtTop))};
Needle seconds_hand{"chr_seconds_hand", [] { return static_cast<double>(st.chr_sec_hand); },
                    dial("CHR", 0, 60, kFace).round_dial()};
Lights<3> quarter_bar{std::array<Look, 3>{light(Tone::white, "", at(205, 202, 12, 8)), light(Tone::white, "", at(205, 212, 12, 8)),
                                          light(Tone::white, "", at(205, 222, 12, 8))},
                      "seconds_bar_top", "seconds_bar_middle", "seconds_bar_bottom"};
Image clock_dots{"clock_dots", light(Tone::white, ":", at(kDotsLeft, kClockTop + 2, 12, kDigitH - 4))};
Image et_dots{"et_dots", light(Tone::white, ":", at(kDotsLeft, kEtTop + 2, 12, kDigitH - 4))};
Needle selector_knob{"et_selector_knob", &selector_position, knob("ET", kSelector, kEtRun, kEtReset, "RUN STOP RESET")};
// The lit pictures of the same knob.
Needle selector_panel_lit{"et_selector_knob_panel_lit", &selector_position, knob("ET", kSelector, kEtRun, kEtReset, "RUN STOP RESET")};
Needle selector_storm_lit{"et_selector_knob_storm_lit", &selector_position, knob("ET", kSelector, kEtRun, kEtReset, "RUN STOP RESET")};

// A counter standing still keeps the reference at which it would have started; a running one
// counts from its reference, and a clock that went back restarts it from the new time.
void run_counter(u32 clock, bool clock_went_back, u32& seconds, u32& ref) {
    if (ref == 0 || clock_went_back) {
        ref = clock;
        if (clock_went_back) seconds = 0;
    } else {
        seconds = clock - ref;
    }
}

void tick() {
    const bool powered = clock_powered();

    // 1. Time of day.
    const double hour = read(sim::clock_hour);
    const double minute = read(sim::clock_minute);
    if (powered) {
        split(truncate<u32>(hour), st.clock_hours_tens, st.clock_hours_units);
        split(truncate<u32>(minute), st.clock_minutes_tens, st.clock_minutes_units);
    }

    // 2. Elapsed time.
    const u32 clock = truncate<u32>(read(sim::clock_s));
    const bool went_back = clock < st.clock_last_second;
    if (powered) {
        if (st.et_mode == kEtStop) {
            st.et_ref = clock - st.et_seconds;
        } else if (st.et_mode == kEtRun) {
            run_counter(clock, went_back, st.et_seconds, st.et_ref);
        } else if (st.et_mode == kEtReset) {
            st.et_seconds = 0;
            st.et_ref = 0;
            st.et_hours = 0;
            st.et_minutes = 0;
        }
        const u32 hours = st.et_seconds / kSecondsPerHour;
        st.et_hours = static_cast<u8>(hours > kMaxHours ? kMaxHours : hours);
        st.et_minutes = static_cast<u8>(st.et_seconds / kSecondsPerMinute % kMinutesPerHour);
        split(st.et_hours, st.et_hours_tens, st.et_hours_units);
        split(st.et_minutes, st.et_minutes_tens, st.et_minutes_units);
    }

    // 3. Chronometer.
    if (powered) {
        if (st.chr_state == kChrIdle || st.chr_state == kChrStopped) {
            st.chr_ref = clock - st.chr_seconds;
        } else if (st.chr_state == kChrRunning) {
            run_counter(clock, went_back, st.chr_seconds, st.chr_ref);
        } else if (st.chr_state == kChrReset) {
            st.chr_seconds = 0;
            st.chr_ref = 0;
            st.chr_minutes = 0;
            st.chr_sec_hand = 0;
            st.chr_state = kChrIdle;
        }
        st.chr_minutes = static_cast<u8>(st.chr_seconds / kSecondsPerMinute % kMinutesPerHour);
        split(st.chr_minutes, st.chr_minutes_tens, st.chr_minutes_units);
        st.chr_sec_hand = static_cast<u8>(st.chr_seconds % kSecondsPerMinute);
        st.clock_last_second = clock;
    }

    // 4. Display test.
    if (st.clock_test_state == kTestRequested && st.clock_test_armed == 0) {
        st.clock_test_deadline = deadline_in(kTestTicks);
        st.clock_test_armed = 1;
    }
    if (st.clock_test_armed == 1 && !is_due(st.clock_test_deadline)) st.clock_test_state = kTestRunning;
    if (st.clock_test_state == kTestRunning && st.clock_test_armed == 1 && is_due(st.clock_test_deadline)) {
        st.clock_test_state = kTestIdle;
        st.clock_test_armed = 0;
    }

    // 5. 15-second bar.
    const double second = read(sim::clock_second);
    const bool all = testing();
    quarter_bar[0].show(all || (powered && second >= kFirstQuarter));
    quarter_bar[1].show(all || (powered && second >= kHalf));
    quarter_bar[2].show(all || (powered && second >= kThirdQuarter));

    // 6. Separators.
    clock_dots.show(powered);
    et_dots.show(powered && st.et_mode == kEtRun);

    // 7. Selector knob lighting.
    const auto& s = shared;
    const int variant = s.panel_lt_sw == 1 && s.ac_ess_bus_powered == 1 ? (s.storm_lt_sw == 1 ? kStormLit : kPanelLit)
                                                                       : kPlain;
    selector_knob.show(variant == kPlain);
    selector_panel_lit.show(variant == kPanelLit);
    selector_storm_lit.show(variant == kStormLit);
}

template <KeyEvent const& Event>
void set_clock() {
    if (clock_powered()) send(Event);
}
void et_to(u8 mode) { st.et_mode = mode; }

void chr_button() {
    if (st.chr_state == kChrIdle) {
        if (clock_powered()) st.chr_state = kChrRunning;
    } else if (st.chr_state == kChrRunning) {
        st.chr_state = kChrStopped;
    } else if (st.chr_state == kChrStopped) {
        st.chr_state = kChrReset;
    } else {
        st.chr_state = kChrIdle;
    }
}

void test_button() {
    if (clock_powered() && st.clock_test_state == kTestIdle) st.clock_test_state = kTestRequested;
}

constexpr std::array areas{
    area<&set_clock<key::clock_hours_down>>("clock.hours_down", Cursor::down, Repeat::while_held),
    area<&set_clock<key::clock_hours_up>>("clock.hours_up", Cursor::up, Repeat::while_held),
    area<&set_clock<key::clock_minutes_down>>("clock.minutes_down", Cursor::down, Repeat::while_held),
    area<&set_clock<key::clock_minutes_up>>("clock.minutes_up", Cursor::up, Repeat::while_held),
    area<[] { et_to(kEtRun); }>("et.run", Cursor::up),
    area<[] { et_to(kEtStop); }>("et.stop", Cursor::hand),
    area<[] { et_to(kEtReset); }>("et.reset", Cursor::down),
    area<&chr_button>("chr", Cursor::hand),
    area<&test_button>("test", Cursor::hand),
};

}  // namespace

TARVENOL_GAUGE(chrono, "tarvenol chrono_t418", 161, &tick_callback<&tick>, areas, st_table, &reset_private_state,
               background, chr_tens, chr_units, hours_tens, hours_units, minutes_tens, minutes_units, et_h_tens,
               et_h_units, et_m_tens, et_m_units, seconds_hand, quarter_bar, clock_dots, et_dots, selector_knob,
               selector_panel_lit, selector_storm_lit);
