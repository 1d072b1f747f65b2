// The stored form description: its exact bytes, the walk, and what the walk
// says about a broken copy.
#include "test_support.h"

#include "formats/format_error.h"
#include "runtime/project_walk.h"
#include "runtime/start_up.h"
#include "formats/form_description.h"

#include <algorithm>
#include <optional>
#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

namespace zelk::tests {
namespace {

std::span<const std::uint8_t> description() { return at(symbol("form_description"), 1198714); }

// The description from its first byte to its last, in stored order. Each piece
// starts where the one before it ended, and then `skip` bytes follow that no
// piece lists: the rest of a bitmap file after its "BM", that is its pixels
// and the rest of its headers.
struct Piece {
    std::size_t offset;
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::size_t skip = 0;
};

// One stored piece a line.
// clang-format off
const Piece kPieces[] = {
    {0, "magic", {0xFF, 0xCC, 0x31, 0x00}},
    {4, "header byte", {0x05}},
    // {DF3A10A4-5D3B-46A2-8818-03E8F80AC0D0}
    {5, "form GUID", {0xA4, 0x10, 0x3A, 0xDF, 0x3B, 0x5D, 0xA2, 0x46, 0x88, 0x18, 0x03, 0xE8, 0xF8, 0x0A, 0xC0, 0xD0}},
    // {8F262708-68C4-424E-854B-7DB054B5F920}
    {21, "second form GUID",
     {0x08, 0x27, 0x26, 0x8F, 0xC4, 0x68, 0x4E, 0x42, 0x85, 0x4B, 0x7D, 0xB0, 0x54, 0xB5, 0xF9, 0x20}},
    // {33AD4F3A-6699-11CF-B70C-00AA0060D393}
    {37, "form event interface",
     {0x3A, 0x4F, 0xAD, 0x33, 0x99, 0x66, 0xCF, 0x11, 0xB7, 0x0C, 0x00, 0xAA, 0x00, 0x60, 0xD3, 0x93}},
    {53, "reserved", std::vector<std::uint8_t>(36, 0x00)},
    {89, "total size 1198625", {0x21, 0x4A, 0x12, 0x00}},

    {93, "Form1: size 944801, index 0, name, kind",
     {0xA1, 0x6A, 0x0E, 0x00, 0x00, 0x05, 0x00, 'F', 'o', 'r', 'm', '1', 0x00, 0x0D}},
    {107, "Form1 Caption", {0x01, 0x05, 0x00, 'F', 'o', 'r', 'm', '1', 0x00}},
    {116, "Form1 code 0x19", {0x19, 0x01, 0x00, 0x42, 0x00}},
    // Frame 944734, magic, file length 944726, "BM".
    {121, "Form1 Picture", {0x21, 0x5E, 0x6A, 0x0E, 0x00, 0x6C, 0x74, 0x00, 0x00, 0x56, 0x6A, 0x0E, 0x00, 'B', 'M'}, 944724},
    {944860, "Form1 code 0x23", {0x23, 0xFF, 0xFF, 0xFF, 0xFF}},
    {944865, "Form1 LinkTopic", {0x24, 0x05, 0x00, 'F', 'o', 'r', 'm', '1', 0x00}},
    // ClientLeft 60, ClientTop 450, ClientWidth 11100, ClientHeight 6285.
    {944874, "Form1 client area",
     {0x35, 0x3C, 0x00, 0x00, 0x00, 0xC2, 0x01, 0x00, 0x00, 0x5C, 0x2B, 0x00, 0x00, 0x8D, 0x18, 0x00, 0x00}},
    {944891, "Form1 StartUpPosition", {0x46, 0x03}},
    {944893, "Form1 end, children begin", {0xFF, 0x01}},

    {944895, "Command2: size 43, index 1, name, kind",
     {0x2B, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 'C', 'o', 'm', 'm', 'a', 'n', 'd', '2', 0x00, 0x04}},
    {944912, "Command2 Caption", {0x01, 0x09, 0x00, 0xC4, 0xE2, 0xE8, 0xE6, 0xE5, 0xED, 0xE8, 0xE5, 0x32, 0x00}},
    // Left 120, Top 1200, Width 1215, Height 495.
    {944925, "Command2 position", {0x04, 0x78, 0x00, 0xB0, 0x04, 0xBF, 0x04, 0xEF, 0x01}},
    {944934, "Command2 TabIndex", {0x11, 0x01, 0x00}},
    {944937, "Command2 end, next sibling", {0xFF, 0x03}},

    {944939, "Command1: size 42, index 2, name, kind",
     {0x2A, 0x00, 0x00, 0x00, 0x02, 0x08, 0x00, 'C', 'o', 'm', 'm', 'a', 'n', 'd', '1', 0x00, 0x04}},
    {944956, "Command1 Caption", {0x01, 0x08, 0x00, 0xC4, 0xE2, 0xE8, 0xE6, 0xE5, 0xED, 0xE8, 0xE5, 0x00}},
    // Left 120, Top 240, Width 1215, Height 495.
    {944968, "Command1 position", {0x04, 0x78, 0x00, 0xF0, 0x00, 0xBF, 0x04, 0xEF, 0x01}},
    {944977, "Command1 TabIndex", {0x11, 0x00, 0x00}},
    {944980, "Command1 end, next sibling", {0xFF, 0x03}},

    {944982, "Img3: size 87298, index 3, name, kind",
     {0x02, 0x55, 0x01, 0x00, 0x03, 0x04, 0x00, 'I', 'm', 'g', '3', 0x00, 0x18}},
    // Frame 87266, magic, file length 87258, "BM".
    {944995, "Img3 Picture",
     {0x02, 0xE2, 0x54, 0x01, 0x00, 0x6C, 0x74, 0x00, 0x00, 0xDA, 0x54, 0x01, 0x00, 'B', 'M'}, 87256},
    // Left 6840, Top 2600, Width 2295, Height 2295.
    {1032266, "Img3 position", {0x03, 0xB8, 0x1A, 0x28, 0x0A, 0xF7, 0x08, 0xF7, 0x08}},
    {1032275, "Img3 Visible", {0x08, 0x00}},
    {1032277, "Img3 Stretch", {0x0A, 0xFF}},
    {1032279, "Img3 end, next sibling", {0xFF, 0x03}},

    {1032281, "Img2: size 86962, index 4, name, kind",
     {0xB2, 0x53, 0x01, 0x00, 0x04, 0x04, 0x00, 'I', 'm', 'g', '2', 0x00, 0x18}},
    // Frame 86930, magic, file length 86922, "BM".
    {1032294, "Img2 Picture",
     {0x02, 0x92, 0x53, 0x01, 0x00, 0x6C, 0x74, 0x00, 0x00, 0x8A, 0x53, 0x01, 0x00, 'B', 'M'}, 86920},
    // Left 3360, Top 2600, Width 2295, Height 2295.
    {1119229, "Img2 position", {0x03, 0x20, 0x0D, 0x28, 0x0A, 0xF7, 0x08, 0xF7, 0x08}},
    {1119238, "Img2 Visible", {0x08, 0x00}},
    {1119240, "Img2 Stretch", {0x0A, 0xFF}},
    {1119242, "Img2 end, next sibling", {0xFF, 0x03}},

    {1119244, "Img1: size 79468, index 5, name, kind",
     {0x6C, 0x36, 0x01, 0x00, 0x05, 0x04, 0x00, 'I', 'm', 'g', '1', 0x00, 0x18}},
    // Frame 79438, magic, file length 79430, "BM".
    {1119257, "Img1 Picture",
     {0x02, 0x4E, 0x36, 0x01, 0x00, 0x6C, 0x74, 0x00, 0x00, 0x46, 0x36, 0x01, 0x00, 'B', 'M'}, 79428},
    // Left 480, Top 2520, Width 2295, Height 2295; no Visible.
    {1198700, "Img1 position", {0x03, 0xE0, 0x01, 0xD8, 0x09, 0xF7, 0x08, 0xF7, 0x08}},
    {1198709, "Img1 Stretch", {0x0A, 0xFF}},
    {1198711, "Img1 end, children end, end of form", {0xFF, 0x02, 0x04}},
};
// clang-format on
// clang-format on

TEST(FormDescription, EveryByteButThePixelsIsAsListed) {
    const auto d = description();
    std::size_t next = 0;
    for (const Piece& p : kPieces) {
        ASSERT_EQ(p.offset, next) << p.what << ": the list leaves a gap or overlaps";
        const auto stored = d.subspan(p.offset, p.bytes.size());
        EXPECT_EQ(std::vector<std::uint8_t>(stored.begin(), stored.end()), p.bytes) << p.what << " at " << p.offset;
        next = p.offset + p.bytes.size() + p.skip;
    }
    EXPECT_EQ(next, d.size()) << "the list ends where the description does";
}

// The rest of each picture's bitmap headers, from the file size after "BM"
// to the end of the info header; the pixel rows follow them.
struct BitmapHeader {
    const char* picture;
    std::size_t file;  // the offset of its "BM"
    std::uint32_t fileSize;
    std::uint32_t width, height;
    std::uint32_t imageSize;
};

const BitmapHeader kBitmapHeaders[] = {
    {"scene", 134, 944726, 742, 424, 944672},
    {"Img3", 945008, 87258, 172, 169, 87204},
    {"Img2", 1032307, 86922, 169, 171, 86868},
    {"Img1", 1119270, 79430, 161, 164, 79376},
};

TEST(FormDescription, BitmapHeadersAreAsListed) {
    for (const BitmapHeader& h : kBitmapHeaders) {
        SCOPED_TRACE(h.picture);
        std::vector<std::uint8_t> expected;
        const auto add = [&](std::uint32_t value, int size) {
            for (int i = 0; i < size; ++i) expected.push_back(std::uint8_t(value >> (8 * i)));
        };
        add(h.fileSize, 4);
        add(0, 2);   // reserved
        add(0, 2);   // reserved
        add(54, 4);  // pixel offset
        add(40, 4);  // info header size
        add(h.width, 4);
        add(h.height, 4);
        add(1, 2);   // planes
        add(24, 2);  // bits per pixel
        add(0, 4);   // compression
        add(h.imageSize, 4);
        add(0, 4);  // horizontal resolution
        add(0, 4);  // vertical resolution
        add(0, 4);  // colours used
        add(0, 4);  // colours important
        const auto stored = description().subspan(h.file, 54);
        EXPECT_EQ(stored[0], 'B');
        EXPECT_EQ(stored[1], 'M');
        EXPECT_EQ(std::vector<std::uint8_t>(stored.begin() + 2, stored.end()), expected);
    }
}

TEST(FormDescription, WalkFindsTheFormAndItsFiveControls) {
    const formats::DescriptionView v = formats::walkFormDescription(description());
    EXPECT_EQ(v.form.name, "Form1");
    ASSERT_EQ(v.children.size(), 5u);
    const char* names[] = {"Command2", "Command1", "Img3", "Img2", "Img1"};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(v.children[i].name, names[i]);
    EXPECT_EQ(v.children[4].find(0x08), nullptr) << "Img1 stores no Visible";
    EXPECT_NE(v.children[3].find(0x08), nullptr);
    const formats::PropertyView* scene = v.form.find(0x21);
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->offset, 126u) << "the record stands behind its frame length";
    EXPECT_EQ(scene->value.size(), 944734u);
    EXPECT_EQ(description()[scene->offset + scene->value.size()], 0x23)
        << "the byte after the scene's frame is the next property code";
}

// Corrupted copies of the real description, one check of the walk refusing
// each. A copy given a new length is cut or padded with zeros, and its total
// size follows, so that what fails is the check the row names.
struct Corruption {
    const char* name;
    std::size_t at;
    std::vector<std::uint8_t> bytes;  // written at `at`
    const char* check;                // the whole check the error names
    std::size_t offset;               // where the error is reported
    std::optional<std::size_t> length = {};
};

// clang-format off
const Corruption kCorruptions[] = {
    {"wrong magic", 0, {0xFE}, "description magic is not 0x0031CCFF", 0},
    {"ends inside its header", 0, {}, "header runs past the end of the frame", 21, 50},
    {"total size one too large", 89, {0x22, 0x4A, 0x12, 0x00}, "89 + total size differs from the description's length", 89},
    {"truncated in the scene", 0, {}, "record size runs past the end of the description", 93, 200000},
    {"record size below a record's own fields", 944895, {0x09},
     "record size is below the 10 bytes of a record's own fields", 944895},
    {"Command2's record size one too large", 944895, {0x2C},
     "record size disagrees with where its properties end in record \"Command2\" (44 bytes at 944895)", 944895},
    {"name's length runs past its record", 944900, {0x30},
     "name's length 48 runs past the end of the record at 944895", 944900},
    {"name without its closing zero", 944910, {'X'}, "name is not NUL-terminated in the record at 944895", 944910},
    {"record ends before its kind code", 944895, {0x10},
     "kind code runs past the end of record \"Command2\" (16 bytes at 944895)", 944911},
    {"form's control index", 97, {0x01}, "form's control index 1 is not 0 in record \"Form1\" (944801 bytes at 93)", 97},
    {"form's kind code", 106, {0x04}, "form's kind code 0x04 is not 0x0D in record \"Form1\" (944801 bytes at 93)", 106},
    {"duplicate control index", 944943, {0x01},
     "control index 1 is not 2 (controls are numbered 1, 2, 3, ... in stored order) in record \"Command1\" (42 bytes at "
     "944939)",
     944943},
    {"control index out of order", 944986, {0x05},
     "control index 5 is not 3 (controls are numbered 1, 2, 3, ... in stored order) in record \"Img3\" (87298 bytes at "
     "944982)",
     944986},
    {"unknown kind code", 944911, {0x05},
     "control's kind code 0x05 is neither 0x04 nor 0x18 in record \"Command2\" (43 bytes at 944895)", 944911},
    {"a control with the form's kind code", 944911, {0x0D},
     "control's kind code 0x0D is neither 0x04 nor 0x18 in record \"Command2\" (43 bytes at 944895)", 944911},
    {"record ends before its end of properties", 944895, {0x1E},
     "property code runs past the end of record \"Command2\" (30 bytes at 944895)", 944925},
    {"unknown property code", 944912, {0x05},
     "unknown property code 0x05 for kind 0x04 in record \"Command2\" (43 bytes at 944895)", 944912},
    {"property codes descending", 944934, {0x01},
     "property code 0x01 after 0x04 (codes ascend, each at most once) in record \"Command2\" (43 bytes at 944895)",
     944934},
    {"repeated property code", 944934, {0x04},
     "property code 0x04 after 0x04 (codes ascend, each at most once) in record \"Command2\" (43 bytes at 944895)",
     944934},
    {"string length runs past its record", 944913, {0x30},
     "Caption's length 48 runs past the end of record \"Command2\" (43 bytes at 944895)", 944913},
    {"picture frame runs past its record", 944997, {0x55},
     "Picture's frame length 87522 runs past the end of record \"Img3\" (87298 bytes at 944982)", 944996},
    {"fixed value runs past its record", 944939, {0x24},
     "position runs past the end of record \"Command1\" (36 bytes at 944939)", 944969},
    {"next-sibling marker after the form's record", 944894, {0x03},
     "expected marker 0x01 or 0x04 after the form's record", 944894},
    {"end of form after the form's record, controls behind it", 944894, {0x04}, "bytes follow the end-of-form marker",
     944895},
    {"unknown marker after a child", 944938, {0x07}, "unknown marker after a child record", 944938},
    {"missing end marker", 1198713, {0x05}, "expected marker 0x04 after 0x02", 1198713},
    {"ends where its end marker belongs", 0, {}, "marker runs past the end of the frame", 1198713, 1198713},
    {"a byte after the end marker", 0, {}, "bytes follow the end-of-form marker", 1198714, 1198715},
};
// clang-format on

TEST(FormDescription, BrokenCopiesAreRejectedWithCheckAndOffset) {
    for (const Corruption& c : kCorruptions) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> copy(description().begin(), description().end());
        std::copy(c.bytes.begin(), c.bytes.end(), copy.begin() + std::ptrdiff_t(c.at));
        if (c.length) {
            copy.resize(*c.length, 0);
            if (copy.size() >= 93)
                std::ranges::copy(littleEndianBytes(std::uint32_t(copy.size() - 89)), copy.begin() + 89);
        }
        try {
            formats::walkFormDescription(copy);
            ADD_FAILURE() << "accepted";
        } catch (const formats::FormatError& e) {
            EXPECT_EQ(e.check(), c.check);
            EXPECT_EQ(e.offset(), c.offset) << e.what();
        }
    }
}

