// The single-instance rule. The running program's main window answers on a local socket
// named after the window title; a copy that is starting holds the "atom", a file holding
// its process number. The file stays behind when a copy dies during its start-up; the
// number tells whether its writer still runs, so that only a copy that is alive but
// shows no window makes a later one ask the user.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLocalServer;
class QWidget;

namespace tamsel::shell {

class TPrompter;

class TSingleInstance final : public QObject {
    Q_OBJECT
  public:
    /// @p directory holds the atom and the window's socket; the default is the user's
    /// runtime directory.
    explicit TSingleInstance(TPrompter& prompter, QString directory = {});
    ~TSingleInstance() override;

    /// Runs the rule; true when this copy may start (it then holds the atom).
    bool mayStart();

    /// Makes @p window findable by a later copy, which may ask it to come forward.
    bool publish(QWidget* window);

    /// Deletes the atom (every instance of it).
    void deleteAtom();

    /// Whether a running main window answers.
    bool windowExists() const;

    QString atomPath() const;
    QString socketPath() const;

  signals:
    /// A later copy asked the window to come forward.
    void raised();

  private:
    bool addAtom();
    /// The process number in the atom; 0 when there is none to read.
    qint64 atomHolder() const;

    TPrompter& m_prompter;
    QString m_directory;
    bool m_holdsAtom = false;
    QLocalServer* m_server = nullptr;
    QPointer<QWidget> m_window;
};

} // namespace tamsel::shell
