#pragma once

// The road from a stored event or method entry to the handler it enters. The
// entries are stored code: the runtime reads what each one subtracts from its
// argument and where it jumps, until it reaches a handler's body, the only
// kind of address that stands for a native routine.

#include "runtime/address_space.h"
#include "runtime_interface/loaded_module.h"

#include <cstdint>
#include <span>

namespace zelk::runtime {

struct EntryRoad {
    runtime_interface::HandlerRoutine handler;
    std::int64_t adjustment;  // added to the entry's argument on the way
};

// The native routine at `address`; null when none stands there.
const runtime_interface::CodeTarget* nativeRoutine(std::span<const runtime_interface::CodeEntry> code,
                                                   std::uint32_t address);

// Throws BadDescriptor when the entry holds code the runtime cannot follow or
// does not end in a handler, BadAddress when it leads outside the image.
EntryRoad followEntry(const AddressSpace& space, std::span<const runtime_interface::CodeEntry> code,
                      std::uint32_t address);

}  // namespace zelk::runtime
