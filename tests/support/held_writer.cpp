#include "support/held_writer.h"

#include <condition_variable>
#include <mutex>
#include <string_view>

#include "save/file_save.h"
#include "save/save_set.h"

namespace testsupport {

namespace {

constexpr std::string_view kGateFile = "held-writer";

std::mutex gate;
std::condition_variable opened;
bool held = false;

void waitAtTheGate(std::string_view step) {
    if (step != "tmp " + std::string(kGateFile)) return;
    std::unique_lock lock(gate);
    opened.wait(lock, [] { return !held; });
}

}  // namespace

HeldWriter::HeldWriter() {
    {
        std::lock_guard lock(gate);
        held = true;
    }
    filesave::setSaveStepHook(waitAtTheGate);
    filesave::backgroundWriter().enqueue(dir_.path() / kGateFile, "");
}

HeldWriter::~HeldWriter() {
    release();
    filesave::backgroundWriter().drain();
    filesave::setSaveStepHook(nullptr);
}

void HeldWriter::release() {
    {
        std::lock_guard lock(gate);
        held = false;
    }
    opened.notify_all();
}

}  // namespace testsupport
