#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace zelk::runtime_interface {

// A run-time error on its way from the runtime operation that raised it to
// the exception handler registered by the running click handler.
class RaisedError : public std::runtime_error {
public:
    RaisedError(std::int32_t number, std::string description)
        : std::runtime_error(description), number_(number), description_(std::move(description)) {}

    std::int32_t number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }

private:
    std::int32_t number_;
    std::string description_;
};

}  // namespace zelk::runtime_interface
