#pragma once

// Shared fixtures: the embedded image and its labels, a running process, a
// way to swap one import for a spy for the length of a test, and the form's
// pictures by name.

#include "image_symbols.h"
#include "executable/executable_module.h"
#include "runtime/form_instance.h"
#include "runtime/process.h"
#include "program/imports.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zelk::tests {

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
inline runtime::Process& process() {
    static runtime::Process p(executable::loadedModule());
    return p;
}

// The `size` low bytes of `v`, least significant first, as the image stores numbers.
inline std::vector<std::uint8_t> littleEndianBytes(std::uint32_t v, int size = 4) {
    std::vector<std::uint8_t> out;
    for (int i = 0; i < size; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
    return out;
}

struct Write {
    std::uint32_t address;
    std::vector<std::uint8_t> bytes;
};

// A copy of the image with some bytes changed, and a process of it.
class PatchedImage {
public:
    explicit PatchedImage(const std::vector<Write>& writes) : bytes_(image().begin(), image().end()) {
        write(writes);
        module_ = executable::loadedModule();
        module_.image = bytes_;
    }
    // Also after the process has mapped the copy: it reads the changed bytes.
    void write(const std::vector<Write>& writes) {
        for (const Write& w : writes)
            for (std::size_t i = 0; i < w.bytes.size(); ++i)
                bytes_.at(w.address - image_symbols::kImageBase + i) = w.bytes[i];
    }
    PatchedImage(const PatchedImage&) = delete;
    PatchedImage& operator=(const PatchedImage&) = delete;

    const runtime_interface::LoadedModule& module() const { return module_; }
    runtime::Process& process() {
        if (!process_) process_ = std::make_unique<runtime::Process>(module_);
        return *process_;
    }

private:
    std::vector<std::uint8_t> bytes_;
    runtime_interface::LoadedModule module_;
    std::unique_ptr<runtime::Process> process_;
};

// Replaces an import for the lifetime of the object.
template <formats::Import I>
class ImportSpy {
public:
    using Fn = typename program::ImportType<I>::type;
    // The process resolves the imports first, so the spy is not overwritten.
    explicit ImportSpy(Fn replacement) : saved_((process(), program::importAddressTable[int(I)])) {
        program::importAddressTable[int(I)] = reinterpret_cast<runtime_interface::AnyRoutine>(replacement);
    }
    ~ImportSpy() { program::importAddressTable[int(I)] = saved_; }
    ImportSpy(const ImportSpy&) = delete;
    ImportSpy& operator=(const ImportSpy&) = delete;

private:
    runtime_interface::AnyRoutine saved_;
};

// A picture control of the form by its name.
inline runtime::ImageControl& imageNamed(const runtime::FormInstance& form, std::string_view name) {
    for (const auto& i : form.images())
        if (i->name() == name) return *i;
    throw std::out_of_range("no picture " + std::string(name));
}

struct PictureState {
    bool visible;
    double left;  // twips
};

// Img1, Img2 and Img3 as `want` lists them; `when` names the moment in failures.
inline void expectPictures(const runtime::FormInstance& form, const PictureState (&want)[3], const char* when = "") {
    SCOPED_TRACE(when);
    const char* names[] = {"Img1", "Img2", "Img3"};
    for (int i = 0; i < 3; ++i) {
        const runtime::ImageControl& image = imageNamed(form, names[i]);
        EXPECT_EQ(image.visible(), want[i].visible) << names[i];
        EXPECT_EQ(image.leftTwips(), want[i].left) << names[i];
    }
}

}  // namespace zelk::tests
