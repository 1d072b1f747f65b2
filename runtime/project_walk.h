#pragma once

// Following the stored chain from the project header to what the runtime
// needs: the form object, its controls and sinks, its methods, and its form
// description.

#include "runtime/address_space.h"
#include "formats/guid.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zelk::runtime {

struct ControlBinding {
    std::string name;
    std::int32_t index;  // -1 for the form's own entry
    std::uint16_t eventSlots;
    std::uint32_t sinkOffset;  // of the control's sink within the form object
    std::uint32_t sinkTable;
};

struct FormBinding {
    std::string name;
    std::vector<ControlBinding> controls;  // in control-table order
    std::vector<std::uint32_t> methods;    // entry addresses
    formats::Guid formGuid;
    std::uint32_t descriptionAddress;
    std::span<const std::uint8_t> description;

    const ControlBinding* control(std::int32_t index) const;
    // Size of the form object: it ends with its last sink.
    std::uint32_t objectSize() const;
};

// Throws BadDescriptor or BadAddress naming what does not hold.
FormBinding walkProject(const AddressSpace& space, std::uint32_t projectHeader);

// The entry address in slot `slot` of a control's event-sink table; 0 when unbound.
std::uint32_t eventEntry(const AddressSpace& space, const ControlBinding& control, int slot);

}  // namespace zelk::runtime
