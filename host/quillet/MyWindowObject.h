#pragma once
#include "MyObject.h"
#include <windows.h>

// A C++ object bound to at most one window at a time.
class QUILLET_API CMyWindowObject : public CMyObject {
public:
    CMyWindowObject();
    ~CMyWindowObject() override;

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetParentWindow() const { return m_hParentWnd; }

    // Owned by the object's window while it exists, else by its parent window.
    int MessageBoxA(const char* text, const char* caption, unsigned int flags);
    int SetWindowTextA(const char* text);

protected:
    HWND m_hWnd = nullptr;
    HWND m_hParentWnd = nullptr;
};
