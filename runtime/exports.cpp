#include "runtime/exports.h"

#include "formats/import_list.h"

namespace zelk::runtime {
namespace {

using runtime_interface::AnyRoutine;

// The runtime's export list: the same list the program imports from, each
// operation under its name or, where the list gives one, its ordinal alone.
struct Export {
    formats::ImportEntry entry;
    runtime_interface::AnyRoutine routine;
};

const Export kExports[] = {
#define ZELK_EXPORT(name, ordinal) \
    {formats::importEntry(formats::Import::name), reinterpret_cast<runtime_interface::AnyRoutine>(&name)},
    ZELK_RUNTIME_IMPORTS(ZELK_EXPORT)
#undef ZELK_EXPORT
};

}  // namespace

runtime_interface::AnyRoutine findExport(std::string_view name) {
    for (const Export& e : kExports)
        if (!e.entry.byOrdinal() && e.entry.name == name) return e.routine;
    return nullptr;
}

runtime_interface::AnyRoutine findExportByOrdinal(std::uint16_t ordinal) {
    for (const Export& e : kExports)
        if (e.entry.ordinal == ordinal) return e.routine;
    return nullptr;
}

}  // namespace zelk::runtime
