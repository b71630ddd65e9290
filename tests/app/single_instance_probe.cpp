// One copy of the program as far as the single-instance rule goes, for the two-process
// tests: "hold" starts and shows its main window, "starting" stays in its start-up,
// "check" runs the rule and reports what it asked and whether it would start.
#include "scripted_prompter.h"
#include "single_instance.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <cstdio>

using tamsel::shell::TBoxAnswer;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fputs("usage: single_instance_probe DIR hold|starting|check [ok|cancel]\n", stderr);
        return 2;
    }
    const QString mode = QString::fromLocal8Bit(argv[2]);
    tamsel::shell::test::TScriptedPrompter prompter;
    if (argc > 3 && QByteArray(argv[3]) == "cancel") {
        prompter.answers = {TBoxAnswer::Cancel, TBoxAnswer::Cancel};
    }
    tamsel::shell::TSingleInstance guard(prompter, QString::fromLocal8Bit(argv[1]));
    QElapsedTimer clock;
    clock.start();
    const bool start = guard.mayStart();
    for (const auto& box : prompter.boxes) {
        QString text = box.text;
        text.replace('\n', "\\n");
        std::printf("asked:%s|%s\n", box.title.toUtf8().constData(), text.toUtf8().constData());
    }
    std::printf("start=%d after=%lld\n", start ? 1 : 0, static_cast<long long>(clock.elapsed()));
    std::fflush(stdout);
    if (mode == "check" || !start) {
        return 0;
    }
    QWidget window;
    window.setWindowTitle(" Tamsel2");
    QObject::connect(&guard, &tamsel::shell::TSingleInstance::raised, [] {
        std::puts("raised");
        std::fflush(stdout);
    });
    if (mode == "hold") {
        window.showMinimized();
        guard.publish(&window);
        guard.deleteAtom();
    }
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}
