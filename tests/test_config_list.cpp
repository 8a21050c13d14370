// The list of units configured in one series: lookups, updates, order, that the list gives
// back every entry it took, and that a call ended by an exception leaves it empty.
#include "UnitContract.h"
#include "ConfigList.h"
#include "TestDAXO01.h"
#include "TestSupport.h"
#include "Texts.h"
#include <gtest/gtest.h>
#include <atomic>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Every allocation of this program is counted, the list's entries among them (its code is
// linked in here), so that a destroyed or cleared list can be seen to give them all back.
namespace {
std::atomic<long> g_liveAllocations{0};
}

void* operator new(std::size_t size)
{
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    ++g_liveAllocations;
    return block;
}

void operator delete(void* block) noexcept
{
    if (!block)
        return;
    --g_liveAllocations;
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

namespace {

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

TEST(ConfigList, DestroyingOrClearingAListGivesBackEveryEntry)
{
    daxotest::DebugCapture debug;
    long before = g_liveAllocations;
    {
        CConfigList list;
        for (long serial = 0; serial < 500; ++serial)
            list.AddUnit(serial, static_cast<int>(serial));
        EXPECT_EQ(g_liveAllocations - before, 500) << "one entry per serial number";
    }
    EXPECT_EQ(g_liveAllocations, before) << "the destroyed list freed its entries";
    CConfigList list;
    list.AddUnit(1, 1);
    list.AddUnit(2, 2);
    list.Clear();
    EXPECT_EQ(g_liveAllocations, before) << "a cleared list freed its entries";
    EXPECT_TRUE(debug.Lines().empty()) << "no invariant check fails on a sound list";
}

typedef std::vector<std::pair<int, std::string>> Reports;

// A host whose EEPROM check fails with an exception; its report of "no configuration" may
// fail too.
class ThrowingTester : public CTestDAXO01 {
public:
    ThrowingTester() : CTestDAXO01(nullptr) {}
    int CheckEEPROM(void*, unsigned short, int) override { throw std::runtime_error("EEPROM read failed"); }
    const char* GetMessageA(unsigned int id) override
    {
        if (id == msg::NoConfiguration && reportThrows)
            throw 45;
        return CTestDAXO01::GetMessageA(id);
    }
    bool reportThrows = false;
};

TEST(ProcedureFailure, AnExceptionEndsTheCallWithAReportedFailureAndTheHostGoesOn)
{
    daxotest::ReportCapture reports;
    daxotest::DebugCapture debug;
    ThrowingTester tester;
    tester.m_ConfigList.AddUnit(5, 5);
    EXPECT_EQ(tester.ConfigureThermometer(nullptr, 0, 0), 2);
    EXPECT_EQ(reports.CodesAndTexts(), (Reports{{result::kProgress, "DAXO configuration"}, {result::kFailure, "there is no configuration"}}));
    EXPECT_TRUE(debug.Contains("exception: out of memory or a fault of the module or the host"));
    EXPECT_TRUE(debug.Contains("TestDAXO01("));
    EXPECT_EQ(tester.m_ConfigList.First(), nullptr);

    tester.reportThrows = true;
    reports.Clear();
    EXPECT_EQ(tester.ConfigureThermometer(nullptr, 0, 0), 2) << "a failing report of the failure is survived";
    EXPECT_EQ(reports.CodesAndTexts(), (Reports{{result::kProgress, "DAXO configuration"}}));
}

} // namespace
