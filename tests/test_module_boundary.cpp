// The module as a host built with Microsoft's compiler meets it: loaded by name, found through
// its two exports, driven only through the rows of its table, its names Microsoft-decorated;
// run on each architecture against that architecture's dist folder, and the tables of both
// read as files.
#include "PeImage.h"
#include "TestObjectRows.h"
#include "UnitContract.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <dbghelp.h>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using daxohost::PeImage;
using daxohost::ReadPeImage;

constexpr bool kIs64 = sizeof(void*) == 8;
const std::string kDist = DAXO_DIST_DIR;   // .../dist/win64 or .../dist/win32, this build's
const std::string kDistRoot = kDist.substr(0, kDist.rfind('/'));

template <typename F>
F Export(HMODULE module, const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

std::string WindowsPath(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path[0] == '\\' ? "Z:" + path : path;
}

// Who implements each row, and its signature's decoration on x86-64 and on i686.
enum Implementer { Own, Tester, Base };
struct RowName {
    TestRow row;
    Implementer by;
    const char* signature64;
    const char* signature32;
};
const RowName kRows[] = {
    {TestRow::GetProductName, Tester, "UEAAHPEAX0I@Z", "UAEHPAX0I@Z"},
    {TestRow::GetModuleName, Own, "UEAAPEBDXZ", "UAEPBDXZ"},
    {TestRow::IsSupportedTest, Own, "UEAAHPEBD@Z", "UAEHPBD@Z"},
    {TestRow::GetSupportedTestCount, Own, "UEAAIXZ", "UAEIXZ"},
    {TestRow::GetSupportedTest, Own, "UEAAPEBDI@Z", "UAEPBDI@Z"},
    {TestRow::GetExtendedInfoCount, Base, "UEAAIXZ", "UAEIXZ"},
    {TestRow::GetExtendedInfo, Base, "UEAAPEBDI@Z", "UAEPBDI@Z"},
    {TestRow::GetExtendedInfoName, Base, "UEAAPEBDI@Z", "UAEPBDI@Z"},
    {TestRow::Test, Tester, "UEAAHIPEAXG0@Z", "UAEHIPAXG0@Z"},
    {TestRow::Prepare4Test, Base, "UEAAHIPEAXG0@Z", "UAEHIPAXG0@Z"},
    {TestRow::AfterTest, Base, "UEAAHIPEAXG0@Z", "UAEHIPAXG0@Z"},
    {TestRow::GetTestID, Base, "UEAAIIH@Z", "UAEIIH@Z"},
    {TestRow::ShowHelp, Tester, "UEAAHPEAXIK@Z", "UAEHPAXIK@Z"},
    {TestRow::GetFirstLanguage, Tester, "UEAAHPEAI@Z", "UAEHPAI@Z"},
    {TestRow::GetNextLanguage, Tester, "UEAAHPEAI@Z", "UAEHPAI@Z"},
    {TestRow::GetCurrentLanguageID, Tester, "UEAAIXZ", "UAEIXZ"},
    {TestRow::LanguageFileClose, Tester, "UEAAHXZ", "UAEHXZ"},
    {TestRow::SetCurrentLanguage, Tester, "UEAAHI@Z", "UAEHI@Z"},
    {TestRow::LanguageFileOpen, Tester, "UEAAHXZ", "UAEHXZ"},
    {TestRow::GetLanguageFileName, Tester, "UEAAPEBDI@Z", "UAEPBDI@Z"},
    {TestRow::GetLanguageValue, Tester, "UEAAPEBDI@Z", "UAEPBDI@Z"},
    {TestRow::InitTestMenu, Tester, "UEAAHPEAX@Z", "UAEHPAX@Z"},
    {TestRow::LanguageFileGetTag, Tester, "UEAAHKPEBD@Z", "UAEHKPBD@Z"},
    {TestRow::LanguageFileGetCurrentTagAttribute, Tester, "UEAAPEBDPEBD@Z", "UAEPBDPBD@Z"},
    {TestRow::LanguageFileGetCurrentTagName, Tester, "UEAAPEBDXZ", "UAEPBDXZ"},
    {TestRow::GetMenuTooltip, Tester, "UEAAPEBDII@Z", "UAEPBDII@Z"},
    {TestRow::InitLanguage, Tester, "UEAAHXZ", "UAEHXZ"},
    {TestRow::SetLanguage, Tester, "UEAAHPEBD@Z", "UAEHPBD@Z"},
    {TestRow::SetLanguageFile, Tester, "UEAAHPEBD@Z", "UAEHPBD@Z"},
    {TestRow::GetMessageA, Own, "UEAAPEBDI@Z", "UAEPBDI@Z"},
    {TestRow::GetDialogName, Own, "UEAAPEBDI@Z", "UAEPBDI@Z"},
    {TestRow::GetDialogControlName, Own, "UEAAPEBDII@Z", "UAEPBDII@Z"},
    {TestRow::AutoTest, Tester, "UEAAHPEAXG@Z", "UAEHPAXG@Z"},
    {TestRow::CheckEEPROM, Tester, "UEAAHPEAXGH@Z", "UAEHPAXGH@Z"},
    {TestRow::ShowEEPROM, Tester, "UEAAHPEAXGH@Z", "UAEHPAXGH@Z"},
    {TestRow::SaveEEPROMToFile, Tester, "UEAAHPEAXG@Z", "UAEHPAXG@Z"},
    {TestRow::ClearEEPROM, Tester, "UEAAHPEAXG@Z", "UAEHPAXG@Z"},
    {TestRow::ConfigureThermometer, Own, "UEAAHPEAXGH@Z", "UAEHPAXGH@Z"},
    {TestRow::WriteEEPROM, Tester, "UEAAHPEAXHG@Z", "UAEHPAXHG@Z"},
    {TestRow::ShowConfigure, Tester, "UEAAHPEAXG@Z", "UAEHPAXG@Z"},
    {TestRow::MeasureTest, Tester, "UEAAHPEAXG@Z", "UAEHPAXG@Z"},
};

const char* ClassOf(Implementer by) { return by == Own ? "CTestDAXO01" : by == Tester ? "CDAXOTester" : "CTest"; }
const char* LibraryOf(Implementer by) { return by == Own ? "TestDAXO01.dll" : by == Tester ? "daxotester.test" : "prubel.dll"; }

std::string DecoratedName(const std::string& operation, const RowName& row, bool is64)
{
    return "?" + operation + "@" + ClassOf(row.by) + "@@" + (is64 ? row.signature64 : row.signature32);
}

// The operation's name, as the decorated names of the own rows give it.
std::string OperationOf(TestRow row)
{
    static const char* const names[] = {
        "~CTestDAXO01", "GetProductName", "GetModuleName", "IsSupportedTest", "GetSupportedTestCount",
        "GetSupportedTest", "GetExtendedInfoCount", "GetExtendedInfo", "GetExtendedInfoName", "Test",
        "Prepare4Test", "AfterTest", "GetTestID", "ShowHelp", "GetFirstLanguage", "GetNextLanguage",
        "GetCurrentLanguageID", "LanguageFileClose", "SetCurrentLanguage", "LanguageFileOpen",
        "GetLanguageFileName", "GetLanguageValue", "InitTestMenu", "LanguageFileGetTag",
        "LanguageFileGetCurrentTagAttribute", "LanguageFileGetCurrentTagName", "GetMenuTooltip",
        "InitLanguage", "SetLanguage", "SetLanguageFile", "GetMessageA", "GetDialogName",
        "GetDialogControlName", "AutoTest", "CheckEEPROM", "ShowEEPROM", "SaveEEPROMToFile", "ClearEEPROM",
        "ConfigureThermometer", "WriteEEPROM", "ShowConfigure", "MeasureTest"};
    static_assert(sizeof names / sizeof names[0] == static_cast<size_t>(TestRow::Count), "one name per row");
    return names[static_cast<int>(row)];
}

// The names the module exports: the entry points, and the class's own members by their
// decorated names.
std::vector<std::string> ExpectedModuleExports(bool is64)
{
    std::vector<std::string> names = {"_GetTestInstance", "_GetTestInstanceID",
                                      is64 ? "??0CTestDAXO01@@QEAA@PEAX@Z" : "??0CTestDAXO01@@QAE@PAX@Z",
                                      is64 ? "??1CTestDAXO01@@UEAA@XZ" : "??1CTestDAXO01@@UAE@XZ",
                                      is64 ? "?m_szSupportedTest@CTestDAXO01@@2PAPEBDA"
                                           : "?m_szSupportedTest@CTestDAXO01@@2PAPBDA"};
    for (const RowName& row : kRows)
        if (row.by == Own)
            names.push_back(DecoratedName(OperationOf(row.row), row, is64));
    std::sort(names.begin(), names.end());
    return names;
}

class ShippedModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Beside its own host libraries, as a host's folder holds them.
        module = ::LoadLibraryExA(WindowsPath(kDist + "/TestDAXO01.dll").c_str(), nullptr,
                                  LOAD_WITH_ALTERED_SEARCH_PATH);
        ASSERT_NE(module, nullptr) << kDist << ": GetLastError " << ::GetLastError();
        auto getInstance = Export<void* (*)()>(module, "_GetTestInstance");
        getId = Export<unsigned short (*)()>(module, "_GetTestInstanceID");
        ASSERT_NE(getInstance, nullptr);
        ASSERT_NE(getId, nullptr);
        object = getInstance();
        ASSERT_NE(object, nullptr);
    }
    void TearDown() override
    {
        if (module)
            ::FreeLibrary(module);
    }
    // Where a slot leads: an import thunk (jmp [address]) is followed to the function it jumps
    // to. The address is relative to the next instruction on x86-64, absolute on i686.
    static void* Target(void* entry)
    {
        constexpr int kThunkLength = 6;
        auto code = static_cast<const unsigned char*>(entry);
        if (code[0] == 0xFF && code[1] == 0x25) {
            std::int32_t operand;
            std::memcpy(&operand, code + 2, sizeof operand);
            const unsigned char* slot = kIs64 ? code + kThunkLength + operand
                                              : reinterpret_cast<const unsigned char*>(static_cast<std::uintptr_t>(
                                                    static_cast<std::uint32_t>(operand)));
            return *reinterpret_cast<void* const*>(slot);
        }
        return entry;
    }
    bool InModule(void* address) const
    {
        auto base = reinterpret_cast<const unsigned char*>(module);
        auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        auto at = static_cast<const unsigned char*>(address);
        return at >= base && at < base + nt->OptionalHeader.SizeOfImage;
    }
    HMODULE module = nullptr;
    unsigned short (*getId)() = nullptr;
    void* object = nullptr;
};

