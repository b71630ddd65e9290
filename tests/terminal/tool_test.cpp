// The tool loader of request 0xf000 with small plug-ins built for the test: which file a
// name loads, what the entry point receives, and what "purge" unloads.
#include "terminal_support.h"

#include <tool_plugins.h>

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <memory>

namespace tamsel::terminal::test {
namespace {

class ToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(program.isValid());
        ASSERT_TRUE(QDir(program.path()).mkpath("tools/sub"));
        app.programDirectory = program.path();
        tools = std::make_unique<shell::TToolPlugins>(app, prompter, &main,
                                                      [this] { return program.path(); });
    }
    void install(const char* source, const QString& as) {
        ASSERT_TRUE(QFile::copy(QString::fromLatin1(source), program.filePath("tools/" + as)));
    }
    TagToolRequest record(const char* name) {
        TagToolRequest r{};
        std::strncpy(r.name, name, sizeof r.name - 1);
        r.owner = &owner;
        return r;
    }
    bool mapped(const QString& file) const {
        const QByteArray path = QFile::encodeName(program.filePath("tools/" + file));
        void* handle = ::dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD);
        if (handle != nullptr) {
            ::dlclose(handle);
        }
        return handle != nullptr;
    }
    QList<QWidget*> toolWindows() const {
        return main.findChildren<QWidget*>("testToolWindow", Qt::FindDirectChildrenOnly);
    }

    QTemporaryDir program;
    TFakeApp app;
    TRecordingPrompter prompter;
    QWidget main;
    QWidget owner;
    std::unique_ptr<shell::TToolPlugins> tools;
};

TEST_F(ToolTest, ANameBecomesAPathBelowTheProgramDirectory) {
    const struct {
        const char* name;
        const char* path;
    } cases[] = {
        {"example", "/tools/example.so"},
        {"example.so", "/tools/example.so.so"},
        {"sub/example", "/tools/sub/example.so"},
        {"../example", "/tools/../example.so"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tools->pathOf(QString::fromLatin1(c.name)), program.path() + c.path) << c.name;
    }
}

TEST_F(ToolTest, TheEntryPointGetsTheMainWindowAndTheRecord) {
    install(TAMSEL_TEST_TOOL, "probe.so");
    TagToolRequest r = record("probe");
    tools->handle(&r);
    EXPECT_EQ(r.loaded, 1);
    EXPECT_NE(tools->held(), nullptr);
    ASSERT_EQ(toolWindows().size(), 1);
    QWidget* window = toolWindows().first();
    EXPECT_EQ(window->property("mainWindow").value<quintptr>(), reinterpret_cast<quintptr>(&main));
    EXPECT_EQ(window->property("record").value<quintptr>(), reinterpret_cast<quintptr>(&r));
    EXPECT_EQ(window->property("owner").value<quintptr>(), reinterpret_cast<quintptr>(&owner));
    EXPECT_EQ(window->property("name").toString(), "probe");
    // The tool reaches the application through the main window.
    EXPECT_TRUE(window->property("reached").toBool());
    EXPECT_EQ(window->property("directory").toString(), program.path());
    ASSERT_FALSE(app.of(shell::req::kProgramDirectory).isEmpty());
    EXPECT_TRUE(mapped("probe.so"));
}

TEST_F(ToolTest, TheReservedCodeNamesItsTool) {
    install(TAMSEL_TEST_TOOL, "1450tools.so");
    TagToolRequest r = record(shell::TToolPlugins::kReservedCode);
    tools->handle(&r);
    EXPECT_EQ(r.loaded, 1);
    EXPECT_TRUE(mapped("1450tools.so"));
    ASSERT_EQ(toolWindows().size(), 1);
    // The record keeps what the user typed.
    EXPECT_EQ(toolWindows().first()->property("name").toString(), "1450");
}

TEST_F(ToolTest, ANameWithAPathLoadsFromThere) {
    install(TAMSEL_TEST_TOOL, "sub/deep.so");
    TagToolRequest r = record("sub/deep");
    tools->handle(&r);
    EXPECT_EQ(r.loaded, 1);
    EXPECT_TRUE(mapped("sub/deep.so"));
}

