// tarvenol apu_t418: the APU panel — MASTER SWITCH, START button, FUEL PUMP, CONTRL SYS, agent
// pressure bar and the START, OIL, STBY ON, FLAP and FAULT lights. Its tick runs the whole APU:
// run-down, start and spool-up, availability, exhaust temperature, N2 held in a band that follows
// the air demand, oil burn and the air inlet flap.
#include "module/gauge.h"
#include "module/shared_state.h"
#include "module/units.h"

namespace {

using namespace tarvenol;


// Spool-up and run-down, per tick.
constexpr double kSlowSpoolN1 = 50.0;        // below: the starter turns it slowly
constexpr double kFastSpoolTopN1 = 96.0;     // up to here it accelerates by a tenth per tick
constexpr double kRatedN1 = 100.0;
constexpr double kStarterN1Step = 0.2;
constexpr double kStarterN2Step = 0.05;
constexpr double kFastSpoolN1Fraction = 10.0;  // N1 grows by N1 / 10
constexpr double kFastSpoolN2Fraction = 2.0;   // N2 grows by N2 / 2
constexpr double kRunDownStep = 0.4;
constexpr double kEgtCoolStep = 0.1;

// Starting above 25000 ft only reaches 35 % N1; above 30000 ft the APU is not available.
constexpr double kMaxStartAltitudeFt = 25000.0;
constexpr double kHighStartAbandonN1 = 35.0;
constexpr double kHighStartN2Step = 0.01;
constexpr double kMaxAvailableAltitudeFt = 30000.0;
constexpr u32 kMinStartOil = 600;
constexpr u32 kFullOil = 800;

// Exhaust temperature.
constexpr double kEgtRunning = 540.0;
constexpr double kEgtSettleN1 = 99.0;
constexpr double kEgtRiseStep = 0.6;
constexpr double kEgtHotRiseStep = 0.2;
constexpr double kEgtCoolDownStep = 0.1;

// N2 bands after air demand.
constexpr double kN2RiseStep = 0.2;
struct N2Band {
    double low;        // below: rise
    double high;       // at or above: fall
    double fall_step;
};
constexpr N2Band kHighDemandBand{97.0, 98.0, 0.1};
constexpr N2Band kStandbyBand{89.0, 90.0, 0.4};
constexpr N2Band kNormalLowBand{63.0, 64.0, 0.4};
constexpr double kNormalHighAltitudeFt = 7000.0;
constexpr double kAntiIceDemandMaxN1Sum = 10.0;  // wing anti-ice draws on the APU with both engines idle

// CONTRL SYS positions.
constexpr u8 kCtlNor = 0;
constexpr u8 kCtlStby = 1;
constexpr u8 kCtlOvr = 2;

// Oil burns one unit a minute; the inlet flap takes 5 s to open.
constexpr double kOilPeriodSeconds = 60.0;
constexpr i32 kFlapOpeningTicks = 90;
constexpr u8 kFlapClosed = 0;
constexpr u8 kFlapMoving = 1;
constexpr u8 kFlapOpen = 2;

#define APU_STATE(X)                  \
    X(u8, apu_fuel_pump_sw, 0)        \
    X(u8, apu_ctl_sys_sel, kCtlNor)   \
    X(u8, apu_flap_state, kFlapClosed) \
    X(i32, apu_flap_timing, 0)        \
    X(i32, apu_flap_deadline, 0)      \
    X(i32, apu_oil_timing, 0)         \
    X(i32, apu_oil_deadline, 0)
TARVENOL_PRIVATE_STATE(APU_STATE)

// The panel: MASTER, FUEL PUMP and CONTROL SYS switches; under them the START push button, the
// FLAP OPEN and STBY ON lights, then FAULT, OIL and the fire agent pressure indicator.
constexpr int kW = 212, kSwitchTop = 56, kRow1 = 130, kRow2 = 166, kLamp = 62;
constexpr int kMaster = column(0, 3, kW), kPump = column(1, 3, kW), kCtl = column(2, 3, kW);
constexpr Box kStartButton = lamp_box(kMaster, kRow1, kLamp);

Background background{panel("APU", 206)};
SwitchImages<2> master_images{lever("MASTER", switch_box(kMaster, kSwitchTop), "OFF|ON"), "apu_master_sw.off",
                              "apu_master_sw.on"};
SwitchImages<2> fuel_pump_images{lever("FUEL PUMP", switch_box(kPump, kSwitchTop), "AUTO|ON"), "apu_fuel_pump_sw.auto",
                                 "apu_fuel_pump_sw.on"};
SwitchImages<3> ctl_sys_images{lever("CTL SYS", switch_box(kCtl, kSwitchTop), "NOR|STBY|OVR"),
                               "apu_ctl_sys_sel.nor", "apu_ctl_sys_sel.stby", "apu_ctl_sys_sel.ovr"};
Image start_light{"start_light", button(Tone::blue, "START", kStartButton)};
Image oil_light{"oil_light", light(Tone::caution, "OIL", lamp_box(kPump, kRow2, kLamp))};
Image stby_on_light{"stby_on_light", light(Tone::advisory, "STBY ON", lamp_box(kCtl, kRow1, kLamp))};
Image flap_light{"flap_light", light(Tone::advisory, "FLAP OPEN", lamp_box(kPump, kRow1, kLamp))};
Image fault_light{"fault_light", light(Tone::caution, "FAULT", lamp_box(kMaster, kRow2, kLamp))};
Image agent_press_bar{"agt_press_bar", bar(bar_box(kCtl, kRow2 + kLampH / 2))};

// Moves N2 toward the band of the present air demand.
void regulate_n2(double altitude_ft) {
    auto& s = shared;
    const bool high_demand =
        st.apu_ctl_sys_sel == kCtlOvr || s.eng_start_master >= 1 ||
        (s.wing_anti_ice_on == 1 && read(sim::eng1_n1_pct) + read(sim::eng2_n1_pct) < kAntiIceDemandMaxN1Sum);
    const N2Band* band = nullptr;
    if (high_demand)
        band = &kHighDemandBand;
    else if (st.apu_ctl_sys_sel == kCtlStby)
        band = &kStandbyBand;
    else if (st.apu_ctl_sys_sel == kCtlNor && altitude_ft < kNormalHighAltitudeFt)
        band = &kNormalLowBand;
    else if (st.apu_ctl_sys_sel == kCtlNor && altitude_ft >= kNormalHighAltitudeFt)
        band = &kStandbyBand;
    if (!band) return;
    if (s.apu_n_pct < band->low)
        s.apu_n_pct += kN2RiseStep;
    else if (s.apu_n_pct >= band->high)
        s.apu_n_pct -= band->fall_step;
    else
        s.apu_n_pct = band->low;
}

void fall_to_zero(double& value, double step) {
    value -= step;
    if (value <= 0.0) value = 0.0;
}

void tick() {
    auto& s = shared;
    const double altitude_ft = read(sim::altitude_m) * kFeetPerMetre;

    // 1. Switch images.
    master_images.show(s.apu_master_sw);
    fuel_pump_images.show(st.apu_fuel_pump_sw);
    ctl_sys_images.show(st.apu_ctl_sys_sel);

    // 2. MASTER OFF drops the start command and the availability.
    if (s.apu_master_sw == 0) {
        s.apu_start_sw = 0;
        s.apu_bleed_avail = 0;
    }

    // 3. Run-down.
    if ((s.apu_bleed_avail == 0 && s.apu_start_sw == 0) || s.fail_apu == 1) {
        fall_to_zero(s.apu_n1_pct, kRunDownStep);
        fall_to_zero(s.apu_n_pct, kRunDownStep);
        fall_to_zero(s.apu_egt, kEgtCoolStep);
    }

    // 4. Start and run; a start above 25000 ft; too little oil cancels a start.
    if (s.apu_start_sw == 1 && altitude_ft <= kMaxStartAltitudeFt && s.apu_oil_qty >= kMinStartOil &&
        s.fail_apu == 0) {
        if (s.apu_n1_pct < kSlowSpoolN1) {
            s.apu_n1_pct += kStarterN1Step;
            s.apu_n_pct += kStarterN2Step;
        } else if (s.apu_n1_pct <= kFastSpoolTopN1) {
            s.apu_n1_pct += s.apu_n1_pct / kFastSpoolN1Fraction;
            s.apu_n_pct += s.apu_n_pct / kFastSpoolN2Fraction;
        } else {
            if (s.apu_n1_pct < kRatedN1)
                s.apu_n1_pct += kStarterN1Step;
            else
                s.apu_n1_pct = kRatedN1;
            regulate_n2(altitude_ft);
        }
    } else if (s.apu_start_sw == 1 && altitude_ft > kMaxStartAltitudeFt && s.apu_oil_qty >= kMinStartOil) {
        if (s.apu_n1_pct < kHighStartAbandonN1) {
            s.apu_n1_pct += kStarterN1Step;
            s.apu_n_pct += kHighStartN2Step;
        } else {
            s.apu_start_sw = 0;
        }
    } else if (s.apu_oil_qty < kMinStartOil) {
        s.apu_start_sw = 0;
    }

    // 5. Availability for bleed air and the APU generator.
    s.apu_bleed_avail = s.apu_n1_pct >= kRatedN1 && altitude_ft <= kMaxAvailableAltitudeFt && s.apu_oil_qty > 0 &&
                        s.fail_apu == 0;

    // 6. Exhaust temperature: below 99 % N1 it climbs 0.6 a tick up to and including 540, 0.2 above.
    if (s.apu_start_sw == 1 || s.apu_bleed_avail == 1) {
        if (s.apu_n1_pct < kEgtSettleN1)
            s.apu_egt += s.apu_egt <= kEgtRunning ? kEgtRiseStep : kEgtHotRiseStep;
        else if (s.apu_egt > kEgtRunning)
            s.apu_egt -= kEgtCoolDownStep;
        else
            s.apu_egt = kEgtRunning;
    }

    // 7. Running: N2 regulation (a second time when the start is still latched).
    if (s.apu_bleed_avail == 1 && s.fail_apu == 0) regulate_n2(altitude_ft);

    // 8. Oil burns while the APU is available.
    if (s.apu_bleed_avail == 1) {
        const double clock = read(sim::clock_s);
        if (st.apu_oil_timing == 0) {
            st.apu_oil_deadline = truncate<i32>(clock + kOilPeriodSeconds);
            st.apu_oil_timing = 1;
        } else if (static_cast<double>(st.apu_oil_deadline) <= clock) {
            if (s.apu_oil_qty > 0) --s.apu_oil_qty;
            st.apu_oil_deadline = truncate<i32>(clock + kOilPeriodSeconds);
        }
    } else {
        st.apu_oil_timing = 0;
    }
    if (s.apu_oil_qty > kFullOil) s.apu_oil_qty = kFullOil;

    // 9. Air inlet flap: it moves while the gear moves with the APU demanding air, and opens in 5 s
    // once the master is on.
    if (read(sim::gear_nose_pos) != read(sim::gear_handle) && (s.apu_bleed_avail == 1 || s.apu_start_sw == 1)) {
        st.apu_flap_state = kFlapMoving;
    } else if (s.apu_master_sw == 1) {
        if (st.apu_flap_timing == 0 && st.apu_flap_state == kFlapClosed) {
            st.apu_flap_deadline = deadline_in(kFlapOpeningTicks);
            st.apu_flap_timing = 1;
        }
        if (st.apu_flap_timing == 1) {
            if (is_due(st.apu_flap_deadline)) {
                st.apu_flap_state = kFlapOpen;
                st.apu_flap_timing = 0;
            } else {
                st.apu_flap_state = kFlapMoving;
            }
        }
    } else {
        st.apu_flap_state = kFlapClosed;
    }

    // 10. Lights, all on the DC essential bus.
    const bool dc = s.batt_bus_powered == 1;
    const bool starting = s.apu_n1_pct < kSlowSpoolN1 && s.apu_start_sw == 1;
    start_light.show(dc && starting);
    oil_light.show(dc && starting);
    stby_on_light.show(dc && st.apu_ctl_sys_sel == kCtlStby && s.apu_bleed_avail == 1);
    flap_light.show(dc && st.apu_flap_state == kFlapMoving);
    const bool fault = dc && s.fail_apu == 1;
    fault_light.show(fault);
    if (!fault)
        s.mw_apu_fault = 0;
    else if (s.apu_master_sw == 1)
        s.mw_apu_fault = 1;
    agent_press_bar.show(dc);
}

constexpr std::array areas{
    area<[] { set_switch(shared.apu_master_sw, 1); }>("master.on", Cursor::up),
    area<[] { set_switch(shared.apu_master_sw, 0); }>("master.off", Cursor::down),
    area<[] {
        if (shared.apu_master_sw == 1 && shared.batt_bus_powered == 1) shared.apu_start_sw = 1;
    }>("start", Cursor::hand).at(kStartButton.x, kStartButton.y, kStartButton.w, kStartButton.h),
    area<[] { set_switch(st.apu_fuel_pump_sw, 1); }>("fuel_pump.on", Cursor::up),
    area<[] { set_switch(st.apu_fuel_pump_sw, 0); }>("fuel_pump.auto", Cursor::down),
    area<[] { set_switch(st.apu_ctl_sys_sel, kCtlOvr); }>("contrl_sys.ovr", Cursor::up),
    area<[] { set_switch(st.apu_ctl_sys_sel, kCtlNor); }>("contrl_sys.nor", Cursor::hand),
    area<[] { set_switch(st.apu_ctl_sys_sel, kCtlStby); }>("contrl_sys.stby", Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(apu, "tarvenol apu_t418", 106, &tick_callback<&tick>, areas, st_table, &reset_private_state,
               background, master_images, fuel_pump_images, ctl_sys_images, start_light, oil_light, stby_on_light,
               flap_light, fault_light, agent_press_bar);
