// The communication error report over a stand-in for the shell and the failing window:
// the fields, the module's own report, the beep, and the clear command on closing.
#include <comm_error_dialog.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamsel::widgets::test {
namespace {

/// Answers as the shell would, and keeps every question asked.
class TFakeErrorSource final : public TCommErrorSource {
  public:
    TagCommErrorData data;
    QString last = QStringLiteral("03GS");
    TagRawReply reply{0, QStringLiteral("E12")};
    std::vector<std::string> asked;
    std::vector<std::string> sent;
    int beeps = 0;
    /// Beeps heard when the module's report was asked for.
    int beepsBeforeReport = -1;

    TagCommErrorData errorData() override {
        asked.push_back("error data");
        return data;
    }
    QString lastCommand() override {
        asked.push_back("last command");
        return last;
    }
    QString statusMessage(const QString& codeText) override {
        asked.push_back("message of '" + codeText.toStdString() + "'");
        return QStringLiteral("message for ") + codeText.trimmed();
    }
    QString findCommand(std::int32_t typeCode, std::int32_t number) override {
        asked.push_back("command " + std::to_string(number) + " of " + std::to_string(typeCode));
        // Two families of the catalogue: one reads and clears with one command, the other
        // with two.
        if ((typeCode >> 8) == 0x50) {
            return number == errorcmd::kReadError ? QStringLiteral("REA H#ERR")
                                                  : QStringLiteral("#ERR := 0");
        }
        return QStringLiteral("RX");
    }
    TagRawReply rawExchange(const QString& text) override {
        sent.push_back(text.toStdString());
        if (beepsBeforeReport < 0) {
            beepsBeforeReport = beeps;
        }
        return reply;
    }
    void exclamationBeep() override { ++beeps; }
};

QString field(QWidget& dialog, const char* id) {
    auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(id));
    return label != nullptr ? label->text() : QStringLiteral("<no control %1>").arg(id);
}

class CommErrorDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        source.data = {failed::kRead, 1, 0x3002, 3, 0x5000, QStringLiteral("@03 Suivi")};
    }
    TFakeErrorSource source;
};

TEST_F(CommErrorDialogTest, FillsEveryFieldFromTheWindowTheShellAndTheModule) {
    TCommErrorDialog dialog(source);
    EXPECT_EQ(dialog.objectName(), "8000");
    EXPECT_EQ(dialog.windowTitle(), "Communication Error");
    EXPECT_EQ(field(dialog, "101"), "@03 Suivi");
    EXPECT_EQ(field(dialog, "102"), "03GS");
    EXPECT_EQ(field(dialog, "103"), "3002h");
    EXPECT_EQ(field(dialog, "104"), "message for 12290");
    EXPECT_EQ(field(dialog, "105"), "E12");
    const std::vector<std::string> asked = {"error data", "last command", "message of '12290 '",
                                            "command 6 of 20480"};
    EXPECT_EQ(source.asked, asked);
    EXPECT_EQ(source.sent, std::vector<std::string>{"03REA H#ERR"});
    EXPECT_EQ(source.beepsBeforeReport, 0);
    EXPECT_EQ(source.beeps, 1);
}

TEST_F(CommErrorDialogTest, TheCodeAndTheCommandsAreWrittenTheirWay) {
    const struct {
        std::int32_t status;
        std::int32_t address;
        std::int32_t typeCode;
        const char* code;
        const char* sent;
    } cases[] = {
        {0x50, 7, 0x0102, "  50h", "07RX"},
        {0x8001, 12, 0x5001, "8001h", "12REA H#ERR"},
        {-1, 0, 0x0300, "FFFFFFFFh", "00RX"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.code);
        TFakeErrorSource fake;
        fake.data = {failed::kWrite, 4, row.status, row.address, row.typeCode, QStringLiteral("w")};
        TCommErrorDialog dialog(fake);
        EXPECT_EQ(field(dialog, "103").toStdString(), row.code);
        ASSERT_FALSE(fake.sent.empty());
        EXPECT_EQ(fake.sent.front(), row.sent);
    }
}

TEST_F(CommErrorDialogTest, AFailingModuleReportShowsTheDriversMessage) {
    source.reply = {0x3008, QStringLiteral("garbage")};
    TCommErrorDialog dialog(source);
    EXPECT_EQ(field(dialog, "105"), "message for 12296");
    EXPECT_EQ(source.asked.back(), "message of '12296 '");
    EXPECT_EQ(source.beeps, 1);
}

TEST_F(CommErrorDialogTest, ClosingSendsTheClearCommandOnce) {
    {
        TCommErrorDialog dialog(source);
        dialog.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_EQ(source.sent.size(), 1U);
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("1"));
        ASSERT_NE(ok, nullptr);
        ok->click();
        EXPECT_FALSE(dialog.isVisible());
        const std::vector<std::string> sent = {"03REA H#ERR", "03#ERR := 0"};
        EXPECT_EQ(source.sent, sent);
        EXPECT_EQ(source.asked.back(), "command 7 of 20480");
        dialog.open();
        dialog.reject();
    }
    EXPECT_EQ(source.sent.size(), 2U);
}

TEST_F(CommErrorDialogTest, EscapeClosesAndClearsToo) {
    source.data.typeCode = 0x0102;
    TCommErrorDialog dialog(source);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    const std::vector<std::string> sent = {"03RX", "03RX"};
    EXPECT_EQ(source.sent, sent);
}

TEST_F(CommErrorDialogTest, ALongTitleIsCutAtFiftyCharacters) {
    source.data.title = QString(60, u'x');
    TCommErrorDialog dialog(source);
    EXPECT_EQ(field(dialog, "101"), QString(50, u'x'));
}

} // namespace
} // namespace tamsel::widgets::test
