#pragma once

#include "runtime/form_instance.h"
#include "runtime/process.h"
#include "runtime/project_walk.h"
#include "formats/form_description.h"

#include <memory>

namespace zelk::runtime {

class FormWindow;

// Everything the runtime builds from the project header before the window
// opens: the binding, the walked description and the form with its controls.
// The form refers to the other two, so the whole stays in one place.
struct StartedProject {
    FormBinding binding;
    formats::DescriptionView description;
    std::unique_ptr<FormInstance> form;
};

// Throws FormatError, BadDescriptor or BadAddress naming what failed.
std::unique_ptr<StartedProject> startProject(Process& process, std::uint32_t projectHeader);

// The form's window as the program opens it: built from the form, given the
// module's icon, and shown. Needs the QApplication.
std::unique_ptr<FormWindow> showForm(FormInstance& form, const Process& process);

// Starts the process's project, shows its form and runs the event loop until
// the window closes; then ends the process with exit code 0. A project that
// cannot start, or a window system that cannot be reached, does not answer or
// has too few colours, is reported in one line on stderr and ends it with exit
// code 2.
[[noreturn]] void runProject(Process& process, std::uint32_t projectHeader);

}  // namespace zelk::runtime
