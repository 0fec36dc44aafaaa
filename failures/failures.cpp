// tarvenol failures_t418: the instructor's failure panel, in its own panel window. Ten timed
// failures (engines, engine fires, APU, generators, hydraulic pumps), each with a delay in minutes
// and, for the four engine items, a minimum airspeed; a random failure, an engine 2 fire above
// 150 kt, an overspeed failure and a reset; and six presets that set the switches of the other
// systems as a crew would, from cold and dark to ready for flight. Items are armed with their own
// buttons and act only once the VALIDATE button has been pressed; the VALIDATE light shows that
// armed items wait for it.
#include <array>
#include <cstddef>
#include <initializer_list>

#include "module/cockpit_layout.h"
#include "module/controls.h"
#include "module/gauge.h"
#include "module/number_text.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

// Arming states of every item.
constexpr u8 kOff = 0;
constexpr u8 kValidated = 1;
constexpr u8 kWaiting = 2;  // armed, not yet validated
constexpr u8 kPendingOn = 2;
constexpr u8 kPendingOff = 0;

constexpr u32 kFailurePanelWindow = cockpit::kFailureWindow;
constexpr double kSecondsPerMinute = 60.0;
constexpr u32 kWholeMinuteSeconds = 60;       // the validation minute the countdown starts from
constexpr double kCountdownRoundUp = 0.99;   // whole minutes left, rounded up

// Random failure: the counter runs 1..9, one step a tick; a pick every 18 minutes from 56 s.
constexpr u8 kRandomChoices = 9;
constexpr u32 kRandomFirstPickS = 56;
constexpr u32 kRandomPickPeriodS = 1080;

constexpr double kFire150Kt = 150.0;
constexpr double kOverspeedGenFailure = 600.0;  // on the main airspeed indicator's value
constexpr double kOverspeedEngineFire = 750.0;

// Presets.
constexpr double kEngineRunningN1 = 20.0;
constexpr double kEngineStoppedN1 = 15.0;       // at or below: the preset starts the APU
constexpr double kHpLeverOpenN2 = 20.0;
constexpr double kApuRunningPct = 50.0;
constexpr i32 kGeneratorAvailable = 50;
constexpr u8 kEnginePumpOn = 100;               // a pump switch just clicked on; it spools to 200
constexpr u8 kBatteryNorm = 1;
constexpr u8 kFeedNorm = 2, kFeedGen1 = 1, kFeedGen2 = 0, kFeedApuGen = 3, kFeedEmergencyInverter = 4;

