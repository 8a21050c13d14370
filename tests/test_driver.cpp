// The operator driver: its actions reach a dialog as an operator's hand does, it follows modal
// windows that open inside its own actions, and it never lets a test hang.
#include "MyDialog.h"
#include "OperatorDriver.h"
#include "TestSupport.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using opdriver::OperatorDriver;
using opdriver::Window;

const unsigned kEdit = 101, kBox = 102, kCombo = 103, kSpin = 104, kAsk = 105, kLocked = 106, kHidden = 107,
               kFixed = 108;
// "Zkouška ovladače" and "Žádná (NO)" in code page 1250.
const char kCaption[] = "Zkou\x9a" "ka ovlada\xe8" "e";
const char kCzechEntry[] = "\x8e\xe1" "dn\xe1 (NO)";

// A dialog template in memory with one control of every kind the driver handles.
std::vector<WORD> BuildTemplate()
{
    std::vector<WORD> words;
    auto dword = [&](DWORD v) { words.push_back(LOWORD(v)); words.push_back(HIWORD(v)); };
    auto text = [&](const wchar_t* s) { do words.push_back(*s); while (*s++); };
    struct Item {
        DWORD style;
        short x, y, cx, cy;
        WORD id;
        WORD atom;                 // predefined class, or 0 for a class name
        const wchar_t* className;
        const wchar_t* text;
    };
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const Item items[] = {
        {child | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 5, 5, 60, 12, kEdit, 0x0081, nullptr, L"start"},
        {child | WS_TABSTOP | BS_AUTOCHECKBOX, 5, 20, 60, 10, kBox, 0x0080, nullptr, L"Series"},
        {child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 5, 35, 60, 60, kCombo, 0x0085, nullptr, L""},
        {child, 70, 5, 10, 12, kSpin, 0, UPDOWN_CLASSW, L""},
        {child | WS_TABSTOP | BS_PUSHBUTTON, 90, 5, 50, 14, kAsk, 0x0080, nullptr, L"Ask"},
        {child | WS_DISABLED | BS_PUSHBUTTON, 90, 22, 50, 14, kLocked, 0x0080, nullptr, L"Locked"},
        {WS_CHILD | BS_PUSHBUTTON, 90, 39, 50, 14, kHidden, 0x0080, nullptr, L"Hidden"},
        {child | WS_BORDER | ES_READONLY, 5, 55, 60, 12, kFixed, 0x0081, nullptr, L"fixed"},
        {child | WS_TABSTOP | BS_PUSHBUTTON, 90, 56, 50, 14, IDCANCEL, 0x0080, nullptr, L"Cancel"},
    };
    dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE);
    dword(0);
    words.push_back(static_cast<WORD>(sizeof items / sizeof items[0]));
    words.push_back(10); words.push_back(10); words.push_back(150); words.push_back(80);
    words.push_back(0); words.push_back(0);
    text(L"Zkou\u0161ka ovlada\u010De");
    words.push_back(8); text(L"MS Sans Serif");
    for (const Item& item : items) {
        if (words.size() % 2)
            words.push_back(0);
        dword(item.style); dword(0);
        words.push_back(item.x); words.push_back(item.y); words.push_back(item.cx); words.push_back(item.cy);
        words.push_back(item.id);
        if (item.atom) {
            words.push_back(0xFFFF);
            words.push_back(item.atom);
        } else {
            text(item.className);
        }
        text(item.text);
        words.push_back(0);
    }
    return words;
}

// Writes down what reaches it as an operator's actions would be seen by dialog code.
class ScriptedDialog : public CMyDialog {
public:
    ScriptedDialog() : CMyDialog(0, nullptr, nullptr) {}

