#pragma once
// The last pose received of another player in a LAN session, as the snapshots store it.
#include <array>

struct RemotePose {
    std::array<float, 7> values{};  // x, eye y, z, yaw, spare, walk amount, walk phase
};
