#pragma once

#include "program/image_layout.h"
#include "program/records/image_builder.h"

namespace zelk::program::records {

// Form1's methods in method-table order: the entries of the two click handlers.
inline constexpr program::Code kFormMethods[] = {program::Code::Command1ClickMethod,
                                                 program::Code::Command2ClickMethod};

// The control table, the six event-sink tables, the method table and the
// records only the runtime reads (object list, private object descriptor,
// control type library, type references).
void writeBindingTables(ImageBuilder& out);

// The two click handlers' procedure descriptors.
void writeProcedureDescriptors(ImageBuilder& out);

}  // namespace zelk::program::records
