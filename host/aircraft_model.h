// The aircraft behind the cockpit: how the stand-in simulator answers the key events the cockpit
// sends. One table lists every key event the cockpit sends, with its name and, where the aircraft
// or the panel system reacts, the reaction; a small engine model spools the engines once per frame.
// Adding a reaction is adding (or filling in) one row.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "host/panel_host.h"

namespace tarvenol::host {

class AircraftModel;
using Reaction = void (*)(AircraftModel& model, std::uint32_t value);

// Who answers a key event: the aircraft (only while the model is on) or the panel system (always,
// as the simulator's panel windows do).
enum class Answerer : std::uint8_t { aircraft, panel_system };

struct KeyEventInfo {
    std::uint32_t id;
    const char* name;
    Reaction reaction;  // null: recorded only
    Answerer answerer;
};

std::span<const KeyEventInfo> key_event_table();
const KeyEventInfo* find_key_event(std::uint32_t id);
// By name (e.g. "master_battery_toggle") or by number (e.g. "0x102C1").
const KeyEventInfo* find_key_event(std::string_view name_or_number);

// The engine model's figures.
namespace engine_model {
constexpr double kLightOffN2 = 20.0;          // percent N2 above which fuel lights the engine
constexpr double kStarterN2 = 25.0;           // the starter alone turns the engine up to this
constexpr double kIdleN2 = 60.0;              // a lit engine settles here
constexpr double kIdleN1 = 22.0;
constexpr double kIdleFuelFlow = 700.0;       // pounds per hour at idle
constexpr double kStarterSpoolPerSecond = 1.5;  // N2 percent per second while cranking
constexpr double kLitSpoolPerSecond = 3.0;      // N2 percent per second from light-off to idle
constexpr double kSpoolTimeConstantS = 1.35;    // above idle N2 follows the lever with this lag: idle to 95 % thrust in
                                                // about 4 s, within the 5 s engines are certified to for a go-around
constexpr double kRundownPerSecond = 2.0;       // N2 percent per second with neither fuel nor starter
constexpr double kMixtureRich = 16384.0;
constexpr double kMixtureLean = 0.0;
constexpr double kMixtureFuelOn = 8000.0;     // a mixture lever at or above this lets fuel through
constexpr double kValveOpen = 1.0;
constexpr double kValveClosed = 0.0;
// Thrust: a lit engine spools from idle toward the thrust its lever asks, full forward at
// kMaxN2 / kMaxN1; in reverse, once the reverser is out, up to kReverseThrust of that.
constexpr double kMaxN2 = 100.0;
constexpr double kMaxN1 = 110.0;
constexpr double kMaxFuelFlow = 13000.0;       // pounds per hour at full thrust
constexpr double kReverseThrust = 0.7;
constexpr double kThrottleStep = 1.0 / 16.0;   // one throttle up or down event
constexpr double kThrottleForward = 1.0;
constexpr double kThrottleReverse = -1.0;
constexpr double kReverserPerSecond = 0.5;     // the reverser takes 2 s to travel
constexpr double kReverserOut = 1.0;
// What the engine instruments read beside N1, N2 and fuel flow.
constexpr double kIdleEgtC = 420.0;
constexpr double kEgtPerN1 = 4.5;              // degrees per percent N1 above idle
constexpr double kEgtPerSecond = 40.0;
constexpr double kEgtRawPerDegree = 2.15;
constexpr double kOilPressPerN2 = 0.75;        // indicated units per percent N2
constexpr double kOilPressRawPerUnit = 130.0;
constexpr double kThrottleFullUnits = 16384.0;  // the throttle axis at full forward
}  // namespace engine_model

// The flight controls the levers move: spoilers 0..16384 and the flap lever in four steps.
namespace lever_model {
constexpr double kSpoilersFull = 16384.0;
constexpr double kFlapsFull = 16383.0;
constexpr double kFlapStep = 4096.0;
constexpr double kBrakeSet = 1.0;
constexpr double kBrakeReleased = 0.0;
}  // namespace lever_model

constexpr double kBatteryVolts = 24.0;

class AircraftModel {
public:
    static constexpr int kEngines = 2;

    explicit AircraftModel(PanelHost& host) : host_(host) {}

    bool enabled() const { return enabled_; }
    void set_enabled(bool on) { enabled_ = on; }

    // A key event the cockpit sent: the panel system always answers, the aircraft while enabled.
    void key_event(std::uint32_t id, std::uint32_t value);
    // Once per frame, before the gauges run: starters and engine spool.
    void step();

    SimVars& vars() { return host_.vars(); }
    PanelHost& host() { return host_; }

    struct Engine {
        bool starter_requested = false;  // a starter-held event arrived since the last step
        bool lit = false;                // burning fuel
        double throttle_seen = 0.0;      // the throttle axis and lever as the last step left them
        double lever_seen = 0.0;
        bool failed_in_frame = false;    // a failure event arrived since the last step
    };
    Engine& engine(int index) { return engines_[static_cast<std::size_t>(index)]; }
    const Engine& engine(int index) const { return engines_[static_cast<std::size_t>(index)]; }

    // The simulator's autopilot references (the holds' on/off states are simulator variables).
    struct Autopilot {
        std::int32_t altitude_ref_m = 0;
        std::int32_t altitude_ref_ft = 0;
        std::int32_t vs_ref_fpm = 0;
        bool airspeed_hold = false;
        // What the holds fly to: the altitude reference last given (in feet, whichever unit it
        // came in), the heading reference, the autothrottle arming.
        double altitude_target_ft = 0.0;
        double heading_ref_deg = 0.0;
        bool autothrottle_armed = false;
    };
    Autopilot& autopilot() { return autopilot_; }
    const Autopilot& autopilot() const { return autopilot_; }

    // The simulator's hydraulic-loss toggle (sent in pairs by the cockpit).
    void toggle_hydraulic_state() { hydraulic_toggled_ = !hydraulic_toggled_; }
    bool hydraulic_toggled() const { return hydraulic_toggled_; }

    // The simulator's yaw damper, engaged and disengaged by its key events.
    void set_yaw_damper(bool engaged) { yaw_damper_ = engaged; }
    bool yaw_damper() const { return yaw_damper_; }

    // The receivers selected on the audio panel (B, C, D, E), by the simulator's audio events.
    static constexpr int kAudioReceivers = 4;
    void set_audio(int receiver, bool on) { audio_[static_cast<std::size_t>(receiver)] = on; }
    bool audio(int receiver) const { return audio_[static_cast<std::size_t>(receiver)]; }

private:
    void step_engine(int index);
    void burn_fuel(std::int32_t selector, double flow_pph);
    bool tank_has_fuel(std::int32_t selector);
public:
    // The fuel in all the tanks, pounds.
    double fuel_lb();
private:

    PanelHost& host_;
    bool enabled_ = true;
    bool hydraulic_toggled_ = false;
    bool yaw_damper_ = false;
    Autopilot autopilot_{};
    std::array<Engine, kEngines> engines_{};
    std::array<bool, kAudioReceivers> audio_{};
};

}  // namespace tarvenol::host
