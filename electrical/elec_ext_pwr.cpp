// tarvenol elec_ext_pwr_t418: the external power panel — EXT PWR switch, the ground crew's request
// area with its reply messages, the smoke-drill nav selector and the ESS BUS equipment selector.
// Its tick owns ground power (available, connected, on) and the essential equipment level with
// its warning.
#include "electrical/electrical.h"
#include "module/controls.h"
#include "module/gauge.h"
#include "module/indicators.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::elec;

// Ground power is refused once both engines run above this N2, percent.
constexpr double kEngineIdleN2 = 20.0;

// Controls.
constexpr u8 kExtPwrOff = 0;
constexpr u8 kExtPwrOn = 1;
constexpr u8 kNavNorm = 0;
constexpr u8 kNavLand = 1;
constexpr u8 kMinEqpt = 0;
constexpr u8 kNormEqpt = 1;

// Essential equipment levels.
constexpr u8 kLevelMinimum = 0;
constexpr u8 kLevelLand = 1;
constexpr u8 kLevelNormal = 2;

// Replies of the ground crew, each shown for its time.
constexpr u8 kNoReply = 0;
constexpr u8 kReplyConnected = 1;     // EXT PWR AVAIL
constexpr u8 kReplyDisconnected = 2;  // EXT PWR OFF
constexpr u8 kReplyRefused = 3;       // NO EXT PWR
constexpr int kReplies = 3;
constexpr i32 kReplyTicks = 36;

using ReplyDeadlines = std::array<i32, kReplies>;
using ReplyTimings = std::array<u8, kReplies>;

#define EXT_PWR_STATE(X)                         \
    X(u8, ext_pwr_request, 0)                    \
    X(u8, ext_pwr_available, 0)                  \
    X(u8, ext_pwr_msg, 0)                        \
    X(ReplyDeadlines, ext_pwr_reply_deadline, {}) \
    X(ReplyTimings, ext_pwr_reply_timing, {})
TARVENOL_PRIVATE_STATE(EXT_PWR_STATE)

// The panel: EXT PWR switch with its AVAIL and ON lights, the smoke-drill nav selector and the ESS
// BUS equipment switch; along the bottom the ground crew's interphone button and its reply window.
constexpr int kW = 302, kSwitchTop = 56, kLampTop = 130, kCrewTop = 204;
constexpr int kExt = column(0, 3, kW), kNav = column(1, 3, kW), kEss = column(2, 3, kW);

Background background{panel("EXT PWR", 244)};
SwitchImages<2> ext_pwr_images{lever("EXT PWR", switch_box(kExt, kSwitchTop), "OFF|ON"), "ext_pwr_sw.off",
                               "ext_pwr_sw.on"};
// The nav selector's LAND position is down, NORM up.
SwitchImages<2> smoke_nav_images{lever("SMOKE NAV", switch_box(kNav, kSwitchTop), "NORM|LAND"), "smoke_nav_sel_sw.norm",
                                 "smoke_nav_sel_sw.land"};
SwitchImages<2> ess_bus_images{lever("ESS BUS", switch_box(kEss, kSwitchTop), "MIN EQPT|NORM EQPT"),
                               "ess_bus_eqpt_sw.min_eqpt", "ess_bus_eqpt_sw.norm_eqpt"};
Image ext_pwr_avail_light{"ext_pwr_avail_light", light(Tone::advisory, "EXT PWR AVAIL", lamp_box(kExt, kLampTop, 76))};
Image ext_pwr_on_light{"ext_pwr_on_light", light(Tone::blue, "EXT PWR ON", lamp_box(kExt, kLampTop + kLampH + 4, 76))};
// The replies in message order (1, 2, 3), one window beside the interphone button.
constexpr Box kReplyWindow = at(110, kCrewTop, 180, 28);
Lights<kReplies> replies{std::array{light(Tone::memo, "EXT PWR AVAIL", kReplyWindow),
                                    light(Tone::memo, "EXT PWR OFF", kReplyWindow),
                                    light(Tone::memo, "NO EXT PWR", kReplyWindow)},
                         "reply_ext_pwr_avail", "reply_ext_pwr_off", "reply_no_ext_pwr"};

