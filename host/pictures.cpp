#include "host/pictures.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "module/module_state.h"

namespace tarvenol::host {
namespace {

constexpr int kGap = 4;
constexpr int kMainRowWidth = 1600;
constexpr int kWindowRowWidth = 1000;

struct WindowInfo {
    std::uint32_t id;
    const char* title;
};
const WindowInfo kWindows[] = {
    {kMainPanel, "main panel"},        {10030, "overhead panel"},    {10040, "pedestal"},
    {10050, "radio panel"},            {10060, "flight engineer's panel"}, {10080, "GPS and drives"},
    {10090, "master warning panels"},  {10100, "failure panel"},
};

// Which window a gauge is on, by the start of its identifier.
struct Home {
    const char* prefix;
    std::uint32_t window;
};
const Home kHomes[] = {
    {"elec_", 10060},        {"apu", 10060},          {"fuel_", 10060},        {"hydrau_", 10060},
    {"engomn_", 10060},      {"plane_weight", 10060}, {"probes_heat", 10030},  {"servo_controls", 10030},
    {"rudder_travel", 10030}, {"lo_spd_ail", 10030},  {"yaw", 10030},          {"wing_deice", 10030},
    {"nacelle_deice", 10030}, {"eng_start", 10030},   {"panel_light", 10030},  {"flt_deck_lt", 10030},
    {"ext_lt", 10030},       {"signs", 10030},        {"map_lt", 10030},       {"hp_lev_", 10040},
    {"spd_brk_lev", 10040},  {"throttles", 10040},    {"flaps_lev", 10040},    {"park_brk_lev", 10040},
    {"radio_", 10050},       {"gps_drives", 10080},   {"mwp_1_big", 10090},    {"mwp_2_big", 10090},
    {"failures", 10100},
};

std::string_view identifier(const GaugeInfo& g) {
    std::string_view n = g.name;
    const auto blank = n.find(' ');
    if (blank != std::string_view::npos) n.remove_prefix(blank + 1);
    return n;
}

}  // namespace

const std::vector<std::uint32_t>& panel_windows() {
    static const std::vector<std::uint32_t> ids = [] {
        std::vector<std::uint32_t> v;
        for (const WindowInfo& w : kWindows) v.push_back(w.id);
        return v;
    }();
    return ids;
}

const char* window_title(std::uint32_t window) {
    for (const WindowInfo& w : kWindows)
        if (w.id == window) return w.title;
    return "panel window";
}

std::uint32_t window_of(const GaugeInfo& gauge) {
    const std::string_view id = identifier(gauge);
    for (const Home& h : kHomes)
        if (id.substr(0, std::strlen(h.prefix)) == h.prefix) return h.window;
    return kMainPanel;
}

std::vector<Placement> arrange(std::uint32_t window, int& w, int& h) {
    const int row_width = window == kMainPanel ? kMainRowWidth : kWindowRowWidth;
    std::vector<Placement> out;
    int x = kGap, y = kGap, row_h = 0;
    w = 0;
    for (const GaugeInfo* g : gauges()) {
        if (window_of(*g) != window) continue;
        if (x > kGap && x + g->size->w > row_width) {
            x = kGap;
            y += row_h + kGap;
            row_h = 0;
        }
        out.push_back({g, x, y});
        x += g->size->w + kGap;
        w = std::max(w, x);
        row_h = std::max(row_h, static_cast<int>(g->size->h));
    }
    h = y + row_h + kGap;
    return out;
}

std::string panel_configuration() {
    std::string s =
        "// Sample panel configuration for the tarvenol cockpit (written by cockpit-sim panel-config):\n"
        "// every gauge of tarvenol.gau on the main panel or its panel window, at the size of its bitmaps.\n"
        "[Window Titles]\n";
    const auto& ids = panel_windows();
    char line[256];
    for (std::size_t i = 0; i < ids.size(); ++i) {
        std::snprintf(line, sizeof line, "Window%02zu=%s\n", i, window_title(ids[i]));
        s += line;
    }
    for (std::size_t i = 0; i < ids.size(); ++i) {
        int w = 0, h = 0;
        const auto placed = arrange(ids[i], w, h);
        std::snprintf(line, sizeof line, "\n[Window%02zu]\nsize_mm=%d,%d\nposition=0\nvisible=%d\n", i, w, h, i == 0 ? 1 : 0);
        s += line;
        if (ids[i] != kMainPanel) {
            std::snprintf(line, sizeof line, "ident=%u\n", ids[i]);
            s += line;
        }
        int n = 0;
        for (const Placement& p : placed) {
            std::snprintf(line, sizeof line, "gauge%02d=tarvenol!%s, %d, %d, %d, %d\n", n++, p.gauge->name, p.x, p.y,
                          p.gauge->size->w, p.gauge->size->h);
            s += line;
        }
    }
    return s;
}

}  // namespace tarvenol::host
