#pragma once
// Holds the background save writer back for its lifetime, as a slow disk would: every save handed
// to it meanwhile waits behind a file whose first step waits for the gate.
#include <future>
#include <string_view>

#include "save/file_save.h"
#include "support/temp_dir.h"

namespace testsupport {

class HeldWriter {
public:
    HeldWriter() {
        gate = opened_.get_future().share();
        filesave::setSaveStepHook([](std::string_view step) { if (step == "tmp held") gate.wait(); });
        filesave::backgroundWriter().enqueue(dir_.path() / "held", "");
    }
    ~HeldWriter() { opened_.set_value(), filesave::backgroundWriter().drain(), filesave::setSaveStepHook(nullptr); }

private:
    static inline std::shared_future<void> gate;
    std::promise<void> opened_;
    TempDir dir_;
};

}  // namespace testsupport