    INT_PTR RunModal() override
    {
        std::vector<WORD> words = BuildTemplate();
        return ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(words.data()),
                                         m_hParentWnd, GetWndProc(), reinterpret_cast<LPARAM>(this));
    }

    int OnInitDialog() override
    {
        for (const char* entry : {"Alpha", "Beta", kCzechEntry})
            ::SendDlgItemMessageA(m_hWnd, kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        ::SendDlgItemMessageA(m_hWnd, kSpin, UDM_SETRANGE32, static_cast<WPARAM>(-10), 300);
        ::SendDlgItemMessageA(m_hWnd, kSpin, UDM_SETPOS32, 0, 3);
        ::SendDlgItemMessageA(m_hWnd, kEdit, EM_LIMITTEXT, 6, 0);
        return 1;
    }

    int OnCommand(WPARAM command) override
    {
        const unsigned id = LOWORD(command), code = HIWORD(command);
        const bool isEdit = id == kEdit || id == kFixed;
        if (isEdit && code == EN_CHANGE)
            seen.push_back("change " + std::to_string(id));
        else if (id == kCombo && code == CBN_SELCHANGE)
            seen.push_back("selchange " + std::to_string(id));
        else if (!isEdit && id != kCombo && code == BN_CLICKED)
            seen.push_back("clicked " + std::to_string(id));
        if (id == kAsk && code == BN_CLICKED)
            seen.push_back("answer " + std::to_string(MessageBoxA(prompt.c_str(), "DAXO-01", promptStyle)));
        if (id == IDCANCEL) {
            EndDialog(-5);
            return 1;
        }
        return 0;
    }

    int OnVScroll(int code, int position, HWND control) override
    {
        seen.push_back("vscroll " + std::to_string(code) + " " + std::to_string(position) +
                       (control == GetDlgItem(kSpin) ? "" : " from elsewhere"));
        return 0;
    }

    int OnMouseWheel(int distance) override
    {
        HWND focus = ::GetFocus();
        seen.push_back("wheel " + std::to_string(distance) + " focus " + std::to_string(::GetDlgCtrlID(focus)));
        return 0;
    }

    std::vector<std::string> seen;
    std::string prompt = "Really?";
    unsigned promptStyle = MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2;
};

class DriverTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
    }
};

TEST_F(DriverTest, EveryActionReachesTheDialogWithTheOperatorsNotification)
{
    ScriptedDialog dialog;
    OperatorDriver driver;
    driver.OnDialog(kEdit, [](Window& w) {
        EXPECT_TRUE(w.Check(kBox, true));
        EXPECT_TRUE(w.Check(kBox, true)) << "already checked: no second click";
        EXPECT_TRUE(w.IsChecked(kBox));
        EXPECT_FALSE(w.Select(kCombo, "beta")) << "entries match exactly";
        EXPECT_FALSE(w.Select(kCombo, "Delta"));
        EXPECT_TRUE(w.Select(kCombo, "Beta"));
        EXPECT_EQ(w.Selection(kCombo), 1);
        EXPECT_EQ(w.FocusId(), kCombo);
        EXPECT_TRUE(w.Select(kCombo, kCzechEntry));
        EXPECT_EQ(w.SelectedText(kCombo), kCzechEntry);
        EXPECT_TRUE(w.SetText(kEdit, "42"));
        EXPECT_EQ(w.Text(kEdit), "42");
        EXPECT_EQ(w.FocusId(), kEdit) << "the operator clicked into the edit";
        EXPECT_TRUE(w.SetText(kEdit, "1234567"));
        EXPECT_EQ(w.Text(kEdit), "123456") << "typing stops at the edit's limit";
        EXPECT_TRUE(w.SetSpin(kSpin, -5));
        EXPECT_TRUE(w.SetSpin(kSpin, 500)) << "held to the range";
        EXPECT_EQ(w.SpinPosition(kSpin), 300);
        EXPECT_TRUE(w.Wheel(kEdit, -120));
        EXPECT_EQ(w.FocusId(), kEdit);
        EXPECT_TRUE(w.Wheel(kSpin, 240));
        EXPECT_TRUE(w.Check(kBox, false));
        EXPECT_TRUE(w.Click(IDCANCEL));
    }, "operate every control");
    EXPECT_EQ(dialog.Show(-1), -5);
    EXPECT_TRUE(driver.Succeeded()) << driver.Report();
    std::vector<std::string> expected = {"clicked 102",  "selchange 103", "selchange 103", "change 101",
                                         "change 101",   "vscroll 4 -5",  "vscroll 8 -5",  "vscroll 4 300",
                                         "vscroll 8 300", "wheel -120 focus 101", "wheel 240 focus 104",
                                         "clicked 102",  "clicked 2"};
    EXPECT_EQ(dialog.seen, expected);
}

