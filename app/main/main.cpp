// tamsel2: the single-instance rule, the application object, the start-up, the loop. The
// one file that knows every layer: it builds the services, the shell and the windows'
// layers and wires them together.
#include "line_backend.h"
#include "working_directory.h"

#include <config_hooks.h>
#include <cp1252.h>
#include <main_app.h>
#include <prompter.h>
#include <single_instance.h>
#include <terminal_hooks.h>
#include <window_hooks.h>

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt would abort with a message about plugins; a user needs to hear
// what is missing instead.
bool displayReachable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// Started from a menu, the program has no folder of its own: it gets the per-user one.
// What went wrong on the way is told, and the program carries on with what it has.
void enterWorkingDirectory(tamsel::shell::TPrompter& prompter) {
    namespace wd = tamsel::workdir;
    const wd::fs::path program(QFile::encodeName(QApplication::applicationDirPath()).toStdString());
    std::error_code ec;
    const wd::fs::path current = wd::fs::current_path(ec);
    const wd::TChoice choice =
        wd::chooseWorkingDirectory(current, wd::installedBeside(program), wd::currentEnvironment());
    if (choice.place != wd::TPlace::Current) {
        QDir::setCurrent(QFile::decodeName(choice.directory.c_str()));
    }
    if (choice.problems.empty()) {
        return;
    }
    QString text;
    for (const std::string& problem : choice.problems) {
        std::fprintf(stderr, "tamsel2: %s\n", problem.c_str());
        text += QString::fromLocal8Bit(problem.c_str()) + QLatin1Char('\n');
    }
    tamsel::shell::TBox box;
    box.title = QStringLiteral("Tamsel2 working directory");
    box.text = text.trimmed();
    box.icon = tamsel::shell::TBoxIcon::Exclamation;
    prompter.ask(nullptr, box);
}

} // namespace

int main(int argc, char** argv) {
    if (!displayReachable()) {
        std::fputs("tamsel2 needs a display, and none was found: DISPLAY and WAYLAND_DISPLAY "
                   "are not set.\nStart it from a desktop session, or set "
                   "QT_QPA_PLATFORM=offscreen to run it without a screen.\n",
                   stderr);
        return EXIT_FAILURE;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tamsel2"));
    QApplication::setOrganizationName(QStringLiteral("Korvel"));
    // The application decides when it ends: the initialization window closes before the
    // main window shows, and that must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    tamsel::shell::TWidgetPrompter prompter;
    tamsel::shell::TSingleInstance guard(prompter);
    if (!guard.mayStart()) {
        return EXIT_SUCCESS;
    }

    enterWorkingDirectory(prompter);
    tamsel::shell::TLineBackend backend(prompter);
    tamsel::shell::TMainApp app(backend, prompter);
    backend.setNoteSink([&app](int first, const QString& text) {
        char buffer[tamsel::shell::kTextSize] = {};
        tamsel::shell::copyCp1252(text, buffer, tamsel::shell::kTextSize);
        app.request(static_cast<std::uint16_t>(first), 0, buffer);
    });
    app.setSingleInstance(&guard);
    tamsel::terminal::TTerminalHooks terminal(app, prompter, backend.fileLines());
    tamsel::discovery::registerConfigurationWindow(app, prompter);
    tamsel::windows::TWindowHooks windows(app, prompter);
    QObject::connect(&app, &tamsel::shell::TMainApp::exitRequested, &application,
                     &QApplication::quit, Qt::QueuedConnection);
    app.start();
    return application.exec();
}
