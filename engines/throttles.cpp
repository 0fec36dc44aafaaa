// tarvenol throttles_t418: the two thrust levers. A click (held, it repeats) moves an engine's
// lever a step up or down in the simulator; the lever pictures follow the simulator's positions.
#include "module/gauge.h"

namespace {

using namespace tarvenol;

// The two pictures of a lever move p x 100 / 1.45 and p x 100 / 1.88 pixels for a position p.
constexpr double kPercent = 100.0;
constexpr double kUpperScale = 1.45;
constexpr double kLowerScale = 1.88;
constexpr double kFullReverse = -1.0;
constexpr double kFullForward = 1.0;

// The simulator's lever position, kept within its travel for drawing.
double travel(double p) {
    if (!(p == p)) return 0.0;
    return p >= kFullForward ? kFullForward : p >= kFullReverse ? p : kFullReverse;
}

template <auto Lever, const double& Scale>
double lever_offset() {
    return travel(read(Lever)) * kPercent / Scale;
}

Background background{panel("THRUST")};
MovingImage lever_1_upper{"throttle_1_upper", nullptr, &lever_offset<sim::eng1_throttle_lever, kUpperScale>};
MovingImage lever_1_lower{"throttle_1_lower", nullptr, &lever_offset<sim::eng1_throttle_lever, kLowerScale>};
MovingImage lever_2_upper{"throttle_2_upper", nullptr, &lever_offset<sim::eng2_throttle_lever, kUpperScale>};
MovingImage lever_2_lower{"throttle_2_lower", nullptr, &lever_offset<sim::eng2_throttle_lever, kLowerScale>};

constexpr std::array areas{
    area<[] { send(key::eng1_throttle_up); }>("throttle_1.up", Cursor::up, Repeat::while_held),
    area<[] { send(key::eng1_throttle_down); }>("throttle_1.down", Cursor::down, Repeat::while_held),
    area<[] { send(key::eng2_throttle_up); }>("throttle_2.up", Cursor::up, Repeat::while_held),
    area<[] { send(key::eng2_throttle_down); }>("throttle_2.down", Cursor::down, Repeat::while_held),
};

}  // namespace

TARVENOL_GAUGE(throttles, "tarvenol throttles_t418", 58, &idle_callback, areas, no_vars, nullptr, background,
               lever_1_upper, lever_1_lower, lever_2_upper, lever_2_lower);
