// The parts of the host application in one process: the operator's script language, the
// texts of scripts and logs, the command line, the result log, the commissioning record, and
// the windows an operator works with.
#include "BenchWindow.h"
#include "CommandLine.h"
#include "CommissioningRecord.h"
#include "LanguageMenu.h"
#include "MainWindow.h"
#include "ModuleLoader.h"
#include "OperatorDriver.h"
#include "ResultLog.h"
#include "ResultView.h"
#include "Script.h"
#include "SimBench.h"
#include "TestSupport.h"
#include "TextCodec.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstring>
#include <set>

namespace {

using namespace daxohost;
using daxotest::BenchFile;

const char kStoredConfig[] = "01 00 09 00 58 02 73 61 76 65 01 00 01 01 01 01 FF FF FF FF 00";

std::string Errors(const CScript& script)
{
    std::string all;
    for (const std::string& error : script.Errors())
        all += error + "\n";
    return all;
}

// --- the script language -----------------------------------------------------------------

TEST(ScriptLanguage, ReadsEveryKindOfLine)
{
    CScript script;
    ASSERT_TRUE(script.Parse("dialog 2020\n"
                             "type 32771 5\n"
                             "type 32772 \"\"\n"
                             "check 32789 on\n"
                             "select 32773 \"19200\"\n"
                             "spin 32805 -10\n"
                             "wheel 32771 -120\n"
                             "click 32788\n"
                             "msgbox\n"
                             "answer no\n"
                             "close\n"
                             "escape\n"
                             "bench jp1 2 WP\n"
                             "bench next\n"
                             "bench unplug\n"
                             "expect report 113\n"
                             "expect report 117 \"configuration for 712\"\n"
                             "expect result 2\n"))
        << Errors(script);
    const std::vector<ScriptLine>& lines = script.Lines();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0].op, ScriptOp::WaitDialog);
    EXPECT_EQ(lines[0].id, 32788u);
    EXPECT_EQ(lines[1].op, ScriptOp::Type);
    EXPECT_EQ(lines[1].id, 32771u);
    EXPECT_EQ(lines[1].text, "5");
    EXPECT_EQ(lines[2].text, "");
    EXPECT_EQ(lines[3].value, 1);
    EXPECT_EQ(lines[4].text, "19200");
    EXPECT_EQ(lines[5].value, -10);
    EXPECT_EQ(lines[6].value, -120);
    EXPECT_EQ(lines[9].value, IDNO);
    EXPECT_EQ(lines[12].op, ScriptOp::BenchJumper);
    EXPECT_EQ(lines[12].id, 2u);
    EXPECT_EQ(lines[12].value, 1);
    EXPECT_FALSE(lines[15].hasText);
    EXPECT_TRUE(lines[16].hasText);
    EXPECT_EQ(lines[16].id, 117u);
    EXPECT_EQ(lines[17].op, ScriptOp::ExpectResult);
    EXPECT_EQ(lines[17].value, 2);
    EXPECT_EQ(lines[17].number, 18);
    EXPECT_EQ(lines[4].source, "select 32773 \"19200\"");
}

TEST(ScriptLanguage, KnowsTheModulesDialogsByTheirOwnControls)
{
    CScript script;
    ASSERT_TRUE(script.Parse("dialog 2020\ndialog config\ndialog 2021\ndialog test\ndialog 2022\ndialog next\n"
                             "dialog 32771\n"))
        << Errors(script);
    const unsigned expected[] = {32788, 32788, 32801, 32801, 32795, 32795, 32771};
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(script.Lines()[i].id, expected[i]) << "line " << i + 1;
}

