#include "runtime/exports.h"

#include "formats/import_list.h"
#include "runtime_interface/vb_operations.h"

namespace zelk::rt {
namespace {

struct Export {
    std::string_view name;
    AnyRoutine routine;
};

const Export kExports[] = {
#define ZELK_EXPORT(name) {#name, reinterpret_cast<AnyRoutine>(&vb::name)},
    ZELK_RUNTIME_IMPORTS(ZELK_EXPORT)
#undef ZELK_EXPORT
};

}  // namespace

AnyRoutine findExport(std::string_view name) {
    for (const Export& e : kExports)
        if (e.name == name && e.name != "ThunRTMain") return e.routine;  // exported by ordinal only
    return nullptr;
}

AnyRoutine findExportByOrdinal(std::uint16_t ordinal) {
    return ordinal == kStartUpOrdinal ? reinterpret_cast<AnyRoutine>(&vb::ThunRTMain) : nullptr;
}

}  // namespace zelk::rt
