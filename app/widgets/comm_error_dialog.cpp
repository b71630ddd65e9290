#include "comm_error_dialog.h"

#include "widget_ids.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace tamsel::widgets {

namespace {

const QString kCaption = QStringLiteral("Communication Error");
constexpr int kValueWidth = 320;

} // namespace

QString addressedCommand(std::int32_t address, const QString& command) {
    return QString::asprintf("%02d", address) + command;
}

QString errorCodeText(std::int32_t status) {
    return QString::asprintf("%4Xh", static_cast<unsigned>(status));
}

QString statusCodeText(std::int32_t status) {
    return QString::asprintf("%d ", status);
}

TCommErrorDialog::TCommErrorDialog(TCommErrorSource& source, QWidget* parent)
    : QDialog(parent), m_source(source), m_data(source.errorData()) {
    ids::setControlId(this, ids::kCommErrorDialog);
    setWindowTitle(kCaption);
    m_data.title.truncate(kErrorTitleSize);

    auto* grid = new QGridLayout(this);
    auto* icon = new QLabel(this);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSize));
    grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);

    int row = 0;
    addField(ids::kErrorFrom, QStringLiteral("Error from"), m_data.title, row++);
    addField(ids::kLastCommand, QStringLiteral("Last Command"), m_source.lastCommand(), row++);
    addField(ids::kErrorCode, QStringLiteral("Error Code"), errorCodeText(m_data.status), row++);
    addField(ids::kDetail, QStringLiteral("Detail"),
             m_source.statusMessage(statusCodeText(m_data.status)), row++);

    TagRawReply report;
    sendToModule(errorcmd::kReadError, &report);
    const QString shown =
        report.status == 0 ? report.reply : m_source.statusMessage(statusCodeText(report.status));
    QLabel* reportField =
        addField(ids::kModuleReport, QStringLiteral("module report"), shown, row++);
    reportField->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    ids::setControlId(buttons->button(QDialogButtonBox::Ok), ids::kOk);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    grid->addWidget(buttons, row, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    m_source.exclamationBeep();
}

QLabel* TCommErrorDialog::addField(int id, const QString& caption, const QString& value, int row) {
    auto* grid = static_cast<QGridLayout*>(layout());
    auto* label = new QLabel(caption, this);
    auto* field = new QLabel(value, this);
    ids::setControlId(field, id);
    field->setFrameShape(QFrame::StyledPanel);
    field->setFrameShadow(QFrame::Sunken);
    field->setTextInteractionFlags(Qt::TextSelectableByMouse);
    field->setWordWrap(true);
    field->setMinimumWidth(kValueWidth);
    grid->addWidget(label, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
    grid->addWidget(field, row, 2);
    return field;
}

void TCommErrorDialog::sendToModule(std::int32_t number, TagRawReply* reply) {
    const QString command = m_source.findCommand(m_data.typeCode, number);
    const TagRawReply answer = m_source.rawExchange(addressedCommand(m_data.address, command));
    if (reply != nullptr) {
        *reply = answer;
    }
}

void TCommErrorDialog::done(int result) {
    if (!m_cleared) {
        m_cleared = true;
        sendToModule(errorcmd::kClearError, nullptr);
    }
    QDialog::done(result);
}

} // namespace tamsel::widgets
