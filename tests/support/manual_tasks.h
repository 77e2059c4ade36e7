#pragma once
// A clock the test sets and a launcher that keeps every background task until the test runs it,
// for the App's chunk window scheduling.
#include <deque>
#include <functional>
#include <utility>

#include "app/background_tasks.h"

namespace testsupport {

class ManualTasks {
   public:
    explicit ManualTasks(BackgroundTasks& tasks) {
        tasks.clock = [this] { return now; };
        tasks.launcher = [this](BackgroundTasks::Job job) { jobs_.push_back(std::move(job)); };
    }
    ManualTasks(const ManualTasks&) = delete;
    ManualTasks& operator=(const ManualTasks&) = delete;

    std::size_t pending() const { return jobs_.size(); }
    // Runs every waiting task in launch order; tasks launched meanwhile wait for the next call.
    void runAll() {
        std::deque<BackgroundTasks::Job> ready = std::move(jobs_);
        jobs_.clear();
        for (BackgroundTasks::Job& job : ready) job();
    }

    double now = 0.0;

   private:
    std::deque<BackgroundTasks::Job> jobs_;
};

}  // namespace testsupport
