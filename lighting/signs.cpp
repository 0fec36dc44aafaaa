// tarvenol signs_t418: the SEAT BELTS and NO SMOKING sign switches. The cabin hears a high chime
// when a sign comes on and a low chime when it goes off, while the DC essential bus is powered.
#include "module/controls.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

#define SIGNS_STATE(X)              \
    X(u8, sign_seat_belts_sw, 0, kFlag)    \
    X(u8, sign_no_smoking_sw, 0, kFlag)
TARVENOL_PRIVATE_STATE(SIGNS_STATE)

Background background{panel("SIGNS", 120)};
SwitchImages<2> seat_belts{lever("BELTS", switch_box(column(0, 2, 114), 40)), "seat_belts.off", "seat_belts.on"};
SwitchImages<2> no_smoking{lever("NO SMK", switch_box(column(1, 2, 114), 40)), "no_smoking.off", "no_smoking.on"};

template <auto Member, u8 Position>
void sign_switch() {
    u8& sign = st.*Member;
    if (sign == Position) return;
    set_switch(sign, Position);
    if (shared.batt_bus_powered == 1) snd::play_once(Position == 1 ? snd::HI : snd::LO);
}

void tick() {
    seat_belts.show(st.sign_seat_belts_sw);
    no_smoking.show(st.sign_no_smoking_sw);
}

constexpr std::array areas{
    area<&sign_switch<&State::sign_seat_belts_sw, 1>>("seat_belts.on", Cursor::up),
    area<&sign_switch<&State::sign_seat_belts_sw, 0>>("seat_belts.off", Cursor::down),
    area<&sign_switch<&State::sign_no_smoking_sw, 1>>("no_smoking.on", Cursor::up),
    area<&sign_switch<&State::sign_no_smoking_sw, 0>>("no_smoking.off", Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(signs, "tarvenol signs_t418", 57, &tick_callback<&tick>, areas, st_table, &reset_private_state,
               background, seat_belts, no_smoking);
