#include "imagegen/image_assembly.h"

#include "program/records/icon_group.h"
#include "program/records/image_builder.h"
#include "program/image_layout.h"
#include "program/records/module_records.h"
#include "program/records/project_descriptor.h"
#include "program/records/resource_directory.h"
#include "program/records/version_record.h"
#include "program/records/binding_tables.h"

#include <stdexcept>

namespace zelk::imagegen {

AssembledImage assembleImage(const program::records::PictureRecords& pictures,
                             std::span<const std::vector<std::uint8_t>> iconImages) {
    const std::vector<std::uint8_t> description =
        formats::writeFormDescription(program::records::describeForm1(pictures));

    program::records::ImageBuilder out(program::kImageBase);
    program::records::writeModuleHeader(out);
    program::records::writeImportThunks(out);
    program::records::writeCodeRange(out);
    program::records::writeProcedureDescriptors(out);
    program::records::writeProjectRecords(out);
    program::records::writeObjectInfo(out);
    program::records::writeBindingTables(out);
    program::records::writeImportDirectory(out);
    program::records::writeRegistrationData(out);
    out.bind("form_description");
    out.bytes(description);
    out.zeros(2);
    program::records::writeGuiTable(out, std::uint32_t(description.size()));
    std::vector<program::records::Resource> resources{program::records::writeVersionRecord(out)};
    for (program::records::Resource& icon : program::records::writeIconGroup(out, iconImages))
        resources.push_back(std::move(icon));
    program::records::writeResourceDirectory(out, resources);
    out.align(16);
    out.bind("image_end");
    if (out.here() > program::kDataBlock) throw std::logic_error("the image runs into the data block");
    return {out.base(), out.finish(), out.labels()};
}

}  // namespace zelk::imagegen
