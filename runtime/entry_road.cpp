#include "runtime/entry_road.h"

#include "runtime/process.h"

#include <cstdio>
#include <string>

namespace zelk::runtime {
namespace {

// An entry subtracts from its argument, then jumps; a method entry only jumps.
constexpr int kMaxInstructions = 8;

bool startsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix) {
    std::size_t i = 0;
    for (std::uint8_t b : prefix)
        if (bytes[i++] != b) return false;
    return true;
}

EntryRoad followEntryCode(const AddressSpace& space, std::span<const runtime_interface::CodeEntry> code,
                          std::uint32_t entry) {
    std::int64_t adjustment = 0;
    std::uint32_t at = entry;
    for (int step = 0; step < kMaxInstructions; ++step) {
        if (const runtime_interface::CodeTarget* target = nativeRoutine(code, at)) {
            if (const auto* handler = std::get_if<runtime_interface::HandlerRoutine>(target))
                return {*handler, adjustment};
            throw BadDescriptor("entry at " + hexAddress(entry) + " leads to a handler's clean-up or exit point at " +
                                hexAddress(at));
        }
        const std::uint8_t opcode = space.u8(at, "entry code");
        if (opcode == 0xE9) {  // jmp rel32
            at = at + 5 + space.u32(at + 1, "entry jump");
        } else if (opcode == 0x83 && startsWith(space.bytes(at, 4, "entry code"), {0x83, 0x6C, 0x24, 0x04})) {
            // sub dword [esp+4], imm8
            adjustment -= std::int8_t(space.u8(at + 4, "entry subtrahend"));
            at += 5;
        } else if (opcode == 0x81 && startsWith(space.bytes(at, 4, "entry code"), {0x81, 0x6C, 0x24, 0x04})) {
            // sub dword [esp+4], imm32
            adjustment -= std::int32_t(space.u32(at + 4, "entry subtrahend"));
            at += 8;
        } else {
            char byte[8];
            std::snprintf(byte, sizeof byte, "0x%02X", opcode);
            throw BadDescriptor("entry at " + hexAddress(entry) + " holds code the runtime cannot follow (" + byte +
                                " at " + hexAddress(at) + ")");
        }
    }
    throw BadDescriptor("entry at " + hexAddress(entry) + " reaches no handler");
}

}  // namespace

const runtime_interface::CodeTarget* nativeRoutine(std::span<const runtime_interface::CodeEntry> code,
                                                   std::uint32_t address) {
    for (const runtime_interface::CodeEntry& e : code)
        if (e.address == address) return &e.target;
    return nullptr;
}

EntryRoad followEntry(const AddressSpace& space, std::span<const runtime_interface::CodeEntry> code,
                      std::uint32_t entry) {
    try {
        return followEntryCode(space, code, entry);
    } catch (const BadAddress& e) {
        throw BadAddress("entry at " + hexAddress(entry) + " leads outside the image: " + e.what());
    }
}

}  // namespace zelk::runtime
