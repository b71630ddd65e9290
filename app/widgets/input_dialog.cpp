#include "input_dialog.h"

#include "arrow_buttons.h"
#include "numeric_field.h"
#include "widget_ids.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace tamsel::widgets {

namespace {

const QString kCaption = QStringLiteral("InputDialog CFG");
const QString kEditPrompt = QStringLiteral("User Input :");
const QString kChoicePrompt = QStringLiteral("Your selection :");
constexpr int kMinimumWidth = 260;

} // namespace

TInputDialog::TInputDialog(const TagInputRequest& request, QWidget* parent)
    : QDialog(parent), m_kind(request.kind), m_prompt(new QLabel(this)),
      m_body(new QVBoxLayout(this)) {
    ids::setControlId(this, ids::kInputDialog);
    setWindowTitle(request.caption.isEmpty() ? kCaption : request.caption);
    setMinimumWidth(kMinimumWidth);

    ids::setControlId(m_prompt, ids::kInputPrompt);
    if (!request.prompt.isEmpty()) {
        m_prompt->setText(request.prompt);
    } else {
        m_prompt->setText(m_kind == TInputKind::kChoice ? kChoicePrompt : kEditPrompt);
    }
    m_body->addWidget(m_prompt);

    switch (m_kind) {
    case TInputKind::kText:
        buildTextEdit(request);
        break;
    case TInputKind::kNumber:
    case TInputKind::kNumberWithRadix:
        buildNumberEdit(request);
        break;
    case TInputKind::kChoice:
        buildChoice(request);
        break;
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ids::setControlId(buttons->button(QDialogButtonBox::Ok), ids::kOk);
    ids::setControlId(buttons->button(QDialogButtonBox::Cancel), ids::kCancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_body->addWidget(buttons);

    if (!request.position.isNull()) {
        move(request.position);
    }
}

void TInputDialog::buildTextEdit(const TagInputRequest& request) {
    m_text = new QLineEdit(this);
    ids::setControlId(m_text, ids::kInputEdit);
    if (request.maxLength > 0) {
        m_text->setMaxLength(request.maxLength);
    }
    if (!request.allowed.isEmpty()) {
        m_text->setValidator(
            new QRegularExpressionValidator(QRegularExpression(request.allowed), m_text));
    }
    m_text->setText(request.text);
    m_text->selectAll();
    m_body->addWidget(m_text);
}

void TInputDialog::buildNumberEdit(const TagInputRequest& request) {
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    m_number = new TNumericField(this);
    ids::setControlId(m_number, ids::kInputEdit);
    m_number->setRange(request.minimum, request.maximum);
    m_arrows = new TArrowButtons(this);
    ids::setControlId(m_arrows, ids::kInputArrows);
    connect(m_arrows, &TArrowButtons::stepped, m_number, &TNumericField::stepBy);
    row->addWidget(m_number, 1);
    row->addWidget(m_arrows);
    m_body->addLayout(row);

    if (m_kind == TInputKind::kNumberWithRadix) {
        auto* radixRow = new QHBoxLayout;
        m_hexa = new QRadioButton(QStringLiteral("Hexa"), this);
        ids::setControlId(m_hexa, ids::kRadixHexa);
        m_decimal = new QRadioButton(QStringLiteral("Decimal"), this);
        ids::setControlId(m_decimal, ids::kRadixDecimal);
        auto* group = new QButtonGroup(this);
        group->addButton(m_hexa);
        group->addButton(m_decimal);
        radixRow->addWidget(m_hexa);
        radixRow->addWidget(m_decimal);
        radixRow->addStretch();
        m_body->addLayout(radixRow);
        const bool hexa = request.radix == TInputRadix::kHexa;
        m_number->setRadix(hexa ? kHexaRadix : kDecimalRadix);
        (hexa ? m_hexa : m_decimal)->setChecked(true);
        connect(m_hexa, &QRadioButton::toggled, this,
                [this](bool on) { m_number->setRadix(on ? kHexaRadix : kDecimalRadix); });
    }
    m_number->setValue(request.value);
    m_number->selectAll();
}

void TInputDialog::buildChoice(const TagInputRequest& request) {
    m_choice = new QComboBox(this);
    ids::setControlId(m_choice, ids::kInputChoice);
    for (const TagInputChoice& entry : request.choices) {
        m_choice->addItem(entry.text, entry.value);
    }
    if (request.selected >= 0 && request.selected < m_choice->count()) {
        m_choice->setCurrentIndex(request.selected);
    }
    m_body->addWidget(m_choice);
}

QLineEdit* TInputDialog::edit() const {
    return m_number != nullptr ? static_cast<QLineEdit*>(m_number) : m_text;
}

TagInputResult TInputDialog::answer() const {
    TagInputResult answer;
    answer.code = result();
    switch (m_kind) {
    case TInputKind::kText:
        answer.text = m_text->text();
        break;
    case TInputKind::kNumber:
    case TInputKind::kNumberWithRadix:
        answer.value = m_number->value();
        answer.text = m_number->radix() == kHexaRadix
                          ? QStringLiteral("h") + writeNumber(answer.value, kHexaRadix)
                          : writeNumber(answer.value, kDecimalRadix);
        break;
    case TInputKind::kChoice:
        answer.index = m_choice->currentIndex();
        if (answer.index >= 0) {
            answer.text = m_choice->currentText();
            answer.value = m_choice->currentData().toInt();
        }
        break;
    }
    return answer;
}

TagInputResult TInputDialog::ask(const TagInputRequest& request, QWidget* parent) {
    TInputDialog dialog(request, parent);
    dialog.exec();
    return dialog.answer();
}

} // namespace tamsel::widgets
