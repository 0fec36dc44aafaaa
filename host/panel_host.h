// A small panel system in the simulator's place: it writes its service table into the module's
// ImportTable, reads Linkage and drives every gauge through its life cycle as the simulator does —
// query, install (service 2 with the resource handle), initialize, then per frame service 6 and
// update/generate/draw, clicks between frames, and kill (service 12). It knows the module only
// through the two exported records, so it drives a module linked in or one loaded from disk alike.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <unordered_map>
#include <vector>

#include "module/panel_abi.h"
#include "module/sim_vocabulary.h"

namespace tarvenol::host {

namespace abi = tarvenol::abi;

struct KeyEvent {
    std::uint32_t id;
    std::uint32_t value;
    const abi::GAUGEHDR* sender = nullptr;  // the gauge whose tick sent it; null for a click between frames
};

// The simulator's variables, by token. Each token is read either as FLOAT64 or as a 32-bit
// integer in the low half of the value field; a token never set reads 0. The simulator's own
// tokens are small numbers and live in a flat table, so that reading and writing them never
// allocates; any other token goes to an overflow map (tests only).
class SimVars {
public:
    static constexpr int kDirectTokens = 1024;

    void set_f64(int token, double value);
    void set_i32(int token, std::int32_t value);
    // The whole 8-byte value field.
    void set_value(int token, abi::UNIVERSAL_VAR value);
    double f64(int token) const;
    std::int32_t i32(int token) const;
    // The 8-byte value field as lookup_var fills it.
    abi::UNIVERSAL_VAR value(int token) const;
    void clear();

    // By the cockpit's vocabulary entry, as the cockpit reads the variable.
    template <int Token>
    void set(sim::Var<Token, sim::ReadAs::f64>, double value) { set_f64(Token, value); }
    template <int Token>
    void set(sim::Var<Token, sim::ReadAs::i32>, std::int32_t value) { set_i32(Token, value); }
    template <int Token>
    double get(sim::Var<Token, sim::ReadAs::f64>) const { return f64(Token); }
    template <int Token>
    std::int32_t get(sim::Var<Token, sim::ReadAs::i32>) const { return i32(Token); }

private:
    std::array<abi::UNIVERSAL_VAR, kDirectTokens> direct_{};
    std::unordered_map<int, abi::UNIVERSAL_VAR> others_;
};

// The clock variables the host advances before every frame.
namespace token {
constexpr int tick_counter = sim::tick_counter.token;
constexpr int clock_hours = sim::clock_hour.token;
constexpr int clock_minutes = sim::clock_minute.token;
constexpr int clock_seconds = sim::clock_second.token;
constexpr int time_of_day = sim::time_of_day.token;
constexpr int clock_seconds_total = sim::clock_s.token;
constexpr int simulation_time = sim::sim_time_s.token;
}  // namespace token

constexpr double kFramesPerSecond = 18.0;
constexpr double kSecondsPerTick = 1.0 / kFramesPerSecond;
constexpr double kSecondsPerMinute = 60.0;
constexpr double kSecondsPerHour = 3600.0;
constexpr double kSecondsPerDay = 86400.0;

// A left click on an area, and the calls the simulator makes again while the button is held down
// on an area that repeats.
enum class ClickKind { press, repeat };

class PanelHost {
public:
    // Takes over the module's ImportTable and reads its Linkage gauge list.
    PanelHost(abi::GAUGESIMPORT& import_table, abi::GAUGEHDR* const* gauge_headers);
    ~PanelHost();
    PanelHost(const PanelHost&) = delete;
    PanelHost& operator=(const PanelHost&) = delete;

    // The host whose services the module is calling (one host drives one module at a time).
    static PanelHost* current();

    // Life cycle of every gauge of Linkage.
    void load(std::uint32_t resource_handle = 0);
    void frame();
    // A frame whose gauges tick in the order given (indices into gauges(), each at most once;
    // indices out of range are skipped).
    void frame(const std::size_t* order, std::size_t count);
    void unload();
    bool loaded() const { return loaded_; }

