// Variants and the counted loop over a variant.
#include "runtime_interface/raised_error.h"
#include "runtime_interface/vb_operations.h"

#include <cstdarg>
#include <cstdint>
#include <limits>

namespace zelk::vb {
namespace {

[[noreturn]] void typeMismatch() { throw RaisedError(13, "Type mismatch"); }
[[noreturn]] void overflow() { throw RaisedError(6, "Overflow"); }

// The whole numbers a loop or a sum works on; empty counts as 0.
std::int64_t wholeValue(const Variant& v) {
    switch (v.vt) {
        case VT_EMPTY: return 0;
        case VT_I2: return v.iVal;
        case VT_I4: return v.lVal;
        default: typeMismatch();
    }
}

bool isWhole(const Variant& v) { return v.vt == VT_EMPTY || v.vt == VT_I2 || v.vt == VT_I4; }

// The narrowest of the operands' whole types that holds the value.
Variant wholeVariant(std::int64_t value, bool allowI2) {
    Variant out{};
    if (allowI2 && value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max()) {
        out.vt = VT_I2;
        out.iVal = std::int16_t(value);
    } else if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()) {
        out.vt = VT_I4;
        out.lVal = std::int32_t(value);
    } else {
        overflow();
    }
    return out;
}

bool loopGoesOn(std::int64_t counter, std::int64_t end, std::int64_t step) {
    return step >= 0 ? counter <= end : counter >= end;
}

}  // namespace

std::int32_t __vbaVarForInit(Variant* counter, Variant* hiddenEnd, Variant* hiddenStep, const Variant* start,
                             const Variant* end, const Variant* step) {
    if (!isWhole(*start) || !isWhole(*end) || !isWhole(*step)) typeMismatch();
    const bool narrow = start->vt != VT_I4 && end->vt != VT_I4 && step->vt != VT_I4;
    *hiddenEnd = wholeVariant(wholeValue(*end), narrow);
    *hiddenStep = wholeVariant(wholeValue(*step), narrow);
    *counter = wholeVariant(wholeValue(*start), narrow);
    return loopGoesOn(wholeValue(*counter), wholeValue(*hiddenEnd), wholeValue(*hiddenStep)) ? 1 : 0;
}

std::int32_t __vbaVarForNext(Variant* counter, Variant* hiddenEnd, Variant* hiddenStep) {
    const std::int64_t step = wholeValue(*hiddenStep);
    *counter = wholeVariant(wholeValue(*counter) + step, counter->vt != VT_I4 && hiddenStep->vt != VT_I4);
    return loopGoesOn(wholeValue(*counter), wholeValue(*hiddenEnd), step) ? 1 : 0;
}

Variant* __vbaVarAdd(Variant* result, const Variant* addend, const Variant* variable) {
    if (!isWhole(*addend) || !isWhole(*variable)) typeMismatch();
    const bool narrow = addend->vt != VT_I4 && variable->vt != VT_I4;
    *result = wholeVariant(wholeValue(*variable) + wholeValue(*addend), narrow);
    return result;
}

float __vbaR4Var(const Variant* value) {
    switch (value->vt) {
        case VT_EMPTY: return 0.0f;
        case VT_I2: return float(value->iVal);
        case VT_I4: return float(value->lVal);
        case VT_R4: return value->fltVal;
        case VT_R8: return float(value->dblVal);
        default: typeMismatch();
    }
}

// None of the types in use holds a resource; freeing empties the variant.
void __vbaFreeVar(Variant* value) { *value = Variant{}; }

void __vbaFreeVarList(std::int32_t count, ...) {
    va_list args;
    va_start(args, count);
    for (std::int32_t i = 0; i < count; ++i) __vbaFreeVar(va_arg(args, Variant*));
    va_end(args);
}

}  // namespace zelk::vb
