#include "program/records/resource_directory.h"

#include "formats/module_header.h"

namespace zelk::program::records {

void writeResourceDirectory(ImageBuilder& out, std::span<const Resource> resources) {
    namespace field = formats::resource_directory;
    out.align(4);
    out.record("resource_directory", field::kHeadSize).u32(field::kCount, std::uint32_t(resources.size()));
    for (const Resource& r : resources) {
        ImageBuilder::Record entry = out.record(field::kEntrySize);
        entry.u32(field::kType, r.type);
        entry.u32(field::kId, r.id);
        entry.u32(field::kLanguage, r.language);
        entry.link(field::kData, r.label);
        entry.u32(field::kDataSize, r.size);
    }
}

}  // namespace zelk::program::records
