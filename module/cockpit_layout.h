// The cockpit's layout, declared once: the main panel and the pop-up panel windows (identifier,
// title, size, where each opens on the screen, which the flight deck lighting opens at load and
// which the start-up setting closes again), and where every gauge sits on which window. Sizes and
// places are in millimetres, as the gauges declare their widths; a picture has 2 pixels to the
// millimetre. The panel window buttons, the start-up code, the failure panel, the master warning,
// the sample panel configuration, the pictures and the live page all take windows from here.
#pragma once

#include <cstdint>
#include <span>

namespace tarvenol::cockpit {

using WindowId = std::uint32_t;

// The panel windows, as the aircraft's panel configuration identifies them.
inline constexpr WindowId kMainPanel = 0;
inline constexpr WindowId kOverheadWindow = 10030;
inline constexpr WindowId kPedestalWindow = 10040;
inline constexpr WindowId kRadioWindow = 10050;
inline constexpr WindowId kEngineerWindow = 10060;
inline constexpr WindowId kGpsWindow = 10080;
inline constexpr WindowId kMasterWarningWindow = 10090;
inline constexpr WindowId kFailureWindow = 10100;

// Where a pop-up window opens on the screen: the panel configuration's nine positions.
enum class Opens : std::uint8_t { top_left, top, top_right, left, centre, right, bottom_left, bottom, bottom_right };

struct Window {
    WindowId id;
    const char* title;
    int w_mm, h_mm;
    Opens opens;
    bool opened_at_load;        // the flight deck lighting opens it on its first tick
    bool closed_after_setup;    // the start-up cockpit setting closes it again
};

// Main panel first, then the pop-ups in the order they are opened at load.
std::span<const Window> windows();
const Window* find_window(WindowId id);

struct Place {
    int gauge;  // Linkage position (GaugeIndex)
    WindowId window;
    int x_mm, y_mm;
};

// Every gauge's place, grouped by window.
std::span<const Place> places();
// The place of the gauge at this Linkage position; nullptr if it has none.
const Place* place_of(int gauge);

inline constexpr int kPixelsPerMm = 2;

}  // namespace tarvenol::cockpit
