#include "runtime/project_walk.h"

#include "runtime/process.h"

#include <algorithm>
#include <cstring>

namespace zelk::runtime {
namespace {

constexpr std::uint32_t kControlRecordSize = 40;
constexpr std::uint32_t kSinkTableHead = 24;
constexpr std::uint32_t kObjectInfoSize = 56;
constexpr std::uint32_t kGuiEntrySize = 80;

void require(bool ok, const std::string& what) {
    if (!ok) throw BadDescriptor(what);
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
    // The magic word is all that tells a project header from any other bytes.
    require(std::memcmp(space.bytes(header, 4, "project header").data(), "VB5!", 4) == 0,
            "project header does not start with \"VB5!\"");
    require(space.u16(header + 0x44, "form count") >= 1, "project declares no form");
    require(space.u32(header + 0x2C, "start-up procedure") == 0, "start-up procedures are not supported");

    const std::uint32_t projectInfo = space.u32(header + 0x30, "project info link");
    const std::uint32_t objectTable = space.u32(projectInfo + 0x04, "object table link");
    require(space.u16(objectTable + 0x2A, "object count") >= 1, "object table holds no object");
    const std::uint32_t descriptor = space.u32(objectTable + 0x30, "object array link");

    FormBinding form;
    form.name = space.cstr(space.u32(descriptor + 0x18, "object name link"), "object name");
    const std::uint32_t objectInfo = space.u32(descriptor + 0x00, "object info link");
    require(space.u32(objectInfo + 0x18, "object info's descriptor link") == descriptor,
            "object info does not lead back to its object descriptor");

    const std::uint32_t optional = objectInfo + kObjectInfoSize;
    const std::uint32_t controlCount = space.u32(optional + 0x20, "control count");
    const std::uint32_t controlTable = space.u32(optional + 0x24, "control table link");
    require(controlCount >= 1 && controlCount <= 256, "control count out of range");
    for (std::uint32_t i = 0; i < controlCount; ++i) {
        const std::uint32_t r = controlTable + i * kControlRecordSize;
        ControlBinding c;
        c.eventSlots = space.u16(r + 2, "event slot count");
        c.sinkOffset = space.u32(r + 4, "sink position");
        const std::uint32_t indexWord = space.u32(r + 12, "control index");
        c.index = indexWord == 0xFFFFFFFF ? -1 : std::int32_t(indexWord & 0xFFFF);
        c.sinkTable = space.u32(r + 24, "event-sink table link");
        c.name = space.cstr(space.u32(r + 32, "control name link"), "control name");
        require(c.sinkOffset % 4 == 0 && c.sinkOffset >= 16 && c.sinkOffset < 0x10000,
                "sink position of " + c.name + " is not a place in a form object");
        require(space.u32(c.sinkTable + 4, "sink table's control link") == r,
                "event-sink table of " + c.name + " does not lead back to its control");
        space.bytes(c.sinkTable, kSinkTableHead + 4 * c.eventSlots, "event-sink table");
        form.controls.push_back(std::move(c));
    }

    const std::uint32_t methodCount = space.u16(optional + 0x28, "method count");
    const std::uint32_t methodTable = space.u32(optional + 0x30, "method table link");
    for (std::uint32_t i = 0; i < methodCount; ++i) form.methods.push_back(space.u32(methodTable + 4 * i, "method"));

    const std::uint32_t gui = space.u32(header + 0x4C, "GUI table link");
    require(space.u32(gui, "GUI table entry size") == kGuiEntrySize, "GUI table entry is not 80 bytes");
    form.formGuid = formats::Guid::fromBytes(space.bytes(gui + 0x04, 16, "form GUID").first<16>());
    const std::uint32_t size = space.u32(gui + 0x40, "form description size");
    form.descriptionAddress = space.u32(gui + 0x48, "form description link");
    form.description = space.bytes(form.descriptionAddress, size, "form description");
    return form;
}

std::uint32_t eventEntry(const AddressSpace& space, const ControlBinding& control, int slot) {
    if (slot < 0 || slot >= control.eventSlots) return 0;
    return space.u32(control.sinkTable + kSinkTableHead + 4 * std::uint32_t(slot), "event slot");
}

}  // namespace zelk::runtime