TEST(ScriptLanguage, TextsHaveEscapesCommentsAndTheAnsiCodePage)
{
    CScript script;
    ASSERT_TRUE(script.Parse("\xEF\xBB\xBF# a comment line\n"
                             "   \n"
                             "msgbox   # a comment after the line\n"
                             "expect msgbox-text \"Line\\nTab\\tQuote\\\" Backslash\\\\ # not a comment\"\n"
                             "expect caption \"\xC5\xBE\xC3\xA1\x64n\xC3\xA1 (NO)\"\r\n"))
        << Errors(script);
    ASSERT_EQ(script.Lines().size(), 3u);
    EXPECT_EQ(script.Lines()[0].number, 3);
    EXPECT_EQ(script.Lines()[1].text, "Line\nTab\tQuote\" Backslash\\ # not a comment");
    EXPECT_EQ(script.Lines()[2].text, "\x9E\xE1\x64n\xE1 (NO)") << "UTF-8 in the file, code page 1250 for the module";
}

TEST(ScriptLanguage, NamesEveryWrongLineAndWhy)
{
    CScript script;
    EXPECT_FALSE(script.Parse("clik 32788\n"                 // 1
                              "dialog 2020\n"                // 2 fine
                              "type 32771 \"5\n"             // 3 unclosed
                              "type 70000 5\n"               // 4 id range
                              "expect text 32771 \"\\x\"\n"  // 5 escape
                              "answer maybe\n"               // 6
                              "click 32788 now\n"            // 7 extra
                              "expect colour 1\n"            // 8
                              "expect caption \"\xC3\x28\"\n"  // 9 not UTF-8
                              "check 32789 yes\n"            // 10
                              "expect result\n"              // 11
                              "expect result 1\n"            // 12 fine, ends the call
                              "click 2\n"));                 // 13: no window named in this call
    const std::vector<std::string>& errors = script.Errors();
    ASSERT_EQ(errors.size(), 11u) << Errors(script);
    const char* starts[] = {"line 1: unknown action 'clik'", "line 3: a text without", "line 4: type: expected a control id",
                            "line 5: unknown escape", "line 6: answer: expected a button", "line 7: click: unexpected 'now'",
                            "line 8: unknown expect 'colour'", "line 9: expect caption: the text is not UTF-8",
                            "line 10: check: expected on or off", "line 11: expect result: expected the value",
                            "line 13: 'click 2' acts on a window"};
    for (size_t i = 0; i < errors.size(); ++i)
        EXPECT_EQ(errors[i].compare(0, std::strlen(starts[i]), starts[i]), 0) << errors[i];
}

TEST(ScriptLanguage, EveryCallStartsWithoutAWindowAndEndsAtItsResult)
{
    CScript script;
    ASSERT_TRUE(script.Parse("dialog 2020\nclick 2\nexpect result 2\n"
                             "dialog 2020\nclick 32788\nexpect report 114\nexpect result 1\n"
                             "bench next\n"))
        << Errors(script);
    std::vector<std::vector<ScriptLine>> calls = script.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].size(), 3u);
    EXPECT_EQ(calls[1].size(), 4u);
    EXPECT_EQ(calls[2].size(), 1u);
    EXPECT_EQ(ScopeOf(calls[1][2].op), LineScope::Anywhere);
    EXPECT_EQ(ScopeOf(calls[1][3].op), LineScope::AfterCall);

    EXPECT_FALSE(script.Parse("dialog 2020\nexpect result 2\nclick 2\n")) << "a window is named per call";
    EXPECT_TRUE(script.Parse(""));
    EXPECT_EQ(script.Calls().size(), 1u);
}

TEST(ScriptLanguage, RepeatsNestedBlocksKeepingTheirLineNumbersAndPauses)
{
    CScript script;
    ASSERT_TRUE(script.Parse("repeat 3\n"           // 1
                             "  dialog 2020\n"      // 2
                             "  repeat 2\n"         // 3
                             "    pause 50\n"       // 4
                             "  end\n"              // 5
                             "  click 32788\n"      // 6
                             "end\n"                // 7
                             "expect result 2\n"))
        << Errors(script);
    const std::vector<ScriptLine>& lines = script.Lines();
    ASSERT_EQ(lines.size(), 3u * 4u + 1u);
    EXPECT_EQ(lines[4].number, 2) << "the second round starts again at line 2";
    EXPECT_EQ(lines[2].op, ScriptOp::Pause);
    EXPECT_EQ(lines[2].value, 50);
    EXPECT_EQ(ScopeOf(ScriptOp::Pause), LineScope::Anywhere);
    EXPECT_EQ(lines.back().number, 8);

    EXPECT_FALSE(script.Parse("repeat 2\ndialog 2020\n"));
    EXPECT_EQ(Errors(script), "line 1: repeat without its end\n");
    EXPECT_FALSE(script.Parse("end\nrepeat 0\nend\npause -1\n"));
    EXPECT_EQ(script.Errors().size(), 4u) << Errors(script) << "the end of a refused repeat has none";
    EXPECT_FALSE(script.Parse("repeat 10000\nrepeat 10000\ndialog 2020\nend\nend\n"))
        << "a script that grows beyond all use is refused, not built";
}

