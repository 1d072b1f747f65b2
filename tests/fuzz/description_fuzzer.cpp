// Fuzzes the form description walk and, inside a walked description, the
// picture records: anything may come in, nothing may be read outside it.
#include "formats/format_error.h"
#include "formats/picture_record.h"
#include "formats/form_description.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const zelk::form::DescriptionView view = zelk::form::walkFormDescription({data, size});
        auto readPictures = [](const zelk::form::ObjectView& object) {
            for (const auto& p : object.properties)
                if (p.code == zelk::form::code::kFormPicture || p.code == zelk::form::code::kImagePicture) {
                    try {
                        zelk::readPictureRecord(p.value, p.offset);
                    } catch (const zelk::FormatError&) {
                    }
                }
        };
        readPictures(view.form);
        for (const auto& child : view.children) readPictures(child);
    } catch (const zelk::FormatError&) {
    }
    return 0;
}
