// Raising run-time errors, and the exception handler that click handlers
// register in their frames.
#include "runtime_interface/exception_chain.h"
#include "runtime/process.h"
#include "runtime_interface/raised_error.h"
#include "runtime/exports.h"
#include "formats/procedure_descriptor.h"
#include "runtime/record_field.h"

#include <cstdio>

namespace zelk::runtime {
namespace {

using runtime_interface::CleanupRoutine;
using runtime_interface::CodeTarget;
using runtime_interface::ExceptionDisposition;
using runtime_interface::HandlerFrameRecord;
using runtime_interface::ImageControlInterface;
using runtime_interface::RaisedError;
using runtime_interface::ResumePoint;
using formats::Guid;

struct KnownError {
    std::int32_t number;
    const char* text;
};

constexpr KnownError kKnownErrors[] = {
    {5, "Invalid procedure call or argument"},
    {6, "Overflow"},
    {7, "Out of memory"},
    {11, "Division by zero"},
    {13, "Type mismatch"},
    {91, "Object variable or With block variable not set"},
    {380, "Invalid property value"},
};

constexpr std::uint32_t kControlFacility = 0x800A0000;

std::string errorText(std::int32_t number) {
    for (const KnownError& e : kKnownErrors)
        if (e.number == number) return e.text;
    return "Application-defined or object-defined error";
}

std::string hex(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", v);
    return buf;
}

}  // namespace

void __vbaHresultCheckObj(std::int32_t status, ImageControlInterface*, const Guid*, std::int32_t) {
    const auto s = std::uint32_t(status);
    if ((s & 0xFFFF0000u) == kControlFacility) {
        const auto number = std::int32_t(s & 0xFFFF);
        throw RaisedError(number, errorText(number));
    }
    throw RaisedError(status, "Automation error (status 0x" + hex(s) + ")");
}

void __vbaErrorOverflow() { throw RaisedError(6, "Overflow"); }

void __vbaFPException() { throw RaisedError(6, "Overflow"); }

// Runs the procedure's unwind clean-up while the handler's frame still exists,
// keeps the error for the runtime, and resumes the handler at its exit point,
// which frees the loop, releases the form and returns.
ExceptionDisposition __vbaExceptHandler(const RaisedError& error, HandlerFrameRecord* frame) {
    runtime::Process& process = runtime::Process::current();
    const runtime::AddressSpace& space = process.space();
    const std::uint32_t descriptor = frame->procedureDescriptor;
    namespace field = formats::procedure_descriptor;
    const std::uint32_t exitPoint = runtime::readField(space, descriptor, field::kExitPoint);
    const std::uint32_t unwindCleanup = runtime::readField(space, descriptor, field::kUnwindCleanup);

    const CodeTarget* resume = process.nativeRoutine(exitPoint);
    const CodeTarget* unwind = process.nativeRoutine(unwindCleanup);
    if (!resume || !std::holds_alternative<ResumePoint>(*resume) || !unwind ||
        !std::holds_alternative<CleanupRoutine>(*unwind))
        return runtime_interface::ExceptionDisposition::ContinueSearch;

    std::get<CleanupRoutine>(*unwind)(frame->stackPosition);
    process.setPendingError(error);
    return runtime_interface::ExceptionDisposition::ResumeAtExitPoint;
}

}  // namespace zelk::runtime
