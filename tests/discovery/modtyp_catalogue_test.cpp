// The catalogue queries over the catalogue library: each operation reaches its own function
// with its arguments in their places, and the in/out values come back.

#include "discovery/modtyp_catalogue.h"

#include <gtest/gtest.h>

namespace tamsel::discovery {
namespace {

TEST(ModtypCatalogue, AnswersEachOperationFromTheLibrary) {
    ModtypCatalogue c;
    EXPECT_EQ(c.typeName(0x6021), "DVrx17-P");
    EXPECT_EQ(c.typeName(0x0200), "KB61 v40");

    const DecodedType d = c.typeModule("03V 85 65096 _KORVEL_Serie042_");
    EXPECT_EQ(d.code, 0x0408);
    EXPECT_EQ(d.typeName, "KC61 v80");
    EXPECT_EQ(d.serial, "042");

    EXPECT_EQ(c.typeAssocied(0x0300, "KB41"), (NamedType{0x0382, "KB41 v72"}));
    EXPECT_EQ(c.typeAssocied(0x0300, "KB81"), (NamedType{0x0383, "default"}));
    // A name that is no associated type keeps the code, and the name becomes the code's.
    EXPECT_EQ(c.typeAssocied(0x0300, "KB41 and more"), (NamedType{0x0300, "kb?1 v72"}));
    EXPECT_EQ(c.typeGenerique(0x0181), (NamedType{0x0100, "ka?1"}));
    EXPECT_EQ(c.typeGenerique(0x3001), (NamedType{0x3001, "V23"}));

    EXPECT_EQ(c.infoTypeAssocied("KB41"), "KB41");
    EXPECT_EQ(c.infoTypeAssocied("V23"), "defaut pointage voir avec QZ");

    EXPECT_EQ(c.strategy(0x0204, 2), 4);
    EXPECT_EQ(c.strategy(0x5000, kLineSettingsStrategy), 7);
    EXPECT_EQ(c.strategy(0x0205, kLineSettingsStrategy), 0);

    EXPECT_TRUE(c.isLabelGeneric("kb?1 v72"));
    EXPECT_FALSE(c.isLabelGeneric("KB61 v72"));
    EXPECT_TRUE(c.isCodeAssociated(0x0382));
    EXPECT_FALSE(c.isCodeAssociated(0x0302));

    EXPECT_EQ(c.associateCount(0x0100), 2);
    EXPECT_EQ(c.associateCount(0x0205), 0);
    EXPECT_EQ(c.associate(0x0300, 1), "KB61");
    EXPECT_EQ(c.associate(0x0300, 2), "KB41");
    EXPECT_EQ(c.associate(0x0205, 1), "");

    EXPECT_EQ(c.targetName(0x01056020), "DVRX");
    EXPECT_EQ(c.targetName(0x1082), "MICROTRILO");

    EXPECT_EQ(c.findCmde(0x3001, command_purpose::kSetBaud, "38400"), "1B0011223303");
    EXPECT_EQ(c.findCmde(0x5000, command_purpose::kSetAddress, "12"), "SET_ADDRESS 12");
    EXPECT_EQ(c.findCmde(0x1001, command_purpose::kReadVersion, ""), "QV");
}

} // namespace
} // namespace tamsel::discovery
