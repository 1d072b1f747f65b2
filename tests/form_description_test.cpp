// The stored form description: its exact bytes, the walk, and what the walk
// says about a broken copy.
#include "test_support.h"

#include "formats/format_error.h"
#include "runtime/project_walk.h"
#include "runtime/start_up.h"
#include "formats/form_description.h"

#include <stdexcept>
#include <vector>

namespace zelk::test {
namespace {

std::span<const std::uint8_t> description() { return at(symbol("form_description"), 1198714); }

std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

TEST(FormDescription, OffsetsTableHoldsByteForByte) {
    const auto d = description();
    EXPECT_EQ(le32(d, 0), 0x0031CCFFu);
    EXPECT_EQ(d[4], 5);
    EXPECT_EQ(le32(d, 89), 1198625u);
    for (std::size_t i = 53; i < 89; ++i) EXPECT_EQ(d[i], 0) << "reserved byte " << i;
    EXPECT_EQ(le32(d, 5), 0xDF3A10A4u);
    EXPECT_EQ(le32(d, 21), 0x8F262708u);
    EXPECT_EQ(le32(d, 37), 0x33AD4F3Au);

    struct Row {
        std::size_t offset;
        std::uint32_t size;
        std::uint8_t index, kind;
        std::uint8_t markerAfter;
    } rows[] = {
        {93, 944801, 0, 0x0D, 0x01},      {944895, 43, 1, 0x04, 0x03},     {944939, 42, 2, 0x04, 0x03},
        {944982, 87298, 3, 0x18, 0x03},   {1032281, 86962, 4, 0x18, 0x03}, {1119244, 79468, 5, 0x18, 0x02},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(le32(d, r.offset), r.size) << "record at " << r.offset;
        EXPECT_EQ(d[r.offset + 4], r.index) << "record at " << r.offset;
        EXPECT_EQ(d[r.offset + r.size - 1], 0xFF) << "record at " << r.offset << " ends its properties";
        EXPECT_EQ(d[r.offset + r.size], r.markerAfter) << "marker after the record at " << r.offset;
    }
    EXPECT_EQ(d[1198713], 0x04);
}

TEST(FormDescription, Command2RecordIsTheListedBytes) {
    const std::vector<std::uint8_t> expected = {
        0x2B, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 'C',  'o',  'm',  'm',  'a',  'n',  'd',  '2',
        0x00, 0x04, 0x01, 0x09, 0x00, 0xC4, 0xE2, 0xE8, 0xE6, 0xE5, 0xED, 0xE8, 0xE5, 0x32, 0x00,
        0x04, 0x78, 0x00, 0xB0, 0x04, 0xBF, 0x04, 0xEF, 0x01, 0x11, 0x01, 0x00, 0xFF};
    const auto d = description().subspan(944895, 43);
    EXPECT_EQ(std::vector<std::uint8_t>(d.begin(), d.end()), expected);
}

TEST(FormDescription, WalkFindsTheFormAndItsFiveControls) {
    const form::DescriptionView v = form::walkFormDescription(description());
    EXPECT_EQ(v.form.name, "Form1");
    ASSERT_EQ(v.children.size(), 5u);
    const char* names[] = {"Command2", "Command1", "Img3", "Img2", "Img1"};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(v.children[i].name, names[i]);
    EXPECT_EQ(v.children[4].find(form::code::kVisible), nullptr) << "Img1 stores no Visible";
    EXPECT_NE(v.children[3].find(form::code::kVisible), nullptr);
    const form::PropertyView* scene = v.form.find(form::code::kFormPicture);
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->value.size(), 944734u);
    EXPECT_EQ(description()[scene->offset + scene->value.size()], form::code::kOpaqueWord23)
        << "the byte after the scene's frame is the next property code";
}

// Corrupted copies of the real description, each breaking one check.
struct Corruption {
    const char* name;
    std::size_t at;
    std::vector<std::uint8_t> bytes;  // written at `at`
    bool truncateAfter;               // cut the copy to at + bytes.size()
    const char* check;                // substring of the error
    std::size_t offset;               // where the error is reported
};

const Corruption kCorruptions[] = {
    {"wrong magic", 0, {0xFE}, false, "magic", 0},
    {"total size one too large", 89, {0x22, 0x4A, 0x12, 0x00}, false, "total size", 89},
    {"Command2's record size off by one", 944895, {0x2C}, false, "record size", 944895},
    {"unknown kind code", 944911, {0x05}, false, "unknown kind code", 944911},
    {"unknown property code", 944912, {0x05}, false, "unknown property code", 944912},
    {"unknown marker", 944938, {0x07}, false, "unknown marker", 944938},
    {"missing end marker", 1198713, {0x05}, false, "marker 0x04", 1198713},
    {"truncated in the scene", 200000, {}, true, "runs past the end", 93},
    {"record size below a record's own fields", 944895, {0x09}, false, "below the 10 bytes", 944895},
    {"form's control index", 97, {0x01}, false, "form's control index 1 is not 0", 97},
    {"form's kind code", 106, {0x04}, false, "form's kind code 0x04 is not 0x0D", 106},
    {"duplicate control index", 944943, {0x01}, false, "control index 1 is not 2", 944943},
    {"control index out of order", 944986, {0x05}, false, "control index 5 is not 3", 944986},
    {"string length runs past its record", 944913, {0x30}, false,
     "Caption's length 48 runs past the end of record \"Command2\" (43 bytes at 944895)", 944913},
    {"picture frame runs past its record", 944997, {0x55}, false,
     "Picture's frame length 87522 runs past the end of record \"Img3\" (87298 bytes at 944982)", 944996},
    {"fixed value runs past its record", 944939, {0x24}, false,
     "position runs past the end of record \"Command1\" (36 bytes at 944939)", 944969},
};

TEST(FormDescription, BrokenCopiesAreRejectedWithCheckAndOffset) {
    for (const Corruption& c : kCorruptions) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> copy(description().begin(), description().end());
        std::copy(c.bytes.begin(), c.bytes.end(), copy.begin() + std::ptrdiff_t(c.at));
        if (c.truncateAfter) {
            copy.resize(c.at + c.bytes.size());
            // Keep the total size consistent, so the record walk is what fails.
            const std::uint32_t total = std::uint32_t(copy.size() - 89);
            for (int i = 0; i < 4; ++i) copy[89 + i] = std::uint8_t(total >> (8 * i));
        }
        try {
            form::walkFormDescription(copy);
            ADD_FAILURE() << "accepted";
        } catch (const FormatError& e) {
            EXPECT_NE(e.check().find(c.check), std::string::npos) << e.what();
            EXPECT_EQ(e.offset(), c.offset) << e.what();
        }
    }
}

