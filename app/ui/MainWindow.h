#pragma once
// The host as the test engineer uses it: the module's name and tests, the command that
// configures a unit, the coloured result log, the language menu and the bench window.
#include "BenchWindow.h"
#include "LanguageMenu.h"
#include "ResultView.h"
#include "UnitPass.h"
#include "TestObjectRows.h"
#include "WindowRouting.h"
#include <windows.h>
#include <string>

namespace daxohost {

class CResultLog;

class CMainWindow {
public:
    // The commands of the button and the menus.
    enum Command : unsigned {
        kConfigureCommand = 100,
        kSaveLogCommand,
        kExitCommand,
        kBenchCommand,
        kFirstLanguageCommand = 200,
    };

    CMainWindow(CTestObject test, CResultLog& log, std::string recordPath);
    ~CMainWindow();
    CMainWindow(const CMainWindow&) = delete;
    CMainWindow& operator=(const CMainWindow&) = delete;

    bool Create(HINSTANCE instance, const std::string& moduleFile);
    HWND Handle() const { return m_window; }
    // Runs until the operator closes the window.
    int Run();

    CBenchWindow& Bench() { return m_bench; }
    const CLanguageMenu& Languages() const { return m_languages; }
    HWND ResultList() const { return m_view.Handle(); }
    HWND Status() const { return m_status; }
    HWND InfoLine() const { return m_info; }
    HWND VerdictLine() const { return m_verdict; }
    HWND TotalsLine() const { return m_totals; }

    // The story of the unit of a pass that has ended, large and coloured, with the session's
    // totals; the status line will give the advice that fits it once the call returns.
    void ShowVerdict(const UnitPass& pass, const SessionTotals& totals);
    // A pass over the unit has begun: whatever the line said belonged to the unit before.
    void ShowUnitAtWork(const UnitPass& pass, const SessionTotals& totals);
    // A call found no unit at the fixture.
    void ShowNoUnit();

private:
    friend struct WindowRoute<CMainWindow>;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void Layout(int width, int height);
    void Relayout();
    // What the verdict line needs at this width for its whole story.
    int VerdictHeight(int width) const;
    void OnCommand(unsigned id);
    LRESULT OnNotify(NMHDR* header);
    LRESULT OnControlColour(HDC dc, HWND control);
    HMENU BuildMenu();
    void ConfigureUnit();
    void SaveLog();
    void ShowNewEntries();
    bool IsChosenEnd(const std::string& text) const;
    void SetVerdict(const std::string& text, COLORREF textColour, COLORREF background);
    std::string ModuleInfo() const;
    void ShowWords();
    enum class VerdictShown { Nothing, AtWork, Verdict, NoUnit };
    // What the verdict line shows, kept so that it can be told again in another language.
    void Remember(VerdictShown shown, const UnitPass& pass, const SessionTotals& totals);

    CTestObject m_test;
    HostWords m_words;
    CResultLog& m_log;
    std::string m_recordPath;
    std::string m_moduleFile;
    HWND m_window = nullptr;
    HWND m_info = nullptr;
    HWND m_configure = nullptr;
    HWND m_status = nullptr;
    HWND m_verdict = nullptr;
    HWND m_totals = nullptr;
    HFONT m_verdictFont = nullptr;
    HBRUSH m_verdictBrush = nullptr;
    COLORREF m_verdictText = 0;
    CResultView m_view;
    CBenchWindow m_bench;
    CLanguageMenu m_languages;
    size_t m_shown = 0;        // log entries already in the list
    bool m_configuring = false;
    unsigned m_adviceId = 0;   // what to do after the call under way; 0: nothing judged yet
    VerdictShown m_verdictShown = VerdictShown::Nothing;
    UnitPass m_shownPass;
    SessionTotals m_shownTotals;
};

} // namespace daxohost
