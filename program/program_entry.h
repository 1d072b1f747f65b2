#pragma once

namespace zelk::program {

// The executable's entry: hands the project header to the runtime's start-up
// entry, which never returns. The imports must be bound first.
[[noreturn]] void programEntry();

}  // namespace zelk::program
