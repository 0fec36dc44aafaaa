#include "host/panel_host.h"

#include <cmath>
#include <cstring>

namespace tarvenol::host {

namespace {

PanelHost* g_current = nullptr;

constexpr std::size_t kKeyEventReserve = 4096;  // many frames' worth, reserved at construction

constexpr std::uint32_t kStringMargin = 1;  // the terminating zero
constexpr std::size_t kWindowNodeReserve = 32;  // more than the panel configuration's windows

// The service table entries: plain functions in the simulator's calling convention that forward
// to the current host.
void FSAPI svc_lookup_var(abi::MODULE_VAR* var) {
    if (g_current && var) g_current->lookup(var);
}
abi::ERR FSAPI svc_trigger_key_event(abi::ID32 id, abi::UINT32 value) {
    if (g_current) g_current->key_event(id, value);
    return 0;
}
abi::BOOL FSAPI svc_panel_window_toggle(abi::UINT32 id) {
    if (g_current) g_current->toggle_window(id);
    return 1;
}
abi::BOOL FSAPI svc_panel_window_open(abi::UINT32 id) {
    if (g_current) g_current->set_window(id, true);
    return 1;
}
abi::BOOL FSAPI svc_panel_window_close(abi::UINT32 id) {
    if (g_current) g_current->set_window(id, false);
    return 1;
}
abi::BOOL FSAPI svc_is_panel_window_visible(abi::UINT32 id) { return g_current && g_current->window_open(id); }
void FSAPI svc_element_list_query(abi::ELEMENT_HEADER*) {}
void FSAPI svc_element_list_install(abi::ELEMENT_HEADER* first, abi::PVOID) {
    if (g_current) g_current->install_elements(first);
}
void FSAPI svc_element_list_initialize(abi::ELEMENT_HEADER*) {}
void FSAPI svc_element_list_update(abi::ELEMENT_HEADER* first) {
    if (g_current) g_current->update_elements(first);
}
void FSAPI svc_element_list_generate(abi::ELEMENT_HEADER*, abi::UINT32) {}
void FSAPI svc_element_list_plot(abi::ELEMENT_HEADER*) {}
void FSAPI svc_element_list_erase(abi::ELEMENT_HEADER*) {}
void FSAPI svc_element_list_kill(abi::ELEMENT_HEADER* first) {
    if (g_current) g_current->kill_elements(first);
}
void FSAPI svc_initialize_var(abi::MODULE_VAR* var) { svc_lookup_var(var); }

// Every element of a chain, each once, in drawing order (an element's list may hold several).
template <class F>
void walk(abi::ELEMENT_HEADER* e, F&& f) {
    while (e) {
        f(e);
        abi::ELEMENT_HEADER* next = nullptr;
        if (e->next_element) {
            next = e->next_element[0];
            for (abi::ELEMENT_HEADER** extra = e->next_element + (next ? 1 : 0); next && *extra; ++extra)
                walk(*extra, f);
        }
        e = next;
    }
}

// The simulator refreshes an element's source variables, then asks the element's callback for the
// value it shows (0 without a callback; with `Ask` false only the sources are refreshed). A slider
// or moving image shows its x value when it has an x callback.
template <bool Ask, class Refresh>
double update_element(abi::ELEMENT_HEADER* e, Refresh&& refresh, double* y_value = nullptr) {
    auto ask = [](auto cb, auto* element) { return Ask && cb ? cb(element) : 0.0; };
    auto ask_xy = [&ask, y_value](auto* element) {
        const double x = ask(element->update_x_cb, element);
        const double y = ask(element->update_y_cb, element);
        if (y_value) *y_value = y;
        return element->update_x_cb ? x : y;
    };
    switch (e->element_type) {
        case abi::ELEMENT_TYPE_NEEDLE: {
            auto* n = reinterpret_cast<abi::ELEMENT_NEEDLE*>(e);
            refresh(n->source_var);
            return ask(n->update_cb, n);
        }
        case abi::ELEMENT_TYPE_STRING: {
            auto* s = reinterpret_cast<abi::ELEMENT_STRING*>(e);
            for (abi::MODULE_VAR& v : s->source_var) refresh(v);
            return ask(s->update_cb, s);
        }
        case abi::ELEMENT_TYPE_SLIDER: {
            auto* s = reinterpret_cast<abi::ELEMENT_SLIDER*>(e);
            refresh(s->source_var_x);
            refresh(s->source_var_y);
            return ask_xy(s);
        }
        case abi::ELEMENT_TYPE_ICON: {
            auto* i = reinterpret_cast<abi::ELEMENT_ICON*>(e);
            refresh(i->source_var);
            return ask(i->update_cb, i);
        }
        case abi::ELEMENT_TYPE_MOVING_IMAGE: {
            auto* m = reinterpret_cast<abi::ELEMENT_MOVING_IMAGE*>(e);
            refresh(m->source_var_x);
            refresh(m->source_var_y);
            return ask_xy(m);
        }
        default: return 0.0;
    }
}

}  // namespace

// --- Simulator variables -------------------------------------------------------------------------

void SimVars::set_value(int token, abi::UNIVERSAL_VAR value) {
    if (token >= 0 && token < kDirectTokens)
        direct_[static_cast<std::size_t>(token)] = value;
    else
        others_[token] = value;
}

void SimVars::set_f64(int token, double value) {
    abi::UNIVERSAL_VAR v{};
    v.n = value;
    set_value(token, v);
}

void SimVars::set_i32(int token, std::int32_t value) {
    // The integer fills the low half; the high half reads zero.
    abi::UNIVERSAL_VAR v{};
    v.d = static_cast<abi::VAR32>(value);
    set_value(token, v);
}

abi::UNIVERSAL_VAR SimVars::value(int token) const {
    if (token >= 0 && token < kDirectTokens) return direct_[static_cast<std::size_t>(token)];
    auto it = others_.find(token);
    if (it == others_.end()) return abi::UNIVERSAL_VAR{};
    return it->second;
}

void SimVars::clear() {
    direct_.fill(abi::UNIVERSAL_VAR{});
    others_.clear();
}

double SimVars::f64(int token) const { return value(token).n; }
std::int32_t SimVars::i32(int token) const { return static_cast<std::int32_t>(value(token).d); }

// --- The host ------------------------------------------------------------------------------------

PanelHost::PanelHost(abi::GAUGESIMPORT& import_table, abi::GAUGEHDR* const* gauge_headers) : import_(import_table) {
    panels_.ModuleID = abi::PANELS_SERVICE_ID;
    panels_.ModuleVersion = abi::MODULE_VERSION_FS2002;
    panels_.is_panel_window_visible_ident = &svc_is_panel_window_visible;
    panels_.element_list_query = &svc_element_list_query;
    panels_.element_list_install = &svc_element_list_install;
    panels_.element_list_initialize = &svc_element_list_initialize;
    panels_.element_list_update = &svc_element_list_update;
    panels_.element_list_generate = &svc_element_list_generate;
    panels_.element_list_plot = &svc_element_list_plot;
    panels_.element_list_erase = &svc_element_list_erase;
    panels_.element_list_kill = &svc_element_list_kill;
    panels_.panel_window_toggle = &svc_panel_window_toggle;
    panels_.trigger_key_event = &svc_trigger_key_event;
    panels_.initialize_var = &svc_initialize_var;
    panels_.lookup_var = &svc_lookup_var;
    panels_.panel_window_close_ident = &svc_panel_window_close;
    panels_.panel_window_open_ident = &svc_panel_window_open;
    for (abi::GAUGEHDR* const* h = gauge_headers; h && *h; ++h) gauges_.push_back(*h);
    keys_.reserve(kKeyEventReserve);
    spare_window_nodes_.reserve(kWindowNodeReserve);
    for (std::uint32_t i = 0; i < kWindowNodeReserve; ++i) {
        open_windows_.insert(i);
        spare_window_nodes_.push_back(open_windows_.extract(i));
    }
    import_.PANELSentry.fnptr = &panels_;
    g_current = this;
}

PanelHost::~PanelHost() {
    if (loaded_) unload();
    if (import_.PANELSentry.fnptr == &panels_) import_.PANELSentry.fnptr = nullptr;
    if (g_current == this) g_current = nullptr;
}

PanelHost* PanelHost::current() { return g_current; }

abi::GAUGEHDR* PanelHost::find_gauge(const char* name) const {
    for (abi::GAUGEHDR* g : gauges_)
        if (std::strcmp(g->gauge_name, name) == 0) return g;
    return nullptr;
}

void PanelHost::load(std::uint32_t resource_handle) {
    g_current = this;
    for (abi::GAUGEHDR* g : gauges_) {
        if (g->gauge_callback) g->gauge_callback(g, 0, 0);
        g->query_routine();
        if (g->gauge_callback) g->gauge_callback(g, abi::PANEL_SERVICE_PRE_INSTALL, resource_handle);
        g->install_routine(reinterpret_cast<abi::PVOID>(static_cast<std::uintptr_t>(resource_handle)));
        if (g->gauge_callback) g->gauge_callback(g, 4, 0);
        g->initialize_routine();
    }
    loaded_ = true;
}

void PanelHost::tick_gauge(abi::GAUGEHDR* g) {
    if (before_each_gauge) before_each_gauge();
    ticking_ = g;
    if (g->gauge_callback) g->gauge_callback(g, abi::PANEL_SERVICE_PRE_UPDATE, 0);
    g->update_routine();
    g->generate_routine(0);
    g->draw_routine();
    ticking_ = nullptr;
}

void PanelHost::frame() {
    g_current = this;
    advance_clock();
    for (abi::GAUGEHDR* g : gauges_) tick_gauge(g);
}

void PanelHost::frame(const std::size_t* order, std::size_t count) {
    g_current = this;
    advance_clock();
    for (std::size_t i = 0; i < count; ++i)
        if (order[i] < gauges_.size()) tick_gauge(gauges_[order[i]]);
}

void PanelHost::unload() {
    g_current = this;
    for (abi::GAUGEHDR* g : gauges_) {
        if (g->gauge_callback) g->gauge_callback(g, abi::PANEL_SERVICE_PRE_KILL, 0);
        g->kill_routine();
    }
    loaded_ = false;
}

namespace {
// Child rectangle `area_index` of a gauge's mouse list (they follow the parent entry, up to its end).
abi::MOUSERECT* child_rect(const abi::GAUGEHDR& gauge, std::size_t area_index) {
    abi::MOUSERECT* r = gauge.mouse_rect;
    if (!r) return nullptr;
    std::size_t child = 0;
    for (++r; r->rect_type == abi::MOUSE_RECT_CHILD; ++r, ++child)
        if (child == area_index) return r;
    return nullptr;
}
}  // namespace

bool PanelHost::click(abi::GAUGEHDR& gauge, std::size_t area_index, ClickKind kind) {
    g_current = this;
    abi::MOUSERECT* r = child_rect(gauge, area_index);
    if (!r || !r->mouse_function) return false;
    abi::PIXPOINT point{r->relative_box.x + 1, r->relative_box.y + 1};
    r->mouse_function(&point, kind == ClickKind::press ? abi::MOUSE_LEFTSINGLE : abi::MOUSE_DOWN_REPEAT);
    return true;
}

bool PanelHost::repeats(const abi::GAUGEHDR& gauge, std::size_t area_index) const {
    const abi::MOUSERECT* r = child_rect(gauge, area_index);
    return r && (r->mouse_flags & abi::MOUSE_DOWN_REPEAT) != 0;
}

void PanelHost::set_window(std::uint32_t id, bool open) {
    if (open && !open_windows_.count(id)) {
        if (spare_window_nodes_.empty()) {
            open_windows_.insert(id);
            return;
        }
        auto node = std::move(spare_window_nodes_.back());
        spare_window_nodes_.pop_back();
        node.value() = id;
        open_windows_.insert(std::move(node));
    } else if (!open && open_windows_.count(id) && spare_window_nodes_.size() < spare_window_nodes_.capacity()) {
        spare_window_nodes_.push_back(open_windows_.extract(id));
    } else if (!open) {
        open_windows_.erase(id);
    }
}

double PanelHost::element_value(const abi::ELEMENT_HEADER* element) const {
    auto it = element_values_.find(element);
    return it == element_values_.end() ? 0.0 : it->second;
}

double PanelHost::element_y_value(const abi::ELEMENT_HEADER* element) const {
    auto it = element_y_values_.find(element);
    return it == element_y_values_.end() ? 0.0 : it->second;
}

const char* PanelHost::element_text(const abi::ELEMENT_HEADER* element) const {
    auto it = text_buffers_.find(element);
    return it == text_buffers_.end() ? "" : it->second.data();
}

void PanelHost::lookup(abi::MODULE_VAR* var) { var->var_value = vars_.value(var->id); }

void PanelHost::key_event(std::uint32_t id, std::uint32_t value) {
    const KeyEvent key{id, value, ticking_};
    if (keys_.size() < kKeyEventsKept)
        keys_.push_back(key);
    else
        ++keys_dropped_;
    if (on_key_event) on_key_event(key);
}

void PanelHost::toggle_window(std::uint32_t id) { set_window(id, !window_open(id)); }

void PanelHost::install_elements(abi::ELEMENT_HEADER* first) {
    walk(first, [this](abi::ELEMENT_HEADER* e) {
        element_values_[e] = 0.0;
        if (e->element_type == abi::ELEMENT_TYPE_MOVING_IMAGE) element_y_values_[e] = 0.0;
        if (e->element_type == abi::ELEMENT_TYPE_STRING) {
            auto* s = reinterpret_cast<abi::ELEMENT_STRING*>(e);
            auto& buffer = text_buffers_[e];
            buffer.assign(s->max_string_length + kStringMargin, '\0');
            s->string = buffer.data();
        }
    });
}

void PanelHost::update_elements(abi::ELEMENT_HEADER* first) {
    walk(first, [this](abi::ELEMENT_HEADER* e) {
        // The value's place is found before the callback runs, so that the search does not wait
        // on the gauge's code.
        double& shown = element_values_[e];
        double* y = nullptr;
        if (e->element_type == abi::ELEMENT_TYPE_MOVING_IMAGE) y = &element_y_values_[e];
        shown = update_element<true>(e, [this](abi::MODULE_VAR& v) { lookup(&v); }, y);
    });
}

void PanelHost::refresh_elements(abi::ELEMENT_HEADER* first) {
    walk(first, [this](abi::ELEMENT_HEADER* e) {
        element_values_[e] = update_element<false>(e, [this](abi::MODULE_VAR& v) { lookup(&v); });
    });
}

void PanelHost::kill_elements(abi::ELEMENT_HEADER* first) {
    walk(first, [this](abi::ELEMENT_HEADER* e) {
        if (e->element_type == abi::ELEMENT_TYPE_STRING) reinterpret_cast<abi::ELEMENT_STRING*>(e)->string = nullptr;
        text_buffers_.erase(e);
    });
}

namespace {
// One frame later on a clock in seconds. A clock that stands on a whole frame (k/18 s) moves to
// the next whole frame computed afresh, so that 18 frames make exactly one second however long the
// run; a clock set between frames simply moves on by 1/18 s.
double next_frame_time(double seconds) {
    constexpr double kOnFrame = 1e-6;  // in frames
    const double frames = seconds * kFramesPerSecond;
    const double whole = std::nearbyint(frames);
    if (std::fabs(frames - whole) < kOnFrame) return (whole + 1.0) / kFramesPerSecond;
    return seconds + kSecondsPerTick;
}
}  // namespace

void PanelHost::advance_clock() {
    auto advance = [this](int token) {
        if (!held_.count(token)) vars_.set_f64(token, next_frame_time(vars_.f64(token)));
    };
    if (!held_.count(token::tick_counter)) vars_.set_f64(token::tick_counter, vars_.f64(token::tick_counter) + 1.0);
    advance(token::clock_seconds_total);
    advance(token::simulation_time);
    if (!held_.count(token::time_of_day)) {
        // The time of day runs round midnight; whatever was set, it stays within one day.
        double t = std::fmod(next_frame_time(vars_.f64(token::time_of_day)), kSecondsPerDay);
        if (t < 0.0) t += kSecondsPerDay;
        vars_.set_f64(token::time_of_day, t);
    }
    split_time_of_day();
}

void PanelHost::split_time_of_day() {
    // Hours, minutes and seconds follow the time of day.
    const double t = vars_.f64(token::time_of_day);
    const double hours = std::floor(t / kSecondsPerHour);
    const double minutes = std::floor((t - hours * kSecondsPerHour) / kSecondsPerMinute);
    vars_.set_f64(token::clock_hours, hours);
    vars_.set_f64(token::clock_minutes, minutes);
    vars_.set_f64(token::clock_seconds, std::floor(t - hours * kSecondsPerHour - minutes * kSecondsPerMinute));
}

}  // namespace tarvenol::host
