#include "Window.h"
#include "MyObject.h"
#include <commctrl.h>
#include <algorithm>
#include <utility>

namespace opdriver {

namespace {

const char kSource[] = "opdriver";
const int kMessageTextId = 0xFFFF;

bool ClassIs(HWND window, const char* name)
{
    char className[64] = {};
    return ::GetClassNameA(window, className, sizeof className) > 0 && ::lstrcmpiA(className, name) == 0;
}

std::string WindowText(HWND window)
{
    int length = ::GetWindowTextLengthA(window);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = ::GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

// One line for a report: control characters spelt out, long texts cut.
std::string Shorten(const std::string& text)
{
    const size_t limit = 80;
    std::string line;
    for (char c : text) {
        if (c == '\n')
            line += "\\n";
        else if (c == '\t')
            line += "\\t";
        else if (c != '\r')
            line += c;
    }
    if (line.size() > limit)
        line = line.substr(0, limit) + "...";
    return line;
}

std::vector<HWND> DirectChildren(HWND window)
{
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

bool IsMessageBoxButtonId(int id)
{
    return id >= IDOK && id <= IDCONTINUE;
}

LONG Style(HWND window)
{
    return ::GetWindowLongA(window, GWL_STYLE);
}

bool IsIconStatic(HWND window)
{
    return ClassIs(window, "Static") && (Style(window) & SS_TYPEMASK) == SS_ICON;
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

unsigned ButtonsStyle(const std::vector<int>& ids)
{
    auto has = [&ids](int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); };
    struct Set {
        unsigned style;
        std::vector<int> ids;
    };
    const Set sets[] = {{MB_OK, {IDOK}},
                        {MB_OKCANCEL, {IDOK, IDCANCEL}},
                        {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}},
                        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
                        {MB_YESNO, {IDYES, IDNO}},
                        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}},
                        {MB_CANCELTRYCONTINUE, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}}};
    size_t answers = static_cast<size_t>(std::count_if(ids.begin(), ids.end(), [](int id) { return id != IDHELP; }));
    for (const Set& set : sets) {
        if (set.ids.size() == answers && std::all_of(set.ids.begin(), set.ids.end(), has))
            return set.style | (has(IDHELP) ? MB_HELP : 0u);
    }
    return has(IDHELP) ? MB_HELP : 0u;
}

