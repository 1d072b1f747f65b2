#pragma once

// The thread's chain of exception registrations. A click handler puts its
// frame record at the head on entry and takes it off before returning; a
// raised error is offered to the registrations, newest first.

#include "runtime_interface/raised_error.h"

#include <cstdint>

namespace zelk::runtime_interface {

// What a registration's handler has done with an error offered to it.
enum class ExceptionDisposition : std::int32_t { ContinueSearch = 1, ResumeAtExitPoint = 2 };

struct HandlerFrameRecord {
    HandlerFrameRecord* previous;
    ExceptionDisposition (*handler)(const RaisedError& error, HandlerFrameRecord* frame);
    void* stackPosition;                // the handler's locals, which its clean-ups work on
    std::uint32_t procedureDescriptor;  // address in the image
    std::int32_t result;
};

inline thread_local HandlerFrameRecord* registrationHead = nullptr;

}  // namespace zelk::runtime_interface
