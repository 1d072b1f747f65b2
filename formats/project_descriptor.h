#pragma once

// The project descriptor: the chain of constant records from the project
// header down to the form's object descriptor, the GUI table entry that
// locates the form description, and the registration data. Numbers are
// little-endian, a link is a 32-bit address, a GUID takes 16 bytes. Bytes that
// no field below names are reserved and zero.

#include "formats/record_field.h"

#include <array>
#include <cstdint>

namespace zelk::formats {

inline constexpr std::array<std::uint8_t, 4> kProjectMagic{'V', 'B', '5', '!'};

// The head of the chain, the record the program entry hands the runtime. Its
// fields are followed by the names block, the four NUL-ended strings that the
// name offsets point into.
namespace project_header {
inline constexpr Field kMagic{0x00, 4, "project magic"};
inline constexpr Field kReservedAfterMagic{0x04, 2, "reserved word after the magic"};
inline constexpr Field kFirstReservedText{0x06, 14, "first reserved text"};
inline constexpr Field kSecondReservedText{0x14, 14, "second reserved text"};
inline constexpr Field kReservedBeforeLocale{0x22, 2, "reserved word before the locale"};
inline constexpr Field kLocale{0x24, 4, "locale"};
inline constexpr Field kSecondLocale{0x28, 4, "second locale"};
inline constexpr Field kStartUpProcedure{0x2C, 4, "start-up procedure"};
inline constexpr Field kProjectInfo{0x30, 4, "project info link"};
inline constexpr Field kInternalControlFlags{0x34, 4, "internal-control flags"};
inline constexpr Field kInternalControlFlagsSecondWord{0x38, 4, "internal-control flags, second word"};
inline constexpr Field kThreadFlags{0x3C, 4, "thread flags"};
inline constexpr Field kThreadCount{0x40, 4, "thread count"};
inline constexpr Field kFormCount{0x44, 2, "form count"};
inline constexpr Field kExternalControlCount{0x46, 2, "external-control count"};
inline constexpr Field kReservedAfterCounts{0x48, 4, "reserved word after the counts"};
inline constexpr Field kGuiTable{0x4C, 4, "GUI table link"};
inline constexpr Field kExternalControlTable{0x50, 4, "external-control table link"};
inline constexpr Field kRegistrationData{0x54, 4, "registration data link"};
inline constexpr Field kDescriptionOffset{0x58, 4, "description offset"};
inline constexpr Field kExecutableNameOffset{0x5C, 4, "executable name offset"};
inline constexpr Field kHelpFileOffset{0x60, 4, "help file offset"};
inline constexpr Field kProjectNameOffset{0x64, 4, "project name offset"};
inline constexpr std::uint32_t kNamesBlock = 0x78;  // where the fields end
}  // namespace project_header

namespace project_info {
inline constexpr Field kVersion{0x000, 4, "project info version"};
inline constexpr Field kObjectTable{0x004, 4, "object table link"};
inline constexpr Field kCodeStart{0x00C, 4, "code start"};
inline constexpr Field kCodeEnd{0x010, 4, "code end"};
inline constexpr Field kThreadSpaceSize{0x014, 4, "thread-space size"};
inline constexpr Field kThreadSpace{0x018, 4, "thread space link"};
inline constexpr Field kExceptionHandler{0x01C, 4, "exception handler"};
inline constexpr Field kNativeCodeMarker{0x020, 4, "native-code marker"};
inline constexpr Field kProjectPath{0x024, 528, "project path"};  // UTF-16
inline constexpr Field kExternalControlTable{0x234, 4, "external-control table link"};
inline constexpr Field kExternalControlCount{0x238, 4, "external-control count"};
inline constexpr std::uint32_t kSize = 572;
}  // namespace project_info

namespace object_table {
inline constexpr Field kRuntimeSlot{0x04, 4, "object table's runtime slot"};
inline constexpr Field kSecondProjectInfo{0x08, 4, "second project info link"};
inline constexpr Field kReservedAfterSecondProjectInfo{0x0C, 4, "reserved word after the second project info"};
inline constexpr Field kSecondRuntimeSlot{0x14, 4, "object table's second runtime slot"};
inline constexpr Field kGuid{0x18, 16, "object-table GUID"};
inline constexpr Field kReservedBeforeCounts{0x28, 2, "reserved word before the object counts"};
// Three 16-bit object counts side by side; the first is the object array's length.
inline constexpr Field kObjectCount{0x2A, 2, "object count"};
inline constexpr Field kSecondObjectCount{0x2C, 2, "second object count"};
inline constexpr Field kThirdObjectCount{0x2E, 2, "third object count"};
inline constexpr Field kObjectArray{0x30, 4, "object array link"};
inline constexpr Field kProjectName{0x40, 4, "project name link"};
inline constexpr Field kLocale{0x44, 4, "locale"};
inline constexpr Field kSecondLocale{0x48, 4, "second locale"};
inline constexpr Field kReservedLastWord{0x50, 4, "last reserved word"};
inline constexpr std::uint32_t kSize = 84;
}  // namespace object_table

// Ten 32-bit words, known only by their place.
namespace second_project_info {
inline constexpr Field kObjectTable{0x04, 4, "object table link"};
inline constexpr Field kReservedThirdWord{0x08, 4, "third word, reserved"};
inline constexpr Field kObjectList{0x10, 4, "object list link"};
inline constexpr Field kReservedNinthWord{0x20, 4, "ninth word, reserved"};
inline constexpr std::uint32_t kSize = 40;
}  // namespace second_project_info

// One per object; the object array holds them side by side.
namespace object_descriptor {
inline constexpr Field kObjectInfo{0x00, 4, "object info link"};
inline constexpr Field kReservedAfterObjectInfo{0x04, 4, "reserved word after the object info"};
inline constexpr Field kPublicBytes{0x08, 4, "public-bytes record link"};
inline constexpr Field kObjectName{0x18, 4, "object name link"};
inline constexpr Field kMethodCount{0x1C, 4, "method count"};
inline constexpr Field kMethodNames{0x20, 4, "method names link"};
inline constexpr Field kReservedAfterMethodNames{0x24, 4, "reserved word after the method names"};
inline constexpr Field kObjectKind{0x28, 4, "object kind"};
inline constexpr std::uint32_t kSize = 48;
}  // namespace object_descriptor

// Eight 16-bit words, values only.
namespace public_bytes {
inline constexpr std::uint32_t kWords = 8;
constexpr Field word(std::uint32_t n) { return {2 * n, 2, "public-bytes word"}; }
inline constexpr std::uint32_t kSize = 2 * kWords;
}  // namespace public_bytes

// One 32-bit entry per method; a method without a name holds kNoName.
namespace method_names {
inline constexpr std::uint32_t kNoName = 0xFFFFFFFF;
constexpr Field entry(std::uint32_t method) { return {4 * method, 4, "method name link"}; }
constexpr std::uint32_t size(std::uint32_t methods) { return 4 * methods; }
}  // namespace method_names

namespace object_info {
inline constexpr Field kReservedBeforeIndex{0x00, 2, "reserved word before the object index"};
inline constexpr Field kObjectIndex{0x02, 2, "object index"};
inline constexpr Field kObjectTable{0x04, 4, "object table link"};
inline constexpr Field kPrivateObjectDescriptor{0x0C, 4, "private object descriptor link"};
inline constexpr Field kReservedAfterPrivateDescriptor{0x10, 4, "reserved word after the private object descriptor"};
inline constexpr Field kObjectDescriptor{0x18, 4, "object descriptor link"};
inline constexpr Field kThreadSpace{0x1C, 4, "thread space link"};
inline constexpr Field kReservedValue{0x24, 4, "reserved value, no address"};
inline constexpr Field kTypeList{0x34, 4, "type list link"};
inline constexpr std::uint32_t kSize = 56;
}  // namespace object_info

// Stands directly behind the object info; nothing links to it.
namespace optional_object_info {
inline constexpr Field kObjectGuidCount{0x00, 4, "object GUID count"};
inline constexpr Field kObjectGuid{0x04, 4, "object GUID link"};
inline constexpr Field kObjectTypeList{0x0C, 4, "object-type list link"};
inline constexpr Field kObjectTypeCount{0x10, 4, "object-type count"};
inline constexpr Field kControlTableSecondLink{0x14, 4, "control table, second link"};
inline constexpr Field kSecondGuidList{0x1C, 4, "second GUID list link"};
inline constexpr Field kControlCount{0x20, 4, "control count"};
inline constexpr Field kControlTable{0x24, 4, "control table link"};
inline constexpr Field kMethodCount{0x28, 2, "method count"};
inline constexpr Field kFirstReservedAfterMethodCount{0x2A, 2, "first reserved word after the method count"};
inline constexpr Field kSecondReservedAfterMethodCount{0x2C, 2, "second reserved word after the method count"};
inline constexpr Field kThirdReservedAfterMethodCount{0x2E, 2, "third reserved word after the method count"};
inline constexpr Field kMethodTable{0x30, 4, "method table link"};
inline constexpr Field kRuntimeSlot{0x34, 4, "optional object info's runtime slot"};
inline constexpr Field kReservedValue{0x3C, 4, "reserved value, no address"};
inline constexpr std::uint32_t kSize = 64;
}  // namespace optional_object_info

// One entry per form, side by side.
namespace gui_table_entry {
inline constexpr Field kEntrySize{0x00, 4, "GUI table entry size"};
inline constexpr Field kFormGuid{0x04, 16, "form GUID"};
inline constexpr Field kReservedMidEntry{0x28, 4, "reserved word amid the zeros"};
inline constexpr Field kDescriptionSize{0x40, 4, "form description size"};
inline constexpr Field kFormDescription{0x48, 4, "form description link"};
inline constexpr Field kReservedLastWord{0x4C, 4, "last reserved word"};
inline constexpr std::uint32_t kSize = 80;
}  // namespace gui_table_entry

// Its two strings stand inside the record, at the places its offsets give;
// the bytes around them are padding.
namespace registration_data {
inline constexpr Field kNameOffset{0x04, 4, "name offset"};
inline constexpr Field kHelpDirectoryOffset{0x08, 4, "help directory offset"};
inline constexpr Field kGuid{0x10, 16, "registration GUID"};
inline constexpr Field kMajorVersion{0x26, 2, "major version"};
inline constexpr Field kMinorVersion{0x28, 2, "minor version"};
inline constexpr Field kProjectName{0x30, 16, "project name"};
inline constexpr Field kHelpDirectory{0x40, 1, "help directory"};
inline constexpr std::uint32_t kSize = 68;
}  // namespace registration_data

}  // namespace zelk::formats