// --- texts, command line --------------------------------------------------------------------

TEST(TextCodec, ConvertsBetweenUtf8AndTheCodePageAndSpellsOutControls)
{
    std::string text;
    ASSERT_TRUE(Utf8ToModuleText("P\xC5\x99ipojte", &text));
    EXPECT_EQ(text, "P\xF8ipojte");
    EXPECT_EQ(ModuleTextToUtf8(text), "P\xC5\x99ipojte");
    EXPECT_FALSE(Utf8ToModuleText("\xFF\xFE", &text));
    EXPECT_TRUE(Utf8ToModuleText("", &text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(EscapeControls("a\r\nb\tc\\d"), "a\\nb\\tc\\\\d");
}

TEST(CommandLine, ReadsTheOptionsAndRefusesWrongOnes)
{
    HostOptions options;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--bench", "b.ini", "--script", "s.txt", "--lang", "cs.xml", "--log", "out\\log.txt",
                                  "--shots", "pics", "--calls", "3", "--timeout", "20"},
                                 &options, &error))
        << error;
    EXPECT_EQ(options.bench, "b.ini");
    EXPECT_EQ(options.script, "s.txt");
    EXPECT_EQ(options.lang, "cs.xml");
    EXPECT_EQ(options.shots, "pics");
    EXPECT_EQ(options.calls, 3);
    EXPECT_EQ(options.timeoutMs, 20000u);
    EXPECT_EQ(RecordPath(options), "out\\commissioning.csv") << "beside the log";
    options.record = "r.csv";
    EXPECT_EQ(RecordPath(options), "r.csv");
    EXPECT_EQ(RecordPath(HostOptions()), "commissioning.csv");

    const std::vector<std::vector<std::string>> wrong = {
        {"--bench"}, {"--frob", "1"}, {"stray"}, {"--script", "s", "--calls", "0"}, {"--script", "s", "--calls", "x"},
        {"--script", "s", "--timeout", "0"}, {"--calls", "2"}, {"--log", ""}};
    for (const auto& args : wrong) {
        HostOptions refused;
        error.clear();
        EXPECT_FALSE(ParseCommandLine(args, &refused, &error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
    HostOptions help;
    EXPECT_TRUE(ParseCommandLine({"--help"}, &help, &error));
    EXPECT_TRUE(help.help);
}

// --- result log and record ----------------------------------------------------------------

TEST(ResultLog, TakesEveryReportOfTheProcessWithTheCallResults)
{
    CModuleLoader module;
    ASSERT_EQ(module.Load(), ModuleStatus::Loaded) << module.Message();
    // A unit without a type code: the module reports the start and the failure, and shows nothing.
    BenchFile().Unit({"TypeCodeHex=20202020202020202020202020202020", "Serial=1"}).Load();
    CResultLog log;
    std::vector<std::string> heard;
    log.AddListener([&heard](const LogEntry& entry) { heard.push_back(entry.text); });
    std::string file = daxotest::TempPath("live.log");
    ASSERT_TRUE(log.WriteTo(file));
    log.AddCallResult(module.Test()->ConfigureThermometer(nullptr, 0, 0));
    log.AddReport(117, "configuration for 712:\taddress 5");

    std::vector<LogEntry> entries = log.Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].code, 112);
    EXPECT_EQ(entries[0].text, "DAXO configuration");
    EXPECT_TRUE(entries[0].heading);
    EXPECT_EQ(entries[1].code, 113);
    EXPECT_FALSE(entries[1].heading);
    EXPECT_EQ(entries[2].source, LogSource::CallResult);
    EXPECT_EQ(entries[2].code, 2);
    EXPECT_EQ(heard.size(), 4u);

    std::string line = CResultLog::FormatLine(entries[3]);
    EXPECT_EQ(line.substr(12), "\t117\tconfiguration for 712:\\taddress 5") << "one line per report";
    EXPECT_EQ(CResultLog::FormatLine(entries[2]).substr(12), "\tcall\tConfigureThermometer returned 2");

    std::string saved = daxotest::TempPath("saved.log");
    ASSERT_TRUE(log.Save(saved));
    std::string written = daxotest::ReadFileBytes(saved);
    EXPECT_EQ(written, daxotest::ReadFileBytes(file)) << "the live file and the saved log agree";
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 4);
}

