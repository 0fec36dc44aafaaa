#include "warnings/master_warning.h"

#include <initializer_list>
#include <iterator>

#include "module/cockpit_layout.h"
#include "module/host_services.h"

namespace tarvenol::mw {

State state;

namespace {

constexpr u32 kBigPanel1Window = cockpit::kMasterWarningWindow;
constexpr double kVar868On = 0.1;
constexpr double kVar868HighAltitudeFt = 6500.0;

// Aural latches.
constexpr u8 kIdle = 0;
constexpr u8 kRaised = 1;
constexpr u8 kSounded = 2;

struct InputDef {
    const u8* condition;
    Aural cls;
    u8 panel;
    u8 light;  // from 1
};
constexpr std::array<InputDef, kInputCount> kInputs{{
#define TARVENOL_MW_INPUT_DEF(name, condition, cls, panel, light) {&(condition), Aural::cls, panel, light},
    TARVENOL_MW_AURAL_INPUTS(TARVENOL_MW_INPUT_DEF)
#undef TARVENOL_MW_INPUT_DEF
}};

// A new warning re-lights its light and opens the big panel; the first of these raised wins.
constexpr std::array<Input, 8> kWarningRealertOrder{eng_1_fire,  eng_2_fire,   fire_3,      var868_high,
                                                    gong_cont_2, flaps_config, surf_config, lo_spd_ail_config};

const VarRef state_vars[] = {
    var_ref("mw_ack_1", state.ack_1),
    var_ref("mw_ack_2", state.ack_2),
    var_ref("eng_2_fire_phase", state.eng_2_fire_phase),
    var_ref("mw_fire_3", state.fire_3),
    var_ref("mw_gong_cont_2", state.gong_cont_2),
#define TARVENOL_MW_LATCH_VAR(name, condition, cls, panel, light) var_ref("mw_latch_" #name, state.latch[name]),
    TARVENOL_MW_AURAL_INPUTS(TARVENOL_MW_LATCH_VAR)
#undef TARVENOL_MW_LATCH_VAR
};

u8& ack_of(const InputDef& input) {
    const std::size_t i = input.light - 1u;
    return input.panel == 1 ? state.ack_1[i] : state.ack_2[i];
}

u8 any_of(std::initializer_list<u8> conditions) {
    for (u8 c : conditions)
        if (c != 0) return 1;
    return 0;
}

bool gear_short_of_down() { return read(sim::gear_nose_pos) < kGearDownRaw; }

// Every condition that comes up is latched raised; every one that is clear goes back to idle.
void latch_inputs() {
    for (std::size_t i = 0; i < kInputCount; ++i)
        if (*kInputs[i].condition == 1 && state.latch[i] == kIdle) state.latch[i] = kRaised;
    for (std::size_t i = 0; i < kInputCount; ++i)
        if (*kInputs[i].condition == 0) state.latch[i] = kIdle;
}

// A caution latched anew re-lights its light (the warnings are re-lit by realert_warning).
void realert_cautions() {
    for (std::size_t i = 0; i < kInputCount; ++i)
        if (kInputs[i].cls == Aural::single_gong && state.latch[i] == kRaised) ack_of(kInputs[i]) = 0;
}

void realert_warning() {
    for (Input input : kWarningRealertOrder) {
        if (state.latch[input] == kRaised) {
            ack_of(kInputs[input]) = 0;
            shared.mw_big_panel_open = 1;
            return;
        }
    }
}

// A looping class sounds while any of its latches is raised or sounded; once it sounds, every latch
// of the class counts as sounded, so that no second condition of the class keeps re-alerting.
bool class_raised(Aural cls) {
    for (std::size_t i = 0; i < kInputCount; ++i)
        if (kInputs[i].cls == cls && (state.latch[i] == kRaised || state.latch[i] == kSounded)) return true;
    return false;
}
void class_sounded(Aural cls) {
    for (std::size_t i = 0; i < kInputCount; ++i)
        if (kInputs[i].cls == cls && state.latch[i] == kRaised) state.latch[i] = kSounded;
}

// The highest class raised sounds and leaves the loops of the lower classes as they are; with no
// looping class raised, one newly raised caution gives one gong per tick.
void select_chime() {
    if (class_raised(Aural::fire_bell)) {
        if (shared.aural_cancel == 1)
            snd::stop(snd::SONNERIE);
        else
            snd::play_loop(snd::SONNERIE);
        class_sounded(Aural::fire_bell);
        return;
    }
    snd::stop(snd::SONNERIE);
    if (class_raised(Aural::continuous_gong)) {
        snd::play_loop(snd::GONGCONT);
        class_sounded(Aural::continuous_gong);
        return;
    }
    snd::stop(snd::GONGCONT);
    if (class_raised(Aural::intermittent_horn)) {
        snd::play_loop(snd::KLAXONINT);
        class_sounded(Aural::intermittent_horn);
        return;
    }
    snd::stop(snd::KLAXONINT);
    for (std::size_t i = 0; i < kInputCount; ++i) {
        if (kInputs[i].cls == Aural::single_gong && state.latch[i] == kRaised) {
            snd::play_once(snd::GONGMONO);
            state.latch[i] = kSounded;
            return;
        }
    }
}

void loop_while(bool on, snd::SoundId sound) {
    if (on)
        snd::play_loop(sound);
    else
        snd::stop(sound);
}

}  // namespace

VarTableView vars() { return {state_vars, std::size(state_vars)}; }
void reset() { state = State{}; }

void FlagLights::show() {
    const auto& s = shared;
    auto lit = [](u8 flag) { return shared.batt_bus_powered == 1 && (shared.ann_lt_test == 1 || flag == 1); };
    to_inhibit.show(lit(s.mw_to_inhibit));
    inhibit_2.show(lit(s.mw_inhibit_2));
    aural_cancel.show(lit(s.aural_cancel));
    dc_supply.show(lit(s.mw_dc_supply_light));
}

namespace {
// On the ground the takeoff inhibit button starts the inhibit (and ends the second inhibit).
bool start_takeoff_inhibit() {
    auto& s = shared;
    if (s.mw_to_inhibit != 0 || !is_on(read(sim::on_ground))) return false;
    s.mw_to_inhibit = 1;
    s.mw_inhibit_2 = 0;
    return true;
}
}  // namespace

void press_to_inhibit() { start_takeoff_inhibit(); }
void press_to_inhibit_toggling() {
    if (!start_takeoff_inhibit()) shared.mw_to_inhibit = 0;
}
void press_inhibit_2() {
    auto& s = shared;
    if (s.mw_inhibit_2 == 1) {
        s.mw_inhibit_2 = 0;
    } else {
        s.mw_inhibit_2 = 1;
        s.mw_to_inhibit = 0;
    }
}
void press_aural_cancel() { shared.aural_cancel = shared.aural_cancel == 1 ? 0 : 1; }

void panel_1_tick() {
    auto& s = shared;
    forget_cleared_acks<kPanel1>();
    send(s.mw_big_panel_open == 1 ? key::panel_window_open : key::panel_window_close, kBigPanel1Window);

    s.mw_config = any_of({s.mw_lo_spd_ail_config, s.mw_flaps_config, s.mw_surf_config});
    s.mw_instruments =
        any_of({s.mw_asi_fault, s.mw_alti_fault, s.mw_adi_fault, s.mw_hsi_fault, s.mw_rmi_fault, s.mw_adf_fault});
    s.mw_elec = any_of({s.ac_fault, s.dc_fault, s.gen_1_off_warn, s.gen_2_off_warn, s.apu_gen_off_warn});

    // Engine 2 fire follows the simulator's trigger; its rising edge arms the failure and fires once.
    if (is_on(read(sim::eng2_fire_trigger))) {
        if (state.eng_2_fire_phase == 0) state.eng_2_fire_phase = 1;
        if (state.eng_2_fire_phase == 1) {
            s.fail_eng_2_fire_arm = 1;
            s.eng_2_fire = 1;
            send(key::eng2_failure_set, 0);
            state.eng_2_fire_phase = 2;
        }
    } else {
        s.eng_2_fire = 0;
        state.eng_2_fire_phase = 0;
    }

    realert_cautions();
}

void panel_2_tick() {
    auto& s = shared;
    forget_cleared_acks<kPanel2>();
    // The takeoff inhibit ends once airborne with the gear not down.
    if (is_off(read(sim::on_ground)) && gear_short_of_down()) {
        s.mw_to_inhibit = 0;
        s.mw_inhibit_2 = 0;
    }
    s.mw_dc_supply_light = s.dc_bus_powered == 1 && s.batt_bus_powered == 1 ? 0 : 1;
    const bool var868_on = read(sim::warning_quantity_868) > kVar868On;
    s.mw_var868 = var868_on ? 1 : 0;
    s.mw_var868_high = read(sim::altitude_ft) >= kVar868HighAltitudeFt && var868_on ? 1 : 0;
}

void run_aural_dispatcher() {
    auto& s = shared;
    if (s.wroof_req == 1) snd::play_once(snd::WROOF);
    loop_while(s.clacker_req == 1, snd::CLACKER);
    if (s.cliclic_req == 1) snd::play_once(snd::CLICLICLIC);
    // The altitude alert chimes give way to the ground proximity callouts.
    if (s.alt_alert_chime == 1 && s.gpws_alert == 0) {
        snd::play_once(snd::RE);
        s.alt_alert_chime = 2;
    }
    loop_while(s.alt_alert_cont == 1 && s.gpws_alert == 0, snd::REREP);
    // Gear horn: gear not down with the flaps beyond the third step; aural cancel silences it.
    const bool gear_horn =
        gear_short_of_down() && read(sim::flap_pos) > static_cast<int>(s.flap_step_3_raw) + kGearHornFlapMargin;
    loop_while(gear_horn && s.aural_cancel != 1, snd::KLAXONCONT);

    latch_inputs();
    // The gong below sounds a caution on the tick it is latched, before the panels could see it
    // raised: its light is re-lit here as well.
    realert_cautions();
    realert_warning();
    // Without the battery bus no chime is started or stopped: a loop keeps sounding until power returns.
    if (s.batt_bus_powered == 1) select_chime();
}

}  // namespace tarvenol::mw
