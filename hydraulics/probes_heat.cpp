// tarvenol probes_heat_t418: probe heating of the 14 air-data probes in three groups (CAPT, STBY,
// F/O), each group on its switch and each probe on its own supply bus, with an amber lamp per
// probe that is not heated. Drives the simulator's pitot heat from the captain's battery-bus probe
// and raises the probe heat warning while any probe is cold.
#include <array>

#include "module/controls.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr u8 kOff = 0;
constexpr u8 kOn = 1;
constexpr std::size_t kProbes = 14;
constexpr i32 kPitotFailed = 1;

enum class Group : u8 { capt, stby, fo };
enum class Supply : u8 { batt_bus, dc_bus, ac_bus_1, ac_bus_2 };

// Each probe's group and supply. Probe 0 is the captain's battery-bus pitot, whose heating is the
// simulator's pitot heat.
struct Probe {
    Group group;
    Supply supply;
};
constexpr std::array<Probe, kProbes> kProbeSupplies{{
    {Group::capt, Supply::batt_bus},
    {Group::capt, Supply::dc_bus},
    {Group::capt, Supply::dc_bus},
    {Group::capt, Supply::ac_bus_1},
    {Group::capt, Supply::ac_bus_1},
    {Group::stby, Supply::batt_bus},
    {Group::stby, Supply::dc_bus},
    {Group::stby, Supply::dc_bus},
    {Group::stby, Supply::ac_bus_1},
    {Group::stby, Supply::ac_bus_2},
    {Group::fo, Supply::dc_bus},
    {Group::fo, Supply::dc_bus},
    {Group::fo, Supply::dc_bus},
    {Group::fo, Supply::ac_bus_2},
}};
constexpr std::size_t kCaptainPitot = 0;

using ProbeFlags = std::array<u8, kProbes>;
#define PROBES_STATE(X)        \
    X(u8, probe_capt_sw, kOff, within(kOff, kOn)) \
    X(u8, probe_stby_sw, kOff, within(kOff, kOn)) \
    X(u8, probe_fo_sw, kOff, within(kOff, kOn))   \
    X(ProbeFlags, probe_heated, {})
TARVENOL_PRIVATE_STATE(PROBES_STATE)

Background background{panel("PROBES HEATING")};
SwitchImages<2> capt_switch{lever("CAPT", {}, "OFF|ON"), "probe_capt_sw.off", "probe_capt_sw.on"};
SwitchImages<2> stby_switch{lever("STBY", {}, "OFF|ON"), "probe_stby_sw.off", "probe_stby_sw.on"};
SwitchImages<2> fo_switch{lever("F/O", {}, "OFF|ON"), "probe_fo_sw.off", "probe_fo_sw.on"};
// One lamp per probe, in the order of the probes.
Image capt_pitot{"probe_capt_pitot_lamp", light(Tone::caution, "PITOT")};
Image capt_static_1{"probe_capt_static_1_lamp", light(Tone::caution, "STAT L")};
Image capt_static_2{"probe_capt_static_2_lamp", light(Tone::caution, "STAT R")};
Image capt_aoa{"probe_capt_aoa_lamp", light(Tone::caution, "AOA")};
Image capt_tat{"probe_capt_tat_lamp", light(Tone::caution, "TAT")};
Image stby_pitot{"probe_stby_pitot_lamp", light(Tone::caution, "PITOT")};
Image stby_static_1{"probe_stby_static_1_lamp", light(Tone::caution, "STAT L")};
Image stby_static_2{"probe_stby_static_2_lamp", light(Tone::caution, "STAT R")};
Image stby_aoa{"probe_stby_aoa_lamp", light(Tone::caution, "AOA")};
Image stby_tat{"probe_stby_tat_lamp", light(Tone::caution, "TAT")};
Image fo_pitot{"probe_fo_pitot_lamp", light(Tone::caution, "PITOT")};
Image fo_static_1{"probe_fo_static_1_lamp", light(Tone::caution, "STAT L")};
Image fo_static_2{"probe_fo_static_2_lamp", light(Tone::caution, "STAT R")};
Image fo_aoa{"probe_fo_aoa_lamp", light(Tone::caution, "AOA")};
const std::array<Image*, kProbes> lamps{&capt_pitot, &capt_static_1, &capt_static_2, &capt_aoa,    &capt_tat,
                                        &stby_pitot, &stby_static_1, &stby_static_2, &stby_aoa,    &stby_tat,
                                        &fo_pitot,   &fo_static_1,   &fo_static_2,   &fo_aoa};

u8 group_switch(Group g) {
    switch (g) {
        case Group::capt: return st.probe_capt_sw;
        case Group::stby: return st.probe_stby_sw;
        case Group::fo: return st.probe_fo_sw;
    }
    return kOff;
}
bool powered(Supply supply) {
    switch (supply) {
        case Supply::batt_bus: return shared.batt_bus_powered == 1;
        case Supply::dc_bus: return shared.dc_bus_powered == 1;
        case Supply::ac_bus_1: return shared.ac_bus_1_powered == 1;
        case Supply::ac_bus_2: return shared.ac_bus_2_powered == 1;
    }
    return false;
}

void tick() {
    auto& s = shared;
    capt_switch.show(st.probe_capt_sw);
    stby_switch.show(st.probe_stby_sw);
    fo_switch.show(st.probe_fo_sw);

    const bool pitot_failed = read(sim::fail_pitot) == kPitotFailed;
    std::size_t heated = 0;
    for (std::size_t i = 0; i < kProbes; ++i) {
        const Probe& p = kProbeSupplies[i];
        bool on = group_switch(p.group) == kOn && powered(p.supply);
        if (i == kCaptainPitot && pitot_failed) on = false;
        st.probe_heated[i] = on;
        heated += on;
    }

    const bool batt = s.batt_bus_powered == 1;
    for (std::size_t i = 0; i < kProbes; ++i) lamps[i]->show(batt && st.probe_heated[i] == 0);
    // The captain's pitot lamp tells what the simulator's pitot heat does.
    lamps[kCaptainPitot]->show(batt && (is_off(read(sim::pitot_heat)) || pitot_failed));

    send(st.probe_heated[kCaptainPitot] == 1 ? key::pitot_heat_on : key::pitot_heat_off);
    s.mw_probe_heat = heated < kProbes && batt;
}

constexpr std::array areas{
    switch_area<&State::probe_capt_sw, kOn, st>("probe_capt.on", Cursor::up),
    switch_area<&State::probe_capt_sw, kOff, st>("probe_capt.off", Cursor::down),
    switch_area<&State::probe_stby_sw, kOn, st>("probe_stby.on", Cursor::up),
    switch_area<&State::probe_stby_sw, kOff, st>("probe_stby.off", Cursor::down),
    switch_area<&State::probe_fo_sw, kOn, st>("probe_fo.on", Cursor::up),
    switch_area<&State::probe_fo_sw, kOff, st>("probe_fo.off", Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(probes_heat, "tarvenol probes_heat_t418", 156, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, capt_switch, stby_switch, fo_switch, capt_pitot, capt_static_1,
               capt_static_2, capt_aoa, capt_tat, stby_pitot, stby_static_1, stby_static_2, stby_aoa, stby_tat,
               fo_pitot, fo_static_1, fo_static_2, fo_aoa);
