#pragma once
// Plays the operator: a script of steps run against the modal dialogs and message boxes that
// the code under test opens on the driver's thread.
#include "Window.h"
#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace opdriver {

// The driver's matchers: a dialog (not a message box) that has the control, and any message box.
std::function<bool(const Window&)> DialogWithControl(unsigned identifyingControlId);
std::function<bool(const Window&)> AnyMessageBox();

// The driver works from a timer of its thread that the modal loops of DialogBox and MessageBox
// dispatch. At each tick it looks at the thread's active dialog or message box; when the next
// step's `match` accepts it, that step's action runs. An action that opens a modal window (a
// click that brings up a message box) runs the following steps inside that window's loop.
//
// It never lets a test hang: a step that waits longer than its time limit, or an action that
// throws, is recorded in Failures() with the windows open at the time, and from then on every
// dialog and message box of the thread is ended (dialogs with kAbandoned, message boxes with
// IDCANCEL, IDNO or IDOK, whichever they have) for as long as the driver lives.
//
// Create, use and destroy the driver on the thread that runs the dialogs; never destroy it from
// one of its own actions or callbacks.
// Keeps the thread's windows, and a driver's timer, working for `ms` milliseconds, as a modal
// loop would: for a wait outside any dialog.
void PumpMessagesFor(DWORD ms);

class OperatorDriver {
public:
    // The value with which the driver ends the dialogs it gives up on.
    static constexpr INT_PTR kAbandoned = -99;

    explicit OperatorDriver(unsigned stepTimeoutMs = 10000);
    ~OperatorDriver();
    OperatorDriver(const OperatorDriver&) = delete;
    OperatorDriver& operator=(const OperatorDriver&) = delete;

    // The next step runs once a window for which `match` answers true is the active dialog or
    // message box of this thread. Steps may also be added from within an action.
    OperatorDriver& When(std::function<bool(const Window&)> match, std::function<void(Window&)> action,
                         std::string description);
    // When with DialogWithControl(identifyingControlId).
    OperatorDriver& OnDialog(unsigned identifyingControlId, std::function<void(Window&)> action,
                             std::string description = {});
    // When with AnyMessageBox().
    OperatorDriver& OnMessageBox(std::function<void(Window&)> action, std::string description = {});
    // The operator waits `ms` milliseconds, whatever window is open, while the dialogs go on
    // working; then `done` runs and the next step waits for its window. The step's own time
    // limit does not count against the wait.
    OperatorDriver& Pause(unsigned ms, std::function<void()> done, std::string description = {});

    // For a test that knows every window its code opens: a message box that the step waiting
    // does not take, or a dialog or message box still open `graceMs` after the last step, is
    // one it did not expect, and the driver gives up on it at once, naming it (a message box
    // with its text), instead of leaving the test to wait for it.
    OperatorDriver& ExpectNothingElse(unsigned graceMs = 1000);

    bool Finished() const;                                // every step ran, nothing was given up
    bool Succeeded() const { return Finished() && Failures().empty(); }
    size_t StepsRun() const { return m_next; }
    // What went wrong, in order: the step that gave up, and before it what actions asked of
    // windows that they cannot do (controls that do not exist). Failure::Text() says it in a line,
    // e.g. "step 3 (write the address): no matching window within 10000 ms; open: DAXO-01 message
    // box 'text'".
    const std::vector<Failure>& Failures() const;
    // Failures and the steps never reached, for a test's failure message.
    std::string Report() const;

    // Called once for every dialog and message box as it opens (first seen visible), painted,
    // before any step acts on it; the host saves a screenshot here.
    void SetOpenedCallback(std::function<void(const Window&)> callback);

private:
    struct Step {
        std::function<bool(const Window&)> match;
        std::function<void(Window&)> action;
        std::string description;
        bool pause = false;            // no window, only time: pauseMs
        unsigned pauseMs = 0;
        std::function<void()> done;    // what a pause does once its time is over
    };

    static void CALLBACK OnTimer(HWND timerWindow, UINT message, UINT_PTR id, DWORD time);
    void Tick();
    void NoticeOpenedWindows();
    bool Matches(size_t index, HWND window);
    void RunStep(size_t index, HWND window);
    void FinishPause(size_t index);
    bool MeetsTheUnexpected(HWND active, ULONGLONG now);
    void GiveUp(size_t index, Failure::Kind kind, const std::string& reason, HWND window = nullptr);
    void EndEveryWindow() const;
    std::string Label(size_t index) const;

    unsigned m_timeoutMs;
    bool m_expectNothingElse = false;
    unsigned m_graceMs = 0;
    ULONGLONG m_leftoverSince = 0;     // a window open after the last step, since; 0: none
    HWND m_timerWindow = nullptr;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_waiting = false;            // the next step's time limit runs
    ULONGLONG m_waitStart = 0;
    bool m_givenUp = false;
    int m_callbackDepth = 0;           // inside a match or the opened callback: no ticks
    int m_tickDepth = 0;
    std::shared_ptr<detail::ProblemLog> m_log;
    std::function<void(const Window&)> m_opened;
    std::vector<HWND> m_known;         // dialogs already announced to the opened callback
};

} // namespace opdriver
