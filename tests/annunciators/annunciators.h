// The autoland, disconnect and flight mode annunciators under test: the battery bus and the mode
// bytes held for every gauge's tick (whatever the mode logic would compute), the flash of a light
// recorded tick by tick.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "sound/mixer.h"
#include "testbed.h"

namespace tarvenol::testing {

constexpr const char* kApOff = "tarvenol voy_ap_off_t418";
constexpr const char* kLandLight = "tarvenol autoland_light_1_t418";
constexpr const char* kAutolandWarn = "tarvenol autoland_light_2_t418";
constexpr const char* kGaLight = "tarvenol ga_light_t418";
constexpr const char* kLocDev = "tarvenol autoland_ecart_loc_t418";
constexpr const char* kGsDev = "tarvenol autoland_ecart_gs_t418";
constexpr const char* kIdpp = "tarvenol idpp_t418";

class Annunciators : public ::testing::Test {
public:
    TestBed bed;
    u8 batt = 1;
    std::function<void()> modes;  // mode bytes held before every gauge's tick

    Annunciators() {
        bed.host().before_each_gauge = [this] {
            shared.batt_bus_powered = batt;
            if (modes) modes();
        };
    }

    // Ticks n frames, recording whether the element is shown after each.
    std::string trace(const char* gauge, const char* element, int n) {
        std::string seen;
        for (int i = 0; i < n; ++i) {
            bed.tick();
            seen += bed.shown(gauge, element) ? '#' : '.';
        }
        return seen;
    }
    // The 4 on / 4 off flash over n ticks from its start.
    static std::string flashing(int n) {
        std::string s;
        for (int t = 0; t < n; ++t) s += t % 8 < 4 ? '#' : '.';
        return s;
    }
    void skip_ticks(int n) {
        bed.host().hold(sim::tick_counter.token);
        bed.sim().set(sim::tick_counter, bed.sim().get(sim::tick_counter) + n);
        bed.tick();
        bed.host().release(sim::tick_counter.token);
    }
    static u32 plays(const char* sound) { return snd::mixer::state(sound).play_once_requests; }
};

}  // namespace tarvenol::testing
