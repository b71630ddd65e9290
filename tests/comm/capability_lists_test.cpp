// The capability lists read from list functions that answer like the driver does.
#include <comm/capability_lists.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

using namespace tkv;

std::string g_targets;
std::map<std::string, std::string> g_protocols;
std::map<std::string, std::string> g_bauds; // "target" or "target|protocol"

int32_t ports(char* out) {
    std::strcpy(out, "  COM1 COM3 ");
    return 0;
}
int32_t targets(char* out) {
    std::strcpy(out, g_targets.c_str());
    return 0;
}
int32_t protocols(char* out, const char* type) {
    out[0] = '\0';
    auto it = g_protocols.find(type != nullptr ? type : "");
    if (it == g_protocols.end()) {
        return 0x8020;
    }
    std::strcpy(out, it->second.c_str());
    return 0;
}
int32_t bauds(char* out, const char* type, const char* protocol) {
    out[0] = '\0';
    // As the driver: an empty protocol text names no protocol and is refused.
    const std::string key =
        std::string(type) + (protocol != nullptr ? "|" + std::string(protocol) : "");
    auto it = g_bauds.find(key);
    if (it == g_bauds.end()) {
        return 0x8002;
    }
    std::strcpy(out, it->second.c_str());
    return 0;
}

class CapabilityLists : public ::testing::Test {
  protected:
    void SetUp() override {
        g_targets = "DVRX TRILO JBUS";
        g_protocols = {{"DVRX", "DVRX: XON-XOFF ACK-NAK"},
                       {"TRILO", "TRILO: XON-XOFF.&.XON-EXTENDED ACK-NAK CONSOLE.&.TERMINAL"},
                       {"JBUS", "JBUS: JBUS-232 JBUS-485"}};
        g_bauds = {{"DVRX", "DVRX: 9600 19200"},
                   {"DVRX|XON-XOFF", "DVRX: XON-XOFF: 9600 19200"},
                   {"DVRX|ACK-NAK", "DVRX: ACK-NAK: 19200 57600"},
                   {"TRILO", "TRILO: 4800 9600 19200"},
                   {"TRILO|XON-XOFF.&.XON-EXTENDED", "TRILO: XON-XOFF.&.XON-EXTENDED: 9600"},
                   {"TRILO|ACK-NAK", "TRILO: ACK-NAK: 4800 9600 19200"},
                   {"JBUS", "JBUS: 300 9600"},
                   {"JBUS|JBUS-232", "JBUS: JBUS-232: 300 9600"},
                   {"JBUS|JBUS-485", "JBUS: JBUS-485: 300 9600"}};
    }
    TKV_ListFunctions functions{ports, targets, protocols, bauds};
    TagConfigDLL config;
};

TEST_F(CapabilityLists, ListsMasksAndCombinations) {
    EXPECT_EQ(loadCapabilities(config, functions), 3 + 4 + 4);
    EXPECT_EQ(config.loaded, 1);
    EXPECT_EQ(config.ports, "COM1 COM3");
    EXPECT_EQ(caps::portCount(config), 2);
    EXPECT_EQ(caps::port(config, 1), "COM3");
    EXPECT_EQ(caps::port(config, 2), "");
    EXPECT_EQ(caps::targetCount(config), 3);
    EXPECT_EQ(caps::target(config, 1), "TRILO");
    EXPECT_EQ(caps::targetIndex(config, "JBUS"), 2);
    EXPECT_EQ(caps::targetIndex(config, "TRIL"), -1);

    const int trilo = caps::targetIndex(config, "TRILO");
    EXPECT_EQ(caps::protocolCount(config, trilo), 3);
    EXPECT_EQ(caps::protocol(config, trilo, 2), "CONSOLE.&.TERMINAL");
    EXPECT_EQ(caps::protocolIndex(config, trilo, "ACK-NAK"), 1);
    EXPECT_EQ(caps::baudCount(config, trilo), 3);
    EXPECT_EQ(caps::baud(config, trilo, 0), "4800");
    const auto& t = config.perTarget[static_cast<std::size_t>(trilo)];
    ASSERT_EQ(t.protocolMasks.size(), 3U);
    EXPECT_EQ(t.protocolMasks[0], 0b010); // 4800: ACK-NAK only
    EXPECT_EQ(t.protocolMasks[1], 0b011); // 9600: XON and ACK-NAK
    EXPECT_EQ(t.protocolMasks[2], 0b010);
    EXPECT_EQ(caps::validBaudCount(config, trilo, 1), 3);
    EXPECT_EQ(caps::validBaudCount(config, trilo, 0), 1);
    EXPECT_EQ(caps::validBaud(config, trilo, 0, 0), "9600");
    EXPECT_EQ(caps::validBaudCount(config, trilo, 2), 0) << "the driver refused its list";
    EXPECT_EQ(caps::validBaud(config, trilo, 1, 3), "");

    const int dvrx = caps::targetIndex(config, "DVRX");
    EXPECT_EQ(caps::validBaudCount(config, dvrx, 1), 1) << "57600 is not a DVRX baud";
    EXPECT_EQ(caps::validBaud(config, dvrx, 1, 0), "19200");
}

TEST_F(CapabilityLists, QueriesOutsideTheListsGiveNothing) {
    loadCapabilities(config, functions);
    EXPECT_EQ(caps::protocolCount(config, 7), 0);
    EXPECT_EQ(caps::protocol(config, -1, 0), "");
    EXPECT_EQ(caps::baudCount(config, 3), 0);
    EXPECT_EQ(caps::validBaudCount(config, 0, 31), 0);
    EXPECT_EQ(caps::validBaudCount(config, 0, 40), 0);
    EXPECT_EQ(caps::protocolIndex(config, 9, "ACK-NAK"), -1);
}

TEST_F(CapabilityLists, ProtocolListNamingAnotherTargetIsIgnored) {
    g_protocols["JBUS"] = "JBUSX: JBUS-232";
    g_protocols["DVRX"] = "TRILO: ACK-NAK";
    loadCapabilities(config, functions);
    const int jbus = caps::targetIndex(config, "JBUS");
    EXPECT_EQ(caps::protocolCount(config, jbus), 0);
    EXPECT_EQ(config.perTarget[static_cast<std::size_t>(jbus)].protocolsKnown, 0);
    // DVRX's answer named TRILO, which the later TRILO answer replaces.
    EXPECT_EQ(caps::protocolCount(config, caps::targetIndex(config, "TRILO")), 3);
    EXPECT_EQ(caps::protocolCount(config, caps::targetIndex(config, "DVRX")), 0);
}

TEST_F(CapabilityLists, EmptyListsCountNothing) {
    g_targets = "   ";
    EXPECT_EQ(loadCapabilities(config, functions), 0);
    EXPECT_EQ(caps::targetCount(config), 0);
    EXPECT_TRUE(config.perTarget.empty());
    EXPECT_EQ(config.loaded, 1);
}

} // namespace
