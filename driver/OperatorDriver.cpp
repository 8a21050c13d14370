#include "OperatorDriver.h"
#include "Diagnostic.h"
#include <algorithm>
#include <exception>
#include <utility>

namespace opdriver {

namespace {

const UINT kTickMs = 10;
const UINT_PTR kTimerId = 1;

std::string ExceptionText()
{
    try {
        throw;
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "unknown exception";
    }
}

// The answer with which a message box is ended when the driver gives up: the most cautious one
// that it offers.
INT_PTR CautiousAnswer(HWND messageBox)
{
    const int answers[] = {IDCANCEL, IDNO, IDOK};
    for (int answer : answers) {
        if (::GetDlgItem(messageBox, answer))
            return answer;
    }
    return IDCANCEL;
}

} // namespace

std::function<bool(const Window&)> DialogWithControl(unsigned identifyingControlId)
{
    return [identifyingControlId](const Window& window) {
        return !window.IsMessageBox() && window.HasControl(identifyingControlId);
    };
}

std::function<bool(const Window&)> AnyMessageBox()
{
    return [](const Window& window) { return window.IsMessageBox(); };
}

OperatorDriver::OperatorDriver(unsigned stepTimeoutMs)
    : m_timeoutMs(stepTimeoutMs), m_log(std::make_shared<detail::ProblemLog>())
{
    // A message-only window carries the driver to the timer procedure; modal loops dispatch
    // its WM_TIMER like any message of the thread.
    m_timerWindow = ::CreateWindowExA(0, "STATIC", "opdriver", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      ::GetModuleHandleA(nullptr), nullptr);
    if (!m_timerWindow) {
        Diagnostic(__LINE__, "no window for the driver's timer");
        return;
    }
    ::SetWindowLongPtrA(m_timerWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (!::SetTimer(m_timerWindow, kTimerId, kTickMs, &OperatorDriver::OnTimer))
        Diagnostic(__LINE__, "the driver's timer could not be set");
}

OperatorDriver::~OperatorDriver()
{
    if (m_tickDepth > 0)
        Diagnostic(__LINE__, "driver destroyed from one of its own steps");
    if (m_timerWindow) {
        ::KillTimer(m_timerWindow, kTimerId);
        ::SetWindowLongPtrA(m_timerWindow, GWLP_USERDATA, 0);
        if (!::DestroyWindow(m_timerWindow))
            Diagnostic(__LINE__, "driver destroyed on another thread than its own");
    }
}

OperatorDriver& OperatorDriver::When(std::function<bool(const Window&)> match, std::function<void(Window&)> action,
                                     std::string description)
{
    if (!match || !action)
        Diagnostic(__LINE__, "a step without a match or an action");
    Step step;
    step.match = std::move(match);
    step.action = std::move(action);
    step.description = description.empty() ? "window" : std::move(description);
    m_steps.push_back(std::move(step));
    return *this;
}

void PumpMessagesFor(DWORD ms)
{
    const ULONGLONG end = ::GetTickCount64() + ms;
    for (ULONGLONG now = ::GetTickCount64(); now < end; now = ::GetTickCount64()) {
        // What is queued already is handled at once: the wait below wakes only for news.
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            // A quit request belongs to the loop that waits for it, after the pause.
            if (message.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

OperatorDriver& OperatorDriver::Pause(unsigned ms, std::function<void()> done, std::string description)
{
    Step step;
    step.description = description.empty() ? "pause" : std::move(description);
    step.pause = true;
    step.pauseMs = ms;
    step.done = std::move(done);
    m_steps.push_back(std::move(step));
    return *this;
}

OperatorDriver& OperatorDriver::OnDialog(unsigned identifyingControlId, std::function<void(Window&)> action,
                                         std::string description)
{
    if (description.empty())
        description = "dialog with control " + std::to_string(identifyingControlId);
    return When(DialogWithControl(identifyingControlId), std::move(action), std::move(description));
}

OperatorDriver& OperatorDriver::OnMessageBox(std::function<void(Window&)> action, std::string description)
{
    if (description.empty())
        description = "message box";
    return When(AnyMessageBox(), std::move(action), std::move(description));
}

OperatorDriver& OperatorDriver::ExpectNothingElse(unsigned graceMs)
{
    m_expectNothingElse = true;
    m_graceMs = graceMs;
    return *this;
}

bool OperatorDriver::Finished() const
{
    return m_next == m_steps.size() && !m_givenUp;
}

const std::vector<Failure>& OperatorDriver::Failures() const
{
    return m_log->Entries();
}

std::string OperatorDriver::Report() const
{
    std::string report = "steps run: " + std::to_string(m_next) + " of " + std::to_string(m_steps.size());
    for (const Failure& failure : Failures())
        report += "\n" + failure.Text();
    for (size_t index = m_next; index < m_steps.size(); ++index)
        report += "\n" + Label(index) + ": not reached";
    return report;
}

void OperatorDriver::SetOpenedCallback(std::function<void(const Window&)> callback)
{
    m_opened = std::move(callback);
}

std::string OperatorDriver::Label(size_t index) const
{
    return "step " + std::to_string(index + 1) + " (" + m_steps[index].description + ")";
}

void CALLBACK OperatorDriver::OnTimer(HWND timerWindow, UINT, UINT_PTR, DWORD)
{
    OperatorDriver* driver = reinterpret_cast<OperatorDriver*>(::GetWindowLongPtrA(timerWindow, GWLP_USERDATA));
    if (!driver)
        return;
    // Nothing may unwind into the modal loop that dispatched the timer.
    try {
        ++driver->m_tickDepth;
        driver->Tick();
    } catch (...) {
        Diagnostic(__LINE__, ExceptionText());
    }
    --driver->m_tickDepth;
}

void OperatorDriver::Tick()
{
    // A match or the opened callback that pumps messages must not start steps under itself.
    if (m_callbackDepth > 0)
        return;
    NoticeOpenedWindows();
    if (m_givenUp) {
        EndEveryWindow();
        return;
    }
    const ULONGLONG now = ::GetTickCount64();
    if (m_next >= m_steps.size()) {
        MeetsTheUnexpected(ActiveDialog(), now);
        return;
    }
    // The time limit counts from the first tick that waits for the step, so a test may prepare
    // at leisure before it opens the first dialog.
    if (!m_waiting) {
        m_waiting = true;
        m_waitStart = now;
    }
    if (m_steps[m_next].pause) {
        if (now - m_waitStart >= m_steps[m_next].pauseMs)
            FinishPause(m_next);
        return;
    }
    HWND active = ActiveDialog();
    if (active && Matches(m_next, active)) {
        RunStep(m_next, active);
        return;
    }
    if (MeetsTheUnexpected(active, now))
        return;
    if (!m_givenUp && now - m_waitStart >= m_timeoutMs) {
        GiveUp(m_next, Failure::kNoWindow, "no matching window within " + std::to_string(m_timeoutMs) + " ms");
    }
}

void OperatorDriver::NoticeOpenedWindows()
{
    m_known.erase(std::remove_if(m_known.begin(), m_known.end(), [](HWND window) { return !::IsWindow(window); }),
                  m_known.end());
    std::vector<HWND> current = ThreadDialogs(true);
    // Bottom first, so that a dialog is announced before the message box over it.
    std::reverse(current.begin(), current.end());
    for (HWND window : current) {
        if (std::find(m_known.begin(), m_known.end(), window) != m_known.end())
            continue;
        m_known.push_back(window);
        if (!m_opened)
            continue;
        ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        ++m_callbackDepth;
        try {
            m_opened(Window(window));
        } catch (...) {
            Failure failure;
            failure.kind = Failure::kOpenedCallback;
            failure.reason = "the opened callback failed: " + ExceptionText();
            failure.window = DescribeWindow(window);
            failure.openWindows = DescribeOpenWindows();
            m_log->Add(std::move(failure));
        }
        --m_callbackDepth;
    }
}

bool OperatorDriver::Matches(size_t index, HWND window)
{
    const std::function<bool(const Window&)> match = m_steps[index].match;
    if (!match)
        return true;
    bool matches = false;
    ++m_callbackDepth;
    try {
        matches = match(Window(window, {}, index + 1, m_steps[index].description, true));
    } catch (...) {
        --m_callbackDepth;
        GiveUp(index, Failure::kMatchFailed, "the match failed: " + ExceptionText());
        return false;
    }
    --m_callbackDepth;
    return matches;
}

void OperatorDriver::RunStep(size_t index, HWND window)
{
    // The step counts as taken before its action runs: the action may open a modal window in
    // whose loop the following steps run. The action is copied because those steps may add more.
    m_next = index + 1;
    m_waiting = false;
    const std::function<void(Window&)> action = m_steps[index].action;
    if (!action)
        return;
    Window target(window, m_log, index + 1, m_steps[index].description);
    try {
        action(target);
    } catch (...) {
        GiveUp(index, Failure::kActionFailed, "the action failed: " + ExceptionText());
    }
}

void OperatorDriver::FinishPause(size_t index)
{
    m_next = index + 1;
    m_waiting = false;
    const std::function<void()> done = m_steps[index].done;
    if (!done)
        return;
    try {
        done();
    } catch (...) {
        GiveUp(index, Failure::kActionFailed, "the action failed: " + ExceptionText());
    }
}

// A message box blocks the code under test until someone answers it: if no step takes it, no
// step will ever come. A window left after the last step would wait for ever.
bool OperatorDriver::MeetsTheUnexpected(HWND active, ULONGLONG now)
{
    if (!m_expectNothingElse)
        return false;
    if (!active) {
        m_leftoverSince = 0;
        return false;
    }
    if (m_next < m_steps.size()) {
        if (!Window(active).IsMessageBox())
            return false;
        GiveUp(m_next, Failure::kUnexpected, "a message box that the step does not take", active);
        return true;
    }
    if (m_leftoverSince == 0)
        m_leftoverSince = now;
    if (now - m_leftoverSince < m_graceMs)
        return false;
    GiveUp(m_next, Failure::kUnexpected,
           "a window that no step expects, still open " + std::to_string(m_graceMs) + " ms after the last step", active);
    return true;
}

void OperatorDriver::GiveUp(size_t index, Failure::Kind kind, const std::string& reason, HWND window)
{
    Failure failure;
    failure.kind = kind;
    failure.step = index < m_steps.size() ? index + 1 : 0;
    failure.stepName = index < m_steps.size() ? m_steps[index].description : std::string();
    failure.reason = reason;
    if (window)
        failure.window = DescribeWindow(window);
    failure.openWindows = DescribeOpenWindows();
    Diagnostic(__LINE__, failure.Text());
    m_log->Add(std::move(failure));
    m_log->Silence();
    m_givenUp = true;
    EndEveryWindow();
}

void OperatorDriver::EndEveryWindow() const
{
    for (HWND window : ThreadDialogs(false)) {
        Window dialog(window);
        ::EndDialog(window, dialog.IsMessageBox() ? CautiousAnswer(window) : kAbandoned);
    }
}

} // namespace opdriver
