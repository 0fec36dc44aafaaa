// The clock, marker, gear and weight instruments under test: their buses held before every gauge's
// tick, module variables by name.
#pragma once

#include "testbed.h"

namespace tarvenol::testing {

class Instruments : public ::testing::Test {
protected:
    TestBed bed;
    u8 batt_bus = 1;
    u8 dc = 1;
    u8 batt_1 = 0;      // battery 1 switch OFF: the clock lives on the battery bus alone
    u32 charge = 1800;

    Instruments() {
        bed.host().before_each_gauge = [this] {
            shared.batt_bus_powered = batt_bus;
            shared.dc_bus_powered = dc;
            shared.batt_1_sw = batt_1;
            shared.batt_charge = charge;
        };
    }

    double var(const char* name) { return read_var(*find_var(name)); }
    void set_var(const char* name, double v) { write_var(*find_var(name), v); }
    template <class Var>
    void sim(Var variable, double v) { bed.sim().set(variable, v); }
    std::string text(const char* element) { return bed.text("tarvenol chrono_t418", element); }
    bool lit(const char* gauge, const char* element) { return bed.shown(gauge, element); }
};

}  // namespace tarvenol::testing
