#pragma once
#include <functional>
#include <utility>

namespace platform {

// Turns SIGINT and SIGTERM into a close request that the main loop polls, so that a terminal's
// Ctrl+C ends the game like the window's close button. Call before any other thread starts: the
// signals are blocked in the calling thread (and so in every thread it starts) and received by a
// watcher thread of their own.
void startCloseRequestWatcher();
void stopCloseRequestWatcher();
bool closeRequested();
// Called from the watcher thread after each request (for example to wake a blocked event wait);
// an empty function removes it. Calls never overlap a change of the hook.
void setCloseRequestHook(std::function<void()> hook);

// Keeps a hook installed for its own lifetime, so that none outlives what it touches even when the
// scope is left by an exception.
class ScopedCloseRequestHook {
public:
    explicit ScopedCloseRequestHook(std::function<void()> hook) { setCloseRequestHook(std::move(hook)); }
    ~ScopedCloseRequestHook() { setCloseRequestHook({}); }
    ScopedCloseRequestHook(const ScopedCloseRequestHook&) = delete;
    ScopedCloseRequestHook& operator=(const ScopedCloseRequestHook&) = delete;
};

}  // namespace platform
