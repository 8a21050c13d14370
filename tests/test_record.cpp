// The configuration record's encodings: everything of it that can be checked without a window.
#include "UnitConfig.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

TEST(RateCodes, TableAndFallback)
{
    const int expected[][2] = {{1, 1200}, {2, 2400}, {4, 4800}, {9, 9600}, {19, 19200}, {38, 38400}};
    for (const auto& pair : expected) {
        EXPECT_EQ(BaudRateOfCode(static_cast<unsigned char>(pair[0])), pair[1]);
        EXPECT_EQ(std::to_string(pair[1]), BaudTextOfCode(static_cast<unsigned char>(pair[0])));
    }
    for (unsigned char code : {0, 3, 5, 37, 39, 255}) {
        EXPECT_EQ(BaudRateOfCode(code), 38400) << int(code);
        EXPECT_EQ(BaudTextOfCode(code), nullptr) << int(code);
    }
}

TEST(ListTexts, ParityAndCurrentInCodePage1250)
{
    EXPECT_STREQ(ParityTextOfCode(0), "\x8E\xE1\x64n\xE1 (NO)");
    EXPECT_STREQ(ParityTextOfCode(1), "Lich\xE1 (ODD)");
    EXPECT_STREQ(ParityTextOfCode(2), "Sud\xE1 (EVEN)");
    EXPECT_EQ(ParityTextOfCode(3), nullptr);
    EXPECT_STREQ(kCurrentTexts[2], "p\xF8ibli\x9En\xEC 150uA");
}

TEST(InputCurrent, StoredHalvesSelectAndItemDataIsHeld)
{
    EXPECT_EQ(CurrentPositionOfCode(0), 0);
    EXPECT_EQ(CurrentPositionOfCode(1), 0) << "code 1 is never written and shows as 50 uA";
    EXPECT_EQ(CurrentPositionOfCode(2), 1);
    EXPECT_EQ(CurrentPositionOfCode(3), 2);
    for (unsigned int code = 4; code < 16; ++code)
        EXPECT_EQ(CurrentPositionOfCode(code), 0);
    EXPECT_EQ(CurrentCodeOfItemData(-1), 0) << "no selection";
    EXPECT_EQ(CurrentCodeOfItemData(2), 2);
    EXPECT_EQ(CurrentCodeOfItemData(3), 3);
    EXPECT_EQ(CurrentCodeOfItemData(99), 3);
    EXPECT_EQ(CurrentCodeOfItemData(-1000000), 0);
}

TEST(Record, TimeoutIsLittleEndianAndTheMarkerIsSave)
{
    UnitConfig config{};
    SetCommTimeout(config, 65535);
    EXPECT_EQ(config.commTimeout[0], 0xFF);
    EXPECT_EQ(config.commTimeout[1], 0xFF);
    SetCommTimeout(config, 600);
    EXPECT_EQ(config.commTimeout[0], 0x58);
    EXPECT_EQ(config.commTimeout[1], 0x02);
    EXPECT_EQ(CommTimeoutOf(config), 600u);
    SetSaveMarker(config);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&config);
    EXPECT_EQ(std::memcmp(bytes + 6, "save", 4), 0);
}

TEST(DefaultBlock, SelectorsDecode)
{
    EXPECT_EQ(BaudCodeOfRateSelector(0x40), 1);
    EXPECT_EQ(BaudCodeOfRateSelector(0x5F), 2);
    EXPECT_EQ(BaudCodeOfRateSelector(0x60), 4);
    EXPECT_EQ(BaudCodeOfRateSelector(0x70), 9);
    EXPECT_EQ(BaudCodeOfRateSelector(0x80), 19);
    EXPECT_EQ(BaudCodeOfRateSelector(0x95), 38) << "selector 9";
    EXPECT_EQ(BaudCodeOfRateSelector(0x3F), 38) << "selector 3";
    EXPECT_EQ(ParityOfSelector(0x9F), 2);
    EXPECT_EQ(ParityOfSelector(0xBF), 1);
    EXPECT_EQ(ParityOfSelector(0xC0), 0);
    EXPECT_EQ(ParityOfSelector(0x00), 0);
    unsigned char block[32] = {};
    block[8] = 0x70;
    block[10] = 0xA0;
    block[15] = 17;
    block[16] = 255;
    DefaultConfig decoded = DecodeDefaultBlock(block);
    EXPECT_EQ(decoded.baudCode, 9);
    EXPECT_EQ(decoded.parity, 1);
    EXPECT_EQ(decoded.address, 17);
    EXPECT_EQ(decoded.answerDelay, 255);
}

} // namespace
