#pragma once

// The program's code addresses and the native routines they stand for. The
// runtime "calls an address" by looking it up here.

#include <cstdint>
#include <span>
#include <variant>

namespace zelk::rt {

using EntryRoutine = std::int32_t (*)(std::uintptr_t argument);  // event and method entries
using CleanupRoutine = void (*)(void* frameLocals);              // a handler's clean-ups
struct ResumePoint {};                                           // a handler's exit point
struct ImportJump {
    int importIndex;
};

using CodeTarget = std::variant<EntryRoutine, CleanupRoutine, ResumePoint, ImportJump>;

struct CodeEntry {
    std::uint32_t address;
    CodeTarget target;
};

// Null when the address is no code of the program.
const CodeTarget* findCode(std::span<const CodeEntry> code, std::uint32_t address);

}  // namespace zelk::rt
