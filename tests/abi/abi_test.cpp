// The module as the simulator meets it: loaded from disk by the operating system's loader, found
// through its two exported records, and every gauge driven through a frame by a panel host.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "host/panel_host.h"

namespace {

namespace abi = tarvenol::abi;

constexpr std::size_t kGaugeCount = 138;

struct LoadedModule {
    void* handle = nullptr;
    abi::GAUGESIMPORT* import_table = nullptr;
    abi::GAUGESLINKAGE<kGaugeCount>* linkage = nullptr;

    explicit LoadedModule(const char* path) {
#if defined(_WIN32)
        HMODULE m = LoadLibraryA(path);
        handle = m;
        if (!m) return;
        import_table = reinterpret_cast<abi::GAUGESIMPORT*>(GetProcAddress(m, "ImportTable"));
        linkage = reinterpret_cast<abi::GAUGESLINKAGE<kGaugeCount>*>(GetProcAddress(m, "Linkage"));
#else
        handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (!handle) return;
        import_table = static_cast<abi::GAUGESIMPORT*>(dlsym(handle, "ImportTable"));
        linkage = static_cast<abi::GAUGESLINKAGE<kGaugeCount>*>(dlsym(handle, "Linkage"));
#endif
    }
    ~LoadedModule() {
#if defined(_WIN32)
        if (handle) FreeLibrary(static_cast<HMODULE>(handle));
#else
        if (handle) dlclose(handle);
#endif
    }
    std::uint32_t resource_handle() const {
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
    }
};

const char* module_path() { return TARVENOL_MODULE_PATH; }

TEST(LoadedModule, exports_import_table_and_linkage) {
    LoadedModule m(module_path());
    ASSERT_NE(m.handle, nullptr) << "cannot load " << module_path();
    ASSERT_NE(m.import_table, nullptr);
    ASSERT_NE(m.linkage, nullptr);
    EXPECT_EQ(m.import_table->PANELSentry.fnID, 0x0F);
    EXPECT_EQ(m.import_table->PANELSentry.fnptr, nullptr);
    EXPECT_EQ(m.linkage->ModuleID, 0x13);
    EXPECT_EQ(m.linkage->ModuleVersion, 0x800u);
}

TEST(LoadedModule, links_138_named_gauges_then_null) {
    LoadedModule m(module_path());
    ASSERT_NE(m.linkage, nullptr);
    for (std::size_t i = 0; i < kGaugeCount; ++i) {
        const abi::GAUGEHDR* g = m.linkage->gauge_header_ptr[i];
        ASSERT_NE(g, nullptr) << i;
        const std::string name = g->gauge_name;
        if (i == 0)
            EXPECT_EQ(name, "testgauge2k");
        else
            EXPECT_TRUE(name.rfind("tarvenol ", 0) == 0 && name.size() > 14 &&
                        name.compare(name.size() - 5, 5, "_t418") == 0)
                << name;
    }
    EXPECT_STREQ(m.linkage->gauge_header_ptr[1]->gauge_name, "tarvenol elec_batt_t418");
    EXPECT_STREQ(m.linkage->gauge_header_ptr[137]->gauge_name, "tarvenol map_lt_t418");
    EXPECT_EQ(m.linkage->gauge_header_ptr[kGaugeCount], nullptr);
}

TEST(LoadedModule, every_gauge_installs_ticks_draws_and_is_killed) {
    LoadedModule m(module_path());
    ASSERT_NE(m.linkage, nullptr);
    tarvenol::host::PanelHost host(*m.import_table, m.linkage->gauge_header_ptr);
    EXPECT_EQ(m.import_table->PANELSentry.fnptr, &host.panels());
    host.load(m.resource_handle());
    for (int i = 0; i < 36; ++i) host.frame();
    // The diagnostic gauge formats its first field on every update.
    abi::GAUGEHDR* diag = host.find_gauge("testgauge2k");
    ASSERT_NE(diag, nullptr);
    const abi::ELEMENT_HEADER* field = diag->elements_list[0]->next_element[0];
    EXPECT_STREQ(host.element_text(field), "0.000000");
    host.unload();
}

}  // namespace
