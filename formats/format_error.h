#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace zelk::formats {

// A stored record failed one of its checks. `check` names the rule that failed,
// `offset` is the byte offset (from the start of the frame being read) where it
// was found, so a broken record can be found with a hex dump.
class FormatError : public std::runtime_error {
public:
    FormatError(std::string check, std::size_t offset)
        : std::runtime_error(check + " at offset " + std::to_string(offset)),
          check_(std::move(check)),
          offset_(offset) {}

    const std::string& check() const noexcept { return check_; }
    std::size_t offset() const noexcept { return offset_; }

private:
    std::string check_;
    std::size_t offset_;
};

}  // namespace zelk::formats
