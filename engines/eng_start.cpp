// tarvenol eng_start_t418: the ENG START panel — the six-position start selector, the start master
// (ARM with its 15 s self-test, START ABORT), the ENG 1 and ENG 2 start buttons and the START VALVE
// OPEN lamps. Its tick holds each engine's starter engaged for the start window while start air is
// there, and ends the window at 40 % N2 or after 55 s.
#include "engines/engines.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::eng;

// Start selector positions.
constexpr u8 kSelStartB = 0;
constexpr u8 kSelCrank = 2;
constexpr u8 kSelContRelightAB = 5;

// Start master.
constexpr u8 kMasterOff = 0;
constexpr u8 kMasterFinished = 1;
constexpr u8 kMasterPressed = 2;
constexpr u8 kMasterSelfTest = 3;
constexpr u8 kMasterArmed = 4;

// Per-engine start.
constexpr u8 kIdle = 0;
constexpr u8 kStarting = 1;
constexpr u8 kBlocked = 2;

constexpr i32 kSelfTestTicks = 270;     // 15 s
constexpr i32 kStartWindowTicks = 990;  // 55 s
constexpr double kCrossStartMin = 10.0;    // % of the other engine's N1 or N2 for start air
constexpr double kStartCompleteN2 = 40.0;
constexpr double kStartValveClosesN2 = 45.0;

#define ENG_START_STATE(X)             \
    X(u8, eng_start_sel, kSelCrank, within(kSelStartB, kSelContRelightAB))    \
    X(i32, eng_selftest_deadline, 0)   \
    X(i32, eng_1_start_deadline, 0)    \
    X(i32, eng_2_start_deadline, 0)    \
    X(u8, eng_1_start_armed, 0, kFlag)        \
    X(u8, eng_2_start_armed, 0, kFlag)
TARVENOL_PRIVATE_STATE(ENG_START_STATE)

// The ENG START panel: the rotary selector on the left; on the right the start master's ARM and
// START ABORT buttons, the ENG 1 and ENG 2 start buttons and under each its START VALVE OPEN lamp.
constexpr int kH = 214, kButtonW = 72, kButtonH = 36;
constexpr Box kSelector = centred(96, 118, 96, 96);
constexpr int kEng1 = 246, kEng2 = 326, kMasterRow = 28, kStartRow = 92, kValveRow = 156;
constexpr Box button_at(int cx, int top) { return lamp_box(cx, top, kButtonW, kButtonH); }
Background background{panel("ENG START", kH)};
IconSet selector{"eng_start_sel", 6, [] { return clamp_back(st.eng_start_sel, kSelStartB, kSelContRelightAB); },
                 knob("START SEL", kSelector, kSelStartB, kSelContRelightAB,
                      "START B|START A|CRANK|RELIGHT A|RELIGHT B|RELIGHT A+B")};
Image arm_engaged{"arm_engaged", button(Tone::blue, "ARM", button_at(kEng1, kMasterRow))};
Image eng_1_button_lamp{"eng_1_button_light", button(Tone::white, "ENG 1", button_at(kEng1, kStartRow))};
Image eng_2_button_lamp{"eng_2_button_light", button(Tone::white, "ENG 2", button_at(kEng2, kStartRow))};
Image eng_1_start_valve{"eng_1_start_valve_light",
                        light(Tone::caution, "START VALVE OPEN", button_at(kEng1, kValveRow))};
Image eng_2_start_valve{"eng_2_start_valve_light",
                        light(Tone::caution, "START VALVE OPEN", button_at(kEng2, kValveRow))};

// Start air: the APU's bleed, the ground supply that comes with external power, or the other
// engine turning (its N2 for the start logic, its N1 for the push button).
bool start_air(double other_engine_pct) {
    return shared.apu_bleed_avail == 1 || shared.ext_pwr_on == 1 || other_engine_pct > kCrossStartMin;
}

struct EngineStart {
    u8& state;
    i32& deadline;
    u8& armed;
    KeyEvent starter_held;
};

// One engine's start window, every tick.
void run_start(EngineStart e, double own_n2, double other_n2) {
    if (!(shared.batt_bus_powered == 1 && start_air(other_n2) && shared.eng_start_master >= kMasterPressed)) {
        e.state = kIdle;  // the window closes; its timer stays armed with the old deadline
        return;
    }
    const double counter = tick_counter();
    if (e.state == kStarting && e.armed == 0) {
        e.deadline = truncate<i32>(counter + kStartWindowTicks);
        e.armed = 1;
    }
    if (e.state == kStarting && e.armed == 1 && counter < e.deadline) send(e.starter_held);
    if (e.state == kStarting && e.armed == 1 && !(counter < e.deadline)) {
        e.state = kIdle;  // timed out
        e.armed = 0;
    }
    if (own_n2 > kStartCompleteN2) {
        e.state = kIdle;  // started
        e.armed = 0;
    }
}

