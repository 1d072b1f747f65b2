#pragma once

// What a loader hands the runtime: the executable's read-only image, its
// writable data block and import address table, and the native routines that
// stand at the code addresses the runtime may be sent to.

#include <cstdint>
#include <span>
#include <variant>

namespace zelk::runtime_interface {

using AnyRoutine = void (*)();

using HandlerRoutine = std::int32_t (*)(std::uintptr_t formReference);  // a click handler's body
using CleanupRoutine = void (*)(void* frameLocals);                     // a handler's clean-ups
struct ResumePoint {};                                                  // a handler's exit point

using CodeTarget = std::variant<HandlerRoutine, CleanupRoutine, ResumePoint>;

struct CodeEntry {
    std::uint32_t address;
    CodeTarget target;
};

struct LoadedModule {
    std::span<const std::uint8_t> image;
    std::span<std::uint8_t> dataBlock;
    std::span<AnyRoutine> importAddressTable;
    std::span<const CodeEntry> code;
};

}  // namespace zelk::runtime_interface
