#pragma once

// How the runtime lays out a form object it creates: the interface table at
// offset 0, the runtime's own state right after it. The rest of the object
// belongs to the program; the runtime only zeroes it and knows its sinks.

#include "formats/guid.h"
#include "runtime_interface/image_control_interface.h"

#include <cstdint>

namespace zelk::runtime_interface {

struct FormRuntimeState {
    void* owner;  // the runtime's form instance
    std::uint32_t referenceCount;
    std::uint32_t reserved;
};

inline constexpr int kFormRuntimeOperations = 2;
inline constexpr int kMaxImageAccessors = 8;

struct FormInterface {
    std::int32_t (*QueryInterface)(void* form, const formats::Guid* interfaceId, void** out);
    std::uint32_t (*AddRef)(void* form);
    std::uint32_t (*Release)(void* form);
    // The runtime's own operations of a form (show, unload); the program never calls them.
    void (*runtimeOperations[kFormRuntimeOperations])(void* form);
    // One accessor per image control, in the order of their control indexes.
    // Each returns a new reference that the caller hands to __vbaObjSet.
    ImageControlInterface* (*imageAccessors[kMaxImageAccessors])(void* form);
};

}  // namespace zelk::runtime_interface
