#pragma once

#include "runtime_interface/loaded_module.h"

namespace zelk::executable {

// This executable as a loader sees it: the embedded image, the data block, the
// import address table and the native routines of its code range.
const runtime_interface::LoadedModule& loadedModule();

}  // namespace zelk::executable
