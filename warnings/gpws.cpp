// tarvenol gpws_t418: the ground proximity warning. Its installation opens the sound device and
// creates the cockpit's 25 sounds at their set volumes; its kill releases them.
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

void on_install(abi::UINT32 resource_handle) {
    snd::install_sounds(resource_handle, shared.sound_volume.data());
}
void on_tick() {}
void on_kill() { snd::release_sounds(); }

Background background;

}  // namespace

TARVENOL_GAUGE(gpws, "tarvenol gpws_t418", 47, (&lifecycle_callback<&on_install, &on_tick, &on_kill>), no_areas,
               no_vars, nullptr, background);
