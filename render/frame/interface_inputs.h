#pragma once
// The interface block's inputs as the App holds them this frame; the cursor is (0, 0) without a
// window.
#include "render/interface/interface_block.h"

struct App;

namespace render {

InterfaceInputs interfaceInputs(const App& app);

}  // namespace render
