// Build-time painter: draws the four pictures from the art sources and writes
// them as 24-bit bitmap files for the image generator.
// The window icon's images go beside them as bitmap icon images.
#include "art/painter/paint.h"
#include "art/painter/paint_icon.h"

#include "art/icon_art.h"
#include "formats/picture_record.h"

#include <cstdio>
#include <exception>
#include <fstream>

namespace {

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ART_DIR OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    try {
        const std::filesystem::path art = argv[1], out = argv[2];
        std::filesystem::create_directories(out);
        writeFile(out / "scene.bmp", zelk::formats::encodeBitmapFile(zelk::art::painter::paintScene(art)));
        for (int pose = 1; pose <= 3; ++pose)
            writeFile(out / ("img" + std::to_string(pose) + ".bmp"),
                      zelk::formats::encodeBitmapFile(zelk::art::painter::paintHorse(pose, art)));
        const auto icons = zelk::art::painter::paintIcon(art);
        for (std::size_t i = 0; i < icons.size(); ++i) writeFile(out / zelk::art::kIconArtFiles[i], icons[i]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "painter: %s\n", e.what());
        return 1;
    }
    return 0;
}