constexpr std::array areas{
    switch_area<&SharedState::ext_pwr_sw, kExtPwrOn>("ext_pwr.on", Cursor::up),
    switch_area<&SharedState::ext_pwr_sw, kExtPwrOff>("ext_pwr.off", Cursor::down),
    switch_area<&SharedState::smoke_nav_sel_sw, kNavNorm>("smoke_nav.norm", Cursor::up),
    switch_area<&SharedState::smoke_nav_sel_sw, kNavLand>("smoke_nav.land", Cursor::down),
    switch_area<&SharedState::ess_bus_eqpt_sw, kNormEqpt>("ess_bus.norm_eqpt", Cursor::up),
    switch_area<&SharedState::ess_bus_eqpt_sw, kMinEqpt>("ess_bus.min_eqpt", Cursor::down),
    area<[] { st.ext_pwr_request = 1; }>("ground_crew", Cursor::hand).at(12, kCrewTop, 88, 28),
};

// The ground power unit can be plugged in on the ground, standing still, unless both engines run.
bool ground_power_available() {
    const bool on_ground = is_on(read(sim::on_ground));
    const bool an_engine_stopped = read(sim::eng1_n2_pct) < kEngineIdleN2 || read(sim::eng2_n2_pct) < kEngineIdleN2;
    const bool standing_still = is_off(read(sim::velocity_long) + read(sim::velocity_lat));
    return on_ground && an_engine_stopped && standing_still;
}

// The ground crew answers a request: plugs in, unplugs, or cannot.
void answer_request() {
    auto& s = shared;
    if (st.ext_pwr_available == 1 && st.ext_pwr_request == 1) {
        if (s.ext_pwr_connected == 0) {
            s.ext_pwr_connected = 1;
            st.ext_pwr_msg = kReplyConnected;
        } else {
            s.ext_pwr_connected = 0;
            st.ext_pwr_msg = kReplyDisconnected;
        }
        st.ext_pwr_request = 0;
    }
    if (st.ext_pwr_available == 0) {
        s.ext_pwr_connected = 0;
        if (st.ext_pwr_request == 1) {
            st.ext_pwr_msg = kReplyRefused;
            st.ext_pwr_request = 0;
        }
    }
}

// Each reply shows for its time on its own timer; the end of any timer ends the current reply.
void show_replies() {
    for (int i = 0; i < kReplies; ++i) {
        const u8 message = static_cast<u8>(kReplyConnected + i);
        Timer timer{st.ext_pwr_reply_deadline[i], st.ext_pwr_reply_timing[i]};
        if (st.ext_pwr_msg == message && timer.idle()) {
            replies[i].show(true);
            timer.start(kReplyTicks);
        }
        if (timer.expired()) {
            replies[i].show(false);
            st.ext_pwr_msg = kNoReply;
            timer.stop();
        }
    }
    if (st.ext_pwr_msg == kNoReply)
        for (Image& reply : replies.images) reply.show(false);
}

// Normal equipment on the essential side and on AC bus 2 needs its AC supply.
void essential_equipment() {
    auto& s = shared;
    const bool normal_level = s.ess_equipment_level == kLevelNormal;
    if (normal_level && s.ac_ess_bus_normal == 1) {
        s.norm_eqpt_ess_powered = 1;
        s.ess_eqpt_warn = 0;
    } else {
        s.norm_eqpt_ess_powered = 0;
        if (normal_level) s.ess_eqpt_warn = 1;
    }
    if (normal_level && s.ac_bus_2_powered == 1) {
        s.norm_eqpt_bus2_powered = 1;
        s.ess_eqpt_warn = 0;
    } else {
        s.norm_eqpt_bus2_powered = 0;
        if (normal_level) s.ess_eqpt_warn = 1;
    }
}

void tick() {
    auto& s = shared;
    ext_pwr_images.show(s.ext_pwr_sw);
    smoke_nav_images.show(s.smoke_nav_sel_sw);
    ess_bus_images.show(s.ess_bus_eqpt_sw);

    st.ext_pwr_available = ground_power_available();
    answer_request();

    if (s.ext_pwr_connected == 1) {
        s.ext_pwr_on = s.ext_pwr_sw == kExtPwrOn;
    } else {
        s.ext_pwr_on = 0;
        s.ext_pwr_sw = kExtPwrOff;
    }

    ext_pwr_avail_light.show(s.ext_pwr_connected == 1);
    ext_pwr_on_light.show(s.ext_pwr_on == 1);

    show_replies();

    if (s.ess_bus_eqpt_sw == kNormEqpt)
        s.ess_equipment_level = kLevelNormal;
    else if (s.smoke_nav_sel_sw == kNavLand)
        s.ess_equipment_level = kLevelLand;
    else
        s.ess_equipment_level = kLevelMinimum;

    essential_equipment();
}

}  // namespace

TARVENOL_GAUGE(elec_ext_pwr, "tarvenol elec_ext_pwr_t418", 151, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, ext_pwr_images, smoke_nav_images, ess_bus_images,
               ext_pwr_avail_light, ext_pwr_on_light, replies);
