#pragma once

// The header at the first byte of the executable's image: where the image
// belongs in the 32-bit address space and where the loader finds its imports.

#include <cstdint>

namespace zelk::formats {

// "ZELK": the loader takes the image for one of ours only with this word first.
inline constexpr std::uint32_t kModuleMagic = 0x4B4C455A;

namespace module_header {
inline constexpr std::uint32_t kMagic = 0x00;
inline constexpr std::uint32_t kImageBase = 0x04;
inline constexpr std::uint32_t kImageSize = 0x08;
inline constexpr std::uint32_t kImportDirectory = 0x0C;
inline constexpr std::uint32_t kDataBlock = 0x10;
inline constexpr std::uint32_t kDataBlockSize = 0x14;
inline constexpr std::uint32_t kImportAddressTable = 0x18;
inline constexpr std::uint32_t kResourceDirectory = 0x1C;
inline constexpr std::uint32_t kSize = 0x40;
}  // namespace module_header

// Import directory: library name link, count, lookup table link, import
// address table. A lookup entry links to a 16-bit hint and the name, or holds
// the ordinal with the top bit set.
namespace import_directory {
inline constexpr std::uint32_t kLibraryName = 0x00;
inline constexpr std::uint32_t kCount = 0x04;
inline constexpr std::uint32_t kLookupTable = 0x08;
inline constexpr std::uint32_t kAddressTable = 0x0C;
inline constexpr std::uint32_t kSize = 0x10;
inline constexpr std::uint32_t kByOrdinal = 0x80000000;
}  // namespace import_directory

// Resource directory: a count, then one entry per resource: type, ID,
// language, link to its bytes and their size.
namespace resource_directory {
inline constexpr std::uint32_t kCount = 0x00;
inline constexpr std::uint32_t kEntries = 0x04;
inline constexpr std::uint32_t kEntrySize = 0x14;
inline constexpr std::uint32_t kType = 0x00;
inline constexpr std::uint32_t kId = 0x04;
inline constexpr std::uint32_t kLanguage = 0x08;
inline constexpr std::uint32_t kData = 0x0C;
inline constexpr std::uint32_t kDataSize = 0x10;

inline constexpr std::uint32_t kIcon = 3;
inline constexpr std::uint32_t kIconGroup = 14;
inline constexpr std::uint32_t kVersion = 16;
inline constexpr std::uint32_t kNeutralLanguage = 0;
}  // namespace resource_directory

}  // namespace zelk::formats
