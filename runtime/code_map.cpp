#include "code_map.h"

namespace zelk::rt {

const CodeTarget* findCode(std::span<const CodeEntry> code, std::uint32_t address) {
    for (const CodeEntry& e : code)
        if (e.address == address && address != 0) return &e.target;
    return nullptr;
}

}  // namespace zelk::rt
