#include "runtime/run_time_errors.h"

#include <cstdio>
#include <string>

namespace zelk::runtime {
namespace {

struct ErrorText {
    RunTimeError error;
    const char* text;
};

constexpr ErrorText kErrorTexts[] = {
    {RunTimeError::InvalidProcedureCall, "Invalid procedure call or argument"},
    {RunTimeError::Overflow, "Overflow"},
    {RunTimeError::OutOfMemory, "Out of memory"},
    {RunTimeError::DivisionByZero, "Division by zero"},
    {RunTimeError::TypeMismatch, "Type mismatch"},
    {RunTimeError::InternalError, "Internal error"},
    {RunTimeError::ObjectNotSet, "Object variable or With block variable not set"},
    {RunTimeError::InvalidPropertyValue, "Invalid property value"},
};

// A control may raise any number; those outside the table read so.
constexpr const char* kUnknownErrorText = "Application-defined or object-defined error";

constexpr std::uint32_t kControlFacility = 0x800A0000;

std::string textOf(std::int32_t number) {
    for (const ErrorText& e : kErrorTexts)
        if (std::int32_t(e.error) == number) return e.text;
    return kUnknownErrorText;
}

std::string automationErrorText(std::uint32_t status) {
    char text[64];
    std::snprintf(text, sizeof text, "Automation error (status 0x%08X)", status);
    return text;
}

}  // namespace

runtime_interface::RaisedError runTimeError(RunTimeError error, std::string_view detail) {
    std::string text = textOf(std::int32_t(error));
    if (!detail.empty()) text.append(": ").append(detail);
    return {std::int32_t(error), std::move(text)};
}

runtime_interface::RaisedError statusError(std::int32_t status) {
    const auto bits = std::uint32_t(status);
    if ((bits & 0xFFFF0000u) != kControlFacility) return {status, automationErrorText(bits)};
    const auto number = std::int32_t(bits & 0xFFFF);
    return {number, textOf(number)};
}

void raiseRunTimeError(RunTimeError error) { throw runTimeError(error); }

void raiseStatusError(std::int32_t status) { throw statusError(status); }

}  // namespace zelk::runtime
