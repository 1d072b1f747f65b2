#pragma once

// An X server of our own for whatever needs a real display: the real-window
// tests, the memcheck run and the start-up benchmark.

#include <string>

#include <sys/types.h>

namespace zelk::tests {

class Xvfb {
public:
    // Starts Xvfb, one screen of `depth` bits of colour, on a free display
    // and waits until it takes connections. Throws std::runtime_error when no
    // display could be had.
    explicit Xvfb(int depth = 24);
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    // The display's name, ":" and its number, as DISPLAY takes it.
    const std::string& display() const { return display_; }

private:
    pid_t server_ = 0;
    std::string display_;
};

}  // namespace zelk::tests
