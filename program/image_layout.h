#pragma once

// Where the executable's image and its writable parts lie in the program's
// 32-bit address space, and where each routine of the code range starts.

#include "formats/import_list.h"
#include "formats/module_header.h"
#include "formats/procedure_descriptor.h"

#include <cstdint>

namespace zelk::program {

inline constexpr std::uint32_t kImageBase = 0x00401000;
inline constexpr std::uint32_t kThunkSize = 8;  // jmp [slot], padded
inline constexpr std::uint32_t kThunks = kImageBase + formats::module_header::kSize;
inline constexpr std::uint32_t kCodeStart = kThunks + kThunkSize * formats::kImportCount;
inline constexpr std::uint32_t kCodeSize = 1760;
inline constexpr std::uint32_t kCodeEnd = kCodeStart + kCodeSize;

// The handlers' procedure descriptors and the project header
// stand at fixed places right after the code range, so the program's code
// can name them as a linker would.
inline constexpr std::uint32_t kSlideProcedure = kCodeEnd;
inline constexpr std::uint32_t kGallopProcedure = kSlideProcedure + formats::procedure_descriptor::kSize;
inline constexpr std::uint32_t kProjectHeader = kGallopProcedure + formats::procedure_descriptor::kSize;

inline constexpr std::uint32_t kDataBlock = 0x00800000;
inline constexpr std::uint32_t kDataBlockSize = 2540;
inline constexpr std::uint32_t kImportAddressTable = 0x00801000;  // 4 bytes a slot

inline constexpr std::uint32_t thunk(formats::Import import) { return kThunks + kThunkSize * std::uint32_t(import); }
inline constexpr std::uint32_t importSlot(formats::Import import) {
    return kImportAddressTable + 4 * std::uint32_t(import);
}

// Routines of the code range, after its 16-byte head.
enum class Code : int {
    Command1ClickEvent,
    Command1ClickMethod,
    Command2ClickEvent,
    Command2ClickMethod,
    Command1ClickBody,
    SlideExitPoint,
    SlideCommonCleanup,
    SlideUnwindCleanup,
    Command2ClickBody,
    GallopExitPoint,
    GallopCommonCleanup,
    GallopUnwindCleanup,
};

struct CodePlace {
    Code code;
    std::uint32_t offset;  // from code start
    std::uint32_t size;
};

// clang-format off
inline constexpr CodePlace kCodePlaces[] = {
    {Code::Command1ClickEvent, 0x010, 0x10},  {Code::Command1ClickMethod, 0x020, 0x10},
    {Code::Command2ClickEvent, 0x030, 0x10},  {Code::Command2ClickMethod, 0x040, 0x10},
    {Code::Command1ClickBody, 0x050, 0x180},      {Code::SlideExitPoint, 0x1D0, 0x30},
    {Code::SlideCommonCleanup, 0x200, 0x20},  {Code::SlideUnwindCleanup, 0x220, 0x20},
    {Code::Command2ClickBody, 0x240, 0x3E0},      {Code::GallopExitPoint, 0x620, 0x30},
    {Code::GallopCommonCleanup, 0x650, 0x20}, {Code::GallopUnwindCleanup, 0x670, 0x30},
};
// clang-format on
static_assert(kCodePlaces[11].offset + kCodePlaces[11].size <= kCodeSize);

inline constexpr std::uint32_t codeAddress(Code code) { return kCodeStart + kCodePlaces[int(code)].offset; }

}  // namespace zelk::program
