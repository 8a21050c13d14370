// The module as the host meets it: loaded by name, found through its two exports, and
// driven only through the virtual table that the host's CTest declares.
#include "DAXOTester.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

typedef CTest* (*GetInstanceFn)();
typedef unsigned short (*GetInstanceIdFn)();

class ModuleBoundary : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = ::LoadLibraryA("TestDAXO01.dll");
        ASSERT_NE(module, nullptr) << "GetLastError " << ::GetLastError();
        getInstance = daxotest::Export<GetInstanceFn>(module, "_GetTestInstance");
        getId = daxotest::Export<GetInstanceIdFn>(module, "_GetTestInstanceID");
        ASSERT_NE(getInstance, nullptr);
        ASSERT_NE(getId, nullptr);
    }
    void TearDown() override
    {
        if (module)
            ::FreeLibrary(module);
    }
    HMODULE module = nullptr;
    GetInstanceFn getInstance = nullptr;
    GetInstanceIdFn getId = nullptr;
};

TEST_F(ModuleBoundary, ExportsOneObjectAndTheFamilyIdentifier)
{
    EXPECT_EQ(getId(), 20292);
    CTest* first = getInstance();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, getInstance());
    // The names without the leading underscore are not what the host looks for.
    EXPECT_EQ(::GetProcAddress(module, "GetTestInstance"), nullptr);
    EXPECT_EQ(getId(), 20292);
}

TEST_F(ModuleBoundary, EntryPointHandedTheInstanceToTheObject)
{
    EXPECT_EQ(getInstance()->m_hInstance, reinterpret_cast<HINSTANCE>(module));
}

TEST_F(ModuleBoundary, NameAndSupportedTestsThroughTheVirtualTable)
{
    CTest* test = getInstance();
    EXPECT_STREQ(test->GetModuleName(), "DAXO-01");
    EXPECT_EQ(test->GetSupportedTestCount(), 3u);
    EXPECT_STREQ(test->GetSupportedTest(0), "DAXO-01");
    EXPECT_STREQ(test->GetSupportedTest(1), "DAXO-01");
    EXPECT_STREQ(test->GetSupportedTest(2), "DAX-01");
    EXPECT_NE(test->GetSupportedTest(0), test->GetSupportedTest(1)) << "two separate copies";
    EXPECT_EQ(test->GetSupportedTest(3), nullptr);
    EXPECT_EQ(test->GetSupportedTest(4294967295u), nullptr);

    EXPECT_EQ(test->IsSupportedTest("DAXO-01"), 1);
    EXPECT_EQ(test->IsSupportedTest("DAX-01"), 1);
    EXPECT_EQ(test->IsSupportedTest("DAX-02"), 0);
    EXPECT_EQ(test->IsSupportedTest("daxo-01"), 0);
    EXPECT_EQ(test->IsSupportedTest(nullptr), 0);
}

TEST_F(ModuleBoundary, ExportedClassMembersAreReachableByTheirNames)
{
    const char* names[] = {"_ZN11CTestDAXO01C1EPv", "_ZN11CTestDAXO01D1Ev", "_ZN11CTestDAXO0113GetModuleNameEv",
                           "_ZN11CTestDAXO0117m_szSupportedTestE", "_ZN11CTestDAXO0121GetSupportedTestCountEv"};
    for (const char* name : names)
        EXPECT_NE(::GetProcAddress(module, name), nullptr) << name;
    auto table = reinterpret_cast<const char* const*>(::GetProcAddress(module, "_ZN11CTestDAXO0117m_szSupportedTestE"));
    ASSERT_NE(table, nullptr);
    EXPECT_STREQ(table[2], "DAX-01");
}

