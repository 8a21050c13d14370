#include "HostApplication.h"
#include "DistinctFiles.h"
#include "HostTexts.h"
#include "Files.h"
#include "TesterHooks.h"
#include "LanguageCheck.h"
#include "LanguageMenu.h"
#include "MainWindow.h"
#include "DebugSink.h"
#include "OperatorDriver.h"
#include "Screenshots.h"
#include "ScriptRunner.h"
#include "SimBench.h"
#include "TextCodec.h"
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <memory>

namespace daxohost {

namespace {

void Print(FILE* stream, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

class DebugOutputToConsole {
public:
    DebugOutputToConsole() { QuilletSetDebugSink(&DebugOutputToConsole::Sink, nullptr); }
    ~DebugOutputToConsole() { QuilletSetDebugSink(nullptr, nullptr); }
    DebugOutputToConsole(const DebugOutputToConsole&) = delete;
    DebugOutputToConsole& operator=(const DebugOutputToConsole&) = delete;

private:
    static void Sink(void*, const char* text)
    {
        std::string line = text ? ModuleTextToUtf8(text) : std::string();
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        Print(stderr, "debug: " + line + "\n");
    }
};

} // namespace

CHostApplication::CHostApplication(HostOptions options)
    : m_options(std::move(options)), m_record(RecordPath(m_options)),
      m_passes([this](unsigned id) {
          const char* text = m_module.Test() ? m_module.Test()->GetMessageA(id) : nullptr;
          return std::string(text ? text : "");
      },
      [this](const UnitPass& pass) { OnPass(pass); })
{
}

CHostApplication::~CHostApplication()
{
    DaxoTesterSetEventSink(nullptr, nullptr);
}

void CHostApplication::OnTesterEvent(void* context, int kind, const unsigned char* data, int length, int result)
{
    CHostApplication& host = *static_cast<CHostApplication*>(context);
    CUnitPassTracker& passes = host.m_passes;
    if (kind == TesterEventImageRead) {
        passes.OnImageRead(data && length >= CUnitPassTracker::kImageSize ? data : nullptr);
        // The log shows where each unit begins.
        if (const UnitPass* unit = passes.Current()) {
            host.m_log.AddNote("--- unit " + unit->serial + ", type " +
                               (unit->typeCode.empty() ? std::string("(none)") : unit->typeCode) + " ---");
            if (host.m_mainWindow)
                host.m_mainWindow->ShowUnitAtWork(*unit, host.m_totals);
        }
        // The module ends the call after a failed read without a word; the host says why.
        host.m_noUnitRead = host.m_noUnitRead || !data;
    }
    else if (kind == TesterEventWrite)
        passes.OnWrite(data, length, result != 0);
}

int CHostApplication::Refuse(int exitCode, const std::string& message) const
{
    Tell("", message, MB_ICONERROR);
    return exitCode;
}

void CHostApplication::Tell(const char* kind, const std::string& message, UINT icon) const
{
    Print(stderr, "daxohost: " + std::string(kind) + message + "\n");
    // Started by hand, perhaps without a console to read it in.
    if (ByHand())
        ::MessageBoxA(nullptr, message.c_str(), "DAXO host", MB_OK | icon);
}

int CHostApplication::Run()
{
    int prepared = Prepare();
    if (prepared != kExitPassed)
        return prepared;
    if (!m_options.checkLang.empty())
        return RunCheckLanguage(*m_module.Test(), m_options.checkLang);
    if (!m_options.exportLang.empty())
        return RunExportLanguage(*m_module.Test(), m_options.exportLang, m_options.replace);
    int result = m_options.script.empty() ? RunByHand() : RunScript();
    CLanguageMenu::UseEnglish(*m_module.Test());
    return result;
}

int CHostApplication::Prepare()
{
    // Before any file is opened: the log is created as the run starts.
    std::string clash;
    if (!FilesAreDistinct(m_options, &clash))
        return Refuse(kExitBadInput, clash);
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
    // An empty fixture is worth a word, not a refusal: the operator may mean it.
    const std::string benchWarning = CSimBench::Instance().LoadWarning();
    if (!benchWarning.empty())
        Tell("warning: ", benchWarning, MB_ICONWARNING);
    if (!m_options.log.empty() && !m_log.WriteTo(m_options.log))
        return Refuse(kExitBadInput, "the result log cannot be written to " + m_options.log);
    std::string reason;
    if (!LanguageTool() && !m_record.CanAppend(&reason))
        return Refuse(kExitBadInput, "the commissioning record " + m_record.Path() + " cannot be written: " + reason);
    ModuleStatus status = m_module.Load();
    if (status != ModuleStatus::Loaded)
        return Refuse(CModuleLoader::ExitCode(status), m_module.Message());
    if (!m_options.lang.empty() && !CLanguageMenu::OpenFile(*m_module.Test(), m_options.lang)) {
        CLanguageMenu::UseEnglish(*m_module.Test());
        return Refuse(kExitBadInput, "the language file " + m_options.lang +
                                         " cannot be read: " + CLanguageMenu::WhyNotRead(*m_module.Test()));
    }
    const std::string codePageNotice = m_options.lang.empty() ? std::string() : CodePageNotice();
    if (!codePageNotice.empty())
        Tell("note: ", codePageNotice, MB_ICONINFORMATION);
    m_log.AddListener([this](const LogEntry& entry) { OnEntry(entry); });
    if (!m_options.lang.empty())
        for (const std::string& note : ReorderedMessages(*m_module.Test()))
            m_log.AddNote("language file " + m_options.lang + ": " + note);
    DaxoTesterSetEventSink(&CHostApplication::OnTesterEvent, this);
    return kExitPassed;
}

// The console follows everything when a script plays the operator; the passes are judged
// from the reports.
void CHostApplication::OnEntry(const LogEntry& entry)
{
    if (!m_options.script.empty())
        Print(stdout, CResultLog::FormatLine(entry) + "\n");
    if (entry.source == LogSource::CallResult) {
        m_passes.OnCallReturned();
        if (m_noUnitRead) {
            m_log.AddNote("no unit is connected: the unit's EEPROM could not be read (CheckEEPROM failed)");
            if (m_mainWindow)
                m_mainWindow->ShowNoUnit();
        }
        m_noUnitRead = false;
    } else if (entry.FromModule())
        m_passes.OnReport(static_cast<unsigned char>(entry.code), entry.heading ? entry.text.c_str() : nullptr,
                          entry.heading ? nullptr : entry.text.c_str());
}

// Production's record gets a row for every unit reached, whatever became of it.
void CHostApplication::OnPass(const UnitPass& pass)
{
    m_totals.Count(pass);
    // In the log, so that a script's console and the log file show it too.
    m_log.AddNote("verdict for unit " + pass.serial + ": " + m_totals.Story() + "; this session: " + m_totals.Text());
    if (m_mainWindow)
        m_mainWindow->ShowVerdict(pass, m_totals);
    if (m_record.Append(pass))
        return;
    // In the code page, as the operator's message box wants it; the console gets UTF-8, in English
    // whatever the language, as scripts read it.
    const std::string problem = FillByKind(EnglishHostText(hosttext::RecordRowLost), {m_record.Path(), pass.serial});
    if (m_lostRow.empty())
        m_lostRow = AnsiToUtf8(problem);
    Print(stderr, "daxohost: " + AnsiToUtf8(problem) + "\n");
    // Production labels the unit from this record: the operator must know at once.
    if (ByHand())
        ::MessageBoxA(nullptr,
                      FillByKind(WordsOf(*m_module.Test())(hosttext::RecordRowLost), {m_record.Path(), pass.serial}).c_str(),
                      "DAXO host", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
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
    m_mainWindow = &window;
    int exitCode = window.Run();
    m_mainWindow = nullptr;
    return exitCode;
}

} // namespace daxohost
