// The stored records, field by field, as the runtime reads them.
#include "test_support.h"

#include "program/image_layout.h"

#include <variant>

namespace zelk::test {
namespace {

using Link = std::string;  // the field holds the address of this label
using Expected = std::variant<std::uint32_t, Link>;

struct Field {
    const char* record;
    std::uint32_t offset;
    int size;  // 1, 2 or 4
    Expected expected;
    const char* what;
};

std::uint32_t read(std::uint32_t address, int size) {
    std::uint32_t v = 0;
    std::memcpy(&v, at(address, std::size_t(size)).data(), std::size_t(size));
    return v;
}

const std::uint32_t kData = layout::kDataBlock;

const Field kFields[] = {
    {"project_header", 0x00, 4, 0x21354256u, "magic VB5!"},
    {"project_header", 0x04, 2, 8176u, "reserved"},
    {"project_header", 0x06, 1, std::uint32_t('*'), "reserved text"},
    {"project_header", 0x14, 1, std::uint32_t('~'), "reserved text"},
    {"project_header", 0x22, 2, 10u, "reserved"},
    {"project_header", 0x24, 4, 0x409u, "locale"},
    {"project_header", 0x28, 4, 0u, "second locale"},
    {"project_header", 0x2C, 4, 0u, "start-up procedure"},
    {"project_header", 0x30, 4, Link("project_info"), "project info"},
    {"project_header", 0x34, 4, 0x0130F010u, "internal-control flags"},
    {"project_header", 0x38, 4, 0xFFFFFF00u, "second flags word"},
    {"project_header", 0x3C, 4, 8u, "thread flags"},
    {"project_header", 0x40, 4, 1u, "thread count"},
    {"project_header", 0x44, 2, 1u, "form count"},
    {"project_header", 0x46, 2, 0u, "external-control count"},
    {"project_header", 0x48, 4, 233u, "reserved"},
    {"project_header", 0x4C, 4, Link("gui_table"), "GUI table"},
    {"project_header", 0x50, 4, Link("gui_table"), "external-control table"},
    {"project_header", 0x54, 4, Link("registration"), "registration data"},
    {"project_header", 0x58, 4, 0x78u, "description offset"},
    {"project_header", 0x5C, 4, 0x7Du, "executable name offset"},
    {"project_header", 0x60, 4, 0x82u, "help file offset"},
    {"project_header", 0x64, 4, 0x83u, "project name offset"},
    {"project_header", 0x68, 4, 0u, "reserved zero"},
    {"project_header", 0x78, 4, 0x6B6C657Au, "description \"zelk\""},

    {"project_info", 0x000, 4, 500u, "version"},
    {"project_info", 0x004, 4, Link("object_table"), "object table"},
    {"project_info", 0x00C, 4, Link("code_start"), "code start"},
    {"project_info", 0x010, 4, Link("code_end"), "code end"},
    {"project_info", 0x014, 4, 2532u, "thread-space size"},
    {"project_info", 0x018, 4, kData + 8, "thread space"},
    {"project_info", 0x01C, 4, Link("thunk.__vbaExceptHandler"), "exception handler"},
    {"project_info", 0x020, 4, kData, "native-code marker"},
    {"project_info", 0x024, 2, std::uint32_t('*'), "project path"},
    {"project_info", 0x234, 4, Link("gui_table"), "external-control table"},
    {"project_info", 0x238, 4, 0u, "external-control count"},

    {"object_table", 0x04, 4, kData + 0x2C, "runtime slot"},
    {"object_table", 0x08, 4, Link("second_project_info"), "second project info"},
    {"object_table", 0x0C, 4, 0xFFFFFFFFu, "reserved"},
    {"object_table", 0x14, 4, kData + 0x1C, "runtime slot"},
    {"object_table", 0x18, 4, 0xBBAE7F69u, "object-table GUID"},
    {"object_table", 0x28, 2, 10u, "reserved"},
    {"object_table", 0x2A, 2, 1u, "object count"},
    {"object_table", 0x2E, 2, 1u, "object count"},
    {"object_table", 0x30, 4, Link("object_array"), "object array"},
    {"object_table", 0x40, 4, Link("project_name"), "project name"},
    {"object_table", 0x44, 4, 0x409u, "locale"},
    {"object_table", 0x48, 4, 0x419u, "second locale"},
    {"object_table", 0x50, 4, 2u, "reserved"},

    {"second_project_info", 0x04, 4, Link("object_table"), "object table"},
    {"second_project_info", 0x08, 4, 0xFFFFFFFFu, "reserved"},
    {"second_project_info", 0x10, 4, Link("object_list"), "object list"},
    {"second_project_info", 0x20, 4, 0xFFFFFFFFu, "reserved"},

    {"object_descriptor", 0x00, 4, Link("object_info"), "object info"},
    {"object_descriptor", 0x04, 4, 0xFFFFFFFFu, "reserved"},
    {"object_descriptor", 0x08, 4, Link("public_bytes"), "public bytes"},
    {"object_descriptor", 0x18, 4, Link("object_name"), "object name"},
    {"object_descriptor", 0x1C, 4, 2u, "method count"},
    {"object_descriptor", 0x20, 4, Link("method_names"), "method names"},
    {"object_descriptor", 0x24, 4, 0xFFFFu, "reserved"},
    {"object_descriptor", 0x28, 4, 0x18083u, "object kind"},
    {"public_bytes", 0x02, 2, 104u, "public bytes word 1"},
    {"public_bytes", 0x0C, 2, 52u, "public bytes word 6"},
    {"public_bytes", 0x0E, 2, 2u, "public bytes word 7"},
    {"method_names", 0x00, 4, 0xFFFFFFFFu, "method 0 has no name"},
    {"method_names", 0x04, 4, 0xFFFFFFFFu, "method 1 has no name"},

    {"object_info", 0x00, 2, 1u, "reserved"},
    {"object_info", 0x04, 4, Link("object_table"), "object table"},
    {"object_info", 0x0C, 4, Link("private_object_descriptor"), "private object descriptor"},
    {"object_info", 0x10, 4, 0xFFFFFFFFu, "reserved"},
    {"object_info", 0x18, 4, Link("object_descriptor"), "object descriptor"},
    {"object_info", 0x1C, 4, kData + 8, "thread space"},
    {"object_info", 0x24, 4, 0x00837120u, "reserved"},
    {"object_info", 0x34, 4, Link("object_type_list"), "type list"},

    {"optional_object_info", 0x00, 4, 1u, "object GUID count"},
    {"optional_object_info", 0x04, 4, Link("guid.object"), "object GUID"},
    {"optional_object_info", 0x0C, 4, Link("object_type_list"), "object-type list"},
    {"optional_object_info", 0x10, 4, 1u, "object-type count"},
    {"optional_object_info", 0x14, 4, Link("control_table"), "control table, second link"},
    {"optional_object_info", 0x1C, 4, Link("second_guid_list"), "second GUID list"},
    {"optional_object_info", 0x20, 4, 6u, "control count"},
    {"optional_object_info", 0x24, 4, Link("control_table"), "control table"},
    {"optional_object_info", 0x28, 2, 2u, "method-table count"},
    {"optional_object_info", 0x2A, 2, 0x01B7u, "reserved"},
    {"optional_object_info", 0x2C, 2, 0x0068u, "reserved"},
    {"optional_object_info", 0x2E, 2, 0x006Cu, "reserved"},
    {"optional_object_info", 0x30, 4, Link("method_table"), "method table"},
    {"optional_object_info", 0x34, 4, kData + 0x2E0, "runtime slot"},
    {"optional_object_info", 0x3C, 4, 0x0573CA08u, "reserved"},
    {"object_type_list", 0x00, 4, Link("guid.form"), "form GUID"},
    {"guid.object", 0x00, 4, 0xF877FC5Du, "object GUID"},
    {"second_guid_list", 0x00, 4, Link("guid.second_object"), "second GUID"},
    {"guid.second_object", 0x00, 4, 0x28D2E2AAu, "second GUID"},

    {"gui_table", 0x00, 4, 80u, "entry size"},
    {"gui_table", 0x04, 4, 0xDF3A10A4u, "form GUID"},
    {"gui_table", 0x28, 4, 0x290u, "reserved"},
    {"gui_table", 0x40, 4, 1198714u, "form description size"},
    {"gui_table", 0x48, 4, Link("form_description"), "form description"},
    {"gui_table", 0x4C, 4, 0x4Cu, "reserved"},

    {"registration", 0x04, 4, 0x30u, "name offset"},
    {"registration", 0x08, 4, 0x40u, "help directory offset"},
    {"registration", 0x10, 4, 0x9601AAEAu, "registration GUID"},
    {"registration", 0x26, 2, 1u, "major version"},
    {"registration", 0x28, 2, 0u, "minor version"},
    {"registration", 0x30, 4, 0x73726F48u, "project name"},
    {"registration", 0x40, 1, 0u, "empty help directory"},

    {"object_list", 0x00, 4, Link("private_object_descriptor"), "private object descriptor"},
    {"object_list", 0x04, 4, 0u, "zero"},
    {"private_object_descriptor", 0x04, 4, Link("object_info"), "object info"},
    {"private_object_descriptor", 0x08, 4, 0xFFFFFFFFu, "word 2"},
    {"private_object_descriptor", 0x10, 4, 2u, "word 4"},
    {"private_object_descriptor", 0x38, 4, 104u, "word 14"},
    {"private_object_descriptor", 0x3C, 4, 4u, "word 15"},
    {"control_library", 0x00, 4, Link("guid.control_library"), "library GUID"},
    {"control_library", 0x08, 4, 6u, "word 2"},
    {"control_library", 0x0C, 4, 9u, "word 3"},
    {"control_library", 0x18, 4, kData + 0x2D0, "runtime slot"},
    {"guid.control_library", 0x00, 4, 0xFCFB3D2Eu, "library GUID"},

    {"procedure.Command1_Click", 0x00, 4, 0x80007u, "flags"},
    {"procedure.Command2_Click", 0x00, 4, 0x80007u, "flags"},

    {"method_table", 0x00, 4, layout::codeAddress(layout::Code::Command1ClickMethod), "method 0"},
    {"method_table", 0x04, 4, layout::codeAddress(layout::Code::Command2ClickMethod), "method 1"},
};

TEST(ImageRecords, EveryFieldHoldsItsValue) {
    for (const Field& f : kFields) {
        const std::uint32_t expected = std::holds_alternative<Link>(f.expected)
                                           ? symbol(std::get<Link>(f.expected))
                                           : std::get<std::uint32_t>(f.expected);
        EXPECT_EQ(read(symbol(f.record) + f.offset, f.size), expected)
            << f.record << " + 0x" << std::hex << f.offset << " (" << f.what << ")";
    }
}

TEST(ImageRecords, RecordsFollowEachOtherAsTheChainExpects) {
    EXPECT_EQ(symbol("project_info"), symbol("project_header") + 0x83 + 6);  // after "Horse" and its NUL
    EXPECT_EQ(symbol("optional_object_info"), symbol("object_info") + 56);
    EXPECT_EQ(symbol("form_description"), symbol("registration") + 68);
    EXPECT_EQ(symbol("gui_table"), symbol("form_description") + 1198714 + 2);
    EXPECT_EQ(symbol("code_end") - symbol("code_start"), 1760u);
    const auto head = at(symbol("code_start"), 16);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(head[i], i < 4 ? 0xE9 : 0xCC) << "code range byte " << i;
    const auto names = at(symbol("project_header") + 0x78, 17);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(names.data()), 17), std::string("zelk\0zelk\0\0Horse\0", 17));
    EXPECT_EQ(at(symbol("project_header") + 0x07, 1)[0], 0) << "reserved texts are one character";
}

