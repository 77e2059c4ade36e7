#pragma once
// Holds the background save writer back: every save handed to it meanwhile waits in its queue until
// `release`, as a slow disk would keep it, so that a test sees what the game reads before they land.
#include "support/temp_dir.h"

namespace testsupport {

class HeldWriter {
public:
    HeldWriter();
    // Releases the writer and lets everything queued land.
    ~HeldWriter();
    HeldWriter(const HeldWriter&) = delete;
    HeldWriter& operator=(const HeldWriter&) = delete;
    void release();

private:
    TempDir dir_;  // the one file the writer stops at
};

}  // namespace testsupport