TEST_F(DriverTest, ReadsWhatTheDialogShows)
{
    ScriptedDialog dialog;
    OperatorDriver driver;
    driver.OnDialog(kEdit, [](Window& w) {
        EXPECT_FALSE(w.IsMessageBox());
        EXPECT_EQ(w.Caption(), kCaption) << "texts come in the ANSI code page";
        EXPECT_EQ(w.Text(kEdit), "start");
        EXPECT_EQ(w.Text(kAsk), "Ask");
        EXPECT_TRUE(w.IsEnabled(kAsk));
        EXPECT_FALSE(w.IsEnabled(kLocked));
        EXPECT_TRUE(w.IsVisible(kLocked));
        EXPECT_FALSE(w.IsVisible(kHidden));
        EXPECT_FALSE(w.IsChecked(kBox));
        EXPECT_EQ(w.Selection(kCombo), -1);
        EXPECT_EQ(w.SelectedText(kCombo), "");
        EXPECT_EQ(w.SpinPosition(kSpin), 3);
        EXPECT_EQ(w.FocusId(), kEdit) << "the first tab stop";
        EXPECT_TRUE(w.HasControl(kFixed));
        EXPECT_FALSE(w.HasControl(999));
        w.Click(IDCANCEL);
    });
    EXPECT_EQ(dialog.Show(-1), -5);
    EXPECT_TRUE(driver.Succeeded()) << driver.Report();
}

TEST_F(DriverTest, WhatTheOperatorCannotReachStaysUntouched)
{
    ScriptedDialog dialog;
    OperatorDriver driver;
    driver.OnDialog(kEdit, [](Window& w) {
        EXPECT_FALSE(w.Click(kLocked)) << "disabled";
        EXPECT_FALSE(w.Click(kHidden)) << "hidden";
        EXPECT_FALSE(w.SetText(kFixed, "typed")) << "read-only";
        EXPECT_EQ(w.Text(kFixed), "fixed");
        ::EnableWindow(::GetDlgItem(w.Handle(), kLocked), TRUE);
        EXPECT_TRUE(w.Click(kLocked));
        w.Click(IDCANCEL);
    });
    EXPECT_EQ(dialog.Show(-1), -5);
    EXPECT_TRUE(driver.Succeeded()) << driver.Report();
    std::vector<std::string> expected = {"clicked 106", "clicked 2"};
    EXPECT_EQ(dialog.seen, expected);
}

TEST_F(DriverTest, AScriptAddressingAMissingControlIsReported)
{
    daxotest::DebugCapture debug;
    ScriptedDialog dialog;
    OperatorDriver driver;
    // Looking is no action: a match that asks the message box for control 101 makes no complaint.
    auto either = [](const Window& w) { return w.Text(kEdit) == "start" || w.MessageText() == "first"; };
    driver.When(either, [](Window& box) { box.Answer(IDOK); }, "answer")
        .When(either,
              [](Window& w) {
                  EXPECT_FALSE(w.Click(999));
                  w.Click(IDCANCEL);
              },
              "poke");
    EXPECT_EQ(::MessageBoxA(nullptr, "first", "DAXO-01", MB_OK), IDOK);
    EXPECT_EQ(dialog.Show(-1), -5);
    EXPECT_TRUE(driver.Finished());
    ASSERT_EQ(driver.Failures().size(), 1u);
    const opdriver::Failure& failure = driver.Failures()[0];
    EXPECT_EQ(failure.kind, opdriver::Failure::kCannotDo);
    EXPECT_EQ(failure.step, 2u);
    EXPECT_EQ(failure.reason, "Click: no control 999");
    EXPECT_EQ(failure.Text(), std::string("step 2 (poke): Click: no control 999 (dialog '") + kCaption + "')");
    EXPECT_TRUE(debug.Contains("opdriver("));
}

