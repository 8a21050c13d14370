#include "Window.h"
#include "OneLine.h"
#include "WindowQueries.h"
#include "MessageBoxReader.h"
#include "Diagnostic.h"
#include <algorithm>
#include <utility>

namespace opdriver {

namespace {


// One line for a report: control characters spelt out, long texts cut.
std::string Shorten(const std::string& text)
{
    const size_t limit = 80;
    std::string line = OneLine(text);
    if (line.size() > limit)
        line = line.substr(0, limit) + "...";
    return line;
}

struct Enumeration {
    std::vector<HWND> windows;
    bool visibleOnly;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM context)
{
    Enumeration* enumeration = reinterpret_cast<Enumeration*>(context);
    if (ClassIs(window, "#32770") && (!enumeration->visibleOnly || ::IsWindowVisible(window)))
        enumeration->windows.push_back(window);
    return TRUE;
}

bool IsCheckable(HWND button)
{
    switch (StyleOf(button) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_AUTORADIOBUTTON:
        return true;
    default:
        return false;
    }
}

bool IsThreeState(HWND button)
{
    LONG type = StyleOf(button) & BS_TYPEMASK;
    return type == BS_3STATE || type == BS_AUTO3STATE;
}

} // namespace

void detail::ProblemLog::Add(Failure failure)
{
    if (!m_silent)
        m_entries.push_back(std::move(failure));
}

std::vector<HWND> ThreadDialogs(bool visibleOnly)
{
    Enumeration enumeration{{}, visibleOnly};
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectDialog, reinterpret_cast<LPARAM>(&enumeration));
    return enumeration.windows;
}

HWND ActiveDialog()
{
    std::vector<HWND> candidates;
    for (HWND window : ThreadDialogs(true)) {
        if (::IsWindowEnabled(window))
            candidates.push_back(window);
    }
    if (candidates.empty())
        return nullptr;
    HWND active = ::GetActiveWindow();
    if (std::find(candidates.begin(), candidates.end(), active) != candidates.end())
        return active;
    return candidates.front();
}

std::string DescribeWindow(HWND window)
{
    if (!window || !::IsWindow(window))
        return "no window";
    Window described(window);
    if (described.IsMessageBox())
        return described.Caption() + " message box '" + Shorten(described.MessageText()) + "'";
    return "dialog '" + Shorten(described.Caption()) + "'";
}

std::vector<std::string> DescribeOpenWindows()
{
    std::vector<std::string> described;
    for (HWND window : ThreadDialogs(true))
        described.push_back(DescribeWindow(window));
    return described;
}

Window::Window(HWND handle) : m_handle(handle) {}

Window::Window(HWND handle, std::weak_ptr<detail::ProblemLog> log, size_t step, std::string stepName, bool quiet)
    : m_handle(handle), m_log(std::move(log)), m_step(step), m_stepName(std::move(stepName)), m_quiet(quiet)
{
}

bool Window::Alive() const
{
    return m_handle && ::IsWindow(m_handle);
}

std::string Window::Describe() const
{
    return DescribeWindow(m_handle);
}

void Window::Complain(int line, const std::string& text) const
{
    if (m_quiet)
        return;
    Failure failure;
    failure.kind = Failure::kCannotDo;
    failure.step = m_step;
    failure.stepName = m_stepName;
    failure.reason = text;
    failure.window = Describe();
    failure.openWindows = DescribeOpenWindows();
    Diagnostic(line, failure.Text());
    if (std::shared_ptr<detail::ProblemLog> log = m_log.lock())
        log->Add(std::move(failure));
}

HWND Window::Control(unsigned id, const char* operation) const
{
    if (!Alive()) {
        Complain(__LINE__, std::string(operation) + "(" + std::to_string(id) + "): the window is gone");
        return nullptr;
    }
    HWND control = ::GetDlgItem(m_handle, static_cast<int>(id));
    if (!control)
        Complain(__LINE__, std::string(operation) + ": no control " + std::to_string(id));
    return control;
}

HWND Window::ControlOfClass(unsigned id, const char* operation, const char* className) const
{
    HWND control = Control(id, operation);
    if (control && !ClassIs(control, className)) {
        Complain(__LINE__, std::string(operation) + ": control " + std::to_string(id) + " is not of class " + className);
        return nullptr;
    }
    return control;
}

