// Fuzzes the picture record reader on its own.
#include "formats/format_error.h"
#include "formats/picture_record.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const zelk::formats::Picture p = zelk::formats::readPictureRecord({data, size});
        if (p.pixels.size() != std::size_t(p.width) * std::size_t(p.height)) __builtin_trap();
    } catch (const zelk::formats::FormatError&) {}
    return 0;
}
