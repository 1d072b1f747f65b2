#pragma once

// The processor time of the calling thread. On a machine where other work
// runs, the wall clock also counts the time the thread waited for a core;
// what the thread itself did is what a ratio compares.

#include <ctime>

namespace zelk::bench {

inline double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

template <class Work>
double threadCpuSecondsOf(Work&& work) {
    const double start = threadCpuSeconds();
    work();
    return threadCpuSeconds() - start;
}

}  // namespace zelk::bench
