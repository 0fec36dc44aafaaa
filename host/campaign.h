// The autoland campaign: many automatic approaches flown by the cockpit's own laws in the stand-in
// simulator, each started differently (wind along and across the runway with gusts, where and how
// the localizer is intercepted, the weight, an engine out), each judged by the flight model's
// verdict, and the touchdowns measured against the airworthiness criteria for automatic landing.
// Deterministic: the same count and seed fly the same approaches to the same results.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/flight_model.h"

namespace tarvenol::host {

// The criteria an automatic landing's touchdowns are held to.
namespace autoland_criteria {
constexpr double kEarliestM = 61.0;        // 200 ft past the threshold
constexpr double kLatestM = 823.0;         // 2700 ft past the threshold
constexpr double kOutboardGearM = 21.0;    // 70 ft: the outboard main gear from the centreline
constexpr double kMainGearHalfTrackM = 4.8;  // half the main-gear track of a two-engine wide-body (9.6 m)
constexpr double kMaxSinkFpm = 600.0;      // 10 ft/s, the gear's limit
}  // namespace autoland_criteria

// How one approach starts.
struct Approach {
    double before_m = 9000.0;      // before the threshold, level
    double right_m = 0.0;          // right of the extended centreline
    double height_ft = 1200.0;
    double ias_kt = 140.0;
    double heading_offset_deg = 0.0;
    double wind_from_offset_deg = 0.0;  // from the runway heading (0: a headwind, 180: a tailwind)
    double wind_kt = 0.0;
    double gust_kt = 0.0;
    double fuel_kg = 20000.0;       // in the centre tank; the zero-fuel mass is the model's default
    bool engine_out = false;        // engine 1 failed from the start
    std::uint64_t seed = 1;         // the gusts'
};

struct ApproachResult {
    Approach approach;
    Judgement judgement;
    TouchdownReport touchdown;
    double landing_mass_kg = 0.0;
    std::string verdict;
};

// The stand-in crew on the roll-out: once the wheels are down, the thrust levers to idle, the
// brakes, and the rudder pedals (nose-wheel steering) toward the centreline; in the air it does nothing. They look out of the
// window: the runway is where the flight model has it.
void crew_roll_out(FlightModel& flight, SimVars& vars);

// Flies one approach from its start to the verdict (at most `limit_s` simulated seconds).
ApproachResult fly_approach(const Approach& a, double limit_s = 400.0);

// The campaign's approaches: `count` of them drawn from `seed`.
std::vector<Approach> campaign_approaches(int count, std::uint64_t seed);

// The table: verdicts, and mean, standard deviation and extremes of the touchdown's distance past
// the threshold, distance from the centreline and sink rate against the criteria.
void print_campaign(const std::vector<ApproachResult>& results, std::FILE* out);
// The touchdown dispersion on the runway as a PNG; false (with `error`) when it cannot be drawn.
bool write_dispersion_png(const std::vector<ApproachResult>& results, const std::string& path, std::string& error);
// The same picture as pixels (0xRRGGBB, rows from the top); false when this build draws nothing.
bool dispersion_image(const std::vector<ApproachResult>& results, std::vector<std::uint32_t>& pixels, int& width, int& height);
// Where a touchdown `past_m` past the threshold and `right_m` right of the centreline is drawn.
struct PlotPoint {
    double x, y;
};
PlotPoint dispersion_point(double past_m, double right_m);
constexpr int kDispersionWidth = 1200, kDispersionHeight = 420;

}  // namespace tarvenol::host
