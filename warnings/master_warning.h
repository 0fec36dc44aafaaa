// The master warning system shared by its six units: the lights of the two annunciator panels (each
// drawn by a small gauge on the main panel and a big one in a pop-up window), the crew's
// acknowledgements, the aural latches of every condition that sounds, and the aural warning
// dispatcher that the ground proximity warning gauge runs at the end of its tick.
//
// The systems only write their condition bytes (1 fault present, 0 clear) every tick. A light shows
// while its condition holds until the crew acknowledges it by a click; its acknowledgement is
// forgotten when the condition clears or when the fault is latched anew. A condition that sounds is
// latched 0 idle -> 1 raised, not yet sounded -> 2 sounded, and back to 0 when it clears.
#pragma once

#include <array>
#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

#include "module/controls.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace tarvenol::mw {

constexpr std::size_t kPanel1Lights = 20;
// The gear horn sounds with the gear short of down and the flaps beyond the third flap step.
constexpr double kGearDownRaw = 16000.0;  // gear position at and above which the gear is down
constexpr int kGearHornFlapMargin = 1;     // flaps beyond the third flap step by more than this
constexpr std::size_t kPanel2Lights = 13;  // the acknowledgeable lights; four flag lights follow

// The aural classes: three looping ones, from the highest, and the single gong.
enum class Aural : u8 { fire_bell, continuous_gong, intermittent_horn, single_gong };

// X(name, condition, class, panel, light): every condition that sounds, each class in the order in
// which the chime selection looks at it; the light it re-lights when latched anew (panel 1 or 2,
// light number from 1). The grouped lights latch each of their inputs separately.
#define TARVENOL_MW_AURAL_INPUTS(X)                                               \
    X(eng_1_fire, shared.eng_1_fire, fire_bell, 1, 1)                             \
    X(eng_2_fire, shared.eng_2_fire, fire_bell, 1, 2)                             \
    X(fire_3, state.fire_3, fire_bell, 1, 3)                                      \
    X(var868_high, shared.mw_var868_high, continuous_gong, 2, 12)                 \
    X(gong_cont_2, state.gong_cont_2, continuous_gong, 2, 13)                     \
    X(surf_config, shared.mw_surf_config, intermittent_horn, 1, 4)                \
    X(lo_spd_ail_config, shared.mw_lo_spd_ail_config, intermittent_horn, 1, 4)    \
    X(flaps_config, shared.mw_flaps_config, intermittent_horn, 1, 4)              \
    X(eng_1_oil_press, shared.mw_eng_1_oil_press, single_gong, 1, 5)              \
    X(eng_2_oil_press, shared.mw_eng_2_oil_press, single_gong, 1, 6)              \
    X(hyd_fault, shared.hyd_fault, single_gong, 2, 8)                             \
    X(gen_1_off_warn, shared.gen_1_off_warn, single_gong, 2, 5)                   \
    X(gen_2_off_warn, shared.gen_2_off_warn, single_gong, 2, 5)                   \
    X(apu_gen_off_warn, shared.apu_gen_off_warn, single_gong, 2, 5)               \
    X(ac_fault, shared.ac_fault, single_gong, 2, 5)                               \
    X(dc_fault, shared.dc_fault, single_gong, 2, 5)                               \
    X(servo_fault, shared.mw_servo_fault, single_gong, 1, 7)                      \
    X(fuel_reserve, shared.mw_fuel_reserve, single_gong, 2, 9)                    \
    X(rudder_travel_fault, shared.mw_rudder_travel_fault, single_gong, 1, 11)     \
    X(yaw_damper_fault_1, shared.mw_yaw_damper_fault_1, single_gong, 1, 12)       \
    X(yaw_damper_fault_2, shared.mw_yaw_damper_fault_2, single_gong, 1, 13)       \
    X(ess_eqpt_warn, shared.ess_eqpt_warn, single_gong, 1, 15)                    \
    X(asi_fault, shared.mw_asi_fault, single_gong, 1, 16)                         \
    X(alti_fault, shared.mw_alti_fault, single_gong, 1, 16)                       \
    X(adi_fault, shared.mw_adi_fault, single_gong, 1, 16)                         \
    X(hsi_fault, shared.mw_hsi_fault, single_gong, 1, 16)                         \
    X(rmi_fault, shared.mw_rmi_fault, single_gong, 1, 16)                         \
    X(adf_fault, shared.mw_adf_fault, single_gong, 1, 16)                         \
    X(ats_fault, shared.mw_ats_fault, single_gong, 1, 9)                          \
    X(probe_heat, shared.mw_probe_heat, single_gong, 2, 1)                        \
    X(apu_fault, shared.mw_apu_fault, single_gong, 2, 2)                          \
    X(brakes, shared.mw_brakes, single_gong, 2, 3)                                \
    X(var868, shared.mw_var868, single_gong, 2, 4)

