// The window base and its poll subscription over a recording application: which requests
// they send, with which records, and when.
#include <module_window_base.h>
#include <poll_subscription.h>

#include <contract/error_data.h>
#include <contract/request_codes.h>

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace tamsel::windows::test {
namespace {

namespace req = contract::req;

struct TSent {
    std::uint16_t code;
    std::uint16_t hi;
    contract::TKV_WindowHandle owner; ///< of a poll request
    contract::TagHelpInfo help;       ///< of 0x6000
    QWidget* window;                  ///< of 0x8080
    bool operator==(const TSent& o) const {
        return code == o.code && hi == o.hi && owner == o.owner;
    }
};

class TRecordingApp final : public contract::TRequestSink {
  public:
    std::vector<TSent> sent;
    std::vector<contract::TagPollEntry> added;
    contract::TagErrorData reported;

    std::int32_t request(std::uint16_t code, std::uint16_t hi, void* record) override {
        TSent s{code, hi, 0, {}, nullptr};
        switch (code) {
        case req::kPollAdd:
            added.push_back(*static_cast<contract::TagPollEntry*>(record));
            s.owner = added.back().owner;
            break;
        case req::kPollModeByOwner:
            s.owner = *static_cast<contract::TKV_WindowHandle*>(record);
            break;
        case req::kHelp:
            s.help = *static_cast<contract::TagHelpInfo*>(record);
            break;
        case req::kErrorReport:
            s.window = static_cast<contract::TagErrorReport*>(record)->window;
            // The shell asks the window at once, as the report does.
            if (auto* source = dynamic_cast<contract::TErrorDataSource*>(s.window)) {
                source->errorData(reported);
            }
            break;
        default:
            break;
        }
        sent.push_back(s);
        return 0;
    }
    std::vector<TSent> of(std::uint16_t code) const {
        std::vector<TSent> out;
        for (const TSent& s : sent) {
            if (s.code == code) {
                out.push_back(s);
            }
        }
        return out;
    }
};

constexpr contract::TKV_WindowHandle kOwner = 0x4711;

std::vector<contract::TagPollEntry> twoEntries(contract::TagRequest* a, contract::TagRequest* b) {
    contract::TagPollEntry first;
    first.kind = contract::kKindStatus;
    first.mode = contract::kPollPeriodic;
    first.request = a;
    contract::TagPollEntry second = first;
    second.kind = contract::kKindParameters;
    second.request = b;
    return {first, second};
}

TEST(PollSubscription, RegistersPausesResumesAndWithdrawsUnderItsOwner) {
    TRecordingApp app;
    contract::TagRequest a;
    contract::TagRequest b;
    {
        TPollSubscription polls(app, kOwner, twoEntries(&a, &b));
        ASSERT_EQ(app.added.size(), 2U);
        EXPECT_EQ(app.added[0].owner, kOwner);
        EXPECT_EQ(app.added[1].owner, kOwner);
        EXPECT_EQ(app.added[0].request, &a);
        EXPECT_EQ(app.added[1].request, &b);
        EXPECT_TRUE(app.of(req::kPollModeByOwner).empty());

        // Each change goes out once, however often it is asked for.
        const struct {
            bool pause;
            std::vector<TSent> sent;
        } steps[] = {
            {true, {{req::kPollModeByOwner, contract::kPollPaused, kOwner, {}, nullptr}}},
            {true, {}},
            {false, {{req::kPollModeByOwner, contract::kPollPeriodic, kOwner, {}, nullptr}}},
            {false, {}},
        };
        for (const auto& step : steps) {
            app.sent.clear();
            step.pause ? polls.pause() : polls.resume();
            EXPECT_EQ(polls.paused(), step.pause);
            EXPECT_EQ(app.sent, step.sent);
        }
        app.sent.clear();
    }
    const std::vector<TSent> withdrawn{
        {req::kPollModeByOwner, contract::kPollFree, kOwner, {}, nullptr}};
    EXPECT_EQ(app.sent, withdrawn);
}

TEST(PollSubscription, AOnceReaderAddsItsReadsLaterAndResumesThemAsOnceReads) {
    TRecordingApp app;
    contract::TagRequest r;
    TPollSubscription polls(app, kOwner, {}, contract::kPollOnce);
    EXPECT_TRUE(app.added.empty());
    contract::TagPollEntry entry;
    entry.kind = contract::kKindParameters;
    entry.mode = contract::kPollOnce;
    entry.request = &r;
    polls.add(entry);
    ASSERT_EQ(app.added.size(), 1U);
    EXPECT_EQ(app.added[0].owner, kOwner);
    EXPECT_EQ(app.added[0].mode, contract::kPollOnce);
    // A read asked for while the window is minimised waits, paused, for the restore.
    polls.pause();
    polls.add(entry);
    ASSERT_EQ(app.added.size(), 2U);
    EXPECT_EQ(app.added[1].mode, contract::kPollPaused);
    app.sent.clear();
    polls.resume();
    const std::vector<TSent> resumed{
        {req::kPollModeByOwner, contract::kPollOnce, kOwner, {}, nullptr}};
    EXPECT_EQ(app.sent, resumed);
}

class TTinyWindow final : public TModuleWindowBase {
  public:
    static constexpr int kDialog = 1350;
    static constexpr int kContext = 1702;
    TTinyWindow(const TWindowSetup& setup, contract::TagRequest* record)
        : TModuleWindowBase(setup, kDialog, kContext) {
        setWindowTitle(QStringLiteral(" Direct Motion 05"));
        auto* layout = new QVBoxLayout(this);
        value = new QLabel(QStringLiteral("0"), this);
        layout->addWidget(value);
        layout->addWidget(makeHelpButton());
        contract::TagPollEntry entry;
        entry.kind = contract::kKindStatus;
        entry.mode = contract::kPollPeriodic;
        entry.request = record;
        polls = std::make_unique<TPollSubscription>(*setup.app, handle(),
                                                    std::vector<contract::TagPollEntry>{entry});
        watchPolls(polls.get());
    }
    ~TTinyWindow() override { watchPolls(nullptr); }
    void fail(std::int32_t operation, std::int32_t kind, std::int32_t status) {
        reportFailure(operation, kind, status);
    }
    QLabel* value = nullptr;
    std::unique_ptr<TPollSubscription> polls;
};

class WindowBaseTest : public ::testing::Test {
  protected:
    TTinyWindow* open() {
        TWindowSetup setup;
        setup.app = &app;
        setup.address = 5;
        setup.typeCode = 0x0205;
        setup.handleOf = [this](QObject* w) {
            handled = w;
            return kOwner;
        };
        auto* window = new TTinyWindow(setup, &record);
        sub = area.addSubWindow(window);
        sub->show();
        return window;
    }
    TRecordingApp app;
    contract::TagRequest record;
    QMdiArea area;
    QMdiSubWindow* sub = nullptr;
    QObject* handled = nullptr;
};

TEST_F(WindowBaseTest, MinimisingTheWindowsFramePausesItsReadsAndRestoringResumesThem) {
    TTinyWindow* window = open();
    area.show();
    EXPECT_EQ(handled, window);
    EXPECT_EQ(window->handle(), kOwner);
    app.sent.clear();
    sub->showMinimized();
    EXPECT_TRUE(window->polls->paused());
    sub->showNormal();
    EXPECT_FALSE(window->polls->paused());
    const std::vector<TSent> expected{
        {req::kPollModeByOwner, contract::kPollPaused, kOwner, {}, nullptr},
        {req::kPollModeByOwner, contract::kPollPeriodic, kOwner, {}, nullptr}};
    EXPECT_EQ(app.sent, expected);
    app.sent.clear();
    delete sub;
    const std::vector<TSent> withdrawn{
        {req::kPollModeByOwner, contract::kPollFree, kOwner, {}, nullptr}};
    EXPECT_EQ(app.sent, withdrawn);
}

TEST_F(WindowBaseTest, F1AndTheHelpButtonAskForTheWindowsTopic) {
    TTinyWindow* window = open();
    area.show();
    app.sent.clear();
    QTest::keyClick(window->value, Qt::Key_F1);
    window->findChild<QPushButton*>(TModuleWindowBase::kHelpButtonName)->click();
    const std::vector<TSent> help = app.of(req::kHelp);
    ASSERT_EQ(help.size(), 2U);
    for (const TSent& s : help) {
        EXPECT_EQ(s.hi, TTinyWindow::kDialog);
        EXPECT_EQ(s.help.controlId, contract::kHelpTopicControl);
        EXPECT_EQ(s.help.contextId, TTinyWindow::kContext);
        EXPECT_EQ(s.help.contextType, contract::kHelpContextWindow);
    }
    EXPECT_EQ(window->property("helpContext").toInt(), TTinyWindow::kContext);
}

TEST_F(WindowBaseTest, AFailureAsksForTheReportAndTheWindowTellsWhatFailed) {
    TTinyWindow* window = open();
    const struct {
        std::int32_t operation;
        std::int32_t kind;
        std::int32_t status;
    } cases[] = {
        {contract::kFailedRead, contract::kKindStatus, 0x21},
        {contract::kFailedWrite, contract::kKindMotionWrite, 0x1003},
    };
    for (const auto& c : cases) {
        app.sent.clear();
        window->fail(c.operation, c.kind, c.status);
        const std::vector<TSent> report = app.of(req::kErrorReport);
        ASSERT_EQ(report.size(), 1U);
        EXPECT_EQ(report[0].window, window);
        EXPECT_EQ(report[0].hi, TTinyWindow::kDialog);
        EXPECT_EQ(app.reported.operation, c.operation);
        EXPECT_EQ(app.reported.kind, c.kind);
        EXPECT_EQ(app.reported.status, c.status);
        EXPECT_EQ(app.reported.address, 5);
        EXPECT_EQ(app.reported.typeCode, 0x0205);
        EXPECT_STREQ(app.reported.title, " Direct Motion 05");
    }
    // A title longer than the report keeps is cut, never overrun.
    window->setWindowTitle(QString(80, QLatin1Char('x')));
    window->fail(contract::kFailedRead, contract::kKindStatus, 1);
    EXPECT_EQ(std::strlen(app.reported.title), std::size_t{contract::kErrorTitleSize - 1});
}

} // namespace
} // namespace tamsel::windows::test
