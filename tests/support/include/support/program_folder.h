// The folder a test runs the program in, beside a virtual line on a pseudo-terminal: a ports
// folder published as LINKOR_PORTS, the driver linked in, the help and a glossary, and the
// current directory moved there while the program runs; all of it undone when it goes.
// Header-only: only the tests that run the program include it, and they have Qt.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <string>

namespace support {

/// The glossary of a test program: one TRILO command.
inline constexpr const char* kTriloGlossary = "[TRILO]\nRV (identity and firmware version)\n";

class TProgramFolder final {
  public:
    TProgramFolder() = default;
    ~TProgramFolder() { leave(); }
    TProgramFolder(const TProgramFolder&) = delete;
    TProgramFolder& operator=(const TProgramFolder&) = delete;

    /// Publishes the ports folder and lays the driver (@p driverFile, linked as
    /// liblinkor.so), the help (@p helpFile, when given) and the glossary out; false when
    /// any of it fails.
    bool prepare(const QString& driverFile, const QString& helpFile = {}) {
        if (!m_work.isValid() || !m_ports.isValid()) {
            return false;
        }
        qputenv("LINKOR_PORTS", m_ports.path().toLocal8Bit());
        m_published = true;
        if (!QFile::link(driverFile, filePath("liblinkor.so"))) {
            return false;
        }
        if (!helpFile.isEmpty() && (!QDir(m_work.path()).mkpath("help") ||
                                    !QFile::copy(helpFile, filePath("help/Tamsel2.html")))) {
            return false;
        }
        return write("tm2cmde.txt", kTriloGlossary);
    }
    /// Writes @p name (its folders made first), replacing what was there.
    bool write(const QString& name, const QByteArray& text) {
        if (!QDir().mkpath(QFileInfo(filePath(name)).path())) {
            return false;
        }
        QFile f(filePath(name));
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
    }
    /// The program is started from the folder: it finds its files there.
    void enter() {
        if (m_previous.isEmpty()) {
            m_previous = QDir::currentPath();
        }
        QDir::setCurrent(m_work.path());
    }
    /// The current directory and LINKOR_PORTS as they were.
    void leave() {
        if (!m_previous.isEmpty()) {
            QDir::setCurrent(m_previous);
            m_previous.clear();
        }
        if (m_published) {
            qunsetenv("LINKOR_PORTS");
            m_published = false;
        }
    }
    QString filePath(const QString& name) const { return m_work.filePath(name); }
    /// Where the virtual line publishes its COMn.
    std::string portsPath() const { return m_ports.path().toStdString(); }

  private:
    QTemporaryDir m_work;
    QTemporaryDir m_ports;
    QString m_previous;
    bool m_published = false;
};

} // namespace support
