#include "gallery_window.h"

#include "gallery_source.h"

#include <arrow_buttons.h>
#include <comm_error_dialog.h>
#include <digital.h>
#include <display_digits.h>
#include <input_dialog.h>
#include <numeric_field.h>
#include <radix_text.h>
#include <static_suivi.h>
#include <status_light.h>

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tamsel::gallery {

using namespace tamsel::widgets;

namespace {

constexpr int kDigitHeight = 30;
constexpr int kDigitCellWidth = 17;

QGroupBox* group(const QString& title, QLayout* layout) {
    auto* box = new QGroupBox(title);
    box->setLayout(layout);
    return box;
}

TDigital* digital(int cells, const QString& format) {
    auto* display = new TDigital(cells, format);
    display->setFixedSize(cells * kDigitCellWidth, kDigitHeight);
    return display;
}

TKVDisplayDigits* radixDisplay(std::int32_t value, int mode, bool error) {
    auto* display = new TKVDisplayDigits(11);
    display->setFixedSize(170, 26);
    display->setViewMode(mode);
    display->setValue(value, error);
    return display;
}

/// A dialog set into the gallery as a plain child, framed like the others.
QWidget* embedded(QDialog* dialog, const QString& title) {
    dialog->setWindowFlags(Qt::Widget);
    dialog->setSizeGripEnabled(false);
    auto* layout = new QVBoxLayout;
    layout->addWidget(dialog);
    return group(title, layout);
}

} // namespace

TGalleryWindow::TGalleryWindow(QWidget* parent)
    : QWidget(parent), m_source(std::make_unique<TGallerySource>()) {
    setWindowTitle(QStringLiteral("tamsel2 instrument widgets"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(digitDisplays(), 0, 0);
    grid->addWidget(radixDisplays(), 1, 0);
    grid->addWidget(lampRows(), 2, 0);
    auto* small = new QHBoxLayout;
    small->addWidget(statusLights());
    small->addWidget(numericField(), 1);
    grid->addLayout(small, 3, 0);
    grid->addWidget(inputDialogs(), 0, 1, 2, 1);
    grid->addWidget(errorReport(), 2, 1, 2, 1);
    grid->setRowStretch(4, 1);
}

TGalleryWindow::~TGalleryWindow() = default;

QWidget* TGalleryWindow::digitDisplays() {
    auto* form = new QFormLayout;
    auto* position = digital(11, QStringLiteral("%11ld"));
    position->setNumber(-1234567);
    form->addRow(QStringLiteral("Position  \"%11ld\""), position);

    auto* row = new QHBoxLayout;
    auto* function = digital(3, QStringLiteral("%3d"));
    function->setNumberOrBlank(12);
    auto* stage = digital(3, QStringLiteral("%3d"));
    stage->setNumberOrBlank(0);
    auto* power = digital(3, QStringLiteral("%3d"));
    power->setText(QStringLiteral(" 0N"));
    auto* padded = digital(3, QStringLiteral("%03d"));
    padded->setNumber(7);
    for (QWidget* w : {static_cast<QWidget*>(function), static_cast<QWidget*>(stage),
                       static_cast<QWidget*>(power), static_cast<QWidget*>(padded)}) {
        row->addWidget(w);
    }
    row->addStretch();
    form->addRow(QStringLiteral("Function, stage (0), power, \"%03d\""), row);

    auto* lamps = new QHBoxLayout;
    lamps->setSpacing(1);
    constexpr int kInputs = 0xA5;
    for (int bit = 7; bit >= 0; --bit) {
        auto* lamp = digital(1, QStringLiteral("%01d"));
        lamp->setText(((kInputs >> bit) & 1) != 0 ? QStringLiteral("#") : QStringLiteral("*"));
        lamps->addWidget(lamp);
    }
    lamps->addStretch();
    form->addRow(QStringLiteral("Inputs 8..1, one-cell lamps"), lamps);

    auto* spinner = digital(11, QStringLiteral("%11ld"));
    for (int step = 0; step < 3; ++step) {
        spinner->stepErrorSpinner();
    }
    form->addRow(QStringLiteral("Error spinner, phase \"c\""), spinner);

    auto* overflow = digital(3, QStringLiteral("%3d"));
    overflow->setNumber(4096);
    form->addRow(QStringLiteral("Overflow (4096 in 3 cells)"), overflow);
    return group(QStringLiteral("TDigital"), form);
}

QWidget* TGalleryWindow::radixDisplays() {
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Decimal"), radixDisplay(-42, viewmode::kDecimal, false));
    form->addRow(QStringLiteral("Hexadecimal"), radixDisplay(48879, viewmode::kHexadecimal, false));
    form->addRow(QStringLiteral("Binary"), radixDisplay(512, viewmode::kBinary, false));
    form->addRow(QStringLiteral("Binary, 513"), radixDisplay(513, viewmode::kBinary, false));
    form->addRow(QStringLiteral("Function : step"),
                 radixDisplay(12003, viewmode::kFunction, false));
    form->addRow(QStringLiteral("In error"), radixDisplay(0, viewmode::kDecimal, true));
    return group(QStringLiteral("TKVDisplayDigits"), form);
}

QWidget* TGalleryWindow::lampRows() {
    auto* form = new QFormLayout;
    auto* status = new TKVStaticSuivi(32);
    status->setFixedSize(32 * 11, 14);
    status->setLitColour(QColor(0xf0, 0xb0, 0x20));
    status->setValue(0x8000A5F1U, false);
    form->addRow(QStringLiteral("Status word"), status);
    auto* inputs = new TKVStaticSuivi(8);
    inputs->setFixedSize(8 * 18, 18);
    inputs->setValue(0x5A, false);
    form->addRow(QStringLiteral("Inputs"), inputs);
    auto* outputs = new TKVStaticSuivi(8, true);
    outputs->setFixedSize(8 * 18, 18);
    outputs->setLitColour(QColor(0xe8, 0x2a, 0x1e));
    outputs->setValue(0x81, false);
    form->addRow(QStringLiteral("Outputs (clickable)"), outputs);
    auto* invalid = new TKVStaticSuivi(8);
    invalid->setFixedSize(8 * 18, 18);
    invalid->setValue(0xFF, true);
    form->addRow(QStringLiteral("Invalid"), invalid);
    return group(QStringLiteral("TKVStaticSuivi"), form);
}

QWidget* TGalleryWindow::statusLights() {
    auto* row = new QHBoxLayout;
    const struct {
        const char* text;
        bool always;
        int state;
        const char* caption;
    } lights[] = {
        {"4 4600", false, 1, "valid"},   {"4 4600", false, 2, "pending"},
        {"4 4600", false, 3, "error"},   {"2 4500", true, 0, "power off"},
        {"2 4500", true, 1, "power on"}, {"2 4700", true, 1, "Error :"},
    };
    for (const auto& light : lights) {
        auto* column = new QVBoxLayout;
        auto* lamp = new TStatusLight(QString::fromLatin1(light.text), light.always);
        lamp->setFixedSize(22, 22);
        lamp->setState(light.state);
        column->addWidget(lamp, 0, Qt::AlignHCenter);
        auto* caption = new QLabel(QString::fromLatin1(light.caption));
        caption->setAlignment(Qt::AlignHCenter);
        column->addWidget(caption);
        row->addLayout(column);
    }
    return group(QStringLiteral("Status lights"), row);
}

QWidget* TGalleryWindow::numericField() {
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    auto* field = new TNumericField;
    field->setRange(0, 20000);
    field->setValue(1500);
    auto* arrows = new TArrowButtons;
    connect(arrows, &TArrowButtons::stepped, field, &TNumericField::stepBy);
    row->addWidget(field, 1);
    row->addWidget(arrows);
    return group(QStringLiteral("Numeric field 0..20000"), row);
}

QWidget* TGalleryWindow::inputDialogs() {
    auto* column = new QVBoxLayout;
    TagInputRequest value;
    value.caption = QStringLiteral("Tamsel2 : Variable setting ");
    value.prompt = QStringLiteral("Input value for variable #OUTPUTS");
    value.kind = TInputKind::kNumberWithRadix;
    value.value = 0x81;
    value.radix = TInputRadix::kHexa;
    column->addWidget(embedded(new TInputDialog(value), value.caption));
    TagInputRequest choice;
    choice.caption = QStringLiteral("Device Adr 3 Software configuration :");
    choice.kind = TInputKind::kChoice;
    choice.choices = {{QStringLiteral("9600"), 0},
                      {QStringLiteral("19200"), 1},
                      {QStringLiteral("38400"), 2},
                      {QStringLiteral("115200"), 3}};
    choice.selected = 2;
    column->addWidget(embedded(new TInputDialog(choice), choice.caption));
    column->addStretch(1);
    return group(QStringLiteral("Input dialog 19000"), column);
}

QWidget* TGalleryWindow::errorReport() {
    auto* column = new QVBoxLayout;
    column->addWidget(
        embedded(new TCommErrorDialog(*m_source), QStringLiteral("Communication Error")));
    column->addStretch(1);
    return group(QStringLiteral("Error report 8000"), column);
}

} // namespace tamsel::gallery