// First, so that a shifted table is named before a call through it goes astray. Row k sits
// at slot k: each slot leads to the function its row's decorated name exports.
// The numbers a host, a unit and a language file already hold, written out here once more so
// that a slip in their one home fails.
TEST(Contract, TheNumbersThatHostsUnitsAndLanguageFilesHold)
{
    const struct {
        long actual, pinned;
        const char* what;
    } numbers[] = {
        {result::kProgress, 112, "progress"}, {result::kFailure, 113, "failure"}, {result::kSuccess, 114, "success"},
        {result::kSummary, 117, "summary"}, {result::kCallConfigured, 1, "configured"}, {result::kCallEnded, 2, "ended"},
        {msg::kFirst, 20, "first message"}, {msg::kLast, 46, "last message"}, {msg::TestFailed, 42, "test failed"},
        {msg::ConfigCancelled, 43, "cancelled"}, {msg::WriteFailedLog, 32, "write failed"},
        {IDD_CONFIG, 2020, "dialog"}, {IDD_TESTCONFIG, 2021, "dialog"}, {IDD_CONFIRM, 2022, "dialog"},
        {IDC_ADDRESS, 32771, "address"}, {IDC_BAUD, 32773, "rate"}, {IDC_PARITY, 32774, "parity"},
        {IDC_WRITE, 32788, "write"}, {image::kTypeCodeOffset, 40, "type code"}, {image::kSerialOffset, 80, "serial"},
    };
    for (const auto& number : numbers)
        EXPECT_EQ(number.actual, number.pinned) << number.what;
    std::string rates;
    for (const BaudRate& rate : kBaudRates)
        rates += std::to_string(rate.code) + "=" + rate.text + " ";
    EXPECT_EQ(rates, "1=1200 2=2400 4=4800 9=9600 19=19200 38=38400 ");
}

