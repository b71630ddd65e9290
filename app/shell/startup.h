// The start-up sequence that the initialization window runs inside request 0x9005: the
// screen, the files, the driver, the project, the working line; and the connect that the
// dispatcher runs again for request 0x1409.
#pragma once

#include "shell_backend.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

namespace tamsel::shell {

class TInitBox;
class TMainFrame;
class TPrompter;
class TSingleInstance;

/// The screen properties the start-up checks.
struct TScreenFacts {
    double dpiX = 96;
    double dpiY = 96;
    int width = 0;
    int height = 0;
    int depth = 0;
};

/// Whether the screen suits the program's fixed layouts.
bool displayPasses(const TScreenFacts& screen);

class TStartup {
  public:
    /// What the sequence asks of the application around it.
    struct THooks {
        std::function<void(const QString&)> note;
        /// Runs a frame command once the event loop turns.
        std::function<void(int id)> postCommand;
    };

    TStartup(TShellBackend& backend, TPrompter& prompter, TMainFrame& frame, THooks hooks);

    /// Request 0x9005: the whole sequence inside @p box, then the main window.
    void run(TInitBox* box);
    /// Request 0x9006: the button the user pressed.
    void answer(std::int32_t code);
    /// Connect (request 0x1409 and the start-up): true when the working line is up.
    bool connectLine();

    bool succeeded() const { return m_ok; }
    void setSingleInstance(TSingleInstance* guard) { m_instance = guard; }
    TSingleInstance* singleInstance() const { return m_instance; }
    /// Replaces the screen read at start (a test of the display check).
    void setScreenFacts(const TScreenFacts& facts) { m_screen = facts; }
    /// The initialization window while it shows, for the boxes of the sequence.
    void setInitBox(TInitBox* box);

  private:
    bool steps();
    QString fileProblem(TStartupFile kind, const QString& name);
    void post(int code, int number = 0, const QString& text = {}, const QStringList& list = {},
              int current = -1, QString* out = nullptr);
    std::int32_t postAndAsk(int code, const QString& text = {}, const QStringList& list = {},
                            int current = -1, QString* out = nullptr);
    void step(int number);

    TShellBackend& m_backend;
    TPrompter& m_prompter;
    TMainFrame& m_frame;
    THooks m_hooks;
    TSingleInstance* m_instance = nullptr;
    QPointer<TInitBox> m_box;
    std::optional<TScreenFacts> m_screen;
    bool m_answerArrived = false;
    std::int32_t m_answer = 0;
    bool m_ok = false;
};

/// Lets the event loop run for @p ms.
void pumpFor(int ms);

} // namespace tamsel::shell