TEST(ResultLog, NoLongerListensOnceGone)
{
    CModuleLoader module;
    ASSERT_EQ(module.Load(), ModuleStatus::Loaded) << module.Message();
    BenchFile().Load();   // nothing at the fixture: the module reports the start of the call only
    {
        CResultLog log;
    }
    EXPECT_EQ(module.Test()->ConfigureThermometer(nullptr, 0, 0), 2);
}

TEST(ResultView, EveryResultCodeHasItsOwnColours)
{
    std::set<COLORREF> backgrounds;
    for (int code : {112, 113, 114, 117})
        backgrounds.insert(CResultView::ColoursOf(code, false).background);
    backgrounds.insert(CResultView::ColoursOf(1, true).background);
    EXPECT_EQ(backgrounds.size(), 5u);
    COLORREF failure = CResultView::ColoursOf(113, false).text;
    EXPECT_GT(GetRValue(failure), GetGValue(failure)) << "failures in red";
    COLORREF success = CResultView::ColoursOf(114, false).text;
    EXPECT_GT(GetGValue(success), GetRValue(success)) << "success in green";
}

// --- the windows of the operator ----------------------------------------------------------

std::string Cell(HWND list, int row, int column)
{
    char text[128] = "";
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

void Select(HWND list, int row)
{
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    ::SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}

TEST(BenchWindow, ShowsTheFixtureAndTakesTheOperatorsHands)
{
    BenchFile()
        .Unit({"TypeCode=VX1205.10", "Serial=00000712"})
        .Unit({"TypeCode=VX1205.10", "Serial=00000713", "WriteProtect=1", "Silent=1", "Address=9", "Parity=2"})
        .Load();
    CBenchWindow bench;
    ASSERT_TRUE(bench.Create(::GetModuleHandleA(nullptr), 0, 0));
    EXPECT_EQ(::GetWindow(bench.Handle(), GW_OWNER), nullptr) << "no owner: usable while dialogs are open";
    HWND list = ::GetDlgItem(bench.Handle(), CBenchWindow::kListId);
    ASSERT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(Cell(list, 0, 2), "00000712");
    EXPECT_EQ(Cell(list, 0, 8), "<< CONNECTED");
    EXPECT_EQ(Cell(list, 1, 3), "9");
    EXPECT_EQ(Cell(list, 1, 5), "even");
    EXPECT_EQ(Cell(list, 1, 6), "WP (protected)");
    EXPECT_EQ(Cell(list, 1, 7), "never");

    Select(list, 1);
    ::SendMessageA(bench.Handle(), WM_COMMAND, CBenchWindow::kJumperCommand, 0);
    SimUnitInfo unit{};
    ASSERT_TRUE(CSimBench::Instance().GetUnit(1, &unit));
    EXPECT_EQ(unit.writeProtect, 0);
    EXPECT_EQ(Cell(list, 1, 6), "WE");

    ::SendMessageA(bench.Handle(), WM_COMMAND, CBenchWindow::kUnplugCommand, 0);
    EXPECT_EQ(CSimBench::Instance().ConnectedIndex(), -1);
    EXPECT_EQ(Cell(list, 0, 8), "");
    ::SendMessageA(bench.Handle(), WM_COMMAND, CBenchWindow::kNextCommand, 0);
    EXPECT_EQ(CSimBench::Instance().ConnectedIndex(), 1);
    EXPECT_EQ(Cell(list, 1, 8), "<< CONNECTED");

    // What the module does to the bench shows too, at the next look.
    CSimBench::Instance().SetWriteProtect(0, 1);
    ::SendMessageA(bench.Handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(Cell(list, 0, 6), "WP (protected)");
}

class LoadedModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(module.Load(), ModuleStatus::Loaded) << module.Message();
        test = module.Test();
    }
    CModuleLoader module;
    const CTestObject* test = nullptr;
};

