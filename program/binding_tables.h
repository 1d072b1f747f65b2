#pragma once

#include "program/image_builder.h"

namespace zelk::form1 {

// The control table, the six event-sink tables, the method table and the
// records only the runtime reads (object list, private object descriptor,
// control type library, type references).
void writeBindingTables(image::ImageBuilder& out);

// The two click handlers' procedure descriptors.
void writeProcedureDescriptors(image::ImageBuilder& out);

}  // namespace zelk::form1
