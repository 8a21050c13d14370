#include "ScriptRunner.h"
#include "HostContract.h"
#include "OperatorDriver.h"
#include "ResultLog.h"
#include "Screenshots.h"
#include "SimBench.h"
#include "OneLine.h"
#include "TextCodec.h"
#include "Watchdog.h"
#include <stdexcept>

namespace daxohost {

namespace {

const char kOwnerClass[] = "DaxoHostScriptOwner";
// The watchdog's limit stays below INFINITE; the module's own work between lines is short.
const unsigned long long kLongestWatchMs = 0xFFFFFFF0ull;
const unsigned long long kModuleWorkMs = 60000;

std::string Quote(const std::string& text)
{
    return "\"" + ModuleTextToUtf8(opdriver::OneLine(text)) + "\"";
}

// The driver's texts, like the windows' it reads, are in the module's code page.
std::string ForDriver(const std::string& utf8)
{
    std::string text;
    return Utf8ToModuleText(utf8, &text) ? text : utf8;
}

std::string Label(const ScriptLine& line)
{
    return ForDriver("line " + std::to_string(line.number) + ": " + line.source);
}

bool Same(const std::string& what, const std::string& actual, const std::string& wanted, std::string* why)
{
    if (actual == wanted)
        return true;
    *why = what + " is " + Quote(actual) + ", not " + Quote(wanted);
    return false;
}

bool State(bool holds, const char* actual, std::string* why)
{
    if (!holds)
        *why = std::string("the control is ") + actual;
    return holds;
}

} // namespace

CScriptRunner::CScriptRunner(CTestObject test, CResultLog& log, const CScript& script, unsigned stepTimeoutMs)
    : m_test(test), m_log(log), m_script(script), m_timeoutMs(stepTimeoutMs)
{
}

CScriptRunner::~CScriptRunner()
{
    if (m_owner)
        ::DestroyWindow(m_owner);
}

// The module's dialogs need a window of the host to belong to; nobody needs to see it.
HWND CScriptRunner::Owner()
{
    if (m_owner)
        return m_owner;
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    if (!::GetClassInfoA(instance, kOwnerClass, &windowClass)) {
        windowClass.lpfnWndProc = ::DefWindowProcA;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kOwnerClass;
        ::RegisterClassA(&windowClass);
    }
    m_owner = ::CreateWindowExA(0, kOwnerClass, "daxohost", WS_OVERLAPPEDWINDOW, 40, 40, 800, 600, nullptr, nullptr,
                                instance, nullptr);
    return m_owner;
}

std::string CScriptRunner::Failure() const
{
    if (!m_failed)
        return {};
    if (m_failedLine == 0)
        return m_failure;
    return "line " + std::to_string(m_failedLine) + ": " + m_failedSource + "\n  " + m_failure;
}

void CScriptRunner::Fail(const ScriptLine* line, const std::string& why)
{
    if (m_failed)
        return;
    m_failed = true;
    m_failedLine = line ? line->number : 0;
    m_failedSource = line ? line->source : std::string();
    m_failure = why;
}

bool CScriptRunner::Run(int calls)
{
    const std::vector<std::vector<ScriptLine>> parts = m_script.Calls();
    // Every line waits at most its time limit, and a pause as long as it says.
    unsigned long long longest = 0;
    for (const auto& part : parts) {
        unsigned long long partMs = (static_cast<unsigned long long>(part.size()) + 2) * m_timeoutMs;
        for (const ScriptLine& line : part)
            partMs += line.op == ScriptOp::Pause ? static_cast<unsigned long long>(line.value) : 0;
        longest = partMs > longest ? partMs : longest;
    }
    unsigned long long limit = longest * static_cast<unsigned long long>(calls) + kModuleWorkMs;
    CWatchdog watchdog(static_cast<unsigned>(limit > kLongestWatchMs ? kLongestWatchMs : limit),
                       "FAILED: the script did not finish within " + std::to_string(limit / 1000) + " s",
                       kExitScriptFailed);
    for (int call = 0; call < calls && !m_failed; ++call) {
        size_t part = static_cast<size_t>(call) < parts.size() ? static_cast<size_t>(call) : parts.size() - 1;
        RunCall(parts[part]);
    }
    if (!m_failed && parts.size() > static_cast<size_t>(calls) && !parts[calls].empty()) {
        Fail(&parts[calls].front(), "not reached: the script has lines for " + std::to_string(parts.size()) +
                                        " calls, but only " + std::to_string(calls) + " ran (give --calls " +
                                        std::to_string(parts.size()) + ")");
    }
    return !m_failed;
}

namespace {
bool IsBenchLine(ScriptOp op)
{
    return op == ScriptOp::BenchJumper || op == ScriptOp::BenchConnectNext || op == ScriptOp::BenchUnplug;
}
} // namespace

bool CScriptRunner::RunCall(const std::vector<ScriptLine>& lines)
{
    // Lines up to the last one that needs a window are played while the call runs; the rest
    // are checked once it has returned.
    // Bench lines that open the call are the operator's hands at the fixture before it: they
    // take effect before the module reads the unit, so that the pass names the unit they chose.
    size_t first = 0;
    for (; first < lines.size() && IsBenchLine(lines[first].op); ++first) {
        std::string why;
        if (!RunAnywhere(lines[first], &why)) {
            Fail(&lines[first], why);
            return false;
        }
        ++m_linesRun;
    }
    size_t played = first;
    for (size_t i = first; i < lines.size(); ++i)
        if (ScopeOf(lines[i].op) == LineScope::Window)
            played = i + 1;
    const std::vector<ScriptLine> steps(lines.begin() + static_cast<std::ptrdiff_t>(first),
                                        lines.begin() + static_cast<std::ptrdiff_t>(played));
    m_targets.clear();

    int result = 0;
    {
        opdriver::OperatorDriver driver(m_timeoutMs);
        for (const ScriptLine& line : steps)
            AddStep(driver, line);
        AddEndOfScript(driver);
        if (m_shots)
            driver.SetOpenedCallback([this](const opdriver::Window& window) { TakePicture(window); });
        result = m_test.ConfigureThermometer(Owner(), 0, 0);
        m_results.push_back(result);
        m_log.AddCallResult(result);
        if (m_failed || DriverFailure(driver, steps))
            return false;
        if (driver.StepsRun() < steps.size()) {
            Fail(&steps[driver.StepsRun()],
                 "not reached: ConfigureThermometer returned " + std::to_string(result) + " before");
            return false;
        }
    }
    for (size_t i = played; i < lines.size(); ++i) {
        const ScriptLine& line = lines[i];
        std::string why;
        bool held = true;
        if (line.op != ScriptOp::ExpectResult)
            held = RunAnywhere(line, &why);
        else if (line.value != result) {
            held = false;
            why = "ConfigureThermometer returned " + std::to_string(result);
        }
        if (!held) {
            Fail(&line, why);
            return false;
        }
        ++m_linesRun;
    }
    return true;
}

// A failure that the driver found itself: a line whose window never came, or a call that did
// not return after the last line.
bool CScriptRunner::DriverFailure(const opdriver::OperatorDriver& driver, const std::vector<ScriptLine>& steps)
{
    if (driver.Failures().empty())
        return false;
    const opdriver::Failure& failure = driver.Failures().front();
    if (failure.step >= 1 && failure.step <= steps.size()) {
        const ScriptLine& line = steps[failure.step - 1];
        std::string why = ModuleTextToUtf8(failure.Detail());
        // A line that acts on a window waits only for the window named before it.
        if (ScopeOf(line.op) == LineScope::Window && line.op != ScriptOp::WaitDialog &&
            line.op != ScriptOp::WaitMessageBox && m_targetGone)
            why = "the window named before this line has closed (name the next one with a dialog or msgbox "
                  "line); " + why;
        Fail(&line, why);
    } else if (failure.step != steps.size() + 1) {
        Fail(nullptr, ModuleTextToUtf8(failure.Text()));
    } else if (steps.empty()) {
        Fail(nullptr, "the script has no lines for the call, but the module opened a window; " +
                          ModuleTextToUtf8(failure.OpenText()));
    } else {
        Fail(&steps.back(), "the script has no more lines for this call, but the call did not return within " +
                                std::to_string(m_timeoutMs) + " ms; " + ModuleTextToUtf8(failure.OpenText()));
    }
    return true;
}

HWND CScriptRunner::CurrentTarget()
{
    // A message box that has closed gives the window below it back.
    while (!m_targets.empty() && (!::IsWindow(m_targets.back()) || !::IsWindowVisible(m_targets.back())))
        m_targets.pop_back();
    return m_targets.empty() ? nullptr : m_targets.back();
}

void CScriptRunner::AddStep(opdriver::OperatorDriver& driver, const ScriptLine& line)
{
    if (line.op == ScriptOp::Pause) {
        driver.Pause(static_cast<unsigned>(line.value), [this]() { ++m_linesRun; }, Label(line));
        return;
    }
    auto action = [this, &line](opdriver::Window& window) { RunStep(line, window); };
    if (line.op == ScriptOp::WaitDialog) {
        driver.OnDialog(line.id, action, Label(line));
    } else if (line.op == ScriptOp::WaitMessageBox) {
        driver.OnMessageBox(action, Label(line));
    } else if (ScopeOf(line.op) == LineScope::Window) {
        driver.When([this](const opdriver::Window& window) {
                        HWND target = CurrentTarget();
                        m_targetGone = target == nullptr;
                        return window.Handle() == target;
                    },
                    action, Label(line));
    } else {
        driver.When([](const opdriver::Window&) { return true; }, action, Label(line));
    }
}

// Once the script has no more lines for the call, the call has to come back within the time
// limit of a line. A window that closes by itself in the meantime (the test of a unit that
// answers at once) is fine; one that waits for an operator is ended by the driver.
void CScriptRunner::AddEndOfScript(opdriver::OperatorDriver& driver)
{
    driver.When([](const opdriver::Window&) { return false; }, [](opdriver::Window&) {}, "end of the script");
}

void CScriptRunner::RunStep(const ScriptLine& line, opdriver::Window& window)
{
    m_targetGone = false;
    std::string why;
    bool held = true;
    if (line.op == ScriptOp::WaitDialog || line.op == ScriptOp::WaitMessageBox)
        m_targets.push_back(window.Handle());
    else if (ScopeOf(line.op) == LineScope::Anywhere)
        held = RunAnywhere(line, &why);
    else if (line.op >= ScriptOp::ExpectText)
        held = Expect(line, window, &why);
    else
        held = Act(line, window, &why);
    if (!held) {
        Fail(&line, why);
        // The driver then ends every window, so that the call returns.
        throw std::runtime_error(ForDriver(why));
    }
    ++m_linesRun;
}

bool CScriptRunner::Act(const ScriptLine& line, opdriver::Window& window, std::string* why) const
{
    if (line.op != ScriptOp::Answer && line.op != ScriptOp::Close && line.op != ScriptOp::Escape &&
        !window.HasControl(line.id)) {
        *why = "the " + opdriver::DescribeWindow(window.Handle()) + " has no control " + std::to_string(line.id);
        return false;
    }
    bool done = false;
    switch (line.op) {
    case ScriptOp::Type: done = window.SetText(line.id, line.text); break;
    case ScriptOp::Check: done = window.Check(line.id, line.value != 0); break;
    case ScriptOp::Select: done = window.Select(line.id, line.text); break;
    case ScriptOp::Spin: done = window.SetSpin(line.id, line.value); break;
    case ScriptOp::Wheel: done = window.Wheel(line.id, line.value); break;
    case ScriptOp::Click: done = window.Click(line.id); break;
    case ScriptOp::Answer: done = window.IsMessageBox() && window.Answer(line.value); break;
    case ScriptOp::Close: done = window.Close(); break;
    case ScriptOp::Escape: done = window.Escape(); break;
    default: break;
    }
    if (!done)
        *why = "the operator cannot do that here: the control is disabled, hidden or of another kind, or the "
               "entry or button does not exist";
    return done;
}

bool CScriptRunner::Expect(const ScriptLine& line, const opdriver::Window& window, std::string* why) const
{
    const unsigned id = line.id;
    const bool aboutControl = line.op != ScriptOp::ExpectCaption && line.op != ScriptOp::ExpectMessageText &&
                              line.op != ScriptOp::ExpectFocus;
    if (aboutControl && !window.HasControl(id)) {
        *why = "the " + opdriver::DescribeWindow(window.Handle()) + " has no control " + std::to_string(id);
        return false;
    }
    switch (line.op) {
    case ScriptOp::ExpectText: return Same("its text", window.Text(id), line.text, why);
    case ScriptOp::ExpectSelected: return Same("its selected entry", window.SelectedText(id), line.text, why);
    case ScriptOp::ExpectEnabled: return State(window.IsEnabled(id), "disabled", why);
    case ScriptOp::ExpectDisabled: return State(!window.IsEnabled(id), "enabled", why);
    case ScriptOp::ExpectVisible: return State(window.IsVisible(id), "hidden", why);
    case ScriptOp::ExpectHidden: return State(!window.IsVisible(id), "visible", why);
    case ScriptOp::ExpectChecked: return State(window.IsChecked(id), "not checked", why);
    case ScriptOp::ExpectUnchecked: return State(!window.IsChecked(id), "checked", why);
    case ScriptOp::ExpectFocus:
        return Same("the control with the focus", std::to_string(window.FocusId()), std::to_string(id), why);
    case ScriptOp::ExpectCaption: return Same("the caption", window.Caption(), line.text, why);
    case ScriptOp::ExpectMessageText:
        if (!window.IsMessageBox()) {
            *why = "the " + opdriver::DescribeWindow(window.Handle()) + " is not a message box";
            return false;
        }
        return Same("the message", window.MessageText(), line.text, why);
    default:
        *why = "not an expectation about a window";
        return false;
    }
}

bool CScriptRunner::RunAnywhere(const ScriptLine& line, std::string* why)
{
    CSimBench& bench = CSimBench::Instance();
    switch (line.op) {
    case ScriptOp::BenchJumper:
        if (!bench.SetWriteProtect(static_cast<int>(line.id) - 1, line.value)) {
            *why = "the bench has no unit " + std::to_string(line.id);
            return false;
        }
        return true;
    case ScriptOp::BenchConnectNext:
        if (!bench.ConnectNext()) {
            *why = "the bench has no further unit";
            return false;
        }
        return true;
    case ScriptOp::BenchUnplug:
        bench.Unplug();
        return true;
    case ScriptOp::ExpectReport:
        return ExpectReport(line, why);
    case ScriptOp::Pause:
        // After a call the host's own windows (the bench's) stay alive while the script waits.
        opdriver::PumpMessagesFor(static_cast<DWORD>(line.value));
        return true;
    default:
        *why = "this line needs a window";
        return false;
    }
}

// Reports are expected in the order the script names them; reports that it does not name
// in between are allowed.
bool CScriptRunner::ExpectReport(const ScriptLine& line, std::string* why)
{
    const std::vector<LogEntry> entries = m_log.Entries();
    for (size_t i = m_reportCursor; i < entries.size(); ++i) {
        const LogEntry& entry = entries[i];
        if (entry.FromModule() && entry.code == static_cast<int>(line.id) && (!line.hasText || entry.text == line.text)) {
            m_reportCursor = i + 1;
            return true;
        }
    }
    *why = "no such report";
    std::string seen;
    for (size_t i = m_reportCursor; i < entries.size(); ++i)
        if (entries[i].FromModule())
            seen += "\n    " + std::to_string(entries[i].code) + " " + Quote(entries[i].text);
    *why += seen.empty() ? " (no reports since the last one expected)" : "; the reports since the last one expected:" + seen;
    return false;
}

void CScriptRunner::TakePicture(const opdriver::Window& window)
{
    if (m_shots)
        m_shots->Save(window.Handle(), CScreenshots::NameOf(window.Handle()));
}

} // namespace daxohost