TEST_F(ShippedModule, EachRowAtItsSlotLeadsToItsNamedFunction)
{
    void* const* table = *static_cast<void* const* const*>(object);
    // Row 0, the one destructor entry: the module's own deleting destructor, which no one exports.
    EXPECT_TRUE(InModule(table[0]));
    EXPECT_NE(::GetProcAddress(module, kIs64 ? "??1CTestDAXO01@@UEAA@XZ" : "??1CTestDAXO01@@UAE@XZ"), nullptr);
    for (const RowName& row : kRows) {
        const std::string name = DecoratedName(OperationOf(row.row), row, kIs64);
        HMODULE owner = row.by == Own ? module : ::GetModuleHandleA(LibraryOf(row.by));
        ASSERT_NE(owner, nullptr) << LibraryOf(row.by);
        void* exported = reinterpret_cast<void*>(::GetProcAddress(owner, name.c_str()));
        EXPECT_NE(exported, nullptr) << name << " in " << LibraryOf(row.by);
        EXPECT_EQ(Target(table[static_cast<int>(row.row)]), exported)
            << "slot " << static_cast<int>(row.row) << " is not " << name;
    }
}

TEST_F(ShippedModule, OneObjectTheFamilyIdentifierAndTheInstanceHandle)
{
    EXPECT_EQ(getId(), 20292);
    auto getInstance = Export<void* (*)()>(module, "_GetTestInstance");
    EXPECT_EQ(getInstance(), object);
    // The names without the leading underscore are not what the host looks for.
    EXPECT_EQ(::GetProcAddress(module, "GetTestInstance"), nullptr);
    // CTest's first member, the instance handle, follows the table's pointer.
    EXPECT_EQ(*reinterpret_cast<HINSTANCE*>(static_cast<char*>(object) + sizeof(void*)),
              reinterpret_cast<HINSTANCE>(module));
}

