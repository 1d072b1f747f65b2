// Variants and the counted loop over a variant.
#include "runtime/exports.h"
#include "runtime/run_time_errors.h"

#include <cstdarg>
#include <cstdint>
#include <limits>

namespace zelk::runtime {
namespace {

using runtime_interface::Variant;

// The whole numbers a loop or a sum works on; empty counts as 0.
std::int64_t wholeValue(const Variant& v) {
    switch (v.type) {
        case runtime_interface::VariantType::Empty: return 0;
        case runtime_interface::VariantType::Integer16: return v.integer16;
        case runtime_interface::VariantType::Integer32: return v.integer32;
        default: raiseRunTimeError(RunTimeError::TypeMismatch);
    }
}

bool isWhole(const Variant& v) {
    return v.type == runtime_interface::VariantType::Empty || v.type == runtime_interface::VariantType::Integer16 ||
           v.type == runtime_interface::VariantType::Integer32;
}

// The narrowest of the operands' whole types that holds the value.
Variant wholeVariant(std::int64_t value, bool allowI2) {
    Variant out{};
    if (allowI2 && value >= std::numeric_limits<std::int16_t>::min() &&
        value <= std::numeric_limits<std::int16_t>::max()) {
        out.type = runtime_interface::VariantType::Integer16;
        out.integer16 = std::int16_t(value);
    } else if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()) {
        out.type = runtime_interface::VariantType::Integer32;
        out.integer32 = std::int32_t(value);
    } else {
        raiseRunTimeError(RunTimeError::Overflow);
    }
    return out;
}

bool loopGoesOn(std::int64_t counter, std::int64_t end, std::int64_t step) {
    return step >= 0 ? counter <= end : counter >= end;
}

}  // namespace

std::int32_t __vbaVarForInit(Variant* counter, Variant* hiddenEnd, Variant* hiddenStep, const Variant* start,
                             const Variant* end, const Variant* step) {
    if (!isWhole(*start) || !isWhole(*end) || !isWhole(*step)) raiseRunTimeError(RunTimeError::TypeMismatch);
    const bool narrow = start->type != runtime_interface::VariantType::Integer32 &&
                        end->type != runtime_interface::VariantType::Integer32 &&
                        step->type != runtime_interface::VariantType::Integer32;
    *hiddenEnd = wholeVariant(wholeValue(*end), narrow);
    *hiddenStep = wholeVariant(wholeValue(*step), narrow);
    *counter = wholeVariant(wholeValue(*start), narrow);
    return loopGoesOn(wholeValue(*counter), wholeValue(*hiddenEnd), wholeValue(*hiddenStep)) ? 1 : 0;
}

std::int32_t __vbaVarForNext(Variant* counter, Variant* hiddenEnd, Variant* hiddenStep) {
    const std::int64_t step = wholeValue(*hiddenStep);
    *counter = wholeVariant(wholeValue(*counter) + step,
                            counter->type != runtime_interface::VariantType::Integer32 &&
                                hiddenStep->type != runtime_interface::VariantType::Integer32);
    return loopGoesOn(wholeValue(*counter), wholeValue(*hiddenEnd), step) ? 1 : 0;
}

Variant* __vbaVarAdd(Variant* result, const Variant* addend, const Variant* variable) {
    if (!isWhole(*addend) || !isWhole(*variable)) raiseRunTimeError(RunTimeError::TypeMismatch);
    const bool narrow = addend->type != runtime_interface::VariantType::Integer32 &&
                        variable->type != runtime_interface::VariantType::Integer32;
    *result = wholeVariant(wholeValue(*variable) + wholeValue(*addend), narrow);
    return result;
}

float __vbaR4Var(const Variant* value) {
    switch (value->type) {
        case runtime_interface::VariantType::Empty: return 0.0f;
        case runtime_interface::VariantType::Integer16: return float(value->integer16);
        case runtime_interface::VariantType::Integer32: return float(value->integer32);
        case runtime_interface::VariantType::Single: return value->single;
        case runtime_interface::VariantType::Double: return float(value->real);
        default: raiseRunTimeError(RunTimeError::TypeMismatch);
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

}  // namespace zelk::runtime