enum Input : int {
#define TARVENOL_MW_INPUT_ENUM(name, condition, cls, panel, light) name,
    TARVENOL_MW_AURAL_INPUTS(TARVENOL_MW_INPUT_ENUM)
#undef TARVENOL_MW_INPUT_ENUM
        kInputCount
};

// What the master warning system keeps between ticks (all 0 at load).
struct State {
    std::array<u8, kPanel1Lights> ack_1{};  // 1 = light acknowledged by the crew
    std::array<u8, kPanel2Lights> ack_2{};
    std::array<u8, kInputCount> latch{};    // aural latch of each input
    u8 eng_2_fire_phase = 0;                // 0 no fire trigger, 1 trigger seen, 2 fire raised
    u8 fire_3 = 0;                          // the third fire condition: no system raises it yet
    u8 gong_cont_2 = 0;                     // the second continuous-gong condition: none raises it
};
extern State state;

// The variables by name (mw_ack_1, mw_ack_2, eng_2_fire_phase, mw_fire_3, mw_gong_cont_2 and one
// mw_latch_<input> per aural input) and the reset to load.
VarTableView vars();
void reset();

// --- The panels' lights ------------------------------------------------------------------------

// A condition no system raises: its light only lights in the lamp test.
inline constexpr u8 kNotRaised = 0;

struct LightDef {
    const char* element;  // the light's element
    const char* area;     // its acknowledge click area, or null when it cannot be acknowledged
    Look look;
    const u8* condition;
    bool inhibited;  // hidden while the takeoff inhibit is on
};

constexpr Look warning(const char* legend) { return light(Tone::warning, legend); }
constexpr Look caution(const char* legend) { return light(Tone::caution, legend); }

inline constexpr std::array<LightDef, kPanel1Lights> kPanel1{{
    {"eng_1_fire_light", "eng_1_fire", warning("ENG 1 FIRE"), &shared.eng_1_fire, false},
    {"eng_2_fire_light", "eng_2_fire", warning("ENG 2 FIRE"), &shared.eng_2_fire, false},
    {"fire_3_light", "fire_3", warning("FIRE"), &state.fire_3, false},
    {"config_light", "config", warning("CONFIG"), &shared.mw_config, false},
    {"eng_1_oil_light", "eng_1_oil", caution("ENG 1 OIL"), &shared.mw_eng_1_oil_press, false},
    {"eng_2_oil_light", "eng_2_oil", caution("ENG 2 OIL"), &shared.mw_eng_2_oil_press, false},
    {"servo_light", "servo", caution("SERVO CTL"), &shared.mw_servo_fault, true},
    {"spare_8_light", "spare_8", caution(""), &kNotRaised, true},
    {"ats_light", "ats", caution("ATS"), &shared.mw_ats_fault, true},
    {"spare_10_light", "spare_10", caution(""), &kNotRaised, true},
    {"rudder_travel_light", "rudder_travel", caution("RUD TRAVEL"), &shared.mw_rudder_travel_fault, true},
    {"yaw_damper_1_light", "yaw_damper_1", caution("YAW DAMP 1"), &shared.mw_yaw_damper_fault_1, true},
    {"yaw_damper_2_light", "yaw_damper_2", caution("YAW DAMP 2"), &shared.mw_yaw_damper_fault_2, true},
    {"spare_14_light", "spare_14", caution(""), &kNotRaised, true},
    {"ess_eqpt_light", "ess_eqpt", caution("ESS EQPT"), &shared.ess_eqpt_warn, true},
    {"instruments_light", "instruments", caution("INSTR"), &shared.mw_instruments, true},
    {"spare_17_light", "spare_17", caution(""), &kNotRaised, true},
    {"spare_18_light", "spare_18", caution(""), &kNotRaised, true},
    {"park_brake_light", nullptr, caution("PARK BRK"), &shared.mw_park_brake, false},
    {"spare_20_light", "spare_20", caution(""), &kNotRaised, true},
}};

