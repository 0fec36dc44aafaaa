// tarvenol compass_t418: the standby compass. Its card turns against the heading; a click on it
// switches the compass light.
#include "module/gauge.h"

namespace {

using namespace tarvenol;

constexpr double kFullCircle = 360.0;

#define COMPASS_STATE(X) X(u8, compass_light_on, 0)
TARVENOL_PRIVATE_STATE(COMPASS_STATE)

// The card reads 360 - H; a heading that gives no place on the card (out of range, NaN) reads 0.
double card_position(double heading) {
    const double v = kFullCircle - heading;
    return v >= 0.0 && v <= kFullCircle ? v : 0.0;
}

// The card seen through the bowl's window, the lubber wire across it.
constexpr Box kWindow = at(10, 28, 130, 52);
constexpr double kPixelsPerDegree = 3.0;
Background background{panel("STBY COMPASS", 92)};
MovingImage card{"compass_card", [] { return card_position(read(sim::heading_deg)); }, nullptr,
                 compass_card(kWindow, kPixelsPerDegree)};
MovingImage bowl{"compass_bowl", [] { return 1.0; }, nullptr, face_symbol(kWindow, kLubberWire)};

void light_switch() {
    if (st.compass_light_on == 0) {
        send(key::compass_light_on);
        st.compass_light_on = 1;
    } else {
        send(key::compass_light_off);
        st.compass_light_on = 0;
    }
}

constexpr std::array areas{area<&light_switch>("light", Cursor::hand)};

}  // namespace

TARVENOL_GAUGE(compass, "tarvenol compass_t418", 75, nullptr, areas, st_table, &reset_private_state, background,
               card, bowl);
