#include "startup.h"

#include "init_box.h"
#include "main_frame.h"
#include "prompter.h"
#include "shell_codes.h"
#include "shell_strings.h"
#include "single_instance.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace tamsel::shell {

namespace {

constexpr int kSliceMs = 100;
constexpr int kStepPauseMs = 200;
// The project hands out one address text per module type; ten types at most, so this
// bound is only a guard against a project that never says "last".
constexpr int kAddressTextLimit = 64;
struct TNeededFile {
    const char* name;
    TStartupFile kind;
};
constexpr TNeededFile kFilesNeeded[] = {{"tm2cmde.txt", TStartupFile::Glossary},
                                        {"template/tamsel2.ktp", TStartupFile::Project}};
constexpr const char* kTemplateProject = "template/tamsel2.ktp";
// The start-up's pauses leave each step on screen long enough for a person to read it; a
// test that starts the program many times shortens them with this variable (milliseconds,
// never longer than the normal pause).
constexpr const char* kStartupPauseVariable = "TAMSEL_STARTUP_PAUSE_MS";

int startupPauseMs(int normalMs) {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue(kStartupPauseVariable, &ok);
    return ok && ms >= 0 ? std::min(ms, normalMs) : normalMs;
}

TScreenFacts readScreen() {
    TScreenFacts facts;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        facts.dpiX = screen->logicalDotsPerInchX();
        facts.dpiY = screen->logicalDotsPerInchY();
        facts.width = screen->geometry().width();
        facts.height = screen->geometry().height();
        facts.depth = screen->depth();
    }
    return facts;
}

} // namespace

bool displayPasses(const TScreenFacts& screen) {
    return screen.dpiX == 96 && screen.dpiY == 96 && screen.width >= 800 && screen.height >= 600 &&
           screen.depth >= 16;
}

void pumpFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

TStartup::TStartup(TShellBackend& backend, TPrompter& prompter, TMainFrame& frame, THooks hooks)
    : m_backend(backend), m_prompter(prompter), m_frame(frame), m_hooks(std::move(hooks)) {}

void TStartup::setInitBox(TInitBox* box) {
    m_box = box;
}

void TStartup::answer(std::int32_t code) {
    m_answer = code;
    m_answerArrived = true;
}

void TStartup::post(int code, int number, const QString& text, const QStringList& list, int current,
                    QString* out) {
    if (m_box == nullptr) {
        m_prompter.ask(&m_frame, developerBox(QStringLiteral("Erreur type MAP\n Contact QZ")));
        return;
    }
    TInitDisplay what;
    what.code = code;
    what.number = number;
    what.text = text;
    what.list = list;
    what.current = current;
    what.out = out;
    QPointer<TInitBox> box = m_box;
    QMetaObject::invokeMethod(
        box.data(),
        [box, what] {
            if (box != nullptr) {
                box->display(what);
            }
        },
        Qt::QueuedConnection);
}

std::int32_t TStartup::postAndAsk(int code, const QString& text, const QStringList& list,
                                  int current, QString* out) {
    m_answerArrived = false;
    m_answer = 0;
    if (m_box == nullptr) {
        post(code, 0, text, list, current, out);
        return 0;
    }
    post(code, 0, text, list, current, out);
    while (!m_answerArrived && m_box != nullptr) {
        pumpFor(kSliceMs);
    }
    return m_answerArrived ? m_answer : 0;
}

void TStartup::step(int number) {
    post(disp::kStep, number);
    pumpFor(startupPauseMs(kStepPauseMs));
}

void TStartup::run(TInitBox* box) {
    m_box = box;
    m_ok = steps();
    post(disp::kClose);
    pumpFor(startupPauseMs(kSliceMs));
    m_frame.showMaximized();
    if (m_instance != nullptr) {
        m_instance->publish(&m_frame);
        m_instance->deleteAtom();
    }
    if (!m_ok) {
        m_hooks.postCommand(cmd::kExit);
    } else if (!m_backend.targetIsFirst()) {
        m_hooks.postCommand(cmd::kDialog);
    } else if (m_backend.moduleRecordCount() == 0) {
        m_hooks.postCommand(cmd::kConfiguration);
    }
}

