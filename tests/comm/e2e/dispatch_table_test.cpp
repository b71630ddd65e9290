// The request codes the communication object says are its own are exactly the ones it
// runs: the dispatcher routes by handles(), so a code in one list and not in the other
// would be lost or answered by the wrong owner.
#include "test_shell.h"

#include <comm/comm_dll.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace commtest {
namespace {

using namespace tkv;

constexpr std::uint16_t kOwnCodes[] = {
    req::kCodedCommand,     req::kFreeTextKept,    req::kWriteRequest,  req::kFreeText,
    req::kCloseLine,        req::kDriverIdentity,  req::kPollAdd,       req::kPollModeByOwner,
    req::kPollModeByKind,   req::kLastCommandSent, req::kStatusMessage, req::kCapabilityLists,
    req::kCombinationCount, req::kProbeAsk,        req::kProbeReset,    req::kProbeSend,
};

// Codes of the project, the shell and the windows, and codes nobody has.
constexpr std::uint16_t kOtherCodes[] = {
    req::kSetModuleRecordText,
    req::kSetupSummary,
    req::kListDeviceEntries,
    req::kModuleRecordCount,
    req::kSetLineAndReconnect,
    req::kReconnect,
    req::kConfigurationChanged,
    req::kVersionText,
    req::kTrace,
    req::kDiagnostic,
    req::kCatalogue,
    req::kHelp,
    req::kPollNotification,
    req::kErrorReport,
    req::kStartup,
    req::kTool,
    req::kListGlossary,
    req::kLastCommand,
    0x0000,
    0x1234,
    0xabcd,
    0xffff,
};

TEST(DispatchTable, NamesItsOwnCodesAndNoOther) {
    for (const std::uint16_t code : kOwnCodes) {
        EXPECT_TRUE(TKV_CommDLL::handles(code)) << std::hex << code;
    }
    for (const std::uint16_t code : kOtherCodes) {
        EXPECT_FALSE(TKV_CommDLL::handles(code)) << std::hex << code;
    }
}

TEST(DispatchTable, RunsWhatItNamesAndRefusesTheRestWithoutTouchingTheRecord) {
    TestShell shell;
    TKV_CommDLL comm(shell);
    constexpr TKV_WindowHandle kNotes = 1;
    constexpr std::int32_t kMessage = 7;
    comm.setNotifyTarget(kNotes, kMessage);
    for (const std::uint16_t code : kOtherCodes) {
        char record[kTextSize];
        std::memset(record, 'x', sizeof record);
        EXPECT_FALSE(comm.request(code, 0, record)) << std::hex << code;
        EXPECT_EQ(record[0], 'x') << std::hex << code;
        EXPECT_EQ(record[kTextSize - 1], 'x') << std::hex << code;
    }
    // Every code of its own but the line's close wants its record.
    for (const std::uint16_t code : kOwnCodes) {
        EXPECT_EQ(comm.request(code, 0, nullptr), code == req::kCloseLine) << std::hex << code;
    }
    // Without a driver, the answers that need none still come.
    std::int32_t combinations = -1;
    EXPECT_TRUE(comm.request(req::kCombinationCount, 0, &combinations));
    EXPECT_EQ(combinations, 0);
    const TagConfigDLL* lists = nullptr;
    EXPECT_TRUE(comm.request(req::kCapabilityLists, 0, &lists));
    EXPECT_EQ(lists, &comm.config());
    shell.clear();
    EXPECT_TRUE(comm.request(req::kCloseLine, 0, nullptr));
    EXPECT_EQ(shell.notesOf(kNoteTrace), std::vector<std::string>({"Not in normal use"}));
}

} // namespace
} // namespace commtest
