// The windows an operator works with: the result view's colours, the bench window, the language
// menu and the main window around a loaded module.
#include "BenchWindow.h"
#include "HostContract.h"
#include "LanguageMenu.h"
#include "MainWindow.h"
#include "ModuleLoader.h"
#include "OperatorDriver.h"
#include "ResultLog.h"
#include "ResultView.h"
#include "SimBench.h"
#include "TestSupport.h"
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

TEST(ResultView, EveryResultCodeHasItsOwnColours)
{
    std::set<COLORREF> backgrounds;
    for (int code : {result::kProgress, result::kFailure, result::kSuccess, result::kSummary})
        backgrounds.insert(CResultView::ColoursOf(code, false).background);
    backgrounds.insert(CResultView::ColoursOf(1, true).background);
    EXPECT_EQ(backgrounds.size(), 5u);
    COLORREF failure = CResultView::ColoursOf(result::kFailure, false).text;
    EXPECT_GT(GetRValue(failure), GetGValue(failure)) << "failures in red";
    COLORREF success = CResultView::ColoursOf(result::kSuccess, false).text;
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
    EXPECT_STREQ(test->GetDialogName(IDD_CONFIRM), "Konfigurace dal\x9A\xED jednotky ...") << "code page 1250";
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

std::string TextOf(HWND window)
{
    char text[512] = "";
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ColumnHead(HWND list, int column)
{
    char text[64] = "";
    LVCOLUMNA head{};
    head.mask = LVCF_TEXT;
    head.pszText = text;
    head.cchTextMax = sizeof text;
    ::SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&head));
    return text;
}

