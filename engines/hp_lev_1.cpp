// tarvenol hp_lev_1_t418: engine 1's HP fuel shut-off lever. It takes its first position from
// the simulator's mixture lever (so a flight loaded with the engine running keeps it running) and
// then keeps the simulator's mixture rich while it is open and the battery bus is powered, lean
// otherwise.
#include "engines/hp_lever.h"

namespace {

using namespace tarvenol;

constexpr int kMixtureLever = 130;  // 0..16384
constexpr eng::HpLever kLever{/*mixture rich*/ 0x101BF, /*mixture lean*/ 0x101C3};

#define HP_LEVER_STATE(X) X(u8, hp_lever_1_initialised, 0)
TARVENOL_PRIVATE_STATE(HP_LEVER_STATE)

Background background;
SwitchImages<2> lever_images{"hp_lever_1.shut", "hp_lever_1.open"};

void tick() {
    eng::hp_lever_tick<kMixtureLever>(kLever, shared.hp_lever_1, st.hp_lever_1_initialised);
    lever_images.show(shared.hp_lever_1);
}

constexpr std::array areas{area<[] { shared.hp_lever_1 = shared.hp_lever_1 ? 0 : 1; }>("lever", Cursor::hand)};

}  // namespace

TARVENOL_GAUGE(hp_lev_1, "tarvenol hp_lev_1_t418", 35, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, lever_images);
