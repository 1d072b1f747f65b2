#pragma once

// The tables that bind the form's controls and events: control records,
// event-sink tables and the method table, and the records only the runtime
// reads (object list, private object descriptor, control type library,
// type references). Bytes that no field below names are reserved and zero.

#include "formats/record_field.h"

#include <cstdint>

namespace zelk::formats {

// One per control entry, side by side in the control table.
namespace control_record {
inline constexpr Field kFlags{0x00, 2, "control flags"};
inline constexpr Field kEventSlotCount{0x02, 2, "event slot count"};
inline constexpr Field kSinkPosition{0x04, 4, "sink position"};
inline constexpr Field kEventInterface{0x08, 4, "event interface link"};
inline constexpr Field kIndexWord{0x0C, 4, "control index"};
inline constexpr Field kEventSinkTable{0x18, 4, "event-sink table link"};
inline constexpr Field kKindValue{0x1C, 4, "kind value, no address"};
inline constexpr Field kName{0x20, 4, "control name link"};
inline constexpr Field kIndexWordAgain{0x24, 4, "control index, again"};
inline constexpr std::uint32_t kSize = 40;

// The index word holds the control index in its low 16 bits and 3 above it;
// the form's own entry holds -1 in the whole word instead.
inline constexpr std::uint32_t kFormIndexWord = 0xFFFFFFFF;
inline constexpr std::uint32_t kIndexHighWord = 3;
constexpr std::uint32_t indexWord(std::int16_t index) {
    return index < 0 ? kFormIndexWord : std::uint32_t(std::uint16_t(index)) | kIndexHighWord << 16;
}
constexpr std::int32_t controlIndex(std::uint32_t word) {
    return word == kFormIndexWord ? -1 : std::int32_t(word & 0xFFFF);
}
}  // namespace control_record

// One per control entry, side by side in control-table order: a head, then
// one 32-bit entry link for each event slot, 0 for an unbound event.
namespace event_sink_table {
inline constexpr Field kControl{0x04, 4, "sink table's control link"};
inline constexpr Field kObjectInfo{0x08, 4, "sink table's object info link"};
inline constexpr Field kQueryInterface{0x0C, 4, "sink QueryInterface"};
inline constexpr Field kAddRef{0x10, 4, "sink AddRef"};
inline constexpr Field kRelease{0x14, 4, "sink Release"};
inline constexpr std::uint32_t kHeadSize = 0x18;
constexpr Field eventSlot(std::uint32_t slot) { return {kHeadSize + 4 * slot, 4, "event slot"}; }
constexpr std::uint32_t size(std::uint32_t eventSlots) { return kHeadSize + 4 * eventSlots; }
}  // namespace event_sink_table

// One 32-bit entry link per method, in method order.
namespace method_table {
constexpr Field method(std::uint32_t n) { return {4 * n, 4, "method"}; }
constexpr std::uint32_t size(std::uint32_t methods) { return 4 * methods; }
}  // namespace method_table

// Five 32-bit words: the private object descriptor's link, then zeros.
namespace object_list {
constexpr Field word(std::uint32_t n) { return {4 * n, 4, "object list word"}; }
inline constexpr Field kPrivateObjectDescriptor = word(0);
inline constexpr std::uint32_t kSize = 20;
}  // namespace object_list

// Sixteen 32-bit words, known only by their place.
namespace private_object_descriptor {
constexpr Field word(std::uint32_t n) { return {4 * n, 4, "private object descriptor word"}; }
inline constexpr Field kObjectInfo = word(1);
inline constexpr Field kObjectListFourthWord = word(6);
inline constexpr Field kObjectListSecondWord = word(8);
inline constexpr Field kObjectList = word(9);
inline constexpr Field kObjectListAgain = word(10);
inline constexpr std::uint32_t kSize = 64;
}  // namespace private_object_descriptor

// Ten 32-bit words; the library's GUID, path and short name stand before it.
namespace control_type_library {
constexpr Field word(std::uint32_t n) { return {4 * n, 4, "control type library word"}; }
inline constexpr Field kGuid = word(0);
inline constexpr Field kPath = word(4);
inline constexpr Field kShortName = word(5);
inline constexpr Field kRuntimeSlot = word(6);
inline constexpr Field kReservedValue = word(9);  // no address
inline constexpr std::uint32_t kSize = 40;
}  // namespace control_type_library

// One per event interface in use; nothing in the image links to them.
namespace type_reference {
inline constexpr Field kLibrary{0x00, 4, "control type library link"};
inline constexpr Field kInterface{0x04, 4, "event interface link"};
inline constexpr Field kRuntimeSlot{0x08, 4, "type reference's runtime slot"};
inline constexpr std::uint32_t kSize = 12;
}  // namespace type_reference

}  // namespace zelk::formats
