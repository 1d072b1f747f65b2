#pragma once

// The stored resources, found through the module header's directory.

#include "test_support.h"

#include "formats/module_header.h"

namespace zelk::tests {

// The address of the directory entry of `type` with `id`.
inline std::uint32_t resourceEntry(std::uint32_t type, std::uint32_t id) {
    using namespace formats::resource_directory;
    const std::uint32_t directory = u32At(image_symbols::kImageBase + formats::module_header::kResourceDirectory);
    const std::uint32_t count = u32At(directory + kCount);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t entry = directory + kEntries + i * kEntrySize;
        if (u32At(entry + kType) == type && u32At(entry + kId) == id) return entry;
    }
    throw std::out_of_range("no stored resource of type " + std::to_string(type) + " with ID " + std::to_string(id));
}

struct StoredResource {
    std::uint32_t language;
    std::span<const std::uint8_t> bytes;
};

inline StoredResource storedResource(std::uint32_t type, std::uint32_t id) {
    using namespace formats::resource_directory;
    const std::uint32_t entry = resourceEntry(type, id);
    const std::uint32_t data = u32At(entry + kData), size = u32At(entry + kDataSize);
    if (data < image_symbols::kImageBase || data - image_symbols::kImageBase + std::uint64_t(size) > image().size())
        throw std::out_of_range("stored resource lies outside the image");
    return {u32At(entry + kLanguage), at(data, size)};
}

}  // namespace zelk::tests
