// The flight instruments read as instruments: what a pilot reads off the pictures is measured from
// their pixels — the horizon's slope and height on the attitude directors, the bank pointer, the
// HSI's card turned to the heading under the lubber line and its course arrow at the course.
#include <cairo.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/draw.h"
#include "host/pictures.h"
#include "module/shared_state.h"
#include "testbed.h"

namespace tarvenol {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A gauge's picture, decoded.
class Picture {
public:
    explicit Picture(const std::string& png) {
        struct Reader {
            const std::string& bytes;
            std::size_t at = 0;
        } reader{png};
        surface_ = cairo_image_surface_create_from_png_stream(
            [](void* closure, unsigned char* data, unsigned int length) {
                auto* r = static_cast<Reader*>(closure);
                if (r->at + length > r->bytes.size()) return CAIRO_STATUS_READ_ERROR;
                r->bytes.copy(reinterpret_cast<char*>(data), length, r->at);
                r->at += length;
                return CAIRO_STATUS_SUCCESS;
            },
            &reader);
        w_ = cairo_image_surface_get_width(surface_);
        h_ = cairo_image_surface_get_height(surface_);
    }
    ~Picture() { cairo_surface_destroy(surface_); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    unsigned at(int x, int y) const {
        if (x < 0 || y < 0 || x >= w_ || y >= h_) return 0;
        const auto* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
        return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xffffff;
    }
    // Within `tolerance` of a palette colour in every channel.
    bool is(int x, int y, unsigned rgb, int tolerance = 24) const {
        const unsigned p = at(x, y);
        for (int shift : {0, 8, 16})
            if (std::abs(int(p >> shift & 255) - int(rgb >> shift & 255)) > tolerance) return false;
        return true;
    }
    bool white(int x, int y) const { return is(x, y, 0xf2f2ee, 40); }

private:
    cairo_surface_t* surface_ = nullptr;
    int w_ = 0, h_ = 0;
};

constexpr unsigned kGround = 0x7a4e26, kAmber = 0xf2a516, kCourseYellow = 0xf2d23a;

struct Centre {
    double x, y, r;
};
Centre face_centre(const ElementLink& layer) {
    const Box b = layer.look.box;
    return {b.x + b.w / 2.0, b.y + b.h / 2.0, std::min(b.w, b.h) / 2.0};
}

// The cockpit powered, the instruments' supplies live, the gyros following the simulator.
void power_instruments(testing::TestBed& bed) {
    bed.host().before_each_gauge = [] {
        shared.batt_bus_powered = 1;
        shared.dc_bus_powered = 1;
        shared.ac_bus_1_powered = 1;
        shared.ac_bus_2_powered = 1;
        shared.ac_ess_bus_normal = 1;
        shared.ac_ess_bus_powered = 1;
        shared.norm_eqpt_ess_powered = 1;
        shared.ess_equipment_level = 2;
    };
}

// The horizon where it crosses the columns left and right of the aircraft symbol: the first
// ground-coloured pixel from the top of the sphere's window.
struct HorizonLine {
    double degrees;   // its slope, counter-clockwise: higher on the right is positive
    double centre_y;  // where it crosses the vertical through the face's centre
};
HorizonLine horizon(const Picture& p, Centre c) {
    const double rs = face_sphere_radius(at(0, 0, int(2 * c.r), int(2 * c.r)));
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    int n = 0;
    for (double f : {-0.75, -0.7, -0.65, -0.6, 0.6, 0.65, 0.7, 0.75}) {
        const int x = int(std::lround(c.x + f * rs));
        for (int y = int(c.y - rs * 0.95); y < int(c.y + rs * 0.95); ++y)
            if (p.is(x, y, kGround)) {
                const double dx = x - c.x;
                sx += dx;
                sy += y;
                sxx += dx * dx;
                sxy += dx * y;
                ++n;
                break;
            }
    }
    EXPECT_EQ(n, 8) << "the horizon crosses every column";
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    const double intercept = (sy - slope * sx) / n;
    return {std::atan(-slope) * 180.0 / kPi, intercept};
}

class AttitudeDirectors : public ::testing::TestWithParam<const char*> {
protected:
    AttitudeDirectors() { power_instruments(bed); }
    Picture attitude(double bank, double pitch) {
        bed.sim().set(sim::bank_deg, bank);
        bed.sim().set(sim::pitch_deg, pitch);
        bed.tick(60);  // the sphere slews a degree a tick, then follows
        return Picture(host::gauge_png(gauge(), bed.host()));
    }
    const GaugeInfo& gauge() const { return *find_gauge(GetParam()); }
    Centre centre() const { return face_centre(*find_element(gauge(), "attitude_sphere")); }
    testing::TestBed bed;
};

TEST_P(AttitudeDirectors, the_horizon_turns_with_bank_and_sits_below_the_symbol_nose_up) {
    const Centre c = centre();
    const struct {
        double bank, pitch, degrees, below_centre;
    } cases[] = {
        {30.0, 0.0, 30.0, 0.0},    // banked right: higher on the right, at 30 degrees
        {-30.0, 0.0, -30.0, 0.0},
        {0.0, 10.0, 0.0, 60.0},    // nose up 10: level, 10 degrees of ladder below the centre
        {0.0, -10.0, 0.0, -60.0},
        {20.0, 5.0, 20.0, 30.0 / std::cos(20.0 * kPi / 180.0)},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE("bank " + std::to_string(k.bank) + " pitch " + std::to_string(k.pitch));
        const HorizonLine h = horizon(attitude(k.bank, k.pitch), c);
        EXPECT_NEAR(h.degrees, k.degrees, 2.0);
        EXPECT_NEAR(h.centre_y - c.y, k.below_centre, 4.0);
    }
}

// The bank pointer turns with the sphere: 30 degrees right puts it 30 degrees left of the top index.
TEST_P(AttitudeDirectors, the_bank_pointer_stands_against_the_bank_scale_at_the_bank) {
    const Centre c = centre();
    for (double bank : {0.0, 30.0, -45.0}) {
        const Picture p = attitude(bank, 0.0);
        const double rs = face_sphere_radius(find_element(gauge(), "attitude_sphere")->look.box);
        double sx = 0, sy = 0;
        int n = 0;
        for (int y = int(c.y - rs); y < int(c.y); ++y)
            for (int x = int(c.x - rs); x < int(c.x + rs); ++x) {
                const double r = std::hypot(x - c.x, y - c.y);
                if (r < rs * 0.75 || r > rs || !p.is(x, y, kAmber)) continue;
                sx += x - c.x;
                sy += y - c.y;
                ++n;
            }
        ASSERT_GT(n, 20) << "bank " << bank;
        const double from_top = std::atan2(sx, -sy) * 180.0 / kPi;  // clockwise from the top
        EXPECT_NEAR(from_top, -bank, 2.0) << "bank " << bank;
    }
}

INSTANTIATE_TEST_SUITE_P(Faces, AttitudeDirectors,
                         ::testing::Values("tarvenol adi_fd_t418", "tarvenol adi_sec_t418"));

class Hsi : public ::testing::Test {
protected:
    Hsi() { power_instruments(bed); }
    Picture at_heading(double heading, double course) {
        bed.sim().set(sim::heading_deg, heading);
        bed.sim().set(sim::nav1_obs_deg, course);
        bed.tick(2);
        return Picture(host::gauge_png(hsi, bed.host()));
    }
    const GaugeInfo& hsi = *find_gauge("tarvenol hsi_t418");
    const Centre c = face_centre(*find_element(hsi, "hsi_card"));
    const double rc = face_card_radius(find_element(hsi, "hsi_card")->look.box);
    testing::TestBed bed;
};

// The fraction of the card's letters at heading 0 found again at `heading` turned by `turn`
// degrees (clockwise) about the face's centre.
double card_found_turned(const Picture& north_up, const Picture& turned, Centre c, double rc, double turn) {
    const double t = turn * kPi / 180.0;
    int letters = 0, found = 0;
    for (int y = int(c.y - rc); y <= int(c.y + rc); ++y)
        for (int x = int(c.x - rc); x <= int(c.x + rc); ++x) {
            const double dx = x - c.x, dy = y - c.y, r = std::hypot(dx, dy);
            if (r < rc * 0.62 || r > rc * 0.85 || !north_up.white(x, y)) continue;
            ++letters;
            const int tx = int(std::lround(c.x + dx * std::cos(t) - dy * std::sin(t)));
            const int ty = int(std::lround(c.y + dx * std::sin(t) + dy * std::cos(t)));
            bool near = false;
            for (int ox = -1; ox <= 1 && !near; ++ox)
                for (int oy = -1; oy <= 1 && !near; ++oy) near = turned.white(tx + ox, ty + oy);
            found += near;
        }
    EXPECT_GT(letters, 200);
    return letters ? double(found) / letters : 0.0;
}

TEST_F(Hsi, at_heading_90_the_card_has_turned_its_e_under_the_lubber_line) {
    const Picture north = at_heading(0.0, 0.0);
    const Picture east = at_heading(90.0, 90.0);
    EXPECT_GT(card_found_turned(north, east, c, rc, -90.0), 0.85) << "E, from the right, turned to the top";
    EXPECT_LT(card_found_turned(north, east, c, rc, 90.0), 0.7) << "not W";
    // The lubber line stays over the top of the card.
    EXPECT_TRUE(east.is(int(c.x), int(c.y - rc - 6), kAmber));
}

// The course arrow points at the selected course on the card, whatever the heading: its shafts lie
// along the course (measured from the spread of its pixels away from the deviation bar) and its
// head, the heavier end, on the course's side.
TEST_F(Hsi, the_course_arrow_points_at_the_selected_course_on_the_card) {
    const struct {
        double heading, course;
    } cases[] = {{90.0, 225.0}, {90.0, 90.0}, {263.0, 263.0}, {300.0, 10.0}, {10.0, 300.0}};
    for (const auto& k : cases) {
        const Picture p = at_heading(k.heading, k.course);
        double sxx = 0, syy = 0, sxy = 0;
        std::vector<std::pair<double, double>> arrow;
        for (int y = int(c.y - rc); y <= int(c.y + rc); ++y)
            for (int x = int(c.x - rc); x <= int(c.x + rc); ++x) {
                const double dx = x - c.x, dy = y - c.y;
                if (std::hypot(dx, dy) < rc * 0.4 || !p.is(x, y, kCourseYellow, 16)) continue;
                arrow.emplace_back(dx, dy);
                sxx += dx * dx;
                syy += dy * dy;
                sxy += dx * dy;
            }
        ASSERT_GT(arrow.size(), 100u);
        const double axis = 0.5 * std::atan2(2 * sxy, sxx - syy);  // screen radians, either end
        int ahead = 0;
        for (const auto& [dx, dy] : arrow) ahead += dx * std::cos(axis) + dy * std::sin(axis) > 0 ? 1 : -1;
        const double head = axis * 180.0 / kPi + (ahead > 0 ? 0.0 : 180.0);
        const double from_lubber = head + 90.0;  // clockwise from the top
        const double expected = k.course - k.heading;
        EXPECT_NEAR(std::remainder(from_lubber - expected, 360.0), 0.0, 1.0) << k.heading << " " << k.course;
    }
}

}  // namespace
}  // namespace tarvenol
