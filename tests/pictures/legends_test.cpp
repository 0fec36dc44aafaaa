// Every legend reads: on no gauge does a printed text (engraved legends, scale numbers, units, the
// legends of lights, flags and buttons, readouts and drum faces) overlap another, and every one lies
// within its gauge. Checked on the pictures as loaded and with every light, flag and picture shown.
#include <cairo.h>

#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "host/draw.h"
#include "module/module_state.h"
#include "testbed.h"

namespace tarvenol {
namespace {

constexpr double kTouch = 0.5;  // texts may touch, antialiased edges aside

bool overlap(const draw::TextBox& a, const draw::TextBox& b) {
    return a.x + kTouch < b.x + b.w && b.x + kTouch < a.x + a.w && a.y + kTouch < b.y + b.h && b.y + kTouch < a.y + a.h;
}

// The texts of a gauge's picture: its background, then each element as the host would draw it,
// shown whatever its state now (`all_shown`) or as it stands.
std::vector<draw::TextBox> texts_of(const GaugeInfo& g, testing::TestBed& bed, bool all_shown) {
    std::vector<draw::TextBox> texts;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, g.size->w, g.size->h);
    cairo_t* cr = cairo_create(s);
    draw::record_texts(&texts);
    draw::background(cr, g);
    for (std::size_t i = 1; i < g.element_count; ++i) {
        const ElementLink& e = *g.elements[i];
        draw::ElementState state;
        state.shown = all_shown || is_visible(*e.header);
        state.value = bed.host().element_value(e.header);
        state.text = bed.host().element_text(e.header);
        if (!state.text) state.text = "";
        if (all_shown) {
            // One of a switch's position pictures is drawn at a time, and one of the pictures that
            // take the same place (a sign's plus or minus, a button's legends): the first stands for them.
            if (e.look.positions > 1 && e.look.position != 0) continue;
            bool alternative = false;
            for (std::size_t k = 1; k < i && !alternative; ++k) {
                const Box o = g.elements[k]->look.box;
                alternative = g.elements[k]->look.draw == e.look.draw && o.x == e.look.box.x && o.y == e.look.box.y &&
                              o.w == e.look.box.w && o.h == e.look.box.h;
            }
            if (alternative) continue;
        }
        const std::size_t before = texts.size();
        draw::element(cr, e, state);
        // A flag or a lit lens hides what was printed under it (a flag over a dial's numbers).
        const Draw d = e.look.draw;
        if (state.shown && (d == Draw::flag || d == Draw::light || d == Draw::button)) {
            const Box b = e.look.box;
            const draw::TextBox lens{double(b.x), double(b.y), double(b.w), double(b.h), ""};
            std::vector<draw::TextBox> seen(texts.begin(), texts.begin() + long(before));
            std::erase_if(seen, [&](const draw::TextBox& t) {
                return t.x < lens.x + lens.w && lens.x < t.x + t.w && t.y < lens.y + lens.h && lens.y < t.y + t.h;
            });
            seen.insert(seen.end(), texts.begin() + long(before), texts.end());
            texts = std::move(seen);
        }
    }
    draw::record_texts(nullptr);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return texts;
}

void check(const GaugeInfo& g, const std::vector<draw::TextBox>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const draw::TextBox& a = texts[i];
        EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.w <= g.size->w && a.y + a.h <= g.size->h)
            << g.name << ": \"" << a.text << "\" outside the gauge";
        for (std::size_t k = i + 1; k < texts.size(); ++k) {
            const draw::TextBox& b = texts[k];
            // A lit light prints its legend again where the dark lens has it.
            const bool same = a.text == b.text && std::abs(a.x - b.x) < 1 && std::abs(a.y - b.y) < 1;
            EXPECT_FALSE(!same && overlap(a, b)) << g.name << ": \"" << a.text << "\" over \"" << b.text << "\"";
        }
    }
}

TEST(Legends, no_text_overlaps_another_and_every_one_lies_within_its_gauge) {
    testing::TestBed bed;
    bed.tick();
    int texts = 0;
    for (const GaugeInfo* g : gauges()) {
        for (bool all_shown : {false, true}) {
            const auto t = texts_of(*g, bed, all_shown);
            texts += static_cast<int>(t.size());
            check(*g, t);
        }
    }
    EXPECT_GT(texts, 1000);
}

// The legends are what the panel prints: never a click area's name ("MARKER 1 DOWN") nor what an
// internal name says of a picture ("... KNOB", "... BLANK", "... PANEL LIT").
TEST(Legends, no_internal_name_is_printed_as_a_legend) {
    testing::TestBed bed;
    bed.tick();
    const auto words = [](std::string t) {
        for (char& c : t) c = c == '.' || c == '_' ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return " " + t + " ";
    };
    for (const GaugeInfo* g : gauges())
        for (const draw::TextBox& t : texts_of(*g, bed, true)) {
            const std::string text = words(t.text);
            for (const char* internal : {" KNOB ", " BLANK ", " LIT "})
                EXPECT_EQ(text.find(internal), std::string::npos) << g->name << ": \"" << t.text << "\"";
            // An area named for a control and its action ("marker_1.down") is never what a panel prints;
            // a push button's legend may well be its area's one-word name ("LAND").
            for (std::size_t a = 0; a < g->area_count; ++a)
                if (std::string_view(g->areas[a].name).find('.') != std::string_view::npos) {
                    EXPECT_NE(text, words(g->areas[a].name)) << g->name << ": the area's name \"" << t.text << "\"";
                }
        }
}

}  // namespace
}  // namespace tarvenol
