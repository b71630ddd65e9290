#include "prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace tamsel::shell {

TBox developerBox(const QString& text) {
    TBox box;
    box.title = QStringLiteral("By Tamsel2 dev");
    box.text = text;
    box.icon = TBoxIcon::Information;
    box.systemModal = true;
    return box;
}

namespace {

QMessageBox::Icon iconOf(TBoxIcon icon) {
    switch (icon) {
    case TBoxIcon::Information:
        return QMessageBox::Information;
    case TBoxIcon::Exclamation:
        return QMessageBox::Warning;
    case TBoxIcon::Stop:
        return QMessageBox::Critical;
    case TBoxIcon::Question:
        return QMessageBox::Question;
    case TBoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

TBoxAnswer TWidgetPrompter::ask(QWidget* parent, const TBox& box) {
    QMessageBox message(iconOf(box.icon), box.title, box.text, QMessageBox::NoButton, parent);
    switch (box.buttons) {
    case TBoxButtons::Ok:
        message.addButton(QMessageBox::Ok);
        break;
    case TBoxButtons::OkCancel:
        message.addButton(QMessageBox::Ok);
        message.addButton(QMessageBox::Cancel);
        break;
    case TBoxButtons::YesNoCancel:
        message.addButton(QMessageBox::Yes);
        message.addButton(QMessageBox::No);
        message.addButton(QMessageBox::Cancel);
        break;
    }
    QPushButton* help = nullptr;
    if (box.helpContext != 0 && box.showHelp) {
        help = message.addButton(QMessageBox::Help);
        // Whether or not the Help button closes the box, the user is still to answer it.
        QObject::connect(help, &QPushButton::clicked, &message,
                         [&box] { box.showHelp(box.helpContext); });
    }
    message.setWindowModality(box.systemModal ? Qt::ApplicationModal : Qt::WindowModal);
    int pressed = message.exec();
    while (help != nullptr && message.clickedButton() == help) {
        pressed = message.exec();
    }
    switch (pressed) {
    case QMessageBox::Ok:
        return TBoxAnswer::Ok;
    case QMessageBox::Yes:
        return TBoxAnswer::Yes;
    case QMessageBox::No:
        return TBoxAnswer::No;
    default:
        return TBoxAnswer::Cancel;
    }
}

QString TWidgetPrompter::chooseFile(QWidget* parent, const TFileQuestion& question) {
    if (question.save) {
        return QFileDialog::getSaveFileName(parent, question.title, question.directory,
                                            question.filter);
    }
    return QFileDialog::getOpenFileName(parent, question.title, question.directory,
                                        question.filter);
}

void TWidgetPrompter::beep() {
    QApplication::beep();
}

} // namespace tamsel::shell
