// tarvenol elec_dc_bus_t418: the DC panel — TR 1, ESS TR and TR 2 switches, the DC TIE switch, the
// tie flow bar between the DC normal and DC essential buses and the TR OFF lights. Its tick owns
// the transformer-rectifiers, the DC normal bus and the DC fault flag.
#include "module/controls.h"
#include "module/gauge.h"
#include "module/indicators.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

// TR switches: OFF/RESET, ON; DC TIE: SPLIT, NORM.
constexpr u8 kTrOff = 0;
constexpr u8 kTrOn = 1;
constexpr u8 kTieSplit = 0;
constexpr u8 kTieNorm = 1;

// The panel: four switch columns, each light under its switch; the tie bar sits in the line
// between the DC normal and DC essential buses under the DC BUS TIE switch.
constexpr int kW = 382, kSwitchTop = 56, kLampTop = 130;
constexpr int kTr1 = column(0, 4, kW), kEssTr = column(1, 4, kW), kTr2 = column(2, 4, kW), kTie = column(3, 4, kW);
constexpr int kTieLine = kLampTop + kLampH / 2;
constexpr Line kFlow[] = {line(kTie - 44, kTieLine, kTie + 44, kTieLine)};

Background background{panel("DC", 172, kFlow)};
SwitchImages<2> tr_1_images{lever("TR 1", switch_box(kTr1, kSwitchTop), "OFF|ON"), "tr_1_sw.off", "tr_1_sw.on"};
SwitchImages<2> tr_ess_images{lever("ESS TR", switch_box(kEssTr, kSwitchTop), "OFF|ON"), "tr_ess_sw.off", "tr_ess_sw.on"};
SwitchImages<2> tr_2_images{lever("TR 2", switch_box(kTr2, kSwitchTop), "OFF|ON"), "tr_2_sw.off", "tr_2_sw.on"};
SwitchImages<2> dc_tie_images{lever("DC BUS TIE", switch_box(kTie, kSwitchTop), "SPLIT|NORM"), "dc_bus_tie_sw.split",
                              "dc_bus_tie_sw.norm"};
FlowBar dc_tie_bar{"dc_tie_bar.in_line", "dc_tie_bar.cross_line", bar(bar_box(kTie, kTieLine))};
Image tr_1_off_light{"tr_1_off_light", light(Tone::caution, "TR 1 OFF", lamp_box(kTr1, kLampTop))};
Image tr_ess_off_light{"tr_ess_off_light", light(Tone::caution, "ESS TR OFF", lamp_box(kEssTr, kLampTop))};
Image tr_2_off_light{"tr_2_off_light", light(Tone::caution, "TR 2 OFF", lamp_box(kTr2, kLampTop))};

constexpr std::array areas{
    switch_area<&SharedState::tr_1_sw, kTrOn>("tr_1.on", Cursor::up),
    switch_area<&SharedState::tr_1_sw, kTrOff>("tr_1.off", Cursor::down),
    switch_area<&SharedState::tr_ess_sw, kTrOn>("tr_ess.on", Cursor::up),
    switch_area<&SharedState::tr_ess_sw, kTrOff>("tr_ess.off", Cursor::down),
    switch_area<&SharedState::tr_2_sw, kTrOn>("tr_2.on", Cursor::up),
    switch_area<&SharedState::tr_2_sw, kTrOff>("tr_2.off", Cursor::down),
    switch_area<&SharedState::dc_bus_tie_sw, kTieNorm>("dc_tie.norm", Cursor::up),
    switch_area<&SharedState::dc_bus_tie_sw, kTieSplit>("dc_tie.split", Cursor::down),
};

// A TR delivers while switched on with its AC supply; switched on without it, it raises the DC
// fault.
void transformer_rectifier(u8 tr_switch, u8 ac_supply, u8& delivers) {
    if (tr_switch == kTrOn && ac_supply == 1) delivers = 1;
    if (tr_switch == kTrOn && ac_supply == 0) {
        delivers = 0;
        latch(shared.dc_fault);
    }
    if (tr_switch == kTrOff) delivers = 0;
}

void tick() {
    auto& s = shared;
    tr_1_images.show(s.tr_1_sw);
    tr_ess_images.show(s.tr_ess_sw);
    tr_2_images.show(s.tr_2_sw);
    dc_tie_images.show(s.dc_bus_tie_sw);

    transformer_rectifier(s.tr_1_sw, s.ac_bus_1_powered, s.tr_1_on);
    transformer_rectifier(s.tr_2_sw, s.ac_bus_2_powered, s.tr_2_on);
    transformer_rectifier(s.tr_ess_sw, s.ac_ess_bus_normal, s.tr_ess_on);

    // The ESS TR feeds only the essential bus.
    s.dc_bus_powered = s.tr_1_on == 1 || s.tr_2_on == 1;

    dc_tie_bar.show(s.batt_bus_powered == 1, s.dc_bus_tie_sw == kTieNorm && s.batt_bus_fed_by_dc_bus == 1);

    tr_1_off_light.show(s.batt_bus_powered == 1 && s.tr_1_on == 0);
    tr_2_off_light.show(s.batt_bus_powered == 1 && s.tr_2_on == 0);
    tr_ess_off_light.show(s.batt_bus_powered == 1 && s.tr_ess_on == 0);

    unlatch_when(s.dc_fault, s.tr_1_on == 1 && s.tr_2_on == 1 && s.tr_ess_on == 1);
}

}  // namespace

TARVENOL_GAUGE(elec_dc_bus, "tarvenol elec_dc_bus_t418", 191, &tick_callback<&tick>, areas, no_vars, nullptr,
               background, tr_1_images, tr_ess_images, tr_2_images, dc_tie_images, dc_tie_bar, tr_1_off_light,
               tr_ess_off_light, tr_2_off_light);
