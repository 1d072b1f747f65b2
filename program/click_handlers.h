#pragma once

#include <cstdint>

namespace zelk::program {

// The click handlers: the argument is the form reference, with bit 0 set when
// entered from the button's Click event. Both return 0 after a normal run.
std::int32_t Command1_Click(std::uintptr_t form);  // the slide
std::int32_t Command2_Click(std::uintptr_t form);  // the gallop

// Their clean-ups, named by their procedure descriptors.
void slideUnwindCleanup(void* locals);
void gallopUnwindCleanup(void* locals);

}  // namespace zelk::program
