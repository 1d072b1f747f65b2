#pragma once

// The running program as the runtime sees it: its mapped module, its code,
// and the run-time error a handler's frame has passed on.

#include "runtime/address_space.h"
#include "runtime/entry_road.h"
#include "runtime_interface/loaded_module.h"
#include "runtime_interface/raised_error.h"

#include <functional>
#include <optional>
#include <utility>

namespace zelk::runtime {

using runtime_interface::CodeTarget;
using runtime_interface::LoadedModule;
using runtime_interface::RaisedError;

class BadDescriptor : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Process {
public:
    // Maps the module's image and data block at the addresses its header gives
    // and resolves its imports. Throws BadDescriptor or BadAddress.
    explicit Process(const LoadedModule& module);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    static Process& current();

    const AddressSpace& space() const { return space_; }
    std::uint32_t imageBase() const { return imageBase_; }

    // The native routine at a code address; null when none stands there.
    const CodeTarget* nativeRoutine(std::uint32_t address) const;

    // Follows a stored event or method entry to its handler; throws
    // BadDescriptor or BadAddress.
    EntryRoad followEntry(std::uint32_t address) const;

    // Enters a handler along a road that followEntry found, with the argument
    // the entry would have received; a run-time error that reaches the
    // runtime ends the program (see failWith).
    std::int32_t enterHandler(const EntryRoad& road, std::uintptr_t entryArgument);

    void setPendingError(const RaisedError& error) { pending_ = error; }
    std::optional<RaisedError> takePendingError() { return std::exchange(pending_, std::nullopt); }

    // How a run-time error reaches the user and ends the process. Tests swap it.
    using ErrorSink = std::function<void(const RaisedError&)>;
    void setErrorSink(ErrorSink sink) { errorSink_ = std::move(sink); }
    void failWith(const RaisedError& error);

private:
    void resolveImports();

    LoadedModule module_;
    AddressSpace space_;
    std::uint32_t imageBase_ = 0;
    std::optional<RaisedError> pending_;
    ErrorSink errorSink_;
    Process* previous_;
};

// "Run-time error 'N':" and the error's text.
std::string runTimeErrorMessage(const RaisedError& error);

// How a run-time error ends the program: the message on stderr and, where a
// window can be shown, in a message box; then exit code 1.
[[noreturn]] void reportAndExit(const RaisedError& error);

}  // namespace zelk::runtime