TEST_F(DriverTest, AMessageBoxOpenedByAClickIsAnsweredByTheNextStep)
{
    ScriptedDialog dialog;
    dialog.prompt = "Komunika\xe8n\xed adresa:\n\n     expected value is from 1 to 125";
    OperatorDriver driver;
    std::vector<std::string> events;
    HWND dialogHandle = nullptr;
    driver.SetOpenedCallback([&](const Window& w) {
        events.push_back(std::string(w.IsMessageBox() ? "opened box " : "opened dialog ") + w.Caption());
    });
    driver
        .OnDialog(kAsk, [&](Window& w) {
            events.push_back("click");
            dialogHandle = w.Handle();
            EXPECT_TRUE(w.Click(kAsk));
            events.push_back("click returned");
        }, "ask")
        .OnMessageBox([&](Window& box) {
            events.push_back("answer");
            EXPECT_EQ(box.Caption(), "DAXO-01");
            EXPECT_EQ(box.MessageText(), dialog.prompt);
            EXPECT_EQ(box.MessageStyle(), 0x134u);
            EXPECT_FALSE(Window(dialogHandle).Click(IDCANCEL)) << "the dialog under the box is disabled";
            EXPECT_TRUE(box.Answer(IDNO));
        }, "refuse")
        .OnDialog(kAsk, [](Window& w) { w.Click(IDCANCEL); }, "leave");
    EXPECT_EQ(dialog.Show(-1), -5);
    EXPECT_TRUE(driver.Succeeded()) << driver.Report();
    std::vector<std::string> expected = {std::string("opened dialog ") + kCaption, "click", "opened box DAXO-01",
                                         "answer", "click returned"};
    EXPECT_EQ(events, expected);
    std::vector<std::string> seen = {"clicked 105", "answer 7", "clicked 2"};
    EXPECT_EQ(dialog.seen, seen);
}

TEST_F(DriverTest, MessageStyleIsReconstructedFromTheBox)
{
    struct Case {
        unsigned style;
        unsigned expected;
        int answer;
    };
    const Case cases[] = {{MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, 0x134, IDYES},
                          {MB_OK | MB_ICONHAND, 0x10, IDOK},
                          {MB_OK | MB_ICONEXCLAMATION, 0x30, IDOK},
                          {MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2, 0x121, IDCANCEL},
                          {MB_YESNOCANCEL | MB_ICONASTERISK | MB_DEFBUTTON3, 0x243, IDNO},
                          {MB_RETRYCANCEL, 0x5, IDRETRY}};
    for (const Case& c : cases) {
        OperatorDriver driver;
        unsigned style = 0;
        bool isMessageBox = false;
        driver.OnMessageBox([&](Window& box) {
            isMessageBox = box.IsMessageBox();
            style = box.MessageStyle();
            box.Answer(c.answer);
        });
        EXPECT_EQ(::MessageBoxA(nullptr, "text", "DAXO-01", c.style), c.answer) << std::hex << c.style;
        EXPECT_TRUE(isMessageBox);
        EXPECT_EQ(style, c.expected) << std::hex << c.style;
        EXPECT_TRUE(driver.Succeeded()) << driver.Report();
    }
}

TEST_F(DriverTest, EscapeAndTheCloseBoxCancel)
{
    for (bool escape : {true, false}) {
        ScriptedDialog dialog;
        OperatorDriver driver;
        driver.OnDialog(kEdit, [escape](Window& w) { EXPECT_TRUE(escape ? w.Escape() : w.Close()); });
        EXPECT_EQ(dialog.Show(-1), -5) << (escape ? "Escape" : "close box");
        std::vector<std::string> expected = {"clicked 2"};
        EXPECT_EQ(dialog.seen, expected);
    }
    OperatorDriver driver;
    driver.OnMessageBox([](Window& box) { box.Escape(); });
    EXPECT_EQ(::MessageBoxA(nullptr, "text", "DAXO-01", MB_OKCANCEL), IDCANCEL);
}

