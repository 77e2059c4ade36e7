#pragma once
// The moving-blocks render scene: doors, a ladder, a chest lid, a furnace fire, a bed and smoke.
#include <functional>
#include <string>

#include "platform/image.h"

struct App;

namespace selftest {

// Captures one frame into the base directory under the file name and reads it back.
using CaptureFn = std::function<platform::Image(App&, const std::string&)>;

// Builds the scene before the camera, captures it bare, with the blocks and with smoke, checks each
// capture and writes the result line; 0 on success, 1 when the content lacks a block.
int movingBlocksScene(App& app, const CaptureFn& capture);

}  // namespace selftest
