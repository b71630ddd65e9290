// The example tool shipped with tamsel2 ("$1450" in the terminal): a small window that
// types a command to the modules through the application's requests, as any tool may.
// It shows what a tool maker needs: the entry point, the main window as the way back to
// the application, and the records of the requests it uses.
#include <tool_plugin_api.h>

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include <cstring>

namespace {

constexpr std::uint16_t kFreeText = 0x0106;
constexpr std::uint16_t kProgramDirectory = 0xf001;

QWidget* buildWindow(QWidget* mainWindow, const TagToolRequest& request) {
    auto* window = new QWidget(mainWindow, Qt::Window);
    window->setObjectName(QStringLiteral("quickSendTool"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Quick send tool"));

    char directory[255] = {};
    tamselToolRequest(mainWindow, kProgramDirectory, 0, directory);

    auto* layout = new QVBoxLayout(window);
    auto* form = new QFormLayout;
    auto* where = new QLabel(QString::fromLocal8Bit(directory), window);
    where->setObjectName(QStringLiteral("toolDirectory"));
    form->addRow(QStringLiteral("Program directory:"), where);
    auto* name = new QLabel(QString::fromLatin1(request.name), window);
    name->setObjectName(QStringLiteral("toolName"));
    form->addRow(QStringLiteral("Started as:"), name);
    auto* command = new QLineEdit(window);
    command->setObjectName(QStringLiteral("toolCommand"));
    command->setMaxLength(100);
    command->setPlaceholderText(QStringLiteral("00RV"));
    form->addRow(QStringLiteral("Command:"), command);
    auto* reply = new QLineEdit(window);
    reply->setObjectName(QStringLiteral("toolReply"));
    reply->setReadOnly(true);
    form->addRow(QStringLiteral("Reply:"), reply);
    layout->addLayout(form);
    auto* send = new QPushButton(QStringLiteral("Send"), window);
    send->setObjectName(QStringLiteral("toolSend"));
    layout->addWidget(send);

    const auto run = [mainWindow, command, reply] {
        TagToolFreeText text{};
        text.mode = 1;
        const QByteArray bytes = command->text().toLatin1().left(sizeof text.text - 1);
        std::memcpy(text.text, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (!tamselToolRequest(mainWindow, kFreeText, 0, &text)) {
            reply->setText(QStringLiteral("tamsel2 is not reachable"));
            return;
        }
        reply->setText(QString::fromLatin1(text.reply));
    };
    QObject::connect(send, &QPushButton::clicked, window, run);
    QObject::connect(command, &QLineEdit::returnPressed, window, run);
    return window;
}

} // namespace

TAMSEL_TOOL_EXPORT void CreateDLLWindow(QWidget* mainWindow, TagToolRequest* request) {
    if (request == nullptr) {
        return;
    }
    QWidget* window = buildWindow(mainWindow, *request);
    window->show();
}
