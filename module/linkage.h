// The module's two exported records. The simulator writes its service table into ImportTable
// before any gauge routine runs, and finds the 138 gauge headers through Linkage.
#pragma once

#include <cstddef>

#include "module/panel_abi.h"

namespace tarvenol {
constexpr std::size_t kGaugeCount = 138;
}

extern "C" {
TARVENOL_EXPORT extern tarvenol::abi::GAUGESIMPORT ImportTable;
TARVENOL_EXPORT extern tarvenol::abi::GAUGESLINKAGE<tarvenol::kGaugeCount> Linkage;
}
