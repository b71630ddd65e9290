// Request building from command texts, and the Modbus CRC-16.
#include "jbus/jbus_request.h"
#include "scripted_port.h"

#include <gtest/gtest.h>

#include <string>

namespace linkor::jbus {
namespace {

using test::Bytes;

TEST(Crc16, MatchesTheModbusCheckValues) {
    const std::string check = "123456789";
    EXPECT_EQ(crc16(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0x4B37);
    const Bytes request = {0x01, 0x03, 0x00, 0x64, 0x00, 0x01};
    EXPECT_EQ(crc16(request.data(), request.size()), 0xD5C5);
    EXPECT_EQ(crc16(nullptr, 0), 0xFFFF);
}

struct RequestCase {
    const char* command;
    Bytes bytes;
    bool raw;
    bool textAnswer;
};

void PrintTo(const RequestCase& c, std::ostream* os) {
    *os << '"' << c.command << '"';
}

class RequestBuilding : public testing::TestWithParam<RequestCase> {};

TEST_P(RequestBuilding, GivesTheFrame) {
    const RequestCase& c = GetParam();
    const Request request = buildRequest(c.command);
    EXPECT_EQ(request.bytes, c.bytes) << c.command;
    EXPECT_EQ(request.raw, c.raw) << c.command;
    EXPECT_EQ(request.textAnswer, c.textAnswer) << c.command;
}

// The expected frames, CRC included, were computed apart from the driver.
INSTANTIATE_TEST_SUITE_P(
    Commands, RequestBuilding,
    testing::Values(
        // Reads: the register class decides the count.
        RequestCase{"1R100", {0x01, 0x03, 0x00, 0x64, 0x00, 0x01, 0xC5, 0xD5}, false, false},
        RequestCase{"R5", {0x00, 0x03, 0x00, 0x05, 0x00, 0x01, 0x95, 0xDA}, false, false},
        RequestCase{"1R0", {0x01, 0x03, 0x00, 0x00, 0x00, 0x02, 0xC4, 0x0B}, false, false},
        RequestCase{"1R2", {0x01, 0x03, 0x00, 0x02, 0x00, 0x02, 0x65, 0xCB}, false, false},
        RequestCase{"1R1", {0x01, 0x03, 0x00, 0x01, 0x00, 0x01, 0xD5, 0xCA}, false, false},
        RequestCase{"1R64,10", {0x01, 0x03, 0x00, 0x40, 0x00, 0x0A, 0xC4, 0x19}, false, true},
        RequestCase{"1R128,3", {0x01, 0x03, 0x00, 0x80, 0x00, 0x03, 0x04, 0x23}, false, true},
        RequestCase{"1R300,4", {0x01, 0x03, 0x01, 0x2C, 0x00, 0x04, 0x84, 0x3C}, false, true},
        RequestCase{"1R300", {0x01, 0x03, 0x01, 0x2C, 0x00, 0x01, 0x44, 0x3F}, false, true},
        RequestCase{"1R100,5", {0x01, 0x03, 0x00, 0x64, 0x00, 0x01, 0xC5, 0xD5}, false, false},
        RequestCase{"9R9999", {0x09, 0x03, 0x27, 0x0F, 0x00, 0x01, 0xBF, 0xF5}, false, true},
        // Letters of either case, slave numbers of up to three digits.
        RequestCase{"12r7", {0x0C, 0x03, 0x00, 0x07, 0x00, 0x01, 0x34, 0xD6}, false, false},
        // A letter with nothing after it keeps the default request.
        RequestCase{"1R", {0x01, 0x03, 0x00, 0x01, 0x00, 0x01, 0xD5, 0xCA}, false, false},
        // Writes: hexadecimal groups, or characters for the text classes.
        RequestCase{"1W100,002A",
                    {0x01, 0x10, 0x00, 0x64, 0x00, 0x01, 0x02, 0x00, 0x2A, 0x2F, 0xAB},
                    false,
                    false},
        RequestCase{"1W100,2A",
                    {0x01, 0x10, 0x00, 0x64, 0x00, 0x01, 0x02, 0x00, 0x2A, 0x2F, 0xAB},
                    false,
                    false},
        RequestCase{"1W100,00010002",
                    {0x01, 0x10, 0x00, 0x64, 0x00, 0x02, 0x04, 0x00, 0x01, 0x00, 0x02, 0x24, 0x75},
                    false,
                    false},
        RequestCase{"247w5,FFFF",
                    {0xF7, 0x10, 0x00, 0x05, 0x00, 0x01, 0x02, 0xFF, 0xFF, 0x88, 0x11},
                    false,
                    false},
        RequestCase{"1W64,AB",
                    {0x01, 0x10, 0x00, 0x40, 0x00, 0x01, 0x02, 0x41, 0x42, 0x18, 0xF1},
                    false,
                    false},
        RequestCase{"1W128,ABC",
                    {0x01, 0x10, 0x00, 0x80, 0x00, 0x02, 0x04, 0x41, 0x42, 0x43, 0x20, 0x7F, 0x0F},
                    false,
                    false},
        RequestCase{"1W300,HELLO",
                    {0x01, 0x10, 0x01, 0x2C, 0x00, 0x03, 0x06, 0x48, 0x45, 0x4C, 0x4C, 0x4F, 0x20,
                     0x03, 0xC1},
                    false,
                    false},
        RequestCase{"1W100", {0x01, 0x10, 0x00, 0x64, 0x00, 0x00, 0x00, 0x16, 0x60}, false, false},
        RequestCase{"1W100,", {0x01, 0x10, 0x00, 0x64, 0x00, 0x00, 0x00, 0x16, 0x60}, false, false},
        // No letter among the first four characters: raw hexadecimal bytes.
        RequestCase{"010300640001", {0x01, 0x03, 0x00, 0x64, 0x00, 0x01, 0xC5, 0xD5}, true, false},
        RequestCase{"0103006", {0x01, 0x03, 0x00, 0x06, 0x71, 0xDA}, true, false}));

TEST(RequestBuilding, LooksForTheLetterInTheFirstFourCharactersOnly) {
    // "1234R5" has its letter fifth: it is a raw request whose "R5" pair reads as 0.
    const Request request = buildRequest("1234R5");
    EXPECT_TRUE(request.raw);
    ASSERT_EQ(request.bytes.size(), 5u);
    EXPECT_EQ(request.bytes[0], 0x12);
    EXPECT_EQ(request.bytes[1], 0x34);
    EXPECT_EQ(request.bytes[2], 0x00);
    // A slave number of three digits still finds its letter fourth.
    EXPECT_EQ(buildRequest("123R5").bytes[0], 123);
    EXPECT_EQ(buildRequest("300R5").bytes[0], 300 & 0xFF);
}

class MalformedCommand : public testing::TestWithParam<std::string> {};

// Whatever bytes a malformed command gives, the frame is a whole frame of at most
// 256 bytes whose CRC is right, and building it neither crashes nor overruns.
TEST_P(MalformedCommand, GivesABoundedWholeFrame) {
    const Request request = buildRequest(GetParam());
    ASSERT_GE(request.bytes.size(), 3u);
    EXPECT_LE(request.bytes.size(), 256u);
    const size_t body = request.bytes.size() - 2;
    const uint16_t crc = crc16(request.bytes.data(), body);
    EXPECT_EQ(request.bytes[body], crc & 0xFF);
    EXPECT_EQ(request.bytes[body + 1], crc >> 8);
    if (!request.raw && request.bytes[1] == kWriteRegisters) {
        // The byte count agrees with the data actually carried.
        EXPECT_EQ(request.bytes[6], body - 7);
        EXPECT_EQ(request.bytes[4] << 8 | request.bytes[5], request.bytes[6] / 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, MalformedCommand,
                         testing::Values("ZZ", "0G1H", " ", "1R12345", "1R99999999999,5",
                                         "1R300,abc", "1R300,99999999", "1W100,XYZW", "1W100,G",
                                         "1W300," + std::string(600, 'A'),
                                         "1W100," + std::string(900, 'F'), std::string(999, '0'),
                                         "99999999999R1", "R", "W", ",,,,", "1R,5"));

TEST(RequestBuilding, BoundsLongWritesToOneModbusFrame) {
    const Request text = buildRequest("1W300," + std::string(600, 'A'));
    // 123 registers, the most one write request carries.
    EXPECT_EQ(text.bytes[4] << 8 | text.bytes[5], 123);
    EXPECT_EQ(text.bytes[6], 246);
    EXPECT_EQ(text.bytes.size(), 7u + 246u + 2u);
    const Request raw = buildRequest(std::string(999, '0'));
    EXPECT_EQ(raw.bytes.size(), 256u);
}

} // namespace
} // namespace linkor::jbus
