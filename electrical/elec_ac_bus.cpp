// tarvenol elec_ac_bus_t418: the AC panel — LINE 1, TRANSF 1, TRANSF 2 and LINE 2 switches, the AC
// ESS feed selector, the AC BUS OFF lights and the transfer and emergency flow bars. Its tick owns
// the transfer contactors, AC buses 1 and 2, the AC essential bus with its static inverter and the
// AC fault flag.
#include "electrical/electrical.h"
#include "module/controls.h"
#include "module/gauge.h"
#include "module/indicators.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::elec;

// LINE and TRANSF switches.
constexpr u8 kContactorOff = 0;
constexpr u8 kContactorNorm = 1;

// AC ESS feed selector.
constexpr int kFeedGen2 = 0;
constexpr int kFeedGen1 = 1;
constexpr int kFeedNorm = 2;
constexpr int kFeedApuGen = 3;
constexpr int kFeedEmrgInv = 4;
using AcEssFeedSelector = Selector<&SharedState::ac_ess_feed_sel, kFeedGen2, kFeedEmrgInv>;

// The panel: the four contactor switches and the AC ESS FEED selector in a row; under them the
// AC bus 1 light, the tie bus line with the two transfer bars, the AC bus 2 light, and under the
// selector the AC ESS BUS OFF light with the inverter line and its emergency bar.
constexpr int kW = 390, kSwitchTop = 56, kLampTop = 130, kTieBus = kLampTop + kLampH / 2, kEmergBar = 184;
constexpr int kLine1 = column(0, 5, kW), kTransf1 = column(1, 5, kW), kTransf2 = column(2, 5, kW),
              kLine2 = column(3, 5, kW), kFeed = column(4, 5, kW);
constexpr Line kFlow[] = {line(kLine1 + kLampW / 2, kTieBus, kLine2 - kLampW / 2, kTieBus),
                          line(kFeed, kLampTop + kLampH, kFeed, kEmergBar + 16)};
constexpr const char* kContactorMarks = "OFF|NORM";

Background background{panel("AC", 208, kFlow)};
SwitchImages<2> line_1_images{lever("GEN 1 LINE", switch_box(kLine1, kSwitchTop), kContactorMarks), "gen_1_line_sw.off",
                              "gen_1_line_sw.norm"};
SwitchImages<2> transf_1_images{lever("TRANSF 1", switch_box(kTransf1, kSwitchTop), kContactorMarks),
                                "ac_transf_1_sw.off", "ac_transf_1_sw.norm"};
SwitchImages<2> transf_2_images{lever("TRANSF 2", switch_box(kTransf2, kSwitchTop), kContactorMarks),
                                "ac_transf_2_sw.off", "ac_transf_2_sw.norm"};
SwitchImages<2> line_2_images{lever("GEN 2 LINE", switch_box(kLine2, kSwitchTop), kContactorMarks), "gen_2_line_sw.off",
                              "gen_2_line_sw.norm"};
Needle ac_ess_feed_knob{"ac_ess_feed_knob", &AcEssFeedSelector::knob,
                        knob("AC ESS FEED", centred(kFeed, kSwitchTop + 22, 52, 52), kFeedGen2, kFeedEmrgInv,
                             "GEN 2|GEN 1|NORM|APU|INV")};
FlowBar transf_1_bar{"transf_1_bar.in_line", "transf_1_bar.cross_line", bar(bar_box(kTransf1, kTieBus))};
FlowBar transf_2_bar{"transf_2_bar.in_line", "transf_2_bar.cross_line", bar(bar_box(kTransf2, kTieBus))};
FlowBar emerg_bar{"emerg_bar.in_line", "emerg_bar.cross_line", bar(centred(kFeed, kEmergBar, kBarSize - 2, kBarSize))};
Image ac_bus_1_off_light{"ac_bus_1_off_light", light(Tone::caution, "AC BUS 1 OFF", lamp_box(kLine1, kLampTop, 70))};
Image ac_bus_2_off_light{"ac_bus_2_off_light", light(Tone::caution, "AC BUS 2 OFF", lamp_box(kLine2, kLampTop, 70))};
Image ac_ess_bus_off_light{"ac_ess_bus_off_light",
                           light(Tone::caution, "AC ESS BUS OFF", lamp_box(kFeed, kLampTop, 70))};

constexpr auto areas = join_areas(
    std::array{
        switch_area<&SharedState::gen_1_line_sw, kContactorNorm>("line_1.norm", Cursor::up),
        switch_area<&SharedState::gen_1_line_sw, kContactorOff>("line_1.off", Cursor::down),
        switch_area<&SharedState::ac_transf_1_sw, kContactorNorm>("transf_1.norm", Cursor::up),
        switch_area<&SharedState::ac_transf_1_sw, kContactorOff>("transf_1.off", Cursor::down),
        switch_area<&SharedState::ac_transf_2_sw, kContactorNorm>("transf_2.norm", Cursor::up),
        switch_area<&SharedState::ac_transf_2_sw, kContactorOff>("transf_2.off", Cursor::down),
        switch_area<&SharedState::gen_2_line_sw, kContactorNorm>("line_2.norm", Cursor::up),
        switch_area<&SharedState::gen_2_line_sw, kContactorOff>("line_2.off", Cursor::down),
    },
    AcEssFeedSelector::areas("ac_ess_feed.down", "ac_ess_feed.up"));

bool feeding(i32 load, u8 line_switch) { return load != kNoLoad && line_switch != kContactorOff; }

