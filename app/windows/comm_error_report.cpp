#include "comm_error_report.h"

#include <cp1252.h>
#include <shell_codes.h>

#include <contract/error_data.h>
#include <contract/records.h>
#include <contract/request_codes.h>

#include <memory>

namespace tamsel::windows {

namespace {
namespace req = contract::req;
} // namespace

TShellErrorSource::TShellErrorSource(contract::TRequestSink& app, QWidget* window, TBeep beep)
    : m_app(app), m_window(window), m_beep(std::move(beep)) {}

std::uint16_t TShellErrorSource::dialogId() const {
    return static_cast<std::uint16_t>(shell::dlg::kErrorReport);
}

widgets::TagCommErrorData TShellErrorSource::errorData() {
    widgets::TagCommErrorData out;
    auto* window = dynamic_cast<contract::TErrorDataSource*>(m_window.data());
    if (window == nullptr) {
        return out;
    }
    // 0x8081 to the failing window.
    contract::TagErrorData data;
    window->errorData(data);
    out.operation = data.operation;
    out.kind = data.kind;
    out.status = data.status;
    out.address = data.address;
    out.typeCode = data.typeCode;
    data.title[contract::kErrorTitleSize - 1] = '\0';
    out.title = shell::fromCp1252(data.title);
    return out;
}

QString TShellErrorSource::lastCommand() {
    char text[contract::kTextSize] = {};
    m_app.request(req::kLastCommandSent, dialogId(), text);
    return shell::fromCp1252(text);
}

QString TShellErrorSource::statusMessage(const QString& codeText) {
    char text[contract::kTextSize] = {};
    shell::copyCp1252(codeText, text, contract::kTextSize);
    m_app.request(req::kStatusMessage, dialogId(), text);
    return shell::fromCp1252(text);
}

QString TShellErrorSource::findCommand(std::int32_t typeCode, std::int32_t number) {
    contract::TagCatalogueQuery query;
    query.operation = contract::catop::kFindCmde;
    query.value = typeCode;
    query.argument = number;
    m_app.request(req::kCatalogue, dialogId(), &query);
    return shell::fromCp1252(query.textA);
}

widgets::TagRawReply TShellErrorSource::rawExchange(const QString& text) {
    contract::TagFreeText exchange;
    exchange.mode = contract::kFreeTextAsTyped;
    shell::copyCp1252(text, exchange.text, contract::kTextSize);
    m_app.request(req::kFreeText, dialogId(), &exchange);
    return {exchange.status, shell::fromCp1252(exchange.reply)};
}

void TShellErrorSource::exclamationBeep() {
    if (m_beep) {
        m_beep();
    }
}

widgets::TCommErrorDialog* openCommErrorReport(contract::TRequestSink& app, QWidget* owner,
                                               QWidget* window, TShellErrorSource::TBeep beep) {
    // The source must outlive the dialog's closing, which still sends the clear command:
    // the dialog's own destruction lets it go.
    auto source = std::make_shared<TShellErrorSource>(app, window, std::move(beep));
    auto* dialog = new widgets::TCommErrorDialog(*source, owner);
    // Closed by its button as well as by its frame: either way it goes.
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    QObject::connect(dialog, &QObject::destroyed, [source] {});
    dialog->show();
    return dialog;
}

} // namespace tamsel::windows
