#include "MyWindowObject.h"

CMyWindowObject::CMyWindowObject() = default;
CMyWindowObject::~CMyWindowObject() = default;

int CMyWindowObject::MessageBoxA(const char* text, const char* caption, unsigned int flags)
{
    HWND owner = (m_hWnd && ::IsWindow(m_hWnd)) ? m_hWnd : m_hParentWnd;
    return ::MessageBoxA(owner, text ? text : "", caption ? caption : "", flags);
}

int CMyWindowObject::SetWindowTextA(const char* text)
{
    return m_hWnd ? ::SetWindowTextA(m_hWnd, text ? text : "") : 0;
}
