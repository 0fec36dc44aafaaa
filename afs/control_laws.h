// The autopilot's own control laws, run from the autopilot master's tick while an autopilot is in
// command: pitch hold following the pilot's control inputs, vertical-speed tracking of the flight
// director on an approach, the bank hold flying the ailerons, the speed trend, the IAS mode flying
// the speed through the vertical-speed reference, and the LAND flare and touchdown.
//
// The simulator's autopilot gives the heading, NAV and approach holds and a vertical-speed hold
// (its altitude hold with a far altitude reference); the laws add what it lacks through the
// elevator, aileron and trim axes.
#pragma once

#include "module/host_services.h"
#include "module/numbers.h"
#include "module/var_table.h"

namespace tarvenol::afs {

// The laws' state, kept for the whole flight; the autopilot master clears the holds on disconnect.
// X(type, name, value at load)
#define AFS_CONTROL_LAW_STATE(X)             \
    X(u8, pitch_hold_engaged, 0)             \
    X(f64, pitch_ref_deg, 0.0)               \
    X(u8, vs_steady_capture, 0)              \
    X(i32, elevator_up_peak, 0)              \
    X(i32, elevator_down_peak, 0)            \
    X(i32, captured_trim, 0)                 \
    X(u8, trim_captured, 0)                  \
    X(i8, aileron_input_state, 0)            \
    X(i32, bank_target, 0)                   \
    X(u8, bank_hold, 0)                      \
    X(u8, roll_hold_initialised, 0)          \
    X(u8, roll_recapture_req, 0)             \
    X(i32, aileron_offset, 0)                \
    X(f64, ias_sample_1, 0.0)                \
    X(f64, ias_sample_2, 0.0)                \
    X(i32, ias_sample_deadline, 0)           \
    X(u8, ias_sample_armed, 0)               \
    X(u8, ias_mode_engaged, 0)               \
    X(i32, ias_speed_ref, 0)                 \
    X(i32, ias_zone_deadline, 0)             \
    X(u8, ias_zone_timed, 0)

struct LawState {
    AFS_CONTROL_LAW_STATE(TARVENOL_STATE_MEMBER)
};
// Module-wide: the heading panel raises the roll re-capture request when a heading mode ends.
extern LawState laws;

// Present vertical speed in ft/min from the simulator's m/s x 256.
constexpr double kVsUnitsPerFpm = 1.30048;
// Reference limits of the vertical-speed hold, ft/min: a step that would take the reference on from
// the ceiling (or below the floor, its negative) sets it to the limit instead.
constexpr i32 kVsRefLimit = 4990;
constexpr i32 kVsRefCeiling = 5000;
// Bank the module holds itself; beyond it the simulator's lateral hold takes over at this bank.
constexpr i32 kBankHoldLimit = 30;

double present_vs_fpm();

// Clears the IAS mode's captured speed, zone and engaged flag (lever up, end of the IAS mode).
void clear_ias_mode();
// Clears every hold (disconnect, simulator autopilot off): pitch hold, bank hold and its target,
// roll-hold initialisation, the IAS zone, and the LAND flare state.
void clear_holds();

// Step 19 of the autopilot master's tick: pitch hold, approach vertical speed, roll-input tracking
// (which refreshes bank_angle), roll law, aileron command, speed trend, IAS mode.
void run_laws(bool sim_ap_on, bool airborne, bool on_ground);
// Step 21: LAND flare and touchdown (while a LAND mode is active).
void run_flare(bool on_ground);

// Sends a key event whose value is a signed quantity (references, axis positions).
void send_signed(KeyEvent event, i32 value);

}  // namespace tarvenol::afs
