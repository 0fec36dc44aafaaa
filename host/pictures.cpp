#include "host/pictures.h"

#include "module/cockpit_layout.h"
#include "module/module_state.h"

namespace tarvenol::host {
namespace {

constexpr int kPx = cockpit::kPixelsPerMm;

// A gauge's height in whole millimetres, as the panel configuration gives it.
int height_mm(const GaugeInfo& g) { return (g.size->h + kPx - 1) / kPx; }

}  // namespace

const std::vector<std::uint32_t>& panel_windows() {
    static const std::vector<std::uint32_t> ids = [] {
        std::vector<std::uint32_t> v;
        for (const cockpit::Window& w : cockpit::windows()) v.push_back(w.id);
        return v;
    }();
    return ids;
}

const char* window_title(std::uint32_t window) {
    const cockpit::Window* w = cockpit::find_window(window);
    return w ? w->title : "panel window";
}

std::vector<Placement> arrange(std::uint32_t window, int& w, int& h) {
    std::vector<Placement> out;
    const cockpit::Window* win = cockpit::find_window(window);
    w = win ? win->w_mm * kPx : 0;
    h = win ? win->h_mm * kPx : 0;
    const auto all = gauges();
    for (const cockpit::Place& p : cockpit::places())
        if (p.window == window && p.gauge >= 0 && static_cast<std::size_t>(p.gauge) < all.size())
            out.push_back({all[p.gauge], p.x_mm * kPx, p.y_mm * kPx});
    return out;
}

std::string panel_configuration() {
    std::string s =
        "// Sample panel configuration for the tarvenol cockpit (written by cockpit-sim panel-config):\n"
        "// every gauge of tarvenol.gau on the main panel or its panel window, in millimetres, at the size\n"
        "// of its bitmaps (2 pixels to the millimetre).\n"
        "[Window Titles]\n";
    const auto wins = cockpit::windows();
    char line[256];
    for (std::size_t i = 0; i < wins.size(); ++i) {
        std::snprintf(line, sizeof line, "Window%02zu=%s\n", i, wins[i].title);
        s += line;
    }
    const auto all = gauges();
    for (std::size_t i = 0; i < wins.size(); ++i) {
        const cockpit::Window& win = wins[i];
        std::snprintf(line, sizeof line, "\n[Window%02zu]\nsize_mm=%d,%d\nposition=%d\nvisible=%d\n", i, win.w_mm,
                      win.h_mm, static_cast<int>(win.opens), win.id == kMainPanel ? 1 : 0);
        s += line;
        if (win.id != kMainPanel) {
            std::snprintf(line, sizeof line, "ident=%u\n", win.id);
            s += line;
        }
        int n = 0;
        for (const cockpit::Place& p : cockpit::places()) {
            if (p.window != win.id) continue;
            const GaugeInfo& g = *all[p.gauge];
            std::snprintf(line, sizeof line, "gauge%02d=tarvenol!%s, %d, %d, %d, %d\n", n++, g.name, p.x_mm, p.y_mm,
                          g.size->w / kPx, height_mm(g));
            s += line;
        }
    }
    return s;
}

}  // namespace tarvenol::host
