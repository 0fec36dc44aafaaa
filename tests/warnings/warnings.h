// The warning gauges under test: the battery bus, the air data and every master warning condition
// held before every gauge's tick (so the systems that own them cannot change them under the test),
// the sounds as the mixer hears them, and module variables by name.
#pragma once

#include <vector>

#include "testbed.h"
#include "warnings/master_warning.h"

namespace tarvenol::testing {

constexpr const char* kGpws = "tarvenol gpws_t418";
constexpr const char* kMwp1 = "tarvenol mwp_1_t418";
constexpr const char* kMwp1Big = "tarvenol mwp_1_big_t418";
constexpr const char* kMwp2 = "tarvenol mwp_2_t418";
constexpr const char* kMwp2Big = "tarvenol mwp_2_big_t418";

class Warnings : public ::testing::Test {
protected:
    TestBed bed;
    u8 batt = 1;
    double ra = 2000.0;  // radio altitude, ft
    double vs = 0.0;     // vertical speed, ft/min
    u8 go_around = 0;

    Warnings() {
        // Every aural input clear unless a test raises it.
#define TARVENOL_TEST_CONDITION(name, condition, cls, panel, light) hold(condition, 0);
        using mw::state;
        TARVENOL_MW_AURAL_INPUTS(TARVENOL_TEST_CONDITION)
#undef TARVENOL_TEST_CONDITION
        hold(shared.clacker_req, 0);
        hold(shared.mw_park_brake, 0);
        bed.host().before_each_gauge = [this] {
            shared.batt_bus_powered = batt;
            shared.dc_bus_powered = batt;
            shared.radio_alt_ft = ra;
            shared.vert_speed_fpm = vs;
            shared.afs_go_around = go_around;
            for (const Held& h : held_) *h.var = h.value;
        };
    }

    // Holds a module byte at a value before every gauge's tick (again: changes the value).
    void hold(u8& var, u8 value) {
        for (Held& h : held_)
            if (h.var == &var) {
                h.value = value;
                return;
            }
        held_.push_back({&var, value});
    }
    void release(u8& var) {
        for (std::size_t i = 0; i < held_.size(); ++i)
            if (held_[i].var == &var) held_.erase(held_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    void raise(u8& condition) { hold(condition, 1); }
    void clear(u8& condition) { hold(condition, 0); }

    template <class Var>
    void sim(Var variable, double v) { bed.sim().set(variable, v); }
    double var(const char* name) { return read_var(*find_var(name)); }
    void set_var(const char* name, double v) { write_var(*find_var(name), v); }

    static u32 plays(const char* sound) { return snd::mixer::state(sound).play_once_requests; }
    static bool looping(const char* sound) { return snd::mixer::state(sound).looping; }
    bool lit(const char* gauge, const char* light) { return bed.shown(gauge, light); }

private:
    struct Held {
        u8* var;
        u8 value;
    };
    std::vector<Held> held_;
};

}  // namespace tarvenol::testing
