// VRX23 (family 0x30) and VRX34 (family 0x40) on the virtual line, through the driver's
// frame translation: status sub-reads, settings reads and the settings writes.
#include "comm_fixture.h"
#include "record_text.h"
#include "requests.h"
#include "wire_log.h"

#include <mutex>

namespace commtest {
namespace {

using namespace tkv;

constexpr int32_t kVrx23 = 0x3001;
constexpr int32_t kVrx34 = 0x4001;

class V2334 : public CommLine {
  protected:
    void SetUp() override {
        startLine("05 VRX23 inputs=A5\n06 VRX34\n", "VRX23");
        // The project's address table makes address 6 a VRX34.
        ASSERT_TRUE(comm->sendSetting("/VRX34 = 6/"));
    }
    bool write(int32_t type, int32_t address, TagV2334Settings v) {
        TagRequest r = requestOf(kKindV2334Write, type, address, &v);
        const bool ok = comm->writeRequest(r);
        EXPECT_EQ(r.status, 0) << std::hex << v.subKind;
        return ok;
    }
    /// One pass of a periodic poll entry; gives the sub-index of each notification.
    std::vector<int32_t> onePass(TagRequest& r, int32_t kind, std::size_t reads) {
        std::mutex m;
        std::vector<int32_t> subs;
        shell.clear();
        shell.setHandler([&](const Completion&) {
            std::lock_guard<std::mutex> lock(m);
            subs.push_back(r.subIndex);
        });
        TagPollEntry e;
        e.kind = kind;
        e.mode = kPollPeriodic;
        e.owner = 66;
        e.request = &r;
        EXPECT_TRUE(comm->addPollEntry(e));
        comm->startPolling();
        EXPECT_TRUE(shell.waitCompletions([&](const auto& c) { return c.size() >= reads; }));
        comm->setModeByOwner(66, kPollFree);
        shell.setHandler(nullptr);
        std::lock_guard<std::mutex> lock(m);
        return {subs.begin(), subs.begin() + std::min(subs.size(), reads)};
    }
};

TEST_F(V2334, StatusInThreeSubReadsPerPass) {
    for (const auto& [type, address] : {std::pair{kVrx23, 5}, std::pair{kVrx34, 6}}) {
        SCOPED_TRACE(address);
        TagV2334Settings go;
        go.subKind = kV2334Gain;
        go.ga = 100;
        ASSERT_TRUE(write(type, address, go));
        TagStatus probe;
        TagRequest pr = requestOf(kKindStatus, type, address, &probe, 1);
        ASSERT_TRUE(eventually([&] { return comm->readRequest(pr) && probe.position == 100; }));
        line->clearLog();

        TagStatus s;
        s.errorCode = s.execute = 9;
        TagRequest r = requestOf(kKindStatus, type, address, &s);
        EXPECT_EQ(onePass(r, kKindStatus, 3), std::vector<int32_t>({1, 2, 3}));
        EXPECT_EQ(r.count, 3);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(s.position, 100);
        EXPECT_EQ(s.errorCode, 0);
        EXPECT_EQ(s.execute, 0);
        EXPECT_EQ(s.function, 0);
        EXPECT_EQ(s.statusWord & 0x2, 0x2) << "powered";
        const int32_t inputs = address == 5 ? 0xA5 : 0;
        EXPECT_EQ(s.inputs, inputs);
        EXPECT_EQ(s.stage, inputs);
        EXPECT_EQ(s.statusWord >> 4 & 0xFF, inputs);
        EXPECT_GE(commandsOf(line->log()).size(), 3U) << "frames of the three reads";
    }
}

TEST_F(V2334, SettingsWritesReadBackInTwoSubReads) {
    for (const auto& [type, address] : {std::pair{kVrx23, 5}, std::pair{kVrx34, 6}}) {
        SCOPED_TRACE(address);
        TagV2334Settings v;
        v.bn = 3;
        v.bp = 4;
        v.flagR = 1;
        v.gi = 50;
        v.ms = 1;
        v.dg = 9;
        v.wl = 300;
        v.wh = 6000;
        v.wt = 96;
        for (int32_t sub : {kV2334Brake, kV2334Current, kV2334Motion}) {
            v.subKind = sub;
            ASSERT_TRUE(write(type, address, v));
        }
        TagV2334Settings read;
        TagRequest r = requestOf(kKindV2334Read, type, address, &read);
        EXPECT_EQ(onePass(r, kKindV2334Read, 2), std::vector<int32_t>({1, 2}));
        EXPECT_EQ(r.count, 2);
        EXPECT_EQ(read.bn, 3);
        EXPECT_EQ(read.bp, 4);
        EXPECT_EQ(read.flagR, 1);
        EXPECT_EQ(read.flagS, 0);
        EXPECT_EQ(read.gi, 50);
        EXPECT_EQ(read.ms, 1);
        EXPECT_EQ(read.dg, 9);
        EXPECT_EQ(read.wl, 300);
        EXPECT_EQ(read.wh, 6000);
        EXPECT_EQ(read.wt, 96);

        v.flagR = 0;
        v.flagS = 1;
        v.subKind = kV2334Brake;
        ASSERT_TRUE(write(type, address, v));
        v.ms = 0;
        v.subKind = kV2334Current;
        ASSERT_TRUE(write(type, address, v));
        TagRequest once = requestOf(kKindV2334Read, type, address, &read, 1);
        ASSERT_TRUE(comm->readRequest(once));
        EXPECT_EQ(read.flagR, 0);
        EXPECT_EQ(read.flagS, 1);
        EXPECT_EQ(read.ms, 0);
    }
}

TEST_F(V2334, GainWritesMove) {
    TagV2334Settings v;
    v.subKind = kV2334Gain;
    v.gfSelected = 1;
    v.gf = 2000;
    ASSERT_TRUE(write(kVrx23, 5, v));
    TagStatus s;
    TagRequest r = requestOf(kKindStatus, kVrx23, 5, &s, 1);
    ASSERT_TRUE(eventually([&] { return comm->readRequest(r) && s.position > 0; }));
    v.gfSelected = 0;
    v.ga = -50;
    ASSERT_TRUE(write(kVrx23, 5, v));
    EXPECT_TRUE(eventually([&] { return comm->readRequest(r) && s.position == -50; }));
}

} // namespace
} // namespace commtest
