#include "program/records/module_records.h"

#include "program/image_layout.h"
#include "program/form1.h"

#include <string>

namespace zelk::program::records {
namespace {

using program::records::ImageBuilder;
using program::Code;

void jumpTo(ImageBuilder& out, std::uint32_t target) {
    out.u8(0xE9);  // jmp rel32
    out.u32(target - (out.here() + 4));
}

// Event entry: turn the sink's address into the form's address + 1, then go on
// as the method entry.
void eventEntry(ImageBuilder& out, program::ControlEntry sink, Code methodEntry) {
    for (std::uint8_t b : {0x83, 0x6C, 0x24, 0x04}) out.u8(b);  // sub dword [esp+4], imm8
    out.u8(std::uint8_t(program::sinkOffset(sink) - 1));
    jumpTo(out, program::codeAddress(methodEntry));
}

}  // namespace

void writeModuleHeader(ImageBuilder& out) {
    using namespace formats::module_header;
    const std::uint32_t start = out.here();
    out.u32(formats::kModuleMagic);
    out.u32(out.base());
    out.link("image_end", -std::int32_t(out.base()));
    out.link("import_directory");
    out.u32(program::kDataBlock);
    out.u32(program::kDataBlockSize);
    out.u32(program::kImportAddressTable);
    out.link("resource_directory");
    out.padTo(start + kSize);
}

void writeImportThunks(ImageBuilder& out) {
    out.padTo(program::kThunks);
    for (int i = 0; i < formats::kImportCount; ++i) {
        const auto import = formats::Import(i);
        out.bind("thunk." + std::string(formats::kImports[i].name));
        out.u8(0xFF);  // jmp dword [slot]
        out.u8(0x25);
        out.u32(program::importSlot(import));
        out.fill(program::kThunkSize - 6, 0xCC);
    }
}

void writeCodeRange(ImageBuilder& out) {
    out.padTo(program::kCodeStart);
    out.bind("code_start");
    out.fill(4, 0xE9);
    out.fill(12, 0xCC);
    for (const program::CodePlace& place : program::kCodePlaces) {
        out.padTo(program::kCodeStart + place.offset, 0xCC);
        const std::uint32_t end = program::kCodeStart + place.offset + place.size;
        switch (place.code) {
            case Code::Command1ClickEvent: eventEntry(out, program::kEntryCommand1, Code::Command1ClickMethod); break;
            case Code::Command2ClickEvent: eventEntry(out, program::kEntryCommand2, Code::Command2ClickMethod); break;
            case Code::Command1ClickMethod: jumpTo(out, program::codeAddress(Code::Command1ClickBody)); break;
            case Code::Command2ClickMethod: jumpTo(out, program::codeAddress(Code::Command2ClickBody)); break;
            default: break;  // native routines: nothing to execute here
        }
        out.padTo(end, 0xCC);
    }
    out.padTo(program::kCodeEnd, 0xCC);
    out.bind("code_end");
}

void writeImportDirectory(ImageBuilder& out) {
    using namespace formats::import_directory;
    out.align(4);
    out.bind("import_directory");
    out.link("import_library_name");
    out.u32(formats::kImportCount);
    out.link("import_lookup");
    out.u32(program::kImportAddressTable);

    out.bind("import_lookup");
    for (const formats::ImportEntry& entry : formats::kImports) {
        if (entry.byOrdinal()) out.u32(kByOrdinal | *entry.ordinal);
        else out.link("import_name." + std::string(entry.name));
    }
    out.u32(0);
    for (const formats::ImportEntry& entry : formats::kImports) {
        if (entry.byOrdinal()) continue;
        out.align(2);
        out.bind("import_name." + std::string(entry.name));
        out.u16(0);  // hint
        out.cstr(entry.name);
    }
    out.bind("import_library_name");
    out.cstr(formats::kRuntimeLibraryName);
}

}  // namespace zelk::program::records
