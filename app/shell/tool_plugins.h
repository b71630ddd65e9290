// Tool plug-ins (request 0xf000): the application loads the tool library the terminal
// names, calls its entry point with the main window and the tool record, and unloads it
// on "purge". One library handle is held at a time.
#pragma once

#include "app_request.h"
#include "tool_plugin_api.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <utility>

namespace tamsel::shell {

class TPrompter;

class TToolPlugins final {
  public:
    /// The reserved tool code: typed alone it names the tool "<code>tools", the example
    /// tool that comes with the program.
    static constexpr const char* kReservedCode = "1450";
    static constexpr const char* kPurge = "purge";
    static constexpr const char* kEntryPoint = "CreateDLLWindow";

    /// @p programDirectory is asked at each load, since the application learns it at start.
    TToolPlugins(TRequestSink& app, TPrompter& prompter, QWidget* mainWindow,
                 std::function<QString()> programDirectory);
    ~TToolPlugins();
    TToolPlugins(const TToolPlugins&) = delete;
    TToolPlugins& operator=(const TToolPlugins&) = delete;

    /// Request 0xf000 with a TagToolRequest.
    void handle(void* record);

    /// The library handle held, null when none.
    void* held() const { return m_held; }
    /// The file a name loads: program directory, "tools/", the name, ".so".
    QString pathOf(const QString& name) const;

  private:
    void purge();
    void note(const QString& text);

    TRequestSink& m_app;
    TPrompter& m_prompter;
    QPointer<QWidget> m_mainWindow;
    std::function<QString()> m_programDirectory;
    void* m_held = nullptr;
    /// How many loads each handle has had (the dynamic loader counts them too).
    QHash<void*, int> m_loads;
    /// The windows each handle's entry point opened; they must go before its code does.
    QHash<void*, QList<QPointer<QWidget>>> m_windows;
};

} // namespace tamsel::shell
