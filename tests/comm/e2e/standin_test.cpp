// The binding against a stand-in driver: replies longer than the records, optional
// functions that are missing, and what the binding passes to the driver.
#include "comm_fixture.h"
#include "requests.h"

#include <common/loaded_library.h>

#include <cstring>

namespace commtest {
namespace {

using namespace tkv;

using SeenFn = void (*)(int, char*, int);
using FailFn = void (*)(const char*, int32_t);
using ResetFn = void (*)();

class StandIn : public CommLine {
  protected:
    /// Binds a copy of a stand-in library; false when examine or bind refused it.
    bool bindStandIn(const char* library, const char* name) {
        const fs::path dir = root() / name;
        fs::create_directories(dir);
        fs::copy_file(library, dir / TKV_CommDLL::kDriverFile,
                      fs::copy_options::overwrite_existing);
        // The same path gives the same loaded library as the binding's.
        m_standIn = common::LoadedLibrary((dir / TKV_CommDLL::kDriverFile).string());
        EXPECT_TRUE(m_standIn.loaded()) << m_standIn.error();
        if (m_standIn.loaded()) {
            m_standIn.function<ResetFn>("StandinReset")();
        }
        comm = std::make_unique<TKV_CommDLL>(shell);
        comm->setNotifyTarget(kStatusBar, kMessage);
        MemoryStore store;
        store.values["localize"] = dir.string();
        int32_t reason = 0;
        bool missing = false;
        EXPECT_TRUE(comm->locateBySettings(store, reason, missing));
        return comm->examine() && comm->bind();
    }
    void TearDown() override {
        comm.reset();
        m_standIn.reset();
    }
    std::string seen(int which) {
        char out[4096] = {};
        m_standIn.function<SeenFn>("StandinSeen")(which, out, sizeof out);
        return out;
    }
    void failOn(const char* prefix, int32_t status) {
        m_standIn.function<FailFn>("StandinFailOn")(prefix, status);
    }
    common::LoadedLibrary m_standIn;
};

TEST_F(StandIn, ConnectSendsTheTargetAndTackSettingsAndSelectsEnglish) {
    ASSERT_TRUE(bindStandIn(STANDIN_FULL, "full"));
    ASSERT_TRUE(comm->connect("TRILO COM2 XON-XOFF 9600"));
    EXPECT_EQ(comm->lineHandle(), 2);
    EXPECT_EQ(seen(0), "/TRILO/|/TACK 400/|");
    EXPECT_EQ(seen(2), "US");
    EXPECT_EQ(comm->getValue(kValueCombinations), 1);
    char buffer[kTextSize];
    comm->getInformation(kInfoIdentity, buffer);
    EXPECT_STREQ(buffer, "stand-in");
}

TEST_F(StandIn, ConnectBoxesForTheSettings) {
    ASSERT_TRUE(bindStandIn(STANDIN_FULL, "full"));
    failOn("/TACK", 0x2008);
    EXPECT_FALSE(comm->connect("TRILO COM2 XON-XOFF 9600"));
    ASSERT_EQ(shell.boxes().size(), 1U);
    EXPECT_EQ(shell.boxes()[0].first, "error 2008 on dial tack");
    EXPECT_EQ(seen(2), "<none>") << "the language is not set after a failure";
    failOn("/TRILO", 0x3002);
    EXPECT_FALSE(comm->connect("TRILO COM2 XON-XOFF 9600"));
    ASSERT_EQ(shell.boxes().size(), 2U);
    EXPECT_EQ(shell.boxes()[1].first, "error 3002 on dial target");
    EXPECT_EQ(shell.boxes()[1].second, "/TRILO/");
}

TEST_F(StandIn, ReplyLongerThanTheRecordsIsCutTo254Characters) {
    ASSERT_TRUE(bindStandIn(STANDIN_FULL, "full"));
    ASSERT_TRUE(comm->connect("TRILO COM2 XON-XOFF 9600"));
    TagFreeText f;
    text::copy(f.text, "LONG");
    ASSERT_TRUE(comm->sendFreeText(f));
    EXPECT_EQ(std::strlen(f.reply), 254U);
    EXPECT_EQ(std::string(f.reply), std::string(254, 'x'));
    std::string result;
    ASSERT_TRUE(comm->sendFileLine("LONG", kFileLineSend, result));
    EXPECT_EQ(result.size(), 254U);
    TagCodedCommand c = coded(12, 1);
    ASSERT_TRUE(comm->sendCodedCommand(c));
    EXPECT_EQ(text::view(c.parameter), "re:01QL") << "the first field of the reply";
}

TEST_F(StandIn, SyntaxMacroPassesTheDump) {
    ASSERT_TRUE(bindStandIn(STANDIN_FULL, "full"));
    ASSERT_TRUE(comm->connect("TRILO COM2 XON-XOFF 9600"));
    const std::string before = seen(0);
    TagFreeText f;
    text::copy(f.text, "$syntaxe=AB");
    ASSERT_TRUE(comm->sendFreeText(f));
    EXPECT_EQ(seen(1), " 41 42");
    text::copy(f.text, "$syntaxe=");
    ASSERT_TRUE(comm->sendFreeText(f));
    EXPECT_EQ(seen(1), "");
    EXPECT_STREQ(f.reply, "Macro is done ");
    // A text of 245 characters after the macro: three characters each, no overrun.
    std::string longMacro = "$syntaxe=" + std::string(245, '~');
    text::copy(f.text, longMacro);
    ASSERT_TRUE(comm->sendFreeText(f));
    EXPECT_EQ(seen(1).size(), 245U * 3);
    EXPECT_EQ(seen(1).substr(0, 6), " 7E 7E");
    EXPECT_EQ(seen(0), before) << "nothing was sent";
}

TEST_F(StandIn, OptionalFunctionsMissing) {
    ASSERT_TRUE(bindStandIn(STANDIN_BARE, "bare"));
    char buffer[kTextSize] = "old";
    comm->getInformation(kInfoIdentity, buffer);
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(comm->connect("TRILO COM2 XON-XOFF 9600"));
    ASSERT_EQ(shell.boxes().size(), 1U);
    EXPECT_EQ(shell.boxes()[0],
              std::make_pair(std::string("erreur on setconfigdrvkv"), std::string("test")));
    TagFreeText f;
    text::copy(f.text, "$syntaxe=AB");
    EXPECT_TRUE(comm->sendFreeText(f)) << "skipped silently";
    EXPECT_STREQ(f.reply, "Macro is done ");
}

TEST_F(StandIn, ListFunctionsMissingFailTheBinding) {
    EXPECT_FALSE(bindStandIn(STANDIN_NO_LISTS, "nolists"));
    EXPECT_TRUE(shell.boxes().empty());
}

TEST_F(StandIn, FailedSettingIsNotedAndTheMessageComesFromTheDriver) {
    ASSERT_TRUE(bindStandIn(STANDIN_FULL, "full"));
    ASSERT_TRUE(comm->connect("TRILO COM2 XON-XOFF 9600"));
    failOn("/BAD", 0x2008);
    EXPECT_FALSE(comm->sendSetting("/BAD/"));
    const auto notes = shell.notesOf(kNoteDiagnostic);
    ASSERT_GE(notes.size(), 2U);
    EXPECT_EQ(notes[notes.size() - 2], "/BAD/");
    EXPECT_EQ(notes.back(), "erreur de communication");
    failOn("01", 0x3008);
    TagFreeText f;
    text::copy(f.text, "01QD");
    EXPECT_FALSE(comm->sendFreeText(f));
    EXPECT_STREQ(f.reply, "message 3008");
    EXPECT_EQ(f.status, 0x3008);
}

} // namespace
} // namespace commtest
