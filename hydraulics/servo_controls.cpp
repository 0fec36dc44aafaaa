// tarvenol servo_controls_t418: the three servo control levers (blue, green, yellow), each with its
// pressure flag and its JAM lamp. A lever at TEST on the ground tests the servo jam detection: the
// JAM lamp comes on and stays on until the lever goes to OFF or the battery bus is lost.
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

// Lever positions (the slider position of the lever picture). At most two levers may be OFF.
constexpr u8 kTest = 0;
constexpr u8 kOn = 27;
constexpr u8 kOff = 57;
constexpr u8 kAtLoad = 30;  // between the notches: works as ON
constexpr int kTwoLeversOff = 2 * kOff;

// A servo has pressure above this.
constexpr u32 kPressurisedPsi = 1800;

#define SERVO_STATE(X)                 \
    X(u8, servo_lever_blue, kAtLoad, within(kTest, kOff))   \
    X(u8, servo_lever_green, kAtLoad, within(kTest, kOff))  \
    X(u8, servo_lever_yellow, kAtLoad, within(kTest, kOff)) \
    X(u8, servo_jam_blue_lt, 0, kFlag)        \
    X(u8, servo_jam_green_lt, 0, kFlag)       \
    X(u8, servo_jam_yellow_lt, 0, kFlag)
TARVENOL_PRIVATE_STATE(SERVO_STATE)

struct Servo {
    u8 State::*lever;
    u8 State::*jam_lamp;
    u32 SharedState::*pressure;
};
constexpr Servo kBlue{&State::servo_lever_blue, &State::servo_jam_blue_lt, &SharedState::hyd_blue_press};
constexpr Servo kGreen{&State::servo_lever_green, &State::servo_jam_green_lt, &SharedState::hyd_green_press};
constexpr Servo kYellow{&State::servo_lever_yellow, &State::servo_jam_yellow_lt, &SharedState::hyd_yellow_press};

// The levers move without a click sound; a lever goes to OFF only while the other two are not
// both OFF already.
template <const Servo& S, const Servo& Other1, const Servo& Other2>
void lever_to_off() {
    if (st.*Other1.lever + st.*Other2.lever < kTwoLeversOff) st.*S.lever = kOff;
}
template <const Servo& S, u8 Position>
void lever_to() {
    st.*S.lever = Position;
}

Background background{panel("SERVO CONTROLS")};
Slider blue_lever{"blue_lever", nullptr, [] { return static_cast<double>(st.servo_lever_blue); }, marker("BLUE")};
Slider green_lever{"green_lever", nullptr, [] { return static_cast<double>(st.servo_lever_green); }, marker("GREEN")};
Slider yellow_lever{"yellow_lever", nullptr, [] { return static_cast<double>(st.servo_lever_yellow); }, marker("YELLOW")};
Image blue_flag{"blue_press_flag", bar()};
Image green_flag{"green_press_flag", bar()};
Image yellow_flag{"yellow_press_flag", bar()};
Image blue_jam{"blue_jam_lamp", light(Tone::caution, "JAM")};
Image green_jam{"green_jam_lamp", light(Tone::caution, "JAM")};
Image yellow_jam{"yellow_jam_lamp", light(Tone::caution, "JAM")};

// One servo's pressure flag and JAM lamp.
void servo(const Servo& s, Image& flag, bool on_ground) {
    const u8 lever = st.*s.lever;
    const bool batt = shared.batt_bus_powered == 1;
    flag.show(lever != kOff && shared.*s.pressure > kPressurisedPsi && batt);
    if (on_ground && lever == kTest && batt) st.*s.jam_lamp = 1;
    if (lever == kOff) st.*s.jam_lamp = 0;
}

void tick() {
    const bool on_ground = is_on(read(sim::on_ground));
    servo(kBlue, blue_flag, on_ground);
    servo(kGreen, green_flag, on_ground);
    servo(kYellow, yellow_flag, on_ground);
    if (shared.batt_bus_powered == 0) st.servo_jam_blue_lt = st.servo_jam_green_lt = st.servo_jam_yellow_lt = 0;
    // The servo fault lasts as long as a JAM lamp is lit.
    shared.mw_servo_fault = st.servo_jam_blue_lt == 1 || st.servo_jam_green_lt == 1 || st.servo_jam_yellow_lt == 1;
    blue_jam.show(st.servo_jam_blue_lt == 1);
    green_jam.show(st.servo_jam_green_lt == 1);
    yellow_jam.show(st.servo_jam_yellow_lt == 1);
}

constexpr std::array areas{
    area<&lever_to<kBlue, kTest>>("blue.test", Cursor::up),
    area<&lever_to<kBlue, kOn>>("blue.on", Cursor::hand),
    area<&lever_to_off<kBlue, kGreen, kYellow>>("blue.off", Cursor::down),
    area<&lever_to<kGreen, kTest>>("green.test", Cursor::up),
    area<&lever_to<kGreen, kOn>>("green.on", Cursor::hand),
    area<&lever_to_off<kGreen, kBlue, kYellow>>("green.off", Cursor::down),
    area<&lever_to<kYellow, kTest>>("yellow.test", Cursor::up),
    area<&lever_to<kYellow, kOn>>("yellow.on", Cursor::hand),
    area<&lever_to_off<kYellow, kBlue, kGreen>>("yellow.off", Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(servo_controls, "tarvenol servo_controls_t418", 177, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, blue_lever, green_lever, yellow_lever, blue_flag, green_flag,
               yellow_flag, blue_jam, green_jam, yellow_jam);
