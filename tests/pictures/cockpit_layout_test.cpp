// The cockpit's layout: every gauge has one place, on a window that exists, inside that window and
// clear of every other gauge; the captain's flight instruments stand in the basic T and the engine
// instruments read engine 1 left of engine 2.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "host/pictures.h"
#include "module/cockpit_layout.h"
#include "module/module_state.h"

namespace tarvenol {
namespace {

struct Rect {
    int x, y, w, h;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
    int centre_x() const { return x + w / 2; }
    int centre_y() const { return y + h / 2; }
};

// Where a gauge is drawn on its window, in pixels.
Rect rect_of(const std::string& name, std::uint32_t* window = nullptr) {
    const GaugeInfo* g = find_gauge(name);
    EXPECT_NE(g, nullptr) << name;
    if (!g) return {};
    const auto all = gauges();
    const cockpit::Place* p = cockpit::place_of(static_cast<int>(std::find(all.begin(), all.end(), g) - all.begin()));
    EXPECT_NE(p, nullptr) << name;
    if (!p) return {};
    if (window) *window = p->window;
    return {p->x_mm * cockpit::kPixelsPerMm, p->y_mm * cockpit::kPixelsPerMm, g->size->w, g->size->h};
}

TEST(CockpitLayout, every_gauge_has_one_place_on_a_declared_window) {
    std::map<int, int> placed;
    for (const cockpit::Place& p : cockpit::places()) {
        ++placed[p.gauge];
        EXPECT_NE(cockpit::find_window(p.window), nullptr) << "gauge " << p.gauge << " on window " << p.window;
        EXPECT_GE(p.x_mm, 0);
        EXPECT_GE(p.y_mm, 0);
    }
    for (std::size_t i = 0; i < gauges().size(); ++i)
        EXPECT_EQ(placed[static_cast<int>(i)], 1) << gauges()[i]->name;
    EXPECT_EQ(placed.size(), gauges().size());
    std::set<cockpit::WindowId> ids;
    for (const cockpit::Window& w : cockpit::windows()) EXPECT_TRUE(ids.insert(w.id).second) << w.id;
    EXPECT_EQ(cockpit::windows().front().id, cockpit::kMainPanel);
}

TEST(CockpitLayout, every_gauge_lies_within_its_window_and_clear_of_the_others) {
    for (const cockpit::Window& win : cockpit::windows()) {
        int w = 0, h = 0;
        const auto placed = host::arrange(win.id, w, h);
        EXPECT_FALSE(placed.empty()) << win.title;
        EXPECT_EQ(w, win.w_mm * cockpit::kPixelsPerMm);
        EXPECT_EQ(h, win.h_mm * cockpit::kPixelsPerMm);
        for (std::size_t i = 0; i < placed.size(); ++i) {
            const host::Placement& a = placed[i];
            EXPECT_LE(a.x + a.gauge->size->w, w) << a.gauge->name << " runs off the right of the " << win.title;
            EXPECT_LE(a.y + a.gauge->size->h, h) << a.gauge->name << " runs off the bottom of the " << win.title;
            for (std::size_t j = i + 1; j < placed.size(); ++j) {
                const host::Placement& b = placed[j];
                const bool apart = a.x + a.gauge->size->w <= b.x || b.x + b.gauge->size->w <= a.x ||
                                   a.y + a.gauge->size->h <= b.y || b.y + b.gauge->size->h <= a.y;
                EXPECT_TRUE(apart) << a.gauge->name << " overlaps " << b.gauge->name << " on the " << win.title;
            }
        }
    }
}

TEST(CockpitLayout, the_captains_flight_instruments_stand_in_the_basic_t) {
    std::uint32_t wa = 1, wd = 1, wl = 1, wh = 1;
    const Rect asi = rect_of("tarvenol asi_main_t418", &wa), adi = rect_of("tarvenol adi_fd_t418", &wd),
               alt = rect_of("tarvenol alti_main_t418", &wl), hsi = rect_of("tarvenol hsi_t418", &wh);
    for (const std::uint32_t w : {wa, wd, wl, wh}) EXPECT_EQ(w, cockpit::kMainPanel);
    // Airspeed, attitude and altitude side by side on one row, tops level within 10 mm.
    EXPECT_LT(asi.right(), adi.x);
    EXPECT_LT(adi.right(), alt.x);
    EXPECT_LE(std::abs(asi.y - adi.y), 20);
    EXPECT_LE(std::abs(alt.y - adi.y), 20);
    // The HSI under the attitude director, centred on it within 20 mm.
    EXPECT_GE(hsi.y, adi.bottom());
    EXPECT_LE(std::abs(hsi.centre_x() - adi.centre_x()), 40);
    // The glareshield's automatic flight panels above the instruments.
    for (const char* fcu : {"tarvenol ap_master_t418", "tarvenol ap_alt_t418", "tarvenol ap_hdg_t418", "tarvenol ap_ats_t418"})
        EXPECT_LT(rect_of(fcu).bottom(), adi.y) << fcu;
    // Engine 1's instruments left of engine 2's, each kind on one row, right of the captain's T.
    for (const char* kind : {"n1", "egt", "n2", "ff"}) {
        const std::string one = std::string("tarvenol eng_ind_") + kind + "_1_t418";
        const std::string two = std::string("tarvenol eng_ind_") + kind + "_2_t418";
        const Rect e1 = rect_of(one), e2 = rect_of(two);
        EXPECT_LT(e1.right(), e2.x) << kind;
        EXPECT_EQ(e1.y, e2.y) << kind;
        EXPECT_GT(e1.x, alt.right()) << kind;
    }
}

}  // namespace
}  // namespace tarvenol
