// The communication error report (dialog 8000) as the shell runs it on 0x8080: its data
// come from the shell's own requests, and from the failing window only while it lives.
#pragma once

#include <comm_error_dialog.h>
#include <comm_error_source.h>

#include <contract/request_sink.h>

#include <QPointer>
#include <QWidget>

#include <functional>

namespace tamsel::windows {

class TShellErrorSource final : public widgets::TCommErrorSource {
  public:
    using TBeep = std::function<void()>;

    /// @p window is the failing window (a contract::TErrorDataSource); @p beep sounds the
    /// exclamation.
    TShellErrorSource(contract::TRequestSink& app, QWidget* window, TBeep beep);

    widgets::TagCommErrorData errorData() override;
    QString lastCommand() override;
    QString statusMessage(const QString& codeText) override;
    QString findCommand(std::int32_t typeCode, std::int32_t number) override;
    widgets::TagRawReply rawExchange(const QString& text) override;
    void exclamationBeep() override;

  private:
    std::uint16_t dialogId() const;

    contract::TRequestSink& m_app;
    QPointer<QWidget> m_window;
    TBeep m_beep;
};

/// Opens the report for @p window over the shell @p app, parented to @p owner; it stays
/// open after the request returns and deletes itself when closed.
widgets::TCommErrorDialog* openCommErrorReport(contract::TRequestSink& app, QWidget* owner,
                                               QWidget* window, TShellErrorSource::TBeep beep);

} // namespace tamsel::windows