// A transfer contactor with the tie bus dead closes to let one bus feed the other; with a
// source on the tie bus it closes where its own generator does not feed. The bus flags are those
// the previous tick left.
bool transfer_contactor(u8 transf_switch, bool own_generator_feeding) {
    const auto& s = shared;
    if (transf_switch == kContactorOff) return false;
    const bool tie_bus_source = s.ext_pwr_on != 0 || s.apu_gen_avail != kNoLoad;
    if (!tie_bus_source) {
        const bool gen_1_feeding = feeding(s.gen_1_load, s.gen_1_line_sw);
        const bool gen_2_feeding = feeding(s.gen_2_load, s.gen_2_line_sw);
        return (!gen_1_feeding && s.ac_bus_2_powered == 1) || (!gen_2_feeding && s.ac_bus_1_powered == 1);
    }
    return !own_generator_feeding;
}

// A bus is fed by its own generator, by the tie bus through its contactor, or by the other
// generator through both contactors.
bool bus_powered(i32 own_load, u8 own_line, bool own_contactor, i32 other_load, u8 other_line, bool both_closed) {
    const auto& s = shared;
    if (delivers(own_load) && own_line == kContactorNorm) return true;
    if ((s.ext_pwr_on == 1 || delivers(s.apu_gen_avail)) && own_contactor) return true;
    return delivers(other_load) && other_line == kContactorNorm && both_closed;
}

// The AC essential bus: its selected source, else the static inverter from the DC essential
// bus. EMRG INV puts it on the inverter on purpose: normal and inverter at once, no fault.
void essential_bus() {
    auto& s = shared;
    bool normal_source = false;
    switch (s.ac_ess_feed_sel) {
        case kFeedGen2: normal_source = delivers(s.gen_2_load); break;
        case kFeedGen1: normal_source = delivers(s.gen_1_load); break;
        case kFeedNorm: normal_source = s.ac_bus_1_powered == 1; break;
        case kFeedApuGen: normal_source = delivers(s.apu_gen_avail) || s.ext_pwr_on == 1; break;
        default: break;
    }
    const bool dc_essential = s.batt_bus_powered == 1;
    if (s.ac_ess_feed_sel == kFeedEmrgInv && dc_essential) {
        s.ac_ess_bus_normal = 1;
        s.ac_ess_on_inverter = 1;
    } else if (normal_source) {
        s.ac_ess_bus_normal = 1;
        s.ac_ess_on_inverter = 0;
    } else if (dc_essential) {
        s.ac_ess_bus_normal = 0;
        s.ac_ess_on_inverter = 1;
        latch(s.ac_fault);
    } else {
        s.ac_ess_bus_normal = 0;
        s.ac_ess_on_inverter = 0;
    }
    s.ac_ess_bus_powered = s.ac_ess_bus_normal == 1 || s.ac_ess_on_inverter == 1;
}

void tick() {
    auto& s = shared;
    line_1_images.show(s.gen_1_line_sw);
    line_2_images.show(s.gen_2_line_sw);
    transf_1_images.show(s.ac_transf_1_sw);
    transf_2_images.show(s.ac_transf_2_sw);

    s.ac_bus_tie_1_closed = transfer_contactor(s.ac_transf_1_sw, feeding(s.gen_1_load, s.gen_1_line_sw));
    s.ac_bus_tie_2_closed = transfer_contactor(s.ac_transf_2_sw, feeding(s.gen_2_load, s.gen_2_line_sw));
    const bool tie_1 = s.ac_bus_tie_1_closed == 1;
    const bool tie_2 = s.ac_bus_tie_2_closed == 1;

    s.ac_bus_1_powered = bus_powered(s.gen_1_load, s.gen_1_line_sw, tie_1, s.gen_2_load, s.gen_2_line_sw, tie_1 && tie_2);
    if (s.ac_bus_1_powered == 0) latch(s.ac_fault);
    s.ac_bus_2_powered = bus_powered(s.gen_2_load, s.gen_2_line_sw, tie_2, s.gen_1_load, s.gen_1_line_sw, tie_1 && tie_2);
    if (s.ac_bus_2_powered == 0) latch(s.ac_fault);

    essential_bus();

    // Lights and flow bars; an AC BUS OFF light is itself an AC fault.
    const bool ac_bus_1_off = s.ac_bus_1_powered == 0 && s.dc_bus_powered == 1;
    const bool ac_bus_2_off = s.ac_bus_2_powered == 0 && s.dc_bus_powered == 1;
    ac_bus_1_off_light.show(ac_bus_1_off);
    ac_bus_2_off_light.show(ac_bus_2_off);
    if (ac_bus_1_off || ac_bus_2_off) latch(s.ac_fault);
    ac_ess_bus_off_light.show(s.ac_ess_bus_normal == 0 && s.batt_bus_powered == 1);
    transf_1_bar.show(s.dc_bus_powered == 1, tie_1);
    transf_2_bar.show(s.dc_bus_powered == 1, tie_2);
    emerg_bar.show(s.batt_bus_powered == 1, s.ac_ess_on_inverter == 1);

    unlatch_when(s.ac_fault, (s.ac_bus_1_powered == 1 && s.ac_bus_2_powered == 1 && s.ac_ess_bus_normal == 1) ||
                                 s.batt_bus_powered == 0);
}

}  // namespace

TARVENOL_GAUGE(elec_ac_bus, "tarvenol elec_ac_bus_t418", 195, &tick_callback<&tick>, areas, no_vars, nullptr,
               background, line_1_images, transf_1_images, transf_2_images, line_2_images, ac_ess_feed_knob,
               transf_1_bar, transf_2_bar, emerg_bar, ac_bus_1_off_light, ac_bus_2_off_light, ac_ess_bus_off_light);
