#pragma once
// Thin wrappers over the controls of a dialog: one method per message, so that the code reads
// as what it asks. They hold only the control's window and need neither the C++ library nor the
// toolkit, because the module (Microsoft's ABI, C headers only) and the operator driver (GCC)
// work the same controls through this one file. A wrapper of a missing control (null window)
// is false; the caller checks that before it asks.
#include <windows.h>
#include <commctrl.h>

class CControl {
public:
    explicit CControl(HWND window) : m_window(window) {}
    explicit operator bool() const { return m_window != nullptr; }
    HWND Handle() const { return m_window; }

protected:
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return ::SendMessageA(m_window, message, wParam, lParam);
    }
    // For the messages that answer an index, a count or a length.
    int SendForInt(UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return static_cast<int>(Send(message, wParam, lParam));
    }

private:
    HWND m_window;
};

class CComboBox : public CControl {
public:
    using CControl::CControl;

    // Answers the new entry's index, or a negative value when it could not be added.
    int AddString(const char* text) { return SendForInt(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }
    int SetItemData(int index, LPARAM data) { return SendForInt(CB_SETITEMDATA, static_cast<WPARAM>(index), data); }
    // Adds an entry and gives it its item data; answers the index as AddString does.
    int AddItem(const char* text, LPARAM data)
    {
        int index = AddString(text);
        if (index >= 0)
            SetItemData(index, data);
        return index;
    }
    int GetCount() const { return SendForInt(CB_GETCOUNT, 0, 0); }
    // -1 when nothing is selected.
    int GetCurSel() const { return SendForInt(CB_GETCURSEL, 0, 0); }
    int SetCurSel(int index) { return SendForInt(CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    LRESULT GetItemData(int index) const { return Send(CB_GETITEMDATA, static_cast<WPARAM>(index), 0); }
    // The index of the entry whose whole text is `text`, searched from the top, ignoring case;
    // negative if none.
    int FindStringExact(const char* text) const
    {
        return SendForInt(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    }
    // Negative for an entry that does not exist.
    int GetItemTextLength(int index) const { return SendForInt(CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0); }
    // The message takes no size: `buffer` has room for GetItemTextLength(index) characters and
    // the zero. Answers the characters copied, negative for an entry that does not exist.
    int GetItemText(int index, char* buffer) const
    {
        return SendForInt(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    }
};

class CEdit : public CControl {
public:
    using CControl::CControl;

    void SelectAll() { Send(EM_SETSEL, 0, -1); }
    // Replaces the selection as typing would, so that the owner is told of the change.
    void ReplaceSel(const char* text) { Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text)); }
};

class CButton : public CControl {
public:
    using CControl::CControl;

    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const { return SendForInt(BM_GETCHECK, 0, 0); }
    // Button down and up within the button: it takes the focus, toggles when it is an automatic
    // box and notifies BN_CLICKED, all before this returns (a modal loop it opens runs inside).
    void Click() { Send(BM_CLICK, 0, 0); }
};

// An up-down control (spinner) with the 32-bit range and position messages.
class CUpDown : public CControl {
public:
    using CControl::CControl;

    void SetRange32(int low, int high) { Send(UDM_SETRANGE32, static_cast<WPARAM>(low), high); }
    int GetPos32() const { return SendForInt(UDM_GETPOS32, 0, 0); }
    // Held to the range; answers the position before.
    int SetPos32(int position) { return SendForInt(UDM_SETPOS32, 0, position); }
};
