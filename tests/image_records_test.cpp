// The stored image byte by byte, from its first byte to its last: the fields
// the runtime reads, the reserved ones it leaves alone, and the padding.
#include "test_support.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zelk::tests {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The field holds the address of this label, plus `plus`.
struct Link {
    const char* label;
    std::uint32_t plus = 0;
};

struct Field {
    const char* record;
    std::uint32_t offset;
    std::variant<Bytes, Link> expected;
    const char* what;
};

Bytes u16s(std::initializer_list<std::uint16_t> values) {
    Bytes out;
    for (std::uint16_t v : values) out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
    return out;
}
Bytes u32(std::uint32_t v) {
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}
Bytes u32s(std::initializer_list<std::uint32_t> values) {
    Bytes out;
    for (std::uint32_t v : values) {
        const Bytes b = u32(v);
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}
Bytes zeros(std::size_t n) { return Bytes(n, 0); }
// ASCII with its NUL.
Bytes text(std::string_view s) {
    Bytes out(s.begin(), s.end());
    out.push_back(0);
    return out;
}
// A text of one character in a field of `size` bytes.
Bytes textField(char c, std::size_t size) {
    Bytes out(size, 0);
    out[0] = std::uint8_t(c);
    return out;
}

Bytes bytesAt(std::uint32_t address, std::size_t count) {
    const auto b = at(address, count);
    return Bytes(b.begin(), b.end());
}

// The data block's place, our own choice, written in the module header.
const std::uint32_t kData = 0x00800000;

// The runtime's data block slots by offset.
Bytes dataSlot(std::uint32_t offset) { return u32(kData + offset); }

// The image in stored order. A region is a labelled record, the module header
// (the image's first bytes, which have no label), or zero padding between
// records. The bytes of a region that names no other test are listed in
// kFields below; the named test pins the others.
struct Region {
    const char* name;
    std::uint32_t size;
    const char* pinnedBy = nullptr;
};

constexpr std::string_view kModuleHeader = "module_header";
constexpr std::string_view kPadding = "padding";
constexpr const char* kIconTests =
    "IconGroup.EachImageIsABitmapIconWithItsMask and IconGroup.EachImageShowsTheSlantedWindowAndItsWedgeInTheirBoxes";

const Region kImageMap[] = {
    {"module_header", 0x40},
    {"thunk.ThunRTMain", 38 * 8, "ImageRecords.EachImportJumpGoesThroughItsOwnSlot"},
    {"code_start", 1760, "ImageRecords.CodeRangeHoldsTheClickEntriesAndOtherwisePadding"},
    {"procedure.Command1_Click", 16},
    {"procedure.Command2_Click", 16},
    {"project_header", 0x89},
    {"project_info", 572},
    {"padding", 3},
    {"object_table", 84},
    {"second_project_info", 40},
    {"object_descriptor", 48},
    {"public_bytes", 16},
    {"method_names", 8},
    {"object_name", 6},
    {"project_name", 6},
    {"object_info", 56},
    {"optional_object_info", 64},
    {"object_type_list", 4},
    {"second_guid_list", 4},
    {"guid.object", 16},
    {"guid.form", 16},
    {"guid.second_object", 16},
    {"guid.form_events", 16},
    {"guid.button_events", 16},
    {"guid.image_events", 16},
    {"control_table", 6 * 40, "ImageRecords.ControlTableAndEventSinkTables"},
    // Six sink tables of 24 bytes and 4 a slot: 13, 13, 31, 17, 17 and 13 slots.
    {"sink_table.Img2", 6 * 24 + 4 * 104, "ImageRecords.ControlTableAndEventSinkTables"},
    {"method_table", 8},
    {"control_name.Img2", 8},
    {"control_name.Img3", 8},
    {"control_name.Form", 8},
    {"control_name.Command1", 12},
    {"control_name.Command2", 12},
    {"control_name.Img1", 8},
    {"object_list", 20},
    {"private_object_descriptor", 64},
    {"guid.control_library", 16},
    {"control_library_path", 20},
    {"control_library_name", 6},
    {"padding", 2},
    {"control_library", 76},  // ten words, then the three type references, which have no label
    {"import_directory", 16},
    // 39 lookup words, then the hint and name of each import but the first.
    {"import_lookup", 747, "ImageRecords.ImportLookupTableNamesTheImportsInOrderAndTheStartUpEntryByOrdinal"},
    {"import_library_name", 13},
    {"registration", 68},
    {"form_description",
     1198714,
     "FormDescription.EveryByteButThePixelsIsAsListed, FormDescription.BitmapHeadersAreAsListed and "
     "StoredPictures.EachBitmapFileIsThePaintedOne"},
    {"padding", 2},  // between the description and the GUI table entry
    {"gui_table", 80},
    {"version_record", 502, "VersionRecord.EveryByteIsAsListed"},
    {"padding", 2},
    {"icon_group", 48, "IconGroup.ListsItsThreeImagesInOrder"},
    {"icon.30001", 304, kIconTests},
    {"icon.30002", 744, kIconTests},
    {"icon.30003", 296, kIconTests},
    {"resource_directory", 4 + 5 * 20},
    {"padding", 4},  // to the image's 16-byte end
};

std::uint32_t recordAddress(std::string_view name) {
    return name == kModuleHeader ? image_symbols::kImageBase : symbol(name);
}

const Field kFields[] = {
    {"module_header", 0x00, Bytes{'Z', 'E', 'L', 'K'}, "magic"},
    {"module_header", 0x04, u32(0x00401000), "image base"},
    {"module_header", 0x08, u32(1206016), "image size"},
    {"module_header", 0x0C, Link{"import_directory"}, "import directory"},
    {"module_header", 0x10, u32(kData), "data block"},
    {"module_header", 0x14, u32(2540), "data block size"},
    {"module_header", 0x18, u32(0x00801000), "import address table"},
    {"module_header", 0x1C, Link{"resource_directory"}, "resource directory"},
    {"module_header", 0x20, zeros(32), "unused"},

    // The exit points and clean-ups stand at fixed places of the code range.
    {"procedure.Command1_Click", 0x00, u32(0x80007), "flags"},
    {"procedure.Command1_Click", 0x04, Link{"code_start", 0x1D0}, "the slide's exit point"},
    {"procedure.Command1_Click", 0x08, Link{"code_start", 0x200}, "the slide's common clean-up"},
    {"procedure.Command1_Click", 0x0C, Link{"code_start", 0x220}, "the slide's unwind clean-up"},
    {"procedure.Command2_Click", 0x00, u32(0x80007), "flags"},
    {"procedure.Command2_Click", 0x04, Link{"code_start", 0x620}, "the gallop's exit point"},
    {"procedure.Command2_Click", 0x08, Link{"code_start", 0x650}, "the gallop's common clean-up"},
    {"procedure.Command2_Click", 0x0C, Link{"code_start", 0x670}, "the gallop's unwind clean-up"},

    {"project_header", 0x00, Bytes{'V', 'B', '5', '!'}, "magic"},
    {"project_header", 0x04, u16s({8176}), "reserved"},
    {"project_header", 0x06, textField('*', 14), "reserved text"},
    {"project_header", 0x14, textField('~', 14), "reserved text"},
    {"project_header", 0x22, u16s({10}), "reserved"},
    {"project_header", 0x24, u32(0x409), "locale"},
    {"project_header", 0x28, u32(0), "second locale"},
    {"project_header", 0x2C, u32(0), "start-up procedure"},
    {"project_header", 0x30, Link{"project_info"}, "project info"},
    {"project_header", 0x34, u32(0x0130F010), "internal-control flags"},
    {"project_header", 0x38, u32(0xFFFFFF00), "second flags word"},
    {"project_header", 0x3C, u32(8), "thread flags"},
    {"project_header", 0x40, u32(1), "thread count"},
    {"project_header", 0x44, u16s({1}), "form count"},
    {"project_header", 0x46, u16s({0}), "external-control count"},
    {"project_header", 0x48, u32(233), "reserved"},
    {"project_header", 0x4C, Link{"gui_table"}, "GUI table"},
    {"project_header", 0x50, Link{"gui_table"}, "external-control table"},
    {"project_header", 0x54, Link{"registration"}, "registration data"},
    {"project_header", 0x58, u32(0x78), "description offset"},
    {"project_header", 0x5C, u32(0x7D), "executable name offset"},
    {"project_header", 0x60, u32(0x82), "help file offset"},
    {"project_header", 0x64, u32(0x83), "project name offset"},
    {"project_header", 0x68, zeros(16), "reserved"},
    {"project_header",
     0x78,
     Bytes{'z', 'e', 'l', 'k', 0, 'z', 'e', 'l', 'k', 0, 0, 'H', 'o', 'r', 's', 'e', 0},
     "names: description, executable, help file, project"},

    {"project_info", 0x000, u32(500), "version"},
    {"project_info", 0x004, Link{"object_table"}, "object table"},
    {"project_info", 0x008, u32(0), "reserved"},
    {"project_info", 0x00C, Link{"code_start"}, "code start"},
    {"project_info", 0x010, Link{"code_end"}, "code end"},
    {"project_info", 0x014, u32(2532), "thread-space size"},
    {"project_info", 0x018, dataSlot(8), "thread space"},
    {"project_info", 0x01C, Link{"thunk.__vbaExceptHandler"}, "exception handler"},
    {"project_info", 0x020, dataSlot(0), "native-code marker"},
    {"project_info",
     0x024,
     u16s({'*', '\\', 'A', '/', 's', 'r', 'c', '/', 'z', 'e', 'l',
           'k', '/',  'H', 'o', 'r', 's', 'e', '.', 'p', 'r', 'j'}),
     "project path"},
    {"project_info", 0x024 + 44, zeros(528 - 44), "project path's NUL and the rest of its field"},
    {"project_info", 0x234, Link{"gui_table"}, "external-control table"},
    {"project_info", 0x238, u32(0), "external-control count"},

    {"object_table", 0x00, u32(0), "reserved"},
    {"object_table", 0x04, dataSlot(0x2C), "runtime slot"},
    {"object_table", 0x08, Link{"second_project_info"}, "second project info"},
    {"object_table", 0x0C, u32(0xFFFFFFFF), "reserved"},
    {"object_table", 0x10, u32(0), "reserved"},
    {"object_table", 0x14, dataSlot(0x1C), "runtime slot"},
    // {BBAE7F69-F8A2-4447-9193-5B9A68FDAFA7}
    {"object_table",
     0x18,
     Bytes{0x69, 0x7F, 0xAE, 0xBB, 0xA2, 0xF8, 0x47, 0x44, 0x91, 0x93, 0x5B, 0x9A, 0x68, 0xFD, 0xAF, 0xA7},
     "object-table GUID"},
    {"object_table", 0x28, u16s({10}), "reserved"},
    {"object_table", 0x2A, u16s({1, 1, 1}), "object counts"},
    {"object_table", 0x30, Link{"object_array"}, "object array"},
    {"object_table", 0x34, zeros(12), "reserved"},
    {"object_table", 0x40, Link{"project_name"}, "project name"},
    {"object_table", 0x44, u32(0x409), "locale"},
    {"object_table", 0x48, u32(0x419), "second locale"},
    {"object_table", 0x4C, u32(0), "reserved"},
    {"object_table", 0x50, u32(2), "reserved"},

    {"second_project_info", 0x00, u32(0), "reserved"},
    {"second_project_info", 0x04, Link{"object_table"}, "object table"},
    {"second_project_info", 0x08, u32(0xFFFFFFFF), "reserved"},
    {"second_project_info", 0x0C, u32(0), "reserved"},
    {"second_project_info", 0x10, Link{"object_list"}, "object list"},
    {"second_project_info", 0x14, zeros(12), "reserved"},
    {"second_project_info", 0x20, u32(0xFFFFFFFF), "reserved"},
    {"second_project_info", 0x24, u32(0), "reserved"},

    {"object_descriptor", 0x00, Link{"object_info"}, "object info"},
    {"object_descriptor", 0x04, u32(0xFFFFFFFF), "reserved"},
    {"object_descriptor", 0x08, Link{"public_bytes"}, "public bytes"},
    {"object_descriptor", 0x0C, zeros(12), "reserved"},
    {"object_descriptor", 0x18, Link{"object_name"}, "object name"},
    {"object_descriptor", 0x1C, u32(2), "method count"},
    {"object_descriptor", 0x20, Link{"method_names"}, "method names"},
    {"object_descriptor", 0x24, u32(0xFFFF), "reserved"},
    {"object_descriptor", 0x28, u32(0x18083), "object kind"},
    {"object_descriptor", 0x2C, u32(0), "reserved"},
    {"public_bytes", 0x00, u16s({16, 104, 0, 1, 0, 0, 52, 2}), "eight words"},
    {"method_names", 0x00, u32(0xFFFFFFFF), "method 0 has no name"},
    {"method_names", 0x04, u32(0xFFFFFFFF), "method 1 has no name"},
    {"object_name", 0x00, text("Form1"), "object name"},
    {"project_name", 0x00, text("Horse"), "project name"},

    {"object_info", 0x00, u16s({1}), "reserved"},
    {"object_info", 0x02, u16s({0}), "object index"},
    {"object_info", 0x04, Link{"object_table"}, "object table"},
    {"object_info", 0x08, u32(0), "reserved"},
    {"object_info", 0x0C, Link{"private_object_descriptor"}, "private object descriptor"},
    {"object_info", 0x10, u32(0xFFFFFFFF), "reserved"},
    {"object_info", 0x14, u32(0), "reserved"},
    {"object_info", 0x18, Link{"object_descriptor"}, "object descriptor"},
    {"object_info", 0x1C, dataSlot(8), "thread space"},
    {"object_info", 0x20, u16s({0, 0}), "reserved"},
    {"object_info", 0x24, u32(0x00837120), "reserved"},
    {"object_info", 0x28, u16s({0, 0}), "reserved"},
    {"object_info", 0x2C, zeros(8), "reserved"},
    {"object_info", 0x34, Link{"object_type_list"}, "type list"},

    {"optional_object_info", 0x00, u32(1), "object GUID count"},
    {"optional_object_info", 0x04, Link{"guid.object"}, "object GUID"},
    {"optional_object_info", 0x08, u32(0), "reserved"},
    {"optional_object_info", 0x0C, Link{"object_type_list"}, "object-type list"},
    {"optional_object_info", 0x10, u32(1), "object-type count"},
    {"optional_object_info", 0x14, Link{"control_table"}, "control table, second link"},
    {"optional_object_info", 0x18, u32(0), "reserved"},
    {"optional_object_info", 0x1C, Link{"second_guid_list"}, "second GUID list"},
    {"optional_object_info", 0x20, u32(6), "control count"},
    {"optional_object_info", 0x24, Link{"control_table"}, "control table"},
    {"optional_object_info", 0x28, u16s({2}), "method-table count"},
    {"optional_object_info", 0x2A, u16s({0x01B7, 0x0068, 0x006C}), "reserved"},
    {"optional_object_info", 0x30, Link{"method_table"}, "method table"},
    {"optional_object_info", 0x34, dataSlot(0x2E0), "runtime slot"},
    {"optional_object_info", 0x38, u32(0), "reserved"},
    {"optional_object_info", 0x3C, u32(0x0573CA08), "reserved"},
    {"object_type_list", 0x00, Link{"guid.form"}, "form GUID"},
    {"second_guid_list", 0x00, Link{"guid.second_object"}, "second GUID"},
    // {F877FC5D-87C8-49E4-8A50-C1A0DFD0CD01}
    {"guid.object",
     0x00,
     Bytes{0x5D, 0xFC, 0x77, 0xF8, 0xC8, 0x87, 0xE4, 0x49, 0x8A, 0x50, 0xC1, 0xA0, 0xDF, 0xD0, 0xCD, 0x01},
     "object GUID"},
    // {DF3A10A4-5D3B-46A2-8818-03E8F80AC0D0}
    {"guid.form",
     0x00,
     Bytes{0xA4, 0x10, 0x3A, 0xDF, 0x3B, 0x5D, 0xA2, 0x46, 0x88, 0x18, 0x03, 0xE8, 0xF8, 0x0A, 0xC0, 0xD0},
     "form GUID"},
    // {28D2E2AA-4098-4B84-9935-318BC8D4C363}
    {"guid.second_object",
     0x00,
     Bytes{0xAA, 0xE2, 0xD2, 0x28, 0x98, 0x40, 0x84, 0x4B, 0x99, 0x35, 0x31, 0x8B, 0xC8, 0xD4, 0xC3, 0x63},
     "second GUID"},

    {"gui_table", 0x00, u32(80), "entry size"},
    {"gui_table",
     0x04,
     Bytes{0xA4, 0x10, 0x3A, 0xDF, 0x3B, 0x5D, 0xA2, 0x46, 0x88, 0x18, 0x03, 0xE8, 0xF8, 0x0A, 0xC0, 0xD0},
     "form GUID"},
    {"gui_table", 0x14, zeros(20), "reserved"},
    {"gui_table", 0x28, u32(0x290), "reserved"},
    {"gui_table", 0x2C, zeros(20), "reserved"},
    {"gui_table", 0x40, u32(1198714), "form description size"},
    {"gui_table", 0x44, u32(0), "reserved"},
    {"gui_table", 0x48, Link{"form_description"}, "form description"},
    {"gui_table", 0x4C, u32(0x4C), "reserved"},

    {"registration", 0x00, u32(0), "reserved"},
    {"registration", 0x04, u32(0x30), "name offset"},
    {"registration", 0x08, u32(0x40), "help directory offset"},
    {"registration", 0x0C, u32(0), "reserved"},
    // {9601AAEA-F166-43D3-A1B4-E0ADC5B14FC7}
    {"registration",
     0x10,
     Bytes{0xEA, 0xAA, 0x01, 0x96, 0x66, 0xF1, 0xD3, 0x43, 0xA1, 0xB4, 0xE0, 0xAD, 0xC5, 0xB1, 0x4F, 0xC7},
     "registration GUID"},
    {"registration", 0x20, u32(0), "reserved"},
    {"registration", 0x24, u16s({0}), "reserved"},
    {"registration", 0x26, u16s({1, 0}), "version 1.0"},
    {"registration", 0x2A, zeros(6), "padding"},
    {"registration", 0x30, text("Horse"), "project name"},
    {"registration", 0x36, zeros(10), "padding"},
    {"registration", 0x40, Bytes{0}, "empty help directory"},
    {"registration", 0x41, zeros(3), "padding"},

    {"object_list", 0x00, Link{"private_object_descriptor"}, "private object descriptor"},
    {"object_list", 0x04, zeros(16), "four zeros"},
    {"private_object_descriptor", 0x00, u32(0), "word 0"},
    {"private_object_descriptor", 0x04, Link{"object_info"}, "word 1"},
    {"private_object_descriptor", 0x08, u32(0xFFFFFFFF), "word 2"},
    {"private_object_descriptor", 0x0C, u32(0), "word 3"},
    {"private_object_descriptor", 0x10, u32(2), "word 4"},
    {"private_object_descriptor", 0x14, u32(0), "word 5"},
    {"private_object_descriptor", 0x18, Link{"object_list", 12}, "word 6: the object list's fourth word"},
    {"private_object_descriptor", 0x1C, u32(0), "word 7"},
    {"private_object_descriptor", 0x20, Link{"object_list", 4}, "word 8: the object list's second word"},
    {"private_object_descriptor", 0x24, Link{"object_list"}, "word 9"},
    {"private_object_descriptor", 0x28, Link{"object_list"}, "word 10"},
    {"private_object_descriptor", 0x2C, zeros(12), "words 11 to 13"},
    {"private_object_descriptor", 0x38, u32(104), "word 14"},
    {"private_object_descriptor", 0x3C, u32(4), "word 15"},

    // {FCFB3D2E-A0FA-1068-A738-08002B3371B5}
    {"guid.control_library",
     0x00,
     Bytes{0x2E, 0x3D, 0xFB, 0xFC, 0xFA, 0xA0, 0x68, 0x10, 0xA7, 0x38, 0x08, 0x00, 0x2B, 0x33, 0x71, 0xB5},
     "library GUID"},
    {"control_library_path", 0x00, text("/lib/zelk/forms.olb"), "library path"},
    {"control_library_name", 0x00, text("Forms"), "library name"},
    {"control_library", 0x00, Link{"guid.control_library"}, "library GUID"},
    {"control_library", 0x04, u32(0), "word 1"},
    {"control_library", 0x08, u32(6), "word 2"},
    {"control_library", 0x0C, u32(9), "word 3"},
    {"control_library", 0x10, Link{"control_library_path"}, "library path"},
    {"control_library", 0x14, Link{"control_library_name"}, "library name"},
    {"control_library", 0x18, dataSlot(0x2D0), "runtime slot"},
    {"control_library", 0x1C, zeros(8), "words 7 and 8"},
    {"control_library", 0x24, u32(0x0086A1E0), "word 9, no address"},
    {"control_library", 0x28, Link{"control_library"}, "image control type: library"},
    {"control_library", 0x2C, Link{"guid.image_events"}, "image control type: interface"},
    {"control_library", 0x30, dataSlot(0x2D4), "image control type: runtime slot"},
    {"control_library", 0x34, Link{"control_library"}, "form type: library"},
    {"control_library", 0x38, Link{"guid.form_events"}, "form type: interface"},
    {"control_library", 0x3C, dataSlot(0x2D8), "form type: runtime slot"},
    {"control_library", 0x40, Link{"control_library"}, "command button type: library"},
    {"control_library", 0x44, Link{"guid.button_events"}, "command button type: interface"},
    {"control_library", 0x48, dataSlot(0x2DC), "command button type: runtime slot"},
    // {33AD4F3A-6699-11CF-B70C-00AA0060D393}
    {"guid.form_events",
     0x00,
     Bytes{0x3A, 0x4F, 0xAD, 0x33, 0x99, 0x66, 0xCF, 0x11, 0xB7, 0x0C, 0x00, 0xAA, 0x00, 0x60, 0xD3, 0x93},
     "form event interface"},
    // {33AD4EF2-6699-11CF-B70C-00AA0060D393}
    {"guid.button_events",
     0x00,
     Bytes{0xF2, 0x4E, 0xAD, 0x33, 0x99, 0x66, 0xCF, 0x11, 0xB7, 0x0C, 0x00, 0xAA, 0x00, 0x60, 0xD3, 0x93},
     "command button event interface"},
    // {33AD4F92-6699-11CF-B70C-00AA0060D393}
    {"guid.image_events",
     0x00,
     Bytes{0x92, 0x4F, 0xAD, 0x33, 0x99, 0x66, 0xCF, 0x11, 0xB7, 0x0C, 0x00, 0xAA, 0x00, 0x60, 0xD3, 0x93},
     "image control event interface"},

    {"import_directory", 0x00, Link{"import_library_name"}, "library name"},
    {"import_directory", 0x04, u32(38), "import count"},
    {"import_directory", 0x08, Link{"import_lookup"}, "lookup table"},
    {"import_directory", 0x0C, u32(0x00801000), "import address table"},
    {"import_library_name", 0x00, text("MSVBVM60.DLL"), "library name"},

    {"method_table", 0x00, Link{"code_start", 0x20}, "method 0: Command1_Click's method entry"},
    {"method_table", 0x04, Link{"code_start", 0x40}, "method 1: Command2_Click's method entry"},

    // Each name on a 4-byte boundary, zeros to the next.
    {"control_name.Img2", 0, text("Img2"), "name"},
    {"control_name.Img2", 5, zeros(3), "padding"},
    {"control_name.Img3", 0, text("Img3"), "name"},
    {"control_name.Img3", 5, zeros(3), "padding"},
    {"control_name.Form", 0, text("Form"), "name"},
    {"control_name.Form", 5, zeros(3), "padding"},
    {"control_name.Command1", 0, text("Command1"), "name"},
    {"control_name.Command1", 9, zeros(3), "padding"},
    {"control_name.Command2", 0, text("Command2"), "name"},
    {"control_name.Command2", 9, zeros(3), "padding"},
    {"control_name.Img1", 0, text("Img1"), "name"},
    {"control_name.Img1", 5, zeros(3), "padding"},

    // Resource type, ID, language, link, size: the published type numbers
    // 16 (version), 14 (icon group) and 3 (icon).
    {"resource_directory", 0x00, u32(5), "resource count"},
    {"resource_directory", 0x04, u32s({16, 1, 1033}), "version record 1, US English"},
    {"resource_directory", 0x10, Link{"version_record"}, "version record"},
    {"resource_directory", 0x14, u32(502), "version record's size"},
    {"resource_directory", 0x18, u32s({14, 1, 0}), "icon group 1, neutral"},
    {"resource_directory", 0x24, Link{"icon_group"}, "icon group"},
    {"resource_directory", 0x28, u32(48), "icon group's size"},
    {"resource_directory", 0x2C, u32s({3, 30001, 0}), "icon 30001, neutral"},
    {"resource_directory", 0x38, Link{"icon.30001"}, "icon 30001"},
    {"resource_directory", 0x3C, u32(304), "icon 30001's size"},
    {"resource_directory", 0x40, u32s({3, 30002, 0}), "icon 30002, neutral"},
    {"resource_directory", 0x4C, Link{"icon.30002"}, "icon 30002"},
    {"resource_directory", 0x50, u32(744), "icon 30002's size"},
    {"resource_directory", 0x54, u32s({3, 30003, 0}), "icon 30003, neutral"},
    {"resource_directory", 0x60, Link{"icon.30003"}, "icon 30003"},
    {"resource_directory", 0x64, u32(296), "icon 30003's size"},
};

TEST(ImageRecords, RecordsAndPaddingTileTheImageFromItsFirstByteToItsLast) {
    std::uint32_t address = 0x00401000;
    for (const Region& r : kImageMap) {
        if (r.name == kPadding) {
            EXPECT_EQ(bytesAt(address, r.size), zeros(r.size)) << "padding at 0x" << std::hex << address;
        } else {
            EXPECT_EQ(recordAddress(r.name), address) << r.name << " is not where the record before it ends";
        }
        address += r.size;
    }
    EXPECT_EQ(address - 0x00401000, image().size()) << "the map ends where the image does";
}

TEST(ImageRecords, EveryByteOfEveryRecordHoldsItsValue) {
    // The list first: every byte of each record in exactly one field.
    for (const Region& r : kImageMap) {
        if (r.pinnedBy || r.name == kPadding) continue;
        std::vector<int> fieldsAt(r.size);
        for (const Field& f : kFields) {
            if (f.record != std::string_view(r.name)) continue;
            const std::size_t length =
                std::holds_alternative<Link>(f.expected) ? 4 : std::get<Bytes>(f.expected).size();
            for (std::size_t i = 0; i < length; ++i) ++fieldsAt.at(f.offset + i);
        }
        for (std::uint32_t i = 0; i < r.size; ++i)
            ASSERT_EQ(fieldsAt[i], 1) << r.name << " + 0x" << std::hex << i << " is in no field or in two";
    }
    for (const Field& f : kFields) {
        const auto inMap = [&](const Region& r) { return r.name == std::string_view(f.record); };
        ASSERT_TRUE(std::ranges::any_of(kImageMap, inMap)) << f.record << " is not in the image map";
        const Bytes expected = std::holds_alternative<Link>(f.expected)
                                   ? u32(symbol(std::get<Link>(f.expected).label) + std::get<Link>(f.expected).plus)
                                   : std::get<Bytes>(f.expected);
        EXPECT_EQ(bytesAt(recordAddress(f.record) + f.offset, expected.size()), expected)
            << f.record << " + 0x" << std::hex << f.offset << " (" << f.what << ")";
    }
}

// The runtime's imports in import-table order.
// clang-format off
const char* const kImports[38] = {
    "ThunRTMain",  // by ordinal 100
    "EVENT_SINK_QueryInterface", "EVENT_SINK_AddRef", "EVENT_SINK_Release",
    "__vbaObjSet", "__vbaFreeObj", "__vbaHresultCheckObj", "__vbaErrorOverflow",
    "__vbaVarForInit", "__vbaVarForNext", "__vbaVarAdd", "__vbaR4Var",
    "__vbaFreeVar", "__vbaFreeVarList", "__vbaExceptHandler", "__vbaChkstk",
    "__vbaFPException", "_allmul", "_CIcos", "_CIsin",
    "_CItan", "_CIatan", "_CIexp", "_CIlog",
    "_CIsqrt", "_adj_fdiv_m16i", "_adj_fdiv_m32", "_adj_fdiv_m32i",
    "_adj_fdiv_m64", "_adj_fdiv_r", "_adj_fdivr_m16i", "_adj_fdivr_m32",
    "_adj_fdivr_m32i", "_adj_fdivr_m64", "_adj_fprem", "_adj_fprem1",
    "_adj_fpatan", "_adj_fptan",
};
// clang-format on

// Where the sink tables and the project info link to an import, they link to
// the program's jump through that import's slot of the import address table.
TEST(ImageRecords, EachImportJumpGoesThroughItsOwnSlot) {
    const std::uint32_t first = symbol("thunk.ThunRTMain");
    for (std::uint32_t i = 0; i < 38; ++i) {
        const std::uint32_t jump = symbol(std::string("thunk.") + kImports[i]);
        EXPECT_EQ(jump, first + 8 * i) << kImports[i];
        Bytes expected{0xFF, 0x25};  // jmp dword [slot]
        const Bytes slot = u32(0x00801000 + 4 * i);
        expected.insert(expected.end(), slot.begin(), slot.end());
        expected.insert(expected.end(), {0xCC, 0xCC});
        EXPECT_EQ(bytesAt(jump, 8), expected) << kImports[i];
    }
}

// The code range holds the stored entries the runtime follows; the handlers'
// bodies, exit points and clean-ups are native routines at their places, with
// nothing stored for them.
TEST(ImageRecords, CodeRangeHoldsTheClickEntriesAndOtherwisePadding) {
    Bytes expected(1760, 0xCC);
    std::fill_n(expected.begin(), 4, 0xE9);
    const auto put = [&](std::uint32_t offset, const Bytes& bytes) {
        std::ranges::copy(bytes, expected.begin() + offset);
    };
    // Event entries: sub dword [esp+4], the sink's position less one; then a
    // jmp to the method entry. The sink positions are the form object's
    // layout, which the control records carry.
    const std::uint32_t command1Sink = u32At(symbol("control.Command1") + 4);
    const std::uint32_t command2Sink = u32At(symbol("control.Command2") + 4);
    ASSERT_LT(command2Sink, 0x80u) << "the entry's subtrahend is one signed byte";
    put(0x10, {0x83, 0x6C, 0x24, 0x04, std::uint8_t(command1Sink - 1), 0xE9, 0x06, 0x00, 0x00, 0x00});  // to +0x20
    put(0x20, {0xE9, 0x2B, 0x00, 0x00, 0x00});                                                          // to +0x50
    put(0x30, {0x83, 0x6C, 0x24, 0x04, std::uint8_t(command2Sink - 1), 0xE9, 0x06, 0x00, 0x00, 0x00});  // to +0x40
    put(0x40, {0xE9, 0xFB, 0x01, 0x00, 0x00});                                                          // to +0x240
    const Bytes stored = bytesAt(symbol("code_start"), 1760);
    const auto differs = std::ranges::mismatch(stored, expected).in1;
    EXPECT_EQ(differs, stored.end()) << "code range byte 0x" << std::hex << (differs - stored.begin());
}

// The places the stored code names are the routines the runtime expects
// there: the method entries' targets are handlers, the descriptors' exit
// points are resume points and their clean-ups clean-up routines.
TEST(ImageRecords, StoredCodePlacesAreRoutinesOfTheirKind) {
    using runtime_interface::CleanupRoutine;
    using runtime_interface::HandlerRoutine;
    using runtime_interface::ResumePoint;
    const auto routineAt = [](std::uint32_t offset) -> const runtime_interface::CodeTarget* {
        const std::uint32_t address = symbol("code_start") + offset;
        for (const runtime_interface::CodeEntry& e : executable::loadedModule().code)
            if (e.address == address) return &e.target;
        return nullptr;
    };
    enum Kind { Handler, Resume, Cleanup };
    const struct {
        std::uint32_t offset;
        Kind kind;
        const char* what;
    } places[] = {
        {0x050, Handler, "Command1_Click"},
        {0x1D0, Resume, "the slide's exit point"},
        {0x200, Cleanup, "the slide's common clean-up"},
        {0x220, Cleanup, "the slide's unwind clean-up"},
        {0x240, Handler, "Command2_Click"},
        {0x620, Resume, "the gallop's exit point"},
        {0x650, Cleanup, "the gallop's common clean-up"},
        {0x670, Cleanup, "the gallop's unwind clean-up"},
    };
    for (const auto& p : places) {
        const runtime_interface::CodeTarget* target = routineAt(p.offset);
        ASSERT_NE(target, nullptr) << p.what << " has no routine";
        const bool ofItsKind = p.kind == Handler  ? std::holds_alternative<HandlerRoutine>(*target)
                               : p.kind == Resume ? std::holds_alternative<ResumePoint>(*target)
                                                  : std::holds_alternative<CleanupRoutine>(*target);
        ASSERT_TRUE(ofItsKind) << p.what;
    }
    EXPECT_NE(std::get<HandlerRoutine>(*routineAt(0x050)), std::get<HandlerRoutine>(*routineAt(0x240)));
    EXPECT_NE(std::get<CleanupRoutine>(*routineAt(0x220)), std::get<CleanupRoutine>(*routineAt(0x670)))
        << "the gallop's unwind clean-up also frees its sum";
}

TEST(ImageRecords, RecordsFollowEachOtherAsTheChainExpects) {
    EXPECT_EQ(symbol("project_info"), symbol("project_header") + 0x89);
    EXPECT_EQ(symbol("optional_object_info"), symbol("object_info") + 56);
    EXPECT_EQ(symbol("form_description"), symbol("registration") + 68);
    EXPECT_EQ(symbol("gui_table"), symbol("form_description") + 1198714 + 2);
    EXPECT_EQ(bytesAt(symbol("form_description") + 1198714, 2), zeros(2)) << "between description and GUI table";
    EXPECT_EQ(symbol("code_end") - symbol("code_start"), 1760u);
    // The library's GUID, path and name stand right before its record.
    EXPECT_EQ(symbol("control_library_path"), symbol("guid.control_library") + 16);
    EXPECT_EQ(symbol("control_library_name"), symbol("control_library_path") + 20);
    EXPECT_LT(symbol("control_library") - (symbol("control_library_name") + 6), 4u) << "at most alignment between";
}

struct ControlRow {
    const char* name;
    std::uint16_t slots;
    Bytes indexWord;
    const char* eventInterface;               // label of its GUID
    std::optional<std::uint32_t> clickEntry;  // from the code start
};

// In control-table order.
const ControlRow kControlRows[] = {
    {"Img2", 13, u16s({4, 3}), "guid.image_events", std::nullopt},
    {"Img3", 13, u16s({3, 3}), "guid.image_events", std::nullopt},
    {"Form", 31, u32(0xFFFFFFFF), "guid.form_events", std::nullopt},
    {"Command1", 17, u16s({2, 3}), "guid.button_events", 0x10},
    {"Command2", 17, u16s({1, 3}), "guid.button_events", 0x30},
    {"Img1", 13, u16s({5, 3}), "guid.image_events", std::nullopt},
};

TEST(ImageRecords, ControlTableAndEventSinkTables) {
    const std::uint32_t table = symbol("control_table");
    std::uint32_t sinkTable = symbol("sink_table.Img2");
    std::uint32_t previousSink = 0;
    std::map<std::string, std::uint32_t> kindValue;  // by event interface
    for (std::size_t i = 0; i < std::size(kControlRows); ++i) {
        const ControlRow& row = kControlRows[i];
        SCOPED_TRACE(row.name);
        const std::uint32_t r = table + 40 * std::uint32_t(i);
        EXPECT_EQ(bytesAt(r, 4), u16s({0x40, row.slots})) << "flags, event slots";
        const std::uint32_t sink = u32At(r + 4);
        if (i > 0) {
            EXPECT_EQ(sink, previousSink + 4);
        }
        previousSink = sink;
        EXPECT_EQ(u32At(r + 8), symbol(row.eventInterface));
        EXPECT_EQ(bytesAt(r + 12, 4), row.indexWord);
        EXPECT_EQ(bytesAt(r + 16, 8), zeros(8));
        EXPECT_EQ(bytesAt(r + 36, 4), row.indexWord);
        const std::uint32_t value = u32At(r + 28);
        EXPECT_FALSE(value >= image_symbols::kImageBase &&
                     value < image_symbols::kImageBase + image_symbols::kImageSize);
        EXPECT_EQ(kindValue.try_emplace(row.eventInterface, value).first->second, value) << "one value a kind";
        const std::uint32_t name = u32At(r + 32);
        EXPECT_EQ(name, symbol(std::string("control_name.") + row.name));
        EXPECT_EQ(name % 4, 0u);
        EXPECT_EQ(bytesAt(name, std::strlen(row.name) + 1), text(row.name));

        // The sink tables stand back to back in the same order.
        EXPECT_EQ(u32At(r + 24), sinkTable);
        EXPECT_EQ(u32At(sinkTable), 0u);
        EXPECT_EQ(u32At(sinkTable + 4), r);
        EXPECT_EQ(u32At(sinkTable + 8), symbol("object_info"));
        EXPECT_EQ(u32At(sinkTable + 12), symbol("thunk.EVENT_SINK_QueryInterface"));
        EXPECT_EQ(u32At(sinkTable + 16), symbol("thunk.EVENT_SINK_AddRef"));
        EXPECT_EQ(u32At(sinkTable + 20), symbol("thunk.EVENT_SINK_Release"));
        for (std::uint32_t slot = 0; slot < row.slots; ++slot) {
            const std::uint32_t expected = slot == 0 && row.clickEntry ? symbol("code_start") + *row.clickEntry : 0;
            EXPECT_EQ(u32At(sinkTable + 24 + 4 * slot), expected) << "slot " << slot;
        }
        sinkTable += 24 + 4 * row.slots;
    }
    EXPECT_EQ(kindValue.size(), 3u);
    EXPECT_EQ(sinkTable, symbol("method_table"));
}

// The hint and name entries follow the table directly, in import order, each
// on a 2-byte boundary with a zero byte before it where it needs one.
TEST(ImageRecords, ImportLookupTableNamesTheImportsInOrderAndTheStartUpEntryByOrdinal) {
    const std::uint32_t lookup = symbol("import_lookup");
    EXPECT_EQ(u32At(lookup), 0x80000064u) << "ThunRTMain";
    EXPECT_EQ(u32At(lookup + 4 * 38), 0u) << "the table ends";
    const std::uint32_t names = lookup + 4 * 39;
    Bytes expected;
    for (std::uint32_t i = 1; i < 38; ++i) {
        if ((names + expected.size()) % 2) expected.push_back(0);
        EXPECT_EQ(u32At(lookup + 4 * i), names + expected.size()) << kImports[i];
        const Bytes name = text(kImports[i]);
        expected.insert(expected.end(), {0, 0});  // hint
        expected.insert(expected.end(), name.begin(), name.end());
    }
    EXPECT_EQ(bytesAt(names, expected.size()), expected);
    EXPECT_EQ(names + expected.size(), symbol("import_library_name")) << "the library's name follows the last";
}

}  // namespace
}  // namespace zelk::tests
