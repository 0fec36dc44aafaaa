// tarvenol gps_drives_t418: the GPS-drives-navigation button and its annunciator. The gauge also
// sets the cockpit up once at load, after the flight deck lighting has opened the pop-up windows:
// cold and dark on the ground, ready for flight in the air, then the pop-ups are closed again.
#include "module/cockpit_layout.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr u8 kWindowsOpened = 1;  // the lighting gauge opened the pop-ups on its first tick
constexpr u8 kCockpitSet = 2;
constexpr u8 kAnnDim = 1;
// Switch positions of the start-up setting.
constexpr u8 kOff = 0;
constexpr u8 kOn = 1;
constexpr u8 kAcEssFeedNorm = 2;
constexpr u8 kEssBusNormEqpt = 1;
constexpr u8 kSmokeNavNorm = 0;
constexpr u8 kEnginePumpOn = 100;

Background background;
Image bright{"gps_drives_light", light(Tone::advisory, "GPS")};
Image dim{"gps_drives_light_dim", light(Tone::advisory, "GPS")};

// The switches a pilot sets before the first flight; in flight the engines are fed, the
// generators, batteries and PTUs on, and the yaw dampers and pitch trims engaged.
void set_cockpit(bool in_flight) {
    auto& s = shared;
    const u8 flight = in_flight ? kOn : kOff;
    s.hp_lever_1 = flight;
    s.hp_lever_2 = flight;
    s.batt_1_sw = flight;
    s.batt_2_sw = flight;
    s.batt_3_sw = flight;
    s.tr_1_sw = kOn;
    s.tr_2_sw = kOn;
    s.tr_ess_sw = kOn;
    s.ac_transf_1_sw = kOn;
    s.ac_transf_2_sw = kOn;
    s.gen_1_line_sw = kOn;
    s.gen_2_line_sw = kOn;
    s.ac_ess_feed_sel = kAcEssFeedNorm;
    s.gen_1_ctl_sw = flight;
    s.gen_2_ctl_sw = flight;
    if (!in_flight) s.apu_gen_ctl_sw = kOff;
    s.smoke_nav_sel_sw = kSmokeNavNorm;
    s.ess_bus_eqpt_sw = kEssBusNormEqpt;
    s.hyd_elec_pump_1_sw = kOff;
    s.hyd_elec_pump_2_sw = kOff;
    s.hyd_pump_blue_eng1 = kEnginePumpOn;
    s.hyd_pump_green_eng1 = kEnginePumpOn;
    s.hyd_pump_green_eng2 = kEnginePumpOn;
    s.hyd_pump_yellow_eng2 = kEnginePumpOn;
    s.hyd_ptu_blue_green_sw = flight;
    s.hyd_ptu_green_yellow_sw = flight;
    if (in_flight) {
        s.yaw_damper_1_engaged = kOn;
        s.yaw_damper_2_engaged = kOn;
        s.pitch_trim_1_sw = kOn;
        s.pitch_trim_2_sw = kOn;
    }
}

void tick() {
    if (shared.cockpit_init_state == kWindowsOpened) {
        set_cockpit(!is_on(read(sim::on_ground)));
        for (const cockpit::Window& w : cockpit::windows())
            if (w.closed_after_setup) send(key::panel_window_close, w.id);
        shared.cockpit_init_state = kCockpitSet;
    }

    const bool on = is_on(read(sim::gps_drives_nav));
    const bool dimmed = shared.ann_lt_sel == kAnnDim;
    bright.show(on && !dimmed);
    dim.show(on && dimmed);
}

void button() { send(key::gps_drives_nav_toggle); }

constexpr std::array areas{area<&button>("gps_drives", Cursor::hand)};

}  // namespace

TARVENOL_GAUGE(gps_drives, "tarvenol gps_drives_t418", 57, &tick_callback<&tick>, areas, no_vars, nullptr, background,
               bright, dim);
