#pragma once

// The runtime's exports: the operations the program imports, declared with
// the signatures the program calls them by, and the lookup a loader binds the
// program's imports with.

#include "runtime_interface/loaded_module.h"
#include "runtime_interface/runtime_operations.h"

#include <cstdint>
#include <string_view>

namespace zelk::runtime {

namespace signature = runtime_interface::signature;

[[noreturn]] signature::ThunRTMain ThunRTMain;

signature::EVENT_SINK_QueryInterface EVENT_SINK_QueryInterface;
signature::EVENT_SINK_AddRef EVENT_SINK_AddRef;
signature::EVENT_SINK_Release EVENT_SINK_Release;

signature::__vbaObjSet __vbaObjSet;
signature::__vbaFreeObj __vbaFreeObj;
signature::__vbaHresultCheckObj __vbaHresultCheckObj;
[[noreturn]] signature::__vbaErrorOverflow __vbaErrorOverflow;
[[noreturn]] signature::__vbaFPException __vbaFPException;

signature::__vbaVarForInit __vbaVarForInit;
signature::__vbaVarForNext __vbaVarForNext;
signature::__vbaVarAdd __vbaVarAdd;
signature::__vbaR4Var __vbaR4Var;
signature::__vbaFreeVar __vbaFreeVar;
signature::__vbaFreeVarList __vbaFreeVarList;

signature::__vbaExceptHandler __vbaExceptHandler;

signature::__vbaChkstk __vbaChkstk;
signature::_allmul _allmul;

signature::_CIcos _CIcos;
signature::_CIsin _CIsin;
signature::_CItan _CItan;
signature::_CIatan _CIatan;
signature::_CIexp _CIexp;
signature::_CIlog _CIlog;
signature::_CIsqrt _CIsqrt;

signature::_adj_fdiv_m16i _adj_fdiv_m16i;
signature::_adj_fdiv_m32 _adj_fdiv_m32;
signature::_adj_fdiv_m32i _adj_fdiv_m32i;
signature::_adj_fdiv_m64 _adj_fdiv_m64;
signature::_adj_fdiv_r _adj_fdiv_r;
signature::_adj_fdivr_m16i _adj_fdivr_m16i;
signature::_adj_fdivr_m32 _adj_fdivr_m32;
signature::_adj_fdivr_m32i _adj_fdivr_m32i;
signature::_adj_fdivr_m64 _adj_fdivr_m64;
signature::_adj_fprem _adj_fprem;
signature::_adj_fprem1 _adj_fprem1;
signature::_adj_fpatan _adj_fpatan;
signature::_adj_fptan _adj_fptan;

// The export of that name or ordinal; null when the runtime has none.
runtime_interface::AnyRoutine findExport(std::string_view name);
runtime_interface::AnyRoutine findExportByOrdinal(std::uint16_t ordinal);

}  // namespace zelk::runtime
