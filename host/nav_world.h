// The stand-in simulator's navigation world: an airport with an ILS runway, a VOR with DME, an NDB
// and the ILS marker beacons, read from a small text file (resources/nav_world.txt, built into the
// host), and the radio readings an aircraft at a given place gets from them with the frequencies
// the cockpit has tuned.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/panel_host.h"

namespace tarvenol::host {

// A place in the world: metres east and north of the ILS threshold, metres above sea level.
struct WorldPoint {
    double east_m = 0.0;
    double north_m = 0.0;
    double altitude_m = 0.0;
};

// A runway given no width: 45 m (150 ft), the usual width of a runway for wide-bodies.
constexpr double kDefaultRunwayWidthM = 45.0;

struct IlsRunway {
    std::string name;
    double heading_deg = 0.0;     // true; the localizer course
    double length_m = 0.0;        // the localizer antenna stands at the far end
    double width_m = kDefaultRunwayWidthM;  // the paved surface, centred on the centreline
    std::int32_t ils_bcd = 0;     // the NAV frequency as the radio holds it (0x1030 for 110.30)
    double course_width_deg = 0.0;  // full-scale deflection either side of the course
    double glide_deg = 0.0;
    double glide_antenna_m = 0.0;   // the glide-slope antenna's distance past the threshold
    bool dme = false;               // a DME beside the glide-slope antenna
    double touchdown_from_m = 0.0;  // the touchdown zone, metres past the threshold
    double touchdown_to_m = 0.0;
};

struct Vor {
    std::string ident;
    std::int32_t freq_bcd = 0;
    double east_m = 0.0;
    double north_m = 0.0;
    bool dme = false;
    double range_m = 0.0;
};

struct Ndb {
    std::string ident;
    std::int32_t freq_bcd = 0;  // kHz in four BCD digits, as the ADF holds it
    double east_m = 0.0;
    double north_m = 0.0;
    double range_m = 0.0;
};

// NAV 1 station flags as the simulator gives them (variable 46).
constexpr std::int32_t kNavFlagGlideSlope = 0x40;
constexpr std::int32_t kNavFlagLocalizer = 0x80;

// The marker beacons as the simulator reports them.
enum class Marker : std::uint8_t { none = 0, outer = 1, middle = 2, inner = 3 };

struct NavWorld {
    std::string airport;
    double elevation_m = 0.0;
    IlsRunway runway;
    Vor vor;
    Ndb ndb;
    double marker_m[4] = {0.0, 0.0, 0.0, 0.0};  // by Marker: distance before the threshold (0: none)

    // A point on the extended centreline, `before_m` before the threshold (negative: past it), `right_m`
    // to the right of it as seen on the approach, at `height_m` above the runway.
    WorldPoint on_approach(double before_m, double right_m, double height_m) const;
    // Where a point lies against the runway: metres past the threshold along the course and metres
    // right of the centreline.
    void runway_coordinates(double east_m, double north_m, double& past_m, double& right_m) const;
};

// Reads a world description; on a fault returns false with the line and what is wrong in `error`.
bool parse_nav_world(std::string_view text, NavWorld& world, std::string& error);
// The world built into the host (resources/nav_world.txt).
const NavWorld& builtin_nav_world();
extern const char* const kNavWorldText;

// What the radios receive at a place with a heading (true, degrees), written into the simulator's
// NAV 1, DME, ADF, RMI and marker variables.
void update_radios(const NavWorld& world, const WorldPoint& at, double heading_deg, SimVars& vars);

}  // namespace tarvenol::host
