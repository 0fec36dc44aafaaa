// tarvenol autoland_light_1_t418: the LAND / FLARE annunciator. A new approach mode asks for the
// CLICLICLIC; engaging LAND flashes both LAND lights for three seconds, then LAND single shows the
// first and LAND dual both. FLARE shows while the flare runs. A click flashes the LAND lights.
#include "afs/annunciators.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace afs;

constexpr u32 kFlashTicks = 54;

#define LAND_LIGHT_STATE(X)            \
    X(u8, land_lt_last_appr_mode, 0)   \
    X(u8, land_lt_flash_running, 0)    \
    X(u8, land_lt_flash_lit, 0)        \
    X(u32, land_lt_flash_start, 0)     \
    X(u32, land_lt_flash_phase, 0)
TARVENOL_PRIVATE_STATE(LAND_LIGHT_STATE)

Background background{panel(nullptr, 40)};
Image land_1{"land_1", light(Tone::advisory, "LAND", at(4, 4, 34, 30))};
Image land_2{"land_2", light(Tone::advisory, "LAND", at(40, 4, 34, 30))};
Image flare{"flare", light(Tone::advisory, "FLARE", at(76, 4, 34, 30))};

Flash flash() {
    return Flash(st.land_lt_flash_running, st.land_lt_flash_lit, st.land_lt_flash_start, st.land_lt_flash_phase);
}

void tick() {
    auto& s = shared;
    Flash f = flash();
    if (s.batt_bus_powered != 1) {
        s.cliclic_req = 0;
        f.clear();
        land_1.show(false);
        land_2.show(false);
        flare.show(false);
        return;
    }
    const u32 now = afs::present_tick();
    const bool test = s.ann_lt_test == 1;

    s.cliclic_req = 0;
    if (s.appr_mode != 0 && s.appr_mode != st.land_lt_last_appr_mode) {
        s.cliclic_req = 1;
        if (s.appr_mode >= kLand) f.start(now);
    }
    st.land_lt_last_appr_mode = s.appr_mode;

    flare.show(s.flare_active == 1 || test);

    if (f.lasted(now, kFlashTicks)) f.clear();
    f.step(now);
    if (f.running()) {
        land_1.show(f.lit() || test);
        land_2.show(f.lit() || test);
    } else {
        land_1.show(s.appr_mode >= kLand || test);
        land_2.show(s.appr_mode >= kLandDual || test);
    }
}

void click_flash() { flash().start(afs::present_tick()); }

constexpr std::array areas{area<&click_flash>("land", Cursor::hand)};

}  // namespace

TARVENOL_GAUGE(autoland_light_1, "tarvenol autoland_light_1_t418", 56, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, land_1, land_2, flare);
