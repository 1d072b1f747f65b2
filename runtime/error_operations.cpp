// Raising run-time errors, and the exception handler that click handlers
// register in their frames.
#include "runtime_interface/exception_chain.h"
#include "runtime/process.h"
#include "runtime_interface/raised_error.h"
#include "runtime/exports.h"
#include "formats/procedure_descriptor.h"
#include "runtime/field_reader.h"
#include "runtime/run_time_errors.h"

namespace zelk::runtime {
namespace {

using formats::Guid;
using runtime_interface::CleanupRoutine;
using runtime_interface::CodeTarget;
using runtime_interface::ExceptionDisposition;
using runtime_interface::HandlerFrameRecord;
using runtime_interface::ImageControlInterface;
using runtime_interface::RaisedError;
using runtime_interface::ResumePoint;

}  // namespace

void __vbaHresultCheckObj(std::int32_t status, ImageControlInterface*, const Guid*, std::int32_t) {
    raiseStatusError(status);
}

void __vbaErrorOverflow() { raiseRunTimeError(RunTimeError::Overflow); }

void __vbaFPException() { raiseRunTimeError(RunTimeError::Overflow); }

// Runs the procedure's unwind clean-up while the handler's frame still exists,
// keeps the error for the runtime, and resumes the handler at its exit point,
// which frees the loop, releases the form and returns.
ExceptionDisposition __vbaExceptHandler(const RaisedError& error, HandlerFrameRecord* frame) {
    Process& process = Process::current();
    const AddressSpace& space = process.space();
    const std::uint32_t descriptor = frame->procedureDescriptor;
    namespace field = formats::procedure_descriptor;
    const std::uint32_t exitPoint = readField(space, descriptor, field::kExitPoint);
    const std::uint32_t unwindCleanup = readField(space, descriptor, field::kUnwindCleanup);

    const CodeTarget* resume = process.nativeRoutine(exitPoint);
    const CodeTarget* unwind = process.nativeRoutine(unwindCleanup);
    if (!resume || !std::holds_alternative<ResumePoint>(*resume) || !unwind ||
        !std::holds_alternative<CleanupRoutine>(*unwind))
        return runtime_interface::ExceptionDisposition::ContinueSearch;

    std::get<CleanupRoutine> (*unwind)(frame->stackPosition);
    process.setPendingError(error);
    return runtime_interface::ExceptionDisposition::ResumeAtExitPoint;
}

}  // namespace zelk::runtime
