// tarvenol hsi_t418: the horizontal situation indicator. Compass card, heading bug, course and
// deviation (two presentations), glide slope, TO/FROM, drift pointer, GPS indication and DME; it
// publishes the ground track and drops the autopilot out when the heading reference fails.
#include <algorithm>
#include <cmath>

#include "instruments/rmi_needles.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::nav_ind;

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kNoLateral = 1.0;          // |lateral velocity| below this: the track is the heading
constexpr double kGlideSlopeScale = 0.418;  // needle units to pointer travel
constexpr i32 kPresentationBit = 0x40;      // receiver flag choosing the deviation presentation
constexpr int kToFromPictures = 3;          // off, TO, FROM
constexpr double kDmeMax = 999.0;

#define HSI_STATE(X)               \
    X(f64, hsi_card_hdg, 0.0)      \
    X(f64, hsi_drift_deg, 0.0)     \
    X(i32, hsi_card_offset, 0)     \
    X(i32, hsi_heading_bug, 0)     \
    X(i32, hsi_drift_pointer, 0)   \
    X(i32, hsi_to_from, 0)         \
    X(f64, hsi_deviation, 0.0)     \
    X(f64, hsi_glide_slope, 0.0)   \
    X(f64, hsi_dme_shown_nm, 0.0)
TARVENOL_PRIVATE_STATE(HSI_STATE)

template <int Weight>
double dme_drum() {
    return dme_picture(distance_drum(clamp_back(st.hsi_dme_shown_nm, 0.0, kDmeMax), Weight));
}

// One face: the card turning the heading to the lubber line, the course arrow with its deviation
// bar, the heading bug and drift marker on the rim, the aircraft symbol over them; the glide-slope
// scale at the side, the DME window and the TO/FROM window in the corners, the flags on the face.
constexpr Box kFace = centred(279, 290, 440, 440);
constexpr double kDeviationFullScale = 127.0;  // needle units at the last dot
constexpr double kDeviationTravel = 80.0;       // pixels from the centre to the last dot
constexpr double kGlideFullScale = 50.0;        // pointer units at the last dot
constexpr int kDmeDrumW = 18, kDmeDrumH = 28;
Background background{panel("HSI", 530)};
Needle card{"hsi_card", [] { return st.hsi_card_hdg; }, tarvenol::card(kFace)};
Needle course{"hsi_course", [] { return double(st.hsi_card_offset); }, course_arrow(kFace).moving(kDeviationTravel)};
Needle heading_bug{"hsi_heading_bug", [] { return double(st.hsi_heading_bug); }, rim_bug("HDG BUG", kFace)};
Needle drift{"hsi_drift", [] { return double(st.hsi_drift_pointer); }, rim_bug("DRIFT", kFace).styled(1)};
// A deviation the receiver gives as no number shows the bar centred.
MovingImage deviation_loc{"hsi_deviation_loc", [] { return shown_or(st.hsi_deviation, 0.0); }, nullptr,
                          deviation_bar(kFace, kDeviationFullScale, kDeviationTravel).riding("hsi_course")};
MovingImage deviation_vor{"hsi_deviation_vor", [] { return shown_or(st.hsi_deviation, 0.0); }, nullptr,
                          deviation_bar(kFace, kDeviationFullScale, kDeviationTravel).riding("hsi_course")};
IconSet symbol{"hsi_symbol", 1, [] { return 0.0; }, face_symbol(kFace, kPlanSymbol)};
MovingImage glide_slope{"hsi_glide_slope", nullptr, [] { return shown_or(st.hsi_glide_slope, 0.0); },
                        scale_pointer("GS", at(508, 200, 36, 180), -kGlideFullScale, kGlideFullScale, 70.0)};
IconSet to_from{"hsi_to_from", kToFromPictures, [] { return double(clamp_back(st.hsi_to_from, 0, kToFromPictures - 1)); },
                drum(" |TO|FR", at(14, 476, 44, 26))};
