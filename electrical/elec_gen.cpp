// tarvenol elec_gen_t418: the generator panel — GEN 1, APU GEN and GEN 2 switches (ON, OFF/RESET,
// and TEST springing back after a while) and the GEN OFF lights. Its tick owns the generators'
// loads, the APU generator's output and the GEN OFF warnings.
#include "electrical/electrical.h"
#include "module/controls.h"
#include "module/gauge.h"
#include "module/indicators.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::elec;

// A generator runs from this engine N1, percent.
constexpr double kGeneratorMinN1 = 10.0;
// A switch held at TEST springs back after this many ticks; one timer serves the three switches.
constexpr i32 kTestTicks = 27;
constexpr u8 kLineNorm = 1;

#define GEN_STATE(X)              \
    X(i32, gen_test_deadline, 0)  \
    X(u8, gen_test_timing, 0)
TARVENOL_PRIVATE_STATE(GEN_STATE)

// The panel: three generator switches, each GEN OFF light under its switch.
constexpr int kW = 374, kSwitchTop = 56, kLampTop = 130;
constexpr int kGen1 = column(0, 3, kW), kApuGen = column(1, 3, kW), kGen2 = column(2, 3, kW);
constexpr const char* kGenMarks = "OFF|ON|TEST";

Background background{panel("GEN", 172)};
SwitchImages<3> gen_1_images{lever("GEN 1", switch_box(kGen1, kSwitchTop), kGenMarks), "gen_1_ctl_sw.off",
                             "gen_1_ctl_sw.on", "gen_1_ctl_sw.test"};
SwitchImages<3> apu_gen_images{lever("APU GEN", switch_box(kApuGen, kSwitchTop), kGenMarks), "apu_gen_ctl_sw.off",
                               "apu_gen_ctl_sw.on", "apu_gen_ctl_sw.test"};
SwitchImages<3> gen_2_images{lever("GEN 2", switch_box(kGen2, kSwitchTop), kGenMarks), "gen_2_ctl_sw.off",
                             "gen_2_ctl_sw.on", "gen_2_ctl_sw.test"};
Image gen_1_off_light{"gen_1_off_light", light(Tone::caution, "GEN 1 OFF", lamp_box(kGen1, kLampTop, 72))};
Image apu_gen_off_light{"apu_gen_off_light", light(Tone::caution, "APU GEN OFF", lamp_box(kApuGen, kLampTop, 72))};
Image gen_2_off_light{"gen_2_off_light", light(Tone::caution, "GEN 2 OFF", lamp_box(kGen2, kLampTop, 72))};

// TEST clicks always: from OFF it is TEST-from-OFF, from anywhere else TEST-from-ON.
template <auto Switch>
void hold_at_test() {
    u8& position = shared.*Switch;
    snd::play_once(snd::CLICK);
    position = position == kGenOff ? kGenTestFromOff : kGenTestFromOn;
}

template <auto Switch>
constexpr std::array<AreaDef, 3> generator_switch(const char* on, const char* off, const char* test) {
    return {switch_area<Switch, kGenOn>(on, Cursor::up), switch_area<Switch, kGenOff>(off, Cursor::hand),
            area<&hold_at_test<Switch>>(test, Cursor::down)};
}

constexpr auto areas =
    join_areas(generator_switch<&SharedState::gen_1_ctl_sw>("gen_1.on", "gen_1.off", "gen_1.test"),
               generator_switch<&SharedState::apu_gen_ctl_sw>("apu_gen.on", "apu_gen.off", "apu_gen.test"),
               generator_switch<&SharedState::gen_2_ctl_sw>("gen_2.on", "gen_2.off", "gen_2.test"));

// OFF, ON or TEST image.
void show_switch(SwitchImages<3>& images, u8 position) {
    constexpr int kTestImage = 2;
    images.show(at_test(position) ? kTestImage : position);
}