bool TStartup::steps() {
    post(disp::kTitle, 0, QStringLiteral("   Tamsel2\nKorvel\n") + versionText());
    pumpFor(startupPauseMs(kSliceMs));

    step(step::kDisplay);
    if (!displayPasses(m_screen.value_or(readScreen())) &&
        postAndAsk(disp::kDisplay) != answer::kFirst) {
        return false;
    }

    step(step::kFiles);
    for (const TNeededFile& file : kFilesNeeded) {
        const QString problem = fileProblem(file.kind, QString::fromLatin1(file.name));
        if (!problem.isEmpty()) {
            postAndAsk(disp::kFiles, problem);
            return false;
        }
    }

    step(step::kDriver);
    if (!m_backend.locateInCurrentDirectory()) {
        postAndAsk(disp::kDriver, QStringLiteral("4"));
        int reason = 0;
        if (!m_backend.locateByRegistry(reason)) {
            m_hooks.note(QStringLiteral("localize : %1").arg(reason));
            if (!m_backend.locateByAsking(m_prompter, m_box)) {
                postAndAsk(disp::kDriver, QStringLiteral("2"));
                return false;
            }
        }
    }
    if (!m_backend.examine()) {
        postAndAsk(disp::kDriver, QStringLiteral("3"));
        return false;
    }
    if (!m_backend.bind()) {
        TBox box;
        box.title = QStringLiteral("Contact QZ");
        box.text = QStringLiteral("Severe failure : 0x123\nQuit Tamsel2");
        box.icon = TBoxIcon::Stop;
        m_prompter.ask(m_box, box);
        return false;
    }

    step(step::kProject);
    QString problem;
    if (!m_backend.openProject(QString::fromLatin1(kTemplateProject), problem)) {
        postAndAsk(disp::kBadProject, problem);
        return false;
    }
    if (!m_backend.portListAvailable()) {
        postAndAsk(disp::kNoPort);
        return false;
    }

    step(step::kCards);
    step(step::kComPort);
    for (;;) {
        if (connectLine()) {
            return true;
        }
        const std::int32_t choice = postAndAsk(disp::kPortRefused, m_backend.portName());
        if (choice == answer::kFirst) {
            continue;
        }
        if (choice != answer::kThird) {
            return false;
        }
        int current = -1;
        const QStringList ports = m_backend.ports(current);
        if (postAndAsk(disp::kPortSelection, {}, ports, current) != answer::kFirst) {
            return false;
        }
        QString chosen;
        postAndAsk(disp::kPortChosen, {}, {}, -1, &chosen);
        if (!chosen.isEmpty()) {
            m_backend.setPort(chosen);
        }
    }
}

QString TStartup::fileProblem(TStartupFile kind, const QString& name) {
    // The message alone cannot be acted on: it must say which file and what is wrong.
    const QString path = QDir::current().filePath(name);
    const QFileInfo info(path);
    if (!info.exists()) {
        return QObject::tr("%1: missing").arg(name);
    }
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        return QObject::tr("%1: unreadable (%2)")
            .arg(name, info.isFile() ? file.errorString() : QObject::tr("not a file"));
    }
    file.close();
    const QString content = m_backend.fileContentProblem(kind, name);
    return content.isEmpty() ? QString() : QObject::tr("%1: %2").arg(name, content);
}

bool TStartup::connectLine() {
    m_frame.setLineStatus(m_backend.lineText());
    if (!m_backend.connectLine(m_backend.connectText())) {
        m_hooks.note(QStringLiteral("pb sur com init"));
        return false;
    }
    m_backend.rebuildAddressTable();
    QString text = QStringLiteral("first");
    for (int i = 0; i < kAddressTextLimit; ++i) {
        text = m_backend.nextAddressText(text);
        if (text == QLatin1String("last")) {
            break;
        }
        m_backend.sendSetting(text);
    }
    return true;
}

} // namespace tamsel::shell
