#include "HostApplication.h"
#include "LanguageMenu.h"
#include "MainWindow.h"
#include "MyObject.h"
#include "OperatorDriver.h"
#include "Screenshots.h"
#include "ScriptRunner.h"
#include "SimBench.h"
#include "Test.h"
#include "TextCodec.h"
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <memory>

namespace daxohost {

namespace {

bool FileExists(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void Print(FILE* stream, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

class DebugOutputToConsole {
public:
    DebugOutputToConsole() { CMyObject::SetDebugSink(&DebugOutputToConsole::Sink, nullptr); }
    ~DebugOutputToConsole() { CMyObject::SetDebugSink(nullptr, nullptr); }
    DebugOutputToConsole(const DebugOutputToConsole&) = delete;
    DebugOutputToConsole& operator=(const DebugOutputToConsole&) = delete;

private:
    static void Sink(void*, const char* text)
    {
        std::string line = text ? AnsiToUtf8(text) : std::string();
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        Print(stderr, "debug: " + line + "\n");
    }
};

} // namespace

CHostApplication::CHostApplication(HostOptions options)
    : m_options(std::move(options)), m_record(RecordPath(m_options))
{
}

int CHostApplication::Refuse(int exitCode, const std::string& message) const
{
    Print(stderr, "daxohost: " + message + "\n");
    // Started by hand, perhaps without a console to read it in.
    if (m_options.script.empty())
        ::MessageBoxA(nullptr, message.c_str(), "DAXO host", MB_OK | MB_ICONERROR);
    return exitCode;
}

int CHostApplication::Run()
{
    int prepared = Prepare();
    if (prepared != kExitPassed)
        return prepared;
    int result = m_options.script.empty() ? RunByHand() : RunScript();
    CLanguageMenu::UseEnglish(*m_module.Test());
    return result;
}

int CHostApplication::Prepare()
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    if (!m_options.script.empty() && !m_script.Load(m_options.script)) {
        std::string errors;
        for (const std::string& error : m_script.Errors())
            errors += "\n  " + m_options.script + ": " + error;
        return Refuse(kExitBadInput, "the script cannot be run:" + errors);
    }
    if (!m_options.bench.empty()) {
        if (!FileExists(m_options.bench))
            return Refuse(kExitBadInput, "no bench file " + m_options.bench);
        CSimBench::Instance().Load(m_options.bench.c_str());
    }
    if (!m_options.log.empty() && !m_log.WriteTo(m_options.log))
        return Refuse(kExitBadInput, "the result log cannot be written to " + m_options.log);
    std::string reason;
    if (!m_options.record.empty() && !m_record.CanAppend(&reason))
        return Refuse(kExitBadInput, "the commissioning record " + m_options.record + " cannot be written: " + reason);
    ModuleStatus status = m_module.Load();
    if (status != ModuleStatus::Loaded)
        return Refuse(CModuleLoader::ExitCode(status), m_module.Message());
    if (!m_options.lang.empty() && !CLanguageMenu::OpenFile(*m_module.Test(), m_options.lang)) {
        CLanguageMenu::UseEnglish(*m_module.Test());
        return Refuse(kExitBadInput, "the language file " + m_options.lang + " cannot be read");
    }
    m_log.AddListener([this](const LogEntry& entry) { OnEntry(entry); });
    return kExitPassed;
}

// Production's record follows every configuration summary; the console follows everything
// when a script plays the operator.
void CHostApplication::OnEntry(const LogEntry& entry)
{
    if (!m_options.script.empty())
        Print(stdout, CResultLog::FormatLine(entry) + "\n");
    if (!entry.FromModule() || entry.code != kReportSummary)
        return;
    CommissioningRow row;
    std::string problem;
    if (!CCommissioningRecord::RowFromBench("configured", &row))
        problem = "A unit was configured, but no unit is connected at the bench: no commissioning record.";
    else if (!m_record.Append(row))
        problem = "The commissioning record " + m_record.Path() + " cannot be written: the row of unit " +
                  AnsiToUtf8(row.serial) + " is lost.";
    if (problem.empty())
        return;
    if (m_lostRow.empty())
        m_lostRow = problem;
    Print(stderr, "daxohost: " + problem + "\n");
    // Production labels the unit from this record: the operator must know at once.
    if (m_options.script.empty())
        ::MessageBoxA(nullptr, problem.c_str(), "DAXO host", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}

int CHostApplication::RunScript()
{
    // What the toolkit and the module tell the developer explains many a failed script.
    DebugOutputToConsole debugOutput;
    std::unique_ptr<CScreenshots> shots;
    if (!m_options.shots.empty()) {
        shots.reset(new CScreenshots(m_options.shots));
        if (!shots->Ready())
            return Refuse(kExitBadInput, "no pictures can be saved in " + m_options.shots);
    }
    CScriptRunner runner(*m_module.Test(), m_log, m_script, m_options.timeoutMs);
    runner.SetScreenshots(shots.get());
    bool passed = runner.Run(m_options.calls);
    std::string results;
    for (int result : runner.Results())
        results += (results.empty() ? "" : ", ") + std::to_string(result);
    if (!passed) {
        Print(stdout, "FAILED at " + runner.Failure() + "\n");
        return kExitScriptFailed;
    }
    // Every line held, but production would miss a unit in its record.
    if (!m_lostRow.empty()) {
        Print(stdout, "FAILED: " + m_lostRow + "\n");
        return kExitScriptFailed;
    }
    std::string summary = "PASSED: " + std::to_string(runner.LinesRun()) + " script lines, " +
                          std::to_string(runner.Results().size()) + " call(s) returning " + results;
    if (shots)
        summary += "; " + std::to_string(shots->Count()) + " pictures in " + shots->Folder();
    Print(stdout, summary + "\n");
    return kExitPassed;
}

int CHostApplication::RunByHand()
{
    // Started from the desktop, the console window would only be in the way.
    DWORD processes[2];
    if (::GetConsoleProcessList(processes, 2) == 1)
        ::FreeConsole();
    std::unique_ptr<CScreenshots> shots;
    std::unique_ptr<opdriver::OperatorDriver> watcher;
    if (!m_options.shots.empty()) {
        shots.reset(new CScreenshots(m_options.shots));
        if (!shots->Ready())
            return Refuse(kExitBadInput, "no pictures can be saved in " + m_options.shots);
        // A driver without steps only watches: it announces every dialog as it opens.
        watcher.reset(new opdriver::OperatorDriver());
        CScreenshots* pictures = shots.get();
        watcher->SetOpenedCallback([pictures](const opdriver::Window& window) {
            pictures->Save(window.Handle(), CScreenshots::NameOf(window.Handle()));
        });
    }
    CMainWindow window(*m_module.Test(), m_log, m_record.Path());
    if (!window.Create(::GetModuleHandleA(nullptr), CModuleLoader::kFileName))
        return Refuse(kExitBadInput, "the main window cannot be created");
    return window.Run();
}

} // namespace daxohost
