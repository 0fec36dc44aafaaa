// A panel window button: shown while the crew has the window buttons out (a click on the
// autopilot-off light), and a click opens or closes its panel window.
#pragma once

#include "module/cockpit_layout.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace tarvenol::window_button {

template <Image& Picture>
void tick() {
    Picture.show(shared.panel_toggles_shown == 1);
}

template <u32 Window>
void click() {
    toggle_window(Window);
}

}  // namespace tarvenol::window_button
