#pragma once
// The control messages the driver sends, one small inline method each, and the few questions
// it asks of any window.
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

namespace opdriver {

inline LONG StyleOf(HWND window)
{
    return ::GetWindowLongA(window, GWL_STYLE);
}

inline bool ClassIs(HWND window, const char* name)
{
    char className[64] = {};
    return ::GetClassNameA(window, className, sizeof className) > 0 && ::lstrcmpiA(className, name) == 0;
}

inline std::string WindowText(HWND window)
{
    const int length = ::GetWindowTextLengthA(window);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(window, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

inline std::vector<HWND> DirectChildren(HWND window)
{
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

class ComboBox {
public:
    explicit ComboBox(HWND window) : m_window(window) {}
    int Count() const { return static_cast<int>(Send(CB_GETCOUNT, 0, 0)); }
    int Selection() const { return static_cast<int>(Send(CB_GETCURSEL, 0, 0)); }   // CB_ERR: none
    void SetSelection(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    int ItemTextLength(int index) const { return static_cast<int>(Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0)); }
    int CopyItemText(int index, char* buffer) const
    {
        return static_cast<int>(Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)));
    }
    // The entry's text; empty for an entry that does not exist.
    std::string ItemText(int index) const
    {
        const int length = ItemTextLength(index);
        if (length <= 0)
            return {};
        std::string text(static_cast<size_t>(length) + 1, '\0');
        const int copied = CopyItemText(index, &text[0]);
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        return text;
    }

private:
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const { return ::SendMessageA(m_window, message, wParam, lParam); }
    HWND m_window;
};

class UpDown {
public:
    explicit UpDown(HWND window) : m_window(window) {}
    int Position() const { return static_cast<int>(::SendMessageA(m_window, UDM_GETPOS32, 0, 0)); }
    void SetPosition(int position) const { ::SendMessageA(m_window, UDM_SETPOS32, 0, position); }

private:
    HWND m_window;
};

class Button {
public:
    explicit Button(HWND window) : m_window(window) {}
    LRESULT CheckState() const { return ::SendMessageA(m_window, BM_GETCHECK, 0, 0); }
    // Button down and up within the button: it takes the focus, toggles when it is an automatic
    // box and notifies BN_CLICKED, all before this returns (a modal loop it opens runs inside).
    void Click() const { ::SendMessageA(m_window, BM_CLICK, 0, 0); }

private:
    HWND m_window;
};

} // namespace opdriver
