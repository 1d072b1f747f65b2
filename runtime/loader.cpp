#include "runtime/loader.h"

#include "runtime/process.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

namespace zelk::runtime {

void loadExecutable(const runtime_interface::LoadedModule& module) {
    try {
        // The process lives as long as the program does.
        static const std::unique_ptr<Process> process = std::make_unique<Process>(module);
    } catch (const std::exception& e) {
        reportCannotStart(e);
    }
}

void reportCannotStart(const std::exception& error) {
    std::fprintf(stderr, "zelk: cannot start: %s\n", error.what());
    std::exit(2);
}

}  // namespace zelk::runtime