TEST_F(LoadedModule, IsTheModuleOfTheFamily)
{
    EXPECT_STREQ(test->GetModuleName(), "DAXO-01");
    CModuleLoader missing;
    EXPECT_EQ(missing.Load("NoSuchModule.dll"), ModuleStatus::NotFound);
    EXPECT_NE(missing.Message().find("NoSuchModule.dll"), std::string::npos) << missing.Message();
    EXPECT_EQ(missing.Test(), nullptr);
    std::set<int> codes;
    for (ModuleStatus status : {ModuleStatus::Loaded, ModuleStatus::NotFound, ModuleStatus::MissingExport,
                                ModuleStatus::WrongIdentifier, ModuleStatus::NoTestObject})
        codes.insert(CModuleLoader::ExitCode(status));
    EXPECT_EQ(codes.size(), 5u);
    EXPECT_EQ(codes.count(0), 1u);
    EXPECT_EQ(codes.count(1), 0u) << "1 is a failed script";
    EXPECT_EQ(codes.count(2), 0u) << "2 is wrong input";
}

TEST_F(LoadedModule, LanguageMenuOffersEnglishAndTheShippedFiles)
{
    daxotest::ScopedEnv folder("DAXO_LANG_DIR", (daxotest::SourceFolder() + "/lang").c_str());
    CLanguageMenu menu(*test, 500);
    HMENU popup = menu.Build();
    ASSERT_NE(popup, nullptr);
    const std::vector<LanguageChoice>& choices = menu.Choices();
    ASSERT_GE(choices.size(), 3u) << "English, cs, en";
    EXPECT_TRUE(choices[0].path.empty());
    size_t czech = 0;
    for (size_t i = 1; i < choices.size(); ++i)
        if (choices[i].path.find("cs.xml") != std::string::npos)
            czech = i;
    ASSERT_NE(czech, 0u);

    EXPECT_TRUE(menu.OnCommand(500 + static_cast<UINT>(czech), nullptr));
    EXPECT_STREQ(test->GetDialogName(2020), "Konfigurace DAXO");
    EXPECT_EQ(::GetMenuState(popup, 500 + static_cast<UINT>(czech), MF_BYCOMMAND) & MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));
    EXPECT_TRUE(menu.OnCommand(500, nullptr));
    EXPECT_STREQ(test->GetDialogName(2020), "DAXO configuration");
    EXPECT_FALSE(menu.OnCommand(499, nullptr));
    EXPECT_FALSE(menu.OnCommand(500 + static_cast<UINT>(choices.size()), nullptr));
    ::DestroyMenu(popup);

    EXPECT_TRUE(CLanguageMenu::OpenFile(*test, daxotest::SourceFolder() + "/lang/cs.xml"));
    if (::GetACP() == 1250) {
        EXPECT_STREQ(test->GetDialogName(2022), "Konfigurace dal\x9A\xED jednotky ...");
    }
    CLanguageMenu::UseEnglish(*test);
    EXPECT_FALSE(CLanguageMenu::OpenFile(*test, daxotest::TempPath("missing.xml")));
    CLanguageMenu::UseEnglish(*test);
}