inline constexpr std::array<LightDef, kPanel2Lights> kPanel2{{
    {"probe_heat_light", "probe_heat", caution("PROBE HEAT"), &shared.mw_probe_heat, true},
    {"apu_light", "apu", caution("APU"), &shared.mw_apu_fault, true},
    {"brakes_light", "brakes", caution("BRAKES"), &shared.mw_brakes, false},
    {"caution_4_light", "caution_4", caution(""), &shared.mw_var868, true},
    {"elec_light", "elec", caution("ELEC"), &shared.mw_elec, true},
    {"spare_6_light", "spare_6", caution(""), &kNotRaised, true},
    {"spare_7_light", "spare_7", caution(""), &kNotRaised, true},
    {"hyd_light", "hyd", caution("HYD"), &shared.hyd_fault, true},
    {"fuel_light", "fuel", caution("FUEL"), &shared.mw_fuel_reserve, true},
    {"spare_10_light", "spare_10", caution(""), &kNotRaised, true},
    {"spare_11_light", "spare_11", caution(""), &kNotRaised, true},
    {"warning_12_light", "warning_12", warning(""), &shared.mw_var868_high, false},
    {"warning_13_light", "warning_13", warning(""), &state.gong_cont_2, false},
}};

// The acknowledgement bytes of a panel's lights.
template <const auto& Defs>
constexpr auto& acks() {
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(Defs)>, std::remove_cvref_t<decltype(kPanel1)>>)
        return state.ack_1;
    else
        return state.ack_2;
}

// A light shows on a live battery bus, in the lamp test or while its condition holds, unless
// acknowledged, and for the inhibited lights not during the takeoff inhibit (not even in the test).
inline bool light_shown(const LightDef& d, u8 ack) {
    const auto& s = shared;
    return s.batt_bus_powered == 1 && (s.ann_lt_test == 1 || *d.condition == 1) && ack == 0 &&
           (!d.inhibited || s.mw_to_inhibit == 0);
}
// The small panel forgets the acknowledgement of every light whose condition has cleared.
template <const auto& Defs>
void forget_cleared_acks() {
    auto& ack = acks<Defs>();
    for (std::size_t i = 0; i < Defs.size(); ++i)
        if (Defs[i].area != nullptr && *Defs[i].condition == 0) ack[i] = 0;
}

// A click on a light acknowledges it while its fault is present and not yet acknowledged; any
// other click takes the acknowledgement back.
template <const auto& Defs, std::size_t I>
void acknowledge() {
    u8& ack = acks<Defs>()[I];
    ack = (*Defs[I].condition != 0 && ack != 1) ? 1 : 0;
}

// The lights of a panel, drawn in its order, in every gauge of that panel.
template <const auto& Defs>
struct PanelLights {
    static constexpr std::size_t N = std::tuple_size_v<std::remove_cvref_t<decltype(Defs)>>;
    std::array<Image, N> images;
    PanelLights() : PanelLights(std::make_index_sequence<N>{}) {}
    template <std::size_t... I>
    explicit PanelLights(std::index_sequence<I...>) : images{Image(Defs[I].element, Defs[I].look)...} {}

