// tarvenol toggle_pan_rad_t418: the window button that opens and closes the RADIO panel.
#include "failures/toggle_pan_button.h"

namespace {

using namespace tarvenol;

constexpr u32 kWindow = cockpit::kRadioWindow;

Background background;
Image button_picture{"window_button", button(Tone::white, "RADIO")};

constexpr std::array areas{area<&window_button::click<kWindow>>("window", Cursor::hand)};

}  // namespace

TARVENOL_GAUGE(toggle_pan_rad, "tarvenol toggle_pan_rad_t418", 132, &tick_callback<&window_button::tick<button_picture>>,
               areas, no_vars, nullptr, background, button_picture);
