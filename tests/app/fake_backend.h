// A backend whose every answer the test decides, recording what the shell asked of it.
// The tests with the real driver and project use the real backend; this one reaches the
// start-up's failure branches that a healthy installation cannot produce on demand.
#pragma once

#include "shell_backend.h"

#include <QStringList>

#include <deque>

namespace tamsel::shell::test {

class TFakeBackend final : public TShellBackend {
  public:
    bool inCurrentDirectory = true;
    bool inRegistry = false;
    int registryReason = 4;
    bool askedFileGiven = false;
    bool examines = true;
    bool binds = true;
    bool opens = true;
    /// What a refused open says.
    QString openProblem = QStringLiteral("template/tamsel2.ktp: not valid at line 1 (test)");
    /// What the content checks of the start-up's files say; empty for a sound file.
    QString glossaryProblem;
    QString templateProblem;
    bool hasPorts = true;
    /// Outcomes of the next connects; when empty, success.
    std::deque<bool> connects;
    bool firstTarget = true;
    int records = 2;
    bool setupZero = true;
    QVector<TDeviceEntry> devices;
    QStringList portNames{QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3")};
    QString port = QStringLiteral("COM1");
    QStringList addressTexts{QStringLiteral("/TRILO = 1,3/"), QStringLiteral("/DVRX = 5/")};
    bool saves = true;
    bool followDone = true;

    QStringList calls;
    QStringList settingsSent;
    QStringList connectTexts;
    int routed = 0;
    std::uint16_t lastRouted = 0;

    bool locateInCurrentDirectory() override {
        calls << "locateCurrent";
        return inCurrentDirectory;
    }
    bool locateByRegistry(int& reason) override {
        calls << "locateRegistry";
        reason = registryReason;
        return inRegistry;
    }
    bool locateByAsking(TPrompter&, QWidget*) override {
        calls << "locateAsking";
        return askedFileGiven;
    }
    bool examine() override {
        calls << "examine";
        return examines;
    }
    bool bind() override {
        calls << "bind";
        return binds;
    }
    bool openProject(const QString& fileName, QString& problem) override {
        calls << "open " + fileName;
        loaded = opens;
        if (!opens) {
            problem = openProblem;
        }
        return opens;
    }
    QString fileContentProblem(TStartupFile kind, const QString& fileName) override {
        calls << "check " + fileName;
        return kind == TStartupFile::Glossary ? glossaryProblem : templateProblem;
    }
    bool projectLoaded() const override { return loaded; }
    bool saveProject() override {
        calls << "save";
        return saves;
    }
    bool portListAvailable() override { return hasPorts; }
    QString lineText() override { return port + " at 9600 bauds "; }
    QString portName() override { return port; }
    QStringList ports(int& current) override {
        current = portNames.indexOf(port);
        return portNames;
    }
    void setPort(const QString& p) override {
        calls << "setPort " + p;
        port = p;
    }
    bool targetIsFirst() override { return firstTarget; }
    int moduleRecordCount() override { return records; }
    bool setupNumberZeroSet() override { return setupZero; }
    QVector<TDeviceEntry> deviceEntries() override { return devices; }
    QString connectText() override { return "TRILO " + port + " XON-XOFF 9600 "; }
    bool connectLine(const QString& text) override {
        calls << "connect";
        connectTexts << text;
        if (connects.empty()) {
            return true;
        }
        const bool ok = connects.front();
        connects.pop_front();
        return ok;
    }
    void rebuildAddressTable() override {
        calls << "buildAddressTable";
        cursor = 0;
    }
    QString nextAddressText(const QString&) override {
        return cursor < addressTexts.size() ? addressTexts.at(cursor++) : QStringLiteral("last");
    }
    bool sendSetting(const QString& text) override {
        settingsSent << text;
        return true;
    }
    void closeLine() override { calls << "closeLine"; }
    void requestPollingStop() override { calls << "stopPolling"; }
    void startPolling() override { calls << "startPolling"; }
    bool sendFreeText(const QString& text, QString& reply) override {
        calls << "free " + text;
        reply = QStringLiteral("ok");
        return true;
    }
    QString driverIdentity() override { return QStringLiteral("fake driver"); }
    bool followUpdate(int value) override {
        calls << QStringLiteral("follow %1").arg(value);
        return followDone;
    }
    bool route(std::uint16_t code, std::uint16_t, void*) override {
        // The fake owns the codes of the real backend's table that the tests route.
        if (code == 0x7777 || code >= 0xf000 || code == 0x1234) {
            return false;
        }
        ++routed;
        lastRouted = code;
        return true;
    }

  private:
    bool loaded = false;
    int cursor = 0;
};

} // namespace tamsel::shell::test