TEST_F(LoadedModule, MainWindowConfiguresAUnitWhileTheBenchStaysUsable)
{
    BenchFile().Host("UserConfig", kStoredConfig).Unit({"TypeCode=VX1205.10", "Serial=00000712"}).Load();
    CResultLog log;
    CMainWindow window(*test, log, daxotest::TempPath("hand.csv"));
    ASSERT_TRUE(window.Create(::GetModuleHandleA(nullptr), "TestDAXO01.dll"));
    HWND bench = window.Bench().Handle();
    HWND benchList = ::GetDlgItem(bench, CBenchWindow::kListId);

    bool benchEnabled = false, mainEnabled = true;
    std::string writeError;
    opdriver::OperatorDriver driver;
    driver.OnDialog(32788, [&](opdriver::Window& dialog) {
        benchEnabled = ::IsWindowEnabled(bench) != 0;
        mainEnabled = ::IsWindowEnabled(window.Handle()) != 0;
        // The operator puts JP1 into the write-protect position at the bench, then writes.
        Select(benchList, 0);
        ::SendMessageA(bench, WM_COMMAND, CBenchWindow::kJumperCommand, 0);
        dialog.Click(32788);
    });
    driver.OnMessageBox([&](opdriver::Window& box) {
        writeError = box.MessageText();
        box.Answer(IDOK);
    });
    driver.OnDialog(32788, [&](opdriver::Window& dialog) {
        ::SendMessageA(bench, WM_COMMAND, CBenchWindow::kJumperCommand, 0);
        dialog.Click(32788);
    });
    ::SendMessageA(window.Handle(), WM_COMMAND, CMainWindow::kConfigureCommand, 0);
    EXPECT_TRUE(driver.Succeeded()) << driver.Report();
    EXPECT_TRUE(benchEnabled);
    EXPECT_FALSE(mainEnabled) << "the module's dialogs belong to the main window";
    EXPECT_EQ(writeError, "EEPROM configuration write error!");

    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&message);
    HWND list = window.ResultList();
    const int rows = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    ASSERT_EQ(static_cast<size_t>(rows), log.Count());
    EXPECT_EQ(Cell(list, rows - 1, 1), "call");
    EXPECT_EQ(Cell(list, rows - 1, 2), "ConfigureThermometer returned 1");
    EXPECT_EQ(Cell(list, rows - 3, 1), "117");
    EXPECT_EQ(Cell(list, rows - 3, 2), "configuration for 00000712: address 1; 9600 Bd, parity \x9E\xE1\x64n\xE1 (NO)");
    char status[128] = "";
    ::GetWindowTextA(window.Status(), status, sizeof status);
    EXPECT_NE(std::string(status).find("the unit is configured"), std::string::npos) << status;

    UnitPass pass;
    pass.serial = "00000712";
    pass.result = PassResult::WriteFailed;
    SessionTotals totals;
    totals.Count(pass);
    window.ShowVerdict(pass, totals);
    char verdict[128] = "", counted[128] = "";
    ::GetWindowTextA(window.VerdictLine(), verdict, sizeof verdict);
    ::GetWindowTextA(window.TotalsLine(), counted, sizeof counted);
    EXPECT_NE(std::string(verdict).find("00000712:  write failed: check that JP1 is in WE"), std::string::npos) << verdict;
    EXPECT_NE(std::string(counted).find("0 units configured, 1 not configured"), std::string::npos) << counted;
    // The same unit again: its story so far stays up; a call without a unit clears it.
    window.ShowUnitAtWork(pass, totals);
    ::GetWindowTextA(window.VerdictLine(), verdict, sizeof verdict);
    EXPECT_STREQ(verdict, "  Unit 00000712:  write failed: check that JP1 is in WE, then being configured again...");
    window.ShowNoUnit();
    ::GetWindowTextA(window.VerdictLine(), verdict, sizeof verdict);
    EXPECT_EQ(std::string(verdict).find("  No unit connected"), 0u) << verdict;
}

} // namespace
