// The automatic flight gauges under test: power, hydraulics, yaw dampers and pitch trims held for
// every gauge's tick, the flight director's outputs held where a test says so, an autopilot engaged
// through its lever, and the key events of the last tick with their values.
#pragma once

#include <optional>
#include <vector>

#include "testbed.h"

namespace tarvenol::testing {

constexpr const char* kApMaster = "tarvenol ap_master_t418";
constexpr const char* kAdiFd = "tarvenol adi_fd_t418";
constexpr const char* kAdiSec = "tarvenol adi_sec_t418";
constexpr const char* kFdBarsSw = "tarvenol fd_bars_sw_t418";
constexpr double kFpmUnits = 1.30048;  // simulator vertical-speed units per ft/min
constexpr u32 kGlideSlopeStation = 0x40;
constexpr u32 kLocalizerStation = 0x80;

class Afs : public ::testing::Test {
public:
    TestBed bed;
    u8 power = 1;
    u8 green = 1;
    u8 yellow = 1;
    u8 yaw_dampers = 2;
    u8 pitch_trims = 2;
    u8 norm_eqpt = 1;
    u8 ess_level = 2;
    std::optional<double> radio_alt_ft = 2000.0;
    std::optional<double> fd_vs_cmd;
    std::optional<u8> gs_captured;
    std::optional<u8> nav_captured;
    std::optional<u8> athr_mode;

    Afs() {
        // Engines turning and the hydraulic systems full, so that the hydraulic panel loses nothing.
        bed.sim().set(sim::eng1_n2_pct, 60.0);
        bed.sim().set(sim::eng2_n2_pct, 60.0);
        bed.host().before_each_gauge = [this] {
            auto& s = shared;
            s.hyd_blue_press = kFullPressure;
            s.hyd_yellow_press = kFullPressure;
            write_var(*green_branch_1_, kFullPressure);
            write_var(*green_branch_2_, kFullPressure);
            s.batt_bus_powered = power;
            s.dc_bus_powered = power;
            s.ac_bus_1_powered = power;
            s.ac_bus_2_powered = power;
            s.ac_ess_bus_normal = power;
            s.ac_ess_bus_powered = power;
            s.hyd_green_status = green;
            s.hyd_yellow_status = yellow;
            s.yaw_damper_count = yaw_dampers;
            s.pitch_trim_count = pitch_trims;
            s.norm_eqpt_ess_powered = norm_eqpt;
            s.norm_eqpt_bus2_powered = norm_eqpt;
            s.ess_equipment_level = ess_level;
            if (radio_alt_ft) s.radio_alt_ft = *radio_alt_ft;
            if (fd_vs_cmd) s.fd_vs_cmd = *fd_vs_cmd;
            if (gs_captured) s.gs_captured = *gs_captured;
            if (nav_captured) s.nav_captured = *nav_captured;
            if (athr_mode) s.athr_mode = *athr_mode;
        };
    }

    template <class Var>
    void sim(Var variable, double v) {
        bed.sim().set(variable, v);
    }
    void station(u32 flags, double signal = 1.0) {
        bed.sim().set(sim::nav1_flags, static_cast<i32>(flags));
        sim(sim::nav1_signal, signal);
    }
    double var(const char* name) { return read_var(*find_var(name)); }
    void set_var(const char* name, double v) { write_var(*find_var(name), v); }
    // A click sees the held conditions as the last gauge of the frame left them.
    void click(const char* area) {
        bed.host().before_each_gauge();
        bed.click(kApMaster, area);
    }

    // Autopilot `lever` in command, the simulator's autopilot on, airborne.
    void engage(const char* lever = "ap_1.on") {
        sim(sim::on_ground, 0.0);
        click(lever);
        sim(sim::ap_master, 1.0);
        bed.tick();
    }

    // The values of every key event `event` sent during the last tick, in order.
    std::vector<i32> values(KeyEvent event) {
        std::vector<i32> v;
        for (const auto& k : bed.host().key_events())
            if (k.id == event.id) v.push_back(static_cast<i32>(k.value));
        return v;
    }
    std::vector<u32> ids() {
        std::vector<u32> v;
        for (const auto& k : bed.host().key_events()) v.push_back(k.id);
        return v;
    }
    double counter() { return bed.sim().get(sim::tick_counter); }
    void vs_fpm(double fpm) { sim(sim::vs_ms256, fpm * kFpmUnits); }
    // Radio altitude now (for a click) and held for the ticks to come.
    void ralt(double ft) {
        radio_alt_ft = ft;
        shared.radio_alt_ft = ft;
    }

    // The key events of the simulator's autopilot sent during the last tick, in order.
    std::vector<u32> autopilot_ids() {
        const KeyEvent autopilot[] = {key::ap_master_on,        key::ap_master_off,       key::ap_hold_off_10118,
                                      key::ap_lateral_hold_off, key::ap_heading_hold_off, key::ap_hold_off_1011b,
                                      key::ap_approach_hold_off, key::ap_hold_off_10116,  key::yaw_damper_on,
                                      key::yaw_damper_off,      key::ap_approach_hold_on, key::ap_lateral_hold_on};
        std::vector<u32> v;
        const abi::GAUGEHDR* master = TestBed::gauge("tarvenol ap_master_t418").header;
        for (const auto& k : bed.host().key_events())
            for (const KeyEvent& a : autopilot)
                if (k.id == a.id && k.sender == master) v.push_back(k.id);
        return v;
    }

private:
    static constexpr double kFullPressure = 3000.0;
    const VarRef* green_branch_1_ = find_var("hyd_green_branch_1_press");
    const VarRef* green_branch_2_ = find_var("hyd_green_branch_2_press");
};

}  // namespace tarvenol::testing
