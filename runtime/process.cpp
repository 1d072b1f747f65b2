#include "runtime/process.h"

#include "formats/byte_reader.h"
#include "formats/import_list.h"
#include "formats/module_header.h"
#include "runtime/exports.h"
#include "runtime/field_reader.h"
#include "runtime/run_time_errors.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace zelk::runtime {
namespace {

Process* gCurrent = nullptr;

std::uint32_t headerWord(std::span<const std::uint8_t> image, std::uint32_t offset) {
    if (image.size() < formats::module_header::kSize) throw BadDescriptor("image is shorter than its module header");
    return std::uint32_t(formats::littleEndian(image.subspan(offset, 4)));
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(unsigned(x)) == std::toupper(unsigned(y));
    });
}

}  // namespace

Process::Process(const runtime_interface::LoadedModule& module) : module_(module), previous_(gCurrent) {
    using namespace formats::module_header;
    if (headerWord(module.image, kMagic) != formats::kModuleMagic) throw BadDescriptor("image has no module header");
    imageBase_ = headerWord(module.image, kImageBase);
    if (headerWord(module.image, kImageSize) != module.image.size())
        throw BadDescriptor("module header's image size differs from the image");
    if (headerWord(module.image, kDataBlockSize) != module.dataBlock.size())
        throw BadDescriptor("module header's data block size differs from the data block");
    space_.map(imageBase_, module.image, "image");
    space_.map(headerWord(module.image, kDataBlock), module.dataBlock, "data block");
    resolveImports();
    gCurrent = this;
}

Process::~Process() { gCurrent = previous_; }

Process& Process::current() {
    if (!gCurrent) {
        std::fputs("runtime: no program is running\n", stderr);
        std::abort();
    }
    return *gCurrent;
}

void Process::resolveImports() {
    namespace field = formats::import_directory;
    const std::uint32_t directory = readField(space_, imageBase_, formats::module_header::kImportDirectory);
    const std::string library = space_.cstr(readField(space_, directory, field::kLibraryName), "import library");
    if (!equalsIgnoringCase(library, formats::kRuntimeLibraryName))
        throw BadDescriptor("imports from an unknown library: " + library);
    const std::uint32_t count = readField(space_, directory, field::kCount);
    if (count != module_.importAddressTable.size())
        throw BadDescriptor("import count differs from the import address table");
    const std::uint32_t lookup = readField(space_, directory, field::kLookupTable);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t entry = readField(space_, lookup, field::lookupEntry(i));
        runtime_interface::AnyRoutine routine = nullptr;
        std::string name;
        if (entry & field::kByOrdinal) {
            const auto ordinal = std::uint16_t(entry & field::kOrdinalMask);
            name = "ordinal " + std::to_string(ordinal);
            routine = findExportByOrdinal(ordinal);
        } else {
            name = space_.cstr(entry + formats::import_name_entry::kName, "import name");
            routine = findExport(name);
        }
        if (!routine) throw BadDescriptor("unresolved import: " + name);
        module_.importAddressTable[i] = routine;
    }
}

const runtime_interface::CodeTarget* Process::nativeRoutine(std::uint32_t address) const {
    return runtime::nativeRoutine(module_.code, address);
}

EntryRoad Process::followEntry(std::uint32_t address) const {
    return runtime::followEntry(space_, module_.code, address);
}

std::int32_t Process::enterHandler(const EntryRoad& road, std::uintptr_t entryArgument) {
    std::int32_t status = 0;
    // Whatever leaves the program's code reaches the user as a run-time error;
    // nothing may unwind into the window system's event dispatch.
    try {
        status = road.handler(entryArgument + std::uintptr_t(road.adjustment));
    } catch (const runtime_interface::RaisedError& error) {
        failWith(error);  // no registration took it
    } catch (const std::bad_alloc&) {
        failWith(runTimeError(RunTimeError::OutOfMemory));
    } catch (const std::exception& e) {
        failWith(runTimeError(RunTimeError::InternalError, e.what()));
    } catch (...) {
        failWith(runTimeError(RunTimeError::InternalError));
    }
    if (auto error = takePendingError()) failWith(*error);
    return status;
}

void Process::failWith(const runtime_interface::RaisedError& error) {
    if (errorSink_)
        errorSink_(error);
    else
        reportAndExit(error);
}

}  // namespace zelk::runtime
