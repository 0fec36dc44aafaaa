// The DirectSound 8 device: what a test may ask of the buffers behind the engine's handles.
#pragma once

#include <windows.h>
#include <dsound.h>

#include "sound/sound.h"

namespace tarvenol::snd {

// The DirectSound buffer behind a sound made on the DirectSound device, or null.
IDirectSoundBuffer* dsound_buffer(SoundHandle sound);

}  // namespace tarvenol::snd
