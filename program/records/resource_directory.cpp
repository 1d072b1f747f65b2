#include "program/records/resource_directory.h"

namespace zelk::program::records {

void writeResourceDirectory(program::records::ImageBuilder& out, std::span<const Resource> resources) {
    out.align(4);
    out.bind("resource_directory");
    out.u32(std::uint32_t(resources.size()));
    for (const Resource& r : resources) {
        out.u32(r.type);
        out.u32(r.id);
        out.u32(r.language);
        out.link(r.label);
        out.u32(r.size);
    }
}

}  // namespace zelk::program::records