    void show() {
        const auto& ack = acks<Defs>();
        for (std::size_t i = 0; i < N; ++i) images[i].show(light_shown(Defs[i], ack[i]));
    }
    static constexpr std::size_t kLinkCount = N;
    void append_links(ElementLink**& out) {
        for (auto& image : images) *out++ = &image.link;
    }
};

// The acknowledge click areas of a panel's lights, in light order (lights that cannot be
// acknowledged have none).
template <const auto& Defs>
constexpr std::size_t acknowledgeable_count() {
    std::size_t n = 0;
    for (const LightDef& d : Defs) n += d.area != nullptr;
    return n;
}
template <const auto& Defs>
constexpr auto acknowledgeable_indices() {
    std::array<std::size_t, acknowledgeable_count<Defs>()> out{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < Defs.size(); ++i)
        if (Defs[i].area != nullptr) out[n++] = i;
    return out;
}
template <const auto& Defs, std::size_t... K>
constexpr auto acknowledge_areas(std::index_sequence<K...>) {
    constexpr auto index = acknowledgeable_indices<Defs>();
    return std::array<AreaDef, sizeof...(K)>{area<&acknowledge<Defs, index[K]>>(Defs[index[K]].area, Cursor::hand)...};
}
template <const auto& Defs>
constexpr auto acknowledge_areas() {
    return acknowledge_areas<Defs>(std::make_index_sequence<acknowledgeable_count<Defs>()>{});
}

// The click areas of panel 1: its lights, then the master area (which opens or closes the big
// panel window).
template <void (*Master)()>
constexpr auto panel_1_areas() {
    return join_areas(acknowledge_areas<kPanel1>(), std::array{area<Master>("master", Cursor::hand)});
}

// --- Panel 2 buttons ---------------------------------------------------------------------------

// The lights of the takeoff inhibit, second inhibit and aural cancel buttons and the DC supply
// light: shown on a live battery bus in the lamp test or while their flag is 1.
struct FlagLights {
    Image to_inhibit{"to_inhibit_button", button(Tone::advisory, "T.O. INHIB")};
    Image inhibit_2{"inhibit_2_button", button(Tone::advisory, "INHIB")};
    Image aural_cancel{"aural_cancel_button", button(Tone::advisory, "AURAL CANCEL")};
    Image dc_supply{"dc_supply_light", caution("DC SUPPLY")};

    void show();
    static constexpr std::size_t kLinkCount = 4;
    void append_links(ElementLink**& out) {
        for (Image* i : {&to_inhibit, &inhibit_2, &aural_cancel, &dc_supply}) *out++ = &i->link;
    }
};

// The inhibit buttons, the same on both sizes of panel 2 but for what a second press of the takeoff
// inhibit does on the big one.
void press_to_inhibit();
void press_to_inhibit_toggling();
void press_inhibit_2();
void press_aural_cancel();

// The click areas of panel 2: its lights, then the takeoff inhibit (whose press differs between the
// sizes), second inhibit and aural cancel buttons.
template <void (*ToInhibit)()>
constexpr auto panel_2_areas() {
    return join_areas(acknowledge_areas<kPanel2>(),
                      std::array{area<ToInhibit>("to_inhibit", Cursor::hand), area<&press_inhibit_2>("inhibit_2", Cursor::hand),
                                 area<&press_aural_cancel>("aural_cancel", Cursor::hand)});
}

// --- Ticks -------------------------------------------------------------------------------------

// The small panels' own work after their lights.
void panel_1_tick();
void panel_2_tick();

// The aural warning dispatcher: run by the ground proximity warning gauge after its own alert.
void run_aural_dispatcher();

}  // namespace tarvenol::mw