TEST_F(ShippedModule, NameAndSupportedTestsThroughTheRows)
{
    CTestObject test(object);
    EXPECT_STREQ(test.GetModuleName(), "DAXO-01");
    EXPECT_EQ(test.GetSupportedTestCount(), 3u);
    EXPECT_STREQ(test.GetSupportedTest(0), "DAXO-01");
    EXPECT_STREQ(test.GetSupportedTest(1), "DAXO-01");
    EXPECT_STREQ(test.GetSupportedTest(2), "DAX-01");
    EXPECT_NE(test.GetSupportedTest(0), test.GetSupportedTest(1)) << "two separate copies";
    EXPECT_EQ(test.GetSupportedTest(3), nullptr);
    EXPECT_EQ(test.GetSupportedTest(4294967295u), nullptr);
    EXPECT_EQ(test.IsSupportedTest("DAX-01"), 1);
    EXPECT_EQ(test.IsSupportedTest("daxo-01"), 0);
    EXPECT_EQ(test.IsSupportedTest(nullptr), 0);
    auto table = reinterpret_cast<const char* const*>(
        ::GetProcAddress(module, kIs64 ? "?m_szSupportedTest@CTestDAXO01@@2PAPEBDA"
                                       : "?m_szSupportedTest@CTestDAXO01@@2PAPBDA"));
    ASSERT_NE(table, nullptr);
    EXPECT_STREQ(table[2], "DAX-01");
}

TEST(ShippedModuleLoading, LoadsAndUnloadsRepeatedly)
{
    for (int i = 0; i < 20; ++i) {
        HMODULE module = ::LoadLibraryExA(WindowsPath(kDist + "/TestDAXO01.dll").c_str(), nullptr,
                                          LOAD_WITH_ALTERED_SEARCH_PATH);
        ASSERT_NE(module, nullptr);
        auto getInstance = Export<void* (*)()>(module, "_GetTestInstance");
        ASSERT_NE(getInstance, nullptr);
        EXPECT_STREQ(CTestObject(getInstance()).GetModuleName(), "DAXO-01");
        EXPECT_TRUE(::FreeLibrary(module));
    }
}

