#pragma once

// The run-time errors the runtime raises: their numbers and the texts the
// user sees, in one table.

#include "runtime_interface/raised_error.h"

#include <cstdint>
#include <string_view>

namespace zelk::runtime {

enum class RunTimeError : std::int32_t {
    InvalidProcedureCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    DivisionByZero = 11,
    TypeMismatch = 13,
    InternalError = 51,
    ObjectNotSet = 91,
    InvalidPropertyValue = 380,
};

// The error with its text; `detail`, where given, follows the text after ": ".
runtime_interface::RaisedError runTimeError(RunTimeError error, std::string_view detail = {});

// The error that a failed status from a control stands for: a status of the
// control facility carries a run-time error number in its low word; any other
// is an automation error numbered by the status itself.
runtime_interface::RaisedError statusError(std::int32_t status);

// The failed status the runtime's own query operations return when given no
// place for their answer.
inline constexpr std::int32_t kInvalidPointerStatus = std::int32_t(0x80004003);

// Every run-time error the runtime raises leaves through one of these.
[[noreturn]] void raiseRunTimeError(RunTimeError error);
[[noreturn]] void raiseStatusError(std::int32_t status);

}  // namespace zelk::runtime