TEST_F(DriverTest, AStepThatNeverMatchesEndsEveryWindowAndNamesItself)
{
    ScriptedDialog dialog;
    OperatorDriver driver(200);
    driver.OnDialog(kAsk, [](Window& w) { w.Click(kAsk); }, "ask")
        .OnDialog(999, [](Window&) {}, "a dialog that never comes")
        .OnDialog(kAsk, [](Window&) {}, "afterwards");
    EXPECT_EQ(dialog.Show(-1), OperatorDriver::kAbandoned);
    std::vector<std::string> seen = {"clicked 105", "answer 7"};
    EXPECT_EQ(dialog.seen, seen) << "the message box got the cautious answer No";
    EXPECT_FALSE(driver.Finished());
    ASSERT_EQ(driver.Failures().size(), 1u);
    const opdriver::Failure& failure = driver.Failures()[0];
    EXPECT_EQ(failure.kind, opdriver::Failure::kNoWindow);
    EXPECT_EQ(failure.step, 2u);
    EXPECT_EQ(failure.stepName, "a dialog that never comes");
    const std::vector<std::string> open = {"DAXO-01 message box 'Really?'", std::string("dialog '") + kCaption + "'"};
    EXPECT_EQ(failure.openWindows, open) << "the windows open when the driver gave up, top first";
    EXPECT_EQ(failure.Text(), std::string("step 2 (a dialog that never comes): no matching window within "
                                          "200 ms; open: DAXO-01 message box 'Really?'; dialog '") +
                                  kCaption + "'");
    EXPECT_NE(driver.Report().find("step 3 (afterwards): not reached"), std::string::npos) << driver.Report();
    // The driver keeps ending what opens while it lives.
    EXPECT_EQ(::MessageBoxA(nullptr, "later", "DAXO-01", MB_YESNO), IDNO);
    EXPECT_EQ(::MessageBoxA(nullptr, "later", "DAXO-01", MB_OK), IDOK);
    ScriptedDialog second;
    EXPECT_EQ(second.Show(-1), OperatorDriver::kAbandoned);
    EXPECT_EQ(driver.Failures().size(), 1u);
}

TEST_F(DriverTest, AnActionThatThrowsIsRecordedAndTheDialogEnded)
{
    ScriptedDialog dialog;
    OperatorDriver driver;
    driver.OnDialog(kEdit, [](Window&) { throw std::runtime_error("script broke"); }, "break");
    EXPECT_EQ(dialog.Show(-1), OperatorDriver::kAbandoned);
    ASSERT_EQ(driver.Failures().size(), 1u);
    EXPECT_EQ(driver.Failures()[0].kind, opdriver::Failure::kActionFailed);
    EXPECT_EQ(driver.Failures()[0].Text(), "step 1 (break): the action failed: script broke");
    EXPECT_FALSE(driver.Finished());
}

TEST_F(DriverTest, DriversLeaveNoWindowsOrTimersBehind)
{
    // GetGuiResources answers 0 under Wine: count the thread's windows, the message-only ones
    // (the driver's timer window) too.
    auto userObjects = [] {
        DWORD windows = 0;
        for (HWND window = nullptr; (window = ::FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) != nullptr;)
            windows += ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId() ? 1 : 0;
        auto count = [](HWND, LPARAM counter) -> BOOL {
            ++*reinterpret_cast<DWORD*>(counter);
            return TRUE;
        };
        ::EnumThreadWindows(::GetCurrentThreadId(), count, reinterpret_cast<LPARAM>(&windows));
        return windows;
    };
    auto closeOnce = [] {
        ScriptedDialog dialog;
        OperatorDriver driver;
        driver.OnDialog(kEdit, [](Window& w) { w.Close(); });
        return dialog.Show(-1);
    };
    closeOnce();
    const DWORD before = userObjects();
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(closeOnce(), -5);
    EXPECT_LE(userObjects(), before + 2);
    // A timer left behind would fire into a freed driver inside this loop.
    MSG message;
    const ULONGLONG end = ::GetTickCount64() + 100;
    while (::GetTickCount64() < end) {
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&message);
        ::Sleep(5);
    }
}

} // namespace