IconSet dme_hundreds{"hsi_dme_hundreds", kDmePictures, &dme_drum<100>, drum(kReversedDigits, at(16, 22, kDmeDrumW, kDmeDrumH))};
IconSet dme_tens{"hsi_dme_tens", kDmePictures, &dme_drum<10>, drum(kReversedDigits, at(34, 22, kDmeDrumW, kDmeDrumH))};
IconSet dme_units{"hsi_dme_units", kDmePictures, &dme_drum<1>, drum(kReversedDigits, at(52, 22, kDmeDrumW, kDmeDrumH))};
Image gps{"hsi_gps", light(Tone::white, "GPS", at(490, 22, 52, 24))};
Image off_flag{"hsi_off_flag", flag("OFF", at(118, 150, 48, 22))};
Image heading_flag{"hsi_heading_flag", flag("HDG", at(392, 150, 48, 22))};

// Drift from the two velocity components; no speed at all is no drift.
double drift_angle(double x, double y) {
    const double r = std::sqrt(x * x + y * y);
    if (!(r > 0.0) || !std::isfinite(r)) return 0.0;
    return std::acos(std::clamp(x / r, -1.0, 1.0)) * kDegreesPerRadian;
}

void ground_track(double h, double d, double y) {
    double& track = shared.gnd_track_deg;
    if (y >= kNoLateral)
        track = h >= d ? h - d : kFullCircle - (d - h);
    else if (y > -kNoLateral)
        track = h;
    else if (y <= -kNoLateral)
        track = kFullCircle - d > h ? h + d : d - (kFullCircle - h);
    track = round_compass(track);
}

void tick() {
    auto& s = shared;
    const double y = read(sim::velocity_lat);
    const double d = drift_angle(read(sim::velocity_long), y);  // 1
    st.hsi_drift_deg = d;
    const double h = round_compass(read(sim::nav1_obs_deg));
    ground_track(h, d, y);
    const bool powered = s.ac_ess_bus_powered == 1 && s.ess_equipment_level >= 1;
    const double compass = round_compass(read(sim::heading_deg));
    const bool heading_failed = read(sim::fail_heading) == 1;
    if (powered) {  // 2
        st.hsi_card_offset = truncate<i32>(kFullCircle - compass + h);
        st.hsi_heading_bug = truncate<i32>(kFullCircle - compass + s.hdg_sel);
        st.hsi_drift_pointer = truncate<i32>(y >= 0.0 ? d : kFullCircle - d);
    }
    st.hsi_to_from = read(sim::nav1_to_from);  // 3
    to_from.show(powered);
    const bool loc = (read(sim::nav1_flags) & kPresentationBit) != 0;  // 4
    deviation_loc.show(powered && loc);
    deviation_vor.show(powered && !loc);
    const bool gs = is_on(read(sim::nav1_gs_flag)) && powered;  // 5
    if (gs) st.hsi_glide_slope = read(sim::nav1_gsi) * kGlideSlopeScale;
    glide_slope.show(gs);
    if (powered) {  // 6
        if (!heading_failed) st.hsi_card_hdg = compass;
        st.hsi_deviation = read(sim::nav1_cdi);
    }
    const bool off = s.ac_ess_bus_powered == 0 || s.norm_eqpt_ess_powered == 0;  // 7
    if (heading_failed) {
        s.ap_engaged = 0;
        s.ap_1_lever = 0;
        s.ap_2_lever = 0;
        s.sim_ap_seen_on = 0;
    }
    s.mw_hsi_fault = off || heading_failed ? 1 : 0;
    off_flag.show(off);
    heading_flag.show(heading_failed);
    gps.show(is_on(read(sim::gps_drives_nav)) && powered);  // 8
    const double dme = read(sim::hsi_dme_nm);  // 9
    const bool dme_valid = dme > 0.0;
    if (dme_valid) st.hsi_dme_shown_nm = std::min(dme, kDmeMax);
    dme_hundreds.show(dme_valid);
    dme_tens.show(dme_valid);
    dme_units.show(dme_valid);
}

}  // namespace

TARVENOL_GAUGE(hsi, "tarvenol hsi_t418", 279, &tick_callback<&tick>, no_areas, st_table, &reset_private_state, background,
               card, course, heading_bug, drift, deviation_loc, deviation_vor, symbol, glide_slope, to_from, dme_hundreds,
               dme_tens, dme_units, gps, off_flag, heading_flag);