void tick() {
    auto& s = shared;
    const bool dc = s.dc_bus_powered == 1;

    // 1.-3. The start master's self-test.
    if (s.eng_start_master == kMasterPressed && dc) {
        st.eng_selftest_deadline = deadline_in(kSelfTestTicks);
        s.eng_start_master = kMasterSelfTest;
    }
    if (s.eng_start_master == kMasterSelfTest && is_due(st.eng_selftest_deadline)) {
        s.eng_1_start_state = kIdle;
        s.eng_2_start_state = kIdle;
        s.eng_start_master = kMasterArmed;
    }
    const bool self_test = s.eng_start_master == kMasterSelfTest && dc;
    if (self_test) {
        s.eng_1_start_state = kBlocked;
        s.eng_2_start_state = kBlocked;
    }

    // 4.-5. The engines' start windows.
    const double n2_1 = read(sim::eng1_n2_pct);
    const double n2_2 = read(sim::eng2_n2_pct);
    run_start({s.eng_1_start_state, st.eng_1_start_deadline, st.eng_1_start_armed, key::eng1_starter_held}, n2_1, n2_2);
    run_start({s.eng_2_start_state, st.eng_2_start_deadline, st.eng_2_start_armed, key::eng2_starter_held}, n2_2, n2_1);

    // 6. Both engines running: the start is finished.
    if (n2_1 > kStartCompleteN2 && n2_2 > kStartCompleteN2 && s.eng_start_master >= kMasterPressed)
        s.eng_start_master = kMasterFinished;

    arm_engaged.show(s.eng_start_master >= kMasterFinished);
    eng_1_button_lamp.show(self_test);
    eng_2_button_lamp.show(self_test);
    const bool ess = s.batt_bus_powered == 1;
    eng_1_start_valve.show(is_on(read(sim::eng1_starter)) && n2_1 < kStartValveClosesN2 && ess);
    eng_2_start_valve.show(is_on(read(sim::eng2_starter)) && n2_2 < kStartValveClosesN2 && ess);
}

// An engine start button: refused during the self-test, at CRANK, without the master or start air.
void press_start(u8& state, double other_engine_n1) {
    if (state != kBlocked && st.eng_start_sel != kSelCrank && shared.eng_start_master >= kMasterPressed &&
        start_air(other_engine_n1))
        state = kStarting;
}

constexpr std::array areas{
    area<[] { step_down(st.eng_start_sel, kSelStartB); }>("selector.left", Cursor::down)
        .at(kSelector.x, kSelector.y, kSelector.w / 2, kSelector.h),
    area<[] { step_up(st.eng_start_sel, kSelContRelightAB); }>("selector.right", Cursor::up)
        .at(kSelector.x + kSelector.w / 2, kSelector.y, kSelector.w / 2, kSelector.h),
    area<[] {
        if (shared.eng_start_master == kMasterOff) {
            shared.eng_start_master = kMasterPressed;
            snd::play_once(snd::CLICK);
        }
    }>("arm", Cursor::hand)
        .at(kEng1 - kButtonW / 2, kMasterRow, kButtonW, kButtonH),
    area<[] {
        if (shared.eng_start_master != kMasterOff) snd::play_once(snd::CLICK);
        shared.eng_start_master = kMasterOff;
        shared.eng_1_start_state = kIdle;
        shared.eng_2_start_state = kIdle;
    }>("start_abort", Cursor::hand)
        .at(kEng2 - kButtonW / 2, kMasterRow, kButtonW, kButtonH),
    area<[] { press_start(shared.eng_1_start_state, read(sim::eng2_n1_pct)); }>("eng_1", Cursor::hand)
        .at(kEng1 - kButtonW / 2, kStartRow, kButtonW, kButtonH),
    area<[] { press_start(shared.eng_2_start_state, read(sim::eng1_n1_pct)); }>("eng_2", Cursor::hand)
        .at(kEng2 - kButtonW / 2, kStartRow, kButtonW, kButtonH),
};

}  // namespace

TARVENOL_GAUGE(eng_start, "tarvenol eng_start_t418", 185, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, selector, arm_engaged, eng_1_button_lamp, eng_2_button_lamp,
               eng_1_start_valve, eng_2_start_valve);
