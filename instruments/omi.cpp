// tarvenol omi_t418: the outer, middle and inner marker lights, with their TEST button that runs
// inner, middle and outer in turn with each one's tone.
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr u8 kNoTest = 0;
constexpr u8 kLastStep = 3;
// Per test step 1..3: the light shown, its tone and for how many ticks.
constexpr int kOuter = 0;
constexpr int kMiddle = 1;
constexpr int kInner = 2;
struct TestStep {
    int light;
    snd::SoundId tone;
    i32 ticks;
};
constexpr TestStep kTestSteps[kLastStep + 1] = {
    {},
    {kInner, snd::INNER, 25},
    {kMiddle, snd::MIDDLE, 25},
    {kOuter, snd::OUTER, 18},
};
// Marker received (simulator): 1.0 outer, 2.0 middle, 3.0 inner.
constexpr double kBeaconOuter = 1.0;
constexpr double kBeaconMiddle = 2.0;
constexpr double kBeaconInner = 3.0;

#define OMI_STATE(X)             \
    X(u8, omi_test_step, kNoTest) \
    X(i32, omi_test_deadline, 0) \
    X(u8, omi_test_running, 0)
TARVENOL_PRIVATE_STATE(OMI_STATE)

Background background{panel("MKR")};
Lights<3> lights{std::array<Look, 3>{light(Tone::blue, "O"), light(Tone::caution, "M"), light(Tone::white, "I")},
                 "outer_marker", "middle_marker", "inner_marker"};

void show_only(int which) {
    for (int i = 0; i < 3; ++i) lights[i].show(i == which);
}

void tick() {
    if (shared.dc_bus_powered == 0) {
        st.omi_test_step = kNoTest;
        st.omi_test_running = 0;
        show_only(-1);
        return;
    }
    if (st.omi_test_step > kLastStep) st.omi_test_step = kNoTest;
    if (st.omi_test_step != kNoTest) {
        if (st.omi_test_running == 1 && is_due(st.omi_test_deadline)) {
            // This step is over; the next one begins on the same tick.
            st.omi_test_running = 0;
            st.omi_test_step = st.omi_test_step == kLastStep ? kNoTest : static_cast<u8>(st.omi_test_step + 1);
        }
        if (st.omi_test_step != kNoTest) {
            const TestStep& step = kTestSteps[st.omi_test_step];
            if (st.omi_test_running == 0) {
                st.omi_test_deadline = deadline_in(step.ticks);
                st.omi_test_running = 1;
                snd::play_once(step.tone);
            }
            show_only(step.light);
            return;
        }
    }
    const double beacon = read(sim::marker_beacon);
    show_only(beacon == kBeaconOuter ? kOuter : beacon == kBeaconMiddle ? kMiddle : beacon == kBeaconInner ? kInner : -1);
}

void test_button() {
    if (st.omi_test_step == kNoTest && shared.dc_bus_powered == 1) st.omi_test_step = 1;
}

constexpr std::array areas{area<&test_button>("test", Cursor::hand)};

}  // namespace

TARVENOL_GAUGE(omi, "tarvenol omi_t418", 69, &tick_callback<&tick>, areas, st_table, &reset_private_state, background,
               lights);
