/**
 * @file module_window_base.h
 * TModuleWindowBase: what every module window has in common, so that a window's own
 * class holds only its controls.
 *
 * The one way to build a module window:
 * - The window owns its request records as members and is a view over them: it fills
 *   them from the controls, and moves their values into the controls.
 * - Every service is a request through the dispatcher (request()); the window includes
 *   the contract and nothing of the communication layer or the shell.
 * - Periodic reads are a TPollSubscription member declared after the records; hand it to
 *   watchPolls() and the base pauses it while the window is minimised and resumes it on
 *   restore. The poll thread's completion (0x7777) arrives in pollCompleted(), on the
 *   user-interface thread: read the records there.
 * - A failed exchange goes to reportFailure(): the base keeps what the error report asks
 *   (0x8081) and asks the shell for the report (0x8080).
 * - Each control's object name is its identifier (widgets::ids::setControlId).
 * - The rules (ranges, formats, enable rules) are plain functions beside the window,
 *   tested by tables without a widget.
 * - The window's help context number is given to the base; F1 and the help button send
 *   the help request (0x6000) with it, and the help mode of the frame finds it too.
 * - The window is registered by one TWindowHooks::addWindow call in window_hooks.cpp.
 *
 * tests/windows/example_window.{h,cpp} is a whole window built this way, with its rules in
 * example_rules.{h,cpp}.
 */
#pragma once

#include "poll_subscription.h"
#include "window_setup.h"

#include <contract/error_data.h>
#include <contract/module_window.h>

#include <QWidget>

class QPushButton;

namespace tamsel::windows {

class TModuleWindowBase : public QWidget,
                          public contract::TModuleWindow,
                          public contract::TErrorDataSource {
    Q_OBJECT
  public:
    /// The object name of the help button.
    static constexpr const char* kHelpButtonName = "help";

    /// @p dialogId is the high word of the window's requests, @p helpContext the help
    /// topic it opens.
    TModuleWindowBase(const TWindowSetup& setup, int dialogId, int helpContext,
                      QWidget* parent = nullptr);
    ~TModuleWindowBase() override;

    int dialogId() const { return m_dialogId; }
    int helpContext() const { return m_helpContext; }
    std::int32_t address() const { return m_setup.address; }
    std::int32_t typeCode() const { return m_setup.typeCode; }
    /// The window's handle in the poll table.
    contract::TKV_WindowHandle handle() const { return m_handle; }

    /// Sends the help request (0x6000) for the window's context.
    void showHelp();
    /// 0x8081: the last failure and the window's title.
    void errorData(contract::TagErrorData& out) override;

    /// The poll thread's completions; a window that polls overrides it.
    void pollCompleted(int first, int kind) override;
    /// The shell's orders; a window overrides what it acts on.
    void shellCommand(int id) override;

  protected:
    /// One request of the dispatcher, sent with the window's dialog number.
    std::int32_t request(std::uint16_t code, void* record);
    /// Keeps what failed (contract::kFailedWrite or kFailedRead, the request kind or
    /// command index, the status) and asks the shell for the error report.
    void reportFailure(std::int32_t operation, std::int32_t kind, std::int32_t status);
    /// The subscription the window's minimise and restore pause and resume; null stops it.
    void watchPolls(TPollSubscription* subscription);
    /// A help button, object name kHelpButtonName, that sends the help request.
    QPushButton* makeHelpButton();

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void watchFrame();
    void minimisedChanged(bool minimised);

    TWindowSetup m_setup;
    int m_dialogId;
    int m_helpContext;
    contract::TKV_WindowHandle m_handle = 0;
    contract::TagErrorData m_failure;
    TPollSubscription* m_polls = nullptr;
    QWidget* m_frame = nullptr;
};

} // namespace tamsel::windows
