#include "host/campaign.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "host/aircraft_model.h"
#include "host/flight_math.h"
#include "host/simulator.h"
#include "module/module_state.h"
#include "module/shared_state.h"

namespace tarvenol::host {

namespace {

using namespace flight_math;

constexpr std::uint8_t kCockpitAlreadySet = 2;  // the crew sets the switches: the module's start-up setting is skipped
constexpr double kFuelLbPerGal = 6.7;
constexpr double kKgPerPound = 0.45359237;
constexpr double kCentreTankGal = 20000.0;
constexpr double kFullLevel = 8388608.0;
constexpr double kRunning = 16384.0;              // mixture rich
constexpr int kCentreTank = 6;
constexpr double kRunningN2 = 75.0;
constexpr double kApproachLever = 0.4;
constexpr double kFullAxis = 16383.0;
constexpr double kGearDown = 16384.0;
constexpr double kApproachSpeedKt = 140.0;        // the speed reference set for the approach

// The crew's feet on the roll-out.
constexpr double kCrewBrakePedal = 24000.0;       // firm braking, three quarters of the pedal
constexpr double kCrewInterceptDegPerM = 0.5;     // heading error asked per metre off the centreline
constexpr double kCrewMaxInterceptDeg = 3.0;
constexpr double kCrewYawPerHeadingError = 0.5;   // yaw rate asked (deg/s) per degree of heading error
constexpr double kSlowestSteeringMps = 2.0;

// The campaign's spread of starts.
constexpr double kMostHeadwindKt = 25.0;   // the usual demonstrated limits of an automatic landing
constexpr double kMostTailwindKt = 10.0;
constexpr double kMostCrosswindKt = 15.0;
constexpr double kMostGustKt = 10.0;
constexpr double kNearestStartM = 8500.0, kFarthestStartM = 11500.0;
constexpr double kMostOffsetM = 400.0;
constexpr double kLowestStartFt = 900.0, kHighestStartFt = 1400.0;  // below the glide path there
constexpr double kMostInterceptDeg = 30.0;
constexpr double kSlowestStartKt = 135.0, kFastestStartKt = 160.0;
constexpr double kLeastFuelKg = 5000.0, kMostFuelKg = 35000.0;  // landing masses about 100 to 130 t
constexpr double kEngineOutShare = 0.1;

void click(Simulator& sim, const char* gauge_name, const char* area_name) {
    const GaugeInfo* g = find_gauge(gauge_name);
    std::size_t index = 0;
    if (g && find_area(*g, area_name, &index)) sim.click(*g, index);
}

double runway_heading_error(const FlightModel& f) {
    return wrap180(f.heading_deg() - f.world().runway.heading_deg);
}

struct Stats {
    double sum = 0.0, sum2 = 0.0, low = 1e300, high = -1e300;
    int n = 0, met = 0;
    void add(double x, bool ok) {
        sum += x, sum2 += x * x, low = std::min(low, x), high = std::max(high, x);
        ++n;
        met += ok ? 1 : 0;
    }
    double mean() const { return n ? sum / n : 0.0; }
    double sd() const { return n > 1 ? std::sqrt(std::max(sum2 - sum * sum / n, 0.0) / (n - 1)) : 0.0; }
};

}  // namespace

void crew_roll_out(FlightModel& f, SimVars& v) {
    if (!f.on_ground() || !f.touchdown().landed) return;
    // Forward thrust to idle (a lever already in reverse stays there), the brakes on.
    if (v.get(sim::eng1_throttle_lever) > 0.0) v.set(sim::eng1_throttle_lever, 0.0);
    if (v.get(sim::eng2_throttle_lever) > 0.0) v.set(sim::eng2_throttle_lever, 0.0);
    v.set(sim::brake_left, kCrewBrakePedal);
    v.set(sim::brake_right, kCrewBrakePedal);
    const double wanted = std::clamp(-f.right_of_centreline_m() * kCrewInterceptDegPerM, -kCrewMaxInterceptDeg, kCrewMaxInterceptDeg);
    const double yaw_rate = (wanted - runway_heading_error(f)) * kCrewYawPerHeadingError / kDegPerRad;
    const double speed = std::max(f.tas_mps(), kSlowestSteeringMps);
    const double steer_deg = std::atan(yaw_rate * flight_coefficients::kWheelbaseM / speed) * kDegPerRad;
    v.set(sim::rudder_pos, std::clamp(steer_deg / flight_coefficients::kNoseWheelSteerDeg, -1.0, 1.0) * kFullAxis);
}

ApproachResult fly_approach(const Approach& a, double limit_s) {
    Simulator sim;
    FlightModel& f = sim.flight();
    SimVars& v = sim.vars();
    f.set_enabled(true);
    shared.cockpit_init_state = kCockpitAlreadySet;
    const NavWorld& w = f.world();

    // Both engines lit on the centre tank (engine 1 failed for an engine-out approach), gear down,
    // full flap, NAV 1 on the ILS and its course.
    v.set(sim::fuel_lb_per_gal, kFuelLbPerGal);
    v.set(sim::tank_center_capacity_gal, kCentreTankGal);
    v.set(sim::tank_center_level, std::clamp(a.fuel_kg / kKgPerPound / kFuelLbPerGal / kCentreTankGal, 0.0, 1.0) * kFullLevel);
    v.set(sim::eng1_mixture, kRunning);
    v.set(sim::eng2_mixture, kRunning);
    v.set(sim::eng1_fuel_valve, 1.0);
    v.set(sim::eng2_fuel_valve, 1.0);
    v.set(sim::eng1_fuel_selector, kCentreTank);
    v.set(sim::eng2_fuel_selector, kCentreTank);
    v.set(sim::eng1_n2_pct, kRunningN2);
    v.set(sim::eng2_n2_pct, kRunningN2);
    v.set(sim::eng1_throttle_lever, kApproachLever);
    v.set(sim::eng2_throttle_lever, kApproachLever);
    v.set(sim::gear_handle, 1.0);
    v.set(sim::gear_nose_pos, kGearDown);
    v.set(sim::gear_left_pos, kGearDown);
    v.set(sim::gear_right_pos, kGearDown);
    v.set(sim::flap_handle, kFullAxis);
    v.set(sim::flap_pos, kFullAxis);
    v.set(sim::nav1_freq_bcd, w.runway.ils_bcd);
    v.set(sim::nav1_obs_deg, w.runway.heading_deg);
    f.place_on_approach(a.before_m, a.right_m, a.height_ft, a.ias_kt, a.heading_offset_deg);
    f.set_wind(wrap360(w.runway.heading_deg + a.wind_from_offset_deg), a.wind_kt);
    f.set_gusts(a.gust_kt, a.seed);

    const auto frame = [&] {
        if (a.engine_out) sim.model().key_event(key::eng1_failure_set.id, 1);
        crew_roll_out(f, v);
        sim.frame();
    };
    // Generators, yaw dampers, pitch trims, autopilot 1, the autothrottle in SPEED, LAND.
    frame();
    click(sim, "tarvenol elec_gen_t418", "gen_1.on");
    click(sim, "tarvenol elec_gen_t418", "gen_2.on");
    for (int i = 0; i < 100; ++i) frame();
    click(sim, "tarvenol yaw_t418", "yaw_damper_1.engaged");
    click(sim, "tarvenol yaw_t418", "yaw_damper_2.engaged");
    click(sim, "tarvenol yaw_t418", "pitch_trim_1.on");
    click(sim, "tarvenol yaw_t418", "pitch_trim_2.on");
    frame();
    click(sim, "tarvenol ap_master_t418", "ap_1.on");
    frame();
    v.set(sim::ap_airspeed_ref_kt, kApproachSpeedKt);
    click(sim, "tarvenol ap_ats_t418", "arm.on");
    frame();
    click(sim, "tarvenol ap_ats_t418", "speed");
    frame();
    click(sim, "tarvenol ap_master_t418", "land");

    ApproachResult r;
    r.approach = a;
    while (f.judgement().verdict == Verdict::undecided && f.time_s() < limit_s) {
        frame();
        if (f.touchdown().landed && r.landing_mass_kg == 0.0) r.landing_mass_kg = f.mass_kg();
    }
    r.judgement = f.judgement();
    r.touchdown = f.touchdown();
    r.verdict = f.verdict_text();
    return r;
}

std::vector<Approach> campaign_approaches(int count, std::uint64_t seed) {
    Random random(seed);
    const auto between = [&](double low, double high) { return low + (high - low) * random.uniform(); };
    std::vector<Approach> list;
    for (int i = 0; i < count; ++i) {
        Approach a;
        const double headwind = between(-kMostTailwindKt, kMostHeadwindKt);
        const double crosswind = between(-kMostCrosswindKt, kMostCrosswindKt);  // positive: from the right
        a.wind_kt = std::hypot(headwind, crosswind);
        a.wind_from_offset_deg = std::atan2(crosswind, headwind) * kDegPerRad;
        a.gust_kt = between(0.0, kMostGustKt);
        a.before_m = between(kNearestStartM, kFarthestStartM);
        a.right_m = between(-kMostOffsetM, kMostOffsetM);
        a.height_ft = between(kLowestStartFt, kHighestStartFt);
        // Turned in toward the centreline by up to the usual intercept angle.
        a.heading_offset_deg = -std::copysign(between(0.0, kMostInterceptDeg), a.right_m);
        a.ias_kt = between(kSlowestStartKt, kFastestStartKt);
        a.fuel_kg = between(kLeastFuelKg, kMostFuelKg);
        a.engine_out = random.uniform() < kEngineOutShare;
        a.seed = seed * 1000003u + static_cast<std::uint64_t>(i) + 1u;
        list.push_back(a);
    }
    return list;
}

PlotPoint dispersion_point(double past_m, double right_m) {
    constexpr double kFromM = -200.0, kToM = 1800.0;  // along the runway, past the threshold
    constexpr double kHalfWidthM = 60.0;              // across it
    constexpr double kMarginPx = 50.0;
    const double sx = (kDispersionWidth - 2 * kMarginPx) / (kToM - kFromM);
    const double sy = (kDispersionHeight - 2 * kMarginPx) / (2 * kHalfWidthM);
    return {kMarginPx + (past_m - kFromM) * sx, kDispersionHeight / 2.0 + right_m * sy};  // right of the centreline is down
}

void print_campaign(const std::vector<ApproachResult>& results, std::FILE* out) {
    using namespace autoland_criteria;
    std::map<Verdict, int> verdicts;
    Stats past, side, sink;
    int touched = 0, all_met = 0;
    for (const ApproachResult& r : results) {
        ++verdicts[r.judgement.verdict];
        const TouchdownReport& t = r.touchdown;
        if (!t.landed) continue;
        ++touched;
        const double outboard = std::fabs(t.right_of_centreline_m) + kMainGearHalfTrackM;
        const bool p = t.past_threshold_m >= kEarliestM && t.past_threshold_m <= kLatestM;
        const bool s = outboard <= kOutboardGearM;
        const bool k = t.sink_fpm <= kMaxSinkFpm;
        past.add(t.past_threshold_m, p);
        side.add(outboard, s);
        sink.add(t.sink_fpm, k);
        all_met += p && s && k ? 1 : 0;
    }
    std::fprintf(out, "Autoland campaign: %zu approaches\n\nVerdicts\n", results.size());
    for (const auto& [v, n] : verdicts)
        std::fprintf(out, "  %-40s %5d  (%.1f %%)\n", verdict_name(v), n, 100.0 * n / std::max<std::size_t>(results.size(), 1));
    std::fprintf(out, "\nTouchdowns: %d of %zu approaches touched down\n", touched, results.size());
    std::fprintf(out, "  %-34s %8s %8s %8s %8s  %-18s %s\n", "", "mean", "s.d.", "min", "max", "criterion", "met");
    const auto row = [&](const char* name, const Stats& st, const char* criterion) {
        std::fprintf(out, "  %-34s %8.1f %8.1f %8.1f %8.1f  %-18s %d of %d (%.1f %%)\n", name, st.mean(), st.sd(),
                     st.n ? st.low : 0.0, st.n ? st.high : 0.0, criterion, st.met, st.n, st.n ? 100.0 * st.met / st.n : 0.0);
    };
    row("past the threshold, m", past, "61 to 823 m");
    row("outboard gear from centreline, m", side, "at most 21 m");
    row("sink rate, ft/min", sink, "at most 600");
    std::fprintf(out, "  all three criteria met: %d of %d touchdowns (%.1f %%)\n", all_met, touched,
                 touched ? 100.0 * all_met / touched : 0.0);
}

}  // namespace tarvenol::host