// A switch at TEST starts the common timer if it is free, and springs back when it expires.
void spring_back_from_test(u8& position) {
    Timer test{st.gen_test_deadline, st.gen_test_timing};
    if (test.idle() && at_test(position)) test.start(kTestTicks);
    if (test.running() && at_test(position) && test.expired()) {
        position = position == kGenTestFromOn ? kGenOn : kGenOff;
        test.stop();
    }
}

// An engine generator switched ON on a turning engine feeds its own bus, and the other one too
// through the closed line and transfer contactors.
i32 generator_load(u8 ctl_switch, double n1, u8 failed, u8 line_switch, u8 tie_closed) {
    if (!(ctl_switch == kGenOn && n1 >= kGeneratorMinN1)) return kNoLoad;
    if (failed == 1) return kNoLoad;
    if (line_switch == kLineNorm && tie_closed == 1) return kBothBuses;
    return kOneBus;
}

// GEN OFF light with the DC essential bus; the warning only with the switches ON and NORM.
void gen_off_light(Image& light, i32 load, u8 ctl_switch, u8 line_switch, u8& warning) {
    const bool off = load == kNoLoad && ctl_switch < kGenTestFromOff && shared.batt_bus_powered == 1;
    light.show(off);
    warning = off && line_switch == kLineNorm && ctl_switch == kGenOn;
}

void tick() {
    auto& s = shared;
    show_switch(gen_1_images, s.gen_1_ctl_sw);
    show_switch(gen_2_images, s.gen_2_ctl_sw);
    show_switch(apu_gen_images, s.apu_gen_ctl_sw);

    spring_back_from_test(s.gen_1_ctl_sw);
    spring_back_from_test(s.gen_2_ctl_sw);
    spring_back_from_test(s.apu_gen_ctl_sw);

    s.gen_1_load = generator_load(s.gen_1_ctl_sw, read(sim::eng1_n1_pct), s.fail_gen_1, s.gen_1_line_sw,
                                  s.ac_bus_tie_1_closed);
    s.gen_2_load = generator_load(s.gen_2_ctl_sw, read(sim::eng2_n1_pct), s.fail_gen_2, s.gen_2_line_sw,
                                  s.ac_bus_tie_2_closed);

    // The APU generator feeds the tie bus; its load follows the transfer contactors closed.
    if (s.apu_gen_ctl_sw == kGenOn && s.apu_bleed_avail == 1) {
        const int closed = (s.ac_bus_tie_1_closed == 1) + (s.ac_bus_tie_2_closed == 1);
        s.apu_gen_avail = closed == 1 ? kOneBus : kBothBuses;
        s.apu_gen_load = closed == 2 ? kBothBuses : closed == 1 ? kOneBus : kNoLoad;
    } else {
        s.apu_gen_avail = kNoLoad;
        s.apu_gen_load = kNoLoad;
    }

    gen_off_light(gen_1_off_light, s.gen_1_load, s.gen_1_ctl_sw, s.gen_1_line_sw, s.gen_1_off_warn);
    gen_off_light(gen_2_off_light, s.gen_2_load, s.gen_2_ctl_sw, s.gen_2_line_sw, s.gen_2_off_warn);

    // APU GEN OFF while the APU runs (or has failed) and its generator delivers nothing.
    const bool apu_gen_off = s.apu_gen_load == kNoLoad && (s.apu_bleed_avail == 1 || s.fail_apu == 1) &&
                             s.apu_gen_ctl_sw < kGenTestFromOff && s.batt_bus_powered == 1;
    apu_gen_off_light.show(apu_gen_off);
    s.apu_gen_off_warn = apu_gen_off && s.apu_gen_ctl_sw == kGenOn;
}

}  // namespace

TARVENOL_GAUGE(elec_gen, "tarvenol elec_gen_t418", 187, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, gen_1_images, apu_gen_images, gen_2_images, gen_1_off_light,
               apu_gen_off_light, gen_2_off_light);
