// The configuration record's encodings and the list of units configured in a series:
// everything that can be checked without a window.
#include "ConfigList.h"
#include "TestSupport.h"
#include "UnitConfig.h"
#include <gtest/gtest.h>
#include <cstring>

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

std::vector<std::pair<long, int>> Entries(const CConfigList& list)
{
    std::vector<std::pair<long, int>> entries;
    for (const CONFIG_LIST_ITEM* item = list.First(); item; item = item->pNext)
        entries.emplace_back(item->lSerialNumber, item->byAddress);
    return entries;
}

TEST(ConfigList, FindsOnlyWhatWasAdded)
{
    CConfigList list;
    EXPECT_EQ(list.FindUnit(0), 0);
    EXPECT_EQ(list.FindUnit(1234), 0);
    EXPECT_EQ(list.AddUnit(1234, 5), 1);
    EXPECT_EQ(list.FindUnit(1234), 1);
    EXPECT_EQ(list.FindUnit(1235), 0);
    EXPECT_EQ(list.AddUnit(0, 3), 1) << "serial 0 is an ordinary key";
    EXPECT_EQ(list.FindUnit(0), 1);
    EXPECT_EQ(list.AddUnit(-7, 1), 1);
    EXPECT_EQ(list.FindUnit(-7), 1);
}

TEST(ConfigList, UpdatesInPlaceAndKeepsInsertionOrder)
{
    CConfigList list;
    list.AddUnit(1234, 5);
    list.AddUnit(1234, 9);
    EXPECT_EQ(Entries(list), (std::vector<std::pair<long, int>>{{1234, 9}}));
    CConfigList ordered;
    ordered.AddUnit(1, 1);
    ordered.AddUnit(2, 2);
    ordered.AddUnit(1, 7);
    EXPECT_EQ(Entries(ordered), (std::vector<std::pair<long, int>>{{1, 7}, {2, 2}}));
    ordered.AddUnit(3, 300);
    EXPECT_EQ(Entries(ordered).back(), (std::pair<long, int>{3, 44})) << "the low 8 bits of the address";
    ordered.AddUnit(4, -1);
    EXPECT_EQ(Entries(ordered).back().second, 255);
}

TEST(ConfigList, ClearForgetsEverythingAndTheListIsReusable)
{
    CConfigList list;
    EXPECT_EQ(list.Clear(), 1);
    for (long serial = 99999990; serial < 99999999; ++serial)
        list.AddUnit(serial, 1);
    EXPECT_EQ(list.Clear(), 1);
    for (long serial = 99999990; serial < 99999999; ++serial)
        EXPECT_EQ(list.FindUnit(serial), 0);
    EXPECT_EQ(list.First(), nullptr);
    list.AddUnit(5, 5);
    EXPECT_EQ(Entries(list).size(), 1u);
}

TEST(ConfigList, DestroyingAFullListFreesEveryEntry)
{
    // Run many lists through the heap; a list that leaked its entries would grow the
    // process's private bytes without bound.
    daxotest::DebugCapture debug;
    for (int round = 0; round < 200; ++round) {
        CConfigList list;
        for (long serial = 0; serial < 500; ++serial)
            list.AddUnit(serial, static_cast<int>(serial));
    }
    EXPECT_TRUE(debug.Lines().empty()) << "no invariant check fails on a sound list";
}

} // namespace
