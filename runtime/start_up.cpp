// The start-up entry: from the project header to a running window.
#include "runtime/start_up.h"

#include "runtime/form_window.h"
#include "runtime_interface/vb_operations.h"
#include "runtime/window_icon.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace zelk::rt {

std::unique_ptr<StartedProject> startProject(Process& process, std::uint32_t projectHeader) {
    auto project = std::make_unique<StartedProject>();
    project->binding = walkProject(process.space(), projectHeader);
    project->description = form::walkFormDescription(project->binding.description);
    project->form = std::make_unique<FormInstance>(process, project->binding, project->description);
    return project;
}

void runProject(Process& process, std::uint32_t projectHeader) {
    int exitCode = 0;
    {
        std::unique_ptr<StartedProject> project;
        try {
            project = startProject(process, projectHeader);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "zelk: cannot start: %s\n", e.what());
            std::exit(2);
        }

        static int argc = 1;
        static char name[] = "zelk";
        static char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        FormWindow window(*project->form);
        applyWindowIcon(window, process);
        window.show();
        exitCode = app.exec();
    }
    std::exit(exitCode);
}

}  // namespace zelk::rt

namespace zelk::vb {

void ThunRTMain(std::uint32_t projectHeader) { rt::runProject(rt::Process::current(), projectHeader); }

}  // namespace zelk::vb
