#include "program/records/binding_tables.h"

#include "formats/binding_tables.h"
#include "formats/data_block.h"
#include "formats/procedure_descriptor.h"
#include "program/form1.h"
#include "program/records/form1_identity.h"

#include <optional>
#include <string>

namespace zelk::program::records {
namespace {

namespace data_block = formats::data_block;

enum class Kind { Form, Button, Image };

struct ControlTableRow {
    ControlEntry entry;
    const char* name;
    Kind kind;
    std::int16_t index;  // -1: the form's own entry
    std::uint16_t eventSlots;
    std::optional<Code> clickEntry;
};

// In control-table order, which is also the order of the sinks.
constexpr ControlTableRow kControls[] = {
    {kEntryImg2, "Img2", Kind::Image, 4, 13, std::nullopt},
    {kEntryImg3, "Img3", Kind::Image, 3, 13, std::nullopt},
    {kEntryForm, "Form", Kind::Form, -1, 31, std::nullopt},
    {kEntryCommand1, "Command1", Kind::Button, 2, 17, Code::Command1ClickEvent},
    {kEntryCommand2, "Command2", Kind::Button, 1, 17, Code::Command2ClickEvent},
    {kEntryImg1, "Img1", Kind::Image, 5, 13, std::nullopt},
};

constexpr std::uint16_t kControlFlags = 0x0040;  // the same in every record
constexpr std::uint32_t kClickSlot = 0;

struct KindRecord {
    const char* name;
    const char* interfaceLabel;
    const formats::Guid* eventInterface;
    std::uint32_t runtimeValue;  // a value only the runtime reads; no address in the image
    std::uint32_t typeSlot;      // the data-block slot of the kind's type reference
};

constexpr KindRecord kKinds[] = {
    {"form", "guid.form_events", &kFormEventInterface, 0x0086A1B0, data_block::kFormTypeSlot},
    {"command_button", "guid.button_events", &kButtonEventInterface, 0x0086A1C0, data_block::kCommandButtonTypeSlot},
    {"image_control", "guid.image_events", &kImageEventInterface, 0x0086A1D0, data_block::kImageControlTypeSlot},
};

const KindRecord& kindRecord(Kind k) { return kKinds[int(k)]; }

std::string label(const char* prefix, const char* name) { return std::string(prefix) + name; }

void writeControlRecord(ImageBuilder& out, const ControlTableRow& c) {
    namespace field = formats::control_record;
    const KindRecord& kind = kindRecord(c.kind);
    ImageBuilder::Record record = out.record(label("control.", c.name), field::kSize);
    record.u16(field::kFlags, kControlFlags);
    record.u16(field::kEventSlotCount, c.eventSlots);
    record.u32(field::kSinkPosition, sinkOffset(c.entry));
    record.link(field::kEventInterface, kind.interfaceLabel);
    record.u32(field::kIndexWord, field::indexWord(c.index));
    record.link(field::kEventSinkTable, label("sink_table.", c.name));
    record.u32(field::kKindValue, kind.runtimeValue);
    record.link(field::kName, label("control_name.", c.name));
    record.u32(field::kIndexWordAgain, field::indexWord(c.index));
}

void writeEventSinkTable(ImageBuilder& out, const ControlTableRow& c) {
    namespace field = formats::event_sink_table;
    ImageBuilder::Record table = out.record(label("sink_table.", c.name), field::size(c.eventSlots));
    table.link(field::kControl, label("control.", c.name));
    table.link(field::kObjectInfo, "object_info");
    table.u32(field::kQueryInterface, program::thunk(formats::Import::EVENT_SINK_QueryInterface));
    table.u32(field::kAddRef, program::thunk(formats::Import::EVENT_SINK_AddRef));
    table.u32(field::kRelease, program::thunk(formats::Import::EVENT_SINK_Release));
    if (c.clickEntry) table.u32(field::eventSlot(kClickSlot), codeAddress(*c.clickEntry));
}

void writeMethodTable(ImageBuilder& out) {
    namespace field = formats::method_table;
    ImageBuilder::Record table = out.record("method_table", field::size(std::size(kFormMethods)));
    for (std::uint32_t i = 0; i < std::size(kFormMethods); ++i)
        table.u32(field::method(i), codeAddress(kFormMethods[i]));
}

void writeObjectList(ImageBuilder& out) {
    namespace field = formats::object_list;
    out.align(4);
    ImageBuilder::Record list = out.record("object_list", field::kSize);
    list.link(field::kPrivateObjectDescriptor, "private_object_descriptor");
}

void writePrivateObjectDescriptor(ImageBuilder& out) {
    namespace field = formats::private_object_descriptor;
    namespace object_list = formats::object_list;
    ImageBuilder::Record descriptor = out.record("private_object_descriptor", field::kSize);
    descriptor.link(field::kObjectInfo, "object_info");
    descriptor.link(field::kObjectListFourthWord, "object_list", std::int32_t(object_list::word(3).offset));
    descriptor.link(field::kObjectListSecondWord, "object_list", std::int32_t(object_list::word(1).offset));
    descriptor.link(field::kObjectList, "object_list");
    descriptor.link(field::kObjectListAgain, "object_list");
    const struct { std::uint32_t word, value; } reserved[] = {{2, 0xFFFFFFFF}, {4, 2}, {14, 104}, {15, 4}};
    for (const auto& r : reserved) descriptor.u32(field::word(r.word), r.value);
}

void writeControlTypeLibrary(ImageBuilder& out) {
    namespace field = formats::control_type_library;
    // Its GUID, path and short name stand directly before the record.
    out.bind("guid.control_library");
    out.guid(kControlLibraryGuid);
    out.bind("control_library_path");
    out.cstr("/lib/zelk/forms.olb");
    out.bind("control_library_name");
    out.cstr("Forms");
    out.align(4);
    out.bindAt("runtime_slot.control_library", kDataBlock + data_block::kControlLibrarySlot);
    ImageBuilder::Record library = out.record("control_library", field::kSize);
    library.link(field::kGuid, "guid.control_library");
    library.u32(field::word(2), 6);
    library.u32(field::word(3), 9);
    library.link(field::kPath, "control_library_path");
    library.link(field::kShortName, "control_library_name");
    library.link(field::kRuntimeSlot, "runtime_slot.control_library");
    library.u32(field::kReservedValue, 0x0086A1E0);
}

void writeTypeReferences(ImageBuilder& out) {
    namespace field = formats::type_reference;
    for (Kind k : {Kind::Image, Kind::Form, Kind::Button}) {
        const KindRecord& kind = kindRecord(k);
        const std::string slot = label("runtime_slot.", kind.name) + "_type";
        out.bindAt(slot, kDataBlock + kind.typeSlot);
        ImageBuilder::Record reference = out.record(label("type_reference.", kind.name), field::kSize);
        reference.link(field::kLibrary, "control_library");
        reference.link(field::kInterface, kind.interfaceLabel);
        reference.link(field::kRuntimeSlot, slot);
    }
}

}  // namespace

void writeBindingTables(ImageBuilder& out) {
    out.align(4);
    for (const KindRecord& k : kKinds) {
        out.bind(k.interfaceLabel);
        out.guid(*k.eventInterface);
    }

    out.bind("control_table");
    for (const ControlTableRow& c : kControls) writeControlRecord(out, c);
    for (const ControlTableRow& c : kControls) writeEventSinkTable(out, c);
    writeMethodTable(out);

    for (const ControlTableRow& c : kControls) {
        out.align(4);
        out.bind(label("control_name.", c.name));
        out.cstr(c.name);
    }

    writeObjectList(out);
    writePrivateObjectDescriptor(out);
    writeControlTypeLibrary(out);
    writeTypeReferences(out);
}

void writeProcedureDescriptors(ImageBuilder& out) {
    namespace field = formats::procedure_descriptor;
    constexpr std::uint32_t kHandlerFlags = 0x80007;  // the same in both handlers
    const struct {
        const char* label;
        std::uint32_t address;
        Code exitPoint, commonCleanup, unwindCleanup;
    } descriptors[] = {
        // clang-format off
        {"procedure.Command1_Click", program::kSlideProcedure, Code::SlideExitPoint, Code::SlideCommonCleanup,
         Code::SlideUnwindCleanup},
        {"procedure.Command2_Click", program::kGallopProcedure, Code::GallopExitPoint, Code::GallopCommonCleanup,
         Code::GallopUnwindCleanup},
    };
    // clang-format on
    for (const auto& d : descriptors) {
        out.padTo(d.address);
        ImageBuilder::Record descriptor = out.record(d.label, field::kSize);
        descriptor.u32(field::kFlags, kHandlerFlags);
        descriptor.u32(field::kExitPoint, codeAddress(d.exitPoint));
        descriptor.u32(field::kCommonCleanup, codeAddress(d.commonCleanup));
        descriptor.u32(field::kUnwindCleanup, codeAddress(d.unwindCleanup));
    }
}

}  // namespace zelk::program::records
