#pragma once

#include "runtime_interface/loaded_module.h"

namespace zelk::rt {

// The loader's part: maps the executable's image and data block where its
// module header says and binds its imports, before its entry runs. A module
// that cannot be loaded is reported on stderr and ends the process with
// exit code 2.
void loadExecutable(const LoadedModule& module);

}  // namespace zelk::rt
