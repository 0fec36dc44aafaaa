// The navigation world: its description file, and what the radios receive from it at a place.
#include <gtest/gtest.h>

#include <cmath>

#include "host/flight_math.h"
#include "host/nav_world.h"
#include "host/panel_host.h"
#include "module/sim_vocabulary.h"

namespace tarvenol::host {
namespace {

using flight_math::kDegPerRad;
using flight_math::kMetresPerNm;
constexpr double kFullScale = 127.0;

const char* const kWorld =
    "# a test world\n"
    "airport TEST elevation 100\n"
    "runway 09 heading 90 length 3000 ils 109.50 course_width 2.5 glide 3.0 glide_antenna 300 dme yes touchdown_zone 150 900\n"
    "vor TST 113.10 at 20000 10000 dme yes range 100000\n"
    "ndb TB 352 at -7000 0 range 50000\n"
    "marker outer 7000\n"
    "marker middle 1000\n"
    "marker inner 300\n";

NavWorld parsed(const char* text = kWorld) {
    NavWorld w;
    std::string error;
    EXPECT_TRUE(parse_nav_world(text, w, error)) << error;
    return w;
}

TEST(NavWorld, the_description_gives_the_stations_and_their_frequencies_as_the_radios_hold_them) {
    const NavWorld w = parsed();
    EXPECT_EQ(w.airport, "TEST");
    EXPECT_EQ(w.elevation_m, 100.0);
    EXPECT_EQ(w.runway.ils_bcd, 0x0950);  // 109.50: the leading 1 implied
    EXPECT_EQ(w.vor.freq_bcd, 0x1310);
    EXPECT_EQ(w.ndb.freq_bcd, 0x0352);
    EXPECT_EQ(w.runway.touchdown_to_m, 900.0);
    EXPECT_EQ(w.runway.width_m, kDefaultRunwayWidthM);  // none given
    EXPECT_EQ(w.marker_m[static_cast<int>(Marker::middle)], 1000.0);
}

TEST(NavWorld, a_faulty_description_is_refused_with_its_line) {
    struct Case {
        const char* text;
        const char* says;
    };
    const Case cases[] = {
        {"airport X elevation 0\n", "no runway"},
        {"runway 09 heading 90 length 3000 ils 120.00 course_width 2 glide 3 glide_antenna 300 dme no touchdown_zone 1 2\n",
         "line 1: ils"},
        {"\n\nrunway 09 heading ninety length 3000\n", "line 3: heading is not a number"},
        {"runway 09 heading 90 length 3000 ils 110.10 course_width 2 glide 3 glide_antenna 300 dme maybe touchdown_zone 1 2\n",
         "dme must be yes or no"},
        {"runway 09 heading 90 length 3000 ils 110.10 course_width 2 glide 3 glide_antenna 300 dme no\n", "missing touchdown_zone"},
        {"runway 09 heading 90 length 3000 ils 110.10 course_width 2 glide 3 glide_antenna 300 dme no width 0 touchdown_zone 1 2\n",
         "width must be a positive number of metres"},
        {"ndb X 5000 at 0 0 range 1\n", "not an ADF frequency"},
        {"marker far 100\n", "outer, middle or inner"},
        {"tower 118.1\n", "unknown line: tower"},
    };
    for (const Case& c : cases) {
        NavWorld w;
        std::string error;
        EXPECT_FALSE(parse_nav_world(c.text, w, error)) << c.text;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.text << " gave " << error;
    }
}

TEST(NavWorld, the_built_in_world_has_an_ils_runway_with_its_beacons) {
    const NavWorld& w = builtin_nav_world();
    EXPECT_GT(w.runway.length_m, 0.0);
    EXPECT_EQ(w.runway.width_m, 45.0);  // the surface the verdict judges a touchdown on
    EXPECT_NE(w.runway.ils_bcd, 0);
    EXPECT_NE(w.vor.freq_bcd, 0);
    EXPECT_NE(w.ndb.freq_bcd, 0);
    EXPECT_LT(w.runway.touchdown_from_m, w.runway.touchdown_to_m);
    for (int m = 1; m <= 3; ++m) EXPECT_GT(w.marker_m[m], 0.0);
}

// The radios at a place, tuned as given.
struct Radios {
    NavWorld world = parsed();
    SimVars v;
    Radios() {
        v.set(sim::nav1_freq_bcd, world.runway.ils_bcd);
        v.set(sim::adf_freq_bcd, world.ndb.freq_bcd);
    }
    void at(double before_m, double right_m, double height_m, double heading_deg = 90.0) {
        update_radios(world, world.on_approach(before_m, right_m, height_m), heading_deg, v);
    }
};

TEST(NavWorld, the_localizer_needle_points_to_the_course_and_reaches_full_scale_at_the_course_width) {
    Radios r;
    const double to_antenna = 10000.0 + r.world.runway.length_m;
    const double at_full_scale = to_antenna * std::tan(r.world.runway.course_width_deg / kDegPerRad);
    r.at(10000.0, 0.0, 500.0);
    EXPECT_NEAR(r.v.get(sim::nav1_cdi), 0.0, 1e-9);
    EXPECT_EQ(r.v.get(sim::nav1_flags), kNavFlagLocalizer | kNavFlagGlideSlope);
    EXPECT_GT(r.v.get(sim::nav1_signal), 0.0);
    r.at(10000.0, at_full_scale / 2.0, 500.0);  // right of the course: fly left
    EXPECT_NEAR(r.v.get(sim::nav1_cdi), -kFullScale / 2.0, 0.2);
    r.at(10000.0, -at_full_scale / 2.0, 500.0);
    EXPECT_NEAR(r.v.get(sim::nav1_cdi), kFullScale / 2.0, 0.2);
    r.at(10000.0, -3.0 * at_full_scale, 500.0);
    EXPECT_EQ(r.v.get(sim::nav1_cdi), kFullScale);
    // Behind the localizer antenna (past the runway's far end) nothing is heard.
    r.at(-r.world.runway.length_m - 500.0, 0.0, 500.0);
    EXPECT_EQ(r.v.get(sim::nav1_signal), 0.0);
    EXPECT_EQ(r.v.get(sim::nav1_gs_flag), 0.0);
}

TEST(NavWorld, the_glide_slope_needle_reads_the_height_against_the_path) {
    Radios r;
    const IlsRunway& rw = r.world.runway;
    const double before = 6000.0;
    const double on_path = (before + rw.glide_antenna_m) * std::tan(rw.glide_deg / kDegPerRad);
    r.at(before, 0.0, on_path);
    EXPECT_EQ(r.v.get(sim::nav1_gs_flag), 1.0);
    EXPECT_NEAR(r.v.get(sim::nav1_gsi), 0.0, 1e-6);
    r.at(before, 0.0, on_path + 30.0);
    const double above = r.v.get(sim::nav1_gsi);
    EXPECT_GT(above, 0.0);
    r.at(before, 0.0, on_path - 30.0);
    EXPECT_LT(r.v.get(sim::nav1_gsi), 0.0);
    EXPECT_NEAR(r.v.get(sim::nav1_gsi), -above, 1.0);
    r.at(before, 0.0, 0.0);
    EXPECT_EQ(r.v.get(sim::nav1_gsi), -kFullScale);
    // The DME beside the glide-slope antenna gives the slant distance.
    EXPECT_NEAR(r.v.get(sim::dme1_distance_nm), (before + rw.glide_antenna_m) / kMetresPerNm, 1e-9);
}

TEST(NavWorld, another_frequency_hears_no_localizer) {
    Radios r;
    r.v.set(sim::nav1_freq_bcd, 0x1105);
    r.at(5000.0, 0.0, 300.0);
    EXPECT_EQ(r.v.get(sim::nav1_flags), 0);
    EXPECT_EQ(r.v.get(sim::nav1_signal), 0.0);
    EXPECT_EQ(r.v.get(sim::nav1_gs_flag), 0.0);
    EXPECT_EQ(r.v.get(sim::dme1_distance_nm), 0.0);
}

TEST(NavWorld, the_marker_beacons_are_heard_over_their_places_only) {
    Radios r;
    for (int m = 1; m <= 3; ++m) {
        r.at(r.world.marker_m[m], 0.0, 100.0);
        EXPECT_EQ(r.v.get(sim::marker_beacon), m);
        r.at(r.world.marker_m[m] + 400.0, 0.0, 100.0);
        EXPECT_EQ(r.v.get(sim::marker_beacon), 0.0) << m;
    }
}

TEST(NavWorld, the_vor_needle_to_from_and_dme_follow_the_radial) {
    Radios r;
    const Vor& vor = r.world.vor;
    r.v.set(sim::nav1_freq_bcd, vor.freq_bcd);
    r.v.set(sim::nav1_obs_deg, 90.0);
    // 20 km west of the station, on its 270 radial, heading east: TO, on course.
    const auto place = [&](double east, double north, double heading) {
        double past = 0.0, right = 0.0;
        r.world.runway_coordinates(east, north, past, right);
        update_radios(r.world, r.world.on_approach(-past, right, 0.0), heading, r.v);
    };
    place(vor.east_m - 20000.0, vor.north_m, 90.0);
    EXPECT_EQ(r.v.get(sim::nav1_to_from), 1);
    EXPECT_NEAR(r.v.get(sim::nav1_cdi), 0.0, 1e-6);
    EXPECT_NEAR(r.v.get(sim::rmi_needle_1_deg), 0.0, 1e-6);  // dead ahead
    // North of the course line flying east: the course is to the right.
    place(vor.east_m - 20000.0, vor.north_m + 1000.0, 90.0);
    EXPECT_GT(r.v.get(sim::nav1_cdi), 0.0);
    // Past the station: FROM, and the same side rule.
    place(vor.east_m + 20000.0, vor.north_m + 1000.0, 90.0);
    EXPECT_EQ(r.v.get(sim::nav1_to_from), 2);
    EXPECT_GT(r.v.get(sim::nav1_cdi), 0.0);
    EXPECT_NEAR(r.v.get(sim::rmi_needle_1_deg), 180.0 - std::atan2(1000.0, 20000.0) * kDegPerRad, 1e-6);
    EXPECT_NEAR(r.v.get(sim::dme1_distance_nm), std::hypot(20000.0, 1000.0, r.world.elevation_m) / kMetresPerNm, 1e-9);
}

TEST(NavWorld, the_adf_points_at_the_ndb_relative_to_the_nose) {
    Radios r;
    const Ndb& ndb = r.world.ndb;
    double past = 0.0, right = 0.0;
    r.world.runway_coordinates(ndb.east_m, ndb.north_m + 5000.0, past, right);  // 5 km north of it
    update_radios(r.world, r.world.on_approach(-past, right, 300.0), 0.0, r.v);
    EXPECT_NEAR(r.v.get(sim::adf_bearing_deg), 180.0, 1e-9);
    update_radios(r.world, r.world.on_approach(-past, right, 300.0), 90.0, r.v);
    EXPECT_NEAR(r.v.get(sim::adf_bearing_deg), 90.0, 1e-9);
    r.v.set(sim::adf_freq_bcd, 0x0400);
    update_radios(r.world, r.world.on_approach(-past, right, 300.0), 90.0, r.v);
    EXPECT_EQ(r.v.get(sim::adf_bearing_deg), 0.0);
}

}  // namespace
}  // namespace tarvenol::host
