// The four position instruments under test: their buses and the hydraulic systems held before every
// gauge's tick, and module variables by name.
#pragma once

#include "testbed.h"

namespace tarvenol::testing {

class PositionInstruments : public ::testing::Test {
protected:
    TestBed bed;
    u8 dc = 1;
    u8 ac_1 = 1;
    u8 ac_2 = 1;
    u8 blue = 1;
    u8 green = 1;
    u8 yellow = 1;

    PositionInstruments() {
        bed.host().before_each_gauge = [this] {
            shared.batt_bus_powered = dc;
            shared.ac_bus_1_powered = ac_1;
            shared.ac_bus_2_powered = ac_2;
            shared.hyd_blue_status = blue;
            shared.hyd_green_status = green;
            shared.hyd_yellow_status = yellow;
        };
    }

    double var(const char* name) { return read_var(*find_var(name)); }
    void set_var(const char* name, double v) { write_var(*find_var(name), v); }
    template <class Var>
    void sim(Var variable, double v) { bed.sim().set(variable, v); }
    double counter() { return bed.sim().get(sim::tick_counter); }
};

}  // namespace tarvenol::testing
