#include "fuel/fuel_feed.h"

#include <iterator>

namespace tarvenol::fuel {

FeedState feed;

namespace {
#define TARVENOL_FEED_REF(type, name, init) var_ref(#name, feed.name),
const VarRef vars[] = {TARVENOL_FUEL_FEED_STATE(TARVENOL_FEED_REF)};
#undef TARVENOL_FEED_REF

// A click that moves a pump switch plays CLICK once.
void move(u8& pump, u8 position) {
    if (pump != position) snd::play_once(snd::CLICK);
    pump = position;
}
}  // namespace

VarTableView feed_vars() { return {vars, std::size(vars)}; }
void reset_feed() { feed = FeedState{}; }

void wing_pump_1_on(u8& pump_1, u8& pump_2) {
    move(pump_1, 1);
    pump_2 = 1;
}
void wing_pump_1_off(u8& pump_1, u8 pump_2, u8 center_pump) {
    if (center_pump + pump_2 != 0) move(pump_1, 0);
}
void wing_pump_2_on(u8& pump_2) { move(pump_2, 1); }
void wing_pump_2_off(u8& pump_1, u8& pump_2, u8 center_pump) {
    if (center_pump == 1) {
        move(pump_2, 0);
        pump_1 = 0;
    }
}
void center_pump_on(u8& center_pump) { move(center_pump, 1); }
void center_pump_off(u8& center_pump, u8 pump_1, u8 pump_2) {
    if (pump_1 + pump_2 != 0) move(center_pump, 0);
}

}  // namespace tarvenol::fuel
