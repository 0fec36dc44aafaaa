#include "module/linkage.h"

#include "module/gauge.h"
#include "module/gauge_list.h"
#include "module/module_state.h"

#define TARVENOL_DECLARE_GAUGE(ident)          \
    extern tarvenol::abi::GAUGEHDR gauge_hdr_##ident; \
    extern const tarvenol::GaugeInfo gauge_info_##ident;
TARVENOL_GAUGE_LIST(TARVENOL_DECLARE_GAUGE)
#undef TARVENOL_DECLARE_GAUGE

namespace {
// The simulator's module routines; the gauges need no module-wide set-up.
void FSAPI module_init() {}
void FSAPI module_deinit() {}
}  // namespace

extern "C" {

TARVENOL_EXPORT tarvenol::abi::GAUGESIMPORT ImportTable = {
    {tarvenol::abi::PANELS_SERVICE_ID, nullptr},
    {0, nullptr},
};

#define TARVENOL_HEADER_POINTER(ident) &gauge_hdr_##ident,
TARVENOL_EXPORT tarvenol::abi::GAUGESLINKAGE<tarvenol::kGaugeCount> Linkage = {
    tarvenol::abi::GAUGE_MODULE_ID, &module_init, &module_deinit, 0, 0, tarvenol::abi::MODULE_VERSION_FS2002,
    {TARVENOL_GAUGE_LIST(TARVENOL_HEADER_POINTER) nullptr},
};
#undef TARVENOL_HEADER_POINTER
}

namespace tarvenol {

#define TARVENOL_INFO_POINTER(ident) &gauge_info_##ident,
const GaugeInfo* const gauge_infos[kGaugeCount] = {TARVENOL_GAUGE_LIST(TARVENOL_INFO_POINTER)};
#undef TARVENOL_INFO_POINTER

}  // namespace tarvenol
