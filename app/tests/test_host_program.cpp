// daxohost.exe run as the operator, the demo and CI run it: what it prints, what it exits
// with, and what it leaves in the commissioning record.
#include "HostRun.h"
#include "ModuleFit.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using daxotest::DistFolder;
using daxotest::TempPath;
using daxotest::Outcome;
using daxotest::RunHost;
using daxotest::WindowsPath;

std::string Script(const std::string& name)
{
    return WindowsPath(daxotest::SourceFolder() + "/app/scripts/" + name);
}

std::string WriteScript(const std::string& name, const std::string& text)
{
    std::string path = TempPath(name);
    daxotest::WriteFileBytes(path, text);
    return path;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// A folder with the program and the host's libraries, and a TestDAXO01.dll of the test's
// choosing or none at all.
std::string HostFolder(const std::string& name, const std::string& fakeVariant)
{
    std::string folder = TempPath(name);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* file : {"daxohost.exe", "prubel.dll", "quillet.dll", "tarlex.dll", "daxotester.test", "simbench.dll",
                             "langfile.dll"})
        ::CopyFileA((DistFolder() + "\\" + file).c_str(), (folder + "\\" + file).c_str(), FALSE);
    if (!fakeVariant.empty()) {
        std::string fake = WindowsPath(std::string(DAXO_FAKE_MODULES) + "/" + fakeVariant + "/TestDAXO01.dll");
        EXPECT_TRUE(::CopyFileA(fake.c_str(), (folder + "\\TestDAXO01.dll").c_str(), FALSE)) << fake;
    }
    return folder;
}

TEST(HostProgram, RefusesEveryModuleThatIsNotTheOneWithItsOwnExitCode)
{
    const std::string script = WriteScript("never-run.script", "dialog 2020\nclick 2\n");
    const struct {
        const char* variant;
        DWORD exitCode;
        const char* message;
    } cases[] = {
        {"", 3, "The test module TestDAXO01.dll cannot be loaded"},
        {"noexports", 4, "does not export _GetTestInstanceID and _GetTestInstance"},
        {"idonly", 4, "does not export _GetTestInstance."},
        {"wrongid", 5, "answers the module identifier 1234, not 20292"},
        {"noinstance", 6, "hands out no test object"},
    };
    for (const auto& check : cases) {
        std::string folder = HostFolder(std::string("host-") + (*check.variant ? check.variant : "missing"), check.variant);
        Outcome outcome = RunHost(folder, {"--script", script});
        EXPECT_EQ(outcome.exitCode, check.exitCode) << check.variant << ": " << outcome.output;
        EXPECT_NE(outcome.output.find(check.message), std::string::npos) << check.variant << ": " << outcome.output;
        EXPECT_EQ(outcome.output.find("112\t"), std::string::npos) << "nothing ran";
    }
}

// Windows ends a program whose libraries are not all there before it runs a line, without a
// word: the host names each of its libraries that is missing beside it, in a run and in a check.
TEST(HostProgram, ALibraryOfTheHostMissingBesideItIsNamed)
{
    if (sizeof(void*) == 4)
        GTEST_SKIP() << "the i686 program links the host's libraries as usual: Windows ends its start without a word";
    const std::string script = WriteScript("never-run.script", "dialog 2020\n");
    const std::vector<std::vector<std::string>> runs = {{"--script", script}, {"--check-module", "TestDAXO01.dll"}};
    for (const char* library : {"simbench.dll", "langfile.dll", "quillet.dll", "prubel.dll", "daxotester.test", "tarlex.dll"}) {
        const std::string folder = HostFolder(std::string("host-without-") + library, "");
        ASSERT_TRUE(::CopyFileA((DistFolder() + "\\TestDAXO01.dll").c_str(), (folder + "\\TestDAXO01.dll").c_str(), FALSE));
        ASSERT_TRUE(::DeleteFileA((folder + "\\" + library).c_str())) << library;
        for (const auto& args : runs) {
            Outcome outcome = RunHost(folder, args);
            EXPECT_EQ(outcome.exitCode, 3u) << library << " " << args[0] << ": " << outcome.output;
            EXPECT_NE(outcome.output.find(std::string("daxohost: ") + library + " is missing beside daxohost.exe.\n"
                                          "daxohost: put the host's libraries back beside daxohost.exe"),
                      std::string::npos)
                << library << " " << args[0] << ": " << outcome.output;
        }
    }
    // There but no library at all: Windows' reason, and the same exit.
    const std::string folder = HostFolder("host-broken-quillet", "");
    daxotest::WriteFileBytes(folder + "\\quillet.dll", "not a library");
    Outcome outcome = RunHost(folder, runs.front());
    EXPECT_EQ(outcome.exitCode, 3u) << outcome.output;
    EXPECT_NE(outcome.output.find("daxohost: quillet.dll beside daxohost.exe cannot be loaded: "), std::string::npos)
        << outcome.output;
}

