#pragma once

// The header at the first byte of the executable's image: where the image
// belongs in the 32-bit address space and where the loader finds its imports
// and resources; and the two directories it links to.

#include "formats/record_field.h"

#include <cstdint>

namespace zelk::formats {

// "ZELK": the loader takes the image for one of ours only with this word first.
inline constexpr std::uint32_t kModuleMagic = 0x4B4C455A;

namespace module_header {
inline constexpr Field kMagic{0x00, 4, "module magic"};
inline constexpr Field kImageBase{0x04, 4, "image base"};
inline constexpr Field kImageSize{0x08, 4, "image size"};
inline constexpr Field kImportDirectory{0x0C, 4, "import directory link"};
inline constexpr Field kDataBlock{0x10, 4, "data block address"};
inline constexpr Field kDataBlockSize{0x14, 4, "data block size"};
inline constexpr Field kImportAddressTable{0x18, 4, "import address table address"};
inline constexpr Field kResourceDirectory{0x1C, 4, "resource directory link"};
inline constexpr std::uint32_t kSize = 0x40;
}  // namespace module_header

// The lookup table holds one 32-bit entry per import and a 0 after the last:
// a link to the import's hint-name entry, or its ordinal with kByOrdinal set.
namespace import_directory {
inline constexpr Field kLibraryName{0x00, 4, "import library link"};
inline constexpr Field kCount{0x04, 4, "import count"};
inline constexpr Field kLookupTable{0x08, 4, "import lookup link"};
inline constexpr Field kAddressTable{0x0C, 4, "import address table address"};
inline constexpr std::uint32_t kSize = 0x10;

constexpr Field lookupEntry(std::uint32_t import) { return {4 * import, 4, "import lookup entry"}; }
constexpr std::uint32_t lookupTableSize(std::uint32_t imports) { return 4 * (imports + 1); }
inline constexpr std::uint32_t kByOrdinal = 0x80000000;
inline constexpr std::uint32_t kOrdinalMask = 0xFFFF;
}  // namespace import_directory

// A 16-bit hint, then the import's name, NUL-ended.
namespace import_name_entry {
inline constexpr Field kHint{0x00, 2, "import hint"};
inline constexpr std::uint32_t kName = 0x02;
constexpr Field name(std::uint32_t length) { return {kName, length + 1, "import name"}; }
constexpr std::uint32_t size(std::uint32_t nameLength) { return kName + nameLength + 1; }
}  // namespace import_name_entry

// A count, then one entry per resource.
namespace resource_directory {
inline constexpr Field kCount{0x00, 4, "resource count"};
inline constexpr std::uint32_t kHeadSize = 0x04;
inline constexpr std::uint32_t kEntries = kHeadSize;  // the first entry

inline constexpr Field kType{0x00, 4, "resource type"};
inline constexpr Field kId{0x04, 4, "resource ID"};
inline constexpr Field kLanguage{0x08, 4, "resource language"};
inline constexpr Field kData{0x0C, 4, "resource link"};
inline constexpr Field kDataSize{0x10, 4, "resource size"};
inline constexpr std::uint32_t kEntrySize = 0x14;

inline constexpr std::uint32_t kIcon = 3;
inline constexpr std::uint32_t kIconGroup = 14;
inline constexpr std::uint32_t kVersion = 16;
inline constexpr std::uint32_t kNeutralLanguage = 0;
}  // namespace resource_directory

}  // namespace zelk::formats
