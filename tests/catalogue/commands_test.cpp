#include "buffer.h"
#include "modtyp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CommandCase {
    int32_t code;
    int32_t purpose;
    const char* argument;
    const char* command;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << std::hex << "0x" << c.code << std::dec << " purpose " << c.purpose << " \""
        << (c.argument ? c.argument : "null") << '"';
}

class Command : public ::testing::TestWithParam<CommandCase> {};

TEST_P(Command, BuildsTheFamilyCommand) {
    const CommandCase& c = GetParam();
    GuardedBuffer<kCommandSize> command;
    EXPECT_EQ(::FindCmde(c.code, c.purpose, c.argument, command.data()), command.data());
    EXPECT_EQ(command.text(), c.command);
    EXPECT_TRUE(command.guardIntact());
}

// VRX23 and VRX34: the hexadecimal frame language.
INSTANTIATE_TEST_SUITE_P(
    FrameFamilies, Command,
    ::testing::Values(CommandCase{0x3001, 1, "12", "am12"}, CommandCase{0x4002, 1, "7F", "am7F"},
                      CommandCase{0x3001, 2, "38400", "1B0011223303"},
                      CommandCase{0x4001, 2, "19200", "1B0011223302"},
                      CommandCase{0x3002, 2, "9600", "1B0011223301"},
                      CommandCase{0x3001, 2, "", "1B0011223301"},
                      CommandCase{0x3001, 2, "38400 ", "1B0011223301"},
                      CommandCase{0x3001, 2, nullptr, "1B0011223301"},
                      CommandCase{0x3001, 3, "1", "GS"}, CommandCase{0x3001, 4, "1", "GS"},
                      CommandCase{0x3001, 5, "", "QV"}, CommandCase{0x4002, 6, "", "QX"},
                      CommandCase{0x4002, 7, "", "QX"}, CommandCase{0x3001, 8, "", "none"},
                      CommandCase{0x4001, 0, "", "GS"}, CommandCase{0x4001, 9, "", "GS"},
                      CommandCase{0x01053001, 1, "3", "am3"}));

// VRX17 and DVRX: the plain-text command language.
INSTANTIATE_TEST_SUITE_P(
    TextFamilies, Command,
    ::testing::Values(
        CommandCase{0x5000, 1, "12", "SET_ADDRESS 12"},
        CommandCase{0x6021, 1, "12", "SET_ADDRESS 12"},
        CommandCase{0x5000, 2, "19200", "SET_BAUDRATE 19200"},
        CommandCase{0x6080, 2, "any text", "SET_BAUDRATE any text"},
        CommandCase{0x5000, 3, "KV", "SET_PROTOCOL KV"}, CommandCase{0x6021, 3, "KV", "GS"},
        CommandCase{0x5000, 4, "", "GS"}, CommandCase{0x5000, 5, "", "RV"},
        CommandCase{0x6040, 5, "", "RV"}, CommandCase{0x5000, 6, "", "REA H#ERR"},
        CommandCase{0x6060, 6, "", "REA H#ERR"}, CommandCase{0x5000, 7, "", "#ERR := 0"},
        CommandCase{0x6081, 7, "", "#ERR := 0"}, CommandCase{0x5000, 1, nullptr, "SET_ADDRESS "},
        // The argument is inserted as it is, never taken as a format.
        CommandCase{0x5000, 1, "%s%n%d", "SET_ADDRESS %s%n%d"},
        CommandCase{0x01056021, 1, "5", "SET_ADDRESS 5"}));

// TRILO and MICROTRILO families, and every family the catalogue does not know.
INSTANTIATE_TEST_SUITE_P(
    OtherFamilies, Command,
    ::testing::Values(CommandCase{0x1001, 1, "12", "GS"}, CommandCase{0x1001, 2, "19200", "GS"},
                      CommandCase{0x1001, 3, "KV", "GS"}, CommandCase{0x1001, 5, "", "QV"},
                      CommandCase{0x1082, 6, "", "QX"}, CommandCase{0x1001, 7, "", "QX"},
                      CommandCase{0x0181, 5, "", "RV"}, CommandCase{0x0181, 6, "", "RX"},
                      CommandCase{0x0100, 7, "", "RX"}, CommandCase{0x0205, 5, "", "RV"},
                      CommandCase{0x0300, 6, "", "QX"}, CommandCase{0x0408, 7, "", "QX"},
                      CommandCase{0x0408, 1, "3", "GS"}, CommandCase{0x0000, 5, "", "RV"},
                      CommandCase{0x0000, 6, "", "QX"}, CommandCase{0xFF00, 5, "", "RV"},
                      CommandCase{0xFF00, 6, "", "QX"}, CommandCase{0x2000, 7, "", "QX"},
                      CommandCase{0x1001, 0, "", "GS"}, CommandCase{0x1001, -1, "", "GS"},
                      CommandCase{0x0181, 4, "", "GS"}));

// Purpose 8: the reference module name; "µ" is the Windows-1252 byte 0xB5.
INSTANTIATE_TEST_SUITE_P(
    ReferenceNames, Command,
    ::testing::Values(CommandCase{0x1001, 8, "listevariable", "\xB5Trilo"},
                      CommandCase{0x1082, 8, "", "\xB5Trilo"},
                      CommandCase{0x5000, 8, "", "\xB5Vrx17v1_00"},
                      CommandCase{0x6020, 8, "", "DVRX"}, CommandCase{0x6021, 8, "", "DVRX"},
                      CommandCase{0x6041, 8, "", "DVRX"}, CommandCase{0x6060, 8, "", "DVRX34"},
                      CommandCase{0x607F, 8, "", "DVRX34"}, CommandCase{0x6081, 8, "", "BVRX"},
                      CommandCase{0x6000, 8, "", "none"}, CommandCase{0x60A1, 8, "", "none"},
                      CommandCase{0x60E0, 8, "", "none"}, CommandCase{0x0100, 8, "", "none"},
                      CommandCase{0x4001, 8, "", "none"}, CommandCase{0xFF00, 8, "", "none"}));

TEST(FindCmdeBytes, MicroIsOneWindows1252Byte) {
    GuardedBuffer<kCommandSize> command;
    ::FindCmde(0x1001, 8, "", command.data());
    const std::string text = command.text();
    ASSERT_EQ(text.size(), 6u);
    EXPECT_EQ(static_cast<unsigned char>(text[0]), 0xB5);
}

TEST(FindCmdeBadInput, LongArgumentIsCutToTheCommandSize) {
    const std::string argument(1000, '9');
    for (int32_t code : {0x3001, 0x5000}) {
        GuardedBuffer<kCommandSize> command;
        ::FindCmde(code, 1, argument.c_str(), command.data());
        const std::string text = command.text();
        EXPECT_EQ(text.size(), kCommandSize - 1) << std::hex << code;
        EXPECT_TRUE(command.terminated());
        EXPECT_TRUE(command.guardIntact());
        const std::string head = code == 0x3001 ? "am" : "SET_ADDRESS ";
        EXPECT_EQ(text, head + argument.substr(0, kCommandSize - 1 - head.size()));
    }
}

TEST(FindCmdeBadInput, NullCommandIsSkipped) {
    EXPECT_EQ(::FindCmde(0x5000, 1, "12", nullptr), nullptr);
}

} // namespace
