// Every needle the simulator turns carries a nonlinearity table that follows its dial: values
// rising from the scale's low end to its high end, neighbouring points at most 45 degrees apart
// (the simulator interpolates between them, and a wider step would take the short way round), and
// the needle's reading at load on the scale.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "module/gauge.h"
#include "module/module_state.h"

namespace tarvenol {
namespace {

constexpr double kMaxStepDegrees = 45.0;

double degrees_at(const abi::ELEMENT_HEADER& h, const abi::NONLINEARITY& n) {
    return std::atan2(double(n.pt.y - h.position.y), double(n.pt.x - h.position.x)) * 180.0 / 3.14159265358979323846;
}

TEST(NeedleTables, every_needle_turns_over_its_whole_scale_in_steps_the_simulator_follows) {
    int needles = 0;
    for (const GaugeInfo* g : gauges())
        for (std::size_t i = 0; i < g->element_count; ++i) {
            const ElementLink& e = *g->elements[i];
            if (e.header->element_type != abi::ELEMENT_TYPE_NEEDLE) continue;
            ++needles;
            const auto& rec = *reinterpret_cast<const abi::ELEMENT_NEEDLE*>(e.header);
            SCOPED_TRACE(std::string(g->name) + ": " + e.name);
            ASSERT_NE(rec.nonlinearity_table, nullptr);
            ASSERT_GE(rec.nonlinearity_table_size, 2u);
            const abi::NONLINEARITY* t = rec.nonlinearity_table;
            const std::size_t n = rec.nonlinearity_table_size;
            EXPECT_DOUBLE_EQ(t[0].value, e.look.lo);
            EXPECT_DOUBLE_EQ(t[n - 1].value, e.look.hi);
            const double turning = e.look.backwards ? -1.0 : 1.0;  // a compass card turns against the clock
            for (std::size_t k = 1; k < n; ++k) {
                EXPECT_GT(t[k].value, t[k - 1].value);
                double step = turning * (degrees_at(*e.header, t[k]) - degrees_at(*e.header, t[k - 1]));
                step = std::fmod(step + 720.0, 360.0);
                EXPECT_LE(step, kMaxStepDegrees) << "entry " << k;
            }
            const double reading = reinterpret_cast<const Needle*>(e.header)->value();
            EXPECT_GE(reading, e.look.lo);
            EXPECT_LE(reading, e.look.hi);
        }
    EXPECT_GT(needles, 0);
}

// Compass cards, bearing pointers, the altimeter pointers and the seconds hand go all the way round:
// their table makes one whole turn (a card against the clock) from where the scale starts (the top,
// a bearing pointer's zero at the right), and a reading beyond the scale is drawn a turn on.
TEST(NeedleTables, needles_all_round_their_dial_make_one_whole_turn_and_go_round_again) {
    int round = 0;
    for (const GaugeInfo* g : gauges())
        for (std::size_t i = 0; i < g->element_count; ++i) {
            const ElementLink& e = *g->elements[i];
            if (e.header->element_type != abi::ELEMENT_TYPE_NEEDLE || !e.look.all_round) continue;
            ++round;
            SCOPED_TRACE(std::string(g->name) + ": " + e.name);
            const auto& rec = *reinterpret_cast<const abi::ELEMENT_NEEDLE*>(e.header);
            const abi::NONLINEARITY* t = rec.nonlinearity_table;
            const std::size_t n = rec.nonlinearity_table_size;
            const double turning = e.look.backwards ? -1.0 : 1.0;
            double turned = 0.0;
            for (std::size_t k = 1; k < n; ++k)
                turned += std::fmod(turning * (degrees_at(*e.header, t[k]) - degrees_at(*e.header, t[k - 1])) + 720.0, 360.0);
            EXPECT_NEAR(turned, 360.0, 1e-9) << "one whole turn";
            EXPECT_EQ(t[0].pt.x, t[n - 1].pt.x);
            EXPECT_EQ(t[0].pt.y, t[n - 1].pt.y);
            EXPECT_NEAR(std::fmod(degrees_at(*e.header, t[0]) - e.look.lo_at + 720.0, 360.0), 0.0, 1.0)
                << "the scale starts where its look says";
            const double span = e.look.hi - e.look.lo;
            const struct {
                double value, same_as;
            } cases[] = {{e.look.lo + 1.25 * span, e.look.lo + 0.25 * span},
                         {e.look.lo - 0.25 * span, e.look.lo + 0.75 * span},
                         {e.look.hi, e.look.lo},
                         {std::nan(""), e.look.lo}};
            for (const auto& c : cases)
                EXPECT_NEAR(pointer_degrees(e.look, c.value), pointer_degrees(e.look, c.same_as), 1e-9) << c.value;
        }
    EXPECT_EQ(round, 15);  // the 13 dials all round and the two bank pointers
}

}  // namespace
}  // namespace tarvenol

