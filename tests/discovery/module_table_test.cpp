// The module table: identity decoding with the real catalogue, the project's record texts in
// both directions (through the project's own reader), the Accept texts and the row order.

#include "discovery/modtyp_catalogue.h"
#include "discovery/module_table.h"
#include "project/project.h"
#include "real_modules.h"

#include <gtest/gtest.h>

namespace tamsel::discovery {
namespace {

using testing::RealModule;

class ModuleTableTest : public ::testing::Test {
  protected:
    ModtypCatalogue catalogue;
    ModuleTable table{catalogue};
};

class IdentityDecoding : public ModuleTableTest,
                         public ::testing::WithParamInterface<RealModule> {};

TEST_P(IdentityDecoding, EntersTheDecodedModuleAsPresent) {
    const RealModule& m = GetParam();
    table.enterDecoded(17, m.reply);
    const ModuleEntry& e = table.entry(17);
    EXPECT_EQ(e.state, entry_state::kPresent);
    EXPECT_EQ(e.usedAddress, 17);
    EXPECT_EQ(e.address, 17);
    EXPECT_EQ(e.typeCode, m.code) << std::hex << e.typeCode;
    EXPECT_EQ(e.typeName, m.typeName);
    EXPECT_EQ(e.serial, m.serial);
    EXPECT_EQ(e.target, m.target);
    EXPECT_EQ(e.label, "");
    EXPECT_EQ(e.unit, "");
    EXPECT_EQ(e.checkedTypeCode, 0);
    EXPECT_EQ(e.checkedSerial, "");
    EXPECT_EQ(e.lineSetting, kNoLineSetting);
    EXPECT_EQ(table.liveCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(RealTypes, IdentityDecoding,
                         ::testing::Values(testing::kTriloKb01, testing::kTriloGenericKa,
                                           testing::kTriloGenericKb, testing::kTriloKc61,
                                           testing::kVrx23, testing::kVrx34, testing::kDvrx,
                                           testing::kVrx17, testing::kMicroTrilo,
                                           testing::kGarbage));

TEST_F(ModuleTableTest, EnteringAgainReplacesWhatTheAddressHeld) {
    table.enterDecoded(5, testing::kTriloKc61.reply);
    table.setLabel(5, "AXE");
    table.setState(5, entry_state::kModified);
    table.setChecked(5, 0x0409, "043");
    table.enterDecoded(5, testing::kVrx23.reply);
    const ModuleEntry& e = table.entry(5);
    EXPECT_EQ(e.typeCode, 0x3001);
    EXPECT_EQ(e.label, "");
    EXPECT_EQ(e.state, entry_state::kPresent);
    EXPECT_EQ(e.checkedTypeCode, 0);
    EXPECT_EQ(e.checkedSerial, "");
    EXPECT_EQ(table.liveCount(), 1);
}

TEST_F(ModuleTableTest, RowsAreTheModulesInAddressOrder) {
    for (const int address : {40, 3, 63, 0, 17}) {
        table.enterDecoded(address, testing::kTriloKb01.reply);
    }
    EXPECT_EQ(table.rows(), (std::vector<int>{0, 3, 17, 40, 63}));
    EXPECT_EQ(table.liveCount(), 5);
    EXPECT_EQ(table.entryOfRow(2)->address, 17);
    EXPECT_EQ(table.entryOfRow(5), nullptr);
    EXPECT_EQ(table.entryOfRow(-1), nullptr);
    EXPECT_EQ(table.rowOf(40), 3);
    EXPECT_EQ(table.rowOf(41), -1);
    table.remove(3);
    EXPECT_EQ(table.rows(), (std::vector<int>{0, 17, 40, 63}));
    table.clear();
    EXPECT_EQ(table.liveCount(), 0);
    EXPECT_TRUE(table.entry(0).empty());
}

TEST_F(ModuleTableTest, AnAddressOutsideTheTableIsRefused) {
    EXPECT_THROW(table.entry(64), std::out_of_range);
    EXPECT_THROW(table.enterDecoded(-1, testing::kTriloKb01.reply), std::out_of_range);
}

// ---------------------------------------------------------------- project records

struct RecordCase {
    const char* text; ///< a module record as the project gives it (text 6)
    bool loads;
    int address;
    int32_t code;
    const char* typeName;
    const char* target;
    const char* label;
    const char* unit;
    const char* serial;
};

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class RecordLoading : public ModuleTableTest, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(RecordLoading, TakesTheRecordWithItsCatalogueNames) {
    const RecordCase& c = GetParam();
    ASSERT_EQ(table.loadRecord(c.text), c.loads);
    if (!c.loads) {
        EXPECT_EQ(table.liveCount(), 0);
        return;
    }
    ASSERT_EQ(table.liveCount(), 1);
    const ModuleEntry& e = table.entry(c.address);
    EXPECT_EQ(e.state, entry_state::kPresent);
    EXPECT_EQ(e.usedAddress, c.address);
    EXPECT_EQ(e.typeCode, c.code);
    EXPECT_EQ(e.typeName, c.typeName);
    EXPECT_EQ(e.target, c.target);
    EXPECT_EQ(e.label, c.label);
    EXPECT_EQ(e.unit, c.unit);
    EXPECT_EQ(e.serial, c.serial);
    EXPECT_EQ(e.lineSetting, kNoLineSetting);
}

INSTANTIATE_TEST_SUITE_P(
    ProjectTexts, RecordLoading,
    ::testing::Values(
        RecordCase{"3,3,517,AXE_X,mm,_,3", true, 3, 0x0205, "KB01 v40", "TRILO", "AXE_X", "mm", ""},
        RecordCase{"7,5,1032,_,_,042,3", true, 5, 0x0408, "KC61 v80", "TRILO", "", "", "042"},
        RecordCase{"0,7,12289,Z,_,07,7", true, 7, 0x3001, "V23", "VRX23", "Z", "", "07"},
        RecordCase{"12,12,17129504,_,_,01,12", true, 12, 0x01056020, "DVrx17", "DVRX", "", "",
                   "01"},
        RecordCase{"1,63,256,a b,_,_,63", true, 63, 0x0100, "ka?1", "TRILO", "a b", "", ""},
        // Addresses the table has no entry for, and texts that are not records.
        RecordCase{"1,64,517,_,_,_,64", false, 0, 0, "", "", "", "", ""},
        RecordCase{"1,-1,517,_,_,_,3", false, 0, 0, "", "", "", "", ""},
        RecordCase{"1,3,517,_,_,_", false, 0, 0, "", "", "", "", ""},
        RecordCase{"1,3,517,_,_,_,3,9", false, 0, 0, "", "", "", "", ""},
        RecordCase{"1,x3,517,_,_,_,3", false, 0, 0, "", "", "", "", ""},
        RecordCase{"1,3,0x205,_,_,_,3", false, 0, 0, "", "", "", "", ""},
        RecordCase{"003", false, 0, 0, "", "", "", "", ""},
        RecordCase{"", false, 0, 0, "", "", "", "", ""}));

TEST_F(ModuleTableTest, RecordTextHasTheEntryNumberAndUsedAddressAndEmptyTextsAsUnderscore) {
    table.enterDecoded(5, testing::kTriloKc61.reply);
    EXPECT_EQ(table.recordText(5), "5,5,1032,_,_,5,042");
    table.setLabel(5, "AXE_X");
    table.enterDecoded(0, testing::kTriloKb01.reply);
    EXPECT_EQ(table.recordText(5), "5,5,1032,AXE_X,_,5,042");
    EXPECT_EQ(table.recordText(0), "0,0,517,_,_,0,_");
    // A label of blanks alone is empty to the project's reader.
    table.setLabel(0, "   ");
    EXPECT_EQ(table.recordText(0), "0,0,517,_,_,0,_");
}

TEST_F(ModuleTableTest, AcceptTextsOfAnEmptyTableAreTheAddressesAlone) {
    const auto texts = table.acceptTexts();
    for (int address = 0; address < kAddressCount; ++address) {
        char expected[8];
        std::snprintf(expected, sizeof expected, "%03d", address);
        EXPECT_EQ(texts[static_cast<std::size_t>(address)], expected);
    }
}

TEST_F(ModuleTableTest, AcceptTextsHoldTheRecordOfEveryModule) {
    table.enterDecoded(0, testing::kTriloKb01.reply);
    table.enterDecoded(7, testing::kVrx23.reply);
    const auto texts = table.acceptTexts();
    EXPECT_EQ(texts[0], "0,0,517,_,_,0,_");
    EXPECT_EQ(texts[1], "001");
    EXPECT_EQ(texts[7], "7,7,12289,_,_,7,07");
    EXPECT_EQ(texts[63], "063");
}

// What Accept writes, the project reads, and what the project gives back at the next opening
// loads the same modules again.
TEST_F(ModuleTableTest, RecordsRoundTripThroughTheProject) {
    table.enterDecoded(0, testing::kTriloKb01.reply);
    table.enterDecoded(5, testing::kTriloKc61.reply);
    table.enterDecoded(7, testing::kVrx23.reply);
    table.enterDecoded(12, testing::kDvrx.reply);
    table.setLabel(5, "AXE-Z #2");
    table.setLabel(7, "X");
    table.setType(0, {0x0181, "KA01"});

    project::TKV_Project project;
    for (const std::string& text : table.acceptTexts()) {
        ASSERT_TRUE(project.setModuleRecord(text)) << text;
    }
    ASSERT_TRUE(project.setModuleRecordCount(table.liveCount()));
    ASSERT_EQ(project.moduleRecordCount(), 4);

    ModuleTable reloaded(catalogue);
    for (int i = 0; i < project.moduleRecordCount(); ++i) {
        ASSERT_TRUE(reloaded.loadRecord(project.moduleRecordText(i)))
            << project.moduleRecordText(i);
    }
    EXPECT_EQ(reloaded.rows(), table.rows());
    for (const int address : table.rows()) {
        ModuleEntry expected = table.entry(address);
        // The catalogue names the type anew from its code.
        expected.typeName = catalogue.typeName(expected.typeCode);
        EXPECT_EQ(reloaded.entry(address), expected) << "address " << address;
    }
}

// The catalogue gives serials of up to 15 characters; the project keeps 14 and refuses a
// record with more, which would lose the module.
TEST_F(ModuleTableTest, ALongSerialIsCutToWhatTheProjectKeeps) {
    table.enterDecoded(9, "09ev R475.069 VRX34 rev 1.05 _KORVEL_Serie123456789012345_");
    ASSERT_EQ(table.entry(9).serial, "123456789012345");
    EXPECT_EQ(table.recordText(9), "9,9,16386,_,_,9,12345678901234");
    project::TKV_Project project;
    EXPECT_TRUE(project.setModuleRecord(table.recordText(9)));
}

TEST_F(ModuleTableTest, AnEmptyAcceptClearsTheProjectsRecords) {
    project::TKV_Project project;
    ASSERT_TRUE(project.setModuleRecord("5,5,1032,AXE,_,5,042"));
    for (const std::string& text : table.acceptTexts()) {
        ASSERT_TRUE(project.setModuleRecord(text)) << text;
    }
    EXPECT_TRUE(project.configuration().usedPositions().empty());
}

// ---------------------------------------------------------------- marks of a check

TEST_F(ModuleTableTest, UndoingCheckMarksRestoresTheConfiguration) {
    for (const int address : {0, 1, 2, 3, 4}) {
        table.enterDecoded(address, testing::kTriloKb01.reply);
    }
    table.setState(1, entry_state::kLost);
    table.setState(2, entry_state::kFound);
    table.setState(3, entry_state::kModified);
    table.setState(4, entry_state::kFullDebug);
    table.setCurrent(2);
    table.undoCheckMarks();
    EXPECT_EQ(table.rows(), (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(table.entry(0).state, entry_state::kPresent);
    EXPECT_EQ(table.entry(1).state, entry_state::kPresent);
    EXPECT_TRUE(table.entry(2).empty());
    EXPECT_EQ(table.entry(3).state, entry_state::kPresent);
    EXPECT_EQ(table.entry(4).state, entry_state::kFullDebug);
    EXPECT_EQ(table.current(), kNoAddress);
    EXPECT_FALSE(table.highlighted());
}

} // namespace
} // namespace tamsel::discovery