// Each load constructs the module's one test object and each unload destroys it: the tester's
// base, in a library that outlives the module, knows the object alive in between and no longer
// after.
TEST(ShippedModuleLoading, EachLoadConstructsTheTestObjectAndEachUnloadDestroysIt)
{
    constexpr int kLoads = 3;
    HMODULE tester = ::LoadLibraryExA(WindowsPath(kDist + "/daxotester.test").c_str(), nullptr,
                                      LOAD_WITH_ALTERED_SEARCH_PATH);
    ASSERT_NE(tester, nullptr);
    // Null for anything that is not a live tester of that library.
    auto liveTesterError = Export<const char* (*)(void*)>(tester, "DaxoTesterLanguageFileError");
    ASSERT_NE(liveTesterError, nullptr);
    for (int i = 0; i < kLoads; ++i) {
        HMODULE module = ::LoadLibraryExA(WindowsPath(kDist + "/TestDAXO01.dll").c_str(), nullptr,
                                          LOAD_WITH_ALTERED_SEARCH_PATH);
        ASSERT_NE(module, nullptr);
        void* object = Export<void* (*)()>(module, "_GetTestInstance")();
        EXPECT_NE(liveTesterError(object), nullptr) << "load " << i << ": the object was not constructed";
        EXPECT_TRUE(::FreeLibrary(module));
        EXPECT_EQ(liveTesterError(object), nullptr) << "load " << i << ": the object was not destroyed";
    }
    ::FreeLibrary(tester);
}

// While it lives, every allocation of one shipped library fails: its import of msvcrt.dll's
// malloc leads to a function that answers null, so the library's operator new throws.
class FailingAllocations {
public:
    explicit FailingAllocations(HMODULE library) : m_slot(ImportSlot(library, "msvcrt.dll", "malloc"))
    {
        if (m_slot) {
            m_original = *m_slot;
            Write(reinterpret_cast<void*>(&NoMemory));
        }
    }
    ~FailingAllocations()
    {
        if (m_slot)
            Write(m_original);
    }
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;
    bool Active() const { return m_slot != nullptr; }

private:
    static void* __cdecl NoMemory(size_t) { return nullptr; }
    void Write(void* value)
    {
        DWORD was = 0;
        ::VirtualProtect(m_slot, sizeof *m_slot, PAGE_READWRITE, &was);
        *m_slot = value;
        ::VirtualProtect(m_slot, sizeof *m_slot, was, &was);
    }
    // The slot of the import address table through which `library` calls `from`!`name`.
    static void** ImportSlot(HMODULE library, const char* from, const char* name)
    {
        auto base = reinterpret_cast<unsigned char*>(library);
        auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             imports.VirtualAddress && entry->Name; ++entry) {
            if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), from) != 0)
                continue;
            auto names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
            auto slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                auto byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) == 0)
                    return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
        return nullptr;
    }
    void** m_slot;
    void* m_original = nullptr;
};

// An exception thrown in the toolkit's library crosses into the module and stops at the guard of
// the host's call: the module says so on the debug output and ends the call as the host expects.
TEST_F(ShippedModule, AnExceptionFromTheToolkitStopsAtTheModulesGuard)
{
    HMODULE toolkit = ::GetModuleHandleA("quillet.dll");
    ASSERT_NE(toolkit, nullptr);
    auto setDebugSink = Export<void (*)(void (*)(void*, const char*), void*)>(toolkit, "QuilletSetDebugSink");
    ASSERT_NE(setDebugSink, nullptr);
    std::string debugOutput;
    setDebugSink([](void* context, const char* text) { *static_cast<std::string*>(context) += text; }, &debugOutput);
    int answer = 0;
    {
        FailingAllocations failing(toolkit);
        ASSERT_TRUE(failing.Active()) << "quillet.dll imports no malloc from msvcrt.dll";
        answer = CTestObject(object).ConfigureThermometer(nullptr, 0, 0);
    }
    setDebugSink(nullptr, nullptr);
    EXPECT_EQ(answer, result::kCallEnded);
    EXPECT_NE(debugOutput.find("TestDAXO01("), std::string::npos) << debugOutput;
    EXPECT_NE(debugOutput.find("exception: out of memory"), std::string::npos) << debugOutput;
}

// The tables of both architectures, read from the files of dist/.
class ShippedTables : public ::testing::TestWithParam<bool> {
protected:
    std::string Folder() const { return kDistRoot + (GetParam() ? "/win64" : "/win32"); }
    PeImage Read(const std::string& file) const
    {
        PeImage image = ReadPeImage(WindowsPath(Folder() + "/" + file));
        EXPECT_TRUE(image.read) << Folder() << "/" << file;
        EXPECT_EQ(image.is64, GetParam()) << file;
        return image;
    }
};

