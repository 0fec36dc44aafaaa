// tarvenol rmi_t418: the radio magnetic indicator. Compass card, bearing needle 1 (AC essential)
// and needle 2 (AC bus 2), the two DME distances on drums, and the card and needle flags.
#include <algorithm>

#include "instruments/rmi_needles.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::nav_ind;

constexpr double kTenthsPerMile = 10.0;
constexpr double kDmeTenthsMax = 9999.0;  // four drums: 999.9 nm

#define RMI_STATE(X)              \
    X(f64, rmi_card_hdg, 0.0)     \
    X(f64, rmi_needle_1, 0.0)     \
    X(f64, rmi_needle_2, 0.0)     \
    X(f64, rmi_dme1_tenths, 0.0)  \
    X(f64, rmi_dme2_tenths, 0.0)
TARVENOL_PRIVATE_STATE(RMI_STATE)

// The picture of the drum of `weight` tenths of DME distance `tenths`.
template <f64 State::*Tenths, int Weight>
double dme_drum() {
    clamp_back(st.*Tenths, 0.0, kDmeTenthsMax);
    return dme_picture(distance_drum(st.*Tenths, Weight));
}

// One face: the card turning the heading to the lubber line, the two bearing pointers across it;
// a DME window in each upper corner, the flags on the face.
constexpr Box kFace = centred(181, 200, 320, 320);
constexpr int kDrumW = 14, kDrumH = 22;

// Four drums of a distance: hundreds, tens and units of miles, tenths.
template <f64 State::*Tenths>
struct DmeDrums {
    IconSet drums[4];
    // In one window from (x, y), a drum beside the other.
    explicit DmeDrums(int x, int y, const char* h, const char* t, const char* u, const char* tenth)
        : drums{IconSet(h, kDmePictures, &dme_drum<Tenths, 1000>, drum(kReversedDigits, at(x, y, kDrumW, kDrumH))),
                IconSet(t, kDmePictures, &dme_drum<Tenths, 100>, drum(kReversedDigits, at(x + kDrumW, y, kDrumW, kDrumH))),
                IconSet(u, kDmePictures, &dme_drum<Tenths, 10>, drum(kReversedDigits, at(x + 2 * kDrumW, y, kDrumW, kDrumH))),
                IconSet(tenth, kDmePictures, &dme_drum<Tenths, 1>, drum(kReversedDigits, at(x + 3 * kDrumW + 2, y, kDrumW, kDrumH)))} {}
    void show(bool visible) {
        for (auto& d : drums) d.show(visible);
    }
    static constexpr std::size_t kLinkCount = 4;
    void append_links(ElementLink**& out) {
        for (auto& d : drums) *out++ = &d.link;
    }
};

Background background{panel("RMI", 372)};
Needle card{"rmi_card", [] { return st.rmi_card_hdg; }, tarvenol::card(kFace)};
Needle needle_1{"rmi_needle_1", [] { return st.rmi_needle_1; }, bearing_pointer("1", kFace, 1)};
Needle needle_2{"rmi_needle_2", [] { return st.rmi_needle_2; }, bearing_pointer("2", kFace, 2)};
DmeDrums<&State::rmi_dme1_tenths> dme1{14, 22, "rmi_dme1_hundreds", "rmi_dme1_tens", "rmi_dme1_units", "rmi_dme1_tenths"};
DmeDrums<&State::rmi_dme2_tenths> dme2{362 - 14 - 4 * kDrumW - 2, 22, "rmi_dme2_hundreds", "rmi_dme2_tens", "rmi_dme2_units",
                                       "rmi_dme2_tenths"};
Image card_flag{"rmi_card_flag", flag("HDG", at(72, 96, 44, 20))};
Image needle_2_flag{"rmi_needle_2_flag", flag("2", at(246, 96, 44, 20))};
Image third_flag{"rmi_third_flag", flag("1", at(72, 286, 44, 20))};

// A DME distance in tenths of a mile follows a reading of 0 or more; anything else holds it.
void follow_dme(f64& tenths, double miles) {
    if (miles >= 0.0) tenths = std::min(miles * kTenthsPerMile, kDmeTenthsMax);
}

void tick() {
    auto& s = shared;
    const bool ess = s.ac_ess_bus_powered == 1;
    const bool bus_2 = s.ac_bus_2_powered == 1;
    const bool heading_failed = read(sim::fail_heading) == 1;
    const bool second_failed = read(sim::fail_rmi_2) == 1;
    if (ess && !heading_failed) st.rmi_card_hdg = round_compass(read(sim::heading_deg));  // 1
    st.rmi_needle_1 = ess ? needle_angle(read(sim::rmi_needle_1_deg)) : 0.0;               // 2
    st.rmi_needle_2 = bus_2 ? needle_angle(read(sim::rmi_needle_2_deg)) : 0.0;
    if (ess) follow_dme(st.rmi_dme1_tenths, read(sim::dme1_distance_nm));  // 3
    if (bus_2) follow_dme(st.rmi_dme2_tenths, read(sim::dme2_distance_nm));
    dme1.show(read(sim::nav1_signal) > 0.0 && ess);  // 4
    dme2.show(read(sim::dme2_available) > 0.0 && bus_2);
    const bool card_off = heading_failed || !ess;  // 5
    const bool needle_2_off = !bus_2 || second_failed;
    const bool third_off = !ess || second_failed;
    card_flag.show(card_off);
    needle_2_flag.show(needle_2_off);
    third_flag.show(third_off);
    s.mw_rmi_fault = card_off || needle_2_off || third_off ? 1 : 0;
}

}  // namespace

TARVENOL_GAUGE(rmi, "tarvenol rmi_t418", 181, &tick_callback<&tick>, no_areas, st_table, &reset_private_state, background,
               card, needle_1, needle_2, dme1, dme2, card_flag, needle_2_flag, third_flag);
