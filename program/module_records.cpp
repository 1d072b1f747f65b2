#include "program/module_records.h"

#include "program/image_layout.h"
#include "program/form1.h"

#include <string>

namespace zelk::image {
namespace {

using image::ImageBuilder;
using layout::Code;

void jumpTo(ImageBuilder& out, std::uint32_t target) {
    out.u8(0xE9);  // jmp rel32
    out.u32(target - (out.here() + 4));
}

// Event entry: turn the sink's address into the form's address + 1, then go on
// as the method entry.
void eventEntry(ImageBuilder& out, form1::ControlEntry sink, Code methodEntry) {
    for (std::uint8_t b : {0x83, 0x6C, 0x24, 0x04}) out.u8(b);  // sub dword [esp+4], imm8
    out.u8(std::uint8_t(form1::sinkOffset(sink) - 1));
    jumpTo(out, layout::codeAddress(methodEntry));
}

}  // namespace

void writeModuleHeader(ImageBuilder& out) {
    using namespace rt::module_header;
    const std::uint32_t start = out.here();
    out.u32(rt::kModuleMagic);
    out.u32(out.base());
    out.link("image_end", -std::int32_t(out.base()));
    out.link("import_directory");
    out.u32(layout::kDataBlock);
    out.u32(layout::kDataBlockSize);
    out.u32(layout::kImportAddressTable);
    out.link("resource_directory");
    out.padTo(start + kSize);
}

void writeImportThunks(ImageBuilder& out) {
    out.padTo(layout::kThunks);
    for (int i = 0; i < rt::kImportCount; ++i) {
        const auto import = rt::Import(i);
        out.bind("thunk." + std::string(rt::kImportNames[i]));
        out.u8(0xFF);  // jmp dword [slot]
        out.u8(0x25);
        out.u32(layout::importSlot(import));
        out.fill(layout::kThunkSize - 6, 0xCC);
    }
}

void writeCodeRange(ImageBuilder& out) {
    out.padTo(layout::kCodeStart);
    out.bind("code_start");
    out.fill(4, 0xE9);
    out.fill(12, 0xCC);
    for (const layout::CodePlace& place : layout::kCodePlaces) {
        out.padTo(layout::kCodeStart + place.offset, 0xCC);
        const std::uint32_t end = layout::kCodeStart + place.offset + place.size;
        switch (place.code) {
            case Code::Command1ClickEvent: eventEntry(out, form1::kEntryCommand1, Code::Command1ClickMethod); break;
            case Code::Command2ClickEvent: eventEntry(out, form1::kEntryCommand2, Code::Command2ClickMethod); break;
            case Code::Command1ClickMethod: jumpTo(out, layout::codeAddress(Code::Command1Click)); break;
            case Code::Command2ClickMethod: jumpTo(out, layout::codeAddress(Code::Command2Click)); break;
            default: break;  // native routines: nothing to execute here
        }
        out.padTo(end, 0xCC);
    }
    out.padTo(layout::kCodeEnd, 0xCC);
    out.bind("code_end");
}

void writeImportDirectory(ImageBuilder& out) {
    using namespace rt::import_directory;
    out.align(4);
    out.bind("import_directory");
    out.link("import_library_name");
    out.u32(rt::kImportCount);
    out.link("import_lookup");
    out.u32(layout::kImportAddressTable);

    out.bind("import_lookup");
    for (int i = 0; i < rt::kImportCount; ++i) {
        if (rt::Import(i) == rt::Import::ThunRTMain) out.u32(kByOrdinal | rt::kStartUpOrdinal);
        else out.link("import_name." + std::string(rt::kImportNames[i]));
    }
    out.u32(0);
    for (int i = 0; i < rt::kImportCount; ++i) {
        if (rt::Import(i) == rt::Import::ThunRTMain) continue;
        out.align(2);
        out.bind("import_name." + std::string(rt::kImportNames[i]));
        out.u16(0);  // hint
        out.cstr(rt::kImportNames[i]);
    }
    out.bind("import_library_name");
    out.cstr(rt::kRuntimeLibraryName);
}

}  // namespace zelk::image