struct ControlRow {
    const char* name;
    std::uint16_t slots;
    std::uint32_t indexWord;
    std::uint32_t interfaceData1;
    bool boundClick;
};

// In control-table order.
const ControlRow kControlRows[] = {
    {"Img2", 13, 0x00030004, 0x33AD4F92, false},  {"Img3", 13, 0x00030003, 0x33AD4F92, false},
    {"Form", 31, 0xFFFFFFFF, 0x33AD4F3A, false},  {"Command1", 17, 0x00030002, 0x33AD4EF2, true},
    {"Command2", 17, 0x00030001, 0x33AD4EF2, true}, {"Img1", 13, 0x00030005, 0x33AD4F92, false},
};

TEST(ImageRecords, ControlTableAndEventSinkTables) {
    const std::uint32_t table = symbol("control_table");
    std::uint32_t sinkTable = symbol("sink_table.Img2");
    std::uint32_t previousSink = 0;
    int bound = 0;
    for (std::size_t i = 0; i < std::size(kControlRows); ++i) {
        const ControlRow& row = kControlRows[i];
        SCOPED_TRACE(row.name);
        const std::uint32_t r = table + 40 * std::uint32_t(i);
        EXPECT_EQ(read(r, 2), 0x40u);
        EXPECT_EQ(read(r + 2, 2), row.slots);
        const std::uint32_t sink = u32At(r + 4);
        if (i > 0) {
            EXPECT_EQ(sink, previousSink + 4);
        }
        previousSink = sink;
        EXPECT_EQ(u32At(u32At(r + 8)), row.interfaceData1);
        EXPECT_EQ(u32At(r + 12), row.indexWord);
        EXPECT_EQ(u32At(r + 36), row.indexWord);
        EXPECT_EQ(u32At(r + 16), 0u);
        EXPECT_EQ(u32At(r + 20), 0u);
        EXPECT_FALSE(u32At(r + 28) >= image_symbols::kImageBase &&
                     u32At(r + 28) < image_symbols::kImageBase + image_symbols::kImageSize);
        const std::uint32_t name = u32At(r + 32);
        EXPECT_EQ(name % 4, 0u);
        EXPECT_STREQ(reinterpret_cast<const char*>(at(name, 9).data()), row.name);

        // The sink tables stand back to back in the same order.
        EXPECT_EQ(u32At(r + 24), sinkTable);
        EXPECT_EQ(u32At(sinkTable), 0u);
        EXPECT_EQ(u32At(sinkTable + 4), r);
        EXPECT_EQ(u32At(sinkTable + 8), symbol("object_info"));
        EXPECT_EQ(u32At(sinkTable + 12), symbol("thunk.EVENT_SINK_QueryInterface"));
        EXPECT_EQ(u32At(sinkTable + 16), symbol("thunk.EVENT_SINK_AddRef"));
        EXPECT_EQ(u32At(sinkTable + 20), symbol("thunk.EVENT_SINK_Release"));
        for (std::uint32_t slot = 0; slot < row.slots; ++slot) {
            const std::uint32_t entry = u32At(sinkTable + 24 + 4 * slot);
            if (slot == 0 && row.boundClick) {
                EXPECT_NE(entry, 0u);
                ++bound;
            } else {
                EXPECT_EQ(entry, 0u) << "slot " << slot;
            }
        }
        sinkTable += 24 + 4 * row.slots;
    }
    EXPECT_EQ(bound, 2);
    EXPECT_EQ(sinkTable, symbol("method_table"));
}

TEST(ImageRecords, ImportTableNamesEveryImportAndTheStartUpEntryByOrdinal) {
    const std::uint32_t directory = symbol("import_directory");
    EXPECT_STREQ(reinterpret_cast<const char*>(at(u32At(directory), 13).data()), "MSVBVM60.DLL");
    ASSERT_EQ(u32At(directory + 4), 38u);
    const std::uint32_t lookup = u32At(directory + 8);
    for (int i = 0; i < 38; ++i) {
        const std::uint32_t entry = u32At(lookup + 4 * std::uint32_t(i));
        if (rt::kImportNames[i] == "ThunRTMain") {
            EXPECT_EQ(entry, 0x80000064u);
        } else {
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(at(entry + 2, 1).data())), rt::kImportNames[i]);
        }
    }
    EXPECT_EQ(u32At(lookup + 4 * 38), 0u);
}

}  // namespace
}  // namespace zelk::test