std::string MenuText(HMENU menu, UINT position)
{
    char text[128] = "";
    ::GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

// The operator reads the station in the language chosen: at the start (--lang) and after a choice
// from the menu; the log and the record stay English for the machines that read them.
TEST_F(LoadedModule, MainWindowSpeaksTheLanguageInUse)
{
    const struct {
        const char* file;   // empty: the module's English
        const char* fileMenu;
        const char* button;
        const char* status;
        const char* verdict;
        const char* totals;
        const char* timeHead;   // of the result log
    } kRuns[] = {
        {"", "&File", "&Configure unit...", "Connect a unit at the bench, then configure it.",
         "  Unit 00000712:  write failed: check that JP1 is in WE, then configured at address 5",
         "This session: 1 unit configured, 0 not configured, first-pass yield 0 %.", "Time"},
        {"cs.xml", "&Soubor", "&Konfigurovat jednotku...", "P\xF8ipojte jednotku na p\xF8\xEDpravku a nakonfigurujte ji.",
         "  Jednotka 00000712:  z\xE1pis selhal: zkontrolujte, \x9E" "e je JP1 v poloze WE, potom nakonfigurov\xE1na na "
         "adresu 5",
         "Od spu\x9At\xECn\xED: nakonfigurov\xE1no jednotek: 1, nenakonfigurov\xE1no: 0, v\xFDt\xEC\x9Enost "
         "prvn\xEDho pr\xF9" "chodu 0 %.", "\xC8" "as"},
    };
    SessionTotals totals;
    UnitPass pass;
    pass.serial = "00000712";
    pass.address = 5;
    for (PassResult result : {PassResult::WriteFailed, PassResult::Configured}) {
        pass.result = result;
        totals.Count(pass);
    }
    for (const auto& run : kRuns) {
        if (*run.file) {
            ASSERT_TRUE(CLanguageMenu::OpenFile(*test, daxotest::SourceFolder() + "/lang/" + run.file));
        }
        CResultLog log;
        CMainWindow window(*test, log, "commissioning.csv");
        ASSERT_TRUE(window.Create(::GetModuleHandleA(nullptr), "TestDAXO01.dll"));
        EXPECT_EQ(MenuText(::GetMenu(window.Handle()), 0), run.fileMenu) << run.file;
        EXPECT_EQ(TextOf(::GetDlgItem(window.Handle(), CMainWindow::kConfigureCommand)), run.button) << run.file;
        EXPECT_EQ(TextOf(window.Status()), run.status) << run.file;
        EXPECT_EQ(ColumnHead(window.ResultList(), 0), run.timeHead) << run.file;
        window.ShowVerdict(pass, totals);
        EXPECT_EQ(TextOf(window.VerdictLine()), run.verdict) << run.file;
        EXPECT_EQ(TextOf(window.TotalsLine()), run.totals) << run.file;
        CLanguageMenu::UseEnglish(*test);
    }
    EXPECT_EQ(totals.Story(), "write failed: check that JP1 is in WE, then configured at address 5")
        << "the log's words stay English";

    // Chosen from the menu while the window is up: every word follows at once.
    daxotest::ScopedEnv folder("DAXO_LANG_DIR", (daxotest::SourceFolder() + "/lang").c_str());
    CResultLog log;
    CMainWindow window(*test, log, "commissioning.csv");
    ASSERT_TRUE(window.Create(::GetModuleHandleA(nullptr), "TestDAXO01.dll"));
    window.ShowVerdict(pass, totals);
    const std::vector<LanguageChoice>& choices = window.Languages().Choices();
    auto czech = std::find_if(choices.begin(), choices.end(),
                              [](const LanguageChoice& choice) { return choice.path.find("cs.xml") != std::string::npos; });
    ASSERT_NE(czech, choices.end());
    ::SendMessageA(window.Handle(), WM_COMMAND,
                   CMainWindow::kFirstLanguageCommand + static_cast<WPARAM>(czech - choices.begin()), 0);
    EXPECT_EQ(MenuText(::GetMenu(window.Handle()), 0), kRuns[1].fileMenu);
    EXPECT_EQ(TextOf(window.VerdictLine()), kRuns[1].verdict);
    EXPECT_EQ(TextOf(window.TotalsLine()), kRuns[1].totals);
    EXPECT_EQ(ColumnHead(window.ResultList(), 0), kRuns[1].timeHead);
    CLanguageMenu::UseEnglish(*test);
}

// The whole story at the window's first size, the address at its end included, and the record
// with its folder: the operator finds both without resizing or searching.
TEST_F(LoadedModule, MainWindowShowsTheWholeVerdictAndTheRecordsFolder)
{
    CResultLog log;
    CMainWindow window(*test, log, "commissioning.csv");
    ASSERT_TRUE(window.Create(::GetModuleHandleA(nullptr), "TestDAXO01.dll"));
    char folder[MAX_PATH] = "", info[1024] = "";
    ::GetCurrentDirectoryA(sizeof folder, folder);
    ::GetWindowTextA(window.InfoLine(), info, sizeof info);
    EXPECT_NE(std::string(info).find(std::string(folder) + "\\commissioning.csv"), std::string::npos) << info;

    SessionTotals totals;
    UnitPass pass;
    pass.serial = "00000712";
    for (PassResult result : {PassResult::TestFailed, PassResult::WriteFailed, PassResult::Configured}) {
        pass.result = result;
        pass.address = 125;
        totals.Count(pass);
    }
    window.ShowVerdict(pass, totals);
    HWND verdict = window.VerdictLine();
    char text[512] = "";
    ::GetWindowTextA(verdict, text, sizeof text);
    ASSERT_NE(std::string(text).find("then configured at address 125"), std::string::npos) << text;
    RECT shown{}, totalsLine{};
    ::GetClientRect(verdict, &shown);
    HDC dc = ::GetDC(verdict);
    HGDIOBJ before = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(verdict, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, shown.right, 0};
    ::DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, before);
    ::ReleaseDC(verdict, dc);
    EXPECT_LE(needed.bottom, shown.bottom) << "the story's last line is cut off";
    EXPECT_LE(needed.right, shown.right);
    RECT verdictOnScreen{};
    ::GetWindowRect(verdict, &verdictOnScreen);
    ::GetWindowRect(window.TotalsLine(), &totalsLine);
    EXPECT_GE(totalsLine.top, verdictOnScreen.bottom) << "the totals below the story, not over it";
}

} // namespace
