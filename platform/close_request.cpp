#include "platform/close_request.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <ctime>
#include <mutex>
#include <thread>

namespace platform {

namespace {

struct Watcher {
    std::atomic<bool> requested{false};
    std::atomic<bool> stopping{false};
    std::mutex hookMutex;
    std::function<void()> hook;
    std::thread thread;
    sigset_t signals{};
    sigset_t previousMask{};
};

// Never destroyed: a watcher still running at exit must not meet a destroyed std::thread.
Watcher& watcher() {
    static Watcher* instance = new Watcher;
    return *instance;
}

void recordRequest(Watcher& state) {
    state.requested.store(true);
    std::lock_guard lock(state.hookMutex);
    if (state.hook) state.hook();
}

void watch(Watcher& state) {
    const timespec timeout{0, 100'000'000};
    while (!state.stopping.load()) {
        if (sigtimedwait(&state.signals, nullptr, &timeout) > 0) recordRequest(state);
    }
}

// A signal that arrived after the watcher ended is still pending; taking it here keeps it from
// ending the process once the old mask is back.
void takePendingSignals(Watcher& state) {
    const timespec none{0, 0};
    while (sigtimedwait(&state.signals, nullptr, &none) > 0) state.requested.store(true);
}

}  // namespace

void startCloseRequestWatcher() {
    Watcher& state = watcher();
    if (state.thread.joinable()) return;
    sigemptyset(&state.signals);
    sigaddset(&state.signals, SIGINT);
    sigaddset(&state.signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &state.signals, &state.previousMask);
    state.requested.store(false);
    state.stopping.store(false);
    state.thread = std::thread(watch, std::ref(state));
}

void stopCloseRequestWatcher() {
    Watcher& state = watcher();
    if (!state.thread.joinable()) return;
    state.stopping.store(true);
    state.thread.join();
    takePendingSignals(state);
    // Unblock only what was not blocked before, leaving the rest of the mask as it is now.
    sigset_t unblock;
    sigemptyset(&unblock);
    for (int signal : {SIGINT, SIGTERM})
        if (!sigismember(&state.previousMask, signal)) sigaddset(&unblock, signal);
    pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
}

bool closeRequested() {
    return watcher().requested.load();
}

void setCloseRequestHook(std::function<void()> hook) {
    Watcher& state = watcher();
    std::lock_guard lock(state.hookMutex);
    state.hook = std::move(hook);
}

}  // namespace platform
