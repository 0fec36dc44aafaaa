// The module's raw-data resources compiled into the program (generated from resources/module.rc).
#pragma once

#include <cstddef>

#include "sound/platform.h"

namespace tarvenol::snd {

extern const ResourceEntry kEmbeddedResources[];
extern const std::size_t kEmbeddedResourceCount;

}  // namespace tarvenol::snd
