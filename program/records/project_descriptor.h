#pragma once

#include "program/records/image_builder.h"

#include <cstdint>

namespace zelk::program::records {

// The records from the project header down to Form1's object descriptor.
// Labels they link to but do not define: "object_info", "object_list",
// "gui_table", "registration", "thunk.__vbaExceptHandler", "code_start", "code_end".
void writeProjectRecords(ImageBuilder& out);

// Form1's object info and, right behind it, its optional object info.
void writeObjectInfo(ImageBuilder& out);

void writeGuiTable(ImageBuilder& out, std::uint32_t descriptionSize);
void writeRegistrationData(ImageBuilder& out);

}  // namespace zelk::program::records