TEST(FormDescription, WriterRefusesAStringItsLengthCannotHold) {
    EXPECT_EQ(form::stringValue(std::vector<std::uint8_t>(65535, 'a')).size(), 65538u);
    EXPECT_THROW(form::stringValue(std::vector<std::uint8_t>(65536, 'a')), std::length_error);
    form::DescriptionData d{};
    d.form = {0, std::string(65536, 'F'), form::kKindForm, {}};
    EXPECT_THROW(form::writeFormDescription(d), std::length_error) << "a name is a string too";
}

// A picture that fails its own checks inside an otherwise sound description
// stops the form from being built.
struct PictureCorruption {
    const char* name;
    std::size_t recordOffset;  // into Img1's picture record
    std::vector<std::uint8_t> bytes;
    const char* check;
};

const PictureCorruption kPictureCorruptions[] = {
    {"frame length disagrees with the file length", 4, {0x07}, "file length + 8"},
    {"not 24-bit", 8 + 28, {8}, "24 bits"},
    {"colour table", 8 + 46, {16}, "colour table"},
    {"negative height", 8 + 22, {0x5C, 0xFF, 0xFF, 0xFF}, "height is not positive"},
    {"wrong magic", 0, {0x6D}, "magic"},
};

TEST(FormDescription, BrokenPictureStopsTheFormWithCheckAndOffset) {
    const std::size_t img1Picture = 1119244 + 4 + 1 + 7 + 1 + 1 + 4;  // size, index, name, kind, code, frame
    for (const PictureCorruption& c : kPictureCorruptions) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> copy(description().begin(), description().end());
        std::copy(c.bytes.begin(), c.bytes.end(), copy.begin() + std::ptrdiff_t(img1Picture + c.recordOffset));
        const form::DescriptionView view = form::walkFormDescription(copy);
        rt::FormBinding binding = rt::walkProject(process().space(), image_symbols::kProjectHeader);
        try {
            rt::FormInstance form(process(), binding, view);
            ADD_FAILURE() << "accepted";
        } catch (const FormatError& e) {
            EXPECT_NE(e.check().find(c.check), std::string::npos) << e.what();
            EXPECT_GE(e.offset(), img1Picture);
            EXPECT_LT(e.offset(), img1Picture + 60) << e.what();
        }
    }
}

TEST(FormDescription, StartUpWithABrokenDescriptionSaysSoAndFails) {
    static std::vector<std::uint8_t> brokenImage(image().begin(), image().end());
    brokenImage[symbol("form_description") - image_symbols::kImageBase] = 0xFE;  // magic
    static rt::LoadedModule broken = executable::loadedModule();
    broken.image = brokenImage;
    EXPECT_EXIT(
        {
            rt::Process p(broken);
            rt::runProject(p, image_symbols::kProjectHeader);
        },
        testing::ExitedWithCode(2),
                "cannot start: description magic is not 0x0031CCFF at offset 0");
}

}  // namespace
}  // namespace zelk::test