TEST_F(ToolTest, AMissingToolLeavesResultZeroAndTheHeldToolAlone) {
    install(TAMSEL_TEST_TOOL, "probe.so");
    TagToolRequest first = record("probe");
    tools->handle(&first);
    void* held = tools->held();
    ASSERT_NE(held, nullptr);
    for (const char* name : {"absent", "probe.so", ""}) {
        TagToolRequest r = record(name);
        r.loaded = 1;
        tools->handle(&r);
        EXPECT_EQ(r.loaded, 0) << name;
        EXPECT_EQ(tools->held(), held);
    }
    EXPECT_EQ(toolWindows().size(), 1);
    EXPECT_FALSE(app.of(shell::req::kDiagnostic).isEmpty());
}

TEST_F(ToolTest, ALibraryWithoutTheEntryPointLoadsAndOpensNothing) {
    install(TAMSEL_NO_ENTRY_TOOL, "quiet.so");
    TagToolRequest r = record("quiet");
    tools->handle(&r);
    EXPECT_EQ(r.loaded, 1);
    EXPECT_NE(tools->held(), nullptr);
    EXPECT_TRUE(main.findChildren<QWidget*>().isEmpty());
    ASSERT_FALSE(app.of(shell::req::kDiagnostic).isEmpty());
    EXPECT_TRUE(app.of(shell::req::kDiagnostic).last().text.contains("CreateDLLWindow"));
}

TEST_F(ToolTest, PurgeWithoutAToolOnlyShowsTheBox) {
    TagToolRequest r = record("purge");
    r.loaded = 7;
    tools->handle(&r);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, "tentative de purge de la dll (demapping)");
    EXPECT_TRUE(prompter.boxes[0].title.isEmpty());
    EXPECT_EQ(r.loaded, 7);
    EXPECT_EQ(tools->held(), nullptr);
}

TEST_F(ToolTest, PurgeClosesTheToolsWindowsAndUnloadsIt) {
    install(TAMSEL_TEST_TOOL, "probe.so");
    TagToolRequest r = record("probe");
    tools->handle(&r);
    ASSERT_EQ(toolWindows().size(), 1);
    QPointer<QWidget> window = toolWindows().first();
    TagToolRequest purge = record("purge");
    tools->handle(&purge);
    EXPECT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(tools->held(), nullptr);
    EXPECT_EQ(window, nullptr);
    EXPECT_FALSE(mapped("probe.so"));
    // The tool can be started again afterwards.
    tools->handle(&r);
    EXPECT_EQ(r.loaded, 1);
    EXPECT_EQ(toolWindows().size(), 1);
}

TEST_F(ToolTest, TheSameToolTwiceKeepsTheSecondHandleAndStaysMappedAfterPurge) {
    install(TAMSEL_TEST_TOOL, "probe.so");
    TagToolRequest r = record("probe");
    tools->handle(&r);
    tools->handle(&r);
    ASSERT_EQ(toolWindows().size(), 2);
    EXPECT_EQ(toolWindows().last()->property("calls").toInt(), 2);
    TagToolRequest purge = record("purge");
    tools->handle(&purge);
    EXPECT_EQ(tools->held(), nullptr);
    // The first load still holds the library: its windows stay and work.
    EXPECT_TRUE(mapped("probe.so"));
    EXPECT_EQ(toolWindows().size(), 2);
    tools->handle(&purge);
    EXPECT_TRUE(mapped("probe.so"));
}

TEST_F(ToolTest, AnotherToolLeavesTheFirstMapped) {
    install(TAMSEL_TEST_TOOL, "one.so");
    install(TAMSEL_TEST_TOOL, "two.so");
    TagToolRequest one = record("one");
    TagToolRequest two = record("two");
    tools->handle(&one);
    tools->handle(&two);
    ASSERT_EQ(toolWindows().size(), 2);
    QPointer<QWidget> first = toolWindows().first();
    TagToolRequest purge = record("purge");
    tools->handle(&purge);
    EXPECT_FALSE(mapped("two.so"));
    EXPECT_TRUE(mapped("one.so"));
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(toolWindows().size(), 1);
}

} // namespace
} // namespace tamsel::terminal::test
