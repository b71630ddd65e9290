#include "modtyp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr int32_t kRequest = 1;
constexpr unsigned char kFill = 0xA5;

struct Field {
    std::size_t offset;
    std::size_t width; // 1 or 4 bytes
    int64_t value;
};

struct DefaultsCase {
    int32_t code;
    std::size_t recordSize; // the end of the last field written
    std::vector<Field> fields;
};

void PrintTo(const DefaultsCase& c, std::ostream* os) {
    *os << std::hex << "0x" << c.code;
}

int64_t readField(const std::vector<unsigned char>& record, const Field& field) {
    if (field.width == 1) {
        return record[field.offset];
    }
    int32_t value = 0;
    std::memcpy(&value, record.data() + field.offset, sizeof value);
    return value;
}

class CollectInfoDefaults : public ::testing::TestWithParam<DefaultsCase> {};

// The record is allocated to its exact size, so a write past it is caught by the sanitizer;
// every byte that is not a field must keep its value.
TEST_P(CollectInfoDefaults, WritesTheFieldsAtTheirOffsets) {
    const DefaultsCase& c = GetParam();
    std::vector<unsigned char> record(c.recordSize, kFill);
    CollectInfo(c.code, kRequest, record.data());

    std::vector<bool> written(record.size(), false);
    for (const Field& field : c.fields) {
        EXPECT_EQ(readField(record, field), field.value) << "offset " << field.offset;
        for (std::size_t i = 0; i < field.width; ++i) {
            written[field.offset + i] = true;
        }
    }
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (!written[i]) {
            EXPECT_EQ(record[i], kFill) << "offset " << i;
        }
    }
}

constexpr int64_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int64_t kMax32 = std::numeric_limits<int32_t>::max();

std::vector<Field> frameFields(int64_t variant, int64_t torqueKnown, int64_t adjustMin,
                               int64_t adjustMax, int64_t torque) {
    return {{56, 4, variant},   {60, 1, torqueKnown}, {69, 4, adjustMin},
            {73, 4, adjustMax}, {77, 4, torque},      {81, 4, 1},
            {85, 4, 9999},      {89, 4, 39},          {93, 4, 45000}};
}

std::vector<Field> withEnds(std::vector<Field> fields, int64_t minimum, int64_t maximum) {
    fields.push_back({61, 4, minimum});
    fields.push_back({65, 4, maximum});
    return fields;
}

std::vector<Field> motionFields(int64_t resolution, int64_t speedMax, int64_t timeMin,
                                int64_t timeMax) {
    return {{75, 4, resolution}, {79, 4, kMin32},  {83, 4, kMax32}, {87, 4, 0},
            {91, 4, speedMax},   {95, 4, timeMin}, {99, 4, timeMax}};
}

INSTANTIATE_TEST_SUITE_P(
    Families, CollectInfoDefaults,
    ::testing::Values(DefaultsCase{0x3001, 97,
                                   withEnds(frameFields(1, 1, 6, 1500, 1400), -(int64_t{1} << 30),
                                            (int64_t{1} << 30) - 1)},
                      DefaultsCase{0x3002, 97,
                                   withEnds(frameFields(2, 1, 6, 1500, 1400), -(int64_t{1} << 29),
                                            (int64_t{1} << 29) - 1)},
                      DefaultsCase{0x4001, 97,
                                   withEnds(frameFields(1, 0, 2, 300, 6000), -(int64_t{1} << 30),
                                            (int64_t{1} << 30) - 1)},
                      DefaultsCase{0x4002, 97,
                                   withEnds(frameFields(2, 0, 2, 300, 6000), -(int64_t{1} << 29),
                                            (int64_t{1} << 29) - 1)},
                      DefaultsCase{0x01053002, 97,
                                   withEnds(frameFields(2, 1, 6, 1500, 1400), -(int64_t{1} << 29),
                                            (int64_t{1} << 29) - 1)},
                      // Other variants: variant 0 and the ends left as they were.
                      DefaultsCase{0x3000, 97, frameFields(0, 1, 6, 1500, 1400)},
                      DefaultsCase{0x3003, 97, frameFields(0, 1, 6, 1500, 1400)},
                      DefaultsCase{0x4082, 97, frameFields(0, 0, 2, 300, 6000)},
                      DefaultsCase{0x5000, 103, motionFields(16, 120000, 2, 65000)},
                      DefaultsCase{0x50FF, 103, motionFields(16, 120000, 2, 65000)},
                      DefaultsCase{0x6021, 103, motionFields(1, 400000, 0, 12000)},
                      DefaultsCase{0x6000, 103, motionFields(1, 400000, 0, 12000)},
                      DefaultsCase{0x01056080, 103, motionFields(1, 400000, 0, 12000)},
                      // Families without defaults write nothing at all.
                      DefaultsCase{0x0000, 128, {}}, DefaultsCase{0x0100, 128, {}},
                      DefaultsCase{0x0408, 128, {}}, DefaultsCase{0x1001, 128, {}},
                      DefaultsCase{0x2001, 128, {}}, DefaultsCase{0xFF00, 128, {}}));

TEST(CollectInfoBytes, FieldsAreUnalignedInMachineOrder) {
    std::vector<unsigned char> record(103, 0);
    CollectInfo(0x6021, kRequest, record.data());
    const int32_t speedMax = 400000;
    unsigned char expected[sizeof speedMax];
    std::memcpy(expected, &speedMax, sizeof speedMax);
    EXPECT_EQ(std::memcmp(record.data() + 91, expected, sizeof expected), 0);
}

TEST(CollectInfoBadInput, OtherRequestsAndNullRecordsWriteNothing) {
    for (int32_t request : {0, 2, 257, -1}) {
        for (int32_t code : {0x3001, 0x4002, 0x5000, 0x6021}) {
            std::vector<unsigned char> record(128, kFill);
            CollectInfo(code, request, record.data());
            EXPECT_EQ(record, std::vector<unsigned char>(128, kFill))
                << std::hex << code << std::dec << " request " << request;
        }
    }
    CollectInfo(0x3001, kRequest, nullptr);
}

} // namespace