// Every private state of the panel by name, so that scenarios and tests can reach it. The arming
// states of F1..F4 are shared (the master warning panel arms F4 on an engine 2 fire).
#define FAIL_TIMED(X, n)                 \
    X(u8, fail_f##n##_delay_min, 0)      \
    X(u8, fail_f##n##_countdown, 0)      \
    X(u32, fail_f##n##_valid_s, 0)
#define FAIL_ENGINE_ITEM(X, n) FAIL_TIMED(X, n) X(u8, fail_f##n##_min_ias_kt, 0)
#define FAIL_SYSTEM_ITEM(X, n) X(u8, fail_f##n##_arm, kOff) FAIL_TIMED(X, n)
#define FAILURES_STATE(X)                        \
    FAIL_ENGINE_ITEM(X, 1)                       \
    FAIL_ENGINE_ITEM(X, 2)                       \
    FAIL_ENGINE_ITEM(X, 3)                       \
    FAIL_ENGINE_ITEM(X, 4)                       \
    FAIL_SYSTEM_ITEM(X, 5)                       \
    FAIL_SYSTEM_ITEM(X, 6)                       \
    FAIL_SYSTEM_ITEM(X, 7)                       \
    FAIL_SYSTEM_ITEM(X, 8)                       \
    FAIL_SYSTEM_ITEM(X, 9)                       \
    FAIL_SYSTEM_ITEM(X, 10)                      \
    X(u8, fail_f11_arm, kOff)                    \
    X(u8, fail_f12_arm, kOff)                    \
    X(u8, fail_f13_arm, kOff)                    \
    X(u8, fail_f14_arm, kOff)                    \
    X(u8, fail_p1_arm, kOff)                     \
    X(u8, fail_p2_arm, kOff)                     \
    X(u8, fail_p3_arm, kOff)                     \
    X(u8, fail_p4_arm, kOff)                     \
    X(u8, fail_p5_arm, kOff)                     \
    X(u8, fail_p6_arm, kOff)                     \
    X(u8, fail_arm_sum, 0)                       \
    X(u8, fail_arm_sum_validated, 0)             \
    X(u8, fail_random_counter, 0)                \
    X(u8, fail_random_pick, 0)                   \
    X(u8, fail_random_phase, 0)                  \
    X(u32, fail_random_next_s, kRandomFirstPickS)
TARVENOL_PRIVATE_STATE(FAILURES_STATE)

// --- The items -----------------------------------------------------------------------------------

// Item numbers: F1..F14 are 0..13, the presets P1..P6 14..19.
enum : int { F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12, F13, F14, P1, P2, P3, P4, P5, P6, kItems };
constexpr int kTimedItems = F10 + 1;

constexpr std::array<u8*, kItems> kArm{
    &shared.fail_eng_1_arm, &shared.fail_eng_1_fire_arm, &shared.fail_eng_2_arm, &shared.fail_eng_2_fire_arm,
    &st.fail_f5_arm,        &st.fail_f6_arm,             &st.fail_f7_arm,        &st.fail_f8_arm,
    &st.fail_f9_arm,        &st.fail_f10_arm,            &st.fail_f11_arm,       &st.fail_f12_arm,
    &st.fail_f13_arm,       &st.fail_f14_arm,            &st.fail_p1_arm,        &st.fail_p2_arm,
    &st.fail_p3_arm,        &st.fail_p4_arm,             &st.fail_p5_arm,        &st.fail_p6_arm};

u8& arm(int item) { return *kArm[static_cast<std::size_t>(item)]; }
bool validated(int item) { return arm(item) == kValidated; }
bool armed(int item) { return arm(item) != kOff; }
void disarm(std::initializer_list<int> items) {
    for (int item : items) arm(item) = kOff;
}

// A timed item's delay, countdown, validation time and (engine items) minimum airspeed.
struct Timed {
    u8* delay_min;
    u8* countdown;
    u32* valid_s;
    u8* min_ias_kt;  // null: no airspeed condition
};
#define FAIL_TIMED_REFS(n) &st.fail_f##n##_delay_min, &st.fail_f##n##_countdown, &st.fail_f##n##_valid_s
constexpr std::array<Timed, kTimedItems> kTimed{{
    {FAIL_TIMED_REFS(1), &st.fail_f1_min_ias_kt},
    {FAIL_TIMED_REFS(2), &st.fail_f2_min_ias_kt},
    {FAIL_TIMED_REFS(3), &st.fail_f3_min_ias_kt},
    {FAIL_TIMED_REFS(4), &st.fail_f4_min_ias_kt},
    {FAIL_TIMED_REFS(5), nullptr},
    {FAIL_TIMED_REFS(6), nullptr},
    {FAIL_TIMED_REFS(7), nullptr},
    {FAIL_TIMED_REFS(8), nullptr},
    {FAIL_TIMED_REFS(9), nullptr},
    {FAIL_TIMED_REFS(10), nullptr},
}};
#undef FAIL_TIMED_REFS

const Timed& timed(int item) { return kTimed[static_cast<std::size_t>(item)]; }

// Validated, and its delay has run out on the simulator clock.
bool due(int item, double clock) {
    const Timed& t = timed(item);
    return validated(item) && static_cast<double>(*t.delay_min) * kSecondsPerMinute + *t.valid_s <= clock;
}
// An engine item also waits for its minimum airspeed.
bool acts(int item, double clock, double ias_kt) { return due(item, clock) && ias_kt >= *timed(item).min_ias_kt; }

// --- The panel -----------------------------------------------------------------------------------

// Three blocks across the window: the timed failures (F1..F10) with ARM, DISARM, delay and
// airspeed buttons and their windows; the conditional failures, the reset and the presets; the
// group lights with VALIDATE and CLOSE.
constexpr int kTitle = 40, kRowH = 44, kItemRows = 10;
constexpr int kTimedX = 30, kOtherX = 800, kGroupX = 1560;
constexpr int kLightW = 170, kLampHt = 30;
constexpr int kArmDx = 180, kArmW = 70, kDisarmDx = 256, kDisarmW = 84;
constexpr int kDelayDx = 360, kIasDx = 530;  // minus button, window, plus button
constexpr int kStepW = 40, kWindowW = 48, kWindowH = 26;
constexpr int kPanelH = kTitle + kItemRows * kRowH + 20;

constexpr int row_y(int row) { return kTitle + row * kRowH; }
constexpr int block_x(int item) { return item < kTimedItems ? kTimedX : kOtherX; }
constexpr int item_row(int item) { return item < kTimedItems ? item : item - kTimedItems; }
constexpr Box item_light_box(int item) { return at(block_x(item), row_y(item_row(item)), kLightW, kLampHt); }
constexpr Box group_light_box(int row) { return at(kGroupX, row_y(row), kLightW, kLampHt); }
// The minus button, the window and the plus button of a value at `dx` in an item's row.
constexpr Box step_box(int item, int dx, int k) {
    const int x = block_x(item) + dx + k * (kStepW + 4);
    return at(x, row_y(item_row(item)) + 2, k == 1 ? kWindowW : kStepW, kWindowH);
}

Background background{panel("FAILURES", kPanelH)};

Image p1_light{"p1_light", light(Tone::advisory, "READY FOR FLIGHT", item_light_box(P1))};
Image p2_light{"p2_light", light(Tone::advisory, "COLD AND DARK", item_light_box(P2))};
Image eng_1_group_light{"eng_1_group_light", light(Tone::caution, "ENG 1", group_light_box(0))};
Image f1_light{"f1_light", light(Tone::caution, "ENG 1 FAIL", item_light_box(F1))};
Image f2_light{"f2_light", light(Tone::warning, "ENG 1 FIRE", item_light_box(F2))};
Image eng_2_group_light{"eng_2_group_light", light(Tone::caution, "ENG 2", group_light_box(1))};
Image f3_light{"f3_light", light(Tone::caution, "ENG 2 FAIL", item_light_box(F3))};
Image f4_light{"f4_light", light(Tone::warning, "ENG 2 FIRE", item_light_box(F4))};
Image f5_light{"f5_light", light(Tone::caution, "APU FAIL", item_light_box(F5))};
Image gen_group_light{"gen_group_light", light(Tone::caution, "GEN", group_light_box(2))};
Image f6_light{"f6_light", light(Tone::caution, "GEN 1 FAIL", item_light_box(F6))};
Image f7_light{"f7_light", light(Tone::caution, "GEN 2 FAIL", item_light_box(F7))};
Image hyd_group_light{"hyd_group_light", light(Tone::caution, "HYD", group_light_box(3))};
Image f8_light{"f8_light", light(Tone::caution, "BLUE PUMP", item_light_box(F8))};
Image f9_light{"f9_light", light(Tone::caution, "GREEN PUMPS", item_light_box(F9))};
Image f10_light{"f10_light", light(Tone::caution, "YELLOW PUMP", item_light_box(F10))};
Image f12_light{"f12_light", light(Tone::warning, "ENG 2 FIRE >150 KT", item_light_box(F12))};
Image f13_light{"f13_light", light(Tone::caution, "OVERSPEED", item_light_box(F13))};
Image f11_light{"f11_light", light(Tone::caution, "RANDOM", item_light_box(F11))};
Image f14_light{"f14_light", light(Tone::advisory, "RESET", item_light_box(F14))};
Image p3_light{"p3_light", light(Tone::advisory, "ELEC RESTORE", item_light_box(P3))};
Image p4_light{"p4_light", light(Tone::advisory, "APU START", item_light_box(P4))};
Image p5_light{"p5_light", light(Tone::advisory, "ELEC NORMAL", item_light_box(P5))};
Image p6_light{"p6_light", light(Tone::advisory, "HYD NORMAL", item_light_box(P6))};
constexpr Box kValidateBox = group_light_box(5);
Image validate_light{"validate_light", button(Tone::blue, "VALIDATE", kValidateBox)};

// The fourteen windows, "%3d" from their byte.
constexpr std::array<u8*, 14> kWindows{
    &st.fail_f10_countdown, &st.fail_f9_countdown, &st.fail_f8_countdown,  &st.fail_f6_countdown,
    &st.fail_f7_countdown,  &st.fail_f5_countdown, &st.fail_f4_min_ias_kt, &st.fail_f4_countdown,
    &st.fail_f3_min_ias_kt, &st.fail_f3_countdown, &st.fail_f2_min_ias_kt, &st.fail_f2_countdown,
    &st.fail_f1_min_ias_kt, &st.fail_f1_countdown};
constexpr int kWindowDigits = 3;
std::array<NumberText, kWindows.size()> window_shown;
template <std::size_t W>
double window_text(char* text, std::size_t size) {
    const u8 v = *kWindows[W];
    window_shown[W].show(text, size, "%3.0f", v);
    return v;
}
constexpr Look countdown_window(int item) { return readout(step_box(item, kDelayDx, 1)); }
constexpr Look ias_window(int item) { return readout(step_box(item, kIasDx, 1)); }
Text f10_countdown{"f10_countdown", kWindowDigits, &window_text<0>, countdown_window(F10)};
Text f9_countdown{"f9_countdown", kWindowDigits, &window_text<1>, countdown_window(F9)};
Text f8_countdown{"f8_countdown", kWindowDigits, &window_text<2>, countdown_window(F8)};
Text f6_countdown{"f6_countdown", kWindowDigits, &window_text<3>, countdown_window(F6)};
Text f7_countdown{"f7_countdown", kWindowDigits, &window_text<4>, countdown_window(F7)};
Text f5_countdown{"f5_countdown", kWindowDigits, &window_text<5>, countdown_window(F5)};
Text f4_min_ias{"f4_min_ias", kWindowDigits, &window_text<6>, ias_window(F4)};
Text f4_countdown{"f4_countdown", kWindowDigits, &window_text<7>, countdown_window(F4)};
Text f3_min_ias{"f3_min_ias", kWindowDigits, &window_text<8>, ias_window(F3)};
Text f3_countdown{"f3_countdown", kWindowDigits, &window_text<9>, countdown_window(F3)};
Text f2_min_ias{"f2_min_ias", kWindowDigits, &window_text<10>, ias_window(F2)};
Text f2_countdown{"f2_countdown", kWindowDigits, &window_text<11>, countdown_window(F2)};
Text f1_min_ias{"f1_min_ias", kWindowDigits, &window_text<12>, ias_window(F1)};
Text f1_countdown{"f1_countdown", kWindowDigits, &window_text<13>, countdown_window(F1)};

// --- Ticks ---------------------------------------------------------------------------------------

void show_lights() {
    p1_light.show(armed(P1));
    p2_light.show(armed(P2));
    eng_1_group_light.show(armed(F1) || armed(F2));
    f1_light.show(armed(F1));
    f2_light.show(armed(F2));
    eng_2_group_light.show(armed(F3) || armed(F4));
    f3_light.show(armed(F3));
    f4_light.show(armed(F4));
    f5_light.show(armed(F5));
    gen_group_light.show(armed(F6) || armed(F7));
    f6_light.show(armed(F6));
    f7_light.show(armed(F7));
    hyd_group_light.show(armed(F8) || armed(F9) || armed(F10));
    f8_light.show(armed(F8));
    f9_light.show(armed(F9));
    f10_light.show(armed(F10));
    f12_light.show(armed(F12));
    f13_light.show(armed(F13));
    f11_light.show(armed(F11));
    f14_light.show(armed(F14));
    p3_light.show(armed(P3));
    p4_light.show(armed(P4));
    p5_light.show(armed(P5));
    p6_light.show(armed(P6));
    validate_light.show(shared.fail_pending == kPendingOn);
}

// Newly armed items raise the pending flag; a disarmed one lowers the validated sum with it.
void update_pending() {
    int sum = 0;
    for (int item = 0; item < kItems; ++item) sum += arm(item);
    st.fail_arm_sum = static_cast<u8>(sum);
    if (st.fail_arm_sum > st.fail_arm_sum_validated)
        shared.fail_pending = kPendingOn;
    else if (st.fail_arm_sum < st.fail_arm_sum_validated)
        st.fail_arm_sum_validated = st.fail_arm_sum;
}

// The engines as the presets see them.
struct Engines {
    double n1_1, n1_2, n2_1, n2_2;
    bool both_running() const { return n1_1 >= kEngineRunningN1 && n1_2 >= kEngineRunningN1; }
    bool either_stopped() const { return n1_1 < kEngineRunningN1 || n1_2 < kEngineRunningN1; }
};

void set_batteries(u8 position) {
    shared.batt_1_sw = position;
    shared.batt_2_sw = position;
    shared.batt_3_sw = position;
}
// Batteries, TRs, transfer contactors and generator lines as the presets leave them.
void set_dc_and_lines(u8 batteries) {
    auto& s = shared;
    set_batteries(batteries);
    s.tr_1_sw = s.tr_2_sw = s.tr_ess_sw = 1;
    s.ac_transf_1_sw = s.ac_transf_2_sw = 1;
    s.gen_1_line_sw = s.gen_2_line_sw = 1;
}
void set_engine_pumps_on() {
    auto& s = shared;
    s.hyd_pump_blue_eng1 = s.hyd_pump_green_eng1 = s.hyd_pump_green_eng2 = s.hyd_pump_yellow_eng2 = kEnginePumpOn;
}
void set_electric_pumps(u8 on) { shared.hyd_elec_pump_1_sw = shared.hyd_elec_pump_2_sw = on; }
void set_ptus(u8 on) { shared.hyd_ptu_blue_green_sw = shared.hyd_ptu_green_yellow_sw = on; }
void set_apu_master_and_start(u8 on) { shared.apu_master_sw = shared.apu_start_sw = on; }

// Engines and APU for ready-for-flight and electrical restore: the APU started while an engine is
// stopped and its generator selected once it runs, the HP levers of turning engines opened; with
// both engines running, yaw dampers and pitch trims on and the APU shut down.
void engines_and_apu(const Engines& e, bool engine_generators_on) {
    auto& s = shared;
    if (e.n1_1 <= kEngineStoppedN1 || e.n1_2 <= kEngineStoppedN1) set_apu_master_and_start(1);
    if (s.apu_n_pct >= kApuRunningPct) {
        s.apu_gen_ctl_sw = 1;
        send(key::apu_generator_set, 1);
    }
    if (e.n2_1 >= kHpLeverOpenN2) s.hp_lever_1 = 1;
    if (e.n2_2 >= kHpLeverOpenN2) s.hp_lever_2 = 1;
    if (e.both_running()) {
        s.yaw_damper_1_engaged = s.yaw_damper_2_engaged = 1;
        s.pitch_trim_1_sw = s.pitch_trim_2_sw = 1;
        if (engine_generators_on) s.gen_1_ctl_sw = s.gen_2_ctl_sw = 1;
        s.apu_gen_ctl_sw = 0;
        set_apu_master_and_start(0);
    }
}

void ready_for_flight(const Engines& e) {
    auto& s = shared;
    disarm({F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, P2, P3, P4});
    set_dc_and_lines(kBatteryNorm);
    s.ac_ess_feed_sel = kFeedNorm;
    s.gen_1_ctl_sw = s.gen_2_ctl_sw = 1;
    s.smoke_nav_sel_sw = 0;
    s.ess_bus_eqpt_sw = 1;
    set_electric_pumps(0);
    set_engine_pumps_on();
    set_ptus(1);
    engines_and_apu(e, false);
    arm(P1) = kOff;
}

void cold_and_dark() {
    auto& s = shared;
    disarm({P1, P3, P4, P5, P6});
    set_dc_and_lines(0);
    s.ac_ess_feed_sel = kFeedNorm;
    s.gen_1_ctl_sw = s.gen_2_ctl_sw = s.apu_gen_ctl_sw = 0;
    s.smoke_nav_sel_sw = 0;
    s.ess_bus_eqpt_sw = 1;
    set_electric_pumps(0);
    set_engine_pumps_on();
    set_ptus(0);
    s.hp_lever_1 = s.hp_lever_2 = 0;
    arm(P2) = kOff;
}

void electrical_restore(const Engines& e) {
    disarm({F1, F2, F3, F4, F5, F6, F7, P1});
    set_dc_and_lines(kBatteryNorm);
    shared.ac_ess_feed_sel = kFeedNorm;
    engines_and_apu(e, true);
    arm(P3) = kOff;
}

void apu_start() {
    disarm({F5, P1});
    set_apu_master_and_start(1);
    arm(P4) = kOff;
}

// The AC essential bus feed a crew selects when it lost its normal source: the first live one.
u8 essential_feed() {
    const auto& s = shared;
    if (s.ac_bus_1_powered == 1) return kFeedNorm;
    if (s.gen_1_load >= kGeneratorAvailable) return kFeedGen1;
    if (s.gen_2_load >= kGeneratorAvailable) return kFeedGen2;
    if (s.apu_gen_avail >= kGeneratorAvailable || s.ext_pwr_on == 1) return kFeedApuGen;
    return kFeedEmergencyInverter;
}

void electrical_normal(const Engines& e) {
    auto& s = shared;
    disarm({F6, F7, P2});
    set_dc_and_lines(kBatteryNorm);
    s.smoke_nav_sel_sw = 0;
    s.ess_bus_eqpt_sw = 1;
    if (s.ac_ess_bus_normal == 0 && s.batt_bus_powered == 1) s.ac_ess_feed_sel = essential_feed();
    s.gen_1_ctl_sw = e.n1_1 >= kEngineRunningN1 ? 1 : 0;
    s.gen_2_ctl_sw = e.n1_2 >= kEngineRunningN1 ? 1 : 0;
    if (e.either_stopped()) {
        set_apu_master_and_start(1);
        s.apu_gen_ctl_sw = s.apu_n_pct >= kApuRunningPct ? 1 : 0;
    }
    if (e.both_running()) set_apu_master_and_start(0);
}

void hydraulic_normal(const Engines& e) {
    disarm({F8, F9, F10});
    set_engine_pumps_on();
    set_ptus(1);
    const bool on_ground = is_on(read(sim::on_ground));
    const bool both_stopped = e.n1_1 < kEngineRunningN1 && e.n1_2 < kEngineRunningN1;
    set_electric_pumps((on_ground && e.either_stopped()) || (!on_ground && both_stopped) ? 1 : 0);
}

void run_presets() {
    const Engines e{read(sim::eng1_n1_pct), read(sim::eng2_n1_pct), read(sim::eng1_n2_pct), read(sim::eng2_n2_pct)};
    if (validated(P1)) ready_for_flight(e);
    if (validated(P2)) cold_and_dark();
    if (validated(P3)) electrical_restore(e);
    if (validated(P4)) apu_start();
    if (validated(P5)) electrical_normal(e);
    if (validated(P6)) hydraulic_normal(e);
}

// Whole minutes left (rounded up) while an item counts down; the delay while it is not validated;
// the last value once it is due.
void update_countdowns(double clock) {
    for (int item = 0; item < kTimedItems; ++item) {
        const Timed& t = timed(item);
        if (!validated(item)) {
            *t.countdown = *t.delay_min;
        } else if (!due(item, clock)) {
            const double valid_minute = static_cast<double>(*t.valid_s / kWholeMinuteSeconds);
            *t.countdown = truncate<u8>(*t.delay_min - (clock / kSecondsPerMinute - valid_minute) + kCountdownRoundUp);
        }
    }
}

// A system failure in state 1 holds its flag at 0 until due, then at 1; disarmed it leaves it.
void system_failure(int item, double clock, u8& flag) {
    if (validated(item)) flag = due(item, clock) ? 1 : 0;
}

void run_timed_failures(double clock) {
    auto& s = shared;
    const double ias_kt = read(sim::ias_kt);
    if (acts(F1, clock, ias_kt)) send(key::eng1_failure_set, 1);
    if (acts(F3, clock, ias_kt)) send(key::eng2_failure_set, 1);
    if (validated(F2)) {
        if (acts(F2, clock, ias_kt)) {
            s.eng_1_fire = 1;
            send(key::eng1_failure_set, 1);
        }
    } else if (is_on(read(sim::eng1_failure))) {
        send(key::eng1_failure_set, 0);
    }
    if (validated(F4)) {
        if (acts(F4, clock, ias_kt)) send(key::eng2_fire_start, 0);
    } else {
        send(key::eng2_fire_stop, 0);
        if (is_on(read(sim::eng2_failure))) send(key::eng2_failure_set, 0);
    }
    system_failure(F5, clock, s.fail_apu);
    if (validated(F6)) arm(P5) = kOff;
    system_failure(F6, clock, s.fail_gen_1);
    if (validated(F7)) arm(P5) = kOff;
    system_failure(F7, clock, s.fail_gen_2);
    if (validated(F8)) arm(P6) = kOff;
    system_failure(F8, clock, s.fail_hyd_blue_pump);
    if (validated(F9)) arm(P6) = kOff;
    system_failure(F9, clock, s.fail_hyd_green_pumps);
    if (validated(F10)) arm(P6) = kOff;
    system_failure(F10, clock, s.fail_hyd_yellow_pump);
}

// The random failure: the counter turns 1..9 every tick; every 18 minutes of the clock (from 56 s)
// the counter's value becomes the pick, which then acts every tick.
void run_random_failure(double clock) {
    auto& s = shared;
    if (!validated(F11)) {
        st.fail_random_counter = 0;
        st.fail_random_next_s = kRandomFirstPickS;
        return;
    }
    disarm({P5, P6});
    st.fail_random_counter = st.fail_random_counter >= kRandomChoices ? 1 : static_cast<u8>(st.fail_random_counter + 1);
    for (u8 phase : {u8{0}, u8{1}}) {
        if (st.fail_random_next_s <= clock && st.fail_random_phase == phase) {
            st.fail_random_pick = st.fail_random_counter;
            st.fail_random_next_s += kRandomPickPeriodS;
            st.fail_random_phase = phase == 0 ? 1 : 0;
        }
    }
    switch (st.fail_random_pick) {
        case 1: send(key::eng1_failure_set, 1); break;
        case 2:
            s.eng_1_fire = 1;
            send(key::eng1_failure_set, 1);
            break;
        case 3: send(key::eng2_failure_set, 1); break;
        case 4: send(key::eng2_fire_start, 0); break;
        case 5: s.fail_gen_1 = 1; break;
        case 6: s.fail_gen_2 = 1; break;
        case 7: s.fail_hyd_blue_pump = 1; break;
        case 8: s.fail_hyd_green_pumps = 1; break;
        case 9: s.fail_hyd_yellow_pump = 1; break;
        default: break;
    }
}

void run_conditional_failures() {
    if (validated(F12)) {
        disarm({P5, P6, F11});
        if (read(sim::ias_kt) > kFire150Kt) send(key::eng2_fire_start, 0);
    }
    if (validated(F13)) {
        disarm({P5, P6, F11});
        if (shared.asi_speed_value >= kOverspeedGenFailure) shared.fail_gen_1 = 1;
        if (shared.asi_speed_value >= kOverspeedEngineFire) send(key::eng2_fire_start, 0);
    }
    // The reset keeps the timed failures off for as long as it stays armed.
    if (validated(F14)) disarm({F1, F2, F3, F4, F5, F6, F7, F8, F9, F10});
}

void tick() {
    const double clock = read(sim::clock_s);
    show_lights();
    update_pending();
    run_presets();
    update_countdowns(clock);
    run_timed_failures(clock);
    run_random_failure(clock);
    run_conditional_failures();
    if (st.fail_arm_sum_validated == st.fail_arm_sum) shared.fail_pending = kPendingOff;
}

// --- Buttons -------------------------------------------------------------------------------------

template <int Item>
void arm_item() {
    if (arm(Item) == kOff) arm(Item) = kWaiting;
}
template <int Item>
void disarm_item() {
    arm(Item) = kOff;
}

// Waiting items go to state 1; a timed item starts its delay on the simulator clock now.
void validate() {
    if (shared.fail_pending == kPendingOn) {
        shared.fail_pending = kPendingOff;
        const u32 now = truncate<u32>(read(sim::clock_s));
        for (int item = 0; item < kItems; ++item) {
            if (arm(item) != kWaiting) continue;
            if (item < kTimedItems) *timed(item).valid_s = now;
            arm(item) = kValidated;
        }
    }
    st.fail_arm_sum_validated = st.fail_arm_sum;
}

// Delays and airspeeds: minus stops at 0, plus wraps from 255 to 0.
template <int Item, bool Ias>
u8& setting() {
    return Ias ? *timed(Item).min_ias_kt : *timed(Item).delay_min;
}
template <int Item, bool Ias>
void setting_down() {
    u8& v = setting<Item, Ias>();
    if (v != 0) --v;
}
template <int Item, bool Ias>
void setting_up() {
    u8& v = setting<Item, Ias>();
    v = static_cast<u8>(v + 1);
}

// The ARM and DISARM buttons right of an item's light.
template <int Item>
constexpr std::array<AreaDef, 2> arming_areas(const char* arm_name, const char* disarm_name) {
    const Box l = item_light_box(Item);
    return {area<&arm_item<Item>>(arm_name, Cursor::hand).at(l.x + kArmDx, l.y, kArmW, kLampHt),
            area<&disarm_item<Item>>(disarm_name, Cursor::hand).at(l.x + kDisarmDx, l.y, kDisarmW, kLampHt)};
}
// The minus and plus buttons either side of a value's window.
template <int Item, bool Ias>
constexpr std::array<AreaDef, 2> setting_areas(const char* minus_name, const char* plus_name) {
    const int dx = Ias ? kIasDx : kDelayDx;
    const Box minus = step_box(Item, dx, 0), plus = step_box(Item, dx, 2);
    return {area<&setting_down<Item, Ias>>(minus_name, Cursor::down, Repeat::while_held).at(minus.x, minus.y, minus.w, minus.h),
            area<&setting_up<Item, Ias>>(plus_name, Cursor::up, Repeat::while_held).at(plus.x, plus.y, plus.w, plus.h)};
}

constexpr Box kCloseBox = group_light_box(7);
constexpr auto areas = join_areas(
    arming_areas<F1>("f1.arm", "f1.disarm"), arming_areas<F2>("f2.arm", "f2.disarm"),
    arming_areas<F3>("f3.arm", "f3.disarm"), arming_areas<F4>("f4.arm", "f4.disarm"),
    arming_areas<F5>("f5.arm", "f5.disarm"), arming_areas<F6>("f6.arm", "f6.disarm"),
    arming_areas<F7>("f7.arm", "f7.disarm"), arming_areas<F8>("f8.arm", "f8.disarm"),
    arming_areas<F9>("f9.arm", "f9.disarm"), arming_areas<F10>("f10.arm", "f10.disarm"),
    arming_areas<F11>("f11.arm", "f11.disarm"), arming_areas<F12>("f12.arm", "f12.disarm"),
    arming_areas<F13>("f13.arm", "f13.disarm"), arming_areas<F14>("f14.arm", "f14.disarm"),
    arming_areas<P1>("p1.arm", "p1.disarm"), arming_areas<P2>("p2.arm", "p2.disarm"),
    arming_areas<P3>("p3.arm", "p3.disarm"), arming_areas<P4>("p4.arm", "p4.disarm"),
    arming_areas<P5>("p5.arm", "p5.disarm"), arming_areas<P6>("p6.arm", "p6.disarm"),
    setting_areas<F1, false>("f1_delay.minus", "f1_delay.plus"), setting_areas<F1, true>("f1_ias.minus", "f1_ias.plus"),
    setting_areas<F2, false>("f2_delay.minus", "f2_delay.plus"), setting_areas<F2, true>("f2_ias.minus", "f2_ias.plus"),
    setting_areas<F3, false>("f3_delay.minus", "f3_delay.plus"), setting_areas<F3, true>("f3_ias.minus", "f3_ias.plus"),
    setting_areas<F4, false>("f4_delay.minus", "f4_delay.plus"), setting_areas<F4, true>("f4_ias.minus", "f4_ias.plus"),
    setting_areas<F5, false>("f5_delay.minus", "f5_delay.plus"),
    setting_areas<F6, false>("f6_delay.minus", "f6_delay.plus"),
    setting_areas<F7, false>("f7_delay.minus", "f7_delay.plus"),
    setting_areas<F8, false>("f8_delay.minus", "f8_delay.plus"),
    setting_areas<F9, false>("f9_delay.minus", "f9_delay.plus"),
    setting_areas<F10, false>("f10_delay.minus", "f10_delay.plus"),
    std::array{area<&validate>("validate", Cursor::hand)
                   .at(kValidateBox.x, kValidateBox.y, kValidateBox.w, kValidateBox.h),
               area<[] { toggle_window(kFailurePanelWindow); }>("close", Cursor::hand)
                   .at(kCloseBox.x, kCloseBox.y, kCloseBox.w, kCloseBox.h)});

}  // namespace

TARVENOL_GAUGE(failures, "tarvenol failures_t418", 1179, &tick_callback<&tick>, areas, st_table, &reset_private_state,
               background, p1_light, p2_light, eng_1_group_light, f1_light, f2_light, eng_2_group_light, f3_light,
               f4_light, f5_light, gen_group_light, f6_light, f7_light, hyd_group_light, f8_light, f9_light, f10_light,
               f12_light, f13_light, f11_light, f14_light, p3_light, p4_light, p5_light, p6_light, validate_light,
               f10_countdown, f9_countdown, f8_countdown, f6_countdown, f7_countdown, f5_countdown, f4_min_ias,
               f4_countdown, f3_min_ias, f3_countdown, f2_min_ias, f2_countdown, f1_min_ias, f1_countdown);
