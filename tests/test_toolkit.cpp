// The toolkit stand-in: its text buffer and the way its dialog procedure hands window
// messages to a dialog object.
#include "DynString.h"
#include "MyColoredText.h"
#include "ProcessMeasures.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

TEST(DynString, SetStringStopsAtAZeroByteAndCopesWithoutOne)
{
    CDynString text;
    EXPECT_EQ(text.GetString(), nullptr) << "a fresh buffer holds no text";
    const char field[16] = {'V', 'X', '1', '2', '0', '5', '.', '1', '0', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    text.SetString(field, 16);  // not zero-terminated
    EXPECT_STREQ(text, "VX1205.10       ");
    EXPECT_EQ(text.GetLength(), 16);
    const char withZeros[8] = {'1', '2', 0, 0, 0, 0, 0, 0};
    text.SetString(withZeros, 8);
    EXPECT_STREQ(text, "12");
    EXPECT_EQ(text.GetLength(), 2);
    text.SetString(nullptr, 5);
    EXPECT_STREQ(text, "");
}

TEST(DynString, TrimRemovesBlanksAtBothEndsOnly)
{
    CDynString text;
    text.InitBuffer("  VX1203.00 a \t\r\n");
    text.Trim();
    EXPECT_STREQ(text, "VX1203.00 a");
    text.InitBuffer("                ");
    text.Trim();
    EXPECT_STREQ(text, "");
    EXPECT_TRUE(text.IsEmpty());
    CDynString empty;
    EXPECT_EQ(empty.Trim(), 1);
}

TEST(DynString, ReplaceTakesTheFirstOccurrenceOnly)
{
    CDynString text("configuration for %s: address %d; %d Bd, parity %s");
    int after = text.Replace("%s", "712", 0);
    EXPECT_STREQ(text, "configuration for 712: address %d; %d Bd, parity %s");
    EXPECT_EQ(after, 21);
    text.Replace("%d", "5", 0);
    EXPECT_STREQ(text, "configuration for 712: address 5; %d Bd, parity %s");
    EXPECT_EQ(text.Replace("%x", "?", 0), -1);
    EXPECT_EQ(text.Replace("%d", "9600", 1000), -1) << "a start beyond the end finds nothing";
    // Searching on after the inserted text never finds the inserted pattern again.
    CDynString loop("%s and %s");
    int next = loop.Replace("%s", "%s%s", 0);
    loop.Replace("%s", "x", next);
    EXPECT_STREQ(loop, "%s%s and x");
}

TEST(DynString, FormatGrowsAndCopiesAreIndependent)
{
    CDynString text;
    text.Format("%2.1f", 255 * 2.5);
    EXPECT_STREQ(text, "637.5");
    std::string longText(5000, 'x');
    text.Format("%s-%d", longText.c_str(), 7);
    EXPECT_EQ(text.GetLength(), 5002);
    CDynString copy(text);
    copy.InitBuffer("other");
    EXPECT_EQ(text.GetLength(), 5002);
    text = copy;
    EXPECT_STREQ(text, "other");
    text.InitBuffer(nullptr);
    EXPECT_STREQ(text, "");
}

// A dialog template built in memory: one button (100) and one edit (101).
class TemplateBuilder {
public:
    std::vector<WORD> Build()
    {
        std::vector<WORD> words;
        auto dword = [&](DWORD v) { words.push_back(LOWORD(v)); words.push_back(HIWORD(v)); };
        auto text = [&](const wchar_t* s) { do words.push_back(*s); while (*s++); };
        auto align = [&]() { if (words.size() % 2) words.push_back(0); };
        dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE);
        dword(0);
        words.push_back(2);
        words.push_back(10); words.push_back(10); words.push_back(150); words.push_back(60);
        words.push_back(0); words.push_back(0); text(L"Toolkit");
        words.push_back(8); text(L"MS Sans Serif");
        struct Item { DWORD style; short x, y, cx, cy; WORD id; WORD cls; const wchar_t* text; };
        Item items[] = {{WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 5, 5, 50, 14, 100, 0x0080, L"Button"},
                        {WS_CHILD | WS_VISIBLE | WS_BORDER, 5, 25, 50, 12, 101, 0x0081, L""}};
        for (const Item& item : items) {
            align();
            dword(item.style); dword(0);
            words.push_back(item.x); words.push_back(item.y); words.push_back(item.cx); words.push_back(item.cy);
            words.push_back(item.id);
            words.push_back(0xFFFF); words.push_back(item.cls);
            text(item.text);
            words.push_back(0);
        }
        return words;
    }
};

class ProbeDialog : public CMyDialog {
public:
    explicit ProbeDialog(HWND parent = nullptr) : CMyDialog(77, nullptr, parent) {}

