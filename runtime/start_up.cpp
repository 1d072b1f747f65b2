// The start-up entry: from the project header to a running window.
#include "runtime/start_up.h"

#include "runtime/form_window.h"
#include "runtime/loader.h"
#include "runtime/exports.h"
#include "runtime/window_icon.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelk::runtime {
namespace {

// When Qt cannot reach a window system it warns under qt.qpa.* and then sends
// a fatal message that aborts. While the application object is made, those
// warnings are held back and the fatal message becomes one line and exit code 2.
class PlatformStart {
public:
    PlatformStart() { previous_ = qInstallMessageHandler(&PlatformStart::handle); }
    ~PlatformStart() {
        qInstallMessageHandler(previous_);
        // It started after all: let the warnings through as Qt meant them.
        for (const Held& h : held_) {
            const QMessageLogContext context(nullptr, 0, nullptr, h.category.c_str());
            if (previous_) previous_(h.type, context, h.message);
        }
        held_.clear();
    }
    PlatformStart(const PlatformStart&) = delete;
    PlatformStart& operator=(const PlatformStart&) = delete;

private:
    struct Held {
        QtMsgType type;
        std::string category;
        QString message;
    };

    static std::string quotedEnv(const char* name, const char* unset) {
        return qEnvironmentVariableIsSet(name) ? '"' + qEnvironmentVariable(name).toStdString() + '"' : unset;
    }

    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (type == QtFatalMsg) {
            QString cause = message.section(u'\n', 0, 0);
            for (const Held& h : held_)
                if (h.type == QtWarningMsg || h.type == QtCriticalMsg) {
                    cause = h.message;
                    break;
                }
            std::fprintf(stderr, "zelk: cannot open the window: %s (platform %s, DISPLAY %s); a display is needed\n",
                         cause.trimmed().toLocal8Bit().constData(),
                         quotedEnv("QT_QPA_PLATFORM", "default").c_str(), quotedEnv("DISPLAY", "not set").c_str());
            std::fflush(stderr);
            std::_Exit(2);
        }
        if (context.category && std::string_view(context.category).starts_with("qt.qpa")) {
            held_.push_back({type, context.category, message});
            return;
        }
        if (previous_) previous_(type, context, message);
    }

    static inline QtMessageHandler previous_ = nullptr;
    static inline std::vector<Held> held_;
};

}  // namespace

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

        static int argc = 1;
        static char name[] = "zelk";
        static char* argv[] = {name, nullptr};
        std::optional<PlatformStart> platformStart(std::in_place);
        QApplication app(argc, argv);
        platformStart.reset();
        const std::unique_ptr<FormWindow> window = showForm(*project->form, process);
        exitCode = app.exec();
    }
    std::exit(exitCode);
}

}  // namespace zelk::runtime

namespace zelk::runtime {

void ThunRTMain(std::uint32_t projectHeader) { runtime::runProject(runtime::Process::current(), projectHeader); }

}  // namespace zelk::runtime
