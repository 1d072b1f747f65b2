#pragma once

// The Form1 object as the program's code sees it.

#include "runtime_interface/form_interface.h"
#include "runtime_interface/variant.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace zelk::program {

// Control entries in the order of the control table (and of the sinks).
enum ControlEntry : int {
    kEntryImg2,
    kEntryImg3,
    kEntryForm,
    kEntryCommand1,
    kEntryCommand2,
    kEntryImg1,
    kControlEntries
};

struct Form1 {
    const runtime_interface::FormInterface* interfaceTable;
    runtime_interface::FormRuntimeState runtimeState;
    runtime_interface::Variant MovePos;
    std::int32_t PauseCount;
    std::uint32_t sinks[kControlEntries];  // the runtime calls a control's events on its sink
};

static_assert(std::is_standard_layout_v<Form1>);

inline constexpr std::uint32_t sinkOffset(ControlEntry entry) {
    return std::uint32_t(offsetof(Form1, sinks) + sizeof(std::uint32_t) * entry);
}

// Slots of the picture accessors in the form's interface table. They stand in
// the order of the pictures' control indexes, Img3 (3), Img2 (4), Img1 (5),
// which is the order their records are stored in, not the order of the names.
enum PictureAccessor : int { kAccessImg3, kAccessImg2, kAccessImg1 };

}  // namespace zelk::program
