// What the electrical gauges share beyond the published state: the generator switch positions and
// loads, the engine speeds that drive the generators and the AC meters' source selection.
#pragma once

#include "module/numbers.h"
#include "module/shared_state.h"

namespace tarvenol::elec {

// GEN 1, GEN 2 and APU GEN switches: OFF/RESET, ON, and TEST held from OFF or from ON (the switch
// springs back to where it was held from).
constexpr u8 kGenOff = 0;
constexpr u8 kGenOn = 1;
constexpr u8 kGenTestFromOff = 2;
constexpr u8 kGenTestFromOn = 3;
constexpr bool at_test(u8 gen_switch) { return gen_switch >= kGenTestFromOff; }

// Generator output, percent: feeding one bus, feeding both through the tie.
constexpr i32 kNoLoad = 0;
constexpr i32 kOneBus = 50;
constexpr i32 kBothBuses = 100;
constexpr bool delivers(i32 load) { return load >= kOneBus; }

// A load meter of a generator at TEST shows the test load.
constexpr i32 kGenTestLoad = 50;

// AC meter source selector positions.
namespace ac_meter {
constexpr u8 kOff = 0;
constexpr u8 kExtPwr = 1;
constexpr u8 kEssBus = 2;
constexpr u8 kEmergBus = 3;
constexpr u8 kBus1 = 4;
constexpr u8 kBus2 = 5;
constexpr u8 kGen1 = 6;
constexpr u8 kGen2 = 7;
constexpr u8 kApuGen = 8;
}  // namespace ac_meter

// Whether the source the AC meters are switched to is live (the phase selector changes nothing).
inline bool ac_meter_source_live() {
    const SharedState& s = shared;
    switch (s.ac_meter_sel) {
        case ac_meter::kExtPwr: return s.ext_pwr_on == 1;
        case ac_meter::kEssBus: return s.ac_ess_bus_normal == 1;
        case ac_meter::kEmergBus: return s.ac_ess_bus_powered == 1;
        case ac_meter::kBus1: return s.ac_bus_1_powered == 1;
        case ac_meter::kBus2: return s.ac_bus_2_powered == 1;
        case ac_meter::kGen1: return delivers(s.gen_1_load) || at_test(s.gen_1_ctl_sw);
        case ac_meter::kGen2: return delivers(s.gen_2_load) || at_test(s.gen_2_ctl_sw);
        case ac_meter::kApuGen: return delivers(s.apu_gen_avail) || at_test(s.apu_gen_ctl_sw);
        default: return false;
    }
}

// A load meter's needle: the generator's load, or the test load while its switch is at TEST.
// The load meters' scale, percent.
constexpr i32 kLoadMeterMin = 0;
constexpr i32 kLoadMeterMax = 200;
inline double load_meter_reading(i32& load, u8 gen_switch) {
    i32 test_load = kGenTestLoad;
    return clamp_back(at_test(gen_switch) ? test_load : load, kLoadMeterMin, kLoadMeterMax);
}

}  // namespace tarvenol::elec
