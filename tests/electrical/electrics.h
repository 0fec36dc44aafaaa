// The electrical system under test: a fresh cockpit whose battery clock (simulator variable 604)
// is held and stepped by the test, with helpers that set up the situations the crew meets —
// batteries on or off, engines turning, generators on, the APU running, on the ground standing
// still — and read what the panels show and play.
#pragma once

#include "module/module_state.h"
#include "sound/mixer.h"
#include "testbed.h"

namespace tarvenol::testing {

constexpr const char* kBattPanel = "tarvenol elec_batt_t418";
constexpr const char* kDcPanel = "tarvenol elec_dc_bus_t418";
constexpr const char* kDcSelector = "tarvenol elec_sel_ind_dc_t418";
constexpr const char* kDcVoltmeter = "tarvenol elec_ind_dc_v_t418";
constexpr const char* kDcAmmeter = "tarvenol elec_ind_dc_amps_t418";
constexpr const char* kExtPwrPanel = "tarvenol elec_ext_pwr_t418";
constexpr const char* kGenPanel = "tarvenol elec_gen_t418";
constexpr const char* kAcPanel = "tarvenol elec_ac_bus_t418";
constexpr const char* kAcSelector = "tarvenol elec_sel_ind_ac_t418";
constexpr const char* kAcVoltmeter = "tarvenol elec_ind_ac_v_t418";
constexpr const char* kAcFreqMeter = "tarvenol elec_ind_ac_frq_t418";
constexpr const char* kLoadMeter1 = "tarvenol elec_ind_ac_load1_t418";
constexpr const char* kLoadMeter2 = "tarvenol elec_ind_ac_load2_t418";
constexpr const char* kLoadMeterApu = "tarvenol elec_ind_ac_loadapu_t418";

namespace token {
constexpr int tick_counter = 1;
constexpr int on_ground = 60;
constexpr int velocity_x = 551;
constexpr int velocity_z = 552;
constexpr int eng1_n1 = 624;
constexpr int eng1_n2 = 625;
constexpr int eng2_n1 = 643;
constexpr int eng2_n2 = 644;
constexpr int clock = 604;
constexpr int sim_bus_volts = 759;
}  // namespace token


class Electrics : public ::testing::Test {
protected:
    static constexpr double kClockStart = 1000.0;

    TestBed bed;

    Electrics() {
        bed.host().hold(token::clock);
        set_clock(kClockStart);
        bed.sim().set_f64(token::sim_bus_volts, 28.0);
    }

    // --- Time --------------------------------------------------------------------------------
    // Frames with the battery clock where it stands.
    void tick(int frames = 1) {
        for (int i = 0; i < frames; ++i) frame();
    }
    // One frame per clock second, the clock one second further on each.
    void run_clock(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            set_clock(clock_ + 1.0);
            frame();
        }
    }
    void set_clock(double seconds) {
        clock_ = seconds;
        bed.sim().set_f64(token::clock, seconds);
    }
    double clock() const { return clock_; }

    // --- Situations --------------------------------------------------------------------------
    void batteries(const char* position) {
        for (const char* b : {"batt_1.", "batt_2.", "batt_3."}) bed.click(kBattPanel, (std::string(b) + position).c_str());
    }
    void with_batteries_off() { batteries("off"); }
    void with_batteries_on() { batteries("norm"); }

    void engine_1_n1(double n1) { bed.sim().set_f64(token::eng1_n1, n1); }
    void engine_2_n1(double n1) { bed.sim().set_f64(token::eng2_n1, n1); }
    void with_engines_running() {
        for (int t : {token::eng1_n1, token::eng2_n1}) bed.sim().set_f64(t, 30.0);
        for (int t : {token::eng1_n2, token::eng2_n2}) bed.sim().set_f64(t, 65.0);
    }
    void with_engines_stopped() {
        for (int t : {token::eng1_n1, token::eng2_n1, token::eng1_n2, token::eng2_n2}) bed.sim().set_f64(t, 0.0);
    }
    void with_generators_on() {
        bed.click(kGenPanel, "gen_1.on");
        bed.click(kGenPanel, "gen_2.on");
    }
    // Both engines turning their generators, and the network settled on them.
    void with_engine_generators() {
        with_engines_running();
        with_generators_on();
        tick(6);
    }
    // The APU at speed (its own gauge is held available before every frame).
    void with_apu_running(bool running = true) { apu_running_ = running; }
    void on_ground_standing_still() {
        bed.sim().set_f64(token::on_ground, 1.0);
        bed.sim().set_f64(token::velocity_x, 0.0);
        bed.sim().set_f64(token::velocity_z, 0.0);
    }

    // --- What the cockpit shows and plays ----------------------------------------------------
    bool shown(const char* gauge, const char* element) { return bed.shown(gauge, element); }
    double value(const char* gauge, const char* element) { return bed.value(gauge, element); }
    double var(const char* name) {
        const VarRef* v = find_var(name);
        if (!v) throw std::runtime_error(std::string("no variable ") + name);
        return read_var(*v);
    }
    void set_var(const char* name, double value) {
        const VarRef* v = find_var(name);
        if (!v) throw std::runtime_error(std::string("no variable ") + name);
        write_var(*v, value);
    }
    static std::uint32_t clicks_played() { return snd::mixer::state("CLICK").play_once_requests; }

private:
    void frame() {
        if (apu_running_) shared.apu_bleed_avail = 1;
        bed.tick();
    }

    double clock_ = 0.0;
    bool apu_running_ = false;
};

}  // namespace tarvenol::testing
