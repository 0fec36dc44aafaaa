// No heap allocation during frames once the gauges are installed: every global allocation
// function of this program is replaced by one that counts while counting is switched on.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <numeric>
#include <vector>

#include "host/simulator.h"
#include "module/linkage.h"
#include "module/module_state.h"

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* counted(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return counted(size); }
void* operator new[](std::size_t size) { return counted(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return counted(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace tarvenol::host {
namespace {

struct Counting {
    Counting() {
        allocations = 0;
        counting = true;
    }
    ~Counting() { counting = false; }
    long count() const { return allocations.load(); }
};

TEST(Allocations, the_counter_sees_an_allocation) {
    Counting c;
    auto* p = new int(3);
    const long seen = c.count();
    delete p;
    EXPECT_EQ(seen, 1);
}

TEST(Allocations, none_during_frames_after_installation) {
    Simulator sim;
    sim.vars().set(sim::on_ground, 1.0);
    long seen = 0;
    {
        Counting c;
        for (int i = 0; i < 10 * kTicksPerSecond; ++i) sim.frame();
        seen = c.count();
    }
    EXPECT_EQ(seen, 0);
}

TEST(Allocations, none_from_clicks_on_every_area_of_every_gauge_and_the_frames_after) {
    Simulator sim;
    long seen = 0;
    {
        Counting c;
        for (int round = 0; round < 2; ++round) {
            for (const GaugeInfo* g : gauges()) {
                for (std::size_t a = 0; a < g->area_count; ++a) sim.click(*g, a);
                sim.frame();
            }
        }
        seen = c.count();
    }
    EXPECT_EQ(seen, 0);
}

TEST(Allocations, none_in_frames_with_the_gauges_in_another_order) {
    Simulator sim;
    std::vector<std::size_t> order(sim.host().gauges().size());
    std::iota(order.rbegin(), order.rend(), std::size_t{0});  // last gauge first
    long seen = 0;
    {
        Counting c;
        for (int i = 0; i < 100; ++i) sim.frame(order.data(), order.size());
        seen = c.count();
    }
    EXPECT_EQ(seen, 0);
}

TEST(Allocations, none_in_the_bare_panel_host_either) {
    reset_module_state();
    PanelHost host(ImportTable, Linkage.gauge_header_ptr);
    host.load();
    long seen = 0;
    {
        Counting c;
        for (int i = 0; i < 100; ++i) {
            host.clear_key_events();
            host.frame();
        }
        seen = c.count();
    }
    host.unload();
    EXPECT_EQ(seen, 0);
}

}  // namespace
}  // namespace tarvenol::host
