// A tool plug-in for the loader's tests: its window records what the entry point was
// given, and it asks the application for the program directory as a tool may.
#include <tool_plugin_api.h>

#include <QWidget>

namespace {

int g_calls = 0;

} // namespace

TAMSEL_TOOL_EXPORT void CreateDLLWindow(QWidget* mainWindow, TagToolRequest* request) {
    ++g_calls;
    auto* window = new QWidget(mainWindow, Qt::Window);
    window->setObjectName(QStringLiteral("testToolWindow"));
    window->setProperty("mainWindow", QVariant::fromValue(reinterpret_cast<quintptr>(mainWindow)));
    window->setProperty("record", QVariant::fromValue(reinterpret_cast<quintptr>(request)));
    window->setProperty("owner", QVariant::fromValue(reinterpret_cast<quintptr>(request->owner)));
    window->setProperty("name", QString::fromLatin1(request->name));
    window->setProperty("loadedSeen", static_cast<int>(request->loaded));
    window->setProperty("calls", g_calls);
    char directory[255] = {};
    window->setProperty("reached", tamselToolRequest(mainWindow, 0xf001, 0, directory));
    window->setProperty("directory", QString::fromLocal8Bit(directory));
    window->show();
}

/// Tells the test how many times this copy of the library was entered.
TAMSEL_TOOL_EXPORT int TestToolCalls() {
    return g_calls;
}
