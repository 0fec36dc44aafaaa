// Engine variables of the simulator that several engine panels read.
#pragma once

namespace tarvenol::eng {

}  // namespace tarvenol::eng