// Windows says only "entry point not found" of a module built for another C++ ABI: the host
// names what does not fit and where it looked for it.
TEST(HostProgram, AModuleOfAnotherAbiIsRefusedWithTheNamesThatDoNotFit)
{
    const std::string folder = HostFolder("host-gnu-abi", "");
    const std::string gnuBuilt = WindowsPath(std::string(DAXO_INSIDE_DIR) + "/TestDAXO01.dll");
    ASSERT_TRUE(::CopyFileA(gnuBuilt.c_str(), (folder + "\\TestDAXO01.dll").c_str(), FALSE)) << gnuBuilt;
    Outcome outcome = RunHost(folder, {"--script", WriteScript("never-run.script", "dialog 2020\n")});
    EXPECT_EQ(outcome.exitCode, 3u) << outcome.output;
    EXPECT_NE(outcome.output.find("TestDAXO01.dll imports _Z"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find(", which does not export it (a name of the GNU C++ ABI"), std::string::npos);
    EXPECT_NE(outcome.output.find("more."), std::string::npos) << "the list is cut short";

    // One imported name changed by a byte: Wine binds it to a stub that faults at its first call,
    // far into the run; the host refuses the module before it loads it, as Windows would.
    std::string bytes = daxotest::ReadFileBytes(DistFolder() + "\\TestDAXO01.dll");
    const size_t at = bytes.find("?TestSupportedTest@CTest@@");
    ASSERT_NE(at, std::string::npos);
    bytes[at + 1] = 'X';
    daxotest::WriteFileBytes(folder + "\\TestDAXO01.dll", bytes);
    Outcome oneByte = RunHost(folder, {"--script", WriteScript("never-run.script", "dialog 2020\n")});
    EXPECT_EQ(oneByte.exitCode, 3u) << oneByte.output;
    EXPECT_NE(oneByte.output.find("cannot be loaded: it does not fit this host.\nTestDAXO01.dll imports "
                                  "?XestSupportedTest@CTest@@"),
              std::string::npos)
        << oneByte.output;

    // A library of the host that is not there at all (the host itself would not start without
    // most of them, so the check is asked directly).
    ::DeleteFileA((folder + "\\prubel.dll").c_str());
    const std::vector<std::string> problems = daxohost::ImportsNotMet(folder + "\\TestDAXO01.dll", folder);
    EXPECT_NE(std::find(problems.begin(), problems.end(), "TestDAXO01.dll needs prubel.dll, which is not beside the host."),
              problems.end())
        << (problems.empty() ? std::string("nothing found") : problems.front());
}

// daxohost --check-module: a line per problem; exit 0 fits, 1 does not fit, 2 unreadable.
TEST(HostProgram, CheckModuleSaysWhatOfAModuleDoesNotFit)
{
    const std::string shipped = DistFolder() + "\\TestDAXO01.dll";
    // The shipped module with one imported name changed, as a build against other headers makes it.
    std::string bytes = daxotest::ReadFileBytes(shipped);
    const size_t at = bytes.find("?TestSupportedTest@CTest@@");
    ASSERT_NE(at, std::string::npos);
    bytes[at + 1] = 'X';
    const std::string otherHeaders = TempPath("other-headers.dll");
    daxotest::WriteFileBytes(otherHeaders, bytes);
    const std::string text = TempPath("text.dll");
    daxotest::WriteFileBytes(text, "not a library\r\n");
    // The module of the other architecture, which this host cannot load.
    constexpr bool is64 = sizeof(void*) == 8;
    std::string otherArch = DistFolder();
    otherArch.replace(otherArch.rfind(is64 ? "win64" : "win32"), 5, is64 ? "win32" : "win64");
    const std::string gnuBuilt = WindowsPath(std::string(DAXO_INSIDE_DIR) + "/TestDAXO01.dll");
    const std::string fakes = WindowsPath(DAXO_FAKE_MODULES);
    const struct {
        std::string file;
        DWORD exitCode;
        std::vector<std::string> says;
    } cases[] = {
        {shipped, 0, {"fits this host and the libraries beside it."}},
        {gnuBuilt, 1, {"names of the GNU C++ ABI", "two destructor entries (_ZN11CTestDAXO01D0Ev",
                       "TestDAXO01.dll imports _Z"}},
        {otherHeaders, 1, {std::string("other-headers.dll imports ?XestSupportedTest@CTest@@") +
                               (is64 ? "QEAAHPEBDPEAPEADH@Z" : "QAEHPBDPAPADH@Z") + " from prubel.dll, which does not export it."}},
        {fakes + "\\idonly\\TestDAXO01.dll", 1, {"TestDAXO01.dll does not export _GetTestInstance."}},
        {fakes + "\\wrongid\\TestDAXO01.dll", 1, {"answers the module identifier 1234, not 20292."}},
        {text, 2, {"is no Windows library."}},
        {otherArch + "\\TestDAXO01.dll", 2,
         {is64 ? "is a library of another architecture (i386, 32-bit); this host is x86-64, 64-bit."
               : "is a library of another architecture (x86-64, 64-bit); this host is i386, 32-bit."}},
        {TempPath("absent.dll"), 2, {"absent.dll cannot be read: "}},
    };
    for (const auto& check : cases) {
        Outcome outcome = RunHost(DistFolder(), {"--check-module", check.file});
        EXPECT_EQ(outcome.exitCode, check.exitCode) << check.file << ": " << outcome.output;
        for (const std::string& said : check.says)
            EXPECT_NE(outcome.output.find(said), std::string::npos) << check.file << ": " << outcome.output;
    }
}

TEST(HostProgram, AModuleThatCrashesEndsTheHostWithTheCrashCodeAndWhatHappened)
{
    const std::string script = WriteScript("never-run.script", "dialog 2020\nclick 2\n");
    const struct {
        const char* variant;
        const char* message;
    } cases[] = {
        {"crashes", "daxohost: crashed: access violation 0xC0000005 at address "},
        {"throws", "daxohost: crashed: "},
    };
    for (const auto& check : cases) {
        Outcome outcome = RunHost(HostFolder(std::string("host-") + check.variant, check.variant), {"--script", script});
        EXPECT_EQ(outcome.exitCode, 7u) << check.variant << ": " << outcome.output;
        EXPECT_NE(outcome.output.find(check.message), std::string::npos) << check.variant << ": " << outcome.output;
    }
    Outcome crash = RunHost(HostFolder("host-crashes", "crashes"), {"--script", script});
    EXPECT_NE(crash.output.find("(TestDAXO01.dll+0x"), std::string::npos) << "the faulting library: " << crash.output;
}

TEST(HostProgram, AScriptThatExpectsSomethingFalseFailsWithItsLine)
{
    Outcome outcome = RunHost(DistFolder(), {"--bench", Script("one-unit.ini"), "--script", Script("fails-on-purpose.script"),
                                            "--record", TempPath("false.csv")});
    EXPECT_EQ(outcome.exitCode, 1u) << outcome.output;
    EXPECT_NE(outcome.output.find("FAILED at line 5: expect text 32771 \"99\"\n  its text is \"1\", not \"99\""),
              std::string::npos)
        << outcome.output;
    // The operator was given up, so the call ended and was logged.
    EXPECT_NE(outcome.output.find("call\tConfigureThermometer returned 2"), std::string::npos) << outcome.output;
}

TEST(HostProgram, ADialogThatNeverComesFailsAfterTheTimeLimit)
{
    const std::string script = WriteScript("waits.script", "# the configuration dialog opens, not this one\n"
                                                           "dialog 2022\nclick 1\nexpect result 1\n");
    Outcome outcome = RunHost(DistFolder(), {"--bench", Script("one-unit.ini"), "--script", script, "--timeout", "1",
                                            "--record", TempPath("waits.csv")});
    EXPECT_EQ(outcome.exitCode, 1u) << outcome.output;
    EXPECT_NE(outcome.output.find("FAILED at line 2: dialog 2022\n  no matching window within 1000 ms; open: dialog "
                                  "'DAXO configuration'"),
              std::string::npos)
        << outcome.output;
}

TEST(HostProgram, ALineForAWindowThatHasClosedSaysSo)
{
    const std::string script = WriteScript("closed.script", "dialog 2020\ncheck 32789 on\nclick 32788\nclick 1\n");
    Outcome outcome = RunHost(DistFolder(), {"--bench", Script("series.ini"), "--script", script, "--timeout", "1",
                                                "--record", TempPath("closed.csv")});
    EXPECT_EQ(outcome.exitCode, 1u) << outcome.output;
    EXPECT_NE(outcome.output.find("FAILED at line 4: click 1\n  the window named before this line has closed"),
              std::string::npos)
        << outcome.output;
}

TEST(HostProgram, AScriptThatEndsEarlyDoesNotLeaveTheCallHanging)
{
    const std::string script = WriteScript("short.script", "dialog 2020\ntype 32771 3\n");
    Outcome outcome = RunHost(DistFolder(), {"--bench", Script("one-unit.ini"), "--script", script, "--timeout", "1",
                                            "--record", TempPath("short.csv")});
    EXPECT_EQ(outcome.exitCode, 1u) << outcome.output;
    EXPECT_NE(outcome.output.find("FAILED at line 2: type 32771 3\n  the script has no more lines for this call, but "
                                  "the call did not return within 1000 ms; open: dialog 'DAXO configuration'"),
              std::string::npos)
        << outcome.output;
}

TEST(HostProgram, WrongInputIsRefusedBeforeTheModuleRuns)
{
    const std::string broken = WriteScript("broken.script", "dialog 2020\nclik 32788\n");
    Outcome syntax = RunHost(DistFolder(), {"--script", broken});
    EXPECT_EQ(syntax.exitCode, 2u) << syntax.output;
    EXPECT_NE(syntax.output.find("line 2: unknown action 'clik'"), std::string::npos) << syntax.output;

    Outcome noBench = RunHost(DistFolder(), {"--bench", TempPath("none.ini"), "--script", Script("one-unit.script")});
    EXPECT_EQ(noBench.exitCode, 2u) << noBench.output;
    EXPECT_NE(noBench.output.find("no bench file"), std::string::npos) << noBench.output;

    Outcome option = RunHost(DistFolder(), {"--calls", "2"});
    EXPECT_EQ(option.exitCode, 2u) << option.output;
    EXPECT_NE(option.output.find("usage: daxohost.exe"), std::string::npos) << option.output;

    Outcome language = RunHost(DistFolder(), {"--script", Script("one-unit.script"), "--lang", TempPath("none.xml")});
    EXPECT_EQ(language.exitCode, 2u) << language.output;

    const std::string folder = TempPath("record-folder");
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string nowhere = TempPath("no-such-folder") + "\\record.csv";
    const std::string readOnly = TempPath("read-only.csv");
    daxotest::WriteFileBytes(readOnly, "");
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    for (const auto& record : {std::make_pair(folder, "it is a folder"), std::make_pair(nowhere, "does not exist"),
                               std::make_pair(readOnly, "it is read-only")}) {
        Outcome refused = RunHost(DistFolder(), {"--bench", Script("one-unit.ini"), "--script",
                                                    Script("one-unit.script"), "--record", record.first});
        EXPECT_EQ(refused.exitCode, 2u) << refused.output;
        EXPECT_NE(refused.output.find("the commissioning record " + record.first + " cannot be written: "),
                  std::string::npos) << refused.output;
        EXPECT_NE(refused.output.find(record.second), std::string::npos) << refused.output;
        EXPECT_EQ(refused.output.find("112\t"), std::string::npos) << "nothing ran";
    }
}

TEST(HostProgram, ARecordRowThatCannotBeWrittenFailsTheScript)
{
    const std::string record = TempPath("locked.csv");
    daxotest::WriteFileBytes(record, "");
    // Another program holds the record open for itself while the unit is configured.
    HANDLE held = ::CreateFileA(record.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Outcome outcome = RunHost(DistFolder(), {"--bench", Script("one-unit.ini"), "--script", Script("one-unit.script"),
                                                "--record", record});
    ::CloseHandle(held);
    EXPECT_EQ(outcome.exitCode, 1u) << outcome.output;
    EXPECT_NE(outcome.output.find("FAILED: The commissioning record " + record +
                                  " cannot be written: the row of unit 00000712 is lost."),
              std::string::npos) << outcome.output;
    EXPECT_EQ(outcome.output.find("PASSED"), std::string::npos) << outcome.output;
}

TEST(HostProgram, ASeriesLeavesOneRecordRowPerUnitAndTheLogFile)
{
    const std::string record = TempPath("series.csv");
    ::DeleteFileA(record.c_str());   // Wine hands out process ids again: the folder may be an old one
    const std::string log = TempPath("series.log");
    const std::string shots = TempPath("series-shots");
    ::DeleteFileA(record.c_str());
    for (int run = 0; run < 2; ++run) {
        Outcome outcome = RunHost(DistFolder(), {"--bench", Script("series.ini"), "--script", Script("series.script"),
                                                "--record", record, "--log", log, "--shots", shots});
        ASSERT_EQ(outcome.exitCode, 0u) << outcome.output;
        // The log file holds what the console showed as it happened.
        std::string logged = daxotest::ReadFileBytes(log);
        EXPECT_NE(outcome.output.find(logged), std::string::npos) << logged;
    }
    std::vector<std::string> rows = Lines(daxotest::ReadFileBytes(record));
    ASSERT_EQ(rows.size(), 7u) << "one header, three units per run";
    EXPECT_EQ(rows[0], "time,serial,type,address,baud,parity,result,detail\r");
    const std::pair<std::string, std::string> units[] = {{"00000712", "124"}, {"00000713", "125"}, {"00000714", "1"}};
    for (int i = 0; i < 6; ++i) {
        const std::string& serial = units[i % 3].first, &address = units[i % 3].second;
        EXPECT_EQ(rows[1 + i].substr(19), "," + serial + ",VX1205.10," + address + ",9600,none,configured,"
                  "\"configuration for " + serial + ": address " + address + "; 9600 Bd, parity žádná (NO)\"\r");
    }

    // A picture of every dialog and message box: three configuration dialogs, three next-unit
    // dialogs, one warning, and the tests that could be seen.
    WIN32_FIND_DATAA found;
    std::vector<std::string> pictures;
    HANDLE search = ::FindFirstFileA((shots + "\\*.png").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do
        pictures.push_back(found.cFileName);
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    auto count = [&pictures](const std::string& kind) {
        return std::count_if(pictures.begin(), pictures.end(),
                             [&kind](const std::string& name) { return name.find(kind) != std::string::npos; });
    };
    EXPECT_GE(count("dialog-2020"), 3);
    EXPECT_GE(count("dialog-2022"), 3);
    EXPECT_GE(count("msgbox"), 1);
}

TEST(HostProgram, EveryUnitReachedLeavesARowAndAVerdict)
{
    const std::string record = TempPath("failing.csv");
    ::DeleteFileA(record.c_str());
    Outcome failing = RunHost(DistFolder(), {"--bench", Script("no-answer.ini"), "--script", Script("no-answer.script"),
                                                "--record", record});
    ASSERT_EQ(failing.exitCode, 0u) << failing.output;
    EXPECT_NE(failing.output.find("\thost\tverdict for unit 00000717: test failed: unit did not answer, then cancelled: "
                                  "not configured; this session: 0 units configured, 1 not configured, first-pass yield 0 %\n"),
              std::string::npos) << failing.output;
    std::vector<std::string> rows = Lines(daxotest::ReadFileBytes(record));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].substr(19), ",00000717,VX1205.10,9,9600,odd,test failed,new setting test error\r");
    EXPECT_EQ(rows[2].substr(19), ",00000717,VX1205.10,,,,cancelled,configuration user break\r");
}

TEST(HostProgram, ACallThatFindsNoUnitGetsANoteOfTheHost)
{
    const std::string record = TempPath("unplugged.csv");
    ::DeleteFileA(record.c_str());
    const std::string script = WriteScript("unplugged.script", "dialog 2020\nclick 32788\nbench unplug\nexpect result 1\n"
                                                               "expect report 112\nexpect result 2\n");
    Outcome outcome = RunHost(DistFolder(), {"--bench", Script("one-unit.ini"), "--script", script, "--calls", "2",
                                                "--record", record});
    EXPECT_EQ(outcome.exitCode, 0u) << outcome.output;
    const std::string note = "\thost\tno unit is connected: the unit's EEPROM could not be read (CheckEEPROM failed)\n";
    const size_t at = outcome.output.find("\tcall\tConfigureThermometer returned 2\n");
    ASSERT_NE(at, std::string::npos) << outcome.output;
    EXPECT_EQ(outcome.output.find(note), outcome.output.find('\n', at) + 13) << "right after the call: " << outcome.output;
    EXPECT_EQ(outcome.output.find(note), outcome.output.rfind(note)) << "once, for the call without a unit only";
    EXPECT_EQ(Lines(daxotest::ReadFileBytes(record)).size(), 2u) << "a row for the unit, none for the call without one";
}

TEST(HostProgram, TheTranslatorsToolsRunAloneWithTheirExitCodes)
{
    const std::string wrong = WriteScript("wrong-lang.xml", "<TesterLanguage><Message>"
                                                            "<MessageItem ID=\"99\" text=\"navíc\"/></Message></TesterLanguage>");
    Outcome check = RunHost(DistFolder(), {"--check-lang", wrong});
    EXPECT_EQ(check.exitCode, 1u) << check.output;
    EXPECT_NE(check.output.find("message 99: unknown to the module\n"), std::string::npos) << check.output;
    Outcome clean = RunHost(DistFolder(), {"--check-lang", WindowsPath(daxotest::SourceFolder() + "/lang/cs.xml")});
    EXPECT_EQ(clean.exitCode, 0u) << clean.output;
    const std::string exported = TempPath("exported.xml");
    Outcome written = RunHost(DistFolder(), {"--export-lang", exported});
    EXPECT_EQ(written.exitCode, 0u) << written.output;
    EXPECT_NE(daxotest::ReadFileBytes(exported).find("<MessageItem ID=\"39\" text=\"configuration for %s"),
              std::string::npos);
    // An existing file (a translation, perhaps) is written over only when asked for.
    daxotest::WriteFileBytes(exported, "someone's translation");
    Outcome kept = RunHost(DistFolder(), {"--export-lang", exported});
    EXPECT_EQ(kept.exitCode, 2u) << kept.output;
    EXPECT_NE(kept.output.find("exists and stays as it is"), std::string::npos) << kept.output;
    EXPECT_EQ(daxotest::ReadFileBytes(exported), "someone's translation");
    Outcome replaced = RunHost(DistFolder(), {"--export-lang", exported, "--replace"});
    EXPECT_EQ(replaced.exitCode, 0u) << replaced.output;
    EXPECT_NE(daxotest::ReadFileBytes(exported).find("<MessageItem ID=\"39\""), std::string::npos);
}

// A call that opens with the operator's hands at the bench reads the unit they chose: the
// record's row names it, not the unit before.
TEST(HostProgram, BenchLinesThatOpenACallComeBeforeItReadsTheUnit)
{
    const std::string script = WriteScript("next-between.script", "dialog 2020\nclick 2\nexpect result 2\n"
                                                                  "bench next\ndialog 2020\nclick 2\nexpect result 2\n");
    const std::string record = TempPath("next-between.csv");
    Outcome outcome = RunHost(DistFolder(), {"--bench", Script("series.ini"), "--script", script, "--calls", "2",
                                            "--record", record});
    EXPECT_EQ(outcome.exitCode, 0u) << outcome.output;
    const std::vector<std::string> rows = Lines(daxotest::ReadFileBytes(record));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_NE(rows[1].find(",00000712,"), std::string::npos) << rows[1];
    EXPECT_NE(rows[2].find(",00000713,"), std::string::npos) << rows[2];
}

TEST(HostProgram, RepeatsTheScriptForEveryCall)
{
    const std::string script = WriteScript("each.script", "dialog 2020\nclick 32788\nexpect result 1\n");
    const std::string record = TempPath("each.csv");
    Outcome outcome = RunHost(DistFolder(), {"--bench", Script("series.ini"), "--script", script, "--calls", "3",
                                            "--record", record});
    EXPECT_EQ(outcome.exitCode, 0u) << outcome.output;
    EXPECT_NE(outcome.output.find("PASSED: 9 script lines, 3 call(s) returning 1, 1, 1"), std::string::npos)
        << outcome.output;
    std::string rows = daxotest::ReadFileBytes(record);
    for (const char* serial : {"00000712", "00000713", "00000714"})
        EXPECT_NE(rows.find(serial), std::string::npos) << rows;

    const std::string twoCalls = WriteScript("two.script", "dialog 2020\nclick 32788\nexpect result 1\n"
                                                           "dialog 2020\nclick 2\nexpect result 2\n");
    Outcome one = RunHost(DistFolder(), {"--bench", Script("series.ini"), "--script", twoCalls, "--record", record});
    EXPECT_EQ(one.exitCode, 1u) << one.output;
    EXPECT_NE(one.output.find("FAILED at line 4: dialog 2020\n  not reached: the script has lines for 2 calls, but "
                              "only 1 ran (give --calls 2)"),
              std::string::npos)
        << one.output;
}

} // namespace
