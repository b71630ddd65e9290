#include "tool_plugins.h"

#include "cp1252.h"
#include "prompter.h"
#include "shell_codes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QVariant>

#include <cstddef>
#include <cstring>
#include <dlfcn.h>

namespace tamsel::shell {

namespace {

// The tool record is read by libraries built apart from the program: its layout is the
// interface.
static_assert(offsetof(TagToolRequest, name) == 0);
static_assert(offsetof(TagToolRequest, owner) == 40);
static_assert(offsetof(TagToolRequest, loaded) == 40 + sizeof(void*));
constexpr std::size_t kNameField = sizeof(TagToolRequest::name);

std::int32_t toolRequest(void* context, std::uint32_t first, void* record) {
    auto* app = static_cast<TRequestSink*>(context);
    return app->request(static_cast<std::uint16_t>(first & 0xFFFFU),
                        static_cast<std::uint16_t>(first >> 16), record);
}

} // namespace

TToolPlugins::TToolPlugins(TRequestSink& app, TPrompter& prompter, QWidget* mainWindow,
                           std::function<QString()> programDirectory)
    : m_app(app), m_prompter(prompter), m_mainWindow(mainWindow),
      m_programDirectory(std::move(programDirectory)) {
    if (mainWindow != nullptr) {
        mainWindow->setProperty(kToolRequestProperty,
                                QVariant::fromValue(reinterpret_cast<quintptr>(&toolRequest)));
        mainWindow->setProperty(kToolContextProperty,
                                QVariant::fromValue(reinterpret_cast<quintptr>(&m_app)));
    }
}

TToolPlugins::~TToolPlugins() {
    // Tools stay mapped until the process ends, but they can no longer reach this loader.
    if (m_mainWindow != nullptr) {
        m_mainWindow->setProperty(kToolRequestProperty, QVariant());
        m_mainWindow->setProperty(kToolContextProperty, QVariant());
    }
}

QString TToolPlugins::pathOf(const QString& name) const {
    const QString directory = m_programDirectory ? m_programDirectory() : QDir::currentPath();
    // The name goes into the path as it is, separators and all.
    return directory + QStringLiteral("/tools/") + name + QStringLiteral(".so");
}

void TToolPlugins::note(const QString& text) {
    char buffer[kTextSize] = {};
    copyCp1252(text, buffer, kTextSize);
    m_app.request(req::kDiagnostic, 0, buffer);
}

void TToolPlugins::handle(void* record) {
    if (record == nullptr) {
        return;
    }
    auto* tool = static_cast<TagToolRequest*>(record);
    QString name =
        fromCp1252(QByteArray(tool->name, static_cast<int>(strnlen(tool->name, kNameField))));
    if (name == QLatin1String(kReservedCode)) {
        name += QStringLiteral("tools");
    }
    if (name == QLatin1String(kPurge)) {
        purge();
        return;
    }
    const QByteArray path = QFile::encodeName(pathOf(name));
    void* handle = ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        note(QStringLiteral("tool : %1").arg(QString::fromLocal8Bit(why == nullptr ? "" : why)));
        tool->loaded = 0;
        return;
    }
    // A handle held before is overwritten and stays mapped for the rest of the run.
    m_held = handle;
    ++m_loads[handle];
    tool->loaded = 1;
    void* entry = ::dlsym(handle, kEntryPoint);
    if (entry == nullptr) {
        note(QStringLiteral("tool %1 : no %2").arg(name, QLatin1String(kEntryPoint)));
        return;
    }
    const QWidgetList before = QApplication::allWidgets();
    const QSet<QWidget*> old(before.begin(), before.end());
    reinterpret_cast<TToolEntryPoint>(entry)(m_mainWindow, tool);
    const QWidgetList after = QApplication::allWidgets();
    const QSet<QWidget*> all(after.begin(), after.end());
    QList<QPointer<QWidget>>& opened = m_windows[handle];
    for (QWidget* widget : after) {
        if (old.contains(widget)) {
            continue;
        }
        // Only the outermost new widget of each window; its children go with it.
        QWidget* parent = widget->parentWidget();
        if (parent == nullptr || !all.contains(parent) || old.contains(parent)) {
            opened.append(widget);
        }
    }
}

void TToolPlugins::purge() {
    TBox box;
    box.text = QStringLiteral("tentative de purge de la dll (demapping)");
    m_prompter.ask(m_mainWindow, box);
    if (m_held == nullptr) {
        return;
    }
    void* handle = m_held;
    m_held = nullptr;
    int& loads = m_loads[handle];
    --loads;
    if (loads <= 0) {
        // The library's code goes with the last unload: its windows must not outlive it.
        for (const QPointer<QWidget>& window : m_windows.take(handle)) {
            delete window.data();
        }
        m_loads.remove(handle);
    }
    ::dlclose(handle);
}

} // namespace tamsel::shell
