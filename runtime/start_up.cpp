// The start-up entry: from the project header to a running window.
#include "runtime/start_up.h"

#include "runtime/display_start.h"
#include "runtime/form_window.h"
#include "runtime/loader.h"
#include "runtime/exports.h"
#include "runtime/window_icon.h"

#include <QApplication>

#include <cstdlib>

namespace zelk::runtime {

std::unique_ptr<StartedProject> startProject(Process& process, std::uint32_t projectHeader) {
    auto project = std::make_unique<StartedProject>();
    project->binding = walkProject(process.space(), projectHeader);
    project->description = formats::walkFormDescription(project->binding.description);
    project->form = std::make_unique<FormInstance>(process, project->binding, project->description);
    return project;
}

std::unique_ptr<FormWindow> showForm(FormInstance& form, const Process& process) {
    auto window = std::make_unique<FormWindow>(form);
    applyWindowIcon(*window, process);
    window->show();
    return window;
}

void runProject(Process& process, std::uint32_t projectHeader) {
    int exitCode = 0;
    {
        std::unique_ptr<StartedProject> project;
        try {
            project = startProject(process, projectHeader);
        } catch (const std::exception& e) {
            reportCannotStart(e);
        }

        const std::unique_ptr<QApplication> app = openDisplay();
        const std::unique_ptr<FormWindow> window = showForm(*project->form, process);
        exitCode = app->exec();
    }
    std::exit(exitCode);
}

void ThunRTMain(std::uint32_t projectHeader) { runProject(Process::current(), projectHeader); }

}  // namespace zelk::runtime
