#pragma once

// Shared fixtures: the embedded image and its labels, a running process, and
// a way to swap one import for a spy for the length of a test.

#include "image_symbols.h"
#include "executable/executable_module.h"
#include "runtime/process.h"
#include "program/imports.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace zelk::test {

inline std::uint32_t symbol(std::string_view name) {
    for (const auto& s : image_symbols::kSymbols)
        if (s.name == name) return s.address;
    throw std::out_of_range("no image symbol " + std::string(name));
}

inline std::span<const std::uint8_t> image() { return executable::loadedModule().image; }

// Bytes at a 32-bit address of the image.
inline std::span<const std::uint8_t> at(std::uint32_t address, std::size_t count) {
    return image().subspan(address - image_symbols::kImageBase, count);
}

inline std::uint32_t u32At(std::uint32_t address) {
    std::uint32_t v;
    std::memcpy(&v, at(address, 4).data(), 4);
    return v;
}

// One process per test program, as in the real executable.
inline rt::Process& process() {
    static rt::Process p(executable::loadedModule());
    return p;
}

// Replaces an import for the lifetime of the object.
template <rt::Import I>
class ImportSpy {
public:
    using Fn = typename program::ImportType<I>::type;
    // The process resolves the imports first, so the spy is not overwritten.
    explicit ImportSpy(Fn replacement) : saved_((process(), program::importAddressTable[int(I)])) {
        program::importAddressTable[int(I)] = reinterpret_cast<rt::AnyRoutine>(replacement);
    }
    ~ImportSpy() { program::importAddressTable[int(I)] = saved_; }
    ImportSpy(const ImportSpy&) = delete;
    ImportSpy& operator=(const ImportSpy&) = delete;

private:
    rt::AnyRoutine saved_;
};

}  // namespace zelk::test
