// Writes the fuzzers' seeds: small descriptions with the stored structure
// (Form1 and its five controls with every property, from the program's own
// writer, around tiny pictures), small picture records, and broken copies of
// both that stop at each of the readers' checks.
#include "formats/byte_writer.h"
#include "formats/format_error.h"
#include "formats/form_description.h"
#include "formats/picture_record.h"
#include "program/records/form1_description.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;
namespace formats = zelk::formats;

void write(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void put(Bytes& b, std::size_t at, std::uint32_t v, int size) {
    for (int i = 0; i < size; ++i) b.at(at + i) = std::uint8_t(v >> (8 * i));
}

zelk::formats::Picture sample(int w, int h) {
    zelk::formats::Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.at(x, y) = {std::uint8_t(40 * x), std::uint8_t(247 - y), std::uint8_t(x + y)};
    return p;
}

// A record whose header claims width x height over `rowBytes` bytes of rows,
// its lengths agreeing with what follows.
Bytes rawPicture(std::uint32_t width, std::uint32_t height, std::uint32_t rowBytes) {
    Bytes r;
    const std::uint32_t file = 54 + rowBytes;
    zelk::formats::appendU32(r, zelk::formats::kPictureRecordMagic);
    zelk::formats::appendU32(r, file);
    zelk::formats::appendU16(r, 'B' | 'M' << 8);
    for (std::uint32_t v : {file, 0u, 54u, 40u, width, height}) zelk::formats::appendU32(r, v);
    zelk::formats::appendU16(r, 1);
    zelk::formats::appendU16(r, 24);
    for (std::uint32_t v : {0u, rowBytes, 0u, 0u, 0u, 0u}) zelk::formats::appendU32(r, v);
    r.resize(8 + file, 0);
    return r;
}

// 0x55555556 * 3 is 2 in 32 bits: a 66-byte record whose stride wraps to 4.
Bytes wrappingPicture() { return rawPicture(0x55555556, 1, 4); }

// Widths with 1, 2, 3 and 0 pad bytes a row.
zelk::program::records::PictureRecords smallPictures() {
    return {zelk::formats::writePictureRecord(sample(2, 2)),
            {zelk::formats::writePictureRecord(sample(1, 1)),
             zelk::formats::writePictureRecord(sample(3, 2)),
             zelk::formats::writePictureRecord(sample(4, 1))}};
}

// A broken seed must stop at a check, or it seeds nothing it claims to.
template <typename Read>
bool refused(Read read, const Bytes& bytes) {
    try {
        read(bytes);
    } catch (const zelk::formats::FormatError&) {
        return true;
    }
    return false;
}

void walk(const Bytes& b) { formats::walkFormDescription(b); }
void readPicture(const Bytes& b) { zelk::formats::readPictureRecord(b); }

int fail(const char* seed) {
    std::fprintf(stderr, "broken seed %s is accepted\n", seed);
    return 1;
}

Bytes describe(const zelk::program::records::PictureRecords& pictures) {
    return formats::writeFormDescription(zelk::program::records::describeForm1(pictures));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DESCRIPTION_DIR PICTURE_DIR\n", argv[0]);
        return 2;
    }
    const fs::path descriptions = argv[1], pictures = argv[2];
    fs::create_directories(descriptions);
    fs::create_directories(pictures);

    const Bytes small = describe(smallPictures());
    const formats::DescriptionView view = formats::walkFormDescription(small);
    const formats::ObjectView &command2 = view.children.at(0), &command1 = view.children.at(1),
                              &img3 = view.children.at(2);
    const std::size_t captionLength = command2.find(formats::property_code::kCaption)->offset - 2;
    const std::size_t img3Frame = img3.find(formats::property_code::kImagePicture)->offset - 4;
    const std::size_t command1Position = command1.find(formats::property_code::kButtonRect)->offset;

    const std::uint32_t img3FrameLength = std::uint32_t(img3.find(formats::property_code::kImagePicture)->value.size());
    const struct {
        const char* name;
        std::size_t at;
        std::uint32_t value;
        int size;
    } broken[] = {
        {"form-index", view.form.offset + 4, 1, 1},
        {"form-kind", view.form.offset + 4 + 1 + 2 + view.form.name.size() + 1, 0x04, 1},
        {"duplicate-index", command1.offset + 4, 1, 1},
        {"index-out-of-order", img3.offset + 4, 5, 1},
        {"record-too-small", command2.offset, 9, 4},
        {"string-past-record", captionLength, 48, 2},
        {"frame-past-record", img3Frame, img3FrameLength + 256, 4},
        {"fixed-past-record", command1.offset, std::uint32_t(command1Position + 4 - command1.offset), 4},
        {"unknown-marker", command2.offset + command2.size, 0x07, 1},
        {"total-size",
         formats::kDescriptionHeaderSize,
         std::uint32_t(small.size() - formats::kDescriptionHeaderSize + 1),
         4},
    };
    int n = 0;
    auto seed = [&](const fs::path& dir, const std::string& name, const Bytes& bytes) {
        write(dir / name, bytes);
        ++n;
    };
    seed(descriptions, "form1", small);
    for (const auto& b : broken) {
        Bytes copy = small;
        put(copy, b.at, b.value, b.size);
        if (!refused(walk, copy)) return fail(b.name);
        seed(descriptions, b.name, copy);
    }
    // Sound descriptions around pictures that break their own checks.
    const std::pair<const char*, Bytes> badPictures[] = {
        {"wrapping-picture", wrappingPicture()},
        {"wide-picture", rawPicture(16385, 1, 4)},
        {"picture-magic", Bytes{0x6D, 0x74, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& [name, record] : badPictures) {
        zelk::program::records::PictureRecords withBad = smallPictures();
        withBad.poses[0] = record;
        if (!refused(readPicture, record)) return fail(name);
        seed(descriptions, name, describe(withBad));
    }

    for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {3, 2}, {4, 1}, {5, 3}})
        seed(pictures,
             "picture-" + std::to_string(w) + "x" + std::to_string(h),
             zelk::formats::writePictureRecord(sample(w, h)));
    const std::pair<const char*, Bytes> badRecords[] = {
        {"wrapping-width", wrappingPicture()},
        {"wrapping-height", rawPicture(1, 0x40000001, 4)},
        {"wide", rawPicture(16385, 1, 4)},
        {"tall", rawPicture(1, 16385, 4)},
        {"negative-height", rawPicture(1, 0xFFFFFFFF, 4)},
        {"rows-short", rawPicture(2, 2, 12)},
    };
    for (const auto& [name, record] : badRecords) {
        if (!refused(readPicture, record)) return fail(name);
        seed(pictures, name, record);
    }
    std::printf("%d seeds\n", n);
    return 0;
}
