// The rig judges every flight: a landing within limits stopped on the runway, or the first thing that
// went wrong, with its moment; and the autoland campaign tabulates a small sample.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "flight.h"
#include "host/campaign.h"

namespace tarvenol::host::testing {
namespace {

constexpr double kFullPedal = 32000.0;
constexpr double kApproachLever = 0.4;

// Steps the flight model alone until the verdict is given or the time runs out; `each` runs before
// every step (the crew's hands and feet).
template <typename Each>
Judgement fly_until_verdict(Flight& f, double limit_s, Each each) {
    while (f.flight.judgement().verdict == Verdict::undecided && f.flight.time_s() < limit_s) {
        each();
        f.step_alone(1);
    }
    return f.flight.judgement();
}
Judgement fly_until_verdict(Flight& f, double limit_s) {
    return fly_until_verdict(f, limit_s, [] {});
}

// Short final in the landing configuration, at approach thrust: `before_m` before the threshold
// (negative: past it), `height_ft` up, sinking at `sink_fpm`, heading `crab_deg` right of the runway.
void short_final(Flight& f, double before_m, double height_ft, double sink_fpm, double crab_deg = 0.0) {
    f.engines_running(kApproachLever, 75.0);
    f.landing_configuration();
    const NavWorld& w = f.flight.world();
    f.flight.place(w.on_approach(before_m, 0.0, height_ft / kFeetPerMetre), w.runway.heading_deg + crab_deg, 135.0, -sink_fpm);
}

TEST(Verdict, every_way_a_landing_goes_wrong_is_named_with_its_moment_and_place) {
    const NavWorld& w = builtin_nav_world();
    {  // Flown into the ground nine kilometres out.
        Flight f;
        f.engines_running(0.5);
        f.landing_configuration();
        f.flight.place_on_approach(9000.0, 0.0, 1200.0, 200.0);
        f.v.set(sim::elevator_pos, 4000.0);  // nose down and held
        const Judgement j = fly_until_verdict(f, 120.0);
        EXPECT_EQ(j.verdict, Verdict::impact_off_runway);
        EXPECT_LT(j.past_threshold_m, -5000.0);
        EXPECT_GT(j.figure, 1000.0);  // the sink rate it hit with
        EXPECT_NEAR(j.time_s, f.flight.time_s(), 0.1);
        EXPECT_NE(f.flight.verdict_text().find("IMPACT OFF THE RUNWAY"), std::string::npos) << f.flight.verdict_text();
        EXPECT_NE(f.flight.verdict_text().find("short of the threshold"), std::string::npos) << f.flight.verdict_text();
    }
    {  // On the runway with the gear up.
        Flight f;
        short_final(f, 500.0, 60.0, 300.0);
        f.v.set(sim::gear_nose_pos, 0.0);
        f.v.set(sim::gear_left_pos, 0.0);
        f.v.set(sim::gear_right_pos, 0.0);
        f.v.set(sim::gear_handle, 0.0);
        const Judgement j = fly_until_verdict(f, 60.0);
        EXPECT_EQ(j.verdict, Verdict::gear_up);
        EXPECT_GT(j.past_threshold_m, 0.0);
    }
    {  // Touched down within limits 2.4 km down the runway, and no brakes: over the end.
        Flight f;
        short_final(f, -1800.0, 60.0, 400.0);
        const Judgement j = fly_until_verdict(f, 120.0);
        EXPECT_TRUE(f.flight.touchdown().landed);
        EXPECT_EQ(j.verdict, Verdict::beyond_end);
        EXPECT_NEAR(j.past_threshold_m, w.runway.length_m, 10.0);
        EXPECT_GT(j.time_s, f.flight.event(0).time_s);
    }
    {  // Too fast a sink for the gear.
        Flight f;
        short_final(f, 0.0, 60.0, 900.0);
        EXPECT_EQ(fly_until_verdict(f, 60.0).verdict, Verdict::hard_landing);
    }
}

// A 15 kt crosswind from the right: the aircraft touches down crabbed into it. Nobody on the pedals,
// it rolls off the side where its nose points; the crew steering on the centreline and braking
// stops it on the runway: a landing.
TEST(Verdict, a_crabbed_crosswind_touchdown_needs_the_crew_on_the_pedals) {
    const NavWorld& w = builtin_nav_world();
    constexpr double kCrosswindKt = 15.0;
    const double crab = std::asin(kCrosswindKt / 135.0) * 180.0 / flight_math::kPi;
    for (const bool crew : {false, true}) {
        SCOPED_TRACE(crew ? "the crew steers and brakes" : "nobody on the pedals");
        Flight f;
        short_final(f, 500.0, 60.0, 300.0, crab);
        f.flight.set_wind(std::fmod(w.runway.heading_deg + 90.0, 360.0), kCrosswindKt);
        const Judgement j = fly_until_verdict(f, 200.0, [&] {
            if (crew) crew_roll_out(f.flight, f.v);
        });
        ASSERT_TRUE(f.flight.touchdown().landed);
        EXPECT_LT(std::fabs(f.flight.touchdown().right_of_centreline_m), 5.0);  // it touched down on the centreline
        if (crew) {
            EXPECT_EQ(j.verdict, Verdict::landed) << f.flight.verdict_text();
            EXPECT_LT(std::fabs(f.flight.right_of_centreline_m()), 5.0);
            EXPECT_NE(f.flight.verdict_text().find("LANDED on runway 26 of TARV"), std::string::npos);
        } else {
            EXPECT_EQ(j.verdict, Verdict::off_side) << f.flight.verdict_text();
            EXPECT_NEAR(j.right_of_centreline_m, w.runway.width_m / 2.0, 1.0);
        }
    }
}

// Take-off thrust from the threshold. Rejected at 100 kt (idle, full brakes) the aircraft stops on
// the runway: no fault, but no landing either. Never rotated, it runs off the end.
TEST(Verdict, an_aborted_take_off_stops_on_the_runway_and_a_runaway_one_is_judged) {
    for (const bool reject : {true, false}) {
        SCOPED_TRACE(reject ? "rejected at 100 kt" : "never rotated");
        Flight f;
        f.engines_running(1.0, 100.0);
        f.landing_configuration();
        bool rejected = false;
        const Judgement j = fly_until_verdict(f, reject ? 120.0 : 200.0, [&] {
            if (reject && !rejected && f.flight.ias_kt() >= 100.0) {
                rejected = true;
                f.v.set(sim::eng1_throttle_lever, 0.0);
                f.v.set(sim::eng2_throttle_lever, 0.0);
                f.v.set(sim::brake_left, kFullPedal);
                f.v.set(sim::brake_right, kFullPedal);
            }
        });
        EXPECT_TRUE(f.flight.on_ground());
        if (reject) {
            EXPECT_EQ(j.verdict, Verdict::undecided);
            EXPECT_LT(f.flight.ias_kt(), 1.0);
            EXPECT_LT(f.flight.past_threshold_m(), f.flight.world().runway.length_m);
            EXPECT_NE(f.flight.verdict_text().find("NOT LANDED: never left the ground"), std::string::npos)
                << f.flight.verdict_text();
        } else {
            EXPECT_EQ(j.verdict, Verdict::beyond_end) << f.flight.verdict_text();
            EXPECT_NEAR(j.past_threshold_m, f.flight.world().runway.length_m, 10.0);
            EXPECT_GT(f.flight.ias_kt(), 150.0);
        }
    }
}

// The campaign flies a small sample the same way every time and tabulates it, with its picture.
TEST(Campaign, a_small_sample_is_flown_judged_and_tabulated_the_same_every_time) {
    const std::vector<Approach> approaches = campaign_approaches(3, 7);
    ASSERT_EQ(approaches.size(), 3u);
    EXPECT_EQ(campaign_approaches(3, 7)[2].right_m, approaches[2].right_m);
    EXPECT_NE(campaign_approaches(3, 8)[2].right_m, approaches[2].right_m);
    std::vector<ApproachResult> results;
    for (const Approach& a : approaches) results.push_back(fly_approach(a));
    for (const ApproachResult& r : results) {
        EXPECT_NE(r.judgement.verdict, Verdict::undecided) << r.verdict;
        EXPECT_TRUE(r.touchdown.landed) << r.verdict;
        EXPECT_GT(r.landing_mass_kg, flight_coefficients::kOperatingEmptyMassKg);
    }
    const ApproachResult again = fly_approach(approaches[0]);
    EXPECT_EQ(again.touchdown.past_threshold_m, results[0].touchdown.past_threshold_m);
    EXPECT_EQ(again.touchdown.sink_fpm, results[0].touchdown.sink_fpm);

    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    print_campaign(results, out);
    std::string table(4096, '\0');
    std::rewind(out);
    table.resize(std::fread(table.data(), 1, table.size(), out));
    std::fclose(out);
    for (const char* expected : {"Autoland campaign: 3 approaches", "past the threshold, m", "61 to 823 m",
                                 "outboard gear from centreline, m", "at most 21 m", "sink rate, ft/min", "at most 600"})
        EXPECT_NE(table.find(expected), std::string::npos) << expected << "\n" << table;

    // The picture: a dot where each touchdown was, coloured by its verdict, on the runway's grey.
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    if (!dispersion_image(results, pixels, width, height)) return;  // a build without cairo draws nothing
    ASSERT_EQ(width, kDispersionWidth);
    const auto pixel = [&](double past, double right) {
        const PlotPoint p = dispersion_point(past, right);
        return pixels[static_cast<std::size_t>(std::lround(p.y)) * width + static_cast<std::size_t>(std::lround(p.x))];
    };
    const std::uint32_t runway = pixel(1500.0, -15.0);
    EXPECT_EQ(runway, pixel(1600.0, 15.0));
    for (const ApproachResult& r : results) {
        const std::uint32_t dot = pixel(r.touchdown.past_threshold_m, r.touchdown.right_of_centreline_m);
        EXPECT_NE(dot, runway) << r.verdict;
        const int red = dot >> 16 & 0xFF, green = dot >> 8 & 0xFF;
        if (r.judgement.verdict != Verdict::landed) EXPECT_GT(red, 2 * green) << r.verdict;  // a fault: red
        else EXPECT_GT(green, 90) << r.verdict;                                            // green or amber
    }
    const std::string png = ::testing::TempDir() + "dispersion.png";
    std::string error;
    ASSERT_TRUE(write_dispersion_png(results, png, error)) << error;
    std::FILE* f = std::fopen(png.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char head[4] = {};
    EXPECT_EQ(std::fread(head, 1, 4, f), 4u);
    std::fclose(f);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(head) + 1, 3), "PNG");
}

}  // namespace
}  // namespace tarvenol::host::testing