unsigned IconStyle(HICON icon)
{
    if (!icon)
        return 0;
    const std::pair<LPCTSTR, unsigned> icons[] = {{IDI_HAND, MB_ICONHAND},
                                                  {IDI_QUESTION, MB_ICONQUESTION},
                                                  {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                                                  {IDI_ASTERISK, MB_ICONASTERISK}};
    for (const auto& entry : icons) {
        if (::LoadIcon(nullptr, entry.first) == icon)
            return entry.second;
    }
    return 0;
}

bool IsCheckable(HWND button)
{
    switch (Style(button) & BS_TYPEMASK) {
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
    LONG type = Style(button) & BS_TYPEMASK;
    return type == BS_3STATE || type == BS_AUTO3STATE;
}

} // namespace

void detail::ProblemLog::Add(const std::string& text)
{
    if (!m_silent)
        m_entries.push_back(text);
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

Window::Window(HWND handle) : m_handle(handle) {}

Window::Window(HWND handle, std::weak_ptr<detail::ProblemLog> log, std::string who, bool quiet)
    : m_handle(handle), m_log(std::move(log)), m_who(std::move(who)), m_quiet(quiet)
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
    std::string message = (m_who.empty() ? std::string() : m_who + ": ") + text + " (" + Describe() + ")";
    CMyObject::OutputDebugStringA((std::string(kSource) + "(" + std::to_string(line) + "): " + message + "\n").c_str());
    if (std::shared_ptr<detail::ProblemLog> log = m_log.lock())
        log->Add(message);
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

void Window::PressButton(HWND button) const
{
    // Button down and up within the button: it takes the focus, toggles when it is an automatic
    // box and notifies BN_CLICKED, all before this returns (a modal loop it opens runs inside).
    ::SendMessageA(button, BM_CLICK, 0, 0);
}

bool Window::IsMessageBox() const
{
    if (!Alive() || !ClassIs(m_handle, "#32770"))
        return false;
    bool hasText = false;
    for (HWND child : DirectChildren(m_handle)) {
        int id = ::GetDlgCtrlID(child);
        if (id == kMessageTextId && ClassIs(child, "Static"))
            hasText = true;
        else if (!(IsIconStatic(child) || (ClassIs(child, "Button") && IsMessageBoxButtonId(id))))
            return false;
    }
    return hasText;
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
    struct Button {
        int id;
        LONG left;
        bool isDefault;
    };
    std::vector<Button> buttons;
    HICON icon = nullptr;
    for (HWND child : DirectChildren(m_handle)) {
        if (IsIconStatic(child) && (Style(child) & WS_VISIBLE) && !icon)
            icon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
        else if (ClassIs(child, "Button") && (Style(child) & WS_VISIBLE)) {
            RECT area{};
            ::GetWindowRect(child, &area);
            bool isDefault = (Style(child) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
            buttons.push_back({::GetDlgCtrlID(child), area.left, isDefault});
        }
    }
    std::stable_sort(buttons.begin(), buttons.end(), [](const Button& a, const Button& b) { return a.left < b.left; });
    std::vector<int> ids;
    unsigned defaultButton = 0;
    for (size_t i = 0; i < buttons.size(); ++i) {
        ids.push_back(buttons[i].id);
        if (buttons[i].isDefault)
            defaultButton = static_cast<unsigned>(std::min<size_t>(i, 3)) << 8;
    }
    return ButtonsStyle(ids) | IconStyle(icon) | defaultButton;
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
    return control && (Style(control) & WS_VISIBLE) != 0;
}

bool Window::IsChecked(unsigned id) const
{
    HWND control = ControlOfClass(id, "IsChecked", "Button");
    return control && ::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int Window::Selection(unsigned id) const
{
    HWND control = ControlOfClass(id, "Selection", "ComboBox");
    if (!control)
        return -1;
    LRESULT index = ::SendMessageA(control, CB_GETCURSEL, 0, 0);
    return index < 0 ? -1 : static_cast<int>(index);
}

std::string Window::SelectedText(unsigned id) const
{
    HWND control = ControlOfClass(id, "SelectedText", "ComboBox");
    if (!control)
        return {};
    LRESULT index = ::SendMessageA(control, CB_GETCURSEL, 0, 0);
    if (index < 0)
        return {};
    LRESULT length = ::SendMessageA(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied = ::SendMessageA(control, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

int Window::SpinPosition(unsigned id) const
{
    HWND control = ControlOfClass(id, "SpinPosition", UPDOWN_CLASSA);
    return control ? static_cast<int>(::SendMessageA(control, UDM_GETPOS32, 0, 0)) : 0;
}

unsigned Window::FocusId() const
{
    if (!Alive())
        return 0;
    HWND focus = ::GetFocus();
    // The focus may sit in a part of a control (the edit of a combo box): name the control.
    while (focus && ::GetParent(focus) != m_handle)
        focus = (Style(focus) & WS_CHILD) ? ::GetParent(focus) : nullptr;
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
    if (!Reachable(control) || (Style(edit) & ES_READONLY))
        return false;
    Focus(control);
    if (!::IsWindow(edit))
        return false;
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    ::SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
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
    const LRESULT wanted = checked ? BST_CHECKED : BST_UNCHECKED;
    // A three-state box goes unchecked, checked, indeterminate: two clicks reach any state.
    const int clicks = IsThreeState(box) ? 2 : 1;
    for (int i = 0; i < clicks && ::SendMessageA(box, BM_GETCHECK, 0, 0) != wanted; ++i) {
        if (!Reachable(box))
            return false;
        PressButton(box);
        if (!::IsWindow(box))
            return false;
    }
    return ::SendMessageA(box, BM_GETCHECK, 0, 0) == wanted;
}

bool Window::Select(unsigned id, const std::string& text)
{
    HWND combo = ControlOfClass(id, "Select", "ComboBox");
    if (!combo || !Reachable(combo))
        return false;
    // CB_FINDSTRINGEXACT ignores case; the operator reads what is there.
    LRESULT count = ::SendMessageA(combo, CB_GETCOUNT, 0, 0);
    LRESULT found = -1;
    for (LRESULT index = 0; index < count && found < 0; ++index) {
        LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length < 0 || static_cast<size_t>(length) != text.size())
            continue;
        std::string entry(static_cast<size_t>(length) + 1, '\0');
        LRESULT copied = ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&entry[0]));
        entry.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        if (entry == text)
            found = index;
    }
    if (found < 0)
        return false;
    Focus(combo);
    if (!::IsWindow(combo))
        return false;
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    ::SendMessageA(::GetParent(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    return true;
}

bool Window::SetSpin(unsigned id, int position)
{
    HWND spinner = ControlOfClass(id, "SetSpin", UPDOWN_CLASSA);
    if (!spinner || !Reachable(spinner))
        return false;
    ::SendMessageA(spinner, UDM_SETPOS32, 0, position);
    // The control holds the position to its range; the notifications carry what it holds.
    const WORD held = static_cast<WORD>(::SendMessageA(spinner, UDM_GETPOS32, 0, 0));
    const UINT message = (Style(spinner) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
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

bool Window::Click(unsigned id)
{
    HWND button = ControlOfClass(id, "Click", "Button");
    if (!button || !Reachable(button))
        return false;
    PressButton(button);
    return true;
}

bool Window::Answer(int buttonId)
{
    HWND button = ControlOfClass(static_cast<unsigned>(buttonId), "Answer", "Button");
    if (!button || !Reachable(button))
        return false;
    PressButton(button);
    return true;
}

bool Window::Close()
{
    if (!Alive() || !::IsWindowEnabled(m_handle) || !::IsWindowVisible(m_handle) || !(Style(m_handle) & WS_SYSMENU))
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
