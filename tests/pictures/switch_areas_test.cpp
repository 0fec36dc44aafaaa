// Click areas over every gauge sit on their drawings: a click at the centre of each drawn position
// of a switch hits the area that selects that position, every drawn switch has an area on it, and
// no area lies outside its gauge.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>

#include "module/module_state.h"

namespace tarvenol {
namespace {

std::string_view position_of(std::string_view name) {
    const auto dot = name.find('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

// The area the simulator's mouse list gives a point: the first child rectangle holding it.
int hit(const GaugeInfo& g, int x, int y) {
    for (std::size_t a = 0; a < g.area_count; ++a) {
        const abi::PIXBOX& r = g.rects[a + 1].relative_box;
        if (x >= r.x && y >= r.y && x < r.x + r.size_x && y < r.y + r.size_y) return static_cast<int>(a);
    }
    return -1;
}

bool names_position(const GaugeInfo& g, std::string_view position) {
    for (std::size_t a = 0; a < g.area_count; ++a)
        if (position_of(g.areas[a].name) == position) return true;
    return false;
}

TEST(SwitchAreas, a_click_on_every_drawn_switch_hits_that_switch) {
    for (const GaugeInfo* g : gauges()) {
        for (std::size_t i = 1; i < g->element_count; ++i) {
            const Look& l = g->elements[i]->look;
            if (l.draw != Draw::knob && !(l.draw == Draw::lever && l.position == 0)) continue;
            const Box b = l.box;
            if (g->area_count > 0) {
                EXPECT_GE(hit(*g, b.x + b.w / 2, b.y + b.h / 2), 0) << g->name << ": nothing to click on " << g->elements[i]->name;
            }
            if (l.draw != Draw::lever) continue;
            const int n = l.positions;
            for (int p = 0; p < n; ++p) {
                const ElementLink& picture = *g->elements[i + p];
                const std::string_view position = position_of(picture.name);
                if (!names_position(*g, position)) continue;
                const int y = b.y + (n - 1 - p) * b.h / n + b.h / (2 * n);
                const int a = hit(*g, b.x + b.w / 2, y);
                ASSERT_GE(a, 0) << g->name << ": " << picture.name << " has no area";
                EXPECT_EQ(position_of(g->areas[a].name), position) << g->name << ": " << picture.name << " hits " << g->areas[a].name;
                const abi::PIXBOX& r = g->rects[a + 1].relative_box;
                EXPECT_TRUE(r.x >= b.x && r.x + r.size_x <= b.x + b.w) << g->name << ": " << g->areas[a].name << " is off " << picture.name;
            }
        }
    }
}

TEST(SwitchAreas, every_area_lies_inside_its_gauge) {
    for (const GaugeInfo* g : gauges())
        for (std::size_t a = 0; a < g->area_count; ++a) {
            const abi::PIXBOX& r = g->rects[a + 1].relative_box;
            EXPECT_TRUE(r.size_x > 0 && r.size_y > 0 && r.x >= 0 && r.y >= 0 && r.x + r.size_x <= g->size->w &&
                        r.y + r.size_y <= g->size->h)
                << g->name << ": " << g->areas[a].name;
        }
}

}  // namespace
}  // namespace tarvenol

namespace tarvenol {
namespace {

struct Held {
    const char* gauge;
    const char* area;
    bool repeats;
};

bool repeats(const char* gauge, const char* area) {
    const GaugeInfo* g = find_gauge(gauge);
    std::size_t index = 0;
    if (!g || !find_area(*g, area, &index)) throw std::runtime_error(std::string(gauge) + " " + area);
    return (g->rects[index + 1].mouse_flags & abi::MOUSE_DOWN_REPEAT) != 0;
}

// Knobs and levers that wind a value go on while the button is held; switches, push buttons and
// selectors of discrete positions act once a click.
TEST(ClickAreas, the_knobs_and_levers_that_wind_a_value_repeat_while_held_and_nothing_else) {
    const Held cases[] = {
        {"tarvenol ap_alt_t418", "alt_sel.up_100", true},          {"tarvenol ap_hdg_t418", "hdg_sel.down_10", true},
        {"tarvenol ap_crs_t418", "crs.up_10", true},               {"tarvenol ap_ats_t418", "spd_coarse.down", true},
        {"tarvenol spd_brk_lev_t418", "spd_brk_lever.extend", true}, {"tarvenol failures_t418", "f1_delay.plus", true},
        {"tarvenol failures_t418", "f4_ias.minus", true},          {"tarvenol engomn_oil_qtty_2_t418", "marker.up", true},
        {"tarvenol radio_adf1_t418", "adf_units.down", true},      {"tarvenol radio_tsp_t418", "tsp_thousands.up", true},
        {"tarvenol n1_calc_t418", "flex_units.down", true},        {"tarvenol radio_snd_t418", "snd_master_vol.up", true},
        {"tarvenol alti_main_t418", "baro_knob.down", true},       {"tarvenol chrono_t418", "clock.hours_up", true},
        {"tarvenol flaps_lev_t418", "flaps_lever.down", false},    {"tarvenol gear_h_t418", "gear.down", false},
        {"tarvenol failures_t418", "f1.arm", false},               {"tarvenol spd_brk_lev_t418", "gnd_spoiler.arm", false},
        {"tarvenol radio_adf1_t418", "adf_test", false},           {"tarvenol chrono_t418", "chr", false},
    };
    for (const Held& c : cases) EXPECT_EQ(repeats(c.gauge, c.area), c.repeats) << c.gauge << " " << c.area;
    int areas = 0, repeating = 0;
    for (const GaugeInfo* g : gauges())
        for (std::size_t a = 0; a < g->area_count; ++a) {
            ++areas;
            repeating += (g->rects[a + 1].mouse_flags & abi::MOUSE_DOWN_REPEAT) != 0;
        }
    EXPECT_EQ(areas, 477);
    EXPECT_EQ(repeating, 114);
}

}  // namespace
}  // namespace tarvenol
