#pragma once

// The runtime's exported operations, under the names the program imports them
// by. The program reaches them only through its import address table.

#include "runtime_interface/vb_types.h"

#include <cstdint>

namespace zelk::vb {

struct HandlerFrameRecord;
class RaisedError;

enum class ExceptionDisposition : std::int32_t { ContinueSearch = 1, ResumeAtExitPoint = 2 };

// Start-up entry (ordinal 100): never returns.
[[noreturn]] void ThunRTMain(std::uint32_t projectHeader);

std::int32_t EVENT_SINK_QueryInterface(void* sink, const Guid* iid, void** out);
std::uint32_t EVENT_SINK_AddRef(void* sink);
std::uint32_t EVENT_SINK_Release(void* sink);

ImageControlInterface* __vbaObjSet(ImageControlInterface** temporary, ImageControlInterface* reference);
void __vbaFreeObj(ImageControlInterface** temporary);
void __vbaHresultCheckObj(std::int32_t status, ImageControlInterface* control, const Guid* iid, std::int32_t slot);
[[noreturn]] void __vbaErrorOverflow();
[[noreturn]] void __vbaFPException();

std::int32_t __vbaVarForInit(Variant* counter, Variant* hiddenEnd, Variant* hiddenStep, const Variant* start,
                             const Variant* end, const Variant* step);
std::int32_t __vbaVarForNext(Variant* counter, Variant* hiddenEnd, Variant* hiddenStep);
Variant* __vbaVarAdd(Variant* result, const Variant* addend, const Variant* variable);
float __vbaR4Var(const Variant* value);
void __vbaFreeVar(Variant* value);
void __vbaFreeVarList(std::int32_t count, ...);

ExceptionDisposition __vbaExceptHandler(const RaisedError& error, HandlerFrameRecord* frame);

void __vbaChkstk(std::uint32_t bytes);
std::int64_t _allmul(std::int64_t a, std::int64_t b);

double _CIcos(double x);
double _CIsin(double x);
double _CItan(double x);
double _CIatan(double x);
double _CIexp(double x);
double _CIlog(double x);
double _CIsqrt(double x);

// Divisions that once worked around a faulty divider: dividend / divisor, and
// the reversed forms divisor-first.
double _adj_fdiv_m16i(double dividend, std::int16_t divisor);
double _adj_fdiv_m32(double dividend, float divisor);
double _adj_fdiv_m32i(double dividend, std::int32_t divisor);
double _adj_fdiv_m64(double dividend, double divisor);
double _adj_fdiv_r(double dividend, double divisor);
double _adj_fdivr_m16i(double divisor, std::int16_t dividend);
double _adj_fdivr_m32(double divisor, float dividend);
double _adj_fdivr_m32i(double divisor, std::int32_t dividend);
double _adj_fdivr_m64(double divisor, double dividend);
double _adj_fprem(double x, double y);
double _adj_fprem1(double x, double y);
double _adj_fpatan(double y, double x);
double _adj_fptan(double x);

}  // namespace zelk::vb
