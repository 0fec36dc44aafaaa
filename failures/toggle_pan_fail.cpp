// tarvenol toggle_pan_fail_t418: the window button that opens and closes the FAILURES panel.
#include "failures/toggle_pan_button.h"

namespace {

using namespace tarvenol;

constexpr u32 kWindow = cockpit::kFailureWindow;

Background background;
Image button_picture{"window_button", button(Tone::white, "FAILURES")};

constexpr std::array areas{area<&window_button::click<kWindow>>("window", Cursor::hand)};

}  // namespace

TARVENOL_GAUGE(toggle_pan_fail, "tarvenol toggle_pan_fail_t418", 201, &tick_callback<&window_button::tick<button_picture>>,
               areas, no_vars, nullptr, background, button_picture);
