// tamsel_screenshots LINE_FILE OUT_DIR: starts the virtual line of LINE_FILE, the program's
// shell on it with a project of its modules, opens each window of the picture table on a
// module that suits it and writes one PNG per window, and one of the main window.
#include "pictures.h"

#include <config_hooks.h>
#include <cp1252.h>
#include <line_backend.h>
#include <main_app.h>
#include <main_frame.h>
#include <prompter.h>
#include <terminal_hooks.h>
#include <window_hooks.h>

#include <kvsim/virtual_line.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <memory>

namespace {

constexpr int kFrameWidth = 1100;
constexpr int kFrameHeight = 720;
// Long enough for a few poll passes, so that a window shows read values.
constexpr int kSettleMs = 1500;

// Boxes are answered at once: nobody is there to read them.
class TSilentPrompter final : public tamsel::shell::TPrompter {
  public:
    tamsel::shell::TBoxAnswer ask(QWidget*, const tamsel::shell::TBox& box) override {
        std::fprintf(stderr, "box: %s\n", qPrintable(box.text));
        return tamsel::shell::TBoxAnswer::Ok;
    }
    QString chooseFile(QWidget*, const tamsel::shell::TFileQuestion&) override { return {}; }
    void beep() override {}
};

void pump(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The project: the demo line's KV modules at the common speed, as a scan would keep them.
QByteArray projectFor(const kvsim::VirtualLine& line) {
    QByteArray modules;
    int n = 0;
    for (const kvsim::ModuleSetup& m : line.description().modules) {
        if (m.protocol != kvsim::Protocol::Xon || m.baud != 9600) {
            continue;
        }
        modules += QStringLiteral("Cnf%1  = %2 , %3 ,_,_,_\n")
                       .arg(n++, 5, 10, QLatin1Char('0'))
                       .arg(m.address, 2, 10, QLatin1Char('0'))
                       .arg(m.typeCode, 5, 10, QLatin1Char('0'))
                       .toLatin1();
    }
    return "; demo project\n[CONFIGURATION]\nTarget = TRILO\nPortComm = COM1\n"
           "BaudRate = 9600\nProtocole = XON-XOFF\n" +
           modules +
           ";\n[TM2_SETUP]\nSwMode = 0\nSwPn0 = 0\n;\n[LabelVariable]\n;\n[LAST_COMMAND]\n;\n";
}

bool copyInto(const QString& from, const QString& to) {
    QFile::remove(to);
    return QFile::copy(from, to);
}

bool save(QWidget* widget, const QString& file) {
    if (!widget->grab().save(file)) {
        std::fprintf(stderr, "tamsel_screenshots: cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

int selectAddress(tamsel::shell::TMainApp& app, int address) {
    QComboBox* selector = app.frame().deviceSelector();
    const QString prefix = QString::asprintf("@%02d=", address);
    for (int i = 0; i < selector->count(); ++i) {
        if (selector->itemText(i).startsWith(prefix)) {
            selector->setCurrentIndex(i);
            return i;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc != 3) {
        std::fputs("usage: tamsel_screenshots LINE_FILE OUT_DIR\n", stderr);
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(out);

    QTemporaryDir work;
    QTemporaryDir ports;
    std::unique_ptr<kvsim::VirtualLine> line;
    try {
        line = std::make_unique<kvsim::VirtualLine>(kvsim::VirtualLine::fromFile(argv[1]));
        line->start(ports.path().toStdString(), 1);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tamsel_screenshots: %s\n", e.what());
        return 1;
    }
    qputenv("LINKOR_PORTS", ports.path().toLocal8Bit());

    QDir dir(work.path());
    dir.mkpath("template");
    dir.mkpath("help");
    QFile project(dir.filePath("template/tamsel2.ktp"));
    if (!QFile::link(QStringLiteral(TAMSEL_LINKOR_FILE), dir.filePath("liblinkor.so")) ||
        !copyInto(QStringLiteral(TAMSEL_FILES_DIR "/tm2cmde.txt"), dir.filePath("tm2cmde.txt")) ||
        !copyInto(QStringLiteral(TAMSEL_HELP_FILE), dir.filePath("help/Tamsel2.html")) ||
        !project.open(QIODevice::WriteOnly)) {
        std::fputs("tamsel_screenshots: cannot prepare the working directory\n", stderr);
        return 1;
    }
    project.write(projectFor(*line));
    project.close();
    QDir::setCurrent(work.path());

    TSilentPrompter prompter;
    int status = 0;
    {
        tamsel::shell::TLineBackend backend(prompter, dir.filePath("none.conf"));
        tamsel::shell::TMainApp app(backend, prompter);
        backend.setNoteSink([&app](int first, const QString& text) {
            char buffer[tamsel::shell::kTextSize] = {};
            tamsel::shell::copyCp1252(text, buffer, tamsel::shell::kTextSize);
            app.request(static_cast<std::uint16_t>(first), 0, buffer);
        });
        tamsel::terminal::TTerminalHooks terminal(app, prompter, backend.fileLines());
        tamsel::windows::TWindowHooks windows(app, prompter);
        tamsel::discovery::registerConfigurationWindow(app, prompter);
        if (!app.start()) {
            std::fputs("tamsel_screenshots: the program did not start\n", stderr);
            return 1;
        }
        app.frame().showNormal();
        app.frame().resize(kFrameWidth, kFrameHeight);
        backend.startPolling();

        for (const tamsel::screenshots::TPicture& picture : tamsel::screenshots::pictures()) {
            selectAddress(app, picture.address);
            app.command(picture.command);
            QMdiSubWindow* sub = app.frame().mdiArea()->activeSubWindow();
            if (sub == nullptr) {
                std::fprintf(stderr, "tamsel_screenshots: %s did not open\n", picture.file);
                status = 1;
                continue;
            }
            if (picture.prepare) {
                picture.prepare(sub->widget());
            }
            pump(kSettleMs);
            if (!save(sub, QDir(out).filePath(QString::fromLatin1(picture.file)))) {
                status = 1;
            }
        }
        app.frame().mdiArea()->cascadeSubWindows();
        pump(kSettleMs / 3);
        if (!save(&app.frame(), QDir(out).filePath(QStringLiteral("main_window.png")))) {
            status = 1;
        }
        app.frame().mdiArea()->closeAllSubWindows();
        backend.requestPollingStop();
    }
    line->stop();
    return status;
}