    INT_PTR RunModal() override
    {
        std::vector<WORD> words = TemplateBuilder().Build();
        return ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(words.data()),
                                         m_hParentWnd, GetWndProc(), reinterpret_cast<LPARAM>(this));
    }

    int OnInitDialog() override
    {
        seen.push_back("init");
        handleDuringShow = m_hWnd;
        RECT area{5, 60, 200, 80};
        colored.Create("coloured", WS_VISIBLE, m_hWnd, 555, 0, 0, &area);
        ::ShowWindow(m_hWnd, SW_SHOW);
        ::UpdateWindow(colored.GetSafeHwnd());  // paints now, asking the dialog for its colour
        for (const MSG& message : script)
            ::PostMessageA(m_hWnd, message.message, message.wParam, message.lParam);
        return 1;
    }

    int OnCommand(WPARAM command) override
    {
        unsigned id = LOWORD(command);
        seen.push_back("command " + std::to_string(id));
        if (id == 100 && throwOnButton)
            throw std::runtime_error("button handler failed");
        if (id == IDCANCEL) {
            EndDialog(-5);
            return 1;
        }
        return 0;
    }

    int OnMouseWheel(int distance) override
    {
        seen.push_back("wheel " + std::to_string(distance));
        return 0;
    }

    int OnVScroll(int code, int position, HWND) override
    {
        seen.push_back("vscroll " + std::to_string(code) + " " + std::to_string(position));
        return 0;
    }

    int OnMyColoredTextGetTextParam(unsigned int id, _MY_COLORED_TEXT_STRUCT* param) override
    {
        seen.push_back("color " + std::to_string(id));
        if (!param)
            return 0;
        param->red = 0x40;
        param->green = 0xC0;
        param->blue = 0x40;
        param->useColor = 1;
        return 1;
    }

    std::vector<MSG> script;
    std::vector<std::string> seen;
    bool throwOnButton = false;
    HWND handleDuringShow = nullptr;
    CMyColoredText colored;
};

MSG Message(UINT message, WPARAM wParam, LPARAM lParam = 0)
{
    MSG m{};
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    return m;
}

TEST(DialogDispatch, MessagesReachTheVirtualOperationsAndCloseBecomesCancel)
{
    ProbeDialog dialog;
    dialog.script = {Message(WM_COMMAND, MAKEWPARAM(100, BN_CLICKED)),
                     Message(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120))),
                     Message(WM_MOUSEWHEEL, MAKEWPARAM(0, 240)),
                     Message(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 200)),
                     Message(WM_CLOSE, 0)};
    EXPECT_EQ(dialog.Show(-1), -5);
    std::vector<std::string> expected = {"init", "color 555", "command 100", "wheel -120", "wheel 240",
                                         "vscroll 4 200", "command 2"};
    EXPECT_EQ(dialog.seen, expected);
    EXPECT_NE(dialog.handleDuringShow, nullptr);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr) << "the handle is forgotten once the window is gone";
    EXPECT_EQ(dialog.colored.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(::IsWindow(dialog.handleDuringShow));
}

TEST(DialogDispatch, AnExceptionInAnOperationNeverReachesUser32)
{
    daxotest::DebugCapture debug;
    ProbeDialog dialog;
    dialog.throwOnButton = true;
    dialog.script = {Message(WM_COMMAND, 100), Message(WM_COMMAND, IDCANCEL)};
    EXPECT_EQ(dialog.Show(-1), -5);
    EXPECT_TRUE(debug.Contains("an exception left a dialog operation"));
    EXPECT_TRUE(debug.Contains("quillet("));
}

TEST(DialogDispatch, ShowRunsOnlyTheModalMode)
{
    ProbeDialog dialog;
    EXPECT_EQ(dialog.Show(0), 0);
    EXPECT_EQ(dialog.Show(1), 0);
    EXPECT_TRUE(dialog.seen.empty());
}

TEST(DialogDispatch, ControlOperationsWithoutAWindowAnswerFailure)
{
    ProbeDialog dialog;
    EXPECT_EQ(dialog.GetDlgItem(100), nullptr);
    BOOL translated = TRUE;
    EXPECT_EQ(dialog.GetDlgItemInt(101, &translated, 0), 0u);
    EXPECT_FALSE(translated);
    EXPECT_EQ(dialog.SetDlgItemTextA(101, "x"), 0);
    EXPECT_EQ(dialog.EnableDialogItem(100, 0), 0);
    EXPECT_EQ(dialog.EndDialog(1), 0);
    EXPECT_EQ(dialog.SetWindowTextA("caption"), 0);
}

TEST(DialogDispatch, RepeatedShowingsLeakNoWindowsHandlesOrGdiObjects)
{
    ProbeDialog warmUp;
    warmUp.script = {Message(WM_COMMAND, IDCANCEL)};
    warmUp.Show(-1);
    daxotest::ProcessMeasures before = daxotest::ProcessMeasures::Now();
    for (int i = 0; i < 50; ++i) {
        ProbeDialog dialog;
        dialog.script = {Message(WM_COMMAND, IDCANCEL)};
        ASSERT_EQ(dialog.Show(-1), -5);
    }
    daxotest::ExpectNoLeak(before, daxotest::ProcessMeasures::Now(), 2);
}

} // namespace
