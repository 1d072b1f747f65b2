#pragma once

// The runtime's operations that the program imports, in import-table order,
// as the runtime's export list gives them: X(name, ordinal), where an ordinal
// means the operation is imported by that ordinal alone, not by name.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>

#define ZELK_RUNTIME_IMPORTS(X)                \
    X(ThunRTMain, 100)                         \
    X(EVENT_SINK_QueryInterface, std::nullopt) \
    X(EVENT_SINK_AddRef, std::nullopt)         \
    X(EVENT_SINK_Release, std::nullopt)        \
    X(__vbaObjSet, std::nullopt)               \
    X(__vbaFreeObj, std::nullopt)              \
    X(__vbaHresultCheckObj, std::nullopt)      \
    X(__vbaErrorOverflow, std::nullopt)        \
    X(__vbaVarForInit, std::nullopt)           \
    X(__vbaVarForNext, std::nullopt)           \
    X(__vbaVarAdd, std::nullopt)               \
    X(__vbaR4Var, std::nullopt)                \
    X(__vbaFreeVar, std::nullopt)              \
    X(__vbaFreeVarList, std::nullopt)          \
    X(__vbaExceptHandler, std::nullopt)        \
    X(__vbaChkstk, std::nullopt)               \
    X(__vbaFPException, std::nullopt)          \
    X(_allmul, std::nullopt)                   \
    X(_CIcos, std::nullopt)                    \
    X(_CIsin, std::nullopt)                    \
    X(_CItan, std::nullopt)                    \
    X(_CIatan, std::nullopt)                   \
    X(_CIexp, std::nullopt)                    \
    X(_CIlog, std::nullopt)                    \
    X(_CIsqrt, std::nullopt)                   \
    X(_adj_fdiv_m16i, std::nullopt)            \
    X(_adj_fdiv_m32, std::nullopt)             \
    X(_adj_fdiv_m32i, std::nullopt)            \
    X(_adj_fdiv_m64, std::nullopt)             \
    X(_adj_fdiv_r, std::nullopt)               \
    X(_adj_fdivr_m16i, std::nullopt)           \
    X(_adj_fdivr_m32, std::nullopt)            \
    X(_adj_fdivr_m32i, std::nullopt)           \
    X(_adj_fdivr_m64, std::nullopt)            \
    X(_adj_fprem, std::nullopt)                \
    X(_adj_fprem1, std::nullopt)               \
    X(_adj_fpatan, std::nullopt)               \
    X(_adj_fptan, std::nullopt)

namespace zelk::formats {

enum class Import : int {
#define ZELK_IMPORT_ENUM(name, ordinal) name,
    ZELK_RUNTIME_IMPORTS(ZELK_IMPORT_ENUM)
#undef ZELK_IMPORT_ENUM
};

struct ImportEntry {
    std::string_view name;
    std::optional<std::uint16_t> ordinal;  // imported by this ordinal alone

    bool byOrdinal() const { return ordinal.has_value(); }
};

inline constexpr ImportEntry kImports[] = {
#define ZELK_IMPORT_ENTRY(name, ordinal) {#name, ordinal},
    ZELK_RUNTIME_IMPORTS(ZELK_IMPORT_ENTRY)
#undef ZELK_IMPORT_ENTRY
};

inline constexpr int kImportCount = int(std::size(kImports));

inline constexpr const ImportEntry& importEntry(Import import) { return kImports[int(import)]; }

inline constexpr std::string_view kRuntimeLibraryName = "MSVBVM60.DLL";

}  // namespace zelk::formats
