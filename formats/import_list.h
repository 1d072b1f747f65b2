#pragma once

// The runtime's imports as the program lists them, in import-table order.
// X(name) for each; the start-up entry is imported by ordinal.

#define ZELK_RUNTIME_IMPORTS(X) \
    X(ThunRTMain)               \
    X(EVENT_SINK_QueryInterface) \
    X(EVENT_SINK_AddRef)        \
    X(EVENT_SINK_Release)       \
    X(__vbaObjSet)              \
    X(__vbaFreeObj)             \
    X(__vbaHresultCheckObj)     \
    X(__vbaErrorOverflow)       \
    X(__vbaVarForInit)          \
    X(__vbaVarForNext)          \
    X(__vbaVarAdd)              \
    X(__vbaR4Var)               \
    X(__vbaFreeVar)             \
    X(__vbaFreeVarList)         \
    X(__vbaExceptHandler)       \
    X(__vbaChkstk)              \
    X(__vbaFPException)         \
    X(_allmul)                  \
    X(_CIcos)                   \
    X(_CIsin)                   \
    X(_CItan)                   \
    X(_CIatan)                  \
    X(_CIexp)                   \
    X(_CIlog)                   \
    X(_CIsqrt)                  \
    X(_adj_fdiv_m16i)           \
    X(_adj_fdiv_m32)            \
    X(_adj_fdiv_m32i)           \
    X(_adj_fdiv_m64)            \
    X(_adj_fdiv_r)              \
    X(_adj_fdivr_m16i)          \
    X(_adj_fdivr_m32)           \
    X(_adj_fdivr_m32i)          \
    X(_adj_fdivr_m64)           \
    X(_adj_fprem)               \
    X(_adj_fprem1)              \
    X(_adj_fpatan)              \
    X(_adj_fptan)

#include <array>
#include <cstdint>
#include <string_view>

namespace zelk::rt {

enum class Import : int {
#define ZELK_IMPORT_ENUM(name) name,
    ZELK_RUNTIME_IMPORTS(ZELK_IMPORT_ENUM)
#undef ZELK_IMPORT_ENUM
};

inline constexpr std::array<std::string_view, 38> kImportNames = {
#define ZELK_IMPORT_NAME(name) #name,
    ZELK_RUNTIME_IMPORTS(ZELK_IMPORT_NAME)
#undef ZELK_IMPORT_NAME
};

inline constexpr int kImportCount = int(kImportNames.size());
inline constexpr std::uint16_t kStartUpOrdinal = 100;
inline constexpr std::string_view kRuntimeLibraryName = "MSVBVM60.DLL";

}  // namespace zelk::rt
