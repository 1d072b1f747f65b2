#pragma once

#include "program/resource_directory.h"

namespace zelk::identity {

// The version resource ("version_record"): fixed part, translation block and
// the US English string block, in the published version-resource layout.
image::Resource writeVersionRecord(image::ImageBuilder& out);

}  // namespace zelk::identity
