#include "program/records/project_descriptor.h"

#include "program/image_layout.h"
#include "program/records/project_identity.h"
#include "program/records/form1_identity.h"

namespace zelk::program::records {
namespace {

using program::records::ImageBuilder;
using program::kDataBlock;

constexpr std::uint32_t kNamesBlock = 0x78;

}  // namespace

void writeProjectRecords(ImageBuilder& out) {
    out.padTo(program::kProjectHeader);  // the program entry names this address
    out.bind("project_header");
    out.ascii("VB5!");
    out.u16(8176);
    out.textField("*", 14);
    out.textField("~", 14);
    out.u16(10);
    out.u32(kLocale);
    out.u32(0);
    out.u32(0);  // no start-up procedure: the first form starts
    out.link("project_info");
    out.u32(0x0130F010);
    out.u32(0xFFFFFF00);
    out.u32(8);
    out.u32(1);
    out.u16(1);
    out.u16(0);
    out.u32(233);
    out.link("gui_table");
    out.link("gui_table");  // no external controls
    out.link("registration");
    const std::uint32_t description = kNamesBlock;
    const std::uint32_t exeName = description + std::uint32_t(kDescription.size()) + 1;
    const std::uint32_t helpFile = exeName + std::uint32_t(kExecutableName.size()) + 1;
    const std::uint32_t projectName = helpFile + std::uint32_t(kHelpFile.size()) + 1;
    out.u32(description);
    out.u32(exeName);
    out.u32(helpFile);
    out.u32(projectName);
    out.zeros(16);
    out.cstr(kDescription);
    out.cstr(kExecutableName);
    out.cstr(kHelpFile);
    out.cstr(kProjectName);

    out.bind("project_info");
    out.u32(500);
    out.link("object_table");
    out.u32(0);
    out.link("code_start");
    out.link("code_end");
    out.u32(program::kDataBlockSize - 8);
    out.bindAt("thread_space", kDataBlock + 8);
    out.link("thread_space");
    out.link("thunk.__vbaExceptHandler");
    out.bindAt("native_code_marker", kDataBlock);
    out.link("native_code_marker");
    out.utf16Field(kProjectPath, 528);
    out.link("gui_table");
    out.u32(0);

    out.align(4);
    out.bind("object_table");
    out.u32(0);
    out.bindAt("data.0x2C", kDataBlock + 0x2C);
    out.link("data.0x2C");
    out.link("second_project_info");
    out.u32(0xFFFFFFFF);
    out.u32(0);
    out.bindAt("data.0x1C", kDataBlock + 0x1C);
    out.link("data.0x1C");
    out.guid(kObjectTableGuid);
    out.u16(10);
    out.u16(1);
    out.u16(1);
    out.u16(1);
    out.link("object_array");
    out.zeros(12);
    out.link("project_name");
    out.u32(kLocale);
    out.u32(kSecondLocale);
    out.u32(0);
    out.u32(2);

    out.bind("second_project_info");
    for (std::uint32_t w : {0u, 1u, 0xFFFFFFFFu, 0u, 2u, 0u, 0u, 0u, 0xFFFFFFFFu, 0u}) {
        if (w == 1) out.link("object_table");
        else if (w == 2) out.link("object_list");
        else out.u32(w);
    }

    out.bind("object_array");
    out.bind("object_descriptor");
    out.link("object_info");
    out.u32(0xFFFFFFFF);
    out.link("public_bytes");
    out.zeros(12);
    out.link("object_name");
    out.u32(2);
    out.link("method_names");
    out.u32(0xFFFF);
    out.u32(0x18083);
    out.u32(0);

    out.bind("public_bytes");
    for (std::uint16_t w : {16, 104, 0, 1, 0, 0, 52, 2}) out.u16(w);
    out.bind("method_names");
    out.u32(0xFFFFFFFF);
    out.u32(0xFFFFFFFF);
    out.bind("object_name");
    out.cstr("Form1");
    out.bind("project_name");
    out.cstr(kProjectName);
}

void writeObjectInfo(ImageBuilder& out) {
    out.align(4);
    out.bind("object_info");
    out.u16(1);
    out.u16(0);
    out.link("object_table");
    out.u32(0);
    out.link("private_object_descriptor");
    out.u32(0xFFFFFFFF);
    out.u32(0);
    out.link("object_descriptor");
    out.link("thread_space");
    out.u32(0);
    out.u32(0x00837120);
    out.u32(0);
    out.zeros(8);
    out.link("object_type_list");

    out.bind("optional_object_info");
    out.u32(1);
    out.link("guid.object");
    out.u32(0);
    out.link("object_type_list");
    out.u32(1);
    out.link("control_table");
    out.u32(0);
    out.link("second_guid_list");
    out.u32(6);
    out.link("control_table");
    out.u16(2);
    out.u16(0x01B7);
    out.u16(0x0068);
    out.u16(0x006C);
    out.link("method_table");
    out.bindAt("data.0x2E0", kDataBlock + 0x2E0);
    out.link("data.0x2E0");
    out.u32(0);
    out.u32(0x0573CA08);

    out.bind("object_type_list");
    out.link("guid.form");
    out.bind("second_guid_list");
    out.link("guid.second_object");
    out.bind("guid.object");
    out.guid(program::records::kObjectGuid);
    out.bind("guid.form");
    out.guid(program::records::kFormGuid);
    out.bind("guid.second_object");
    out.guid(program::records::kSecondObjectGuid);
}

void writeGuiTable(ImageBuilder& out, std::uint32_t descriptionSize) {
    out.align(4);
    out.bind("gui_table");
    out.u32(80);
    out.guid(program::records::kFormGuid);
    out.zeros(20);
    out.u32(0x290);
    out.zeros(20);
    out.u32(descriptionSize);
    out.u32(0);
    out.link("form_description");
    out.u32(0x4C);
}

void writeRegistrationData(ImageBuilder& out) {
    out.align(4);
    out.bind("registration");
    const std::uint32_t start = out.here();
    out.u32(0);
    out.u32(0x30);
    out.u32(0x40);
    out.u32(0);
    out.guid(kRegistrationGuid);
    out.u32(0);
    out.u16(0);
    out.u16(kMajorVersion);
    out.u16(kMinorVersion);
    out.padTo(start + 0x30);
    out.cstr(kProjectName);
    out.padTo(start + 0x40);
    out.u8(0);  // empty help directory
    out.padTo(start + 68);
}

}  // namespace zelk::program::records
