#include "single_instance.h"

#include "prompter.h"
#include "shell_codes.h"
#include "shell_strings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <limits>
#include <utility>

namespace tamsel::shell {

namespace {

constexpr int kConnectMs = 500;
constexpr int kStartingCopyWaitMs = 500;
const QByteArray kRaise = QByteArrayLiteral("raise\n");

QString defaultDirectory() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) {
        dir = QDir::tempPath();
    }
    return dir;
}

// The title starts with a blank; file names are kept readable without it.
QString baseName() {
    return QString::fromLatin1(kMainTitle).trimmed();
}

/// The program a process runs, by the name of its file ("" when it cannot be told).
QString programOf(qint64 pid) {
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid))).fileName();
}

/**
 * @brief Whether the process that wrote the atom still runs this program. A copy that
 * died left its number behind, and the system may since have given that number to
 * another program: neither holds the start-up any more.
 */
bool holderRuns(qint64 pid) {
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max()) {
        return true; // not a number this program wrote: only the user can tell
    }
    // The number may have come back to this very copy, which has written no atom yet.
    if (pid == QCoreApplication::applicationPid() ||
        (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)) {
        return false;
    }
    const QString holder = programOf(pid);
    const QString self = programOf(QCoreApplication::applicationPid());
    return holder.isEmpty() || self.isEmpty() || holder == self;
}

void pumpFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

TSingleInstance::TSingleInstance(TPrompter& prompter, QString directory)
    : m_prompter(prompter),
      m_directory(directory.isEmpty() ? defaultDirectory() : std::move(directory)) {
    QDir().mkpath(m_directory);
}

bool TSingleInstance::addAtom() {
    QFile atom(atomPath());
    // Creating the file only when it is absent is what makes two starting copies exclusive.
    if (!atom.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        return false;
    }
    atom.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n');
    m_holdsAtom = true;
    return true;
}

qint64 TSingleInstance::atomHolder() const {
    QFile atom(atomPath());
    if (!atom.open(QIODevice::ReadOnly)) {
        return 0;
    }
    bool ok = false;
    const qint64 pid = atom.readLine(32).trimmed().toLongLong(&ok);
    return ok ? pid : 0;
}

TSingleInstance::~TSingleInstance() {
    deleteAtom();
    if (m_server != nullptr) {
        m_server->close();
    }
}

QString TSingleInstance::atomPath() const {
    return QDir(m_directory).filePath(baseName() + QStringLiteral(".atom"));
}

QString TSingleInstance::socketPath() const {
    return QDir(m_directory).filePath(baseName() + QStringLiteral(".window"));
}

bool TSingleInstance::windowExists() const {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    const bool found = socket.waitForConnected(kConnectMs);
    socket.abort();
    return found;
}

bool TSingleInstance::mayStart() {
    {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(kConnectMs)) {
            TBox box;
            box.title = QStringLiteral("Warning");
            box.text = tableString(str::kAlreadyRunning);
            box.icon = TBoxIcon::Stop;
            box.buttons = TBoxButtons::OkCancel;
            if (m_prompter.ask(nullptr, box) == TBoxAnswer::Ok) {
                socket.write(kRaise);
                socket.waitForBytesWritten(kConnectMs);
                socket.disconnectFromServer();
            }
            return false;
        }
    }
    if (addAtom()) {
        return true;
    }
    const qint64 holder = atomHolder();
    if (!holderRuns(holder)) {
        // The copy that held the start-up is gone: nobody is left to ask about.
        QFile::remove(atomPath());
        if (addAtom()) {
            return true;
        }
    }
    pumpFor(kStartingCopyWaitMs);
    if (windowExists()) {
        return false;
    }
    TBox box;
    box.title = QStringLiteral("warning");
    // The question is put in the language of the rest of the interface.
    const QString who = holder > 0 ? tr("Tamsel2 is already starting (process %1)").arg(holder)
                                   : tr("Tamsel2 is already starting");
    box.text = who + tr("\nor has stopped answering\nYou can start this copy by OK\n"
                        "or quit by cancel");
    box.icon = TBoxIcon::Question;
    box.buttons = TBoxButtons::OkCancel;
    if (m_prompter.ask(nullptr, box) != TBoxAnswer::Ok) {
        return false;
    }
    QFile::remove(atomPath());
    return addAtom();
}

bool TSingleInstance::publish(QWidget* window) {
    m_window = window;
    if (m_server == nullptr) {
        m_server = new QLocalServer(this);
        connect(m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* peer = m_server->nextPendingConnection()) {
                connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
                connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                    if (!peer->readAll().contains("raise")) {
                        return;
                    }
                    if (m_window != nullptr) {
                        if (m_window->isMinimized()) {
                            m_window->showNormal();
                        } else {
                            m_window->raise();
                            m_window->activateWindow();
                        }
                    }
                    emit raised();
                });
            }
        });
    }
    if (m_server->isListening()) {
        return true;
    }
    // A socket left by a copy that died would refuse the name.
    QLocalServer::removeServer(socketPath());
    return m_server->listen(socketPath());
}

void TSingleInstance::deleteAtom() {
    if (m_holdsAtom) {
        QFile::remove(atomPath());
        m_holdsAtom = false;
    }
}

} // namespace tamsel::shell