// What the writer writes, the walk reads back, whether the form has controls
// or stands alone.
struct ExpectedObject {
    std::uint8_t index;
    std::string name;
    std::uint8_t kind;
    std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>> properties;  // code, value as the walk gives it
};

TEST(FormDescription, WalkReadsBackWhatTheWriterWrote) {
    const formats::Guid formGuid(0x01234567, 0x89AB, 0xCDEF, {1, 2, 3, 4, 5, 6, 7, 8});
    // Values as stored: a string with its length and closing zero, a picture with its frame length.
    const formats::ObjectData form{0, "Lone", 0x0D, {{0x01, {4, 0, 'L', 'o', 'n', 'e', 0}}, {0x46, {0x03}}}};
    const formats::ObjectData button{
        1, "Button", 0x04, {{0x01, {2, 0, 'G', 'o', 0}}, {0x04, {1, 0, 2, 0, 3, 0, 4, 0}}}};
    const formats::ObjectData image{2, "Picture", 0x18, {{0x02, {3, 0, 0, 0, 7, 8, 9}}, {0x08, {0xFF}}}};
    const ExpectedObject formRead{0, "Lone", 0x0D, {{0x01, {'L', 'o', 'n', 'e'}}, {0x46, {0x03}}}};
    const ExpectedObject buttonRead{1, "Button", 0x04, {{0x01, {'G', 'o'}}, {0x04, {1, 0, 2, 0, 3, 0, 4, 0}}}};
    const ExpectedObject imageRead{2, "Picture", 0x18, {{0x02, {7, 8, 9}}, {0x08, {0xFF}}}};
    const struct {
        const char* what;
        std::vector<formats::ObjectData> children;
        std::vector<ExpectedObject> childrenRead;
        std::vector<std::uint8_t> afterFormRecord;  // up to the end
    } cases[] = {
        {"form alone", {}, {}, {0x04}},
        {"form with a button and a picture", {button, image}, {buttonRead, imageRead}, {}},
    };
    const auto expectObject = [](const formats::ObjectView& got, const ExpectedObject& want) {
        SCOPED_TRACE(want.name);
        EXPECT_EQ(got.index, want.index);
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.kind, want.kind);
        std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>> properties;
        for (const formats::PropertyView& p : got.properties)
            properties.push_back({p.code, {p.value.begin(), p.value.end()}});
        EXPECT_EQ(properties, want.properties);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::uint8_t> written =
            formats::writeFormDescription({5, formGuid, formats::Guid(), formats::Guid(), form, c.children});
        formats::DescriptionView read;
        ASSERT_NO_THROW(read = formats::walkFormDescription(written));
        EXPECT_EQ(read.formGuid, formGuid);
        expectObject(read.form, formRead);
        ASSERT_EQ(read.children.size(), c.childrenRead.size());
        for (std::size_t i = 0; i < c.childrenRead.size(); ++i) expectObject(read.children[i], c.childrenRead[i]);
        if (!c.afterFormRecord.empty()) {
            const auto after = std::span(written).subspan(read.form.offset + read.form.size);
            EXPECT_EQ(std::vector<std::uint8_t>(after.begin(), after.end()), c.afterFormRecord);
        }
    }
}

