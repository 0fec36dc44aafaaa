// A needle and the dial or card it reads against share one pivot, in both hosts: the module's
// record turns the needle about the centre of the face drawn under it, and the Linux picture turns
// it about the same point. Measured over every needle of every gauge (selector knobs aside).
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/draw.h"
#include "module/module_state.h"
#include "testbed.h"

namespace tarvenol {
namespace {

struct Point {
    double x, y;
};

// Where the pixels of one needle drawn alone at `value` weigh, and how much there is of it.
Point drawn_at(const GaugeInfo& g, const ElementLink& e, double value, double& weight) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, g.size->w, g.size->h);
    cairo_t* cr = cairo_create(s);
    draw::ElementState state;
    state.value = value;
    draw::element(cr, e, state);
    cairo_destroy(cr);
    cairo_surface_flush(s);
    const auto* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    double sx = 0, sy = 0;
    weight = 0;
    for (int y = 0; y < g.size->h; ++y)
        for (int x = 0; x < g.size->w; ++x) {
            const double a = (reinterpret_cast<const std::uint32_t*>(data + y * stride)[x] >> 24) / 255.0;
            sx += a * x;
            sy += a * y;
            weight += a;
        }
    cairo_surface_destroy(s);
    return weight > 0 ? Point{sx / weight + 0.5, sy / weight + 0.5} : Point{0, 0};
}

// The centre of the circle through three points (a rigid needle's weight turns on a circle about
// its pivot); their mean when they (nearly) coincide, as for a card that is its own centre.
Point pivot_through(Point a, Point b, Point c) {
    const double d = 2 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
    const double spread = std::hypot(a.x - b.x, a.y - b.y) + std::hypot(b.x - c.x, b.y - c.y);
    if (spread < 2.0 || std::abs(d) < 1e-6) return {(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3};
    const double a2 = a.x * a.x + a.y * a.y, b2 = b.x * b.x + b.y * b.y, c2 = c.x * c.x + c.y * c.y;
    return {(a2 * (b.y - c.y) + b2 * (c.y - a.y) + c2 * (a.y - b.y)) / d,
            (a2 * (c.x - b.x) + b2 * (a.x - c.x) + c2 * (b.x - a.x)) / d};
}

class Background {
public:
    explicit Background(const GaugeInfo& g) : w_(g.size->w), h_(g.size->h) {
        s_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w_, h_);
        cairo_t* cr = cairo_create(s_);
        draw::background(cr, g);
        cairo_destroy(cr);
        cairo_surface_flush(s_);
    }
    ~Background() { cairo_surface_destroy(s_); }
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;
    bool bezel(int x, int y) const {
        if (x < 0 || y < 0 || x >= w_ || y >= h_) return false;
        const auto* row = cairo_image_surface_get_data(s_) + y * cairo_image_surface_get_stride(s_);
        const unsigned p = reinterpret_cast<const std::uint32_t*>(row)[x] & 0xffffff;
        constexpr unsigned kBezel = 0x2e3438;
        for (int shift : {0, 8, 16})
            if (std::abs(int(p >> shift & 255) - int(kBezel >> shift & 255)) > 6) return false;
        return true;
    }
    // Pixels from (x, y) to the face's bezel at `degrees`: two bezel pixels in a row.
    int to_bezel(int x, int y, double degrees) const {
        const double dx = std::cos(degrees * 3.14159265358979323846 / 180), dy = std::sin(degrees * 3.14159265358979323846 / 180);
        auto on = [&](int k) { return bezel(int(std::lround(x + k * dx)), int(std::lround(y + k * dy))); };
        for (int k = 1; k < std::max(w_, h_); ++k)
            if (on(k) && on(k + 1)) return k;
        return -1;
    }

private:
    cairo_surface_t* s_;
    int w_, h_;
};

TEST(Pivots, every_needle_turns_about_the_centre_of_the_face_it_reads_against_in_both_hosts) {
    int needles = 0;
    for (const GaugeInfo* g : gauges()) {
        const Background bg(*g);
        for (std::size_t i = 1; i < g->element_count; ++i) {
            const ElementLink& e = *g->elements[i];
            if (e.header->element_type != abi::ELEMENT_TYPE_NEEDLE || e.look.draw == Draw::knob) continue;
            ++needles;
            SCOPED_TRACE(std::string(g->name) + ": " + e.name);
            const abi::PIXPOINT pivot = e.header->position;
            // The face under it: its bezel as far away all round, but where a window, a light or an
            // engraved mark stands between (a few of 16 directions).
            constexpr int kDirections = 16, kBlockedAtMost = 4;
            std::vector<int> reach;
            for (int k = 0; k < kDirections; ++k) reach.push_back(bg.to_bezel(pivot.x, pivot.y, 11.25 + 22.5 * k));
            int best = 0, radius = -1;
            for (int r : reach) {
                const int near = static_cast<int>(std::count_if(reach.begin(), reach.end(), [r](int o) { return std::abs(o - r) <= 2; }));
                if (r > 0 && near > best) {
                    best = near;
                    radius = r;
                }
            }
            EXPECT_GE(best, kDirections - kBlockedAtMost) << "no face centred under the needle (radius " << radius << ")";
            // The Linux picture turns it about the same point.
            const double span = e.look.hi - e.look.lo;
            const double f[3] = {0.0, e.look.all_round ? 1.0 / 3 : 0.5, e.look.all_round ? 2.0 / 3 : 1.0};
            Point at[3];
            for (int k = 0; k < 3; ++k) {
                double weight = 0;
                at[k] = drawn_at(*g, e, e.look.lo + f[k] * span, weight);
                ASSERT_GT(weight, 0.0);
            }
            const Point p = pivot_through(at[0], at[1], at[2]);
            EXPECT_NEAR(p.x, pivot.x, 1.5);
            EXPECT_NEAR(p.y, pivot.y, 1.5);
        }
    }
    EXPECT_GT(needles, 40);
}

}  // namespace
}  // namespace tarvenol
