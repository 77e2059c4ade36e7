#pragma once
// How the chunk window's background work (loading, lighting, meshing) is started and timed. The
// game runs every task on a thread of its own and reads GLFW's clock; tests put in a clock they set
// and a launcher that holds the tasks until the test runs them, so that nothing depends on sleeps.
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <type_traits>
#include <utility>

struct BackgroundTasks {
    using Job = std::function<void()>;

    std::function<double()> clock;      // seconds; empty: glfwGetTime
    std::function<void(Job)> launcher;  // empty: std::async with the asynchronous policy

    double now() const;

    // Starts `body` and hands back the future of its result; an exception the body throws is
    // stored in the future and raised where the result is taken.
    template <typename Body>
    std::future<std::invoke_result_t<Body&>> launch(Body body) const {
        using Result = std::invoke_result_t<Body&>;
        if (!launcher) return std::async(std::launch::async, std::move(body));
        auto task = std::make_shared<std::packaged_task<Result()>>(std::move(body));
        std::future<Result> result = task->get_future();
        launcher([task] { (*task)(); });
        return result;
    }
};

// True when the future holds a result that can be taken without waiting.
template <typename T>
bool taskReady(const std::future<T>& task) {
    return task.valid() && task.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

// Waits for a task whose result nobody wants any more and drops it, a stored failure included.
template <typename T>
void settle(std::future<T>& task) {
    if (!task.valid()) return;
    try {
        task.get();
    } catch (...) {
    }
}
