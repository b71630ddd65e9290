// Free texts of the terminal (requests 0x103 and 0x106) and command-file lines.
#include "comm_fixture.h"
#include "requests.h"
#include "wire_log.h"

#include <cstring>

namespace commtest {
namespace {

using namespace tkv;

class FreeText : public CommLine {
  protected:
    void SetUp() override { startLine("03 TRILO type=0x0205\n"); }
    TagFreeText send(int32_t code, int32_t mode, const char* t) {
        TagFreeText f;
        f.mode = mode;
        text::copy(f.text, t);
        last = comm->request(code, 0, &f);
        return f;
    }
    bool last = false;
};

TEST_F(FreeText, AsTypedAndCleaned) {
    TagFreeText f = send(req::kFreeText, kFreeTextAsTyped, "03QD");
    EXPECT_TRUE(last);
    EXPECT_EQ(f.status, 0);
    EXPECT_EQ(f.address, 3);
    EXPECT_TRUE(text::startsWith(f.reply, "03D 000 000")) << f.reply;

    f = send(req::kFreeTextKept, kFreeTextCleaned, "03GA\t\t400 (go there)");
    EXPECT_TRUE(last);
    EXPECT_EQ(text::view(f.text), "03GA  400") << "the record holds the text as it was sent";
    f = send(req::kFreeText, kFreeTextCleaned, "03QV\t");
    EXPECT_TRUE(last);
    EXPECT_TRUE(text::startsWith(f.reply, "03V ")) << f.reply;
    EXPECT_EQ(commandsOf(line->log()), std::vector<std::string>({"03QD", "03GA  400", "03QV"}));
    EXPECT_TRUE(comm->pollingEnabled()) << "the line guard enables polling on release";
}

TEST_F(FreeText, FailureGivesTheDriversMessage) {
    TagFreeText f = send(req::kFreeText, kFreeTextAsTyped, "12QD");
    EXPECT_FALSE(last);
    EXPECT_EQ(f.status, kStatusReceiveTimeout);
    EXPECT_EQ(f.address, 12);
    char message[kTextSize];
    comm->getInformation(kInfoStatusMessage, message, kStatusReceiveTimeout);
    EXPECT_STREQ(f.reply, message);
    EXPECT_STREQ(f.reply, "Default: reception timeout!");
    char sent[kTextSize];
    ASSERT_TRUE(comm->request(req::kLastCommandSent, 0, sent));
    EXPECT_STREQ(sent, "12QD");
}

TEST_F(FreeText, MacrosSendNothing) {
    TagFreeText f = send(req::kFreeText, kFreeTextAsTyped, "$syntaxe=AB");
    EXPECT_TRUE(last);
    EXPECT_EQ(f.status, 0);
    EXPECT_STREQ(f.reply, "Macro is done ");
    EXPECT_EQ(f.address, -1);
    f = send(req::kFreeText, kFreeTextCleaned, "$syntaxe=");
    EXPECT_STREQ(f.reply, "Macro is done ");
    f = send(req::kFreeTextKept, kFreeTextAsTyped, "$hello");
    EXPECT_TRUE(last);
    EXPECT_EQ(f.status, 0);
    EXPECT_STREQ(f.reply, "Macro is UNKNOWED ");
    EXPECT_TRUE(line->log().empty());
    // The line still works after the syntax macro.
    f = send(req::kFreeText, kFreeTextAsTyped, "03QD");
    EXPECT_TRUE(last);
}

TEST_F(FreeText, OverlongModuleReplyGivesTheDriversMessage) {
    // More than the driver's 200 characters: the driver refuses the reply, and the text
    // shown is its message for that.
    ASSERT_TRUE(line->setFault(3, {kvsim::FaultKind::LongReply, 1}));
    TagFreeText f = send(req::kFreeText, kFreeTextAsTyped, "03QD");
    EXPECT_FALSE(last);
    EXPECT_EQ(f.status, kStatusReceiveFailed);
    char message[kTextSize];
    comm->getInformation(kInfoStatusMessage, message, kStatusReceiveFailed);
    EXPECT_STREQ(f.reply, message);
    EXPECT_STREQ(f.reply, "Default: message reception!");
    f = send(req::kFreeText, kFreeTextAsTyped, "03QD");
    EXPECT_TRUE(last) << "the next exchange is normal again";
}

TEST_F(FreeText, CommandFileLines) {
    std::string result;
    EXPECT_TRUE(comm->sendFileLine("03QD ; status", kFileLineSend, result));
    EXPECT_TRUE(text::startsWith(result, "03D ")) << result;
    EXPECT_TRUE(comm->sendFileLine("* comment", kFileLineSend, result));
    EXPECT_EQ(result, "");
    EXPECT_TRUE(comm->sendFileLine("  ~ wait a bit ; note", kFileLineSend, result));
    EXPECT_EQ(result, "~ wait a bit");
    EXPECT_TRUE(comm->sendFileLine("   ", kFileLineSend, result));
    EXPECT_EQ(result, "");
    EXPECT_FALSE(comm->sendFileLine("09QD", kFileLineSend, result));
    char message[kTextSize];
    comm->getInformation(kInfoStatusMessage, message, kStatusReceiveTimeout);
    EXPECT_EQ(result, message);
    EXPECT_EQ(commandsOf(line->log()), std::vector<std::string>({"03QD", "09QD"}));

    EXPECT_TRUE(comm->sendFileLine(nullptr, kFileLineStartPolling, result));
    EXPECT_TRUE(comm->pollingEnabled());
    EXPECT_TRUE(comm->sendFileLine(nullptr, kFileLineStopPolling, result));
    EXPECT_TRUE(eventually([&] { return !comm->pollingEnabled(); }))
        << "the poll thread stops polling after its pass";
    EXPECT_FALSE(comm->sendFileLine("03QD", 7, result));
}

} // namespace
} // namespace commtest