    // Calls the mouse callback of child rectangle `area_index` of a gauge, as a left click (the press)
    // or as the simulator's call again while the button is held on an area that repeats.
    bool click(abi::GAUGEHDR& gauge, std::size_t area_index, ClickKind kind = ClickKind::press);
    // Whether that area asks to be called again while held.
    bool repeats(const abi::GAUGEHDR& gauge, std::size_t area_index) const;

    const std::vector<abi::GAUGEHDR*>& gauges() const { return gauges_; }
    abi::GAUGEHDR* find_gauge(const char* name) const;

    SimVars& vars() { return vars_; }

    // Key events the module sent, in order, since the last clear: the first kKeyEventsKept of
    // them (a frame sends a few dozen, so hours of frames), so that a host that never clears stays
    // bounded (8 MB); the rest are only counted.
    static constexpr std::size_t kKeyEventsKept = std::size_t{1} << 20;
    const std::vector<KeyEvent>& key_events() const { return keys_; }
    std::size_t key_events_dropped() const { return keys_dropped_; }
    void clear_key_events() {
        keys_.clear();
        keys_dropped_ = 0;
    }
    // Called on every key event, after it is recorded (the aircraft model reacts here).
    std::function<void(const KeyEvent&)> on_key_event;
    // Called before each gauge's tick (tests hold conditions that other gauges would recompute).
    std::function<void()> before_each_gauge;

    // Panel windows: all closed at load.
    bool window_open(std::uint32_t id) const { return open_windows_.count(id) != 0; }
    const std::set<std::uint32_t>& open_windows() const { return open_windows_; }
    void set_window(std::uint32_t id, bool open);

    // Clock variables the host stops advancing while held.
    void hold(int token) { held_.insert(token); }
    void release(int token) { held_.erase(token); }
    bool held(int token) const { return held_.count(token) != 0; }
    // Hours, minutes and seconds (3, 4, 5) from the time of day (557).
    void split_time_of_day();

    // The value the element's callback returned at the last update (0 before any).
    double element_value(const abi::ELEMENT_HEADER* element) const;
    // A moving image's y value at the last frame (its value above is x when it has an x callback).
    double element_y_value(const abi::ELEMENT_HEADER* element) const;
    // The text a string element holds.
    const char* element_text(const abi::ELEMENT_HEADER* element) const;

    // The service table as written into ImportTable.
    const abi::PANELS& panels() const { return panels_; }

    // What the services do (public for the static trampolines).
    void lookup(abi::MODULE_VAR* var);
    void key_event(std::uint32_t id, std::uint32_t value);
    void toggle_window(std::uint32_t id);
    void install_elements(abi::ELEMENT_HEADER* first);
    void update_elements(abi::ELEMENT_HEADER* first);
    void kill_elements(abi::ELEMENT_HEADER* first);
    // The host's own share of an update: the walk of the element chain and the refresh of every
    // element's source variables, without calling the module (the floor a frame cannot go below).
    void refresh_elements(abi::ELEMENT_HEADER* first);

private:
    void advance_clock();
    void tick_gauge(abi::GAUGEHDR* g);

    abi::GAUGESIMPORT& import_;
    abi::PANELS panels_{};
    std::vector<abi::GAUGEHDR*> gauges_;
    SimVars vars_;
    std::vector<KeyEvent> keys_;
    std::size_t keys_dropped_ = 0;
    std::set<std::uint32_t> open_windows_;
    // Nodes of closed windows kept for the next opening, so that a gauge opening and closing a
    // window every frame costs no allocation.
    std::vector<std::set<std::uint32_t>::node_type> spare_window_nodes_;
    std::set<int> held_;
    std::unordered_map<const abi::ELEMENT_HEADER*, double> element_values_;
    std::unordered_map<const abi::ELEMENT_HEADER*, double> element_y_values_;
    std::unordered_map<const abi::ELEMENT_HEADER*, std::vector<char>> text_buffers_;
    bool loaded_ = false;
    const abi::GAUGEHDR* ticking_ = nullptr;  // the gauge being ticked, while it is
};

}  // namespace tarvenol::host
