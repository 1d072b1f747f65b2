#include "imagegen/image_assembly.h"

#include "program/icon_group.h"
#include "program/image_builder.h"
#include "program/image_layout.h"
#include "program/module_records.h"
#include "program/project_descriptor.h"
#include "program/resource_directory.h"
#include "program/version_record.h"
#include "program/binding_tables.h"

#include <stdexcept>

namespace zelk::image {

AssembledImage assembleImage(const form1::PictureRecords& pictures,
                             std::span<const std::vector<std::uint8_t>> iconImages) {
    const std::vector<std::uint8_t> description = form::writeFormDescription(form1::describeForm1(pictures));

    ImageBuilder out(layout::kImageBase);
    image::writeModuleHeader(out);
    image::writeImportThunks(out);
    image::writeCodeRange(out);
    form1::writeProcedureDescriptors(out);
    project::writeProjectRecords(out);
    project::writeObjectInfo(out);
    form1::writeBindingTables(out);
    image::writeImportDirectory(out);
    project::writeRegistrationData(out);
    out.bind("form_description");
    out.bytes(description);
    out.zeros(2);
    project::writeGuiTable(out, std::uint32_t(description.size()));
    std::vector<image::Resource> resources{identity::writeVersionRecord(out)};
    for (image::Resource& icon : identity::writeIconGroup(out, iconImages)) resources.push_back(std::move(icon));
    image::writeResourceDirectory(out, resources);
    out.align(16);
    out.bind("image_end");
    if (out.here() > layout::kDataBlock) throw std::logic_error("the image runs into the data block");
    return {out.base(), out.finish(), out.labels()};
}

}  // namespace zelk::image
