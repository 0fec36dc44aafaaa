// The version of cockpit-sim and the commit it was built from (written at build time).
#pragma once

namespace tarvenol::host {
extern const char* const kVersion;
extern const char* const kCommit;
}  // namespace tarvenol::host
