#include <gtest/gtest.h>

#include "core/schedule_item.h"

namespace {

ScheduleFront SampleFront() {
    ScheduleFront f;
    f.id = 0x01020304;
    f.parentId = 5;
    f.linkKind = 1;
    f.startDate = 0x11223344;
    f.startTime = 32400;
    f.endDate = -1;
    f.endTime = 0x00010203;
    f.recurFlags = 1;
    f.recurKind = 91;
    f.recurPattern = 0x0514;
    f.recurInterval = 200;
    return f;
}

const ScheduleFront::Bytes kSampleBytes = {
    0x04, 0x03, 0x02, 0x01, 0x05, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
    0x44, 0x33, 0x22, 0x11, 0x90, 0x7E, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF,
    0x03, 0x02, 0x01, 0x00, 0x01, 0x5B, 0x14, 0x05, 0xC8, 0x00, 0x00, 0x00};

TEST(ScheduleFrontTest, EncodesLittleEndianFieldsAtTheirOffsets) {
    EXPECT_EQ(SampleFront().Encode(), kSampleBytes);
    const ScheduleFront decoded = ScheduleFront::Decode(kSampleBytes.data(), kSampleBytes.size());
    EXPECT_EQ(decoded, SampleFront());
    EXPECT_EQ(decoded.endDate, -1);
}

TEST(ScheduleFrontTest, DecodeIgnoresReservedBytesAndExtraLength) {
    std::array<std::uint8_t, 40> bytes{};
    std::copy(kSampleBytes.begin(), kSampleBytes.end(), bytes.begin());
    for (int i : {9, 10, 11, 33, 34, 35, 36, 37}) bytes[i] = 0xAB;
    EXPECT_EQ(ScheduleFront::Decode(bytes.data(), bytes.size()), SampleFront());
}

TEST(ScheduleFrontTest, DecodeOfShortBufferLeavesMissingFieldsZero) {
    const ScheduleFront f = ScheduleFront::Decode(kSampleBytes.data(), 13);
    EXPECT_EQ(f.id, 0x01020304u);
    EXPECT_EQ(f.linkKind, 1);
    EXPECT_EQ(f.startDate, 0x44);  // only its first byte was present
    EXPECT_EQ(f.startTime, 0);
    EXPECT_EQ(f.recurKind, 0);
    EXPECT_EQ(f.recurInterval, 0);
    EXPECT_EQ(ScheduleFront::Decode(nullptr, 0).Encode(), ScheduleFront::Bytes{});
}

TEST(ActionsBlockTest, RoundTripsWithSignedMinutesAndZeroReservedByte) {
    const ActionsBlock block{kActionPlaySound | kActionLaunchFile, -2};
    const ActionsBlock::Bytes expected = {0x03, 0x00, 0xFE, 0xFF};
    EXPECT_EQ(block.Encode(), expected);
    const std::uint8_t stored[] = {0x01, 0x77, 0xE7, 0x03};
    const ActionsBlock read = ActionsBlock::Decode(stored, sizeof stored);
    EXPECT_EQ(read.actions, kActionPlaySound);
    EXPECT_EQ(read.remindMinutes, 999);
    EXPECT_EQ(ActionsBlock::Decode(stored, 2).remindMinutes, 0);
}

TEST(ScheduleItemTest, NewEventHasDocumentedDefaults) {
    const ScheduleItem item;
    EXPECT_EQ(item.front.recurKind, 1);
    EXPECT_EQ(item.front.recurInterval, 1);
    EXPECT_EQ(item.front.recurFlags | item.front.recurPattern | item.front.linkKind | item.front.parentId, 0u);
    EXPECT_EQ(item.Actions(), (ActionsBlock{0, 10}));
}

}  // namespace
