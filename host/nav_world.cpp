#include "host/nav_world.h"

#include "host/flight_math.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "module/sim_vocabulary.h"

namespace tarvenol::host {

namespace {

using namespace flight_math;


// What the receivers can hear and how their needles read.
constexpr double kNeedleFullScale = 127.0;         // NAV needles, either side
constexpr double kLocalizerCoverageDeg = 35.0;     // either side of the front course
constexpr double kLocalizerRangeM = 18.0 * kMetresPerNm;
constexpr double kGlideCoverageDeg = 8.0;          // either side of the course
constexpr double kGlideRangeM = 10.0 * kMetresPerNm;
constexpr double kGlideFullScaleDeg = 0.7;         // deviation at full-scale needle
constexpr double kVorFullScaleDeg = 10.0;
constexpr double kNavSignalStrong = 1000.0;        // the NAV signal value while a station is heard
constexpr double kDmeRangeM = 199.0 * kMetresPerNm;
constexpr double kMarkerConeHalfAngleDeg = 40.0;   // the marker's fan, along the course
constexpr double kMarkerMinHalfWidthM = 100.0;
constexpr double kMarkerHalfBreadthM = 1000.0;     // across the course
constexpr double kVorAbeamDeg = 90.0;              // course and bearing this far apart: FROM
// NAV 1 TO/FROM values as the simulator gives them.
constexpr std::int32_t kToFromOff = 0;
constexpr std::int32_t kToFromTo = 1;
constexpr std::int32_t kToFromFrom = 2;

// The true bearing from one point to another, degrees.
double bearing_deg(double from_e, double from_n, double to_e, double to_n) {
    return wrap360(std::atan2(to_e - from_e, to_n - from_n) * kDegPerRad);
}

// --- Parsing ----------------------------------------------------------------------------------------

std::vector<std::string_view> words_of(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool number(std::string_view word, double& out) {
    const std::string s(word);
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return !s.empty() && end == s.c_str() + s.size() && std::isfinite(out);
}

// 110.30 -> 0x1030: the MHz below 100 and the tens of kHz, four BCD digits.
bool nav_frequency(std::string_view word, std::int32_t& bcd) {
    double mhz = 0.0;
    if (!number(word, mhz) || mhz < 108.0 || mhz > 117.95) return false;
    const int tens_khz = static_cast<int>(std::lround((mhz - 100.0) * 100.0));
    const int digits[4] = {tens_khz / 1000, tens_khz / 100 % 10, tens_khz / 10 % 10, tens_khz % 10};
    bcd = digits[0] << 12 | digits[1] << 8 | digits[2] << 4 | digits[3];
    return true;
}
// 385 -> 0x0385.
bool adf_frequency(std::string_view word, std::int32_t& bcd) {
    double khz = 0.0;
    if (!number(word, khz) || khz < 100.0 || khz > 1799.0 || khz != std::floor(khz)) return false;
    const int k = static_cast<int>(khz);
    bcd = (k / 1000) << 12 | (k / 100 % 10) << 8 | (k / 10 % 10) << 4 | k % 10;
    return true;
}

// Keyword-value pairs after the leading words: "heading 263 length 3200 ...".
struct Pairs {
    const std::vector<std::string_view>& words;
    std::size_t first;
    std::string& error;

    std::string_view text(std::string_view key) const {
        for (std::size_t i = first; i + 1 < words.size(); i += 2)
            if (words[i] == key) return words[i + 1];
        error = "missing " + std::string(key);
        return {};
    }
    bool value(std::string_view key, double& out) const {
        const std::string_view t = text(key);
        if (t.empty()) return false;
        if (!number(t, out)) error = std::string(key) + " is not a number: " + std::string(t);
        return error.empty();
    }
    bool flag(std::string_view key, bool& out) const {
        const std::string_view t = text(key);
        if (t == "yes" || t == "no") out = t == "yes";
        else if (error.empty()) error = std::string(key) + " must be yes or no";
        return error.empty();
    }
};

bool parse_line(const std::vector<std::string_view>& w, NavWorld& world, std::string& error) {
    const std::string_view kind = w[0];
    if (kind == "airport" && w.size() >= 2) {
        world.airport = std::string(w[1]);
        return Pairs{w, 2, error}.value("elevation", world.elevation_m);
    }
    if (kind == "runway" && w.size() >= 2) {
        IlsRunway& r = world.runway;
        r.name = std::string(w[1]);
        const Pairs p{w, 2, error};
        if (!p.value("heading", r.heading_deg) || !p.value("length", r.length_m) ||
            !p.value("course_width", r.course_width_deg) || !p.value("glide", r.glide_deg) ||
            !p.value("glide_antenna", r.glide_antenna_m) || !p.flag("dme", r.dme))
            return false;
        for (std::size_t i = 2; i + 1 < w.size(); ++i)
            if (w[i] == "width" && !(number(w[i + 1], r.width_m) && r.width_m > 0.0)) {
                error = "width must be a positive number of metres";
                return false;
            }
        if (!nav_frequency(p.text("ils"), r.ils_bcd)) {
            if (error.empty()) error = "ils must be a NAV frequency, 108.00 to 117.95";
            return false;
        }
        for (std::size_t i = 2; i + 2 < w.size(); ++i)
            if (w[i] == "touchdown_zone")
                return number(w[i + 1], r.touchdown_from_m) && number(w[i + 2], r.touchdown_to_m)
                           ? true
                           : (error = "touchdown_zone needs two distances", false);
        error = "missing touchdown_zone";
        return false;
    }
    if (kind == "vor" && w.size() >= 6 && w[3] == "at") {
        Vor& v = world.vor;
        v.ident = std::string(w[1]);
        if (!nav_frequency(w[2], v.freq_bcd)) return (error = "not a NAV frequency: " + std::string(w[2]), false);
        if (!number(w[4], v.east_m) || !number(w[5], v.north_m)) return (error = "at needs X Y", false);
        const Pairs p{w, 6, error};
        return p.flag("dme", v.dme) && p.value("range", v.range_m);
    }
    if (kind == "ndb" && w.size() >= 6 && w[3] == "at") {
        Ndb& n = world.ndb;
        n.ident = std::string(w[1]);
        if (!adf_frequency(w[2], n.freq_bcd)) return (error = "not an ADF frequency: " + std::string(w[2]), false);
        if (!number(w[4], n.east_m) || !number(w[5], n.north_m)) return (error = "at needs X Y", false);
        return Pairs{w, 6, error}.value("range", n.range_m);
    }
    if (kind == "marker" && w.size() == 3) {
        const int m = w[1] == "outer" ? 1 : w[1] == "middle" ? 2 : w[1] == "inner" ? 3 : 0;
        if (m == 0) return (error = "a marker is outer, middle or inner", false);
        if (!number(w[2], world.marker_m[m])) return (error = "a marker needs its distance", false);
        return true;
    }
    error = "unknown line: " + std::string(kind);
    return false;
}

}  // namespace

bool parse_nav_world(std::string_view text, NavWorld& world, std::string& error) {
    world = NavWorld{};
    int line_number = 0;
    bool has_runway = false;
    while (!text.empty()) {
        ++line_number;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        line = line.substr(0, line.find('#'));
        const std::vector<std::string_view> w = words_of(line);
        if (w.empty()) continue;
        std::string what;
        if (!parse_line(w, world, what)) {
            error = "line " + std::to_string(line_number) + ": " + what;
            return false;
        }
        has_runway = has_runway || w[0] == "runway";
    }
    if (!has_runway) {
        error = "no runway";
        return false;
    }
    return true;
}

const NavWorld& builtin_nav_world() {
    static const NavWorld world = [] {
        NavWorld w;
        std::string error;
        if (!parse_nav_world(kNavWorldText, w, error)) std::abort();  // checked by the tests at build
        return w;
    }();
    return world;
}

WorldPoint NavWorld::on_approach(double before_m, double right_m, double height_m) const {
    const double c = runway.heading_deg / kDegPerRad;
    // Along the course (sin c, cos c); to its right (cos c, -sin c).
    return {-before_m * std::sin(c) + right_m * std::cos(c), -before_m * std::cos(c) - right_m * std::sin(c),
            elevation_m + height_m};
}

void NavWorld::runway_coordinates(double east_m, double north_m, double& past_m, double& right_m) const {
    const double c = runway.heading_deg / kDegPerRad;
    past_m = east_m * std::sin(c) + north_m * std::cos(c);
    right_m = east_m * std::cos(c) - north_m * std::sin(c);
}

namespace {

// A VOR's needle, TO/FROM and bearing for the course selected.
struct VorReading {
    bool heard = false;
    double cdi = 0.0;
    std::int32_t to_from = kToFromOff;
    double relative_bearing = 0.0;  // from the nose to the station
    double dme_nm = 0.0;            // 0 without DME or out of range
};
VorReading read_vor(const Vor& vor, const WorldPoint& at, double heading_deg, double course_deg) {
    VorReading r;
    const double distance = std::hypot(at.east_m - vor.east_m, at.north_m - vor.north_m);
    if (vor.freq_bcd == 0 || distance > vor.range_m) return r;
    r.heard = true;
    const double radial = bearing_deg(vor.east_m, vor.north_m, at.east_m, at.north_m);
    const double from_course = wrap180(radial - course_deg);
    // Off the course to its left the needle shows it to the right (positive).
    double off_deg = 0.0;
    if (std::fabs(from_course) <= kVorAbeamDeg) {
        r.to_from = kToFromFrom;
        off_deg = -from_course;
    } else {
        r.to_from = kToFromTo;
        off_deg = wrap180(radial + 180.0 - course_deg);
    }
    r.cdi = std::clamp(off_deg / kVorFullScaleDeg * kNeedleFullScale, -kNeedleFullScale, kNeedleFullScale);
    r.relative_bearing = wrap360(radial + 180.0 - heading_deg);
    const double slant = std::hypot(distance, at.altitude_m);
    if (vor.dme && slant <= kDmeRangeM) r.dme_nm = slant / kMetresPerNm;
    return r;
}

}  // namespace

void update_radios(const NavWorld& world, const WorldPoint& at, double heading_deg, SimVars& v) {
    const IlsRunway& r = world.runway;
    constexpr std::int32_t kFrequencyDigits = 0xFFFF;
    const std::int32_t nav1 = v.get(sim::nav1_freq_bcd) & kFrequencyDigits;
    const std::int32_t nav2 = v.get(sim::nav2_freq_bcd) & kFrequencyDigits;
    const std::int32_t adf = v.get(sim::adf_freq_bcd) & kFrequencyDigits;
    double past = 0.0, right = 0.0;
    world.runway_coordinates(at.east_m, at.north_m, past, right);
    const double height = at.altitude_m - world.elevation_m;

    // NAV 1: the ILS, or the VOR when it is tuned there.
    double cdi = 0.0, gsi = 0.0, signal = 0.0, gs_received = 0.0, dme1 = 0.0, vor1_bearing = 0.0;
    bool vor1 = false;
    std::int32_t flags = 0, to_from = kToFromOff;
    if (nav1 == r.ils_bcd) {
        flags = kNavFlagLocalizer | kNavFlagGlideSlope;
        // The localizer antenna at the far end of the runway, its course pointing back up the approach.
        const double to_antenna = r.length_m - past;
        const double off_course_deg = std::atan2(right, to_antenna) * kDegPerRad;
        if (to_antenna > 0.0 && std::fabs(off_course_deg) <= kLocalizerCoverageDeg &&
            std::hypot(to_antenna, right) <= kLocalizerRangeM) {
            signal = kNavSignalStrong;
            to_from = kToFromTo;
            // Right of the course: the needle shows the course to the left (negative).
            cdi = std::clamp(-off_course_deg / r.course_width_deg * kNeedleFullScale, -kNeedleFullScale, kNeedleFullScale);
            const double to_glide = r.glide_antenna_m - past;
            if (to_glide > 0.0 && std::fabs(off_course_deg) <= kGlideCoverageDeg && to_glide <= kGlideRangeM) {
                gs_received = 1.0;
                const double elevation_deg = std::atan2(height, to_glide) * kDegPerRad;
                // Above the glide path the needle reads positive.
                gsi = std::clamp((elevation_deg - r.glide_deg) / kGlideFullScaleDeg * kNeedleFullScale,
                                 -kNeedleFullScale, kNeedleFullScale);
            }
            if (r.dme) dme1 = std::hypot(std::hypot(r.glide_antenna_m - past, right), height) / kMetresPerNm;
        }
    } else if (nav1 == world.vor.freq_bcd) {
        const VorReading vor = read_vor(world.vor, at, heading_deg, v.get(sim::nav1_obs_deg));
        if (vor.heard) {
            signal = kNavSignalStrong;
            cdi = vor.cdi;
            to_from = vor.to_from;
            dme1 = vor.dme_nm;
            vor1 = true;
            vor1_bearing = vor.relative_bearing;
        }
    }
    v.set(sim::nav1_cdi, cdi);
    v.set(sim::nav1_gsi, gsi);
    v.set(sim::nav1_signal, signal);
    v.set(sim::nav1_gs_flag, gs_received);
    v.set(sim::nav1_flags, flags);
    v.set(sim::nav1_to_from, to_from);
    v.set(sim::dme1_distance_nm, dme1);
    v.set(sim::hsi_dme_nm, dme1);

    // NAV 2 feeds the second RMI needle and the second DME.
    const VorReading vor2 =
        nav2 == world.vor.freq_bcd ? read_vor(world.vor, at, heading_deg, 0.0) : VorReading{};
    v.set(sim::rmi_needle_2_deg, vor2.relative_bearing);
    v.set(sim::dme2_distance_nm, vor2.dme_nm);
    v.set(sim::dme2_available, vor2.dme_nm > 0.0 ? 1.0 : 0.0);

    // The ADF points at the NDB when it is tuned and heard; the first RMI needle follows it unless
    // NAV 1 has a VOR.
    const Ndb& ndb = world.ndb;
    double adf_bearing = 0.0;
    if (adf == ndb.freq_bcd && ndb.freq_bcd != 0 &&
        std::hypot(at.east_m - ndb.east_m, at.north_m - ndb.north_m) <= ndb.range_m)
        adf_bearing = wrap360(bearing_deg(at.east_m, at.north_m, ndb.east_m, ndb.north_m) - heading_deg);
    v.set(sim::adf_bearing_deg, adf_bearing);
    v.set(sim::rmi_needle_1_deg, vor1 ? vor1_bearing : adf_bearing);

    // Marker beacons: a fan across the approach course, wider with height.
    Marker heard = Marker::none;
    for (int m = 1; m <= 3; ++m) {
        if (world.marker_m[m] <= 0.0) continue;
        const double half_width =
            std::max(kMarkerMinHalfWidthM, height * std::tan(kMarkerConeHalfAngleDeg / kDegPerRad));
        if (std::fabs(past + world.marker_m[m]) <= half_width && std::fabs(right) <= kMarkerHalfBreadthM)
            heard = static_cast<Marker>(m);
    }
    v.set(sim::marker_beacon, static_cast<double>(heard));
}

}  // namespace tarvenol::host
