#pragma once

#include "program/records/image_builder.h"

namespace zelk::program::records {

// The module header (its size and directory links are patched by the labels
// "image_end", "import_directory" and "resource_directory").
void writeModuleHeader(ImageBuilder& out);

// One jump through the import address table for every import.
void writeImportThunks(ImageBuilder& out);

// The code range: the entries into the click handlers and the places of the
// handlers' routines, each standing for one native routine of the program.
void writeCodeRange(ImageBuilder& out);

// Import directory, lookup table, hint/name entries and the library's name.
void writeImportDirectory(ImageBuilder& out);

}  // namespace zelk::program::records
