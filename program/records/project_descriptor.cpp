#include "program/records/project_descriptor.h"

#include "formats/data_block.h"
#include "formats/project_descriptor.h"
#include "program/form1.h"
#include "program/image_layout.h"
#include "program/records/binding_tables.h"
#include "program/records/form1_identity.h"
#include "program/records/project_identity.h"

#include <iterator>
#include <string_view>

namespace zelk::program::records {
namespace {

namespace data_block = formats::data_block;

// What the descriptor declares.
constexpr std::uint32_t kNoStartUpProcedure = 0;  // the first form starts
constexpr std::uint32_t kNoSecondLocale = 0;
constexpr std::uint32_t kThreadCount = 1;
constexpr std::uint16_t kFormCount = 1;
constexpr std::uint16_t kExternalControlCount = 0;  // only the runtime's own control kinds
constexpr std::uint16_t kObjectCount = 1;           // Form1
constexpr std::uint16_t kFormObjectIndex = 0;
constexpr std::uint32_t kControlCount = program::kControlEntries;  // the form and its five controls
constexpr std::uint32_t kMethodCount = std::size(kFormMethods);
constexpr std::uint32_t kProjectInfoVersion = 500;
// Bits 4, 13 and 24 are the kind codes of the command buttons, the form and
// the images; the others are the runtime's.
constexpr std::uint32_t kInternalControlFlags = 0x0130F010;
constexpr std::uint32_t kFormObjectKind = 0x18083;

void writeProjectHeader(ImageBuilder& out) {
    namespace field = formats::project_header;
    ImageBuilder::Record header = out.record("project_header", field::kNamesBlock);
    header.bytes(field::kMagic, formats::kProjectMagic);
    header.u16(field::kReservedAfterMagic, 8176);
    header.text(field::kFirstReservedText, "*");
    header.text(field::kSecondReservedText, "~");
    header.u16(field::kReservedBeforeLocale, 10);
    header.u32(field::kLocale, kLocale);
    header.u32(field::kSecondLocale, kNoSecondLocale);
    header.u32(field::kStartUpProcedure, kNoStartUpProcedure);
    header.link(field::kProjectInfo, "project_info");
    header.u32(field::kInternalControlFlags, kInternalControlFlags);
    header.u32(field::kInternalControlFlagsSecondWord, 0xFFFFFF00);
    header.u32(field::kThreadFlags, 8);
    header.u32(field::kThreadCount, kThreadCount);
    header.u16(field::kFormCount, kFormCount);
    header.u16(field::kExternalControlCount, kExternalControlCount);
    header.u32(field::kReservedAfterCounts, 233);
    header.link(field::kGuiTable, "gui_table");
    header.link(field::kExternalControlTable, "gui_table");  // empty, since the count is 0
    header.link(field::kRegistrationData, "registration");

    // The names block right behind the fields; each offset counts from the
    // header's first byte.
    const struct {
        formats::Field offset;
        std::string_view text;
    } names[] = {{field::kDescriptionOffset, kDescription},
                 {field::kExecutableNameOffset, kExecutableName},
                 {field::kHelpFileOffset, kHelpFile},
                 {field::kProjectNameOffset, kProjectName}};
    for (const auto& name : names) {
        header.u32(name.offset, out.here() - header.address());
        out.cstr(name.text);
    }
}

void writeProjectInfo(ImageBuilder& out) {
    namespace field = formats::project_info;
    ImageBuilder::Record info = out.record("project_info", field::kSize);
    info.u32(field::kVersion, kProjectInfoVersion);
    info.link(field::kObjectTable, "object_table");
    info.link(field::kCodeStart, "code_start");
    info.link(field::kCodeEnd, "code_end");
    info.u32(field::kThreadSpaceSize, program::kDataBlockSize - data_block::kThreadSpace);
    info.link(field::kThreadSpace, "thread_space");
    info.link(field::kExceptionHandler, "thunk.__vbaExceptHandler");
    info.link(field::kNativeCodeMarker, "native_code_marker");
    info.utf16Text(field::kProjectPath, kProjectPath);
    info.link(field::kExternalControlTable, "gui_table");
    info.u32(field::kExternalControlCount, kExternalControlCount);
}

void writeObjectTable(ImageBuilder& out) {
    namespace field = formats::object_table;
    out.align(4);
    ImageBuilder::Record table = out.record("object_table", field::kSize);
    table.link(field::kRuntimeSlot, "runtime_slot.object_table");
    table.link(field::kSecondProjectInfo, "second_project_info");
    table.u32(field::kReservedAfterSecondProjectInfo, 0xFFFFFFFF);
    table.link(field::kSecondRuntimeSlot, "runtime_slot.object_table_second");
    table.guid(field::kGuid, kObjectTableGuid);
    table.u16(field::kReservedBeforeCounts, 10);
    for (formats::Field count : {field::kObjectCount, field::kSecondObjectCount, field::kThirdObjectCount})
        table.u16(count, kObjectCount);
    table.link(field::kObjectArray, "object_array");
    table.link(field::kProjectName, "project_name");
    table.u32(field::kLocale, kLocale);
    table.u32(field::kSecondLocale, kSecondLocale);
    table.u32(field::kReservedLastWord, 2);
}

void writeSecondProjectInfo(ImageBuilder& out) {
    namespace field = formats::second_project_info;
    ImageBuilder::Record info = out.record("second_project_info", field::kSize);
    info.link(field::kObjectTable, "object_table");
    info.u32(field::kReservedThirdWord, 0xFFFFFFFF);
    info.link(field::kObjectList, "object_list");
    info.u32(field::kReservedNinthWord, 0xFFFFFFFF);
}

void writeObjectDescriptor(ImageBuilder& out) {
    namespace field = formats::object_descriptor;
    out.bind("object_array");  // Form1's descriptor is the array's only element
    ImageBuilder::Record descriptor = out.record("object_descriptor", field::kSize);
    descriptor.link(field::kObjectInfo, "object_info");
    descriptor.u32(field::kReservedAfterObjectInfo, 0xFFFFFFFF);
    descriptor.link(field::kPublicBytes, "public_bytes");
    descriptor.link(field::kObjectName, "object_name");
    descriptor.u32(field::kMethodCount, kMethodCount);
    descriptor.link(field::kMethodNames, "method_names");
    descriptor.u32(field::kReservedAfterMethodNames, 0xFFFF);
    descriptor.u32(field::kObjectKind, kFormObjectKind);

    namespace public_bytes = formats::public_bytes;
    ImageBuilder::Record publicBytes = out.record("public_bytes", public_bytes::kSize);
    const std::uint16_t words[public_bytes::kWords] = {16, 104, 0, 1, 0, 0, 52, 2};
    for (std::uint32_t i = 0; i < public_bytes::kWords; ++i) publicBytes.u16(public_bytes::word(i), words[i]);

    // The form's methods have no stored names.
    ImageBuilder::Record methodNames = out.record("method_names", formats::method_names::size(kMethodCount));
    for (std::uint32_t i = 0; i < kMethodCount; ++i)
        methodNames.u32(formats::method_names::entry(i), formats::method_names::kNoName);
    out.bind("object_name");
    out.cstr("Form1");
    out.bind("project_name");
    out.cstr(kProjectName);
}

void writeFormObjectInfo(ImageBuilder& out) {
    namespace field = formats::object_info;
    ImageBuilder::Record info = out.record("object_info", field::kSize);
    info.u16(field::kReservedBeforeIndex, 1);
    info.u16(field::kObjectIndex, kFormObjectIndex);
    info.link(field::kObjectTable, "object_table");
    info.link(field::kPrivateObjectDescriptor, "private_object_descriptor");
    info.u32(field::kReservedAfterPrivateDescriptor, 0xFFFFFFFF);
    info.link(field::kObjectDescriptor, "object_descriptor");
    info.link(field::kThreadSpace, "thread_space");
    info.u32(field::kReservedValue, 0x00837120);
    info.link(field::kTypeList, "object_type_list");
}

void writeOptionalObjectInfo(ImageBuilder& out) {
    namespace field = formats::optional_object_info;
    out.bindAt("runtime_slot.optional_object_info", kDataBlock + data_block::kOptionalObjectInfoSlot);
    ImageBuilder::Record info = out.record("optional_object_info", field::kSize);
    info.u32(field::kObjectGuidCount, 1);
    info.link(field::kObjectGuid, "guid.object");
    info.link(field::kObjectTypeList, "object_type_list");
    info.u32(field::kObjectTypeCount, 1);
    info.link(field::kControlTableSecondLink, "control_table");
    info.link(field::kSecondGuidList, "second_guid_list");
    info.u32(field::kControlCount, kControlCount);
    info.link(field::kControlTable, "control_table");
    info.u16(field::kMethodCount, std::uint16_t(kMethodCount));
    info.u16(field::kFirstReservedAfterMethodCount, 0x01B7);
    info.u16(field::kSecondReservedAfterMethodCount, 0x0068);
    info.u16(field::kThirdReservedAfterMethodCount, 0x006C);
    info.link(field::kMethodTable, "method_table");
    info.link(field::kRuntimeSlot, "runtime_slot.optional_object_info");
    info.u32(field::kReservedValue, 0x0573CA08);
}

}  // namespace

void writeProjectRecords(ImageBuilder& out) {
    out.padTo(program::kProjectHeader);  // the program entry names this address
    out.bindAt("native_code_marker", kDataBlock + data_block::kNativeCodeMarker);
    out.bindAt("thread_space", kDataBlock + data_block::kThreadSpace);
    out.bindAt("runtime_slot.object_table", kDataBlock + data_block::kObjectTableSlot);
    out.bindAt("runtime_slot.object_table_second", kDataBlock + data_block::kObjectTableSecondSlot);
    writeProjectHeader(out);
    writeProjectInfo(out);
    writeObjectTable(out);
    writeSecondProjectInfo(out);
    writeObjectDescriptor(out);
}

void writeObjectInfo(ImageBuilder& out) {
    out.align(4);
    writeFormObjectInfo(out);
    writeOptionalObjectInfo(out);

    // Lists of GUID links, one element each.
    out.bind("object_type_list");
    out.link("guid.form");
    out.bind("second_guid_list");
    out.link("guid.second_object");
    out.bind("guid.object");
    out.guid(kObjectGuid);
    out.bind("guid.form");
    out.guid(kFormGuid);
    out.bind("guid.second_object");
    out.guid(kSecondObjectGuid);
}

void writeGuiTable(ImageBuilder& out, std::uint32_t descriptionSize) {
    namespace field = formats::gui_table_entry;
    out.align(4);
    ImageBuilder::Record entry = out.record("gui_table", field::kSize);
    entry.u32(field::kEntrySize, field::kSize);
    entry.guid(field::kFormGuid, kFormGuid);
    entry.u32(field::kReservedMidEntry, 0x290);
    entry.u32(field::kDescriptionSize, descriptionSize);
    entry.link(field::kFormDescription, "form_description");
    entry.u32(field::kReservedLastWord, 0x4C);
}

void writeRegistrationData(ImageBuilder& out) {
    namespace field = formats::registration_data;
    out.align(4);
    ImageBuilder::Record registration = out.record("registration", field::kSize);
    registration.u32(field::kNameOffset, field::kProjectName.offset);
    registration.u32(field::kHelpDirectoryOffset, field::kHelpDirectory.offset);
    registration.guid(field::kGuid, kRegistrationGuid);
    registration.u16(field::kMajorVersion, kMajorVersion);
    registration.u16(field::kMinorVersion, kMinorVersion);
    registration.text(field::kProjectName, kProjectName);
    registration.text(field::kHelpDirectory, "");
}

}  // namespace zelk::program::records
