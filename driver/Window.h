#pragma once
// A dialog or message box as the operator sees it: what it shows and what can be done to it.
#include "Failure.h"
#include <windows.h>
#include <memory>
#include <string>
#include <vector>

namespace opdriver {

namespace detail {
// Where a window reports what a script asked of it that cannot be done (a control that does not
// exist, a control of the wrong kind). Shared with the driver, which may be gone first.
class ProblemLog {
public:
    void Add(Failure failure);
    const std::vector<Failure>& Entries() const { return m_entries; }
    // Once the driver has given up, follow-up problems only repeat the first one.
    void Silence() { m_silent = true; }

private:
    std::vector<Failure> m_entries;
    bool m_silent = false;
};
} // namespace detail

// The dialogs and message boxes (class #32770) of the calling thread, top of the z-order first.
std::vector<HWND> ThreadDialogs(bool visibleOnly);
// The dialog or message box that the operator would work with now: the enabled, visible one
// that is active, else the topmost; null when there is none.
HWND ActiveDialog();

// The dialog or message box that is active on the driver's thread. Texts are 8-bit (ANSI code
// page). The actions behave as the operator's hand does: a control that is disabled or hidden,
// or a window that is disabled, cannot be reached, and the action then does nothing and answers
// false. Controls are direct children of the window, addressed by their id.
class Window {
public:
    explicit Window(HWND handle = nullptr);
    // Complaints go to `log` too, as failures of the step `step` (from 1) named `stepName`; a
    // quiet window makes none at all (a match that looks at every window asks for controls that
    // most of them do not have).
    Window(HWND handle, std::weak_ptr<detail::ProblemLog> log, size_t step, std::string stepName, bool quiet = false);

    HWND Handle() const { return m_handle; }
    bool IsMessageBox() const;            // the message text static 0xFFFF, an icon and buttons only
    std::string Caption() const;
    std::string MessageText() const;      // a message box's text
    // The MB_ flags that give this message box: buttons, icon, default button, MB_HELP.
    unsigned MessageStyle() const;

    bool HasControl(unsigned id) const;
    std::string Text(unsigned id) const;
    bool IsEnabled(unsigned id) const;
    bool IsVisible(unsigned id) const;    // the control's own WS_VISIBLE style
    bool IsChecked(unsigned id) const;
    int Selection(unsigned id) const;     // combo box index, -1 none
    std::string SelectedText(unsigned id) const;
    int SpinPosition(unsigned id) const;  // UDM_GETPOS32
    unsigned FocusId() const;             // the window's control that has the keyboard focus, 0 none

    // Clicks into the edit (the focus moves there), selects all and replaces it with `text`, so
    // the dialog gets EN_CHANGE. Like a paste, ES_NUMBER does not filter; a read-only edit
    // cannot be typed into. For a combo box with an edit field, types into that field.
    bool SetText(unsigned id, const std::string& text);
    // Clicks the box only when its state differs (a three-state box possibly twice); the dialog
    // gets BN_CLICKED. Answers whether the box now shows the wanted state.
    bool Check(unsigned id, bool checked);
    // Drops the list down and picks the entry of exactly this text (case-sensitive): the focus
    // moves to the combo box and the dialog gets CBN_SELCHANGE. False when there is no such entry.
    bool Select(unsigned id, const std::string& text);
    // Moves the up-down control to `position` (held to its range) and sends its owner the scroll
    // notifications that a real up-down sends: SB_THUMBPOSITION, then SB_ENDSCROLL, each with the
    // position in the high word and the up-down as lParam (WM_HSCROLL for UDS_HORZ).
    bool SetSpin(unsigned id, int position);
    // Focuses the control, then gives the dialog the wheel message that the system routes to it
    // (signed distance, 120 a notch; the cursor over the control).
    bool Wheel(unsigned id, int distance);
    bool Click(unsigned id);              // a push of the button (BM_CLICK)
    bool Answer(int buttonId);            // a message box's button (IDOK, IDYES, IDNO, ...)
    bool Close();                         // the close box (WM_SYSCOMMAND SC_CLOSE)
    bool Escape();                        // the Escape key, through the dialog manager

private:
    HWND Control(unsigned id, const char* operation) const;
    HWND ControlOfClass(unsigned id, const char* operation, const char* className) const;
    bool Reachable(HWND control) const;
    // Click and Answer: the same push, each complaining under its own name.
    bool Push(unsigned id, const char* operation);
    bool Alive() const;
    void Focus(HWND control) const;
    void Complain(int line, const std::string& text) const;
    std::string Describe() const;

    HWND m_handle;
    std::weak_ptr<detail::ProblemLog> m_log;
    size_t m_step = 0;
    std::string m_stepName;
    bool m_quiet = false;
};

// The window described for a report: "dialog 'caption'" or "caption message box 'text'".
std::string DescribeWindow(HWND window);
// The visible dialogs and message boxes of the calling thread, described, top first.
std::vector<std::string> DescribeOpenWindows();

} // namespace opdriver
