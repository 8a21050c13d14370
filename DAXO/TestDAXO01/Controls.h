#pragma once
// Thin wrappers over the common controls of the configuration dialog: one method per message,
// so that the dialog's code reads as what it asks. A wrapper of a missing control (null
// window) is false; the caller checks that before it asks.
#include "DynString.h"
#include <windows.h>
#include <commctrl.h>

class CComboBox {
public:
    explicit CComboBox(HWND window) : m_window(window) {}
    explicit operator bool() const { return m_window != nullptr; }

    // Answers the new entry's index, or a negative value when it could not be added.
    int AddString(const char* text) { return Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }
    int SetItemData(int index, LPARAM data) { return Send(CB_SETITEMDATA, static_cast<WPARAM>(index), data); }
    // Adds an entry and gives it its item data; answers the index as AddString does.
    int AddItem(const char* text, LPARAM data)
    {
        int index = AddString(text);
        if (index >= 0)
            SetItemData(index, data);
        return index;
    }
    // -1 when nothing is selected.
    int GetCurSel() const { return Send(CB_GETCURSEL, 0, 0); }
    int SetCurSel(int index) { return Send(CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    LRESULT GetItemData(int index) const
    {
        return ::SendMessageA(m_window, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    }
    // The index of the entry whose whole text is `text`, searched from the top; negative if none.
    int FindStringExact(const char* text) const
    {
        return Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    }
    int GetItemTextLength(int index) const { return Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0); }
    // Copies an entry's text into `text`; false, with `text` emptied, when there is no such entry.
    bool GetItemText(int index, CDynString& text) const
    {
        int length = GetItemTextLength(index);
        if (length < 0) {
            text.InitBuffer("");
            return false;
        }
        // The message takes no size: the room for the text and its zero is made beforehand.
        char* buffer = new char[static_cast<size_t>(length) + 1];
        int copied = Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
        try {
            text.SetString(buffer, copied);
        } catch (...) {
            delete[] buffer;
            throw;
        }
        delete[] buffer;
        return copied >= 0;
    }

private:
    int Send(UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return static_cast<int>(::SendMessageA(m_window, message, wParam, lParam));
    }
    HWND m_window;
};

class CEdit {
public:
    explicit CEdit(HWND window) : m_window(window) {}
    explicit operator bool() const { return m_window != nullptr; }

    void SelectAll() { ::SendMessageA(m_window, EM_SETSEL, 0, -1); }

private:
    HWND m_window;
};

// An up-down control (spinner) with the 32-bit range and position messages.
class CUpDown {
public:
    explicit CUpDown(HWND window) : m_window(window) {}
    explicit operator bool() const { return m_window != nullptr; }

    void SetRange32(int low, int high) { ::SendMessageA(m_window, UDM_SETRANGE32, static_cast<WPARAM>(low), high); }
    int GetPos32() const { return static_cast<int>(::SendMessageA(m_window, UDM_GETPOS32, 0, 0)); }
    int SetPos32(int position) { return static_cast<int>(::SendMessageA(m_window, UDM_SETPOS32, 0, position)); }

private:
    HWND m_window;
};