TEST(FormDescription, WriterRefusesAStringItsLengthCannotHold) {
    EXPECT_EQ(formats::stringValue(std::vector<std::uint8_t>(65535, 'a')).size(), 65538u);
    EXPECT_THROW(formats::stringValue(std::vector<std::uint8_t>(65536, 'a')), std::length_error);
    formats::DescriptionData d{};
    d.form = {0, std::string(65536, 'F'), formats::kKindForm, {}};
    EXPECT_THROW(formats::writeFormDescription(d), std::length_error) << "a name is a string too";
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
        const formats::DescriptionView view = formats::walkFormDescription(copy);
        runtime::FormBinding binding = runtime::walkProject(process().space(), image_symbols::kProjectHeader);
        try {
            runtime::FormInstance form(process(), binding, view);
            ADD_FAILURE() << "accepted";
        } catch (const formats::FormatError& e) {
            EXPECT_NE(e.check().find(c.check), std::string::npos) << e.what();
            EXPECT_GE(e.offset(), img1Picture);
            EXPECT_LT(e.offset(), img1Picture + 60) << e.what();
        }
    }
}

TEST(FormDescriptionDeathTest, StartUpWithABrokenDescriptionSaysSoAndFails) {
    PatchedImage broken(std::vector<Write>{{symbol("form_description"), {0xFE}}});  // magic
    EXPECT_EXIT(runtime::runProject(broken.process(), image_symbols::kProjectHeader),
                testing::ExitedWithCode(2),
                "cannot start: description magic is not 0x0031CCFF at offset 0");
}

}  // namespace
}  // namespace zelk::tests
