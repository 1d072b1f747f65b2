#include "program/records/module_records.h"

#include "formats/module_header.h"
#include "program/image_layout.h"
#include "program/form1.h"

#include <string>

namespace zelk::program::records {
namespace {

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
    namespace field = formats::module_header;
    ImageBuilder::Record header = out.record(field::kSize);
    header.u32(field::kMagic, formats::kModuleMagic);
    header.u32(field::kImageBase, out.base());
    header.link(field::kImageSize, "image_end", -std::int32_t(out.base()));
    header.link(field::kImportDirectory, "import_directory");
    header.u32(field::kDataBlock, program::kDataBlock);
    header.u32(field::kDataBlockSize, program::kDataBlockSize);
    header.u32(field::kImportAddressTable, program::kImportAddressTable);
    header.link(field::kResourceDirectory, "resource_directory");
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
    namespace field = formats::import_directory;
    out.align(4);
    ImageBuilder::Record directory = out.record("import_directory", field::kSize);
    directory.link(field::kLibraryName, "import_library_name");
    directory.u32(field::kCount, formats::kImportCount);
    directory.link(field::kLookupTable, "import_lookup");
    directory.u32(field::kAddressTable, program::kImportAddressTable);

    // One entry per import and a zero entry after the last.
    ImageBuilder::Record lookup = out.record("import_lookup", field::lookupTableSize(formats::kImportCount));
    for (std::uint32_t i = 0; i < std::uint32_t(formats::kImportCount); ++i) {
        const formats::ImportEntry& entry = formats::kImports[i];
        if (entry.byOrdinal())
            lookup.u32(field::lookupEntry(i), field::kByOrdinal | *entry.ordinal);
        else
            lookup.link(field::lookupEntry(i), "import_name." + std::string(entry.name));
    }
    for (const formats::ImportEntry& entry : formats::kImports) {
        if (entry.byOrdinal()) continue;
        namespace name_entry = formats::import_name_entry;
        out.align(2);
        const auto length = std::uint32_t(entry.name.size());
        ImageBuilder::Record hintName = out.record("import_name." + std::string(entry.name), name_entry::size(length));
        hintName.u16(name_entry::kHint, 0);  // no hint: the runtime looks the name up
        hintName.text(name_entry::name(length), entry.name);
    }
    out.bind("import_library_name");
    out.cstr(formats::kRuntimeLibraryName);
}

}  // namespace zelk::program::records
