// tarvenol gear_ind_t418: the landing gear lights. For the left main, nose and right main gear a
// green arrow (down and locked, or still locked down while the gear is selected up), a red light
// (gear in transit or disagreeing with the handle) and an amber DOOR light.
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

// Gear extension, raw: 0 retracted to above 16000 locked down.
constexpr double kUpLocked = 16000.0;
constexpr double kUpGreenFrom = 9000.0;
constexpr double kUpRedFrom = 3000.0;
constexpr double kUpDoorFrom = 10.0;
constexpr double kDownRedTo = 300.0;
constexpr double kDownRedDoorTo = 13000.0;
constexpr double kDownLocked = 16000.0;

struct Lamps {
    bool green;
    bool red;
    bool door;
};

// The three lights of one gear for the handle position and the gear's extension.
Lamps gear_lamps(bool handle_down, double extension, bool lamp_test) {
    const double p = extension == extension ? extension : 0.0;  // a gear with no reading is up
    if (!handle_down) {
        if (p >= kUpLocked) return {true, true, false};
        if (p >= kUpGreenFrom) return {true, true, true};
        if (p >= kUpRedFrom) return {false, true, true};
        if (p >= kUpDoorFrom) return {false, false, true};
        return {lamp_test, lamp_test, lamp_test};
    }
    if (p <= kDownRedTo) return {false, true, false};
    if (p <= kDownRedDoorTo) return {false, true, true};
    if (p <= kDownLocked) return {true, false, true};
    return {true, lamp_test, lamp_test};
}

Background background{panel("GEAR")};
Lights<3> green{std::array<Look, 3>{light(Tone::advisory, "L"), light(Tone::advisory, "N"), light(Tone::advisory, "R")},
                "left_green", "nose_green", "right_green"};
Lights<3> red{std::array<Look, 3>{light(Tone::warning, nullptr), light(Tone::warning, nullptr),
                                  light(Tone::warning, nullptr)},
              "left_red", "nose_red", "right_red"};
Lights<3> door{std::array<Look, 3>{light(Tone::caution, "DOOR"), light(Tone::caution, "DOOR"),
                                   light(Tone::caution, "DOOR")},
               "left_door", "nose_door", "right_door"};

void tick() {
    const bool powered = shared.batt_bus_powered != 0;
    const double extension[3] = {read(sim::gear_left_pos), read(sim::gear_nose_pos), read(sim::gear_right_pos)};
    const bool handle_down = !is_off(read(sim::gear_handle));
    const bool lamp_test = shared.ann_lt_test == 1;
    for (int i = 0; i < 3; ++i) {
        const Lamps l = powered ? gear_lamps(handle_down, extension[i], lamp_test) : Lamps{};
        green[i].show(l.green);
        red[i].show(l.red);
        door[i].show(l.door);
    }
}

}  // namespace

TARVENOL_GAUGE(gear_ind, "tarvenol gear_ind_t418", 72, &tick_callback<&tick>, no_areas, no_vars, nullptr, background,
               green, red, door);
