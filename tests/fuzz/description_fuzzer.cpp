// Fuzzes the form description walk and, inside a walked description, the
// picture records: anything may come in, nothing may be read outside it.
#include "formats/format_error.h"
#include "formats/picture_record.h"
#include "formats/form_description.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const zelk::formats::DescriptionView view = zelk::formats::walkFormDescription({data, size});
        auto readPictures = [](const zelk::formats::ObjectView& object) {
            for (const auto& p : object.properties)
                if (p.code == zelk::formats::property_code::kFormPicture ||
                    p.code == zelk::formats::property_code::kImagePicture) {
                    try {
                        zelk::formats::readPictureRecord(p.value, p.offset);
                    } catch (const zelk::formats::FormatError&) {}
                }
        };
        readPictures(view.form);
        for (const auto& child : view.children) readPictures(child);
    } catch (const zelk::formats::FormatError&) {}
    return 0;
}
