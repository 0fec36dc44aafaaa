// The built tarvenol.gau read the way the simulator's panel system reads it (tests/abi/gau_reader.*):
// what it would draw of every text window, drum and tape, how its needles turn, its bitmap numbers
// and its click areas; and that it draws them where the Linux pictures do.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "gau_reader.h"
#include "module/module_state.h"

namespace {

// Every area the aircraft's panels give, gauge by gauge; the knobs and levers that wind a value
// (baro, frequencies and codes, autopilot targets, throttles, speed brake, failure settings, clock
// setting, radio altimeter and marker knobs, ...) repeat while held.
constexpr int kClickAreas = 477;
constexpr int kRepeatingAreas = 114;
// The simulator looks for a high-resolution version of bitmap N at N + 500.
constexpr int kHighResolutionStep = 500;
constexpr double kSweepTolerance = 0.5;  // degrees

const gau::Module& module() {
    static const gau::Module m = gau::read_module("tarvenol.gau");
    return m;
}

bool inside(int x, int y, gau::Size s, gau::Size gauge) {
    return x >= 0 && y >= 0 && s.w > 0 && s.h > 0 && x + s.w <= gauge.w && y + s.h <= gauge.h;
}

TEST(ModuleAsLoaded, every_text_window_has_its_box_font_height_and_colours_inside_its_gauge) {
    ASSERT_TRUE(module().loaded);
    int texts = 0;
    for (const gau::Gauge& g : module().gauges)
        for (const gau::Element& e : g.elements) {
            if (e.kind != gau::kString) continue;
            ++texts;
            const std::string where = g.name + " text " + std::to_string(texts);
            EXPECT_TRUE(inside(e.x, e.y, e.text_box, g.elements[0].picture)) << where;
            EXPECT_FALSE(e.font.empty()) << where;
            EXPECT_GT(e.char_height, 0) << where;
            EXPECT_LE(e.char_height, e.text_box.h) << where;
            EXPECT_NE(e.fg, e.bg) << where;
            EXPECT_NE(e.bg, 0u) << where << ": pure black would be drawn transparent";
        }
    EXPECT_EQ(texts, 31);
}

TEST(ModuleAsLoaded, every_moving_image_is_seen_through_its_window_and_moves_on_an_axis_with_a_range) {
    int moving = 0;
    for (const gau::Gauge& g : module().gauges)
        for (std::size_t i = 0; i < g.elements.size(); ++i) {
            const gau::Element& e = g.elements[i];
            if (e.kind != gau::kMoving) continue;
            ++moving;
            const std::string where = g.name + " element " + std::to_string(i);
            EXPECT_TRUE(inside(e.x, e.y, e.mask, g.elements[0].picture)) << where << ": its mask, within the gauge";
            EXPECT_TRUE(e.picture.w >= e.mask.w || e.picture.h >= e.mask.h) << where << ": a strip fills its window";
            EXPECT_TRUE(e.x_callback || e.y_callback) << where;
            if (e.x_callback) {
                EXPECT_LT(e.min_x, e.max_x) << where << ": moves along x";
            }
            if (e.y_callback) {
                EXPECT_LT(e.min_y, e.max_y) << where << ": moves along y";
            }
        }
    EXPECT_EQ(moving, 181);
}

TEST(ModuleAsLoaded, no_needle_is_slowed_by_the_simulator) {
    int needles = 0;
    for (const gau::Gauge& g : module().gauges)
        for (const gau::Element& e : g.elements) {
            if (e.kind != gau::kNeedle) continue;
            ++needles;
            EXPECT_GT(e.max_degrees_per_tick, 0) << g.name;
            // The table's points are whole pixels: its sweep is known to a fraction of a degree.
            EXPECT_GE(e.max_degrees_per_tick + kSweepTolerance, e.table_sweep) << g.name << ": at least the span of its scale";
        }
    EXPECT_GT(needles, 80);
}

TEST(ModuleAsLoaded, every_picture_is_a_bitmap_of_the_module_and_no_two_ids_lie_500_apart) {
    const std::set<int> ids(module().bitmap_ids.begin(), module().bitmap_ids.end());
    ASSERT_GT(ids.size(), 1000u);
    for (int id : ids) EXPECT_EQ(ids.count(id + kHighResolutionStep), 0u) << id << " and " << id + kHighResolutionStep;
    for (const gau::Gauge& g : module().gauges)
        for (const gau::Element& e : g.elements) {
            if (e.kind == gau::kString) continue;
            EXPECT_EQ(ids.count(e.resource_id), 1u) << g.name << ": bitmap " << e.resource_id;
            if (e.kind == gau::kMoving) {
                EXPECT_EQ(ids.count(e.resource_id + gau::kMaskIdStep), 1u) << g.name << ": mask";
            }
        }
}

TEST(ModuleAsLoaded, has_477_click_areas_114_of_them_repeating_while_held) {
    int areas = 0, repeating = 0;
    for (const gau::Gauge& g : module().gauges)
        for (const gau::Area& a : g.areas) {
            ++areas;
            repeating += (a.flags & gau::kDownRepeat) != 0;
            EXPECT_TRUE(a.w > 0 && a.h > 0) << g.name;
        }
    EXPECT_EQ(areas, kClickAreas);
    EXPECT_EQ(repeating, kRepeatingAreas);
}

// What the module carries against what the Linux pictures draw from the same declarations.
TEST(ModuleAsLoaded, texts_windows_and_needles_sit_where_the_pictures_draw_them) {
    const auto& ours = tarvenol::gauges();
    ASSERT_EQ(module().gauges.size(), ours.size());
    for (std::size_t k = 0; k < ours.size(); ++k) {
        const tarvenol::GaugeInfo& info = *ours[k];
        const gau::Gauge& g = module().gauges[k];
        ASSERT_EQ(g.name, info.name);
        ASSERT_EQ(g.elements.size(), info.element_count) << g.name << ": the element chain, whole";
        EXPECT_EQ(g.elements[0].picture.w, info.size->w) << g.name;
        for (std::size_t i = 0; i < info.element_count; ++i) {
            const tarvenol::Box b = info.elements[i]->look.box;
            const gau::Element& e = g.elements[i];
            const std::string where = g.name + " " + info.elements[i]->name;
            if (e.kind == gau::kString) {
                EXPECT_EQ(e.x, b.x) << where;
                EXPECT_EQ(e.y, b.y) << where;
                EXPECT_EQ(e.text_box.w, b.w) << where;
                EXPECT_EQ(e.text_box.h, b.h) << where;
            } else if (e.kind == gau::kMoving) {
                EXPECT_EQ(e.x, b.x) << where;
                EXPECT_EQ(e.y, b.y) << where;
                EXPECT_EQ(e.mask.w, b.w) << where;
                EXPECT_EQ(e.mask.h, b.h) << where;
            } else if (e.kind == gau::kNeedle) {
                EXPECT_EQ(e.x, b.x + b.w / 2) << where << ": turns about its dial's centre";
                EXPECT_EQ(e.y, b.y + b.h / 2) << where;
            }
        }
    }
}

}  // namespace
