#pragma once
// Plays the operator from a script while the module's ConfigureThermometer runs, and checks
// what the script expects of the dialogs, the result log and the calls.
#include "Script.h"
#include "TestObjectRows.h"
#include <windows.h>
#include <string>
#include <vector>

namespace opdriver {
class OperatorDriver;
class Window;
}

namespace daxohost {

class CResultLog;
class CScreenshots;

class CScriptRunner {
public:
    CScriptRunner(CTestObject test, CResultLog& log, const CScript& script, unsigned stepTimeoutMs);
    ~CScriptRunner();
    CScriptRunner(const CScriptRunner&) = delete;
    CScriptRunner& operator=(const CScriptRunner&) = delete;

    // Pictures of every dialog and message box as it opens; null for none.
    void SetScreenshots(CScreenshots* shots) { m_shots = shots; }

    // Calls ConfigureThermometer `calls` times, each with its part of the script (the last
    // part again when there are more calls than parts). True when every line ran and held.
    bool Run(int calls);

    int FailedLine() const { return m_failedLine; }   // 0: none, or no line to blame
    // "line N: <line as written>" and why, on two lines; empty when nothing failed.
    std::string Failure() const;
    const std::vector<int>& Results() const { return m_results; }
    size_t LinesRun() const { return m_linesRun; }

private:
    bool RunCall(const std::vector<ScriptLine>& lines);
    void AddStep(opdriver::OperatorDriver& driver, const ScriptLine& line);
    void AddEndOfScript(opdriver::OperatorDriver& driver);
    void RunStep(const ScriptLine& line, opdriver::Window& window);
    bool Act(const ScriptLine& line, opdriver::Window& window, std::string* why) const;
    bool Expect(const ScriptLine& line, const opdriver::Window& window, std::string* why) const;
    bool RunAnywhere(const ScriptLine& line, std::string* why);
    bool ExpectReport(const ScriptLine& line, std::string* why);
    bool DriverFailure(const opdriver::OperatorDriver& driver, const std::vector<ScriptLine>& steps);
    HWND CurrentTarget();
    void Fail(const ScriptLine* line, const std::string& why);
    void TakePicture(const opdriver::Window& window);
    HWND Owner();

    CTestObject m_test;
    CResultLog& m_log;
    const CScript& m_script;
    unsigned m_timeoutMs;
    CScreenshots* m_shots = nullptr;
    HWND m_owner = nullptr;
    std::vector<HWND> m_targets;     // windows named by dialog and msgbox lines, latest last
    bool m_targetGone = false;       // a line waits to act on a window that has closed
    size_t m_reportCursor = 0;       // expect report looks at the reports from here on
    std::vector<int> m_results;
    size_t m_linesRun = 0;
    bool m_failed = false;
    int m_failedLine = 0;
    std::string m_failedSource;
    std::string m_failure;
};

} // namespace daxohost
