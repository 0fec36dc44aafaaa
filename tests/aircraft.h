// The stand-in aircraft behind a test bed's cockpit: it answers the key events the gauges send
// (lights, windows, switches the simulator keeps), as the simulator would.
#pragma once

#include "host/aircraft_model.h"
#include "testbed.h"

namespace tarvenol::testing {

struct Aircraft {
    host::AircraftModel model;
    explicit Aircraft(TestBed& bed) : model(bed.host()) {
        bed.host().on_key_event = [this](const host::KeyEvent& k) { model.key_event(k.id, k.value); };
    }
    Aircraft(const Aircraft&) = delete;
    Aircraft& operator=(const Aircraft&) = delete;
};

}  // namespace tarvenol::testing
