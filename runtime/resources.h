#pragma once

// The module's stored resources, found through the directory its header links to.

#include "runtime/address_space.h"

#include <cstdint>
#include <span>

namespace zelk::runtime {

// The bytes of the resource of `type` with `id`. Throws BadDescriptor when the
// directory has no such resource, BadAddress when a link leads outside.
std::span<const std::uint8_t> findResource(const AddressSpace& space, std::uint32_t imageBase, std::uint32_t type,
                                           std::uint32_t id);

}  // namespace zelk::runtime
