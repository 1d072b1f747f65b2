#pragma once

#include "program/records/image_builder.h"

namespace zelk::program::records {

// The control table, the six event-sink tables, the method table and the
// records only the runtime reads (object list, private object descriptor,
// control type library, type references).
void writeBindingTables(program::records::ImageBuilder& out);

// The two click handlers' procedure descriptors.
void writeProcedureDescriptors(program::records::ImageBuilder& out);

}  // namespace zelk::program::records