// Every name in the library's export directory, read from the loaded image.
std::vector<std::string> ExportNames(HMODULE module)
{
    auto base = reinterpret_cast<const unsigned char*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto directory = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    auto names = reinterpret_cast<const DWORD*>(base + directory->AddressOfNames);
    std::vector<std::string> result;
    for (DWORD i = 0; i < directory->NumberOfNames; ++i)
        result.emplace_back(reinterpret_cast<const char*>(base + names[i]));
    return result;
}

TEST_F(ModuleBoundary, ExportsTheEntryPointsAndTheClassesOwnOperationsOnly)
{
    std::vector<std::string> names = ExportNames(module);
    std::sort(names.begin(), names.end());
    const std::vector<std::string> expected = {
        "_GetTestInstance", "_GetTestInstanceID",
        "_ZN11CTestDAXO0111GetMessageAEj", "_ZN11CTestDAXO0113GetDialogNameEj",
        "_ZN11CTestDAXO0113GetModuleNameEv", "_ZN11CTestDAXO0115IsSupportedTestEPKc",
        "_ZN11CTestDAXO0116GetSupportedTestEj", "_ZN11CTestDAXO0117m_szSupportedTestE",
        "_ZN11CTestDAXO0120ConfigureThermometerEPvti", "_ZN11CTestDAXO0120GetDialogControlNameEjj",
        "_ZN11CTestDAXO0121GetSupportedTestCountEv", "_ZN11CTestDAXO01C1EPv", "_ZN11CTestDAXO01C2EPv",
        "_ZN11CTestDAXO01D0Ev", "_ZN11CTestDAXO01D1Ev", "_ZN11CTestDAXO01D2Ev", "_ZTI11CTestDAXO01",
        "_ZTV11CTestDAXO01"};
    EXPECT_EQ(names, expected);
}

// The host relies on each operation's place in the table. A pointer to a virtual member
// holds the slot's byte offset plus one; two destructor entries come first.
template <typename F>
std::ptrdiff_t Slot(F member)
{
    std::ptrdiff_t raw;
    static_assert(sizeof(member) >= sizeof raw, "member pointer layout");
    std::memcpy(&raw, &member, sizeof raw);
    return (raw - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}

TEST(VirtualTable, HostOperationsStandInTheirSlots)
{
    EXPECT_EQ(Slot(&CTest::GetProductName), 2);
    EXPECT_EQ(Slot(&CTest::GetModuleName), 3);
    EXPECT_EQ(Slot(&CTest::GetSupportedTest), 6);
    EXPECT_EQ(Slot(&CTest::Test), 10);
    EXPECT_EQ(Slot(&CTest::ShowHelp), 14);
    EXPECT_EQ(Slot(&CTest::GetFirstLanguage), 15);
    EXPECT_EQ(Slot(&CTest::LanguageFileGetTag), 24);
    EXPECT_EQ(Slot(&CTest::SetLanguageFile), 30);
    EXPECT_EQ(Slot(&CTest::GetMessageA), 31);
    EXPECT_EQ(Slot(&CTest::GetDialogControlName), 33);
    EXPECT_EQ(Slot(&CTest::CheckEEPROM), 35);
    EXPECT_EQ(Slot(&CTest::ConfigureThermometer), 39);
    EXPECT_EQ(Slot(&CTest::MeasureTest), 42);
    // The tester adds nothing in between.
    EXPECT_EQ(Slot(&CDAXOTester::CheckEEPROM), 35);
    EXPECT_EQ(Slot(&CDAXOTester::MeasureTest), 42);
}

TEST(ModuleLoading, LoadsAndUnloadsRepeatedly)
{
    for (int i = 0; i < 20; ++i) {
        HMODULE module = ::LoadLibraryA("TestDAXO01.dll");
        ASSERT_NE(module, nullptr);
        auto getInstance = daxotest::Export<GetInstanceFn>(module, "_GetTestInstance");
        ASSERT_NE(getInstance, nullptr);
        EXPECT_STREQ(getInstance()->GetModuleName(), "DAXO-01");
        EXPECT_TRUE(::FreeLibrary(module));
    }
}

} // namespace
