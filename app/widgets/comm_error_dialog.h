/**
 * @file comm_error_dialog.h
 * TCommErrorDialog (dialog 8000, "Communication Error"): what failed, the last command,
 * the status and the driver's word for it, and what the module itself reports about its
 * error. The module's error is cleared when the report closes.
 */
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

#include "comm_error_source.h"

class QLabel;

namespace tamsel::widgets {

/// "%02d%s": the text of a command sent to the module at @p address.
QString addressedCommand(std::int32_t address, const QString& command);
/// "%4Xh" of @p status.
QString errorCodeText(std::int32_t status);
/// "%d " of @p status: what the driver's message request reads its code from.
QString statusCodeText(std::int32_t status);

class TCommErrorDialog final : public QDialog {
    Q_OBJECT
  public:
    /// Fills the report at once: asks @p source for the data and the module for its
    /// error. @p source must outlive the dialog's closing.
    explicit TCommErrorDialog(TCommErrorSource& source, QWidget* parent = nullptr);

    /// Closes after sending the module its clear-error command, once.
    void done(int result) override;

    const TagCommErrorData& errorData() const { return m_data; }

  private:
    QLabel* addField(int id, const QString& caption, const QString& value, int row);
    void sendToModule(std::int32_t number, TagRawReply* reply);

    TCommErrorSource& m_source;
    TagCommErrorData m_data;
    bool m_cleared = false;
};

} // namespace tamsel::widgets
