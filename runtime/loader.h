#pragma once

#include "runtime_interface/loaded_module.h"

#include <exception>

namespace zelk::runtime {

// The loader's part: maps the executable's image and data block where its
// module header says and binds its imports, before its entry runs. A module
// that cannot be loaded is reported on stderr and ends the process with
// exit code 2.
void loadExecutable(const runtime_interface::LoadedModule& module);

// How a program that cannot start says so: one line on stderr, exit code 2.
[[noreturn]] void reportCannotStart(const std::exception& error);

}  // namespace zelk::runtime