const char* const kShipped[] = {"TestDAXO01.dll", "quillet.dll", "prubel.dll", "tarlex.dll", "daxotester.test",
                                "simbench.dll", "langfile.dll", "daxohost.exe"};

TEST_P(ShippedTables, TheModuleExportsItsEntryPointsAndItsOwnMembersOnly)
{
    std::vector<std::string> names = Read("TestDAXO01.dll").exports;
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, ExpectedModuleExports(GetParam()));
}

TEST_P(ShippedTables, TheClassLibrariesNameNothingInGnuFashion)
{
    for (const char* file : {"TestDAXO01.dll", "quillet.dll", "prubel.dll", "tarlex.dll", "daxotester.test"}) {
        PeImage image = Read(file);
        for (const std::string& name : image.exports)
            EXPECT_NE(name.compare(0, 2, "_Z"), 0) << file << " exports " << name;
        for (const auto& import : image.imports)
            for (const std::string& name : import.names)
                EXPECT_NE(name.compare(0, 2, "_Z"), 0) << file << " imports " << name;
    }
}

// Every name a shipped binary imports from another shipped library is exported by it, and on
// i686 member functions are imported as __thiscall (E), variadic ones as __cdecl (A).
TEST_P(ShippedTables, EveryImportBetweenShippedLibrariesResolves)
{
    for (const char* file : kShipped) {
        for (const auto& import : Read(file).imports) {
            auto shipped = std::find_if(std::begin(kShipped), std::end(kShipped), [&](const char* other) {
                return _stricmp(other, import.library.c_str()) == 0;
            });
            if (shipped == std::end(kShipped))
                continue;
            PeImage library = Read(*shipped);
            for (const std::string& name : import.names) {
                EXPECT_NE(std::find(library.exports.begin(), library.exports.end(), name), library.exports.end())
                    << file << " imports " << name << ", which " << import.library << " does not export";
                // After the scope: access and kind (these letters: non-static member functions),
                // the object's qualifiers, then the calling convention.
                size_t at = name.find("@@");
                bool member = name[0] == '?' && at != std::string::npos && at + 4 < name.size() &&
                              std::strchr("ABEFIJMNQRUV", name[at + 2]);
                if (!GetParam() && member) {
                    bool variadic = name.size() >= 2 && name.compare(name.size() - 2, 2, "ZZ") == 0;
                    EXPECT_EQ(name[at + 4], variadic ? 'A' : 'E') << file << " imports " << name;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothArchitectures, ShippedTables, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "win64" : "win32"; });

} // namespace

namespace {

// A member as the module may import it, for either architecture: the undecorated name with
// the pointer-sized types spelt by role (INT_PTR, WPARAM, LPARAM).
std::string Undecorated(const std::string& decorated)
{
    char text[1024] = "";
    const DWORD kPlain = UNDNAME_NO_MS_KEYWORDS | UNDNAME_NO_ACCESS_SPECIFIERS | UNDNAME_NO_MEMBER_TYPE |
                         UNDNAME_NO_FUNCTION_RETURNS | UNDNAME_NO_THISTYPE;
    if (!::UnDecorateSymbolName(decorated.c_str(), text, sizeof text, kPlain))
        return decorated;
    return text;
}

// Why the module may import a member of the host's libraries.
const char kNamed[] = "an operation the host's interface names";
const char kLifetime[] = "constructs or destroys an object of the host's classes";
const char kInheritedRow[] = "an inherited operation in the module's tables";

struct AllowedImport {
    const char* library;
    const char* member;   // undecorated; INT_PTR, WPARAM and LPARAM stand for the pointer-sized types
    const char* why;
};
const AllowedImport kAllowedImports[] = {
    {"prubel.dll", "CTest::SetInstance(void *)", kNamed},
    {"prubel.dll", "CTest::TestSupportedTest(char const *,char * *,int)", kNamed},
    {"prubel.dll", "CTest::SendTestResult(void *,char const *,char const *,int,unsigned char,unsigned short)", kNamed},
    {"prubel.dll", "CTest::GetExtendedInfoCount(void)", kInheritedRow},
    {"prubel.dll", "CTest::GetExtendedInfo(unsigned int)", kInheritedRow},
    {"prubel.dll", "CTest::GetExtendedInfoName(unsigned int)", kInheritedRow},
    {"prubel.dll", "CTest::Prepare4Test(unsigned int,void *,unsigned short,void *)", kInheritedRow},
    {"prubel.dll", "CTest::AfterTest(unsigned int,void *,unsigned short,void *)", kInheritedRow},
    {"prubel.dll", "CTest::GetTestID(unsigned int,int)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::CDAXOTester(void *)", kNamed},
    {"daxotester.test", "CDAXOTester::~CDAXOTester(void)", kNamed},
    {"daxotester.test", "CDAXOTester::CheckEEPROM(void *,unsigned short,int)", kNamed},
    {"daxotester.test", "CEEPROMCache::GetEEPROMCacheFrom(unsigned char,int)", kNamed},
    {"daxotester.test", "CDAXOTester::ReadUserConfig(void)", kNamed},
    {"daxotester.test", "CDAXOTester::ReadDefaultConfig(unsigned char)", kNamed},
    {"daxotester.test", "CDAXOTester::WriteConfig(unsigned short,unsigned char *,unsigned char)", kNamed},
    {"daxotester.test", "CDAXOTester::Reconnect(int,int,int)", kNamed},
    {"daxotester.test", "CDAXOTester::IdentTest(unsigned char,int)", kNamed},
    {"daxotester.test", "CDAXOTester::LanguageFileGetTag(unsigned long,char const *)", kNamed},
    {"daxotester.test", "CDAXOTester::LanguageFileGetCurrentTagAttribute(char const *)", kNamed},
    {"daxotester.test", "CDAXOTester::GetMessageA(unsigned int)", kNamed},
    {"daxotester.test", "CDAXOTester::GetDialogName(unsigned int)", kNamed},
    {"daxotester.test", "CDAXOTester::GetDialogControlName(unsigned int,unsigned int)", kNamed},
    {"daxotester.test", "CDAXOTester::GetProductName(void *,void *,unsigned int)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::Test(unsigned int,void *,unsigned short,void *)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::ShowHelp(void *,unsigned int,unsigned long)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::GetFirstLanguage(unsigned int *)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::GetNextLanguage(unsigned int *)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::GetCurrentLanguageID(void)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::LanguageFileClose(void)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::SetCurrentLanguage(unsigned int)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::LanguageFileOpen(void)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::GetLanguageFileName(unsigned int)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::GetLanguageValue(unsigned int)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::InitTestMenu(void *)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::LanguageFileGetCurrentTagName(void)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::GetMenuTooltip(unsigned int,unsigned int)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::InitLanguage(void)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::SetLanguage(char const *)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::SetLanguageFile(char const *)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::AutoTest(void *,unsigned short)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::ShowEEPROM(void *,unsigned short,int)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::SaveEEPROMToFile(void *,unsigned short)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::ClearEEPROM(void *,unsigned short)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::WriteEEPROM(void *,int,unsigned short)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::ShowConfigure(void *,unsigned short)", kInheritedRow},
    {"daxotester.test", "CDAXOTester::MeasureTest(void *,unsigned short)", kInheritedRow},
    {"quillet.dll", "CDynString::SetString(char const *,int)", kNamed},
    {"quillet.dll", "CDynString::Trim(void)", kNamed},
    {"quillet.dll", "CDynString::InitBuffer(char const *)", kNamed},
    {"quillet.dll", "CDynString::Format(char const *,...)", kNamed},
    {"quillet.dll", "CDynString::CDynString(void)", kLifetime},
    {"quillet.dll", "CDynString::~CDynString(void)", kLifetime},
    {"quillet.dll", "CMyObject::CMyObject(void)", kLifetime},
    {"quillet.dll", "CMyObject::~CMyObject(void)", kLifetime},
    {"quillet.dll", "CMyObject::OutputDebugStringA(char const *)", kNamed},
    {"quillet.dll", "CMyWindowObject::MessageBoxA(char const *,char const *,unsigned int)", kNamed},
    {"quillet.dll", "CMyWindowObject::SetWindowTextA(char const *)", kNamed},
    {"quillet.dll", "CMyWindow::GetWndProc(void)", kNamed},
    {"quillet.dll", "CMyDialog::CMyDialog(unsigned int,INT_PTR (*)(struct HWND__ *,unsigned int,WPARAM,LPARAM),struct HWND__ *)", kNamed},
    {"quillet.dll", "CMyDialog::~CMyDialog(void)", kLifetime},
    {"quillet.dll", "CMyDialog::Show(int)", kNamed},
    {"quillet.dll", "CMyDialog::EndDialog(INT_PTR)", kNamed},
    {"quillet.dll", "CMyDialog::GetDlgItem(unsigned int)", kNamed},
    {"quillet.dll", "CMyDialog::GetDlgItemInt(unsigned int,int *,int)", kNamed},
    {"quillet.dll", "CMyDialog::SetDlgItemInt(unsigned int,unsigned int,int)", kNamed},
    {"quillet.dll", "CMyDialog::SetDlgItemTextA(unsigned int,char const *)", kNamed},
    {"quillet.dll", "CMyDialog::IsDlgButtonChecked(unsigned int)", kNamed},
    {"quillet.dll", "CMyDialog::CheckDlgButton(unsigned int,unsigned int)", kNamed},
    {"quillet.dll", "CMyDialog::EnableDialogItem(unsigned int,int)", kNamed},
    {"quillet.dll", "CMyDialog::ShowDialogItem(unsigned int,int)", kNamed},
    {"quillet.dll", "CMyDialog::SetDialogItemFocus(unsigned int)", kNamed},
    {"quillet.dll", "CMyDialog::GetDialogItemTextLength(unsigned int)", kNamed},
    {"quillet.dll", "CMyDialog::SetDialogItemBitmap(unsigned int,struct HBITMAP__ *)", kNamed},
    {"quillet.dll", "CMyDialog::Create(char const *,unsigned long,struct HWND__ *,unsigned int,int,int,struct tagRECT const *)", kNamed},
    {"quillet.dll", "CMyDialog::OnClose(void)", kInheritedRow},
    {"quillet.dll", "CMyDialog::OnMouseWheel(int)", kInheritedRow},
    {"quillet.dll", "CMyDialog::OnVScroll(int,int,struct HWND__ *)", kInheritedRow},
    {"quillet.dll", "CMyDialog::OnMyColoredTextGetTextParam(unsigned int,struct _MY_COLORED_TEXT_STRUCT *)", kInheritedRow},
    {"quillet.dll", "CMyColoredText::CMyColoredText(void)", kLifetime},
    {"quillet.dll", "CMyColoredText::~CMyColoredText(void)", kLifetime},
    {"quillet.dll", "CMyColoredText::Create(char const *,unsigned long,struct HWND__ *,unsigned int,int,int,struct tagRECT const *)", kNamed},
};

// The member as the table spells it on this architecture.
std::string ForArchitecture(std::string member, bool is64)
{
    const struct {
        const char* role;
        const char* type64;
        const char* type32;
    } kRoles[] = {{"INT_PTR", "__int64", "int"}, {"WPARAM", "unsigned __int64", "unsigned int"}, {"LPARAM", "__int64", "long"}};
    for (const auto& role : kRoles)
        for (size_t at; (at = member.find(role.role)) != std::string::npos;)
            member.replace(at, std::strlen(role.role), is64 ? role.type64 : role.type32);
    return member;
}

// A real host's libraries need hold nothing beyond what its interface promises: every member the
// module imports from them is one of the list, for its reason.
TEST_P(ShippedTables, TheModuleImportsFromTheHostOnlyWhatItsInterfacePromises)
{
    for (const auto& import : Read("TestDAXO01.dll").imports) {
        const bool hostLibrary = std::any_of(std::begin(kAllowedImports), std::end(kAllowedImports),
                                             [&](const AllowedImport& a) { return _stricmp(a.library, import.library.c_str()) == 0; });
        if (!hostLibrary)
            continue;
        for (const std::string& name : import.names) {
            const std::string member = Undecorated(name);
            EXPECT_TRUE(std::any_of(std::begin(kAllowedImports), std::end(kAllowedImports), [&](const AllowedImport& a) {
                return _stricmp(a.library, import.library.c_str()) == 0 && ForArchitecture(a.member, GetParam()) == member;
            })) << "TestDAXO01.dll imports " << member << " from " << import.library << ", which the host does not promise";
        }
    }
}

} // namespace
