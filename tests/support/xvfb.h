#pragma once
#include <string>

namespace testsupport {

// A private virtual X server for tests that open a window. Started on a free display number, stopped
// by its process id when the object goes.
class Xvfb {
public:
    Xvfb();
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;
    // ":<n>", for DISPLAY.
    const std::string& display() const { return display_; }

private:
    int pid_ = -1;
    std::string display_;
};

}  // namespace testsupport