namespace tarvenol {
namespace {

// Every picture's id, a moving image's mask included, as the module numbers them: none taken twice
// and none 500 from another (the simulator looks there for a high-resolution version).
TEST(BitmapNumbers, no_id_is_taken_twice_or_lies_500_from_another) {
    std::set<abi::ID> ids;
    for (const GaugeInfo* g : gauges())
        for (std::size_t i = 0; i < g->element_count; ++i) {
            const ElementLink& e = *g->elements[i];
            if (e.bitmaps <= 0) continue;
            for (int k = 0; k < e.bitmaps; ++k) EXPECT_TRUE(ids.insert(bitmap_id(e, k)).second) << g->name << " " << e.name;
            if (has_mask(e)) {
                EXPECT_TRUE(ids.insert(mask_id(e)).second) << g->name << " " << e.name << " mask";
            }
        }
    for (abi::ID id : ids) EXPECT_EQ(ids.count(id + kHighResolutionIdOffset), 0u) << id;
    EXPECT_GT(ids.size(), 1084u + 181u - 1u);
}

// The records the simulator draws from: a text window's box, font and colours, a needle free of any
// lag of the simulator's, a moving image's travel on each axis its callbacks drive.
TEST(ElementRecords, carry_what_the_simulator_needs_to_draw_them) {
    for (const GaugeInfo* g : gauges())
        for (std::size_t i = 0; i < g->element_count; ++i) {
            const ElementLink& e = *g->elements[i];
            const std::string where = std::string(g->name) + " " + e.name;
            switch (e.header->element_type) {
                case abi::ELEMENT_TYPE_STRING: {
                    const auto& t = reinterpret_cast<const abi::ELEMENT_STRING&>(*e.header);
                    EXPECT_EQ(t.img_size.x, e.look.box.w) << where;
                    EXPECT_EQ(t.img_size.y, e.look.box.h) << where;
                    EXPECT_LE(e.look.box.x + e.look.box.w, g->size->w) << where << ": within its gauge";
                    EXPECT_STRNE(t.font_name, "") << where;
                    EXPECT_GT(t.char_height, 0) << where;
                    EXPECT_NE(t.fg_color, t.bg_color) << where;
                    break;
                }
                case abi::ELEMENT_TYPE_NEEDLE:
                    EXPECT_GE(reinterpret_cast<const abi::ELEMENT_NEEDLE&>(*e.header).max_degrees_per_tick, 360) << where;
                    break;
                case abi::ELEMENT_TYPE_MOVING_IMAGE: {
                    const auto& m = reinterpret_cast<const abi::ELEMENT_MOVING_IMAGE&>(*e.header);
                    if (m.update_x_cb) {
                        EXPECT_LT(m.min_x, m.max_x) << where;
                    }
                    if (m.update_y_cb) {
                        EXPECT_LT(m.min_y, m.max_y) << where;
                    }
                    break;
                }
                default: break;
            }
        }
}

}  // namespace
}  // namespace tarvenol
