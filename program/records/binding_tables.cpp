#include "program/records/binding_tables.h"

#include "program/image_layout.h"
#include "program/form1.h"
#include "program/records/form1_identity.h"

#include <optional>
#include <string>

namespace zelk::program::records {
namespace {

using program::records::ImageBuilder;
using program::Code;
using program::codeAddress;

enum class Kind { Form, Button, Image };

struct ControlTableRow {
    ControlEntry entry;
    const char* name;
    Kind kind;
    std::int16_t index;
    std::uint16_t eventSlots;
    std::optional<Code> clickEntry;  // slot 0
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

struct KindRecord {
    const char* interfaceLabel;
    const formats::Guid* eventInterface;
    std::uint32_t runtimeValue;  // a value only the runtime reads; no address in the image
};

constexpr KindRecord kKinds[] = {
    {"guid.form_events", &kFormEventInterface, 0x0086A1B0},
    {"guid.button_events", &kButtonEventInterface, 0x0086A1C0},
    {"guid.image_events", &kImageEventInterface, 0x0086A1D0},
};

const KindRecord& kindRecord(Kind k) { return kKinds[int(k)]; }

std::string label(const char* prefix, const ControlTableRow& c) { return std::string(prefix) + c.name; }

void indexWords(ImageBuilder& out, const ControlTableRow& c) {
    if (c.kind == Kind::Form) {
        out.i32(-1);
    } else {
        out.u16(std::uint16_t(c.index));
        out.u16(3);
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
    for (const ControlTableRow& c : kControls) {
        out.bind(label("control.", c));
        out.u16(0x0040);
        out.u16(c.eventSlots);
        out.u32(sinkOffset(c.entry));
        out.link(kindRecord(c.kind).interfaceLabel);
        indexWords(out, c);
        out.zeros(8);
        out.link(label("sink_table.", c));
        out.u32(kindRecord(c.kind).runtimeValue);
        out.link(label("control_name.", c));
        indexWords(out, c);
    }

    for (const ControlTableRow& c : kControls) {
        out.bind(label("sink_table.", c));
        out.u32(0);
        out.link(label("control.", c));
        out.link("object_info");
        out.u32(program::thunk(formats::Import::EVENT_SINK_QueryInterface));
        out.u32(program::thunk(formats::Import::EVENT_SINK_AddRef));
        out.u32(program::thunk(formats::Import::EVENT_SINK_Release));
        for (std::uint16_t slot = 0; slot < c.eventSlots; ++slot)
            out.u32(slot == 0 && c.clickEntry ? codeAddress(*c.clickEntry) : 0);
    }

    out.bind("method_table");
    out.u32(codeAddress(Code::Command1ClickMethod));
    out.u32(codeAddress(Code::Command2ClickMethod));

    for (const ControlTableRow& c : kControls) {
        out.align(4);
        out.bind(label("control_name.", c));
        out.cstr(c.name);
    }

    out.align(4);
    out.bind("object_list");
    out.link("private_object_descriptor");
    out.zeros(16);

    out.bind("private_object_descriptor");
    out.u32(0);
    out.link("object_info");
    out.u32(0xFFFFFFFF);
    out.u32(0);
    out.u32(2);
    out.u32(0);
    out.link("object_list", 12);
    out.u32(0);
    out.link("object_list", 4);
    out.link("object_list");
    out.link("object_list");
    out.u32(0);
    out.u32(0);
    out.u32(0);
    out.u32(104);
    out.u32(4);

    out.bind("guid.control_library");
    out.guid(kControlLibraryGuid);
    out.bind("control_library_path");
    out.cstr("/lib/zelk/forms.olb");
    out.bind("control_library_name");
    out.cstr("Forms");
    out.align(4);
    out.bind("control_library");
    out.link("guid.control_library");
    out.u32(0);
    out.u32(6);
    out.u32(9);
    out.link("control_library_path");
    out.link("control_library_name");
    out.u32(program::kDataBlock + 0x2D0);
    out.u32(0);
    out.u32(0);
    out.u32(0x0086A1E0);

    const struct {
        const char* interfaceLabel;
        std::uint32_t slot;
    } typeReferences[] = {
        {"guid.image_events", 0x2D4}, {"guid.form_events", 0x2D8}, {"guid.button_events", 0x2DC}};
    for (const auto& t : typeReferences) {
        out.link("control_library");
        out.link(t.interfaceLabel);
        out.u32(program::kDataBlock + t.slot);
    }
}

void writeProcedureDescriptors(ImageBuilder& out) {
    const struct {
        const char* label;
        std::uint32_t address;
        Code exitPoint, commonCleanup, unwindCleanup;
    } descriptors[] = {
        {"procedure.Command1_Click", program::kSlideProcedure, Code::SlideExitPoint, Code::SlideCommonCleanup,
         Code::SlideUnwindCleanup},
        {"procedure.Command2_Click", program::kGallopProcedure, Code::GallopExitPoint, Code::GallopCommonCleanup,
         Code::GallopUnwindCleanup},
    };
    for (const auto& d : descriptors) {
        out.padTo(d.address);
        out.bind(d.label);
        out.u32(0x80007);
        out.u32(codeAddress(d.exitPoint));
        out.u32(codeAddress(d.commonCleanup));
        out.u32(codeAddress(d.unwindCleanup));
    }
}

}  // namespace zelk::program::records