bool Window::Reachable(HWND control) const
{
    return control && ::IsWindow(control) && ::IsWindowEnabled(control) && ::IsWindowVisible(control) &&
           ::IsWindowEnabled(m_handle);
}

void Window::Focus(HWND control) const
{
    // The dialog manager's own way of moving the focus keeps the default button in step.
    ::SendMessageA(m_handle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

bool Window::IsMessageBox() const
{
    return Alive() && IsMessageBoxWindow(m_handle);
}

std::string Window::Caption() const
{
    return Alive() ? WindowText(m_handle) : std::string();
}

std::string Window::MessageText() const
{
    HWND text = Control(kMessageTextId, "MessageText");
    return text ? WindowText(text) : std::string();
}

unsigned Window::MessageStyle() const
{
    if (!IsMessageBox()) {
        Complain(__LINE__, "MessageStyle: not a message box");
        return 0;
    }
    return MessageBoxStyle(m_handle);
}

bool Window::HasControl(unsigned id) const
{
    return Alive() && ::GetDlgItem(m_handle, static_cast<int>(id)) != nullptr;
}

std::string Window::Text(unsigned id) const
{
    HWND control = Control(id, "Text");
    return control ? WindowText(control) : std::string();
}

bool Window::IsEnabled(unsigned id) const
{
    HWND control = Control(id, "IsEnabled");
    return control && ::IsWindowEnabled(control);
}

bool Window::IsVisible(unsigned id) const
{
    HWND control = Control(id, "IsVisible");
    return control && (StyleOf(control) & WS_VISIBLE) != 0;
}

bool Window::IsChecked(unsigned id) const
{
    HWND control = ControlOfClass(id, "IsChecked", "Button");
    return control && CButton(control).GetCheck() == BST_CHECKED;
}

int Window::Selection(unsigned id) const
{
    HWND control = ControlOfClass(id, "Selection", "ComboBox");
    if (!control)
        return -1;
    const int index = CComboBox(control).GetCurSel();
    return index < 0 ? -1 : index;
}

std::string Window::SelectedText(unsigned id) const
{
    HWND control = ControlOfClass(id, "SelectedText", "ComboBox");
    if (!control)
        return {};
    const CComboBox combo(control);
    const int index = combo.GetCurSel();
    return index < 0 ? std::string() : ItemText(combo, index);
}

int Window::SpinPosition(unsigned id) const
{
    HWND control = ControlOfClass(id, "SpinPosition", UPDOWN_CLASSA);
    return control ? CUpDown(control).GetPos32() : 0;
}

unsigned Window::FocusId() const
{
    if (!Alive())
        return 0;
    HWND focus = ::GetFocus();
    // The focus may sit in a part of a control (the edit of a combo box): name the control.
    while (focus && ::GetParent(focus) != m_handle)
        focus = (StyleOf(focus) & WS_CHILD) ? ::GetParent(focus) : nullptr;
    return focus ? static_cast<unsigned>(::GetDlgCtrlID(focus)) & 0xFFFFu : 0;
}

bool Window::SetText(unsigned id, const std::string& text)
{
    HWND control = Control(id, "SetText");
    if (!control)
        return false;
    HWND edit = control;
    if (ClassIs(control, "ComboBox")) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        edit = ::GetComboBoxInfo(control, &info) && info.hwndItem && ClassIs(info.hwndItem, "Edit") ? info.hwndItem
                                                                                                     : nullptr;
    } else if (!ClassIs(control, "Edit")) {
        edit = nullptr;
    }
    if (!edit) {
        Complain(__LINE__, "SetText: control " + std::to_string(id) + " has no edit field");
        return false;
    }
    if (!Reachable(control) || (StyleOf(edit) & ES_READONLY))
        return false;
    Focus(control);
    if (!::IsWindow(edit))
        return false;
    CEdit typed(edit);
    typed.SelectAll();
    typed.ReplaceSel(text.c_str());
    return true;
}

bool Window::Check(unsigned id, bool checked)
{
    HWND box = ControlOfClass(id, "Check", "Button");
    if (!box)
        return false;
    if (!IsCheckable(box)) {
        Complain(__LINE__, "Check: control " + std::to_string(id) + " is not a check box or radio button");
        return false;
    }
    const int wanted = checked ? BST_CHECKED : BST_UNCHECKED;
    // A three-state box goes unchecked, checked, indeterminate: two clicks reach any state.
    const int clicks = IsThreeState(box) ? 2 : 1;
    for (int i = 0; i < clicks && CButton(box).GetCheck() != wanted; ++i) {
        if (!Reachable(box))
            return false;
        CButton(box).Click();
        if (!::IsWindow(box))
            return false;
    }
    return CButton(box).GetCheck() == wanted;
}

bool Window::Select(unsigned id, const std::string& text)
{
    HWND combo = ControlOfClass(id, "Select", "ComboBox");
    if (!combo || !Reachable(combo))
        return false;
    // CB_FINDSTRINGEXACT ignores case; the operator reads what is there.
    CComboBox list(combo);
    int found = -1;
    for (int index = 0, count = list.GetCount(); index < count && found < 0; ++index) {
        if (static_cast<size_t>(list.GetItemTextLength(index)) == text.size() && ItemText(list, index) == text)
            found = index;
    }
    if (found < 0)
        return false;
    Focus(combo);
    if (!::IsWindow(combo))
        return false;
    list.SetCurSel(found);
    ::SendMessageA(::GetParent(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    return true;
}

bool Window::SetSpin(unsigned id, int position)
{
    HWND spinner = ControlOfClass(id, "SetSpin", UPDOWN_CLASSA);
    if (!spinner || !Reachable(spinner))
        return false;
    CUpDown spin(spinner);
    spin.SetPos32(position);
    // The control holds the position to its range; the notifications carry what it holds.
    const WORD held = static_cast<WORD>(spin.GetPos32());
    const UINT message = (StyleOf(spinner) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
    HWND owner = ::GetParent(spinner);
    ::SendMessageA(owner, message, MAKEWPARAM(SB_THUMBPOSITION, held), reinterpret_cast<LPARAM>(spinner));
    if (::IsWindow(spinner) && ::IsWindow(owner))
        ::SendMessageA(owner, message, MAKEWPARAM(SB_ENDSCROLL, held), reinterpret_cast<LPARAM>(spinner));
    return true;
}

bool Window::Wheel(unsigned id, int distance)
{
    HWND control = Control(id, "Wheel");
    if (!control || !Reachable(control))
        return false;
    Focus(control);
    if (!::IsWindow(control) || !::IsWindow(m_handle))
        return false;
    RECT area{};
    ::GetWindowRect(control, &area);
    const short x = static_cast<short>((area.left + area.right) / 2);
    const short y = static_cast<short>((area.top + area.bottom) / 2);
    const short delta = static_cast<short>(std::max(-32768, std::min(32767, distance)));
    ::SendMessageA(m_handle, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)),
                   MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    return true;
}

bool Window::Push(unsigned id, const char* operation)
{
    HWND button = ControlOfClass(id, operation, "Button");
    if (!button || !Reachable(button))
        return false;
    CButton(button).Click();
    return true;
}

bool Window::Click(unsigned id)
{
    return Push(id, "Click");
}

bool Window::Answer(int buttonId)
{
    return Push(static_cast<unsigned>(buttonId), "Answer");
}

bool Window::Close()
{
    if (!Alive() || !::IsWindowEnabled(m_handle) || !::IsWindowVisible(m_handle) || !(StyleOf(m_handle) & WS_SYSMENU))
        return false;
    HMENU menu = ::GetSystemMenu(m_handle, FALSE);
    UINT state = menu ? ::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) : static_cast<UINT>(-1);
    if (state == static_cast<UINT>(-1) || (state & (MF_GRAYED | MF_DISABLED)))
        return false;
    ::SendMessageA(m_handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

bool Window::Escape()
{
    if (!Alive() || !::IsWindowEnabled(m_handle) || !::IsWindowVisible(m_handle))
        return false;
    // The key goes where the system would post it, and the dialog manager decides what it means
    // (IDCANCEL, or the control's own use when it asks for every key).
    auto press = [this](UINT message, LPARAM flags) {
        HWND focus = ::GetFocus();
        MSG key{};
        key.hwnd = (focus == m_handle || ::IsChild(m_handle, focus)) ? focus : m_handle;
        key.message = message;
        key.wParam = VK_ESCAPE;
        key.lParam = flags;
        key.time = static_cast<DWORD>(::GetMessageTime());
        ::IsDialogMessageA(m_handle, &key);
    };
    press(WM_KEYDOWN, 0x00010001);
    if (::IsWindow(m_handle) && ::IsWindowVisible(m_handle))
        press(WM_KEYUP, static_cast<LPARAM>(0xC0010001u));
    return true;
}

} // namespace opdriver
