// Writes the fuzzers' seeds: the stored form description and its four picture
// records, as the executable carries them.
#include "image_symbols.h"
#include "executable/executable_module.h"
#include "formats/form_description.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void write(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::uint32_t symbol(std::string_view name) {
    for (const auto& s : zelk::image_symbols::kSymbols)
        if (s.name == name) return s.address;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DESCRIPTION_DIR PICTURE_DIR\n", argv[0]);
        return 2;
    }
    const auto image = zelk::executable::loadedModule().image;
    const auto description = image.subspan(symbol("form_description") - zelk::image_symbols::kImageBase, 1198714);
    std::filesystem::create_directories(argv[1]);
    std::filesystem::create_directories(argv[2]);
    write(std::filesystem::path(argv[1]) / "form1.description", description);
    const auto view = zelk::form::walkFormDescription(description);
    int n = 0;
    auto pictures = [&](const zelk::form::ObjectView& object) {
        for (const auto& p : object.properties)
            if (p.code == zelk::form::code::kFormPicture || p.code == zelk::form::code::kImagePicture)
                write(std::filesystem::path(argv[2]) / (object.name + ".picture"), p.value), ++n;
    };
    pictures(view.form);
    for (const auto& c : view.children) pictures(c);
    return n == 4 ? 0 : 1;
}
