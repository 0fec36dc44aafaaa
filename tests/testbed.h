// A fresh module and panel host per test: the module back at its load-time state, every gauge
// installed, and intention-revealing helpers to tick, click, set simulator variables and look at
// what the cockpit shows and sends.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "host/panel_host.h"
#include "module/linkage.h"
#include "module/module_state.h"
#include "module/shared_state.h"
#include "sound/device.h"
#include "sound/mixer.h"

namespace tarvenol::testing {

// On its first frames the module sets the cockpit up as the simulator loads it: the lighting opens
// the pop-up windows, then the cockpit is left cold and dark on the ground or ready for flight in
// the air. Tests of one system start from the switches they set themselves and skip that setting;
// tests of the start-up itself let it run.
enum class StartUp { skipped, runs };

class TestBed {
public:
    // The cockpit's sounds go to the software mixer on every platform, so that tests can hear them.
    explicit TestBed(StartUp start_up = StartUp::skipped)
        : host_((reset_module_state(), snd::use_device(&snd::mixer::device()), ImportTable),
                Linkage.gauge_header_ptr) {
        host_.load();
        if (start_up == StartUp::skipped) shared.cockpit_init_state = kCockpitAlreadySet;
    }

    host::PanelHost& host() { return host_; }
    host::SimVars& sim() { return host_.vars(); }
    SharedState& state() { return shared; }

    // Runs n frames; key events are counted from the start of this call.
    void tick(int n = 1) {
        host_.clear_key_events();
        for (int i = 0; i < n; ++i) host_.frame();
    }
    void run_seconds(int seconds) { tick(seconds * kTicksPerSecond); }

    void click(const char* gauge_name, const char* area_name) {
        const GaugeInfo& g = gauge(gauge_name);
        std::size_t index = 0;
        if (!find_area(g, area_name, &index)) {
            ADD_FAILURE() << gauge_name << " has no click area " << area_name;
            return;
        }
        host_.click(*g.header, index);
    }

    // Key events sent since the last tick() began, by any gauge or only by the gauge named.
    int sent_count(KeyEvent event, const char* by_gauge = nullptr) const {
        const abi::GAUGEHDR* sender = by_gauge ? gauge(by_gauge).header : nullptr;
        int n = 0;
        for (const auto& k : host_.key_events()) n += k.id == event.id && (!sender || k.sender == sender);
        return n;
    }
    bool sent(KeyEvent event, const char* by_gauge = nullptr) const { return sent_count(event, by_gauge) > 0; }
    // The value the event last went with (nothing when it was not sent).
    std::optional<std::uint32_t> sent_value(KeyEvent event) const {
        std::optional<std::uint32_t> value;
        for (const auto& k : host_.key_events())
            if (k.id == event.id) value = k.value;
        return value;
    }

    abi::ELEMENT_HEADER& element(const char* gauge_name, const char* element_name) {
        ElementLink* e = find_element(gauge(gauge_name), element_name);
        if (!e) throw std::runtime_error(std::string(gauge_name) + " has no element " + element_name);
        return *e->header;
    }
    bool shown(const char* gauge_name, const char* element_name) {
        return is_visible(element(gauge_name, element_name));
    }
    double value(const char* gauge_name, const char* element_name) {
        return host_.element_value(&element(gauge_name, element_name));
    }
    std::string text(const char* gauge_name, const char* element_name) {
        return host_.element_text(&element(gauge_name, element_name));
    }

    static const GaugeInfo& gauge(const char* name) {
        const GaugeInfo* g = find_gauge(name);
        if (!g) throw std::runtime_error(std::string("no gauge ") + name);
        return *g;
    }

private:
    static constexpr u8 kCockpitAlreadySet = 2;  // the start-up's last state: nothing left to set

    host::PanelHost host_;
};

}  // namespace tarvenol::testing
