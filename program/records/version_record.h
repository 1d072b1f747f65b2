#pragma once

#include "program/records/resource_directory.h"

namespace zelk::program::records {

// The version resource ("version_record"): fixed part, translation block and
// the US English string block, in the published version-resource layout.
Resource writeVersionRecord(ImageBuilder& out);

}  // namespace zelk::program::records
