#pragma once

// The signature of each operation the program imports from its runtime, under
// its import name. The program calls them only through its import address
// table; the runtime declares its exports with these same signatures.

#include "formats/guid.h"
#include "runtime_interface/exception_chain.h"
#include "runtime_interface/image_control_interface.h"
#include "runtime_interface/variant.h"

#include <cstdint>

namespace zelk::runtime_interface::signature {

using formats::Guid;

// The start-up entry, imported by ordinal: never returns.
using ThunRTMain = void(std::uint32_t projectHeader);

using EVENT_SINK_QueryInterface = std::int32_t(void* sink, const formats::Guid* interfaceId, void** out);
using EVENT_SINK_AddRef = std::uint32_t(void* sink);
using EVENT_SINK_Release = std::uint32_t(void* sink);

using __vbaObjSet = ImageControlInterface*(ImageControlInterface** temporary, ImageControlInterface* reference);
using __vbaFreeObj = void(ImageControlInterface** temporary);
using __vbaHresultCheckObj = void(std::int32_t status, ImageControlInterface* control, const formats::Guid* interfaceId,
                                  std::int32_t slot);
using __vbaErrorOverflow = void();  // never returns
using __vbaFPException = void();    // never returns

using __vbaVarForInit = std::int32_t(Variant* counter, Variant* hiddenEnd, Variant* hiddenStep, const Variant* start,
                                     const Variant* end, const Variant* step);
using __vbaVarForNext = std::int32_t(Variant* counter, Variant* hiddenEnd, Variant* hiddenStep);
using __vbaVarAdd = Variant*(Variant* result, const Variant* addend, const Variant* variable);
using __vbaR4Var = float(const Variant* value);
using __vbaFreeVar = void(Variant* value);
using __vbaFreeVarList = void(std::int32_t count, ...);

using __vbaExceptHandler = ExceptionDisposition(const RaisedError& error, HandlerFrameRecord* frame);

using __vbaChkstk = void(std::uint32_t bytes);
using _allmul = std::int64_t(std::int64_t a, std::int64_t b);

using _CIcos = double(double x);
using _CIsin = double(double x);
using _CItan = double(double x);
using _CIatan = double(double x);
using _CIexp = double(double x);
using _CIlog = double(double x);
using _CIsqrt = double(double x);

// Divisions that once worked around a faulty divider: dividend / divisor, and
// the reversed forms divisor-first.
using _adj_fdiv_m16i = double(double dividend, std::int16_t divisor);
using _adj_fdiv_m32 = double(double dividend, float divisor);
using _adj_fdiv_m32i = double(double dividend, std::int32_t divisor);
using _adj_fdiv_m64 = double(double dividend, double divisor);
using _adj_fdiv_r = double(double dividend, double divisor);
using _adj_fdivr_m16i = double(double divisor, std::int16_t dividend);
using _adj_fdivr_m32 = double(double divisor, float dividend);
using _adj_fdivr_m32i = double(double divisor, std::int32_t dividend);
using _adj_fdivr_m64 = double(double divisor, double dividend);
using _adj_fprem = double(double x, double y);
using _adj_fprem1 = double(double x, double y);
using _adj_fpatan = double(double y, double x);
using _adj_fptan = double(double x);

}  // namespace zelk::runtime_interface::signature
