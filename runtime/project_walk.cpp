#include "runtime/project_walk.h"

#include "formats/binding_tables.h"
#include "formats/project_descriptor.h"
#include "runtime/process.h"
#include "runtime/field_reader.h"

#include <algorithm>

namespace zelk::runtime {
namespace {

namespace project_header = formats::project_header;
namespace gui_table_entry = formats::gui_table_entry;
namespace control_record = formats::control_record;
namespace event_sink_table = formats::event_sink_table;

// The GUI table holds one entry per form, and this runtime runs one form.
constexpr std::uint32_t kFormsRun = 1;
constexpr std::uint32_t kMostControls = 256;
// Where a sink may lie in the form object: the object's head holds its
// interface table and the runtime's state.
constexpr std::uint32_t kFirstSinkPosition = 16;
constexpr std::uint32_t kSinkPositionLimit = 0x10000;

void require(bool ok, const std::string& what) {
    if (!ok) throw BadDescriptor(what);
}

void checkFormCount(const AddressSpace& space, std::uint32_t header, std::uint32_t guiTable) {
    const std::uint32_t forms = readField(space, header, project_header::kFormCount);
    const std::string count = "form count " + std::to_string(forms);
    require(forms >= 1, "project declares no form");
    require(space.contains(guiTable, forms * gui_table_entry::kSize),
            count + ": the GUI table's entries run past the image");
    require(forms <= kFormsRun, count + ": this runtime runs one form");
}

ControlBinding readControl(const AddressSpace& space, std::uint32_t record) {
    ControlBinding c;
    c.eventSlots = std::uint16_t(readField(space, record, control_record::kEventSlotCount));
    c.sinkOffset = readField(space, record, control_record::kSinkPosition);
    c.index = control_record::controlIndex(readField(space, record, control_record::kIndexWord));
    c.sinkTable = readField(space, record, control_record::kEventSinkTable);
    c.name = space.cstr(readField(space, record, control_record::kName), "control name");
    require(c.sinkOffset % 4 == 0 && c.sinkOffset >= kFirstSinkPosition && c.sinkOffset < kSinkPositionLimit,
            "sink position of " + c.name + " is not a place in a form object");
    require(readField(space, c.sinkTable, event_sink_table::kControl) == record,
            "event-sink table of " + c.name + " does not lead back to its control");
    space.bytes(c.sinkTable, event_sink_table::size(c.eventSlots), "event-sink table");
    return c;
}

}  // namespace

const ControlBinding* FormBinding::control(std::int32_t index) const {
    for (const ControlBinding& c : controls)
        if (c.index == index) return &c;
    return nullptr;
}

std::uint32_t FormBinding::objectSize() const {
    std::uint32_t end = 0;
    for (const ControlBinding& c : controls) end = std::max(end, c.sinkOffset + 4);
    return end;
}

FormBinding walkProject(const AddressSpace& space, std::uint32_t header) {
    namespace object_table = formats::object_table;
    namespace object_descriptor = formats::object_descriptor;
    namespace object_info = formats::object_info;
    namespace optional_object_info = formats::optional_object_info;

    // The magic word is all that tells a project header from any other bytes.
    require(std::ranges::equal(fieldBytes(space, header, project_header::kMagic), formats::kProjectMagic),
            "project header does not start with \"VB5!\"");
    const std::uint32_t gui = readField(space, header, project_header::kGuiTable);
    checkFormCount(space, header, gui);
    require(readField(space, header, project_header::kStartUpProcedure) == 0, "start-up procedures are not supported");

    const std::uint32_t projectInfo = readField(space, header, project_header::kProjectInfo);
    const std::uint32_t objectTable = readField(space, projectInfo, formats::project_info::kObjectTable);
    require(readField(space, objectTable, object_table::kObjectCount) >= 1, "object table holds no object");
    const std::uint32_t descriptor = readField(space, objectTable, object_table::kObjectArray);

    FormBinding form;
    form.name = space.cstr(readField(space, descriptor, object_descriptor::kObjectName), "object name");
    const std::uint32_t objectInfo = readField(space, descriptor, object_descriptor::kObjectInfo);
    require(readField(space, objectInfo, object_info::kObjectDescriptor) == descriptor,
            "object info does not lead back to its object descriptor");

    const std::uint32_t optional = objectInfo + object_info::kSize;
    const std::uint32_t controlCount = readField(space, optional, optional_object_info::kControlCount);
    const std::uint32_t controlTable = readField(space, optional, optional_object_info::kControlTable);
    require(controlCount >= 1 && controlCount <= kMostControls, "control count out of range");
    for (std::uint32_t i = 0; i < controlCount; ++i)
        form.controls.push_back(readControl(space, controlTable + i * control_record::kSize));

    const std::uint32_t methodCount = readField(space, optional, optional_object_info::kMethodCount);
    const std::uint32_t methodTable = readField(space, optional, optional_object_info::kMethodTable);
    for (std::uint32_t i = 0; i < methodCount; ++i)
        form.methods.push_back(readField(space, methodTable, formats::method_table::method(i)));

    require(readField(space, gui, gui_table_entry::kEntrySize) == gui_table_entry::kSize,
            "GUI table entry is not 80 bytes");
    form.formGuid = formats::Guid::fromBytes(fieldBytes(space, gui, gui_table_entry::kFormGuid).first<16>());
    const std::uint32_t size = readField(space, gui, gui_table_entry::kDescriptionSize);
    form.descriptionAddress = readField(space, gui, gui_table_entry::kFormDescription);
    form.description = space.bytes(form.descriptionAddress, size, "form description");
    return form;
}

std::uint32_t eventEntry(const AddressSpace& space, const ControlBinding& control, int slot) {
    if (slot < 0 || slot >= control.eventSlots) return 0;
    return readField(space, control.sinkTable, event_sink_table::eventSlot(std::uint32_t(slot)));
}

}  // namespace zelk::runtime
